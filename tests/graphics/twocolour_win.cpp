// Two-colour images: files written by other programs, read through the bitmap graphic and drawn
// into a 32-bit DIB, show the pixels that netpbm decodes from them, also after a reflection, a
// turn or a scaling; a monochrome bitmap keeps its colours through the same operations.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <ibmphdl.hpp>
#include <igbitmap.hpp>

#include "codectest.hpp"
#include "drawing.hpp"

namespace {

using graphicstest::DrawingTest;
using graphicstest::kWhite;

constexpr COLORREF kBlack = RGB(0, 0, 0);

// The colour of a reference map at (x, y) from the top left.
COLORREF referenceColour(const codectest::PlainMap& map, int x, int y)
{
    const uint32_t rgb = codectest::plainColour(map, x, y);
    return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class TwoColour : public DrawingTest {
protected:
    // The pixels of the surface at (left, top) that differ from the expected colours; the first
    // difference is reported.
    int mismatches(int left, int top, int width, int height,
                   const std::function<COLORREF(int, int)>& expected, const std::string& what)
    {
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (fSurface.pixel(left + x, top + y) != expected(x, y) && wrong++ == 0)
                    ADD_FAILURE() << what << ": first difference at (" << x << "," << y << "): "
                                  << std::hex << fSurface.pixel(left + x, top + y)
                                  << " instead of " << expected(x, y);
        return wrong;
    }
    // Draws the bitmap at (left, top) on a white surface.
    void drawAt(IGBitmap& bitmap, int left, int top)
    {
        fSurface.clear();
        bitmap.moveTo(IPoint(left, top));
        fContext->draw(bitmap);
    }
};

struct TwoColourFile {
    const char* file;
    const char* reference;  // netpbm's decoding of the file
};

class TwoColourFiles : public TwoColour, public ::testing::WithParamInterface<TwoColourFile> {};

TEST_P(TwoColourFiles, DrawAsNetpbmDecodesThemAlsoReflectedTurnedAndScaled)
{
    const TwoColourFile& c = GetParam();
    const codectest::PlainMap map = codectest::readPlainMap(codectest::dataPath(c.reference));
    ASSERT_GT(map.width, 0) << c.reference;
    const int w = map.width, h = map.height;
    const auto at = [&](int x, int y) { return referenceColour(map, x, y); };

    IGBitmap bitmap{IString(codectest::dataPath(c.file).c_str())};
    ASSERT_EQ(bitmap.size(), ISize(w, h));
    drawAt(bitmap, 10, 20);
    EXPECT_EQ(mismatches(10, 20, w, h, at, "as read"), 0);
    // Every picture has ink: black ink on white shows both.
    EXPECT_GT(fSurface.count(kBlack), 0);

    bitmap.rotateBy180();
    drawAt(bitmap, 10, 20);
    EXPECT_EQ(mismatches(10, 20, w, h, [&](int x, int y) { return at(w - 1 - x, h - 1 - y); },
                         "turned by 180"),
              0);
    bitmap.reflectHorizontally();  // together: reflected vertically
    drawAt(bitmap, 10, 20);
    EXPECT_EQ(mismatches(10, 20, w, h, [&](int x, int y) { return at(x, h - 1 - y); },
                         "reflected"),
              0);
    bitmap.reflectVertically().sizeTo(ISize(2 * w, 2 * h));
    drawAt(bitmap, 5, 5);
    EXPECT_EQ(mismatches(5, 5, 2 * w, 2 * h, [&](int x, int y) { return at(x / 2, y / 2); },
                         "scaled"),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, TwoColourFiles,
    ::testing::Values(TwoColourFile{"bmp/im-p1.bmp", "bmp/im-p1.pbm"},
                      TwoColourFile{"gif/mono.gif", "gif/mono.ppm"},
                      TwoColourFile{"gif/whitefirst.gif", "gif/mono.ppm"},
                      TwoColourFile{"pcx/mono.pcx", "pcx/mono.ppm"},
                      TwoColourFile{"pcx/whitefirst.pcx", "pcx/mono.ppm"},
                      TwoColourFile{"tiff/bilevel.tif", "tiff/bilevel.ppm"},
                      TwoColourFile{"tiff/miniswhite.tif", "tiff/miniswhite.ppm"},
                      TwoColourFile{"ilbm/mono.iff", "ilbm/mono.ppm"},
                      TwoColourFile{"xbm/hi.xbm", "xbm/hi.plain.pbm"},
                      TwoColourFile{"sprite/twocolour.spr", "sprite/twocolour.pbm"},
                      TwoColourFile{"plvn/twocolour.plv", "plvn/twocolour.pbm"}),
    [](const ::testing::TestParamInfo<TwoColourFile>& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// A transparent colour hides the pixels shown in it, whichever palette entry it is: white is
// entry 1 of mono.gif and entry 0 of hi.xbm. The black ones are drawn where netpbm has them.
TEST_F(TwoColour, ATransparentColourHidesThePixelsOfThatColour)
{
    const TwoColourFile files[] = {{"gif/mono.gif", "gif/mono.ppm"},
                                   {"xbm/hi.xbm", "xbm/hi.plain.pbm"}};
    for (const TwoColourFile& c : files) {
        const codectest::PlainMap map = codectest::readPlainMap(codectest::dataPath(c.reference));
        ASSERT_GT(map.width, 0) << c.reference;
        IGBitmap bitmap{IString(codectest::dataPath(c.file).c_str())};
        bitmap.setTransparentColor(IColor(255, 255, 255));
        HBRUSH red = CreateSolidBrush(graphicstest::kRed);
        const RECT all{0, 0, 100, 100};
        FillRect(fSurface.dc(), &all, red);
        DeleteObject(red);
        bitmap.moveTo(IPoint(10, 20));
        fContext->draw(bitmap);
        EXPECT_EQ(mismatches(10, 20, map.width, map.height,
                             [&](int x, int y) {
                                 return referenceColour(map, x, y) == kWhite ? graphicstest::kRed
                                                                             : kBlack;
                             },
                             c.file),
                  0);
    }
}

// A monochrome bitmap the application made, with no model behind it: its 0 bits take the
// context's pen colour and its 1 bits the background colour, before and after the model
// operations, which make a model from the bitmap and a new bitmap from the result.
TEST_F(TwoColour, AMonochromeBitmapKeepsItsColoursThroughTheModelOperations)
{
    // 16 x 3, rows from the top, a set bit is 1.
    const WORD rows[3] = {0x8001, 0xF00F, 0x0FF0};
    WORD bits[3];
    for (int y = 0; y < 3; ++y)
        bits[y] = static_cast<WORD>((rows[y] >> 8) | (rows[y] << 8));  // bytes in order
    HBITMAP mono = CreateBitmap(16, 3, 1, 1, bits);
    ASSERT_NE(mono, nullptr);
    const auto bit = [&](int x, int y) { return (rows[y] >> (15 - x)) & 1; };
    fContext->setPenColor(IColor(0, 0, 255)).setBackgroundColor(IColor(255, 255, 0));
    const COLORREF yellow = RGB(255, 255, 0);
    {
        IGBitmap bitmap{IBitmapHandle(mono)};
        drawAt(bitmap, 10, 10);
        EXPECT_EQ(mismatches(10, 10, 16, 3,
                             [&](int x, int y) { return bit(x, y) ? yellow : graphicstest::kBlue; },
                             "as made"),
                  0);
        bitmap.reflectHorizontally();
        drawAt(bitmap, 10, 10);
        EXPECT_EQ(mismatches(10, 10, 16, 3,
                             [&](int x, int y) {
                                 return bit(15 - x, y) ? yellow : graphicstest::kBlue;
                             },
                             "reflected"),
                  0);
    }
    DeleteObject(mono);
}

} // namespace
