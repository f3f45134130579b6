// The Greymap (binary P5) and Pixmap (binary P6) codecs: 8-bpp greys and 24-bpp colour pictures
// in the portable map formats, one byte a sample, rows top first.
#include "detail/icodec.hpp"
#include "detail/icodecstream.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace imgfmt {

namespace {

enum : int { GreymapBadMaximum = 100, PixmapBadMaximum = 200 };

struct MapKind {
    char magic;      // '5' or '6'
    int bpp;         // 8 or 24
    int samples;     // bytes of one pixel in the file
    int badMaximum;  // the codec's code for a maximum value outside 2 to 255
};

constexpr MapKind kGreymap{'5', 8, 1, GreymapBadMaximum};
constexpr MapKind kPixmap{'6', 24, 3, PixmapBadMaximum};

// Pixel rows are moved between the file and the model through a buffer of about this size, so
// that a large picture takes a few dozen system calls rather than one per row.
constexpr int kChunkBytes = 256 * 1024;

// What read header leaves for read palette and read data: the header is parsed once.
struct MapState {
    int maximum;
    int64_t dataOffset;  // file position of the first pixel
};

// The header is read from the start of the file through a small buffer of its own, which counts
// what it has handed out: the first pixel's position.
struct HeaderReader {
    explicit HeaderReader(int file) : fd(file) {}

    int fd;
    int pos = 0;
    int fill = 0;
    int64_t consumed = 0;
    unsigned char buffer[256];

    int get()
    {
        if (pos == fill) {
            fill = fileReadAt(fd, consumed, buffer, static_cast<int>(sizeof buffer));
            pos = 0;
            if (fill <= 0) {
                fill = 0;
                return -1;
            }
        }
        ++consumed;
        return buffer[pos++];
    }
};

bool isBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next header character, -1 at the end of the file. A comment runs from '#' up to and
// including the newline and reads as that newline, so that it separates numbers: read as nothing,
// a comment right after the maximum value would swallow the separator and shift every pixel.
int headerChar(HeaderReader& reader)
{
    int c = reader.get();
    if (c != '#')
        return c;
    do
        c = reader.get();
    while (c != '\n' && c >= 0);
    return c < 0 ? -1 : '\n';
}

// A decimal number after optional white space, ended by one white-space character, which is
// consumed. False for a number that does not start with a digit, runs into another character or
// the end of the file, or grows past what any header could mean.
bool headerNumber(HeaderReader& reader, int* value)
{
    int c = headerChar(reader);
    while (isBlank(c))
        c = headerChar(reader);
    if (c < '0' || c > '9')
        return false;
    long long n = 0;
    for (; c >= '0' && c <= '9'; c = headerChar(reader)) {
        n = n * 10 + (c - '0');
        if (n > 0x7FFFFFFF)
            return false;
    }
    if (!isBlank(c))
        return false;
    *value = static_cast<int>(n);
    return true;
}

int readHeader(int fd, const MapKind& kind, MOD* model)
{
    HeaderReader reader(fd);
    const int first = reader.get();
    if (first != 'P' || reader.get() != kind.magic)
        return ModCodecBadSignature;
    int width = 0;
    int height = 0;
    if (!headerNumber(reader, &width) || !headerNumber(reader, &height) || width <= 0 ||
        height <= 0)
        return ModCodecBadSize;
    MapState state{};
    if (!headerNumber(reader, &state.maximum) || state.maximum < 2 || state.maximum > 255)
        return kind.badMaximum;
    state.dataOffset = reader.consumed;
    // The pixels must be in the file before a block of their size is allocated: a header of a
    // few bytes must not claim gigabytes, and a cut file must not read as a whole picture.
    const int64_t size = fileSize(fd);
    if (size < 0 || size - state.dataOffset < int64_t(width) * height * kind.samples)
        return ModCodecShortRead;
    storeCodecState(model, state);
    model->width = width;
    model->height = height;
    model->bpp = kind.bpp;
    return 0;
}

// The file holds the top row first, the model the bottom row first. Greymap rows need nothing
// but their order turned round: they are read with one call straight into the block and put in
// place there, as a reader that flips its rows does. Pixmap rows are read in pieces of a few
// hundred kilobytes into a buffer that stays in the cache and copied from there into their model
// rows with red, green, blue turned into blue, green, red on the way, and samples of a smaller
// maximum stretched so that the maximum is full intensity, as the grey ramp of the Greymap palette
// does (samples above the maximum saturate): the model's memory is written once.
int readGreys(int fd, int64_t offset, MOD* model, unsigned char* data)
{
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(model->width, model->bpp));
    const size_t fileRow = static_cast<size_t>(model->width);
    const size_t height = static_cast<size_t>(model->height);
    const int64_t bytes = static_cast<int64_t>(fileRow * height);
    if (fileReadFullAt(fd, offset, data, bytes) != bytes) {
        std::memset(data, 0, rowBytes * height);
        return ModCodecShortRead;
    }
    codecio::placeRows(data, height, fileRow, rowBytes, true, false);
    return 0;
}

// The sample values of a file whose maximum is maximum stretched to full intensity: i * 255 /
// maximum, counted up rather than divided for each entry; values above the maximum, which no
// sound file uses, saturate at 255.
void stretchedRamp(int maximum, unsigned char ramp[256])
{
    int value = 0, rest = 0;
    for (int i = 0; i < 256; ++i) {
        ramp[i] = static_cast<unsigned char>(i >= maximum ? 255 : value);
        if (i < maximum) {
            for (rest += 255; rest >= maximum; rest -= maximum)
                ++value;
        }
    }
}

int readData(int fd, const MapKind& kind, MOD* model, unsigned char* data)
{
    const MapState state = loadCodecState<MapState>(model);
    const size_t rowBytes = static_cast<size_t>(ModRowBytes(model->width, model->bpp));
    const size_t fileRow = static_cast<size_t>(model->width) * static_cast<size_t>(kind.samples);
    const size_t height = static_cast<size_t>(model->height);
    const bool pixmap = kind.bpp == 24;
    unsigned char table[256];
    const bool stretch = pixmap && state.maximum != 255;
    if (stretch)
        stretchedRamp(state.maximum, table);
    if (!pixmap)
        return readGreys(fd, state.dataOffset, model, data);
    // A whole number of pixels, so that a piece never ends inside one.
    constexpr size_t kPiece = 3 * 131072;
    const std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[kPiece]);
    if (!piece)
        return ModCodecNoMemory;
    const size_t total = fileRow * height;
    size_t y = 0, x = 0;  // the file row being filled and the bytes of it done
    for (size_t done = 0; done < total;) {
        const size_t want = std::min(kPiece, total - done);
        if (fileReadFullAt(fd, state.dataOffset + static_cast<int64_t>(done), piece.get(),
                           static_cast<int64_t>(want)) != static_cast<int64_t>(want)) {
            // The rows not yet complete lie together at the start of the block.
            std::memset(data, 0, (height - y) * rowBytes);
            return ModCodecShortRead;
        }
        done += want;
        if (stretch) {
            for (size_t i = 0; i < want; ++i)
                piece[i] = table[piece[i]];
        }
        for (const unsigned char* p = piece.get(); p < piece.get() + want;) {
            unsigned char* row = data + (height - 1 - y) * rowBytes;
            const size_t take = std::min(fileRow - x, static_cast<size_t>(piece.get() + want - p));
            codecio::swapRedBlue(p, row + x, take / 3);
            p += take;
            x += take;
            if (x == fileRow) {
                std::memset(row + fileRow, 0, rowBytes - fileRow);
                x = 0;
                ++y;
            }
        }
    }
    return 0;
}

int writeHeader(int fd, char magic, int width, int height)
{
    char text[96];
    const int length = std::snprintf(text, sizeof text,
                                     "P%c\n# Written by Zadozuzoviz Uvadud Uveviv\n%d %d 255\n",
                                     magic, width, height);
    return fileWriteFull(fd, text, length) == length ? 0 : ModCodecShortWrite;
}

// Writes the rows from the top, each put into file order by convert, a chunk of rows at a time.
template <class Convert>
int writeRows(int fd, const MOD* model, const unsigned char* data, int fileRow, Convert convert)
{
    const int chunkRows = std::max(1, std::min(model->height, kChunkBytes / fileRow));
    std::vector<unsigned char> buffer;
    if (!sizeScratch(buffer, size_t(chunkRows) * size_t(fileRow)))
        return ModCodecNoMemory;
    unsigned char* const chunk = buffer.data();
    const int rowBytes = ModRowBytes(model->width, model->bpp);
    int code = 0;
    for (int top = 0; top < model->height && code == 0; top += chunkRows) {
        const int rows = std::min(chunkRows, model->height - top);
        for (int r = 0; r < rows; ++r)
            convert(data + int64_t(model->height - 1 - top - r) * rowBytes,
                    chunk + int64_t(r) * fileRow);
        if (fileWriteFull(fd, chunk, int64_t(rows) * fileRow) != int64_t(rows) * fileRow)
            code = ModCodecShortWrite;
    }
    return code;
}

int greymapQuery(ModFormatInfo* info)
{
    info->shortName = "Greymap";
    info->description = "Portable Greyscale-map (binary P5 type)";
    info->extensions = "PGM";
    info->flags = 0x44;
    return 0;
}

int greymapReadHeader(const char*, int fd, MOD* model, const char*)
{
    return readHeader(fd, kGreymap, model);
}

// The grey ramp from black at 0 to white at the maximum value. Entries above the maximum, which
// no sound file uses, are white too rather than left as they were.
int greymapReadPalette(int, MOD* model, unsigned char* palette)
{
    unsigned char ramp[256];
    stretchedRamp(loadCodecState<MapState>(model).maximum, ramp);
    for (int i = 0; i < 256; ++i)
        palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = ramp[i];
    return 0;
}

int greymapReadData(int fd, MOD* model, unsigned char* data)
{
    return readData(fd, kGreymap, model, data);
}

int greymapWrite(const char*, int fd, const MOD* model, const unsigned char* palette,
                 const unsigned char* data, const char* options)
{
    if (model->bpp != 8)
        return ModCodecUnsupported;
    unsigned char grey[256];
    if (const int code = greyOfPalette(options, palette, grey))
        return code;
    if (const int code = writeHeader(fd, '5', model->width, model->height))
        return code;
    const size_t width = static_cast<size_t>(model->width);
    // A model of the grey ramp (as this reader makes it) is written as it is.
    bool ramp = true;
    for (int i = 0; i < 256; ++i)
        ramp = ramp && grey[i] == i;
    if (ramp) {
        return writeRows(fd, model, data, model->width,
                         [&](const unsigned char* row, unsigned char* out) {
                             std::memcpy(out, row, width);
                         });
    }
    // Otherwise eight greys are looked up and stored at a time.
    return writeRows(fd, model, data, model->width,
                     [&](const unsigned char* row, unsigned char* out) {
                         size_t x = 0;
                         for (; x + 8 <= width; x += 8) {
                             unsigned char eight[8];
                             for (int k = 0; k < 8; ++k)
                                 eight[k] = grey[row[x + k]];
                             std::memcpy(out + x, eight, 8);
                         }
                         for (; x < width; ++x)
                             out[x] = grey[row[x]];
                     });
}

int greymapMessage(int code)
{
    return code == GreymapBadMaximum ? static_cast<int>(OVK_MSG_PNM_MAX_VALUE) : 0;
}

int pixmapQuery(ModFormatInfo* info)
{
    info->shortName = "Pixmap";
    info->description = "Portable Pixel-map (binary P6 type)";
    info->extensions = "PPM";
    info->flags = 0x88;
    return 0;
}

int pixmapReadHeader(const char*, int fd, MOD* model, const char*)
{
    return readHeader(fd, kPixmap, model);
}

int pixmapReadPalette(int, MOD*, unsigned char*) { return 0; }

int pixmapReadData(int fd, MOD* model, unsigned char* data)
{
    return readData(fd, kPixmap, model, data);
}

int pixmapWrite(const char*, int fd, const MOD* model, const unsigned char*,
                const unsigned char* data, const char*)
{
    if (model->bpp != 24)
        return ModCodecUnsupported;
    if (const int code = writeHeader(fd, '6', model->width, model->height))
        return code;
    const int fileRow = 3 * model->width;
    const int width = model->width;
    return writeRows(fd, model, data, fileRow, [&](const unsigned char* row, unsigned char* out) {
        codecio::swapRedBlue(row, out, static_cast<size_t>(width));
    });
}

int pixmapMessage(int code)
{
    return code == PixmapBadMaximum ? static_cast<int>(OVK_MSG_PNM_MAX_VALUE) : 0;
}

}  // namespace

const FormatRow greymapRow = {greymapQuery,    greymapReadHeader, greymapReadPalette,
                              greymapReadData, greymapWrite,      greymapMessage};

const FormatRow pixmapRow = {pixmapQuery,    pixmapReadHeader, pixmapReadPalette,
                             pixmapReadData, pixmapWrite,      pixmapMessage};

}  // namespace imgfmt
