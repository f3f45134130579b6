// Sprite: sprite files built inline (one or several sprites, with and without palettes), round
// trips through our writer, and the header's refusals.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::appendLE32;
using codectest::Bytes;
using imgtest::Model;
using imgtest::paletteEntry;
using imgtest::pixel;

struct SpriteLayout {
    uint32_t widthWords = 1;  // stored minus 1
    int32_t height = 1;       // stored minus 1
    uint32_t firstBit = 0;
    uint32_t lastBit = 31;
    uint32_t mode = 28;  // 8 bits
    std::vector<uint32_t> palette;  // colours 0xBBGGRR00, each written as both flash colours
    Bytes rows;                     // widthWords * 4 * height bytes
    int32_t imageOffset = -1;       // -1: right behind the palette
};

Bytes spriteBytes(const SpriteLayout& s)
{
    Bytes b;
    const uint32_t image = s.imageOffset >= 0 ? uint32_t(s.imageOffset)
                                              : uint32_t(44 + 8 * s.palette.size());
    appendLE32(b, uint32_t(image + s.rows.size()));
    Bytes name = codectest::bytesOf("test");
    name.resize(12, 0);
    b = codectest::operator+(b, name);
    appendLE32(b, s.widthWords - 1);
    appendLE32(b, uint32_t(s.height - 1));
    appendLE32(b, s.firstBit);
    appendLE32(b, s.lastBit);
    appendLE32(b, image);
    appendLE32(b, image);
    appendLE32(b, s.mode);
    for (uint32_t colour : s.palette) {
        appendLE32(b, colour);
        appendLE32(b, colour);
    }
    return codectest::operator+(b, s.rows);
}

Bytes spriteFile(const std::vector<SpriteLayout>& sprites)
{
    Bytes file;
    Bytes body;
    for (const SpriteLayout& s : sprites)
        body = codectest::operator+(body, spriteBytes(s));
    appendLE32(file, uint32_t(sprites.size()));
    appendLE32(file, 16);
    appendLE32(file, uint32_t(16 + body.size()));
    return codectest::operator+(file, body);
}

int readSprite(const Bytes& file, Model* m, const char* options = "")
{
    return imgtest::readFromBytes(file, ModFormatSprite, options, m);
}

TEST(Sprite, ModelsRoundTripAtEachDepth)
{
    for (int bpp : {1, 4}) {
        for (int width : {1, 7, 33}) {
            Model m;
            ASSERT_EQ(imgtest::makePatternModel(width, 3, bpp, &m), 0);
            int code = -1;
            const Bytes file = imgtest::writeToBytes(&m, ModFormatSprite, "", &code);
            ASSERT_EQ(code, 0);
            Model back;
            ASSERT_EQ(readSprite(file, &back), 0) << bpp << " " << width;
            EXPECT_TRUE(imgtest::samePixels(m, back)) << bpp << " " << width;
            // Colours are stored with four bits a component.
            for (int i = 0; i < 1 << bpp; ++i)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(back.palette[3 * i + c], (m.palette[3 * i + c] >> 4) * 17);
        }
    }
}

// At 8 bits the file uses the standard 256-colour palette, whose colours map to themselves.
TEST(Sprite, StandardColoursRoundTripAtEightBits)
{
    SpriteLayout layout;
    layout.rows = Bytes(4, 0);
    Model standard;
    ASSERT_EQ(readSprite(spriteFile({layout}), &standard), 0);
    Model m;
    ASSERT_EQ(ModCreate(256, 1, 8, standard.palette, &m), 0);
    for (int x = 0; x < 256; ++x)
        imgtest::setPixel(m, x, 0, uint32_t(x));
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatSprite, "", &code);
    ASSERT_EQ(code, 0);
    Model back;
    ASSERT_EQ(readSprite(file, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(Sprite, WriterMapsColoursAndNamesTheSprite)
{
    Model m;
    ASSERT_EQ(ModCreate(2, 1, 8, nullptr, &m), 0);
    m.palette[3] = 255;  // entry 1 pure red
    imgtest::setPixel(m, 0, 0, 1);
    const struct {
        const char* file;
        const char* name;
    } cases[] = {{"photo.spr", "photo"}, {"Photo.SPR", "photo"}, {"photo.sprite", "photo.sprit"}};
    for (const auto& c : cases) {
        const std::string path = imgtest::tempPath(c.file);
        ASSERT_EQ(ModWriteToFile(&m, ModFormatSprite, path.c_str(), ""), 0);
        const Bytes file = imgtest::readFile(path);
        ASSERT_EQ(file.size(), 12u + 44u + 16u * 8u + 4u);
        std::string name(file.begin() + 16, file.begin() + 28);
        EXPECT_EQ(std::string(name.c_str()), c.name);
        EXPECT_EQ(file[12 + 40], 24);  // mode of 8 bits
        EXPECT_EQ(file[12 + 44 + 128], 0x15) << c.file;
    }
}

TEST(Sprite, IndexOptionPicksASpriteOfTheFile)
{
    std::vector<SpriteLayout> sprites(3);
    for (int i = 0; i < 3; ++i) {
        sprites[size_t(i)].height = i + 1;
        sprites[size_t(i)].rows = Bytes(4 * size_t(i + 1), static_cast<unsigned char>(i + 10));
    }
    const Bytes file = spriteFile(sprites);
    Model m;
    ASSERT_EQ(readSprite(file, &m, "index=2"), 0);
    EXPECT_EQ(m.height, 3);
    EXPECT_EQ(pixel(m, 0, 0), 12u);
    Model first;
    ASSERT_EQ(readSprite(file, &first), 0);
    EXPECT_EQ(first.height, 1);
    for (const char* options : {"index=3", "index=-1"}) {
        Model none;
        EXPECT_EQ(readSprite(file, &none, options), ModCodecError + 1402) << options;
    }
    Model bad;
    EXPECT_EQ(readSprite(file, &bad, "index=x"), ModCodecError + ModCodecBadOption);
}

TEST(Sprite, TwoBitSpritesWidenToFourBits)
{
    SpriteLayout layout;
    layout.mode = 26;  // 2 bits
    layout.lastBit = 9;  // 5 pixels
    layout.palette = {0x0000FF00, 0x00FF0000, 0xFF000000, 0xFFFFFF00};
    layout.rows = Bytes{0xE4, 0x02, 0, 0};  // pixels 0, 1, 2, 3, 2
    Model m;
    ASSERT_EQ(readSprite(spriteFile({layout}), &m), 0);
    EXPECT_EQ(m.bpp, 4);
    EXPECT_EQ(m.width, 5);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(pixel(m, x, 0), uint32_t(x == 4 ? 2 : x));
    EXPECT_EQ(paletteEntry(m, 0), 0xFF0000u);
    EXPECT_EQ(paletteEntry(m, 2), 0x0000FFu);
}

TEST(Sprite, SpritesWithoutPaletteGetTheDefaultOfTheirDepth)
{
    const struct {
        uint32_t mode;
        int entry;
        uint32_t colour;
    } cases[] = {{25, 0, 0xFFFFFF}, {25, 1, 0}, {26, 1, 0xAAAAAA}, {27, 13, 0x408040},
                 {28, 0x15, 0xD01010}, {28, 0xFF, 0xF0F0F0}};
    for (const auto& c : cases) {
        SpriteLayout layout;
        layout.mode = c.mode;
        layout.rows = Bytes(4, 0);
        Model m;
        ASSERT_EQ(readSprite(spriteFile({layout}), &m), 0) << c.mode;
        EXPECT_EQ(paletteEntry(m, c.entry), c.colour) << c.mode << " " << c.entry;
    }
}

TEST(Sprite, EightBitPalettesOf64EntriesWiden)
{
    SpriteLayout layout;
    for (uint32_t i = 0; i < 64; ++i)
        layout.palette.push_back((i << 8) | (0x30 << 16) | (0x20u << 24));  // red i, green, blue
    layout.rows = Bytes(4, 0);
    Model m;
    ASSERT_EQ(readSprite(spriteFile({layout}), &m), 0);
    // Entry 64k + i is entry i with green bit 7 from bit 0 of k and blue bit 7 from bit 1.
    EXPECT_EQ(paletteEntry(m, 5), 0x053020u);
    EXPECT_EQ(paletteEntry(m, 64 + 5), 0x05B020u);
    EXPECT_EQ(paletteEntry(m, 192 + 5), 0x05B0A0u);
}

TEST(Sprite, MalformedHeadersAreRefused)
{
    const auto with = [](auto change) {
        SpriteLayout layout;
        layout.rows = Bytes(8, 0);
        layout.height = 2;
        change(layout);
        return spriteFile({layout});
    };
    const struct {
        const char* name;
        Bytes file;
        int code;
    } cases[] = {
        {"first bit not a byte", with([](SpriteLayout& s) { s.firstBit = 4; }), 1400},
        {"first bit past the word", with([](SpriteLayout& s) { s.firstBit = 40; }), 1400},
        {"mode 3", with([](SpriteLayout& s) { s.mode = 3; }), 1401},
        {"mode 29", with([](SpriteLayout& s) { s.mode = 29; }), 1401},
        {"mode word of a new sprite", with([](SpriteLayout& s) { s.mode = 0x301680B5; }), 1401},
        {"eight bits with 20 colours",
         with([](SpriteLayout& s) { s.palette.assign(20, 0); }), 1403},
        {"one bit with 4 colours", with([](SpriteLayout& s) { s.mode = 25; s.palette.assign(4, 0); }),
         1403},
        {"height 0", with([](SpriteLayout& s) { s.height = 0; }), ModCodecBadSize},
        {"height 10001", with([](SpriteLayout& s) { s.height = 10001; }), ModCodecBadSize},
        {"width below 1", with([](SpriteLayout& s) { s.firstBit = 24; s.lastBit = 7; }),
         ModCodecBadSize},
        {"width 10001 words", with([](SpriteLayout& s) { s.widthWords = 10001; }), ModCodecBadSize},
        {"last bit past the word", with([](SpriteLayout& s) { s.lastBit = 32; }), ModCodecBadSize},
        {"image inside the header", with([](SpriteLayout& s) { s.imageOffset = 20; }),
         ModCodecShortRead},
        {"image past the end", with([](SpriteLayout& s) { s.imageOffset = 4000; }),
         ModCodecShortRead},
        {"rows cut short", with([](SpriteLayout& s) { s.rows.resize(5); }), ModCodecShortRead},
        {"file of one word", Bytes{1, 0, 0, 0}, ModCodecShortRead},
    };
    for (const auto& c : cases) {
        Model m;
        EXPECT_EQ(readSprite(c.file, &m), ModCodecError + c.code) << c.name;
    }
}

// A sprite whose offset to the next one is shorter than a sprite header would make the walk
// stand still or go back; it is refused.
TEST(Sprite, ChainOfNextOffsetsMustMoveForward)
{
    std::vector<SpriteLayout> sprites(2);
    for (auto& s : sprites)
        s.rows = Bytes(4, 0);
    Bytes file = spriteFile(sprites);
    file[12] = 0;  // the first sprite's next offset
    Model m;
    EXPECT_EQ(readSprite(file, &m, "index=1"), ModCodecError + ModCodecShortRead);
}

}  // namespace
