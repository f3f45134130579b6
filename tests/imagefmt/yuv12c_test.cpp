// YUV12C: the packing of a group of four pixels, round trips of grey and colour, and the
// header's refusals.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using codectest::appendLE16;
using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;
using imgtest::pixel;

Bytes yuvHeader(unsigned width, unsigned height)
{
    Bytes b = codectest::bytesOf("YUV12C");
    appendLE16(b, 0);
    appendLE16(b, 0);
    appendLE16(b, 0);
    appendLE16(b, width);
    appendLE16(b, height);
    return b;
}

void makeSolid(int width, int height, uint32_t colour, Model* m)
{
    ASSERT_EQ(ModCreate(width, height, 24, nullptr, m), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            imgtest::setPixel(*m, x, y, colour);
}

// A saturated blue group worked out by hand from the conversion and packing rules: U clamps to
// 127 and is stored as 126, V is -24, Y is 28.
TEST(Yuv12c, SaturatedBlueGroupPacksAndUnpacksByTheRules)
{
    Model m;
    makeSolid(4, 1, 0x0000FF, &m);
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatYUV12C, "", &code);
    ASSERT_EQ(code, 0);
    const Bytes expected = yuvHeader(4, 1) + Bytes{0xCE, 0x71, 0xE1, 0x1C, 0x1C, 0xC8};
    EXPECT_EQ(file, expected);
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(file, ModFormatYUV12C, "", &back), 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(pixel(back, x, 0), 0x0107D0u);
}

TEST(Yuv12c, GreyReadsBackWithBitZeroCleared)
{
    Model m;
    ASSERT_EQ(ModCreate(8, 3, 24, nullptr, &m), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint32_t g = uint32_t(x * 31 + y * 7) & 0xFF;
            imgtest::setPixel(m, x, y, g * 0x010101u);
        }
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatYUV12C, "", &code);
    ASSERT_EQ(code, 0);
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(file, ModFormatYUV12C, "", &back), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixel(back, x, y), (pixel(m, x, y) & 0xFEFEFEu)) << x << "," << y;
}

// The format keeps colour at a quarter of the resolution and seven bits: groups of one moderate
// colour come back close to it.
TEST(Yuv12c, ColourGroupsRoundTripClosely)
{
    for (uint32_t colour : {0x804020u, 0x2060A0u, 0x90C040u, 0x606060u, 0xC08080u}) {
        Model m;
    makeSolid(4, 2, colour, &m);
        int code = -1;
        const Bytes file = imgtest::writeToBytes(&m, ModFormatYUV12C, "", &code);
        ASSERT_EQ(code, 0);
        Model back;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatYUV12C, "", &back), 0);
        const uint32_t got = pixel(back, 1, 1);
        for (int shift : {0, 8, 16})
            EXPECT_LE(std::abs(int((got >> shift) & 0xFF) - int((colour >> shift) & 0xFF)), 12)
                << std::hex << colour << " came back as " << got;
    }
}

TEST(Yuv12c, WidthIsStoredInWholeGroups)
{
    Model m;
    makeSolid(10, 2, 0x808080, &m);
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatYUV12C, "xpos=5,ypos=65535", &code);
    ASSERT_EQ(code, 0);
    ASSERT_EQ(file.size(), 16u + 2u * 2u * 6u);
    EXPECT_EQ(file[12], 8);
    EXPECT_EQ(file[8], 5);
    EXPECT_EQ(file[10], 0xFF);
    EXPECT_EQ(file[11], 0xFF);

    // A picture narrower than one group, or a position that the header cannot hold, would give
    // a file that says something else than was asked.
    Model narrow;
    makeSolid(3, 1, 0, &narrow);
    imgtest::writeToBytes(&narrow, ModFormatYUV12C, "", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadSize);
    for (const char* options : {"xpos=70000", "ypos=x", "xpos=-1"}) {
        imgtest::writeToBytes(&m, ModFormatYUV12C, options, &code);
        EXPECT_EQ(code, ModCodecError + ModCodecBadOption) << options;
    }
}

TEST(Yuv12c, MalformedHeadersAreRefused)
{
    const struct {
        const char* name;
        Bytes file;
        int code;
    } cases[] = {
        {"width not whole groups", yuvHeader(10, 1) + Bytes(12, 0), 1000},
        {"width 0", yuvHeader(0, 1), ModCodecBadSize},
        {"height 0", yuvHeader(4, 0), ModCodecBadSize},
        {"wrong signature", codectest::bytesOf("YUV12D") + Bytes(10, 4) + Bytes(6, 0),
         ModCodecBadSignature},
        {"header cut short", codectest::bytesOf("YUV12C"), ModCodecShortRead},
        {"rows cut short", yuvHeader(8, 2) + Bytes(23, 0), ModCodecShortRead},
        {"huge size, few bytes", yuvHeader(65532, 65535) + Bytes(6, 0), ModCodecShortRead},
    };
    for (const auto& c : cases) {
        Model m;
        EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatYUV12C, "", &m), ModCodecError + c.code)
            << c.name;
    }
}

}  // namespace
