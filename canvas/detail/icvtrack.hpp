// Dragging a line or bar of a canvas: the rectangle tracking with the canvas's children left
// unclipped while it runs.
#pragma once

#include <windows.h>

#include "itrack.hpp"
#include "iwindow.hpp"

namespace ovk_canvas {

// The outline is drawn on the canvas's device context; clipping the children away would break
// it where it crosses them. The style comes back however the tracking ends.
inline IBase::Boolean trackUnclipped(IWindow& canvas, ITrackInfo& info)
{
    const HWND handle = canvas.handle();
    const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
    SetWindowLongPtrA(handle, GWL_STYLE, style & ~WS_CLIPCHILDREN);
    IBase::Boolean completed = false;
    try {
        completed = trackRectangle(&canvas, info);
    } catch (...) {
        SetWindowLongPtrA(handle, GWL_STYLE, style);
        throw;
    }
    SetWindowLongPtrA(handle, GWL_STYLE, style);
    return completed;
}

} // namespace ovk_canvas
