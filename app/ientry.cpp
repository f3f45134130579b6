// The library's entry point: process and thread notifications of the DLL.
#include <windows.h>

#include <idefs.hpp>

#include "detail/imsgreg.hpp"
#include "detail/istthread.hpp"

// The run-time library is started before this function runs and ended after it returns (its
// own entry point wraps this one), and with it the library's static objects are built and
// destroyed; what is left here is the library's own bookkeeping:
//  - every thread that the process runs gets its record in the thread table as it attaches,
//    the primary thread (the one loading the library) first;
//  - a detaching thread's record is ended, except the primary thread's and while the library
//    is terminating, when records stay until the process ends;
//  - the terminating flag is set once at process detach and never cleared.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        IStartedThread::processAttached(module);
        ovkRegisterMessageTexts();
        break;
    case DLL_THREAD_ATTACH:
        IStartedThread::threadAttached();
        break;
    case DLL_THREAD_DETACH:
        IStartedThread::threadDetached(IStartedThread::isTerminating());
        break;
    case DLL_PROCESS_DETACH:
        IStartedThread::processDetaching();
        break;
    default:
        break;
    }
    return TRUE;
}
