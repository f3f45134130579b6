// I3StateCheckBox: a check box with a third, indeterminate state.
#pragma once

#include <idefs.hpp>

#include "isetbut.hpp"

struct IButtonBrushRecord;
template <class Button>
class IButtonColorHandler;

class OVKWIN_API I3StateCheckBox : public ISettingButton {
public:
    // A click changes the state by itself.
    static const Style _autoSelect;
    static const Style classDefault;

    I3StateCheckBox(unsigned long id, IWindow* parent, IWindow* owner,
          const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    I3StateCheckBox(unsigned long id, IWindow* parent);
    explicit I3StateCheckBox(const IWindowHandle& handle);
    ~I3StateCheckBox() override;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The text plus the check mark.
    ISize calcMinimumSize() const override;

    // Writes the style only when the kind changes.
    virtual I3StateCheckBox& enableAutoSelect(IBase::Boolean enable = true);
    virtual I3StateCheckBox& disableAutoSelect();
    virtual IBase::Boolean isAutoSelect() const;

    // BM_GETCHECK answers 2.
    IBase::Boolean isIndeterminate() const;
    // Nothing when already indeterminate.
    I3StateCheckBox& setIndeterminate();

private:
    template <class Button>
    friend class IButtonColorHandler;

    IButtonBrushRecord* fBrushData;
};
