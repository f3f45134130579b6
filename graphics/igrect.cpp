// IGRectangle and IGEllipse.
#include "igrect.hpp"

#include "igrafctx.hpp"

IGRectangle::IGRectangle(const IRectangle& rectangle) : fRectangle(rectangle) {}
IGRectangle::IGRectangle(const IGRectangle& other) = default;
IGRectangle::~IGRectangle() = default;

IGRectangle& IGRectangle::operator=(const IGRectangle& other) = default;

IGRectangle& IGRectangle::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGRectangle& IGRectangle::setRounding(const ISize& rounding)
{
    fRounding = rounding;
    return *this;
}
ISize IGRectangle::rounding() const { return fRounding; }
IGRectangle& IGRectangle::setEnclosingRect(const IRectangle& rectangle)
{
    fRectangle = rectangle;
    return *this;
}
IRectangle IGRectangle::enclosingRect() const { return fRectangle; }

IBase::Boolean IGRectangle::operator==(const IGRectangle& other) const
{
    return IGraphic::operator==(other) && fRectangle == other.fRectangle &&
           fRounding == other.fRounding;
}

namespace {
IRectangle aroundCentre(const IPoint& centre, long xRadius, long yRadius)
{
    // In 64 bits, so that a large radius does not overflow before the coordinates wrap.
    auto coordinate = [](long long value) { return static_cast<IPoint::Coord>(value); };
    const IPoint a(coordinate(static_cast<long long>(centre.x()) + xRadius),
                   coordinate(static_cast<long long>(centre.y()) + yRadius));
    const IPoint b(coordinate(static_cast<long long>(centre.x()) - xRadius),
                   coordinate(static_cast<long long>(centre.y()) - yRadius));
    return IRectangle(a.minimum(b), a.maximum(b));
}
} // namespace

IGEllipse::IGEllipse(const IRectangle& rectangle) : fRectangle(rectangle) {}
IGEllipse::IGEllipse(const IPoint& centre, long xRadius, long yRadius)
    : fRectangle(aroundCentre(centre, xRadius, yRadius))
{
}
IGEllipse::IGEllipse(const IPoint& centre, long radius)
    : fRectangle(aroundCentre(centre, radius, radius))
{
}
IGEllipse::IGEllipse(const IGEllipse& other) = default;
IGEllipse::~IGEllipse() = default;

IGEllipse& IGEllipse::operator=(const IGEllipse& other) = default;

IGEllipse& IGEllipse::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGEllipse& IGEllipse::setEnclosingRect(const IRectangle& rectangle)
{
    fRectangle = rectangle;
    return *this;
}
IRectangle IGEllipse::enclosingRect() const { return fRectangle; }

IBase::Boolean IGEllipse::operator==(const IGEllipse& other) const
{
    return IGraphic::operator==(other) && fRectangle == other.fRectangle;
}
