// Export and import of the base class library's symbols.
#pragma once

// The base library is a DLL on Windows and a shared object elsewhere. Its own sources are built
// with OVKBASE_BUILD defined, so they export what the library and the tests import.
#if defined(_WIN32)
#  if defined(OVKBASE_BUILD)
#    define OVKBASE_API __declspec(dllexport)
#  else
#    define OVKBASE_API __declspec(dllimport)
#  endif
#else
#  define OVKBASE_API __attribute__((visibility("default")))
#endif
