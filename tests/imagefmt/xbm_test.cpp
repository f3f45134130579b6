// XBitmap: files from netpbm and ImageMagick, round trips, the writer's text layout, and the
// tokenizer's refusals.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::Bytes;
using codectest::bytesOf;
using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;

int readText(const std::string& text, Model* m)
{
    return imgtest::readFromBytes(bytesOf(text), ModFormatXBitmap, "", m);
}

std::string writeText(const MOD& m, const std::string& name, int* code)
{
    const std::string path = imgtest::tempPath(name);
    *code = ModWriteToFile(&m, ModFormatXBitmap, path.c_str(), "");
    const Bytes bytes = imgtest::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The same picture as pbmtoxbm writes it (char and X10 short arrays) and as ImageMagick does.
TEST(XBitmap, DebianToolFilesReadAsTheirBitmap)
{
    const codectest::PlainMap plain = codectest::readPlainMap(codectest::dataPath("xbm/hi.plain.pbm"));
    ASSERT_GT(plain.width, 0);
    for (const char* file : {"xbm/hi.xbm", "xbm/hi_x10.xbm", "xbm/hi_im.xbm"}) {
        Model m;
        int format = ModFormatGuess;
        ASSERT_EQ(ModReadFromFile(codectest::dataPath(file).c_str(), &format, "", &m), 0) << file;
        EXPECT_EQ(format, ModFormatXBitmap);
        ASSERT_EQ(m.width, plain.width) << file;
        ASSERT_EQ(m.height, plain.height) << file;
        EXPECT_EQ(paletteEntry(m, 0), 0xFFFFFFu);
        EXPECT_EQ(paletteEntry(m, 1), 0x000000u);
        int wrong = 0;
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                wrong += pixel(m, x, m.height - 1 - y) != uint32_t(plain.samples[size_t(y * m.width + x)]);
        EXPECT_EQ(wrong, 0) << file;
    }
}

TEST(XBitmap, ModelsRoundTripInEitherPolarity)
{
    for (int width : {1, 9, 16, 17, 40}) {
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(width, 5, 1, &m), 0);
        std::memset(m.palette, 255, 3);  // entry 0 white, entry 1 black: bits as they are
        std::memset(m.palette + 3, 0, 3);
        int code = -1;
        Bytes file = imgtest::writeToBytes(&m, ModFormatXBitmap, "", &code);
        ASSERT_EQ(code, 0);
        Model back;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatXBitmap, "", &back), 0) << width;
        EXPECT_TRUE(imgtest::samePixels(m, back)) << width;

        // With entry 1 the lighter colour, the ink is where the model has 0 bits.
        std::memset(m.palette, 0, 3);
        std::memset(m.palette + 3, 255, 3);
        file = imgtest::writeToBytes(&m, ModFormatXBitmap, "", &code);
        ASSERT_EQ(code, 0);
        Model inverted;
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatXBitmap, "", &inverted), 0);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(pixel(inverted, x, y), 1 - pixel(m, x, y)) << width;
    }
}

TEST(XBitmap, WriterLaysOutFifteenValuesALine)
{
    Model m;
    ASSERT_EQ(ModCreate(16, 20, 1, nullptr, &m), 0);
    m.palette[0] = m.palette[1] = m.palette[2] = 255;
    imgtest::setPixel(m, 0, 19, 1);  // top left: the first value's bit 0
    int code = -1;
    const std::string text = writeText(m, "out.xbm", &code);
    ASSERT_EQ(code, 0);
    std::string expected = "#define out_width 16\r\n#define out_height 20\r\n"
                           "static char out_bits[] = {\r\n0x01,";
    for (int i = 1; i < 40; ++i)
        expected += (i % 15 == 0 ? "\r\n0x00," : "0x00,");
    expected += "\r\n};\r\n";
    EXPECT_EQ(text, expected);
}

// Names are made from the file's own name; one that starts with a digit gets a leading '_' and
// must still read back.
TEST(XBitmap, NamesComeFromTheFileName)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 2, 1, &m), 0);
    std::memset(m.palette, 255, 3);
    std::memset(m.palette + 3, 0, 3);
    int code = -1;
    const std::string text = writeText(m, "1st-try.v2.xbm", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(text.rfind("#define _st_try_v2_width 3\r\n", 0), 0u) << text;
    Model back;
    ASSERT_EQ(readText(text, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(XBitmap, NumbersInEveryBaseAndCommentsAnywhere)
{
    Model m;
    ASSERT_EQ(readText("/* c */ #define pic_width 16 /* c */\n#define pic_height/**/2\n"
                       "#define pic_x_hot -1\n"
                       "static /* c */ char pic_bits[] = { 1, 0x80 , 017,/*c*/ -1 };",
                       &m),
              0);
    ASSERT_EQ(m.width, 16);
    ASSERT_EQ(m.height, 2);
    // Top row: 0x01 (leftmost pixel set) and 0x80 (rightmost); bottom row: 017 and -1.
    EXPECT_EQ(pixel(m, 0, 1), 1u);
    EXPECT_EQ(pixel(m, 1, 1), 0u);
    EXPECT_EQ(pixel(m, 15, 1), 1u);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(pixel(m, x, 0), 1u);
    EXPECT_EQ(pixel(m, 4, 0), 0u);
    for (int x = 8; x < 16; ++x)
        EXPECT_EQ(pixel(m, x, 0), 1u);
}

TEST(XBitmap, ShortListLeavesTheRestClear)
{
    Model m;
    ASSERT_EQ(readText("#define a_width 8\n#define a_height 3\nstatic short a_bits[] = {0xffff};",
                       &m),
              0);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(pixel(m, x, 2), 1u);
        EXPECT_EQ(pixel(m, x, 1), 0u);
        EXPECT_EQ(pixel(m, x, 0), 0u);
    }
}

TEST(XBitmap, MalformedTextGivesItsCode)
{
    const std::string size = "#define b_width 8\n#define b_height 1\n";
    const std::string longName(101, 'n');
    const struct {
        const char* name;
        std::string text;
        int code;
    } cases[] = {
        {"no height", "#define b_width 8\nstatic char b[] = {0};", ModCodecBadSize},
        {"width 0", "#define b_width 0\n#define b_height 1\nstatic char b[] = {0};",
         ModCodecBadSize},
        {"define without a name", "#define 8 8\n", 1300},
        {"define without a number", "#define b_width x\n", 1309},
        {"number running into letters", "#define b_width 8px\n", 1309},
        {"octal digit 9", "#define b_width 09\n", 1309},
        {"hex without digits", "#define b_width 0x\n", 1309},
        {"overflowing number", "#define b_width 99999999999\n", 1309},
        {"name past the word buffer", "#define " + longName + "_width 8\n", 1300},
        {"end before the type", size + "static", 1301},
        {"unsigned char", size + "static unsigned char b[] = {0};", 1302},
        {"int array", size + "int b[] = {0};", 1302},
        {"no array name", size + "char [] = {0};", 1300},
        {"no [", size + "char b] = {0};", 1303},
        {"no ]", size + "char b[ = {0};", 1304},
        {"no =", size + "char b[] {0};", 1305},
        {"no {", size + "char b[] = 0};", 1306},
        {"value not a number", size + "char b[] = {x};", 1309},
        {"bad separator", size + "char b[] = {0 ;", 1308},
        {"no } after the last value", size + "char b[] = {0, 1};", 1307},
        {"no ; at the end", size + "char b[] = {0}", 1310},
        {"trailing comma is fine", size + "char b[] = {0,};", 0},
        {"comment never ends", size + "char b[] = {0, /* ", 1307},
    };
    for (const auto& c : cases) {
        Model m;
        EXPECT_EQ(readText(c.text, &m), c.code ? ModCodecError + c.code : 0) << c.name;
    }
}

}  // namespace
