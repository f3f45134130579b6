// Greymap (P5) and Pixmap (P6): files from netpbm and ImageMagick, round trips through our
// writer, the header grammar with its comments, and malformed headers.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using codectest::Bytes;
using codectest::bytesOf;
using codectest::operator+;
using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;

int readFixture(const std::string& relative, int format, Model* m, const char* options = "")
{
    return ModReadFromFile(codectest::dataPath(relative).c_str(), &format, options, m);
}

TEST(PortableMaps, NetpbmGreymapReadsAsItsPlainTwin)
{
    Model m;
    ASSERT_EQ(readFixture("pnm/diagonal.pgm", ModFormatGreymap, &m), 0);
    const codectest::PlainMap plain = codectest::readPlainMap(codectest::dataPath("pnm/diagonal.plain.pgm"));
    ASSERT_EQ(m.width, plain.width);
    ASSERT_EQ(m.height, plain.height);
    ASSERT_EQ(m.bpp, 8);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int grey = plain.samples[size_t(y * m.width + x)];
            EXPECT_EQ(paletteEntry(m, int(pixel(m, x, m.height - 1 - y))),
                      uint32_t(grey) * 0x010101u) << x << "," << y;
        }
}

TEST(PortableMaps, ImageMagickPixmapReadsAsItsPlainTwin)
{
    Model m;
    ASSERT_EQ(readFixture("pnm/colours.ppm", ModFormatPixmap, &m), 0);
    const codectest::PlainMap plain = codectest::readPlainMap(codectest::dataPath("pnm/colours.plain.ppm"));
    ASSERT_EQ(m.width, plain.width);
    ASSERT_EQ(m.height, plain.height);
    ASSERT_EQ(m.bpp, 24);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int* s = &plain.samples[size_t(3 * (y * m.width + x))];
            EXPECT_EQ(pixel(m, x, m.height - 1 - y), uint32_t(s[0] << 16 | s[1] << 8 | s[2]))
                << x << "," << y;
        }
}

TEST(PortableMaps, SmallMaximumGivesARampEndingInWhite)
{
    Model m;
    ASSERT_EQ(readFixture("pnm/ramp15.pgm", ModFormatGreymap, &m), 0);
    ASSERT_EQ(m.width, 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(paletteEntry(m, i), uint32_t(17 * i) * 0x010101u) << i;
        EXPECT_EQ(pixel(m, i, 0), uint32_t(i));
    }
    // Entries that no sample of the file may use are defined all the same.
    EXPECT_EQ(paletteEntry(m, 200), 0xFFFFFFu);
}

TEST(PortableMaps, GreyRampRoundsDownForEveryMaximum)
{
    for (const int maximum : {2, 7, 100, 254, 255}) {
        const std::string header = "P5 1 1 " + std::to_string(maximum) + "\n";
        Bytes file = bytesOf(header.c_str());
        file.push_back(0);
        Model m;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatGreymap, "", &m), 0) << maximum;
        for (int i = 0; i < 256; ++i) {
            const int grey = i >= maximum ? 255 : i * 255 / maximum;
            ASSERT_EQ(paletteEntry(m, i), uint32_t(grey) * 0x010101u) << maximum << ": " << i;
        }
    }
}

TEST(PortableMaps, PixmapSamplesOfASmallMaximumAreStretched)
{
    Model m;
    const Bytes file = bytesOf("P6 2 1 15\n") + Bytes{15, 5, 0, 20, 1, 2};
    ASSERT_EQ(imgtest::readFromBytes(file, ModFormatPixmap, "", &m), 0);
    EXPECT_EQ(pixel(m, 0, 0), 0xFF5500u);
    EXPECT_EQ(pixel(m, 1, 0), 0xFF1122u);
}

// Rows are read a chunk at a time straight into the model and spread out and turned round
// there: a picture of several chunks, an odd number of rows in the last one and rows that end in
// padding must come back whole, the padding still clear.
TEST(PortableMaps, PicturesOfSeveralChunksRoundTripWithClearPadding)
{
    for (const int bpp : {8, 24}) {
        for (const int width : {333, 1024}) {
            Model source;
            ASSERT_EQ(imgtest::makePatternModel(width, 901, bpp, &source), 0);
            if (bpp == 8)
                for (int i = 0; i < 256; ++i)
                    std::memset(source.palette + 3 * i, i, 3);
            const int format = bpp == 8 ? ModFormatGreymap : ModFormatPixmap;
            int code = -1;
            const Bytes file = imgtest::writeToBytes(&source, format, "", &code);
            ASSERT_EQ(code, 0);
            Model back;
            ASSERT_EQ(imgtest::readFromBytes(file, format, "", &back), 0);
            EXPECT_TRUE(imgtest::samePixels(source, back)) << bpp << " " << width;
            const int rowBytes = ModRowBytes(back.width, back.bpp);
            const int used = width * bpp / 8;
            for (int y = 0; y < back.height; ++y)
                for (int x = used; x < rowBytes; ++x)
                    ASSERT_EQ(back.data[size_t(y) * size_t(rowBytes) + size_t(x)], 0)
                        << bpp << " " << width << " row " << y;
        }
    }
}

// Odd widths make every row end in padding, which must neither be written nor shift a row.
TEST(PortableMaps, GreyAndColourModelsRoundTrip)
{
    for (int width : {1, 3, 5, 33}) {
        Model grey;
        ASSERT_EQ(imgtest::makePatternModel(width, 3, 8, &grey), 0);
        for (int i = 0; i < 256; ++i)
            std::memset(grey.palette + 3 * i, i, 3);
        int code = -1;
        Bytes file = imgtest::writeToBytes(&grey, ModFormatGreymap, "", &code);
        ASSERT_EQ(code, 0);
        const std::string header = "P5\n# Written by Zadozuzoviz Uvadud Uveviv\n" +
                                   std::to_string(width) + " 3 255\n";
        EXPECT_EQ(file.size(), header.size() + size_t(width) * 3) << width;
        Model back;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatGreymap, "", &back), 0);
        EXPECT_TRUE(imgtest::samePixels(grey, back)) << width;

        Model colour;
        ASSERT_EQ(imgtest::makePatternModel(width, 3, 24, &colour), 0);
        file = imgtest::writeToBytes(&colour, ModFormatPixmap, "", &code);
        ASSERT_EQ(code, 0);
        Model colourBack;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatPixmap, "", &colourBack), 0);
        EXPECT_TRUE(imgtest::samePixels(colour, colourBack)) << width;
    }
}

TEST(PortableMaps, WriterEmitsTheHeaderAndRedGreenBlueOrder)
{
    Model m;
    ASSERT_EQ(ModCreate(1, 1, 24, nullptr, &m), 0);
    m.data[0] = 1;  // blue
    m.data[1] = 2;
    m.data[2] = 3;  // red
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatPixmap, "", &code);
    ASSERT_EQ(code, 0);
    const Bytes expected =
        bytesOf("P6\n# Written by Zadozuzoviz Uvadud Uveviv\n1 1 255\n") + Bytes{3, 2, 1};
    EXPECT_EQ(file, expected);
}

TEST(PortableMaps, GreymapWriterTakesTheComponentItsOptionNames)
{
    Model m;
    ASSERT_EQ(ModCreate(1, 1, 8, nullptr, &m), 0);
    m.palette[9] = 255;  // entry 3 is pure red
    m.data[0] = 3;
    const struct {
        const char* options;
        int code;
        int grey;
    } cases[] = {{"", 0, 76}, {"k", 0, 76}, {"r", 0, 255}, {"g", 0, 0}, {"b", 0, 0},
                 {"r,g", ModCodecError + ModCodecBadOption, -1}};
    for (const auto& c : cases) {
        int code = -1;
        const Bytes file = imgtest::writeToBytes(&m, ModFormatGreymap, c.options, &code);
        EXPECT_EQ(code, c.code) << c.options;
        if (c.grey >= 0 && !file.empty()) {
            EXPECT_EQ(file.back(), c.grey) << c.options;
        }
    }
}

// A palette other than the grey ramp is looked up pixel by pixel, in pieces of eight and the rest.
TEST(PortableMaps, GreymapWriterLooksUpTheGreyOfEveryPixel)
{
    const int width = 21, height = 2;
    Model m;
    ASSERT_EQ(ModCreate(width, height, 8, nullptr, &m), 0);
    for (int i = 0; i < 256; ++i)
        std::memset(m.palette + 3 * i, 255 - i, 3);
    const int rowBytes = ModRowBytes(width, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m.data[y * rowBytes + x] = static_cast<unsigned char>(x * 11 + y);
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatGreymap, "", &code);
    ASSERT_EQ(code, 0);
    ASSERT_GE(file.size(), size_t(width * height));
    const unsigned char* pixels = file.data() + file.size() - width * height;
    for (int y = 0; y < height; ++y)  // the file's rows top first
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(pixels[y * width + x], 255 - (x * 11 + (height - 1 - y))) << x << "," << y;
}

// Header grammar: comments wherever a header character is read, and the refusals. Two pixels of
// grey follow each header.
TEST(PortableMaps, HeaderCasesGiveTheirSizeOrCode)
{
    const struct {
        const char* name;
        std::string header;
        int format;
        int code;
        int width;
    } cases[] = {
        {"comment before the width", "P5\n# made by hand\n2 1 255\n", ModFormatGreymap, 0, 2},
        {"comment after the maximum", "P5 2 1 255# the end\n", ModFormatGreymap, 0, 2},
        {"comment inside the size", "P5 2#x\n 1 255\n", ModFormatGreymap, 0, 2},
        {"carriage returns", "P5\r\n2\r\n1\r\n255\r", ModFormatGreymap, 0, 2},
        {"maximum 255 is the top", "P5 2 1 255\n", ModFormatGreymap, 0, 2},
        {"maximum 1", "P5 2 1 1\n", ModFormatGreymap, 100, 0},
        {"maximum 256", "P5 2 1 256\n", ModFormatGreymap, 100, 0},
        {"pixmap maximum 1", "P6 2 1 1\n", ModFormatPixmap, 200, 0},
        {"wrong magic", "P6 2 1 255\n", ModFormatGreymap, ModCodecBadSignature, 0},
        {"plain magic", "P2 2 1 255\n", ModFormatGreymap, ModCodecBadSignature, 0},
        {"width 0", "P5 0 1 255\n", ModFormatGreymap, ModCodecBadSize, 0},
        {"letter for a width", "P5 x 1 255\n", ModFormatGreymap, ModCodecBadSize, 0},
        {"letter inside a width", "P5 2x 1 255\n", ModFormatGreymap, ModCodecBadSize, 0},
        {"negative height", "P5 2 -1 255\n", ModFormatGreymap, ModCodecBadSize, 0},
        {"overflowing width", "P5 4294967298 1 255\n", ModFormatGreymap, ModCodecBadSize, 0},
        {"end of file in a comment", "P5 2 # no newline", ModFormatGreymap, ModCodecBadSize, 0},
        {"letter for the maximum", "P5 2 1 x55\n", ModFormatGreymap, 100, 0},
        {"pixels missing", "P5 3 1 255\n", ModFormatGreymap, ModCodecShortRead, 0},
        {"huge size, few bytes", "P6 65535 65535 255\n", ModFormatPixmap, ModCodecShortRead, 0},
    };
    for (const auto& c : cases) {
        Model m;
        const Bytes file = bytesOf(c.header) + Bytes{10, 20};
        const int code = imgtest::readFromBytes(file, c.format, "", &m);
        EXPECT_EQ(code, c.code == 0 ? 0 : ModCodecError + c.code) << c.name;
        if (c.code == 0 && code == 0) {
            EXPECT_EQ(m.width, c.width) << c.name;
            EXPECT_EQ(pixel(m, 0, 0), 10u) << c.name;
            EXPECT_EQ(pixel(m, 1, 0), 20u) << c.name;
        }
    }
}

}  // namespace
