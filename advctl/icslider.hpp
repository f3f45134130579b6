// ICircularSlider: a dial, always carried out by the outside "OVK Circular Slider" window.
#pragma once

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>

#include <ibmphdl.hpp>
#include <irange.hpp>
#include <ireslib.hpp>

// Every operation is one message to the outside window; an answer of 0 is a failure named
// after the message. The window tells its owner of value changes (see
// ICircularSliderNotifyHandler).
class OVKWIN_API ICircularSlider : public IControl {
public:
    using Style = IWindowClassStyle<ICircularSlider>;
    // Parts the dial shows (extended bits 0x1, 0x2, 0x4): the window gets the native bit of the
    // same value, meaning "without", for each one left out.
    static const Style showButtons, showText, showValue;
    // Native bits 0x8 to 0x100, the outside window's own options.
    static const Style jumpToPointer, proportionalTicks, midpointTicks, wrapAround, fullCircle,
        noTicks;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    ICircularSlider(unsigned long id, IWindow* parent, IWindow* owner,
                    const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    ICircularSlider(unsigned long id, IWindow* parent);
    explicit ICircularSlider(const IWindowHandle& handle);
    ~ICircularSlider() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // 100 by 70.
    ISize calcMinimumSize() const override;
    IWindow& enableNotification(IBase::Boolean enable = true) override;

    ICircularSlider& setArmRange(const IRange& range);
    IRange armRange() const;
    ICircularSlider& setValue(long value);
    long value() const;
    unsigned long radius() const;
    // Each keeps the other of the pair as it is.
    ICircularSlider& setRotationIncrement(unsigned long increment);
    ICircularSlider& setTickSpacing(unsigned long spacing);
    unsigned long rotationIncrement() const;
    unsigned long tickSpacing() const;
    ICircularSlider& setIncrementBitmaps(const IBitmapHandle& first, const IBitmapHandle& second);
    ICircularSlider& setDecrementBitmaps(const IBitmapHandle& first, const IBitmapHandle& second);
    ICircularSlider& setIncrementBitmaps(const IResourceId& first, const IResourceId& second);
    ICircularSlider& setDecrementBitmaps(const IResourceId& first, const IResourceId& second);

private:
    struct Bitmaps;
    void takeCharge(const IWindowHandle& handle);
    IEventData sendChecked(unsigned long message, const IEventParameter1& p1,
                           const IEventParameter2& p2, const char* name,
                           const char* function) const;
    void queryIncrement(unsigned long* increment, unsigned long* spacing) const;
    ICircularSlider& sendBitmaps(const char* function);

    unsigned long fRecordedExtendedStyle = 0;
    Bitmaps* fBitmaps = nullptr;
};
