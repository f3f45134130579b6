// What every codec shares: the interface of a format-table row, the option lookup, the buffered
// byte reader, byte-order helpers and the codec's private state in the model's work area.
// Private to the image codecs (exported only so that the test program can reach it on Windows).
#pragma once

#include <iimgfmt.hpp>
#include <imodel.hpp>

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace imgfmt {

// One row of the format table. Each codec defines its row object in its own source file.
struct FormatRow {
    // Fills the information record; returns 0.
    int (*query)(ModFormatInfo* info);
    // Sets width, height and bpp and leaves the codec's state in the model's work area.
    int (*readHeader)(const char* path, int fd, MOD* model, const char* options);
    // Fills the 256-entry red, green, blue palette (the model's own).
    int (*readPalette)(int fd, MOD* model, unsigned char* palette);
    // Fills the data block of ModRowBytes * height bytes, bottom row first: every byte, row
    // padding too, whatever the block held before; what the file does not supply (a cut file,
    // a short row) is cleared to 0, so that no stale memory shows as pixels.
    int (*readData)(int fd, MOD* model, unsigned char* data);
    int (*write)(const char* path, int fd, const MOD* model, const unsigned char* palette,
                 const unsigned char* data, const char* options);
    // The message number of one of the format's own codes, 0 when the code is not its own.
    int (*message)(int code);
};

// The fourteen rows, in table order.
extern const FormatRow bitmapRow;   // ibmp.cpp
extern const FormatRow gifRow;      // igif.cpp
extern const FormatRow pcxRow;      // ipcx.cpp
extern const FormatRow tiffRow;     // itiff.cpp (with itiffdir.cpp)
extern const FormatRow targaRow;    // itarga.cpp
extern const FormatRow ilbmRow;     // iilbm.cpp
extern const FormatRow yuv12cRow;   // iyuv12c.cpp
extern const FormatRow greymapRow;  // ipnm.cpp
extern const FormatRow pixmapRow;   // ipnm.cpp
extern const FormatRow vornRow;     // ivorn.cpp
extern const FormatRow zvxRow;      // ivorn.cpp
extern const FormatRow xbitmapRow;  // ixbm.cpp
extern const FormatRow spriteRow;   // isprite.cpp
extern const FormatRow plvnRow;     // iplvn.cpp

// Clears the whole data block of a model: the first step of a reader that may leave bytes
// unwritten, rather than clear each of them as it finds them.
inline void clearData(const MOD* model, unsigned char* data)
{
    std::memset(data, 0, static_cast<size_t>(ModRowBytes(model->width, model->bpp)) *
                             static_cast<size_t>(model->height));
}

// Sizes a scratch buffer of a codec, which reports a failed allocation as a code rather than
// an exception: false when there is no memory.
template <class T>
bool sizeScratch(std::vector<T>& buffer, size_t count) noexcept
{
    try {
        buffer.resize(count);
        return true;
    } catch (...) {
        return false;
    }
}

// The row of an index, or null outside 0 to 13.
OVKWIN_API const FormatRow* formatRow(int index);

// Options: tokens separated by blanks, tabs or commas, compared without regard to case. Both
// scan the caller's text in place (no copy, no length limit, no hidden state), so they may be
// used from several threads at once.
// The first token that starts with name (which ends in '='), as a pointer into options so that
// the value follows at result + strlen(name); null when there is none.
OVKWIN_API const char* findOption(const char* options, const char* name);
// The first token that equals name whole; null when there is none.
OVKWIN_API const char* hasOption(const char* options, const char* name);
// The decimal number after "name=" (optional blanks, an optional sign, then digits, as
// sscanf("%d") reads it): true and the value, false when the option is missing or not a number.
OVKWIN_API bool optionNumber(const char* options, const char* name, long* value);

// The extension of a path (the text after its last '.'), or null when there is no '.' or a '/'
// or '\' appears after it.
OVKWIN_API const char* fileExtension(const char* path);

// The grey of each of the 256 palette entries, as the writers of grey formats store a palette
// picture: the component that the option "r", "g" or "b" names, or the luminance ("k", the
// default). 0, or ModCodecBadOption when more than one of them is given.
int greyOfPalette(const char* options, const unsigned char* palette, unsigned char* grey);

// The display size that a bitmap array file's entries are chosen for.
OVKWIN_API void screenSize(int* width, int* height);

// The buffered reader of the codecs. The file position it leaves behind is that of its last
// read call, not that of the last byte handed out.
struct ByteReader {
    int fd = -1;
    int pos = 0;
    int fill = 0;
    unsigned char buffer[16384];
};
// Null when no memory.
OVKWIN_API ByteReader* byteReaderOpen(int fd);
OVKWIN_API void byteReaderClose(ByteReader* reader);
// Refills the buffer: the first new byte, or -1 at the end of the file or on an error.
OVKWIN_API int byteReaderRefill(ByteReader* reader);
// The next byte as 0 to 255, or -1 at the end of the file or on an error.
inline int byteReaderGet(ByteReader* reader)
{
    if (reader->pos < reader->fill)
        return reader->buffer[reader->pos++];
    return byteReaderRefill(reader);
}
// Up to count bytes into target: the number copied (less only at the end of the file).
OVKWIN_API int byteReaderRead(ByteReader* reader, unsigned char* target, int count);

// Closes the byte reader at the end of the scope that opened it.
class ByteReaderHolder {
public:
    explicit ByteReaderHolder(int fd) : fReader(byteReaderOpen(fd)) {}
    ~ByteReaderHolder() { byteReaderClose(fReader); }
    ByteReaderHolder(const ByteReaderHolder&) = delete;
    ByteReaderHolder& operator=(const ByteReaderHolder&) = delete;
    ByteReader* get() const { return fReader; }

private:
    ByteReader* fReader = nullptr;
};

// Byte order.
inline unsigned getLE16(const unsigned char* p) { return p[0] | (unsigned(p[1]) << 8); }
inline uint32_t getLE32(const unsigned char* p)
{
    return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline unsigned getBE16(const unsigned char* p) { return (unsigned(p[0]) << 8) | p[1]; }
inline uint32_t getBE32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void putLE16(unsigned char* p, unsigned v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void putLE32(unsigned char* p, uint32_t v)
{
    putLE16(p, v & 0xFFFF);
    putLE16(p + 2, v >> 16);
}
inline void putBE16(unsigned char* p, unsigned v)
{
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v);
}
inline void putBE32(unsigned char* p, uint32_t v)
{
    putBE16(p, v >> 16);
    putBE16(p + 2, v & 0xFFFF);
}

// A codec keeps the state that read header found in the model's work area as one trivially
// copyable struct, copied in and out (never aliased), so alignment and lifetime rules hold.
template <class State>
void storeCodecState(MOD* model, const State& state)
{
    static_assert(std::is_trivially_copyable<State>::value, "codec state must be plain data");
    static_assert(sizeof(State) <= sizeof(model->work), "codec state exceeds the work area");
    std::memcpy(model->work, &state, sizeof(State));
}
template <class State>
State loadCodecState(const MOD* model)
{
    static_assert(std::is_trivially_copyable<State>::value, "codec state must be plain data");
    static_assert(sizeof(State) <= sizeof(model->work), "codec state exceeds the work area");
    State state;
    std::memcpy(&state, model->work, sizeof(State));
    return state;
}

// The read flag (ModFormatReads1 ...) and write flag of a depth; 0 for any other depth.
inline unsigned readFlagOfDepth(int bpp)
{
    return bpp == 1 ? 0x01u : bpp == 4 ? 0x02u : bpp == 8 ? 0x04u : bpp == 24 ? 0x08u : 0u;
}
inline unsigned writeFlagOfDepth(int bpp) { return readFlagOfDepth(bpp) << 4; }

// The weighted brightness of a palette entry (red, green, blue): the two-colour writers compare
// a model's two entries by it to decide which of them the file's ink or black is.
inline int luminance(const unsigned char* entry)
{
    return 77 * entry[0] + 151 * entry[1] + 28 * entry[2];
}

}  // namespace imgfmt
