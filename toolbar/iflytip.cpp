// The fly-over tool tip window.
#include <windows.h>
#include <commctrl.h>

#include <mutex>

#include <iexcept.hpp>
#include <iframe.hpp>

#include "iflytip.hpp"

namespace {

IRectangle gScreen;
std::once_flag gScreenRecorded;

// The first frame window up the owner chain; the tip is owned by it so that it is hidden and
// destroyed with it. Null: the desktop.
IWindow* owningFrame(IWindow* window)
{
    for (int step = 0; window && step < 64; ++step) {
        // A frame object may wrap a window of another class, which only the object tells.
        if (dynamic_cast<IFrameWindow*>(window) || window->isFrameWindow())
            return window;
        IWindow* next = window->owner();
        if (!next || next == window)
            next = window->parent();
        if (next == IWindow::desktopWindow() || next == IWindow::objectWindow())
            break;
        window = next;
    }
    return nullptr;
}

} // namespace

IFlyOverToolTip::IFlyOverToolTip(IWindow* window)
{
    IARGUMENT_CHECK(window != 0, "iflytip", "IFlyOverToolTip::IFlyOverToolTip(IWindow*)");
    InitCommonControls();
    std::call_once(gScreenRecorded, [] {
        gScreen = IRectangle(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    });
    fRectangle = gScreen;
    IWindow* frame = owningFrame(window);
    const IWindowHandle handle =
        create(0, nullptr, WS_POPUP, TOOLTIPS_CLASSA, IWindowHandle(GetDesktopWindow()),
               frame ? frame->handle() : IWindowHandle(GetDesktopWindow()), IRectangle(), nullptr,
               nullptr, onTopOfSiblings, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    startHandlingEventsFor(handle);
    SendMessageA(handle, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
    SendMessageA(handle, TTM_SETTIPBKCOLOR, RGB(255, 255, 255), 0);
}

IFlyOverToolTip::~IFlyOverToolTip() = default;

IRectangle IFlyOverToolTip::rectangle() const
{
    return fRectangle;
}

IFlyOverToolTip& IFlyOverToolTip::setRectangle(const IRectangle& rectangle)
{
    fRectangle = rectangle;
    return *this;
}
