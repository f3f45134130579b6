// IGArc, IG3PointArc, IGPie and IGChord.
#include "igarc.hpp"

#include "detail/igeometry.hpp"
#include "igrafctx.hpp"

IGArc::IGArc(const IRectangle& rectangle, double startAngle, double sweepAngle)
    : fRectangle(rectangle), fStartAngle(startAngle), fSweepAngle(sweepAngle)
{
}
IGArc::IGArc(const IGArc& other) = default;
IGArc::~IGArc() = default;

// Not defaulted: an assignment takes the other arc's rectangle and angles but keeps this arc's
// direction, where the copy constructor takes the direction too.
IGArc& IGArc::operator=(const IGArc& other)
{
    if (this != &other) {
        IGraphic::operator=(other);
        fRectangle = other.fRectangle;
        fStartAngle = other.fStartAngle;
        fSweepAngle = other.fSweepAngle;
    }
    return *this;
}

IGArc& IGArc::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGArc& IGArc::setEnclosingRect(const IRectangle& rectangle)
{
    fRectangle = rectangle;
    return *this;
}
IRectangle IGArc::enclosingRect() const { return fRectangle; }
IGArc& IGArc::setStartAngle(double degrees)
{
    fStartAngle = degrees;
    return *this;
}
IGArc& IGArc::setSweepAngle(double degrees)
{
    fSweepAngle = degrees;
    return *this;
}
double IGArc::startAngle() const { return fStartAngle; }
double IGArc::sweepAngle() const { return fSweepAngle; }
IGArc& IGArc::setCounterClockwise(IBase::Boolean counterClockwise)
{
    fCounterClockwise = counterClockwise ? 1 : 0;
    return *this;
}
IBase::Boolean IGArc::isCounterClockwise() const { return fCounterClockwise != 0; }

IBase::Boolean IGArc::operator==(const IGArc& other) const
{
    return IGraphic::operator==(other) && fRectangle == other.fRectangle &&
           fStartAngle == other.fStartAngle && fSweepAngle == other.fSweepAngle;
}

IG3PointArc::IG3PointArc(const IPoint& start, const IPoint& intermediate, const IPoint& end)
    : fStart(start), fIntermediate(intermediate), fEnd(end)
{
}
IG3PointArc::IG3PointArc(const IG3PointArc& other) = default;
IG3PointArc::~IG3PointArc() = default;

IG3PointArc& IG3PointArc::operator=(const IG3PointArc& other) = default;

IG3PointArc& IG3PointArc::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IG3PointArc& IG3PointArc::setStartingPoint(const IPoint& point)
{
    fStart = point;
    return *this;
}
IG3PointArc& IG3PointArc::setIntermediatePoint(const IPoint& point)
{
    fIntermediate = point;
    return *this;
}
IG3PointArc& IG3PointArc::setEndingPoint(const IPoint& point)
{
    fEnd = point;
    return *this;
}
IPoint IG3PointArc::startingPoint() const { return fStart; }
IPoint IG3PointArc::intermediatePoint() const { return fIntermediate; }
IPoint IG3PointArc::endingPoint() const { return fEnd; }

IBase::Boolean IG3PointArc::operator==(const IG3PointArc& other) const
{
    return IGraphic::operator==(other) && fStart == other.fStart &&
           fIntermediate == other.fIntermediate && fEnd == other.fEnd;
}

namespace {
// Degrees to 16.16 fixed point, truncated toward zero; out of range saturates.
std::int32_t fixedAngle(double degrees) { return ovk_graphics::truncated(degrees * 65536.0); }
} // namespace

IGPie::IGPie(const IRectangle& rectangle, double startAngle, double sweepAngle)
    : fRectangle(rectangle), fStartAngle(fixedAngle(startAngle)),
      fSweepAngle(fixedAngle(sweepAngle))
{
}
IGPie::IGPie(const IGPie& other) = default;
IGPie::~IGPie() = default;

IGPie& IGPie::operator=(const IGPie& other) = default;

IGPie& IGPie::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGPie& IGPie::setEnclosingRect(const IRectangle& rectangle)
{
    fRectangle = rectangle;
    return *this;
}
IRectangle IGPie::enclosingRect() const { return fRectangle; }
IGPie& IGPie::setStartAngle(double degrees)
{
    fStartAngle = fixedAngle(degrees);
    return *this;
}
IGPie& IGPie::setSweepAngle(double degrees)
{
    fSweepAngle = fixedAngle(degrees);
    return *this;
}
double IGPie::startAngle() const { return fStartAngle / 65536.0; }
double IGPie::sweepAngle() const { return fSweepAngle / 65536.0; }

IBase::Boolean IGPie::operator==(const IGPie& other) const
{
    return IGraphic::operator==(other) && fRectangle == other.fRectangle &&
           fStartAngle == other.fStartAngle && fSweepAngle == other.fSweepAngle;
}

IGChord::IGChord(const IRectangle& rectangle, double startAngle, double sweepAngle)
    : IGPie(rectangle, startAngle, sweepAngle)
{
}
IGChord::IGChord(const IGChord& other) = default;
IGChord::~IGChord() = default;

IGChord& IGChord::operator=(const IGChord& other) = default;

IGChord& IGChord::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}
