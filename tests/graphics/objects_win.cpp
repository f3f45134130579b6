// Graphic objects as values: construction, copies, assignment and equality.
#include <gtest/gtest.h>

#include <cmath>

#include <igarc.hpp>
#include <igline.hpp>
#include <igpylin.hpp>
#include <igrect.hpp>

namespace {

TEST(GraphicsObjects, TransformAndBundleAreCreatedOnFirstUse)
{
    IGLine line(IPoint(0, 0), IPoint(1, 1));
    EXPECT_FALSE(line.hasTransformMatrix());
    EXPECT_TRUE(line.transformMatrix() == ITransformMatrix());
    line.translateBy(IPoint(2, 3));
    EXPECT_TRUE(line.hasTransformMatrix());
    EXPECT_EQ(line.transformMatrix().dx(), 2);
    EXPECT_EQ(line.transformMode(), 1);

    IGraphicBundle bundle;
    bundle.setPenWidth(7);
    IGLine copy(IPoint(0, 0), IPoint(1, 1));
    line.setGraphicBundle(bundle);
    copy = line;
    bundle.setPenWidth(9);
    line.setGraphicBundle(bundle);
    EXPECT_EQ(copy.graphicBundle().penWidth(), 7u);
    EXPECT_FALSE(copy == line);
    line.resetGraphicBundle().resetTransformMatrix();
    copy.resetGraphicBundle().resetTransformMatrix();
    EXPECT_TRUE(copy == line);
}

TEST(GraphicsObjects, GeometryOfThePrimitives)
{
    EXPECT_EQ(IGEllipse(IPoint(10, 10), 5, 3).enclosingRect(), IRectangle(5, 7, 15, 13));
    EXPECT_EQ(IGEllipse(IPoint(10, 10), -5, -3).enclosingRect(), IRectangle(5, 7, 15, 13));

    IGPie pie(IRectangle(0, 0, 10, 10), 30.5, 90.25);
    EXPECT_EQ(pie.startAngle(), 30.5);
    EXPECT_EQ(pie.sweepAngle(), 90.25);
    EXPECT_EQ(pie.setStartAngle(0.00001).startAngle(), 0.0);
    EXPECT_EQ(pie.setStartAngle(-0.00001).startAngle(), 0.0);

    EXPECT_EQ(IGLine(IPoint(1, 1), IPoint(2, 2)).midPoint(), IPoint(1, 1));
    EXPECT_EQ(IGLine(IPoint(-1, -1), IPoint(-2, -2)).midPoint(), IPoint(-1, -1));
    EXPECT_TRUE(std::isinf(IGLine(IPoint(1, 1), IPoint(1, 5)).slope()));
    EXPECT_TRUE(std::isnan(IGLine(IPoint(1, 1), IPoint(1, 1)).slope()));
}

TEST(GraphicsObjects, ArcDirectionIsNeitherComparedNorAssigned)
{
    IGArc counter(IRectangle(0, 0, 10, 10), 0, 90);
    IGArc clockwise(IRectangle(0, 0, 10, 10), 0, 90);
    clockwise.setCounterClockwise(false);
    EXPECT_TRUE(counter == clockwise);
    counter = clockwise;
    EXPECT_TRUE(counter.isCounterClockwise());
    EXPECT_FALSE(IGArc(clockwise).isCounterClockwise());
}

TEST(GraphicsObjects, PolylinePointsAreEdited)
{
    IGPolygon polygon(IPointArray{IPoint(0, 0), IPoint(10, 0)});
    polygon.addPoint(IPoint(10, 10)).insertPoint(0, IPoint(-1, -1)).removePoint(1);
    EXPECT_EQ(polygon.numberOfPoints(), 3u);
    EXPECT_EQ(polygon.point(0), IPoint(-1, -1));
    IGPolygon winding(polygon);
    winding.setWindingFill();
    EXPECT_FALSE(winding == polygon);
    EXPECT_THROW(polygon.setPoint(5, IPoint()), IInvalidParameter);
    polygon.removeAll();
    EXPECT_EQ(polygon.numberOfPoints(), 0u);
}

} // namespace
