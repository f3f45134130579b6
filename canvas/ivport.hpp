// IViewPort: a canvas that shows part of one larger child window, the view window, and
// scrolls over it with two scroll bars and the keyboard.
#pragma once

#include <cstdint>
#include <memory>

#include <iclsstyl.hpp>

#include "icanvas.hpp"

class IScrollBar;
class IViewPortKeyboardHandler;
class IViewPortPaintHandler;
class IViewPortResizeHandler;
class IViewPortScrollHandler;
class IViewRectanglePaintHandler;

// The window between the view port and its view window, which clips the view window to the
// area the scroll bars leave.
class OVKWIN_API IViewRectangle : public IWindow {
public:
    IViewRectangle(unsigned long id, IWindow* viewPort);
    ~IViewRectangle() override;
};

// The application creates the view window as a child of the view port; the view port moves it
// into its view rectangle and offsets it there. A view wider or taller than the scroll bars'
// 16-bit positions can reach is scrolled through scaled bar positions.
class OVKWIN_API IViewPort : public ICanvas {
public:
    using Style = IWindowClassStyle<IViewPort>;
    // Each bar: shown when the view does not fit, always, or never.
    static const Style asNeededHorizontalScrollBar;
    static const Style alwaysHorizontalScrollBar;
    static const Style noHorizontalScrollBar;
    static const Style asNeededVerticalScrollBar;
    static const Style alwaysVerticalScrollBar;
    static const Style noVerticalScrollBar;
    // The view port clips its children (the view rectangle always clips the view window).
    static const Style noViewWindowFill;
    // Without a set view size, the view window is made at least as large as the visible area.
    static const Style expandableViewWindow;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Notification: setViewWindowSize changed the size (data: the address of the new ISize).
    static const char* const viewWindowSizeId;

    // The window identifiers of the view port's own children.
    static constexpr unsigned long verticalScrollBarId = 0x70C9;
    static constexpr unsigned long horizontalScrollBarId = 0x70CA;
    static constexpr unsigned long viewRectangleId = 0x70CB;

    // Two choices of one bar together throw message 43.
    IViewPort(unsigned long id, IWindow* parent, IWindow* owner,
              const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    // The view window belongs to the application and stays.
    ~IViewPort() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // A new size of the view port, or a new minimum size of a view window that follows it,
    // makes a layout due.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    ISize calcMinimumSize() const override;
    IViewPort& layout() override;

    // The view window's handle, 0 when there is none; moves a view window that the application
    // made as the view port's child into the view rectangle. Two candidates throw message 50.
    virtual IWindowHandle viewWindow();
    // The visible part of the view window, in the view window's coordinates.
    virtual IRectangle viewportRect() const;
    // Both keep the view inside: the offset goes no further than the view's size less the
    // visible size, and does nothing when the view fits.
    virtual IViewPort& scrollViewVerticallyTo(unsigned long top);
    virtual IViewPort& scrollViewHorizontallyTo(unsigned long left);
    // Fixes the view's size; without one the view window's own size (or its minimum size when
    // it has none) is the view's.
    virtual IViewPort& setViewWindowSize(const ISize& size);
    virtual ISize viewWindowSize() const;
    virtual IViewPort& positionScrollBars();
    // Places the view window so that, shifted back by the offsets, it starts at the given
    // rectangle's near corner (the view port's own layout gives the view rectangle's).
    virtual IViewPort& positionViewWindow(const IRectangle& viewRectangle);
    virtual IViewPort& setViewOrigin(const IPoint& origin);

    IPoint viewOrigin() const;
    IScrollBar& verticalScrollBar() const noexcept { return *fVertical; }
    IScrollBar& horizontalScrollBar() const noexcept { return *fHorizontal; }
    IViewRectangle& viewRectangle() const noexcept { return *fViewRectangle; }
    // How far the view is scrolled from its left and top edges.
    unsigned long horizontalOffset() const noexcept { return fOffsetX; }
    unsigned long verticalOffset() const noexcept { return fOffsetY; }

private:
    friend class IViewPortScrollHandler;
    friend class IViewPortPaintHandler;
    friend class IViewRectanglePaintHandler;

    // One bar's view of the arrangement: the view's and the visible extent along it, the scale
    // of the bar's positions and the offset.
    struct Axis {
        IScrollBar* bar;
        long extent;
        long visible;
        long scale;
        unsigned long offset;

        long lastOffset() const { return extent > visible ? extent - visible : 0; }
    };
    Axis axis(bool vertical) const;
    IViewPort& scrollTo(bool vertical, unsigned long offset);
    void placeBar(bool vertical, bool shown, long visible, long other, IWindowPosBuffer& buffer);
    void sizeViewToAtLeast(ISize& view, const ISize& visible) const;

    std::uint32_t fOffsetX = 0;
    std::uint32_t fOffsetY = 0;
    std::unique_ptr<IScrollBar> fVertical;
    std::unique_ptr<IScrollBar> fHorizontal;
    std::unique_ptr<IViewRectangle> fViewRectangle;
    ISize fSetSize = ISize(-1, -1);
    std::uint8_t fState = 0;
    std::unique_ptr<IViewPortResizeHandler> fResizeHandler;
    std::unique_ptr<IViewPortScrollHandler> fScrollHandler;
    std::unique_ptr<IViewPortKeyboardHandler> fKeyboardHandler;
};
