// The native slider: the outer "OVK Native Slider" window with its trackbar, the record that
// keeps the scales, and the handler that lays out, paints and runs the arrows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ifont.hpp>
#include <igrafctx.hpp>
#include <igregion.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>

#include <iadvrec.hpp>
#include "detail/icvpaint.hpp"
#include "detail/isldata.hpp"
#include "ibmphdl.hpp"
#include "iprivmsg.hpp"

using namespace ovkslider;

namespace {

constexpr const char* kFile = "isliderw";
constexpr unsigned long kRepeatMilliseconds = 500;

bool gRegistered = false;

IProgressIndicator* controlOf(HWND outer)
{
    return dynamic_cast<IProgressIndicator*>(IWindow::windowWithHandle(outer, true));
}

IProgressIndicatorData* dataOf(HWND outer)
{
    IProgressIndicator* control = controlOf(outer);
    return control ? control->nativeData() : nullptr;
}

// WM_COMMAND to the outer window's parent, with the id by the core's rule.
void notify(HWND outer, unsigned int code)
{
    const IWindow* window = IWindow::windowWithHandle(outer, true);
    const unsigned long id =
        window ? window->id() : static_cast<unsigned long>(GetDlgCtrlID(outer));
    SendMessageA(GetParent(outer), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id & 0xFFFF), code),
                 reinterpret_cast<LPARAM>(outer));
}

LRESULT CALLBACK trackbarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The class's own procedure serves when the control is no longer found (the outer
    // window leaves the window set before its children are destroyed): WM_DESTROY must still
    // reach it, or the trackbar leaks its state.
    const HWND outer = GetParent(bar);
    IProgressIndicatorData* data = dataOf(outer);
    const WNDPROC previous = data && data->previousProcedure
                                 ? data->previousProcedure
                                 : reinterpret_cast<WNDPROC>(GetClassLongPtrA(bar, GCLP_WNDPROC));
    return ICallbackGuard::call(LRESULT(0), [&]() -> LRESULT {
        if (data) {
            switch (message) {
            case WM_SETFOCUS:
                if (data->isReadOnly()) {
                    SetFocus(reinterpret_cast<HWND>(wParam));
                    return 1;
                }
                notify(outer, IOutsideNotification::sliderFocusGained);
                break;
            case WM_KILLFOCUS: notify(outer, IOutsideNotification::sliderFocusLost); break;
            case WM_CHAR:
                if (wParam == '\t')
                    SendMessageA(GetParent(outer), message, wParam, lParam);
                break;
            default: break;
            }
        }
        return CallWindowProcA(previous, bar, message, wParam, lParam);
    });
}

// Steps the arm while an arrow is held.
class RepeatStep : public ITimerFn {
public:
    explicit RepeatStep(HWND outer) : fOuter(outer) {}
    void timerExpired(unsigned long) override
    {
        IProgressIndicatorData* data = dataOf(fOuter);
        if (data && data->heldButton >= 0)
            data->stepFromButton(data->heldButton);
    }

private:
    HWND fOuter;
};

IBitmapHandle systemCopy(ISystemBitmapHandle::Identifier id)
{
    return IGBitmap::copyHandle(ISystemBitmapHandle(id));
}

} // namespace

namespace ovkslider {

bool isClass(HWND window, const char* name)
{
    char found[32];
    return window && GetClassNameA(window, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

} // namespace ovkslider

// The record ------------------------------------------------------------------------------------

IProgressIndicatorData::~IProgressIndicatorData()
{
    if (repeatTimer) {
        try {
            repeatTimer->stop();
        } catch (const IException&) {
            // The timer table is gone with the library.
        }
    }
}

void IProgressIndicatorData::registerSlider()
{
    if (gRegistered)
        return;
    InitCommonControls();
    WNDCLASSA outer{};
    outer.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    outer.lpfnWndProc = DefWindowProcA;
    // The identifier lives where the window core keeps every window's: no bytes of our own.
    outer.cbWndExtra = 0;
    outer.hInstance = GetModuleHandleA(nullptr);
    outer.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    outer.hbrBackground = CreateSolidBrush(IGUIColor(IColor::buttonHighlight).asRGBLong());
    outer.lpszClassName = nativeClass;
    if (!RegisterClassA(&outer)) {
        const DWORD error = GetLastError();
        ovk_native::dispose(outer.hbrBackground);
        if (error != ERROR_CLASS_ALREADY_EXISTS)
            IThrow::systemError(
                "RegisterClass", error,
                IEXCEPTION_LOCATION(kFile, "IProgressIndicatorData::registerSlider()"));
    }
    gRegistered = true;
}

void IProgressIndicatorData::createNativeSlider(const IWindowHandle& parent, const IWindowHandle&,
                                                unsigned long style, unsigned long extendedStyle)
{
    const char* function = "IProgressIndicatorData::createNativeSlider(const IWindowHandle&,const "
                           "IWindowHandle&,unsigned long,unsigned long)";
    const unsigned long id = control->id();
    trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, style | WS_VISIBLE, 0, 0, 100, 100,
                               parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    if (!trackbar)
        IThrow::systemError(IString("WinCreateWindow: Id=") + IString(id) +
                                " Class=" + TRACKBAR_CLASSA,
                            GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    if (extendedStyle & (buttonsBottomLeftBit | buttonsTopRightBit)) {
        using Id = ISystemBitmapHandle::Identifier;
        static const Id vertical[] = {
            ISystemBitmapHandle::downArrow,         ISystemBitmapHandle::downArrowPressed,
            ISystemBitmapHandle::downArrowInactive, ISystemBitmapHandle::upArrow,
            ISystemBitmapHandle::upArrowPressed,    ISystemBitmapHandle::upArrowInactive};
        static const Id horizontal[] = {
            ISystemBitmapHandle::leftArrow,         ISystemBitmapHandle::leftArrowPressed,
            ISystemBitmapHandle::leftArrowInactive, ISystemBitmapHandle::rightArrow,
            ISystemBitmapHandle::rightArrowPressed, ISystemBitmapHandle::rightArrowInactive};
        const Id* ids = (style & TBS_VERT) ? vertical : horizontal;
        for (int i = 0; i < bitmapCount; ++i)
            bitmaps[i] = std::make_unique<IGBitmap>(systemCopy(ids[i]));
    }
    // The trackbar answers a tick's place only once it has a size, which it has from creation.
    if (!SendMessageA(trackbar, TBM_SETTIC, 0, 0))
        IThrow::systemError("TBM_SETTIC", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    margin = static_cast<long>(SendMessageA(trackbar, TBM_GETTICPOS, 0, 0));
    if (margin < 0)
        margin = 0;
    const LONG_PTR old =
        SetWindowLongPtrA(trackbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trackbarProcedure));
    if (!old)
        IThrow::systemError("ISUBCLASSWINDOW", GetLastError(),
                            IEXCEPTION_LOCATION(kFile, function));
    previousProcedure = reinterpret_cast<WNDPROC>(old);
}

bool IProgressIndicatorData::isReadOnly() const
{
    return (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_NOTHUMB) != 0;
}

void IProgressIndicatorData::setupNativeScale(IProgressIndicator::Scale scale)
{
    const unsigned long ticks = numberTicks[scale];
    const bool snapping = control->isSnapToTickEnabled() != 0;
    long maximum = 0, step = 0;
    // A scale of fewer than two ticks has no room between ticks: range 0, unit 0.
    if (ticks >= 2) {
        step = snapping ? 1 : 32767 / static_cast<long>(ticks - 1);
        maximum = static_cast<long>(ticks - 1) * step;
    }
    const bool vertical = (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_VERT) != 0;
    const bool homeTopRight = control->homePosition() == IProgressIndicator::homeTopRight;
    // Home lies at the trackbar's own minimum end for a horizontal one at the left and a
    // vertical one at the top.
    direction = vertical == homeTopRight ? 1 : -1;
    if (direction > 0) {
        SendMessageA(trackbar, TBM_SETRANGEMIN, FALSE, 0);
        SendMessageA(trackbar, TBM_SETRANGEMAX, TRUE, maximum);
    } else {
        SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, 0);
        SendMessageA(trackbar, TBM_SETRANGEMIN, TRUE, -maximum);
    }
    SendMessageA(trackbar, TBM_SETPAGESIZE, 0, step);
    SendMessageA(trackbar, TBM_SETLINESIZE, 0, step);
    SendMessageA(trackbar, TBM_CLEARTICS, TRUE, 0);
    auto& marks = markedTicks[scale];
    marks.erase(marks.lower_bound(ticks), marks.end());
    for (unsigned long tick : marks)
        if (!SendMessageA(trackbar, TBM_SETTIC, 0, static_cast<LPARAM>(tick) * step * direction))
            IThrow::systemError("TBM_SETTIC", GetLastError(),
                                IEXCEPTION_LOCATION(kFile,
                                                    "IProgressIndicatorData::setupNativeScale("
                                                    "IProgressIndicator::Scale)"));
    const IProgressIndicator::Alignment alignment = control->alignment();
    textsShown =
        !((alignment == IProgressIndicator::topRight && scale == IProgressIndicator::scale1) ||
          (alignment == IProgressIndicator::bottomLeft && scale == IProgressIndicator::scale2));
}

long IProgressIndicatorData::armPosition() const
{
    // A read-only trackbar shows its value as the ribbon, which runs from home to the arm.
    if (isReadOnly() && (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_ENABLESELRANGE)) {
        return direction > 0 ? static_cast<long>(SendMessageA(trackbar, TBM_GETSELEND, 0, 0))
                             : -static_cast<long>(SendMessageA(trackbar, TBM_GETSELSTART, 0, 0));
    }
    return static_cast<long>(SendMessageA(trackbar, TBM_GETPOS, 0, 0)) * direction;
}

long IProgressIndicatorData::rangeMaximum() const
{
    return direction > 0 ? static_cast<long>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0))
                         : -static_cast<long>(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0));
}

long IProgressIndicatorData::unit() const
{
    return static_cast<long>(SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0));
}

void IProgressIndicatorData::setArmPosition(long position)
{
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position * direction);
    if (!isReadOnly())
        updateButtons();
    if (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_ENABLESELRANGE)
        setRibbonEnd(position);
    // A move by the program is told like a finished drag.
    SendMessageA(GetParent(trackbar), armMoved, TB_ENDTRACK, reinterpret_cast<LPARAM>(trackbar));
}

void IProgressIndicatorData::setRibbonEnd(long position)
{
    if (direction > 0) {
        if (SendMessageA(trackbar, TBM_GETSELSTART, 0, 0) != 0)
            SendMessageA(trackbar, TBM_SETSELSTART, FALSE, 0);
        if (SendMessageA(trackbar, TBM_GETSELEND, 0, 0) != position)
            SendMessageA(trackbar, TBM_SETSELEND, TRUE, position);
    } else {
        if (SendMessageA(trackbar, TBM_GETSELEND, 0, 0) != 0)
            SendMessageA(trackbar, TBM_SETSELEND, FALSE, 0);
        if (SendMessageA(trackbar, TBM_GETSELSTART, 0, 0) != -position)
            SendMessageA(trackbar, TBM_SETSELSTART, TRUE, -position);
    }
}

// Layout ---------------------------------------------------------------------------------------

namespace {

// A text's extent along and across the shaft.
SIZE extentOf(const IGString& text, bool vertical)
{
    const IFont font = text.font();
    const long width = static_cast<long>(font.textWidth(text.text()));
    const long height = static_cast<long>(font.maxCharHeight());
    return vertical ? SIZE{height, width} : SIZE{width, height};
}

} // namespace

void IProgressIndicatorData::layout()
{
    const HWND outer = GetParent(trackbar);
    const IProgressIndicator::Scale primary = control->primaryScale();
    const long n = static_cast<long>(numberTicks[primary]);
    if (n == 0)
        return;
    RECT client{};
    GetClientRect(outer, &client);
    const bool vertical = (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_VERT) != 0;
    const long length = vertical ? client.bottom : client.right;
    const long breadth = vertical ? client.right : client.bottom;
    long b = 0;
    if (hasButtons()) {
        const ISize size = bitmaps[0]->size();
        b = static_cast<long>(vertical ? size.height() : size.width());
    }
    auto& texts = tickTexts[primary];
    const auto first = texts.find(0);
    const auto last = texts.find(static_cast<unsigned long>(n - 1));
    const long a = first == texts.end() ? 0 : extentOf(first->second, vertical).cx;
    const long z = last == texts.end() ? 0 : extentOf(last->second, vertical).cx;
    long spacing = static_cast<long>(tickSpacing[primary]);
    if (spacing == 0 && n >= 2) {
        if (2 * margin >= a && 2 * margin >= z)
            spacing = (length - 2 * b - 2 * margin) / (n - 1);
        else
            spacing = std::max((length - 2 * b - std::max(a, z)) / (n - 1), (length - 2 * b) / n);
    }
    spacing = std::max(spacing, 0L);
    shaftLength = static_cast<unsigned long>(spacing * std::max(n - 1, 0L));
    const long band = static_cast<long>(shaftLength) + 2 * margin;
    const long offset = std::max((length - band) / 2 - b, 0L);
    const unsigned long extended = control->extendedStyle();
    // The arrows sit side by side at one end: at the start (left, or top in window
    // coordinates) for buttons left or top.
    const bool buttonsAtStart =
        vertical ? (extended & buttonsTopRightBit) != 0 : (extended & buttonsBottomLeftBit) != 0;
    const long start = offset + (hasButtons() && buttonsAtStart ? 2 * b : 0);
    long across = (breadth - bandBreadth) / 2;
    if (extended & alignTopRightBit)
        across = vertical ? breadth - bandBreadth : 0;
    else if (extended & alignBottomLeftBit)
        across = vertical ? 0 : breadth - bandBreadth;
    if (vertical)
        MoveWindow(trackbar, across, start, bandBreadth, band, TRUE);
    else
        MoveWindow(trackbar, start, across, band, bandBreadth, TRUE);
    placeTexts(texts, start, across, spacing, vertical);
    placeButtons(start, band, across, b, buttonsAtStart, vertical);
    InvalidateRect(outer, nullptr, TRUE);
}

// Each text stands centred on its tick, beside the band on the side of the trackbar's ticks.
void IProgressIndicatorData::placeTexts(std::map<unsigned long, IGString>& texts, long start,
                                        long across, long spacing, bool vertical)
{
    if (texts.empty() || !textsShown)
        return;
    const bool ticksFirst = (GetWindowLongPtrA(trackbar, GWL_STYLE) & TBS_TOP) != 0;
    const long ticks = static_cast<long>(numberTicks[control->primaryScale()]);
    for (auto& entry : texts) {
        // Tick n counts from home, the trackbar from its minimum end.
        long index = static_cast<long>(entry.first);
        if (direction < 0)
            index = ticks - 1 - index;
        const SIZE extent = extentOf(entry.second, vertical);
        const long along = start + margin + index * spacing - extent.cx / 2;
        const long side = ticksFirst ? across - extent.cy : across + bandBreadth;
        entry.second.setPosition(vertical ? IPoint(side, along) : IPoint(along, side));
    }
}

void IProgressIndicatorData::placeButtons(long start, long band, long across, long b, bool atStart,
                                          bool vertical)
{
    if (!hasButtons())
        return;
    const ISize size = bitmaps[0]->size();
    const long breadth = static_cast<long>(vertical ? size.width() : size.height());
    const long first = atStart ? start - 2 * b : start + band;
    const long side = across + (bandBreadth - breadth) / 2;
    for (int i = 0; i < 2; ++i) {
        // Left before right; on a vertical shaft the up arrow (increment) stands above.
        const int slot = vertical ? 1 - i : i;
        const long along = first + slot * b;
        buttonRects[i] = vertical ? RECT{side, along, side + breadth, along + b}
                                  : RECT{along, side, along + b, side + breadth};
    }
}

// Arrows ---------------------------------------------------------------------------------------

int IProgressIndicatorData::buttonAt(const POINT& point) const
{
    if (!hasButtons())
        return -1;
    for (int i = 0; i < 2; ++i)
        if (PtInRect(&buttonRects[i], point))
            return i;
    return -1;
}

// The decrement arrow points left or down: towards home when home lies there.
void IProgressIndicatorData::stepFromButton(int button)
{
    const bool homeBottomLeft = control->homePosition() == IProgressIndicator::homeBottomLeft;
    const bool towardsHome = (button == 0) == homeBottomLeft;
    const long maximum = rangeMaximum();
    const long next = std::clamp(armPosition() + (towardsHome ? -unit() : unit()), 0L, maximum);
    if (next != armPosition())
        setArmPosition(next);
}

void IProgressIndicatorData::updateButtons()
{
    if (!hasButtons() || isReadOnly())
        return;
    const bool homeBottomLeft = control->homePosition() == IProgressIndicator::homeBottomLeft;
    const long position = armPosition();
    const long farEnd = rangeMaximum();
    bool changed = false;
    for (int i = 0; i < 2; ++i) {
        const bool towardsHome = (i == 0) == homeBottomLeft;
        const bool atEnd = towardsHome ? position <= 0 : position >= farEnd;
        ButtonState state = atEnd ? disabled : (heldButton == i ? pressed : normal);
        if (atEnd && heldButton == i)
            releaseButton();
        if (state != buttonStates[i]) {
            buttonStates[i] = state;
            changed = true;
        }
    }
    const HWND outer = GetParent(trackbar);
    if (changed && IsWindowVisible(outer)) {
        InvalidateRect(outer, &buttonRects[0], FALSE);
        InvalidateRect(outer, &buttonRects[1], FALSE);
        UpdateWindow(outer);
    }
}

void IProgressIndicatorData::releaseButton()
{
    if (repeatTimer) {
        repeatTimer->stop();
        repeatTimer.reset();
    }
    const HWND outer = GetParent(trackbar);
    if (GetCapture() == outer)
        ovk_native::releaseCapture();
    if (heldButton >= 0) {
        const int button = heldButton;
        heldButton = -1;
        if (buttonStates[button] == pressed)
            buttonStates[button] = normal;
        InvalidateRect(outer, &buttonRects[button], FALSE);
    }
}

// Painting -------------------------------------------------------------------------------------

// The selection's part of the channel, inside its sunken edge, placed as the trackbar places
// the thumb: half a thumb in from either end of the channel.
void IProgressIndicatorData::paintRibbon(HDC context, const RECT& channel)
{
    const LONG_PTR style = GetWindowLongPtrA(trackbar, GWL_STYLE);
    if (!(style & TBS_ENABLESELRANGE))
        return;
    const long minimum = static_cast<long>(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0));
    const long range = static_cast<long>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0)) - minimum;
    const long start = static_cast<long>(SendMessageA(trackbar, TBM_GETSELSTART, 0, 0));
    const long end = static_cast<long>(SendMessageA(trackbar, TBM_GETSELEND, 0, 0));
    if (range <= 0 || end <= start)
        return;
    RECT thumb{};
    SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const bool vertical = (style & TBS_VERT) != 0;
    const long half = vertical ? (thumb.bottom - thumb.top) / 2 : (thumb.right - thumb.left) / 2;
    const long first = vertical ? channel.top : channel.left;
    const long length =
        (vertical ? channel.bottom - channel.top : channel.right - channel.left) - 2 * half;
    auto place = [&](long position) {
        return first + half +
               static_cast<long>(static_cast<long long>(length) * (position - minimum) / range);
    };
    RECT ribbon = channel;
    InflateRect(&ribbon, -2, -2);
    if (vertical) {
        ribbon.top = std::max(ribbon.top, place(start));
        ribbon.bottom = std::min(ribbon.bottom, place(end));
    } else {
        ribbon.left = std::max(ribbon.left, place(start));
        ribbon.right = std::min(ribbon.right, place(end));
    }
    if (ribbon.left < ribbon.right && ribbon.top < ribbon.bottom)
        FillRect(context, &ribbon, GetSysColorBrush(COLOR_HIGHLIGHT));
}

void IProgressIndicatorData::paint(HWND outer)
{
    const ovk_canvas::PaintScope scope(outer);
    if (!scope.dc())
        return;
    IGraphicContext context{IPresSpaceHandle(scope.dc())};
    const RECT& client = scope.client();
    const IRectangle whole(client.left, client.top, client.right, client.bottom);
    IGRegion region(context, whole);
    for (HWND child = GetWindow(outer, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, outer, reinterpret_cast<POINT*>(&r), 2);
        region -= IGRegion(context, IRectangle(r.left, r.top, r.right, r.bottom));
    }
    ovk_canvas::fillClipped(context, region, whole, control->backgroundColor());
    context.setPenColor(control->foregroundColor());
    SetBkMode(scope.dc(), TRANSPARENT);
    if (textsShown)
        for (auto& entry : tickTexts[control->primaryScale()])
            context.draw(entry.second);
    if (hasButtons()) {
        for (int i = 0; i < 2; ++i) {
            IGBitmap& bitmap = *bitmaps[i * 3 + buttonStates[i]];
            bitmap.moveTo(IPoint(buttonRects[i].left, buttonRects[i].top));
            bitmap.drawOn(context);
        }
    }
    context.clearClipRegion();
}

// The handler ----------------------------------------------------------------------------------

ISliderWindowHandler::ISliderWindowHandler() noexcept = default;
ISliderWindowHandler::~ISliderWindowHandler() = default;

ISliderWindowHandler& ISliderWindowHandler::shared()
{
    return ovk_app::sharedHandler<ISliderWindowHandler>();
}

IBase::Boolean ISliderWindowHandler::dispatchHandlerEvent(IEvent& event)
{
    auto* control = dynamic_cast<IProgressIndicator*>(event.window());
    if (!control)
        return false;
    if (IProgressIndicatorData* data = control->nativeData())
        return nativeEvent(*data, event);
    return control->usesThunkedWindow() && outsideEvent(event);
}

IBase::Boolean ISliderWindowHandler::nativeEvent(IProgressIndicatorData& data, IEvent& event)
{
    const unsigned long id = event.eventId();
    const HWND bar = data.trackbar;
    switch (id) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (event.parameter2().asPointer() != bar)
            return false;
        return armMoved(data, event);
    case ovkslider::armMoved: return armMoved(data, event);
    case WM_SETFOCUS:
        if (!data.isReadOnly())
            SetFocus(bar);
        return true;
    case WM_PAINT:
        data.paint(event.handle());
        event.setResult(0);
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return buttonDown(data, event);
    case WM_LBUTTONUP:
        if (data.repeatTimer || data.heldButton >= 0) {
            data.releaseButton();
            data.updateButtons();
        }
        return false;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
        if (position && !(position->flags & SWP_NOSIZE))
            data.layout();
        return false;
    }
    case IPrivateMessage::focusNotice: SetFocus(bar); return true;
    case WM_NOTIFY: return customDraw(data, event);
    default:
        // The trackbar's own messages, asked of the outer window.
        if (id >= TBM_GETPOS && id <= TBM_GETPOS + 0x1C && id != TBM_GETPOS + 0xD) {
            event.setResult(SendMessageA(bar, static_cast<UINT>(id),
                                         static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                                         event.parameter2().asLong()));
            return true;
        }
        return false;
    }
}

// Not every trackbar fills the channel between the ends of its selection (Wine's leaves it
// white), so the ribbon is drawn over the channel once the trackbar has drawn it.
IBase::Boolean ISliderWindowHandler::customDraw(IProgressIndicatorData& data, IEvent& event)
{
    auto* draw = static_cast<NMCUSTOMDRAW*>(event.parameter2().asPointer());
    if (!draw || draw->hdr.hwndFrom != data.trackbar ||
        draw->hdr.code != static_cast<UINT>(NM_CUSTOMDRAW))
        return false;
    const bool channel = draw->dwItemSpec == TBCD_CHANNEL;
    switch (draw->dwDrawStage) {
    case CDDS_PREPAINT: event.setResult(CDRF_NOTIFYITEMDRAW); return true;
    case CDDS_ITEMPREPAINT:
        event.setResult(channel ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT);
        return true;
    case CDDS_ITEMPOSTPAINT:
        if (channel)
            data.paintRibbon(draw->hdc, draw->rc);
        event.setResult(CDRF_DODEFAULT);
        return true;
    default: return false;
    }
}

IBase::Boolean ISliderWindowHandler::armMoved(IProgressIndicatorData& data, IEvent& event)
{
    if (!data.isReadOnly()) {
        if (GetWindowLongPtrA(data.trackbar, GWL_STYLE) & TBS_ENABLESELRANGE)
            data.setRibbonEnd(data.armPosition());
        data.updateButtons();
    }
    const unsigned int code = event.parameter1().lowNumber();
    if (code == TB_THUMBTRACK)
        notify(event.handle(), IOutsideNotification::sliderArmTracking);
    else if (code == TB_ENDTRACK)
        notify(event.handle(), IOutsideNotification::sliderArmChanged);
    event.setResult(0);
    return true;
}

IBase::Boolean ISliderWindowHandler::buttonDown(IProgressIndicatorData& data, IEvent& event)
{
    const HWND outer = event.handle();
    SetFocus(data.trackbar);
    const POINT point{static_cast<short>(event.parameter2().lowNumber()),
                      static_cast<short>(event.parameter2().highNumber())};
    const int button = data.buttonAt(point);
    if (button < 0 || data.isReadOnly() ||
        data.buttonStates[button] == IProgressIndicatorData::disabled)
        return false;
    data.heldButton = button;
    data.buttonStates[button] = IProgressIndicatorData::pressed;
    InvalidateRect(outer, &data.buttonRects[button], FALSE);
    data.stepFromButton(button);
    if (data.heldButton == button) {
        data.repeatTimer = std::make_unique<ITimer>(IReference<ITimerFn>(new RepeatStep(outer)),
                                                    kRepeatMilliseconds);
        SetCapture(outer);
    }
    SetFocus(data.trackbar);
    event.setResult(0);
    return true;
}

// The outside slider paints with the brush the library keeps in its window bytes.
IBase::Boolean ISliderWindowHandler::outsideEvent(IEvent& event)
{
    const HWND window = event.handle();
    if (event.eventId() == WM_DESTROY) {
        // The brush in the window bytes is the library's: it goes with the window.
        const ovk_native::Brush brush(reinterpret_cast<HBRUSH>(
            SetWindowLongPtrA(window, IOutsideMessage::sliderBrushOffset, 0)));
        return false;
    }
    if (event.eventId() != IOutsideMessage::sliderColorRequest)
        return false;
    auto* control = dynamic_cast<IProgressIndicator*>(event.window());
    const HDC context = static_cast<HDC>(event.parameter1().asPointer());
    const IColor background = control->backgroundColor();
    SetBkColor(context, background.asRGBLong());
    SetTextColor(context, control->foregroundColor().asRGBLong());
    const HBRUSH brush = CreateSolidBrush(background.asRGBLong() | 0x2000000);
    // The brush it replaces is deleted once the new one is in the window bytes.
    const ovk_native::Brush old(reinterpret_cast<HBRUSH>(SetWindowLongPtrA(
        window, IOutsideMessage::sliderBrushOffset, reinterpret_cast<LONG_PTR>(brush))));
    event.setResult(IEventData(static_cast<const void*>(brush)));
    return true;
}
