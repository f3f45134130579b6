// IEvent: one window message as an object, as it walks the handlers of a window.
#pragma once

#include <ievtdata.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <ievtparm.hpp>
#include <ihandle.hpp>

class IWindow;
class IWindowCore;
struct IWindowData;

// The message's window, identifier, parameters and result. Typed events (command, paint, mouse
// and the rest) are thin views built from it by copy; they compute their accessors from the
// parameters, and a handler copies their result back when it handles the event.
class OVKWIN_API IEvent : public IVBase {
public:
    // The window handle, the dispatching handle and the control handle all start as `handle`;
    // the result as 0.
    IEvent(const IWindowHandle& handle, unsigned long eventId,
           const IEventParameter1& parameter1, const IEventParameter2& parameter2) noexcept;
    // The handles of a window object (which must not be null).
    IEvent(IWindow* window, unsigned long eventId, const IEventParameter1& parameter1,
           const IEventParameter2& parameter2);
    IEvent(const IEvent& other) noexcept;
    IEvent& operator=(const IEvent& other) noexcept;
    ~IEvent() override;

    // The window objects of the three handles, looked up in every thread's window set; null
    // when a handle has none (the control window also when there is no control handle).
    virtual IWindow* window() const;
    virtual IWindow* dispatchingWindow() const;
    virtual IWindow* controlWindow() const;

    IWindowHandle handle() const noexcept { return fHandle; }
    // The window whose handlers are walking the event now: a control notification is offered
    // first to the control's own window object, then to the window that received it.
    IWindowHandle dispatchingHandle() const noexcept { return fDispatchingHandle; }
    IWindowHandle controlHandle() const noexcept { return fControlHandle; }
    unsigned long eventId() const noexcept { return fEventId; }
    const IEventParameter1& parameter1() const noexcept { return fParameter1; }
    const IEventParameter2& parameter2() const noexcept { return fParameter2; }
    const IEventData& result() const noexcept { return fResult; }

    IEvent& setResult(const IEventData& result) noexcept {
        fResult = result;
        return *this;
    }
    IEvent& setDispatchingHandle(const IWindowHandle& handle) noexcept {
        fDispatchingHandle = handle;
        return *this;
    }

protected:
    IEvent& setControlHandle(const IWindowHandle& handle) noexcept {
        fControlHandle = handle;
        return *this;
    }

private:
    friend class IWindow;
    friend class IWindowCore;

    // The public constructor's work, defined here so that the window procedure builds the event
    // of every message in place: a call to the exported constructor, with its parameters passed
    // by address, costs that road more than the rest of building the event.
    struct InPlace {};
    IEvent(InPlace, const IWindowHandle& handle, unsigned long eventId,
           const IEventParameter1& parameter1, const IEventParameter2& parameter2) noexcept
        : fHandle(handle), fDispatchingHandle(handle), fControlHandle(handle), fEventId(eventId),
          fParameter1(parameter1), fParameter2(parameter2) {}

    // Where the handler walk stands, so that a handler can pass the event on to the handlers
    // after it (IWindow::dispatchRemainingHandlers). Filled by the dispatcher; a copy of the
    // event carries the same position.
    struct DispatchRecord {
        void* position = nullptr;
        IWindowData* window = nullptr;
    };

    IWindowHandle fHandle;
    IWindowHandle fDispatchingHandle;
    IWindowHandle fControlHandle;
    unsigned long fEventId;
    IEventParameter1 fParameter1;
    IEventParameter2 fParameter2;
    IEventData fResult;
    DispatchRecord fDispatch;
};
