// IGRegion: an area of pixels around one native region, built from the primitive shapes by
// the set operations; used as a clip region and painted by the graphic context.
#pragma once

#include <ihandle.hpp>

#include "igraphic.hpp"
#include "iregnhdl.hpp"

class IGRectangle;
class IGEllipse;
class IGPolygon;
class IGPie;
class IGChord;

class OVKWIN_API IGRegion : public IGraphic {
public:
    // Construction. Each makes a native region of its own, or throws naming the failed call.
    // An empty area.
    IGRegion();
    // Takes over the region: it is deleted with this object. A null handle fails the argument
    // check, so that every region object always has its native region.
    explicit IGRegion(const IRegionHandle& region);
    // The graphic part and a copy of the area; the two regions are independent afterwards.
    IGRegion(const IGRegion& other);
    // The rectangle's area (the context is not consulted).
    IGRegion(const IGraphicContext& context, const IRectangle& rectangle);
    // The window's current update region (not erased).
    explicit IGRegion(const IWindowHandle& window);
    IGRegion& operator=(const IGRegion& other);
    ~IGRegion() override;

    // Paints the area in the context's pen colour and pen pattern, as an outline is drawn, not
    // in its fill colour (which is left as it was).
    IGRegion& drawOn(IGraphicContext& context) override;

    // A region has no transform: these do nothing. moveBy moves the area.
    IGRegion& rotateBy(double degrees, const IPoint& centre = IPoint()) override;
    IGRegion& scaleBy(double xFactor, double yFactor, const IPoint& centre = IPoint()) override;
    IGRegion& translateBy(const IPoint& offset) override;
    IGRegion& setTransformMatrix(const ITransformMatrix& matrix) override;

    virtual IGRegion& moveBy(const IPoint& offset);
    // Empties the area; the native region stays the same.
    virtual IGRegion& clear();

    IRegionHandle handle() const { return fRegion; }

    // Set operations, in place: intersection (&=), union (+=), difference (-=, this minus the
    // other) and exclusive or (^=). A shape is taken with its own transform; a shape that
    // makes no area (a polygon of fewer than two points) leaves the region as it is.
    IGRegion& operator&=(const IGRegion& other);
    IGRegion& operator+=(const IGRegion& other);
    IGRegion& operator-=(const IGRegion& other);
    IGRegion& operator^=(const IGRegion& other);
    IGRegion& operator&=(const IGRectangle& shape);
    IGRegion& operator+=(const IGRectangle& shape);
    IGRegion& operator-=(const IGRectangle& shape);
    IGRegion& operator^=(const IGRectangle& shape);
    IGRegion& operator&=(const IGEllipse& shape);
    IGRegion& operator+=(const IGEllipse& shape);
    IGRegion& operator-=(const IGEllipse& shape);
    IGRegion& operator^=(const IGEllipse& shape);
    IGRegion& operator&=(const IGPolygon& shape);
    IGRegion& operator+=(const IGPolygon& shape);
    IGRegion& operator-=(const IGPolygon& shape);
    IGRegion& operator^=(const IGPolygon& shape);
    IGRegion& operator&=(const IGPie& shape);
    IGRegion& operator+=(const IGPie& shape);
    IGRegion& operator-=(const IGPie& shape);
    IGRegion& operator^=(const IGPie& shape);
    IGRegion& operator&=(const IGChord& shape);
    IGRegion& operator+=(const IGChord& shape);
    IGRegion& operator-=(const IGChord& shape);
    IGRegion& operator^=(const IGChord& shape);

private:
    // The shapes' builders: a new native region (the caller's), or null for no area.
    static HRGN__* doRect(IGraphicContext& context, const IGRectangle& shape);
    static HRGN__* doEllipse(IGraphicContext& context, const IGEllipse& shape);
    static HRGN__* doPolygon(IGraphicContext& context, const IGPolygon& shape);
    static HRGN__* doPie(IGraphicContext& context, const IGPie& shape);
    static HRGN__* doChord(IGraphicContext& context, const IGChord& shape);
    static HRGN__* doWedge(IGraphicContext& context, const IGPie& shape, bool pie);
    // Combines with the region in the mode (a native RGN_ value) and deletes it.
    IGRegion& combineWith(HRGN__* region, int mode, bool checked);
    template <class Shape, class Build>
    IGRegion& combineWithShape(const Shape& shape, int mode, Build build, bool checked = false);

    HRGN__* fRegion = nullptr;
};
