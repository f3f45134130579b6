// Check boxes.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "detail/ibtnimpl.hpp"
#include "icheckbx.hpp"

const IWindow::Style ICheckBox::_autoSelect(0, 0x4);
const IWindow::Style ICheckBox::classDefault(WS_VISIBLE, 0x4);

ICheckBox::ICheckBox(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                     const Style& style)
    : fBrushData(new IButtonBrushRecord)
{
    IButtonColorHandler<ICheckBox>::shared().handleEventsFor(this);
    ovkbutton::create(*this, id, parent, owner, initial, style, "pwndParent!=0", "icheckbx",
                      "ICheckBox::ICheckBox(unsigned long,IWindow*,IWindow*,const IRectangle&,"
                      "const ICheckBox::Style&)");
}

ICheckBox::ICheckBox(unsigned long id, IWindow* parent) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IButtonColorHandler<ICheckBox>::shared().handleEventsFor(this);
    startHandlingEventsFor(
        ovkbutton::childOf(id, parent, "icheckbx", "ICheckBox::ICheckBox(unsigned long,IWindow*)"));
}

ICheckBox::ICheckBox(const IWindowHandle& handle) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IButtonColorHandler<ICheckBox>::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
}

ICheckBox::~ICheckBox()
{
    IButtonColorHandler<ICheckBox>::shared().stopHandlingEventsFor(this);
    delete fBrushData;
}

IWindow::Style ICheckBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void ICheckBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

unsigned long ICheckBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const bool automatic = style.asExtendedUnsignedLong() & _autoSelect.asExtendedUnsignedLong();
    return ovkbutton::guiStyle(ISettingButton::convertToGUIStyle(style, extended), style, extended,
                               automatic ? BS_AUTOCHECKBOX : BS_CHECKBOX);
}

ISize ICheckBox::calcMinimumSize() const
{
    return ovkbutton::checkMinimumSize(*this);
}

ICheckBox& ICheckBox::enableAutoSelect(IBase::Boolean enable)
{
    ovkbutton::setKind(*this, enable ? BS_AUTOCHECKBOX : BS_CHECKBOX);
    return *this;
}

ICheckBox& ICheckBox::disableAutoSelect()
{
    return enableAutoSelect(false);
}

IBase::Boolean ICheckBox::isAutoSelect() const
{
    return (style() & 0x1) != 0;
}
