// The graphic context: defaults, attributes and their realisation, borrowed device contexts,
// bundles, clipping and the bounds-collecting state.
#include <windows.h>

#include <gtest/gtest.h>

#include <icoordsy.hpp>
#include <ifont.hpp>
#include <ipainevt.hpp>
#include <ovktest.hpp>

#include <detail/igcdata.hpp>
#include <detail/igregion.hpp>
#include <igbundle.hpp>
#include <igline.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>

#include "drawing.hpp"

using graphicstest::DrawingTest;
using graphicstest::Surface;

namespace {

TEST(GraphicsContext, NewContextStartsFromTheDefaultsAndKeepsTheDeviceRasterOperation)
{
    Surface surface;
    SetROP2(surface.dc(), R2_XORPEN);
    SetBkMode(surface.dc(), OPAQUE);
    SetBkColor(surface.dc(), RGB(10, 20, 30));
    IGraphicContext context{IPresSpaceHandle(surface.dc())};
    EXPECT_EQ(context.penType(), IGraphicBundle::solid);
    EXPECT_EQ(context.penWidth(), 1u);
    EXPECT_TRUE(context.penColor() == IColor(IColor::black));
    EXPECT_TRUE(context.fillColor() == IColor(IColor::black));
    // The background colour, like the raster operation, is the device's own: only the
    // background mix mode and the pattern origin are set from the defaults.
    EXPECT_TRUE(context.backgroundColor() == IColor(10, 20, 30));
    EXPECT_EQ(context.drawOperation(), IGraphicBundle::fillAndFrame);
    EXPECT_EQ(context.penPattern(), -3);
    EXPECT_EQ(context.fillPattern(), -3);
    EXPECT_EQ(context.backgroundMixMode(), IGraphicBundle::transparent);
    EXPECT_EQ(context.patternOrigin(), IPoint(0, 0));
    EXPECT_EQ(context.mixMode(), IGraphicBundle::xorPen);
    EXPECT_EQ(context.penEnding(), IGraphicBundle::flat);
    EXPECT_EQ(context.penJoining(), IGraphicBundle::bevel);
    EXPECT_EQ(context.hitApertureSize(), ISize(12, 20));
    EXPECT_EQ(context.conversionHeight(), 0u);
    EXPECT_FALSE(ICoordinateSystem::isConversionNeeded());
}

TEST(GraphicsContext, BorrowedContextPutsBackThePenAndBrushItFound)
{
    Surface surface;
    const HGDIOBJ pen = GetCurrentObject(surface.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    HGDIOBJ createdPen = nullptr;
    HGDIOBJ createdBrush = nullptr;
    {
        IGraphicContext context{IPresSpaceHandle(surface.dc())};
        context.setPenColor(IColor(IColor::red)).setPenWidth(3).setFillColor(IColor::green);
        createdPen = GetCurrentObject(surface.dc(), OBJ_PEN);
        createdBrush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
        EXPECT_NE(createdPen, pen);
        EXPECT_NE(createdBrush, brush);
    }
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetObjectType(createdPen), 0u);
    EXPECT_EQ(GetObjectType(createdBrush), 0u);
    EXPECT_NE(GetObjectType(surface.dc()), 0u);
}

TEST_F(DrawingTest, BundleCreatesItsPenOnceWhereSettersCreateOneEach)
{
    IGraphicBundle bundle;
    bundle.setPenColor(IColor::green)
        .setPenWidth(2)
        .setPenType(IGraphicBundle::dash)
        .setPenEnding(IGraphicBundle::rounded)
        .setPenJoining(IGraphicBundle::miter);
    unsigned long before = ovk_graphics::createdPenCount();
    fContext->setGraphicBundle(bundle);
    EXPECT_EQ(ovk_graphics::createdPenCount() - before, 1u);
    fContext->setGraphicBundle(bundle);
    EXPECT_EQ(ovk_graphics::createdPenCount() - before, 2u);

    before = ovk_graphics::createdPenCount();
    fContext->setPenColor(IColor::green)
        .setPenWidth(2)
        .setPenType(IGraphicBundle::dash)
        .setPenEnding(IGraphicBundle::rounded)
        .setPenJoining(IGraphicBundle::miter);
    EXPECT_EQ(ovk_graphics::createdPenCount() - before, 5u);

    // An empty bundle changes nothing but still realises pen and brush once.
    const IGraphicBundle attributes = fContext->graphicBundle();
    before = ovk_graphics::createdPenCount();
    fContext->setGraphicBundle(IGraphicBundle());
    EXPECT_EQ(ovk_graphics::createdPenCount() - before, 1u);
    EXPECT_TRUE(fContext->graphicBundle() == attributes);
}

TEST(GraphicsBundle, EqualityAndTransferBetweenContexts)
{
    EXPECT_TRUE(IGraphicBundle() == IGraphicBundle());
    Surface first, second;
    IGraphicContext a{IPresSpaceHandle(first.dc())};
    EXPECT_FALSE(IGraphicBundle(a) == IGraphicBundle());
    EXPECT_EQ(IGraphicBundle(a).setAttributes(), 0x1FFFu);

    IGraphicBundle named, rgb;
    named.setPenColor(IColor::red);
    rgb.setPenColor(IColor(255, 0, 0));
    EXPECT_TRUE(named == rgb);

    a.setPenColor(IColor::cyan)
        .setFillColor(IColor::pink)
        .setBackgroundColor(IColor::yellow)
        .setDrawOperation(IGraphicBundle::frame)
        .setMixMode(IGraphicBundle::notXorPen)
        .setBackgroundMixMode(IGraphicBundle::opaque)
        .setPenType(IGraphicBundle::dashDot)
        .setPenEnding(IGraphicBundle::square)
        .setPenJoining(IGraphicBundle::round)
        .setPenWidth(4)
        .setPenPattern(IGraphicBundle::cross)
        .setFillPattern(IGraphicBundle::vertical)
        .setPatternOrigin(IPoint(3, 5));
    IGraphicContext b{IPresSpaceHandle(second.dc())};
    b.setGraphicBundle(a.graphicBundle());
    EXPECT_TRUE(b.graphicBundle() == a.graphicBundle());
}

TEST(GraphicsContext, PenStylesThatTheSystemWouldRefuseAreMadeSound)
{
    Surface surface;
    IGraphicContext context{IPresSpaceHandle(surface.dc())};
    // Width 0 with the user-styled type would make a style array of zeros.
    for (unsigned long width : {0ul, 1ul, 2ul, 3ul}) {
        for (int type = IGraphicBundle::solid; type <= IGraphicBundle::invisible; ++type) {
            EXPECT_NO_THROW(context.setPenWidth(width).setPenType(
                static_cast<IGraphicBundle::PenType>(type)))
                << width << " " << type;
        }
    }
    // Type 4 at width 3 is a user style of 3, 3, 3, 6.
    context.setPenWidth(3).setPenType(IGraphicBundle::doubleDot);
    char buffer[sizeof(EXTLOGPEN) + 4 * sizeof(DWORD)] = {};
    HGDIOBJ pen = GetCurrentObject(surface.dc(), OBJ_PEN);
    ASSERT_GT(GetObjectA(pen, sizeof buffer, buffer), 0);
    const EXTLOGPEN& logical = *reinterpret_cast<const EXTLOGPEN*>(buffer);
    EXPECT_EQ(logical.elpPenStyle & PS_STYLE_MASK, static_cast<DWORD>(PS_USERSTYLE));
    EXPECT_EQ(logical.elpPenStyle & PS_TYPE_MASK, static_cast<DWORD>(PS_GEOMETRIC));
    ASSERT_EQ(logical.elpNumEntries, 4u);
    EXPECT_EQ(logical.elpStyleEntry[0], 3u);
    EXPECT_EQ(logical.elpStyleEntry[3], 6u);
}

TEST(GraphicsContext, ModesMapToTheSystemAndBack)
{
    Surface surface;
    IGraphicContext context{IPresSpaceHandle(surface.dc())};
    context.setBackgroundMixMode(static_cast<IGraphicBundle::BackgroundMixMode>(2));
    EXPECT_EQ(GetBkMode(surface.dc()), TRANSPARENT);
    EXPECT_EQ(context.backgroundMixMode(), IGraphicBundle::transparent);
    context.setBackgroundMixMode(IGraphicBundle::opaque);
    EXPECT_EQ(context.backgroundMixMode(), IGraphicBundle::opaque);

    for (int mode = IGraphicBundle::mergePen; mode <= IGraphicBundle::white; ++mode) {
        context.setMixMode(static_cast<IGraphicBundle::MixMode>(mode));
        EXPECT_EQ(context.mixMode(), mode);
    }
    context.setMappingMode(IGraphicContext::lowEnglish);
    EXPECT_EQ(context.mappingMode(), IGraphicContext::lowEnglish);
    SetMapMode(surface.dc(), MM_ANISOTROPIC);
    EXPECT_EQ(context.mappingMode(), IGraphicContext::text);
    SetMapMode(surface.dc(), MM_TEXT);

    context.setBackgroundColor(IColor::yellow);
    EXPECT_EQ(GetBkColor(surface.dc()) & 0xFFFFFF, RGB(255, 255, 0));
    EXPECT_TRUE(context.backgroundColor() == IColor(IColor::yellow));
}

TEST(GraphicsContext, ClipRegionBelongsToTheCaller)
{
    Surface surface;
    IGraphicContext context{IPresSpaceHandle(surface.dc())};
    EXPECT_FALSE(context.clipRegion().isValid());
    HRGN region = CreateRectRgn(10, 10, 20, 20);
    context.setClipRegion(region);
    DeleteObject(region);
    const IRegionHandle clip = context.clipRegion();
    ASSERT_TRUE(clip.isValid());
    RECT box{};
    GetRgnBox(clip, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 20);
    DeleteObject(clip);
    context.clearClipRegion();
    EXPECT_FALSE(context.clipRegion().isValid());
}

TEST(GraphicsContext, CurrentFontStaysSelectedUntilReset)
{
    Surface surface;
    const HGDIOBJ original = GetCurrentObject(surface.dc(), OBJ_FONT);
    {
        IGraphicContext context{IPresSpaceHandle(surface.dc())};
        IFont font("Tahoma", 12);
        font.setBold();
        context.setCurrentFont(font);
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), context.currentFont().handle());
        EXPECT_TRUE(context.currentFont().isBold());
        context.setCurrentFont(IFont("Tahoma", 20));
        EXPECT_EQ(context.currentFont().pointSize(), 20u);
        context.resetCurrentFont();
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), original);
        context.setCurrentFont(font);
    }
    // The destructor ends the font's use on the device context.
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), original);
}

TEST(GraphicsContext, CurrentPositionIsReadWithoutMovingIt)
{
    Surface surface;
    IGraphicContext context{IPresSpaceHandle(surface.dc())};
    context.setCurrentDrawingPosition(IPoint(7, 9));
    EXPECT_EQ(context.currentDrawingPosition(), IPoint(7, 9));
    EXPECT_EQ(context.currentDrawingPosition(), IPoint(7, 9));
}

TEST(GraphicsContext, OffScreenAndMemoryContextsDraw)
{
    IGraphicContext offScreen(ISize(20, 20));
    offScreen.setPenColor(IColor::red);
    IGLine(IPoint(0, 5), IPoint(19, 5)).drawOn(offScreen);
    EXPECT_EQ(GetPixel(offScreen.handle(), 10, 5), RGB(255, 0, 0));
    IGraphicContext memory;
    EXPECT_TRUE(memory.handle().isValid());
}

TEST_F(DrawingTest, BoundsOfAWideLineAreWidenedByThePenWidth)
{
    IGLine line(IPoint(10, 10), IPoint(20, 10));
    IGraphicBundle wide;
    wide.setPenWidth(5);
    line.setGraphicBundle(wide);
    EXPECT_EQ(line.boundingRect(*fContext), IRectangle(5, 5, 25, 15));
    EXPECT_EQ(fSurface.count(graphicstest::kWhite), 100 * 100);
    // The context's own width is back after the graphic.
    EXPECT_EQ(fContext->penWidth(), 1u);
}

TEST_F(DrawingTest, AnAllZeroRectangleLeavesTheCollectionEmpty)
{
    fContext->startBoundsCollection();
    fContext->addToBounds(IRectangle());
    fContext->addToBounds(IRectangle(30, 30, 40, 40));
    fContext->addToBounds(IRectangle(10, 35, 20, 50));
    EXPECT_EQ(fContext->endBoundsCollection(), IRectangle(10, 30, 40, 50));
}

TEST_F(DrawingTest, BottomUpCoordinatesFlipDrawingButNotBounds)
{
    {
        const ovktest::CoordinateSystem upward(ICoordinateSystem::kOriginLowerLeft);
        fContext->setConversionHeight(100);
    }
    IGLine line(IPoint(0, 10), IPoint(50, 10));
    line.drawOn(*fContext);
    EXPECT_EQ(fSurface.pixel(25, 90), graphicstest::kRed);
    EXPECT_NE(fSurface.pixel(25, 10), graphicstest::kRed);
    EXPECT_EQ(line.boundingRect(*fContext), IRectangle(0, 10, 50, 10));
}


TEST(GraphicsRegion, BottomUpMirrorKeepsTheShapeAlsoAwayFromTheOrigin)
{
    // An L shape whose box starts at y = 20: rows 20-29 are wide, rows 30-59 narrow.
    HRGN wide = CreateRectRgn(10, 20, 50, 30);
    HRGN narrow = CreateRectRgn(10, 30, 20, 60);
    CombineRgn(wide, wide, narrow, RGN_OR);
    HRGN mirrored = ovk_graphics::mirroredRegion(wide, 100);
    ASSERT_NE(mirrored, nullptr);
    RECT box{};
    GetRgnBox(mirrored, &box);
    EXPECT_EQ(box.top, 40);
    EXPECT_EQ(box.bottom, 80);
    // The wide rows are now at the bottom of the box.
    EXPECT_TRUE(PtInRegion(mirrored, 40, 75));
    EXPECT_FALSE(PtInRegion(mirrored, 40, 45));
    EXPECT_TRUE(PtInRegion(mirrored, 15, 45));
    DeleteObject(mirrored);
    DeleteObject(narrow);
    DeleteObject(wide);
}


TEST(GraphicsContext, PaintEventContextDrawsIntoTheEventsDeviceContext)
{
    ovktest::TestWindow window;
    Surface surface;
    IPaintEvent paint(IEvent(IWindowHandle(window.hwnd()), WM_PAINT, 0, 0));
    paint.setPresSpaceHandle(IPresSpaceHandle(surface.dc()), false);
    {
        IGraphicContext context(paint);
        EXPECT_EQ(context.handle(), IPresSpaceHandle(surface.dc()));
        context.setPenColor(IColor(255, 0, 0));
        IGLine(IPoint(0, 5), IPoint(50, 5)).drawOn(context);
    }
    EXPECT_EQ(surface.pixel(20, 5), graphicstest::kRed);
    // The event's device context stays open for the event to release.
    EXPECT_NE(GetObjectType(surface.dc()), 0u);
}

} // namespace
