// Starting threads: the thread objects that start a function, and the handshake with the new
// thread, which publishes its identifier and handle before the starter goes on.
#include <windows.h>

#include <process.h>

#include <cerrno>
#include <cstdint>
#include <exception>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/istthread.hpp"
#include "iassert.hpp"
#include "ithread.hpp"

namespace {

// Function objects of the two function-pointer forms.
class SystemFunction : public IThreadFn {
public:
    SystemFunction(IThread::SystemFnPtr function, unsigned long argument)
        : fFunction(function), fArgument(argument) {}
    void run() override { fFunction(fArgument); }

private:
    IThread::SystemFnPtr fFunction;
    unsigned long fArgument;
};

class OptlinkFunction : public IThreadFn {
public:
    OptlinkFunction(IThread::OptlinkFnPtr function, void* argument)
        : fFunction(function), fArgument(argument) {}
    void run() override { fFunction(fArgument); }

private:
    IThread::OptlinkFnPtr fFunction;
    void* fArgument;
};

IReference<IThreadFn> wrap(IThreadFn* function)
{
    return IReference<IThreadFn>(function);
}

// One start at a time: the semaphore is held from the preparation until the new thread has
// published itself and signalled the event. Made on first use; the older platform starts no
// threads, so it never makes them.
HANDLE startSemaphore()
{
    static HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return semaphore;
}

HANDLE startEvent()
{
    static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return event;
}

const char* const kStartSignature = "IThread::start(const IReference<IThreadFn>&,int)";

void reportEscaped(const char* what) noexcept
{
    IAssertion::report(IString("a thread's function let an exception go: ") + what,
                       IEXCEPTION_LOCATION("ithreads", "threadEntry(void*)"));
}

// The body of every thread that the library starts. Nothing may leave it by an exception: it
// is called by the run time, not by us.
void __cdecl threadEntry(void* argument)
{
    auto* record = static_cast<IStartedThread*>(argument);
    try {
        IStartedThread::adoptOnNewThread(record);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
    if (!IPlatform::isPlatformVariant())
        SetEvent(startEvent());
    try {
        record->setPmStartedHere(record->autoInitGUI());
        if (record->pmStartedHere())
            IThread::current().initializeGUI(record->queueSize());
        if (record->priorityClass() != 0 || record->priorityLevel() != -1) {
            const long level = record->priorityLevel() == -1 ? 15 : record->priorityLevel();
            IThread::current().setPriority(
                static_cast<IApplication::PriorityClass>(record->priorityClass()),
                static_cast<unsigned int>(level));
        }
        // Kept alive by our own reference while it runs, whatever happens to the record.
        IReference<IThreadFn> function(record->function());
        if (function.valid())
            function->run();
        if (record->pmStartedHere())
            IThread::current().terminateGUI();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (const std::exception& failure) {
        reportEscaped(failure.what());
    } catch (...) {
        reportEscaped("unknown");
    }
    try {
        record->end();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
    // The reference that the starter added for this thread, unless a stop took it already.
    if (record->takeThreadReference())
        record->removeRef();
}

} // namespace

IThread::IThread() : fRecord(new IStartedThread) {}

IThread::IThread(const IThreadId& id, void* threadHandle) : fRecord(nullptr)
{
    if (!threadHandle || GetThreadId(threadHandle) == id)
        fRecord = IStartedThread::locate(id);
    else
        fRecord = IStartedThread::makeFor(id, threadHandle);
}

IThread::IThread(const IReference<IThreadFn>& function, IBase::Boolean autoInitGUI) : IThread()
{
    start(function, autoInitGUI);
}

IThread::IThread(SystemFnPtr function, unsigned long argument, IBase::Boolean autoInitGUI)
    : IThread()
{
    start(function, argument, autoInitGUI);
}

IThread::IThread(OptlinkFnPtr function, void* argument, IBase::Boolean autoInitGUI) : IThread()
{
    start(function, argument, autoInitGUI);
}

IThread& IThread::start(SystemFnPtr function, unsigned long argument, IBase::Boolean autoInitGUI)
{
    return start(wrap(function ? new SystemFunction(function, argument) : nullptr), autoInitGUI);
}

IThread& IThread::start(OptlinkFnPtr function, void* argument, IBase::Boolean autoInitGUI)
{
    return start(wrap(function ? new OptlinkFunction(function, argument) : nullptr), autoInitGUI);
}

IThread& IThread::start(const IReference<IThreadFn>& function, IBase::Boolean autoInitGUI)
{
    if (IPlatform::isPlatformVariant())
        IThrow::message(OVK_MSG_THREADS_UNSUPPORTED, IEXCEPTION_LOCATION("ithreads", kStartSignature));
    prepareToStart(function, autoInitGUI);
    IStartedThread* record = startedThread();
    // The new thread's own reference: the record must outlive the thread's body even when this
    // object and the table let it go first.
    record->holdThreadReference();
    const std::uintptr_t result =
        _beginthread(&threadEntry, static_cast<unsigned>(record->stackSize()), record);
    if (result == static_cast<std::uintptr_t>(-1) && record->takeThreadReference())
        record->removeRef();
    return threadStarted(record, result == static_cast<std::uintptr_t>(-1) ? -1 : 0);
}

IThread& IThread::prepareToStart(const IReference<IThreadFn>& function, IBase::Boolean autoInitGUI)
{
    const char* signature = "IThread::prepareToStart(const IReference<IThreadFn>&,int)";
    if (isStarted())
        IThrow::message(OVK_MSG_THREAD_ALREADY_STARTED, IEXCEPTION_LOCATION("ithreads", signature));
    // Checked before the record enters the table, which an empty function would leave holding
    // a thread that never runs.
    if (!function.valid())
        IThrow::reference(IEXCEPTION_LOCATION("ithreads", signature));
    startedThread()->prepareStart(function.get(), autoInitGUI);
    if (WaitForSingleObject(startSemaphore(), INFINITE) == WAIT_FAILED) {
        const DWORD error = GetLastError();
        startedThread()->end();
        IThrow::systemError("WaitForSingleObject", error, IEXCEPTION_LOCATION("ithreads", signature));
    }
    return *this;
}

IThread& IThread::threadStarted(IStartedThread* record, int result)
{
    const char* signature = "IThread::threadStarted(IStartedThread*,int)";
    if (result == -1) {
        const int error = errno;
        record->end();
        // Held since the preparation: kept, it would stop every later start for good.
        ReleaseSemaphore(startSemaphore(), 1, nullptr);
        IThrow::runtime("_beginthread", IEXCEPTION_LOCATION("ithreads", signature),
                        static_cast<unsigned long>(error));
    }
    if (WaitForSingleObject(startEvent(), INFINITE) == WAIT_FAILED) {
        const DWORD error = GetLastError();
        ReleaseSemaphore(startSemaphore(), 1, nullptr);
        IThrow::systemError("WaitForSingleObject", error, IEXCEPTION_LOCATION("ithreads", signature));
    }
    ReleaseSemaphore(startSemaphore(), 1, nullptr);
    return *this;
}
