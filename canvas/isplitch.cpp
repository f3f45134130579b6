// The split canvas's handler.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <detail/iscoped.hpp>

#include "detail/icvclient.hpp"
#include "detail/icvpaint.hpp"
#include "detail/icvtrack.hpp"
#include "icoordsy.hpp"
#include "isplitch.hpp"
#include "isplitcv.hpp"

namespace {

using ovk_canvas::clientSize;

IRectangle toApplication(const RECT& native, const ISize& client)
{
    return ICoordinateSystem::convertToApplication(
        IRectangle(native.left, native.top, native.right, native.bottom), client);
}

RECT toNative(const IRectangle& application, const ISize& client)
{
    const IRectangle r = ICoordinateSystem::convertToNative(application, client);
    return RECT{r.minX(), r.minY(), r.maxX(), r.maxY()};
}

// A pane's rectangle in the canvas's client area, in the coordinates the layout placed it in:
// with the origin at the bottom left, stacked panes follow each other upwards.
IRectangle paneRect(HWND canvas, const IWindow& child, const ISize& client)
{
    RECT r{};
    GetWindowRect(child.handle(), &r);
    MapWindowPoints(HWND_DESKTOP, canvas, reinterpret_cast<POINT*>(&r), 2);
    return toApplication(r, client);
}

// The bar after a pane: from the pane's far edge over the bar's breadth, across the canvas.
IRectangle barAfter(const IRectangle& pane, const ISize& client, long breadth, bool sideBySide)
{
    if (sideBySide)
        return IRectangle(pane.maxX(), 0, pane.maxX() + breadth, client.height());
    return IRectangle(0, pane.maxY(), client.width(), pane.maxY() + breadth);
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
        canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
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
    const ISize client = clientSize(handle);
    const std::vector<ISplitCanvas::Pane> panes = canvas.panes();
    const POINT point{x, y};
    for (std::size_t i = 0; i + 1 < panes.size(); ++i) {
        const RECT bar = toNative(
            barAfter(paneRect(handle, *panes[i].window, client), client, breadth, canvas.sideBySide()),
            client);
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
            RECT r{};
            GetWindowRect(pane.window->handle(), &r);
            MapWindowPoints(HWND_DESKTOP, handle, reinterpret_cast<POINT*>(&r), 2);
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
    const ISize size(client.right - client.left, client.bottom - client.top);
    for (std::size_t i = 0; i + 1 < panes.size(); ++i) {
        const RECT bar =
            toNative(barAfter(paneRect(handle, *panes[i].window, size), size, breadth, sideBySide),
                     size);
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
    const ISize client = clientSize(handle);
    const IRectangle one = paneRect(handle, first, client);
    const IRectangle two = paneRect(handle, second, client);
    const RECT bar = toNative(barAfter(one, client, breadth, sideBySide), client);
    // The bar may travel from the first pane's start to the second pane's end.
    const RECT bounds = toNative(sideBySide ? IRectangle(one.minX(), 0, two.maxX(), client.height())
                                            : IRectangle(0, one.minY(), client.width(), two.maxY()),
                                 client);
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
    const RECT moved{info.track.minX() - origin.x, info.track.minY() - origin.y,
                     info.track.maxX() - origin.x, info.track.maxY() - origin.y};
    const IRectangle placed = toApplication(moved, client);
    // The earlier pane now ends at the bar, the later one starts after it.
    using Coord = IRectangle::Coord;
    const Coord position = sideBySide ? placed.minX() : placed.minY();
    const Coord after = position + static_cast<Coord>(breadth);
    const IRectangle firstRect = sideBySide
                                     ? IRectangle(one.minX(), one.minY(), position, one.maxY())
                                     : IRectangle(one.minX(), one.minY(), one.maxX(), position);
    const IRectangle secondRect =
        sideBySide ? IRectangle(after, two.minY(), std::max(after, two.maxX()), two.maxY())
                   : IRectangle(two.minX(), after, two.maxX(), std::max(after, two.maxY()));
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    for (const auto& [pane, r] : {std::pair<IWindow*, IRectangle>{&first, firstRect},
                                  std::pair<IWindow*, IRectangle>{&second, secondRect}}) {
        const RECT native = toNative(r, client);
        SetWindowPos(pane->handle(), nullptr, native.left, native.top,
                     native.right - native.left, native.bottom - native.top, flags);
    }
    canvas.setWeightsFromLengths();
    canvas.IWindow::setLayoutDistorted(0, ovk_layout::layoutDue);
    RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_FRAME);
}
