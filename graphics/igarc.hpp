// The curved shapes: IGArc (part of an ellipse's outline), IG3PointArc (the circular arc
// through three points), IGPie (a wedge of an ellipse) and IGChord (an ellipse cut by a line).
// Angles are degrees measured as seen on the screen: 0 points right from the centre, 90 up, and
// a positive sweep turns counter-clockwise on the screen (the other way from
// IGraphic::rotateBy); a clockwise arc sweeps the other way.
#pragma once

#include <cstdint>

#include "igraphic.hpp"

class OVKWIN_API IGArc : public IGraphic {
public:
    // Angles in degrees; counter-clockwise.
    IGArc(const IRectangle& rectangle, double startAngle, double sweepAngle);
    IGArc(const IGArc& other);
    // Keeps the target's direction.
    IGArc& operator=(const IGArc& other);
    ~IGArc() override;

    IGArc& drawOn(IGraphicContext& context) override;

    virtual IGArc& setEnclosingRect(const IRectangle& rectangle);
    virtual IRectangle enclosingRect() const;
    virtual IGArc& setStartAngle(double degrees);
    virtual IGArc& setSweepAngle(double degrees);
    virtual double startAngle() const;
    virtual double sweepAngle() const;
    virtual IGArc& setCounterClockwise(IBase::Boolean counterClockwise = true);
    virtual IBase::Boolean isCounterClockwise() const;

    // The direction does not count.
    IBase::Boolean operator==(const IGArc& other) const;
    IBase::Boolean operator!=(const IGArc& other) const { return !(*this == other); }

private:
    IRectangle fRectangle;
    double fStartAngle;
    double fSweepAngle;
    unsigned char fCounterClockwise = 1;
};

class OVKWIN_API IG3PointArc : public IGraphic {
public:
    IG3PointArc(const IPoint& start, const IPoint& intermediate, const IPoint& end);
    IG3PointArc(const IG3PointArc& other);
    IG3PointArc& operator=(const IG3PointArc& other);
    ~IG3PointArc() override;

    IG3PointArc& drawOn(IGraphicContext& context) override;

    virtual IG3PointArc& setStartingPoint(const IPoint& point);
    virtual IG3PointArc& setIntermediatePoint(const IPoint& point);
    virtual IG3PointArc& setEndingPoint(const IPoint& point);
    virtual IPoint startingPoint() const;
    virtual IPoint intermediatePoint() const;
    virtual IPoint endingPoint() const;

    IBase::Boolean operator==(const IG3PointArc& other) const;
    IBase::Boolean operator!=(const IG3PointArc& other) const { return !(*this == other); }

private:
    IPoint fStart;
    IPoint fIntermediate;
    IPoint fEnd;
};

// The angles are kept in 16.16 fixed point, to 1/65536 degree, truncated toward zero.
class OVKWIN_API IGPie : public IGraphic {
public:
    IGPie(const IRectangle& rectangle, double startAngle, double sweepAngle);
    IGPie(const IGPie& other);
    IGPie& operator=(const IGPie& other);
    ~IGPie() override;

    IGPie& drawOn(IGraphicContext& context) override;

    virtual IGPie& setEnclosingRect(const IRectangle& rectangle);
    virtual IRectangle enclosingRect() const;
    virtual IGPie& setStartAngle(double degrees);
    virtual IGPie& setSweepAngle(double degrees);
    virtual double startAngle() const;
    virtual double sweepAngle() const;

    IBase::Boolean operator==(const IGPie& other) const;
    IBase::Boolean operator!=(const IGPie& other) const { return !(*this == other); }

private:
    IRectangle fRectangle;
    std::int32_t fStartAngle;
    std::int32_t fSweepAngle;
};

class OVKWIN_API IGChord : public IGPie {
public:
    IGChord(const IRectangle& rectangle, double startAngle, double sweepAngle);
    IGChord(const IGChord& other);
    IGChord& operator=(const IGChord& other);
    ~IGChord() override;

    IGChord& drawOn(IGraphicContext& context) override;
};
