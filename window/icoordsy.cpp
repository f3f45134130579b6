// The coordinate orientation.
#include <atomic>

#include "icoordsy.hpp"

namespace {

std::atomic<unsigned char> gOrientation{ICoordinateSystem::kOriginUpperLeft};

IPoint flipped(const IPoint& point, const ISize& size) noexcept
{
    if (!ICoordinateSystem::isConversionNeeded())
        return point;
    return IPoint(point.x(), IPair::subtract(size.height(), point.y()));
}

IRectangle flipped(const IRectangle& rectangle, const ISize& size) noexcept
{
    if (!ICoordinateSystem::isConversionNeeded())
        return rectangle;
    const IPair::Coord height = size.height();
    return IRectangle(rectangle.minX(), IPair::subtract(height, rectangle.maxY()), rectangle.maxX(),
                      IPair::subtract(height, rectangle.minY()));
}

} // namespace

void ICoordinateSystem::setApplicationOrientation(Orientation orientation) noexcept
{
    gOrientation = orientation;
}

ICoordinateSystem::Orientation ICoordinateSystem::applicationOrientation() noexcept
{
    return static_cast<Orientation>(gOrientation.load());
}

IBase::Boolean ICoordinateSystem::isConversionNeeded() noexcept
{
    return gOrientation.load() != 0;
}

IPoint ICoordinateSystem::convertToNative(const IPoint& point, const ISize& size) noexcept
{
    return flipped(point, size);
}

IPoint ICoordinateSystem::convertToApplication(const IPoint& point, const ISize& size) noexcept
{
    return flipped(point, size);
}

IRectangle ICoordinateSystem::convertToNative(const IRectangle& rectangle, const ISize& size) noexcept
{
    return flipped(rectangle, size);
}

IRectangle ICoordinateSystem::convertToApplication(const IRectangle& rectangle,
                                                   const ISize& size) noexcept
{
    return flipped(rectangle, size);
}
