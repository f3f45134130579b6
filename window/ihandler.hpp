// IHandler: the base of every piece of behaviour that reacts to a window's events.
#pragma once

#include <ivbase.hpp>

#include <atomic>

#include <idefs.hpp>

#include "ievent.hpp"

class IWindow;

// A handler is attached to windows (handleEventsFor) and offered each of their events, the
// handler attached last first, until one reports the event handled. A derived handler decides
// in dispatchHandlerEvent: it looks at the event identifier, builds its typed event, calls its
// callback and answers the callback's result (see dispatchAs). A window never deletes its
// handlers; a handler that is destroyed detaches itself from every window that still has it.
class OVKWIN_API IHandler : public IVBase {
public:
    IHandler() noexcept;
    ~IHandler() override;
    IHandler(const IHandler&) = delete;
    IHandler& operator=(const IHandler&) = delete;

    // "IHandler(enabled)" or "IHandler(disabled)".
    IString asString() const override;
    // "IHandler(<base text>,active=true,windows=1)".
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    // Stores the value as the active flag: 1 enabled, 0 disabled (any other value is a fault
    // that the dispatcher reports).
    virtual IHandler& enable(int enable = true);
    // enable(0), so that an override of enable sees every disable as well.
    virtual IHandler& disable();
    // Attaches to / detaches from a window; a null window fails the argument check "window".
    virtual IHandler& handleEventsFor(IWindow* window);
    virtual IHandler& stopHandlingEventsFor(IWindow* window);

    IBase::Boolean isEnabled() const noexcept { return fActive.load(std::memory_order_relaxed) != 0; }
    // The number of windows that have this handler in their list.
    unsigned long windowCount() const noexcept {
        return fWindowCount.load(std::memory_order_relaxed);
    }

protected:
    // True when the handler handled the event, which ends the walk.
    virtual IBase::Boolean dispatchHandlerEvent(IEvent& event) = 0;
    // The event's default processing: the previous window procedure of the event's window.
    // Answers the event's result.
    virtual IEventData defaultProcedure(IEvent& event);

    // The one way a handler family calls a callback: builds the typed event from the generic
    // one, calls the callback, and when the callback reports the event handled, copies the
    // typed event's result back, so that it reaches Windows.
    template <class TypedEvent, class Handler>
    static IBase::Boolean dispatchAs(Handler& handler,
                                     IBase::Boolean (Handler::*callback)(TypedEvent&),
                                     IEvent& event) {
        TypedEvent typedEvent(event);
        const IBase::Boolean handled = (handler.*callback)(typedEvent);
        if (handled)
            event.setResult(typedEvent.result());
        return handled;
    }

private:
    friend class IWindow;

    // Set from any thread as a single store; read by the dispatcher.
    std::atomic<int> fActive{1};
    // Raised and lowered by the window side only, under the library lock.
    std::atomic<unsigned long> fWindowCount{0};
};
