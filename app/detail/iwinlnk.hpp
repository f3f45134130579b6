// What the application's code asks of window objects. The message loop, the handle broadcasts
// and the resource library meet windows that may have a window object, but are built below the
// window class, which answers for them through this link.
#pragma once

#include <windows.h>

class IWindow;

namespace ovk_app {

// Filled in once by the window code when the library is loaded, before any window object can
// exist. An entry still empty answers as for a window that has no window object.
struct WindowObjectLink {
    // The accelerator table of the window object of `window` (of any thread); 0 when there is
    // no object or no table.
    HACCEL (*acceleratorOf)(HWND window) = nullptr;
    // True when `window` has a window object (of any thread) that is a frame window.
    bool (*isFrameWindow)(HWND window) = nullptr;
    // The handle of a window object; 0 for none.
    HWND (*handleOf)(const IWindow* window) = nullptr;
};

// Constant-initialised, so it is empty, never unset, until the window code fills it in.
inline WindowObjectLink windowObjectLink;

// The questions asked through the link, each answering as for a window without a window object
// while its entry is empty.
inline HACCEL acceleratorOf(HWND window)
{
    const auto ask = windowObjectLink.acceleratorOf;
    return ask ? ask(window) : nullptr;
}
inline bool isFrameWindow(HWND window)
{
    const auto ask = windowObjectLink.isFrameWindow;
    return ask && ask(window);
}
inline HWND handleOf(const IWindow* window)
{
    const auto ask = windowObjectLink.handleOf;
    return window && ask ? ask(window) : nullptr;
}

} // namespace ovk_app
