// ICanvas: the base of the layout canvases, a control that holds child windows, paints the
// background between them and lays them out whenever its layout is marked distorted.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <iclsstyl.hpp>
#include <idefs.hpp>
#include <icontrol.hpp>
#include <iposbuf.hpp>

// The base class keeps every child where the application put it and only computes its own
// minimum size from the children's extent; the derived canvases replace layout(). The layout
// word's bits are named in ovk_layout::Bit; a canvas turns a child's size change or deletion
// into a due layout.
class OVKWIN_API ICanvas : public IControl {
public:
    using Style = IWindowClassStyle<ICanvas>;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    ICanvas(unsigned long id, IWindow* parent, IWindow* owner,
            const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    ~ICanvas() override;

    // The canvas's own native bits: a "Static" child of the static type 6, in a group.
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IBase::Boolean isGroup() const override;
    // True when any child is a tab stop; the canvas takes the answer as its own setting, so
    // that an enclosing canvas tabs into it.
    IBase::Boolean isTabStop() const override;
    IWindowHandle defaultPushButton() const override;
    IWindow* matchForMnemonic(unsigned short character) const override;
    // Children's moves become a due layout; a due refresh of a visible canvas repaints it (the
    // layout then runs on the paint), or lays out at once when the canvas has no area to paint.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    IColor backgroundColor() const override;
    // The canvas keeps a copy and passes the font on to its children.
    IWindow& setFont(const IFont& font) override;
    // Lays out first, so the answer is the size of the current arrangement.
    ISize calcMinimumSize() const override;

    // Runs only when a layout is due (layoutDue); sets minimumSizeChanged when the minimum size
    // changed.
    virtual ICanvas& layout();
    // The canvas's position buffer, emptied, with the children's stacking order entered the
    // first time; also takes the minimum size and the tab-stop setting from the children's
    // current rectangles. A layout records its moves in it and applies it once.
    virtual IWindowPosBuffer& fixupChildren();

    // The minimum size that the last layout computed.
    ISize layoutMinimumSize() const noexcept { return fMinimumSize; }

protected:
    // For derived canvases, which call initialize with their own converted style.
    ICanvas();
    ICanvas& initialize(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                        unsigned long style, unsigned long extendedStyle);
    ICanvas& setLayoutMinimumSize(const ISize& size) noexcept;
    // fixupChildren (an override included) over children the layout has already listed, in
    // child order, so that a layout that lists them for its own arrangement lists them once.
    IWindowPosBuffer& fixupListedChildren(const std::vector<IWindowHandle::Value>& children);
    // The children in stacking order. Each step of a walk through them is a round trip to the
    // window server, about as costly as moving the child, so the list of the last walk is
    // answered again while it still holds (see keptChildrenHold).
    std::vector<IWindowHandle::Value> childrenInOrder();

private:
    void attachHandlers();
    bool keptChildrenHold() const;
    void walkChildren(unsigned long orderChanges);
    IWindowPosBuffer& fixupInOrder(const std::vector<IWindowHandle::Value>& children);

    ISize fMinimumSize;
    std::uint32_t fReserved[2] = {};
    std::int32_t fSiblingOrderFixed = 0;
    std::int32_t fHandlersAttached = 0;
    IFont* fFont = nullptr;
    std::int32_t fRecoordAttached = 0;
    std::unique_ptr<IWindowPosBuffer> fPositions;
    // The children found by the last walk, and the window core's count of child order changes
    // when it began; kept only when every child was a window object's of this thread.
    std::vector<IWindowHandle::Value> fChildren;
    unsigned long fChildOrderChanges = 0;
    bool fChildrenKept = false;
    // The children a layout listed, for the fix-up it asks for next; taken by the first
    // fix-up that runs, so that a later one lists anew.
    const std::vector<IWindowHandle::Value>* fListedChildren = nullptr;
};
