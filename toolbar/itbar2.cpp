// The tool bar's own handler (its edge, and pressing and dragging it) and the move with the mouse:
// the tracking loop, and the choice of the target on each tick of its timer.
#include <windows.h>
#include <windowsx.h>

#include <cstdlib>

#include <iapp.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>

#include "detail/itbardat.hpp"
#include "itbar.hpp"

namespace ovk_toolbar {

namespace {

// The pointers of the library's resources: at a side, and next to a tool bar at that side.
constexpr unsigned long kSidePointer = 361;
constexpr unsigned long kNextToPointer = 357;
constexpr UINT kTargetInterval = 100;

// One move: lives on the stack of the tracking loop, which the target timer reaches through the
// thread's current move.
struct Tracker {
    Tracker(IToolBar& bar, IFrameWindow& owner) : toolBar(bar), frame(owner) {}

    IToolBar& toolBar;
    IFrameWindow& frame;
    HCURSOR startPointer = nullptr;
    IPointerHandle sidePointers[4];
    IPointerHandle nextToPointers[4];
    RECT frameRect{};
    MoveTarget target;
};

thread_local Tracker* tCurrent = nullptr;

bool isOrContains(HWND window, HWND candidate)
{
    return window && (window == candidate || IsChild(window, candidate));
}

void showPointer(const IPointerHandle& pointer, HCURSOR fallback)
{
    const HCURSOR shown = pointer.isValid() ? pointer.asValue() : fallback;
    if (shown)
        SetCursor(shown);
}

// Which side, tool bar or holder the pointer is over now.
void chooseTarget(Tracker& tracker)
{
    POINT point{};
    GetCursorPos(&point);
    const HWND under = WindowFromPoint(point);
    MoveTarget& target = tracker.target;
    if (under == tracker.frame.handle()) {
        target.toolBar = nullptr;
        target.holder = nullptr;
        target.location = nearestSide(tracker.frameRect, point);
        showPointer(tracker.sidePointers[target.location], tracker.startPointer);
        return;
    }
    if (isOrContains(tracker.toolBar.handle(), under)) {
        showPointer(IPointerHandle(), tracker.startPointer);
        return;
    }
    target = MoveTarget();
    IToolBar::FrameCursor cursor(&tracker.frame);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        IToolBar* candidate = IToolBar::toolBarAt(cursor);
        IToolBarContainer* holder = MoveAccess::data(*candidate).holder;
        if (isOrContains(candidate->handle(), under)) {
            target.toolBar = candidate;
            target.location = candidate->location();
            break;
        }
        if (holder && holder->handle() == under) {
            target.holder = holder;
            target.location = candidate->location();
            break;
        }
    }
    if (!target.toolBar && !target.holder)
        showPointer(IPointerHandle(), tracker.startPointer);
    else if (target.location < IToolBar::floating)
        showPointer(target.toolBar ? tracker.nextToPointers[target.location]
                                   : tracker.sidePointers[target.location],
                    tracker.startPointer);
}

void CALLBACK targetTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ICallbackGuard::call(0, [] {
        if (tCurrent)
            chooseTarget(*tCurrent);
        return 0;
    });
}

IPointerHandle libraryPointer(unsigned long id)
{
    try {
        return IApplication::current().ovkuiResourceLibrary().loadPointer(id);
    } catch (const IException&) {
        // Without the library's pointers the start pointer shows throughout.
        return IPointerHandle();
    }
}

// The outline is inverted on the screen: drawing it a second time restores what was there.
void invertOutline(HDC screen, const RECT& outline)
{
    const int old = SetROP2(screen, R2_NOT);
    {
        const ovk_native::Selection hollow(screen, GetStockObject(NULL_BRUSH));
        Rectangle(screen, outline.left, outline.top, outline.right, outline.bottom);
    }
    SetROP2(screen, old);
}

// What the loop holds: released on every way out, a rethrown exception included.
class TrackingState {
public:
    TrackingState(Tracker& tracker, RECT& outline)
        : fOutline(outline), fCapture(tracker.toolBar.handle()), fScreen(nullptr)
    {
        tCurrent = &tracker;
        fTimer = SetTimer(nullptr, 0, kTargetInterval, targetTimer);
        RECT desktop{};
        GetWindowRect(GetDesktopWindow(), &desktop);
        ClipCursor(&desktop);
        invertOutline(fScreen.get(), fOutline);
    }
    // The capture and the screen's context go with the members, after the outline is gone.
    ~TrackingState()
    {
        invertOutline(fScreen.get(), fOutline);
        ClipCursor(nullptr);
        if (fTimer)
            KillTimer(nullptr, fTimer);
        tCurrent = nullptr;
    }
    TrackingState(const TrackingState&) = delete;
    TrackingState& operator=(const TrackingState&) = delete;

    void moveOutline(const POINT& from, const POINT& to)
    {
        invertOutline(fScreen.get(), fOutline);
        OffsetRect(&fOutline, to.x - from.x, to.y - from.y);
        invertOutline(fScreen.get(), fOutline);
    }

private:
    RECT& fOutline;
    ovk_native::Capture fCapture;
    ovk_native::WindowDC fScreen;
    UINT_PTR fTimer = 0;
};

bool isKeyThatCancels(const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        return message.wParam == VK_ESCAPE;
    default:
        return false;
    }
}

// The loop proper; answers false when Escape (or a failed retrieval) cancelled the move.
bool runLoop(TrackingState& state)
{
    POINT last{};
    GetCursorPos(&last);
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1)
            return false;
        if (got == 0) {
            // The quit belongs to the application's own loop, which must still see it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return true;
        }
        if (message.message == WM_LBUTTONUP)
            return true;
        if (isKeyThatCancels(message))
            return false;
        if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP)
            continue;
        if (message.message == WM_MOUSEMOVE) {
            POINT now{};
            GetCursorPos(&now);
            state.moveOutline(last, now);
            last = now;
            continue;
        }
        if (message.message >= WM_LBUTTONDOWN && message.message <= WM_MOUSELAST)
            continue;
        DispatchMessageA(&message);
        ICallbackGuard::rethrowPending();
    }
}

} // namespace

IToolBar::Location nearestSide(const RECT& frame, const POINT& point) noexcept
{
    // Distances from each edge; the rules below give equal distances to the later rule.
    const long left = point.x - frame.left;
    const long right = frame.right - point.x;
    const long top = point.y - frame.top;
    const long bottom = frame.bottom - point.y;
    if (right < left && right < top && right < bottom)
        return IToolBar::rightOfClient;
    if (left < top && left < bottom)
        return IToolBar::leftOfClient;
    if (bottom < top)
        return IToolBar::belowClient;
    return IToolBar::aboveClient;
}

bool trackMove(IToolBar& toolBar, MoveTarget& target, RECT& outline)
{
    if (tCurrent)
        return false;
    Tracker tracker(toolBar, *toolBar.ownerFrame());
    tracker.startPointer = GetCursor();
    for (unsigned long side = 0; side < 4; ++side) {
        tracker.sidePointers[side] = libraryPointer(kSidePointer + side);
        tracker.nextToPointers[side] = libraryPointer(kNextToPointer + side);
    }
    GetWindowRect(tracker.frame.handle(), &tracker.frameRect);
    GetWindowRect(toolBar.handle(), &outline);
    bool placed = false;
    {
        TrackingState state(tracker, outline);
        placed = runLoop(state);
    }
    target = tracker.target;
    return placed;
}

} // namespace ovk_toolbar

// The tool bar's handler ---------------------------------------------------------------------------

IToolBarHandler::~IToolBarHandler() = default;

IBase::Boolean IToolBarHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* toolBar = dynamic_cast<IToolBar*>(event.window());
    if (!toolBar)
        return false;
    switch (event.eventId()) {
    case WM_PAINT:
        return paint(*toolBar, event);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return mouse(*toolBar, event);
    case IPrivateMessage::dragStart:
        toolBar->sendEvent(IPrivateMessage::toolBarMove, 0xF, 0);
        return true;
    case IPrivateMessage::toolBarMove:
        return move(*toolBar, event);
    default:
        return false;
    }
}

// The background first, then a raised one-pixel edge one pixel inside the tool bar.
IBase::Boolean IToolBarHandler::paint(IToolBar& toolBar, IEvent& event)
{
    toolBar.dispatchRemainingHandlers(event, true);
    RECT client{};
    const HWND window = toolBar.handle();
    GetClientRect(window, &client);
    const long width = client.right, height = client.bottom;
    const COLORREF background = static_cast<COLORREF>(toolBar.backgroundColor().asRGBLong());
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    // An edge in the background's colour would vanish; it takes the other colour then.
    if (light == background)
        light = dark;
    else if (dark == background)
        dark = light;
    const ovk_native::WindowDC context(window);
    const POINT lit[3] = {{1, height - 1}, {1, 1}, {width - 1, 1}};
    const POINT shaded[3] = {{1, height - 1}, {width - 1, height - 1}, {width - 1, 1}};
    const ovk_native::Pen lightPen(CreatePen(PS_SOLID, 1, light));
    const ovk_native::Pen darkPen(CreatePen(PS_SOLID, 1, dark));
    {
        const ovk_native::Selection selected(context.get(), lightPen.get());
        Polyline(context.get(), lit, 3);
    }
    {
        const ovk_native::Selection selected(context.get(), darkPen.get());
        Polyline(context.get(), shaded, 3);
    }
    return true;
}

// A press on an enabled part of the tool bar arms a move; more than two pixels of movement start
// it; a release disarms.
IBase::Boolean IToolBarHandler::mouse(IToolBar& toolBar, IEvent& event)
{
    IToolBarData& data = ovk_toolbar::MoveAccess::data(toolBar);
    const HWND window = toolBar.handle();
    const POINT point = {GET_X_LPARAM(event.parameter2().asLong()),
                         GET_Y_LPARAM(event.parameter2().asLong())};
    switch (event.eventId()) {
    case WM_LBUTTONDOWN: {
        const HWND hit = ChildWindowFromPoint(window, point);
        const HWND holder = GetCapture();
        if (hit && !(GetWindowLongPtrA(hit, GWL_STYLE) & WS_DISABLED) &&
            (!holder || holder == window)) {
            if (!holder)
                SetCapture(window);
            data.pressed = true;
            data.pressPoint = IPoint(point.x, point.y);
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (data.pressed && (std::labs(point.x - data.pressPoint.x()) > 2 ||
                             std::labs(point.y - data.pressPoint.y()) > 2)) {
            ovk_native::releaseCapture();
            data.pressed = false;
            const unsigned long where = (static_cast<unsigned long>(data.pressPoint.x()) & 0xFFFF) |
                                        (static_cast<unsigned long>(data.pressPoint.y()) << 16);
            toolBar.sendEvent(IPrivateMessage::dragStart, where, 0);
        }
        break;
    case WM_LBUTTONUP:
        if (data.pressed && !IPlatform::isPlatformVariant())
            ovk_native::releaseCapture();
        data.pressed = false;
        data.pressPoint = IPoint();
        break;
    default:
        break;
    }
    return false;
}

// Runs the move and puts the tool bar where it ended: at a side, after the tool bar it was
// dropped on, or floating where the outline was left.
IBase::Boolean IToolBarHandler::move(IToolBar& toolBar, IEvent& event)
{
    if ((event.parameter1().asUnsignedLong() & 0xF) == 0 || !toolBar.isMovable())
        return false;
    ovk_toolbar::MoveTarget target;
    RECT outline{};
    if (!ovk_toolbar::trackMove(toolBar, target, outline))
        return true;
    if (target.location == IToolBar::floating) {
        RECT owner{};
        GetWindowRect(toolBar.ownerFrame()->handle(), &owner);
        toolBar.setFloatingPosition(IPoint(outline.left - owner.left - 1, outline.top - owner.top - 1));
        toolBar.setLocation(IToolBar::floating);
    } else if (target.toolBar && target.toolBar != &toolBar) {
        toolBar.placeAfter(target.toolBar);
    } else {
        toolBar.setLocation(target.location);
    }
    return true;
}
