// IRadioButton: a radio button; checking one clears the others of its group.
#pragma once

#include <idefs.hpp>

#include "isetbut.hpp"

struct IButtonBrushRecord;
template <class Button>
class IButtonColorHandler;

class OVKWIN_API IRadioButton : public ISettingButton {
public:
    // A click changes the state by itself.
    static const Style _autoSelect;
    // Has no bits on this platform.
    static const Style _reservedStyle;
    static const Style classDefault;

    IRadioButton(unsigned long id, IWindow* parent, IWindow* owner,
          const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    IRadioButton(unsigned long id, IWindow* parent);
    explicit IRadioButton(const IWindowHandle& handle);
    ~IRadioButton() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The text plus the check mark.
    ISize calcMinimumSize() const override;

    // Writes the style only when the kind changes.
    virtual IRadioButton& enableAutoSelect(IBase::Boolean enable = true);
    virtual IRadioButton& disableAutoSelect();
    virtual IBase::Boolean isAutoSelect() const;
    virtual IRadioButton& enableReservedStyle(IBase::Boolean enable = true);
    virtual IRadioButton& disableReservedStyle();
    IBase::Boolean isReservedStyle() const;

    // The position of the checked radio button in the group, counting every window of it (0 for
    // the group's first window); -1 when none is checked. The group runs from the nearest window
    // with IControl::_group at or before this button (the first sibling when none has it) up to
    // the next window with the group style.
    long selectedIndex() const;

private:
    template <class Button>
    friend class IButtonColorHandler;
    friend class IRadioButtonHandler;

    IButtonBrushRecord* fBrushData;
};
