// The bitmap codec: device-independent bitmap files with the core or the info header,
// uncompressed or run-length encoded, and bitmap array files that hold one bitmap per display
// size. The file's pixel rows have the model's layout, so uncompressed data moves as one block.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace imgfmt {

namespace {

enum : int {
    kBadPlanes = 300,
    kBadBitCount = 301,
    kBadHeaderSize = 302,
    kBadCompression = 303,
    kInvalid = 304
};

enum : uint32_t { kUncompressed = 0, kRle8 = 1, kRle4 = 2 };

constexpr int kFileHeaderBytes = 14;
constexpr int kCoreHeaderBytes = 12;
constexpr int kInfoHeaderBytes = 40;
// A bitmap array chain longer than this is taken as ending there: a hostile file could make
// it loop for ever.
constexpr int kMaxArrayEntries = 1024;

// What read header leaves for read palette and read data.
struct BmpState {
    int64_t base;         // file position of the "BM" of the bitmap read
    int32_t infoForm;     // 1 for an info header, 0 for the core header
    int32_t headerSize;
    uint32_t compression;
    uint32_t coloursUsed;
    uint32_t dataOffset;
    int32_t invertBytes;  // "invb": complement every data byte
    int32_t topDown;      // negative height in the file: first row is the top row
};

bool isTwoBytes(const unsigned char* p, char a, char b) { return p[0] == a && p[1] == b; }

// Header sizes of the info form: 16 to 64 in steps of 4, the two odd sizes that some writers
// use, and the two later header versions that current writers produce (their extra fields are
// colour-space data that the model has no use for).
bool isInfoHeaderSize(uint32_t size)
{
    return (size >= 16 && size <= 64 && size % 4 == 0) || size == 42 || size == 46 ||
           size == 108 || size == 124;
}

bool readExactly(int fd, void* buffer, int count)
{
    return fileReadFull(fd, buffer, count) == count;
}

bool seekTo(int fd, int64_t position) { return fileSeek(fd, position, FileSeekSet) == position; }

// Walks a bitmap array chain from its first header (at offset 0) and returns the position of
// the chosen bitmap's file header: the entry made for the screen size, else the one whose
// display is nearest below the screen, else the first.
int chooseArrayEntry(int fd, int64_t* chosen)
{
    int screenWidth = 0;
    int screenHeight = 0;
    screenSize(&screenWidth, &screenHeight);
    int64_t visited[kMaxArrayEntries];
    int count = 0;
    int64_t position = 0;
    *chosen = kFileHeaderBytes;
    int bestWidth = 65535;
    int bestHeight = 65535;
    for (;;) {
        unsigned char header[kFileHeaderBytes];
        if (!seekTo(fd, position) || !readExactly(fd, header, kFileHeaderBytes))
            return ModCodecShortRead;
        if (!isTwoBytes(header, 'B', 'A'))
            return ModCodecBadSignature;
        visited[count++] = position;
        const int displayWidth = static_cast<int>(getLE16(header + 10));
        const int displayHeight = static_cast<int>(getLE16(header + 12));
        if (displayWidth == screenWidth && displayHeight == screenHeight) {
            *chosen = position + kFileHeaderBytes;
            return 0;
        }
        if (displayWidth <= screenWidth || displayHeight <= screenHeight) {
            // A display larger than the screen in one direction gives a negative difference,
            // which beats any best so far; the best is kept as an unsigned 16-bit value.
            const int dx = screenWidth - displayWidth;
            const int dy = screenHeight - displayHeight;
            if (dx < bestWidth && dy < bestHeight) {
                *chosen = position + kFileHeaderBytes;
                bestWidth = dx & 0xFFFF;
                bestHeight = dy & 0xFFFF;
            }
        }
        const int64_t next = getLE32(header + 6);
        if (next == 0 || count == kMaxArrayEntries)
            return 0;
        for (int i = 0; i < count; ++i)
            if (visited[i] == next)
                return 0;  // a chain that returns to an entry already seen has ended
        position = next;
    }
}

int checkPlanesAndBits(unsigned planes, unsigned bits)
{
    if (planes != 1)
        return kBadPlanes;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return kBadBitCount;
    return 0;
}

// The file header, of the first entry that suits the display in a bitmap array: the base of
// the bitmap and its data offset in the state, the size of the bitmap header that follows.
int readFileHeader(int fd, BmpState* state, uint32_t* headerSize)
{
    unsigned char header[kFileHeaderBytes + 4];
    if (!seekTo(fd, 0) || !readExactly(fd, header, 2))
        return ModCodecBadSignature;
    int64_t base = 0;
    if (isTwoBytes(header, 'B', 'A')) {
        if (const int code = chooseArrayEntry(fd, &base))
            return code;
        if (!seekTo(fd, base) || !readExactly(fd, header, 2))
            return ModCodecShortRead;
    }
    if (!isTwoBytes(header, 'B', 'M'))
        return ModCodecBadSignature;
    if (!readExactly(fd, header + 2, sizeof header - 2))
        return ModCodecShortRead;
    state->base = base;
    state->dataOffset = getLE32(header + 10);
    *headerSize = getLE32(header + 14);
    return 0;
}

// The rest of a core header (16-bit sizes).
int readCoreHeader(int fd, MOD* model, BmpState* state)
{
    unsigned char core[8];
    if (!readExactly(fd, core, sizeof core))
        return ModCodecShortRead;
    const int width = static_cast<int>(getLE16(core));
    const int height = static_cast<int>(getLE16(core + 2));
    if (width == 0 || height == 0)
        return ModCodecBadSize;
    if (const int code = checkPlanesAndBits(getLE16(core + 4), getLE16(core + 6)))
        return code;
    model->width = width;
    model->height = height;
    model->bpp = static_cast<int>(getLE16(core + 6));
    state->headerSize = kCoreHeaderBytes;
    return 0;
}

// The rest of an info header of any of its sizes: a negative height stores the rows top first.
int readInfoHeader(int fd, uint32_t headerSize, MOD* model, BmpState* state)
{
    if (!isInfoHeaderSize(headerSize))
        return kBadHeaderSize;
    // Only the first 36 bytes after the size field carry what the model uses.
    unsigned char info[36] = {};
    const int present = headerSize - 4 < sizeof info ? static_cast<int>(headerSize - 4) : 36;
    if (!readExactly(fd, info, present))
        return ModCodecShortRead;
    const int32_t width = static_cast<int32_t>(getLE32(info));
    int32_t height = static_cast<int32_t>(getLE32(info + 4));
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return ModCodecBadSize;
    const unsigned bits = getLE16(info + 10);
    if (const int code = checkPlanesAndBits(getLE16(info + 8), bits))
        return code;
    state->compression = headerSize >= 20 ? getLE32(info + 12) : kUncompressed;
    if (state->compression != kUncompressed && state->compression != kRle8 &&
        state->compression != kRle4)
        return kBadCompression;
    // Run-length data of the wrong depth would be decoded into the wrong pixel layout.
    if ((state->compression == kRle8 && bits != 8) || (state->compression == kRle4 && bits != 4))
        return kBadCompression;
    if (height < 0) {
        state->topDown = 1;
        height = -height;
    }
    const uint32_t used = headerSize >= 36 ? getLE32(info + 28) : 0;
    state->coloursUsed = used != 0 || bits == 24 ? used : 1u << bits;
    state->infoForm = 1;
    state->headerSize = static_cast<int32_t>(headerSize);
    model->width = width;
    model->height = height;
    model->bpp = static_cast<int>(bits);
    return 0;
}

int readHeader(const char*, int fd, MOD* model, const char* options)
{
    BmpState state{};
    state.invertBytes = hasOption(options, "invb") != nullptr;
    uint32_t headerSize = 0;
    if (const int code = readFileHeader(fd, &state, &headerSize))
        return code;
    const int code = headerSize == kCoreHeaderBytes
                         ? readCoreHeader(fd, model, &state)
                         : readInfoHeader(fd, headerSize, model, &state);
    if (code == 0)
        storeCodecState(model, state);
    return code;
}

int readPalette(int fd, MOD* model, unsigned char* palette)
{
    if (model->bpp == 24)
        return 0;
    const BmpState state = loadCodecState<BmpState>(model);
    const uint32_t limit = 1u << model->bpp;
    // A colours-used count beyond the depth's entries names entries no pixel can reach.
    const int entries = static_cast<int>(state.infoForm && state.coloursUsed < limit
                                             ? state.coloursUsed
                                             : limit);
    const int entryBytes = state.infoForm ? 4 : 3;
    const int64_t position = state.base + kFileHeaderBytes + state.headerSize;
    unsigned char table[256 * 4];
    if (!seekTo(fd, position) || !readExactly(fd, table, entries * entryBytes))
        return ModCodecShortRead;
    for (int i = 0; i < entries; ++i) {
        const unsigned char* e = table + i * entryBytes;
        palette[3 * i] = e[2];
        palette[3 * i + 1] = e[1];
        palette[3 * i + 2] = e[0];
    }
    // The table stays in the file's order at every depth, 1 bpp included: a pixel's bits are
    // its palette index in every model, and exchanging two entries would show a negative.
    // ("inv", which once asked to keep that order, is accepted and has nothing left to do.)
    return 0;
}

// The position of run-length decoding: pixels beyond the width or rows beyond the height are
// dropped, so no run, delta or absolute block can write outside the data block.
struct RlePosition {
    int row = 0;
    int column = 0;
};

// Whether decoding that ended early still filled every row.
bool rowsComplete(const RlePosition& at, const MOD& model)
{
    return at.row >= model.height || (at.row == model.height - 1 && at.column >= model.width);
}

void advance(int& value, int by, int limit)
{
    value = by >= limit - value ? limit : value + by;
}

// How RLE8 stores its pixels: a run repeats one index, an absolute block is a byte an index,
// padded to a whole word in the file.
class Rle8Pixels {
public:
    static constexpr int kBpp = 8;

    explicit Rle8Pixels(int width) : fWidth(width) {}

    void run(unsigned char* row, int column, int count, int value) const
    {
        const int n = count < fWidth - column ? count : fWidth - column;
        if (n > 0)
            std::memset(row + column, value, static_cast<size_t>(n));
    }

    bool absolute(ByteReader* in, unsigned char* row, int column, int count) const
    {
        const int n = count < fWidth - column ? count : fWidth - column;
        const int kept = n > 0 ? n : 0;
        const int padded = count + (count & 1);
        unsigned char discard[256];
        return byteReaderRead(in, row + column, kept) == kept &&
               byteReaderRead(in, discard, padded - kept) == padded - kept;
    }

private:
    int fWidth;
};

inline void putNibble(unsigned char* row, int column, int width, int nibble)
{
    if (column < width)
        row[column >> 1] = static_cast<unsigned char>(
            row[column >> 1] | ((column & 1) ? nibble : nibble << 4));
}

// How RLE4 stores its pixels: two indices a byte, high nibble first, in runs and in absolute
// blocks alike; an absolute block is padded to a whole word in the file.
class Rle4Pixels {
public:
    static constexpr int kBpp = 4;

    explicit Rle4Pixels(int width) : fWidth(width) {}

    void run(unsigned char* row, int column, int count, int value) const
    {
        // The run alternates the high and the low nibble of its value.
        const int n = count < fWidth - column ? count : fWidth - column;
        for (int i = 0; i < n; ++i)
            putNibble(row, column + i, fWidth, (i & 1) ? value & 0x0F : value >> 4);
    }

    bool absolute(ByteReader* in, unsigned char* row, int column, int count) const
    {
        const int bytes = (count + 1) / 2;
        int byte = 0;
        for (int i = 0; i < count; ++i) {
            if (!(i & 1) && (byte = byteReaderGet(in)) < 0)
                return false;
            if (i < fWidth - column)
                putNibble(row, column + i, fWidth, (i & 1) ? byte & 0x0F : byte >> 4);
        }
        return !(bytes & 1) || byteReaderGet(in) >= 0;
    }

private:
    int fWidth;
};

// The escape codes (end of line, end of bitmap, delta) are the same in RLE8 and RLE4; only how
// a run and an absolute block store their pixels differs.
template <class Pixels>
int decodeRle(ByteReader* in, const MOD& model, unsigned char* data)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(model.width, Pixels::kBpp));
    const int width = model.width;
    const Pixels pixels(width);
    RlePosition at;
    while (at.row < model.height) {
        const int count = byteReaderGet(in);
        const int value = byteReaderGet(in);
        if (value < 0)
            return rowsComplete(at, model) ? 0 : ModCodecShortRead;
        unsigned char* row = data + at.row * rowBytes;
        if (count > 0) {
            pixels.run(row, at.column, count, value);
            advance(at.column, count, width);
        } else if (value == 0) {
            ++at.row;
            at.column = 0;
        } else if (value == 1) {
            return 0;
        } else if (value == 2) {
            const int dx = byteReaderGet(in);
            const int dy = byteReaderGet(in);
            if (dy < 0)
                return ModCodecShortRead;
            advance(at.column, dx, width);
            advance(at.row, dy, model.height);
        } else {
            if (!pixels.absolute(in, row, at.column, value))
                return ModCodecShortRead;
            advance(at.column, value, width);
        }
    }
    return 0;
}

void flipRows(const MOD& model, unsigned char* data)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(model.width, model.bpp));
    for (int low = 0, high = model.height - 1; low < high; ++low, --high) {
        unsigned char* a = data + low * rowBytes;
        unsigned char* b = data + high * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            const unsigned char t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

int readData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    const BmpState state = loadCodecState<BmpState>(model);
    if (!seekTo(fd, state.dataOffset))
        return ModCodecShortRead;
    const int64_t size = int64_t(ModRowBytes(model->width, model->bpp)) * model->height;
    int code = 0;
    if (!state.infoForm || state.compression == kUncompressed) {
        // A file shorter than its header promises is reported, not shown with blank rows.
        if (fileReadFull(fd, data, size) != size)
            code = ModCodecShortRead;
    } else {
        ByteReaderHolder reader(fd);
        if (!reader.get())
            return ModCodecNoMemory;
        code = state.compression == kRle8 ? decodeRle<Rle8Pixels>(reader.get(), *model, data)
                                          : decodeRle<Rle4Pixels>(reader.get(), *model, data);
    }
    if (code)
        return code;
    if (state.invertBytes)
        for (int64_t i = 0; i < size; ++i)
            data[i] = static_cast<unsigned char>(~data[i]);
    if (state.topDown)
        flipRows(*model, data);
    return 0;
}

// Run-length encoding for the "rle" write option: runs of equal pixels as (count, value), other
// stretches of three or more pixels as absolute blocks, a line end after each row and the bitmap
// end after the last. Works on one value per pixel; pack() forms the bytes of an absolute block.
class RleEncoder {
public:
    RleEncoder(unsigned char* out, int bpp) : fOut(out), fBpp(bpp) {}

    void row(const unsigned char* pixels, int width, bool last)
    {
        int x = 0;
        while (x < width) {
            int run = 1;
            while (x + run < width && run < 255 && pixels[x + run] == pixels[x])
                ++run;
            if (run >= 2) {
                put(static_cast<unsigned char>(run), repeat(pixels[x]));
                x += run;
                continue;
            }
            const int start = x;
            while (x < width && x - start < 255 &&
                   !(x + 2 < width && pixels[x] == pixels[x + 1] && pixels[x] == pixels[x + 2]))
                ++x;
            literal(pixels + start, x - start);
        }
        put(0, last ? 1 : 0);
    }

    size_t size() const { return fSize; }

private:
    void put(unsigned char a, unsigned char b)
    {
        fOut[fSize++] = a;
        fOut[fSize++] = b;
    }

    unsigned char repeat(unsigned char v) const
    {
        return fBpp == 4 ? static_cast<unsigned char>(v << 4 | v) : v;
    }

    void literal(const unsigned char* p, int n)
    {
        if (n < 3) {
            for (int i = 0; i < n; ++i)
                put(1, repeat(p[i]));
            return;
        }
        put(0, static_cast<unsigned char>(n));
        size_t bytes = 0;
        if (fBpp == 8) {
            std::memcpy(fOut + fSize, p, static_cast<size_t>(n));
            bytes = static_cast<size_t>(n);
        } else {
            for (int i = 0; i < n; i += 2)
                fOut[fSize + bytes++] =
                    static_cast<unsigned char>(p[i] << 4 | (i + 1 < n ? p[i + 1] : 0));
        }
        fSize += bytes;
        if (bytes & 1)
            fOut[fSize++] = 0;
    }

    unsigned char* fOut;
    int fBpp;
    size_t fSize = 0;
};

// Encodes all rows into a block the caller frees: null when there is no memory.
bool encodeRle(const MOD& model, const unsigned char* data, bool invert,
               std::vector<unsigned char>* encoded)
{
    const int width = model.width;
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(width, model.bpp));
    // At worst two bytes a pixel (runs of one) plus the padding of absolute blocks and the line
    // end: 2 * width + 4 bytes a row.
    const int64_t bound = (2 * int64_t(width) + 4) * model.height;
    std::vector<unsigned char> pixels;
    if (bound > INT32_MAX || !sizeScratch(*encoded, static_cast<size_t>(bound)) ||
        !sizeScratch(pixels, static_cast<size_t>(width)))
        return false;
    RleEncoder encoder(encoded->data(), model.bpp);
    for (int y = 0; y < model.height; ++y) {
        const unsigned char* row = data + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            unsigned v = model.bpp == 8 ? row[x] : (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
            if (invert)
                v = (model.bpp == 8 ? ~v : ~v & 0x0F) & 0xFF;
            pixels[static_cast<size_t>(x)] = static_cast<unsigned char>(v);
        }
        encoder.row(pixels.data(), width, y == model.height - 1);
    }
    encoded->resize(encoder.size());
    return true;
}

// What the write options ask for, or the code that refuses them.
struct WriteForm {
    bool core = false;
    bool inverse = false;  // "inv": 1-bpp palette white, black (else black, white)
    bool invert = false;   // "invb": complement the data bytes
    bool rle = false;
    bool topDown = false;
};

int parseWriteOptions(const char* options, int bpp, WriteForm* form)
{
    form->core = hasOption(options, "1.1") != nullptr;
    const bool info = hasOption(options, "win") || hasOption(options, "2.0");
    form->inverse = hasOption(options, "inv") != nullptr;
    form->invert = hasOption(options, "invb") != nullptr;
    form->rle = hasOption(options, "rle") != nullptr;
    form->topDown = hasOption(options, "topdown") != nullptr;
    if (form->core && (info || form->rle || form->topDown))
        return ModCodecBadOption;
    if (form->rle && form->topDown)
        return ModCodecBadOption;
    if (form->rle && bpp != 4 && bpp != 8)
        return ModCodecUnsupported;
    return 0;
}

bool writeAll(int fd, const void* bytes, int64_t count)
{
    return fileWriteFull(fd, bytes, count) == count;
}

// The rows, bottom first (or top first), complemented in chunks when asked.
bool writeRows(int fd, const MOD& model, const unsigned char* data, const WriteForm& form)
{
    const int64_t rowBytes = ModRowBytes(model.width, model.bpp);
    const int64_t size = rowBytes * model.height;
    if (!form.invert && !form.topDown)
        return writeAll(fd, data, size);
    unsigned char chunk[1024];
    for (int y = 0; y < model.height; ++y) {
        const unsigned char* row = data + (form.topDown ? model.height - 1 - y : y) * rowBytes;
        if (!form.invert) {
            if (!writeAll(fd, row, rowBytes))
                return false;
            continue;
        }
        for (int64_t done = 0; done < rowBytes;) {
            const int64_t n = rowBytes - done < int64_t(sizeof chunk) ? rowBytes - done
                                                                       : int64_t(sizeof chunk);
            for (int64_t i = 0; i < n; ++i)
                chunk[i] = static_cast<unsigned char>(~row[done + i]);
            if (!writeAll(fd, chunk, n))
                return false;
            done += n;
        }
    }
    return true;
}

// The colour table in the file's form (blue, green, red, and a zero byte unless core); the
// two-colour table is black and white whatever the model's two colours are. The entries.
int colourTable(const MOD& model, const unsigned char* palette, const WriteForm& form,
                unsigned char* table)
{
    const int entries = model.bpp == 24 ? 0 : 1 << model.bpp;
    const int entryBytes = form.core ? 3 : 4;
    for (int i = 0; i < entries; ++i) {
        unsigned char* e = table + i * entryBytes;
        int r = palette[3 * i], g = palette[3 * i + 1], b = palette[3 * i + 2];
        if (model.bpp == 1)
            r = g = b = (i == 0) == form.inverse ? 255 : 0;
        e[0] = static_cast<unsigned char>(b);
        e[1] = static_cast<unsigned char>(g);
        e[2] = static_cast<unsigned char>(r);
        if (entryBytes == 4)
            e[3] = 0;
    }
    return entries;
}

// The file header and the bitmap header (core or info) of a bitmap whose pixel data starts at
// dataOffset and takes imageSize bytes: the header's bytes.
int bitmapHeader(const MOD& model, const WriteForm& form, int64_t dataOffset, int64_t imageSize,
                 unsigned char* header)
{
    const int headerBytes = kFileHeaderBytes + (form.core ? kCoreHeaderBytes : kInfoHeaderBytes);
    std::memset(header, 0, static_cast<size_t>(headerBytes));
    header[0] = 'B';
    header[1] = 'M';
    putLE32(header + 2, static_cast<uint32_t>(dataOffset + imageSize));
    putLE32(header + 10, static_cast<uint32_t>(dataOffset));
    if (form.core) {
        putLE32(header + 14, kCoreHeaderBytes);
        putLE16(header + 18, static_cast<unsigned>(model.width));
        putLE16(header + 20, static_cast<unsigned>(model.height));
        putLE16(header + 22, 1);
        putLE16(header + 24, static_cast<unsigned>(model.bpp));
    } else {
        putLE32(header + 14, kInfoHeaderBytes);
        putLE32(header + 18, static_cast<uint32_t>(model.width));
        putLE32(header + 22, static_cast<uint32_t>(form.topDown ? -model.height : model.height));
        putLE16(header + 26, 1);
        putLE16(header + 28, static_cast<unsigned>(model.bpp));
        putLE32(header + 30, form.rle ? (model.bpp == 8 ? kRle8 : kRle4) : kUncompressed);
        putLE32(header + 34, static_cast<uint32_t>(imageSize));
    }
    return headerBytes;
}

// Headers and colour table, then the pixels; run-length data is encoded first, as the headers
// carry its size.
int writeBitmap(const char*, int fd, const MOD* model, const unsigned char* palette,
                const unsigned char* data, const char* options)
{
    WriteForm form;
    if (const int code = parseWriteOptions(options, model->bpp, &form))
        return code;
    if (model->bpp != 1 && model->bpp != 4 && model->bpp != 8 && model->bpp != 24)
        return ModCodecUnsupported;
    // The core header holds 16-bit sizes: a larger model would be written as another picture.
    if (form.core && (model->width > 0xFFFF || model->height > 0xFFFF))
        return ModCodecBadSize;

    unsigned char table[256 * 4];
    const int entries = colourTable(*model, palette, form, table);
    const int entryBytes = form.core ? 3 : 4;
    // The bits are complemented when the model's darker entry is not the one written black, so
    // that the file shows the model's light and dark pixels where the model has them.
    if (model->bpp == 1) {
        const bool darkFirst = luminance(palette) <= luminance(palette + 3);
        if (darkFirst == form.inverse)
            form.invert = !form.invert;
    }
    int64_t imageSize = int64_t(ModRowBytes(model->width, model->bpp)) * model->height;
    std::vector<unsigned char> encoded;
    if (form.rle) {
        if (!encodeRle(*model, data, form.invert, &encoded))
            return ModCodecNoMemory;
        imageSize = static_cast<int64_t>(encoded.size());
    }
    const int64_t dataOffset = kFileHeaderBytes +
                               (form.core ? kCoreHeaderBytes : kInfoHeaderBytes) +
                               int64_t(entries) * entryBytes;
    unsigned char header[kFileHeaderBytes + kInfoHeaderBytes];
    const int headerBytes = bitmapHeader(*model, form, dataOffset, imageSize, header);
    // Every part is checked: a header lost to a full disk must not pass for a written file.
    bool written = writeAll(fd, header, headerBytes) &&
                   writeAll(fd, table, int64_t(entries) * entryBytes);
    if (written)
        written = form.rle ? writeAll(fd, encoded.data(), imageSize)
                           : writeRows(fd, *model, data, form);
    return written ? 0 : ModCodecShortWrite;
}

int query(ModFormatInfo* info)
{
    info->shortName = "Bitmap";
    info->description = "Tarvos 1.1, 1.2, 2.0 / Windows 3.0 bitmap";
    info->extensions = "BMP VGA BGA RLE DIB RL4 RL8";
    info->flags = 0xFF;
    return 0;
}

int message(int code)
{
    switch (code) {
    case kBadPlanes: return OVK_MSG_BMP_PLANES;
    case kBadBitCount: return OVK_MSG_BMP_BIT_COUNT;
    case kBadHeaderSize: return OVK_MSG_BMP_HEADER_SIZE;
    case kBadCompression: return OVK_MSG_BMP_COMPRESSION;
    case kInvalid: return OVK_MSG_BMP_INVALID;
    default: return 0;
    }
}

}  // namespace

const FormatRow bitmapRow = {query, readHeader, readPalette, readData, writeBitmap, message};

}  // namespace imgfmt
