// GIF codec: reads one image of a GIF87a or GIF89a file at 1, 4 or 8 bits per pixel and
// writes a single-image GIF with LZW-compressed data.
#include "detail/icodecstream.hpp"
#include "detail/ilzwdecoder.hpp"
#include "detail/ilzwencoder.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

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

// The signature, the logical screen descriptor and the global colour table.
int readScreen(int fd, GifState& st)
{
    unsigned char head[13];
    if (!seekTo(fd, 0) || !readExact(fd, head, 6))
        return kShortRead;
    if (std::memcmp(head, "GIF87a", 6) != 0 && std::memcmp(head, "GIF89a", 6) != 0)
        return kNoSignature;
    if (!readExact(fd, head + 6, 7))
        return kShortRead;
    const int packed = head[10];
    if (packed & 0x80)
        return readColourTable(fd, st, (packed & 7) + 1);
    // Without a global table, 1-bit images still show as black on white.
    st.tableBits = (packed & 7) + 1;
    std::memset(st.table, 0, sizeof st.table);
    std::memset(st.table + 3, 255, 3);
    return kOk;
}

// Walks the blocks up to the image descriptor of the wanted image (counted from 1), passing
// over extensions and the images before it; the file is left at that image's data.
int findImage(int fd, long wanted, GifState& st, unsigned char* desc)
{
    long seen = 0;
    for (;;) {
        const int b = readByte(fd);
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
                if (chosen)
                    return readColourTable(fd, st, bits);
                if (fileSeek(fd, 3 << bits, FileSeekCur) < 0)
                    return kShortRead;
            }
            if (chosen)
                return kOk;
            if (readByte(fd) < 0)
                return kShortRead;
            if (int rc = skipSubBlocks(fd))
                return rc;
        } else if (b == ';') {
            return kTrailerFirst;
        }
    }
}

int gifReadHeader(const char*, int fd, MOD* mod, const char* options)
{
    const long wanted = optionOr(options, "index=", 1);
    // Images are counted from 1; a smaller index could never be met.
    if (wanted < 1)
        return kBadOption;
    GifState st{};
    st.errok = hasOption(options, "errok") != nullptr;
    unsigned char desc[9];
    if (int rc = readScreen(fd, st))
        return rc;
    if (int rc = findImage(fd, wanted, st, desc))
        return rc;
    st.interlaced = (desc[8] & 0x40) != 0;
    const int depth = st.tableBits == 1 ? 1 : st.tableBits <= 4 ? 4 : st.tableBits <= 8 ? 8 : 0;
    if (depth == 0)
        return kBadTableBits;
    mod->width = getLE16(desc + 4);
    mod->height = getLE16(desc + 6);
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

// The image data as one stream of bytes: the data sub-blocks with their size bytes taken out.
class GifDataStream {
public:
    explicit GifDataStream(int fd) : fIn(fd) {}
    bool ok() const noexcept { return fIn.ok(); }

    size_t fill(unsigned char* to, size_t room) noexcept
    {
        size_t n = 0;
        while (n < room && !fEnded) {
            if (fBlockLeft == 0) {
                const int size = fIn.get();
                if (size <= 0) {
                    fEnded = true;
                    break;
                }
                fBlockLeft = static_cast<size_t>(size);
            }
            const size_t take = fBlockLeft < room - n ? fBlockLeft : room - n;
            const size_t got = fIn.read(to + n, take);
            n += got;
            fBlockLeft -= got;
            if (got < take)
                fEnded = true;
        }
        return n;
    }

private:
    CodecInput fIn;
    size_t fBlockLeft = 0;
    bool fEnded = false;
};

// The image row that the decoded row k becomes: rows in order, or the four passes of an
// interlaced image (every eighth row from 0, every eighth from 4, every fourth from 2, every
// second from 1).
int imageRow(int k, int height, bool interlaced)
{
    if (!interlaced)
        return k;
    const int pass1 = (height + 7) / 8, pass2 = (height + 3) / 8, pass3 = (height + 1) / 4;
    if (k < pass1)
        return 8 * k;
    k -= pass1;
    if (k < pass2)
        return 8 * k + 4;
    k -= pass2;
    if (k < pass3)
        return 4 * k + 2;
    return 2 * (k - pass3) + 1;
}

// Puts one row of 8-bit pixels into a model row of the model's depth, padding cleared.
void packRow(const unsigned char* px, int width, int depth, unsigned char* out, size_t rowBytes)
{
    size_t used = static_cast<size_t>(width);
    if (depth == 8) {
        std::memcpy(out, px, used);
    } else if (depth == 4) {
        int i = 0;
        for (; i + 1 < width; i += 2)
            *out++ = static_cast<unsigned char>(px[i] << 4 | (px[i + 1] & 0x0F));
        if (i < width)
            *out++ = static_cast<unsigned char>(px[i] << 4);
        used = static_cast<size_t>(width + 1) / 2;
        out -= used;
    } else {
        for (int i = 0; i < width; i += 8) {
            unsigned v = 0;
            const int end = i + 8 < width ? i + 8 : width;
            for (int j = i; j < end; ++j)
                v |= (px[j] & 1u) << (7 - (j - i));
            *out++ = static_cast<unsigned char>(v);
        }
        used = static_cast<size_t>(width + 7) / 8;
        out -= used;
    }
    std::memset(out + used, 0, rowBytes - used);
}

int decodeStatus(const lzw::Result& r)
{
    switch (r.ending) {
    case lzw::Ending::Full:
    case lzw::Ending::EndCode:
        return kOk;
    default:
        return kShortRead;
    }
}

// Decodes the image's pixels, one byte each in the order of the file, into out[0, n); what the
// codes do not reach is cleared. The code of the decode.
int decodePixels(int fd, int minSize, unsigned mask, unsigned char* out, size_t n)
{
    GifDataStream stream(fd);
    if (!stream.ok()) {
        std::memset(out, 0, n);
        return kNoMemory;
    }
    lzw::Decoder decoder;
    if (!decoder.ok()) {
        std::memset(out, 0, n);
        return kNoMemory;
    }
    const lzw::Dialect dialect{minSize, false, false, mask};
    const lzw::Result r = decoder.decode(dialect, stream, out, n);
    std::memset(out + r.produced, 0, n - r.produced);
    return decodeStatus(r);
}

// Eight-bit rows in order are decoded straight into the model's block, side by side from its
// start, and then put in their places; other images go through a buffer of one byte a pixel,
// whose rows are then packed and put in the order of the passes.
int gifReadData(int fd, MOD* mod, unsigned char* data)
{
    auto st = loadCodecState<GifState>(mod);
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(mod->width, mod->bpp));
    const size_t width = static_cast<size_t>(mod->width), height = static_cast<size_t>(mod->height);
    int minSize = readByte(fd);
    int rc = kOk;
    if (minSize < 0)
        rc = kShortRead;
    else if (minSize < 2 || minSize > 9)
        rc = kBadCodeSize;
    if (rc != kOk) {
        std::memset(data, 0, rowBytes * height);
        return rc;
    }
    const unsigned mask = (1u << st.tableBits) - 1;
    if (mod->bpp == 8 && !st.interlaced) {
        rc = decodePixels(fd, minSize, mask, data, width * height);
        placeRows(data, height, width, rowBytes, true, false);
    } else {
        // One byte a pixel is up to eight times the model's block: it must pass the same limit.
        const uint64_t pixels = uint64_t(width) * height;
        std::unique_ptr<unsigned char[]> scratch;
        if (pixels <= uint64_t(ModDataLimit()))
            scratch.reset(new (std::nothrow) unsigned char[static_cast<size_t>(pixels)]);
        if (!scratch) {
            std::memset(data, 0, rowBytes * height);
            return kNoMemory;
        }
        rc = decodePixels(fd, minSize, mask, scratch.get(), static_cast<size_t>(pixels));
        for (int k = 0; k < mod->height; ++k) {
            const int y = imageRow(k, mod->height, st.interlaced != 0);
            packRow(scratch.get() + static_cast<size_t>(k) * width, mod->width, mod->bpp,
                    data + (height - 1 - static_cast<size_t>(y)) * rowBytes, rowBytes);
        }
    }
    if (st.errok && rc == kShortRead)
        rc = kOk;
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

// The writer's options: the logical screen, the image's place on it, the background and the
// transparent colour (-1 for none).
struct GifWriteOptions {
    long xscreen, yscreen, background, xpos, ypos, transcol;
};

// The options, or false when one does not fit its field.
bool parseGifOptions(const char* options, const MOD& mod, GifWriteOptions* o)
{
    o->xscreen = optionOr(options, "xscreen=", mod.width);
    o->yscreen = optionOr(options, "yscreen=", mod.height);
    o->background = optionOr(options, "background=", 0);
    o->xpos = optionOr(options, "xpos=", 0);
    o->ypos = optionOr(options, "ypos=", 0);
    o->transcol = optionOr(options, "transcol=", -1);
    auto inWord = [](long v) { return v >= 0 && v <= 0xFFFF; };
    return inWord(o->xscreen) && inWord(o->yscreen) && inWord(o->xpos) && inWord(o->ypos) &&
           o->background >= 0 && o->background <= 255 && o->transcol >= -1 && o->transcol <= 255;
}

// The screen descriptor with the global colour table, the transparency extension when there is
// a transparent colour, and the image descriptor.
void writeGifHeader(CodecOutput& out, const MOD& mod, const unsigned char* palette,
                    const GifWriteOptions& o)
{
    const int depth = mod.bpp;
    unsigned char head[13];
    std::memcpy(head, o.transcol == -1 ? "GIF87a" : "GIF89a", 6);
    putLE16(head + 6, static_cast<uint32_t>(o.xscreen));
    putLE16(head + 8, static_cast<uint32_t>(o.yscreen));
    head[10] = static_cast<unsigned char>(0x80 | (depth - 1) << 4 | (depth - 1));
    head[11] = static_cast<unsigned char>(o.background);
    head[12] = 0;
    out.write(head, 13);
    out.write(palette, 3u << depth);
    if (o.transcol != -1) {
        const unsigned char gce[8] = {0x21, 0xF9, 4, 1, 0, 0,
                                      static_cast<unsigned char>(o.transcol), 0};
        out.write(gce, 8);
    }
    unsigned char desc[10];
    desc[0] = 0x2C;
    putLE16(desc + 1, static_cast<uint32_t>(o.xpos));
    putLE16(desc + 3, static_cast<uint32_t>(o.ypos));
    putLE16(desc + 5, static_cast<uint32_t>(mod.width));
    putLE16(desc + 7, static_cast<uint32_t>(mod.height));
    desc[9] = static_cast<unsigned char>(depth - 1);
    out.write(desc, 10);
}

// The image data: the code size and the LZW codes in sub-blocks. False when there is no memory
// for the encoder.
bool writeGifBody(CodecOutput& out, const MOD& mod, const unsigned char* data)
{
    const int depth = mod.bpp;
    const int minSize = depth == 1 ? 2 : depth;
    out.put(static_cast<unsigned char>(minSize));
    GifCodeWriter codes(out);
    LzwEncoder<GifCodeWriter> enc(codes, minSize + 1, false);
    if (!enc.ok())
        return false;
    enc.start();
    if (depth == 8)
        encodeRows<8>(enc, mod, data);
    else if (depth == 4)
        encodeRows<4>(enc, mod, data);
    else
        encodeRows<1>(enc, mod, data);
    enc.finish();
    codes.finish();
    return true;
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
    GifWriteOptions o;
    if (!parseGifOptions(options, *mod, &o))
        return kBadOption;
    CodecOutput out(fd);
    if (!out.ok())
        return kNoMemory;
    writeGifHeader(out, *mod, palette, o);
    if (!writeGifBody(out, *mod, data))
        return kNoMemory;
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
