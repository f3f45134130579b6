// ICheckBox: a check box.
#pragma once

#include <idefs.hpp>

#include "isetbut.hpp"

struct IButtonBrushRecord;
template <class Button>
class IButtonColorHandler;

class OVKWIN_API ICheckBox : public ISettingButton {
public:
    // A click changes the state by itself.
    static const Style _autoSelect;
    static const Style classDefault;

    ICheckBox(unsigned long id, IWindow* parent, IWindow* owner,
          const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    ICheckBox(unsigned long id, IWindow* parent);
    explicit ICheckBox(const IWindowHandle& handle);
    ~ICheckBox() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The text plus the check mark.
    ISize calcMinimumSize() const override;

    // Writes the style only when the kind changes.
    virtual ICheckBox& enableAutoSelect(IBase::Boolean enable = true);
    virtual ICheckBox& disableAutoSelect();
    virtual IBase::Boolean isAutoSelect() const;

private:
    template <class Button>
    friend class IButtonColorHandler;

    IButtonBrushRecord* fBrushData;
};
