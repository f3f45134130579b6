// Buffered file input and output of the GIF, TIFF, PCX, Targa and ILBM codecs, over the codecs'
// file layer: bulk reads that go straight into the caller's rows, byte reads that stay inline,
// an optional end (a TIFF strip, an ILBM body) beyond which the input reads as ended, and output
// gathered into large writes with the first failure remembered.
#pragma once

#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

// The decimal value of option "name=", or the fallback when it is missing or not a number.
inline long optionOr(const char* options, const char* name, long fallback)
{
    long value = fallback;
    return optionNumber(options, name, &value) ? value : fallback;
}

// Copies pixels of three bytes, exchanging the first and the third byte of each (red, green,
// blue into blue, green, red and back). Eight pixels go as three 64-bit words, the exchanges
// done with shifts and masks; source and target may be the same.
inline void swapRedBlue(const unsigned char* src, unsigned char* dst, size_t pixels) noexcept
{
    size_t i = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; i + 8 <= pixels; i += 8) {
        uint64_t a, b, c;
        std::memcpy(&a, src + 3 * i, 8);
        std::memcpy(&b, src + 3 * i + 8, 8);
        std::memcpy(&c, src + 3 * i + 16, 8);
        const uint64_t x = (a & 0xFF0000FF0000FF00ull) | ((a << 16) & 0x0000FF0000FF0000ull) |
                           ((a >> 16) & 0x00000000FF0000FFull) | ((b & 0xFF) << 48);
        const uint64_t y = (b & 0x0000FF0000FF0000ull) | ((b << 16) & 0x00FF0000FF000000ull) |
                           ((b >> 16) & 0x000000FF0000FF00ull) | (a >> 48 & 0xFF) |
                           ((c >> 8 & 0xFF) << 56);
        const uint64_t z = (c & 0x00FF0000FF0000FFull) | ((c << 16) & 0xFF0000FF00000000ull) |
                           ((c >> 16) & 0x0000FF0000FF0000ull) | ((b >> 56) << 8);
        std::memcpy(dst + 3 * i, &x, 8);
        std::memcpy(dst + 3 * i + 8, &y, 8);
        std::memcpy(dst + 3 * i + 16, &z, 8);
    }
#endif
    for (; i < pixels; ++i) {
        const unsigned char r = src[3 * i];
        dst[3 * i + 1] = src[3 * i + 1];
        dst[3 * i] = src[3 * i + 2];
        dst[3 * i + 2] = r;
    }
}

class CodecInput {
public:
    explicit CodecInput(int fd, uint64_t limit = UINT64_MAX) noexcept
        : fFd(fd), fLeft(limit), fBuffer(static_cast<unsigned char*>(std::malloc(kCapacity)))
    {
    }
    ~CodecInput() { std::free(fBuffer); }
    CodecInput(const CodecInput&) = delete;
    CodecInput& operator=(const CodecInput&) = delete;

    bool ok() const noexcept { return fBuffer != nullptr; }

    // Forgets what is buffered, after the caller moved the file position, and sets a new end.
    void restart(uint64_t limit = UINT64_MAX) noexcept
    {
        fPos = fFill = 0;
        fLeft = limit;
    }

    // The next byte as 0 to 255, or -1 at the end (an error reads the same).
    int get() noexcept
    {
        if (fPos < fFill)
            return fBuffer[fPos++];
        return refill() ? fBuffer[fPos++] : -1;
    }

    // Copies up to count bytes; a large request bypasses the buffer. Returns the bytes copied.
    size_t read(void* target, size_t count) noexcept
    {
        auto* out = static_cast<unsigned char*>(target);
        const size_t have = fFill - fPos;
        if (have >= count) {
            std::memcpy(out, fBuffer + fPos, count);
            fPos += count;
            return count;
        }
        std::memcpy(out, fBuffer + fPos, have);
        fPos = fFill;
        size_t done = have;
        if (count - done >= kCapacity) {
            const uint64_t want = count - done < fLeft ? count - done : fLeft;
            const int64_t got = fileReadFull(fFd, out + done, static_cast<int64_t>(want));
            if (got > 0) {
                fLeft -= static_cast<uint64_t>(got);
                done += static_cast<size_t>(got);
            }
            return done;
        }
        while (done < count && refill()) {
            const size_t take = fFill < count - done ? fFill : count - done;
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
        if (fFill - fPos < count) {
            if (fBuffer == nullptr || count > kCapacity)
                return nullptr;
            std::memmove(fBuffer, fBuffer + fPos, fFill - fPos);
            fFill -= fPos;
            fPos = 0;
            while (fFill < count && fLeft > 0) {
                const size_t room = kCapacity - fFill;
                const size_t want = fLeft < room ? static_cast<size_t>(fLeft) : room;
                const int got = fileRead(fFd, fBuffer + fFill, static_cast<int>(want));
                if (got <= 0)
                    break;
                fFill += static_cast<size_t>(got);
                fLeft -= static_cast<uint64_t>(got);
            }
            if (fFill < count)
                return nullptr;
        }
        const unsigned char* p = fBuffer + fPos;
        fPos += count;
        return p;
    }

    // Passes over count bytes; false when the input ends first.
    bool skip(uint64_t count) noexcept
    {
        const size_t have = fFill - fPos;
        if (have >= count) {
            fPos += static_cast<size_t>(count);
            return true;
        }
        count -= have;
        fPos = fFill;
        while (count > 0) {
            if (!refill())
                return false;
            const size_t take = count < fFill ? static_cast<size_t>(count) : fFill;
            fPos = take;
            count -= take;
        }
        return true;
    }

private:
    static constexpr size_t kCapacity = 16384;

    bool refill() noexcept
    {
        fPos = fFill = 0;
        if (fBuffer == nullptr || fLeft == 0)
            return false;
        const size_t want = fLeft < kCapacity ? static_cast<size_t>(fLeft) : kCapacity;
        const int got = fileRead(fFd, fBuffer, static_cast<int>(want));
        if (got <= 0)
            return false;
        fFill = static_cast<size_t>(got);
        fLeft -= fFill;
        return true;
    }

    int fFd;
    uint64_t fLeft;
    unsigned char* fBuffer;
    size_t fPos = 0;
    size_t fFill = 0;
};

class CodecOutput {
public:
    explicit CodecOutput(int fd) noexcept
        : fFd(fd), fBuffer(static_cast<unsigned char*>(std::malloc(kCapacity)))
    {
    }
    ~CodecOutput() { std::free(fBuffer); }
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
    static constexpr size_t kCapacity = 65536;

    int fFd;
    unsigned char* fBuffer;
    size_t fFill = 0;
    uint64_t fFlushed = 0;
    bool fFailed = false;
};

}  // namespace codecio
}  // namespace imgfmt
