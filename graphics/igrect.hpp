// IGRectangle and IGEllipse: shapes given by an enclosing rectangle; a rectangle may have
// rounded corners.
#pragma once

#include "igraphic.hpp"

// A rectangle covers the pixels of its IRectangle, whose maximum is exclusive: whatever the draw
// operation, IGRectangle(IRectangle(20, 20, 120, 90)) touches x 20 to 119 and y 20 to 89, the
// frame (a one-pixel pen) on the outermost of those pixels and the fill over all of them. Its
// boundingRect covers every pixel drawn, also when a transform turns it by quarter turns.
class OVKWIN_API IGRectangle : public IGraphic {
public:
    // Square corners.
    explicit IGRectangle(const IRectangle& rectangle);
    IGRectangle(const IGRectangle& other);
    IGRectangle& operator=(const IGRectangle& other);
    ~IGRectangle() override;

    IGRectangle& drawOn(IGraphicContext& context) override;

    // Width and height of the ellipse that rounds the corners; the corners stay square unless
    // both are non-zero.
    virtual IGRectangle& setRounding(const ISize& rounding);
    virtual ISize rounding() const;
    virtual IGRectangle& setEnclosingRect(const IRectangle& rectangle);
    virtual IRectangle enclosingRect() const;

    IBase::Boolean operator==(const IGRectangle& other) const;
    IBase::Boolean operator!=(const IGRectangle& other) const { return !(*this == other); }

private:
    IRectangle fRectangle;
    ISize fRounding;
};

class OVKWIN_API IGEllipse : public IGraphic {
public:
    explicit IGEllipse(const IRectangle& rectangle);
    // The rectangle spans centre - radius to centre + radius; the sign of a radius does not
    // matter.
    IGEllipse(const IPoint& centre, long xRadius, long yRadius);
    IGEllipse(const IPoint& centre, long radius);
    IGEllipse(const IGEllipse& other);
    IGEllipse& operator=(const IGEllipse& other);
    ~IGEllipse() override;

    IGEllipse& drawOn(IGraphicContext& context) override;

    virtual IGEllipse& setEnclosingRect(const IRectangle& rectangle);
    virtual IRectangle enclosingRect() const;

    IBase::Boolean operator==(const IGEllipse& other) const;
    IBase::Boolean operator!=(const IGEllipse& other) const { return !(*this == other); }

private:
    IRectangle fRectangle;
};
