// The timer table and the thread-timer procedure behind ITimer.
#include <windows.h>

#include <vector>

#include <iexcept.hpp>
#include <iresource.hpp>
#include <ovkmsgid.hpp>

#include "detail/icallgrd.hpp"
#include "itimer.hpp"

namespace {

const char kFile[] = "itimer";

// The identifier an application sees is the slot number plus this offset.
constexpr unsigned long kIdOffset = 1000;
// Identifiers must stay below 0x7FFF; the table grows in steps of ten slots.
constexpr unsigned long kIdLimit = 0x7FFF;
constexpr unsigned long kGrowBy = 10;

struct TimerSlot {
    unsigned long interval = 1000;
    // Non-null exactly while the timer runs; the slot holds one reference on it.
    ITimerFn* function = nullptr;
    // The identifier SetTimer answered and the thread that asked: the system numbers thread
    // timers per thread, so only the pair names a timer. 0 while no system timer ticks for
    // the slot; a timer stopped from another thread keeps them until its own thread has
    // killed it (a thread can kill only its own thread timers).
    UINT_PTR systemId = 0;
    DWORD thread = 0;
    unsigned long useCount = 0;
};

// Slot 0 is never used, so that an index of 0 can mean "none". Slots are addressed by index
// only, since any thread that creates a timer may reallocate the table.
std::vector<TimerSlot>& table()
{
    static std::vector<TimerSlot> slots;
    return slots;
}

IResource& timerLock()
{
    static IPrivateResource lock;
    return lock;
}

TimerSlot& slotAt(unsigned long index)
{
    return table()[index];
}

VOID CALLBACK timerProcedure(HWND, UINT, UINT_PTR systemId, DWORD);

// A timer stopped from another thread waits for its own thread to kill it; a thread that has
// ended took its timers with it.
bool waitsForItsThread(const TimerSlot& slot)
{
    if (slot.systemId == 0)
        return false;
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, slot.thread);
    if (!thread)
        return false;
    const bool running = WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
    CloseHandle(thread);
    return running;
}

bool isFree(const TimerSlot& slot)
{
    return slot.useCount == 0 && !slot.function && !waitsForItsThread(slot);
}

// Takes the lowest free slot, growing the table when none is free.
unsigned long takeFreeSlot()
{
    IResourceLock lock(timerLock());
    std::vector<TimerSlot>& slots = table();
    unsigned long index = 1;
    while (index < slots.size() && !isFree(slots[index]))
        ++index;
    if (index >= slots.size()) {
        const unsigned long size = static_cast<unsigned long>(slots.size());
        if (size + kIdOffset + kGrowBy >= kIdLimit)
            IThrow::message(OVK_MSG_TIMER_TABLE_FULL,
                            IEXCEPTION_LOCATION(kFile, "ITimer::ITimer()"));
        index = size == 0 ? 1 : size;
        slots.resize(size + kGrowBy);
    }
    // A reused slot starts afresh: the interval of whoever had it before would otherwise
    // become this timer's, unasked.
    slots[index] = TimerSlot();
    slots[index].useCount = 1;
    return index;
}

void releaseSlot(unsigned long index) noexcept
{
    if (index == 0)
        return;
    try {
        IResourceLock lock(timerLock());
        TimerSlot& slot = slotAt(index);
        if (slot.useCount > 0)
            --slot.useCount;
    } catch (...) {
        // Only a failed lock gets here; leaving the slot referred to is the safe side.
    }
}

void retainSlot(unsigned long index)
{
    IResourceLock lock(timerLock());
    ++slotAt(index).useCount;
}

// Stops the slot's timer and answers the function object whose reference the caller must drop
// once the lock is released (its destructor may reach for timers itself).
ITimerFn* stopSlot(unsigned long index)
{
    IResourceLock lock(timerLock());
    TimerSlot& slot = slotAt(index);
    ITimerFn* function = slot.function;
    if (function) {
        slot.function = nullptr;
        // Another thread's timer is killed by that thread at its next tick.
        if (slot.thread == GetCurrentThreadId()) {
            KillTimer(nullptr, slot.systemId);
            slot.systemId = 0;
            slot.thread = 0;
        }
    }
    return function;
}

void startSlot(unsigned long index, ITimerFn* function, const char* signature)
{
    IResourceLock lock(timerLock());
    TimerSlot& slot = slotAt(index);
    if (slot.function)
        IThrow::message(OVK_MSG_TIMER_ALREADY_RUNNING, IEXCEPTION_LOCATION(kFile, signature));
    if (slot.systemId != 0 && slot.thread == GetCurrentThreadId())
        KillTimer(nullptr, slot.systemId);
    // A thread timer's identifier is chosen by the system. Asking for our own (slot + 1000)
    // would replace any thread timer that already has that number, the application's or one
    // of ours, so the system is left to choose.
    const UINT_PTR systemId = SetTimer(nullptr, 0, slot.interval, timerProcedure);
    if (systemId == 0)
        IThrow::systemError("SetTimer", GetLastError(), IEXCEPTION_LOCATION(kFile, signature));
    function->addRef();
    slot.function = function;
    slot.systemId = systemId;
    slot.thread = GetCurrentThreadId();
}

// Called by DispatchMessage on the thread that started the timer.
VOID CALLBACK timerProcedure(HWND, UINT, UINT_PTR systemId, DWORD)
{
    ICallbackGuard::call(0, [systemId] {
        ITimerFn* function = nullptr;
        unsigned long timerId = 0;
        {
            // The reference is taken under the lock: once it is released another thread may
            // stop the timer and drop the slot's reference, the last one perhaps.
            IResourceLock lock(timerLock());
            const DWORD thread = GetCurrentThreadId();
            std::vector<TimerSlot>& slots = table();
            bool found = false;
            for (unsigned long index = 1; index < slots.size() && !found; ++index) {
                TimerSlot& slot = slots[index];
                if (slot.systemId != systemId || slot.thread != thread)
                    continue;
                found = true;
                if (slot.function) {
                    function = slot.function;
                    function->addRef();
                    timerId = index + kIdOffset;
                } else {
                    // Stopped from another thread: killed here, and only now is the slot free.
                    KillTimer(nullptr, systemId);
                    slot.systemId = 0;
                    slot.thread = 0;
                }
            }
            // Only this procedure's timers arrive here; one that no slot claims any more was
            // replaced by a restart on another thread, and would tick for nothing.
            if (!found)
                KillTimer(nullptr, systemId);
        }
        if (function) {
            // Called outside the lock, so that the function may stop or restart its own timer.
            IReference<ITimerFn> held(function);
            function->removeRef();
            held->timerExpired(timerId);
        }
        return 0;
    });
}

} // namespace

// ---------------------------------------------------------------------------------------------

ITimer::ITimer() : fSlot(takeFreeSlot()) {}

ITimer::ITimer(const IReference<ITimerFn>& function, unsigned long intervalMilliseconds)
    : fSlot(takeFreeSlot())
{
    try {
        start(function, intervalMilliseconds);
    } catch (...) {
        releaseSlot(fSlot);
        throw;
    }
}

ITimer::ITimer(unsigned long timerId)
{
    IResourceLock lock(timerLock());
    const unsigned long index = timerId - kIdOffset;
    if (timerId <= kIdOffset || index >= table().size() || !slotAt(index).function)
        IThrow::message(OVK_MSG_TIMER_NOT_FOUND,
                        IEXCEPTION_LOCATION(kFile, "ITimer::ITimer(unsigned long)"));
    ++slotAt(index).useCount;
    fSlot = index;
}

ITimer::ITimer(const ITimer& other) : IVBase(other), fSlot(other.fSlot)
{
    retainSlot(fSlot);
}

ITimer& ITimer::operator=(const ITimer& other)
{
    // Take the new slot before leaving the old one, so that assigning a timer to itself keeps
    // its slot referred to throughout.
    retainSlot(other.fSlot);
    releaseSlot(fSlot);
    fSlot = other.fSlot;
    return *this;
}

ITimer::~ITimer()
{
    releaseSlot(fSlot);
}

IString ITimer::asString() const
{
    return IString("ITimer(") + IString(id()) + ")";
}

IString ITimer::asDebugInfo() const
{
    IString text = IString("ITimer: id = ") + IString(id()) + ", interval = " + IString(interval());
    if (isStarted())
        text += ", timer started";
    return text;
}

ITimer& ITimer::start(const IReference<ITimerFn>& function)
{
    static const char signature[] = "ITimer::start(const IReference<ITimerFn>&)";
    if (!function.valid())
        IThrow::reference(IEXCEPTION_LOCATION(kFile, signature));
    startSlot(fSlot, function.get(), signature);
    return *this;
}

ITimer& ITimer::start(const IReference<ITimerFn>& function, unsigned long intervalMilliseconds)
{
    static const char signature[] = "ITimer::start(const IReference<ITimerFn>&,unsigned long)";
    if (!function.valid())
        IThrow::reference(IEXCEPTION_LOCATION(kFile, signature));
    {
        IResourceLock lock(timerLock());
        if (slotAt(fSlot).function)
            IThrow::message(OVK_MSG_TIMER_ALREADY_RUNNING, IEXCEPTION_LOCATION(kFile, signature));
        slotAt(fSlot).interval = intervalMilliseconds;
    }
    startSlot(fSlot, function.get(), signature);
    return *this;
}

ITimer& ITimer::stop()
{
    if (ITimerFn* function = stopSlot(fSlot))
        function->removeRef();
    return *this;
}

ITimer& ITimer::setInterval(unsigned long intervalMilliseconds)
{
    IReference<ITimerFn> function;
    {
        IResourceLock lock(timerLock());
        TimerSlot& slot = slotAt(fSlot);
        if (slot.function && slot.interval == intervalMilliseconds)
            return *this;
        slot.interval = intervalMilliseconds;
        // Held across the restart, so that stopping does not delete the function object.
        function = slot.function;
    }
    if (function) {
        stop();
        start(function);
    }
    return *this;
}

unsigned long ITimer::id() const
{
    return fSlot + kIdOffset;
}

unsigned long ITimer::interval() const
{
    IResourceLock lock(timerLock());
    return slotAt(fSlot).interval;
}

IBase::Boolean ITimer::isStarted() const
{
    IResourceLock lock(timerLock());
    return slotAt(fSlot).function != nullptr;
}

ITimer ITimer::timerAt(const Cursor& cursor)
{
    IARGUMENT_CHECK(cursor.isValid(), kFile, "ITimer::timerAt(const ITimer::Cursor&)");
    return ITimer(cursor.fIndex + kIdOffset);
}

// ---------------------------------------------------------------------------------------------
// Cursor

namespace {

// The first running slot after `after`, 0 when there is none.
unsigned long nextRunningSlot(unsigned long after)
{
    IResourceLock lock(timerLock());
    const std::vector<TimerSlot>& slots = table();
    for (unsigned long index = after + 1; index < slots.size(); ++index) {
        if (slots[index].function)
            return index;
    }
    return 0;
}

} // namespace

ITimer::Cursor::~Cursor() = default;

IBase::Boolean ITimer::Cursor::setToFirst()
{
    fIndex = nextRunningSlot(0);
    return fIndex != 0;
}

IBase::Boolean ITimer::Cursor::setToNext()
{
    if (fIndex != 0)
        fIndex = nextRunningSlot(fIndex);
    return fIndex != 0;
}

IBase::Boolean ITimer::Cursor::isValid() const
{
    if (fIndex == 0)
        return false;
    IResourceLock lock(timerLock());
    return fIndex < table().size() && slotAt(fIndex).function != nullptr;
}

void ITimer::Cursor::invalidate()
{
    fIndex = 0;
}
