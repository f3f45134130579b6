// ISplitCanvas: a canvas that divides its area among its children, side by side or stacked,
// with a split bar between each two neighbours that the user can drag.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <iclsstyl.hpp>

#include "icanvas.hpp"

class ISplitCanvasHandler;

// Each child's share is a weight; children without one weigh as much as the others do on
// average. Percentages are the weights normalised to add up to exactly 100. Dragging a bar
// sets every child's weight to its new length.
class OVKWIN_API ISplitCanvas : public ICanvas {
public:
    enum Orientation { horizontalSplit = 0, verticalSplit = 1 };
    enum SplitBarEdge { splitBarEdge = 0, splitBarMiddle = 1 };

    using Style = IWindowClassStyle<ISplitCanvas>;
    // Children side by side with upright bars between them (the default).
    static const Style verticalSplitBars;
    // Children stacked with bars across.
    static const Style horizontalSplitBars;
    // Children touch each other; no bars.
    static const Style noSplitBars;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    // Notification: the orientation changed (data: the new one).
    static const char* const orientationId;

    // Both orientations together throw message 43.
    ISplitCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                 const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    // The children are not deleted.
    ~ISplitCanvas() override;

    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    // Runs when a layout is due and the canvas has an area; a canvas without one stays due.
    ISplitCanvas& layout() override;

    virtual ISplitCanvas& setOrientation(Orientation orientation);
    virtual ISplitCanvas& setSplitBarThickness(unsigned long thickness, SplitBarEdge which);
    virtual ISplitCanvas& setSplitWindowPercentage(IWindow* window, unsigned long percentage);
    virtual IColor splitBarEdgeColor() const;
    virtual IColor splitBarMiddleColor() const;
    virtual ISplitCanvas& setSplitBarEdgeColor(const IColor& color);
    virtual ISplitCanvas& setSplitBarMiddleColor(const IColor& color);
    virtual ISplitCanvas& resetSplitBarEdgeColor();
    virtual ISplitCanvas& resetSplitBarMiddleColor();

    Orientation orientation() const;
    unsigned long splitBarThickness(SplitBarEdge which) const;
    // The normalised percentage; 0 for a child that has none.
    unsigned long splitWindowPercentage(IWindow* window) const;
    // The breadth of one bar (0 without bars).
    long splitBarBreadth() const;

private:
    friend class ISplitCanvasHandler;
    struct Share {
        IWindow* window;
        unsigned long percentage;
        unsigned long weight;
    };
    struct Pane {
        IWindow* window;
        unsigned long weight;
    };

    Share* shareOf(const IWindow* window);
    const Share* shareOf(const IWindow* window) const;
    void normalize();
    // The children with window objects in layout order (the first at the left or top).
    std::vector<Pane> panes() const;
    bool sideBySide() const;
    void setWeightsFromLengths();

    std::int32_t fPercentagesDirty = 1;
    std::int32_t fMiddleThickness = 0;
    std::int32_t fEdgeThickness = 0;
    std::uint32_t fChildCount = 0;
    IColor fMiddleColor;
    IColor fEdgeColor;
    ISize fPendingSize = ISize(-1, -1);
    std::vector<Share> fShares;
    std::unique_ptr<ISplitCanvasHandler> fHandler;
};
