// What the Greymap, Pixmap, VORN, ZVX, YUV12C, XBitmap, Sprite and PLVN rows share: their own
// codes' message numbers, and writers called directly with a depth they do not write.
#include "codectest.hpp"

#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <gtest/gtest.h>

namespace {

TEST(SimpleCodecs, OwnCodesMapToTheirMessages)
{
    const struct {
        int code;
        unsigned long message;
    } cases[] = {
        {100, OVK_MSG_PNM_MAX_VALUE},         {200, OVK_MSG_PNM_MAX_VALUE},
        {500, OVK_MSG_VORN_PALETTE_NOT_OPENED}, {501, OVK_MSG_VORN_PALETTE_NOT_CREATED},
        {1500, OVK_MSG_ZVX_FILE_SIZE},        {1000, OVK_MSG_YUV_WIDTH},
        {1300, OVK_MSG_XBM_IDENTIFIER},       {1310, OVK_MSG_XBM_SEMICOLON},
        {1400, OVK_MSG_SPRITE_FIRST_BIT},     {1403, OVK_MSG_SPRITE_PALETTE},
        {1600, OVK_MSG_PLVN_RECORD_START},    {1607, OVK_MSG_PLVN_RECORD_IN_RASTER},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModErrorMessage(ModCodecError + c.code), int(c.message)) << c.code;
    // Codes next to a range belong to nobody.
    for (int code : {1311, 1404, 1608, 502, 1001})
        EXPECT_EQ(ModErrorMessage(ModCodecError + code), 258) << code;
}

// The table checks a format's write flags first; a writer called on its own still refuses a
// depth it cannot store, before it writes anything.
TEST(SimpleCodecs, WritersRefuseOtherDepthsWithCode2)
{
    const struct {
        int format;
        int bpp;
    } cases[] = {{ModFormatGreymap, 24}, {ModFormatPixmap, 8}, {ModFormatVORN, 4},
                 {ModFormatZVX, 1},      {ModFormatYUV12C, 8}, {ModFormatXBitmap, 4},
                 {ModFormatSprite, 24},  {ModFormatPLVN, 8}};
    const std::string path = imgtest::tempPath("depth.out");
    for (const auto& c : cases) {
        imgtest::Model m;
        ASSERT_EQ(ModCreate(8, 2, c.bpp, nullptr, &m), 0);
        const int fd = imgfmt::fileOpenWrite(path.c_str());
        ASSERT_GE(fd, 0);
        EXPECT_EQ(ModFormatWrite(path.c_str(), fd, c.format, &m, m.palette, m.data, ""),
                  ModCodecUnsupported)
            << c.format;
        EXPECT_EQ(imgfmt::fileSize(fd), 0) << c.format;
        imgfmt::fileClose(fd);
    }
}

}  // namespace
