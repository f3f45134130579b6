// The Sprite codec: one sprite of a RISC OS sprite file (1, 2, 4 or 8 bits a pixel, 2-bit
// sprites widened to 4 bits), and files of a single sprite without a mask.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <vector>

namespace imgfmt {

namespace {

enum : int {
    SpriteFirstBitNotByte = 1400,
    SpriteBadMode = 1401,
    SpriteNoSuchIndex = 1402,
    SpriteBadPalette = 1403
};

constexpr int kSpriteHeaderBytes = 44;
constexpr int kMaxSide = 10000;

// Bits per pixel of the screen modes 0 to 28; -1 for a mode without a sprite form.
constexpr int kModeBits[29] = {1, 2, 4, -1, 1, 2, 2, -1, 2, 4, 8, 2, 4, 8, 4,
                               8, 4, 4, 1,  2, 4, 8, -1, 1, 8, 1, 2, 4, 8};

// What read header leaves for read palette and read data. Positions are file positions.
struct SpriteState {
    int64_t palettePos;
    int64_t imagePos;
    int64_t maskPos;
    int rowBytes;
    int firstBit;
    int lastBit;
    int spriteBits;
};

// The colours of an 8-bit sprite's colour number: bits 0-1 a tint added to bits 4-5 of each
// component, bit 2 red bit 6, bit 3 blue bit 6, bit 4 red bit 7, bits 5-6 green bits 6-7,
// bit 7 blue bit 7. Widening a base palette sets the high bits from the entry's block number.
void widenFrom16(unsigned char* palette)
{
    for (int k = 1; k < 16; ++k)
        for (int i = 0; i < 16; ++i) {
            const unsigned char* base = palette + 3 * i;
            unsigned char* entry = palette + 3 * (16 * k + i);
            entry[0] = static_cast<unsigned char>((base[0] & 0x7F) | ((k & 1) << 7));
            entry[1] = static_cast<unsigned char>((base[1] & 0x3F) | (((k >> 1) & 3) << 6));
            entry[2] = static_cast<unsigned char>((base[2] & 0x7F) | (((k >> 3) & 1) << 7));
        }
    // Block 0 takes its high bits from the block number too.
    for (int i = 0; i < 16; ++i) {
        palette[3 * i] &= 0x7F;
        palette[3 * i + 1] &= 0x3F;
        palette[3 * i + 2] &= 0x7F;
    }
}

void widenFrom64(unsigned char* palette)
{
    for (int k = 1; k < 4; ++k)
        for (int i = 0; i < 64; ++i) {
            const unsigned char* base = palette + 3 * i;
            unsigned char* entry = palette + 3 * (64 * k + i);
            entry[0] = base[0];
            entry[1] = static_cast<unsigned char>((base[1] & 0x7F) | ((k & 1) << 7));
            entry[2] = static_cast<unsigned char>((base[2] & 0x7F) | (((k >> 1) & 1) << 7));
        }
    for (int i = 0; i < 64; ++i) {
        palette[3 * i + 1] &= 0x7F;
        palette[3 * i + 2] &= 0x7F;
    }
}

void setEntry(unsigned char* palette, int index, int red, int green, int blue)
{
    palette[3 * index] = static_cast<unsigned char>(red);
    palette[3 * index + 1] = static_cast<unsigned char>(green);
    palette[3 * index + 2] = static_cast<unsigned char>(blue);
}

void defaultPalette(int spriteBits, unsigned char* palette)
{
    static const unsigned char colours16[16][3] = {
        {255, 255, 255}, {219, 219, 219}, {182, 182, 182}, {146, 146, 146},
        {109, 109, 109}, {73, 73, 73},    {36, 36, 36},    {0, 0, 0},
        {0, 0, 255},     {255, 255, 0},   {0, 255, 0},     {255, 0, 0},
        {255, 216, 216}, {64, 128, 64},   {255, 156, 0},   {0, 185, 255}};
    std::memset(palette, 0, 768);
    switch (spriteBits) {
    case 1:
        setEntry(palette, 0, 255, 255, 255);
        setEntry(palette, 1, 0, 0, 0);
        break;
    case 2:
        for (int i = 0; i < 4; ++i)
            setEntry(palette, i, 255 - 85 * i, 255 - 85 * i, 255 - 85 * i);
        break;
    case 4:
        std::memcpy(palette, colours16, sizeof colours16);
        break;
    default:
        for (int i = 0; i < 16; ++i)
            setEntry(palette, i, (i & 7) * 16, (i & 3) * 16, (i & 8) * 8 + (i & 3) * 16);
        widenFrom16(palette);
        break;
    }
}

// The colour number nearest to a colour in the 256-colour palette.
unsigned char colourNumber(const unsigned char* rgb)
{
    const unsigned red = rgb[0];
    const unsigned green = rgb[1];
    const unsigned blue = rgb[2];
    return static_cast<unsigned char>((blue & 0x80) | ((green & 0xC0) >> 1) | ((red & 0x80) >> 3) |
                                      ((blue & 0x40) >> 3) | ((red & 0x40) >> 4) |
                                      ((red & 0x30) + (green & 0x30) + (blue & 0x30)) / 48);
}

unsigned char reverseBits(unsigned value)
{
    value = ((value & 0xF0) >> 4) | ((value & 0x0F) << 4);
    value = ((value & 0xCC) >> 2) | ((value & 0x33) << 2);
    value = ((value & 0xAA) >> 1) | ((value & 0x55) << 1);
    return static_cast<unsigned char>(value);
}

unsigned char swapNibbles(unsigned value)
{
    return static_cast<unsigned char>(((value & 0x0F) << 4) | ((value & 0xF0) >> 4));
}

bool readWords(int fd, uint32_t* words, int count)
{
    unsigned char bytes[4 * 8];
    if (fileReadFull(fd, bytes, 4 * count) != 4 * count)
        return false;
    for (int i = 0; i < count; ++i)
        words[i] = getLE32(bytes + 4 * i);
    return true;
}

// Walks the chain of sprites to the one wanted: the file position of its start.
int findSprite(int fd, long index, int64_t fileSize, int64_t* start)
{
    uint32_t area[2];
    if (fileSeek(fd, 0, FileSeekSet) != 0 || !readWords(fd, area, 2))
        return ModCodecShortRead;
    if (index < 0 || int64_t(index) >= int64_t(area[0]))
        return SpriteNoSuchIndex;
    // Area offsets count from the sprite area's first word, which the file leaves out.
    int64_t position = int64_t(area[1]) - 4;
    for (long i = 0;; ++i) {
        if (position < 0 || position + kSpriteHeaderBytes > fileSize)
            return ModCodecShortRead;
        if (i == index)
            break;
        uint32_t next = 0;
        if (fileSeek(fd, position, FileSeekSet) != position || !readWords(fd, &next, 1))
            return ModCodecShortRead;
        // A sprite is at least its header long; a shorter step would walk in place.
        if (next < uint32_t(kSpriteHeaderBytes))
            return ModCodecShortRead;
        position += next;
    }
    *start = position;
    return 0;
}

int spriteQuery(ModFormatInfo* info)
{
    info->shortName = "Sprite";
    info->description = "Archimedes Sprite from RiscOS";
    info->extensions = "SPR SPRITE";
    info->flags = 0x77;
    return 0;
}

// The header of the sprite at start: its size and the positions of its parts, checked against
// each other and against the file's size.
int parseSprite(int fd, int64_t start, int64_t size, SpriteState* state, int* width, int* height)
{
    uint32_t fields[7];
    if (fileSeek(fd, start + 16, FileSeekSet) != start + 16 || !readWords(fd, fields, 7))
        return ModCodecShortRead;
    const int64_t widthWords = int64_t(fields[0]) + 1;
    const int64_t rows = int64_t(int32_t(fields[1])) + 1;
    const uint32_t firstBit = fields[2];
    const uint32_t lastBit = fields[3];
    const uint32_t mode = fields[6];
    // Bits used are counted within a 32-bit word: anything else misplaces every row.
    if (firstBit % 8 != 0 || firstBit > 31)
        return SpriteFirstBitNotByte;
    if (mode >= 29 || kModeBits[mode] < 0)
        return SpriteBadMode;
    const int bits = kModeBits[mode];
    if (rows < 1 || rows > kMaxSide || lastBit > 31)
        return ModCodecBadSize;
    const int64_t columns = ((widthWords - 1) * 32 + lastBit - firstBit + 1) / bits;
    if (columns < 1 || columns > kMaxSide)
        return ModCodecBadSize;
    state->palettePos = start + kSpriteHeaderBytes;
    state->imagePos = start + fields[4];
    state->maskPos = start + fields[5];
    state->rowBytes = static_cast<int>(widthWords * 4);
    state->firstBit = static_cast<int>(firstBit);
    state->lastBit = static_cast<int>(lastBit);
    state->spriteBits = bits;
    // The palette lies between the header and the image, and every row within the file.
    if (state->imagePos < state->palettePos ||
        state->imagePos + int64_t(state->rowBytes) * rows > size)
        return ModCodecShortRead;
    *width = static_cast<int>(columns);
    *height = static_cast<int>(rows);
    return 0;
}

int spriteReadHeader(const char*, int fd, MOD* model, const char* options)
{
    long index = 0;
    if (findOption(options, "index=") && !optionNumber(options, "index=", &index))
        return ModCodecBadOption;
    const int64_t size = fileSize(fd);
    if (size < 0)
        return ModCodecShortRead;
    int64_t start = 0;
    if (const int code = findSprite(fd, index, size, &start))
        return code;
    SpriteState state{};
    int width = 0;
    int height = 0;
    if (const int code = parseSprite(fd, start, size, &state, &width, &height))
        return code;
    const int bpp = state.spriteBits == 2 ? 4 : state.spriteBits;
    storeCodecState(model, state);
    model->width = width;
    model->height = height;
    model->bpp = bpp;
    return 0;
}

int spriteReadPalette(int fd, MOD* model, unsigned char* palette)
{
    const SpriteState state = loadCodecState<SpriteState>(model);
    const int64_t count = (state.imagePos - state.palettePos) / 8;
    defaultPalette(state.spriteBits, palette);
    if (count == 0)
        return 0;
    // A sprite of n bits has at most 2^n colours; at 8 bits the palette is a base of 16 or 64
    // entries that widens to 256. Any other count would run past the model's palette.
    if (state.spriteBits == 8 ? count != 16 && count != 64 : count > (1 << state.spriteBits))
        return SpriteBadPalette;
    if (fileSeek(fd, state.palettePos, FileSeekSet) != state.palettePos)
        return ModCodecShortRead;
    unsigned char entries[64 * 8];
    if (fileReadFull(fd, entries, 8 * count) != 8 * count)
        return ModCodecShortRead;
    // The first flash colour of each entry: the bytes 0, red, green, blue.
    for (int i = 0; i < count; ++i)
        std::memcpy(palette + 3 * i, entries + 8 * i + 1, 3);
    if (state.spriteBits == 8) {
        if (count == 16)
            widenFrom16(palette);
        else
            widenFrom64(palette);
    }
    return 0;
}

// One file row into a model row; the file keeps the leftmost pixel in the low bits of a byte.
void convertRow(const unsigned char* in, int spriteBits, int width, unsigned char* out)
{
    switch (spriteBits) {
    case 1:
        for (int i = 0; i < (width + 7) / 8; ++i)
            out[i] = reverseBits(in[i]);
        break;
    case 2:
        // Each byte holds four 2-bit pixels and gives two bytes of two 4-bit pixels.
        for (int i = 0; i < (width + 3) / 4; ++i) {
            const unsigned b = in[i];
            out[2 * i] = static_cast<unsigned char>(((b & 3) << 4) | ((b >> 2) & 3));
            if (2 * i + 1 < (width + 1) / 2)
                out[2 * i + 1] = static_cast<unsigned char>((((b >> 4) & 3) << 4) | (b >> 6));
        }
        break;
    case 4:
        for (int i = 0; i < (width + 1) / 2; ++i)
            out[i] = swapNibbles(in[i]);
        break;
    default:
        std::memcpy(out, in, static_cast<size_t>(width));
        break;
    }
}

int spriteReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    const SpriteState state = loadCodecState<SpriteState>(model);
    const int width = model->width;
    const int bytes = (width * state.spriteBits + 7) / 8;
    const int skip = state.firstBit / 8;
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(bytes)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    const int rowBytes = ModRowBytes(width, model->bpp);
    int code = 0;
    for (int row = 0; row < model->height; ++row) {
        const int64_t position = state.imagePos + int64_t(row) * state.rowBytes + skip;
        if (fileSeek(fd, position, FileSeekSet) != position ||
            fileReadFull(fd, buffer, bytes) != bytes) {
            code = ModCodecShortRead;
            break;
        }
        convertRow(buffer, state.spriteBits, width,
                   data + int64_t(model->height - 1 - row) * rowBytes);
    }
    return code;
}

// The sprite's name: the file's own name, its first 11 characters, without an extension "spr",
// in lower case as the system shows sprite names.
void spriteName(const char* path, unsigned char* name)
{
    std::memset(name, 0, 12);
    const char* base = path ? path : "";
    for (const char* p = base; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    size_t length = std::strlen(base);
    if (length > 11)
        length = 11;
    char text[12] = {};
    std::memcpy(text, base, length);
    if (char* dot = std::strrchr(text, '.'))
        if ((dot[1] | 0x20) == 's' && (dot[2] | 0x20) == 'p' && (dot[3] | 0x20) == 'r' && !dot[4])
            *dot = '\0';
    for (size_t i = 0; text[i]; ++i)
        name[i] = static_cast<unsigned char>(
            text[i] >= 'A' && text[i] <= 'Z' ? text[i] - 'A' + 'a' : text[i]);
}

// The area's three words and the sprite's header, of a single sprite without a mask.
int writeSpriteHeader(int fd, const char* path, const MOD* model, int entries)
{
    const int depth = model->bpp;
    const int rowBytes = ModRowBytes(model->width, depth);
    const uint32_t imageOffset = kSpriteHeaderBytes + 8 * entries;
    const uint32_t spriteBytes = imageOffset + uint32_t(rowBytes) * uint32_t(model->height);
    const int mode = depth == 1 ? 23 : depth == 4 ? 17 : 24;
    unsigned char header[12 + kSpriteHeaderBytes];
    putLE32(header, 1);
    putLE32(header + 4, 16);
    putLE32(header + 8, 16 + spriteBytes);
    unsigned char* sprite = header + 12;
    putLE32(sprite, spriteBytes);
    spriteName(path, sprite + 4);
    putLE32(sprite + 16, uint32_t(rowBytes / 4 - 1));
    putLE32(sprite + 20, uint32_t(model->height - 1));
    putLE32(sprite + 24, 0);
    putLE32(sprite + 28, uint32_t((depth * model->width - 1) % 32));
    putLE32(sprite + 32, imageOffset);
    putLE32(sprite + 36, imageOffset);
    putLE32(sprite + 40, uint32_t(mode));
    return fileWriteFull(fd, header, sizeof header) == int64_t(sizeof header) ? 0
                                                                             : ModCodecShortWrite;
}

// Each entry as two equal words of 0, red, green, blue, four bits a component.
int writeSpritePalette(int fd, const unsigned char* colours, int entries)
{
    unsigned char bytes[16 * 8];
    for (int i = 0; i < entries; ++i) {
        unsigned char* entry = bytes + 8 * i;
        entry[0] = 0;
        for (int c = 0; c < 3; ++c)
            entry[1 + c] = static_cast<unsigned char>((colours[3 * i + c] >> 4) * 17);
        std::memcpy(entry + 4, entry, 4);
    }
    return fileWriteFull(fd, bytes, 8 * entries) == 8 * entries ? 0 : ModCodecShortWrite;
}

int writeSpriteRows(int fd, const MOD* model, const unsigned char* palette,
                    const unsigned char* data)
{
    const int depth = model->bpp;
    const int rowBytes = ModRowBytes(model->width, depth);
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(rowBytes)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    const int used = (depth * model->width + 7) / 8;
    int code = 0;
    for (int y = model->height - 1; y >= 0 && code == 0; --y) {
        const unsigned char* row = data + int64_t(y) * rowBytes;
        std::memset(buffer, 0, static_cast<size_t>(rowBytes));
        for (int i = 0; i < used; ++i)
            buffer[i] = depth == 1 ? reverseBits(row[i])
                        : depth == 4 ? swapNibbles(row[i])
                                     : colourNumber(palette + 3 * row[i]);
        if (fileWriteFull(fd, buffer, rowBytes) != rowBytes)
            code = ModCodecShortWrite;
    }
    return code;
}

int spriteWrite(const char* path, int fd, const MOD* model, const unsigned char* palette,
                const unsigned char* data, const char*)
{
    const int depth = model->bpp;
    if (depth != 1 && depth != 4 && depth != 8)
        return ModCodecUnsupported;
    // At 8 bits the file carries the 16 base entries of the standard 256-colour palette, and the
    // pixels are mapped to its nearest colour numbers.
    const int entries = depth == 8 ? 16 : 1 << depth;
    unsigned char standard[768];
    const unsigned char* colours = palette;
    if (depth == 8) {
        defaultPalette(8, standard);
        colours = standard;
    }
    if (const int code = writeSpriteHeader(fd, path, model, entries))
        return code;
    if (const int code = writeSpritePalette(fd, colours, entries))
        return code;
    return writeSpriteRows(fd, model, palette, data);
}

int spriteMessage(int code)
{
    if (code >= SpriteFirstBitNotByte && code <= SpriteBadPalette)
        return static_cast<int>(OVK_MSG_SPRITE_FIRST_BIT) + (code - SpriteFirstBitNotByte);
    return 0;
}

}  // namespace

const FormatRow spriteRow = {spriteQuery,    spriteReadHeader, spriteReadPalette,
                             spriteReadData, spriteWrite,      spriteMessage};

}  // namespace imgfmt
