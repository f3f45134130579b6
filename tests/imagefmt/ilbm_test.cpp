// ILBM: round trips of the plane depths and the HAM6 writer, files written by netpbm (plain,
// uncompressed, HAM6, HAM8), extra half-brite and SHAM files built inline, the ByteRun1 writer,
// and malformed forms and chunks.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using codectest::Bytes;
using codectest::bytesOf;
using codectest::operator+;
using imgtest::Model;

struct Shape {
    int width, height, bpp;
};

class IlbmRoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(IlbmRoundTrip, ReadsBackWhatItWrote)
{
    const Shape s = GetParam();
    Model source, back;
    ASSERT_EQ(codectest::roundTrip(ModFormatILBM, s.width, s.height, s.bpp, "", &source, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
    for (int i = 0; i < (1 << s.bpp); ++i)
        EXPECT_EQ(imgtest::paletteEntry(back, i), imgtest::paletteEntry(source, i)) << i;
}

INSTANTIATE_TEST_SUITE_P(Depths, IlbmRoundTrip,
                         ::testing::Values(Shape{1, 1, 1}, Shape{13, 7, 1}, Shape{13, 7, 4},
                                           Shape{13, 7, 8}, Shape{300, 20, 8}));

// HAM6 keeps four bits a component and changes one component a pixel, so a picture of grey
// levels and single-component steps comes back exactly (to four bits).
TEST(Ilbm, TwentyFourBitsWriteAsHam6AndReadBack)
{
    Model m;
    ASSERT_EQ(ModCreate(6, 2, 24, nullptr, &m), 0);
    const uint32_t top[6] = {0x505050, 0x505090, 0x905090, 0x90A090, 0xA0A0A0, 0xA0A0A0};
    const uint32_t bottom[6] = {0x000000, 0xF00000, 0xF0F000, 0xF0F0F0, 0x303030, 0x303070};
    for (int x = 0; x < 6; ++x) {
        imgtest::setPixel(m, x, 1, top[x]);
        imgtest::setPixel(m, x, 0, bottom[x]);
    }
    int code = 0;
    const Bytes f = imgtest::writeToBytes(&m, ModFormatILBM, "", &code);
    ASSERT_EQ(code, 0);
    const std::string text(f.begin(), f.end());
    EXPECT_EQ(f[12 + 8 + 8], 6);  // BMHD planes
    ASSERT_NE(text.find("CAMG"), std::string::npos);
    EXPECT_EQ(imgfmt::getBE32(&f[text.find("CAMG") + 8]), 0x800u);
    const size_t cmap = text.find("CMAP");
    ASSERT_NE(cmap, std::string::npos);
    EXPECT_EQ(imgfmt::getBE32(&f[cmap + 4]), 48u);
    EXPECT_EQ(f[cmap + 8 + 3 * 15], 255);
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &back), 0);
    ASSERT_EQ(back.bpp, 24);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(Ilbm, ByteRun1WriterSplitsLongRunsAt129)
{
    // A 1-bit image 2400 pixels wide of one colour: its one plane row is 300 equal bytes.
    Model m;
    ASSERT_EQ(ModCreate(2400, 1, 1, nullptr, &m), 0);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(&m, ModFormatILBM, "", &code);
    ASSERT_EQ(code, 0);
    const std::string text(f.begin(), f.end());
    const size_t body = text.find("BODY");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(Bytes(f.begin() + static_cast<long>(body) + 8, f.end()),
              (Bytes{0x80, 0, 0x80, 0, 0xD7, 0}));
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &back), 0);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(Ilbm, WriterOptionsFillTheBitmapHeader)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(5, 3, 4, &m), 0);
    int code = 0;
    const Bytes f = imgtest::writeToBytes(
        &m, ModFormatILBM, "xpos=3 ypos=4 transcol=9 xaspect=10 yaspect=11 xscreen=320 yscreen=200",
        &code);
    ASSERT_EQ(code, 0);
    const unsigned char* h = &f[20];
    EXPECT_EQ(imgfmt::getBE16(h), 5u);
    EXPECT_EQ(imgfmt::getBE16(h + 4), 3u);
    EXPECT_EQ(imgfmt::getBE16(h + 6), 4u);
    EXPECT_EQ(h[8], 4);
    EXPECT_EQ(h[10], 1);
    EXPECT_EQ(imgfmt::getBE16(h + 12), 9u);
    EXPECT_EQ(h[14], 10);
    EXPECT_EQ(h[15], 11);
    EXPECT_EQ(imgfmt::getBE16(h + 16), 320u);
    EXPECT_EQ(imgfmt::getBE16(h + 18), 200u);
    EXPECT_EQ(imgfmt::getBE32(&f[4]), f.size() - 8);
}

struct Reference {
    const char* file;
    const char* expected;
    int bpp;
    int tolerance;  // HAM files: netpbm widens each component differently
};

class IlbmReference : public ::testing::TestWithParam<Reference> {};

TEST_P(IlbmReference, ReadsAsNetpbmDecodesIt)
{
    const Reference r = GetParam();
    Model m;
    ASSERT_EQ(codectest::readFixture(r.file, ModFormatILBM, &m), 0);
    EXPECT_EQ(m.bpp, r.bpp);
    EXPECT_TRUE(codectest::matchesPlainMap(m, r.expected, r.tolerance));
}

// colours16 lists 9 colours for its 4 planes; colours32-raw is uncompressed.
INSTANTIATE_TEST_SUITE_P(
    Files, IlbmReference,
    ::testing::Values(Reference{"ilbm/mono.iff", "ilbm/mono.ppm", 1, 0},
                      Reference{"ilbm/colours16.iff", "ilbm/colours16.ppm", 4, 0},
                      Reference{"ilbm/colours32-raw.iff", "ilbm/colours32-raw.ppm", 8, 0},
                      Reference{"ilbm/ham6.iff", "ilbm/ham6.ppm", 24, 15},
                      Reference{"ilbm/ham8.iff", "ilbm/ham8.ppm", 24, 3}));

Bytes chunk(const char* id, const Bytes& data)
{
    Bytes b = bytesOf(id);
    codectest::appendBE16(b, static_cast<unsigned>(data.size() >> 16));
    codectest::appendBE16(b, static_cast<unsigned>(data.size() & 0xFFFF));
    b = b + data;
    if (data.size() & 1)
        b.push_back(0);
    return b;
}

Bytes form(const Bytes& chunks, const char* type = "ILBM")
{
    Bytes b = bytesOf("FORM");
    const size_t size = chunks.size() + 4;
    codectest::appendBE16(b, static_cast<unsigned>(size >> 16));
    codectest::appendBE16(b, static_cast<unsigned>(size & 0xFFFF));
    return b + bytesOf(type) + chunks;
}

Bytes bmhd(int width, int height, int planes, int compression = 0, int masking = 0)
{
    Bytes b;
    codectest::appendBE16(b, static_cast<unsigned>(width));
    codectest::appendBE16(b, static_cast<unsigned>(height));
    b = b + Bytes{0, 0, 0, 0};
    b.push_back(static_cast<unsigned char>(planes));
    b.push_back(static_cast<unsigned char>(masking));
    b.push_back(static_cast<unsigned char>(compression));
    b = b + Bytes{0, 0, 0, 1, 1, 0, 0, 0, 0};
    return chunk("BMHD", b);
}

Bytes camg(uint32_t mode)
{
    Bytes b;
    codectest::appendBE16(b, mode >> 16);
    codectest::appendBE16(b, mode & 0xFFFF);
    return chunk("CAMG", b);
}

Bytes cmap(int entries)
{
    Bytes b;
    for (int i = 0; i < entries; ++i)
        b = b + Bytes{static_cast<unsigned char>(8 * i), static_cast<unsigned char>(4 * i), 2};
    return chunk("CMAP", b);
}

TEST(Ilbm, ExtraHalfBriteDoublesThePaletteWithHalvedColours)
{
    // Six planes, one pixel: bits 0 and 5 set, so entry 33 = entry 1 halved.
    const Bytes body = Bytes{0x80, 0} + Bytes(8, 0) + Bytes{0x80, 0};
    const Bytes f = form(bmhd(1, 1, 6) + camg(0x80) + cmap(32) + chunk("BODY", body));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &m), 0);
    ASSERT_EQ(m.bpp, 8);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 33u);
    EXPECT_EQ(imgtest::paletteEntry(m, 1), 0x080402u);
    EXPECT_EQ(imgtest::paletteEntry(m, 33), 0x040201u);
    EXPECT_EQ(imgtest::paletteEntry(m, 63), imgtest::paletteEntry(m, 31) >> 1 & 0x7F7F7F);
}

TEST(Ilbm, Ham6StartsEachRowFromBlack)
{
    // Two rows of one pixel, each "set blue to 15": no carry from the row above.
    const Bytes plane0{0x80, 0}, zero{0, 0}, plane4{0x80, 0};
    Bytes row =
        Bytes{0x80, 0} + Bytes{0x80, 0} + Bytes{0x80, 0} + Bytes{0x80, 0} + Bytes{0x80, 0} + zero;
    const Bytes f = form(bmhd(1, 2, 6) + cmap(16) + chunk("BODY", row + row));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &m), 0);
    ASSERT_EQ(m.bpp, 24);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 0x0000F0u);
    EXPECT_EQ(imgtest::pixel(m, 0, 1), 0x0000F0u);
}

TEST(Ilbm, ShamFourHundredLinesHighUsesEachLinePaletteForTwoRows)
{
    const int height = 400;
    Bytes sham{0, 0};
    for (int line = 0; line < 200; ++line) {
        // Entry 0 of line palette k is red k mod 16.
        codectest::appendBE16(sham, static_cast<unsigned>((line % 16) << 8));
        sham = sham + Bytes(30, 0);
    }
    // Every pixel takes palette entry 0 (all six bits clear).
    const Bytes body(static_cast<size_t>(height) * 6 * 2, 0);
    const Bytes f = form(bmhd(1, height, 6) + cmap(16) + chunk("SHAM", sham) + chunk("BODY", body));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &m), 0);
    ASSERT_EQ(m.bpp, 24);
    for (int y : {0, 1, 2, 3, 31, 32, 33, 398, 399})
        EXPECT_EQ(codectest::colourAt(m, 0, y), uint32_t(((y / 2) % 16) << 4) << 16) << y;
}

TEST(Ilbm, MaskPlaneIsPassedOver)
{
    // One plane and a mask plane per row; the mask's bytes must not be taken for the next row.
    const Bytes body = Bytes{0x80, 0} + Bytes{0xFF, 0xFF} + Bytes{0x00, 0} + Bytes{0xFF, 0xFF};
    const Bytes f = form(bmhd(2, 2, 1, 0, 1) + cmap(2) + chunk("BODY", body));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 0, 1), 1u);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 0u);
}

TEST(Ilbm, ColourMapAfterTheBodyAndMissingMapsAreRead)
{
    const Bytes body{0x40, 0};
    Model after;
    ASSERT_EQ(imgtest::readFromBytes(form(bmhd(2, 1, 1) + chunk("BODY", body) + cmap(2)),
                                     ModFormatILBM, "", &after),
              0);
    EXPECT_EQ(imgtest::paletteEntry(after, 1), 0x080402u);
    EXPECT_EQ(imgtest::pixel(after, 1, 0), 1u);
    Model none;
    ASSERT_EQ(
        imgtest::readFromBytes(form(bmhd(2, 1, 1) + chunk("BODY", body)), ModFormatILBM, "", &none),
        0);
    EXPECT_EQ(imgtest::paletteEntry(none, 0), 0x000000u);
    EXPECT_EQ(imgtest::paletteEntry(none, 1), 0xFFFFFFu);
}

TEST(Ilbm, ByteRun1RepeatOf0x80IsARunOf129)
{
    // 2064 pixels: a plane row of 258 bytes from two runs of 129.
    const Bytes f =
        form(bmhd(2064, 1, 1, 1) + cmap(2) + chunk("BODY", Bytes{0x80, 0xFF, 0x80, 0x0F}));
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatILBM, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 129 * 8 - 1, 0), 1u);
    EXPECT_EQ(imgtest::pixel(m, 129 * 8, 0), 0u);
    EXPECT_EQ(imgtest::pixel(m, 129 * 8 + 4, 0), 1u);
}

struct Malformed {
    const char* name;
    Bytes file;
    int code;
};

class IlbmMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(IlbmMalformed, IsRefusedWithItsCode)
{
    const Malformed& c = GetParam();
    Model m;
    EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatILBM, "", &m), ModCodecError + c.code);
}

std::vector<Malformed> malformedCases()
{
    const Bytes body = chunk("BODY", Bytes{0, 0});
    Bytes notForm = form(bmhd(1, 1, 1) + cmap(2) + body);
    notForm[0] = 'X';
    Bytes bigChunk = form(bmhd(1, 1, 1) + cmap(2) + body);
    imgfmt::putBE32(&bigChunk[bigChunk.size() - 6],
                    100);  // the BODY claims more than the form holds
    Bytes bigForm = form(bmhd(1, 1, 1) + cmap(2) + body);
    imgfmt::putBE32(&bigForm[4], 0xFFFFFFF0u);
    imgfmt::putBE32(&bigForm[bigForm.size() - 6], 0x7FFFFFF0u);
    return {
        {"NotForm", notForm, 900},
        {"NotIlbm", form(bmhd(1, 1, 1) + cmap(2) + body, "PBM "), 901},
        {"SecondBmhd", form(bmhd(1, 1, 1) + bmhd(1, 1, 1) + cmap(2) + body), 902},
        {"CmapBeforeBmhd", form(cmap(2) + bmhd(1, 1, 1) + body), 903},
        {"BodyBeforeBmhd", form(body + bmhd(1, 1, 1)), 903},
        {"BmhdOf18Bytes", form(chunk("BMHD", Bytes(18, 0)) + body), 904},
        {"NinePlanes", form(bmhd(1, 1, 9) + body), 905},
        {"ZeroPlanes", form(bmhd(1, 1, 0) + body), 905},
        {"CmapTooLarge", form(bmhd(1, 1, 1) + cmap(3) + body), 906},
        {"Compression2", form(bmhd(1, 1, 1, 2) + cmap(2) + body), 907},
        {"CamgOf2Bytes", form(bmhd(1, 1, 1) + chunk("CAMG", Bytes{0, 0}) + cmap(2) + body), 908},
        {"ShamVersion1", form(bmhd(1, 1, 6) + cmap(16) + chunk("SHAM", Bytes{0, 1}) + body), 909},
        {"WiderThan10000", form(bmhd(10001, 1, 1) + cmap(2) + body), ModCodecBadSize},
        {"NoBody", form(bmhd(1, 1, 1) + cmap(2)), ModCodecShortRead},
        {"ChunkBeyondItsForm", bigChunk, ModCodecShortRead},
        {"ChunkBeyondTheFile", bigForm, ModCodecShortRead},
        {"BodyTooShort", form(bmhd(8, 2, 1) + cmap(2) + chunk("BODY", Bytes{1, 2})),
         ModCodecShortRead},
        {"ShamTooShortForItsLines",
         form(bmhd(1, 4, 6) + cmap(16) + chunk("SHAM", Bytes(34, 0)) + chunk("BODY", Bytes(48, 0))),
         ModCodecShortRead},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, IlbmMalformed, ::testing::ValuesIn(malformedCases()),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             return std::string(info.param.name);
                         });

TEST(Ilbm, OwnCodesHaveMessages)
{
    EXPECT_EQ(ModErrorMessage(ModCodecError + 900), 286);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 909), 295);
}

}  // namespace
