// Radio buttons.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "detail/ibtnimpl.hpp"
#include "iradiobt.hpp"

const IWindow::Style IRadioButton::_autoSelect(0, 0x10);
const IWindow::Style IRadioButton::classDefault(WS_VISIBLE, 0x10);

const IWindow::Style IRadioButton::_reservedStyle(0, 0);

namespace {

// The first window of a button's group: the nearest sibling before it (itself included) with
// the group style, or the first sibling when none has it.
HWND groupStart(HWND button)
{
    for (HWND window = button; window; window = GetWindow(window, GW_HWNDPREV))
        if (GetWindowLongPtrA(window, GWL_STYLE) & WS_GROUP)
            return window;
    return GetWindow(button, GW_HWNDFIRST);
}

} // namespace

// Answers the colour requests, and clears the rest of the group whenever a radio button is
// checked, by whatever code: the native automatic buttons clear only their own kind.
class IRadioButtonHandler : public IButtonColorHandler<IRadioButton> {
public:
    static IRadioButtonHandler& shared() { return ovk_app::sharedHandler<IRadioButtonHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() == BM_SETCHECK && event.parameter1().asUnsignedLong() != 0 &&
            event.dispatchingHandle() == event.handle())
            clearGroupOf(event.handle());
        return IButtonColorHandler<IRadioButton>::dispatchHandlerEvent(event);
    }

private:
    static void clearGroupOf(HWND button)
    {
        const HWND first = groupStart(button);
        for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
            const LONG_PTR style = GetWindowLongPtrA(sibling, GWL_STYLE);
            if (sibling != first && (style & WS_GROUP))
                break;
            if (sibling == button || !(style & WS_VISIBLE))
                continue;
            if (SendMessageA(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
                // Only a change is made, so that observers hear of changes only.
                if (SendMessageA(sibling, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                    SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
                if (style & WS_TABSTOP)
                    SetWindowLongPtrA(sibling, GWL_STYLE, style & ~WS_TABSTOP);
            }
        }
    }
};

IRadioButton::IRadioButton(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                           const Style& style)
    : fBrushData(new IButtonBrushRecord)
{
    IRadioButtonHandler::shared().handleEventsFor(this);
    ovkbutton::create(*this, id, parent, owner, initial, style, "parent!=0", "iradiobt",
                      "IRadioButton::IRadioButton(unsigned long,IWindow*,IWindow*,const IRectangle&,"
                      "const IRadioButton::Style&)");
}

IRadioButton::IRadioButton(unsigned long id, IWindow* parent) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IRadioButtonHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(
        ovkbutton::childOf(id, parent, "iradiobt", "IRadioButton::IRadioButton(unsigned long,IWindow*)"));
}

IRadioButton::IRadioButton(const IWindowHandle& handle) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IRadioButtonHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
}

IRadioButton::~IRadioButton()
{
    IRadioButtonHandler::shared().stopHandlingEventsFor(this);
    delete fBrushData;
}

IWindow::Style IRadioButton::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IRadioButton::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

unsigned long IRadioButton::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const bool automatic = style.asExtendedUnsignedLong() & _autoSelect.asExtendedUnsignedLong();
    return ovkbutton::guiStyle(ISettingButton::convertToGUIStyle(style, extended), style, extended,
                               automatic ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON);
}

ISize IRadioButton::calcMinimumSize() const
{
    return ovkbutton::checkMinimumSize(*this);
}

IRadioButton& IRadioButton::enableAutoSelect(IBase::Boolean enable)
{
    ovkbutton::setKind(*this, enable ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON);
    return *this;
}

IRadioButton& IRadioButton::disableAutoSelect()
{
    return enableAutoSelect(false);
}

IBase::Boolean IRadioButton::isAutoSelect() const
{
    return (style() & 0x9) == 0x9;
}

IRadioButton& IRadioButton::enableReservedStyle(IBase::Boolean)
{
    return *this;
}

IRadioButton& IRadioButton::disableReservedStyle()
{
    return enableReservedStyle(false);
}

IBase::Boolean IRadioButton::isReservedStyle() const
{
    return true;
}

// Counted from the group's first window up to the next group: a checked button of the next
// group does not belong to this one. With no group style before the button, the group starts
// at the first sibling, as the dialog manager takes it. Only a radio button answers: a checked
// check box of the same group is no choice of the set.
long IRadioButton::selectedIndex() const
{
    const HWND first = groupStart(handle());
    long index = 0;
    for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT), ++index) {
        if (sibling != first && (GetWindowLongPtrA(sibling, GWL_STYLE) & WS_GROUP))
            break;
        if ((SendMessageA(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            SendMessageA(sibling, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return index;
    }
    return -1;
}
