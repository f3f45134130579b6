// IGraphicContext: the draw operations. Each serves the context's three states: it draws the
// shape, adds the shape's bounds, or tests the hit point against the shape.
#include "igrafctx.hpp"

#include <windows.h>

#include <detail/iscoped.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "detail/igcdata.hpp"
#include "detail/igeometry.hpp"
#include "detail/igscope.hpp"
#include "igarc.hpp"
#include "igline.hpp"
#include "igpylin.hpp"
#include "igrect.hpp"

using ovk_graphics::Point;

namespace {

[[noreturn]] void throwDrawError(const char* call, const char* function)
{
    IThrow::systemError(call, GetLastError(), IEXCEPTION_LOCATION("igrafctx", function));
}

std::vector<Point> toPoints(const std::vector<IPoint>& points)
{
    std::vector<Point> result;
    result.reserve(points.size());
    for (const IPoint& p : points)
        result.push_back(Point{static_cast<double>(p.x()), static_cast<double>(p.y())});
    return result;
}

std::vector<POINT> toNative(const std::vector<IPoint>& points)
{
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const IPoint& p : points)
        result.push_back(POINT{p.x(), p.y()});
    return result;
}

IRectangle ordered(const IPoint& a, const IPoint& b)
{
    return IRectangle(a.minimum(b), a.maximum(b));
}

// Whether the point lies within the tolerance of a flattened path's figures. Each figure
// starts with a move; a close flag on its last point joins it to the first.
bool pathOutlineHits(const std::vector<POINT>& points, const std::vector<BYTE>& types,
                     const Point& point, double tolerance)
{
    std::vector<Point> figure;
    for (std::size_t i = 0; i <= points.size(); ++i) {
        const bool figureEnds = i == points.size() || (types[i] & ~PT_CLOSEFIGURE) == PT_MOVETO;
        if (figureEnds && !figure.empty()) {
            const bool closed = (types[i - 1] & PT_CLOSEFIGURE) != 0;
            if (ovk_graphics::hitsOutline(figure, point, tolerance, closed))
                return true;
            figure.clear();
        }
        if (i < points.size())
            figure.push_back(Point{static_cast<double>(points[i].x),
                                   static_cast<double>(points[i].y)});
    }
    return false;
}

// Puts the previous arc direction back when the call is done.
class ArcDirection {
public:
    ArcDirection(HDC context, int direction)
        : fContext(context), fPrevious(SetArcDirection(context, direction))
    {
    }
    ~ArcDirection()
    {
        if (fPrevious)
            SetArcDirection(fContext, fPrevious);
    }
    ArcDirection(const ArcDirection&) = delete;
    ArcDirection& operator=(const ArcDirection&) = delete;

private:
    HDC fContext;
    int fPrevious;
};

} // namespace

// Helpers ------------------------------------------------------------------------------------

bool IGraphicContext::flips() const
{
    return fData->fConversionOn && fData->fState == IGCData::drawing;
}

IPoint IGraphicContext::flipped(const IPoint& point) const
{
    if (!flips())
        return point;
    return IPoint(point.x(), static_cast<IPoint::Coord>(fData->fConversionHeight) - point.y());
}

IRectangle IGraphicContext::flipped(const IRectangle& rectangle) const
{
    return ordered(flipped(rectangle.minimum()), flipped(rectangle.maximum()));
}

IPoint IGraphicContext::toDevice(const IPoint& point) const
{
    return fData->fAdvancedMode ? point : fData->fTransform.transform(point);
}

void IGraphicContext::collect(const std::vector<IPoint>& points)
{
    addToBounds(ovk_graphics::boundsOf(points, worldTransform(), penWidth()));
}

double IGraphicContext::tolerance() const
{
    return std::max(1.0, static_cast<double>(fData->fHitAperture.width() / 2));
}

bool IGraphicContext::hitsShape(const std::vector<Point>& outline, bool closed, bool interior,
                                bool winding) const
{
    // The outline has been taken through the world transform, so the device hit point is
    // tested against it as it is.
    const IPoint hit = fData->fHitPoint;
    const Point point{static_cast<double>(hit.x()), static_cast<double>(hit.y())};
    if (ovk_graphics::hitsOutline(outline, point, tolerance(), closed))
        return true;
    return interior && closed && ovk_graphics::insidePolygon(outline, point, winding);
}

std::vector<Point> IGraphicContext::transformed(const std::vector<Point>& points) const
{
    const ITransformMatrix matrix = worldTransform();
    std::vector<Point> result;
    result.reserve(points.size());
    for (const Point& p : points)
        result.push_back(Point{p.x * matrix.m11() + p.y * matrix.m21() + matrix.dx(),
                               p.x * matrix.m12() + p.y * matrix.m22() + matrix.dy()});
    return result;
}

template <class Draw>
bool IGraphicContext::hitsPath(bool interior, Draw&& draw)
{
    HDC dc = fHandle;
    if (!BeginPath(dc))
        return false;
    draw();
    EndPath(dc);
    POINT logical{fData->fHitPoint.x(), fData->fHitPoint.y()};
    DPtoLP(dc, &logical, 1);
    const Point point{static_cast<double>(logical.x), static_cast<double>(logical.y)};
    FlattenPath(dc);
    const int count = GetPath(dc, nullptr, nullptr, 0);
    bool hit = false;
    if (count > 0) {
        std::vector<POINT> points(static_cast<std::size_t>(count));
        std::vector<BYTE> types(static_cast<std::size_t>(count));
        if (GetPath(dc, points.data(), types.data(), count) == count)
            hit = pathOutlineHits(points, types, point, tolerance());
    }
    if (!hit && interior) {
        // The region is in device coordinates, so the device hit point is tested against it.
        if (const ovk_native::Region region{PathToRegion(dc)}) {
            const ISize aperture = fData->fHitAperture;
            const RECT box{fData->fHitPoint.x() - aperture.width() / 2,
                           fData->fHitPoint.y() - aperture.height() / 2,
                           fData->fHitPoint.x() - aperture.width() / 2 + aperture.width(),
                           fData->fHitPoint.y() - aperture.height() / 2 + aperture.height()};
            hit = RectInRegion(region.get(), &box) != FALSE;
        }
    } else {
        AbortPath(dc);
    }
    return hit;
}

template <class Draw>
bool IGraphicContext::drawClosed(Draw&& draw)
{
    HDC dc = fHandle;
    const IGraphicBundle::DrawOperation operation = fData->fDrawOperation;
    // A monochrome pattern paints its set pixels in the text colour, which is the pen colour
    // otherwise: for the fill it is the fill colour.
    const bool bitmapFill =
        operation != IGraphicBundle::frame && !ovk_graphics::isPlainPattern(fData->fFillPattern);
    COLORREF textColor = 0;
    if (bitmapFill)
        textColor = SetTextColor(dc, ovk_graphics::paletteRelative(fData->fFillColor));
    BOOL done = FALSE;
    DWORD error = 0;
    {
        // A fill draws no outline and a frame fills nothing, for the one call.
        const HGDIOBJ none = operation == IGraphicBundle::fill    ? GetStockObject(NULL_PEN)
                             : operation == IGraphicBundle::frame ? GetStockObject(NULL_BRUSH)
                                                                  : nullptr;
        ovk_native::Selection outlineOrFill(dc, none);
        done = draw();
        error = GetLastError();
    }
    if (bitmapFill)
        SetTextColor(dc, textColor);
    SetLastError(error);
    return done != FALSE;
}

template <class Draw, class Outline>
void IGraphicContext::drawShape(IGraphic& graphic, const Shape& shape, Draw&& drawNative,
                                Outline&& outline)
{
    const bool interior = shape.closed && fData->fDrawOperation != IGraphicBundle::frame;
    switch (fData->fState) {
    case IGCData::collectingBounds:
        collect(shape.boundsPoints);
        break;
    case IGCData::hitTesting:
        // Without paths (the older platform) or without the device's transform, the shape
        // is tested as a list of points in device coordinates.
        if (IPlatform::isPlatformVariant() || !fData->fAdvancedMode) {
            if (hitsShape(transformed(outline()), shape.closed, interior, shape.winding))
                graphic.setHit(true);
        } else if (hitsPath(interior, drawNative)) {
            graphic.setHit(true);
        }
        break;
    default:
        if (!(shape.closed ? drawClosed(drawNative) : drawNative() != FALSE))
            throwDrawError(shape.callName, shape.function);
    }
}

// Lines --------------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::draw(const IGLine& line)
{
    const std::vector<IPoint> points{flipped(line.startingPoint()), flipped(line.endingPoint())};
    ovk_graphics::GraphicScope scope(*this, line);
    auto drawNative = [this, &points]() -> BOOL {
        setCurrentDrawingPosition(toDevice(points[0]));
        const IPoint end = toDevice(points[1]);
        LineTo(fHandle, end.x(), end.y());
        return TRUE;
    };
    const Shape shape{points, false, false, "LineTo", "IGraphicContext::draw(const IGLine&)"};
    drawShape(const_cast<IGLine&>(line), shape, drawNative, [&points] { return toPoints(points); });
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGPolyline& polyline)
{
    std::vector<IPoint> points;
    for (unsigned long i = 0; i < polyline.numberOfPoints(); ++i)
        points.push_back(flipped(polyline.point(i)));
    ovk_graphics::GraphicScope scope(*this, polyline);
    if (points.empty())
        return *this;
    auto drawNative = [this, &points]() -> BOOL {
        const std::vector<POINT> native = toNative(devicePoints(points));
        return Polyline(fHandle, native.data(), static_cast<int>(native.size()));
    };
    const Shape shape{points, false, false, "Polyline", "IGraphicContext::draw(const IGPolyline&)"};
    drawShape(const_cast<IGPolyline&>(polyline), shape, drawNative,
              [&points] { return toPoints(points); });
    return *this;
}

std::vector<IPoint> IGraphicContext::devicePoints(const std::vector<IPoint>& points) const
{
    std::vector<IPoint> device;
    device.reserve(points.size());
    for (const IPoint& p : points)
        device.push_back(toDevice(p));
    return device;
}

// Polygons and rectangles --------------------------------------------------------------------

IGraphicContext& IGraphicContext::draw(const IGPolygon& polygon)
{
    std::vector<IPoint> points;
    for (unsigned long i = 0; i < polygon.numberOfPoints(); ++i)
        points.push_back(flipped(polygon.point(i)));
    ovk_graphics::GraphicScope scope(*this, polygon);
    if (points.empty())
        return *this;
    const bool winding = polygon.isWindingFill();
    auto drawNative = [this, &points, winding]() -> BOOL {
        const std::vector<POINT> native = toNative(devicePoints(points));
        SetPolyFillMode(fHandle, winding ? WINDING : ALTERNATE);
        return Polygon(fHandle, native.data(), static_cast<int>(native.size()));
    };
    const Shape shape{points, true, winding, "Polygon", "IGraphicContext::draw(const IGPolygon&)"};
    drawShape(const_cast<IGPolygon&>(polygon), shape, drawNative,
              [&points] { return toPoints(points); });
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGRectangle& rectangle)
{
    const IRectangle box = flipped(rectangle.enclosingRect());
    const ISize rounding = rectangle.rounding();
    const bool rounded = rounding.width() != 0 && rounding.height() != 0;
    ovk_graphics::GraphicScope scope(*this, rectangle);
    const std::vector<IPoint> corners = ovk_graphics::cornersOf(box);
    // The last column and row of the rectangle, whose maximum is exclusive.
    const IRectangle last(box.minX(), box.minY(), std::max(box.minX(), box.maxX() - 1),
                          std::max(box.minY(), box.maxY() - 1));
    const ITransformMatrix& own = fData->fTransform;
    // Without the device's transform a rotated rectangle is a polygon of its corners.
    const bool asPolygon = !fData->fAdvancedMode &&
                           (!rounded || own.m12() != 0.0 || own.m21() != 0.0 || isHitTesting());
    const char* call = asPolygon ? "Polygon" : rounded ? "RoundRect" : "Rectangle";
    // With the device's transform the platform's Rectangle draws its outline through the
    // corners it is given, the maximum included, while an interior drawn alone stops short of
    // the maximum: an outlined rectangle is given its last pixels, so that outline and fill both
    // cover the rectangle and nothing beyond it.
    const bool outlined = fData->fDrawOperation != IGraphicBundle::fill &&
                          fData->fPenType != IGraphicBundle::invisible;
    const IRectangle drawn = outlined && fData->fAdvancedMode && !rounded ? last : box;
    auto drawNative = [&, this]() -> BOOL {
        if (asPolygon) {
            const std::vector<POINT> native = toNative(devicePoints(corners));
            return Polygon(fHandle, native.data(), static_cast<int>(native.size()));
        }
        const IRectangle device = ordered(toDevice(drawn.minimum()), toDevice(drawn.maximum()));
        if (rounded && isDegenerate(device))
            return drawDegenerate(device);
        return rounded ? RoundRect(fHandle, device.minX(), device.minY(), device.maxX(),
                                   device.maxY(), rounding.width(), rounding.height())
                       : Rectangle(fHandle, device.minX(), device.minY(), device.maxX(),
                                   device.maxY());
    };
    const Shape shape{corners, true, false, call, "IGraphicContext::draw(const IGRectangle&)"};
    drawShape(const_cast<IGRectangle&>(rectangle), shape, drawNative,
              [&corners] { return toPoints(corners); });
    if (isCollectingBounds() && box.maxX() > box.minX() && box.maxY() > box.minY()) {
        // Turned, the outline through the last pixels lands one column or row past the turned
        // corners (a quarter turn takes the exclusive maximum to the minimum side), while a
        // fill keeps within them: the bounds take both, a pixel past the last ones.
        const IRectangle pixels =
            ovk_graphics::boundsOf(ovk_graphics::cornersOf(last), worldTransform(), penWidth());
        addToBounds(IRectangle(pixels.minimum(), pixels.maximum() + IPoint(1, 1)));
    }
    return *this;
}

// Curves -------------------------------------------------------------------------------------

IGraphicContext& IGraphicContext::draw(const IGEllipse& ellipse)
{
    const IRectangle box = flipped(ellipse.enclosingRect());
    ovk_graphics::GraphicScope scope(*this, ellipse);
    auto drawNative = [this, &box]() -> BOOL {
        const IRectangle device = ordered(toDevice(box.minimum()), toDevice(box.maximum()));
        if (isDegenerate(device))
            return drawDegenerate(device);
        return Ellipse(fHandle, device.minX(), device.minY(), device.maxX(), device.maxY());
    };
    const Shape shape{ovk_graphics::cornersOf(box), true, false, "Ellipse",
                      "IGraphicContext::draw(const IGEllipse&)"};
    drawShape(const_cast<IGEllipse&>(ellipse), shape, drawNative,
              [&box] { return ovk_graphics::ellipsePoints(box); });
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGArc& arc)
{
    const IRectangle box = flipped(arc.enclosingRect());
    const double start = arc.startAngle();
    const double sweep = arc.sweepAngle();
    const bool counterClockwise = arc.isCounterClockwise();
    ovk_graphics::GraphicScope scope(*this, arc);
    auto drawNative = [this, &box, start, sweep, counterClockwise]() -> BOOL {
        const IRectangle device = ordered(toDevice(box.minimum()), toDevice(box.maximum()));
        if (isDegenerate(device))
            return drawDegenerate(device);
        const bool down = mappingMode() == text;
        const IPoint first = ovk_graphics::radialPoint(start, device, down);
        const IPoint second = ovk_graphics::radialPoint(
            counterClockwise ? start + sweep : start - sweep, device, down);
        ArcDirection direction(fHandle, counterClockwise ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE);
        return Arc(fHandle, device.minX(), device.minY(), device.maxX(), device.maxY(),
                   first.x(), first.y(), second.x(), second.y());
    };
    const Shape shape{ovk_graphics::cornersOf(box), false, false, "Arc",
                      "IGraphicContext::draw(const IGArc&)"};
    drawShape(const_cast<IGArc&>(arc), shape, drawNative, [&] {
        return ovk_graphics::arcPoints(box, start, sweep, counterClockwise);
    });
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IG3PointArc& arc)
{
    const std::vector<IPoint> points{flipped(arc.startingPoint()),
                                     flipped(arc.intermediatePoint()),
                                     flipped(arc.endingPoint())};
    ovk_graphics::GraphicScope scope(*this, arc);
    const std::vector<Point> exact = toPoints(points);
    const ovk_graphics::Circle circle = ovk_graphics::circleThrough(exact[0], exact[1], exact[2]);
    std::vector<IPoint> boundsPoints = points;
    if (circle.valid) {
        using ovk_graphics::truncated;
        boundsPoints = ovk_graphics::cornersOf(IRectangle(
            truncated(circle.cx - circle.radius), truncated(circle.cy - circle.radius),
            truncated(circle.cx + circle.radius), truncated(circle.cy + circle.radius)));
    }
    auto drawNative = [this, &points]() -> BOOL {
        const std::vector<IPoint> device = devicePoints(points);
        const std::vector<Point> exactDevice = toPoints(device);
        const ovk_graphics::Circle c =
            ovk_graphics::circleThrough(exactDevice[0], exactDevice[1], exactDevice[2]);
        if (!c.valid) {
            // Collinear points lie on no circle: the arc through them is the line.
            const std::vector<POINT> native = toNative(device);
            return Polyline(fHandle, native.data(), static_cast<int>(native.size()));
        }
        using ovk_graphics::truncated;
        const IRectangle square(truncated(c.cx - c.radius), truncated(c.cy - c.radius),
                                truncated(c.cx + c.radius), truncated(c.cy + c.radius));
        if (isDegenerate(square))
            return drawDegenerate(square);
        const bool ccw =
            ovk_graphics::runsCounterClockwise(c, exactDevice[0], exactDevice[1], exactDevice[2]);
        ArcDirection direction(fHandle, ccw ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE);
        return Arc(fHandle, square.minX(), square.minY(), square.maxX(), square.maxY(),
                   device[0].x(), device[0].y(), device[2].x(), device[2].y());
    };
    const Shape shape{boundsPoints, false, false, "Arc",
                      "IGraphicContext::draw(const IG3PointArc&)"};
    drawShape(const_cast<IG3PointArc&>(arc), shape, drawNative, [&] {
        if (!circle.valid)
            return exact;
        // The arc as points: from the first point's angle through the middle to the last.
        auto angle = [&circle](const Point& p) {
            return std::atan2(circle.cy - p.y, p.x - circle.cx) * 57.29577951;
        };
        const bool ccw = ovk_graphics::runsCounterClockwise(circle, exact[0], exact[1], exact[2]);
        double sweep = ccw ? angle(exact[2]) - angle(exact[0]) : angle(exact[0]) - angle(exact[2]);
        if (sweep < 0.0)
            sweep += 360.0;
        const IRectangle square(
            ovk_graphics::truncated(circle.cx - circle.radius),
            ovk_graphics::truncated(circle.cy - circle.radius),
            ovk_graphics::truncated(circle.cx + circle.radius),
            ovk_graphics::truncated(circle.cy + circle.radius));
        return ovk_graphics::arcPoints(square, angle(exact[0]), sweep, ccw);
    });
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGPie& pie)
{
    drawWedge(pie, true, "Pie", "IGraphicContext::draw(const IGPie&)");
    return *this;
}

IGraphicContext& IGraphicContext::draw(const IGChord& chord)
{
    drawWedge(chord, false, "Chord", "IGraphicContext::draw(const IGChord&)");
    return *this;
}

void IGraphicContext::drawWedge(const IGPie& wedge, bool pie, const char* callName,
                                const char* function)
{
    const IRectangle box = flipped(wedge.enclosingRect());
    const double sweep = wedge.sweepAngle();
    // The native calls run counter-clockwise from the first radial point to the second, so a
    // negative (clockwise) sweep is drawn as the same slice counter-clockwise from its end
    // angle; taken as given it would fill the rest of the ellipse instead. Equal radial points
    // make the native calls draw the whole ellipse: right for a whole turn or more, which
    // would otherwise be cut back to what exceeds a turn, and wrong for no sweep at all, which
    // covers nothing.
    const bool whole = std::fabs(sweep) >= 360.0;
    double start = wedge.startAngle();
    if (sweep < 0.0)
        start += whole ? -360.0 : sweep;
    double end = start + (whole ? 360.0 : std::fabs(sweep));
    ovk_graphics::GraphicScope scope(*this, wedge);
    // Unflipped while collecting or testing, the shape is seen with y upward: its angles run
    // the other way.
    const bool upward = fData->fConversionOn && fData->fState != IGCData::drawing;
    if (upward)
        std::swap(start, end);
    auto drawNative = [this, &box, start, end, pie, upward, sweep, whole]() -> BOOL {
        if (sweep == 0.0)
            return TRUE;
        const IRectangle device = ordered(toDevice(box.minimum()), toDevice(box.maximum()));
        if (isDegenerate(device))
            return drawDegenerate(device);
        const bool down = !upward && mappingMode() == text;
        const IPoint first = ovk_graphics::radialPoint(start, device, down);
        const IPoint second = whole ? first : ovk_graphics::radialPoint(end, device, down);
        ArcDirection direction(fHandle, AD_COUNTERCLOCKWISE);
        return pie ? Pie(fHandle, device.minX(), device.minY(), device.maxX(), device.maxY(),
                         first.x(), first.y(), second.x(), second.y())
                   : Chord(fHandle, device.minX(), device.minY(), device.maxX(), device.maxY(),
                           first.x(), first.y(), second.x(), second.y());
    };
    const Shape shape{ovk_graphics::cornersOf(box), true, false, callName, function};
    drawShape(const_cast<IGPie&>(wedge), shape, drawNative, [&] {
        if (sweep == 0.0)
            return std::vector<Point>();
        std::vector<Point> outline =
            ovk_graphics::arcPoints(box, start, std::fabs(end - start), end >= start);
        if (pie)
            outline.push_back(Point{(box.minX() + static_cast<double>(box.maxX())) / 2.0,
                                    (box.minY() + static_cast<double>(box.maxY())) / 2.0});
        return outline;
    });
}

// On the older platform the native curve calls fail on boxes of two pixels or less, so such
// a shape is drawn as the line across its box.
bool IGraphicContext::isDegenerate(const IRectangle& box) const
{
    return IPlatform::isPlatformVariant() && (box.width() <= 2 || box.height() <= 2);
}

BOOL IGraphicContext::drawDegenerate(const IRectangle& box)
{
    MoveToEx(fHandle, box.minX(), box.minY(), nullptr);
    return LineTo(fHandle, box.maxX(), box.maxY());
}
