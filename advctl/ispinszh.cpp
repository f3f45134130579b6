// The spin buttons' default handler and the native entry field's procedure.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <iprivmsg.hpp>
#include <ovkmsgid.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>

#include <iadvrec.hpp>
#include "detail/ispinslt.hpp"
#include "ispinbas.hpp"
#include "ispintxt.hpp"

using namespace IOutsideNotification;

namespace {

constexpr unsigned int kPositionMessage = 0xFFDF;
constexpr unsigned int kThumbPosition = 4, kEndScroll = 8;

// Set while the library writes a field's text itself, so that the field's change notification
// does not report the same change a second time.
thread_local bool tWritingText = false;

// The way the Up or Down key is spinning the field's button, while it does (0 otherwise): the
// key spin is told as the arrows' spin is, so that a spin handler hears every spin the user
// makes, whichever way it was made.
thread_local int tKeySpin = 0;

bool isWrapper(HWND window)
{
    char name[32];
    return window && GetClassNameA(window, name, sizeof name) > 0 &&
           lstrcmpiA(name, ovkspin::wrapperClass) == 0;
}

IBaseSpinButton* buttonOf(HWND wrapper)
{
    return dynamic_cast<IBaseSpinButton*>(IWindow::windowWithHandle(wrapper, true));
}

// One step of the Up or Down key, marked as such for the position it sets.
void spinByKey(IBaseSpinButton& button, bool up)
{
    struct Marked {
        explicit Marked(int way) { tKeySpin = way; }
        ~Marked() { tKeySpin = 0; }
    } marked(up ? 1 : -1);
    up ? button.spinUp(1) : button.spinDown(1);
}

std::string numberText(long value, unsigned long padTo)
{
    std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    if (padTo > 0) {
        const size_t width = std::min<unsigned long>(padTo, 11) - (value < 0 ? 1 : 0);
        if (digits.size() < width)
            digits.insert(0, width - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

} // namespace

namespace ovkspin {

unsigned long buttonId(HWND wrapper)
{
    if (IWindow* button = IWindow::windowWithHandle(wrapper, true))
        return button->id();
    return static_cast<unsigned long>(GetDlgCtrlID(wrapper));
}

void notify(HWND wrapper, unsigned int code)
{
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(buttonId(wrapper) & 0xFFFF), code);
    SendMessageA(GetParent(wrapper), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(wrapper));
}

void showPosition(HWND wrapper, long position)
{
    setSlot(wrapper, positionSlot, position);
    const LONG_PTR style = GetWindowLongPtrA(wrapper, GWL_STYLE);
    IBaseSpinButton* button = buttonOf(wrapper);
    std::string text;
    if (style & numericStyle) {
        text = numberText(position, (style & paddedStyle) && button ? button->limit() : 0);
    } else if (auto* texts = dynamic_cast<ITextSpinButton*>(button)) {
        if (position >= 0 && static_cast<unsigned long>(position) < texts->numberOfElements())
            text = static_cast<const char*>(texts->elementAt(static_cast<unsigned long>(position)));
    }
    writeText(wrapper, text.c_str());
}

void writeText(HWND wrapper, const char* text)
{
    tWritingText = true;
    SetWindowTextA(slotWindow(wrapper, entrySlot), text);
    tWritingText = false;
}

void layOut(HWND wrapper)
{
    RECT client;
    GetClientRect(wrapper, &client);
    const int width = client.right, height = client.bottom;
    const HWND upDown = slotWindow(wrapper, upDownSlot);
    int arrows = 0;
    if (upDown && GetParent(upDown) == wrapper) {
        arrows = std::min(GetSystemMetrics(SM_CXVSCROLL), width);
        SetWindowPos(upDown, nullptr, width - arrows, 0, arrows, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(slotWindow(wrapper, entrySlot), nullptr, 0, 0, width - arrows, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Up and Down belong to the spin button, whatever the field would make of them: a key that
// goes down spins one step up or down, and its release ends the spin, as the arrows' press
// and release do. Enter, Escape and Tab belong to the wrapper's keyboard handling (default
// button, focus moves).
LRESULT CALLBACK entryProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ICallbackGuard::call(LRESULT(0), [&]() -> LRESULT {
        const HWND wrapper = GetParent(field);
        const auto previous = reinterpret_cast<WNDPROC>(slot(wrapper, previousSlot));
        if (!previous)
            return DefWindowProcA(field, message, wParam, lParam);
        if (message == WM_CHAR && (wParam == '\r' || wParam == 0x1B || wParam == '\t'))
            return SendMessageA(wrapper, message, wParam, lParam);
        // Only the key messages carry virtual keys: as a character, 0x26 and 0x28 are "&"
        // and "(", which the field must take.
        if ((message == WM_KEYDOWN || message == WM_KEYUP) && (wParam == VK_UP || wParam == VK_DOWN)) {
            if (message == WM_KEYUP)
                notify(wrapper, spinEnded);
            else if (IBaseSpinButton* button = buttonOf(wrapper))
                spinByKey(*button, wParam == VK_UP);
            return 0;
        }
        if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
            const LRESULT result = CallWindowProcA(previous, field, message, wParam, lParam);
            if (result == 0)
                return SendMessageA(wrapper, message, wParam, lParam);
            return result;
        }
        return CallWindowProcA(previous, field, message, wParam, lParam);
    });
}

} // namespace ovkspin

using namespace ovkspin;

// The handler ----------------------------------------------------------------------------------

IBaseSpinDefaultHandler::IBaseSpinDefaultHandler() noexcept = default;

IBaseSpinDefaultHandler::~IBaseSpinDefaultHandler()
{
    ovk_native::dispose(fBrush);
}

IBaseSpinDefaultHandler& IBaseSpinDefaultHandler::shared()
{
    return ovk_app::sharedHandler<IBaseSpinDefaultHandler>();
}

IBaseSpinDefaultHandler& IBaseSpinDefaultHandler::handleEventsFor(IBaseSpinButton* spinButton)
{
    IARGUMENT_CHECK(spinButton != 0, "ispinszh",
                    "IBaseSpinDefaultHandler::handleEventsFor(IBaseSpinButton*)");
    IHandler::handleEventsFor(spinButton);
    return *this;
}

IBaseSpinDefaultHandler& IBaseSpinDefaultHandler::stopHandlingEventsFor(IBaseSpinButton* spinButton)
{
    IARGUMENT_CHECK(spinButton != 0, "ispinszh",
                    "IBaseSpinDefaultHandler::stopHandlingEventsFor(IBaseSpinButton*)");
    IHandler::stopHandlingEventsFor(spinButton);
    return *this;
}

IHandler& IBaseSpinDefaultHandler::handleEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("ispinszh", "IBaseSpinDefaultHandler::handleEventsFor(IWindow*)"));
}

IHandler& IBaseSpinDefaultHandler::stopHandlingEventsFor(IWindow*)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED,
                    IEXCEPTION_LOCATION("ispinszh",
                                        "IBaseSpinDefaultHandler::stopHandlingEventsFor(IWindow*)"));
}

IBase::Boolean IBaseSpinDefaultHandler::dispatchHandlerEvent(IEvent& event)
{
    if (!isWrapper(event.handle()))
        return false;
    switch (event.eventId()) {
    case WM_SETFOCUS: return focusToField(event);
    case WM_SETFONT:
    case WM_GETFONT: return passToField(event);
    case WM_WINDOWPOSCHANGED: return moved(event);
    case WM_NOTIFY: return arrowsNotice(event);
    case WM_VSCROLL: return arrowsScrolled(event);
    case kPositionMessage: return positionSet(event);
    case WM_CTLCOLOREDIT: return colorField(event);
    case IPrivateMessage::controlNotification: return fieldNotification(event);
    case IPrivateMessage::focusNotice: return focusFromArrows(event);
    default: return false;
    }
}

IBase::Boolean IBaseSpinDefaultHandler::focusToField(IEvent& event)
{
    SetFocus(slotWindow(event.handle(), entrySlot));
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::passToField(IEvent& event)
{
    const HWND field = slotWindow(event.handle(), entrySlot);
    event.setResult(SendMessageA(field, event.eventId(),
                                 static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                                 event.parameter2().asLong()));
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::moved(IEvent& event)
{
    layOut(event.handle());
    return false;
}

// The arrows tell which way they went before they scroll: kept for the scroll that follows.
IBase::Boolean IBaseSpinDefaultHandler::arrowsNotice(IEvent& event)
{
    const auto* change = static_cast<const NMUPDOWN*>(event.parameter2().asPointer());
    if (change && change->hdr.code == static_cast<UINT>(UDN_DELTAPOS)) {
        fDeltaSender = change->hdr.hwndFrom;
        fDelta = change->iDelta;
    }
    return false;
}

IBase::Boolean IBaseSpinDefaultHandler::arrowsScrolled(IEvent& event)
{
    if (event.parameter1().lowNumber() == kEndScroll) {
        notify(event.handle(), spinEnded);
        return true;
    }
    return event.parameter1().lowNumber() == kThumbPosition && scrolled(event, true);
}

IBase::Boolean IBaseSpinDefaultHandler::positionSet(IEvent& event)
{
    return event.parameter1().lowNumber() == kThumbPosition && scrolled(event, false);
}

// The focus that went to the arrows goes on to the field.
IBase::Boolean IBaseSpinDefaultHandler::focusFromArrows(IEvent& event)
{
    const HWND wrapper = event.handle();
    if (GetFocus() == slotWindow(wrapper, upDownSlot))
        SetFocus(slotWindow(wrapper, entrySlot));
    return false;
}

// A new position from the arrows (for the field they serve now) or from the button itself.
IBase::Boolean IBaseSpinDefaultHandler::scrolled(IEvent& event, bool fromArrows)
{
    const long position = static_cast<short>(event.parameter1().highNumber());
    const HWND upDown = static_cast<HWND>(event.parameter2().asPointer());
    HWND target = event.handle();
    if (fromArrows) {
        if (!upDown)
            return false;
        const HWND field = slotWindow(GetParent(upDown), servedSlot);
        if (field)
            target = GetParent(field);
    }
    showPosition(target, position);
    if (fromArrows && upDown == fDeltaSender)
        notify(target, fDelta >= 0 ? spinArrowUp : spinArrowDown);
    else if (!fromArrows && tKeySpin != 0)
        notify(target, tKeySpin > 0 ? spinArrowUp : spinArrowDown);
    notify(target, spinValueChanged);
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::fieldNotification(IEvent& event)
{
    const HWND wrapper = event.handle();
    const HWND field = slotWindow(wrapper, entrySlot);
    if (reinterpret_cast<HWND>(event.parameter2().asPointer()) != field)
        return false;
    switch (event.parameter1().highNumber()) {
    case EN_SETFOCUS: return fieldFocused(wrapper, field);
    case EN_KILLFOCUS: return fieldLostFocus(wrapper);
    case EN_CHANGE: return fieldChanged(wrapper, field);
    default: return false;
    }
}

// The master's arrows move over to the field that has the focus.
IBase::Boolean IBaseSpinDefaultHandler::fieldFocused(HWND wrapper, HWND field)
{
    const HWND upDown = slotWindow(wrapper, upDownSlot);
    if (upDown && IsWindow(upDown) && slotWindow(GetParent(upDown), servedSlot) != field) {
        setSlot(GetParent(upDown), servedSlot, reinterpret_cast<LONG_PTR>(field));
        const LONG_PTR range = slot(wrapper, rangeSlot);
        SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(lowerOf(range)), upperOf(range));
        const long position = static_cast<long>(slot(wrapper, positionSlot));
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(position, 0));
        showPosition(wrapper, position);
    }
    notify(wrapper, spinFocusGained);
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::fieldLostFocus(HWND wrapper)
{
    notify(wrapper, spinFocusLost);
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::fieldChanged(HWND wrapper, HWND field)
{
    if (tWritingText)
        return true;
    if (GetWindowLongPtrA(wrapper, GWL_STYLE) & numericStyle) {
        char text[32] = "";
        GetWindowTextA(field, text, sizeof text);
        const long value = std::strtol(text, nullptr, 10);
        const LONG_PTR range = slot(wrapper, rangeSlot);
        if (lowerOf(range) <= value && value <= upperOf(range)) {
            const HWND upDown = slotWindow(wrapper, upDownSlot);
            if (upDown && slotWindow(GetParent(upDown), servedSlot) == field)
                SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(value, 0));
            setSlot(wrapper, positionSlot, value);
        }
    }
    notify(wrapper, spinValueChanged);
    return true;
}

IBase::Boolean IBaseSpinDefaultHandler::colorField(IEvent& event)
{
    IBaseSpinButton* button = buttonOf(event.handle());
    if (!button)
        return false;
    const HDC context = static_cast<HDC>(event.parameter1().asPointer());
    const IColor background = button->backgroundColor();
    const IColor foreground = button->foregroundColor();
    SetBkColor(context, background.asRGBLong());
    SetTextColor(context, foreground.asRGBLong());
    ovk_native::dispose(fBrush);
    fBrush = CreateSolidBrush(background.asRGBLong() | 0x2000000);
    event.setResult(IEventData(static_cast<const void*>(fBrush)));
    return true;
}
