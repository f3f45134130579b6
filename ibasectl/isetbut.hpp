// ISettingButton: the base of the buttons that hold a checked state.
#pragma once

#include <idefs.hpp>

#include "ibutton.hpp"

class OVKWIN_API ISettingButton : public IButton {
public:
    // Told, with the new check state, after the native button has taken it.
    static const char* const selectId;

    ~ISettingButton() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;

    // Nothing when the state already matches. Selecting a radio button clears the other radio
    // buttons of its dialog group and moves the group's tab stop to it; check boxes and push
    // buttons of the group keep their state. Observers hear a
    // click at once and the selection once the native buttons have it.
    virtual ISettingButton& select(IBase::Boolean select = true);
    virtual ISettingButton& deselect();
    IBase::Boolean isSelected() const;

protected:
    ISettingButton();

private:
    void clearRestOfGroup(HWND__* button);
};
