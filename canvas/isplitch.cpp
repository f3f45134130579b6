// The split canvas's handler.
#include <windows.h>
#include <windowsx.h>

#include <iexcept.hpp>
#include <detail/iscoped.hpp>

#include "detail/icvpaint.hpp"
#include "detail/icvtrack.hpp"
#include "isplitch.hpp"
#include "isplitcv.hpp"

namespace {

// A child's rectangle in the canvas's client area.
RECT childRect(HWND canvas, const IWindow& child)
{
    RECT r{};
    GetWindowRect(child.handle(), &r);
    MapWindowPoints(HWND_DESKTOP, canvas, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The bar after a pane: from the pane's far edge over the bar's breadth, across the canvas.
RECT barAfter(const RECT& pane, const RECT& client, long breadth, bool sideBySide)
{
    if (sideBySide)
        return RECT{pane.right, client.top, pane.right + breadth, client.bottom};
    return RECT{client.left, pane.bottom, client.right, pane.bottom + breadth};
}

void fill(HDC dc, RECT r, const IColor& color)
{
    const ovk_native::Brush brush(CreateSolidBrush(color.asRGBLong()));
    FillRect(dc, &r, brush.get());
}

} // namespace

ISplitCanvasHandler::~ISplitCanvasHandler() = default;

ISplitCanvasHandler& ISplitCanvasHandler::handleEventsFor(ISplitCanvas* canvas)
{
    IARGUMENT_CHECK(canvas != 0, "isplitch", "ISplitCanvasHandler::handleEventsFor(ISplitCanvas*)");
    IHandler::handleEventsFor(canvas);
    return *this;
}

ISplitCanvasHandler& ISplitCanvasHandler::stopHandlingEventsFor(ISplitCanvas* canvas)
{
    IARGUMENT_CHECK(canvas != 0, "isplitch",
                    "ISplitCanvasHandler::stopHandlingEventsFor(ISplitCanvas*)");
    IHandler::stopHandlingEventsFor(canvas);
    return *this;
}

IBase::Boolean ISplitCanvasHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* canvas = dynamic_cast<ISplitCanvas*>(event.window());
    if (!canvas)
        return false;
    const LPARAM lParam = event.parameter2().asLong();
    switch (event.eventId()) {
    case WM_SIZE:
        canvas->fPendingSize = ISize(LOWORD(lParam), HIWORD(lParam));
        canvas->setLayoutDistorted(0x80, 0);
        canvas->layout();
        // The bars move with the panes; the native control repaints only what it uncovered.
        InvalidateRect(canvas->handle(), nullptr, TRUE);
        return false;
    case WM_PAINT:
        event.setResult(0);
        return paint(*canvas);
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(event.parameter1().asUnsignedLong()) != event.handle() ||
            !canvas->isEnabled() || !GetWindow(canvas->handle(), GW_CHILD))
            return false;
        SetCursor(LoadCursorA(nullptr, (canvas->extendedStyle() & 0x2) ? IDC_SIZENS : IDC_SIZEWE));
        event.setResult(1);
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const long earlier = barAt(*canvas, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (earlier >= 0)
            dragBar(*canvas, earlier);
        return false;
    }
    default:
        return false;
    }
}

long ISplitCanvasHandler::barAt(const ISplitCanvas& canvas, long x, long y)
{
    const long breadth = canvas.splitBarBreadth();
    if (breadth <= 0)
        return -1;
    const HWND handle = canvas.handle();
    RECT client{};
    GetClientRect(handle, &client);
    const std::vector<ISplitCanvas::Pane> panes = canvas.panes();
    const POINT point{x, y};
    for (std::size_t i = 0; i + 1 < panes.size(); ++i) {
        const RECT bar = barAfter(childRect(handle, *panes[i].window), client, breadth,
                                  canvas.sideBySide());
        if (PtInRect(&bar, point))
            return static_cast<long>(i);
    }
    return -1;
}

IBase::Boolean ISplitCanvasHandler::paint(ISplitCanvas& canvas)
{
    canvas.layout();
    const HWND handle = canvas.handle();
    const ovk_canvas::PaintScope scope(handle);
    if (!scope.dc())
        return true;
    const RECT& client = scope.client();
    const std::vector<ISplitCanvas::Pane> panes = canvas.panes();
    {
        // The background where no pane lies: the bars' own strips are painted over it below.
        IGraphicContext context{IPresSpaceHandle(scope.dc())};
        const IRectangle area(client.left, client.top, client.right, client.bottom);
        IGRegion clip(context, area);
        for (const ISplitCanvas::Pane& pane : panes) {
            if (!pane.window->isVisible())
                continue;
            const RECT r = childRect(handle, *pane.window);
            clip -= IGRegion(context, IRectangle(r.left, r.top, r.right, r.bottom));
        }
        ovk_canvas::fillClipped(context, clip, area, canvas.backgroundColor());
        context.clearClipRegion();
    }
    const long breadth = canvas.splitBarBreadth();
    if (breadth <= 0)
        return true;
    const bool sideBySide = canvas.sideBySide();
    const long edge = canvas.fEdgeThickness;
    const long middle = canvas.fMiddleThickness;
    const IRectangle update = scope.update();
    const RECT dirty{update.minX(), update.minY(), update.maxX(), update.maxY()};
    for (std::size_t i = 0; i + 1 < panes.size(); ++i) {
        const RECT bar = barAfter(childRect(handle, *panes[i].window), client, breadth, sideBySide);
        RECT overlap{};
        if (!IntersectRect(&overlap, &bar, &dirty))
            continue;
        // Edge, middle, edge, side by side across the bar.
        const long starts[] = {0, edge, edge + middle};
        const long widths[] = {edge, middle, edge};
        for (int strip = 0; strip < 3; ++strip) {
            RECT r = bar;
            if (sideBySide) {
                r.left = bar.left + starts[strip];
                r.right = r.left + widths[strip];
            } else {
                r.top = bar.top + starts[strip];
                r.bottom = r.top + widths[strip];
            }
            fill(scope.dc(), r, strip == 1 ? canvas.fMiddleColor : canvas.fEdgeColor);
        }
    }
    return true;
}

void ISplitCanvasHandler::dragBar(ISplitCanvas& canvas, long earlier)
{
    const HWND handle = canvas.handle();
    const std::vector<ISplitCanvas::Pane> panes = canvas.panes();
    IWindow& first = *panes[static_cast<std::size_t>(earlier)].window;
    IWindow& second = *panes[static_cast<std::size_t>(earlier) + 1].window;
    const bool sideBySide = canvas.sideBySide();
    const long breadth = canvas.splitBarBreadth();
    RECT client{};
    GetClientRect(handle, &client);
    const RECT one = childRect(handle, first);
    const RECT two = childRect(handle, second);
    const RECT bar = barAfter(one, client, breadth, sideBySide);
    // The bar may travel from the first pane's start to the second pane's end.
    RECT bounds = sideBySide ? RECT{one.left, client.top, two.right, client.bottom}
                             : RECT{client.left, one.top, client.right, two.bottom};
    POINT origin{0, 0};
    ClientToScreen(handle, &origin);
    ITrackInfo info;
    info.track = IRectangle(bar.left + origin.x, bar.top + origin.y, bar.right + origin.x,
                            bar.bottom + origin.y);
    info.boundary = IRectangle(bounds.left + origin.x, bounds.top + origin.y,
                               bounds.right + origin.x, bounds.bottom + origin.y);
    const IBase::Boolean completed = ovk_canvas::trackUnclipped(canvas, info);
    if (!completed)
        return;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (sideBySide) {
        const long position = info.track.minX() - origin.x;
        SetWindowPos(first.handle(), nullptr, one.left, one.top, position - one.left,
                     one.bottom - one.top, flags);
        SetWindowPos(second.handle(), nullptr, position + breadth, two.top,
                     std::max(0L, two.right - position - breadth), two.bottom - two.top, flags);
    } else {
        const long position = info.track.minY() - origin.y;
        SetWindowPos(first.handle(), nullptr, one.left, one.top, one.right - one.left,
                     position - one.top, flags);
        SetWindowPos(second.handle(), nullptr, two.left, position + breadth, two.right - two.left,
                     std::max(0L, two.bottom - position - breadth), flags);
    }
    canvas.setWeightsFromLengths();
    canvas.IWindow::setLayoutDistorted(0, 0x80);
    RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_FRAME);
}
