// The generic event.
#include <iexcept.hpp>

#include "ievent.hpp"
#include "iwindow.hpp"

IEvent::IEvent(const IWindowHandle& handle, unsigned long eventId,
               const IEventParameter1& parameter1, const IEventParameter2& parameter2) noexcept
    : IEvent(InPlace(), handle, eventId, parameter1, parameter2)
{
}

IEvent::IEvent(IWindow* window, unsigned long eventId, const IEventParameter1& parameter1,
               const IEventParameter2& parameter2)
    : fEventId(eventId), fParameter1(parameter1), fParameter2(parameter2)
{
    IARGUMENT_CHECK(window != 0, "ievent",
                    "IEvent::IEvent(IWindow*,unsigned long,const IEventParameter1&,const "
                    "IEventParameter2&)");
    fHandle = fDispatchingHandle = fControlHandle = window->handle();
}

IEvent::IEvent(const IEvent& other) noexcept = default;

IEvent& IEvent::operator=(const IEvent& other) noexcept = default;

IEvent::~IEvent() = default;

IWindow* IEvent::window() const
{
    return IWindow::windowWithHandle(fHandle, true);
}

IWindow* IEvent::dispatchingWindow() const
{
    return IWindow::windowWithHandle(fDispatchingHandle, true);
}

IWindow* IEvent::controlWindow() const
{
    return fControlHandle ? IWindow::windowWithHandle(fControlHandle, true) : nullptr;
}
