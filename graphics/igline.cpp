// IGLine.
#include "igline.hpp"

#include "igrafctx.hpp"

IGLine::IGLine(const IPoint& start, const IPoint& end) : fStart(start), fEnd(end) {}
IGLine::IGLine(const IGLine& other) = default;
IGLine::~IGLine() = default;

IGLine& IGLine::operator=(const IGLine& other) = default;

IGLine& IGLine::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGLine& IGLine::setStartingPoint(const IPoint& point)
{
    fStart = point;
    return *this;
}
IGLine& IGLine::setEndingPoint(const IPoint& point)
{
    fEnd = point;
    return *this;
}
IPoint IGLine::startingPoint() const { return fStart; }
IPoint IGLine::endingPoint() const { return fEnd; }

IPoint IGLine::midPoint() const
{
    // In 64 bits, so that the sum of two large coordinates does not overflow.
    const long long x = (static_cast<long long>(fStart.x()) + fEnd.x()) / 2;
    const long long y = (static_cast<long long>(fStart.y()) + fEnd.y()) / 2;
    return IPoint(static_cast<IPoint::Coord>(x), static_cast<IPoint::Coord>(y));
}

double IGLine::slope() const
{
    const double dy = static_cast<double>(fEnd.y()) - fStart.y();
    const double dx = static_cast<double>(fEnd.x()) - fStart.x();
    return dy / dx;
}

IBase::Boolean IGLine::operator==(const IGLine& other) const
{
    return IGraphic::operator==(other) && fStart == other.fStart && fEnd == other.fEnd;
}
