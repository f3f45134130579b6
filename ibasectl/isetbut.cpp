// Setting buttons: selection with radio-group exclusion.
#include <windows.h>

#include <inotifev.hpp>

#include "inotifhd.hpp"
#include "isetbut.hpp"

const char* const ISettingButton::selectId = "ISettingButton::select";

ISettingButton::ISettingButton() = default;
ISettingButton::~ISettingButton() = default;

IWindow& ISettingButton::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, ISettingButtonNotifyHandler::shared(), enable);
}

IBase::Boolean ISettingButton::isSelected() const
{
    return handle().sendEvent(BM_GETCHECK).asUnsignedLong() != 0;
}

ISettingButton& ISettingButton::select(IBase::Boolean select)
{
    if ((isSelected() != 0) == (select != 0))
        return *this;
    const HWND button = handle();
    // A visible button of no size would flash its check mark alone; it is hidden meanwhile.
    const ISize extent = size();
    const bool hidden = isVisible() && (extent.width() == 0 || extent.height() == 0);
    if (hidden)
        hide();
    SendMessageA(button, BM_SETCHECK, select ? BST_CHECKED : BST_UNCHECKED, 0);
    if (select && (SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        clearRestOfGroup(button);
    if (hidden)
        show();
    // The selection itself is told by the notification handler, once the native button has
    // processed BM_SETCHECK.
    notifyObservers(INotificationEvent(buttonClickId, *this, false, IEventData()));
    return *this;
}

ISettingButton& ISettingButton::deselect()
{
    return select(false);
}

// The dialog group is walked from the button round to where the walk began; a walk that never
// comes back (a group changed under it) ends after as many steps as the parent has children.
// Only radio buttons are cleared, as a native click on an automatic radio button clears them:
// a check box or a push button of the same group keeps its state and its tab stop. Without the
// group style anywhere every child of the page is one group, so this is what keeps a page's
// check boxes when its radio choice is set.
void ISettingButton::clearRestOfGroup(HWND button)
{
    const HWND parent = GetParent(button);
    const HWND first = GetNextDlgGroupItem(parent, button, FALSE);
    if (!first)
        return;
    int limit = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++limit;
    HWND other = first;
    for (int step = 0; step < limit; ++step) {
        if (other != button && (SendMessageA(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
            // A button already clear is not told so again: its observers would hear of a
            // change that did not happen.
            if (SendMessageA(other, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
            const LONG_PTR style = GetWindowLongPtrA(other, GWL_STYLE);
            if (style & WS_TABSTOP)
                SetWindowLongPtrA(other, GWL_STYLE, style & ~WS_TABSTOP);
        }
        other = GetNextDlgGroupItem(parent, other, FALSE);
        if (!other || other == first)
            break;
    }
    // The selected button keeps the group's tab stop, so that Tab enters the group at it.
    const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    if (!(style & WS_TABSTOP))
        SetWindowLongPtrA(button, GWL_STYLE, style | WS_TABSTOP);
}
