// The multi-cell canvas's handler.
#include <windows.h>
#include <windowsx.h>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include "detail/icvclient.hpp"
#include "detail/icvpaint.hpp"
#include "detail/icvtrack.hpp"
#include "icoordsy.hpp"
#include "igline.hpp"
#include "imcelcv.hpp"
#include "imcelcvh.hpp"
#include "imousevt.hpp"

namespace {

// Rows count from the canvas's top in the top-left coordinate system and from its bottom in
// the bottom-left one, where the grid is the top-left picture mirrored pixel for pixel: a
// row line's pixel and a pixel row of the client area then map onto each other by one flip.
long flipRow(long y, long clientHeight)
{
    return ICoordinateSystem::isConversionNeeded() ? clientHeight - 1 - y : y;
}

long clientHeight(HWND canvas)
{
    return ovk_canvas::clientSize(canvas).height();
}

} // namespace

IMultiCellCanvasHandler::~IMultiCellCanvasHandler() = default;

IMultiCellCanvasHandler& IMultiCellCanvasHandler::handleEventsFor(IMultiCellCanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0",
                         IEXCEPTION_LOCATION("imcelcvh", "IMultiCellCanvasHandler::handleEventsFor("
                                                         "IMultiCellCanvas*)"));
    IHandler::handleEventsFor(canvas);
    return *this;
}

IMultiCellCanvasHandler& IMultiCellCanvasHandler::stopHandlingEventsFor(IMultiCellCanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0",
                         IEXCEPTION_LOCATION("imcelcvh", "IMultiCellCanvasHandler::"
                                                         "stopHandlingEventsFor(IMultiCellCanvas*)"));
    IHandler::stopHandlingEventsFor(canvas);
    return *this;
}

unsigned long IMultiCellCanvasHandler::lineAt(const IMultiCellCanvas& canvas, bool columns,
                                              long position)
{
    const unsigned long count = columns ? canvas.columnCount() : canvas.rowCount();
    for (unsigned long i = 1; i <= count; ++i) {
        const long line = columns ? canvas.columnLine(i) : canvas.rowLine(i);
        if (position >= line - 1 && position <= line + 1)
            return i;
    }
    return 0;
}

IBase::Boolean IMultiCellCanvasHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* canvas = dynamic_cast<IMultiCellCanvas*>(event.window());
    if (!canvas)
        return false;
    const LPARAM lParam = event.parameter2().asLong();
    switch (event.eventId()) {
    case WM_SIZE: return resized(*canvas, LOWORD(lParam), HIWORD(lParam));
    case WM_PAINT: return paintLines(*canvas);
    case WM_SETCURSOR: return dispatchAs(*this, &IMultiCellCanvasHandler::pointerRequest, event);
    case WM_MOUSEMOVE: return showLinePointer(*canvas, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_LBUTTONDOWN: return dragLine(*canvas, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    default: return false;
    }
}

IBase::Boolean IMultiCellCanvasHandler::resized(IMultiCellCanvas& canvas, long width, long height)
{
    const bool expands = canvas.expandsAt(width, height);
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    if (expands)
        canvas.layout();
    return false;
}

IBase::Boolean IMultiCellCanvasHandler::pointerRequest(IMousePointerEvent& event)
{
    const unsigned int mouse = HIWORD(event.parameter2().asLong());
    if (reinterpret_cast<HWND>(event.parameter1().asUnsignedLong()) != event.handle() ||
        (mouse != WM_LBUTTONDOWN && mouse != WM_RBUTTONDOWN && mouse != WM_MBUTTONDOWN))
        return false;
    // The press itself goes to the drag below; passing it on would let the owner act on a
    // click that is the start of a drag.
    event.setResult(1);
    return true;
}

IBase::Boolean IMultiCellCanvasHandler::showLinePointer(IMultiCellCanvas& canvas, long x, long y)
{
    if (!canvas.hasDragLines())
        return false;
    const long row = flipRow(y, clientHeight(canvas.handle()));
    if (lineAt(canvas, true, x))
        SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
    else if (lineAt(canvas, false, row))
        SetCursor(LoadCursorA(nullptr, IDC_SIZENS));
    else
        return false;
    return true;
}

IBase::Boolean IMultiCellCanvasHandler::paintLines(IMultiCellCanvas& canvas)
{
    if (!canvas.hasGridLines() && !canvas.hasDragLines())
        return false;
    canvas.layout();
    const ovk_canvas::PaintScope paint(canvas.handle());
    if (!paint.dc())
        return false;
    const RECT& client = paint.client();
    IGraphicContext context{IPresSpaceHandle(paint.dc())};
    const IRectangle area(client.left, client.top, client.right, client.bottom);
    const IRectangle adjustment = canvas.layoutAdjustment();
    IGRegion clip(context, area);
    if (!adjustment.isEmpty())
        clip -= IGRegion(context, adjustment);
    ovk_canvas::fillClipped(context, clip, area, canvas.backgroundColor());
    // Inverted lines show on any background, whatever the pen colour.
    context.setMixMode(IGraphicBundle::invert);
    for (unsigned long c = 1; c <= canvas.columnCount(); ++c) {
        const long x = canvas.columnLine(c);
        context.draw(IGLine(IPoint(x, client.top), IPoint(x, client.bottom)));
    }
    for (unsigned long r = 1; r <= canvas.rowCount(); ++r) {
        const long y = flipRow(canvas.rowLine(r), client.bottom - client.top);
        context.draw(IGLine(IPoint(client.left, y), IPoint(client.right, y)));
    }
    context.clearClipRegion();
    return true;
}

IBase::Boolean IMultiCellCanvasHandler::dragLine(IMultiCellCanvas& canvas, long x, long y)
{
    if (!canvas.hasDragLines())
        return false;
    const HWND handle = canvas.handle();
    const long height = clientHeight(handle);
    const unsigned long column = lineAt(canvas, true, x);
    const unsigned long row = column ? 0 : lineAt(canvas, false, flipRow(y, height));
    if (!column && !row)
        return false;
    RECT client{};
    GetClientRect(handle, &client);
    MapWindowPoints(handle, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    ITrackInfo info;
    long before;
    if (column) {
        before = canvas.columnLine(column);
        const long start = client.left + before - static_cast<long>(canvas.columnWidth(column));
        info.track = IRectangle(client.left + before - 1, client.top, client.left + before + 1,
                                client.bottom);
        info.boundary = IRectangle(start, client.top, client.right, client.bottom);
    } else {
        before = canvas.rowLine(row);
        const long line = client.top + flipRow(before, height);
        // The line travels from the row's near edge away from it: downwards where rows count
        // from the top, upwards where they count from the bottom.
        const long start = before - static_cast<long>(canvas.rowHeight(row));
        info.track = IRectangle(client.left, line - 1, client.right, line + 1);
        info.boundary = ICoordinateSystem::isConversionNeeded()
                            ? IRectangle(client.left, client.top, client.right,
                                         client.top + height - start)
                            : IRectangle(client.left, client.top + start, client.right,
                                         client.bottom);
    }
    const IRectangle startTrack = info.track;
    const IBase::Boolean completed = ovk_canvas::trackUnclipped(canvas, info);
    if (!completed)
        return true;
    if (column) {
        const long moved = info.track.minX() - startTrack.minX();
        const long width = std::max(0L, static_cast<long>(canvas.columnWidth(column)) + moved);
        canvas.setColumnWidth(column, static_cast<unsigned long>(width), false);
    } else {
        long moved = info.track.minY() - startTrack.minY();
        if (ICoordinateSystem::isConversionNeeded())
            moved = -moved;
        const long rowHeight = std::max(0L, static_cast<long>(canvas.rowHeight(row)) + moved);
        canvas.setRowHeight(row, static_cast<unsigned long>(rowHeight), false);
    }
    canvas.setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return true;
}
