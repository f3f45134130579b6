// The static-text handler.
#include <windows.h>

#include "istathdr.hpp"
#include "iwindow.hpp"

IStaticTextHandler::~IStaticTextHandler() = default;

namespace {

bool isInsideButton(HWND window)
{
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
        return false;
    char name[16];
    const HWND parent = GetParent(window);
    return parent && GetClassNameA(parent, name, sizeof name) > 0 && lstrcmpiA(name, "Button") == 0;
}

} // namespace

IBase::Boolean IStaticTextHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_WINDOWPOSCHANGED: {
        // A static text lays its text out over its whole width (alignment, wrapping), so a
        // new size invalidates all of it, not only the part that was uncovered.
        const auto* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
        if (position && !(position->flags & SWP_NOSIZE))
            if (IWindow* window = event.window())
                window->refresh();
        return false;
    }
    case WM_NCHITTEST:
        // The native static answers HTTRANSPARENT, which hands the mouse to the window below;
        // the library's static text takes it itself. A static text inside a group box (a
        // "Button") is part of the group box's face and stays transparent, as the native
        // one is.
        if (isInsideButton(event.handle()))
            return false;
        event.setResult(DefWindowProcA(event.handle(), WM_NCHITTEST,
                                       static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                                       event.parameter2().asLong()));
        return true;
    default:
        return IPaintHandler::dispatchHandlerEvent(event);
    }
}
