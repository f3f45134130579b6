// Targa: round trips at 8 and 24 bits in every pixel size and row order the writer offers,
// files written by ImageMagick (raw, run-length, grey, colour-mapped, with alpha), run-length
// packets across rows, and malformed headers.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;

struct Trip {
    int bpp;
    const char* options;
};

class TargaRoundTrip : public ::testing::TestWithParam<Trip> {};

TEST_P(TargaRoundTrip, ReadsBackWhatItWrote)
{
    const Trip t = GetParam();
    Model source, back;
    ASSERT_EQ(codectest::roundTrip(ModFormatTarga, 13, 7, t.bpp, t.options, &source, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
    if (t.bpp == 8) {
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(imgtest::paletteEntry(back, i), imgtest::paletteEntry(source, i)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, TargaRoundTrip,
                         ::testing::Values(Trip{8, ""}, Trip{8, "ydown"}, Trip{24, ""},
                                           Trip{24, "24 yup"}, Trip{24, "32"},
                                           Trip{24, "32,ydown"}));

TEST(Targa, SixteenBitsKeepTheTopFiveBitsOfEachComponent)
{
    Model source, back;
    ASSERT_EQ(codectest::roundTrip(ModFormatTarga, 13, 7, 24, "16", &source, &back), 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(imgtest::pixel(back, x, y), imgtest::pixel(source, x, y) & 0xF8F8F8u)
                << x << "," << y;
}

TEST(Targa, WordSevenFffReadsAsGrey248AndWritesBackTheSame)
{
    Bytes h(18, 0);
    h[2] = 2;
    h[12] = 1;
    h[14] = 1;
    h[16] = 16;
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(h + Bytes{0xFF, 0x7F}, ModFormatTarga, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 0xF8F8F8u);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(&m, ModFormatTarga, "16", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(Bytes(f.end() - 2, f.end()), (Bytes{0xFF, 0x7F}));
}

struct Reference {
    const char* file;
    const char* expected;
    int bpp;
};

class TargaReference : public ::testing::TestWithParam<Reference> {};

TEST_P(TargaReference, ReadsAsImageMagickDecodesIt)
{
    const Reference r = GetParam();
    Model m;
    ASSERT_EQ(codectest::readFixture(r.file, ModFormatTarga, &m), 0);
    EXPECT_EQ(m.bpp, r.bpp);
    EXPECT_TRUE(codectest::matchesPlainMap(m, r.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TargaReference,
    ::testing::Values(Reference{"targa/rgb24.tga", "targa/rgb.ppm", 24},
                      Reference{"targa/rgb24-rle.tga", "targa/rgb.ppm", 24},
                      Reference{"targa/rgba32-rle.tga", "targa/rgba32-rle.ppm", 24},
                      Reference{"targa/grey.tga", "targa/grey.ppm", 8},
                      Reference{"targa/palette-rle.tga", "targa/palette-rle.ppm", 8}));

Bytes header(int type, int bits, int width, int height, int descriptor = 0, int mapType = 0,
             int mapCount = 0, int mapBits = 0, int idLength = 0)
{
    Bytes h(18, 0);
    h[0] = static_cast<unsigned char>(idLength);
    h[1] = static_cast<unsigned char>(mapType);
    h[2] = static_cast<unsigned char>(type);
    imgfmt::putLE16(&h[5], static_cast<unsigned>(mapCount));
    h[7] = static_cast<unsigned char>(mapBits);
    imgfmt::putLE16(&h[12], static_cast<unsigned>(width));
    imgfmt::putLE16(&h[14], static_cast<unsigned>(height));
    h[16] = static_cast<unsigned char>(bits);
    h[17] = static_cast<unsigned char>(descriptor);
    return h;
}

// Every pixel size: a run of five pixels crosses from the first file row into the second, and a
// literal packet finishes it; with bit 0x20 the first file row is the top row.
TEST(Targa, RunLengthPacketsCrossRowsInBothRowOrders)
{
    for (int bits : {8, 16, 24, 32})
        for (int descriptor : {0, 0x20}) {
            const int n = bits / 8;
            Bytes f = header(bits == 8 ? 11 : 10, bits, 3, 2, descriptor) + Bytes{0x84};
            f.insert(f.end(), static_cast<size_t>(n), 0x10);
            f.push_back(0x00);
            f.insert(f.end(), static_cast<size_t>(n), 0x20);
            Model m;
            ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTarga, "", &m), 0) << bits;
            const int first = descriptor ? 1 : 0;
            const uint32_t a = bits == 8 ? 0x10 : bits == 16 ? 0x200080 : 0x101010;
            const uint32_t b = bits == 8 ? 0x20 : bits == 16 ? 0x400800 : 0x202020;
            EXPECT_EQ(imgtest::pixel(m, 2, first), a) << bits << " " << descriptor;
            EXPECT_EQ(imgtest::pixel(m, 1, 1 - first), a) << bits << " " << descriptor;
            EXPECT_EQ(imgtest::pixel(m, 2, 1 - first), b) << bits << " " << descriptor;
        }
}

TEST(Targa, PacketLongerThanTheImageStopsAtItsEnd)
{
    // A repeat of 128 pixels for an image of six: the rest of the packet has nowhere to go.
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(header(11, 8, 3, 2) + Bytes{0xFF, 7}, ModFormatTarga, "", &m),
              0);
    EXPECT_EQ(imgtest::pixel(m, 2, 1), 7u);
}

TEST(Targa, GreyFileGetsTheIdentityPaletteWhateverItsMapSays)
{
    const Bytes f = header(3, 8, 2, 1, 0, 1, 2, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{9, 200};
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTarga, "", &m), 0);
    EXPECT_EQ(imgtest::paletteEntry(m, 200), 0xC8C8C8u);
    EXPECT_EQ(imgtest::pixel(m, 1, 0), 200u);
}

TEST(Targa, ColourMapStartsAtItsFirstIndexAndEntriesBeyond256AreDropped)
{
    Bytes f = header(1, 8, 1, 1, 0, 1, 3, 24, 2);
    imgfmt::putLE16(&f[3], 254);
    f = f + Bytes{'i', 'd'} + Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9} + Bytes{255};
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTarga, "", &m), 0);
    EXPECT_EQ(imgtest::paletteEntry(m, 254), 0x030201u);
    EXPECT_EQ(imgtest::paletteEntry(m, 255), 0x060504u);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 255u);
}

struct Malformed {
    const char* name;
    Bytes file;
    int code;
};

class TargaMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(TargaMalformed, IsRefusedWithItsCode)
{
    const Malformed& c = GetParam();
    Model m;
    EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatTarga, "", &m), ModCodecError + c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TargaMalformed,
    ::testing::Values(
        Malformed{"MappedSixteenBits", header(1, 16, 2, 2, 0, 1, 2, 24), 400},
        Malformed{"TrueColourFifteenBits", header(2, 15, 2, 2), 400},
        Malformed{"GreyTwentyFourBits", header(11, 24, 2, 2), 400},
        Malformed{"TypeFive", header(5, 8, 2, 2), 401},
        Malformed{"TypeZero", header(0, 8, 2, 2), 401},
        Malformed{"MapOfSixteenBitEntries", header(9, 8, 2, 2, 0, 1, 2, 16), 402},
        Malformed{"ZeroHeight", header(2, 24, 2, 0), ModCodecBadSize},
        Malformed{"ShortHeader", Bytes(10, 0), ModCodecShortRead},
        Malformed{"ShortMap", header(1, 8, 2, 2, 0, 1, 200, 24) + Bytes(30, 0), ModCodecShortRead},
        Malformed{"ShortRawRows", header(2, 24, 2, 2) + Bytes(11, 0), ModCodecShortRead},
        Malformed{"EndAtPacketHeader", header(10, 24, 2, 2) + Bytes{0x81, 1, 2, 3},
                  ModCodecShortRead}),
    [](const ::testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

TEST(Targa, ConflictingWriteOptionsAreRefused)
{
    Model rgb, indexed;
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 24, &rgb), 0);
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 8, &indexed), 0);
    int code = 0;
    imgtest::writeToBytes(&rgb, ModFormatTarga, "16 32", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadOption);
    imgtest::writeToBytes(&rgb, ModFormatTarga, "yup,ydown", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadOption);
    imgtest::writeToBytes(&indexed, ModFormatTarga, "24", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadOption);
}

TEST(Targa, OwnCodesHaveMessages)
{
    EXPECT_EQ(ModErrorMessage(ModCodecError + 400), 313);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 402), 315);
}

}  // namespace
