// The re-coordination handler.
#include <windows.h>

#include <atomic>
#include <utility>
#include <vector>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>

#include "detail/iframlnk.hpp"
#include "detail/iwincore.hpp"
#include "icoordsy.hpp"
#include "irecohdr.hpp"
#include "iwindow.hpp"

namespace {

// The frame's own parts (title bar and client), which the frame lays out itself.
constexpr unsigned long kFrameTitleId = 0x8005;
constexpr unsigned long kFrameClientId = 0x8008;

[[noreturn]] void fail(const char* call)
{
    IThrow::systemError(call, GetLastError(),
                        IEXCEPTION_LOCATION("irecohdr",
                                            "IRecoordHandler::windowSizeChanged(IWindowHandle,const "
                                            "IRectangle&,const IRectangle&)"),
                        IException::recoverable);
}

IRectangle rectangleOf(const RECT& r)
{
    return IRectangle(r.left, r.top, r.right, r.bottom);
}

} // namespace

IRecoordHandler::~IRecoordHandler() = default;

IRecoordHandler& IRecoordHandler::defaultHandler()
{
    return ovk_app::sharedHandler<IRecoordHandler>();
}

IBase::Boolean IRecoordHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_NCCALCSIZE || event.parameter1().asUnsignedLong() == 0)
        return false;
    const auto* params = static_cast<const NCCALCSIZE_PARAMS*>(event.parameter2().asPointer());
    if (!params || !params->lppos || (params->lppos->flags & SWP_NOSIZE))
        return false;
    if (!windowSizeChanged(event.handle(), rectangleOf(params->rgrc[0]),
                           rectangleOf(params->rgrc[1])))
        return false;
    defaultProcedure(event);
    return true;
}

bool IRecoordHandler::skipsChild(IWindow* frame, HWND child)
{
    if (!frame)
        return false;
    // One rule for every window's identifier: offset 8 of a top-level dialog's window words
    // is its dialog procedure on 64-bit Windows, never an identifier.
    const unsigned long id = IWindowCore::windowId(child);
    if (id == kFrameTitleId || id == kFrameClientId)
        return true;
    return ovk_window::holdsExtension(frame, child);
}

IBase::Boolean IRecoordHandler::windowSizeChanged(IWindowHandle window,
                                                  const IRectangle& newRectangle,
                                                  const IRectangle& oldRectangle)
{
    if (!ICoordinateSystem::isConversionNeeded())
        return false;
    const int delta = newRectangle.height() - oldRectangle.height();
    IWindow* parent = IWindow::windowWithHandle(window, true);
    IWindow* frame = parent && parent->isFrameWindow() ? parent : nullptr;
    HWND child = GetWindow(window, GW_CHILD);
    if (!child || delta == 0)
        return false;
    // Every new position is worked out before the deferred pass begins: a pass, once begun,
    // ends only by applying what it holds, so nothing that can fail may come in between.
    std::vector<std::pair<HWND, POINT>> moves;
    for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (skipsChild(frame, child))
            continue;
        RECT r;
        GetWindowRect(child, &r);
        POINT corner{r.left, r.top};
        if (!ScreenToClient(window, &corner))
            fail("ScreenToClient");
        moves.push_back({child, POINT{corner.x, corner.y + delta}});
    }
    HDWP positions = BeginDeferWindowPos(1);
    if (!positions)
        fail("BeginDeferWindowPos");
    for (const auto& move : moves) {
        // A failed DeferWindowPos has freed the pass itself.
        positions = DeferWindowPos(positions, move.first, nullptr, move.second.x, move.second.y,
                                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!positions)
            fail("DeferWindowPos");
    }
    if (!EndDeferWindowPos(positions))
        fail("EndDeferWindowPos");
    return false;
}
