// A rectangle: its minimum and maximum corners.
#pragma once

#include "ipoint.hpp"

#include <cstdint>

// Four 32-bit coordinates in the order minimum x, minimum y, maximum x, maximum y, which is the
// layout of the platform's RECT when the minimum corner is the top left. Every constructor puts
// the corners in order (component-wise minimum and maximum), so minX() <= maxX() and
// minY() <= maxY() always hold.
//
// Width and height are maximum - minimum computed modulo 2^32, as the platform computes them: the
// default-size rectangle, (INT_MIN, INT_MIN)-(-1, -1), has width and height 0x7FFFFFFF, and a
// rectangle spanning the whole range wraps to -1 instead of overflowing. sizeTo() and the
// (corner, size) constructor add in the same wrapping arithmetic.
//
// A point is inside when minimum <= point < maximum in both coordinates.
class IRectangle {
public:
    using Coord = IPair::Coord;

    constexpr IRectangle() noexcept = default;
    constexpr IRectangle(const IPoint& corner1, const IPoint& corner2) noexcept
        : fMin(corner1.minimum(corner2)), fMax(corner1.maximum(corner2)) {}
    constexpr IRectangle(Coord x1, Coord y1, Coord x2, Coord y2) noexcept
        : IRectangle(IPoint(x1, y1), IPoint(x2, y2)) {}
    constexpr IRectangle(const IPoint& corner, const ISize& size) noexcept
        : IRectangle(corner, IPoint(IPair::add(corner.x(), size.width()),
                                    IPair::add(corner.y(), size.height()))) {}
    constexpr explicit IRectangle(const ISize& size) noexcept : IRectangle(IPoint(), size) {}

    constexpr const IPoint& minimum() const noexcept { return fMin; }
    constexpr const IPoint& maximum() const noexcept { return fMax; }
    constexpr Coord minX() const noexcept { return fMin.x(); }
    constexpr Coord minY() const noexcept { return fMin.y(); }
    constexpr Coord maxX() const noexcept { return fMax.x(); }
    constexpr Coord maxY() const noexcept { return fMax.y(); }
    constexpr Coord width() const noexcept { return IPair::subtract(fMax.x(), fMin.x()); }
    constexpr Coord height() const noexcept { return IPair::subtract(fMax.y(), fMin.y()); }
    constexpr ISize size() const noexcept { return ISize(width(), height()); }
    constexpr IPoint center() const noexcept {
        // Halving the 64-bit sum keeps extreme corners from overflowing.
        return IPoint(static_cast<Coord>((std::int64_t(fMin.x()) + fMax.x()) / 2),
                      static_cast<Coord>((std::int64_t(fMin.y()) + fMax.y()) / 2));
    }
    constexpr IBase::Boolean isEmpty() const noexcept {
        return fMin.x() == fMax.x() || fMin.y() == fMax.y();
    }

    constexpr IBase::Boolean contains(const IPoint& point) const noexcept {
        return fMin.x() <= point.x() && point.x() < fMax.x() && fMin.y() <= point.y() &&
               point.y() < fMax.y();
    }
    constexpr IBase::Boolean contains(const IRectangle& other) const noexcept {
        return fMin.x() <= other.fMin.x() && fMin.y() <= other.fMin.y() &&
               other.fMax.x() <= fMax.x() && other.fMax.y() <= fMax.y();
    }
    constexpr IBase::Boolean intersects(const IRectangle& other) const noexcept {
        return fMin.x() < other.fMax.x() && other.fMin.x() < fMax.x() &&
               fMin.y() < other.fMax.y() && other.fMin.y() < fMax.y();
    }
    // The common part; an empty rectangle at the origin when there is none.
    constexpr IRectangle intersectionWith(const IRectangle& other) const noexcept {
        return intersects(other) ? IRectangle(fMin.maximum(other.fMin), fMax.minimum(other.fMax))
                                 : IRectangle();
    }
    // The smallest rectangle holding both.
    constexpr IRectangle unionWith(const IRectangle& other) const noexcept {
        return IRectangle(fMin.minimum(other.fMin), fMax.maximum(other.fMax));
    }

    // Moving and resizing; each keeps the rectangle in order and returns it.
    constexpr IRectangle& moveBy(const IPoint& offset) noexcept {
        return *this = IRectangle(fMin + offset, fMax + offset);
    }
    constexpr IRectangle& moveTo(const IPoint& corner) noexcept {
        return *this = IRectangle(corner, size());
    }
    constexpr IRectangle& sizeTo(const ISize& size) noexcept {
        return *this = IRectangle(fMin, size);
    }
    // Grows (shrinks) by `amount` on all four sides.
    constexpr IRectangle& expandBy(Coord amount) noexcept {
        return *this = IRectangle(fMin - IPoint(amount, amount), fMax + IPoint(amount, amount));
    }
    constexpr IRectangle& shrinkBy(Coord amount) noexcept {
        return expandBy(IPair::subtract(0, amount));
    }

    // "(minX,minY,maxX,maxY)".
    IString asString() const {
        return "(" + IString(minX()) + "," + IString(minY()) + "," + IString(maxX()) + "," +
               IString(maxY()) + ")";
    }

    friend constexpr bool operator==(const IRectangle& a, const IRectangle& b) noexcept {
        return a.fMin == b.fMin && a.fMax == b.fMax;
    }
    friend constexpr bool operator!=(const IRectangle& a, const IRectangle& b) noexcept {
        return !(a == b);
    }

private:
    IPoint fMin;
    IPoint fMax;
};

static_assert(sizeof(IRectangle) == 4 * sizeof(IPair::Coord), "IRectangle must match RECT");
