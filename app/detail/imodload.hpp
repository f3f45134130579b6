// Loading a module that the library names without a folder: its platform modules, its resource
// library and every library opened by name.
#pragma once

#include <windows.h>

#include <string>

namespace ovk_native {

// The module's file with its folder, however long and in whatever script; empty when the
// system cannot say. The narrow form is in the ANSI code page, for names shown to the user.
std::wstring moduleFileNameW(HMODULE module);
std::string moduleFileName(HMODULE module);

// Loads the module, never from the current directory: a program may be started from any
// folder, and a module of the same name there must never run.
// - The module itself. A name without a folder (".dll" when it has no extension) is looked
//   for, in this order, among the modules already loaded, in the program's folder, in the
//   folder of the library's own module, in the system folders and in the absolute folders on
//   PATH; the folders may be named in any script and be longer than MAX_PATH. A name with a
//   full folder is loaded as it is given; one with a relative folder is the caller's choice of
//   the current directory, and is loaded as given too.
// - The modules it imports, for a module loaded by its full name (whether found or given):
//   its own folder, then the program's folder and the system folder, never the current
//   directory and never PATH; where the system lacks the search flags for that (before
//   AddDllDirectory), its own folder, the system folders, then the current directory and PATH,
//   as the system's own order leaves them. A data file (LOAD_LIBRARY_AS_DATAFILE, a module
//   read only for its resources) imports nothing.
// The flags are LoadLibraryEx's. Answers the module, or null with the system's error code set
// (ERROR_MOD_NOT_FOUND when no folder holds it).
HMODULE loadModuleByName(const char* name, DWORD flags = 0) noexcept;
HMODULE loadModuleByName(const std::wstring& name, DWORD flags = 0) noexcept;

} // namespace ovk_native
