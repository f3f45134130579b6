// IScrollBar: the native scroll bar control: a range, a visible count (the page), the scroll
// box position and the line and page increments that scrolling code uses.
#pragma once

#include <irange.hpp>

#include <iclsstyl.hpp>
#include <icontrol.hpp>
#include <idefs.hpp>

#include <memory>

struct IScrollBarData;

// The newer road keeps range, page and position in the control (the scroll-information
// calls); the older platform has only range and position calls there, so the object keeps the
// visible count itself. The road is chosen anew by every operation.
class OVKWIN_API IScrollBar : public IControl {
public:
    using Style = IWindowClassStyle<IScrollBar>;
    static const Style _horizontal;
    static const Style _vertical;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Range 1 to 100, visible count 25, position 1.
    IScrollBar(unsigned long id, IWindow* parent, IWindow* owner,
               const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IScrollBar(unsigned long id, IWindow* parent, IWindow* owner, const IRange& range,
               unsigned long visibleCount, unsigned long position, const IRectangle& rect,
               const Style& style = defaultStyle());
    // Take charge of an existing scroll bar, which stays when the object goes.
    IScrollBar(unsigned long id, IWindow* parent);
    explicit IScrollBar(const IWindowHandle& handle);
    ~IScrollBar() override;

    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IColor foregroundColor() const override;
    IColor hiliteForegroundColor() const override;
    // Room for the two arrows and three scroll boxes along the bar, a system bar across it.
    ISize calcMinimumSize() const override;

    // The bounds may come in either order; the range is stored ordered. Both enable the bar.
    virtual IScrollBar& setScrollableRange(const IRange& range);
    virtual IScrollBar& setVisibleCount(unsigned long visibleCount);
    virtual IScrollBar& setScrollBar(const IRange& range, unsigned long visibleCount);
    // Sends nothing when the box is there already.
    virtual IScrollBar& moveScrollBoxTo(long position);
    virtual IRange scrollableRange() const;
    // The positions the scroll box can take: on the newer road the range less one page.
    virtual IRange scrollBoxRange() const;
    virtual unsigned long visibleCount() const;
    virtual long scrollBoxPosition() const;
    virtual unsigned long minScrollIncrement() const;
    // The one set, else a page less a line when that is positive, else a line.
    virtual unsigned long pageScrollIncrement() const;
    virtual IScrollBar& setMinScrollIncrement(unsigned long increment);
    virtual IScrollBar& setPageScrollIncrement(unsigned long increment);

    IBase::Boolean isVertical() const;
    IBase::Boolean isHorizontal() const;

    // The system's measures of a vertical or horizontal scroll bar.
    static unsigned long systemScrollBarWidth(IBase::Boolean vertical = true);
    static unsigned long systemScrollButtonLength(IBase::Boolean vertical = true);
    static unsigned long systemScrollBoxLength(IBase::Boolean vertical = true);

private:
    friend class IScrollBarHandler;
    void build(unsigned long id, IWindow* parent, IWindow* owner, const IRange& range,
               unsigned long visibleCount, unsigned long position, const IRectangle& rect,
               const Style& style);
    void takeCharge(const IWindowHandle& handle);

    unsigned long fMinScrollIncrement = 0;
    unsigned long fPageScrollIncrement = 0;
    std::unique_ptr<IScrollBarData> fScrollData;
};
