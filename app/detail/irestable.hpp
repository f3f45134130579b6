// The process-wide pointer and bitmap tables, shared by the files of the resource library.
#pragma once

#include <windows.h>

#include <vector>

#include "../ireslib.hpp"

// Both tables live as long as the process: handle objects held by static objects of the program
// may release their references after the library's own static objects are gone. Every use is
// under IResourceLibrary::resourceLock().
std::vector<IResourceLibrary::PointerEntry>& ovkPointerTable();
std::vector<IResourceLibrary::BitmapEntry>& ovkBitmapTable();
