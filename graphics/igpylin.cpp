// IGPolyline and IGPolygon.
#include "igpylin.hpp"

#include "igrafctx.hpp"

IGPolyline::IGPolyline(const IPointArray& points) : fPoints(points) {}
IGPolyline::IGPolyline(const IGPolyline& other) = default;
IGPolyline::~IGPolyline() = default;

IGPolyline& IGPolyline::operator=(const IGPolyline& other) = default;

IGPolyline& IGPolyline::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

unsigned long IGPolyline::numberOfPoints() const
{
    return static_cast<unsigned long>(fPoints.numberOfPoints());
}

IGPolyline& IGPolyline::setPoints(const IPointArray& points)
{
    fPoints = points;
    return *this;
}

IGPolyline& IGPolyline::setPoint(unsigned long index, const IPoint& point)
{
    fPoints.setPoint(index, point);
    return *this;
}

IGPolyline& IGPolyline::insertPoint(unsigned long index, const IPoint& point)
{
    fPoints.insert(index, point);
    return *this;
}

IGPolyline& IGPolyline::removePoint(unsigned long index)
{
    fPoints.remove(index);
    return *this;
}

IGPolyline& IGPolyline::addPoint(const IPoint& point)
{
    fPoints.add(point);
    return *this;
}

IGPolyline& IGPolyline::removeAll()
{
    fPoints.removeAll();
    return *this;
}

IPoint IGPolyline::point(unsigned long index) const { return fPoints.point(index); }

IBase::Boolean IGPolyline::operator==(const IGPolyline& other) const
{
    return IGraphic::operator==(other) && fPoints == other.fPoints;
}

IGPolygon::IGPolygon(const IPointArray& points) : IGPolyline(points) {}
IGPolygon::IGPolygon(const IGPolygon& other) = default;
IGPolygon::~IGPolygon() = default;

IGPolygon& IGPolygon::operator=(const IGPolygon& other) = default;

IGPolygon& IGPolygon::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGPolygon& IGPolygon::setWindingFill(IBase::Boolean winding)
{
    fWinding = winding ? 1 : 0;
    return *this;
}

IBase::Boolean IGPolygon::isWindingFill() const { return fWinding != 0; }

IBase::Boolean IGPolygon::operator==(const IGPolygon& other) const
{
    return IGPolyline::operator==(other) && fWinding == other.fWinding;
}
