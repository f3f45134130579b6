// PCX codec: reads run-length encoded PCX files of five plane layouts and writes version 5
// files.
#include "detail/icodecstream.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

namespace imgfmt {

namespace {

using namespace codecio;

enum PcxCode : int {
    kOk = 0,
    kNoMemory = 1,
    kUnsupported = 2,
    kNoSignature = 5,
    kBadSize = 6,
    kShortRead = 7,
    kShortWrite = 8,
    kBadVersion = 700,
    kBadEncoding = 701,
    kBadLayout = 702,
    kNoPalette = 703,
};

constexpr int kHeaderSize = 128;
constexpr int kTrailerSize = 769;

struct PcxState {
    int32_t version;
    int32_t bits;
    int32_t planes;
    int32_t bytesPerLine;
    int32_t trunc;
};

int depthOf(int bits, int planes)
{
    if (bits == 1 && planes == 1)
        return 1;
    if ((bits == 1 && planes == 4) || (bits == 4 && planes == 1))
        return 4;
    if (bits == 8 && planes == 1)
        return 8;
    if (bits == 8 && planes == 3)
        return 24;
    return 0;
}

int pcxQuery(ModFormatInfo* info)
{
    info->shortName = "PCX";
    info->description = "ZSoft PC Paintbrush Image format";
    info->extensions = "PCX";
    info->flags = 0xFF;
    return 0;
}

int pcxReadHeader(const char*, int fd, MOD* mod, const char* options)
{
    unsigned char h[70];
    if (!seekTo(fd, 0) || !readExact(fd, h, sizeof h))
        return kShortRead;
    if (h[0] != 10)
        return kNoSignature;
    if (h[1] == 4 || h[1] > 5)
        return kBadVersion;
    if (h[2] != 1)
        return kBadEncoding;
    const int depth = depthOf(h[3], h[65]);
    if (depth == 0)
        return kBadLayout;
    const int xmin = getLE16(h + 4), ymin = getLE16(h + 6), xmax = getLE16(h + 8),
              ymax = getLE16(h + 10);
    if (xmax < xmin || ymax < ymin)
        return kBadSize;
    const int width = xmax - xmin + 1, height = ymax - ymin + 1;
    PcxState st{h[1], h[3], h[65], static_cast<int32_t>(getLE16(h + 66)),
                hasOption(options, "trunc") != nullptr};
    // Each plane line must hold the pixels of a row; a shorter one would leave the row's end
    // to whatever the next line's codes say.
    if (static_cast<int64_t>(st.bytesPerLine) * 8 < static_cast<int64_t>(width) * st.bits)
        return kBadLayout;
    mod->width = width;
    mod->height = height;
    mod->bpp = depth;
    storeCodecState(mod, st);
    return kOk;
}

int pcxReadPalette(int fd, MOD* mod, unsigned char* palette)
{
    switch (mod->bpp) {
    case 1: {
        // Many writers leave the header palette zeroed, and black and white is then meant;
        // others give the two colours there, and the image would read inverted without them.
        unsigned char two[6];
        if (!seekTo(fd, 16) || !readExact(fd, two, 6))
            return kShortRead;
        if (std::memcmp(two, two + 3, 3) != 0) {
            std::memcpy(palette, two, 6);
        } else {
            std::memset(palette, 0, 3);
            std::memset(palette + 3, 255, 3);
        }
        return kOk;
    }
    case 4:
        return seekTo(fd, 16) && readExact(fd, palette, 48) ? kOk : kShortRead;
    case 8: {
        const uint64_t size = static_cast<uint64_t>(fileSize(fd));
        unsigned char trailer[kTrailerSize];
        if (size < kHeaderSize + kTrailerSize)
            return kNoPalette;
        if (!seekTo(fd, size - kTrailerSize) || !readExact(fd, trailer, kTrailerSize))
            return kShortRead;
        if (trailer[0] != 12)
            return kNoPalette;
        std::memcpy(palette, trailer + 1, 768);
        return kOk;
    }
    default:
        return kOk;
    }
}

// Run-length decoder. A run that does not fit the line asked for is kept for the next one unless
// runs are cut at line ends. Only the first bytes of a line that the row needs are stored; the
// rest is counted off, so a hostile bytes-per-line costs nothing once the file has ended.
class PcxDecoder {
public:
    explicit PcxDecoder(CodecInput& in) noexcept : fIn(in) {}

    void line(unsigned char* out, size_t keep, size_t n, bool trunc) noexcept
    {
        size_t pos = 0;
        while (pos < n) {
            if (fCount > 0) {
                const size_t take = fCount < n - pos ? fCount : n - pos;
                if (pos < keep)
                    std::memset(out + pos, fValue, take < keep - pos ? take : keep - pos);
                pos += take;
                fCount -= take;
                continue;
            }
            if (fEnded) {
                // The end of the file reads as runs of 0xFF, so a cut file still fills its rows.
                if (pos < keep)
                    std::memset(out + pos, 0xFF, keep - pos);
                break;
            }
            const int b = fIn.get();
            if (b < 0) {
                fEnded = true;
            } else if ((b & 0xC0) == 0xC0) {
                const int v = fIn.get();
                fEnded = v < 0;
                fCount = fEnded ? 0 : static_cast<size_t>(b & 0x3F);
                fValue = static_cast<unsigned char>(v);
            } else {
                if (pos < keep)
                    out[pos] = static_cast<unsigned char>(b);
                ++pos;
            }
        }
        if (trunc)
            fCount = 0;
    }

private:
    CodecInput& fIn;
    size_t fCount = 0;
    unsigned char fValue = 0;
    bool fEnded = false;
};

void mergePlaneBits(const unsigned char* line, unsigned char* row, int width, int plane)
{
    const unsigned hi = 0x10u << plane, lo = 0x01u << plane;
    for (int x = 0; x < width; ++x) {
        if (line[x >> 3] & (0x80 >> (x & 7)))
            row[x >> 1] = static_cast<unsigned char>(row[x >> 1] | ((x & 1) ? lo : hi));
    }
}

int pcxReadData(int fd, MOD* mod, unsigned char* data)
{
    clearData(mod, data);
    const auto st = loadCodecState<PcxState>(mod);
    const int width = mod->width, depth = mod->bpp;
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(width, depth));
    const size_t bpl = static_cast<size_t>(st.bytesPerLine);
    // The bytes of one plane line that the row is made of; the header check made sure that
    // every line holds them.
    const size_t keep = (static_cast<size_t>(width) * static_cast<size_t>(st.bits) + 7) / 8;
    if (!seekTo(fd, kHeaderSize))
        return kShortRead;
    CodecInput in(fd);
    std::vector<unsigned char> scratch;
    if (!in.ok() || !sizeScratch(scratch, keep))
        return kNoMemory;
    unsigned char* const line = scratch.data();
    PcxDecoder dec(in);
    const bool trunc = st.trunc != 0;
    for (int y = mod->height - 1; y >= 0; --y) {
        unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        if (depth == 24) {
            for (int p = 0; p < 3; ++p) {
                dec.line(line, keep, bpl, trunc);
                for (int x = 0; x < width; ++x)
                    row[3 * x + 2 - p] = line[x];
            }
        } else if (st.planes == 4) {
            for (int p = 0; p < 4; ++p) {
                dec.line(line, keep, bpl, trunc);
                mergePlaneBits(line, row, width, p);
            }
        } else {
            dec.line(line, keep, bpl, trunc);
            std::memcpy(row, line, keep);
        }
    }
    return kOk;
}

void encodeLine(CodecOutput& out, const unsigned char* p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (run < 63 && i + run < n && p[i + run] == p[i])
            ++run;
        if (run > 1 || p[i] >= 0xC0)
            out.put(static_cast<unsigned char>(0xC0 | run));
        out.put(p[i]);
        i += run;
    }
}

// The 128-byte header: depth, size, the 16-colour (or two-colour) palette and the bytes of a
// plane's line.
void writePcxHeader(CodecOutput& out, const MOD& mod, int bits, size_t lineBytes,
                    const unsigned char* palette)
{
    const int depth = mod.bpp;
    unsigned char h[kHeaderSize] = {};
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<unsigned char>(bits);
    putLE16(h + 8, static_cast<uint32_t>(mod.width - 1));
    putLE16(h + 10, static_cast<uint32_t>(mod.height - 1));
    if (depth == 4 || depth == 1)
        std::memcpy(h + 16, palette, depth == 4 ? 48 : 6);
    h[65] = depth == 24 ? 3 : 1;
    putLE16(h + 66, static_cast<uint32_t>(lineBytes));
    putLE16(h + 68, 1);
    out.write(h, kHeaderSize);
}

// The rows, top row first, each plane's line run-length encoded; false when there is no memory
// for the line.
bool writePcxBody(CodecOutput& out, const MOD& mod, const unsigned char* data, size_t rowOwn,
                  size_t lineBytes)
{
    std::vector<unsigned char> line;
    if (!sizeScratch(line, lineBytes))
        return false;
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, mod.bpp));
    for (int y = mod.height - 1; y >= 0; --y) {
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        if (mod.bpp == 24) {
            for (int p = 0; p < 3; ++p) {
                for (int x = 0; x < mod.width; ++x)
                    line[static_cast<size_t>(x)] = row[3 * x + 2 - p];
                encodeLine(out, line.data(), lineBytes);
            }
        } else {
            // Only the row's own bytes go out; the pad byte of an odd line is always 0.
            std::memcpy(line.data(), row, rowOwn);
            encodeLine(out, line.data(), lineBytes);
        }
    }
    return true;
}

int pcxWrite(const char*, int fd, const MOD* mod, const unsigned char* palette,
             const unsigned char* data, const char*)
{
    const int depth = mod->bpp;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return kUnsupported;
    const int bits = depth == 24 ? 8 : depth;
    const size_t e = (static_cast<size_t>(mod->width) * bits + 7) / 8;
    const size_t bpl = e + (e & 1);
    // Sizes travel in 16-bit fields; larger images cannot be described.
    if (mod->width < 1 || mod->height < 1 || mod->width > 0x10000 || mod->height > 0x10000 ||
        bpl > 0xFFFF)
        return kBadSize;
    CodecOutput out(fd);
    if (!out.ok())
        return kNoMemory;
    writePcxHeader(out, *mod, bits, bpl, palette);
    if (!writePcxBody(out, *mod, data, e, bpl))
        return kNoMemory;
    // A 256-colour palette follows the pixels, after its marker.
    if (depth == 8) {
        out.put(12);
        out.write(palette, 768);
    }
    return out.flush() ? kOk : kShortWrite;
}

int pcxMessage(int code)
{
    return code >= kBadVersion && code <= kNoPalette ? 296 + (code - kBadVersion) : 0;
}

}  // namespace

const FormatRow pcxRow = {pcxQuery,    pcxReadHeader, pcxReadPalette,
                          pcxReadData, pcxWrite,      pcxMessage};

}  // namespace imgfmt
