// Pure geometry of the graphic context; see detail/igeometry.hpp.
#include "detail/igeometry.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "itrnsfrm.hpp"

namespace ovk_graphics {

namespace {
constexpr double kDegreesPerRadian = 57.29577951;
constexpr double kPi = 3.14159265358979323846;
// Curves are tested as polylines of this many segments per full turn: fine enough that the
// chord's distance from the curve stays below a pixel for radii of a few hundred pixels.
constexpr int kSegmentsPerTurn = 128;

double normalisedDegrees(double degrees) noexcept
{
    if (!std::isfinite(degrees))
        return 0.0;
    return degrees >= 0.0 ? std::fmod(degrees, 360.0) : 360.0 - std::fmod(-degrees, 360.0);
}
} // namespace

std::int32_t truncated(double value) noexcept
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

double distanceToSegment(const Point& point, const Point& start, const Point& end) noexcept
{
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSquared > 0.0)
        t = std::clamp(((point.x - start.x) * dx + (point.y - start.y) * dy) / lengthSquared,
                       0.0, 1.0);
    return std::hypot(point.x - (start.x + t * dx), point.y - (start.y + t * dy));
}

bool hitsOutline(const std::vector<Point>& outline, const Point& point, double tolerance,
                 bool closed) noexcept
{
    if (outline.empty())
        return false;
    if (outline.size() == 1)
        return std::hypot(point.x - outline[0].x, point.y - outline[0].y) <= tolerance;
    for (std::size_t i = 1; i < outline.size(); ++i) {
        if (distanceToSegment(point, outline[i - 1], outline[i]) <= tolerance)
            return true;
    }
    return closed && distanceToSegment(point, outline.back(), outline.front()) <= tolerance;
}

bool insidePolygon(const std::vector<Point>& polygon, const Point& point, bool winding) noexcept
{
    int crossings = 0;
    int windingNumber = 0;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % n];
        const bool upward = a.y <= point.y && b.y > point.y;
        const bool downward = b.y <= point.y && a.y > point.y;
        if (!upward && !downward)
            continue;
        const double x = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x > point.x) {
            ++crossings;
            windingNumber += upward ? 1 : -1;
        }
    }
    return winding ? windingNumber != 0 : (crossings % 2) != 0;
}

Circle circleThrough(const Point& first, const Point& middle, const Point& last) noexcept
{
    Circle circle;
    if (first.x == last.x && first.y == last.y) {
        circle.cx = (first.x + middle.x) / 2.0;
        circle.cy = (first.y + middle.y) / 2.0;
        circle.radius = std::hypot(first.x - circle.cx, first.y - circle.cy);
        circle.valid = circle.radius > 0.0;
        return circle;
    }
    // The centre is where the perpendicular bisectors of the two chords meet; parallel
    // bisectors (collinear points) have no intersection, so there is no circle to draw.
    const double bx = middle.x - first.x;
    const double by = middle.y - first.y;
    const double cx = last.x - first.x;
    const double cy = last.y - first.y;
    const double determinant = 2.0 * (bx * cy - by * cx);
    const double scale = (bx * bx + by * by) + (cx * cx + cy * cy);
    if (std::fabs(determinant) <= 1e-10 * scale)
        return circle;
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    const double ux = (cy * b2 - by * c2) / determinant;
    const double uy = (bx * c2 - cx * b2) / determinant;
    circle.cx = first.x + ux;
    circle.cy = first.y + uy;
    circle.radius = std::hypot(ux, uy);
    circle.valid = std::isfinite(circle.radius);
    return circle;
}

bool runsCounterClockwise(const Circle& circle, const Point& first, const Point& middle,
                          const Point& last) noexcept
{
    // Angles as they appear on a surface with y downward: counter-clockwise on the screen.
    auto angle = [&circle](const Point& p) { return std::atan2(circle.cy - p.y, p.x - circle.cx); };
    auto turn = [](double from, double to) {
        double a = to - from;
        while (a < 0.0)
            a += 2.0 * kPi;
        return a;
    };
    const double start = angle(first);
    return turn(start, angle(middle)) <= turn(start, angle(last));
}

IPoint radialPoint(double degrees, const IRectangle& rectangle, bool down) noexcept
{
    const double a = normalisedDegrees(degrees);
    const double t = std::tan(a / kDegreesPerRadian);
    const double x0 = rectangle.minX();
    const double y0 = rectangle.minY();
    const double x1 = rectangle.maxX();
    const double y1 = rectangle.maxY();
    const double cx = truncated((x0 + x1) * 0.5);
    const double cy = truncated((y0 + y1) * 0.5);
    const double top = down ? y0 : y1;
    const double bottom = down ? y1 : y0;
    const int whole = static_cast<int>(a);
    double x = cx;
    double y = cy;
    if (whole == 90) {
        y = top;
    } else if (whole == 270) {
        y = bottom;
    } else if (whole < 45 || whole >= 315) {
        x = x1;
        const double rise = truncated((x1 - cx) * t);
        y = down ? cy - rise : cy + rise;
    } else if (whole < 135) {
        // |tan| is at least 1 here and 90 itself is taken above, so t is never 0.
        y = top;
        x = cx - truncated((y - cy) / t) * (down ? 1 : -1);
    } else if (whole < 225) {
        x = x0;
        const double rise = truncated(t * (cx - x0));
        y = down ? cy + rise : cy - rise;
    } else {
        y = bottom;
        x = cx + truncated((cy - y) / t) * (down ? 1 : -1);
    }
    return IPoint(truncated(x), truncated(y));
}

std::vector<Point> arcPoints(const IRectangle& rectangle, double startDegrees,
                             double sweepDegrees, bool counterClockwise) noexcept
{
    std::vector<Point> points;
    const double cx = (rectangle.minX() + static_cast<double>(rectangle.maxX())) / 2.0;
    const double cy = (rectangle.minY() + static_cast<double>(rectangle.maxY())) / 2.0;
    const double rx = (static_cast<double>(rectangle.maxX()) - rectangle.minX()) / 2.0;
    const double ry = (static_cast<double>(rectangle.maxY()) - rectangle.minY()) / 2.0;
    double sweep = std::isfinite(sweepDegrees) ? std::min(std::fabs(sweepDegrees), 360.0) : 0.0;
    const double start = normalisedDegrees(startDegrees);
    const int steps = std::max(1, static_cast<int>(std::ceil(sweep / 360.0 * kSegmentsPerTurn)));
    const double direction = counterClockwise ? 1.0 : -1.0;
    for (int i = 0; i <= steps; ++i) {
        const double a = (start + direction * sweep * i / steps) / kDegreesPerRadian;
        // y grows downward, so a counter-clockwise turn on the surface lowers y.
        points.push_back(Point{cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return points;
}

std::vector<Point> ellipsePoints(const IRectangle& rectangle) noexcept
{
    std::vector<Point> points = arcPoints(rectangle, 0.0, 360.0, true);
    points.pop_back();
    return points;
}

IRectangle boundsOf(const std::vector<IPoint>& points, const ITransformMatrix& transform,
                    unsigned long penWidth) noexcept
{
    if (points.empty())
        return IRectangle();
    IPoint low = transform.transform(points.front());
    IPoint high = low;
    for (const IPoint& p : points) {
        const IPoint q = transform.transform(p);
        low = low.minimum(q);
        high = high.maximum(q);
    }
    if (penWidth <= 1)
        return IRectangle(low, high);
    // Widened in 64 bits: a huge pen width must not wrap the rectangle around.
    const std::int64_t w = static_cast<std::int64_t>(penWidth);
    const std::int64_t x0 = std::int64_t(low.x()) - w;
    const std::int64_t y0 = std::int64_t(low.y()) - w;
    const std::int64_t x1 = std::int64_t(high.x()) + w;
    const std::int64_t y1 = std::int64_t(high.y()) + w;
    if (x0 < INT32_MIN || y0 < INT32_MIN || x1 > INT32_MAX || y1 > INT32_MAX)
        return IRectangle();
    return IRectangle(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                      static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1));
}

std::vector<IPoint> cornersOf(const IRectangle& rectangle)
{
    return {IPoint(rectangle.minX(), rectangle.minY()), IPoint(rectangle.maxX(), rectangle.minY()),
            IPoint(rectangle.maxX(), rectangle.maxY()), IPoint(rectangle.minX(), rectangle.maxY())};
}

} // namespace ovk_graphics
