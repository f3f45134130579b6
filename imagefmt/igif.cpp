// GIF codec: reads one image of a GIF87a or GIF89a file at 1, 4 or 8 bits per pixel and
// writes a single-image GIF with LZW-compressed data.
#include "detail/icodecstream.hpp"
#include "detail/ilzwencoder.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace imgfmt {

namespace {

using namespace codecio;

enum GifCode : int {
    kOk = 0,
    kNoMemory = 1,
    kUnsupported = 2,
    kBadOption = 3,
    kNoSignature = 5,
    kBadSize = 6,
    kShortRead = 7,
    kShortWrite = 8,
    kBadTableBits = 1100,
    kTrailerFirst = 1101,
    kBadCodeSize = 1102,
    kStringTooLong = 1103,
};

// What read header leaves for read palette and read data.
struct GifState {
    int32_t interlaced;
    int32_t errok;
    int32_t tableBits;
    unsigned char table[768];
};

int readByte(int fd)
{
    unsigned char b;
    return fileRead(fd, &b, 1) == 1 ? b : -1;
}

// Skips data sub-blocks up to and including the zero-size terminator.
int skipSubBlocks(int fd)
{
    for (;;) {
        int size = readByte(fd);
        if (size < 0)
            return kShortRead;
        if (size == 0)
            return kOk;
        if (fileSeek(fd, size, FileSeekCur) < 0)
            return kShortRead;
    }
}

int readColourTable(int fd, GifState& st, int bits)
{
    st.tableBits = bits;
    return readExact(fd, st.table, 3u << bits) ? kOk : kShortRead;
}

int gifQuery(ModFormatInfo* info)
{
    info->shortName = "GIF";
    info->description = "CompuServe Graphics Interchange Format";
    info->extensions = "GIF";
    info->flags = 0x77;
    return 0;
}

int gifReadHeader(const char*, int fd, MOD* mod, const char* options)
{
    long wanted = optionOr(options, "index=", 1);
    // Images are counted from 1; a smaller index could never be met.
    if (wanted < 1)
        return kBadOption;
    GifState st{};
    st.errok = hasOption(options, "errok") != nullptr;

    unsigned char head[13];
    if (!seekTo(fd, 0) || !readExact(fd, head, 6))
        return kShortRead;
    if (std::memcmp(head, "GIF87a", 6) != 0 && std::memcmp(head, "GIF89a", 6) != 0)
        return kNoSignature;
    if (!readExact(fd, head + 6, 7))
        return kShortRead;
    int packed = head[10];
    if (packed & 0x80) {
        if (int rc = readColourTable(fd, st, (packed & 7) + 1))
            return rc;
    } else {
        // Without a global table, 1-bit images still show as black on white.
        st.tableBits = (packed & 7) + 1;
        std::memset(st.table, 0, sizeof st.table);
        std::memset(st.table + 3, 255, 3);
    }

    long seen = 0;
    unsigned char desc[9];
    while (seen < wanted) {
        int b = readByte(fd);
        if (b < 0)
            return kShortRead;
        if (b == '!') {
            if (readByte(fd) < 0)
                return kShortRead;
            if (int rc = skipSubBlocks(fd))
                return rc;
        } else if (b == ',') {
            if (!readExact(fd, desc, 9))
                return kShortRead;
            // A local table belongs to its own image alone: the table of an image passed over
            // is skipped with it, so that the chosen image has its own table or the global one.
            const bool chosen = ++seen == wanted;
            if (desc[8] & 0x80) {
                const int bits = (desc[8] & 7) + 1;
                if (chosen) {
                    if (int rc = readColourTable(fd, st, bits))
                        return rc;
                } else if (fileSeek(fd, 3 << bits, FileSeekCur) < 0) {
                    return kShortRead;
                }
            }
            if (chosen)
                break;
            if (readByte(fd) < 0)
                return kShortRead;
            if (int rc = skipSubBlocks(fd))
                return rc;
        } else if (b == ';') {
            return kTrailerFirst;
        }
    }

    int width = getLE16(desc + 4), height = getLE16(desc + 6);
    st.interlaced = (desc[8] & 0x40) != 0;
    int depth = st.tableBits == 1 ? 1 : st.tableBits <= 4 ? 4 : st.tableBits <= 8 ? 8 : 0;
    if (depth == 0)
        return kBadTableBits;
    mod->width = width;
    mod->height = height;
    mod->bpp = depth;
    storeCodecState(mod, st);
    return kOk;
}

int gifReadPalette(int, MOD* mod, unsigned char* palette)
{
    auto st = loadCodecState<GifState>(mod);
    std::memset(palette, 128, 3u << mod->bpp);
    std::memcpy(palette, st.table, 3u << st.tableBits);
    return kOk;
}

// Codes of the image data, least significant bit first, gathered from the data sub-blocks.
class GifCodeReader {
public:
    explicit GifCodeReader(int fd) noexcept : fIn(fd) {}
    bool ok() const noexcept { return fIn.ok(); }

    static constexpr unsigned kEnd = 0xFFFF;

    unsigned code(int width) noexcept
    {
        while (fBits < width) {
            int b = dataByte();
            if (b < 0)
                return kEnd;
            fAcc |= static_cast<uint32_t>(b) << fBits;
            fBits += 8;
        }
        unsigned c = fAcc & ((1u << width) - 1);
        fAcc >>= width;
        fBits -= width;
        return c;
    }

private:
    int dataByte() noexcept
    {
        if (fBlockLeft == 0) {
            int size = fEnded ? -1 : fIn.get();
            if (size <= 0) {
                fEnded = true;
                return -1;
            }
            fBlockLeft = size;
        }
        --fBlockLeft;
        int b = fIn.get();
        if (b < 0)
            fEnded = true;
        return b;
    }

    CodecInput fIn;
    uint32_t fAcc = 0;
    int fBits = 0;
    int fBlockLeft = 0;
    bool fEnded = false;
};

// Places decoded pixels: one 8-bit row at a time, packed into the model row when it is
// complete, with the interlaced row order of the four passes.
class GifPixelSink {
public:
    GifPixelSink(const MOD& mod, unsigned char* data, bool interlaced) noexcept
        : fData(data), fWidth(mod.width), fHeight(mod.height), fDepth(mod.bpp),
          fRowBytes(ModRowBytes(mod.width, mod.bpp)), fInterlaced(interlaced)
    {
        if (fDepth != 8)
            fOwnRow = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(fWidth)));
        fRow = fDepth == 8 ? modelRow() : fOwnRow;
    }
    ~GifPixelSink() noexcept { std::free(fOwnRow); }
    GifPixelSink(const GifPixelSink&) = delete;
    GifPixelSink& operator=(const GifPixelSink&) = delete;

    bool ok() const noexcept { return fDepth == 8 || fOwnRow != nullptr; }
    bool full() const noexcept { return fY >= fHeight; }

    void put(const unsigned char* px, int n) noexcept
    {
        while (n > 0 && fY < fHeight) {
            int take = fWidth - fX < n ? fWidth - fX : n;
            std::memcpy(fRow + fX, px, static_cast<size_t>(take));
            fX += take;
            px += take;
            n -= take;
            if (fX == fWidth)
                nextRow();
        }
    }

    // A read that ends early still keeps the pixels of the row it was in.
    void finish() noexcept
    {
        if (fY < fHeight && fX > 0 && fDepth != 8)
            pack(fX);
    }

private:
    unsigned char* modelRow() const noexcept
    {
        return fData + static_cast<size_t>(fHeight - 1 - fY) * static_cast<size_t>(fRowBytes);
    }

    void pack(int count) noexcept
    {
        unsigned char* out = modelRow();
        if (fDepth == 4) {
            int i = 0;
            for (; i + 1 < count; i += 2)
                *out++ = static_cast<unsigned char>(fRow[i] << 4 | fRow[i + 1]);
            if (i < count)
                *out = static_cast<unsigned char>(fRow[i] << 4);
        } else {
            for (int i = 0; i < count; i += 8) {
                unsigned v = 0;
                int end = i + 8 < count ? i + 8 : count;
                for (int j = i; j < end; ++j)
                    v |= (fRow[j] & 1u) << (7 - (j - i));
                *out++ = static_cast<unsigned char>(v);
            }
        }
    }

    void nextRow() noexcept
    {
        if (fDepth != 8)
            pack(fWidth);
        fX = 0;
        if (!fInterlaced) {
            ++fY;
        } else {
            static const int kStart[4] = {0, 4, 2, 1};
            static const int kStep[4] = {8, 8, 4, 2};
            fY += kStep[fPass];
            while (fY >= fHeight && fPass < 3)
                fY = kStart[++fPass];
        }
        if (fY < fHeight && fDepth == 8)
            fRow = modelRow();
    }

    unsigned char* fData;
    int fWidth, fHeight, fDepth, fRowBytes;
    bool fInterlaced;
    unsigned char* fOwnRow = nullptr;
    unsigned char* fRow = nullptr;
    int fX = 0, fY = 0, fPass = 0;
};

// The LZW decoder's string table. Every string is its prefix's string plus one pixel, so a
// string is written back to front by walking its prefixes; its length is kept to know where
// the walk starts.
struct LzwTable {
    uint16_t prefix[4096];
    uint16_t length[4096];
    unsigned char suffix[4096];
    unsigned char first[4096];
    unsigned char out[4097];
};

int decodeGif(GifCodeReader& in, GifPixelSink& sink, LzwTable& t, int minSize, unsigned mask)
{
    const unsigned clear = 1u << minSize, end = clear + 1;
    for (unsigned c = 0; c < clear; ++c) {
        t.suffix[c] = t.first[c] = static_cast<unsigned char>(c & mask);
        t.length[c] = 1;
        // The walks below step past the end of a string once; keep that step defined.
        t.prefix[c] = 0;
    }
    int width = minSize + 1;
    unsigned next = clear + 2, limit = 1u << width;
    // No string yet: the first code after the start or a clear must be a literal.
    unsigned old = GifCodeReader::kEnd;

    while (!sink.full()) {
        unsigned code = in.code(width);
        if (code == GifCodeReader::kEnd)
            return kShortRead;
        if (code == end)
            return kOk;
        if (code == clear) {
            width = minSize + 1;
            limit = 1u << width;
            next = clear + 2;
            old = GifCodeReader::kEnd;
            continue;
        }
        unsigned len;
        unsigned char firstPixel;
        if (code < next && (code < clear || old != GifCodeReader::kEnd)) {
            len = t.length[code];
            unsigned c = code;
            for (unsigned i = len; i-- > 0; c = t.prefix[c])
                t.out[i] = t.suffix[c];
            firstPixel = t.first[code];
        } else if (code == next && old != GifCodeReader::kEnd && next < 4096) {
            // The string being defined right now: the previous string plus its own first pixel.
            len = t.length[old] + 1u;
            unsigned c = old;
            t.out[len - 1] = t.first[old];
            for (unsigned i = len - 1; i-- > 0; c = t.prefix[c])
                t.out[i] = t.suffix[c];
            firstPixel = t.first[old];
        } else {
            // A code beyond the next free one, or a table entry used before any was made: the
            // data is corrupt, and guessing would paint from uninitialised table entries.
            return kShortRead;
        }
        if (len > 4096)
            return kStringTooLong;
        sink.put(t.out, static_cast<int>(len));
        if (old != GifCodeReader::kEnd && next < 4096) {
            t.prefix[next] = static_cast<uint16_t>(old);
            t.suffix[next] = firstPixel;
            t.first[next] = t.first[old];
            t.length[next] = static_cast<uint16_t>(t.length[old] + 1);
            if (++next == limit && width < 12) {
                ++width;
                limit <<= 1;
            }
        }
        old = code;
    }
    return kOk;
}

int gifReadData(int fd, MOD* mod, unsigned char* data)
{
    auto st = loadCodecState<GifState>(mod);
    int minSize = readByte(fd);
    if (minSize < 0)
        return kShortRead;
    if (minSize < 2 || minSize > 9)
        return kBadCodeSize;
    auto* table = static_cast<LzwTable*>(std::malloc(sizeof(LzwTable)));
    GifCodeReader in(fd);
    GifPixelSink sink(*mod, data, st.interlaced != 0);
    int rc = kNoMemory;
    if (table != nullptr && in.ok() && sink.ok()) {
        rc = decodeGif(in, sink, *table, minSize, (1u << st.tableBits) - 1);
        sink.finish();
        if (st.errok && (rc == kShortRead || rc == kStringTooLong))
            rc = kOk;
    }
    std::free(table);
    return rc;
}

// Packs codes least significant bit first into 255-byte data sub-blocks.
class GifCodeWriter {
public:
    explicit GifCodeWriter(CodecOutput& out) noexcept : fOut(out) {}

    void code(unsigned c, int width) noexcept
    {
        fAcc |= static_cast<uint64_t>(c) << fBits;
        fBits += width;
        while (fBits >= 8) {
            fBlock[fFill++] = static_cast<unsigned char>(fAcc);
            fAcc >>= 8;
            fBits -= 8;
            if (fFill == 255)
                emitBlock();
        }
    }

    void finish() noexcept
    {
        if (fBits > 0) {
            fBlock[fFill++] = static_cast<unsigned char>(fAcc);
            fBits = 0;
        }
        if (fFill > 0)
            emitBlock();
        fOut.put(0);
    }

private:
    void emitBlock() noexcept
    {
        fOut.put(static_cast<unsigned char>(fFill));
        fOut.write(fBlock, fFill);
        fFill = 0;
    }

    CodecOutput& fOut;
    uint64_t fAcc = 0;
    int fBits = 0;
    unsigned char fBlock[255];
    size_t fFill = 0;
};

template <int Depth>
void encodeRows(LzwEncoder<GifCodeWriter>& enc, const MOD& mod, const unsigned char* data)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod.width, mod.bpp));
    for (int y = mod.height - 1; y >= 0; --y) {
        const unsigned char* row = data + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < mod.width; ++x) {
            unsigned p;
            if (Depth == 8)
                p = row[x];
            else if (Depth == 4)
                p = (row[x >> 1] >> ((~x & 1) * 4)) & 0xF;
            else
                p = (row[x >> 3] >> (7 - (x & 7))) & 1;
            enc.add(p);
        }
    }
}

int gifWrite(const char*, int fd, const MOD* mod, const unsigned char* palette,
             const unsigned char* data, const char* options)
{
    const int depth = mod->bpp;
    if (depth != 1 && depth != 4 && depth != 8)
        return kUnsupported;
    // The file keeps sizes and positions in 16 bits: anything larger would be cut silently.
    if (mod->width < 1 || mod->height < 1 || mod->width > 0xFFFF || mod->height > 0xFFFF)
        return kBadSize;
    long xscreen = optionOr(options, "xscreen=", mod->width);
    long yscreen = optionOr(options, "yscreen=", mod->height);
    long background = optionOr(options, "background=", 0);
    long xpos = optionOr(options, "xpos=", 0);
    long ypos = optionOr(options, "ypos=", 0);
    long transcol = optionOr(options, "transcol=", -1);
    auto inWord = [](long v) { return v >= 0 && v <= 0xFFFF; };
    if (!inWord(xscreen) || !inWord(yscreen) || !inWord(xpos) || !inWord(ypos) || background < 0 ||
        background > 255 || transcol < -1 || transcol > 255)
        return kBadOption;

    CodecOutput out(fd);
    if (!out.ok())
        return kNoMemory;
    unsigned char head[13];
    std::memcpy(head, transcol == -1 ? "GIF87a" : "GIF89a", 6);
    putLE16(head + 6, static_cast<uint32_t>(xscreen));
    putLE16(head + 8, static_cast<uint32_t>(yscreen));
    head[10] = static_cast<unsigned char>(0x80 | (depth - 1) << 4 | (depth - 1));
    head[11] = static_cast<unsigned char>(background);
    head[12] = 0;
    out.write(head, 13);
    out.write(palette, 3u << depth);
    if (transcol != -1) {
        const unsigned char gce[8] = {0x21, 0xF9, 4, 1, 0, 0, static_cast<unsigned char>(transcol),
                                      0};
        out.write(gce, 8);
    }
    unsigned char desc[10];
    desc[0] = 0x2C;
    putLE16(desc + 1, static_cast<uint32_t>(xpos));
    putLE16(desc + 3, static_cast<uint32_t>(ypos));
    putLE16(desc + 5, static_cast<uint32_t>(mod->width));
    putLE16(desc + 7, static_cast<uint32_t>(mod->height));
    desc[9] = static_cast<unsigned char>(depth - 1);
    out.write(desc, 10);

    const int minSize = depth == 1 ? 2 : depth;
    out.put(static_cast<unsigned char>(minSize));
    GifCodeWriter codes(out);
    LzwEncoder<GifCodeWriter> enc(codes, minSize + 1, false);
    if (!enc.ok())
        return kNoMemory;
    enc.start();
    if (depth == 8)
        encodeRows<8>(enc, *mod, data);
    else if (depth == 4)
        encodeRows<4>(enc, *mod, data);
    else
        encodeRows<1>(enc, *mod, data);
    enc.finish();
    codes.finish();
    out.put(';');
    return out.flush() ? kOk : kShortWrite;
}

int gifMessage(int code)
{
    return code >= kBadTableBits && code <= kStringTooLong ? 279 + (code - kBadTableBits) : 0;
}

}  // namespace

const FormatRow gifRow = {gifQuery,    gifReadHeader, gifReadPalette,
                          gifReadData, gifWrite,      gifMessage};

}  // namespace imgfmt
