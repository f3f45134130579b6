// A canvas's client area, the height against which the bottom-left coordinate system flips
// what the canvas places and hit-tests itself.
#pragma once

#include <windows.h>

#include <irect.hpp>

namespace ovk_canvas {

inline ISize clientSize(HWND canvas)
{
    RECT r{};
    GetClientRect(canvas, &r);
    return ISize(r.right - r.left, r.bottom - r.top);
}

} // namespace ovk_canvas
