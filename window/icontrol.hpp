// IControl: the base of every control and canvas, with the tab-stop and group settings of
// dialog navigation.
#pragma once

#include <idefs.hpp>

#include "iwindow.hpp"

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
