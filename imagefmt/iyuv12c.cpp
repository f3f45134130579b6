// The YUV12C codec: a video frame-buffer dump of 12 bits a pixel, four luminance values sharing
// one pair of colour differences in each group of 6 bytes. Reads and writes 24-bpp models; the
// writer stores whole groups only, so the last (width % 4) columns are dropped.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <vector>

namespace imgfmt {

namespace {

enum : int { YuvWidthNotGroups = 1000 };

constexpr int kHeaderBytes = 16;
constexpr int kGroupBytes = 6;
constexpr char kSignature[] = "YUV12C";

// The colour-difference offsets, indexed by the difference byte shifted right by one (its bit 0
// is never stored). Built from the conversion rules at first use; the tables never change.
struct ChromaTables {
    short blueOfU[128];
    short greenOfU[128];
    short greenOfV[128];
    short redOfV[128];
    ChromaTables()
    {
        for (int i = 0; i < 128; ++i) {
            const int d = static_cast<signed char>(static_cast<unsigned char>(i << 1));
            // Integer division rounds toward zero, as the conversion demands.
            blueOfU[i] = static_cast<short>(d * 908 / 635);
            greenOfU[i] = static_cast<short>(-d * 908 * 19 / (635 * 100));
            greenOfV[i] = static_cast<short>(-d * 716 * 51 / (635 * 100));
            redOfV[i] = static_cast<short>(d * 716 / 635);
        }
    }
};

const ChromaTables& chromaTables()
{
    static const ChromaTables tables;
    return tables;
}

unsigned char clampByte(int value)
{
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

struct Group {
    int y[4];
    unsigned u;  // the colour-difference bytes, bit 0 clear
    unsigned v;
};

Group unpackGroup(const unsigned char* b)
{
    Group g;
    g.y[0] = ((b[1] & 0x0F) << 4) | ((b[0] >> 4) & 0x0E);
    g.y[1] = b[3] & 0xFE;
    g.y[2] = ((b[2] & 0x0F) << 4) | ((b[5] >> 4) & 0x0E);
    g.y[3] = b[4] & 0xFE;
    g.u = (b[1] & 0xC0) | ((b[0] & 0x0C) << 2) | ((b[2] & 0xC0) >> 4) | ((b[5] & 0x08) >> 2);
    g.v = ((b[1] & 0x30) << 2) | ((b[0] & 0x03) << 4) | ((b[2] & 0x30) >> 2) | (b[5] & 0x02);
    return g;
}

void packGroup(const Group& g, unsigned char* b)
{
    b[0] = static_cast<unsigned char>(((g.y[0] & 0x0E) << 4) | ((g.u & 0x30) >> 2) |
                                      ((g.v & 0x30) >> 4));
    b[1] = static_cast<unsigned char>((g.u & 0xC0) | ((g.v & 0xC0) >> 2) | (g.y[0] >> 4));
    b[2] = static_cast<unsigned char>(((g.u & 0x0C) << 4) | ((g.v & 0x0C) << 2) | (g.y[2] >> 4));
    b[3] = static_cast<unsigned char>(g.y[1] & 0xFE);
    b[4] = static_cast<unsigned char>(g.y[3] & 0xFE);
    b[5] = static_cast<unsigned char>(((g.y[2] & 0x0E) << 4) | ((g.u & 0x02) << 2) | (g.v & 0x02));
}

void convertRow(const unsigned char* groups, int groupCount, unsigned char* row)
{
    const ChromaTables& t = chromaTables();
    for (int i = 0; i < groupCount; ++i, groups += kGroupBytes) {
        const Group g = unpackGroup(groups);
        const int blue = t.blueOfU[g.u >> 1];
        const int green = t.greenOfU[g.u >> 1] + t.greenOfV[g.v >> 1];
        const int red = t.redOfV[g.v >> 1];
        for (int k = 0; k < 4; ++k, row += 3) {
            row[0] = clampByte(g.y[k] + blue);
            row[1] = clampByte(g.y[k] + green);
            row[2] = clampByte(g.y[k] + red);
        }
    }
}

// One group of four pixels (blue, green, red each) into the file's form.
void encodeGroup(const unsigned char* pixels, unsigned char* out)
{
    Group g;
    int sumU = 0;
    int sumV = 0;
    for (int k = 0; k < 4; ++k, pixels += 3) {
        const int blue = pixels[0];
        const int green = pixels[1];
        const int red = pixels[2];
        const int y = clampByte((100 * green + 51 * red + 19 * blue) / 170);
        sumU += (blue - y) * 635 / 908;
        sumV += (red - y) * 635 / 716;
        g.y[k] = y & 0xFE;
    }
    // Four terms of at most 226 in size: the sums need no more than 16 bits, and an arithmetic
    // shift divides them by four rounding down.
    const int u = sumU >= 0 ? sumU / 4 : -((-sumU + 3) / 4);
    const int v = sumV >= 0 ? sumV / 4 : -((-sumV + 3) / 4);
    const auto limit = [](int d) { return d < -128 ? -128 : d > 127 ? 127 : d; };
    g.u = static_cast<unsigned>(limit(u)) & 0xFE;
    g.v = static_cast<unsigned>(limit(v)) & 0xFE;
    packGroup(g, out);
}

// The number after "name=", 0 when the option is missing: false when it is not a number that a
// 16-bit header field can hold.
bool positionOption(const char* options, const char* name, unsigned* value)
{
    *value = 0;
    if (!findOption(options, name))
        return true;
    long number = 0;
    if (!optionNumber(options, name, &number) || number < 0 || number > 0xFFFF)
        return false;
    *value = static_cast<unsigned>(number);
    return true;
}

int yuvQuery(ModFormatInfo* info)
{
    info->shortName = "YUV12C";
    info->description = "YUV12C Tessel Video Frame Buffer";
    info->extensions = "VID";
    info->flags = 0x88;
    return 0;
}

int yuvReadHeader(const char*, int fd, MOD* model, const char*)
{
    unsigned char header[kHeaderBytes];
    if (fileSeek(fd, 0, FileSeekSet) != 0 || fileReadFull(fd, header, kHeaderBytes) != kHeaderBytes)
        return ModCodecShortRead;
    if (std::memcmp(header, kSignature, 6) != 0)
        return ModCodecBadSignature;
    const int width = static_cast<int>(getLE16(header + 12));
    const int height = static_cast<int>(getLE16(header + 14));
    if (width % 4 != 0)
        return YuvWidthNotGroups;
    if (width < 1 || height < 1)
        return ModCodecBadSize;
    // The groups must be in the file before a data block of their size is allocated.
    const int64_t size = fileSize(fd);
    if (size < 0 || size - kHeaderBytes < int64_t(width / 4) * kGroupBytes * height)
        return ModCodecShortRead;
    model->width = width;
    model->height = height;
    model->bpp = 24;
    return 0;
}

int yuvReadPalette(int, MOD*, unsigned char*) { return 0; }

int yuvReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    const int groupCount = model->width / 4;
    const int fileRow = groupCount * kGroupBytes;
    if (fileSeek(fd, kHeaderBytes, FileSeekSet) != kHeaderBytes)
        return ModCodecShortRead;
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(fileRow)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    const int rowBytes = ModRowBytes(model->width, 24);
    int code = 0;
    for (int y = model->height - 1; y >= 0; --y) {
        if (fileReadFull(fd, buffer, fileRow) != fileRow) {
            code = ModCodecShortRead;
            break;
        }
        convertRow(buffer, groupCount, data + int64_t(y) * rowBytes);
    }
    return code;
}

int yuvWrite(const char*, int fd, const MOD* model, const unsigned char*, const unsigned char* data,
             const char* options)
{
    if (model->bpp != 24)
        return ModCodecUnsupported;
    unsigned x = 0;
    unsigned y = 0;
    if (!positionOption(options, "xpos=", &x) || !positionOption(options, "ypos=", &y))
        return ModCodecBadOption;
    // Only whole groups are stored, and the header holds 16-bit sizes: a picture narrower than
    // one group or larger than the fields would give a file that cannot be read back.
    const int width = model->width & ~3;
    if (width < 4 || width > 0xFFFF || model->height > 0xFFFF)
        return ModCodecBadSize;
    unsigned char header[kHeaderBytes] = {};
    std::memcpy(header, kSignature, 6);
    putLE16(header + 8, x);
    putLE16(header + 10, y);
    putLE16(header + 12, static_cast<unsigned>(width));
    putLE16(header + 14, static_cast<unsigned>(model->height));
    if (fileWriteFull(fd, header, kHeaderBytes) != kHeaderBytes)
        return ModCodecShortWrite;
    const int groupCount = width / 4;
    const int fileRow = groupCount * kGroupBytes;
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(fileRow)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    const int rowBytes = ModRowBytes(model->width, 24);
    int code = 0;
    for (int row = model->height - 1; row >= 0 && code == 0; --row) {
        const unsigned char* pixels = data + int64_t(row) * rowBytes;
        for (int i = 0; i < groupCount; ++i)
            encodeGroup(pixels + 12 * i, buffer + kGroupBytes * i);
        if (fileWriteFull(fd, buffer, fileRow) != fileRow)
            code = ModCodecShortWrite;
    }
    return code;
}

int yuvMessage(int code) { return code == YuvWidthNotGroups ? static_cast<int>(OVK_MSG_YUV_WIDTH) : 0; }

}  // namespace

const FormatRow yuv12cRow = {yuvQuery,  yuvReadHeader, yuvReadPalette,
                             yuvReadData, yuvWrite,    yuvMessage};

}  // namespace imgfmt
