// Buffered file input and output of the GIF, TIFF, PCX, Targa and ILBM codecs, over the codecs'
// file layer: bulk reads that go straight into the caller's rows, byte reads that stay inline,
// an optional end (a TIFF strip, an ILBM body) beyond which the input reads as ended, and output
// gathered into large writes with the first failure remembered.
#pragma once

#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace imgfmt {
namespace codecio {

inline bool seekTo(int fd, int64_t offset)
{
    return offset >= 0 && fileSeek(fd, offset, FileSeekSet) == offset;
}

inline bool readExact(int fd, void* target, int64_t count)
{
    return fileReadFull(fd, target, count) == count;
}

inline bool writeExact(int fd, const void* source, int64_t count)
{
    return fileWriteFull(fd, source, count) == count;
}

// The size patch of a writer that learns a size only after writing what it measures: the 32-bit
// value at offset, big-endian (chunked formats) or little-endian, written over the placeholder.
// False when the value does not fit or the file refuses it.
inline bool patchSize(int fd, uint64_t offset, uint64_t value, bool bigEndian)
{
    if (value > 0xFFFFFFFFu)
        return false;
    unsigned char field[4];
    if (bigEndian)
        putBE32(field, static_cast<uint32_t>(value));
    else
        putLE32(field, static_cast<uint32_t>(value));
    return seekTo(fd, static_cast<int64_t>(offset)) && writeExact(fd, field, 4);
}

// The decimal value of option "name=", or the fallback when it is missing or not a number.
inline long optionOr(const char* options, const char* name, long fallback)
{
    long value = fallback;
    return optionNumber(options, name, &value) ? value : fallback;
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// Eight pixels of three bytes (24 bytes as three little-endian words) with the first and the
// third byte of each exchanged, done with shifts and masks rather than byte by byte.
inline void swapRedBlue8(const unsigned char* src, uint64_t out[3]) noexcept
{
    uint64_t a, b, c;
    std::memcpy(&a, src, 8);
    std::memcpy(&b, src + 8, 8);
    std::memcpy(&c, src + 16, 8);
    out[0] = (a & 0xFF0000FF0000FF00ull) | ((a << 16) & 0x0000FF0000FF0000ull) |
             ((a >> 16) & 0x00000000FF0000FFull) | ((b & 0xFF) << 48);
    out[1] = (b & 0x0000FF0000FF0000ull) | ((b << 16) & 0x00FF0000FF000000ull) |
             ((b >> 16) & 0x000000FF0000FF00ull) | (a >> 48 & 0xFF) | ((c >> 8 & 0xFF) << 56);
    out[2] = (c & 0x00FF0000FF0000FFull) | ((c << 16) & 0xFF0000FF00000000ull) |
             ((c >> 16) & 0x0000FF0000FF0000ull) | ((b >> 56) << 8);
}
#define OVK_CODECIO_WORD_SWAP 1
#endif

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// Where the processor has SSSE3 (every x86 processor of the last fifteen years, but not part of
// the baseline the library is compiled for), sixteen pixels are turned round with seven byte
// shuffles; the processor is asked once, and the word code above remains for the others.
#define OVK_CODECIO_SSSE3 1

inline bool hasSsse3() noexcept
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) != 0 && (c & bit_SSSE3) != 0;
    }();
    return has;
}

// Sixteen pixels (48 bytes) from src with red and blue exchanged, as three vectors.
__attribute__((target("ssse3"))) inline void swapRedBlue16(const unsigned char* src,
                                                           __m128i out[3]) noexcept
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
    const char z = -128;  // a shuffle index that yields 0
    out[0] = _mm_or_si128(
        _mm_shuffle_epi8(a, _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, z)),
        _mm_shuffle_epi8(b, _mm_setr_epi8(z, z, z, z, z, z, z, z, z, z, z, z, z, z, z, 1)));
    out[1] = _mm_or_si128(
        _mm_or_si128(
            _mm_shuffle_epi8(a, _mm_setr_epi8(z, 15, z, z, z, z, z, z, z, z, z, z, z, z, z, z)),
            _mm_shuffle_epi8(b, _mm_setr_epi8(0, z, 4, 3, 2, 7, 6, 5, 10, 9, 8, 13, 12, 11, z, 15))),
        _mm_shuffle_epi8(c, _mm_setr_epi8(z, z, z, z, z, z, z, z, z, z, z, z, z, z, 0, z)));
    out[2] = _mm_or_si128(
        _mm_shuffle_epi8(b, _mm_setr_epi8(14, z, z, z, z, z, z, z, z, z, z, z, z, z, z, z)),
        _mm_shuffle_epi8(c, _mm_setr_epi8(z, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13)));
}

__attribute__((target("ssse3"))) inline void store48(unsigned char* dst,
                                                     const __m128i v[3]) noexcept
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), v[0]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), v[1]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32), v[2]);
}

// The whole groups of sixteen pixels of swapRedBlue: the pixels done.
__attribute__((target("ssse3"))) inline size_t swapRedBlueSsse3(const unsigned char* src,
                                                                unsigned char* dst,
                                                                size_t pixels) noexcept
{
    size_t i = 0;
    for (; i + 16 <= pixels; i += 16) {
        __m128i v[3];
        swapRedBlue16(src + 3 * i, v);
        store48(dst + 3 * i, v);
    }
    return i;
}

// The whole groups of sixteen pixels of exchangeRowsSwapRedBlue: the pixels done.
__attribute__((target("ssse3"))) inline size_t exchangeRowsSwapRedBlueSsse3(
    unsigned char* p, unsigned char* q, size_t pixels) noexcept
{
    size_t i = 0;
    for (; i + 16 <= pixels; i += 16) {
        __m128i x[3], y[3];
        swapRedBlue16(p + 3 * i, x);
        swapRedBlue16(q + 3 * i, y);
        store48(p + 3 * i, y);
        store48(q + 3 * i, x);
    }
    return i;
}

// Whether the processor has AVX2 and the system keeps its registers across a switch of thread.
inline bool hasAvx2() noexcept
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_OSXSAVE) == 0)
            return false;
        unsigned low = 0, high = 0;
        __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        return (low & 6) == 6 && __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 &&
               (b & bit_AVX2) != 0;
    }();
    return has;
}

// The whole pieces of 64 bytes of exchangeRows, two vectors of each row in registers at a time:
// the bytes done. A flip is then a load and a store of each byte, where the copy through a block
// makes it one and a half of each.
__attribute__((target("avx2"))) inline size_t exchangeAvx2(unsigned char* p, unsigned char* q,
                                                           size_t length) noexcept
{
    size_t i = 0;
    for (; i + 64 <= length; i += 64) {
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + i));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + i + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), b0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 32), b1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i), a0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i + 32), a1);
    }
    return i;
}
#endif

// Copies pixels of three bytes, exchanging the first and the third byte of each (red, green,
// blue into blue, green, red and back). Eight pixels go as three 64-bit words; source and
// target may be the same.
inline void swapRedBlue(const unsigned char* src, unsigned char* dst, size_t pixels) noexcept
{
    size_t i = 0;
#if defined(OVK_CODECIO_SSSE3)
    if (hasSsse3())
        i = swapRedBlueSsse3(src, dst, pixels);
#endif
#if defined(OVK_CODECIO_WORD_SWAP)
    for (; i + 8 <= pixels; i += 8) {
        uint64_t w[3];
        swapRedBlue8(src + 3 * i, w);
        std::memcpy(dst + 3 * i, w, 24);
    }
#endif
    for (; i < pixels; ++i) {
        const unsigned char r = src[3 * i];
        dst[3 * i + 1] = src[3 * i + 1];
        dst[3 * i] = src[3 * i + 2];
        dst[3 * i + 2] = r;
    }
}

// Exchanges two rows of length bytes: with AVX2 64 bytes at a time through its registers;
// without it, long rows through a block on the stack with the run-time library's copy, which
// uses the widest moves the processor has, and short ones 64 bytes at a time through registers;
// the rest a word at a time.
inline void exchangeRows(unsigned char* p, unsigned char* q, size_t length) noexcept
{
    constexpr size_t kBlock = 2048;
    size_t i = 0;
#if defined(OVK_CODECIO_SSSE3)
    const bool avx2 = hasAvx2();
    if (avx2)
        i = exchangeAvx2(p, q, length);
#else
    const bool avx2 = false;
#endif
    if (!avx2 && length >= 256) {
        unsigned char block[kBlock];
        for (; i < length; i += kBlock) {
            const size_t n = length - i < kBlock ? length - i : kBlock;
            std::memcpy(block, p + i, n);
            std::memcpy(p + i, q + i, n);
            std::memcpy(q + i, block, n);
        }
        return;
    }
    for (; i + 64 <= length; i += 64) {
        unsigned char a[64], b[64];
        std::memcpy(a, p + i, 64);
        std::memcpy(b, q + i, 64);
        std::memcpy(p + i, b, 64);
        std::memcpy(q + i, a, 64);
    }
    for (; i + 8 <= length; i += 8) {
        uint64_t a, b;
        std::memcpy(&a, p + i, 8);
        std::memcpy(&b, q + i, 8);
        std::memcpy(p + i, &b, 8);
        std::memcpy(q + i, &a, 8);
    }
    for (; i < length; ++i) {
        const unsigned char t = p[i];
        p[i] = q[i];
        q[i] = t;
    }
}

// Exchanges two rows of pixels of three bytes and swaps red and blue in both on the way, in one
// pass over them.
inline void exchangeRowsSwapRedBlue(unsigned char* p, unsigned char* q, size_t pixels) noexcept
{
    size_t i = 0;
#if defined(OVK_CODECIO_SSSE3)
    if (hasSsse3())
        i = exchangeRowsSwapRedBlueSsse3(p, q, pixels);
#endif
#if defined(OVK_CODECIO_WORD_SWAP)
    for (; i + 8 <= pixels; i += 8) {
        uint64_t a[3], b[3];
        swapRedBlue8(p + 3 * i, a);
        swapRedBlue8(q + 3 * i, b);
        std::memcpy(p + 3 * i, b, 24);
        std::memcpy(q + 3 * i, a, 24);
    }
#endif
    for (; i < pixels; ++i) {
        unsigned char* x = p + 3 * i;
        unsigned char* y = q + 3 * i;
        const unsigned char x0 = x[0], x1 = x[1], x2 = x[2];
        x[0] = y[2];
        x[1] = y[1];
        x[2] = y[0];
        y[0] = x2;
        y[1] = x1;
        y[2] = x0;
    }
}

// Turns rows that one read put side by side at the start of region (rows of fileRow bytes each,
// in file order) into model rows of stride bytes (stride >= fileRow) in the same region: spread
// out with their padding cleared, with reverse put in the opposite order, and with swap turned
// from red, green, blue into blue, green, red (fileRow then holds whole pixels of three bytes).
// Reading straight into the model and converting there while the rows are still in the cache
// moves every byte once less than reading into a buffer of its own and copying it out.
inline void placeRows(unsigned char* region, size_t rows, size_t fileRow, size_t stride,
                      bool reverse, bool swap) noexcept
{
    if (rows == 0)
        return;
    if (stride != fileRow) {
        // From the last row down: a row's new place lies at or after its old one and after the
        // old places of the rows before it, so nothing is overwritten before it has moved.
        for (size_t r = rows; r-- > 0;) {
            if (r > 0)
                std::memmove(region + r * stride, region + r * fileRow, fileRow);
            std::memset(region + r * stride + fileRow, 0, stride - fileRow);
        }
    }
    const size_t pixels = fileRow / 3;
    if (!reverse) {
        if (swap)
            for (size_t r = 0; r < rows; ++r)
                swapRedBlue(region + r * stride, region + r * stride, pixels);
        return;
    }
    size_t a = 0;
    for (size_t b = rows - 1; a < b; ++a, --b) {
        if (swap)
            exchangeRowsSwapRedBlue(region + a * stride, region + b * stride, pixels);
        else
            exchangeRows(region + a * stride, region + b * stride, fileRow);
    }
    if (swap && a == rows - 1 - a)
        swapRedBlue(region + a * stride, region + a * stride, pixels);
}

class CodecInput {
public:
    // A reader of strips that follow each other wants a larger buffer, so that one call reads
    // many of them.
    explicit CodecInput(int fd, uint64_t limit = UINT64_MAX, size_t capacity = 16384) noexcept
        : fFd(fd), fLeft(limit), fCapacity(capacity),
          fOwned(new (std::nothrow) unsigned char[capacity]), fBuffer(fOwned.get())
    {
    }
    CodecInput(const CodecInput&) = delete;
    CodecInput& operator=(const CodecInput&) = delete;

    bool ok() const noexcept { return fBuffer != nullptr; }

    // Goes on reading at a file offset, up to a new end (limit bytes on). From then on the file
    // is read by position, a buffer full at a time whatever the end, so that a strip lying among
    // the bytes already buffered (one that follows the strip before) costs no call; the end
    // holds inside the buffer just as beyond it. False for a negative offset.
    bool moveTo(int64_t offset, uint64_t limit = UINT64_MAX) noexcept
    {
        if (offset < 0)
            return false;
        const int64_t bufferStart = fFileEnd - static_cast<int64_t>(fFill);
        if (fPositioned && offset >= bufferStart && offset <= fFileEnd) {
            fPos = static_cast<size_t>(offset - bufferStart);
        } else {
            fPos = fFill = 0;
            fFileEnd = offset;
        }
        fPositioned = true;
        const size_t have = fFill - fPos;
        const size_t take = limit < have ? static_cast<size_t>(limit) : have;
        fStop = fPos + take;
        fLeft = limit - take;
        return true;
    }

    // The next byte as 0 to 255, or -1 at the end (an error reads the same).
    int get() noexcept
    {
        if (fPos < fStop)
            return fBuffer[fPos++];
        return refill() ? fBuffer[fPos++] : -1;
    }

    // Copies up to count bytes. A request for a buffer full or more goes straight to the target
    // when the input does not end sooner (a short strip is better read ahead with the strips
    // that follow it). Returns the bytes copied.
    size_t read(void* target, size_t count) noexcept
    {
        auto* out = static_cast<unsigned char*>(target);
        const size_t have = fStop - fPos;
        if (have >= count) {
            std::memcpy(out, fBuffer + fPos, count);
            fPos += count;
            return count;
        }
        std::memcpy(out, fBuffer + fPos, have);
        fPos = fStop;
        size_t done = have;
        if (fLeft == 0)
            return done;
        if (count - done >= fCapacity && fLeft >= fCapacity) {
            const uint64_t want = count - done < fLeft ? count - done : fLeft;
            const int64_t got =
                fPositioned ? fileReadFullAt(fFd, fFileEnd, out + done, static_cast<int64_t>(want))
                            : fileReadFull(fFd, out + done, static_cast<int64_t>(want));
            if (got > 0) {
                fLeft -= static_cast<uint64_t>(got);
                fFileEnd += got;
                done += static_cast<size_t>(got);
            }
            // The buffer no longer holds the bytes just before the file position.
            fPos = fFill = fStop = 0;
            return done;
        }
        while (done < count && refill()) {
            const size_t take = fStop < count - done ? fStop : count - done;
            std::memcpy(out + done, fBuffer, take);
            fPos = take;
            done += take;
        }
        return done;
    }

    bool readExact(void* target, size_t count) noexcept { return read(target, count) == count; }

    // The next count bytes in place, without a copy, or null when count exceeds the buffer or
    // the input ends first (the bytes then stay unread).
    const unsigned char* view(size_t count) noexcept
    {
        if (fStop - fPos < count) {
            if (fBuffer == nullptr || count > fCapacity || fLeft == 0)
                return nullptr;
            // With input left beyond the buffer, the end is not inside it: fStop is fFill.
            std::memmove(fBuffer, fBuffer + fPos, fFill - fPos);
            fFill -= fPos;
            fStop = fFill;
            fPos = 0;
            while (fStop < count && fLeft > 0) {
                const int got = readMore(fBuffer + fFill, fCapacity - fFill);
                if (got <= 0)
                    break;
                take(static_cast<size_t>(got));
            }
            if (fStop < count)
                return nullptr;
        }
        const unsigned char* p = fBuffer + fPos;
        fPos += count;
        return p;
    }

    // Passes over count bytes; false when the input ends first.
    bool skip(uint64_t count) noexcept
    {
        const size_t have = fStop - fPos;
        if (have >= count) {
            fPos += static_cast<size_t>(count);
            return true;
        }
        count -= have;
        fPos = fStop;
        while (count > 0) {
            if (!refill())
                return false;
            const size_t take = count < fStop ? static_cast<size_t>(count) : fStop;
            fPos = take;
            count -= take;
        }
        return true;
    }

private:
    // One read call into room bytes at to: a whole buffer by position, else no further than the
    // end, so that a caller reading on from the descriptor finds it where the end left it.
    int readMore(unsigned char* to, size_t room) noexcept
    {
        if (fPositioned)
            return fileReadAt(fFd, fFileEnd, to, static_cast<int>(room));
        const size_t want = fLeft < room ? static_cast<size_t>(fLeft) : room;
        return fileRead(fFd, to, static_cast<int>(want));
    }

    // Counts got bytes just read behind the buffered ones, as far as the end allows.
    void take(size_t got) noexcept
    {
        fFill += got;
        fFileEnd += static_cast<int64_t>(got);
        const size_t usable = fLeft < got ? static_cast<size_t>(fLeft) : got;
        fStop += usable;
        fLeft -= usable;
    }

    // Called when the bytes up to the end are used: the next ones in the buffer, or false at the
    // end. Bytes read ahead past the end stay buffered for a later moveTo.
    bool refill() noexcept
    {
        if (fBuffer == nullptr || fLeft == 0)
            return false;
        const int got = readMore(fBuffer, fCapacity);
        fPos = fFill = fStop = 0;
        if (got <= 0)
            return false;
        take(static_cast<size_t>(got));
        return true;
    }

    int fFd;
    // Bytes the end still allows beyond the buffered ones (UINT64_MAX and what is left of it
    // when there is no end).
    uint64_t fLeft;
    size_t fCapacity;
    std::unique_ptr<unsigned char[]> fOwned;
    unsigned char* fBuffer;
    size_t fPos = 0;
    // The end of what may be read in the buffer: fFill, or less when the end lies inside it.
    size_t fStop = 0;
    size_t fFill = 0;
    // The file offset just past the buffered bytes, once moveTo has set a position.
    int64_t fFileEnd = 0;
    bool fPositioned = false;
};

class CodecOutput {
public:
    explicit CodecOutput(int fd) noexcept
        : fFd(fd), fOwned(new (std::nothrow) unsigned char[kCapacity]), fBuffer(fOwned.get())
    {
    }
    CodecOutput(const CodecOutput&) = delete;
    CodecOutput& operator=(const CodecOutput&) = delete;

    bool ok() const noexcept { return fBuffer != nullptr; }
    // Bytes handed to the writer so far, written out or not.
    uint64_t written() const noexcept { return fFlushed + fFill; }

    void put(unsigned char byte) noexcept
    {
        if (fFill == kCapacity)
            flush();
        fBuffer[fFill++] = byte;
    }

    void write(const void* source, size_t count) noexcept
    {
        const auto* in = static_cast<const unsigned char*>(source);
        if (count > kCapacity - fFill) {
            flush();
            if (count >= kCapacity) {
                if (!fFailed && !writeExact(fFd, in, static_cast<int64_t>(count)))
                    fFailed = true;
                fFlushed += count;
                return;
            }
        }
        std::memcpy(fBuffer + fFill, in, count);
        fFill += count;
    }

    // Room for the next count bytes in the buffer, for the caller to fill in place (a row
    // converted straight into it); null when count exceeds the buffer.
    unsigned char* reserve(size_t count) noexcept
    {
        if (count > kCapacity)
            return nullptr;
        if (count > kCapacity - fFill)
            flush();
        unsigned char* p = fBuffer + fFill;
        fFill += count;
        return p;
    }

    void be16(unsigned v) noexcept
    {
        put(static_cast<unsigned char>(v >> 8));
        put(static_cast<unsigned char>(v));
    }
    void be32(uint32_t v) noexcept
    {
        be16(v >> 16);
        be16(v & 0xFFFF);
    }

    // Writes out what is buffered: true when everything so far reached the file.
    bool flush() noexcept
    {
        if (fFill > 0) {
            if (!fFailed && !writeExact(fFd, fBuffer, static_cast<int64_t>(fFill)))
                fFailed = true;
            fFlushed += fFill;
            fFill = 0;
        }
        return !fFailed;
    }

private:
    static constexpr size_t kCapacity = 262144;

    int fFd;
    std::unique_ptr<unsigned char[]> fOwned;
    unsigned char* fBuffer;
    size_t fFill = 0;
    uint64_t fFlushed = 0;
    bool fFailed = false;
};

}  // namespace codecio
}  // namespace imgfmt
