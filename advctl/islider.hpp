// IProgressIndicator and ISlider: an arm along a shaft with up to two scales of ticks, carried
// out on a native trackbar inside the library's "OVK Native Slider" window, or by the outside
// "OVK Slider" window, chosen once at creation.
#pragma once

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>

#include <ireslib.hpp>
#include <istring.hpp>

struct IProgressIndicatorData;

// The native variant keeps its settings in an IProgressIndicatorData beside the trackbar and
// draws tick texts and arrow buttons on the outer window; the outside variant keeps nothing and
// sends every operation to the outside window. Positions are counted from the home end.
class OVKWIN_API IProgressIndicator : public IControl {
public:
    using Style = IWindowClassStyle<IProgressIndicator>;
    static const Style horizontal, vertical;
    static const Style alignCentered, alignBottom, alignLeft, alignTop, alignRight;
    static const Style snapToTickMark;
    // Owner-drawn parts: the outside window only.
    static const Style handleDrawItem;
    static const Style ribbonStrip;
    static const Style homeLeft, homeBottom, homeRight, homeTop;
    static const Style primaryScale1, primaryScale2;
    // Selects the outside "OVK Slider" window.
    static const Style messageDrivenWindow;
    static const Style border3D;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // The notifications of arm moves and of a change of the primary scale.
    static const char* const armTickOffsetId;
    static const char* const armPixelOffsetId;
    static const char* const scaleId;

    enum Scale { scale1 = 0, scale2 = 1 };
    enum HomePosition { homeTopRight = 0, homeBottomLeft = 1 };
    enum Alignment { topRight = 0, bottomLeft = 1, centered = 2 };

    // The ticks and spacing go to the style's primary scale, the other scale has none.
    IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner,
                       const IRectangle& initial = IRectangle(), unsigned long numberOfTicks = 2,
                       unsigned long tickSpacing = 0, const Style& style = defaultStyle());
    IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
                       unsigned long scale1Ticks, unsigned long scale1Spacing,
                       unsigned long scale2Ticks, unsigned long scale2Spacing,
                       const Style& style = defaultStyle());
    // Takes charge of an outside "OVK Slider" window; any other class is refused (message 65).
    IProgressIndicator(unsigned long id, IWindow* parent);
    explicit IProgressIndicator(const IWindowHandle& handle);
    ~IProgressIndicator() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IColor backgroundColor() const override;
    ISize calcMinimumSize() const override;
    IWindow& enableNotification(IBase::Boolean enable = true) override;

    virtual IProgressIndicator& setHomePosition(HomePosition home);
    virtual IProgressIndicator& setPrimaryScale(Scale scale);
    virtual IProgressIndicator& enableSnapToTick(IBase::Boolean snap = true);
    virtual IProgressIndicator& disableSnapToTick();
    virtual IProgressIndicator& enableRibbonStrip(IBase::Boolean ribbon = true);
    virtual IProgressIndicator& disableRibbonStrip();
    virtual IProgressIndicator& enableDrawItem(IBase::Boolean drawItem = true);
    virtual IProgressIndicator& disableDrawItem();
    virtual IProgressIndicator& setTickLength(unsigned long tick, unsigned long length);
    // Every tick of the primary scale.
    virtual IProgressIndicator& setTickLength(unsigned long length);
    virtual IProgressIndicator& setTicks(unsigned long scale1Ticks, unsigned long scale2Ticks,
                                         unsigned long scale1Spacing, unsigned long scale2Spacing);
    virtual IProgressIndicator& setTicks(Scale scale, unsigned long ticks, unsigned long spacing);
    // False when the tick is not on the primary scale; an empty text removes the tick's text.
    virtual IBase::Boolean setTickText(unsigned long tick, const char* text);
    virtual IBase::Boolean setTickText(unsigned long tick, const IResourceId& text);
    virtual IPoint shaftPosition() const;
    virtual ISize shaftSize() const;
    virtual IProgressIndicator& setShaftPosition(const IPoint& position);
    virtual IProgressIndicator& setShaftBreadth(unsigned long breadth);
    // Pixels the arm can stand at: 0 to armRange() - 1.
    virtual unsigned long armRange() const;
    virtual unsigned long armPixelOffset() const;
    virtual unsigned long armTickOffset() const;
    virtual IProgressIndicator& moveArmToTick(unsigned long tick);
    virtual IProgressIndicator& moveArmToPixel(unsigned long pixel);

    HomePosition homePosition() const;
    Scale primaryScale() const;
    IBase::Boolean isSnapToTickEnabled() const;
    IBase::Boolean isRibbonStrip() const;
    IBase::Boolean isDrawItemEnabled() const;
    IBase::Boolean isVertical() const;
    Alignment alignment() const;
    IBase::Boolean usesThunkedWindow() const;

    unsigned long numberOfTicks(Scale scale) const;
    unsigned long tickSpacing(Scale scale) const;
    // 1 when the tick's mark shows (the first and last tick always do), else 0.
    unsigned long tickLength(unsigned long tick) const;
    IPoint tickPosition(unsigned long tick) const;
    unsigned long tickTextLength(unsigned long tick) const;
    // Copies at most bufferLength - 1 characters and a zero; answers the text's length.
    unsigned long getTickText(unsigned long tick, char* buffer, unsigned long bufferLength) const;
    IString tickText(unsigned long tick) const;

    // The native parts; null for the outside window.
    HWND__* trackbar() const;
    IProgressIndicatorData* nativeData() const { return fProgressIndicatorData; }

protected:
    // For ISlider: `readOnly` adds the native read-only bit 0x80.
    IProgressIndicator(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                       const unsigned long ticks[4], const Style& style, bool readOnly,
                       const char* function);
    IProgressIndicator(const IWindowHandle& handle, const char* function);
    IEventData sendChecked(unsigned long message, const IEventParameter1& p1,
                           const IEventParameter2& p2, long failure, const char* name,
                           const char* function) const;
    IEventData queryInfo(unsigned long attribute, const char* function) const;

private:
    void initialize(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                    const unsigned long ticks[4], const Style& style, bool readOnly,
                    const char* function);
    void createSlider(unsigned long id, const IWindowHandle& parent, const IWindowHandle& owner,
                      unsigned long nativeStyle, unsigned long extendedGUIStyle,
                      const IRectangle& rect, const unsigned long ticks[4], const Style& style);
    void takeCharge(const IWindowHandle& handle, const char* function);
    IProgressIndicator& toggleOutsideBit(unsigned long bit, bool on);
    void setNativeTicks(Scale scale, unsigned long ticks, unsigned long spacing);
    void changeTickMark(unsigned long tick, bool shown);
    void changeSnapping(bool snap);

    IProgressIndicatorData* fProgressIndicatorData = nullptr;
};

// A progress indicator whose arm the user moves, with detents and arrow buttons.
class OVKWIN_API ISlider : public IProgressIndicator {
public:
    using Style = IProgressIndicator::Style;
    static const Style buttonsLeft, buttonsBottom, buttonsRight, buttonsTop;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    enum ButtonsPosition { top = 0, bottom = 1, left = 2, right = 3, none = 4 };

    ISlider(unsigned long id, IWindow* parent, IWindow* owner,
            const IRectangle& initial = IRectangle(), unsigned long numberOfTicks = 2,
            unsigned long tickSpacing = 0, const Style& style = defaultStyle());
    ISlider(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& initial,
            unsigned long scale1Ticks, unsigned long scale1Spacing, unsigned long scale2Ticks,
            unsigned long scale2Spacing, const Style& style = defaultStyle());
    ISlider(unsigned long id, IWindow* parent);
    explicit ISlider(const IWindowHandle& handle);
    ~ISlider() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // The trackbar inside has the focus.
    IBase::Boolean hasFocus() const override;

    virtual unsigned long detentPosition(unsigned long detent) const;
    // The outside window's detent id; the native trackbar has no detents and answers 0.
    virtual unsigned long addDetent(unsigned long pixel);
    virtual ISlider& removeDetent(unsigned long detent);
    virtual ISlider& setArmSize(const ISize& size);

    ISize armSize() const;
    ButtonsPosition buttonsPosition() const;
};
