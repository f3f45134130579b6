// Region graphics: the set operations as painted pixels, the shapes built with and without
// paths, the region as a value, and the context painting, bounding, hit-testing and clipping
// with it.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include <igarc.hpp>
#include <igpylin.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>
#include <igregion.hpp>
#include <itrnsfrm.hpp>

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <icoordsy.hpp>

#include "drawing.hpp"

using graphicstest::kBlue;
using graphicstest::kRed;
using graphicstest::kWhite;

namespace {

constexpr double kPi = 3.14159265358979;

class RegionGraphic : public graphicstest::DrawingTest {
protected:
    // Paints the region in the pen colour on a clean surface and counts the pixels.
    int paintedPixels(const IGRegion& region)
    {
        fSurface.clear();
        fContext->draw(region);
        return fSurface.count(kRed);
    }
    IGRegion square(int x1, int y1, int x2, int y2)
    {
        return IGRegion(*fContext, IRectangle(x1, y1, x2, y2));
    }
};

// Two overlapping squares: A from (10,10) to (50,50), B from (30,30) to (70,70).
struct SetCase {
    const char* name;
    void (*combineRegion)(IGRegion&, const IGRegion&);
    void (*combineShape)(IGRegion&, const IGRectangle&);
    bool inAOnly;
    bool inBoth;
    bool inBOnly;
    int pixels;
};

const SetCase kSetCases[] = {
    {"and", [](IGRegion& r, const IGRegion& o) { r &= o; },
     [](IGRegion& r, const IGRectangle& o) { r &= o; }, false, true, false, 400},
    {"or", [](IGRegion& r, const IGRegion& o) { r += o; },
     [](IGRegion& r, const IGRectangle& o) { r += o; }, true, true, true, 2800},
    {"diff", [](IGRegion& r, const IGRegion& o) { r -= o; },
     [](IGRegion& r, const IGRectangle& o) { r -= o; }, true, false, false, 1200},
    {"xor", [](IGRegion& r, const IGRegion& o) { r ^= o; },
     [](IGRegion& r, const IGRectangle& o) { r ^= o; }, true, false, true, 2400},
};

TEST_F(RegionGraphic, SetOperationsPaintTheExpectedPixels)
{
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.name);
        IGRegion withRegion = square(10, 10, 50, 50);
        c.combineRegion(withRegion, square(30, 30, 70, 70));
        IGRegion withShape = square(10, 10, 50, 50);
        c.combineShape(withShape, IGRectangle(IRectangle(30, 30, 70, 70)));
        for (const IGRegion* region : {&withRegion, &withShape}) {
            EXPECT_EQ(paintedPixels(*region), c.pixels);
            EXPECT_EQ(fSurface.pixel(20, 20) == kRed, c.inAOnly);
            EXPECT_EQ(fSurface.pixel(40, 40) == kRed, c.inBoth);
            EXPECT_EQ(fSurface.pixel(60, 60) == kRed, c.inBOnly);
            EXPECT_EQ(fSurface.pixel(49, 49) == kRed, c.inBoth);
            EXPECT_EQ(fSurface.pixel(50, 50) == kRed, c.inBOnly);
            EXPECT_EQ(fSurface.pixel(80, 80), kWhite);
        }
    }
}

// Each shape built with paths and from the native region constructors (the older platform):
// both cover the shape's area, and they differ only along its edge.
struct ShapeCase {
    const char* name;
    void (*unite)(IGRegion&);
    double area;
};

const ShapeCase kShapeCases[] = {
    {"ellipse", [](IGRegion& r) { r += IGEllipse(IRectangle(10, 10, 90, 90)); }, kPi * 1600},
    {"pie quarter", [](IGRegion& r) { r += IGPie(IRectangle(10, 10, 90, 90), 0, 90); },
     kPi * 400},
    {"pie three quarters",
     [](IGRegion& r) { r += IGPie(IRectangle(10, 10, 90, 90), 30, 270); }, kPi * 1200},
    {"chord half", [](IGRegion& r) { r += IGChord(IRectangle(10, 10, 90, 90), 0, 180); },
     kPi * 800},
    {"chord small", [](IGRegion& r) { r += IGChord(IRectangle(10, 10, 90, 90), 45, 90); },
     kPi * 400 - 800},
    {"polygon", [](IGRegion& r) {
         r += IGPolygon(IPointArray{IPoint(10, 90), IPoint(50, 10), IPoint(90, 90)});
     }, 3200},
};

TEST_F(RegionGraphic, ShapesCoverTheirAreaWithAndWithoutPaths)
{
    for (const ShapeCase& c : kShapeCases) {
        SCOPED_TRACE(c.name);
        IGRegion withPaths;
        c.unite(withPaths);
        IGRegion withoutPaths;
        {
            IPlatform::Override noPaths(IPlatform::limitedGraphics, true);
            c.unite(withoutPaths);
        }
        const int pathPixels = paintedPixels(withPaths);
        // Rasterised edges: a few per cent of the area, more for the smallest.
        const double slack = c.area * 0.03 + 40;
        EXPECT_NEAR(pathPixels, c.area, slack);
        EXPECT_NEAR(paintedPixels(withoutPaths), c.area, slack);
        IGRegion difference(withPaths);
        difference ^= withoutPaths;
        EXPECT_LT(paintedPixels(difference), slack * 2);
    }
}

TEST_F(RegionGraphic, SlicesLieWhereTheirAnglesPoint)
{
    // Angles count counter-clockwise from three o'clock, so a quarter from 0 is the upper
    // right one on a surface whose y grows downward.
    IGRegion quarter;
    quarter += IGPie(IRectangle(10, 10, 90, 90), 0, 90);
    paintedPixels(quarter);
    EXPECT_EQ(fSurface.pixel(70, 30), kRed);
    EXPECT_EQ(fSurface.pixel(30, 30), kWhite);
    EXPECT_EQ(fSurface.pixel(70, 70), kWhite);

    IGRegion backwards;
    backwards += IGPie(IRectangle(10, 10, 90, 90), 90, -90);
    EXPECT_TRUE(EqualRgn(quarter.handle(), backwards.handle()));
    {
        IPlatform::Override noPaths(IPlatform::limitedGraphics, true);
        IGRegion quarterWithoutPaths;
        quarterWithoutPaths += IGPie(IRectangle(10, 10, 90, 90), 0, 90);
        IGRegion backwardsWithoutPaths;
        backwardsWithoutPaths += IGPie(IRectangle(10, 10, 90, 90), 90, -90);
        EXPECT_TRUE(EqualRgn(quarterWithoutPaths.handle(), backwardsWithoutPaths.handle()));
        paintedPixels(quarterWithoutPaths);
        EXPECT_EQ(fSurface.pixel(70, 30), kRed);
        EXPECT_EQ(fSurface.pixel(30, 30), kWhite);
    }

    IGRegion upperHalf;
    upperHalf += IGChord(IRectangle(10, 10, 90, 90), 0, 180);
    paintedPixels(upperHalf);
    EXPECT_EQ(fSurface.pixel(50, 30), kRed);
    EXPECT_EQ(fSurface.pixel(50, 70), kWhite);
}

TEST_F(RegionGraphic, ShapesWithoutAreaLeaveTheRegionAlone)
{
    IGRegion region = square(10, 10, 50, 50);
    const IGRegion before(region);
    region += IGPolygon(IPointArray{IPoint(20, 20)});
    region -= IGPolygon(IPointArray{});
    region ^= IGPie(IRectangle(10, 10, 90, 90), 45, 0);
    EXPECT_TRUE(EqualRgn(region.handle(), before.handle()));

    region &= IGEllipse(IRectangle(30, 10, 30, 90));
    EXPECT_EQ(paintedPixels(region), 0);
}

TEST_F(RegionGraphic, ShapesBringTheirTransformAndRounding)
{
    IGRectangle diamond(IRectangle(30, 30, 70, 70));
    diamond.rotateBy(45, IPoint(50, 50));
    IGRegion turned;
    turned += diamond;
    paintedPixels(turned);
    EXPECT_EQ(fSurface.pixel(50, 24), kRed);
    EXPECT_EQ(fSurface.pixel(32, 32), kWhite);

    // Square corners unless both rounding values are non-zero.
    IGRectangle halfRounded(IRectangle(10, 10, 50, 50));
    halfRounded.setRounding(ISize(0, 20));
    IGRegion fromShape;
    fromShape += halfRounded;
    EXPECT_TRUE(EqualRgn(fromShape.handle(), square(10, 10, 50, 50).handle()));
    halfRounded.setRounding(ISize(20, 20));
    IGRegion rounded;
    rounded += halfRounded;
    paintedPixels(rounded);
    EXPECT_EQ(fSurface.pixel(10, 10), kWhite);
    EXPECT_EQ(fSurface.pixel(30, 10), kRed);
}

TEST_F(RegionGraphic, RegionIsAValueWithOneHandle)
{
    IGRegion region = square(10, 10, 50, 50);
    const HRGN handle = region.handle();
    IGRegion copy(region);
    copy.moveBy(IPoint(40, 0));
    EXPECT_EQ(paintedPixels(region), 1600);
    EXPECT_EQ(fSurface.pixel(15, 15), kRed);
    paintedPixels(copy);
    EXPECT_EQ(fSurface.pixel(55, 15), kRed);
    EXPECT_EQ(fSurface.pixel(45, 15), kWhite);

    // The graphic transforms do not apply to a region.
    region.rotateBy(30).scaleBy(2, 2).translateBy(IPoint(5, 5));
    region.setTransformMatrix(ITransformMatrix(2, 0, 0, 2, 7, 7));
    EXPECT_FALSE(region.hasTransformMatrix());
    EXPECT_EQ(paintedPixels(region), 1600);

    region = copy;
    EXPECT_EQ(region.handle(), handle);
    EXPECT_TRUE(EqualRgn(region.handle(), copy.handle()));
    region.clear();
    EXPECT_EQ(region.handle(), handle);
    EXPECT_EQ(paintedPixels(region), 0);

    EXPECT_THROW(IGRegion{IRegionHandle()}, IInvalidParameter);
}

TEST_F(RegionGraphic, ContextBoundsHitTestsAndClipsWithARegion)
{
    IGRegion region = square(20, 30, 40, 60);
    EXPECT_EQ(region.boundingRect(*fContext), IRectangle(20, 30, 40, 60));
    fContext->setHitApertureSize(ISize(2, 2));
    EXPECT_TRUE(region.hitTest(*fContext, IPoint(25, 35)));
    EXPECT_FALSE(region.hitTest(*fContext, IPoint(70, 70)));
    EXPECT_EQ(fSurface.count(kWhite), 100 * 100);

    fContext->setClipRegion(region);
    fContext->setPenColor(IColor(0, 0, 255));
    fContext->draw(IGRectangle(IRectangle(0, 0, 100, 100)));
    fContext->clearClipRegion();
    EXPECT_EQ(fSurface.count(kBlue), 20 * 30);
    EXPECT_EQ(fSurface.pixel(30, 40), kBlue);
}

// A region is hit where it is painted: the device point goes through the world transform and
// the mapping mode, as painting does.
TEST_F(RegionGraphic, HitTestsFollowTheWorldTransformAndTheMappingMode)
{
    struct Case {
        const char* name;
        void (*set)(IGraphicContext&);
        IRectangle area;
    } cases[] = {
        {"shifted",
         [](IGraphicContext& c) { c.setWorldTransform(ITransformMatrix(1, 0, 0, 1, 50, 30)); },
         IRectangle(10, 10, 30, 30)},
        {"doubled",
         [](IGraphicContext& c) { c.setWorldTransform(ITransformMatrix(2, 0, 0, 2, 0, 0)); },
         IRectangle(20, 20, 40, 40)},
        // Hundredths of an inch, y growing upward: the area lies below the origin.
        {"inches", [](IGraphicContext& c) { c.setMappingMode(IGraphicContext::lowEnglish); },
         IRectangle(30, -70, 70, -30)},
    };
    fContext->setHitApertureSize(ISize(2, 2));
    for (const Case& c : cases) {
        c.set(*fContext);
        const IGRegion region = square(c.area.minX(), c.area.minY(), c.area.maxX(), c.area.maxY());
        ASSERT_GT(paintedPixels(region), 0) << c.name;
        // The middle of the painted area, and the middle of the area where the region lies
        // in logical units, when that is not painted.
        int left = 100, top = 100, right = -1, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (fSurface.pixel(x, y) == kRed) {
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x), bottom = std::max(bottom, y);
                }
        const IPoint painted((left + right) / 2, (top + bottom) / 2);
        EXPECT_TRUE(IGRegion(region).hitTest(*fContext, painted)) << c.name;
        const IPoint logical = c.area.center();
        if (logical.x() >= 0 && logical.y() >= 0 &&
            fSurface.pixel(logical.x(), logical.y()) == kWhite) {
            EXPECT_FALSE(IGRegion(region).hitTest(*fContext, logical)) << c.name;
        }
        fContext->setWorldTransform(ITransformMatrix());
        fContext->setMappingMode(IGraphicContext::text);
    }
}

TEST_F(RegionGraphic, RegionsAreMirroredForUpwardCoordinates)
{
    // Each row y is painted at height - 1 - y: the box (10,10)-(30,20) lands on rows 80 to 89.
    {
        const ovktest::CoordinateSystem upward(ICoordinateSystem::kOriginLowerLeft);
        fContext->setConversionHeight(100);
    }
    const IGRegion region = square(10, 10, 30, 20);
    EXPECT_EQ(paintedPixels(region), 200);
    EXPECT_EQ(fSurface.pixel(15, 80), kRed);
    EXPECT_EQ(fSurface.pixel(15, 89), kRed);
    EXPECT_EQ(fSurface.pixel(15, 90), kWhite);
    EXPECT_EQ(fSurface.pixel(15, 15), kWhite);
    // Bounds and hit tests work in the region's own coordinates.
    EXPECT_EQ(IGRegion(region).boundingRect(*fContext), IRectangle(10, 10, 30, 20));
}

TEST_F(RegionGraphic, PaintingLeavesTheFillAsItWas)
{
    IGRegion region = square(10, 10, 20, 20);
    fContext->draw(region);
    EXPECT_EQ(fContext->fillColor(), IColor(0, 0, 255));
    fContext->draw(IGRectangle(IRectangle(50, 50, 60, 60)));
    EXPECT_EQ(fSurface.pixel(55, 55), kBlue);
}

} // namespace
