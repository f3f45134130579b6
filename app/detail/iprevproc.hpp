// Passing a message on to the procedure that a window had before the library's.
#pragma once

#include <windows.h>

namespace ovk_app {

// The message goes to `previous` through CallWindowProcA, which translates for a procedure that
// expects Unicode messages, or to DefWindowProcA when the window had no procedure of its own
// (a window of the library's classes, or one that gave its procedure back already).
inline LRESULT previousOrDefault(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam)
{
    return CallWindowProcA(previous ? previous : DefWindowProcA, window, message, wParam, lParam);
}

} // namespace ovk_app
