// Thread objects: views on the library's per-thread records, the calling thread's object with
// its message loop and waits, and a cursor over the threads the library knows.
#pragma once

#include <iprocid.hpp>
#include <irefcnt.hpp>
#include <ireftype.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include "iapp.hpp"
#include "idefs.hpp"
#include "ihandle.hpp"

class IStartedThread;
class ICurrentThread;

// The body of a thread that the library starts: run() is called on the new thread.
class OVKWIN_API IThreadFn : public IRefCounted {
public:
    virtual void run() = 0;
};

// A thread known to the library. Copies are views on the same record.
class OVKWIN_API IThread : public IVBase {
public:
    using SystemFnPtr = void (*)(unsigned long);
    using OptlinkFnPtr = void (*)(void*);

    // Walks the threads in the library's table. Any change of the table invalidates it.
    class OVKWIN_API Cursor : public IVBase {
    public:
        // With `allThreads` false only threads that have windows are visited.
        explicit Cursor(IBase::Boolean allThreads = false);
        IBase::Boolean setToFirst();
        IBase::Boolean setToNext();
        IBase::Boolean isValid() const;
        void invalidate();
        // The identifier of the thread at the cursor; an invalid cursor fails the argument
        // check "this->isValid()".
        IThreadId threadId() const;

    private:
        IBase::Boolean fAllThreads;
        IBase::Boolean fPastEnd = false;
        unsigned long fIndex = 0;
        unsigned long fStamp = 0;
    };

    // A thread object with a fresh record, not yet started.
    IThread();
    // The object of an existing thread. With a null handle, or the thread's own handle, the
    // thread's record is looked up (message 46 when it has none and is not the caller);
    // otherwise a record is made that keeps a duplicate of the handle.
    explicit IThread(const IThreadId& id, void* threadHandle = nullptr);
    // Make a fresh record and start the thread at once (message 71 on the older platform).
    explicit IThread(const IReference<IThreadFn>& function,
                     IBase::Boolean autoInitGUI = defaultAutoInitGUI());
    IThread(SystemFnPtr function, unsigned long argument,
            IBase::Boolean autoInitGUI = defaultAutoInitGUI());
    IThread(OptlinkFnPtr function, void* argument,
            IBase::Boolean autoInitGUI = defaultAutoInitGUI());
    IThread(const IThread& other);
    IThread& operator=(const IThread& other);
    ~IThread() override;

    // The calling thread's object (one per process, never deleted).
    static ICurrentThread& current();

    // Starts a thread object that has not been started (message 47 while it runs, 71 on the
    // older platform). Returns once the new thread has published its identifier and handle.
    IThread& start(const IReference<IThreadFn>& function,
                   IBase::Boolean autoInitGUI = defaultAutoInitGUI());
    IThread& start(SystemFnPtr function, unsigned long argument,
                   IBase::Boolean autoInitGUI = defaultAutoInitGUI());
    IThread& start(OptlinkFnPtr function, void* argument,
                   IBase::Boolean autoInitGUI = defaultAutoInitGUI());

    // "IThread(id)" and "IThread(<base text>,thread=<record text>)".
    IString asString() const override;
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    // Terminates the thread (TerminateThread: no clean-up runs on it) and ends its record.
    virtual IThread& stop();
    virtual IThread& suspend();
    virtual IThread& resume();
    virtual IThreadId id() const;
    // The thread's handle, kept by its record and closed when the thread ends.
    virtual void* handle() const;
    virtual IBase::Boolean isStarted();
    virtual IBase::Boolean autoInitGUI() const;
    virtual IThread& setAutoInitGUI(IBase::Boolean autoInitialize = true);
    // Ends the thread's innermost message loop (posts WM_QUIT to its queue); a thread that runs
    // no loop throws message 100.
    virtual IThread& stopProcessingMsgs();
    virtual unsigned long stackSize() const;
    virtual IThread& setStackSize(unsigned long size);
    virtual unsigned long queueSize() const;
    virtual IThread& setQueueSize(unsigned long size);
    // Levels count from 15, the normal level; the system's thread priority is level - 15,
    // limited to -2 ... +2.
    virtual unsigned long priorityLevel();
    virtual IApplication::PriorityClass priorityClass();
    // A class of noChange keeps the current class. A thread that does not run yet gets both
    // when it starts.
    virtual IThread& setPriority(IApplication::PriorityClass priorityClass, unsigned int level);
    virtual IThread& adjustPriority(int delta);
    // The record of this thread. The caller does not own a reference: the record lives while
    // the thread table or this object holds it.
    virtual IStartedThread* startedThread() const;

    // True while the thread runs a message loop.
    IBase::Boolean isProcessingMsgs() const;

    // Thread variables: a value, or an empty text for a name never set; at most 16 names
    // (message 66 for a seventeenth).
    IString variable(const IString& name) const;
    IThread& setVariable(const IString& name, const IString& value);

    // Process-wide defaults that new records take.
    static unsigned long defaultQueueSize();
    static void setDefaultQueueSize(unsigned long size);
    static unsigned long defaultStackSize();
    static void setDefaultStackSize(unsigned long size);
    static IBase::Boolean defaultAutoInitGUI();
    static void setDefaultAutoInitGUI(IBase::Boolean autoInitialize);

protected:
    // A view on a record; adds a reference to it (none for null).
    explicit IThread(IStartedThread* record);

private:
    IThread& prepareToStart(const IReference<IThreadFn>& function, IBase::Boolean autoInitGUI);
    IThread& threadStarted(IStartedThread* record, int result);

    IStartedThread* fRecord;
    unsigned long fReserved = 0;
};

// The object of the calling thread: whichever thread asks, it answers for that thread.
class OVKWIN_API ICurrentThread : public IThread {
public:
    IThread& suspend() override;
    IThreadId id() const override;
    void* handle() const override;
    IStartedThread* startedThread() const override;

    // Sets up the thread's windowing state (only the older platform has anything to do); a
    // size of 0 means the default.
    virtual ICurrentThread& initializeGUI(unsigned long queueSize = 0);
    virtual ICurrentThread& terminateGUI();
    // Runs the thread's message loop until WM_QUIT, or a stop request (0xFFE0) aimed at this
    // loop's level or a deeper one, ends it. Loops nest: a handler may run one of its own.
    // An exception that a handler did not let go leaves this function.
    virtual ICurrentThread& processMsgs();
    virtual IBase::Boolean isGUIInitialized() const;
    virtual unsigned long anchorBlock() const;
    virtual IMessageQueueHandle messageQueue() const;
    // The same queue as messageQueue().
    virtual IMessageQueueHandle messageQueueHandle() const;
    // Always 1000.
    virtual unsigned long reservedValue() const;
    virtual ICurrentThread& sleep(unsigned long milliseconds);
    // Waits for the thread to end. Neither the primary thread nor the calling thread can be
    // waited for (argument checks).
    virtual ICurrentThread& waitFor(const IThread& thread);
    // Only the primary thread may wait for all the others.
    virtual ICurrentThread& waitForAllThreads();
    // The identifier of a thread that ended.
    virtual IThreadId waitForAnyThread();
    // Ends the calling thread's record, then the process (primary thread) or the thread.
    virtual void exit(unsigned long code);

private:
    friend class IThread;
    ICurrentThread();
};
