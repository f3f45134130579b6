// Pure geometry of the graphic context: truncation to integer coordinates, hit tests against
// outlines and interiors, the circle of a three-point arc, the radial points of arcs, curves
// as point lists and bounding rectangles. No platform header: tested natively as well.
#pragma once

#include <cstdint>
#include <vector>

#include <ipoint.hpp>
#include <irect.hpp>

class ITransformMatrix;

namespace ovk_graphics {

// Truncation toward zero into the 32-bit coordinate range; NaN gives 0 and values beyond the
// range give its ends, so no conversion of a floating-point value is ever undefined.
std::int32_t truncated(double value) noexcept;

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// The true distance from the point to the segment: beyond either end it is the distance to
// that end, and a segment of zero length is its start point.
double distanceToSegment(const Point& point, const Point& start, const Point& end) noexcept;

// Whether the point lies within the tolerance of the outline through the points (closing the
// outline from the last to the first point when `closed`). A single point is a dot.
bool hitsOutline(const std::vector<Point>& outline, const Point& point, double tolerance,
                 bool closed) noexcept;
// Whether the point lies inside the polygon, by the even-odd or the winding rule.
bool insidePolygon(const std::vector<Point>& polygon, const Point& point, bool winding) noexcept;

// The circle through three points. `valid` is false when the points are collinear (there is
// no circle; the arc is the line through them). A first point equal to the last makes the
// circle whose diameter runs from the first to the middle point.
struct Circle {
    double cx = 0.0;
    double cy = 0.0;
    double radius = 0.0;
    bool valid = false;
};
Circle circleThrough(const Point& first, const Point& middle, const Point& last) noexcept;
// Whether the arc from the first point through the middle one to the last one runs
// counter-clockwise on a surface whose y grows downward.
bool runsCounterClockwise(const Circle& circle, const Point& first, const Point& middle,
                          const Point& last) noexcept;

// Where the ray from the centre of the rectangle at the angle (degrees) leaves it. `down`
// says that y grows downward (the text mapping mode).
IPoint radialPoint(double degrees, const IRectangle& rectangle, bool down) noexcept;

// The ellipse inscribed in the rectangle as a closed list of points, or the part of it from
// the start angle through the sweep (degrees; counter-clockwise for a y that grows downward
// when `counterClockwise`).
std::vector<Point> ellipsePoints(const IRectangle& rectangle) noexcept;
std::vector<Point> arcPoints(const IRectangle& rectangle, double startDegrees,
                             double sweepDegrees, bool counterClockwise) noexcept;

// The smallest rectangle around the transformed points, widened by the pen width on all
// four sides when the width is above 1; an inverted result gives the all-zero rectangle.
IRectangle boundsOf(const std::vector<IPoint>& points, const ITransformMatrix& transform,
                    unsigned long penWidth) noexcept;

// The four corners of a rectangle, minimum corner first, in drawing order.
std::vector<IPoint> cornersOf(const IRectangle& rectangle);

} // namespace ovk_graphics
