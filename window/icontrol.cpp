// The control base, the push-button base and setting buttons.
#include <windows.h>

#include "icontrol.hpp"

const IWindow::Style IControl::_tabStop(WS_TABSTOP);
const IWindow::Style IControl::_group(WS_GROUP);

// IControl ----------------------------------------------------------------------------------------

IControl::IControl() = default;
IControl::~IControl() = default;

IBase::Boolean IControl::isTabStop() const
{
    return IWindow::isTabStop();
}

IBase::Boolean IControl::isGroup() const
{
    return IWindow::isGroup();
}

void IControl::setStyleBit(unsigned long bit, bool on)
{
    const unsigned long current = style();
    const unsigned long wanted = on ? (current | bit) : (current & ~bit);
    if (wanted != current)
        setStyle(wanted);
}

IControl& IControl::enableGroup(IBase::Boolean enable)
{
    setStyleBit(WS_GROUP, enable != 0);
    return *this;
}

IControl& IControl::disableGroup()
{
    return enableGroup(false);
}

IControl& IControl::enableTabStop(IBase::Boolean enable)
{
    setStyleBit(WS_TABSTOP, enable != 0);
    return *this;
}

IControl& IControl::disableTabStop()
{
    return enableTabStop(false);
}

// IButton -------------------------------------------------------------------------------------------

IButton::IButton() = default;
IButton::~IButton() = default;

// ISettingButton ------------------------------------------------------------------------------------

const char* const ISettingButton::selectId = "ISettingButton::select";

ISettingButton::ISettingButton() = default;
ISettingButton::~ISettingButton() = default;

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
    RECT bounds{};
    GetWindowRect(button, &bounds);
    const bool hidden = IsWindowVisible(button) && IsRectEmpty(&bounds);
    if (hidden)
        ShowWindow(button, SW_HIDE);
    SendMessageA(button, BM_SETCHECK, select ? BST_CHECKED : BST_UNCHECKED, 0);
    if (select && (SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        clearRestOfGroup(button);
    if (hidden)
        ShowWindow(button, SW_SHOW);
    notifyObservers(selectId);
    return *this;
}

// The group is walked until it comes back to the button; a walk that never does (a group
// changed under it) ends after as many steps as the parent has children.
void ISettingButton::clearRestOfGroup(HWND button)
{
    const HWND parent = GetParent(button);
    int limit = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++limit;
    HWND other = GetNextDlgGroupItem(parent, button, FALSE);
    for (int step = 0; other && other != button && step < limit; ++step) {
        char name[16] = {};
        GetClassNameA(other, name, sizeof name);
        if (lstrcmpiA(name, "Button") == 0) {
            SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
            SetWindowLongPtrA(other, GWL_STYLE, GetWindowLongPtrA(other, GWL_STYLE) & ~WS_TABSTOP);
        }
        other = GetNextDlgGroupItem(parent, other, FALSE);
    }
    SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | WS_TABSTOP);
}
