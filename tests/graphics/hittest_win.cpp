// Hit tests: outlines within the tolerance by their true distance, interiors of filled shapes,
// disabled hit testing.
#include <windows.h>

#include <gtest/gtest.h>

#include <igarc.hpp>
#include <igline.hpp>
#include <igpylin.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>
#include <itrnsfrm.hpp>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "drawing.hpp"

using graphicstest::DrawingTest;

namespace {

TEST_F(DrawingTest, LinesAreHitNearTheSegmentOnly)
{
    IGLine vertical(IPoint(10, 10), IPoint(10, 90));
    EXPECT_TRUE(vertical.hitTest(*fContext, IPoint(10, 50)));
    EXPECT_TRUE(vertical.hitTest(*fContext, IPoint(14, 50)));
    // On the segment's line but far beyond its end.
    EXPECT_FALSE(vertical.hitTest(*fContext, IPoint(10, 200)));
    EXPECT_FALSE(vertical.hitTest(*fContext, IPoint(30, 50)));

    IGLine point(IPoint(40, 40), IPoint(40, 40));
    EXPECT_TRUE(point.hitTest(*fContext, IPoint(41, 41)));
    EXPECT_FALSE(point.hitTest(*fContext, IPoint(60, 60)));
    // Hit testing draws nothing.
    EXPECT_EQ(fSurface.count(graphicstest::kWhite), 100 * 100);
}

TEST_F(DrawingTest, ClosedShapesAreHitInsideOnlyWhenFilled)
{
    IGRectangle rectangle(IRectangle(20, 20, 80, 80));
    IGEllipse ellipse(IRectangle(20, 20, 80, 80));
    IGPolygon polygon(IPointArray{IPoint(20, 80), IPoint(50, 20), IPoint(80, 80)});
    IGraphic* shapes[] = {&rectangle, &ellipse, &polygon};
    for (IGraphic* shape : shapes) {
        fContext->setDrawOperation(IGraphicBundle::fillAndFrame);
        EXPECT_TRUE(shape->hitTest(*fContext, IPoint(50, 60)));
        EXPECT_FALSE(shape->hitTest(*fContext, IPoint(95, 5)));
        fContext->setDrawOperation(IGraphicBundle::frame);
        EXPECT_FALSE(shape->hitTest(*fContext, IPoint(50, 60)));
        EXPECT_TRUE(shape->hitTest(*fContext, IPoint(50, 80)));
    }
}

TEST_F(DrawingTest, CurvesAreHitAlongTheirOutline)
{
    IGArc arc(IRectangle(10, 10, 90, 90), 0, 180);
    EXPECT_TRUE(arc.hitTest(*fContext, IPoint(50, 11)));
    EXPECT_FALSE(arc.hitTest(*fContext, IPoint(50, 89)));
    IG3PointArc threePoint(IPoint(10, 50), IPoint(50, 10), IPoint(90, 50));
    EXPECT_TRUE(threePoint.hitTest(*fContext, IPoint(50, 10)));
    EXPECT_FALSE(threePoint.hitTest(*fContext, IPoint(50, 90)));
    IGPie pie(IRectangle(10, 10, 90, 90), 0, 90);
    EXPECT_TRUE(pie.hitTest(*fContext, IPoint(65, 35)));
    EXPECT_FALSE(pie.hitTest(*fContext, IPoint(30, 70)));
    // The same slice, swept clockwise from its other end.
    IGPie clockwise(IRectangle(10, 10, 90, 90), 90, -90);
    EXPECT_TRUE(clockwise.hitTest(*fContext, IPoint(65, 35)));
    EXPECT_FALSE(clockwise.hitTest(*fContext, IPoint(30, 70)));
}

TEST_F(DrawingTest, DisabledHitTestingNeverHits)
{
    IGLine line(IPoint(10, 10), IPoint(90, 10));
    line.setHit(true);
    line.enableHitTesting(false);
    EXPECT_FALSE(line.isHit());
    EXPECT_FALSE(line.hitTest(*fContext, IPoint(50, 10)));
}


// The older platform draws without paths: hit tests are geometric, pens are made with
// CreatePen, and the clip region cannot be read.
class GraphicsOlderPlatform : public DrawingTest {
protected:
    IPlatform::Override fVariant{IPlatform::platformVariant, true};
};

TEST_F(GraphicsOlderPlatform, HitTestsAreGeometric)
{
    fContext.reset(new IGraphicContext(IPresSpaceHandle(fSurface.dc())));
    IGLine vertical(IPoint(10, 10), IPoint(10, 90));
    EXPECT_TRUE(vertical.hitTest(*fContext, IPoint(12, 50)));
    EXPECT_FALSE(vertical.hitTest(*fContext, IPoint(10, 200)));
    IGLine point(IPoint(40, 40), IPoint(40, 40));
    EXPECT_TRUE(point.hitTest(*fContext, IPoint(40, 41)));

    IGRectangle rectangle(IRectangle(20, 20, 80, 80));
    rectangle.translateBy(IPoint(100, 0));
    EXPECT_TRUE(rectangle.hitTest(*fContext, IPoint(150, 50)));
    EXPECT_FALSE(rectangle.hitTest(*fContext, IPoint(50, 50)));
    fContext->setDrawOperation(IGraphicBundle::frame);
    EXPECT_FALSE(rectangle.hitTest(*fContext, IPoint(150, 50)));
    EXPECT_TRUE(rectangle.hitTest(*fContext, IPoint(120, 50)));

    fContext->setDrawOperation(IGraphicBundle::fillAndFrame);
    IGPie pie(IRectangle(10, 10, 90, 90), 0, 90);
    EXPECT_TRUE(pie.hitTest(*fContext, IPoint(65, 35)));
    EXPECT_FALSE(pie.hitTest(*fContext, IPoint(35, 65)));
    IGPie clockwise(IRectangle(10, 10, 90, 90), 90, -90);
    EXPECT_TRUE(clockwise.hitTest(*fContext, IPoint(65, 35)));
    EXPECT_FALSE(clockwise.hitTest(*fContext, IPoint(35, 65)));
    IG3PointArc arc(IPoint(10, 50), IPoint(50, 10), IPoint(90, 50));
    EXPECT_TRUE(arc.hitTest(*fContext, IPoint(50, 11)));
    EXPECT_FALSE(arc.hitTest(*fContext, IPoint(50, 89)));
}

TEST_F(GraphicsOlderPlatform, PensAreOnePixelAndTinyCurvesAreLines)
{
    fContext.reset(new IGraphicContext(IPresSpaceHandle(fSurface.dc())));
    fContext->setPenColor(IColor(255, 0, 0)).setPenWidth(5).setPenType(IGraphicBundle::doubleDot);
    LOGPEN pen{};
    ASSERT_GT(GetObjectA(GetCurrentObject(fSurface.dc(), OBJ_PEN), sizeof pen, &pen), 0);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DOT));
    EXPECT_LE(pen.lopnWidth.x, 1);

    fContext->setPenType(IGraphicBundle::solid).setDrawOperation(IGraphicBundle::frame);
    IGEllipse(IRectangle(10, 50, 90, 52)).drawOn(*fContext);
    EXPECT_TRUE(fSurface.around(50, 51, graphicstest::kRed));

    try {
        fContext->clipRegion();
        ADD_FAILURE() << "the clip region was read";
    } catch (const IInvalidRequest& error) {
        EXPECT_EQ(error.errorId(), 73u);
    }
}

// A rounded rectangle or a three-point arc whose box on the device is two pixels or less high
// is the line across that box, as an ellipse is. Scaled by ten and twenty, the boxes are tiny
// in the shapes' own units, and the lines (as wide as the scaled pen) lie far from the curves
// they stand for.
TEST_F(GraphicsOlderPlatform, TinyRoundedRectanglesAndThreePointArcsAreLines)
{
    fContext.reset(new IGraphicContext(IPresSpaceHandle(fSurface.dc())));
    fContext->setPenColor(IColor(255, 0, 0)).setDrawOperation(IGraphicBundle::frame);
    const COLORREF red = graphicstest::kRed;

    fContext->setWorldTransform(ITransformMatrix(10, 0, 0, 10, 0, 0));
    IGRectangle rounded(IRectangle(1, 5, 9, 6));
    rounded.setRounding(ISize(1, 1));
    rounded.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(50, 55), red);  // on the line from (10,50) to (90,60)
    // Off the line, where the rectangle's edges would be.
    EXPECT_NE(fSurface.pixel(80, 47), red);
    EXPECT_NE(fSurface.pixel(20, 63), red);

    fSurface.clear();
    fContext->setWorldTransform(ITransformMatrix(20, 0, 0, 20, 0, 0));
    IG3PointArc arc(IPoint(1, 2), IPoint(2, 3), IPoint(3, 2));  // the circle around (2,2)
    arc.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(40, 40), red);  // on the line from (20,20) to (60,60)
    EXPECT_NE(fSurface.pixel(22, 58), red);  // off it, where the arc would pass
    fContext->setWorldTransform(ITransformMatrix());
}

// The hit aperture, 12 by 20 unless set, against a drawing zoomed by the world transform: half
// its width is how far from an outline a point still hits, in the drawing's own units, so twice
// as many device pixels at a zoom of 2; its height reaches past a filled interior's edge in
// device pixels, whatever the zoom (an aperture 2 wide keeps the outline's own reach short).
TEST_F(DrawingTest, TheHitApertureIsMeasuredAfterTheZoom)
{
    EXPECT_EQ(fContext->hitApertureSize(), ISize(12, 20));
    // How many device pixels beyond from, in steps of step, the graphic is still hit.
    const auto reach = [this](IGraphic& graphic, IPoint from, IPoint step) {
        int d = 0;
        while (d < 40 && graphic.hitTest(*fContext, from + IPoint(step.x() * (d + 1),
                                                                   step.y() * (d + 1))))
            ++d;
        return d;
    };
    for (int zoom : {1, 2}) {
        SCOPED_TRACE(zoom);
        fContext->setWorldTransform(ITransformMatrix(zoom, 0, 0, zoom, 0, 0), 0);
        fContext->setHitApertureSize(ISize(12, 20));
        IGLine line(IPoint(5, 20), IPoint(40, 20));  // at device y 20 * zoom
        EXPECT_EQ(reach(line, IPoint(30 * zoom, 20 * zoom), IPoint(0, 1)), 6 * zoom);
        fContext->setHitApertureSize(ISize(2, 20));
        IGRectangle box(IRectangle(5, 5, 20, 20));  // device y up to 20 * zoom
        box.setGraphicBundle(IGraphicBundle().setDrawOperation(IGraphicBundle::fill));
        EXPECT_EQ(reach(box, IPoint(10 * zoom, 20 * zoom - 1), IPoint(0, 1)), 10);
    }
    fContext->setWorldTransform(ITransformMatrix(), 0);
    fContext->setHitApertureSize(ISize(12, 20));
}

} // namespace
