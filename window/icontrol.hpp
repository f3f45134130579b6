// IControl: the base of every control and canvas, with the tab-stop and group settings of
// dialog navigation.
#pragma once

#include <idefs.hpp>

#include "iwindow.hpp"

// No control's default style has a tab stop: Tab passes over a control until its style adds
// `_tabStop` (IEntryField::defaultStyle() | IControl::_tabStop) or `enableTabStop()` is called.
// Without `_group` a window's controls form one dialog group; a radio set needs `_group` on its
// first button and on the first control after its last button.
class OVKWIN_API IControl : public IWindow {
public:
    static const Style _tabStop;
    static const Style _group;

    ~IControl() override;

    IBase::Boolean isTabStop() const override;
    IBase::Boolean isGroup() const override;
    // The style is written only when the bit changes.
    virtual IControl& enableGroup(IBase::Boolean enable = true);
    virtual IControl& disableGroup();
    virtual IControl& enableTabStop(IBase::Boolean enable = true);
    virtual IControl& disableTabStop();

protected:
    IControl();

private:
    void setStyleBit(unsigned long bit, bool on);
};
