// Colour reduction: the fixed palettes, error diffusion and halftoning.
#include "imgio.hpp"

#include "detail/ipalettes.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;
using imgtest::rows;

namespace {

uint32_t rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// A 24-bpp model whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
void make24(int width, int height, const std::function<uint32_t(int, int)>& colour, MOD* out)
{
    ASSERT_EQ(ModCreate(width, height, 24, nullptr, out), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            imgtest::setPixel(*out, x, y, colour(x, y));
}

// The rule of the standard colours, written out again as the reference.
int standardByRule(int r, int g, int b)
{
    int best = 0;
    int bestDistance = 0x1E0000;
    for (int i = 0; i < 16; ++i) {
        const unsigned char* c = imgfmt::kStandardColours[i];
        int d = (r - c[0]) * (r - c[0]) + (g - c[1]) * (g - c[1]) + (b - c[2]) * (b - c[2]);
        if (i == 7 || i == 8)
            d *= 8;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

}  // namespace

TEST(ReducePalettes, NearestStandardColourWeighsTheGreysByEight)
{
    EXPECT_EQ(imgfmt::nearestStandardColour(128, 128, 128), 7);
    EXPECT_EQ(imgfmt::nearestStandardColour(204, 204, 204), 8);
    // Nearest to grey 7 by plain distance, but olive wins once the grey's distance counts 8-fold.
    EXPECT_EQ(imgfmt::nearestStandardColour(150, 150, 100), 3);
    // A tie goes to the lower index.
    EXPECT_EQ(imgfmt::nearestStandardColour(64, 0, 0), 0);
}

TEST(ReducePalettes, TheCachedCellsAgreeWithTheRule)
{
    // Every cell's corners and centre, and a spread of other colours.
    for (int r = 0; r < 256; r += (r % 16 == 0 ? 7 : r % 16 == 7 ? 8 : 1))
        for (int g = 0; g < 256; g += (g % 16 == 0 ? 7 : g % 16 == 7 ? 8 : 1))
            for (int b = 0; b < 256; b += (b % 16 == 0 ? 7 : b % 16 == 7 ? 8 : 1))
                ASSERT_EQ(imgfmt::nearestStandardColour(r, g, b), standardByRule(r, g, b))
                    << r << "," << g << "," << b;
    uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1664525u + 1013904223u;
        const int r = state >> 24, g = (state >> 16) & 0xFF, b = (state >> 8) & 0xFF;
        ASSERT_EQ(imgfmt::nearestStandardColour(r, g, b), standardByRule(r, g, b))
            << r << "," << g << "," << b;
    }
}

TEST(ReducePalettes, EachKindWritesItsPalette)
{
    Model source;
    make24(2, 2, [](int, int) { return 0u; }, &source);
    const struct {
        int kind;
        int entry;
        uint32_t colour;
    } cases[] = {
        {0, 0, 0xFFFFFF}, {0, 1, 0},        {1, 7, rgb(128, 128, 128)}, {1, 8, rgb(204, 204, 204)},
        {2, 5, rgb(255, 0, 255)}, {2, 9, 0},  {3, 15, 0xFFFFFF},     {3, 1, rgb(17, 17, 17)},
        {4, 223, 0xFFFFFF}, {4, 32 * 3 + 4 * 2 + 1, rgb(128, 73, 85)}, {4, 224, rgb(128, 128, 128)},
        {5, 215, 0xFFFFFF}, {5, 36 + 12 + 3, rgb(51, 102, 153)}, {5, 216, rgb(128, 128, 128)},
    };
    for (const auto& c : cases) {
        Model out;
        ASSERT_EQ(ModReduceDepth(&source, c.kind, ModModeDiffuse, 0, 0, 0, &out), 0);
        EXPECT_EQ(paletteEntry(out, c.entry), c.colour) << c.kind << " " << c.entry;
    }
}

TEST(ReduceDiffusion, BlackAndWhiteGiveSetAndClearBits)
{
    Model white, black;
    make24(11, 3, [](int, int) { return 0xFFFFFFu; }, &white);
    make24(11, 3, [](int, int) { return 0u; }, &black);
    Model a, b;
    ASSERT_EQ(ModReduceDepth(&white, ModKindBlackWhite, ModModeDiffuse, 0, 0, 0, &a), 0);
    ASSERT_EQ(ModReduceDepth(&black, ModKindBlackWhite, ModModeDiffuse, 0, 0, 0, &b), 0);
    EXPECT_EQ(a.bpp, 1);
    EXPECT_EQ(rows(a), "0 0 0 0 0 0 0 0 0 0 0 | 0 0 0 0 0 0 0 0 0 0 0 | 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(rows(b), "1 1 1 1 1 1 1 1 1 1 1 | 1 1 1 1 1 1 1 1 1 1 1 | 1 1 1 1 1 1 1 1 1 1 1");
}

TEST(ReduceDiffusion, ColoursOfThePaletteComeThroughUnchanged)
{
    // With no error to carry, the random split changes nothing: every kind maps its own colours
    // to their own indices.
    const struct {
        int kind;
        int entries;
        bool grey;
    } kinds[] = {{1, 16, false}, {2, 8, false}, {3, 16, true}, {4, 224, false}, {5, 216, false}};
    for (const auto& k : kinds) {
        Model palette;
        ASSERT_EQ(ModCreate(1, 1, 8, nullptr, &palette), 0);
        Model probe;
        ASSERT_EQ(ModReduceDepth(&palette, k.kind, ModModeDiffuse, 0, 0, 0, &probe), 0);
        Model source;
        make24(k.entries, 2, [&](int x, int) { return paletteEntry(probe, x); }, &source);
        Model out;
        ASSERT_EQ(ModReduceDepth(&source, k.kind, ModModeDiffuse, 0, 0, 0, &out), 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < k.entries; ++x)
                ASSERT_EQ(pixel(out, x, y), uint32_t(x)) << "kind " << k.kind << " at " << x;
    }
}

TEST(ReduceDiffusion, MidGreyBecomesAnEvenMixAndRunsDiffer)
{
    Model grey;
    make24(64, 64, [](int, int) { return rgb(128, 128, 128); }, &grey);
    Model first, second;
    ASSERT_EQ(ModReduceDepth(&grey, ModKindBlackWhite, ModModeDiffuse, 0, 0, 0, &first), 0);
    ASSERT_EQ(ModReduceDepth(&grey, ModKindBlackWhite, ModModeDiffuse, 0, 0, 0, &second), 0);
    int dark = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            dark += static_cast<int>(pixel(first, x, y));
    EXPECT_GT(dark, 64 * 64 * 2 / 5);
    EXPECT_LT(dark, 64 * 64 * 3 / 5);
    // The split of the error is random, reseeded every row.
    EXPECT_NE(std::memcmp(first.data, second.data, static_cast<size_t>(first.dataSize)), 0);
}

TEST(ReduceDiffusion, CubeKindsNeverUseTheGreyTail)
{
    Model noise;
    uint32_t state = 7;
    make24(97, 31, [&](int, int) { return (state = state * 1103515245u + 12345u) >> 8; }, &noise);
    for (int mode : {ModModeDiffuse, ModModeHalftone}) {
        Model cube784, cube666;
        ASSERT_EQ(ModReduceDepth(&noise, ModKindCube784, mode, 0, 0, 0, &cube784), 0);
        ASSERT_EQ(ModReduceDepth(&noise, ModKindCube666, mode, 0, 0, 0, &cube666), 0);
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 97; ++x) {
                ASSERT_LT(pixel(cube784, x, y), 224u) << mode;
                ASSERT_LT(pixel(cube666, x, y), 216u) << mode;
            }
    }
}

TEST(ReduceDiffusion, EveryKindHandlesOnePixelWideAndOddSizes)
{
    // The error row holds a spare pixel: the last pixel's shares must stay inside (ASan watches).
    for (int width : {1, 2, 3, 5})
        for (int kind : {0, 1, 2, 3, 4, 5, 8}) {
            Model source;
            make24(width, 7, [](int x, int y) { return rgb(x * 90, y * 30, 200); }, &source);
            Model out;
            ASSERT_EQ(ModReduceDepth(&source, kind, ModModeDiffuse, 5, 6, 5, &out), 0);
            EXPECT_EQ(out.width, width);
        }
}

TEST(ReduceDiffusion, BitMasksCutEachChannelAndSmallerDepthsAreExpandedFirst)
{
    Model source;
    ASSERT_EQ(imgtest::makePatternModel(13, 5, 8, &source), 0);
    Model out;
    ASSERT_EQ(ModReduceDepth(&source, ModKindBitMasks, ModModeDiffuse, 5, 6, 5, &out), 0);
    ASSERT_EQ(out.bpp, 24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(pixel(out, x, y) & 0x070307, 0u) << x << "," << y;
}

TEST(ReduceConvert, KindsWithoutARoutineAndMismatchedModels)
{
    Model source;
    make24(4, 4, [](int, int) { return 0x123456u; }, &source);
    Model out;
    // Kinds 6 and 7 have no conversion: success with the output's pixels untouched.
    ASSERT_EQ(ModReduceDepth(&source, 6, ModModeDiffuse, 0, 0, 0, &out), 0);
    EXPECT_EQ(out.bpp, 8);
    EXPECT_EQ(rows(out), "0 0 0 0 | 0 0 0 0 | 0 0 0 0 | 0 0 0 0");
    // An output of another size or depth is refused instead of overrun.
    Model small;
    ASSERT_EQ(ModCreate(2, 2, 8, nullptr, &small), 0);
    EXPECT_EQ(ModConvert24(&source, ModKindCube784, ModModeDiffuse, 0, 0, 0, &small), 0);
    Model wrongDepth;
    ASSERT_EQ(ModCreate(4, 4, 4, nullptr, &wrongDepth), 0);
    EXPECT_EQ(ModConvert24(&source, ModKindCube784, ModModeDiffuse, 0, 0, 0, &wrongDepth), 0);
    Model notTrueColour;
    ASSERT_EQ(ModCreate(4, 4, 8, nullptr, &notTrueColour), 0);
    EXPECT_EQ(ModConvert24(&notTrueColour, ModKindCube784, ModModeDiffuse, 0, 0, 0, &small), 0);
}

TEST(ReduceHalftone, MidGreyGivesTheSamePatternInEveryBlock)
{
    Model grey;
    make24(9, 6, [](int, int) { return rgb(128, 128, 128); }, &grey);
    Model out;
    ASSERT_EQ(ModReduceDepth(&grey, ModKindColours8, ModModeHalftone, 0, 0, 0, &out), 0);
    // In block order the first five pixels get nothing and the last four the whole sum.
    EXPECT_EQ(rows(out), "0 0 0 0 0 0 0 0 0 | 0 0 7 0 0 7 0 0 7 | 7 7 7 7 7 7 7 7 7 | "
                         "0 0 0 0 0 0 0 0 0 | 0 0 7 0 0 7 0 0 7 | 7 7 7 7 7 7 7 7 7");
}

TEST(ReduceHalftone, BlocksAtTheEdgesAreNarrowerAndLower)
{
    // 4 x 4 in 3 x 3 blocks: 9 and 3 (one column of three rows), then 3 and 1 in the last row.
    Model grey;
    make24(4, 4, [](int, int) { return rgb(128, 128, 128); }, &grey);
    Model out;
    ASSERT_EQ(ModReduceDepth(&grey, ModKindColours8, ModModeHalftone, 0, 0, 0, &out), 0);
    EXPECT_EQ(rows(out), "0 0 0 0 | 0 0 7 0 | 7 7 7 7 | 0 0 7 0");
}

TEST(ReduceHalftone, WhiteUnderBitMasksKeepsTheTopBitsEverywhere)
{
    Model white;
    make24(5, 3, [](int, int) { return 0xFFFFFFu; }, &white);
    Model out;
    ASSERT_EQ(ModReduceDepth(&white, ModKindBitMasks, ModModeHalftone, 5, 6, 5, &out), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(pixel(out, x, y), rgb(248, 252, 248)) << x << "," << y;
}

TEST(ReduceHalftone, PureColoursMapToThemselves)
{
    const struct {
        int kind;
        uint32_t colour;
        uint32_t index;
    } cases[] = {
        {ModKindStandard16, rgb(255, 0, 0), 9},   {ModKindStandard16, rgb(0, 128, 128), 6},
        {ModKindStandard16, 0xFFFFFF, 15},        {ModKindColours8, rgb(0, 255, 255), 3},
        {ModKindCube784, 0xFFFFFF, 223},          {ModKindCube784, rgb(128, 73, 85), 105},
        {ModKindCube666, rgb(51, 102, 153), 51},  {ModKindCube666, 0, 0},
    };
    for (const auto& c : cases) {
        Model source;
        make24(7, 5, [&](int, int) { return c.colour; }, &source);
        Model out;
        ASSERT_EQ(ModReduceDepth(&source, c.kind, ModModeHalftone, 0, 0, 0, &out), 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(pixel(out, x, y), c.index) << c.kind << " " << std::hex << c.colour;
    }
}

TEST(ReduceHalftone, IsDeterministic)
{
    Model source;
    make24(23, 17, [](int x, int y) { return rgb(x * 11, y * 15, (x ^ y) * 9); }, &source);
    for (int kind : {1, 2, 4, 5, 8}) {
        Model a, b;
        ASSERT_EQ(ModReduceDepth(&source, kind, ModModeHalftone, 5, 6, 5, &a), 0);
        ASSERT_EQ(ModReduceDepth(&source, kind, ModModeHalftone, 5, 6, 5, &b), 0);
        EXPECT_EQ(std::memcmp(a.data, b.data, static_cast<size_t>(a.dataSize)), 0) << kind;
    }
}
