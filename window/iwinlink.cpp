// The window objects' answers to the application code's questions about a window.
#include <windows.h>

#include <detail/iwinlnk.hpp>

#include "iwindow.hpp"

namespace {

HACCEL acceleratorOf(HWND handle)
{
    const IWindow* window = IWindow::windowWithHandle(handle, true);
    return window ? static_cast<HACCEL>(window->acceleratorHandle()) : nullptr;
}

bool isFrameWindow(HWND handle)
{
    const IWindow* window = IWindow::windowWithHandle(handle, true);
    return window && window->isFrameWindow();
}

HWND handleOf(const IWindow* window)
{
    return static_cast<HWND>(window->handle());
}

// Runs when the library is loaded: the link is filled in before any window object exists.
struct LinkWindowObjects {
    LinkWindowObjects() noexcept
    {
        ovk_app::windowObjectLink.acceleratorOf = &acceleratorOf;
        ovk_app::windowObjectLink.isFrameWindow = &isFrameWindow;
        ovk_app::windowObjectLink.handleOf = &handleOf;
    }
};
const LinkWindowObjects linkWindowObjects;

} // namespace
