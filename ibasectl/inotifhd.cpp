// The notification handlers of the text, button, entry-field, combo-box, multi-line edit and
// circular slider families, and the notification ids.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <inotifev.hpp>

#include "detail/inotifhd.hpp"
#include "icmdevt.hpp"
#include "inotifhd.hpp"
#include "isetbut.hpp"
#include "iprivmsg.hpp"
#include "itextctl.hpp"
#include "iwcname.hpp"

namespace INotificationId {
const char* const entryFieldDataUpdate = "IEntryField::dataUpdate";
const char* const entryFieldLimit = "IEntryField::limit";
const char* const multiLineEditDataUpdate = "IMultiLineEdit::dataUpdate";
const char* const multiLineEditLimit = "IMultiLineEdit::limit";
const char* const comboBoxEnter = "IBaseComboBox::enter";
const char* const comboBoxSelect = "IBaseComboBox::select";
const char* const listBoxEnter = "IBaseListBox::enter";
const char* const listBoxSelect = "IBaseListBox::select";
const char* const scrollBoxPosition = "IScrollBar::scrollBoxPosition";
const char* const pageBackgroundColor = "INotebook::pageBackgroundColor";
const char* const majorTabBackgroundColor = "INotebook::majorTabBackgroundColor";
const char* const minorTabBackgroundColor = "INotebook::minorTabBackgroundColor";
const char* const majorTabForegroundColor = "INotebook::majorTabForegroundColor";
const char* const minorTabForegroundColor = "INotebook::minorTabForegroundColor";
const char* const armChange = "IProgressIndicator::armChange";
const char* const armTrack = "ISlider::armTrack";
const char* const spinText = "IBaseSpinButton::text";
const char* const spinValue = "IBaseSpinButton::value";
const char* const circularSliderValue = "ICircularSlider::value";
const char* const circularSliderTrack = "ICircularSlider::track";
} // namespace INotificationId

namespace ovknotify {

void tell(IWindow& window, const char* id, const IEventData& data)
{
    // A click is an action, not a change of the button's state.
    const bool changed = id != IButton::buttonClickId;
    window.notifyObservers(INotificationEvent(id, window, changed, data));
}

void defer(const IEvent& event, const IEventData& value, DeferredTag tag)
{
    event.handle().postEvent(IPrivateMessage::notification, value, static_cast<unsigned long>(tag));
}

bool returned(const IEvent& event, DeferredTag tag)
{
    return event.eventId() == IPrivateMessage::notification &&
           event.parameter2().asUnsignedLong() == static_cast<unsigned long>(tag);
}

ControlNotification controlNotification(const IEvent& event)
{
    ControlNotification found;
    if (event.eventId() != IPrivateMessage::controlNotification)
        return found;
    const IControlEvent control(event);
    IWindow* window = control.controlWindow();
    HWND handle = window ? static_cast<HWND>(window->handle()) : nullptr;
    if (window) {
        // The control's own dispatch raised it already.
        if (event.dispatchingHandle() != handle)
            return found;
    } else {
        IWindow* receiver = event.window();
        handle = IWindow::handleWithParent(control.controlId(), event.handle());
        window = receiver ? IWindow::windowWithOwner(control.controlId(), receiver) : nullptr;
        if (!handle || !window)
            return found;
    }
    found.control = window;
    found.handle = handle;
    found.code = control.notificationCode();
    return found;
}

bool isClass(HWND handle, const char* name)
{
    return handle && IWindowClassName(IWindowHandle(handle)) == name;
}

} // namespace ovknotify

using namespace ovknotify;

IWindow& ovkEnableNotification(IWindow& control, IHandler& familyHandler, IBase::Boolean enable)
{
    if (!control.notificationHandler())
        control.setNotificationHandler(&familyHandler);
    return control.IWindow::enableNotification(enable);
}

#define OVK_SHARED_HANDLER(Class)                                                                  \
    Class::Class() noexcept = default;                                                             \
    Class::~Class() = default;                                                                     \
    Class& Class::shared() { return ovk_app::sharedHandler<Class>(); }

OVK_SHARED_HANDLER(IControlNotifyHandler)
OVK_SHARED_HANDLER(ITitleNotifyHandler)
OVK_SHARED_HANDLER(IButtonNotifyHandler)
OVK_SHARED_HANDLER(ISettingButtonNotifyHandler)
OVK_SHARED_HANDLER(IEntryFieldNotifyHandler)
OVK_SHARED_HANDLER(IComboBoxNotifyHandler)
OVK_SHARED_HANDLER(IMultiLineEditNotifyHandler)
OVK_SHARED_HANDLER(ICircularSliderNotifyHandler)
OVK_SHARED_HANDLER(IListBoxNotifyHandler)
OVK_SHARED_HANDLER(IScrollBarNotifyHandler)
OVK_SHARED_HANDLER(INotebookNotifyHandler)
OVK_SHARED_HANDLER(ISliderNotifyHandler)
OVK_SHARED_HANDLER(ITextSpinButtonNotifyHandler)
OVK_SHARED_HANDLER(INumericSpinButtonNotifyHandler)

// A text changed by the user: the program's own changes are told once, by the report that
// setText sends after the native control's.
IBase::Boolean IControlNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const ControlNotification note = controlNotification(event);
    if (note.control) {
        const auto* textControl = dynamic_cast<const ITextControl*>(note.control);
        const bool programs = textControl && textControl->isSettingText();
        const bool edit = isClass(note.handle, "Edit") && note.code == EN_CHANGE;
        const bool combo = isClass(note.handle, "ComboBox") &&
                           (note.code == CBN_EDITCHANGE ||
                            note.code == IPrivateMessage::comboEditChange);
        if (!programs && (edit || combo))
            tell(*note.control, ITextControl::textId, 0);
    }
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean IButtonNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const ControlNotification note = controlNotification(event);
    if (note.control && note.code == BN_CLICKED && isClass(note.handle, "Button")) {
        IWindowHandle(note.handle).postEvent(IPrivateMessage::notification, event.parameter2(),
                                             static_cast<unsigned long>(DeferredTag::buttonClick));
    } else if (returned(event, DeferredTag::buttonClick) && event.window()) {
        tell(*event.window(), IButton::buttonClickId, 0);
    }
    return IControlNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean ISettingButtonNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == BM_SETCHECK)
        defer(event, event.parameter1(), DeferredTag::select);
    else if (returned(event, DeferredTag::select) && event.window())
        tell(*event.window(), ISettingButton::selectId, event.parameter1());
    return IButtonNotifyHandler::dispatchHandlerEvent(event);
}

namespace {

// The read-only flag and the limit of an edit control, told after the control has them.
void editStateChanges(IEvent& event, DeferredTag readOnlyTag, DeferredTag limitTag,
                      const char* dataUpdateId, const char* limitId)
{
    IWindow* window = event.window();
    if (!window)
        return;
    if (event.eventId() == EM_SETREADONLY) {
        defer(event, event.parameter1(), readOnlyTag);
    } else if (event.eventId() == EM_LIMITTEXT) {
        defer(event, event.parameter1(), limitTag);
    } else if (returned(event, readOnlyTag)) {
        // Data can be updated while the field is not read-only.
        tell(*window, dataUpdateId, event.parameter1().asUnsignedLong() == 0 ? 1 : 0);
    } else if (returned(event, limitTag)) {
        tell(*window, limitId, event.parameter1());
    }
}

} // namespace

IBase::Boolean IEntryFieldNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    editStateChanges(event, DeferredTag::entryFieldReadOnly, DeferredTag::entryFieldLimit,
                     INotificationId::entryFieldDataUpdate, INotificationId::entryFieldLimit);
    return IControlNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean IMultiLineEditNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    editStateChanges(event, DeferredTag::multiLineEditReadOnly, DeferredTag::multiLineEditLimit,
                     INotificationId::multiLineEditDataUpdate, INotificationId::multiLineEditLimit);
    return IControlNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean IComboBoxNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == WM_CHAR && event.parameter1().asUnsignedLong() == '\r' && event.window())
        tell(*event.window(), INotificationId::comboBoxEnter, 0);
    const ControlNotification note = controlNotification(event);
    if (note.control && isClass(note.handle, "ComboBox")) {
        if (note.code == CBN_SELCHANGE)
            tell(*note.control, INotificationId::comboBoxSelect, 0);
        else if (note.code == CBN_DBLCLK || note.code == IPrivateMessage::comboEnter)
            tell(*note.control, INotificationId::comboBoxEnter, 0);
    }
    return IEntryFieldNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean ICircularSliderNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const ControlNotification note = controlNotification(event);
    if (note.control && isClass(note.handle, "OVK Circular Slider")) {
        if (note.code == 0xA2)
            tell(*note.control, INotificationId::circularSliderValue, event.parameter2());
        else if (note.code == 0xA3)
            tell(*note.control, INotificationId::circularSliderTrack, event.parameter2());
    }
    return IControlNotifyHandler::dispatchHandlerEvent(event);
}
