// PCX: round trips at every depth, files written by ImageMagick and netpbm in the five plane
// layouts, the run-length details of the writer, runs across line ends with and without
// "trunc", and malformed headers.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;

struct Shape {
    int width, height, bpp;
};

class PcxRoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(PcxRoundTrip, ReadsBackWhatItWrote)
{
    const Shape s = GetParam();
    Model source, back;
    ASSERT_EQ(codectest::roundTrip(ModFormatPCX, s.width, s.height, s.bpp, "", &source, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
    if (s.bpp != 24) {
        for (int i = 0; i < (1 << s.bpp); ++i)
            EXPECT_EQ(imgtest::paletteEntry(back, i), imgtest::paletteEntry(source, i)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, PcxRoundTrip,
                         ::testing::Values(Shape{1, 1, 1}, Shape{13, 7, 1}, Shape{13, 7, 4},
                                           Shape{13, 7, 8}, Shape{13, 7, 24}, Shape{64, 3, 24},
                                           Shape{200, 50, 8}));

struct Reference {
    const char* file;
    const char* expected;
    int bpp;
};

class PcxReference : public ::testing::TestWithParam<Reference> {};

TEST_P(PcxReference, ReadsAsTheReferenceDecodesIt)
{
    const Reference r = GetParam();
    Model m;
    ASSERT_EQ(codectest::readFixture(r.file, ModFormatPCX, &m), 0);
    EXPECT_EQ(m.bpp, r.bpp);
    EXPECT_TRUE(codectest::matchesPlainMap(m, r.expected));
}

// planes16 has four 1-bit planes and a width of 13, so each plane line ends in a partial byte.
INSTANTIATE_TEST_SUITE_P(Files, PcxReference,
                         ::testing::Values(Reference{"pcx/rgb24.pcx", "pcx/rgb24.ppm", 24},
                                           Reference{"pcx/palette8.pcx", "pcx/palette8.ppm", 8},
                                           Reference{"pcx/planes16.pcx", "pcx/planes16.ppm", 4},
                                           Reference{"pcx/packed16.pcx", "pcx/packed16.ppm", 4},
                                           Reference{"pcx/mono.pcx", "pcx/mono.ppm", 1},
                                           Reference{"pcx/whitefirst.pcx", "pcx/mono.ppm", 1}));

// The image data of an 8-bit model of one row written by our writer.
Bytes encodedRow(const Bytes& row)
{
    Model m;
    EXPECT_EQ(ModCreate(static_cast<int>(row.size()), 1, 8, nullptr, &m), 0);
    std::copy(row.begin(), row.end(), m.data);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(&m, ModFormatPCX, "", &code);
    EXPECT_EQ(code, 0);
    return Bytes(f.begin() + 128, f.end() - 769);
}

TEST(Pcx, WriterMarksHighSingleBytesAndSplitsLongRuns)
{
    EXPECT_EQ(encodedRow(Bytes{0xC0, 5}), (Bytes{0xC1, 0xC0, 5}));
    const Bytes run(100, 7);
    EXPECT_EQ(encodedRow(run), (Bytes{0xFF, 7, 0xC1 + 36, 7}));
    // An odd line gets a zero pad byte to make the line even.
    EXPECT_EQ(encodedRow(Bytes{1, 2, 3}), (Bytes{1, 2, 3, 0}));
}

TEST(Pcx, WriterHeaderDescribesTheLayout)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(13, 5, 24, &m), 0);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(&m, ModFormatPCX, "", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 4), (Bytes{10, 5, 1, 8}));
    EXPECT_EQ(imgfmt::getLE16(&f[8]), 12u);
    EXPECT_EQ(imgfmt::getLE16(&f[10]), 4u);
    EXPECT_EQ(f[65], 3);
    EXPECT_EQ(imgfmt::getLE16(&f[66]), 14u);
    EXPECT_EQ(imgfmt::getLE16(&f[68]), 1u);
}

// A hand-made header of the layout, followed by the data.
Bytes pcxFile(int bits, int planes, int width, int height, int bytesPerLine, const Bytes& data,
              int version = 5, int encoding = 1)
{
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = static_cast<unsigned char>(version);
    h[2] = static_cast<unsigned char>(encoding);
    h[3] = static_cast<unsigned char>(bits);
    imgfmt::putLE16(&h[8], static_cast<unsigned>(width - 1));
    imgfmt::putLE16(&h[10], static_cast<unsigned>(height - 1));
    h[65] = static_cast<unsigned char>(planes);
    imgfmt::putLE16(&h[66], static_cast<unsigned>(bytesPerLine));
    return h + data;
}

Bytes withPalette(Bytes f)
{
    f.push_back(12);
    for (int i = 0; i < 256; ++i) {
        f.push_back(static_cast<unsigned char>(i));
        f.push_back(static_cast<unsigned char>(i));
        f.push_back(static_cast<unsigned char>(i));
    }
    return f;
}

TEST(Pcx, RunAcrossTheLineEndReadsDifferentlyWithTrunc)
{
    // Two lines of two bytes: a run of three 9s, then a literal 4 and more.
    const Bytes f = withPalette(pcxFile(8, 1, 2, 2, 2, Bytes{0xC3, 9, 4, 5, 6}));
    Model on, cut;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatPCX, "", &on), 0);
    EXPECT_EQ(imgtest::pixel(on, 0, 0), 9u);
    EXPECT_EQ(imgtest::pixel(on, 1, 0), 4u);
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatPCX, "trunc", &cut), 0);
    EXPECT_EQ(imgtest::pixel(cut, 0, 0), 4u);
    EXPECT_EQ(imgtest::pixel(cut, 1, 0), 5u);
}

TEST(Pcx, EarlyVersionsAreRead)
{
    for (int version : {0, 2, 3}) {
        Model m;
        const Bytes f = pcxFile(1, 1, 8, 1, 2, Bytes{0xAA, 0}, version);
        ASSERT_EQ(imgtest::readFromBytes(f, ModFormatPCX, "", &m), 0) << version;
        EXPECT_EQ(imgtest::pixel(m, 0, 0), 1u);
        EXPECT_EQ(imgtest::pixel(m, 1, 0), 0u);
        // A zeroed header palette means black and white.
        EXPECT_EQ(imgtest::paletteEntry(m, 0), 0x000000u);
        EXPECT_EQ(imgtest::paletteEntry(m, 1), 0xFFFFFFu);
    }
}

TEST(Pcx, CutFileReadsItsMissingBytesAsWhiteRuns)
{
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(pcxFile(4, 1, 4, 2, 2, Bytes{0x12}), ModFormatPCX, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 0, 1), 1u);
    EXPECT_EQ(imgtest::pixel(m, 2, 1), 15u);
    EXPECT_EQ(imgtest::pixel(m, 3, 0), 15u);
}

struct Malformed {
    const char* name;
    Bytes file;
    int code;
};

class PcxMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(PcxMalformed, IsRefusedWithItsCode)
{
    const Malformed& c = GetParam();
    Model m;
    EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatPCX, "", &m), ModCodecError + c.code);
}

std::vector<Malformed> malformedCases()
{
    Bytes notPcx = pcxFile(8, 1, 2, 2, 2, Bytes{});
    notPcx[0] = 11;
    Bytes inverted = pcxFile(8, 1, 2, 2, 2, Bytes{});
    imgfmt::putLE16(&inverted[4], 5);  // x min beyond x max
    Bytes badMarker = pcxFile(8, 1, 2, 2, 2, Bytes(1000, 0));
    return {
        {"NotZsoft", notPcx, ModCodecBadSignature},
        {"Version4", pcxFile(8, 1, 2, 2, 2, Bytes{}, 4), 700},
        {"Version6", pcxFile(8, 1, 2, 2, 2, Bytes{}, 6), 700},
        {"Encoding0", pcxFile(8, 1, 2, 2, 2, Bytes{}, 5, 0), 701},
        {"TwoBitsOnePlane", pcxFile(2, 1, 2, 2, 2, Bytes{}), 702},
        {"EightBitsTwoPlanes", pcxFile(8, 2, 2, 2, 2, Bytes{}), 702},
        // Nine pixels of one byte each cannot come from lines of eight bytes.
        {"LineShorterThanTheWidth", pcxFile(8, 1, 9, 2, 8, Bytes{}), 702},
        {"FourPlanesLineTooShort", pcxFile(1, 4, 17, 2, 2, Bytes{}), 702},
        {"MinimumBeyondMaximum", inverted, ModCodecBadSize},
        {"NoPaletteMarker", badMarker, 703},
        {"FileTooShortForAPalette", pcxFile(8, 1, 2, 2, 2, Bytes{1, 2, 3, 4}), 703},
        {"ShortHeader", Bytes{10, 5, 1, 8}, ModCodecShortRead},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, PcxMalformed, ::testing::ValuesIn(malformedCases()),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             return std::string(info.param.name);
                         });

TEST(Pcx, OwnCodesHaveMessages)
{
    EXPECT_EQ(ModErrorMessage(ModCodecError + 700), 296);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 703), 299);
}

// ---- Inputs found by fuzzing, kept with the code each must give ----

// 65536 rows whose lines claim 32258 bytes each, in a file of a few bytes: once the file ends,
// the rest of every line must cost nothing.
TEST(PcxFuzzFindings, EachKeptInputGivesItsCode)
{
    const struct {
        const char* file;
        const char* options;
        int code;
    } findings[] = {
        {"pcx/fuzz/long-lines-after-end.pcx", "", 0},
        {"pcx/fuzz/long-lines-after-end.pcx", "trunc", 0},
    };
    for (const auto& f : findings) {
        Model m;
        EXPECT_EQ(codectest::readFixture(f.file, ModFormatPCX, &m, f.options), f.code) << f.file;
    }
}

}  // namespace
