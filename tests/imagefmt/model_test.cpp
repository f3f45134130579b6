// The bitmap model: sizes, construction, copying, scaling, reflections and rotations.
#include "imgio.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using imgtest::Model;
using imgtest::pixel;

namespace {

const int kDepths[] = {1, 4, 8, 24};

struct Size {
    int width;
    int height;
};
// Widths around the byte and word boundaries of every depth.
const Size kSizes[] = {{1, 1}, {2, 3}, {7, 5}, {8, 2}, {9, 4}, {33, 3}, {3, 33}};

std::string describe(int bpp, Size s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height) + "x" + std::to_string(bpp);
}

// Whether the bits or nibbles beyond the width in each row's last used byte are 0.
bool paddingBitsClear(const MOD& m)
{
    const int usedBits = m.width * m.bpp;
    if (usedBits % 8 == 0)
        return true;
    const unsigned char mask = static_cast<unsigned char>(0xFF >> (usedBits % 8));
    for (int y = 0; y < m.height; ++y)
        if (m.data[y * ModRowBytes(m.width, m.bpp) + usedBits / 8] & mask)
            return false;
    return true;
}

}  // namespace

TEST(ModelSize, RowBytesArePaddedToFourBytes)
{
    for (int bpp : kDepths)
        EXPECT_EQ(ModRowBytes(1, bpp), 4) << bpp;
    EXPECT_EQ(ModRowBytes(33, 1), 8);
    EXPECT_EQ(ModRowBytes(3, 24), 12);
    EXPECT_EQ(ModRowBytes(9, 4), 8);
}

TEST(ModelSize, OneCheckRefusesBadSizesDepthsAndOversizedData)
{
    EXPECT_EQ(ModCheckSize(1, 1, 1), 0);
    EXPECT_EQ(ModCheckSize(0, 5, 8), ModCodecBadSize);
    EXPECT_EQ(ModCheckSize(5, -1, 8), ModCodecBadSize);
    EXPECT_EQ(ModCheckSize(5, 5, 16), ModCodecUnsupported);
    EXPECT_EQ(ModCheckSize(5, 5, 0), ModCodecUnsupported);
    // Products that would wrap in 32 bits.
    EXPECT_EQ(ModCheckSize(0x7FFFFFFF, 0x7FFFFFFF, 24), ModCodecNoMemory);
    EXPECT_EQ(ModCheckSize(65536, 65536, 8), ModCodecNoMemory);
}

TEST(ModelSize, TheLimitCanBeLoweredAndRestored)
{
    const int64_t old = ModSetDataLimit(1000);
    EXPECT_EQ(ModCheckSize(100, 10, 8), 0);   // exactly 1000 bytes
    EXPECT_EQ(ModCheckSize(100, 11, 8), ModCodecNoMemory);
    ModSetDataLimit(old);
    EXPECT_EQ(ModDataLimit(), old);
}

TEST(ModelCreate, AllocatesClearedDataAndCopiesTheUsedPalette)
{
    unsigned char palette[768];
    for (int i = 0; i < 768; ++i)
        palette[i] = static_cast<unsigned char>(i + 1);
    Model m;
    ASSERT_EQ(ModCreate(5, 3, 4, palette, &m), 0);
    EXPECT_EQ(m.dataSize, 12);
    for (int i = 0; i < m.dataSize; ++i)
        EXPECT_EQ(m.data[i], 0) << i;
    EXPECT_EQ(std::memcmp(m.palette, palette, 48), 0);
    EXPECT_EQ(m.palette[48], 0);  // only 3 << bpp bytes are copied
}

TEST(ModelCreate, RefusesBadSizesWithoutAllocating)
{
    Model m;
    EXPECT_EQ(ModCreate(0, 3, 8, nullptr, &m), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(m.data, nullptr);
    EXPECT_EQ(ModCreate(3, 3, 2, nullptr, &m), ModCodecError + ModCodecUnsupported);
    EXPECT_EQ(ModCreate(70000, 70000, 24, nullptr, &m), ModErrNoMemory);
    EXPECT_EQ(m.data, nullptr);
}

TEST(ModelCopy, CopyOwnsItsDataWhileRecordCopySharesIt)
{
    Model a;
    ASSERT_EQ(imgtest::makePatternModel(9, 4, 8, &a), 0);
    Model b;
    ASSERT_EQ(ModCopy(&a, &b), 0);
    EXPECT_NE(a.data, b.data);
    EXPECT_TRUE(imgtest::samePixels(a, b));
    EXPECT_EQ(std::memcmp(a.palette, b.palette, 768), 0);

    MOD shared;
    ASSERT_EQ(ModCopyRecord(&a, &shared), 0);
    EXPECT_EQ(shared.data, a.data);
    ModFreeData(&b);
    EXPECT_EQ(b.data, nullptr);
    ModFreeData(&b);  // a second free is harmless
}

TEST(ModelCopy, RefusesAModelWithoutData)
{
    MOD empty;
    empty.width = empty.height = 4;
    empty.bpp = 8;
    Model out;
    EXPECT_EQ(ModCopy(&empty, &out), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(ModReflectVertical(&empty, &out), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(ModResize(&empty, 2, 2, &out), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(out.data, nullptr);
}

TEST(ModelExpand, EveryDepthExpandsThroughItsPalette)
{
    for (int bpp : kDepths)
        for (Size s : kSizes) {
            Model m;
            ASSERT_EQ(imgtest::makePatternModel(s.width, s.height, bpp, &m), 0);
            Model wide;
            ASSERT_EQ(ModExpandTo24(&m, &wide), 0);
            ASSERT_EQ(wide.bpp, 24);
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x) {
                    const uint32_t expected =
                        bpp == 24 ? pixel(m, x, y) : imgtest::paletteEntry(m, pixel(m, x, y));
                    ASSERT_EQ(pixel(wide, x, y), expected) << describe(bpp, s) << " " << x << ","
                                                           << y;
                }
        }
}

// Each geometric operation against the pixel mapping it promises.
struct GeometryCase {
    const char* name;
    int (*operation)(const MOD*, MOD*);
    bool swapsSides;
    // Where the output pixel (x, y) comes from in a source of the given size.
    void (*source)(int x, int y, int w, int h, int* sx, int* sy);
};

const GeometryCase kGeometry[] = {
    {"ReflectHorizontal", ModReflectHorizontal, false,
     [](int x, int y, int w, int, int* sx, int* sy) { *sx = w - 1 - x, *sy = y; }},
    {"ReflectVertical", ModReflectVertical, false,
     [](int x, int y, int, int h, int* sx, int* sy) { *sx = x, *sy = h - 1 - y; }},
    {"Rotate180", ModRotate180, false,
     [](int x, int y, int w, int h, int* sx, int* sy) { *sx = w - 1 - x, *sy = h - 1 - y; }},
    {"Transpose", ModTranspose, true,
     [](int x, int y, int, int, int* sx, int* sy) { *sx = y, *sy = x; }},
    // A quarter turn clockwise: the source's top-left corner becomes the output's top-right.
    {"Rotate270", ModRotate270, true,
     [](int x, int y, int w, int, int* sx, int* sy) { *sx = w - 1 - y, *sy = x; }},
    {"Rotate90", ModRotate90, true,
     [](int x, int y, int, int h, int* sx, int* sy) { *sx = y, *sy = h - 1 - x; }},
};

class ModelGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(ModelGeometry, MovesEveryPixelWhereItBelongs)
{
    const GeometryCase& c = GetParam();
    for (int bpp : kDepths)
        for (Size s : kSizes) {
            Model m;
            ASSERT_EQ(imgtest::makePatternModel(s.width, s.height, bpp, &m), 0);
            Model before;
            ASSERT_EQ(ModCopy(&m, &before), 0);
            Model out;
            ASSERT_EQ(c.operation(&m, &out), 0) << describe(bpp, s);
            EXPECT_EQ(out.width, c.swapsSides ? s.height : s.width);
            EXPECT_EQ(out.height, c.swapsSides ? s.width : s.height);
            EXPECT_EQ(std::memcmp(out.palette, m.palette, 768), 0);
            for (int y = 0; y < out.height; ++y)
                for (int x = 0; x < out.width; ++x) {
                    int sx = 0, sy = 0;
                    c.source(x, y, s.width, s.height, &sx, &sy);
                    ASSERT_EQ(pixel(out, x, y), pixel(m, sx, sy))
                        << describe(bpp, s) << " at " << x << "," << y;
                }
            EXPECT_TRUE(paddingBitsClear(out)) << describe(bpp, s);
            EXPECT_EQ(std::memcmp(m.data, before.data, static_cast<size_t>(m.dataSize)), 0)
                << "source changed";
        }
}

INSTANTIATE_TEST_SUITE_P(AllOperations, ModelGeometry, testing::ValuesIn(kGeometry),
                         [](const testing::TestParamInfo<GeometryCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ModelResize, PicksNearestSourcePixelsAtEveryDepth)
{
    const Size targets[] = {{1, 1}, {3, 7}, {13, 2}, {17, 9}, {40, 40}};
    for (int bpp : kDepths)
        for (Size s : kSizes)
            for (Size t : targets) {
                Model m;
                ASSERT_EQ(imgtest::makePatternModel(s.width, s.height, bpp, &m), 0);
                Model out;
                ASSERT_EQ(ModResize(&m, t.width, t.height, &out), 0);
                ASSERT_EQ(out.width, t.width);
                for (int y = 0; y < t.height; ++y)
                    for (int x = 0; x < t.width; ++x)
                        ASSERT_EQ(pixel(out, x, y), pixel(m, x * s.width / t.width,
                                                          y * s.height / t.height))
                            << describe(bpp, s) << " to " << describe(bpp, t) << " at " << x
                            << "," << y;
                EXPECT_TRUE(paddingBitsClear(out)) << describe(bpp, s) << " to "
                                                   << describe(bpp, t);
            }
}

TEST(ModelResize, SameWidthRepeatsOrSkipsWholeRows)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(10, 4, 8, &m), 0);
    Model taller;
    ASSERT_EQ(ModResize(&m, 10, 8, &taller), 0);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(std::memcmp(taller.data + y * 12, m.data + (y / 2) * 12, 10), 0) << y;
    Model shorter;
    ASSERT_EQ(ModResize(&m, 10, 2, &shorter), 0);
    EXPECT_EQ(std::memcmp(shorter.data + 12, m.data + 2 * 12, 10), 0);
}

TEST(ModelResize, RefusesAZeroOrNegativeSize)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(4, 4, 24, &m), 0);
    Model out;
    EXPECT_EQ(ModResize(&m, 0, 4, &out), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(ModResize(&m, 4, -3, &out), ModCodecError + ModCodecBadSize);
    EXPECT_EQ(out.data, nullptr);
}
