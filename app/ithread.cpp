// The library's thread records, the thread table, and the message loop of the calling thread.
#include <windows.h>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iresource.hpp>
#include <ovkmsgid.hpp>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "detail/icallgrd.hpp"
#include "detail/icritsec.hpp"
#include "detail/iobjwndh.hpp"
#include <iprivmsg.hpp>
#include "detail/iscoped.hpp"
#include "detail/itlsslot.hpp"
#include "detail/istthread.hpp"
#include "detail/iwinlnk.hpp"
#include "iassert.hpp"
#include "ithread.hpp"

namespace {

constexpr unsigned long kFirstQueueSize = 30;
constexpr unsigned long kVariantQueueSize = 96;

// The thread table: a growable array of records (2n + 1 entries: 1, 3, 7, ...), guarded by its
// own resource. Empty entries are reused, so it never shrinks.
std::vector<IStartedThread*> gTable;

IPrivateResource& tableGuard()
{
    static IPrivateResource guard("IStartedThread table");
    return guard;
}

// The one-entry lookup cache, read and written inside the library critical section. The stamp
// advances with every flush, so thread cursors notice that the table changed under them.
IThreadId::Value gCachedId = 0;
IStartedThread* gCachedRecord = nullptr;
unsigned long gCacheHits = 0;
unsigned long gCacheMisses = 0;
std::atomic<unsigned long> gTableStamp{1};

std::atomic<unsigned long> gDefaultQueueSize{kFirstQueueSize};
std::atomic<unsigned long> gDefaultStackSize{32768};
std::atomic<int> gDefaultAutoInit{-1}; // undetermined until first asked
std::atomic<unsigned long> gRecordsCreated{0};
std::atomic<bool> gQueueSetUp{false};

std::atomic<IThreadId::Value> gPrimaryThreadId{0};
std::atomic<bool> gTerminating{false};
HINSTANCE gLibraryModule = nullptr;
std::atomic<HWND> gObjectWindow{nullptr};
// Made by the first wait for thread ends; signalled whenever the table gains a thread to wait
// for, so that the waits collect their handles again.
std::atomic<HANDLE> gTableChanged{nullptr};

DWORD tlsSlot()
{
    // Allocated on first use; a failure throws, and the next call tries again.
    static DWORD slot = [] {
        DWORD allocated = TlsAlloc();
        if (allocated == TLS_OUT_OF_INDEXES) {
            IThrow::systemError("TlsAlloc", GetLastError(),
                                IEXCEPTION_LOCATION("ithread", "IStartedThread::currentHandle(int)"));
        }
        return allocated;
    }();
    return slot;
}

IString addressText(const void* address)
{
    char text[2 * sizeof(void*) + 3];
    std::snprintf(text, sizeof text, "%p", address);
    return IString(text);
}

void setCacheEntry(IThreadId::Value id, IStartedThread* record) noexcept
{
    ICritSec section;
    gCachedId = id;
    gCachedRecord = record;
}

} // namespace

HWND objectWindowHandle() noexcept
{
    return gObjectWindow.load(std::memory_order_acquire);
}

void setObjectWindowHandle(HWND handle) noexcept
{
    gObjectWindow.store(handle, std::memory_order_release);
}

// Records ------------------------------------------------------------------------------------

IStartedThread::IStartedThread(const IThreadId& id)
    : IRefCounted(1), fId(id), fAutoInitPM(defaultAutoInitGUI()), fStarted(id != 0),
      fQueueSize(defaultQueueSize()), fStackSize(defaultStackSize()),
      fCount(gRecordsCreated.fetch_add(1) + 1)
{
}

IStartedThread::~IStartedThread()
{
    delete fWindowList.load();
    delete fSubclassedControls;
    delete fPendingStops;
}

IString IStartedThread::asDebugInfo() const
{
    IResourceLock lock(tableGuard());
    IString text = "IStartedThread(useCount=" + IString(useCount());
    text += ",id=" + fId.asString();
    text += ",hmq=" + IString(fHmq);
    text += ",hab=" + IString(fHab);
    text += ",inArray=" + IString(fInArray);
    text += ",started=" + IString(fStarted);
    text += ",startedHere=" + IString(fStartedHere);
    text += ",pmStartedHere=" + IString(fPmStartedHere);
    text += ",autoInitPM=" + IString(fAutoInitPM);
    text += ",slot=" + IString(fSlot);
    text += ",queueSize=" + IString(fQueueSize);
    text += ",stkSize=" + IString(fStackSize);
    text += ",fCount=" + IString(fCount);
    text += ",priorityClass=" + IString(static_cast<unsigned>(fPriorityClass));
    text += ",priorityLevel=" + IString(fPriorityLevel);
    text += ",fnObj=" + addressText(fFnObj);
    text += ",windowList=" + addressText(windowList());
    text += ")";
    return text;
}

IStartedThread* IStartedThread::find(const IThreadId& id)
{
    {
        ICritSec section;
        if (gCachedRecord && id == gCachedId) {
            ++gCacheHits;
            gCachedRecord->addRef();
            return gCachedRecord;
        }
        ++gCacheMisses;
    }
    IResourceLock lock(tableGuard());
    for (IStartedThread* record : gTable) {
        if (record && record->fId == id) {
            record->addRef();
            setCacheEntry(id, record);
            return record;
        }
    }
    return nullptr;
}

IStartedThread* IStartedThread::locate(const IThreadId& id)
{
    if (IStartedThread* record = find(id))
        return record;
    if (id != GetCurrentThreadId()) {
        IThrow::message(OVK_MSG_THREAD_UNKNOWN,
                        IEXCEPTION_LOCATION("ithread", "IStartedThread::locate(const IThreadId&)"));
    }
    // Only the calling thread makes its own record, so no other thread can enter one for this
    // identifier between the search and here.
    IStartedThread* record = new IStartedThread(id);
    try {
        record->fThreadHandle = currentHandle(true);
        record->addToArray();
    } catch (...) {
        record->removeRef();
        throw;
    }
    setCacheEntry(id, record);
    return record;
}

IStartedThread* IStartedThread::current()
{
    // Valid while the table stamp has not moved: every change that could end a record flushes
    // the lookup cache, and with it these per-thread copies. Two native slots: the run time's
    // own thread-local variables cost a call each, and this is on every message's road.
    static const DWORD recordSlot = TlsAlloc();
    static const DWORD stampSlot = TlsAlloc();
    const unsigned long stamp = gTableStamp.load(std::memory_order_acquire);
    if (recordSlot != TLS_OUT_OF_INDEXES && stampSlot != TLS_OUT_OF_INDEXES) {
        auto* record = static_cast<IStartedThread*>(ovk_app::threadSlotValue(recordSlot));
        if (record && reinterpret_cast<std::uintptr_t>(ovk_app::threadSlotValue(stampSlot)) == stamp)
            return record;
    }
    IStartedThread* record = locate(GetCurrentThreadId());
    record->removeRef();
    if (recordSlot != TLS_OUT_OF_INDEXES && stampSlot != TLS_OUT_OF_INDEXES) {
        TlsSetValue(recordSlot, record);
        TlsSetValue(stampSlot, reinterpret_cast<void*>(static_cast<std::uintptr_t>(stamp)));
    }
    return record;
}

IStartedThread& IStartedThread::addToArray()
{
    IResourceLock lock(tableGuard());
    if (fInArray)
        return *this;
    std::size_t slot = 0;
    while (slot < gTable.size() && gTable[slot])
        ++slot;
    if (slot == gTable.size())
        gTable.resize(2 * gTable.size() + 1, nullptr);
    gTable[slot] = this;
    fInArray = true;
    fSlot = static_cast<unsigned long>(slot);
    fStarted = true;
    addRef();
    signalTableChanged();
    return *this;
}

IStartedThread& IStartedThread::removeFromArray()
{
    IResourceLock lock(tableGuard());
    if (!fInArray)
        return *this;
    gTable[fSlot] = nullptr;
    fInArray = false;
    fSlot = 0;
    // The cache must forget the record before the table's reference goes: that reference may be
    // the last, and a lookup that hit the cache afterwards would revive a deleted record.
    flushCache();
    removeRef();
    return *this;
}

void IStartedThread::flushCache()
{
    ICritSec section;
    gCachedId = 0;
    gCachedRecord = nullptr;
    gTableStamp.fetch_add(1);
}

IStartedThread& IStartedThread::end()
{
    // Out of the table first: a waiter that finds no handle takes the thread for ended, and by
    // then it must be gone from the table too. Our own reference keeps the record alive past
    // the table's.
    addRef();
    struct Release {
        IStartedThread* record;
        ~Release() { record->removeRef(); }
    } release{this};
    removeFromArray();
    fStarted = false;
    fStartedHere = false;
    if (IThreadFn* function = fFnObj) {
        fFnObj = nullptr;
        function->removeRef();
    }
    const bool ownRecord = fId == GetCurrentThreadId();
    if (ownRecord && !IPlatform::isPlatformVariant()) {
        if (!TlsSetValue(tlsSlot(), nullptr)) {
            IThrow::systemError("TlsSetValue", GetLastError(),
                                IEXCEPTION_LOCATION("ithread", "IStartedThread::end()"));
        }
    }
    // Taken out under the table guard: waiters duplicate the handle under the same guard, so
    // none of them can be duplicating it while it is closed.
    HANDLE handle;
    {
        IResourceLock lock(tableGuard());
        handle = fThreadHandle;
        fThreadHandle = nullptr;
    }
    if (handle && !IPlatform::isPlatformVariant()) {
        if (!CloseHandle(handle)) {
            IThrow::runtime("CloseHandle",
                            IEXCEPTION_LOCATION("ithread", "IStartedThread::end()"), GetLastError());
        }
    }
    return *this;
}

HANDLE IStartedThread::currentHandle(IBase::Boolean create)
{
    if (IPlatform::isPlatformVariant()) {
        // The older platform names threads by identifier; the value travels as a handle.
        return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(GetCurrentThreadId()));
    }
    DWORD slot = tlsSlot();
    HANDLE handle = TlsGetValue(slot);
    if (!handle && create) {
        // GetCurrentThread answers a pseudo-handle that means "the calling thread" wherever it
        // is used; other threads need a real handle to wait on this one.
        HANDLE process = GetCurrentProcess();
        if (DuplicateHandle(process, GetCurrentThread(), process, &handle, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            if (!TlsSetValue(slot, handle)) {
                DWORD error = GetLastError();
                CloseHandle(handle);
                IThrow::systemError("TlsSetValue", error,
                                    IEXCEPTION_LOCATION("ithread",
                                                        "IStartedThread::currentHandle(int)"));
            }
        } else {
            handle = nullptr;
        }
    }
    return handle;
}

HANDLE IStartedThread::handleFor(const IThreadId& id)
{
    IResourceLock lock(tableGuard());
    for (IStartedThread* record : gTable) {
        if (record && record->fId == id) {
            if (!record->fThreadHandle && id == GetCurrentThreadId())
                record->fThreadHandle = currentHandle(true);
            return record->fThreadHandle;
        }
    }
    return nullptr;
}

HANDLE IStartedThread::duplicateHandle() const
{
    IResourceLock lock(tableGuard());
    HANDLE copy = nullptr;
    if (fThreadHandle && !IPlatform::isPlatformVariant()) {
        HANDLE process = GetCurrentProcess();
        if (!DuplicateHandle(process, fThreadHandle, process, &copy, 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            copy = nullptr;
    }
    return copy;
}

bool IStartedThread::isThreadRunning() const
{
    IResourceLock lock(tableGuard());
    return fThreadHandle && WaitForSingleObject(fThreadHandle, 0) == WAIT_TIMEOUT;
}

void IStartedThread::signalTableChanged() noexcept
{
    if (IPlatform::isPlatformVariant())
        return;
    if (HANDLE event = gTableChanged.load(std::memory_order_acquire))
        SetEvent(event);
}

IStartedThread* IStartedThread::makeFor(const IThreadId& id, HANDLE handle)
{
    IStartedThread* record = new IStartedThread(id);
    HANDLE process = GetCurrentProcess();
    // The record closes its handle when it ends; a duplicate leaves the caller's handle to the
    // caller.
    if (!DuplicateHandle(process, handle, process, &record->fThreadHandle, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        record->fThreadHandle = nullptr;
    record->addToArray();
    return record;
}

IStartedThread& IStartedThread::prepareStart(IThreadFn* function, IBase::Boolean autoInit)
{
    {
        // The identifier of an earlier run could be reused by another thread by now; the new
        // thread publishes its own.
        IResourceLock lock(tableGuard());
        fId = IThreadId();
    }
    addToArray();
    fStartedHere = true;
    function->addRef();
    if (fFnObj)
        fFnObj->removeRef();
    fFnObj = function;
    fAutoInitPM = autoInit;
    return *this;
}

void IStartedThread::holdThreadReference() noexcept
{
    addRef();
    fThreadReference.store(true, std::memory_order_release);
}

IStartedThread* IStartedThread::adoptOnNewThread(IStartedThread* record)
{
    const IThreadId id = GetCurrentThreadId();
    // The thread-attach hook has made a record for this thread already (or one is left over
    // from an ended thread with the same identifier): it leaves the table, and its handle,
    // which the thread's local slot holds, passes to the start record.
    // Every such record goes: identifiers are reused, so a stale one may sit beside the new.
    for (;;) {
        IStartedThread* attached = nullptr;
        {
            IResourceLock lock(tableGuard());
            for (IStartedThread* entry : gTable) {
                if (entry && entry != record && entry->fId == id) {
                    attached = entry;
                    attached->addRef();
                    break;
                }
            }
        }
        if (!attached)
            break;
        attached->removeFromArray();
        attached->fThreadHandle = nullptr;
        attached->removeRef();
    }
    {
        IResourceLock lock(tableGuard());
        record->fId = id;
        record->fThreadHandle = currentHandle(true);
    }
    flushCache();
    // A wait that passed the record over while it had no handle must collect it now.
    signalTableChanged();
    return record;
}

namespace {

HANDLE tableChangedEvent()
{
    HANDLE event = gTableChanged.load(std::memory_order_acquire);
    if (event)
        return event;
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!made) {
        IThrow::systemError("CreateEvent", GetLastError(),
                            IEXCEPTION_LOCATION("ithread",
                                                "IStartedThread::waitForThreadEnd(int,const "
                                                "IThreadId&,int)"));
    }
    if (!gTableChanged.compare_exchange_strong(event, made, std::memory_order_acq_rel)) {
        CloseHandle(made);
        return event;
    }
    return made;
}

// The duplicated handles of one round of a wait, closed when the round is over.
struct WaitList {
    ovk_native::KernelHandles handles;
    std::vector<IThreadId> ids;
};

constexpr DWORD kFailed = 0xFFFFFFFF;
constexpr DWORD kTableChanged = 0xFFFFFFFE;

// WaitForMultipleObjects takes at most 64 handles: all of them are waited for chunk by chunk.
DWORD waitForAll(const WaitList& list, HANDLE changed)
{
    const std::size_t count = list.handles.size();
    for (std::size_t first = 0; first < count; first += MAXIMUM_WAIT_OBJECTS) {
        const DWORD chunk = static_cast<DWORD>(
            count - first < MAXIMUM_WAIT_OBJECTS ? count - first : MAXIMUM_WAIT_OBJECTS);
        if (WaitForMultipleObjects(chunk, list.handles.data() + first, TRUE, INFINITE) ==
            WAIT_FAILED)
            return kFailed;
    }
    return WaitForSingleObject(changed, 0) == WAIT_OBJECT_0 ? kTableChanged : 0;
}

// Any one of them: up to 63 threads and the table-changed event in one wait; more are polled
// chunk by chunk, each chunk with the event, so no end and no change goes unseen for long.
DWORD waitForAny(const WaitList& list, HANDLE changed)
{
    constexpr std::size_t perChunk = MAXIMUM_WAIT_OBJECTS - 1;
    const std::size_t count = list.handles.size();
    const DWORD timeout = count <= perChunk ? INFINITE : 10;
    std::vector<HANDLE> chunk;
    for (std::size_t first = 0;; first = first + perChunk < count ? first + perChunk : 0) {
        const std::size_t size = count - first < perChunk ? count - first : perChunk;
        chunk.assign(list.handles.data() + first, list.handles.data() + first + size);
        chunk.push_back(changed);
        const DWORD result =
            WaitForMultipleObjects(static_cast<DWORD>(chunk.size()), chunk.data(), FALSE, timeout);
        if (result == WAIT_FAILED)
            return kFailed;
        if (result == WAIT_TIMEOUT)
            continue;
        const DWORD index = result - WAIT_OBJECT_0;
        if (index == size)
            return kTableChanged;
        return static_cast<DWORD>(first) + index;
    }
}

} // namespace

IThreadId IStartedThread::waitForThreadEnd(IBase::Boolean all, const IThreadId& leaveOut,
                                           IBase::Boolean throwOnFailure)
{
    if (IPlatform::isPlatformVariant())
        return IThreadId();
    HANDLE changed = tableChangedEvent();
    for (;;) {
        WaitList list;
        {
            IResourceLock lock(tableGuard());
            ResetEvent(changed);
            HANDLE process = GetCurrentProcess();
            for (IStartedThread* record : gTable) {
                // A record without a handle (a start still in flight) has nothing to wait on;
                // its start signals the event once it has one.
                if (!record || record->fId == leaveOut || !record->fThreadHandle)
                    continue;
                HANDLE copy = nullptr;
                if (DuplicateHandle(process, record->fThreadHandle, process, &copy, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS)) {
                    list.handles.add(copy);
                    list.ids.push_back(record->fId);
                }
            }
        }
        if (list.handles.empty())
            return IThreadId();
        const DWORD result = all ? waitForAll(list, changed) : waitForAny(list, changed);
        if (result == kFailed) {
            if (!throwOnFailure)
                return IThreadId();
            IThrow::systemError("WaitForMultipleObjects", GetLastError(),
                                IEXCEPTION_LOCATION("ithread",
                                                    "IStartedThread::waitForThreadEnd(int,const "
                                                    "IThreadId&,int)"));
        }
        if (result == kTableChanged)
            continue;
        // A thread can end unseen by the library (terminated, or gone without the detach
        // notification): its record would answer every later wait at once. Ended here, it is
        // reported this once.
        for (const IThreadId& id : list.ids) {
            if (!all && id != list.ids[result])
                continue;
            if (IStartedThread* record = find(id)) {
                if (!record->isStartedHere() && !record->isThreadRunning())
                    record->end();
                record->removeRef();
            }
        }
        return list.ids[result];
    }
}

IThreadId IStartedThread::nextEntry(unsigned long& index, bool allThreads)
{
    IResourceLock lock(tableGuard());
    for (; index < gTable.size(); ++index) {
        IStartedThread* record = gTable[index];
        if (record && record->fId != 0 && (allThreads || record->windowList()))
            return record->fId;
    }
    return IThreadId();
}

IThreadId IStartedThread::entryAt(unsigned long index)
{
    IResourceLock lock(tableGuard());
    if (index < gTable.size() && gTable[index])
        return gTable[index]->fId;
    return IThreadId();
}

IStartedThread& IStartedThread::setVariable(const IString& name, const IString& value)
{
    IResourceLock lock(tableGuard());
    for (unsigned long i = 0; i < fVariableCount; ++i) {
        if (fVariables[i].name == name) {
            fVariables[i].value = value;
            return *this;
        }
    }
    if (fVariableCount == maximumVariables) {
        IThrow::message(OVK_MSG_TOO_MANY_THREAD_VARIABLES,
                        IEXCEPTION_LOCATION("ithread",
                                            "IStartedThread::setVariable(const IString&,const "
                                            "IString&)"));
    }
    fVariables[fVariableCount].name = name;
    fVariables[fVariableCount].value = value;
    ++fVariableCount;
    return *this;
}

IString IStartedThread::variable(const IString& name) const
{
    IResourceLock lock(tableGuard());
    for (unsigned long i = 0; i < fVariableCount; ++i) {
        if (fVariables[i].name == name)
            return fVariables[i].value;
    }
    return IString();
}

unsigned long IStartedThread::anchorBlock() noexcept
{
    if (fHab == 0)
        fHab = 1;
    return fHab;
}

unsigned long IStartedThread::messageQueue() const noexcept
{
    return fHmq ? fHmq : fId.asUnsigned();
}

void IStartedThread::addPendingStop(unsigned long level)
{
    if (!fPendingStops)
        fPendingStops = new ISortedList<unsigned long>(10);
    fPendingStops->add(level);
}

bool IStartedThread::takePendingStopAtLeast(unsigned long level) noexcept
{
    if (!fPendingStops || fPendingStops->lastElement() < level)
        return false;
    fPendingStops->removeLast();
    if (fPendingStops->isEmpty()) {
        delete fPendingStops;
        fPendingStops = nullptr;
    }
    return true;
}

IWindowSet& IStartedThread::windowSet()
{
    IWindowSet* set = fWindowList.load(std::memory_order_acquire);
    if (!set) {
        // Another thread may file a window of this thread at the same moment: the first set
        // published wins and the other is dropped.
        IWindowSet* made = new IWindowSet;
        if (fWindowList.compare_exchange_strong(set, made, std::memory_order_acq_rel))
            set = made;
        else
            delete made;
    }
    return *set;
}

ISubclassedControls& IStartedThread::subclassedControls()
{
    if (!fSubclassedControls)
        fSubclassedControls = new ISubclassedControls;
    return *fSubclassedControls;
}

// Process-wide values ------------------------------------------------------------------------

unsigned long IStartedThread::defaultQueueSize() noexcept { return gDefaultQueueSize.load(); }
void IStartedThread::setDefaultQueueSize(unsigned long size) noexcept { gDefaultQueueSize = size; }
unsigned long IStartedThread::defaultStackSize() noexcept { return gDefaultStackSize.load(); }
void IStartedThread::setDefaultStackSize(unsigned long size) noexcept { gDefaultStackSize = size; }

IBase::Boolean IStartedThread::defaultAutoInitGUI() noexcept
{
    int expected = -1;
    gDefaultAutoInit.compare_exchange_strong(expected, 1);
    return gDefaultAutoInit.load() != 0;
}

void IStartedThread::setDefaultAutoInitGUI(IBase::Boolean value) noexcept
{
    gDefaultAutoInit = value ? 1 : 0;
}

IThreadId IStartedThread::primaryThreadId() noexcept { return gPrimaryThreadId.load(); }
bool IStartedThread::isTerminating() noexcept { return gTerminating.load(); }
HINSTANCE IStartedThread::libraryModule() noexcept { return gLibraryModule; }
unsigned long IStartedThread::tableStamp() noexcept { return gTableStamp.load(); }

unsigned long IStartedThread::arraySize()
{
    IResourceLock lock(tableGuard());
    return static_cast<unsigned long>(gTable.size());
}

unsigned long IStartedThread::threadCount()
{
    IResourceLock lock(tableGuard());
    unsigned long count = 0;
    for (IStartedThread* record : gTable)
        count += record ? 1 : 0;
    return count;
}

IString IStartedThread::staticsDebugInfo()
{
    unsigned long hits, misses;
    {
        ICritSec section;
        hits = gCacheHits;
        misses = gCacheMisses;
    }
    return "IStartedThread::(cacheHits=" + IString(hits) + ",cacheMisses=" + IString(misses) +
           ",threads=" + IString(threadCount()) + ",arraySize=" + IString(arraySize()) + ")";
}

std::vector<IStartedThread*> IStartedThread::recordsWithWindows()
{
    std::vector<IStartedThread*> records;
    IResourceLock lock(tableGuard());
    records.reserve(gTable.size());
    for (IStartedThread* record : gTable) {
        if (record && record->windowList()) {
            record->addRef();
            records.push_back(record);
        }
    }
    return records;
}

// The library entry point's hooks ------------------------------------------------------------

void IStartedThread::processAttached(HINSTANCE module) noexcept
{
    gLibraryModule = module;
    gPrimaryThreadId = GetCurrentThreadId();
    threadAttached();
}

void IStartedThread::processDetaching() noexcept
{
    gTerminating = true;
}

void IStartedThread::threadAttached() noexcept
{
    try {
        if (!currentHandle(false))
            locate(GetCurrentThreadId())->removeRef();
    } catch (const IException& failure) {
        // A thread that the library could not enter gets its record on first use instead.
        IAssertion::report(failure);
    } catch (...) {
    }
}

void IStartedThread::threadDetached(bool terminating) noexcept
{
    try {
        const IThreadId id = GetCurrentThreadId();
        if (!currentHandle(false) || !handleFor(id) || id == primaryThreadId() || terminating)
            return;
        IStartedThread* record = locate(id);
        try {
            record->end();
        } catch (...) {
            record->removeRef();
            throw;
        }
        record->removeRef();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
}

// Thread objects -----------------------------------------------------------------------------

IThread::IThread(IStartedThread* record) : fRecord(record)
{
    if (fRecord)
        fRecord->addRef();
}

// The record is asked of the other object, not read from its field: the calling thread's object
// keeps none of its own, and a copy of it is a view on the calling thread's record.
IThread::IThread(const IThread& other) : IVBase(other), fRecord(other.startedThread())
{
    if (fRecord)
        fRecord->addRef();
}

IThread& IThread::operator=(const IThread& other)
{
    IStartedThread* record = other.startedThread();
    if (record)
        record->addRef();
    if (fRecord)
        fRecord->removeRef();
    fRecord = record;
    return *this;
}

IThread::~IThread()
{
    if (fRecord)
        fRecord->removeRef();
}

ICurrentThread& IThread::current()
{
    // Never deleted: threads may still ask for it while the process ends.
    static ICurrentThread* instance = new ICurrentThread;
    return *instance;
}

IString IThread::asString() const
{
    return "IThread(" + id().asString() + ")";
}

IString IThread::asDebugInfo() const
{
    IStartedThread* record = startedThread();
    return "IThread(" + IVBase::asDebugInfo() + ",thread=" +
           (record ? record->asDebugInfo() : IString("0")) + ")";
}

IThreadId IThread::id() const { return startedThread()->id(); }
IBase::Boolean IThread::autoInitGUI() const { return startedThread()->autoInitGUI(); }

IThread& IThread::setAutoInitGUI(IBase::Boolean autoInitialize)
{
    startedThread()->setAutoInitGUI(autoInitialize);
    return *this;
}

IThread& IThread::stopProcessingMsgs()
{
    IStartedThread* record = startedThread();
    if (record->loopLevel() == 0) {
        IThrow::message(OVK_MSG_NO_MESSAGE_LOOP,
                        IEXCEPTION_LOCATION("ithread", "IThread::stopProcessingMsgs()"));
    }
    IMessageQueueHandle(record->messageQueue()).postEvent(WM_QUIT);
    return *this;
}

unsigned long IThread::stackSize() const { return startedThread()->stackSize(); }

IThread& IThread::setStackSize(unsigned long size)
{
    startedThread()->setStackSize(size);
    return *this;
}

unsigned long IThread::queueSize() const { return startedThread()->queueSize(); }

IThread& IThread::setQueueSize(unsigned long size)
{
    startedThread()->setQueueSize(size);
    return *this;
}

IStartedThread* IThread::startedThread() const { return fRecord; }

// Stopping, suspending, priorities --------------------------------------------------------------

namespace {

// The system's process classes in the order of IApplication::PriorityClass (index 0 unused).
constexpr DWORD kProcessClasses[] = {0, IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                     REALTIME_PRIORITY_CLASS, HIGH_PRIORITY_CLASS};
constexpr long kNormalLevel = 15;

IApplication::PriorityClass classOf(DWORD processClass)
{
    for (int value = 1; value <= 4; ++value) {
        if (kProcessClasses[value] == processClass)
            return static_cast<IApplication::PriorityClass>(value);
    }
    return IApplication::noChange;
}

int clampedPriority(long priority)
{
    return static_cast<int>(priority < -2 ? -2 : priority > 2 ? 2 : priority);
}

void failed(const char* call, const char* function)
{
    IThrow::systemError(call, GetLastError(), IEXCEPTION_LOCATION("ithread", function));
}

} // namespace

IThread& IThread::stop()
{
    IStartedThread* record = startedThread();
    bool terminated = false;
    if (!IPlatform::isPlatformVariant()) {
        const HANDLE thread = handle();
        if (!TerminateThread(thread, 0))
            failed("TerminateThread", "IThread::stop()");
        // Termination completes asynchronously; until it has, the thread could still reach
        // the end of its body and drop its reference itself.
        WaitForSingleObject(thread, INFINITE);
        terminated = true;
    }
    record->end();
    // A terminated thread never returns to drop the reference it held on its record, and with
    // the record would go its window set.
    if (terminated && record->takeThreadReference())
        record->removeRef();
    return *this;
}

IThread& IThread::suspend()
{
    if (!IPlatform::isPlatformVariant() && SuspendThread(handle()) == static_cast<DWORD>(-1))
        failed("SuspendThread", "IThread::suspend()");
    return *this;
}

IThread& IThread::resume()
{
    if (!IPlatform::isPlatformVariant() && ResumeThread(handle()) == static_cast<DWORD>(-1))
        failed("ResumeThread", "IThread::resume()");
    return *this;
}

void* IThread::handle() const
{
    if (startedThread()->threadHandle() == nullptr) {
        IThrow::state("this->startedThread()->handle() != 0",
                      IEXCEPTION_LOCATION("ithread", "IThread::handle() const"));
    }
    return startedThread()->threadHandle();
}

IBase::Boolean IThread::isStarted()
{
    IStartedThread* record = startedThread();
    if (record->isStartedHere() || !record->isStarted())
        return record->isStarted();
    const IThreadId thread = record->id();
    bool running;
    if (thread == IStartedThread::primaryThreadId() || thread == GetCurrentThreadId())
        running = true;
    else if (IPlatform::isPlatformVariant())
        running = false;
    else
        running = record->isThreadRunning();
    record->setStarted(running);
    return running;
}

unsigned long IThread::priorityLevel()
{
    if (IPlatform::isPlatformVariant())
        return 0;
    IStartedThread* record = startedThread();
    if (isStarted()) {
        const int priority = GetThreadPriority(handle());
        if (priority != THREAD_PRIORITY_ERROR_RETURN)
            return static_cast<unsigned long>(priority + kNormalLevel);
    }
    return record->priorityLevel() == -1 ? 0 : static_cast<unsigned long>(record->priorityLevel());
}

IApplication::PriorityClass IThread::priorityClass()
{
    IStartedThread* record = startedThread();
    if (isStarted()) {
        if (IPlatform::isPlatformVariant())
            return IApplication::noChange;
        return classOf(GetPriorityClass(GetCurrentProcess()));
    }
    return static_cast<IApplication::PriorityClass>(record->priorityClass());
}

IThread& IThread::setPriority(IApplication::PriorityClass priorityClass, unsigned int level)
{
    if (IPlatform::isPlatformVariant())
        return *this;
    if (priorityClass == IApplication::noChange)
        priorityClass = this->priorityClass();
    // A class outside the table is kept as no change rather than read past its end.
    const unsigned value = static_cast<unsigned>(priorityClass) <= 4 ? priorityClass : 0;
    startedThread()->setPriority(static_cast<unsigned char>(value), static_cast<long>(level));
    if (!isStarted())
        return *this;
    if (kProcessClasses[value] != 0 && !SetPriorityClass(GetCurrentProcess(), kProcessClasses[value]))
        failed("SetPriorityClass", "IThread::setPriority(IApplication::PriorityClass,unsigned int)");
    if (!SetThreadPriority(handle(), clampedPriority(static_cast<long>(level) - kNormalLevel)))
        failed("SetThreadPriority", "IThread::setPriority(IApplication::PriorityClass,unsigned int)");
    return *this;
}

IThread& IThread::adjustPriority(int delta)
{
    if (IPlatform::isPlatformVariant())
        return *this;
    IStartedThread* record = startedThread();
    if (!isStarted()) {
        // Not running yet: the change applies to the level it will start with.
        const long stored = record->priorityLevel() == -1 ? kNormalLevel : record->priorityLevel();
        record->setPriority(record->priorityClass(),
                            clampedPriority(stored - kNormalLevel + delta) + kNormalLevel);
        return *this;
    }
    const int priority = clampedPriority(static_cast<long>(GetThreadPriority(handle())) + delta);
    record->setPriority(record->priorityClass(), priority + kNormalLevel);
    if (!SetThreadPriority(handle(), priority))
        failed("SetThreadPriority", "IThread::adjustPriority(int)");
    return *this;
}

// The thread cursor ------------------------------------------------------------------------------

IThread::Cursor::Cursor(IBase::Boolean allThreads) : fAllThreads(allThreads) {}

IBase::Boolean IThread::Cursor::setToFirst()
{
    fStamp = IStartedThread::tableStamp();
    fPastEnd = false;
    fIndex = 0;
    unsigned long index = 0;
    if (IStartedThread::nextEntry(index, fAllThreads) == 0) {
        fPastEnd = true;
        invalidate();
        return false;
    }
    fIndex = index;
    return isValid();
}

IBase::Boolean IThread::Cursor::setToNext()
{
    // The stamp tells a changed table; the table guard alone is taken for the step, so no lock
    // is held inside another.
    if (!isValid())
        return false;
    unsigned long index = fIndex + 1;
    if (IStartedThread::nextEntry(index, fAllThreads) == 0) {
        fPastEnd = true;
        invalidate();
        return false;
    }
    fIndex = index;
    return true;
}

IBase::Boolean IThread::Cursor::isValid() const
{
    return fStamp != 0 && fStamp == IStartedThread::tableStamp();
}

void IThread::Cursor::invalidate() { fStamp = 0; }

IThreadId IThread::Cursor::threadId() const
{
    if (!isValid()) {
        IThrow::argument("this->isValid()",
                         IEXCEPTION_LOCATION("ithread", "IThread::Cursor::threadId() const"));
    }
    return IStartedThread::entryAt(fIndex);
}

IBase::Boolean IThread::isProcessingMsgs() const { return startedThread()->loopLevel() != 0; }

IString IThread::variable(const IString& name) const { return startedThread()->variable(name); }

IThread& IThread::setVariable(const IString& name, const IString& value)
{
    startedThread()->setVariable(name, value);
    return *this;
}

unsigned long IThread::defaultQueueSize() { return IStartedThread::defaultQueueSize(); }
void IThread::setDefaultQueueSize(unsigned long size) { IStartedThread::setDefaultQueueSize(size); }
unsigned long IThread::defaultStackSize() { return IStartedThread::defaultStackSize(); }
void IThread::setDefaultStackSize(unsigned long size) { IStartedThread::setDefaultStackSize(size); }
IBase::Boolean IThread::defaultAutoInitGUI() { return IStartedThread::defaultAutoInitGUI(); }

void IThread::setDefaultAutoInitGUI(IBase::Boolean autoInitialize)
{
    IStartedThread::setDefaultAutoInitGUI(autoInitialize);
}

// The calling thread ---------------------------------------------------------------------------

ICurrentThread::ICurrentThread() : IThread(nullptr) {}

IThreadId ICurrentThread::id() const { return GetCurrentThreadId(); }

IStartedThread* ICurrentThread::startedThread() const
{
    return IStartedThread::current();
}

ICurrentThread& ICurrentThread::initializeGUI(unsigned long queueSize)
{
    IStartedThread* record = startedThread();
    if (IPlatform::isPlatformVariant() && !gQueueSetUp.load()) {
        // The older platform's queues are small and fixed at set-up; ask for a generous one and
        // settle for what the system grants.
        long size = static_cast<long>(queueSize);
        if (queueSize == 0 || queueSize == IStartedThread::defaultQueueSize())
            size = static_cast<long>(kVariantQueueSize);
        while (!SetMessageQueue(static_cast<int>(size)) && size > 0)
            size -= 8;
        gQueueSetUp = true;
        record->setQueueSize(static_cast<unsigned long>(size > 0 ? size : 0));
    }
    if (record->messageQueue() != messageQueue())
        record->setMessageQueue(messageQueue());
    return *this;
}

ICurrentThread& ICurrentThread::terminateGUI() { return *this; }

IThread& ICurrentThread::suspend()
{
    // A thread that processes messages would stop answering them, and nothing on it could
    // resume it.
    if (isGUIInitialized()) {
        IThrow::message(OVK_MSG_THREAD_CANNOT_SUSPEND_ITSELF,
                        IEXCEPTION_LOCATION("ithread", "ICurrentThread::suspend()"));
    }
    return IThread::suspend();
}

void* ICurrentThread::handle() const { return IStartedThread::currentHandle(true); }

IMessageQueueHandle ICurrentThread::messageQueueHandle() const { return messageQueue(); }

unsigned long ICurrentThread::reservedValue() const { return 1000; }

ICurrentThread& ICurrentThread::sleep(unsigned long milliseconds)
{
    Sleep(milliseconds);
    return *this;
}

ICurrentThread& ICurrentThread::waitFor(const IThread& thread)
{
    const IThreadId tid = thread.id();
    if (tid == IStartedThread::primaryThreadId()) {
        IThrow::argument("tid != IStartedThread::fgPrimaryTID",
                         IEXCEPTION_LOCATION("ithread", "ICurrentThread::waitFor(const IThread&)"));
    }
    if (tid == IThread::current().id()) {
        IThrow::argument("tid != IThread::current().id()",
                         IEXCEPTION_LOCATION("ithread", "ICurrentThread::waitFor(const IThread&)"));
    }
    if (tid == 0 || IPlatform::isPlatformVariant())
        return *this;
    // The thread closes its record's handle as it ends: wait on a duplicate of our own. No
    // handle left means the thread has ended already.
    HANDLE copy = thread.startedThread()->duplicateHandle();
    if (!copy)
        return *this;
    const DWORD result = WaitForSingleObject(copy, INFINITE);
    const DWORD error = GetLastError();
    CloseHandle(copy);
    if (result == WAIT_FAILED) {
        IThrow::systemError("WaitForSingleObject", error,
                            IEXCEPTION_LOCATION("ithread", "ICurrentThread::waitFor(const IThread&)"));
    }
    return *this;
}

ICurrentThread& ICurrentThread::waitForAllThreads()
{
    if (id() != IStartedThread::primaryThreadId()) {
        IThrow::argument("this->id() == IStartedThread::fgPrimaryTID",
                         IEXCEPTION_LOCATION("ithread", "ICurrentThread::waitForAllThreads()"));
    }
    IStartedThread::waitForThreadEnd(true, id(), true);
    return *this;
}

IThreadId ICurrentThread::waitForAnyThread()
{
    return IStartedThread::waitForThreadEnd(false, id(), true);
}

void ICurrentThread::exit(unsigned long code)
{
    const bool primary = id() == IStartedThread::primaryThreadId();
    IStartedThread* record = IStartedThread::locate(id());
    record->end();
    record->removeRef();
    if (primary)
        std::exit(static_cast<int>(code));
    ExitThread(static_cast<DWORD>(code));
}

IBase::Boolean ICurrentThread::isGUIInitialized() const
{
    return anchorBlock() != 0 && messageQueue() != 0;
}

unsigned long ICurrentThread::anchorBlock() const { return startedThread()->anchorBlock(); }

IMessageQueueHandle ICurrentThread::messageQueue() const
{
    return IMessageQueueHandle(startedThread()->messageQueue());
}

// The message loop -----------------------------------------------------------------------------

namespace {

// Offers a key or character message to the accelerator tables of its window and of each parent
// in turn. Windows without a window object are passed over, so a table on a frame catches keys
// pressed in any child, wrapped or not. The desktop and the object window end the climb.
bool translateAccelerator(MSG& message)
{
    const HWND desktop = GetDesktopWindow();
    const HWND objectWindow = objectWindowHandle();
    for (HWND handle = message.hwnd; handle && handle != desktop && handle != objectWindow;
         handle = GetParent(handle)) {
        const HACCEL table = ovk_app::acceleratorOf(handle);
        if (table && TranslateAcceleratorA(handle, table, &message))
            return true;
    }
    return false;
}

// One level of the thread's loop: raised on entry, lowered on the way out, also when an
// exception leaves the loop, so the thread's level always matches the loops running.
class LoopLevel {
public:
    explicit LoopLevel(IStartedThread& record) : fRecord(record)
    {
        fRecord.setLoopLevel(fRecord.loopLevel() + 1);
    }
    LoopLevel(const LoopLevel&) = delete;
    LoopLevel& operator=(const LoopLevel&) = delete;
    ~LoopLevel()
    {
        if (fEnded)
            return;
        try {
            end();
        } catch (const IException& failure) {
            IAssertion::report(failure);
        }
    }

    // Lowers the level; a stop request that waited for an enclosing loop is posted again once
    // that loop is the innermost one, so that it ends it.
    void end()
    {
        fEnded = true;
        const unsigned long level = fRecord.loopLevel() - 1;
        fRecord.setLoopLevel(level);
        if (fRecord.takePendingStopAtLeast(level)) {
            IMessageQueueHandle(fRecord.messageQueue())
                .postEvent(IPrivateMessage::stopLoop, 0, IEventParameter2(level));
        }
    }

private:
    IStartedThread& fRecord;
    bool fEnded = false;
};

// The key messages up to 0x108, the last one of the older headers' range; WM_UNICHAR (0x109)
// and later are never offered to the tables.
bool isKeyOrCharacter(UINT message)
{
    return message >= WM_KEYFIRST && message <= 0x108;
}

} // namespace

ICurrentThread& ICurrentThread::processMsgs()
{
    IStartedThread* record = startedThread();
    if (!isGUIInitialized())
        initializeGUI(kFirstQueueSize);
    anchorBlock();

    LoopLevel level(*record);
    MSG message;
    for (;;) {
        // -1 reports a failure of GetMessage itself; it ends the loop as WM_QUIT does instead
        // of spinning on the same failure.
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        // Messages sent from other threads are delivered inside GetMessage.
        ICallbackGuard::rethrowPending();
        if (got == 0 || got == -1)
            break;
        if (message.message == IPrivateMessage::stopLoop) {
            const unsigned long target = static_cast<unsigned long>(message.lParam);
            if (record->loopLevel() <= target)
                break;
            record->addPendingStop(target);
            continue;
        }
        if (isKeyOrCharacter(message.message)) {
            const bool translated = translateAccelerator(message);
            ICallbackGuard::rethrowPending();
            if (translated)
                continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ICallbackGuard::rethrowPending();
    }
    level.end();
    return *this;
}
