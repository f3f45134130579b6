// INumericSpinButton: a spin button over a range of integers.
#pragma once

#include <irange.hpp>

#include "ispinbas.hpp"

class OVKWIN_API INumericSpinButton : public IBaseSpinButton {
public:
    using Style = IBaseSpinButton::Style;
    // Pads the number with zeros to the button's limit.
    static const Style padWithZeros;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    INumericSpinButton(unsigned long id, IWindow* parent, IWindow* owner,
                       const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    INumericSpinButton(unsigned long id, IWindow* parent);
    explicit INumericSpinButton(const IWindowHandle& handle);
    ~INumericSpinButton() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow& enableNotification(IBase::Boolean enable = true) override;

    virtual IBase::Boolean isInRange() const;
    // With keepValue false a value outside the new range moves to the nearer bound. The
    // native arrows count in 16 bits: a bound outside -32768..32767 is refused; the outside
    // window (IBaseSpinButton::thunkedWindow) takes 32-bit bounds. Both wrap at their bounds:
    // a step up from the upper bound gives the lower one, a step down from the lower the upper.
    virtual INumericSpinButton& setRange(const IRange& range, IBase::Boolean keepValue = false);
    // A value outside the range throws, or with clamp lands on the nearer bound.
    virtual INumericSpinButton& spinTo(long value, IBase::Boolean clamp = false);
    // Writes the value into the field and tells the parent when it differs.
    virtual INumericSpinButton& setValue(long value);
    virtual IRange range() const;
    virtual long value() const;
};
