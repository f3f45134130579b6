// GIF: round trips through our writer and reader at every depth, files written by ImageMagick
// (plain and interlaced), the transparent colour's GIF89a, and malformed headers and LZW data.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::Bytes;
using codectest::bytesOf;
using codectest::operator+;
using imgfmt::getLE16;
using imgtest::Model;

struct Shape {
    int width, height, bpp;
};

class GifRoundTrip : public ::testing::TestWithParam<Shape> {};

// 1x1 is the smallest file; 13 wide leaves partial bytes at 1 and 4 bpp; 301x97 of varied pixels
// makes the encoder run out of codes and start again with a clear code several times.
TEST_P(GifRoundTrip, ReadsBackWhatItWrote)
{
    const Shape s = GetParam();
    Model source, back;
    ASSERT_EQ(codectest::roundTrip(ModFormatGIF, s.width, s.height, s.bpp, "", &source, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
    for (int i = 0; i < (1 << s.bpp); ++i)
        EXPECT_EQ(imgtest::paletteEntry(back, i), imgtest::paletteEntry(source, i)) << i;
}

INSTANTIATE_TEST_SUITE_P(Depths, GifRoundTrip,
                         ::testing::Values(Shape{1, 1, 1}, Shape{13, 7, 1}, Shape{13, 7, 4},
                                           Shape{13, 7, 8}, Shape{301, 97, 1}, Shape{301, 97, 4},
                                           Shape{301, 97, 8}));

TEST(Gif, UniformImageRoundTripsThroughLongStrings)
{
    Model source, back;
    ASSERT_EQ(ModCreate(640, 480, 8, nullptr, &source), 0);
    int code = 0;
    const Bytes file = imgtest::writeToBytes(&source, ModFormatGIF, "", &code);
    ASSERT_EQ(code, 0);
    ASSERT_EQ(imgtest::readFromBytes(file, ModFormatGIF, "", &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
}

struct Reference {
    const char* file;
    const char* expected;
    int bpp;
    const char* options;
};

class GifReference : public ::testing::TestWithParam<Reference> {};

TEST_P(GifReference, ReadsAsImageMagickDecodesIt)
{
    const Reference r = GetParam();
    Model m;
    ASSERT_EQ(codectest::readFixture(r.file, ModFormatGIF, &m, r.options), 0);
    EXPECT_EQ(m.bpp, r.bpp);
    EXPECT_TRUE(codectest::matchesPlainMap(m, r.expected));
}

// whitefirst.gif has the two colours in the other order; three.gif is three frames written by
// ImageMagick, the middle one with a local table of 16 colours and the others on the global
// two-colour table, so a frame read after it must not take its table.
INSTANTIATE_TEST_SUITE_P(
    Files, GifReference,
    ::testing::Values(Reference{"gif/colours.gif", "gif/colours.ppm", 8, ""},
                      Reference{"gif/interlaced.gif", "gif/colours.ppm", 8, ""},
                      Reference{"gif/sixteen.gif", "gif/sixteen.ppm", 4, ""},
                      Reference{"gif/mono.gif", "gif/mono.ppm", 1, ""},
                      Reference{"gif/whitefirst.gif", "gif/mono.ppm", 1, ""},
                      Reference{"gif/three.gif", "gif/mono.ppm", 1, "index=1"},
                      Reference{"gif/three.gif", "gif/sixteen.ppm", 4, "index=2"},
                      Reference{"gif/three.gif", "gif/mono.ppm", 1, "index=3"}));

// Writer options, as the header and the extension show them.
TEST(Gif, TransparentColourMakesGif89aWithControlExtension)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(5, 3, 4, &m), 0);
    int code = 0;
    const Bytes plain = imgtest::writeToBytes(&m, ModFormatGIF, "", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 6), "GIF87a");
    // Header, screen descriptor and 16 colours, then straight to the image descriptor.
    EXPECT_EQ(plain[13 + 48], 0x2C);

    const Bytes marked = imgtest::writeToBytes(&m, ModFormatGIF, "transcol=3", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(std::string(marked.begin(), marked.begin() + 6), "GIF89a");
    const Bytes gce(marked.begin() + 13 + 48, marked.begin() + 13 + 48 + 8);
    EXPECT_EQ(gce, (Bytes{0x21, 0xF9, 4, 1, 0, 0, 3, 0}));
    EXPECT_EQ(marked[13 + 48 + 8], 0x2C);

    Model back;
    ASSERT_EQ(imgtest::readFromBytes(marked, ModFormatGIF, "", &back), 0);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(Gif, ScreenAndPositionOptionsReachTheDescriptors)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(5, 3, 1, &m), 0);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(
        &m, ModFormatGIF, "xscreen=40 yscreen=30,background=1 xpos=7 ypos=9", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(getLE16(&f[6]), 40u);
    EXPECT_EQ(getLE16(&f[8]), 30u);
    EXPECT_EQ(f[11], 1);
    // A 1-bit image: two colours, then the descriptor with its position; code size 2.
    EXPECT_EQ(f[19], 0x2C);
    EXPECT_EQ(getLE16(&f[20]), 7u);
    EXPECT_EQ(getLE16(&f[22]), 9u);
    EXPECT_EQ(f[29], 2);
}

TEST(Gif, OptionsOutsideTheFieldsAreRefused)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(5, 3, 8, &m), 0);
    for (const char* options : {"transcol=256", "transcol=-2", "xscreen=70000", "background=300"}) {
        int code = 0;
        imgtest::writeToBytes(&m, ModFormatGIF, options, &code);
        EXPECT_EQ(code, ModCodecError + ModCodecBadOption) << options;
    }
}

// A file built by hand: header, screen descriptor, an optional global table, then the rest.
Bytes gifFile(const Bytes& rest, int packed = 0x80, const Bytes& table = {0, 0, 0, 255, 255, 255})
{
    Bytes b = bytesOf("GIF89a");
    codectest::appendLE16(b, 4);
    codectest::appendLE16(b, 2);
    b.push_back(static_cast<unsigned char>(packed));
    b.push_back(0);
    b.push_back(0);
    if (packed & 0x80)
        b.insert(b.end(), table.begin(), table.end());
    return b + rest;
}

Bytes descriptor(int width, int height, int packed = 0)
{
    Bytes b{0x2C, 0, 0, 0, 0};
    codectest::appendLE16(b, width);
    codectest::appendLE16(b, height);
    b.push_back(static_cast<unsigned char>(packed));
    return b;
}

// The image data of a 1-bit image (minimum code size 2: clear 4, end 5), with the code width
// growing as the decoder's table fills.
Bytes packCodes3(std::initializer_list<unsigned> codes)
{
    Bytes data;
    uint32_t acc = 0;
    int bits = 0, width = 3;
    unsigned next = 6;
    bool first = true;
    for (unsigned c : codes) {
        acc |= c << bits;
        bits += width;
        while (bits >= 8) {
            data.push_back(static_cast<unsigned char>(acc));
            acc >>= 8;
            bits -= 8;
        }
        if (c == 4) {
            width = 3;
            next = 6;
            first = true;
        } else if (c != 5 && !first && ++next == (1u << width) && width < 12) {
            ++width;
        }
        if (c != 4)
            first = false;
    }
    if (bits > 0)
        data.push_back(static_cast<unsigned char>(acc));
    Bytes b{2, static_cast<unsigned char>(data.size())};
    return b + data + Bytes{0};
}

TEST(Gif, WithoutGlobalTableOneBitImageIsBlackAndWhite)
{
    // 4x2 pixels: 1 0 1 1 / 0 0 0 1 coded as literals.
    const Bytes f =
        gifFile(descriptor(4, 2) + packCodes3({4, 1, 0, 1, 1, 0, 0, 0, 1, 5}) + Bytes{';'}, 0x00);
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "", &m), 0);
    ASSERT_EQ(m.bpp, 1);
    EXPECT_EQ(imgtest::paletteEntry(m, 0), 0x000000u);
    EXPECT_EQ(imgtest::paletteEntry(m, 1), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 1, 0), 0x000000u);
    EXPECT_EQ(codectest::colourAt(m, 3, 1), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 2, 1), 0x000000u);
}

TEST(Gif, InterlacedImageOfThreeRowsFillsRowsZeroTwoOne)
{
    // One row of each value, arriving in pass order: rows 0, 2, 1.
    const Bytes f = gifFile(descriptor(1, 3, 0x40) + packCodes3({4, 0, 1, 0, 5}) + Bytes{';'});
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "", &m), 0);
    EXPECT_EQ(codectest::colourAt(m, 0, 0), 0x000000u);
    EXPECT_EQ(codectest::colourAt(m, 0, 2), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 0, 1), 0x000000u);
}

TEST(Gif, ExtensionsAreSkippedAndSecondImageIsChosenByIndex)
{
    const Bytes first = descriptor(2, 1) + packCodes3({4, 0, 0, 5});
    const Bytes second = descriptor(2, 1) + packCodes3({4, 1, 1, 5});
    const Bytes gce{0x21, 0xF9, 4, 1, 0, 0, 1, 0};
    const Bytes comment = Bytes{0x21, 0xFE, 3} + bytesOf("abc") + Bytes{0};
    const Bytes f = gifFile(gce + comment + first + comment + second + Bytes{';'});
    Model one, two;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "", &one), 0);
    EXPECT_EQ(imgtest::pixel(one, 0, 0), 0u);
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "index=2", &two), 0);
    EXPECT_EQ(imgtest::pixel(two, 0, 0), 1u);
}

TEST(Gif, LocalColourTableReplacesTheGlobalOne)
{
    const Bytes local{10, 20, 30, 40, 50, 60};
    const Bytes f = gifFile(descriptor(2, 1, 0x80) + local + packCodes3({4, 1, 0, 5}) + Bytes{';'});
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "", &m), 0);
    EXPECT_EQ(codectest::colourAt(m, 0, 0), 0x28323Cu);
    EXPECT_EQ(codectest::colourAt(m, 1, 0), 0x0A141Eu);
}

struct Malformed {
    const char* name;
    Bytes file;
    const char* options;
    int code;
};

class GifMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(GifMalformed, IsRefusedWithItsCode)
{
    const Malformed& c = GetParam();
    Model m;
    EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatGIF, c.options, &m),
              c.code ? ModCodecError + c.code : 0);
}

const Bytes kGood = descriptor(4, 2) + packCodes3({4, 1, 0, 1, 1, 0, 0, 0, 1, 5}) + Bytes{';'};

INSTANTIATE_TEST_SUITE_P(
    Cases, GifMalformed,
    ::testing::Values(
        Malformed{"BadSignature", bytesOf("GIF88a") + Bytes(20, 0), "", ModCodecBadSignature},
        Malformed{"ShortScreenDescriptor", bytesOf("GIF87a") + Bytes{1, 0}, "", ModCodecShortRead},
        Malformed{"TrailerBeforeImage", gifFile(Bytes{';'}), "", 1101},
        Malformed{"SecondImageMissing", gifFile(kGood), "index=2", 1101},
        Malformed{"IndexBelowOne", gifFile(kGood), "index=0", ModCodecBadOption},
        Malformed{"CodeSizeTen", gifFile(descriptor(4, 2) + Bytes{10, 1, 0, 0, ';'}), "", 1102},
        Malformed{"CodeSizeOne", gifFile(descriptor(4, 2) + Bytes{1, 1, 0, 0, ';'}), "", 1102},
        Malformed{"ZeroWidth", gifFile(descriptor(0, 2) + packCodes3({4, 5}) + Bytes{';'}), "",
                  ModCodecBadSize},
        // The data ends after three pixels of eight.
        Malformed{"Truncated", gifFile(descriptor(4, 2) + packCodes3({4, 1, 0, 1})), "",
                  ModCodecShortRead},
        Malformed{"TruncatedWithErrok", gifFile(descriptor(4, 2) + packCodes3({4, 1, 0, 1})),
                  "errok", 0},
        // After one literal the next free code is 6: code 7 refers to nothing.
        Malformed{"CodeBeyondNextFree",
                  gifFile(descriptor(4, 2) + packCodes3({4, 1, 7, 5}) + Bytes{';'}), "",
                  ModCodecShortRead},
        // After a clear code the table holds only literals: code 6 would read an unset entry.
        Malformed{"TableCodeRightAfterClear",
                  gifFile(descriptor(4, 2) + packCodes3({4, 6, 5}) + Bytes{';'}), "",
                  ModCodecShortRead},
        Malformed{"CorruptWithErrok",
                  gifFile(descriptor(4, 2) + packCodes3({4, 1, 7, 5}) + Bytes{';'}), "errok", 0}),
    [](const ::testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

TEST(Gif, ErrokKeepsTheRowsDecodedBeforeTheEnd)
{
    // Five pixels arrive: the first row whole, the second only in its first pixel.
    const Bytes f = gifFile(descriptor(4, 2) + packCodes3({4, 1, 1, 1, 1, 1}));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatGIF, "errok", &m), 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(codectest::colourAt(m, x, 0), 0xFFFFFFu) << x;
    EXPECT_EQ(codectest::colourAt(m, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 1, 1), 0x000000u);
}

TEST(Gif, WriterRefusesTwentyFourBitModels)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 3, 24, &m), 0);
    int code = 0;
    imgtest::writeToBytes(&m, ModFormatGIF, "", &code);
    EXPECT_EQ(code, ModErrDepth);
}

TEST(Gif, OwnCodesHaveMessages)
{
    EXPECT_EQ(ModErrorMessage(ModCodecError + 1100), 279);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 1103), 282);
}

// ---- Inputs found by fuzzing, kept with the code each must give ----

// A wide image whose data ends at once: read with errok it is one colour, and writing that back
// once made the encoder's string lookup quadratic. The others are named in the table.
TEST(GifFuzzFindings, EachKeptInputGivesItsCodeAndRoundTrips)
{
    const struct {
        const char* file;
        const char* options;
        int code;
    } findings[] = {
        {"gif/fuzz/one-colour-wide-errok.gif", "errok", 0},
        {"gif/fuzz/one-colour-wide-errok.gif", "", ModCodecError + ModCodecShortRead},
        // A string of a dozen bytes whose source ends just before it: a wide copy of it once
        // read and wrote overlapping memory.
        {"gif/fuzz/string-just-behind-errok.gif", "errok", 0},
        {"gif/fuzz/string-just-behind-errok.gif", "", ModCodecError + ModCodecShortRead},
    };
    for (const auto& f : findings) {
        Model m;
        ASSERT_EQ(codectest::readFixture(f.file, ModFormatGIF, &m, f.options), f.code) << f.file;
        if (f.code != 0)
            continue;
        int code = 0;
        Model back;
        ASSERT_EQ(imgtest::readFromBytes(imgtest::writeToBytes(&m, ModFormatGIF, "", &code),
                                         ModFormatGIF, "", &back),
                  0);
        EXPECT_TRUE(imgtest::samePixels(m, back)) << f.file;
    }
}

}  // namespace
