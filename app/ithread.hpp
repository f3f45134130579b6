// Thread objects: views on the library's per-thread records, and the calling thread's object
// with its message loop.
#pragma once

#include <iprocid.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include "idefs.hpp"
#include "ihandle.hpp"

class IStartedThread;
class ICurrentThread;

// A thread known to the library. Copies are views on the same record.
class OVKWIN_API IThread : public IVBase {
public:
    IThread(const IThread& other);
    IThread& operator=(const IThread& other);
    ~IThread() override;

    // The calling thread's object (one per process, never deleted).
    static ICurrentThread& current();

    // "IThread(id)" and "IThread(<base text>,thread=<record text>)".
    IString asString() const override;
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual IThreadId id() const;
    virtual IBase::Boolean autoInitGUI() const;
    virtual IThread& setAutoInitGUI(IBase::Boolean autoInitialize = true);
    // Ends the thread's innermost message loop (posts WM_QUIT to its queue); a thread that runs
    // no loop throws message 100.
    virtual IThread& stopProcessingMsgs();
    virtual unsigned long stackSize() const;
    virtual IThread& setStackSize(unsigned long size);
    virtual unsigned long queueSize() const;
    virtual IThread& setQueueSize(unsigned long size);
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
    IStartedThread* fRecord;
    unsigned long fReserved = 0;
};

// The object of the calling thread: whichever thread asks, it answers for that thread.
class OVKWIN_API ICurrentThread : public IThread {
public:
    IThreadId id() const override;
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

private:
    friend class IThread;
    ICurrentThread();
};
