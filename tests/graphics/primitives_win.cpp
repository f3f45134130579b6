// Each primitive's pixels, read back from a memory bitmap: where they must be and where they
// must not be, in frame and in fill mode, with pen widths and transforms.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <igarc.hpp>
#include <igline.hpp>
#include <igpylin.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>

#include <detail/iscoped.hpp>

#include "drawing.hpp"

using graphicstest::DrawingTest;
using graphicstest::kBlue;
using graphicstest::kRed;
using graphicstest::kWhite;
using graphicstest::Surface;

namespace {

struct PixelCase {
    std::string name;
    std::function<std::unique_ptr<IGraphic>()> make;
    IGraphicBundle::DrawOperation operation;
    std::vector<POINT> outline;  // red here (or a neighbour)
    std::vector<POINT> interior; // blue here
    std::vector<POINT> empty;    // white here
};

std::vector<PixelCase> pixelCases()
{
    using G = std::unique_ptr<IGraphic>;
    const IRectangle box(10, 10, 90, 90);
    std::vector<PixelCase> cases;
    cases.push_back({"line", [] { return G(new IGLine(IPoint(10, 10), IPoint(90, 10))); },
                     IGraphicBundle::frame, {{50, 10}}, {}, {{50, 13}, {95, 10}}});
    cases.push_back({"polyline",
                     [] {
                         return G(new IGPolyline(
                             IPointArray{IPoint(10, 10), IPoint(50, 50), IPoint(90, 10)}));
                     },
                     IGraphicBundle::frame, {{30, 30}, {70, 30}}, {}, {{50, 10}, {50, 60}}});
    auto triangle = [] {
        return G(new IGPolygon(IPointArray{IPoint(10, 80), IPoint(50, 10), IPoint(90, 80)}));
    };
    cases.push_back({"polygon frame", triangle, IGraphicBundle::frame, {{50, 80}}, {},
                     {{50, 60}, {50, 90}}});
    cases.push_back({"polygon fill", triangle, IGraphicBundle::fill, {}, {{50, 60}},
                     {{20, 20}, {50, 85}}});
    cases.push_back({"polygon fill and frame", triangle, IGraphicBundle::fillAndFrame,
                     {{50, 80}}, {{50, 60}}, {{20, 20}}});
    auto rectangle = [box] { return G(new IGRectangle(box)); };
    cases.push_back({"rectangle frame", rectangle, IGraphicBundle::frame, {{10, 50}, {50, 10}},
                     {}, {{50, 50}, {5, 50}}});
    cases.push_back({"rectangle fill", rectangle, IGraphicBundle::fill, {}, {{50, 50}, {12, 12}},
                     {{5, 50}, {95, 95}}});
    cases.push_back({"rounded rectangle",
                     [box] {
                         auto r = new IGRectangle(box);
                         r->setRounding(ISize(30, 30));
                         return G(r);
                     },
                     IGraphicBundle::frame, {{50, 10}}, {}, {{11, 11}, {50, 50}}});
    cases.push_back({"rectangle with one rounding 0",
                     [box] {
                         auto r = new IGRectangle(box);
                         r->setRounding(ISize(30, 0));
                         return G(r);
                     },
                     IGraphicBundle::frame, {{10, 10}, {50, 10}}, {}, {{50, 50}}});
    auto ellipse = [box] { return G(new IGEllipse(box)); };
    cases.push_back({"ellipse frame", ellipse, IGraphicBundle::frame, {{50, 10}, {10, 50}}, {},
                     {{50, 50}, {12, 12}}});
    cases.push_back({"ellipse fill", ellipse, IGraphicBundle::fill, {}, {{50, 50}},
                     {{12, 12}, {50, 9}}});
    cases.push_back({"arc counter-clockwise",
                     [box] { return G(new IGArc(box, 0, 180)); }, IGraphicBundle::frame,
                     {{50, 10}}, {}, {{50, 89}, {50, 50}}});
    cases.push_back({"arc clockwise",
                     [box] {
                         auto a = new IGArc(box, 0, 180);
                         a->setCounterClockwise(false);
                         return G(a);
                     },
                     IGraphicBundle::frame, {{50, 89}}, {}, {{50, 10}, {50, 50}}});
    cases.push_back({"three-point arc",
                     [] {
                         return G(new IG3PointArc(IPoint(10, 50), IPoint(50, 10), IPoint(90, 50)));
                     },
                     IGraphicBundle::frame, {{50, 10}, {22, 22}}, {}, {{50, 90}, {50, 50}}});
    cases.push_back({"three-point arc below",
                     [] {
                         return G(new IG3PointArc(IPoint(10, 50), IPoint(50, 90), IPoint(90, 50)));
                     },
                     IGraphicBundle::frame, {{50, 90}}, {}, {{50, 10}}});
    cases.push_back({"collinear three-point arc",
                     [] {
                         return G(new IG3PointArc(IPoint(10, 50), IPoint(50, 50), IPoint(90, 50)));
                     },
                     IGraphicBundle::frame, {{30, 50}, {70, 50}}, {}, {{50, 40}, {50, 60}}});
    cases.push_back({"pie", [box] { return G(new IGPie(box, 0, 90)); }, IGraphicBundle::fill, {},
                     {{65, 35}}, {{35, 65}, {35, 35}, {65, 65}}});
    cases.push_back({"chord", [box] { return G(new IGChord(box, 0, 180)); },
                     IGraphicBundle::fillAndFrame, {{50, 10}}, {{50, 30}}, {{50, 70}}});
    // A negative sweep runs clockwise: the same slice as the positive sweep from the end angle,
    // not the rest of the ellipse.
    cases.push_back({"pie with a negative sweep", [box] { return G(new IGPie(box, 90, -90)); },
                     IGraphicBundle::fill, {}, {{65, 35}}, {{35, 65}, {35, 35}, {65, 65}}});
    cases.push_back({"chord with a negative sweep",
                     [box] { return G(new IGChord(box, 180, -180)); },
                     IGraphicBundle::fillAndFrame, {{50, 10}}, {{50, 30}}, {{50, 70}}});
    // No sweep covers nothing; a whole turn or more is the whole ellipse, whichever way.
    cases.push_back({"pie without a sweep", [box] { return G(new IGPie(box, 30, 0)); },
                     IGraphicBundle::fill, {}, {}, {{50, 50}, {65, 35}, {35, 65}}});
    for (double sweep : {360.0, 450.0, -360.0, -450.0})
        cases.push_back({"pie of " + std::to_string(static_cast<int>(sweep)) + " degrees",
                         [box, sweep] { return G(new IGPie(box, 30, sweep)); },
                         IGraphicBundle::fill, {}, {{50, 50}, {65, 35}, {35, 65}, {20, 50}},
                         {{12, 12}}});
    return cases;
}

class GraphicsPixels : public DrawingTest, public ::testing::WithParamInterface<PixelCase> {};

TEST_P(GraphicsPixels, AreWhereTheyMustBe)
{
    const PixelCase& c = GetParam();
    fContext->setDrawOperation(c.operation);
    std::unique_ptr<IGraphic> graphic = c.make();
    graphic->drawOn(*fContext);
    for (const POINT& p : c.outline)
        EXPECT_TRUE(fSurface.around(p.x, p.y, kRed)) << "outline at " << p.x << "," << p.y;
    for (const POINT& p : c.interior)
        EXPECT_EQ(fSurface.pixel(p.x, p.y), kBlue) << "interior at " << p.x << "," << p.y;
    for (const POINT& p : c.empty)
        EXPECT_EQ(fSurface.pixel(p.x, p.y), kWhite) << "empty at " << p.x << "," << p.y;
    if (c.operation == IGraphicBundle::fill) {
        EXPECT_EQ(fSurface.count(kRed), 0) << "a fill draws no outline";
    }
    if (c.operation == IGraphicBundle::frame) {
        EXPECT_EQ(fSurface.count(kBlue), 0) << "a frame draws no interior";
    }
}

INSTANTIATE_TEST_SUITE_P(Primitives, GraphicsPixels, ::testing::ValuesIn(pixelCases()),
                         [](const ::testing::TestParamInfo<PixelCase>& info) {
                             std::string name;
                             for (char ch : info.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST_F(DrawingTest, PenWidthsZeroAndOneDrawOnePixelAndThreeDrawsThree)
{
    for (unsigned long width : {0ul, 1ul, 3ul}) {
        fSurface.clear();
        fContext->setPenWidth(width);
        IGLine(IPoint(10, 50), IPoint(90, 50)).drawOn(*fContext);
        int column = 0;
        for (int y = 40; y < 60; ++y)
            column += fSurface.pixel(50, y) == kRed;
        EXPECT_EQ(column, width == 3 ? 3 : 1) << "width " << width;
    }
}

TEST_F(DrawingTest, HollowFillPaintsNothing)
{
    fContext->setFillPattern(IGraphicBundle::hollow).setDrawOperation(IGraphicBundle::fill);
    IGRectangle(IRectangle(10, 10, 90, 90)).drawOn(*fContext);
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100);
}

TEST_F(DrawingTest, PatternBitmapsPaintTheirSetPixelsInTheFillColour)
{
    fContext->setDrawOperation(IGraphicBundle::fill).setFillColor(IColor(255, 0, 0));
    // The half pattern alternates fill and background pixels like a chessboard.
    fContext->setFillPattern(IGraphicBundle::bitmapPattern5);
    IGRectangle(IRectangle(0, 0, 40, 40)).drawOn(*fContext);
    const COLORREF a = fSurface.pixel(10, 10);
    const COLORREF b = fSurface.pixel(11, 10);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == kRed && b == kWhite) || (a == kWhite && b == kRed));
    EXPECT_EQ(fSurface.pixel(10, 11), b);
    // The text colour is the pen colour again afterwards.
    EXPECT_EQ(GetTextColor(fSurface.dc()) & 0xFFFFFF, kRed);

    const long patterns[] = {
        IGraphicBundle::bitmapPattern1, IGraphicBundle::bitmapPattern2,
        IGraphicBundle::bitmapPattern3, IGraphicBundle::bitmapPattern4,
        IGraphicBundle::bitmapPattern6, IGraphicBundle::bitmapPattern7,
        IGraphicBundle::bitmapPattern8, IGraphicBundle::bitmapPattern9,
        IGraphicBundle::bitmapPattern10, IGraphicBundle::bitmapPattern11};
    int previous = -1;
    for (long pattern : patterns) {
        fSurface.clear();
        fContext->setFillPattern(pattern);
        IGRectangle(IRectangle(0, 0, 64, 64)).drawOn(*fContext);
        const int painted = fSurface.count(kRed);
        EXPECT_GT(painted, 0) << pattern;
        EXPECT_LT(painted, 64 * 64) << pattern;
        // The first nine run from dense to sparse.
        const bool graded = pattern >= IGraphicBundle::bitmapPattern1 &&
                            pattern <= IGraphicBundle::bitmapPattern9;
        if (graded && previous >= 0) {
            EXPECT_LE(painted, previous) << pattern;
        }
        previous = painted;
    }
    // A wide pen can carry a pattern too.
    EXPECT_NO_THROW(fContext->setPenWidth(4).setPenPattern(IGraphicBundle::bitmapPattern3));
}

TEST_F(DrawingTest, GraphicTransformsMoveTheDrawingAndAreUndoneAfterwards)
{
    IGRectangle square(IRectangle(0, 0, 10, 10));
    square.translateBy(IPoint(40, 40));
    fContext->setDrawOperation(IGraphicBundle::fill);
    square.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(45, 45), kBlue);
    EXPECT_EQ(fSurface.pixel(5, 5), kWhite);
    EXPECT_TRUE(fContext->worldTransform() == ITransformMatrix());

    // A quarter turn about (50, 50) turns a line to the right into one pointing down.
    fSurface.clear();
    IGLine line(IPoint(50, 50), IPoint(90, 50));
    line.rotateBy(90, IPoint(50, 50));
    line.drawOn(*fContext);
    EXPECT_TRUE(fSurface.around(50, 75, kRed));
    EXPECT_EQ(fSurface.pixel(75, 50), kWhite);

    // Mode 0 replaces the context's transform; the default mode combines with it.
    fSurface.clear();
    ITransformMatrix shift;
    shift.translateBy(IPoint(0, 30));
    fContext->setWorldTransform(shift);
    IGLine plain(IPoint(10, 10), IPoint(90, 10));
    plain.drawOn(*fContext);
    EXPECT_TRUE(fSurface.around(50, 40, kRed));
    fSurface.clear();
    plain.setTransformMatrix(ITransformMatrix()).setTransformMode(0);
    plain.drawOn(*fContext);
    EXPECT_TRUE(fSurface.around(50, 10, kRed));
    EXPECT_TRUE(fContext->worldTransform() == shift);
}

TEST_F(DrawingTest, GraphicBundleAppliesOnlyWhileTheGraphicIsDrawn)
{
    IGRectangle square(IRectangle(10, 10, 30, 30));
    IGraphicBundle green;
    green.setFillColor(IColor(0, 255, 0)).setDrawOperation(IGraphicBundle::fill);
    square.setGraphicBundle(green);
    square.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(20, 20), RGB(0, 255, 0));
    EXPECT_TRUE(fContext->fillColor() == IColor(0, 0, 255));
    EXPECT_EQ(fContext->drawOperation(), IGraphicBundle::fillAndFrame);
}

// An outlined or filled IGRectangle(20, 20, 120, 90) covers the pixels of its rectangle, whose
// maximum is exclusive: x 20 to 119 and y 20 to 89, what plain drawing gives with the same pen
// and brush (FillRect for a fill alone, Rectangle in the device context's compatible mode for
// an outline), pixel for pixel, drawn twice over.
TEST(RectanglePixels, OutlineAndFillCoverTheRectangleAsPlainDrawingDoes)
{
    for (IGraphicBundle::DrawOperation operation :
         {IGraphicBundle::fill, IGraphicBundle::frame, IGraphicBundle::fillAndFrame}) {
        SCOPED_TRACE(operation);
        Surface ours(200, 200);
        {
            IGraphicContext context{IPresSpaceHandle(ours.dc())};
            context.setPenColor(IColor(255, 0, 0)).setFillColor(IColor(0, 0, 255));
            context.setDrawOperation(operation);
            IGRectangle rectangle(IRectangle(20, 20, 120, 90));
            rectangle.drawOn(context);
            rectangle.drawOn(context);
        }
        Surface plain(200, 200);
        {
            HDC dc = plain.dc();
            ovk_native::Pen pen(CreatePen(PS_SOLID, 1, kRed));
            ovk_native::Brush brush(CreateSolidBrush(kBlue));
            const RECT area{20, 20, 120, 90};
            if (operation == IGraphicBundle::fill) {
                FillRect(dc, &area, brush.get());
            } else {
                const ovk_native::Selection penSelected(dc, pen.get());
                const ovk_native::Selection brushSelected(
                    dc, operation == IGraphicBundle::frame ? GetStockObject(NULL_BRUSH)
                                                           : brush.get());
                Rectangle(dc, area.left, area.top, area.right, area.bottom);
            }
        }
        int wrong = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (ours.pixel(x, y) != plain.pixel(x, y) && wrong++ == 0)
                    ADD_FAILURE() << "first difference at (" << x << "," << y << ")";
        EXPECT_EQ(wrong, 0);
        EXPECT_NE(ours.pixel(119, 89), kWhite);
        EXPECT_EQ(ours.pixel(120, 50), kWhite);
        EXPECT_EQ(ours.pixel(50, 90), kWhite);
    }
}

// Turned by quarter turns about (70, 55), a rectangle draws nothing outside its boundingRect,
// which is at most a pixel larger than what is drawn; a positive angle turns clockwise on the
// screen, so the corner (20, 20) goes to the top right. Each turn is added to the last.
TEST(RectanglePixels, TurnedItDrawsInsideItsBoundingRect)
{
    for (IGraphicBundle::DrawOperation operation :
         {IGraphicBundle::fill, IGraphicBundle::frame, IGraphicBundle::fillAndFrame}) {
        IGRectangle rectangle(IRectangle(20, 20, 120, 90));
        for (int turns = 1; turns <= 4; ++turns) {
            SCOPED_TRACE(std::to_string(operation) + " turned " + std::to_string(turns * 90));
            rectangle.rotateBy(90, IPoint(70, 55));
            Surface surface(200, 200);
            IGraphicContext context{IPresSpaceHandle(surface.dc())};
            context.setPenColor(IColor(255, 0, 0)).setFillColor(IColor(0, 0, 255));
            context.setDrawOperation(operation);
            rectangle.drawOn(context);
            const IRectangle bounds = rectangle.boundingRect(context);
            int left = 200, top = 200, right = -1, bottom = -1, outside = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 200; ++x)
                    if (surface.pixel(x, y) != kWhite) {
                        left = std::min(left, x), top = std::min(top, y);
                        right = std::max(right, x), bottom = std::max(bottom, y);
                        outside += !bounds.contains(IPoint(x, y));
                    }
            EXPECT_EQ(outside, 0) << bounds.minX() << "," << bounds.minY() << " - "
                                  << bounds.maxX() << "," << bounds.maxY();
            EXPECT_LE(left - bounds.minX(), 1);
            EXPECT_LE(top - bounds.minY(), 1);
            EXPECT_LE(bounds.maxX() - 1 - right, 1);
            EXPECT_LE(bounds.maxY() - 1 - bottom, 1);
            if (turns == 1) {
                // 100 wide and 70 high before the turn, 70 wide and 100 high after it.
                EXPECT_LE(right - left + 1, 71);
                EXPECT_GE(bottom - top + 1, 99);
                EXPECT_NE(surface.pixel(104, 5), kWhite);
            }
        }
    }
}

} // namespace
