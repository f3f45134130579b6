// The application object: the process as the library sees it, and the running process's
// arguments, resource libraries and message loop.
#pragma once

#include <istring.hpp>
#include <ivbase.hpp>

#include "idefs.hpp"

class ICurrentApplication;
class IResourceLibrary;

// A process, known by its identifier.
class OVKWIN_API IApplication : public IVBase {
public:
    // Priority classes, as the thread objects map them to the system's process classes.
    enum PriorityClass {
        noChange = 0,     // keep the current class
        idleTime = 1,     // IDLE_PRIORITY_CLASS
        regular = 2,      // NORMAL_PRIORITY_CLASS
        timeCritical = 3, // REALTIME_PRIORITY_CLASS
        high = 4          // HIGH_PRIORITY_CLASS
    };

    IApplication(const IApplication&) = delete;
    IApplication& operator=(const IApplication&) = delete;
    ~IApplication() override;

    // The running process's object, made on first use and never deleted.
    static ICurrentApplication& current();
    static unsigned long currentProcessId();

    // "IApplication(id)" and "IApplication(<base text>,id=<id>)".
    IString asString() const override;
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual unsigned long id() const;

private:
    // Kept so that the slots after it do not move; does nothing.
    virtual void reservedOperation();

public:
    // Sets the calling thread's priority from the class (idle, normal, time critical, highest);
    // the level and the flag are not used. Nothing happens on the older platform.
    virtual IApplication& setPriority(PriorityClass priorityClass, long priorityLevel = 0,
                                      IBase::Boolean allThreads = false);

protected:
    explicit IApplication(unsigned long processId = 0) noexcept : fId(processId) {}
    virtual IApplication& setId(unsigned long processId);

private:
    unsigned long fId;
};

// The running process: its arguments, the library's and the application's resource libraries,
// and the message loop of the calling thread.
class OVKWIN_API ICurrentApplication : public IApplication {
public:
    ~ICurrentApplication() override;

    // "ICurrentApplication(<IApplication text>,ovkuiLib=...,userLib=...,argCount=...,argValue=...)".
    IString asDebugInfo() const override;

    virtual long argc() const;
    // The argument at the index, or an empty text outside 0 to argc() - 1.
    virtual IString argv(long index) const;
    // Copies the texts; a count of 0 (or no values) empties the list.
    virtual ICurrentApplication& setArgs(long count, char** values);

    // The application's resource library: the program's own module unless set.
    virtual IResourceLibrary& userResourceLibrary();
    // The library's resource library: on first use the module named by the environment
    // variable "OVKUI RESLIB", or "ovkres" when it is not set.
    virtual IResourceLibrary& ovkuiResourceLibrary();
    // With a name, loads that module (a failure leaves the previous library in place); with
    // none, the program's own module.
    virtual ICurrentApplication& setUserResourceLibrary(const char* name = nullptr);
    // With a name, loads that module; with none, the program's own module, and the environment
    // is not read again. A failed load leaves the previous library in place.
    virtual ICurrentApplication& setOvkuiResourceLibrary(const char* name = nullptr);

    // Runs the calling thread's message loop and returns when it ends: when the thread's last
    // top-level window (its last frame) is destroyed, or when stopProcessingMsgs() of the thread
    // ends the loop. Closing a frame ends it only when the close destroys that last frame; a
    // frame that is merely hidden keeps run() going.
    virtual ICurrentApplication& run();
    // Ends the process (from the primary thread) or the calling thread.
    virtual void exit(long code);

private:
    friend class IApplication;
    ICurrentApplication();

    IResourceLibrary* fOvkuiLibrary = nullptr;
    IResourceLibrary* fUserLibrary = nullptr;
    IBase::Boolean fOvkuiIsProgram = false;
    long fArgCount = 0;
    IString* fArgValues = nullptr;
    unsigned long fReserved = 0;
};
