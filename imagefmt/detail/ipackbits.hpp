// The byte-run decoder that TIFF calls PackBits and ILBM calls ByteRun1: a header byte n below
// 128 is followed by n + 1 literal bytes, one above 128 by a byte repeated 257 - n times.
#pragma once

#include "icodecstream.hpp"

#include <iimgfmt.hpp>

#include <cstddef>
#include <cstring>

namespace imgfmt {

// Where the two formats' readers part: what the header byte 128 means, and whether the rest of
// a literal that passes the end of the output is read past, so that the next row starts after
// it (ILBM decodes row by row from one stream; TIFF starts each strip at its own offset).
struct ByteRunDialect {
    bool repeatAt128;
    bool skipLiteralTail;
};

constexpr ByteRunDialect kPackBitsDialect = {false, false};
constexpr ByteRunDialect kByteRun1Dialect = {true, true};

// Fills out[0, n) from the input; a run that passes the end is cut there. 0, or
// ModCodecShortRead when the input ends first.
inline int unpackByteRuns(codecio::CodecInput& in, unsigned char* out, size_t n,
                          ByteRunDialect dialect) noexcept
{
    size_t pos = 0;
    while (pos < n) {
        const int b = in.get();
        if (b < 0)
            return ModCodecShortRead;
        if (b < 128) {
            const size_t count = static_cast<size_t>(b) + 1;
            const size_t take = count < n - pos ? count : n - pos;
            if (!in.readExact(out + pos, take) ||
                (dialect.skipLiteralTail && !in.skip(count - take)))
                return ModCodecShortRead;
            pos += take;
        } else if (b > 128 || dialect.repeatAt128) {
            const int v = in.get();
            if (v < 0)
                return ModCodecShortRead;
            const size_t count = 257 - static_cast<size_t>(b);
            const size_t take = count < n - pos ? count : n - pos;
            std::memset(out + pos, v, take);
            pos += take;
        }
    }
    return 0;
}

}  // namespace imgfmt
