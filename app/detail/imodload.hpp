// Loading a module that the library names without a folder: its platform modules, its resource
// library and every library opened by name.
#pragma once

#include <windows.h>

#include <string>

namespace ovk_native {

// The module's file with its folder, however long; empty when the system cannot say.
std::string moduleFileName(HMODULE module);

// Loads the module the way the system would, minus the current directory: a program may be
// started from any folder, and a module of the same name there must never run. A name without
// a folder is looked for, in this order, among the modules already loaded, in the program's
// folder, in the folder of the library's own module, in the system folders and in the
// absolute folders on PATH. A name with a folder is loaded as it is given. The flags are
// LoadLibraryEx's (LOAD_LIBRARY_AS_DATAFILE for a module read only for its resources). Answers
// the module, or null with the system's error code set (ERROR_MOD_NOT_FOUND when no folder holds
// it).
HMODULE loadModuleByName(const char* name, DWORD flags = 0) noexcept;

} // namespace ovk_native
