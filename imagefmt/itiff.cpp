// TIFF codec: reads one image file directory of a TIFF file in either byte order (strips
// uncompressed, LZW or PackBits; grey, palette, RGB chunky or planar, CMYK) and writes a
// little-endian single-strip TIFF, uncompressed or LZW.
#include "detail/icodecstream.hpp"
#include "detail/ipackbits.hpp"
#include "detail/ilzwdecoder.hpp"
#include "detail/ilzwencoder.hpp"
#include "detail/itiffdir.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace imgfmt {

namespace {

using namespace codecio;

enum TiffCode : int {
    kOk = 0,
    kNoMemory = 1,
    kUnsupported = 2,
    kShortRead = 7,
    kShortWrite = 8,
    kBadVersion = 800,
    kTooManyEntries = 801,
    kDirTruncated = 802,
    kDirInconsistent = 803,
    kMissingTag = 804,
    kGreySamples = 805,
    kGreyBits = 806,
    kRgbSamples = 807,
    kRgbBits = 808,
    kPaletteSamples = 809,
    kPaletteBits = 810,
    kCmykSamples = 811,
    kCmykBits = 812,
    kCompression2 = 813,
    kCompression3 = 814,
    kCompression4 = 815,
    kCompressionOther = 816,
    kNoColorMap = 817,
    kStringTooLong = 818,
    kBadPredictor = 819,
    kMask = 821,
    kYCbCr = 822,
    kPhotometricOther = 823,
    kFillOrder = 824,
    kPlanarOther = 825,
    kPlanarRgb = 826,
    kInkSet = 827,
    kOrientation = 828,
    kNoSuchDirectory = 829,
};

enum Tag : int {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kFillOrderTag = 266,
    kDocumentName = 269,
    kImageDescription = 270,
    kMake = 271,
    kModel = 272,
    kStripOffsets = 273,
    kOrientationTag = 274,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfig = 284,
    kPageName = 285,
    kSoftware = 305,
    kArtist = 315,
    kHostComputer = 316,
    kPredictor = 317,
    kColorMapTag = 320,
    kInkSetTag = 332,
};

enum Compression : int {
    kNone = 1,
    kLzw = 5,
    kPackBits = 32773
};

// What read header leaves for read palette and read data, the strip offsets and byte counts
// among it: read data reads neither the header nor the directory again.
struct TiffState {
    unsigned char palette[768];
    int32_t rowsPerStrip;
    int32_t samples;
    int32_t bits;
    int32_t compression;
    int32_t photometric;
    int32_t orientation;
    int32_t planar;
    int32_t predictor;
    tiffdir::TiffKeptEntries strips;
};

// Owns an open directory for the length of one operation.
class OpenDirectory {
public:
    OpenDirectory() = default;
    ~OpenDirectory() { tiffdir::release(fHeader); }
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;

    int open(int fd, long index) { return code(tiffdir::open(fd, index, &fHeader)); }
    int reopen(int fd, const tiffdir::TiffKeptEntries& kept)
    {
        return code(tiffdir::reopen(fd, kept, &fHeader));
    }
    const tiffdir::TiffHeader& header() const { return *fHeader; }
    const tiffdir::TiffDirectory& dir() const { return fHeader->directory; }

private:
    static int code(int rc)
    {
        switch (rc) {
        case tiffdir::kTiffDirOk:
            return kOk;
        case tiffdir::kTiffDirNoMemory:
            return kNoMemory;
        case tiffdir::kTiffDirBadVersion:
            return kBadVersion;
        case tiffdir::kTiffDirTooManyEntries:
            return kTooManyEntries;
        case tiffdir::kTiffDirTruncated:
            return kDirTruncated;
        case tiffdir::kTiffDirNoSuchIndex:
            return kNoSuchDirectory;
        default:
            return kDirInconsistent;
        }
    }

    tiffdir::TiffHeader* fHeader = nullptr;
};

int64_t stripsOf(const TiffState& st, int64_t height)
{
    int64_t perPlane = (height + st.rowsPerStrip - 1) / st.rowsPerStrip;
    return st.photometric == 2 && st.planar == 2 ? 3 * perPlane : perPlane;
}

int greyPalette(TiffState& st)
{
    if (st.samples != 1)
        return kGreySamples;
    if (st.bits != 1 && st.bits != 4 && st.bits != 8)
        return kGreyBits;
    const int top = (1 << st.bits) - 1;
    for (int j = 0; j <= top; ++j) {
        int v = j * 255 / top;
        if (st.photometric == 0)
            v = 255 - v;
        std::memset(st.palette + 3 * j, v, 3);
    }
    return kOk;
}

int colourMapPalette(TiffState& st, const tiffdir::TiffDirectory& dir)
{
    if (st.samples != 1)
        return kPaletteSamples;
    if (st.bits != 1 && st.bits != 4 && st.bits != 8)
        return kPaletteBits;
    const tiffdir::TiffEntry* map = tiffdir::findEntry(dir, kColorMapTag);
    if (map == nullptr)
        return kNoColorMap;
    const uint32_t n = 1u << st.bits;
    // Three full ranks of values are needed; a shorter map would be read past its end.
    if (map->count < 3 * n)
        return kDirInconsistent;
    bool allZero = true;
    for (uint32_t j = 0; j < n; ++j) {
        for (uint32_t c = 0; c < 3; ++c) {
            auto v = static_cast<unsigned char>(tiffdir::value(*map, c * n + j) >> 8);
            st.palette[3 * j + c] = v;
            allZero = allZero && v == 0;
        }
    }
    // Some writers store 8-bit values in the 16-bit map.
    if (allZero) {
        for (uint32_t j = 0; j < n; ++j) {
            for (uint32_t c = 0; c < 3; ++c)
                st.palette[3 * j + c] = static_cast<unsigned char>(tiffdir::value(*map, c * n + j));
        }
    }
    return kOk;
}

int photometricDepth(TiffState& st, const tiffdir::TiffDirectory& dir, int& depth)
{
    switch (st.photometric) {
    case 0:
    case 1:
        depth = st.bits;
        return greyPalette(st);
    case 2:
        depth = 24;
        if (st.samples < 3)
            return kRgbSamples;
        return st.bits == 8 ? kOk : kRgbBits;
    case 3:
        depth = st.bits;
        return colourMapPalette(st, dir);
    case 4:
        return kMask;
    case 5:
        depth = 24;
        if (st.samples != 4)
            return kCmykSamples;
        if (st.bits != 8)
            return kCmykBits;
        return tiffdir::valueOr(dir, kInkSetTag, 1) == 1 ? kOk : kInkSet;
    case 6:
        return kYCbCr;
    default:
        return kPhotometricOther;
    }
}

int layoutChecks(const TiffState& st, const tiffdir::TiffDirectory& dir)
{
    switch (st.compression) {
    case kNone:
    case kLzw:
    case kPackBits:
        break;
    case 2:
        return kCompression2;
    case 3:
        return kCompression3;
    case 4:
        return kCompression4;
    default:
        return kCompressionOther;
    }
    if (st.orientation != 1 && st.orientation != 4)
        return kOrientation;
    if (tiffdir::valueOr(dir, kFillOrderTag, 1) != 1)
        return kFillOrder;
    if (st.photometric == 2 ? st.planar != 1 && st.planar != 2 : st.planar != 1)
        return st.photometric == 2 ? kPlanarRgb : kPlanarOther;
    if (st.predictor != 1 &&
        !(st.compression == kLzw && st.bits == 8 && (st.samples == 1 || st.samples >= 3)))
        return kBadPredictor;
    return kOk;
}

// Reads a small positive directory number into an int, refusing what does not fit.
bool smallValue(int64_t v, int32_t& out)
{
    if (v < 0 || v > 0x7FFFFFFF)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

int tiffQuery(ModFormatInfo* info)
{
    info->shortName = "TIFF";
    info->description = "Tagged Image File Format support (almost TIFF 6.0 Baseline)";
    info->extensions = "TIF TIFF";
    info->flags = 0xFF;
    return 0;
}

int tiffReadHeader(const char*, int fd, MOD* mod, const char* options)
{
    TiffState st{};
    OpenDirectory d;
    if (int rc = d.open(fd, static_cast<int32_t>(optionOr(options, "index=", 0))))
        return rc;
    const tiffdir::TiffDirectory& dir = d.dir();
    const tiffdir::TiffEntry* w = tiffdir::findEntry(dir, kImageWidth);
    const tiffdir::TiffEntry* h = tiffdir::findEntry(dir, kImageLength);
    const tiffdir::TiffEntry* offsets = tiffdir::findEntry(dir, kStripOffsets);
    if (w == nullptr || h == nullptr || offsets == nullptr)
        return kMissingTag;
    const int64_t width = tiffdir::firstValue(*w), height = tiffdir::firstValue(*h);
    if (width <= 0 || height <= 0 || width > 0xFFFFFF || height > 0xFFFFFF)
        return 6;
    int64_t rows = tiffdir::valueOr(dir, kRowsPerStrip, height);
    // A strip of no rows would never end the image; more rows than the image has mean one strip.
    if (rows <= 0)
        return kDirInconsistent;
    st.rowsPerStrip = static_cast<int32_t>(rows < height ? rows : height);
    if (!smallValue(tiffdir::valueOr(dir, kSamplesPerPixel, 1), st.samples) ||
        !smallValue(tiffdir::valueOr(dir, kBitsPerSample, 1), st.bits) ||
        !smallValue(tiffdir::valueOr(dir, kCompression, 1), st.compression) ||
        !smallValue(tiffdir::valueOr(dir, kPhotometric, 1), st.photometric) ||
        !smallValue(tiffdir::valueOr(dir, kOrientationTag, 1), st.orientation) ||
        !smallValue(tiffdir::valueOr(dir, kPlanarConfig, 1), st.planar) ||
        !smallValue(tiffdir::valueOr(dir, kPredictor, 1), st.predictor))
        return kDirInconsistent;
    // Samples beyond the first few are dropped, but each file row still holds them all.
    if (st.samples > 64)
        return st.photometric == 2 ? kRgbSamples : kDirInconsistent;
    int depth = 0;
    if (int rc = photometricDepth(st, dir, depth))
        return rc;
    // Every strip needs its offset: fewer values than strips would leave rows without a source.
    if (offsets->count < stripsOf(st, height))
        return kDirInconsistent;
    if (int rc = layoutChecks(st, dir))
        return rc;
    mod->width = static_cast<int32_t>(width);
    mod->height = static_cast<int32_t>(height);
    mod->bpp = depth;
    static constexpr int kStripTags[] = {kStripOffsets, kStripByteCounts};
    tiffdir::keep(d.header(), kStripTags, 2, st.strips);
    storeCodecState(mod, st);
    return kOk;
}

int tiffReadPalette(int, MOD* mod, unsigned char* palette)
{
    if (mod->bpp != 24) {
        auto st = loadCodecState<TiffState>(mod);
        std::memcpy(palette, st.palette, 3u << mod->bpp);
    }
    return kOk;
}

// The strip's bytes, up to its byte count, as the LZW decoder takes them.
struct StripSource {
    CodecInput& in;
    size_t fill(unsigned char* to, size_t room) noexcept { return in.read(to, room); }
};

// One buffer serves all the strips that lie in it, however many: as large as a small file, up
// to 256 KiB.
size_t inputCapacity(uint64_t fileSize)
{
    constexpr uint64_t kMost = 262144;
    return static_cast<size_t>(fileSize < 64 ? 64 : fileSize < kMost ? fileSize : kMost);
}

// Reads the strips of one image into the model: each compressed strip is decoded whole, into
// the model rows it fills where a file row is a model row but for the order of red and blue,
// else into a buffer whose rows are then turned into model rows.
class StripReader {
public:
    StripReader(int fd, const MOD& mod, unsigned char* data, const TiffState& st,
                const tiffdir::TiffDirectory& dir) noexcept
        : fMod(mod), fData(data), fSt(st),
          fIn(fd, UINT64_MAX, inputCapacity(st.strips.fileSize)),
          fOffsets(tiffdir::findEntry(dir, kStripOffsets)),
          fCounts(tiffdir::findEntry(dir, kStripByteCounts)),
          fRowBytes(static_cast<size_t>(ModRowBytes(mod.width, mod.bpp)))
    {
    }
    StripReader(const StripReader&) = delete;
    StripReader& operator=(const StripReader&) = delete;

    int run() noexcept
    {
        const int64_t width = fMod.width;
        const bool planarRgb = fSt.photometric == 2 && fSt.planar == 2;
        if (planarRgb)
            fFileRow = static_cast<size_t>(width);
        else
            fFileRow = static_cast<size_t>((width * fSt.bits * fSt.samples + 7) / 8);
        // Uncompressed rows are converted straight from the input's buffer; compressed strips
        // are decoded whole first, as an LZW string may repeat any earlier part of its strip.
        bool stripReady = true;
        if (fSt.compression != kNone) {
            // Counted in 64 bits: with many samples a strip can outgrow the model, and on a
            // 32-bit target the product would wrap into a small block. The decoder's offsets are
            // 32-bit, so larger strips are refused as well.
            const uint64_t stripBytes =
                static_cast<uint64_t>(fFileRow) * static_cast<uint64_t>(fSt.rowsPerStrip);
            if (stripBytes > 0xFFFFFFF0u)
                return kNoMemory;
            fInPlace = decodesInPlace();
            if (!fInPlace)
                stripReady = sizeScratch(fStrip, static_cast<size_t>(stripBytes));
        }
        if (!fIn.ok() || !stripReady || (fSt.compression == kLzw && !fLzw.ok()))
            return kNoMemory;
        const int64_t perPlane = (fMod.height + fSt.rowsPerStrip - 1) / fSt.rowsPerStrip;
        const int planes = planarRgb ? 3 : 1;
        for (int plane = 0; plane < planes; ++plane) {
            for (int64_t s = 0; s < perPlane; ++s) {
                if (int rc = readStrip(plane * perPlane + s, s * fSt.rowsPerStrip, plane))
                    return rc;
            }
        }
        return kOk;
    }

private:
    unsigned char* modelRow(int64_t fileRow) const noexcept
    {
        const int64_t y = fSt.orientation == 4 ? fileRow : fMod.height - 1 - fileRow;
        return fData + static_cast<size_t>(y) * fRowBytes;
    }

    int readStrip(int64_t strip, int64_t firstRow, int plane) noexcept
    {
        const int64_t offset = tiffdir::value(*fOffsets, static_cast<uint32_t>(strip));
        uint64_t limit = UINT64_MAX;
        if (fCounts != nullptr && strip < fCounts->count) {
            // The byte count bounds what a decoder may read; a count of 0 is a known writer
            // slip, and the strip's data then runs to its end.
            const int64_t count = tiffdir::value(*fCounts, static_cast<uint32_t>(strip));
            if (count > 0 && fSt.compression != kNone)
                limit = static_cast<uint64_t>(count);
        }
        if (!fIn.moveTo(offset, limit))
            return kShortRead;
        int64_t rows = fMod.height - firstRow;
        if (rows > fSt.rowsPerStrip)
            rows = fSt.rowsPerStrip;
        if (fSt.compression == kNone)
            return readRawRows(firstRow, rows, plane);
        if (fInPlace)
            return decodeInPlace(firstRow, rows);
        const int rc = decode(fStrip.data(), fFileRow * static_cast<size_t>(rows));
        if (rc != kOk)
            return rc;
        for (int64_t r = 0; r < rows; ++r) {
            unsigned char* src = fStrip.data() + static_cast<size_t>(r) * fFileRow;
            if (fSt.predictor == 2)
                undoPredictor(src, fSt.planar == 2 ? 1 : static_cast<size_t>(fSt.samples));
            convert(src, modelRow(firstRow + r), plane);
        }
        return kOk;
    }

    // Decodes a whole strip; a strip that ends early (or whose codes break off) fails.
    int decode(unsigned char* out, size_t bytes) noexcept
    {
        if (fSt.compression != kLzw)
            return unpackByteRuns(fIn, out, bytes, kPackBitsDialect);
        StripSource source{fIn};
        static constexpr lzw::Dialect kTiffLzw{8, true, true, 0xFF};
        return fLzw.decode(kTiffLzw, source, out, bytes).ending == lzw::Ending::Full ? kOk
                                                                                     : kShortRead;
    }

    // Whether a decoded file row is already a model row but for the order of red and blue: one
    // byte a sample of palette or grey, or chunky red, green, blue, and no row padding.
    bool decodesInPlace() const noexcept
    {
        if (fFileRow != fRowBytes)
            return false;
        return fMod.bpp != 24 || (fSt.planar != 2 && fSt.photometric != 5 && fSt.samples == 3);
    }

    // Decodes a strip straight into the model rows that it fills, which lie together (in the
    // reverse order, unless the file is stored bottom-up), and then turns the rows round in
    // place: no strip buffer is allocated and written, and every byte is moved once less.
    int decodeInPlace(int64_t firstRow, int64_t rows) noexcept
    {
        const int64_t lowest = fSt.orientation == 4 ? firstRow : fMod.height - firstRow - rows;
        unsigned char* const block = fData + static_cast<size_t>(lowest) * fRowBytes;
        if (const int rc = decode(block, fFileRow * static_cast<size_t>(rows)))
            return rc;
        if (fSt.predictor == 2) {
            for (int64_t r = 0; r < rows; ++r)
                undoPredictor(block + static_cast<size_t>(r) * fFileRow,
                              fSt.planar == 2 ? 1 : static_cast<size_t>(fSt.samples));
        }
        placeRows(block, static_cast<size_t>(rows), fFileRow, fFileRow, fSt.orientation != 4,
                  fMod.bpp == 24);
        return kOk;
    }

    // Whether a file row is a model row but for the order of red and blue and the padding at
    // its end: one byte a sample of palette or grey, or chunky red, green, blue.
    bool placesInPlace() const noexcept
    {
        if (fFileRow > fRowBytes ||
            (fMod.bpp == 24 && fFileRow != 3 * static_cast<size_t>(fMod.width)))
            return false;
        return fMod.bpp != 24 || (fSt.planar != 2 && fSt.photometric != 5 && fSt.samples == 3);
    }

    // Reads uncompressed rows a chunk at a time straight into the model rows they become, which
    // lie together, and puts them right there while they are still in the cache.
    int placeRawRows(int64_t firstRow, int64_t rows) noexcept
    {
        constexpr size_t kChunkBytes = 256 * 1024;
        const int64_t chunkRows =
            std::max<int64_t>(1, static_cast<int64_t>(kChunkBytes / fRowBytes));
        const bool reverse = fSt.orientation != 4;
        for (int64_t done = 0; done < rows; done += chunkRows) {
            const int64_t n = std::min(chunkRows, rows - done);
            const int64_t first = firstRow + done;
            const int64_t lowest = reverse ? fMod.height - first - n : first;
            unsigned char* const region = fData + static_cast<size_t>(lowest) * fRowBytes;
            // Packed, the rows take no more room than their model rows do.
            if (!fIn.readExact(region, fFileRow * static_cast<size_t>(n)))
                return kShortRead;
            placeRows(region, static_cast<size_t>(n), fFileRow, fRowBytes, reverse,
                      fMod.bpp == 24);
        }
        return kOk;
    }

    int readRawRows(int64_t firstRow, int64_t rows, int plane) noexcept
    {
        if (placesInPlace())
            return placeRawRows(firstRow, rows);
        for (int64_t r = 0; r < rows; ++r) {
            const unsigned char* src = fIn.view(fFileRow);
            if (src == nullptr) {
                // A row longer than the input's buffer goes through a row of its own.
                if (fStrip.size() < fFileRow && !sizeScratch(fStrip, fFileRow))
                    return kNoMemory;
                if (!fIn.readExact(fStrip.data(), fFileRow))
                    return kShortRead;
                src = fStrip.data();
            }
            convert(src, modelRow(firstRow + r), plane);
        }
        return kOk;
    }

    void undoPredictor(unsigned char* p, size_t step) const noexcept
    {
        for (size_t i = step; i < fFileRow; ++i)
            p[i] = static_cast<unsigned char>(p[i] + p[i - step]);
    }

    // Turns one decoded file row into a model row, 24-bit pixels as blue, green, red.
    void convert(const unsigned char* src, unsigned char* row, int plane) const noexcept
    {
        const size_t width = static_cast<size_t>(fMod.width);
        const size_t used = fMod.bpp == 24 ? 3 * width : fFileRow;
        std::memset(row + used, 0, fRowBytes - used);
        if (fMod.bpp != 24) {
            std::memcpy(row, src, fFileRow);
        } else if (fSt.planar == 2) {
            for (size_t x = 0; x < width; ++x)
                row[3 * x + 2 - plane] = src[x];
        } else if (fSt.photometric == 5) {
            for (size_t x = 0; x < width; ++x, src += 4) {
                const int k = src[3];
                auto ink = [k](int v) {
                    return static_cast<unsigned char>(v + k > 255 ? 0 : 255 - v - k);
                };
                row[3 * x] = ink(src[2]);
                row[3 * x + 1] = ink(src[1]);
                row[3 * x + 2] = ink(src[0]);
            }
        } else if (fSt.samples == 3) {
            swapRedBlue(src, row, width);
        } else {
            const size_t step = static_cast<size_t>(fSt.samples);
            for (size_t x = 0; x < width; ++x, src += step, row += 3) {
                row[0] = src[2];
                row[1] = src[1];
                row[2] = src[0];
            }
        }
    }

    const MOD& fMod;
    unsigned char* fData;
    const TiffState& fSt;
    CodecInput fIn;
    const tiffdir::TiffEntry* fOffsets;
    const tiffdir::TiffEntry* fCounts;
    size_t fRowBytes;
    size_t fFileRow = 0;
    std::vector<unsigned char> fStrip;
    bool fInPlace = false;
    lzw::Decoder fLzw;
};

int tiffReadData(int fd, MOD* mod, unsigned char* data)
{
    auto st = loadCodecState<TiffState>(mod);
    OpenDirectory d;
    // The entries were read once already; failing now means the file changed or memory ran out.
    if (d.reopen(fd, st.strips) != kOk) {
        clearData(mod, data);
        return kNoMemory;
    }
    StripReader reader(fd, *mod, data, st, d.dir());
    const int rc = reader.run();
    // A failed read promises no pixels; none of what the block held before may show.
    if (rc != kOk)
        std::memset(data, 0, static_cast<size_t>(ModRowBytes(mod->width, mod->bpp)) *
                                 static_cast<size_t>(mod->height));
    return rc;
}

// Packs codes most significant bit first.
class TiffCodeWriter {
public:
    explicit TiffCodeWriter(CodecOutput& out) noexcept : fOut(out) {}
    void code(unsigned c, int width) noexcept
    {
        fAcc = fAcc << width | c;
        fBits += width;
        while (fBits >= 8) {
            fBits -= 8;
            fOut.put(static_cast<unsigned char>(fAcc >> fBits));
        }
    }
    void finish() noexcept
    {
        if (fBits > 0)
            fOut.put(static_cast<unsigned char>(fAcc << (8 - fBits)));
        fBits = 0;
    }

private:
    CodecOutput& fOut;
    uint64_t fAcc = 0;
    int fBits = 0;
};

// The text of option "name=value": up to the next separator, at most 215 characters.
void optionText(const char* options, const char* name, char* out)
{
    out[0] = '\0';
    const char* at = findOption(options, name);
    if (at == nullptr)
        return;
    at += std::strlen(name);
    size_t n = 0;
    while (n < 215 && at[n] != '\0' && at[n] != ' ' && at[n] != '\t' && at[n] != ',')
        ++n;
    std::memcpy(out, at, n);
    out[n] = '\0';
}

bool addTags(tiffdir::TiffDirectory& dir, const MOD& mod, const unsigned char* palette,
             const char* options)
{
    const int depth = mod.bpp;
    const bool pal1 = hasOption(options, "pal1bpp") != nullptr;
    const uint32_t size[2] = {static_cast<uint32_t>(mod.width), static_cast<uint32_t>(mod.height)};
    const uint32_t zero = 0;
    const uint16_t samples = depth == 24 ? 3 : 1;
    const uint16_t bits[3] = {static_cast<uint16_t>(depth == 24 ? 8 : depth), 8, 8};
    uint16_t photometric = 3;
    if (depth == 24)
        photometric = 2;
    else if (depth == 1 && !pal1)
        photometric =
            palette[0] + palette[1] + palette[2] < palette[3] + palette[4] + palette[5] ? 1 : 0;
    const uint16_t compression = hasOption(options, "lzw") != nullptr ? kLzw : kNone;
    bool ok = tiffdir::addLong(dir, kImageWidth, size, 1) &&
              tiffdir::addLong(dir, kImageLength, size + 1, 1) &&
              tiffdir::addLong(dir, kStripOffsets, &zero, 1) &&
              tiffdir::addLong(dir, kStripByteCounts, &zero, 1) &&
              tiffdir::addShort(dir, kSamplesPerPixel, &samples, 1) &&
              tiffdir::addShort(dir, kBitsPerSample, bits, samples) &&
              tiffdir::addShort(dir, kPhotometric, &photometric, 1) &&
              tiffdir::addShort(dir, kCompression, &compression, 1);
    static const struct {
        const char* option;
        int tag;
    } kTexts[] = {{"artist=", kArtist},
                  {"software=", kSoftware},
                  {"make=", kMake},
                  {"model=", kModel},
                  {"hostcomputer=", kHostComputer},
                  {"documentname=", kDocumentName},
                  {"pagename=", kPageName},
                  {"imagedescription=", kImageDescription}};
    char text[216];
    for (const auto& t : kTexts) {
        if (t.tag == kSoftware && findOption(options, t.option) == nullptr)
            std::strcpy(text, "Zadozuzoviz Uvadud Uveviv");
        else
            optionText(options, t.option, text);
        if (ok && text[0] != '\0')
            ok = tiffdir::addAscii(dir, t.tag, text);
    }
    if (ok && photometric == 3) {
        const uint32_t n = 1u << depth;
        uint16_t map[3 * 256];
        for (uint32_t j = 0; j < n; ++j) {
            for (uint32_t c = 0; c < 3; ++c)
                map[c * n + j] = static_cast<uint16_t>(palette[3 * j + c] * 257);
        }
        ok = tiffdir::addShort(dir, kColorMapTag, map, 3 * n);
    }
    return ok;
}

// Hands the image's rows to fn top row first, each packed to its file length, 24-bit pixels
// turned into red, green, blue.
template <class Fn>
bool forEachFileRow(const MOD& mod, const unsigned char* data, Fn fn)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, mod.bpp));
    const size_t packed = (static_cast<size_t>(mod.width) * mod.bpp + 7) / 8;
    std::vector<unsigned char> rgb;
    if (mod.bpp == 24 && !sizeScratch(rgb, packed))
        return false;
    for (int y = mod.height - 1; y >= 0; --y) {
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        if (mod.bpp == 24) {
            swapRedBlue(row, rgb.data(), static_cast<size_t>(mod.width));
            row = rgb.data();
        }
        fn(row, packed);
    }
    return true;
}

// Uncompressed rows, top row first, each converted straight into the output's buffer.
bool writeRawRows(CodecOutput& out, const MOD& mod, const unsigned char* data)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, mod.bpp));
    const size_t packed = (static_cast<size_t>(mod.width) * mod.bpp + 7) / 8;
    if (packed > 65536)
        return forEachFileRow(mod, data,
                              [&out](const unsigned char* row, size_t n) { out.write(row, n); });
    for (int y = mod.height - 1; y >= 0; --y) {
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        unsigned char* to = out.reserve(packed);
        if (mod.bpp == 24)
            swapRedBlue(row, to, static_cast<size_t>(mod.width));
        else
            std::memcpy(to, row, packed);
    }
    return true;
}

// The one strip, LZW-compressed or as it is; false when there is no memory for the encoder or a
// row.
bool writeTiffStrip(CodecOutput& out, const MOD& mod, const unsigned char* data, bool lzw)
{
    if (!lzw)
        return writeRawRows(out, mod, data);
    TiffCodeWriter codes(out);
    LzwEncoder<TiffCodeWriter> enc(codes, 9, true);
    if (!enc.ok())
        return false;
    enc.start();
    const bool rowsOk = forEachFileRow(mod, data, [&enc](const unsigned char* row, size_t n) {
        for (size_t i = 0; i < n; ++i)
            enc.add(row[i]);
    });
    enc.finish();
    codes.finish();
    return rowsOk;
}

// Owns a directory being written for the length of one write.
struct WrittenDirectory {
    tiffdir::TiffHeader* header = tiffdir::create();
    WrittenDirectory() = default;
    ~WrittenDirectory() { tiffdir::release(header); }
    WrittenDirectory(const WrittenDirectory&) = delete;
    WrittenDirectory& operator=(const WrittenDirectory&) = delete;
};

// The header and the directory first, with the strip's place and size still unknown; then the
// strip; then the directory again, with the two patched in.
int tiffWrite(const char*, int fd, const MOD* mod, const unsigned char* palette,
              const unsigned char* data, const char* options)
{
    const int depth = mod->bpp;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return kUnsupported;
    if (mod->width < 1 || mod->height < 1)
        return 6;
    WrittenDirectory d;
    if (d.header == nullptr || !addTags(d.header->directory, *mod, palette, options))
        return kNoMemory;
    if (!tiffdir::write(fd, *d.header))
        return kShortWrite;
    const uint64_t start = static_cast<uint64_t>(fileSize(fd));
    CodecOutput out(fd);
    if (!out.ok() || !writeTiffStrip(out, *mod, data, hasOption(options, "lzw") != nullptr))
        return kNoMemory;
    if (!out.flush())
        return kShortWrite;
    const uint32_t offset = static_cast<uint32_t>(start);
    const uint32_t bytes = static_cast<uint32_t>(out.written());
    tiffdir::setLong(d.header->directory, kStripOffsets, &offset);
    tiffdir::setLong(d.header->directory, kStripByteCounts, &bytes);
    return tiffdir::rewrite(fd, d.header->directory) ? kOk : kShortWrite;
}

int tiffMessage(int code)
{
    if (code >= 800 && code <= 819)
        return 316 + (code - 800);
    if (code >= 821 && code <= 829)
        return 336 + (code - 821);
    return 0;
}

}  // namespace

const FormatRow tiffRow = {tiffQuery,    tiffReadHeader, tiffReadPalette,
                           tiffReadData, tiffWrite,      tiffMessage};

}  // namespace imgfmt
