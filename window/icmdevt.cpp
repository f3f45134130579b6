// Command and control events.
#include <windows.h>

#include "icmdevt.hpp"
#include "iwindow.hpp"

ICommandEvent::Source ICommandEvent::source() const noexcept
{
    switch (parameter1().highNumber() & 0x7FFF) {
    case 0:
        return menu;
    case 1:
        return accelerator;
    case 2:
        return library;
    default:
        return other;
    }
}

namespace {

// The control of a notification is a child with the identifier, or, when the control is a
// top-level window (a pop-up list, a floating tool bar), a window that the notified window owns.
// A top-level window found by identifier belongs to someone else unless its owner is the
// notified window: identifiers are only unique among one parent's children.
IWindowHandle findControl(const IEvent& event, unsigned long id)
{
    HWND parent = event.handle();
    HWND child = IWindow::handleWithParent(id, parent);
    if (child && !(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD) &&
        GetWindow(child, GW_OWNER) != parent)
        child = nullptr;
    if (child)
        return child;
    if (IWindow* window = event.window())
        if (IWindow* owned = IWindow::windowWithOwner(id, window, true))
            return owned->handle();
    return IWindowHandle();
}

} // namespace

IControlEvent::IControlEvent(const IEvent& event) : IEvent(event)
{
    setControlHandle(findControl(*this, controlId()));
}

IControlEvent::~IControlEvent() = default;

unsigned long IControlEvent::controlId() const
{
    return parameter1().lowNumber();
}
