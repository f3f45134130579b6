// The notification handlers of the list-box, scroll-bar, notebook, slider and spin-button
// families.
#include <windows.h>

#include "detail/inotifhd.hpp"
#include "inotifhd.hpp"
#include "iprivmsg.hpp"
#include "iwindow.hpp"

using namespace ovknotify;

namespace {

// A list box with multiple selection and no extended selection tells its selections through
// the button release and the space key, not through LBN_SELCHANGE.
bool isMultipleSelectOnly(HWND list)
{
    const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    return (style & LBS_MULTIPLESEL) && !(style & LBS_EXTENDEDSEL);
}

bool isAnyClass(HWND handle, const char* first, const char* second)
{
    return isClass(handle, first) || isClass(handle, second);
}

} // namespace

IBase::Boolean IListBoxNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    IWindow* window = event.window();
    const unsigned long id = event.eventId();
    if (window && id == WM_CHAR && event.parameter1().asUnsignedLong() == '\r') {
        tell(*window, INotificationId::listBoxEnter, 0);
    } else if (window && ((id == WM_CHAR && event.parameter1().asUnsignedLong() == ' ') ||
                          id == WM_LBUTTONUP)) {
        if (isMultipleSelectOnly(event.handle()))
            tell(*window, INotificationId::listBoxSelect, 0);
    }
    const ControlNotification note = controlNotification(event);
    if (note.control && isClass(note.handle, "ListBox")) {
        if (note.code == IPrivateMessage::listBoxSelect ||
            (note.code == LBN_SELCHANGE && !isMultipleSelectOnly(note.handle)))
            tell(*note.control, INotificationId::listBoxSelect, 0);
        else if (note.code == LBN_DBLCLK)
            tell(*note.control, INotificationId::listBoxEnter, 0);
    }
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean IScrollBarNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    IWindow* window = event.window();
    if (window) {
        const unsigned long id = event.eventId();
        if (id == WM_CTLCOLORSCROLLBAR)
            tell(*window, IWindow::backgroundColorId, 0);
        else if (id == SBM_SETPOS || id == IPrivateMessage::scrollBoxMove)
            defer(event, event.parameter1(), DeferredTag::scrollBoxPosition);
        else if (returned(event, DeferredTag::scrollBoxPosition))
            tell(*window, INotificationId::scrollBoxPosition, event.parameter1());
    }
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean INotebookNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    IWindow* window = event.window();
    if (window && event.eventId() == notebookColorMessage) {
        defer(event, event.parameter2(), DeferredTag::notebookColor);
    } else if (window && returned(event, DeferredTag::notebookColor)) {
        // The colour areas of the notebook's colour message.
        static const char* const* const ids[] = {
            &INotificationId::pageBackgroundColor,     &INotificationId::majorTabBackgroundColor,
            &INotificationId::minorTabBackgroundColor, &INotificationId::majorTabForegroundColor,
            &INotificationId::minorTabForegroundColor,
        };
        const unsigned long area = event.parameter1().asUnsignedLong();
        if (area >= 5 && area <= 9)
            tell(*window, *ids[area - 5], 0);
    }
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean ISliderNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const ControlNotification note = controlNotification(event);
    if (note.control && isAnyClass(note.handle, "OVK Slider", "OVK Native Slider")) {
        if (note.code == 0x8C)
            tell(*note.control, INotificationId::armChange, event.parameter2());
        else if (note.code == 0x8F)
            tell(*note.control, INotificationId::armTrack, event.parameter2());
    }
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

namespace {

void spinNotification(const IEvent& event, const char* changeId)
{
    const ControlNotification note = controlNotification(event);
    if (!note.control || !isAnyClass(note.handle, "OVK Spin Button", "OVK Native SpinButton"))
        return;
    if (note.code == 0x99)
        tell(*note.control, changeId, 0);
    else if (note.code == 0x9A || note.code == 0x9B)
        tell(*note.control, IWindow::focusId, 0);
}

} // namespace

IBase::Boolean ITextSpinButtonNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    spinNotification(event, INotificationId::spinText);
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}

IBase::Boolean INumericSpinButtonNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    spinNotification(event, INotificationId::spinValue);
    return IWindowNotifyHandler::dispatchHandlerEvent(event);
}
