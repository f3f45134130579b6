// The model and the platform's bitmaps: native bitmaps made from models, models read from
// bitmaps, bitmap resources and palettes from colour tables.
#include "imgio.hpp"

#include <imodelw.hpp>

#include <iexcept.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;

namespace {

uint32_t rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// The pixels of a bitmap as 0xRRGGBB, bottom row first, read through a 32-bit device-independent
// view of it.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(width) * height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, height);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// The colour a model shows at (x, y).
uint32_t colourOf(const MOD& m, int x, int y)
{
    const uint32_t v = pixel(m, x, y);
    return m.bpp == 24 ? v : paletteEntry(m, static_cast<int>(v));
}

struct Handles {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    ~Handles()
    {
        if (bitmap)
            DeleteObject(bitmap);
        if (palette)
            DeleteObject(palette);
    }
};

}  // namespace

TEST(NativeBitmap, MadeFromAModelShowsEveryPixelsColour)
{
    for (int bpp : {4, 8, 24}) {
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(13, 7, bpp, &m), 0);
        Handles h;
        ASSERT_EQ(ModMakeHBitmap(&m, &h.bitmap, &h.palette), 0) << bpp;
        EXPECT_EQ(h.palette != nullptr, bpp != 24) << bpp;
        const std::vector<uint32_t> shown = pixelsOf(h.bitmap, 13, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(shown[size_t(y) * 13 + x], colourOf(m, x, y)) << bpp << " " << x << ","
                                                                        << y;
    }
}

// A 1-bpp model becomes a monochrome bitmap, black where the picture has the darker of its two
// colours and white where it has the lighter, so that the bitmap alone shows the picture; the
// colours of its 0 and 1 bits come back, darker first. Red is the lighter of red and blue.
TEST(NativeBitmap, OneBitModelIsBlackWhereDarkerAndHandsBackItsColours)
{
    const struct {
        unsigned char palette[6];
        bool darkerFirst;
    } cases[] = {{{0, 0, 255, 255, 0, 0}, true}, {{255, 0, 0, 0, 0, 255}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.darkerFirst ? "darker first" : "lighter first");
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(9, 3, 1, &m), 0);
        std::memcpy(m.palette, c.palette, sizeof c.palette);
        Handles h;
        unsigned long colour0 = 1, colour1 = 1;
        ASSERT_EQ(ModToHBitmap(&m, ModViewDiffuse, &h.bitmap, &colour0, &colour1, &h.palette), 1);
        EXPECT_EQ(colour0, 0x0000FFul);
        EXPECT_EQ(colour1, 0xFF0000ul);
        // Blue (the darker) shows black, red white.
        const auto shownAs = [&](int x, int y) {
            const bool blue = (pixel(m, x, y) == 0) == c.darkerFirst;
            return blue ? 0u : 0xFFFFFFu;
        };
        const std::vector<uint32_t> shown = pixelsOf(h.bitmap, 9, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(shown[size_t(y) * 9 + x], shownAs(x, y)) << x << "," << y;
        // A monochrome bitmap, so that a context's text and background colours give it the two
        // colours: a bitmap made for the display would stay black and white.
        BITMAP object{};
        ASSERT_NE(GetObjectA(h.bitmap, sizeof object, &object), 0);
        EXPECT_EQ(object.bmPlanes * object.bmBitsPixel, 1);

        // Made back into a model, the bits index black and white as shown.
        Model back;
        ASSERT_EQ(ModCreateFromHBitmap(&back, h.bitmap, nullptr), 0);
        ASSERT_EQ(back.bpp, 1);
        EXPECT_EQ(paletteEntry(back, 0), 0x000000u);
        EXPECT_EQ(paletteEntry(back, 1), 0xFFFFFFu);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(pixel(back, x, y), shownAs(x, y) ? 1u : 0u) << x << "," << y;
    }
}

TEST(NativeBitmap, AnInvalidModelMakesNoBitmap)
{
    MOD empty;
    empty.width = empty.height = 2;
    empty.bpp = 8;
    Handles h;
    EXPECT_EQ(ModMakeHBitmap(&empty, &h.bitmap, &h.palette), ModErrNative);
    EXPECT_EQ(ModToHBitmap(&empty, ModViewDiffuse, &h.bitmap, nullptr, nullptr, &h.palette), 0);
}

TEST(NativeBitmap, ReadingABitmapBackGivesTheSamePixels)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(17, 5, 24, &m), 0);
    Handles h;
    ASSERT_EQ(ModMakeHBitmap(&m, &h.bitmap, &h.palette), 0);
    Model back;
    ASSERT_EQ(ModCreateFromHBitmap(&back, h.bitmap, nullptr), 0);
    ASSERT_EQ(back.width, 17);
    ASSERT_EQ(back.height, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(colourOf(back, x, y), colourOf(m, x, y)) << x << "," << y;
}

TEST(NativeBitmap, ReadingAPaletteBitmapKeepsItsWholeColourTable)
{
    // A 256-colour section: the system writes 256 table entries behind the header it is given.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 6;
    info.header.biHeight = 2;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    const unsigned char indices[16] = {0, 1, 2, 253, 254, 255, 0, 0, 9, 8, 7, 6, 5, 4, 0, 0};
    std::memcpy(bits, indices, sizeof indices);
    GdiFlush();
    Model m;
    ASSERT_EQ(ModCreateFromHBitmap(&m, section, nullptr), 0);
    DeleteObject(section);
    ASSERT_EQ(m.bpp, 8);
    EXPECT_EQ(pixel(m, 3, 0), 253u);
    EXPECT_EQ(pixel(m, 5, 1), 4u);
    EXPECT_EQ(paletteEntry(m, 255), rgb(127, 0, 255));
    EXPECT_EQ(paletteEntry(m, 1), rgb(0, 254, 1));
}

TEST(NativeBitmap, NoBitmapGivesACodeAndNoData)
{
    Model m;
    EXPECT_EQ(ModCreateFromHBitmap(&m, nullptr, nullptr), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(m.data, nullptr);
}

TEST(NativeBitmap, EveryViewOptionMakesABitmap)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(5, 5, 24, &m), 0);
    for (int option : {0, 1, 2, 7}) {
        Handles h;
        ASSERT_EQ(ModToHBitmap(&m, option, &h.bitmap, nullptr, nullptr, &h.palette), 1) << option;
        EXPECT_NE(h.bitmap, nullptr);
    }
}

TEST(NativeResource, PackedBitmapsFindTheirBitsAfterShortTablesMasksAndCoreHeaders)
{
    const struct {
        const char* name;
        int width, height;
        std::vector<uint32_t> pixels;  // bottom row first
        int paletteEntries;            // 0: no palette
    } cases[] = {
        {"CLRUSED4", 4, 2,
         {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 0, 0), rgb(0, 0, 255),
          rgb(0, 0, 255), rgb(0, 255, 0), rgb(255, 0, 0)},
         3},
        {"BITFIELDS16", 2, 2,
         {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 255, 255)}, 0},
        {"CORE8", 3, 2,
         {rgb(0, 255, 0), rgb(1, 254, 7), rgb(2, 253, 14), rgb(200, 55, (7 * 200) & 255),
          rgb(100, 155, (7 * 100) & 255), rgb(255, 0, (7 * 255) & 255)},
         256},
    };
    HMODULE self = GetModuleHandleA(nullptr);
    for (const auto& c : cases) {
        Handles h;
        h.bitmap = ModLoadBitmapResource(self, c.name, &h.palette);
        ASSERT_NE(h.bitmap, nullptr) << c.name;
        const std::vector<uint32_t> shown = pixelsOf(h.bitmap, c.width, c.height);
        for (size_t i = 0; i < shown.size(); ++i) {
            // A 16-bit channel of 5 or 6 bits widens with its low bits zero or repeated.
            const uint32_t mask = std::strcmp(c.name, "BITFIELDS16") == 0 ? 0xF8FCF8 : 0xFFFFFF;
            EXPECT_EQ(shown[i] & mask, c.pixels[i] & mask) << c.name << " pixel " << i;
        }
        if (c.paletteEntries) {
            ASSERT_NE(h.palette, nullptr) << c.name;
            EXPECT_EQ(GetPaletteEntries(h.palette, 0, 0, nullptr), UINT(c.paletteEntries));
        } else {
            EXPECT_EQ(h.palette, nullptr) << c.name;
        }
    }
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    EXPECT_EQ(ModLoadBitmapResource(self, "NO_SUCH_BITMAP", &palette), nullptr);
    EXPECT_EQ(palette, nullptr);
}

TEST(NativePalette, ColourTablesBecomeLogicalPalettes)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biBitCount = 8;
    info.colours[5] = RGBQUAD{10, 20, 30, 0};
    int count = 0;
    HPALETTE palette = createPaletteFromColorTable(&info, 4, &count);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(count, 256);
    PALETTEENTRY entry = {};
    GetPaletteEntries(palette, 5, 1, &entry);
    EXPECT_EQ(entry.peRed, 30);
    EXPECT_EQ(entry.peBlue, 10);
    DeleteObject(palette);

    info.header.biClrUsed = 2;
    palette = createPaletteFromColorTable(&info, 4, &count);
    EXPECT_EQ(count, 2);
    DeleteObject(palette);

    count = -1;
    info.header.biBitCount = 24;
    EXPECT_EQ(createPaletteFromColorTable(&info, 4, &count), nullptr);
    EXPECT_EQ(count, -1);

    struct {
        BITMAPCOREHEADER header;
        RGBTRIPLE colours[16];
    } core = {};
    core.header.bcSize = sizeof(BITMAPCOREHEADER);
    core.header.bcBitCount = 4;
    core.colours[15] = RGBTRIPLE{1, 2, 3};
    palette = createPaletteFromColorTable(&core, 3, &count);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(count, 16);
    GetPaletteEntries(palette, 15, 1, &entry);
    EXPECT_EQ(entry.peRed, 3);
    EXPECT_EQ(entry.peGreen, 2);
    DeleteObject(palette);
}
