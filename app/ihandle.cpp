// Sending and posting through the handle wrappers, and the parameter slots of the older
// platform.
#include <windows.h>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <atomic>
#include <cstring>
#include <vector>

#include <icnrmsg.hpp>

#include "detail/icallgrd.hpp"
#include "detail/iparked.hpp"
#include "detail/iwinlnk.hpp"
#include "ihandle.hpp"

namespace {

// One parked message. A slot is free while its first parameter is 0; a message is parked only
// when that parameter's high word is non-zero, so a parked one never is. The first parameter is
// claimed with one atomic exchange, so two threads parking at once never share a slot.
struct ParameterSlot {
    std::atomic<WPARAM> parameter1{0};
    LPARAM parameter2 = 0;
    UINT message = 0;
};

ParameterSlot gSlots[kParameterSlots];
std::atomic<unsigned> gLastSlot{0};

unsigned highWord(WPARAM parameter) { return static_cast<unsigned>((parameter >> 16) & 0xFFFF); }

bool isOtherSystemMessage(UINT message) { return message >= 0xF000 && message <= 0xF0BF; }

// The older platform carries only 16 bits of the first parameter to some windows: such
// messages, and commands whose high word is a notification code the other side would read as
// its own, travel parked.
bool mustPark(UINT message, WPARAM parameter1, LPARAM parameter2)
{
    if (!IPlatform::isPlatformVariant())
        return false;
    if (message >= 0xF000 && highWord(parameter1) != 0)
        return true;
    if (message != 0xFFD0 && message != WM_COMMAND)
        return false;
    const unsigned code = highWord(parameter1);
    return code >= 100 && code <= 169 && !IsWindow(reinterpret_cast<HWND>(parameter2));
}

// The slot now holding the message, or -1 when all are taken.
int park(UINT message, WPARAM parameter1, LPARAM parameter2)
{
    for (unsigned slot = 0; slot < kParameterSlots; ++slot) {
        WPARAM expected = 0;
        if (gSlots[slot].parameter1.compare_exchange_strong(expected, parameter1,
                                                            std::memory_order_acq_rel)) {
            gSlots[slot].parameter2 = parameter2;
            gSlots[slot].message = message;
            gLastSlot.store(slot, std::memory_order_relaxed);
            return static_cast<int>(slot);
        }
    }
    return -1;
}

bool isNativeContainer(HWND window)
{
    char name[32];
    const int length = GetClassNameA(window, name, sizeof name);
    return length > 0 && std::strcmp(name, WC_NATIVECONTAINER) == 0;
}

const char* const kPostSignature =
    "IWindowHandle::postEvent(unsigned long,const IEventParameter1&,const IEventParameter2&) const";

struct Collected {
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM list)
{
    // Only gathered here: the messages go out after the enumeration, so no handler runs inside
    // the system's callback.
    reinterpret_cast<Collected*>(list)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> receivers(HWND window, unsigned long mode)
{
    Collected collected;
    if (mode == IWindowHandle::broadcastTopLevel)
        EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&collected));
    else
        EnumChildWindows(window, &collectWindow, reinterpret_cast<LPARAM>(&collected));
    if (mode == IWindowHandle::framesOnly) {
        std::vector<HWND> frames;
        for (HWND candidate : collected.windows) {
            if (ovk_app::isFrameWindow(candidate))
                frames.push_back(candidate);
        }
        return frames;
    }
    return collected.windows;
}

} // namespace

BOOL postWindowMessage(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    if (mustPark(message, parameter1, parameter2)) {
        const int slot = park(message, parameter1, parameter2);
        if (slot < 0) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return FALSE;
        }
        if (PostMessageA(window, kParkedMessage, static_cast<WPARAM>(slot), parameter2))
            return TRUE;
        // Nobody will restore it: the slot is free again.
        const DWORD error = GetLastError();
        gSlots[slot].parameter1.store(0, std::memory_order_release);
        SetLastError(error);
        return FALSE;
    }
    return PostMessageA(window, message, parameter1, parameter2);
}

LRESULT sendWindowMessage(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    if (mustPark(message, parameter1, parameter2)) {
        const int slot = park(message, parameter1, parameter2);
        if (slot < 0)
            return 0;
        return SendMessageA(window, kParkedMessage, static_cast<WPARAM>(slot), parameter2);
    }
    return SendMessageA(window, message, parameter1, parameter2);
}

LRESULT restoreParkedMessage(HWND, UINT& message, WPARAM& parameter1, LPARAM& parameter2)
{
    const unsigned slot = static_cast<unsigned>(parameter1 & 0xFFFF);
    // The number comes with a message that anyone can send: it is trusted only when it names a
    // slot that holds a parked message.
    if (slot >= kParameterSlots)
        return 0;
    const WPARAM parked = gSlots[slot].parameter1.load(std::memory_order_acquire);
    if (parked == 0)
        return 0;
    gLastSlot.store(slot, std::memory_order_relaxed);
    message = gSlots[slot].message;
    parameter2 = gSlots[slot].parameter2;
    parameter1 = parked;
    gSlots[slot].message = 0;
    gSlots[slot].parameter2 = 0;
    gSlots[slot].parameter1.store(0, std::memory_order_release);
    return 0;
}

unsigned parkedSlotsInUse() noexcept
{
    unsigned count = 0;
    for (const ParameterSlot& slot : gSlots)
        count += slot.parameter1.load(std::memory_order_relaxed) != 0 ? 1 : 0;
    return count;
}

unsigned lastParkedSlot() noexcept { return gLastSlot.load(std::memory_order_relaxed); }

IEventData IWindowHandle::sendEvent(unsigned long eventId, const IEventParameter1& parameter1,
                                    const IEventParameter2& parameter2) const
{
    const UINT message = static_cast<UINT>(eventId);
    const WPARAM first = static_cast<WPARAM>(parameter1.asUnsignedLong());
    const LPARAM second = static_cast<LPARAM>(parameter2.asLong());
    LRESULT result;
    // The native container is a window of our own, which never needs the thunk.
    IThunkEntry thunk = thunkSendEntry();
    if (thunk && IPlatform::isPlatformVariant() && highWord(first) != 0 &&
        isOtherSystemMessage(message) && !isNativeContainer(asValue()))
        result = thunk(asValue(), message, first, second);
    else
        result = sendWindowMessage(asValue(), message, first, second);
    // A handler's exception cannot cross the window procedure; it waits in this thread's slot
    // and continues from here, where the sender can see it.
    ICallbackGuard::rethrowPending();
    return IEventData(result);
}

const IWindowHandle& IWindowHandle::postEvent(unsigned long eventId,
                                              const IEventParameter1& parameter1,
                                              const IEventParameter2& parameter2) const
{
    const UINT message = static_cast<UINT>(eventId);
    const WPARAM first = static_cast<WPARAM>(parameter1.asUnsignedLong());
    const LPARAM second = static_cast<LPARAM>(parameter2.asLong());
    IThunkEntry thunk = thunkPostEntry();
    bool posted;
    if (thunk && IPlatform::isPlatformVariant() && highWord(first) != 0 &&
        isOtherSystemMessage(message))
        posted = thunk(asValue(), message, first, second) != 0;
    else
        posted = postWindowMessage(asValue(), message, first, second) != FALSE;
    if (!posted)
        IThrow::systemError("WinPostMsg", GetLastError(), IEXCEPTION_LOCATION("ihandle", kPostSignature));
    return *this;
}

void IWindowHandle::sendEvents(unsigned long eventId, const IEventParameter1& parameter1,
                               const IEventParameter2& parameter2, unsigned long mode) const
{
    for (HWND window : receivers(asValue(), mode)) {
        sendWindowMessage(window, static_cast<UINT>(eventId),
                          static_cast<WPARAM>(parameter1.asUnsignedLong()),
                          static_cast<LPARAM>(parameter2.asLong()));
        ICallbackGuard::rethrowPending();
    }
}

void IWindowHandle::postEvents(unsigned long eventId, const IEventParameter1& parameter1,
                               const IEventParameter2& parameter2, unsigned long mode) const
{
    for (HWND window : receivers(asValue(), mode)) {
        postWindowMessage(window, static_cast<UINT>(eventId),
                          static_cast<WPARAM>(parameter1.asUnsignedLong()),
                          static_cast<LPARAM>(parameter2.asLong()));
    }
}

const IMessageQueueHandle& IMessageQueueHandle::postEvent(unsigned long eventId,
                                                          const IEventParameter1& parameter1,
                                                          const IEventParameter2& parameter2) const
{
    postEvent(*this, eventId, parameter1, parameter2);
    return *this;
}

void IMessageQueueHandle::postEvent(const IMessageQueueHandle& queue, unsigned long eventId,
                                    const IEventParameter1& parameter1,
                                    const IEventParameter2& parameter2)
{
    if (!PostThreadMessageA(queue.fThreadId, static_cast<UINT>(eventId),
                            static_cast<WPARAM>(parameter1.asUnsignedLong()),
                            static_cast<LPARAM>(parameter2.asLong()))) {
        IThrow::systemError("WinPostQueueMsg", GetLastError(),
                            IEXCEPTION_LOCATION("ihandle",
                                                "IMessageQueueHandle::postEvent(const "
                                                "IMessageQueueHandle&,unsigned long,const "
                                                "IEventParameter1&,const IEventParameter2&)"));
    }
}

void IMessageQueueHandle::postEvents(unsigned long eventId, const IEventParameter1& parameter1,
                                     const IEventParameter2& parameter2)
{
    if (!postWindowMessage(HWND_BROADCAST, static_cast<UINT>(eventId),
                           static_cast<WPARAM>(parameter1.asUnsignedLong()),
                           static_cast<LPARAM>(parameter2.asLong()))) {
        IThrow::systemError("PostMessage", GetLastError(),
                            IEXCEPTION_LOCATION("ihandle",
                                                "IMessageQueueHandle::postEvents(unsigned long,const "
                                                "IEventParameter1&,const IEventParameter2&)"));
    }
}
