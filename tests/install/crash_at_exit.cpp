// A consumer that reports success and then crashes while the process shuts down, as a fault in a
// destructor that runs at exit would: the check must call it a failure although the line came.
#include <windows.h>

#include <ovkwin.hpp>

#include <cstdio>

namespace {

struct CrashAtExit {
    ~CrashAtExit()
    {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
} gCrashAtExit;

} // namespace

int main()
{
    // The crash ends the process at once with its code, without a debugger being started.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const IColor red(128, 0, 0);
    if (red.asRGBLong() != 0x000080)
        return 1;
    // Out before the crash, which would lose what the run time still buffers.
    std::printf("consumer: ok\n");
    std::fflush(stdout);
    return 0;
}
