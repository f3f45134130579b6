// The button base and its mouse-click focus handler.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iplatfrm.hpp>

#include "ibutton.hpp"
#include "ihandler.hpp"
#include "inotifhd.hpp"
#include "iprivmsg.hpp"

struct IButtonData {
    // A press on a button that does not take the focus on clicks arms it until the release.
    bool armed = false;
    HWND previousFocus = nullptr;
};

const IWindow::Style IButton::_noPointerFocus(0, 0x800);
const char* const IButton::buttonClickId = "IButton::buttonClick";

// Gives the focus back after a click on a button that does not take it: the press gives the
// button the focus, the release is followed by a posted request that returns it to the window
// that had it (or to the active window).
class IButtonFocusHandler : public IHandler {
public:
    static IButtonFocusHandler& shared() { return ovk_app::sharedHandler<IButtonFocusHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        auto* button = dynamic_cast<IButton*>(event.dispatchingWindow());
        if (!button || event.dispatchingHandle() != event.handle())
            return false;
        IButtonData& data = *button->fButtonData;
        switch (event.eventId()) {
        case WM_LBUTTONDOWN:
            if (!button->allowsMouseClickFocus()) {
                data.armed = true;
                data.previousFocus = nullptr;
            }
            return false;
        case WM_SETFOCUS:
            if (data.armed)
                data.previousFocus = reinterpret_cast<HWND>(event.parameter1().asPointer());
            return false;
        case WM_LBUTTONUP:
            if (data.armed)
                event.handle().postEvent(IPrivateMessage::restoreFocus);
            return false;
        case WM_KILLFOCUS:
            data.armed = false;
            return false;
        case IPrivateMessage::restoreFocus:
            if (!data.armed)
                return false;
            data.armed = false;
            SetFocus(data.previousFocus && IsWindow(data.previousFocus) ? data.previousFocus
                                                                        : GetActiveWindow());
            return true;
        default:
            return false;
        }
    }
};

IButton::IButton() : fButtonData(new IButtonData)
{
    IButtonFocusHandler::shared().handleEventsFor(this);
}

IButton::~IButton()
{
    IButtonFocusHandler::shared().stopHandlingEventsFor(this);
    delete fButtonData;
}

IWindow& IButton::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IButtonNotifyHandler::shared(), enable);
}

IColor IButton::foregroundColor() const
{
    return findColor(1, IGUIColor(IColor::menuText));
}

// Push buttons are drawn on the button face; the other kinds on their frame's background.
IColor IButton::backgroundColor() const
{
    const unsigned long kind = style() & 0xF;
    if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)
        return findColor(3, IGUIColor(IColor::buttonMiddle));
    return findColor(3, IWindow::defaultBackgroundColor(handle()));
}

IColor IButton::disabledForegroundColor() const
{
    return IGUIColor(IColor::menuText);
}

IColor IButton::hiliteForegroundColor() const
{
    return IGUIColor(IColor::menuText);
}

IColor IButton::hiliteBackgroundColor() const
{
    return IGUIColor(IColor::menuText);
}

ITextControl& IButton::setText(const char* text)
{
    ITextControl::setText(text);
    setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}

ITextControl& IButton::setText(const IResourceId& text)
{
    return ITextControl::setText(text);
}

IButton& IButton::enableMouseClickFocus(IBase::Boolean enable)
{
    const unsigned long bit = _noPointerFocus.asExtendedUnsignedLong();
    const unsigned long current = extendedStyle();
    const unsigned long wanted = enable ? (current & ~bit) : (current | bit);
    if (wanted != current)
        setExtendedStyle(wanted);
    return *this;
}

IButton& IButton::disableMouseClickFocus()
{
    return enableMouseClickFocus(false);
}

IBase::Boolean IButton::allowsMouseClickFocus() const
{
    return (extendedStyle() & _noPointerFocus.asExtendedUnsignedLong()) == 0;
}

IButton& IButton::highlight(IBase::Boolean highlight)
{
    handle().sendEvent(BM_SETSTATE, highlight ? 1 : 0);
    return *this;
}

IButton& IButton::unhighlight()
{
    return highlight(false);
}

IBase::Boolean IButton::isHighlighted() const
{
    return (handle().sendEvent(BM_GETSTATE).asUnsignedLong() & BST_PUSHED) != 0;
}

IButton& IButton::click()
{
    click(handle());
    return *this;
}

void IButton::click(const IWindowHandle& button)
{
    if (!IPlatform::isPlatformVariant()) {
        button.sendEvent(BM_CLICK);
        return;
    }
    // The older platform's BM_CLICK goes through the thunks; the button's own procedure is
    // given the press and the release at its centre instead.
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_WNDPROC));
    RECT client{};
    GetClientRect(button, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    CallWindowProcA(procedure, button, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    CallWindowProcA(procedure, button, WM_LBUTTONUP, 0, centre);
}
