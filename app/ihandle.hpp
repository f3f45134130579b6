// Value wrappers of native handles: a window, a thread's message queue, an accelerator table, a
// device context.
// They do not own what they name; copying one copies the name only.
#pragma once

#include <cstdint>

#include "idefs.hpp"
#include "ihandval.hpp"
#include "ievtparm.hpp"

// The native handle types, declared as <windows.h> declares them, so that this header needs none
// of it; ovkwin.hpp still brings <windows.h> in, for the bitmap model and drag and drop headers.
struct HWND__;
struct HACCEL__;
struct HDC__;

// A native window handle. Sending and posting go through it, so that every message the library
// sends passes the same wrapper.
class OVKWIN_API IWindowHandle : public IHandleValue<HWND__> {
public:
    using IHandleValue::IHandleValue;

    // SendMessageA. On the older platform, the other windowing system's messages
    // (0xF000-0xF0BF with a non-zero high word in the first parameter) to windows of its own
    // classes go through the thunk library, when it is bound. An exception that a handler of the receiving window (on this thread) did
    // not let go is thrown here, once the send has returned.
    IEventData sendEvent(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                         const IEventParameter2& parameter2 = 0) const;
    // PostMessageA (or the thunk library's post, as for sendEvent); a failure throws the system
    // error "WinPostMsg".
    const IWindowHandle& postEvent(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                                   const IEventParameter2& parameter2 = 0) const;

    // Delivery to many windows: with `broadcastTopLevel` every top-level window, otherwise every
    // descendant of this window; with `framesOnly` only windows whose window object is a frame
    // window. Sending answers nothing; posting does not stop at a window that refuses.
    enum BroadcastMode { descendants = 0, broadcastTopLevel = 1, framesOnly = 2 };
    void sendEvents(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                    const IEventParameter2& parameter2 = 0,
                    unsigned long mode = descendants) const;
    void postEvents(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                    const IEventParameter2& parameter2 = 0,
                    unsigned long mode = descendants) const;
};

// A thread's message queue, named by the thread's identifier.
class OVKWIN_API IMessageQueueHandle {
public:
    using Value = std::uint32_t;

    constexpr explicit IMessageQueueHandle(Value threadId = 0) noexcept : fThreadId(threadId) {}
    constexpr operator Value() const noexcept { return fThreadId; }
    constexpr IBase::Boolean isValid() const noexcept { return fThreadId != 0; }

    // PostThreadMessageA; a failure throws the system error "WinPostQueueMsg".
    const IMessageQueueHandle& postEvent(unsigned long eventId,
                                         const IEventParameter1& parameter1 = 0,
                                         const IEventParameter2& parameter2 = 0) const;
    static void postEvent(const IMessageQueueHandle& queue, unsigned long eventId,
                          const IEventParameter1& parameter1 = 0,
                          const IEventParameter2& parameter2 = 0);
    // Posts to every top-level window (HWND_BROADCAST); a failure throws "PostMessage".
    static void postEvents(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                           const IEventParameter2& parameter2 = 0);

private:
    Value fThreadId;
};

// A native accelerator table handle.
class OVKWIN_API IAccelTblHandle : public IHandleValue<HACCEL__> {
public:
    using IHandleValue::IHandleValue;
};

// A native device context (a presentation space).
class OVKWIN_API IPresSpaceHandle : public IHandleValue<HDC__> {
public:
    using IHandleValue::IHandleValue;
};
