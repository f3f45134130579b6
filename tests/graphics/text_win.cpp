// Text graphics: the text as a value (copies, assignment, equality, fonts, clipping rectangle)
// and drawn, bounded, hit-tested and clipped by the context.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include <igrafctx.hpp>
#include <igstring.hpp>

#include <iexcept.hpp>

#include <icoordsy.hpp>
#include <ifont.hpp>
#include <ireslib.hpp>

#include "drawing.hpp"

using graphicstest::kWhite;

namespace {

class TextGraphic : public graphicstest::DrawingTest {
protected:
    // Pixels the text drew (anything not white), inside and outside a rectangle.
    int inkInside(const IRectangle& box) const
    {
        int n = 0;
        for (int y = box.minY(); y < box.maxY(); ++y)
            for (int x = box.minX(); x < box.maxX(); ++x)
                n += fSurface.pixel(x, y) != kWhite;
        return n;
    }
    int ink() const { return 100 * 100 - fSurface.count(kWhite); }
};

TEST(TextGraphicValue, CopiesDropTheClippingRectangleAndAssignmentKeepsIt)
{
    IGString text("Hello", IPoint(1, 2));
    EXPECT_FALSE(text.hasClippingRect());
    EXPECT_EQ(text.clippingRect(), IRectangle(0, 0, 0, 0));
    text.setClippingRect(IRectangle(5, 5, 1, 1));
    EXPECT_EQ(text.clippingRect(), IRectangle(1, 1, 5, 5));

    const IGString copy(text);
    EXPECT_FALSE(copy.hasClippingRect());
    EXPECT_EQ(copy.text(), IString("Hello"));
    EXPECT_EQ(copy.position(), IPoint(1, 2));

    IGString target("Other", IPoint(0, 0));
    target.setClippingRect(IRectangle(0, 0, 9, 9));
    target = IGString("Bye", IPoint(3, 4));
    EXPECT_EQ(target.clippingRect(), IRectangle(0, 0, 9, 9));
    EXPECT_EQ(target.text(), IString("Bye"));
    target.resetClippingRect();
    EXPECT_FALSE(target.hasClippingRect());
}

TEST(TextGraphicValue, EqualityCountsWhetherThereIsAFontButNotWhichOne)
{
    const IGString plain("Text", IPoint(5, 5));
    IGString courier("Text", IPoint(5, 5), IFont("Courier New", 12));
    const IGString times("Text", IPoint(5, 5), IFont("Times New Roman", 20));
    EXPECT_TRUE(courier == times);
    EXPECT_TRUE(courier != plain);
    courier.resetFont();
    EXPECT_TRUE(courier == plain);
    courier.setId(3);
    EXPECT_FALSE(courier == plain);
    EXPECT_FALSE(IGString("Text", IPoint(5, 6)) == plain);
    EXPECT_FALSE(IGString("Texts", IPoint(5, 5)) == plain);

    // Without a font of its own the text answers the desktop's and keeps having none.
    EXPECT_EQ(plain.font().name(), IFont().name());
    EXPECT_FALSE(plain.hasFont());
    EXPECT_EQ(IGString(times).font().pointSize(), times.font().pointSize());
}

TEST(TextGraphicValue, TextFromAMissingResourceFailsAsTheLibraryDoes)
{
    const IResourceLibrary library;
    IGString text("Kept", IPoint());
    EXPECT_THROW(library.loadString(65000), IException);
    EXPECT_THROW(text.setText(IResourceId(65000, library)), IException);
    EXPECT_EQ(text.text(), IString("Kept"));
}

TEST_F(TextGraphic, DrawsInsideItsBoundsInThePenColour)
{
    IGString text("Wide text", IPoint(10, 20));
    const IRectangle box = text.boundingRect(*fContext);
    EXPECT_EQ(box.minimum(), IPoint(10, 20));
    EXPECT_GT(box.width(), 20);
    EXPECT_GT(box.height(), 5);
    EXPECT_LT(IGString("W", IPoint(10, 20)).boundingRect(*fContext).width(), box.width());

    fContext->draw(text);
    EXPECT_GT(ink(), 20);
    EXPECT_EQ(inkInside(box), ink());
    EXPECT_GT(fSurface.count(graphicstest::kRed), 0);

    // A larger font of its own makes a larger box.
    IGString large(text);
    large.setFont(IFont("Arial", 30));
    EXPECT_GT(large.boundingRect(*fContext).height(), box.height());
}

TEST_F(TextGraphic, ClippingRectangleCutsTheText)
{
    IGString text("MMMMMMMM", IPoint(10, 20));
    const IRectangle box = text.boundingRect(*fContext);
    const IRectangle left(box.minX(), box.minY(), box.minX() + box.width() / 2, box.maxY());
    text.setClippingRect(left);
    fContext->draw(text);
    EXPECT_GT(ink(), 0);
    EXPECT_EQ(inkInside(left), ink());
}

TEST_F(TextGraphic, HitWithinItsBox)
{
    IGString text("Hit me", IPoint(20, 40));
    fContext->setHitApertureSize(ISize(2, 2));
    const IRectangle box = text.boundingRect(*fContext);
    EXPECT_TRUE(text.hitTest(*fContext, box.center()));
    EXPECT_FALSE(text.hitTest(*fContext, IPoint(box.maxX() + 10, box.maxY() + 10)));
    // Also when the context only frames its shapes.
    fContext->setDrawOperation(IGraphicBundle::frame);
    EXPECT_TRUE(text.hitTest(*fContext, box.center()));
    text.enableHitTesting(false);
    EXPECT_FALSE(text.hitTest(*fContext, box.center()));
    EXPECT_EQ(ink(), 0);
}

TEST_F(TextGraphic, UpwardCoordinatesPlaceTheTopOfTheTextAtTheFlippedPoint)
{
    IGString text("Up", IPoint(10, 30));
    const unsigned long height = fContext->currentFont().maxCharHeight();
    {
        const ovktest::CoordinateSystem upward(ICoordinateSystem::kOriginLowerLeft);
        fContext->setConversionHeight(100);
    }
    fContext->draw(text);
    // The text stands on y = 30 counted upward: it ends above row 70.
    const int top = 70 - static_cast<int>(height);
    EXPECT_GT(ink(), 0);
    EXPECT_EQ(inkInside(IRectangle(0, top, 100, 70)), ink());
}

} // namespace

namespace {

// Without the device's transform (a context on an old-style metafile, which has no advanced
// graphics mode) a string's own scaling reaches its glyphs through a scaled font: played back,
// text scaled three times in height stands about three times as tall as unscaled text.
TEST_F(TextGraphic, WithoutTheDevicesTransformAStringsScaleMakesItsFontScaled)
{
    const auto inkHeight = [this](double yScale) {
        HDC recorder = CreateMetaFileA(nullptr);
        {
            IGraphicContext context{IPresSpaceHandle(recorder)};
            context.setPenColor(IColor(0, 0, 0));
            IGString text("H", IPoint(10, 5), IFont("Arial", 10));
            if (yScale != 1.0)
                text.scaleBy(1.0, yScale);
            context.draw(text);
        }
        HMETAFILE recorded = CloseMetaFile(recorder);
        fSurface.clear();
        PlayMetaFile(fSurface.dc(), recorded);
        DeleteMetaFile(recorded);
        int top = 100, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (fSurface.pixel(x, y) != kWhite) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    const int plain = inkHeight(1.0);
    ASSERT_GT(plain, 3);
    const int scaled = inkHeight(3.0);
    EXPECT_GE(scaled, 2 * plain + 1) << "plain " << plain;
    EXPECT_LE(scaled, 4 * plain) << "plain " << plain;
}

} // namespace
