// IControl: the base of every control and canvas, with the tab-stop and group settings of
// dialog navigation; ISettingButton: the selection of check boxes and radio buttons.
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

// The push-button base of the basic controls, as far as setting buttons build on it. It moves
// to the basic controls, with the rest of its operations, when they are built in.
class OVKWIN_API IButton : public IControl {
public:
    ~IButton() override;

protected:
    IButton();
};

class OVKWIN_API ISettingButton : public IButton {
public:
    // Told after the selection has changed.
    static const char* const selectId;

    ~ISettingButton() override;

    IBase::Boolean isSelected() const;
    // Nothing when the state already matches. Selecting a radio button clears the others of its
    // group and moves the group's tab stop to it.
    virtual ISettingButton& select(IBase::Boolean select = true);

protected:
    ISettingButton();

private:
    void clearRestOfGroup(HWND__* button);
};
