// The view port's handlers.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include "iscroll.hpp"
#include "ivporhdr.hpp"
#include "ivport.hpp"

namespace {

constexpr long kLongestUnscaled = 0x7FFF;

// The typed attach and detach of every handler here: the argument check, then the plain one.
template <class Target>
void passOn(IHandler& handler, Target* target, bool attach, const char* condition,
            const char* function)
{
    if (!target)
        IThrow::argument(condition, IEXCEPTION_LOCATION("ivporhdr", function));
    if (attach)
        handler.IHandler::handleEventsFor(target);
    else
        handler.IHandler::stopHandlingEventsFor(target);
}

// A child's rectangle in its parent's client area.
RECT childRect(HWND parent, HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

// Resizing -------------------------------------------------------------------------------------

IViewPortResizeHandler::~IViewPortResizeHandler() = default;

IViewPortResizeHandler& IViewPortResizeHandler::handleEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, true, "viewport != 0",
           "IViewPortResizeHandler::handleEventsFor(IViewPort*)");
    return *this;
}

IViewPortResizeHandler& IViewPortResizeHandler::stopHandlingEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, false, "viewport != 0",
           "IViewPortResizeHandler::stopHandlingEventsFor(IViewPort*)");
    return *this;
}

IBase::Boolean IViewPortResizeHandler::windowResize(IResizeEvent& event)
{
    auto* viewPort = dynamic_cast<IViewPort*>(event.dispatchingWindow());
    if (!viewPort)
        return false;
    const ISize now = event.newSize();
    const ISize before = event.oldSize();
    if (now != before) {
        viewPort->setLayoutDistorted(ovk_layout::viewPortSizeChanged, 0);
        // A wider view port moves its vertical bar: the strip it left must be painted anew.
        if (viewPort->isVisible() && now.width() > before.width())
            viewPort->refresh();
    }
    return true;
}

// Scrolling ------------------------------------------------------------------------------------

IViewPortScrollHandler::~IViewPortScrollHandler() = default;

IViewPortScrollHandler& IViewPortScrollHandler::handleEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, true, "viewport != 0",
           "IViewPortScrollHandler::handleEventsFor(IViewPort*)");
    return *this;
}

IViewPortScrollHandler& IViewPortScrollHandler::stopHandlingEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, false, "viewport != 0",
           "IViewPortScrollHandler::stopHandlingEventsFor(IViewPort*)");
    return *this;
}

IBase::Boolean IViewPortScrollHandler::lineUp(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::lineDown(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::pageUp(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::pageDown(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::lineLeft(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::lineRight(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::pageLeft(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::pageRight(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::scrollBoxTrack(IScrollEvent& event) { return scroll(event); }
IBase::Boolean IViewPortScrollHandler::scrollBoxPosition(IScrollEvent& event) { return scroll(event); }

IBase::Boolean IViewPortScrollHandler::scroll(IScrollEvent& event)
{
    auto* viewPort = dynamic_cast<IViewPort*>(event.dispatchingWindow());
    IWindow* barWindow = event.scrollBarWindow();
    if (!viewPort || !barWindow)
        return false;
    const bool vertical = barWindow == &viewPort->verticalScrollBar();
    if (!vertical && barWindow != &viewPort->horizontalScrollBar())
        return false;
    const IViewPort::Axis axis = viewPort->axis(vertical);
    IScrollBar& bar = *axis.bar;
    const long last = axis.lastOffset();
    long offset = static_cast<long>(axis.offset);
    const unsigned long code = event.scrollCode();
    if (code == IScrollEvent::thumbTrack || code == IScrollEvent::thumbPosition) {
        const long position = std::max(1L, event.newScrollBoxPosition());
        const long upper = bar.scrollBoxRange().upperBound();
        if (axis.extent <= kLongestUnscaled)
            offset = position - 1;
        else if (position == upper || upper <= 1)
            offset = last;
        else
            offset = std::lround(static_cast<double>(position - 1) * static_cast<double>(last) /
                                 static_cast<double>(upper - 1));
    } else if (axis.extent <= kLongestUnscaled) {
        moveScrollBox(event);
        offset = bar.scrollBoxPosition() - 1;
    } else {
        const bool page = code == IScrollEvent::pageUp || code == IScrollEvent::pageDown;
        const long step = page ? static_cast<long>(bar.pageScrollIncrement()) * axis.scale
                               : static_cast<long>(bar.minScrollIncrement());
        const bool back = code == IScrollEvent::lineUp || code == IScrollEvent::pageUp;
        offset = std::clamp(back ? offset - step : offset + step, 0L, last);
    }
    viewPort->scrollTo(vertical, static_cast<unsigned long>(std::clamp(offset, 0L, last)));
    return true;
}

// Keys -----------------------------------------------------------------------------------------

IViewPortKeyboardHandler::~IViewPortKeyboardHandler() = default;

IViewPortKeyboardHandler& IViewPortKeyboardHandler::handleEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, true, "viewport != 0",
           "IViewPortKeyboardHandler::handleEventsFor(IViewPort*)");
    return *this;
}

IViewPortKeyboardHandler& IViewPortKeyboardHandler::stopHandlingEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, false, "viewport != 0",
           "IViewPortKeyboardHandler::stopHandlingEventsFor(IViewPort*)");
    return *this;
}

IBase::Boolean IViewPortKeyboardHandler::keyWithScanCode(IKeyboardEvent& event)
{
    return scrollKey(event);
}

IBase::Boolean IViewPortKeyboardHandler::nonCharacterKey(IKeyboardEvent& event)
{
    return scrollKey(event);
}

IBase::Boolean IViewPortKeyboardHandler::scrollKey(IKeyboardEvent& event)
{
    auto* viewPort = dynamic_cast<IViewPort*>(event.dispatchingWindow());
    if (!viewPort || !event.isVirtual())
        return false;
    // Bit 29 of the key data: Alt was down.
    const bool alt = (event.parameter2().asUnsignedLong() & 0x20000000UL) != 0;
    const bool ctrl = event.isCtrlDown() != 0;
    if (alt || event.isShiftDown())
        return false;
    UINT message = 0;
    WPARAM code = 0;
    switch (event.virtualKey()) {
    case IKeyboardEvent::pageUp: message = ctrl ? WM_HSCROLL : WM_VSCROLL; code = SB_PAGEUP; break;
    case IKeyboardEvent::pageDown: message = ctrl ? WM_HSCROLL : WM_VSCROLL; code = SB_PAGEDOWN; break;
    case IKeyboardEvent::up: message = WM_VSCROLL; code = SB_LINEUP; break;
    case IKeyboardEvent::down: message = WM_VSCROLL; code = SB_LINEDOWN; break;
    case IKeyboardEvent::left: message = WM_HSCROLL; code = SB_LINELEFT; break;
    case IKeyboardEvent::right: message = WM_HSCROLL; code = SB_LINERIGHT; break;
    default: return false;
    }
    // With Ctrl only the page keys scroll, and sideways.
    if (ctrl && code != SB_PAGEUP && code != SB_PAGEDOWN)
        return false;
    const IScrollBar& bar = message == WM_VSCROLL ? viewPort->verticalScrollBar()
                                                  : viewPort->horizontalScrollBar();
    viewPort->sendEvent(message, IEventParameter1(static_cast<unsigned long>(code)),
                        IEventParameter2(static_cast<const void*>(bar.handle().asValue())));
    return true;
}

// Painting -------------------------------------------------------------------------------------

IViewPortPaintHandler::~IViewPortPaintHandler() = default;

IViewPortPaintHandler& IViewPortPaintHandler::shared()
{
    return ovk_app::sharedHandler<IViewPortPaintHandler>();
}

IViewPortPaintHandler& IViewPortPaintHandler::handleEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, true, "viewport != 0",
           "IViewPortPaintHandler::handleEventsFor(IViewPort*)");
    return *this;
}

IViewPortPaintHandler& IViewPortPaintHandler::stopHandlingEventsFor(IViewPort* viewPort)
{
    passOn(*this, viewPort, false, "viewport != 0",
           "IViewPortPaintHandler::stopHandlingEventsFor(IViewPort*)");
    return *this;
}

IBase::Boolean IViewPortPaintHandler::paintWindow(IPaintEvent& event)
{
    auto* viewPort = dynamic_cast<IViewPort*>(event.dispatchingWindow());
    if (!viewPort)
        return false;
    const HWND port = viewPort->handle();
    for (const IWindow* child : {static_cast<const IWindow*>(&viewPort->verticalScrollBar()),
                                 static_cast<const IWindow*>(&viewPort->horizontalScrollBar()),
                                 static_cast<const IWindow*>(&viewPort->viewRectangle())}) {
        if (!child->isVisible())
            continue;
        const RECT r = childRect(port, child->handle());
        ValidateRect(port, &r);
    }
    return false;
}

IViewRectanglePaintHandler::~IViewRectanglePaintHandler() = default;

IViewRectanglePaintHandler& IViewRectanglePaintHandler::shared()
{
    return ovk_app::sharedHandler<IViewRectanglePaintHandler>();
}

IViewRectanglePaintHandler& IViewRectanglePaintHandler::handleEventsFor(IViewRectangle* viewRect)
{
    passOn(*this, viewRect, true, "viewRect != 0",
           "IViewRectanglePaintHandler::handleEventsFor(IViewRectangle*)");
    return *this;
}

IViewRectanglePaintHandler&
IViewRectanglePaintHandler::stopHandlingEventsFor(IViewRectangle* viewRect)
{
    passOn(*this, viewRect, false, "viewRect != 0",
           "IViewRectanglePaintHandler::stopHandlingEventsFor(IViewRectangle*)");
    return *this;
}

IBase::Boolean IViewRectanglePaintHandler::paintWindow(IPaintEvent& event)
{
    IWindow* viewRect = event.dispatchingWindow();
    if (!viewRect)
        return false;
    const HWND rectangle = viewRect->handle();
    if (const HWND view = GetWindow(rectangle, GW_CHILD)) {
        const RECT r = childRect(rectangle, view);
        ValidateRect(rectangle, &r);
    }
    return false;
}
