// The start of a drag from selected text, which the entry field and the multi-line edit share.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <cstdlib>

#include <detail/iscoped.hpp>
#include <ievent.hpp>
#include <ipoint.hpp>

#include <detail/iscoped.hpp>

namespace ovkdrag {

// A right press on the selection arms a drag, which starts once the pointer has moved more
// than two pixels; the release disarms it.
struct TextDragArm {
    bool pending = false;
    POINT start{0, 0};
};

// A left press on the selection starts the drag at once. `onSelection(point)` tells whether a
// point of the control lies on the selected text; `begin(point)` starts the drag.
//
// The whole drag runs inside the press, and OLE's loop takes the release. The press is then the
// drag's: it is answered as handled, because the control's own press processing, run after the
// drag, would capture the mouse for a selection whose release never comes, and would keep it
// (the next drag would not start, the next click anywhere would go to the control).
template <class OnSelection, class Begin>
void trackTextDrag(IEvent& event, HWND control, TextDragArm& arm, OnSelection onSelection,
                   Begin begin)
{
    const LPARAM raw = event.parameter2().asLong();
    const IPoint point(GET_X_LPARAM(raw), GET_Y_LPARAM(raw));
    switch (event.eventId()) {
    case WM_LBUTTONDOWN:
        if (onSelection(point)) {
            begin(point);
            event.setResult(1);
        }
        break;
    case WM_RBUTTONDOWN:
        if (!GetCapture() && onSelection(point)) {
            SetCapture(control);
            arm.pending = true;
            arm.start = POINT{point.x(), point.y()};
        }
        break;
    case WM_MOUSEMOVE:
        if (arm.pending && (std::abs(point.x() - arm.start.x) > 2 ||
                            std::abs(point.y() - arm.start.y) > 2)) {
            ovk_native::releaseCapture();
            arm.pending = false;
            begin(point);
        }
        break;
    case WM_RBUTTONUP:
        if (arm.pending) {
            ovk_native::releaseCapture();
            arm.pending = false;
            arm.start = POINT{0, 0};
        }
        break;
    default:
        break;
    }
}

} // namespace ovkdrag
