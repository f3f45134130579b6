// The library's entry point: process and thread notifications of the DLL.
#include <windows.h>

#include <idefs.hpp>

#include "detail/imsgtext.hpp"

namespace {
HINSTANCE gLibraryModule = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        gLibraryModule = module;
        ovkRegisterMessageTexts();
    }
    return TRUE;
}
