// Three-state check boxes.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "detail/ibtnimpl.hpp"
#include "i3statbx.hpp"

const IWindow::Style I3StateCheckBox::_autoSelect(0, 0x40);
const IWindow::Style I3StateCheckBox::classDefault(WS_VISIBLE, 0x40);

I3StateCheckBox::I3StateCheckBox(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                                 const Style& style)
    : fBrushData(new IButtonBrushRecord)
{
    IButtonColorHandler<I3StateCheckBox>::shared().handleEventsFor(this);
    ovkbutton::create(*this, id, parent, owner, initial, style, "pwndParent!=0", "i3statbx",
                      "I3StateCheckBox::I3StateCheckBox(unsigned long,IWindow*,IWindow*,const IRectangle&,"
                      "const I3StateCheckBox::Style&)");
}

I3StateCheckBox::I3StateCheckBox(unsigned long id, IWindow* parent) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IButtonColorHandler<I3StateCheckBox>::shared().handleEventsFor(this);
    startHandlingEventsFor(
        ovkbutton::childOf(id, parent, "i3statbx", "I3StateCheckBox::I3StateCheckBox(unsigned long,IWindow*)"));
}

I3StateCheckBox::I3StateCheckBox(const IWindowHandle& handle) : fBrushData(new IButtonBrushRecord)
{
    setDestroyOnDelete(false);
    IButtonColorHandler<I3StateCheckBox>::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
}

I3StateCheckBox::~I3StateCheckBox()
{
    IButtonColorHandler<I3StateCheckBox>::shared().stopHandlingEventsFor(this);
    delete fBrushData;
}

IWindow::Style I3StateCheckBox::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void I3StateCheckBox::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

unsigned long I3StateCheckBox::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const bool automatic = style.asExtendedUnsignedLong() & _autoSelect.asExtendedUnsignedLong();
    return ovkbutton::guiStyle(ISettingButton::convertToGUIStyle(style, extended), style, extended,
                               automatic ? BS_AUTO3STATE : BS_3STATE);
}

ISize I3StateCheckBox::calcMinimumSize() const
{
    return ovkbutton::checkMinimumSize(*this);
}

I3StateCheckBox& I3StateCheckBox::enableAutoSelect(IBase::Boolean enable)
{
    ovkbutton::setKind(*this, enable ? BS_AUTO3STATE : BS_3STATE);
    return *this;
}

I3StateCheckBox& I3StateCheckBox::disableAutoSelect()
{
    return enableAutoSelect(false);
}

IBase::Boolean I3StateCheckBox::isAutoSelect() const
{
    return (style() & 0x2) != 0;
}

IBase::Boolean I3StateCheckBox::isIndeterminate() const
{
    return handle().sendEvent(BM_GETCHECK).asUnsignedLong() == BST_INDETERMINATE;
}

I3StateCheckBox& I3StateCheckBox::setIndeterminate()
{
    if (!isIndeterminate())
        handle().sendEvent(BM_SETCHECK, BST_INDETERMINATE);
    return *this;
}
