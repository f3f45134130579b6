// The handle of the library's object window, published by the object window when it is made.
#pragma once

#include <windows.h>

// The message loop never offers keys aimed at the object window to accelerator tables, and
// stops climbing the parent chain there; it only needs the handle, not the window object, and
// must not make the object window just to learn its handle. 0 until the object window exists.
HWND objectWindowHandle() noexcept;
void setObjectWindowHandle(HWND handle) noexcept;
