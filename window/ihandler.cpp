// The handler base.
#include <iexcept.hpp>

#include "ihandler.hpp"
#include "iwindow.hpp"

IHandler::IHandler() noexcept = default;

IHandler::~IHandler()
{
    // Windows never delete their handlers, so one may still be attached to windows of any
    // thread; leaving it there would leave them an entry that points to nothing.
    if (windowCount() != 0)
        IWindow::removeHandlerFromAll(this);
}

IString IHandler::asString() const
{
    return isEnabled() ? "IHandler(enabled)" : "IHandler(disabled)";
}

IString IHandler::asDebugInfo() const
{
    return "IHandler(" + IVBase::asDebugInfo() + ",active=" + (isEnabled() ? "true" : "false") +
           ",windows=" + IString(windowCount()) + ")";
}

IHandler& IHandler::enable(int enable)
{
    fActive.store(enable, std::memory_order_relaxed);
    return *this;
}

IHandler& IHandler::disable()
{
    return enable(0);
}

IHandler& IHandler::handleEventsFor(IWindow* window)
{
    IARGUMENT_CHECK(window, "ihandler", "IHandler::handleEventsFor(IWindow*)");
    window->addHandler(this);
    return *this;
}

IHandler& IHandler::stopHandlingEventsFor(IWindow* window)
{
    IARGUMENT_CHECK(window, "ihandler", "IHandler::stopHandlingEventsFor(IWindow*)");
    window->removeHandler(this);
    return *this;
}

IEventData IHandler::defaultProcedure(IEvent& event)
{
    IWindow* window = event.window();
    ISTATE_CHECK(window != 0, "ihandler", "IHandler::defaultProcedure(IEvent&)");
    window->defaultProcedure(event);
    return event.result();
}
