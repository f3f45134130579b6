// Targa codec: reads colour-mapped, true-colour and grey files, raw or run-length encoded, of
// 8, 16, 24 or 32 bits per pixel, and writes raw files of 8 bits with a colour map or of 16, 24
// or 32 bits.
#include "detail/icodecstream.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

namespace imgfmt {

namespace {

using namespace codecio;

enum TargaCode : int {
    kOk = 0,
    kNoMemory = 1,
    kUnsupported = 2,
    kBadOption = 3,
    kBadSize = 6,
    kShortRead = 7,
    kShortWrite = 8,
    kBadBits = 400,
    kBadType = 401,
    kBadMapEntry = 402,
};

constexpr int kHeaderSize = 18;

struct TargaHeader {
    unsigned char raw[kHeaderSize];

    int idLength() const { return raw[0]; }
    int mapType() const { return raw[1]; }
    int type() const { return raw[2]; }
    int mapFirst() const { return getLE16(raw + 3); }
    int mapCount() const { return getLE16(raw + 5); }
    int mapBits() const { return raw[7]; }
    int width() const { return getLE16(raw + 12); }
    int height() const { return getLE16(raw + 14); }
    int bits() const { return raw[16]; }
    bool topFirst() const { return (raw[17] & 0x20) != 0; }
    bool runLength() const { return type() >= 9; }
};

int checkHeader(const TargaHeader& h)
{
    switch (h.type()) {
    case 1:
    case 9:
        if (h.bits() != 8)
            return kBadBits;
        return h.mapBits() == 24 ? kOk : kBadMapEntry;
    case 2:
    case 10:
        return h.bits() == 16 || h.bits() == 24 || h.bits() == 32 ? kOk : kBadBits;
    case 3:
    case 11:
        return h.bits() == 8 ? kOk : kBadBits;
    default:
        return kBadType;
    }
}

int targaQuery(ModFormatInfo* info)
{
    info->shortName = "Targa";
    info->description = "Truevision Targa/Vista bitmap";
    info->extensions = "TGA VST AFI";
    info->flags = 0xCC;
    return 0;
}

int targaReadHeader(const char*, int fd, MOD* mod, const char*)
{
    TargaHeader h;
    if (!seekTo(fd, 0) || !readExact(fd, h.raw, kHeaderSize))
        return kShortRead;
    if (int rc = checkHeader(h))
        return rc;
    const int depth = h.bits() == 8 ? 8 : 24;
    if (h.width() == 0 || h.height() == 0)
        return kBadSize;
    mod->width = h.width();
    mod->height = h.height();
    mod->bpp = depth;
    storeCodecState(mod, h);
    return kOk;
}

int targaReadPalette(int fd, MOD* mod, unsigned char* palette)
{
    const auto h = loadCodecState<TargaHeader>(mod);
    if (h.type() == 3 || h.type() == 11) {
        for (int i = 0; i < 256; ++i)
            std::memset(palette + 3 * i, i, 3);
        return kOk;
    }
    if (h.type() != 1 && h.type() != 9)
        return kOk;
    std::memset(palette, 0, 768);
    const size_t count = static_cast<size_t>(h.mapCount());
    std::vector<unsigned char> map;
    if (!sizeScratch(map, 3 * count + 1))
        return kNoMemory;
    int rc = kOk;
    if (!seekTo(fd, kHeaderSize + static_cast<uint64_t>(h.idLength())) ||
        !readExact(fd, map.data(), 3 * count)) {
        rc = kShortRead;
    } else {
        // Entries are numbered from the map's first index; those beyond 256 have no place.
        for (size_t i = 0; i < count && h.mapFirst() + i < 256; ++i) {
            unsigned char* e = palette + 3 * (h.mapFirst() + i);
            e[0] = map[3 * i + 2];
            e[1] = map[3 * i + 1];
            e[2] = map[3 * i];
        }
    }
    return rc;
}

// Run-length decoder: packets run on across row ends; whatever is left of a packet when the
// last row is full is dropped.
class TargaRle {
public:
    TargaRle(CodecInput& in, size_t pixelBytes) noexcept : fIn(in), fPixel(pixelBytes) {}

    int row(unsigned char* out, size_t pixels) noexcept
    {
        size_t i = 0;
        while (i < pixels) {
            if (fRepeat > 0) {
                size_t take = fRepeat < pixels - i ? fRepeat : pixels - i;
                fill(out + i * fPixel, take);
                i += take;
                fRepeat -= take;
            } else if (fLiteral > 0) {
                size_t take = fLiteral < pixels - i ? fLiteral : pixels - i;
                if (!fIn.readExact(out + i * fPixel, take * fPixel))
                    return kShortRead;
                i += take;
                fLiteral -= take;
            } else {
                int h = fIn.get();
                if (h < 0)
                    return kShortRead;
                size_t n = static_cast<size_t>(h & 0x7F) + 1;
                if (h & 0x80) {
                    if (!fIn.readExact(fValue, fPixel))
                        return kShortRead;
                    fRepeat = n;
                } else {
                    fLiteral = n;
                }
            }
        }
        return kOk;
    }

private:
    void fill(unsigned char* out, size_t n) noexcept
    {
        if (fPixel == 1) {
            std::memset(out, fValue[0], n);
            return;
        }
        for (size_t k = 0; k < n; ++k, out += fPixel)
            std::memcpy(out, fValue, fPixel);
    }

    CodecInput& fIn;
    size_t fPixel;
    size_t fRepeat = 0;
    size_t fLiteral = 0;
    unsigned char fValue[4] = {};
};

// 16-bit words stored from byte `width` of the row become blue, green, red from byte 0; each
// pixel's three bytes end before the next word starts, so the conversion runs in place.
void expand16(unsigned char* row, size_t width)
{
    const unsigned char* words = row + width;
    for (size_t x = 0; x < width; ++x) {
        unsigned w = getLE16(words + 2 * x);
        row[3 * x] = static_cast<unsigned char>((w & 0x1F) << 3);
        row[3 * x + 1] = static_cast<unsigned char>((w & 0x3E0) >> 2);
        row[3 * x + 2] = static_cast<unsigned char>((w & 0x7C00) >> 7);
    }
}

void drop32(const unsigned char* src, unsigned char* row, size_t width)
{
    for (size_t x = 0; x < width; ++x, src += 4, row += 3) {
        row[0] = src[0];
        row[1] = src[1];
        row[2] = src[2];
    }
}

int targaReadData(int fd, MOD* mod, unsigned char* data)
{
    const auto h = loadCodecState<TargaHeader>(mod);
    uint64_t start = kHeaderSize + static_cast<uint64_t>(h.idLength());
    if (h.mapType() != 0) {
        const uint64_t entryBits = h.mapBits() == 15 ? 16 : h.mapBits();
        start += entryBits * static_cast<uint64_t>(h.mapCount()) / 8;
    }
    if (!seekTo(fd, start)) {
        clearData(mod, data);
        return kShortRead;
    }
    const size_t width = static_cast<size_t>(mod->width);
    const size_t pixelBytes = static_cast<size_t>(h.bits()) / 8;
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod->width, mod->bpp));
    CodecInput in(fd);
    std::vector<unsigned char> wide;
    if (!in.ok() || (pixelBytes == 4 && !sizeScratch(wide, 4 * width))) {
        clearData(mod, data);
        return kNoMemory;
    }
    const size_t used = mod->bpp == 24 ? 3 * width : width;
    TargaRle rle(in, pixelBytes);
    int rc = kOk;
    for (int r = 0; r < mod->height && rc == kOk; ++r) {
        const int y = h.topFirst() ? mod->height - 1 - r : r;
        unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        unsigned char* target =
            pixelBytes == 4 ? wide.data() : pixelBytes == 2 ? row + width : row;
        if (h.runLength())
            rc = rle.row(target, width);
        else
            rc = in.readExact(target, width * pixelBytes) ? kOk : kShortRead;
        if (rc == kOk && pixelBytes == 2)
            expand16(row, width);
        else if (rc == kOk && pixelBytes == 4)
            drop32(wide.data(), row, width);
        std::memset(row + used, 0, rowBytes - used);
    }
    // A failed read promises no pixels; none of what the block held before may show.
    if (rc != kOk)
        clearData(mod, data);
    return rc;
}

// The bits a pixel takes in the file, from the options: 8 for a palette picture, 16, 24 or 32
// for a 24-bit one; 0 when the options ask for what cannot be written.
int targaBits(int depth, const char* options)
{
    const bool o16 = hasOption(options, "16") != nullptr, o24 = hasOption(options, "24") != nullptr,
               o32 = hasOption(options, "32") != nullptr;
    if (depth == 8)
        return o16 || o24 || o32 ? 0 : 8;
    if (o16 + o24 + o32 > 1)
        return 0;
    return o16 ? 16 : o32 ? 32 : 24;
}

// The file header and, for a palette picture, the colour map (blue, green, red).
void writeTargaHeader(CodecOutput& out, const MOD& mod, int bits, bool topFirst,
                      const unsigned char* palette)
{
    const int depth = mod.bpp;
    unsigned char h[kHeaderSize] = {};
    h[1] = depth == 8 ? 1 : 0;
    h[2] = depth == 8 ? 1 : 2;
    if (depth == 8) {
        putLE16(h + 5, 256);
        h[7] = 24;
    }
    putLE16(h + 12, static_cast<uint32_t>(mod.width));
    putLE16(h + 14, static_cast<uint32_t>(mod.height));
    h[16] = static_cast<unsigned char>(bits);
    h[17] = topFirst ? 0x20 : 0;
    out.write(h, kHeaderSize);
    if (depth == 8) {
        for (int i = 0; i < 256; ++i) {
            const unsigned char bgr[3] = {palette[3 * i + 2], palette[3 * i + 1], palette[3 * i]};
            out.write(bgr, 3);
        }
    }
}

// The pixel rows in the file's order and form; false when there is no memory for a row.
bool writeTargaBody(CodecOutput& out, const MOD& mod, int bits, bool topFirst,
                    const unsigned char* data)
{
    const size_t width = static_cast<size_t>(mod.width);
    std::vector<unsigned char> line;
    if ((bits == 16 || bits == 32) && !sizeScratch(line, 4 * width))
        return false;
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, mod.bpp));
    for (int r = 0; r < mod.height; ++r) {
        const int y = topFirst ? mod.height - 1 - r : r;
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        if (bits == 8 || bits == 24) {
            out.write(row, width * static_cast<size_t>(bits / 8));
        } else if (bits == 32) {
            for (size_t x = 0; x < width; ++x) {
                std::memcpy(&line[4 * x], row + 3 * x, 3);
                line[4 * x + 3] = 0;
            }
            out.write(line.data(), 4 * width);
        } else {
            for (size_t x = 0; x < width; ++x) {
                const unsigned char* p = row + 3 * x;
                putLE16(&line[2 * x],
                        static_cast<uint32_t>((p[2] >> 3) << 10 | (p[1] >> 3) << 5 | (p[0] >> 3)));
            }
            out.write(line.data(), 2 * width);
        }
    }
    return true;
}

int targaWrite(const char*, int fd, const MOD* mod, const unsigned char* palette,
               const unsigned char* data, const char* options)
{
    const int depth = mod->bpp;
    if (depth != 8 && depth != 24)
        return kUnsupported;
    const bool yup = hasOption(options, "yup") != nullptr,
               ydown = hasOption(options, "ydown") != nullptr;
    const int bits = targaBits(depth, options);
    if ((yup && ydown) || bits == 0)
        return kBadOption;
    if (mod->width < 1 || mod->height < 1 || mod->width > 0xFFFF || mod->height > 0xFFFF)
        return kBadSize;
    CodecOutput out(fd);
    if (!out.ok())
        return kNoMemory;
    writeTargaHeader(out, *mod, bits, ydown, palette);
    if (!writeTargaBody(out, *mod, bits, ydown, data))
        return kNoMemory;
    return out.flush() ? kOk : kShortWrite;
}

int targaMessage(int code)
{
    return code >= kBadBits && code <= kBadMapEntry ? 313 + (code - kBadBits) : 0;
}

}  // namespace

const FormatRow targaRow = {targaQuery,    targaReadHeader, targaReadPalette,
                            targaReadData, targaWrite,      targaMessage};

}  // namespace imgfmt
