// The format table: rows, the guess by extension, options, dispatch and error messages.
#include "imgio.hpp"

#include "detail/icodec.hpp"

#include <ovkmsgid.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

using imgtest::Model;

TEST(FormatTable, HasFourteenRowsInTheFixedOrder)
{
    int count = 0;
    EXPECT_EQ(ModFormatCount(&count), 0);
    EXPECT_EQ(count, 14);
    const struct {
        const char* name;
        const char* extensions;
        unsigned flags;
    } expected[] = {
        {"Bitmap", "BMP VGA BGA RLE DIB RL4 RL8", 0xFF}, {"GIF", "GIF", 0x77},
        {"PCX", "PCX", 0xFF},          {"TIFF", "TIF TIFF", 0xFF},
        {"Targa", "TGA VST AFI", 0xCC}, {"ILBM", "IFF LBM", 0xFF},
        {"YUV12C", "VID", 0x88},       {"Greymap", "PGM", 0x44},
        {"Pixmap", "PPM", 0x88},       {"VORN", "VRN", 0x44},
        {"ZVX", "ZVX", 0x44},          {"XBitmap", "XBM", 0x11},
        {"Sprite", "SPR SPRITE", 0x77}, {"PLVN", "PLV PLVN PLVN38PP PLVN3820", 0x11},
    };
    for (int i = 0; i < 14; ++i) {
        ModFormatInfo info;
        ASSERT_EQ(ModFormatQuery(i, &info), 0);
        EXPECT_STREQ(info.shortName, expected[i].name) << i;
        EXPECT_STREQ(info.extensions, expected[i].extensions) << i;
        EXPECT_EQ(info.flags, expected[i].flags) << i;
        EXPECT_NE(info.description, nullptr);
    }
    ModFormatInfo info;
    EXPECT_STREQ((ModFormatQuery(0, &info), info.description),
                 "Tarvos 1.1, 1.2, 2.0 / Windows 3.0 bitmap");
}

TEST(FormatTable, AnIndexOutsideTheTableIsRefusedByEveryOperation)
{
    ModFormatInfo info;
    Model m;
    unsigned char buffer[16] = {};
    for (int index : {-2, -1, 14, 1000}) {
        EXPECT_EQ(ModFormatQuery(index, &info), ModCodecNoFormat);
        EXPECT_EQ(ModFormatReadHeader("x", -1, index, &m, nullptr), ModCodecNoFormat);
        EXPECT_EQ(ModFormatReadPalette(-1, index, &m, buffer), ModCodecNoFormat);
        EXPECT_EQ(ModFormatReadData(-1, index, &m, buffer), ModCodecNoFormat);
        EXPECT_EQ(ModFormatWrite("x", -1, index, &m, buffer, buffer, nullptr), ModCodecNoFormat);
    }
    int format = 77;
    EXPECT_EQ(ModReadFromFile("whatever.bmp", &format, nullptr, &m),
              ModCodecError + ModCodecNoFormat);
    Model small;
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 8, &small), 0);
    EXPECT_EQ(ModWriteToFile(&small, 14, imgtest::tempPath("bad-index.bmp").c_str(), nullptr),
              ModErrDepth);
}

TEST(FormatGuess, FindsTheFirstRowListingTheExtensionWithoutRegardToCase)
{
    const struct {
        const char* path;
        int index;  // -1: no format
    } cases[] = {
        {"picture.tga", 4},     {"a.bmp", 0},       {"a.Bmp", 0},       {"A.BMP", 0},
        {"scan.tiff", 3},       {"x.rl8", 0},       {"a.b/c.gif", 1},   {"dir.old\\photo", -1},
        {"x/dir.old\\photo", -1}, {"noextension", -1}, {"file.ti", -1},    {"file.", -1},
        {"f.plvn3820", 13},     {"f.sprite", 12},   {"f.tar.gz", -1},   {"", -1},
    };
    for (const auto& c : cases) {
        int index = 99;
        const int code = ModGuessFormat(c.path, &index);
        if (c.index < 0) {
            EXPECT_EQ(code, ModCodecNoFormat) << c.path;
        } else {
            EXPECT_EQ(code, 0) << c.path;
            EXPECT_EQ(index, c.index) << c.path;
        }
    }
}

TEST(FormatGuess, ExtensionStartsAfterTheLastDotUnlessASeparatorFollowsIt)
{
    EXPECT_STREQ(imgfmt::fileExtension("a.b/c.gif"), "gif");
    EXPECT_EQ(imgfmt::fileExtension("dir.old\\photo"), nullptr);
    EXPECT_STREQ(imgfmt::fileExtension("x/dir.old\\photo"), "old\\photo");
    EXPECT_EQ(imgfmt::fileExtension("plain"), nullptr);
    EXPECT_STREQ(imgfmt::fileExtension("trailing."), "");
}

TEST(FormatOptions, FindOptionPointsIntoTheCallersText)
{
    const char* options = "errok, INDEX=3\tinvb";
    const char* found = imgfmt::findOption(options, "index=");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, options + 7);
    long value = 0;
    EXPECT_TRUE(imgfmt::optionNumber(options, "index=", &value));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(imgfmt::findOption(options, "width="), nullptr);
    EXPECT_FALSE(imgfmt::optionNumber(options, "width=", &value));
    EXPECT_FALSE(imgfmt::optionNumber("index=x", "index=", &value));
    EXPECT_TRUE(imgfmt::optionNumber("index=-12", "index=", &value));
    EXPECT_EQ(value, -12);
    EXPECT_EQ(imgfmt::findOption(nullptr, "index="), nullptr);
}

TEST(FormatOptions, HasOptionMatchesWholeTokensOnly)
{
    EXPECT_EQ(imgfmt::hasOption("invbx", "invb"), nullptr);
    EXPECT_EQ(imgfmt::hasOption("inv", "invb"), nullptr);
    const char* options = "invbx,INVB";
    EXPECT_EQ(imgfmt::hasOption(options, "invb"), options + 6);
    EXPECT_EQ(imgfmt::hasOption(",,, ", "invb"), nullptr);
    EXPECT_EQ(imgfmt::hasOption(nullptr, "invb"), nullptr);
}

TEST(FormatOptions, LongOptionStringsAreSearchedWhole)
{
    // Far beyond any fixed-size copy: the lookups scan the caller's text in place.
    std::string options(5000, 'x');
    options += " ydown index=42";
    EXPECT_NE(imgfmt::hasOption(options.c_str(), "ydown"), nullptr);
    long value = 0;
    EXPECT_TRUE(imgfmt::optionNumber(options.c_str(), "index=", &value));
    EXPECT_EQ(value, 42);
}

TEST(FormatErrors, ModelAndSharedCodesMapToTheirMessages)
{
    const struct {
        int code;
        unsigned long message;
    } cases[] = {
        {0, 0},
        {1, OVK_MSG_OUT_OF_MEMORY},
        {2, OVK_MSG_IMAGE_FILE_NOT_READABLE},
        {6, OVK_MSG_IMAGE_MODEL_ERROR_6},
        {7, OVK_MSG_IMAGE_BITMAP_NOT_CREATED},
        {8, OVK_MSG_IMAGE_MODEL_ERROR_8},
        {9, OVK_MSG_IMAGE_MODEL_ERROR_9},
        {10, OVK_MSG_IMAGE_UNKNOWN_ERROR},
        {-5, OVK_MSG_IMAGE_UNKNOWN_ERROR},
        {0x8000, 0},
        {0x8001, OVK_MSG_OUT_OF_MEMORY},
        {0x8002, OVK_MSG_IMAGE_VARIANT_UNSUPPORTED},
        {0x8004, OVK_MSG_IMAGE_UNKNOWN_EXTENSION},
        {0x8008, OVK_MSG_IMAGE_WRITE_FAILED},
        {0x8009, OVK_MSG_IMAGE_UNKNOWN_ERROR},
        {0x8000 + 300, OVK_MSG_BMP_PLANES},
        {0x8000 + 303, OVK_MSG_BMP_COMPRESSION},
        {0x8000 + 304, OVK_MSG_BMP_INVALID},
        {0x8000 + 305, OVK_MSG_IMAGE_UNKNOWN_ERROR},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModErrorMessage(c.code), static_cast<int>(c.message)) << std::hex << c.code;
}

TEST(FormatErrors, EveryRowsOwnCodesReachTheirMessages)
{
    const struct {
        int code;
        int message;
    } cases[] = {
        {1100, 279}, {1103, 282}, {700, 296}, {703, 299}, {800, 316}, {819, 335},
        {820, 258},  {821, 336},  {829, 344}, {400, 313}, {402, 315}, {900, 286},
        {909, 295},  {1000, 345}, {100, 300}, {200, 300}, {500, 284}, {501, 285},
        {1500, 283}, {1300, 346}, {1310, 356}, {1400, 309}, {1403, 312}, {1600, 301},
        {1607, 308}, {1608, 258}, {302, 276},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModErrorMessage(ModCodecError + c.code), c.message) << c.code;
}

TEST(FormatFiles, ADepthTheFormatCannotWriteCreatesNoFile)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 3, 8, &m), 0);
    const std::string path = imgtest::tempPath("no-such-depth.xbm");
    std::filesystem::remove(path);
    EXPECT_EQ(ModWriteToFile(&m, ModFormatGuess, path.c_str(), nullptr), ModErrDepth);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FormatFiles, AnUnlistedExtensionFailsBothWays)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 3, 8, &m), 0);
    const std::string path = imgtest::tempPath("picture.unknown");
    ASSERT_TRUE(imgtest::writeFile(path, "BM", 2));
    int format = ModFormatGuess;
    Model read;
    EXPECT_EQ(ModReadFromFile(path.c_str(), &format, nullptr, &read),
              ModCodecError + ModCodecNoFormat);
    EXPECT_EQ(format, ModFormatGuess);
    EXPECT_EQ(ModWriteToFile(&m, ModFormatGuess, path.c_str(), nullptr), ModErrDepth);
}

TEST(FormatFiles, MissingFilesAndUnwritablePathsGiveTheModelCodes)
{
    int format = ModFormatGuess;
    Model m;
    const std::string missing = imgtest::tempPath("missing.bmp");
    EXPECT_EQ(ModReadFromFile(missing.c_str(), &format, nullptr, &m), ModErrOpenRead);
    EXPECT_EQ(format, ModFormatBitmap);  // the guess is written back even when the read fails

    Model small;
    ASSERT_EQ(imgtest::makePatternModel(2, 2, 8, &small), 0);
    const std::string unwritable = imgtest::tempPath("no/such/folder/x.bmp");
    EXPECT_EQ(ModWriteToFile(&small, ModFormatGuess, unwritable.c_str(), nullptr),
              ModErrOpenWrite);
}

TEST(FormatFiles, AFailedWriteDeletesThePartFile)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 3, 8, &m), 0);
    const std::string path = imgtest::tempPath("refused.bmp");
    // Contradicting header forms are refused by the codec after the file was opened.
    EXPECT_EQ(ModWriteToFile(&m, ModFormatBitmap, path.c_str(), "1.1 win"),
              ModCodecError + ModCodecBadOption);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// What the writers do to a picture they cannot hold as it is, 67 pixels wide: YUV12C keeps whole
// groups of four, PLVN whole bytes (the added columns in the lighter colour), ILBM turns 24 bits
// into HAM6 (a colour off the 4-bit grid comes back changed), and a ZVX file keeps its shape only
// for a reader told its width. Bitmap files of 16 and 32 bits are refused with message 275.
TEST(FormatWriters, ChangeWhatTheyCannotHoldAsTheFormatTableSays)
{
    int code = -1;
    {
        Model colour, back;
        ASSERT_EQ(imgtest::makePatternModel(67, 5, 24, &colour), 0);
        const auto file = imgtest::writeToBytes(&colour, ModFormatYUV12C, "", &code);
        EXPECT_EQ(code, 0);
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatYUV12C, "", &back), 0);
        EXPECT_EQ(back.width, 64);
    }
    {
        Model ham, back;
        const unsigned char offGrid[3] = {0x9B, 0x57, 0x13};  // blue, green, red
        ASSERT_EQ(ModCreate(67, 5, 24, nullptr, &ham), 0);
        for (int i = 0; i < ModRowBytes(67, 24) * 5; ++i)
            ham.data[i] = offGrid[i % 3];
        const auto file = imgtest::writeToBytes(&ham, ModFormatILBM, "", &code);
        EXPECT_EQ(code, 0);
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatILBM, "", &back), 0);
        ASSERT_EQ(back.bpp, 24);
        EXPECT_EQ(back.width, 67);
        EXPECT_NE(imgtest::pixel(back, 10, 2), imgtest::pixel(ham, 10, 2)) << "HAM6 is lossy";
    }
    {
        Model mono, back;
        ASSERT_EQ(imgtest::makePatternModel(67, 5, 1, &mono), 0);
        const unsigned char blackWhite[6] = {0, 0, 0, 255, 255, 255};
        std::memcpy(mono.palette, blackWhite, sizeof blackWhite);
        const auto file = imgtest::writeToBytes(&mono, ModFormatPLVN, "", &code);
        EXPECT_EQ(code, 0);
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatPLVN, "", &back), 0);
        ASSERT_EQ(back.width, 72);
        const uint32_t added = imgtest::pixel(back, 70, 2);
        EXPECT_EQ(imgtest::paletteEntry(back, static_cast<int>(added)), 0xFFFFFFu);
    }
    {
        Model grey, refused, back;
        ASSERT_EQ(imgtest::makePatternModel(67, 5, 8, &grey), 0);
        const auto file = imgtest::writeToBytes(&grey, ModFormatZVX, "", &code);
        EXPECT_EQ(code, 0);
        EXPECT_NE(imgtest::readFromBytes(file, ModFormatZVX, "", &refused), 0);
        ASSERT_EQ(imgtest::readFromBytes(file, ModFormatZVX, "width=67", &back), 0);
        EXPECT_EQ(back.width, 67);
        EXPECT_EQ(back.height, 5);
    }
    for (unsigned bits : {16u, 32u}) {
        // One pixel behind a 40-byte info header.
        std::vector<unsigned char> bmp(54 + 4, 0);
        const auto put = [&bmp](size_t at, uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                bmp[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
        };
        bmp[0] = 'B';
        bmp[1] = 'M';
        put(2, static_cast<uint32_t>(bmp.size()), 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, 1, 4);
        put(22, 1, 4);
        put(26, 1, 2);
        put(28, bits, 2);
        Model refused;
        const int read = imgtest::readFromBytes(bmp, ModFormatBitmap, "", &refused);
        EXPECT_EQ(ModErrorMessage(read), 275) << bits;
    }
}
