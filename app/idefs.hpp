// Definitions that every header of the ovkwin library shares. Portable: the image codecs and
// other pure computation include it in the native build too.
#pragma once

#include <ibase.hpp>

#if defined(_WIN32)
#if defined(OVKWIN_BUILD)
#define OVKWIN_API __declspec(dllexport)
#else
#define OVKWIN_API __declspec(dllimport)
#endif
#else
#define OVKWIN_API __attribute__((visibility("default")))
#endif
