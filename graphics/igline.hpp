// IGLine: a straight line from a start point to an end point.
#pragma once

#include "igraphic.hpp"

class OVKWIN_API IGLine : public IGraphic {
public:
    IGLine(const IPoint& start, const IPoint& end);
    IGLine(const IGLine& other);
    IGLine& operator=(const IGLine& other);
    ~IGLine() override;

    IGLine& drawOn(IGraphicContext& context) override;

    virtual IGLine& setStartingPoint(const IPoint& point);
    virtual IGLine& setEndingPoint(const IPoint& point);
    virtual IPoint startingPoint() const;
    virtual IPoint endingPoint() const;
    // Each sum halved by integer division toward zero: (-1,-1)-(-2,-2) gives (-1,-1).
    virtual IPoint midPoint() const;

    // dy / dx in floating point: infinite for a vertical line, not a number for a single point.
    double slope() const;

    IBase::Boolean operator==(const IGLine& other) const;
    IBase::Boolean operator!=(const IGLine& other) const { return !(*this == other); }

private:
    IPoint fStart;
    IPoint fEnd;
};
