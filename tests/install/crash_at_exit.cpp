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

// Ends the process with the fault's code at once: Wine would otherwise start its debugger, which
// headless waits for an answer that never comes.
LONG WINAPI endAtOnce(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main()
{
    SetUnhandledExceptionFilter(endAtOnce);
    const IColor red(128, 0, 0);
    if (red.asRGBLong() != 0x000080)
        return 1;
    // Out before the crash, which would lose what the run time still buffers.
    std::printf("consumer: ok\n");
    std::fflush(stdout);
    return 0;
}
