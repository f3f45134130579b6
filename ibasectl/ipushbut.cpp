// Push buttons and their click handler.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/iframlnk.hpp>

#include "detail/ibtnimpl.hpp"
#include "icmdevt.hpp"
#include "ihandler.hpp"
#include "iprivmsg.hpp"
#include "ipushbut.hpp"

const IWindow::Style IPushButton::_help(0, 0x200);
const IWindow::Style IPushButton::_systemCommand(0, 0x400);
const IWindow::Style IPushButton::_defaultButton(0, 0x100);
const IWindow::Style IPushButton::_reservedStyle(0, 0);
const IWindow::Style IPushButton::classDefault(WS_VISIBLE, 0);

namespace {

// Turns a click into a posted event for the button's owner: a help request to the frame, a
// system command or a command with the push-button source in the high word.
class IPushButtonHandler : public IHandler {
public:
    static IPushButtonHandler& shared() { return ovk_app::sharedHandler<IPushButtonHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        auto* button = dynamic_cast<IPushButton*>(event.dispatchingWindow());
        if (!button)
            return false;
        const HWND self = button->handle();
        if (event.eventId() == WM_SETFOCUS && event.handle() == self && button->isHelp()) {
            // One remembered window for every help button: the latest focus change wins.
            fPreviousFocus = reinterpret_cast<HWND>(event.parameter1().asPointer());
        } else if (event.eventId() == IPrivateMessage::controlNotification &&
                   event.parameter2().asPointer() == self &&
                   IControlEvent(event).notificationCode() == BN_CLICKED) {
            postClick(*button);
        }
        return false;
    }

private:
    void postClick(IPushButton& button)
    {
        const IWindowHandle self = button.handle();
        const unsigned long id = button.id();
        IWindow* target = nullptr;
        unsigned long message;
        IEventParameter1 first(0);
        IEventParameter2 second(0);
        if (button.isHelp()) {
            const HWND about = fPreviousFocus && !button.allowsMouseClickFocus()
                                   ? fPreviousFocus
                                   : static_cast<HWND>(self);
            target = ovk_window::frameWindowFor(IWindowHandle(about));
            message = IPrivateMessage::frameEvent;
            second = IEventParameter2(about);
        } else if (button.isSystemCommand()) {
            target = button.owner();
            message = WM_SYSCOMMAND;
            first = IEventParameter1(id & 0xFFFF);
        } else {
            target = button.owner();
            message = WM_COMMAND;
            first = IEventParameter1((id & 0xFFFF) | 0x20000);
        }
        if (!target || target == IWindow::desktopWindow())
            target = button.parent();
        if (target)
            target->postEvent(message, first, second);
    }

    HWND fPreviousFocus = nullptr;
};

} // namespace

IPushButton::IPushButton(unsigned long id, IWindow* parent, IWindow* owner,
                         const IRectangle& initial, const Style& style)
{
    ovkbutton::create(*this, id, parent, owner, initial, style, "parent!=0", "ipushbut",
                      "IPushButton::IPushButton(unsigned long,IWindow*,IWindow*,const IRectangle&,"
                      "const IPushButton::Style&)");
    setDestroyOnDelete();
    IPushButtonHandler::shared().handleEventsFor(this);
}

IPushButton::IPushButton(unsigned long id, IWindow* parent)
{
    setDestroyOnDelete(false);
    IPushButtonHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(ovkbutton::childOf(id, parent, "ipushbut",
                                              "IPushButton::IPushButton(unsigned long,IWindow*)"));
    takeDefaultKind();
}

IPushButton::IPushButton(const IWindowHandle& handle)
{
    setDestroyOnDelete(false);
    IPushButtonHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
    takeDefaultKind();
}

IPushButton::~IPushButton()
{
    IPushButtonHandler::shared().stopHandlingEventsFor(this);
}

IWindow::Style IPushButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IPushButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

// A wrapped default button says so in its extended style as well.
void IPushButton::takeDefaultKind()
{
    if ((style() & 0xF) == BS_DEFPUSHBUTTON)
        setExtendedStyle(extendedStyle() | _defaultButton.asExtendedUnsignedLong());
}

unsigned long IPushButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const bool isDefault = style.asExtendedUnsignedLong() & _defaultButton.asExtendedUnsignedLong();
    return ovkbutton::guiStyle(IButton::convertToGUIStyle(style, extended), style, extended,
                               isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

// The text plus the frame's borders, and one average character more for breathing room.
ISize IPushButton::calcMinimumSize() const
{
    const ISize text = displaySize(this->text());
    const unsigned long length = textLength();
    long width = 9 * GetSystemMetrics(SM_CXBORDER) + text.width() + 2;
    if (length > 0)
        width += static_cast<long>(static_cast<unsigned long>(text.width()) / length);
    const long height = 9 * GetSystemMetrics(SM_CYBORDER) + text.height();
    return ISize(static_cast<ISize::Coord>(width), static_cast<ISize::Coord>(height));
}

IPushButton& IPushButton::enableDefault(IBase::Boolean enable)
{
    const unsigned long current = style();
    const unsigned long wanted = (current & ~0xFul) | (enable ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (wanted == current)
        return *this;
    const unsigned long bit = _defaultButton.asExtendedUnsignedLong();
    setStyle(wanted);
    refresh();
    setExtendedStyle(enable ? (extendedStyle() | bit) : (extendedStyle() & ~bit));
    return *this;
}

IPushButton& IPushButton::disableDefault()
{
    return enableDefault(false);
}

IBase::Boolean IPushButton::isDefault() const
{
    return (style() & 0xF) == BS_DEFPUSHBUTTON;
}

void IPushButton::setExtendedBit(unsigned long bit, bool on)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted != current)
        setExtendedStyle(wanted);
}

IPushButton& IPushButton::enableHelp(IBase::Boolean enable)
{
    setExtendedBit(_help.asExtendedUnsignedLong(), enable != 0);
    return *this;
}

IPushButton& IPushButton::disableHelp()
{
    return enableHelp(false);
}

IBase::Boolean IPushButton::isHelp() const
{
    return (extendedStyle() & _help.asExtendedUnsignedLong()) != 0;
}

IPushButton& IPushButton::enableSystemCommand(IBase::Boolean enable)
{
    setExtendedBit(_systemCommand.asExtendedUnsignedLong(), enable != 0);
    return *this;
}

IPushButton& IPushButton::disableSystemCommand()
{
    return enableSystemCommand(false);
}

IBase::Boolean IPushButton::isSystemCommand() const
{
    return (extendedStyle() & _systemCommand.asExtendedUnsignedLong()) != 0;
}

IPushButton& IPushButton::enableReservedStyle(IBase::Boolean enable)
{
    const unsigned long bits = _reservedStyle.asUnsignedLong();
    const unsigned long current = style();
    const unsigned long wanted = enable ? (current & ~bits) : (current | bits);
    if (wanted != current) {
        setStyle(wanted);
        refresh();
    }
    return *this;
}

IPushButton& IPushButton::disableReservedStyle()
{
    return enableReservedStyle(false);
}

IBase::Boolean IPushButton::isReservedStyle() const
{
    return (style() & _reservedStyle.asUnsignedLong()) == 0;
}
