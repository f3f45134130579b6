// ILBM codec: reads interleaved bitplane images of 1 to 8 planes, extra half-brite, HAM6, HAM8
// and SHAM, uncompressed or ByteRun1, and writes 1, 4 and 8-bit images as bitplanes and 24-bit
// images as HAM6 (lossy: four bits a component, one component changed a pixel), always ByteRun1.
#include "detail/icodecstream.hpp"
#include "detail/ipackbits.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace imgfmt {

namespace {

using namespace codecio;

enum IlbmCode : int {
    kOk = 0,
    kNoMemory = 1,
    kUnsupported = 2,
    kBadSize = 6,
    kShortRead = 7,
    kShortWrite = 8,
    kNotForm = 900,
    kNotIlbm = 901,
    kSecondBmhd = 902,
    kBeforeBmhd = 903,
    kBmhdSize = 904,
    kBadPlanes = 905,
    kCmapSize = 906,
    kBadCompression = 907,
    kCamgSize = 908,
    kShamVersion = 909,
};

enum Mode : int32_t {
    kPlain = 0,
    kHam6 = 1,
    kHam8 = 2,
    kSham = 3
};

constexpr uint32_t kHamFlag = 0x800, kHalfBriteFlag = 0x80;
constexpr int kMaxSide = 10000;

struct IlbmState {
    unsigned char palette[768];
    int64_t bodyPos;
    int64_t bodySize;
    int64_t shamPos;  // -1 when there is none
    int64_t shamSize;
    int32_t planes;
    int32_t compression;
    int32_t masking;
    int32_t mode;
};

uint32_t id(const char* s)
{
    return getBE32(reinterpret_cast<const unsigned char*>(s));
}

// What the chunk walk finds.
struct Chunks {
    bool bmhd = false;
    bool body = false;
    unsigned char header[20];
    uint32_t displayMode = 0;
    int64_t cmapSize = -1;
    unsigned char cmap[768];
};

int readBmhd(int fd, uint32_t size, Chunks& c, IlbmState& st)
{
    if (c.bmhd)
        return kSecondBmhd;
    if (size != 20)
        return kBmhdSize;
    if (!readExact(fd, c.header, 20))
        return kShortRead;
    c.bmhd = true;
    st.planes = c.header[8];
    st.masking = c.header[9];
    st.compression = c.header[10];
    if (st.compression > 1)
        return kBadCompression;
    if (getBE16(c.header) > kMaxSide || getBE16(c.header + 2) > kMaxSide)
        return kBadSize;
    if (st.planes < 1 || st.planes > 8)
        return kBadPlanes;
    if (st.planes == 6)
        c.displayMode = kHamFlag;
    return kOk;
}

int readChunk(int fd, uint32_t type, uint32_t size, int64_t pos, Chunks& c, IlbmState& st)
{
    if (type == id("BMHD"))
        return readBmhd(fd, size, c, st);
    if (type == id("CAMG") || type == id("CMAP") || type == id("BODY")) {
        if (!c.bmhd)
            return kBeforeBmhd;
    }
    if (type == id("CAMG")) {
        unsigned char v[4];
        if (size != 4)
            return kCamgSize;
        if (!readExact(fd, v, 4))
            return kShortRead;
        c.displayMode = getBE32(v);
    } else if (type == id("CMAP")) {
        c.cmapSize = size;
        if (!readExact(fd, c.cmap, size < 768 ? size : 768))
            return kShortRead;
    } else if (type == id("SHAM")) {
        unsigned char v[2];
        if (size < 2 || !readExact(fd, v, 2))
            return kShortRead;
        if (getBE16(v) != 0)
            return kShamVersion;
        st.shamPos = pos + 10;
        st.shamSize = size - 2;
    } else if (type == id("BODY")) {
        c.body = true;
        st.bodyPos = pos + 8;
        st.bodySize = size;
    }
    return kOk;
}

// Settles the palette and the depth from the planes, the display mode and the colour map.
int settlePalette(Chunks& c, IlbmState& st, int& depth)
{
    const int planes = st.planes;
    const int64_t n = 3 << planes;
    int64_t m = c.cmapSize;
    std::memset(st.palette, 0, sizeof st.palette);
    if (m < 0) {
        // No colour map: a grey ramp over the entries the planes can address.
        const int count = planes == 6 && (c.displayMode & kHamFlag)   ? 16
                          : planes == 8 && (c.displayMode & kHamFlag) ? 64
                                                                      : 1 << planes;
        for (int i = 0; i < count; ++i)
            std::memset(st.palette + 3 * i, i * 255 / (count - 1), 3);
        m = count == (1 << planes) ? n : 3 * count;
    } else {
        std::memcpy(st.palette, c.cmap, static_cast<size_t>(m < 768 ? m : 768));
    }
    depth = planes == 1 ? 1 : planes <= 4 ? 4 : 8;
    st.mode = kPlain;
    if ((c.displayMode & kHalfBriteFlag) && 2 * m == n) {
        const int half = 1 << (planes - 1);
        for (int i = 0; i < 3 * half; ++i)
            st.palette[3 * half + i] = static_cast<unsigned char>(st.palette[i] >> 1);
    } else if ((c.displayMode & kHamFlag) && m == 48 && planes == 6) {
        for (int i = 0; i < 48; ++i)
            st.palette[i] &= 0xF0;
        st.mode = kHam6;
        depth = 24;
    } else if ((c.displayMode & kHamFlag) && m == 192 && planes == 8) {
        st.mode = kHam8;
        depth = 24;
    } else if (m > n || m % 3 != 0) {
        // A shorter map is common (writers list only the colours used); the entries it leaves
        // out stay black.
        return kCmapSize;
    }
    if (st.shamPos >= 0 && planes == 6) {
        st.mode = kSham;
        depth = 24;
    }
    return kOk;
}

int ilbmQuery(ModFormatInfo* info)
{
    info->shortName = "ILBM";
    info->description = "Amiga IFF / ILBM Interleaved bitmap";
    info->extensions = "IFF LBM";
    info->flags = 0xFF;
    return 0;
}

int ilbmReadHeader(const char*, int fd, MOD* mod, const char*)
{
    unsigned char head[12];
    if (!seekTo(fd, 0) || !readExact(fd, head, 12))
        return kShortRead;
    if (std::memcmp(head, "FORM", 4) != 0)
        return kNotForm;
    if (std::memcmp(head + 8, "ILBM", 4) != 0)
        return kNotIlbm;
    // Every chunk must lie inside the form, and the form inside the file.
    uint64_t formEnd = 8 + static_cast<uint64_t>(getBE32(head + 4));
    const uint64_t size = static_cast<uint64_t>(fileSize(fd));
    if (formEnd > size)
        formEnd = size;
    IlbmState st{};
    st.shamPos = -1;
    Chunks c;
    uint64_t pos = 12;
    while (pos + 8 <= formEnd) {
        unsigned char ch[8];
        if (!seekTo(fd, pos) || !readExact(fd, ch, 8))
            return kShortRead;
        const uint32_t chunkSize = getBE32(ch + 4);
        if (chunkSize > formEnd - pos - 8)
            return kShortRead;
        if (int rc = readChunk(fd, getBE32(ch), chunkSize, static_cast<int64_t>(pos), c, st))
            return rc;
        pos += 8 + static_cast<uint64_t>(chunkSize) + (chunkSize & 1);
    }
    if (!c.bmhd || !c.body)
        return kShortRead;
    int depth = 0;
    if (int rc = settlePalette(c, st, depth))
        return rc;
    const int width = getBE16(c.header), height = getBE16(c.header + 2);
    mod->width = width;
    mod->height = height;
    mod->bpp = depth;
    storeCodecState(mod, st);
    return kOk;
}

int ilbmReadPalette(int, MOD* mod, unsigned char* palette)
{
    if (mod->bpp != 24) {
        const auto st = loadCodecState<IlbmState>(mod);
        std::memcpy(palette, st.palette, 3u << mod->bpp);
    }
    return kOk;
}

// Decodes one plane row; runs are cut at the row's end.
int planeRow(CodecInput& in, int compression, unsigned char* out, size_t n)
{
    if (compression == 0)
        return in.readExact(out, n) ? kOk : kShortRead;
    return unpackByteRuns(in, out, n, kByteRun1Dialect);
}

// Spreads the 8 bits of a byte into 8 bytes, most significant bit into the first byte.
struct BitSpread {
    uint64_t v[256];
    BitSpread()
    {
        for (unsigned b = 0; b < 256; ++b) {
            uint64_t s = 0;
            for (int k = 0; k < 8; ++k)
                s |= static_cast<uint64_t>((b >> (7 - k)) & 1) << (8 * k);
            v[b] = s;
        }
    }
};

// Gathers the planes of one row into one byte per pixel (bit j from plane j).
void chunky(const unsigned char* planes, size_t planeBytes, int count, unsigned char* pixels,
            size_t width)
{
    static const BitSpread spread;
    const size_t groups = (width + 7) / 8;
    for (size_t g = 0; g < groups; ++g) {
        uint64_t acc = 0;
        for (int j = 0; j < count; ++j)
            acc |= spread.v[planes[j * planeBytes + g]] << j;
        unsigned char bytes[8];
        for (int k = 0; k < 8; ++k)
            bytes[k] = static_cast<unsigned char>(acc >> (8 * k));
        const size_t take = width - 8 * g < 8 ? width - 8 * g : 8;
        std::memcpy(pixels + 8 * g, bytes, take);
    }
}

void hamRow(const unsigned char* pixels, size_t width, int mode, const unsigned char* palette,
            unsigned char* row)
{
    unsigned r = 0, g = 0, b = 0;
    const int shift = mode == kHam8 ? 6 : 4;
    const unsigned valueMask = (1u << shift) - 1;
    for (size_t x = 0; x < width; ++x) {
        const unsigned p = pixels[x];
        const unsigned v = p & valueMask;
        switch ((p >> shift) & 3) {
        case 0:
            r = palette[3 * v];
            g = palette[3 * v + 1];
            b = palette[3 * v + 2];
            break;
        case 1:
            b = mode == kHam8 ? (v << 2 | (b & 3)) : v << 4;
            break;
        case 2:
            r = mode == kHam8 ? (v << 2 | (r & 3)) : v << 4;
            break;
        default:
            g = mode == kHam8 ? (v << 2 | (g & 3)) : v << 4;
            break;
        }
        row[3 * x] = static_cast<unsigned char>(b);
        row[3 * x + 1] = static_cast<unsigned char>(g);
        row[3 * x + 2] = static_cast<unsigned char>(r);
    }
}

void shamPalette(const unsigned char* words, unsigned char* palette)
{
    for (int i = 0; i < 16; ++i) {
        unsigned w = getBE16(words + 2 * i);
        palette[3 * i] = static_cast<unsigned char>(((w >> 8) & 0xF) << 4);
        palette[3 * i + 1] = static_cast<unsigned char>(((w >> 4) & 0xF) << 4);
        palette[3 * i + 2] = static_cast<unsigned char>((w & 0xF) << 4);
    }
}

// Reads the line palettes of a SHAM chunk; the chunk must hold all it promises.
// The per-line palettes of a SHAM picture (one a line, 200 at most): the code of the read.
int readShamPalettes(int fd, const IlbmState& st, int height, std::vector<unsigned char>* words,
                     int* count)
{
    *count = height < 200 ? height : 200;
    if (st.shamSize < 32 * static_cast<int64_t>(*count))
        return kShortRead;
    if (!sizeScratch(*words, 32 * static_cast<size_t>(*count)))
        return kNoMemory;
    if (!seekTo(fd, static_cast<uint64_t>(st.shamPos)) ||
        !readExact(fd, words->data(), 32 * static_cast<size_t>(*count)))
        return kShortRead;
    return kOk;
}

class BodyReader {
public:
    BodyReader(int fd, const MOD& mod, const IlbmState& st, unsigned char* data) noexcept
        : fFd(fd), fMod(mod), fSt(st), fData(data), fIn(fd, static_cast<uint64_t>(st.bodySize)),
          fPlaneBytes(((static_cast<size_t>(mod.width) + 7) / 8 + 1) & ~static_cast<size_t>(1)),
          fRowBytes(static_cast<size_t>(ModRowBytes(mod.width, mod.bpp)))
    {
    }
    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;

    int run() noexcept
    {
        const size_t width = static_cast<size_t>(fMod.width);
        // One buffer for the planes and a mask plane, and one byte per pixel rounded up to 8.
        if (!fIn.ok() || !sizeScratch(fPlaneBuffer, fPlaneBytes * 9) ||
            !sizeScratch(fPixelBuffer, (width + 7) & ~static_cast<size_t>(7)))
            return kNoMemory;
        fPlanes = fPlaneBuffer.data();
        fPixels = fPixelBuffer.data();
        int shamCount = 0;
        if (fSt.mode == kSham) {
            if (const int rc = readShamPalettes(fFd, fSt, fMod.height, &fShamBuffer, &shamCount))
                return rc;
            fSham = fShamBuffer.data();
        }
        if (!seekTo(fFd, static_cast<uint64_t>(fSt.bodyPos)))
            return kShortRead;
        const int stored = fSt.planes + (fSt.masking == 1 ? 1 : 0);
        unsigned char linePalette[48];
        for (int r = 0; r < fMod.height; ++r) {
            for (int j = 0; j < stored; ++j) {
                if (int rc = planeRow(fIn, fSt.compression, fPlanes + j * fPlaneBytes, fPlaneBytes))
                    return rc;
            }
            unsigned char* row = fData + static_cast<size_t>(fMod.height - 1 - r) * fRowBytes;
            if (fMod.bpp == 1) {
                const size_t packed = (width + 7) / 8;
                std::memcpy(row, fPlanes, packed);
                std::memset(row + packed, 0, fRowBytes - packed);
                continue;
            }
            chunky(fPlanes, fPlaneBytes, fSt.planes, fPixels, width);
            if (fMod.bpp == 8) {
                std::memcpy(row, fPixels, width);
                std::memset(row + width, 0, fRowBytes - width);
            } else if (fMod.bpp == 4) {
                std::memset(row, 0, fRowBytes);
                for (size_t x = 0; x < width; ++x)
                    row[x >> 1] =
                        static_cast<unsigned char>(row[x >> 1] | fPixels[x] << ((x & 1) ? 0 : 4));
            } else if (fSt.mode == kSham) {
                const int line = fMod.height <= 200 ? r % shamCount : (r / 2) % shamCount;
                shamPalette(fSham + 32 * line, linePalette);
                hamRow(fPixels, width, kHam6, linePalette, row);
            } else {
                hamRow(fPixels, width, fSt.mode, fSt.palette, row);
            }
        }
        return kOk;
    }

private:
    int fFd;
    const MOD& fMod;
    const IlbmState& fSt;
    unsigned char* fData;
    CodecInput fIn;
    size_t fPlaneBytes;
    size_t fRowBytes;
    std::vector<unsigned char> fPlaneBuffer;
    std::vector<unsigned char> fPixelBuffer;
    std::vector<unsigned char> fShamBuffer;
    unsigned char* fPlanes = nullptr;
    unsigned char* fPixels = nullptr;
    unsigned char* fSham = nullptr;
};

int ilbmReadData(int fd, MOD* mod, unsigned char* data)
{
    clearData(mod, data);
    const auto st = loadCodecState<IlbmState>(mod);
    BodyReader reader(fd, *mod, st, data);
    return reader.run();
}

void byteRun1(CodecOutput& out, const unsigned char* p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (run < 129 && i + run < n && p[i + run] == p[i])
            ++run;
        if (run >= 2) {
            out.put(static_cast<unsigned char>(1 - static_cast<int>(run)));
            out.put(p[i]);
            i += run;
            continue;
        }
        // A literal ends with the first byte that equals its follower, that byte included.
        size_t k = 0;
        while (k < 128 && i + k < n) {
            ++k;
            if (i + k < n && p[i + k - 1] == p[i + k])
                break;
        }
        out.put(static_cast<unsigned char>(k - 1));
        out.write(p + i, k);
        i += k;
    }
}

unsigned absDiff(unsigned a, unsigned b)
{
    return a > b ? a - b : b - a;
}

// Encodes one 24-bit row as HAM6 codes, components reduced to their top four bits.
void hamEncodeRow(const unsigned char* row, size_t width, unsigned char* codes)
{
    unsigned cr = 0, cg = 0, cb = 0;
    for (size_t x = 0; x < width; ++x) {
        const unsigned b = row[3 * x] >> 4, g = row[3 * x + 1] >> 4, r = row[3 * x + 2] >> 4;
        if (x == 0) {
            unsigned level = r == g || r == b ? r : g == b ? g : (r + g + b) / 3;
            codes[x] = static_cast<unsigned char>(level);
            cr = cg = cb = level;
            continue;
        }
        const unsigned dr = absDiff(r, cr), dg = absDiff(g, cg), db = absDiff(b, cb);
        const int differ = (dr != 0) + (dg != 0) + (db != 0);
        const bool grey = r == g && g == b;
        int pick;  // 0 palette, 1 blue, 2 red, 3 green
        if (differ == 0) {
            pick = 1;
        } else if (differ == 1) {
            pick = dr != 0 ? 2 : dg != 0 ? 3 : 1;
        } else if (differ == 2 && grey) {
            pick = 0;
        } else if (differ == 3 && (r == g || r == b || g == b)) {
            pick = 0;
        } else {
            pick = dr >= dg && dr >= db ? 2 : dg >= db ? 3 : 1;
        }
        switch (pick) {
        case 0: {
            const unsigned level = differ == 2 ? r : r == g ? r : b;
            codes[x] = static_cast<unsigned char>(level);
            cr = cg = cb = level;
            break;
        }
        case 1:
            codes[x] = static_cast<unsigned char>(0x10 | b);
            cb = b;
            break;
        case 2:
            codes[x] = static_cast<unsigned char>(0x20 | r);
            cr = r;
            break;
        default:
            codes[x] = static_cast<unsigned char>(0x30 | g);
            cg = g;
            break;
        }
    }
}

// Splits one byte per pixel into plane rows: bit j of each pixel into plane j.
void planar(const unsigned char* pixels, size_t width, int planes, unsigned char* out,
            size_t planeBytes)
{
    std::memset(out, 0, planeBytes * static_cast<size_t>(planes));
    for (size_t x = 0; x < width; ++x) {
        const unsigned p = pixels[x];
        const unsigned char bit = static_cast<unsigned char>(0x80 >> (x & 7));
        for (int j = 0; j < planes; ++j) {
            if (p & (1u << j))
                out[j * planeBytes + (x >> 3)] |= bit;
        }
    }
}

void chunkHeader(CodecOutput& out, const char* type, uint32_t size)
{
    out.write(type, 4);
    out.be32(size);
}

// The FORM header with a size to patch, and the BMHD, CAMG and CMAP chunks.
void writeIlbmHeader(CodecOutput& out, const MOD& mod, int planes, const unsigned char* palette,
                     const char* options)
{
    out.write("FORM", 4);
    out.be32(0);
    out.write("ILBM", 4);
    chunkHeader(out, "BMHD", 20);
    out.be16(static_cast<uint32_t>(mod.width));
    out.be16(static_cast<uint32_t>(mod.height));
    out.be16(static_cast<uint32_t>(optionOr(options, "xpos=", 0)));
    out.be16(static_cast<uint32_t>(optionOr(options, "ypos=", 0)));
    out.put(static_cast<unsigned char>(planes));
    out.put(0);
    out.put(1);
    out.put(0);
    out.be16(static_cast<uint32_t>(optionOr(options, "transcol=", 0)));
    out.put(static_cast<unsigned char>(optionOr(options, "xaspect=", 1)));
    out.put(static_cast<unsigned char>(optionOr(options, "yaspect=", 1)));
    out.be16(static_cast<uint32_t>(optionOr(options, "xscreen=", mod.width)));
    out.be16(static_cast<uint32_t>(optionOr(options, "yscreen=", mod.height)));
    if (mod.bpp == 24) {
        chunkHeader(out, "CAMG", 4);
        out.be32(kHamFlag);
        chunkHeader(out, "CMAP", 48);
        for (int k = 0; k < 16; ++k) {
            const unsigned char grey[3] = {static_cast<unsigned char>(17 * k),
                                           static_cast<unsigned char>(17 * k),
                                           static_cast<unsigned char>(17 * k)};
            out.write(grey, 3);
        }
    } else {
        chunkHeader(out, "CMAP", 3u << mod.bpp);
        out.write(palette, 3u << mod.bpp);
    }
}

// The BODY chunk's rows, top row first, each plane run-length encoded; false when there is no
// memory for the row buffers.
bool writeIlbmBody(CodecOutput& out, const MOD& mod, const unsigned char* data, int planes)
{
    const int depth = mod.bpp;
    const size_t width = static_cast<size_t>(mod.width);
    const size_t planeBytes = ((width + 7) / 8 + 1) & ~static_cast<size_t>(1);
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, depth));
    std::vector<unsigned char> pixels, planeRows;
    if (!sizeScratch(pixels, width) ||
        !sizeScratch(planeRows, planeBytes * static_cast<size_t>(planes)))
        return false;
    for (int y = mod.height - 1; y >= 0; --y) {
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        if (depth == 1) {
            std::memset(planeRows.data(), 0, planeBytes);
            std::memcpy(planeRows.data(), row, (width + 7) / 8);
        } else {
            if (depth == 24)
                hamEncodeRow(row, width, pixels.data());
            else if (depth == 8)
                std::memcpy(pixels.data(), row, width);
            else
                for (size_t x = 0; x < width; ++x)
                    pixels[x] =
                        static_cast<unsigned char>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
            planar(pixels.data(), width, planes, planeRows.data(), planeBytes);
        }
        for (int j = 0; j < planes; ++j)
            byteRun1(out, planeRows.data() + j * planeBytes, planeBytes);
    }
    return true;
}

int ilbmWrite(const char*, int fd, const MOD* mod, const unsigned char* palette,
              const unsigned char* data, const char* options)
{
    const int depth = mod->bpp;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return kUnsupported;
    if (mod->width < 1 || mod->height < 1 || mod->width > 0xFFFF || mod->height > 0xFFFF)
        return kBadSize;
    const int planes = depth == 24 ? 6 : depth;
    CodecOutput out(fd);
    if (!out.ok())
        return kNoMemory;
    writeIlbmHeader(out, *mod, planes, palette, options);
    chunkHeader(out, "BODY", 0);
    const uint64_t bodyStart = out.written();
    if (!writeIlbmBody(out, *mod, data, planes))
        return kNoMemory;
    const uint64_t bodySize = out.written() - bodyStart;
    if (bodySize & 1)
        out.put(0);
    const uint64_t end = out.written();
    if (!out.flush())
        return kShortWrite;
    if (end > 0xFFFFFFFFu)
        return kBadSize;
    // The two sizes known only now: the BODY chunk's and the FORM's.
    return patchSize(fd, bodyStart - 4, bodySize, true) && patchSize(fd, 4, end - 8, true)
               ? kOk
               : kShortWrite;
}

int ilbmMessage(int code)
{
    return code >= kNotForm && code <= kShamVersion ? 286 + (code - kNotForm) : 0;
}

}  // namespace

const FormatRow ilbmRow = {ilbmQuery,    ilbmReadHeader, ilbmReadPalette,
                           ilbmReadData, ilbmWrite,      ilbmMessage};

}  // namespace imgfmt
