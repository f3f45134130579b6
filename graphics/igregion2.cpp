// IGRegion: the builders that turn a shape into a native region. Where the platform has
// paths, the shape is drawn into a path with its own transform, so that the region is exactly
// what drawing would cover; otherwise the native region constructors make it from the
// shape's bounds.
#include "igregion.hpp"

#include <windows.h>

#include <detail/iscoped.hpp>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "detail/igeometry.hpp"
#include "igarc.hpp"
#include "igpylin.hpp"
#include "igrafctx.hpp"
#include "igrect.hpp"

namespace {

[[noreturn]] void throwBuildError(const char* call, const char* function)
{
    IThrow::systemError(call, GetLastError(), IEXCEPTION_LOCATION("igregion", function));
}

bool hasPaths()
{
    return !IPlatform::isPlatformVariant() && !IPlatform::hasLimitedGraphics();
}

// Opens the path and gives the context the shape's own transform. The shape's bundle is not
// applied: pens and brushes do not change the area a path encloses.
void beginPath(IGraphicContext& context, const IGraphic& shape, const char* function)
{
    if (!BeginPath(context.handle()))
        throwBuildError("BeginPath", function);
    if (shape.hasTransformMatrix())
        context.setWorldTransform(shape.transformMatrix(), shape.transformMode());
}

HRGN endPath(IGraphicContext& context, const char* function)
{
    if (!EndPath(context.handle()))
        throwBuildError("EndPath", function);
    return PathToRegion(context.handle());
}

// The shape's bounds without paths: a transformed shape is taken by the rectangle around it.
IRectangle boundsWithoutPaths(IGraphicContext& context, const IGraphic& shape,
                              const IRectangle& box)
{
    return shape.hasTransformMatrix() ? const_cast<IGraphic&>(shape).boundingRect(context) : box;
}

// The angle brought into [0, 360).
double normalized(double degrees)
{
    return degrees < 0.0 ? 360.0 - std::fmod(-degrees, 360.0) : std::fmod(degrees, 360.0);
}

// Without paths: the slice of the box between the rays at the two angles (counter-clockwise
// from the first, y downward), for a pie from the centre, for a chord from the two points
// where the rays leave the ellipse. Intersected with the ellipse, it is the pie or the chord.
// The rays leave the box where the drawn shape's radial points lie, so both ways of building
// agree.
std::vector<POINT> slicePolygon(const IRectangle& box, double start, double end, bool pie)
{
    const double cx = (box.minX() + static_cast<double>(box.maxX())) * 0.5;
    const double cy = (box.minY() + static_cast<double>(box.maxY())) * 0.5;
    const double rx = box.width() * 0.5;
    const double ry = box.height() * 0.5;
    auto onEllipse = [&](const IPoint& edge) {
        const double dx = edge.x() - cx;
        const double dy = edge.y() - cy;
        const double scale = 1.0 / std::sqrt((dx / rx) * (dx / rx) + (dy / ry) * (dy / ry));
        return POINT{ovk_graphics::truncated(std::round(cx + dx * scale)),
                     ovk_graphics::truncated(std::round(cy + dy * scale))};
    };
    const IPoint first = ovk_graphics::radialPoint(start, box, true);
    const IPoint last = ovk_graphics::radialPoint(end, box, true);
    std::vector<POINT> polygon;
    if (pie)
        polygon.push_back(POINT{ovk_graphics::truncated(std::round(cx)),
                                ovk_graphics::truncated(std::round(cy))});
    else
        polygon.push_back(onEllipse(first));
    polygon.push_back(POINT{first.x(), first.y()});
    double span = end - start;
    if (span <= 0.0)
        span += 360.0;
    // The corners at 45, 135, 225 and 315 degrees that the slice passes, in its order.
    const POINT corners[4] = {{box.maxX(), box.minY()}, {box.minX(), box.minY()},
                              {box.minX(), box.maxY()}, {box.maxX(), box.maxY()}};
    std::vector<std::pair<double, POINT>> passed;
    for (int i = 0; i < 4; ++i) {
        const double along = normalized(45.0 + 90.0 * i - start);
        if (along > 0.0 && along < span)
            passed.emplace_back(along, corners[i]);
    }
    std::sort(passed.begin(), passed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& corner : passed)
        polygon.push_back(corner.second);
    polygon.push_back(POINT{last.x(), last.y()});
    if (!pie)
        polygon.push_back(onEllipse(last));
    return polygon;
}

} // namespace

HRGN IGRegion::doRect(IGraphicContext& context, const IGRectangle& shape)
{
    static const char* const function = "IGRegion::doRect(IGraphicContext&, const IGRectangle&)";
    const IRectangle box = shape.enclosingRect();
    if (!hasPaths()) {
        const IRectangle bounds = boundsWithoutPaths(context, shape, box);
        return CreateRectRgn(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY());
    }
    const ISize rounding = shape.rounding();
    const bool rounded = rounding.width() != 0 && rounding.height() != 0;
    beginPath(context, shape, function);
    HDC dc = context.handle();
    if (rounded) {
        if (!RoundRect(dc, box.minX(), box.minY(), box.maxX(), box.maxY(), rounding.width(),
                       rounding.height()))
            throwBuildError("RoundRect", function);
    } else {
        // The four corners as a polygon: Wine's path driver maps only two corners of a
        // rectangle, so a turned rectangle would collapse to a line. In the advanced graphics
        // mode both enclose the same area.
        const std::vector<IPoint> corners = ovk_graphics::cornersOf(box);
        POINT points[4];
        for (int i = 0; i < 4; ++i)
            points[i] = POINT{corners[i].x(), corners[i].y()};
        if (!Polygon(dc, points, 4))
            throwBuildError("Polygon", function);
    }
    return endPath(context, function);
}

HRGN IGRegion::doEllipse(IGraphicContext& context, const IGEllipse& shape)
{
    static const char* const function = "IGRegion::doEllipse(IGraphicContext&, const IGEllipse&)";
    const IRectangle box = shape.enclosingRect();
    if (!hasPaths()) {
        const IRectangle bounds = boundsWithoutPaths(context, shape, box);
        return CreateEllipticRgn(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY());
    }
    beginPath(context, shape, function);
    if (!Ellipse(context.handle(), box.minX(), box.minY(), box.maxX(), box.maxY()))
        throwBuildError("Ellipse", function);
    return endPath(context, function);
}

HRGN IGRegion::doPolygon(IGraphicContext& context, const IGPolygon& shape)
{
    static const char* const function = "IGRegion::doPolygon(IGraphicContext&, const IGPolygon&)";
    const int fillMode = shape.isWindingFill() ? WINDING : ALTERNATE;
    // Counted before a path is opened, so that no path is left open for a polygon of no area.
    const unsigned long count = shape.numberOfPoints();
    if (count < 2)
        return nullptr;
    const bool paths = !IPlatform::hasLimitedGraphics();
    // Without paths the device applies no transform to the points, so they are taken through
    // the polygon's own transform here.
    const ITransformMatrix matrix = shape.transformMatrix();
    std::vector<POINT> points;
    points.reserve(count);
    for (unsigned long i = 0; i < count; ++i) {
        const IPoint p = paths ? shape.point(i) : matrix.transform(shape.point(i));
        points.push_back(POINT{p.x(), p.y()});
    }
    if (!paths) {
        HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(count), fillMode);
        if (!region)
            throwBuildError("CreatePolygonRgn", function);
        return region;
    }
    beginPath(context, shape, function);
    SetPolyFillMode(context.handle(), fillMode);
    if (!Polygon(context.handle(), points.data(), static_cast<int>(count)))
        throwBuildError("Polygon", function);
    return endPath(context, function);
}

HRGN IGRegion::doPie(IGraphicContext& context, const IGPie& shape)
{
    return doWedge(context, shape, true);
}

HRGN IGRegion::doChord(IGraphicContext& context, const IGChord& shape)
{
    return doWedge(context, shape, false);
}

HRGN IGRegion::doWedge(IGraphicContext& context, const IGPie& shape, bool pie)
{
    const char* const function = pie ? "IGRegion::doPie(IGraphicContext&, const IGPie&)"
                                     : "IGRegion::doChord(IGraphicContext&, const IGChord&)";
    const double sweep = shape.sweepAngle();
    if (sweep == 0.0)
        return nullptr;
    // A negative sweep runs clockwise: the same slice as the positive sweep from the end
    // angle. Equal radial points would make the native calls draw the whole ellipse, which is
    // right only for a whole turn.
    double start = normalized(shape.startAngle());
    double end = normalized(start + sweep);
    if (sweep < 0.0)
        std::swap(start, end);
    const bool whole = std::fabs(sweep) >= 360.0;
    const IRectangle box = shape.enclosingRect();
    if (!hasPaths()) {
        const IRectangle bounds = boundsWithoutPaths(context, shape, box);
        ovk_native::Region ellipse(
            CreateEllipticRgn(bounds.minX(), bounds.minY(), bounds.maxX(), bounds.maxY()));
        if (!ellipse)
            throwBuildError("CreateEllipticRgn", function);
        if (whole || bounds.width() == 0 || bounds.height() == 0)
            return ellipse.release();
        const std::vector<POINT> slice = slicePolygon(bounds, start, end, pie);
        const ovk_native::Region polygon(
            CreatePolygonRgn(slice.data(), static_cast<int>(slice.size()), WINDING));
        if (!polygon)
            throwBuildError("CreatePolygonRgn", function);
        if (CombineRgn(ellipse.get(), ellipse.get(), polygon.get(), RGN_AND) == ERROR)
            throwBuildError("CombineRgn", function);
        return ellipse.release();
    }
    beginPath(context, shape, function);
    HDC dc = context.handle();
    if (whole) {
        if (!Ellipse(dc, box.minX(), box.minY(), box.maxX(), box.maxY()))
            throwBuildError("Ellipse", function);
        return endPath(context, function);
    }
    const bool down = context.mappingMode() == IGraphicContext::text;
    const IPoint first = ovk_graphics::radialPoint(start, box, down);
    const IPoint second = ovk_graphics::radialPoint(end, box, down);
    SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    const BOOL done = pie ? Pie(dc, box.minX(), box.minY(), box.maxX(), box.maxY(), first.x(),
                                first.y(), second.x(), second.y())
                          : Chord(dc, box.minX(), box.minY(), box.maxX(), box.maxY(), first.x(),
                                  first.y(), second.x(), second.y());
    if (!done)
        throwBuildError(pie ? "Pie" : "Chord", function);
    return endPath(context, function);
}
