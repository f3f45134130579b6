// VORN (with its ".pal" and ".vrl" palette side files) and ZVX (raw grey, width by option).
#include "codectest.hpp"

#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;

namespace fs = std::filesystem;

// A folder of its own for each test, since VORN writes two files per picture.
std::string freshFolder(const std::string& name)
{
    const fs::path folder = imgtest::tempPath("vorn-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

Bytes vornHeader(unsigned width, unsigned height)
{
    Bytes b = codectest::bytesOf("DFIMAG00");
    codectest::appendLE16(b, height);
    codectest::appendLE16(b, width);
    b.push_back(1);
    b.resize(32, 0);
    return b;
}

int readVorn(const std::string& path, const char* options, Model* m)
{
    int format = ModFormatVORN;
    return ModReadFromFile(path.c_str(), &format, options, m);
}

TEST(Vorn, RoundTripsWithEitherSideFile)
{
    const std::string folder = freshFolder("roundtrip");
    for (const char* options : {"", "pal", "vrl"}) {
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(5, 3, 8, &m), 0);
        const std::string path = folder + "/picture.vrn";
        ASSERT_EQ(ModWriteToFile(&m, ModFormatVORN, path.c_str(), options), 0) << options;
        const bool vrl = std::string(options) == "vrl";
        EXPECT_TRUE(fs::exists(folder + (vrl ? "/picture.vrl" : "/picture.pal"))) << options;
        EXPECT_EQ(fs::file_size(path), 32u + 15u);
        Model back;
        ASSERT_EQ(readVorn(path, options, &back), 0) << options;
        EXPECT_TRUE(imgtest::samePixels(m, back)) << options;
        EXPECT_EQ(std::memcmp(m.palette, back.palette, 768), 0) << options;
        fs::remove(folder + "/picture.pal");
        fs::remove(folder + "/picture.vrl");
    }
}

TEST(Vorn, SideFilesStoreBlueBeforeGreen)
{
    const std::string folder = freshFolder("order");
    Model m;
    ASSERT_EQ(ModCreate(1, 1, 8, nullptr, &m), 0);
    m.palette[3] = 10;  // entry 1
    m.palette[4] = 20;
    m.palette[5] = 30;
    ASSERT_EQ(ModWriteToFile(&m, ModFormatVORN, (folder + "/a.vrn").c_str(), ""), 0);
    const Bytes pal = imgtest::readFile(folder + "/a.pal");
    ASSERT_EQ(pal.size(), 1024u);
    EXPECT_EQ(Bytes(pal.begin() + 4, pal.begin() + 8), (Bytes{10, 30, 20, 0}));

    ASSERT_EQ(ModWriteToFile(&m, ModFormatVORN, (folder + "/a.vrn").c_str(), "vrl"), 0);
    const Bytes vrl = imgtest::readFile(folder + "/a.vrl");
    ASSERT_EQ(vrl.size(), 32u + 768u);
    EXPECT_EQ(Bytes(vrl.begin(), vrl.begin() + 32), vornHeader(256, 3));
    EXPECT_EQ(vrl[32 + 1], 10);
    EXPECT_EQ(vrl[32 + 256 + 1], 30);
    EXPECT_EQ(vrl[32 + 512 + 1], 20);
}

// The side file replaces the extension of the file's own name, or is appended when that name
// has none, even when a directory name has a dot.
TEST(Vorn, SideFileNameFollowsTheImageName)
{
    const std::string folder = freshFolder("names");
    fs::create_directories(folder + "/dir.old");
    const struct {
        const char* image;
        const char* side;
    } cases[] = {{"/picture", "/picture.pal"},
                 {"/dir.old/photo", "/dir.old/photo.pal"},
                 {"/x.v", "/x.pal"}};
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 8, &m), 0);
    for (const auto& c : cases) {
        ASSERT_EQ(ModWriteToFile(&m, ModFormatVORN, (folder + c.image).c_str(), ""), 0) << c.image;
        EXPECT_TRUE(fs::exists(folder + c.side)) << c.image;
        Model back;
        EXPECT_EQ(readVorn(folder + c.image, "", &back), 0) << c.image;
    }
    EXPECT_FALSE(fs::exists(folder + "/dir.pal"));
}

TEST(Vorn, ReadingNeedsASoundSideFile)
{
    const std::string folder = freshFolder("side");
    const std::string image = folder + "/p.vrn";
    ASSERT_TRUE(imgtest::writeFile(image, vornHeader(2, 1) + Bytes{7, 8}));
    Model m;
    EXPECT_EQ(readVorn(image, "", &m), ModCodecError + 500);

    const struct {
        const char* name;
        const char* file;
        Bytes contents;
        const char* options;
        int code;
    } cases[] = {
        {"palette cut short", "/p.pal", Bytes(1000, 0), "", ModCodecShortRead},
        {"vrl without magic", "/p.vrl", Bytes(800, 0), "vrl", ModCodecBadSignature},
        {"vrl of the wrong shape", "/p.vrl", vornHeader(256, 4) + Bytes(768, 0), "vrl",
         ModCodecBadSize},
        {"vrl cut short", "/p.vrl", vornHeader(256, 3) + Bytes(700, 0), "vrl",
         ModCodecShortRead},
        {"sound vrl", "/p.vrl", vornHeader(256, 3) + Bytes(768, 0), "vrl", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(imgtest::writeFile(folder + c.file, c.contents));
        Model r;
        EXPECT_EQ(readVorn(image, c.options, &r), c.code ? ModCodecError + c.code : 0) << c.name;
    }
}

TEST(Vorn, MalformedImagesAndOptionsAreRefused)
{
    const std::string folder = freshFolder("bad");
    ASSERT_TRUE(imgtest::writeFile(folder + "/p.pal", Bytes(1024, 0)));
    const struct {
        const char* name;
        Bytes file;
        const char* options;
        int code;
    } cases[] = {
        {"wrong magic", codectest::bytesOf("DFIMAG01") + Bytes(26, 1), "", ModCodecBadSignature},
        {"width 0", vornHeader(0, 1) + Bytes{1}, "", ModCodecBadSize},
        {"height 0", vornHeader(1, 0) + Bytes{1}, "", ModCodecBadSize},
        {"pixels missing", vornHeader(3, 2) + Bytes{1, 2, 3}, "", ModCodecShortRead},
        {"header cut short", codectest::bytesOf("DFIMAG00") + Bytes(12, 1), "", ModCodecShortRead},
        {"both side-file forms", vornHeader(1, 1) + Bytes{1}, "pal vrl", ModCodecBadOption},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(imgtest::writeFile(folder + "/p.vrn", c.file));
        Model m;
        EXPECT_EQ(readVorn(folder + "/p.vrn", c.options, &m), ModCodecError + c.code) << c.name;
    }
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 8, &m), 0);
    EXPECT_EQ(ModWriteToFile(&m, ModFormatVORN, (folder + "/w.vrn").c_str(), "vrl,pal"),
              ModCodecError + ModCodecBadOption);
    EXPECT_FALSE(fs::exists(folder + "/w.vrn"));
}

// The image path is kept for the side file in a bounded area; a longer one is refused instead
// of being cut into the name of some other file.
TEST(Vorn, APathLongerThanTheKeptAreaIsRefused)
{
    const std::string folder = freshFolder("long");
    const std::string image = folder + "/p.vrn";
    ASSERT_TRUE(imgtest::writeFile(image, vornHeader(1, 1) + Bytes{1}));
    const int fd = imgfmt::fileOpenRead(image.c_str());
    ASSERT_GE(fd, 0);
    const std::string longPath = folder + "/" + std::string(700, 'a') + ".vrn";
    Model m;
    EXPECT_EQ(imgfmt::formatRow(ModFormatVORN)->readHeader(longPath.c_str(), fd, &m, ""), 500);
    imgfmt::fileClose(fd);
}

TEST(Zvx, ImageMagickGreyDumpReadsWithTheDefaultWidth)
{
    Model m;
    int format = ModFormatZVX;
    ASSERT_EQ(ModReadFromFile(codectest::dataPath("zvx/ramp.zvx").c_str(), &format, "", &m), 0);
    ASSERT_EQ(m.width, 512);
    ASSERT_EQ(m.height, 2);
    EXPECT_EQ(paletteEntry(m, 0x80), 0x808080u);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(pixel(m, 0, row), 0u);
        EXPECT_EQ(pixel(m, 511, row), 255u);
        for (int x = 1; x < 512; ++x)
            EXPECT_LE(pixel(m, x - 1, row), pixel(m, x, row));
    }
}

TEST(Zvx, WidthOptionAndFileSizeGiveTheShapeOrACode)
{
    const struct {
        size_t size;
        const char* options;
        int code;
        int width;
        int height;
    } cases[] = {
        {1024, "", 0, 512, 2},
        {1024, "width=1024", 0, 1024, 1},
        {1024, "WIDTH=256", 0, 256, 4},
        {1024, "width=1000", 1500, 0, 0},
        {100, "", ModCodecBadSize, 0, 0},
        {1024, "width=0", ModCodecBadSize, 0, 0},
        {1024, "width=-4", ModCodecBadOption, 0, 0},
        {1024, "width=12x", ModCodecBadOption, 0, 0},
        {1024, "width=99999999999", ModCodecBadOption, 0, 0},
        {0, "", ModCodecBadSize, 0, 0},
    };
    for (const auto& c : cases) {
        Bytes file(c.size);
        for (size_t i = 0; i < file.size(); ++i)
            file[i] = static_cast<unsigned char>(i);
        Model m;
        const int code = imgtest::readFromBytes(file, ModFormatZVX, c.options, &m);
        EXPECT_EQ(code, c.code ? ModCodecError + c.code : 0) << c.size << " " << c.options;
        if (c.code == 0 && code == 0) {
            EXPECT_EQ(m.width, c.width);
            EXPECT_EQ(m.height, c.height);
            // The first byte of the file is the top left pixel.
            EXPECT_EQ(pixel(m, 1, m.height - 1), 1u);
        }
    }
}

TEST(Zvx, WriterMapsThePaletteToGrey)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 2, 8, &m), 0);
    for (int i = 0; i < 256; ++i)
        std::memset(m.palette + 3 * i, i, 3);
    int code = -1;
    Bytes file = imgtest::writeToBytes(&m, ModFormatZVX, "", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(file.size(), 6u);
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(file, ModFormatZVX, "width=3", &back), 0);
    EXPECT_TRUE(imgtest::samePixels(m, back));

    m.palette[3 * m.data[0]] = 255;
    m.palette[3 * m.data[0] + 1] = 0;
    m.palette[3 * m.data[0] + 2] = 0;
    file = imgtest::writeToBytes(&m, ModFormatZVX, "r", &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(file[3], 255);  // the bottom row's first pixel, written after the top row
    file = imgtest::writeToBytes(&m, ModFormatZVX, "", &code);
    EXPECT_EQ(file[3], 76);
    imgtest::writeToBytes(&m, ModFormatZVX, "g b", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadOption);
}

}  // namespace
