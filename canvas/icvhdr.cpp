// The shared canvas handler, the canvas keyboard handler and the canvas statics.
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/iscoped.hpp>

#include "detail/icvpaint.hpp"
#include "ibutton.hpp"
#include "icanvas.hpp"
#include "icvhdr.hpp"
#include "imousevt.hpp"
#include "iprivmsg.hpp"

namespace {

constexpr unsigned long kFrameClientId = 0x8008;
// Styles of a control that a tab walk stops at: visible, a tab stop, not disabled.
constexpr LONG_PTR kTabStopMask = WS_VISIBLE | WS_TABSTOP | WS_DISABLED;
constexpr LONG_PTR kTabStopWanted = WS_VISIBLE | WS_TABSTOP;

LRESULT dialogCode(HWND window)
{
    return window ? SendMessageA(window, WM_GETDLGCODE, 0, 0) : 0;
}

bool hasClassPrefix(HWND window, const char* prefix)
{
    char name[64] = {};
    if (!window || GetClassNameA(window, name, sizeof name) <= 0)
        return false;
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

HWND frameOf(HWND window)
{
    return reinterpret_cast<HWND>(
        SendMessageA(window, IPrivateMessage::windowQuery, IPrivateMessage::queryFrame, 0));
}

// A page of the outside notebook: a canvas whose grandparent is the notebook window.
bool isNotebookPage(HWND canvas)
{
    const HWND parent = GetParent(canvas);
    return parent && hasClassPrefix(GetParent(parent), "OVK Notebook") &&
           GetParent(parent) != nullptr;
}

// A page of either notebook for Tab wrapping: the native notebook keeps its pages in a
// clipping window inside its tab control.
bool wrapsAsNotebookPage(HWND canvas)
{
    const HWND parent = GetParent(canvas);
    return isNotebookPage(canvas) ||
           (parent && hasClassPrefix(GetParent(parent), "SysTabControl32"));
}

bool isFrame(const IWindow& window)
{
    return window.isFrameWindow() != 0;
}

// Clicks a button as a user's click would; other controls have nothing to click.
void click(HWND button)
{
    if (dialogCode(button) & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON |
                              DLGC_RADIOBUTTON))
        IButton::click(IWindowHandle(button));
}

bool isVisibleAndEnabled(HWND window)
{
    return window && (GetWindowLongPtrA(window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) ==
                         WS_VISIBLE;
}

// The default push button among a window's children, as defaultPushButtonHandle finds it,
// for a window that may have no window object.
HWND defaultButtonUnder(HWND window)
{
    if (IWindow* object = IWindow::windowWithHandle(window))
        return ICanvasStatics::defaultPushButtonHandle(object);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (dialogCode(child) & DLGC_DEFPUSHBUTTON)
            return child;
    return nullptr;
}

// Turns the button's default look on or off. Switching one on switches off the default
// button that the frame had before, so that a frame shows one default button at a time.
// `holder` names that button when the caller knows it: a frame may hold other default buttons
// of its own (a dialog template's) that a search of its children would find first.
void setDefaultButton(HWND button, bool on, HWND holder = nullptr)
{
    const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    const LONG_PTR type = style & 0xF;
    if (!on) {
        if (type == BS_DEFPUSHBUTTON)
            SendMessageA(button, BM_SETSTYLE, static_cast<WPARAM>(style & ~0xFL), TRUE);
        return;
    }
    if (type != BS_PUSHBUTTON)
        return;
    // Without a frame, the top-level window is the scope in which one button is the default.
    HWND scope = frameOf(button);
    if (!scope)
        scope = GetAncestor(button, GA_ROOT);
    const HWND previous = holder && (dialogCode(holder) & DLGC_DEFPUSHBUTTON)
                              ? holder
                              : scope ? defaultButtonUnder(scope) : nullptr;
    SendMessageA(button, BM_SETSTYLE, static_cast<WPARAM>((style & ~0xFL) | BS_DEFPUSHBUTTON),
                 TRUE);
    if (previous && previous != button)
        setDefaultButton(previous, false);
}

HWND directChildOf(HWND container, HWND from)
{
    HWND child = from;
    while (child && GetParent(child) != container)
        child = GetParent(child);
    return child;
}

bool isTabStopWindow(HWND window)
{
    return (GetWindowLongPtrA(window, GWL_STYLE) & kTabStopMask) == kTabStopWanted;
}

HWND walkToTabStop(HWND start, UINT step)
{
    for (HWND w = start; w; w = GetWindow(w, step))
        if (isTabStopWindow(w))
            return w;
    return nullptr;
}

// The next (or previous) tab stop after `child`, wrapping around the sibling list.
HWND siblingTabStop(HWND child, bool forward)
{
    const UINT step = forward ? GW_HWNDNEXT : GW_HWNDPREV;
    const UINT wrap = forward ? GW_HWNDFIRST : GW_HWNDLAST;
    HWND w = GetWindow(child, step);
    if (!w)
        w = GetWindow(child, wrap);
    while (w && w != child) {
        if (isTabStopWindow(w))
            return w;
        w = GetWindow(w, step);
        if (!w)
            w = GetWindow(child, wrap);
    }
    return nullptr;
}

void polyline(HDC dc, std::initializer_list<POINT> points, int systemColor)
{
    const ovk_native::Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(systemColor)));
    const ovk_native::Selection selected(dc, pen.get());
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
}

// The titled group frame of a canvas whose static type was cleared (a set canvas with a text):
// a frame whose top line runs through the middle of the title.
void paintGroupFrame(ICanvas& canvas, HDC dc, const RECT& client)
{
    const IFont font = canvas.font();
    const LONG L = client.left, T = client.top, R = client.right, B = client.bottom;
    const LONG H = static_cast<LONG>(font.maxCharHeight()) / 2;
    if (!IPlatform::hasNewShell()) {
        polyline(dc, {{L, H}, {R - 1, H}, {R - 1, B - 1}, {L, B - 1}, {L, H}}, COLOR_WINDOWFRAME);
    } else {
        polyline(dc, {{L, H}, {R - 2, H}, {R - 2, B - 2}, {L, B - 2}, {L, H}}, COLOR_BTNSHADOW);
        polyline(dc, {{L + 1, B - 3}, {L + 1, H + 1}, {R - 2, H + 1}}, COLOR_BTNHIGHLIGHT);
        polyline(dc, {{R - 1, H}, {R - 1, B - 1}, {L - 1, B - 1}}, COLOR_BTNHIGHLIGHT);
    }
    const int length = GetWindowTextLengthA(canvas.handle());
    if (length <= 0)
        return;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(canvas.handle(), &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    IFont drawing(font);
    drawing.beginUsingFont(IPresSpaceHandle(dc));
    RECT measured{L + 6, T, R, T + static_cast<LONG>(font.maxCharHeight())};
    DrawTextA(dc, text.c_str(), length, &measured,
              DT_CALCRECT | DT_EXTERNALLEADING | DT_EXPANDTABS | DT_SINGLELINE);
    const RECT gap{measured.left - 2, T, measured.right + 2, measured.bottom};
    const ovk_native::Brush brush(CreateSolidBrush(canvas.backgroundColor().asRGBLong()));
    FillRect(dc, &gap, brush.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, canvas.foregroundColor().asRGBLong());
    DrawTextA(dc, text.c_str(), length, &measured,
              DT_EXTERNALLEADING | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    drawing.endUsingFont(IPresSpaceHandle(dc));
}

} // namespace

static_assert(ICanvasStatics::dialogWindowExtra >= DLGWINDOWEXTRA &&
                  ICanvasStatics::origDefaultButtonSlot >= ICanvasStatics::dialogWindowExtra &&
                  ICanvasStatics::origDefaultButtonSlot % sizeof(LONG_PTR) == 0,
              "the original default button's slot lies past the dialog's own bytes, aligned");

// ICanvasStatics --------------------------------------------------------------------------------

ICVKeyboardHandler& ICanvasStatics::keyboardHandler()
{
    return ovk_app::sharedHandler<ICVKeyboardHandler>();
}

ICanvasHandler& ICanvasStatics::canvasHandler()
{
    return ovk_app::sharedHandler<ICanvasHandler>();
}

IBase::Boolean ICanvasStatics::isLibraryFrame(const IWindowHandle& window)
{
    return hasClassPrefix(window, "OVK Frame");
}

IWindowHandle ICanvasStatics::origDefaultButtonHandle(const IWindowHandle& window)
{
    if (!window)
        IThrow::argument("canvas != 0",
                         IEXCEPTION_LOCATION("icvhdr", "ICanvasStatics::origDefaultButtonHandle("
                                                       "const IWindowHandle&)"));
    const HWND frame = frameOf(window);
    if (!isLibraryFrame(frame))
        return IWindowHandle();
    if (GetClassLongPtrA(frame, GCL_CBWNDEXTRA) <
        static_cast<LONG_PTR>(origDefaultButtonSlot + sizeof(LONG_PTR)))
        return IWindowHandle();
    return IWindowHandle(reinterpret_cast<HWND>(GetWindowLongPtrA(frame, origDefaultButtonSlot)));
}

IBase::Boolean ICanvasStatics::setOrigDefaultButtonHandle(const IWindowHandle& frame,
                                                          const IWindowHandle& button)
{
    if (!isLibraryFrame(frame) || GetClassLongPtrA(frame, GCL_CBWNDEXTRA) <
                                      static_cast<LONG_PTR>(origDefaultButtonSlot + sizeof(LONG_PTR)))
        return false;
    SetWindowLongPtrA(frame, origDefaultButtonSlot, reinterpret_cast<LONG_PTR>(HWND(button)));
    return true;
}

IWindowHandle ICanvasStatics::defaultPushButtonHandle(const IWindow* window)
{
    if (!window)
        IThrow::argument("window != 0",
                         IEXCEPTION_LOCATION("icvhdr", "ICanvasStatics::defaultPushButtonHandle("
                                                       "const IWindow*)"));
    const HWND handle = window->handle();
    const HWND original = origDefaultButtonHandle(handle);
    if (original && IsWindow(original) && (dialogCode(original) & DLGC_DEFPUSHBUTTON))
        return IWindowHandle(original);
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (dialogCode(child) & DLGC_DEFPUSHBUTTON)
            return IWindowHandle(child);
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IWindow* object = IWindow::windowWithHandle(child))
            if (const IWindowHandle nested = object->defaultPushButton())
                return nested;
    return IWindowHandle();
}

IWindowHandle ICanvasStatics::matchForMnemonic(const IWindow* window, unsigned short character)
{
    if (!window)
        IThrow::argument("window != 0",
                         IEXCEPTION_LOCATION("icvhdr", "ICanvasStatics::matchForMnemonic(const "
                                                       "IWindow*,unsigned short)"));
    const HWND handle = window->handle();
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageA(child, IPrivateMessage::mnemonicQuery, character, 0) == 1 &&
            !(dialogCode(child) & DLGC_STATIC))
            return IWindowHandle(child);
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IWindow* object = IWindow::windowWithHandle(child))
            if (IWindow* nested = object->matchForMnemonic(character))
                return nested->handle();
    return IWindowHandle();
}

// ICanvasHandler --------------------------------------------------------------------------------

ICanvasHandler::~ICanvasHandler() = default;

ICanvasHandler& ICanvasHandler::handleEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("icvhdr", "ICanvasHandler::handleEventsFor(IWindow*)"));
}

ICanvasHandler& ICanvasHandler::stopHandlingEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("icvhdr", "ICanvasHandler::stopHandlingEventsFor(IWindow*)"));
}

ICanvasHandler& ICanvasHandler::handleEventsFor(ICanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0",
                         IEXCEPTION_LOCATION("icvhdr", "ICanvasHandler::handleEventsFor(ICanvas*)"));
    IHandler::handleEventsFor(canvas);
    return *this;
}

ICanvasHandler& ICanvasHandler::stopHandlingEventsFor(ICanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0", IEXCEPTION_LOCATION(
                                            "icvhdr", "ICanvasHandler::stopHandlingEventsFor(ICanvas*)"));
    IHandler::stopHandlingEventsFor(canvas);
    return *this;
}

IBase::Boolean ICanvasHandler::layoutRequest(IEvent& event)
{
    if (auto* canvas = dynamic_cast<ICanvas*>(event.window()))
        if (canvas->isLayoutDistorted(ovk_layout::layoutDue))
            canvas->layout();
    return true;
}

IBase::Boolean ICanvasHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* canvas = dynamic_cast<ICanvas*>(event.window());
    if (!canvas)
        return false;
    switch (event.eventId()) {
    case WM_SETREDRAW: return redrawSwitch(*canvas, event);
    case WM_PAINT: return paint(*canvas, event);
    case WM_SHOWWINDOW: return shown(*canvas, event);
    case IPrivateMessage::layoutRequest: return layoutDue(*canvas, event);
    case WM_SETCURSOR: return dispatchAs(*this, &ICanvasHandler::pointerRequest, event);
    case WM_WINDOWPOSCHANGED:
    case WM_NCHITTEST: return windowAnswer(event);
    case WM_GETDLGCODE: return keysWanted(event);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: return dispatchAs(*this, &ICanvasHandler::pressed, event);
    default: return false;
    }
}

IBase::Boolean ICanvasHandler::redrawSwitch(ICanvas& canvas, IEvent& event)
{
    if (event.parameter1().asUnsignedLong() == 0 || canvas.isVisible())
        return false;
    // Turning drawing back on does not repaint a window that was hidden meanwhile, so the
    // canvas and its children are invalidated once it is shown.
    defaultProcedure(event);
    RedrawWindow(event.handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return true;
}

IBase::Boolean ICanvasHandler::shown(ICanvas& canvas, IEvent& event)
{
    if (event.parameter1().asUnsignedLong() != 0 && canvas.isLayoutDistorted(ovk_layout::layoutDue))
        SendMessageA(event.handle(), IPrivateMessage::layoutRequest, 0, 0);
    return false;
}

IBase::Boolean ICanvasHandler::layoutDue(ICanvas& canvas, IEvent& event)
{
    canvas.IWindow::setLayoutDistorted(0, ovk_layout::childrenChanged);
    return layoutRequest(event);
}

// The pointer over the canvas itself is the owner's to choose.
IBase::Boolean ICanvasHandler::pointerRequest(IMousePointerEvent& event)
{
    const HWND handle = event.handle();
    IWindow* owner = event.window()->owner();
    if (reinterpret_cast<HWND>(event.parameter1().asUnsignedLong()) != handle || !owner ||
        owner == IWindow::desktopWindow() || owner == IWindow::objectWindow())
        return false;
    event.setResult(SendMessageA(owner->handle(), WM_SETCURSOR,
                                 static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                                 event.parameter2().asLong()));
    return true;
}

IBase::Boolean ICanvasHandler::windowAnswer(IEvent& event)
{
    // The static control's own answers would make the canvas transparent to the mouse.
    event.setResult(DefWindowProcA(event.handle(), event.eventId(),
                                   static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                                   event.parameter2().asLong()));
    return true;
}

IBase::Boolean ICanvasHandler::keysWanted(IEvent& event)
{
    event.setResult(DLGC_WANTALLKEYS);
    return true;
}

// A press on a page of the outside notebook gives the page the focus, unless the notebook
// itself keeps it.
IBase::Boolean ICanvasHandler::pressed(IMouseClickEvent& event)
{
    const HWND handle = event.handle();
    if (isNotebookPage(handle) &&
        SendMessageA(GetParent(GetParent(handle)), IPrivateMessage::windowQuery,
                     IPrivateMessage::queryIsWindow, reinterpret_cast<LPARAM>(handle)) == 0)
        SetFocus(handle);
    return false;
}

IBase::Boolean ICanvasHandler::paint(ICanvas& canvas, IEvent& event)
{
    const HWND handle = event.handle();
    if (canvas.isLayoutDistorted(ovk_layout::layoutDue) && canvas.isVisible())
        SendMessageA(handle, IPrivateMessage::layoutRequest, 0, 0);
    const ovk_canvas::PaintScope paint(handle);
    if (!paint.dc())
        return false;
    {
        IGraphicContext context{IPresSpaceHandle(paint.dc())};
        // The children paint themselves: the background goes only between them.
        IGRegion region(context, paint.update());
        for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child))
                continue;
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(HWND_DESKTOP, handle, reinterpret_cast<POINT*>(&r), 2);
            region -= IGRegion(context, IRectangle(r.left, r.top, r.right, r.bottom));
        }
        ovk_canvas::fillClipped(context, region, paint.update(), canvas.backgroundColor());
        context.clearClipRegion();
    }
    const LONG_PTR type = GetWindowLongPtrA(handle, GWL_STYLE) & 0xF;
    if (type != 6 && type != 4)
        paintGroupFrame(canvas, paint.dc(), paint.client());
    event.setResult(0);
    return true;
}

// ICVKeyboardHandler ----------------------------------------------------------------------------

ICVKeyboardHandler::~ICVKeyboardHandler() = default;

ICVKeyboardHandler& ICVKeyboardHandler::handleEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("icvhdr", "ICVKeyboardHandler::handleEventsFor(IWindow*)"));
}

ICVKeyboardHandler& ICVKeyboardHandler::stopHandlingEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("icvhdr",
                                        "ICVKeyboardHandler::stopHandlingEventsFor(IWindow*)"));
}

ICVKeyboardHandler& ICVKeyboardHandler::handleEventsFor(ICanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0", IEXCEPTION_LOCATION(
                                            "icvhdr", "ICVKeyboardHandler::handleEventsFor(ICanvas*)"));
    IHandler::handleEventsFor(canvas);
    return *this;
}

ICVKeyboardHandler& ICVKeyboardHandler::stopHandlingEventsFor(ICanvas* canvas)
{
    if (!canvas)
        IThrow::argument("canvas != 0",
                         IEXCEPTION_LOCATION("icvhdr",
                                             "ICVKeyboardHandler::stopHandlingEventsFor(ICanvas*)"));
    IHandler::stopHandlingEventsFor(canvas);
    return *this;
}

IBase::Boolean ICVKeyboardHandler::dispatchHandlerEvent(IEvent& event)
{
    if (!event.window())
        return false;
    switch (event.eventId()) {
    case WM_SETFOCUS: return focusGained(event);
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN: return dispatchAs(*this, &ICVKeyboardHandler::key, event);
    case IPrivateMessage::focusNotice: return placeFocusNow(event);
    default: return false;
    }
}

IBase::Boolean ICVKeyboardHandler::focusGained(IEvent& event)
{
    // The focus is placed once the activation that brought it here has finished; moving it
    // from inside WM_SETFOCUS would fight the activation for it.
    PostMessageA(event.handle(), IPrivateMessage::focusNotice,
                 reinterpret_cast<WPARAM>(static_cast<HWND>(event.handle())), 0);
    return true;
}

IBase::Boolean ICVKeyboardHandler::placeFocusNow(IEvent& event)
{
    placeFocus(*event.window());
    return true;
}

void ICVKeyboardHandler::placeFocus(IWindow& window)
{
    const HWND handle = window.handle();
    const HWND focus = GetFocus();
    const bool own = focus == handle ||
                     (!isFrame(window) && GetWindowLongPtrA(handle, GWLP_ID) == kFrameClientId &&
                      focus == GetParent(handle) && focus && hasClassPrefix(focus, "OVK Frame"));
    if (!own)
        return;
    HWND control = findControl(handle, handle, firstTabStop);
    if (!control) {
        if (!isFrame(window)) {
            if (const HWND parent = GetParent(handle))
                control = findControl(parent, handle, firstTabStop);
        } else {
            control = GetDlgItem(handle, kFrameClientId);
            if (!control)
                control = GetWindow(handle, GW_CHILD);
        }
    }
    if (!control)
        return;
    buttonSetup(&window, control, mnemonic);
    if (control != handle)
        SetFocus(control);
}

IBase::Boolean ICVKeyboardHandler::key(IKeyboardEvent& event)
{
    if (event.isUpTransition())
        return false;
    IWindow& window = *event.window();
    const unsigned long flags = event.parameter2().asUnsignedLong();
    if (event.isCharacter()) {
        // A plain character typed into a control that takes characters (an entry field) is
        // that control's text, not a mnemonic: a dialog gives it to the control as well.
        if (!(flags & IKeyboardEvent::altMask) && (dialogCode(GetFocus()) & DLGC_WANTCHARS))
            return false;
        return mnemonicKey(window, event, event.character());
    }
    if ((event.eventId() == WM_KEYDOWN || event.eventId() == WM_SYSKEYDOWN) &&
        ((flags & IKeyboardEvent::altMask) || event.isCtrlDown())) {
        const UINT mapped = MapVirtualKeyA(static_cast<UINT>(event.parameter1().asUnsignedLong()),
                                           MAPVK_VK_TO_CHAR);
        if (mapped & 0xFF)
            return mnemonicKey(window, event, static_cast<char>(mapped & 0xFF));
    }
    if (!event.isVirtual())
        return false;
    switch (event.virtualKey()) {
    case IKeyboardEvent::esc:
        if (!isFrame(window))
            return false;
        window.postEvent(WM_COMMAND, IDCANCEL,
                         IEventData(reinterpret_cast<void*>(GetDlgItem(window.handle(), IDCANCEL))));
        return true;
    case IKeyboardEvent::tab:
    case IKeyboardEvent::backTab:
        return handleCursorMovement(window, event);
    case IKeyboardEvent::enter:
    case IKeyboardEvent::newLine:
        return enterKey(window);
    case IKeyboardEvent::left:
    case IKeyboardEvent::right:
    case IKeyboardEvent::up:
    case IKeyboardEvent::down:
        if (dialogCode(GetFocus()) & (DLGC_WANTARROWS | DLGC_WANTALLKEYS))
            return false;
        return handleCursorMovement(window, event);
    default:
        return false;
    }
}

IBase::Boolean ICVKeyboardHandler::mnemonicKey(IWindow& window, IKeyboardEvent& event,
                                               char character)
{
    if (!window.isEnabled())
        return true;
    const unsigned short code = static_cast<unsigned char>(character);
    HWND match = ICanvasStatics::matchForMnemonic(&window, code);
    IWindow* owner = window.owner();
    if (!match && (window.style() & WS_CHILD) && owner && owner->isFrameWindow()) {
        for (HWND child = GetWindow(owner->handle(), GW_CHILD); child && !match;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (child == window.handle())
                continue;
            if (IWindow* other = IWindow::windowWithHandle(child))
                if (IWindow* found = other->matchForMnemonic(code))
                    match = found->handle();
        }
    }
    if (!match)
        return false;
    // A push button that the focus made the default holds the default look until the focus
    // leaves it; a search of the frame would find a default button of the frame's own (a
    // dialog template's) first, switch that one off and leave this one on.
    const HWND losing = GetFocus();
    SetFocus(match);
    if ((dialogCode(match) & DLGC_UNDEFPUSHBUTTON) && losing && losing != match &&
        (dialogCode(losing) & DLGC_DEFPUSHBUTTON) &&
        GetAncestor(losing, GA_ROOT) == GetAncestor(match, GA_ROOT))
        setDefaultButton(match, true, losing);
    buttonSetup(&window, match, mnemonic);
    if (!(dialogCode(match) & DLGC_RADIOBUTTON))
        click(match);
    event.setResult(0);
    return true;
}

IBase::Boolean ICVKeyboardHandler::enterKey(IWindow& window)
{
    HWND button = window.defaultPushButton();
    IWindow* owner = window.owner();
    if (!button && owner && owner->isFrameWindow()) {
        for (HWND child = GetWindow(owner->handle(), GW_CHILD); child && !button;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (child == window.handle())
                continue;
            if (IWindow* other = IWindow::windowWithHandle(child))
                button = other->defaultPushButton();
        }
    }
    if (!isVisibleAndEnabled(button))
        return false;
    click(button);
    return true;
}

IBase::Boolean ICVKeyboardHandler::handleCursorMovement(IWindow& window, IKeyboardEvent& event)
{
    const HWND handle = window.handle();
    const HWND focus = GetFocus();
    if (!focus || !IsChild(handle, focus))
        return false;
    Direction direction;
    switch (event.virtualKey()) {
    case IKeyboardEvent::tab: direction = nextTabStop; break;
    case IKeyboardEvent::backTab: direction = previousTabStop; break;
    case IKeyboardEvent::left:
    case IKeyboardEvent::up: direction = previousGroupItem; break;
    case IKeyboardEvent::right:
    case IKeyboardEvent::down: direction = nextGroupItem; break;
    default:
        IThrow::systemError("IKeyboardEvent::VirtualKey", 0,
                            IEXCEPTION_LOCATION("icvhdr", "ICVKeyboardHandler::handleCursorMovement("
                                                          "IKeyboardEvent&)"));
    }
    const HWND target = findControl(handle, focus, direction);
    if (!target) {
        if (!isFrame(window))
            return false;
        buttonSetup(&window, focus, losingFocus);
        SetFocus(handle);
        return true;
    }
    if (direction == nextTabStop || direction == previousTabStop) {
        const HWND wrapTarget =
            findControl(handle, focus, direction == nextTabStop ? firstTabStop : lastTabStop);
        // Past the last control the focus leaves the canvas: an enclosing canvas or frame
        // moves it on to its own next control. Only a frame or a notebook page wraps around.
        if (target == wrapTarget && !isFrame(window) && !wrapsAsNotebookPage(handle))
            return false;
    }
    buttonSetup(&window, focus, losingFocus);
    buttonSetup(&window, target, cursorMovement);
    SetFocus(target);
    return true;
}

void ICVKeyboardHandler::buttonSetup(const IWindow* canvas, const IWindowHandle& control,
                                     State state)
{
    if (!canvas)
        IThrow::argument("pcvCanvas != 0",
                         IEXCEPTION_LOCATION("icvhdr", "ICVKeyboardHandler::buttonSetup(const "
                                                       "IWindow*,const IWindowHandle&,State)"));
    if (state != mnemonic && state != cursorMovement && state != losingFocus)
        IThrow::message(OVK_MSG_INVALID_VALUE,
                        IEXCEPTION_LOCATION("icvhdr", "ICVKeyboardHandler::buttonSetup(const "
                                                      "IWindow*,const IWindowHandle&,State)"));
    const LRESULT code = dialogCode(control);
    if ((code & DLGC_RADIOBUTTON) && state != losingFocus)
        click(control);
    const HWND original = ICanvasStatics::origDefaultButtonHandle(canvas->handle());
    switch (state) {
    case mnemonic:
        if (code & DLGC_UNDEFPUSHBUTTON)
            setDefaultButton(control, true);
        break;
    case cursorMovement:
        if (code & DLGC_UNDEFPUSHBUTTON)
            setDefaultButton(control, true);
        else if (!(code & DLGC_DEFPUSHBUTTON) && original)
            setDefaultButton(original, true);
        break;
    case losingFocus:
        // The control that loses the focus holds the default look when the focus made it the
        // default: it is the one to give the look back to the original.
        if (original)
            setDefaultButton(original, true, control);
        break;
    }
}

IWindowHandle ICVKeyboardHandler::findControl(const IWindowHandle& container,
                                              const IWindowHandle& from, Direction direction)
{
    const HWND parent = container;
    switch (direction) {
    case firstTabStop:
        return IWindowHandle(walkToTabStop(GetWindow(parent, GW_CHILD), GW_HWNDNEXT));
    case lastTabStop: {
        const HWND first = GetWindow(parent, GW_CHILD);
        return IWindowHandle(first ? walkToTabStop(GetWindow(first, GW_HWNDLAST), GW_HWNDPREV)
                                   : nullptr);
    }
    case firstGroupItem:
        return IWindowHandle(GetNextDlgGroupItem(parent, nullptr, FALSE));
    case lastGroupItem:
        return IWindowHandle(GetNextDlgGroupItem(parent, nullptr, TRUE));
    default:
        break;
    }
    const HWND child = directChildOf(parent, from);
    if (!child)
        return IWindowHandle();
    switch (direction) {
    case nextTabStop:
        return IWindowHandle(siblingTabStop(child, true));
    case previousTabStop:
        return IWindowHandle(siblingTabStop(child, false));
    case nextGroupItem:
        return IWindowHandle(GetNextDlgGroupItem(parent, child, FALSE));
    default:
        return IWindowHandle(GetNextDlgGroupItem(parent, child, TRUE));
    }
}
