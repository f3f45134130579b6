// Two-colour models written by every format that writes them and decoded by netpbm: the file
// shows the model's darker colour where the model has it, whichever palette entry that is, and
// the formats that keep a palette keep both colours.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#if !defined(_WIN32)

namespace {

using imgtest::Model;

struct Writer {
    const char* name;
    int format;
    const char* extension;
    const char* decoder;  // netpbm's reader of the format
    bool keepsColours;    // the file holds the model's two colours, not black and white
};

const Writer kWriters[] = {
    {"Bitmap", ModFormatBitmap, "bmp", "bmptoppm", false},
    {"GIF", ModFormatGIF, "gif", "giftopnm", true},
    {"PCX", ModFormatPCX, "pcx", "pcxtoppm", true},
    {"TIFF", ModFormatTIFF, "tif", "tifftopnm", false},
    {"ILBM", ModFormatILBM, "iff", "ilbmtoppm", true},
    {"XBitmap", ModFormatXBitmap, "xbm", "xbmtopbm", false},
};

int luminanceOf(uint32_t rgb)
{
    const unsigned char entry[3] = {static_cast<unsigned char>(rgb >> 16),
                                    static_cast<unsigned char>(rgb >> 8),
                                    static_cast<unsigned char>(rgb)};
    return imgfmt::luminance(entry);
}

class TwoColourWriters : public ::testing::TestWithParam<Writer> {};

TEST_P(TwoColourWriters, NetpbmSeesTheModelsDarkPixelsWhereTheModelHasThem)
{
    const Writer& w = GetParam();
    if (std::system((std::string("command -v ") + w.decoder + " > /dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << w.decoder << " is not installed";
    // Black on white, white on black, and dark blue on yellow in either order.
    const uint32_t pairs[][2] = {{0x000000, 0xFFFFFF},
                                 {0xFFFFFF, 0x000000},
                                 {0x202080, 0xF0E000},
                                 {0xF0E000, 0x202080}};
    for (const auto& pair : pairs) {
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(19, 5, 1, &m), 0);
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < 3; ++c)
                m.palette[3 * e + c] = static_cast<unsigned char>(pair[e] >> (16 - 8 * c));
        const uint32_t darker = luminanceOf(pair[0]) < luminanceOf(pair[1]) ? 0u : 1u;

        const std::string file = imgtest::tempPath(std::string("two.") + w.extension);
        const std::string decoded = imgtest::tempPath("two.pnm");
        ASSERT_EQ(ModWriteToFile(&m, w.format, file.c_str(), ""), 0) << w.name;
        const std::string command = std::string(w.decoder) + " " + file +
                                    " 2>/dev/null | pnmtoplainpnm > " + decoded;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const codectest::PlainMap map = codectest::readPlainMap(decoded);
        ASSERT_EQ(map.width, 19) << w.name;
        ASSERT_EQ(map.height, 5) << w.name;

        // The two colours the decoder shows, by the model's pixel values.
        uint32_t shown[2] = {0, 0};
        bool seen[2] = {false, false};
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 19; ++x) {
                const uint32_t value = imgtest::pixel(m, x, 4 - y);
                const uint32_t colour = codectest::plainColour(map, x, y);
                if (!seen[value]) {
                    seen[value] = true;
                    shown[value] = colour;
                }
                ASSERT_EQ(colour, shown[value])
                    << w.name << ": pixels of one value show two colours, at " << x << "," << y;
            }
        ASSERT_TRUE(seen[0] && seen[1]);
        EXPECT_LT(luminanceOf(shown[darker]), luminanceOf(shown[1 - darker]))
            << w.name << " shows the negative of " << codectest::hex(pair[0]) << ", "
            << codectest::hex(pair[1]);
        if (w.keepsColours) {
            EXPECT_EQ(shown[0], pair[0]) << w.name;
            EXPECT_EQ(shown[1], pair[1]) << w.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TwoColourWriters, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace

#endif
