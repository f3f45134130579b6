// The control notification handlers.
#include <windows.h>

#include "detail/iwincore.hpp"
#include "iprivmsg.hpp"

#include "ictlhdr.hpp"
#include "ictlnote.hpp"
#include "iwcname.hpp"

namespace {

using IControlNotification::Callback;
using IControlNotification::Condition;
using IControlNotification::Entry;

// Builds the control event of a control notification, finds its entry in the table, and when
// there is one, lets `call` run the callback; the result reaches Windows when it is handled.
template <std::size_t N, class Call>
IBase::Boolean notify(IEvent& event, const Entry (&table)[N], Call call)
{
    if (event.eventId() != IPrivateMessage::controlNotification)
        return false;
    IControlEvent controlEvent(event);
    if (!controlEvent.controlHandle())
        return false;
    const Entry* entry = IControlNotification::find(
        table, IWindowClassName(controlEvent.controlHandle()), controlEvent.notificationCode());
    if (!entry)
        return false;
    const IBase::Boolean handled = call(*entry, controlEvent);
    if (handled)
        event.setResult(controlEvent.result());
    return handled;
}

LONG_PTR styleOf(HWND window)
{
    return GetWindowLongPtrA(window, GWL_STYLE);
}

// The list-box style bits that the list box control answers for its selection kind.
bool isMultipleSelectOnly(HWND listBox)
{
    const LONG_PTR style = styleOf(listBox);
    return (style & LBS_MULTIPLESEL) && !(style & LBS_EXTENDEDSEL);
}

bool isPushButton(HWND button)
{
    const LONG_PTR type = styleOf(button) & 0xF;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool conditionHolds(const Entry& entry, const IControlEvent& event)
{
    HWND control = event.controlHandle();
    switch (entry.condition) {
    case Condition::none:
        return true;
    case Condition::notPushButton:
        return !isPushButton(control);
    case Condition::notMultipleSelectOnly:
        return !isMultipleSelectOnly(control);
    case Condition::recordSelected: {
        // Only records whose emphasis mask has the selection bit are selections.
        const auto* record = static_cast<const NOTIFYRECORDEMPHASIS*>(event.parameter2().asPointer());
        return record && (record->fEmphasisMask & CRA_SELECTED);
    }
    }
    return false;
}

unsigned long controlIdOf(HWND control)
{
    return IWindowCore::windowId(control) & 0xFFFF;
}

// A notification the control did not send, as its parent would have received it.
IEvent notificationFor(HWND control, unsigned long code)
{
    return IEvent(IWindowHandle(GetParent(control)), IPrivateMessage::controlNotification,
                  IEventParameter1(controlIdOf(control) | (code << 16)), IEventParameter2(0));
}

} // namespace

IEditHandler::~IEditHandler() = default;

IBase::Boolean IEditHandler::dispatchHandlerEvent(IEvent& event)
{
    return notify(event, IControlNotification::kEdit,
                  [this](const Entry&, IControlEvent& e) { return edit(e); });
}

IFocusHandler::~IFocusHandler() = default;

IBase::Boolean IFocusHandler::dispatchHandlerEvent(IEvent& event)
{
    return notify(event, IControlNotification::kFocus, [this](const Entry& entry, IControlEvent& e) {
        const bool got = entry.callback == Callback::gotFocus ||
                         (entry.callback == Callback::focusByParameter &&
                          e.parameter2().lowNumber() != 0);
        return got ? gotFocus(e) : lostFocus(e);
    });
}

IBase::Boolean IFocusHandler::gotFocus(IControlEvent&) { return false; }
IBase::Boolean IFocusHandler::lostFocus(IControlEvent&) { return false; }

ISelectHandler::~ISelectHandler() = default;

IBase::Boolean ISelectHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == IPrivateMessage::controlNotification)
        return dispatchNotification(event);
    return dispatchDerived(event);
}

IBase::Boolean ISelectHandler::dispatchNotification(IEvent& event)
{
    return notify(event, IControlNotification::kSelect, [this](const Entry& entry, IControlEvent& e) {
        if (!conditionHolds(entry, e))
            return IBase::Boolean(false);
        return entry.callback == Callback::enter ? enter(e) : selected(e);
    });
}

// What the controls do not report themselves: a double click on a button the library saw, the
// Enter key in a list box, and the selections of a multiple-selection list box.
IBase::Boolean ISelectHandler::dispatchDerived(IEvent& event)
{
    HWND control = event.controlHandle();
    if (!control)
        return false;
    const IWindowClassName className(control);
    const unsigned long id = event.eventId();
    const unsigned long key = event.parameter1().asUnsignedLong();
    unsigned long code = 0;
    bool isEnter = false;
    if (id == IPrivateMessage::doubleClickRelease && className == "Button") {
        const LONG_PTR type = styleOf(control) & 0xF;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_RADIOBUTTON ||
            type == BS_OWNERDRAW)
            return false;
        code = BN_DOUBLECLICKED;
        isEnter = true;
    } else if (id == WM_CHAR && key == VK_RETURN && className == "ListBox") {
        code = LBN_DBLCLK;
        isEnter = true;
    } else if ((id == WM_LBUTTONUP || (id == WM_CHAR && key == ' ')) && className == "ListBox" &&
               isMultipleSelectOnly(control)) {
        code = LBN_SELCHANGE;
    } else {
        return false;
    }
    const IEvent notification = notificationFor(control, code);
    IControlEvent controlEvent(notification);
    const IBase::Boolean handled = isEnter ? enter(controlEvent) : selected(controlEvent);
    if (handled)
        event.setResult(controlEvent.result());
    return handled;
}

IBase::Boolean ISelectHandler::enter(IControlEvent& event)
{
    if (event.controlHandle() && IWindowClassName(event.controlHandle()) == "Button")
        return selected(event);
    return false;
}

IBase::Boolean ISelectHandler::selected(IControlEvent&) { return false; }

IComboDropDownHandler::~IComboDropDownHandler() = default;

IBase::Boolean IComboDropDownHandler::dispatchHandlerEvent(IEvent& event)
{
    return notify(event, IControlNotification::kComboDropDown,
                  [this](const Entry&, IControlEvent& e) { return listShown(e); });
}

ISpinHandler::~ISpinHandler() = default;

IBase::Boolean ISpinHandler::dispatchHandlerEvent(IEvent& event)
{
    return notify(event, IControlNotification::kSpin, [this](const Entry& entry, IControlEvent& e) {
        switch (entry.callback) {
        case Callback::spinCode96: return spinCode96(e);
        case Callback::spinCode97: return spinCode97(e);
        default: return spinCode98(e);
        }
    });
}

IBase::Boolean ISpinHandler::spinCode96(IControlEvent&) { return false; }
IBase::Boolean ISpinHandler::spinCode97(IControlEvent&) { return false; }
IBase::Boolean ISpinHandler::spinCode98(IControlEvent&) { return false; }

ISliderHandler::~ISliderHandler() = default;

IBase::Boolean ISliderHandler::dispatchHandlerEvent(IEvent& event)
{
    return notify(event, IControlNotification::kSlide, [this](const Entry& entry, IControlEvent& e) {
        return entry.callback == Callback::sliderMoving ? sliderMoving(e) : sliderChanged(e);
    });
}

IBase::Boolean ISliderHandler::sliderMoving(IControlEvent&) { return false; }
IBase::Boolean ISliderHandler::sliderChanged(IControlEvent&) { return false; }

ISliderDrawHandler::~ISliderDrawHandler() = default;

IBase::Boolean ISliderDrawHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_DRAWITEM)
        return false;
    IDrawItemEvent drawEvent(event);
    if (!drawEvent.controlHandle() ||
        IWindowClassName(drawEvent.controlHandle()) != IControlNotification::kSlider)
        return false;
    using Callback = IBase::Boolean (ISliderDrawHandler::*)(IDrawItemEvent&);
    static constexpr Callback byItem[] = {nullptr, &ISliderDrawHandler::drawRibbonStrip,
                                          &ISliderDrawHandler::drawSliderShaft,
                                          &ISliderDrawHandler::drawSliderBackground,
                                          &ISliderDrawHandler::drawSliderArm};
    const unsigned long item = drawEvent.itemId();
    if (item >= sizeof byItem / sizeof byItem[0] || !byItem[item])
        return false;
    const IBase::Boolean handled = (this->*byItem[item])(drawEvent);
    if (handled)
        event.setResult(drawEvent.result());
    return handled;
}

IBase::Boolean ISliderDrawHandler::drawSliderShaft(IDrawItemEvent&) { return false; }
IBase::Boolean ISliderDrawHandler::drawRibbonStrip(IDrawItemEvent&) { return false; }
IBase::Boolean ISliderDrawHandler::drawSliderArm(IDrawItemEvent&) { return false; }
IBase::Boolean ISliderDrawHandler::drawSliderBackground(IDrawItemEvent&) { return false; }
