// The library's thread records, the thread table, and the message loop of the calling thread.
#include <windows.h>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iresource.hpp>
#include <ovkmsgid.hpp>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <iwindow.hpp>

#include "detail/icallgrd.hpp"
#include "detail/icritsec.hpp"
#include "detail/iobjwnd.hpp"
#include "detail/iprivmsg.hpp"
#include "detail/istthread.hpp"
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
    text += ",fnObj=0";
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
        auto* record = static_cast<IStartedThread*>(TlsGetValue(recordSlot));
        if (record && reinterpret_cast<std::uintptr_t>(TlsGetValue(stampSlot)) == stamp)
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
    flushCache();
    fStarted = false;
    fStartedHere = false;
    const bool ownRecord = fId == GetCurrentThreadId();
    if (ownRecord && !IPlatform::isPlatformVariant()) {
        if (!TlsSetValue(tlsSlot(), nullptr)) {
            IThrow::systemError("TlsSetValue", GetLastError(),
                                IEXCEPTION_LOCATION("ithread", "IStartedThread::end()"));
        }
    }
    if (fThreadHandle && !IPlatform::isPlatformVariant()) {
        if (!CloseHandle(fThreadHandle)) {
            IThrow::runtime("CloseHandle",
                            IEXCEPTION_LOCATION("ithread", "IStartedThread::end()"), GetLastError());
        }
    }
    fThreadHandle = nullptr;
    removeFromArray();
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

IThread::IThread(const IThread& other) : IVBase(other), fRecord(other.fRecord)
{
    if (fRecord)
        fRecord->addRef();
}

IThread& IThread::operator=(const IThread& other)
{
    if (other.fRecord)
        other.fRecord->addRef();
    if (fRecord)
        fRecord->removeRef();
    fRecord = other.fRecord;
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
        IWindow* window = IWindow::windowWithHandle(handle, true);
        if (!window)
            continue;
        IAccelTblHandle table = window->acceleratorHandle();
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

bool isKeyOrCharacter(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_SYSDEADCHAR;
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
