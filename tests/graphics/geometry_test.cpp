// The context's pure geometry: distances for hit tests, the circle of a three-point arc, the
// radial points of arcs and bounding rectangles.
#include <gtest/gtest.h>

#include <cmath>

#include <detail/igeometry.hpp>
#include <itrnsfrm.hpp>

using namespace ovk_graphics;

namespace {

TEST(GraphicsGeometry, DistanceToASegmentIsTheTrueDistance)
{
    struct Case {
        Point p, a, b;
        double distance;
    };
    const Case cases[] = {
        {{0, 20}, {0, 0}, {0, 10}, 10},     // beyond the end of a vertical segment, on its line
        {{5, 5}, {0, 0}, {0, 10}, 5},       // beside a vertical segment
        {{3, 4}, {0, 0}, {0, 0}, 5},        // a segment of zero length is a point
        {{-3, -4}, {0, 0}, {10, 0}, 5},     // before the start
        {{5, 2}, {0, 0}, {10, 0}, 2},       // beside a horizontal one
        {{1, 100}, {0, 0}, {2, 1000}, 0.8}, // a steep one
    };
    for (const Case& c : cases)
        EXPECT_NEAR(distanceToSegment(c.p, c.a, c.b), c.distance, 0.05)
            << c.p.x << "," << c.p.y;
}

TEST(GraphicsGeometry, OutlinesAndInteriors)
{
    const std::vector<Point> dot{{5, 5}};
    EXPECT_TRUE(hitsOutline(dot, {6, 6}, 2, false));
    EXPECT_FALSE(hitsOutline(dot, {9, 9}, 2, false));
    EXPECT_FALSE(hitsOutline({}, {0, 0}, 2, false));

    const std::vector<Point> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_FALSE(hitsOutline(square, {0, 5}, 1, false));
    EXPECT_TRUE(hitsOutline(square, {0, 5}, 1, true));
    EXPECT_TRUE(insidePolygon(square, {5, 5}, false));
    EXPECT_FALSE(insidePolygon(square, {15, 5}, false));

    // A pentagram: its centre is outside by the even-odd rule and inside by the winding rule.
    std::vector<Point> star;
    for (int i = 0; i < 5; ++i) {
        const double a = (90 + i * 144) / 57.29577951;
        star.push_back(Point{50 + 40 * std::cos(a), 50 - 40 * std::sin(a)});
    }
    EXPECT_FALSE(insidePolygon(star, {50, 50}, false));
    EXPECT_TRUE(insidePolygon(star, {50, 50}, true));
}

TEST(GraphicsGeometry, CircleThroughThreePoints)
{
    const Circle circle = circleThrough({0, 10}, {10, 0}, {20, 10});
    ASSERT_TRUE(circle.valid);
    EXPECT_NEAR(circle.cx, 10, 1e-9);
    EXPECT_NEAR(circle.cy, 10, 1e-9);
    EXPECT_NEAR(circle.radius, 10, 1e-9);

    EXPECT_FALSE(circleThrough({0, 0}, {5, 5}, {10, 10}).valid);
    EXPECT_FALSE(circleThrough({0, 0}, {0, 0}, {0, 0}).valid);
    EXPECT_FALSE(circleThrough({0, 0}, {0, 5}, {0, 10}).valid);

    const Circle closed = circleThrough({0, 0}, {10, 0}, {0, 0});
    ASSERT_TRUE(closed.valid);
    EXPECT_EQ(closed.cx, 5);
    EXPECT_EQ(closed.radius, 5);
}

TEST(GraphicsGeometry, ArcDirectionFollowsTheMiddlePoint)
{
    const Circle circle = circleThrough({10, 50}, {50, 10}, {90, 50});
    // Left, over the top, to the right: clockwise on a surface with y downward.
    EXPECT_FALSE(runsCounterClockwise(circle, {10, 50}, {50, 10}, {90, 50}));
    EXPECT_TRUE(runsCounterClockwise(circle, {90, 50}, {50, 10}, {10, 50}));
    EXPECT_TRUE(runsCounterClockwise(circle, {10, 50}, {50, 90}, {90, 50}));
}

TEST(GraphicsGeometry, RadialPointsLieOnTheRayFromTheCentre)
{
    const IRectangle box(0, 0, 100, 100);
    struct Case {
        double angle;
        bool down;
        IPoint point;
    };
    const Case cases[] = {
        {0, true, {100, 50}},   {90, true, {50, 0}},    {180, true, {0, 50}},
        {270, true, {50, 100}}, {-90, true, {50, 100}},
        {450, true, {50, 0}},   {90, false, {50, 100}}, {0, false, {100, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(radialPoint(c.angle, box, c.down), c.point) << c.angle << " " << c.down;
    // The diagonal up to the right (the top corner, within the truncation of tan 45).
    const IPoint diagonal = radialPoint(45, box, true);
    EXPECT_NEAR(diagonal.x(), 100, 1);
    EXPECT_EQ(diagonal.y(), 0);
    // With y upward, 60 degrees lies right of the centre and above it.
    const IPoint up60 = radialPoint(60, box, false);
    EXPECT_GT(up60.x(), 50);
    EXPECT_EQ(up60.y(), 100);
    const IPoint up240 = radialPoint(240, box, false);
    EXPECT_LT(up240.x(), 50);
    EXPECT_EQ(up240.y(), 0);
}

TEST(GraphicsGeometry, BoundsAreWidenedByWidePens)
{
    const std::vector<IPoint> line{IPoint(10, 10), IPoint(20, 10)};
    EXPECT_EQ(boundsOf(line, ITransformMatrix(), 5), IRectangle(5, 5, 25, 15));
    EXPECT_EQ(boundsOf(line, ITransformMatrix(), 1), IRectangle(10, 10, 20, 10));
    ITransformMatrix shift;
    shift.translateBy(IPoint(100, 0));
    EXPECT_EQ(boundsOf(line, shift, 0), IRectangle(110, 10, 120, 10));
    // A width that would carry the rectangle beyond the coordinate range gives no rectangle.
    EXPECT_EQ(boundsOf(line, ITransformMatrix(), 0xFFFFFFFFul), IRectangle());
    EXPECT_EQ(boundsOf({}, ITransformMatrix(), 3), IRectangle());
}

TEST(GraphicsGeometry, CurvesAsPoints)
{
    const IRectangle box(0, 0, 100, 50);
    const std::vector<Point> ellipse = ellipsePoints(box);
    for (const Point& p : ellipse)
        EXPECT_NEAR(std::pow((p.x - 50) / 50, 2) + std::pow((p.y - 25) / 25, 2), 1.0, 1e-9);
    // A quarter counter-clockwise from 0 ends at the top; clockwise at the bottom.
    const std::vector<Point> up = arcPoints(box, 0, 90, true);
    EXPECT_NEAR(up.back().y, 0, 1e-9);
    const std::vector<Point> downward = arcPoints(box, 0, 90, false);
    EXPECT_NEAR(downward.back().y, 50, 1e-9);
    EXPECT_FALSE(arcPoints(box, std::nan(""), std::nan(""), true).empty());
}

} // namespace
