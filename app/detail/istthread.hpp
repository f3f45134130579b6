// IStartedThread: the library's record of one thread, and the thread table that holds them.
#pragma once

#include <windows.h>

#include <iprocid.hpp>
#include <irefcnt.hpp>
#include <isrtlist.hpp>
#include <istring.hpp>

#include <atomic>
#include <vector>

#include "../idefs.hpp"
#include "iwinset.hpp"

class IThreadFn;

// One record per thread that uses the library. Thread objects (IThread) are views on it; the
// thread table holds one reference to each record entered in it, and a record is deleted when
// its last reference goes. The loop fields (level, pending stops) belong to the thread itself.
class OVKWIN_API IStartedThread : public IRefCounted {
public:
    static constexpr unsigned long maximumVariables = 16;

    explicit IStartedThread(const IThreadId& id = IThreadId());
    ~IStartedThread() override;
    IStartedThread(const IStartedThread&) = delete;
    IStartedThread& operator=(const IStartedThread&) = delete;

    // "IStartedThread(useCount=...,id=...,...)", built under the thread-table guard.
    IString asDebugInfo() const override;

    // The thread table.
    // The record of a thread, with one reference added for the caller. The calling thread's
    // record is made on first use; another thread without a record is message 46.
    static IStartedThread* locate(const IThreadId& id);
    // The record of a thread with one reference added, or null; never makes one.
    static IStartedThread* find(const IThreadId& id);
    // The calling thread's record without a reference for the caller (the table keeps it alive
    // while the thread runs), made on first use. Cheaper than locate: on the road of every
    // message, it answers from a per-thread cache until the table changes.
    static IStartedThread* current();
    IStartedThread& addToArray();
    IStartedThread& removeFromArray();
    static void flushCache();
    // Ends the record: it leaves the table and its thread handle is closed.
    IStartedThread& end();

    // The calling thread's duplicated handle (a real handle, unlike GetCurrentThread's
    // pseudo-handle), made on demand when `create` is true; 0 when there is none.
    static HANDLE currentHandle(IBase::Boolean create);
    // The handle kept in the record of that thread, or 0 when no record has the identifier.
    static HANDLE handleFor(const IThreadId& id);

    // A duplicate of the handle kept in the record of that thread (the caller closes it), or 0
    // when there is none. A waiter waits on the duplicate: the record's own handle is closed by
    // the thread as it ends, and a wait on a closed handle may wait on whatever reuses it.
    HANDLE duplicateHandle() const;
    // Answers whether the thread still runs: a zero-time wait on its handle times out. Taken
    // under the thread-table guard, which the end of the record needs to close the handle.
    bool isThreadRunning() const;
    // Signals the table-changed event (when a wait has made it), so that waits for thread ends
    // collect their handles again.
    static void signalTableChanged() noexcept;
    // Waits for the end of every thread but `leaveOut` (all) or of any one; answers the
    // identifier of a thread that ended, or 0. Records without a handle are passed over.
    static IThreadId waitForThreadEnd(IBase::Boolean all, const IThreadId& leaveOut,
                                      IBase::Boolean throwOnFailure);

    // The table entry at `index` or after it that a thread cursor may visit (identifier not 0,
    // and a window set unless `allThreads`): moves `index` there and answers its identifier,
    // or 0 at the end of the table.
    static IThreadId nextEntry(unsigned long& index, bool allThreads);
    // The identifier of the entry at `index`, 0 for an empty one.
    static IThreadId entryAt(unsigned long index);

    // Thread start. The starter prepares the record; the new thread adopts it (taking over the
    // record that the thread-attach hook made for it) and publishes its identifier and handle.
    IStartedThread& prepareStart(IThreadFn* function, IBase::Boolean autoInit);
    static IStartedThread* adoptOnNewThread(IStartedThread* record);
    // The reference that a started thread holds on its record while its body runs. Whoever
    // takes it drops it: the thread as it returns, or a stop that terminated the thread, which
    // then never returns.
    void holdThreadReference() noexcept;
    bool takeThreadReference() noexcept {
        return fThreadReference.exchange(false, std::memory_order_acq_rel);
    }
    IThreadFn* function() const noexcept { return fFnObj; }
    IBase::Boolean isStartedHere() const noexcept { return fStartedHere; }
    IBase::Boolean pmStartedHere() const noexcept { return fPmStartedHere; }
    void setPmStartedHere(IBase::Boolean value) noexcept { fPmStartedHere = value; }
    void setStarted(IBase::Boolean value) noexcept { fStarted = value; }
    unsigned char priorityClass() const noexcept { return fPriorityClass; }
    long priorityLevel() const noexcept { return fPriorityLevel; }
    void setPriority(unsigned char priorityClass, long level) noexcept {
        fPriorityClass = priorityClass;
        fPriorityLevel = level;
    }
    // A record for a thread that the library did not start, made from its identifier and a
    // handle (the record keeps its own duplicate), and entered in the table.
    static IStartedThread* makeFor(const IThreadId& id, HANDLE handle);

    // Thread variables: at most 16 names, in the order first set.
    IStartedThread& setVariable(const IString& name, const IString& value);
    IString variable(const IString& name) const;

    // The record's fields.
    IThreadId id() const noexcept { return fId; }
    HANDLE threadHandle() const noexcept { return fThreadHandle; }
    IBase::Boolean isStarted() const noexcept { return fStarted; }
    unsigned long queueSize() const noexcept { return fQueueSize; }
    void setQueueSize(unsigned long size) noexcept { fQueueSize = size; }
    unsigned long stackSize() const noexcept { return fStackSize; }
    void setStackSize(unsigned long size) noexcept { fStackSize = size; }
    IBase::Boolean autoInitGUI() const noexcept { return fAutoInitPM; }
    void setAutoInitGUI(IBase::Boolean value) noexcept { fAutoInitPM = value; }
    unsigned long serialNumber() const noexcept { return fCount; }
    unsigned long slot() const noexcept { return fSlot; }
    IBase::Boolean isInArray() const noexcept { return fInArray; }

    // The windowing state: the anchor value (1 once asked for) and the queue (the thread's
    // identifier unless set).
    unsigned long anchorBlock() noexcept;
    unsigned long messageQueue() const noexcept;
    void setMessageQueue(unsigned long queue) noexcept { fHmq = queue; }

    // The message loop's nesting level and the stop requests aimed at enclosing loops.
    unsigned long loopLevel() const noexcept { return fLoopLevel.load(std::memory_order_relaxed); }
    void setLoopLevel(unsigned long level) noexcept {
        fLoopLevel.store(level, std::memory_order_relaxed);
    }
    void addPendingStop(unsigned long level);
    // Takes the highest pending level when it is at least `level`; false when there is none.
    bool takePendingStopAtLeast(unsigned long level) noexcept;
    bool hasPendingStops() const noexcept { return fPendingStops != nullptr; }

    // The thread's window set (null until a window of the thread is filed), and the set made on
    // first use.
    IWindowSet* windowList() const noexcept { return fWindowList.load(std::memory_order_acquire); }
    IWindowSet& windowSet();
    ISubclassedControls& subclassedControls();

    // Process-wide defaults that new records copy.
    static unsigned long defaultQueueSize() noexcept;
    static void setDefaultQueueSize(unsigned long size) noexcept;
    static unsigned long defaultStackSize() noexcept;
    static void setDefaultStackSize(unsigned long size) noexcept;
    static IBase::Boolean defaultAutoInitGUI() noexcept;
    static void setDefaultAutoInitGUI(IBase::Boolean value) noexcept;

    // The primary thread (the one that loaded the library) and the terminating flag, set once
    // when the process detaches the library and never cleared.
    static IThreadId primaryThreadId() noexcept;
    static bool isTerminating() noexcept;

    // What the table looks like: its length (1, 3, 7, ...), the records in it, the stamp that
    // advances with every flush of the lookup cache, and "IStartedThread::(cacheHits=...)".
    static unsigned long arraySize();
    static unsigned long threadCount();
    static unsigned long tableStamp() noexcept;
    static IString staticsDebugInfo();

    // Every record in the table with a window set, each with a reference that the caller drops
    // (removeRef). Taken under the thread-table guard, used after it is released, so that no
    // other lock is ever taken inside it.
    static std::vector<IStartedThread*> recordsWithWindows();

    // The library entry point's per-thread hook.
    static void processAttached(HINSTANCE module) noexcept;
    static void processDetaching() noexcept;
    static void threadAttached() noexcept;
    // `terminating` is the library's terminating flag; a test may pass true to see that a
    // record survives a detach during termination.
    static void threadDetached(bool terminating) noexcept;
    static HINSTANCE libraryModule() noexcept;

private:
    struct Variable {
        IString name;
        IString value;
    };

    IThreadId fId;
    unsigned long fHmq = 0;
    unsigned long fHab = 0;
    IBase::Boolean fAutoInitPM;
    IBase::Boolean fStarted;
    IBase::Boolean fStartedHere = false;
    IBase::Boolean fPmStartedHere = false;
    IBase::Boolean fInArray = false;
    unsigned long fQueueSize;
    unsigned long fStackSize;
    unsigned long fCount;
    std::atomic<unsigned long> fLoopLevel{0};
    unsigned char fPriorityClass = 0;
    long fPriorityLevel = -1;
    unsigned long fSlot = 0;
    std::atomic<IWindowSet*> fWindowList{nullptr};
    ISubclassedControls* fSubclassedControls = nullptr;
    HANDLE fThreadHandle = nullptr;
    IThreadFn* fFnObj = nullptr;
    std::atomic<bool> fThreadReference{false};
    ISortedList<unsigned long>* fPendingStops = nullptr;
    unsigned long fVariableCount = 0;
    Variable fVariables[maximumVariables];
};
