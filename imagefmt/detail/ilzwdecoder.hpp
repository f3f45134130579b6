// The LZW decoder of the GIF and TIFF codecs. Every string of the table is a stretch of output
// already decoded (the previous string and the first byte of the string after it), so an entry
// is just the offset where that stretch starts and its length: a code is copied forward from
// there straight into the output in one pass, with no chain of prefixes walked and no stack to
// turn a string round. The two formats differ only in bit order, the size of a literal, and
// whether the code width grows one code early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <cpuid.h>
#endif

namespace imgfmt {
namespace lzw {

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// Where the processor has BMI2 (not part of the baseline the library is compiled for), the
// decoding loop is compiled a second time to use it; the processor is asked once.
#define OVK_LZW_BMI2 1
// The loop's state lives in local variables that its lambdas share: a lambda left out of line
// takes their addresses, and the whole state would then be kept in memory rather than registers.
#define OVK_LZW_INLINE __attribute__((always_inline)) inline
#define OVK_LZW_HOT __attribute__((always_inline))

inline bool hasBmi2() noexcept
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_BMI2) != 0;
    }();
    return has;
}
#else
#define OVK_LZW_INLINE inline
#define OVK_LZW_HOT
#endif

#if defined(__GNUC__) && !defined(__clang__)
// GCC allocates the registers of a large function region by region (each loop on its own) and
// then moves values between registers and the stack at every crossing: the decoder's loops are
// entered and left at nearly every code of data that alternates literals and short strings, so
// its function is allocated as one region, which keeps the loop state in the same registers
// throughout: a tenth faster on such data, within a few hundredths either way on the rest.
#define OVK_LZW_LOOP __attribute__((optimize("ira-region=one")))
#else
#define OVK_LZW_LOOP
#endif

enum class Ending {
    Full,       // the output is full
    EndCode,    // the end-of-information code came first
    InputEnded, // the input ended first
    Corrupt     // a code that refers to nothing defined
};

struct Result {
    Ending ending;
    size_t produced;  // bytes written from the start of the output
};

struct Dialect {
    int literalBits;        // bits of a literal: the GIF code size, 8 for TIFF
    bool msbFirst;          // TIFF packs codes from the most significant bit, GIF from the least
    bool earlyChange;       // TIFF widens the code one code before the table needs it
    unsigned literalMask;   // the bits of a literal that make a pixel
};

// Source: a class with size_t fill(unsigned char* to, size_t room), the next bytes of the code
// stream (0 when it has ended).
class Decoder {
public:
    // The table and the input buffer are allocated once, without throwing: check ok().
    Decoder() : fBuffers(new (std::nothrow) Buffers) {}
    bool ok() const noexcept { return fBuffers != nullptr; }

    // Fills out[0, n) from the codes; a string that would pass the end is cut there. Every
    // write lies inside out[0, n): the whole-word copies, which run up to 23 bytes past a
    // string's end, are made only where that much room is left, and the copy goes byte by byte
    // from there, so the rows behind the output (the model's own) are never touched.
    template <class Source>
    Result decode(const Dialect& d, Source& source, unsigned char* out, size_t n) noexcept
    {
        // TIFF's dialect is compiled with its constants: the clear code, the early change and
        // literals that are their own bytes then take no register in the loop.
        const bool tiff =
            d.msbFirst && d.earlyChange && d.literalBits == 8 && d.literalMask == 0xFF;
#if defined(OVK_LZW_BMI2)
        if (hasBmi2()) {
            if (tiff)
                return runBmi2<true, true>(d, source, out, n);
            return d.msbFirst ? runBmi2<true, false>(d, source, out, n)
                              : runBmi2<false, false>(d, source, out, n);
        }
#endif
        if (tiff)
            return run<true, true>(d, source, out, n);
        return d.msbFirst ? run<true, false>(d, source, out, n)
                          : run<false, false>(d, source, out, n);
    }

private:
    static constexpr unsigned kTableSize = 4096;
    static constexpr size_t kRawBytes = 32768;
    static constexpr size_t kSlack = 8;

    // Each code's entry: the start of its string in a word (byte i at bits 8i), where the string
    // was decoded and its length. The word holds a string of up to eight bytes whole, with the
    // bytes past its end 0; of a longer string it holds the first seven bytes and a top byte
    // that is no byte of it. Strings of up to eight bytes, nearly every code of data that hardly
    // repeats, are written from the word alone, and the sixteen-byte entries of the whole table
    // stay in the fastest cache.
    static constexpr size_t kHeadBytes = 8;
    // The room a whole-word write of a string needs beyond the string's own bytes.
    static constexpr size_t kRunPast = 23;
    struct Entry {
        uint64_t head;
        // Where the string was decoded: the low 32 bits of its address, so that finding it
        // takes the output's position alone (no string lies 4 GiB back).
        uint32_t start;
        uint32_t length;
    };
    static uint64_t load64(const unsigned char* p, bool bigEndian) noexcept
    {
        uint64_t v;
        std::memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        return bigEndian ? v : __builtin_bswap64(v);
#else
        return bigEndian ? __builtin_bswap64(v) : v;
#endif
    }

    // Stores the eight bytes of a head, byte 0 first.
    static void storeHead(unsigned char* o, uint64_t head) noexcept
    {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        head = __builtin_bswap64(head);
#endif
        std::memcpy(o, &head, 8);
    }

    static uint32_t low32(const unsigned char* p) noexcept
    {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
    }

    template <size_t N>
    static void movePiece(unsigned char* to, const unsigned char* from) noexcept
    {
        unsigned char piece[N];
        std::memcpy(piece, from, N);
        std::memcpy(to, piece, N);
    }

    // Writes a string forward at o, far enough from the end that what runs past it stays in the
    // output (and is overwritten by the strings after it). A string of up to eight bytes (nearly
    // every code of data that hardly repeats) is the head word's one store, without reading
    // output that was written a moment ago, which would wait for those stores; a longer one adds
    // pieces of sixteen bytes from where it was decoded before, from its eighth byte on. Each
    // piece is loaded whole before it is stored, after the stores before it: the string being
    // defined right now repeats its own start, and the one byte of it that lies in the output
    // being written (its last, the copy of its first) is then read where it already stands.
    static unsigned char* write(unsigned char* o, uint64_t head, size_t length,
                                const unsigned char* src) noexcept
    {
        storeHead(o, head);
        if (length > kHeadBytes) {
            for (size_t i = kHeadBytes - 1; i < length; i += 16)
                movePiece<16>(o + i, src + i);
        }
        return o + length;
    }

    // Writes the string of a code forward at o, cut at end; returns the new o. Close to the end
    // the copy goes byte by byte.
    static unsigned char* put(unsigned char* o, uint64_t head, size_t length,
                              const unsigned char* src, unsigned char* end) noexcept
    {
        const size_t room = static_cast<size_t>(end - o);
        if (room >= length + kRunPast)
            return write(o, head, length, src);
        const size_t n = length < room ? length : room;
        if (length <= kHeadBytes) {
            for (size_t i = 0; i < n; ++i)
                o[i] = static_cast<unsigned char>(head >> (8 * i));
        } else {
            for (size_t i = 0; i < n; ++i)
                o[i] = src[i];
        }
        return o + n;
    }

    template <bool Msb, bool Tiff, class Source>
    OVK_LZW_LOOP Result run(const Dialect& d, Source& source, unsigned char* out,
                            size_t n) noexcept
    {
        return body<Msb, Tiff>(d, source, out, n);
    }

#if defined(OVK_LZW_BMI2)
    // The same loop with the shifts of the bit reservoir that take their count from any register
    // and leave the flags alone: most of a code's work is shifting.
    template <bool Msb, bool Tiff, class Source>
    __attribute__((target("bmi2"))) OVK_LZW_LOOP Result runBmi2(const Dialect& d,
                                                                Source& source,
                                                                unsigned char* out,
                                                                size_t n) noexcept
    {
        return body<Msb, Tiff>(d, source, out, n);
    }
#endif

    template <bool Msb, bool Tiff, class Source>
    OVK_LZW_INLINE Result body(const Dialect& d, Source& source, unsigned char* const out,
                               size_t n) noexcept
    {
        Entry* const table = fBuffers->table;
        unsigned char* const raw = fBuffers->raw;
        const unsigned clear = Tiff ? 256u : 1u << d.literalBits;
        const unsigned firstFree = clear + 2;
        // The literals' entries never change while the dialect stays: a reader of many strips
        // makes them once.
        if (fBuffers->literalBits != d.literalBits || fBuffers->literalMask != d.literalMask) {
            for (unsigned c = 0; c < clear; ++c)
                table[c] = Entry{c & d.literalMask, 0, 1};
            fBuffers->literalBits = d.literalBits;
            fBuffers->literalMask = d.literalMask;
        }
        const unsigned early = Tiff || d.earlyChange ? 1 : 0;
        const int firstWidth = Tiff ? 9 : d.literalBits + 1;
        // A literal's byte: the code itself in TIFF, else its entry's (the palette's mask).
        auto literalOf = [&](unsigned code) OVK_LZW_HOT -> uint64_t {
            return Tiff ? code : table[code].head;
        };
        unsigned char* o = out;
        unsigned char* const end = out + n;
        const unsigned char* rp = raw;
        const unsigned char* re = raw;
        bool sourceEnded = false;
        // The bit reservoir: the next bits at its top (most significant first) or at its
        // bottom (least significant first), `bits` of them valid.
        uint64_t acc = 0;
        int bits = 0;
        int width = firstWidth;
        unsigned mask = (1u << width) - 1;
        unsigned next = firstFree;
        unsigned widen = (1u << width) - early;
        // Until a head's width from the end, literals and strings of up to eight bytes (nearly
        // every code of data that hardly repeats) are written without checking the room; a
        // longer string checks it, which costs little beside its copy. So all but the last few
        // bytes of the output are decoded in the fast loops, whatever strings the table holds:
        // a default strip of 8 KiB as much as a whole picture.
        unsigned char* const fastEnd = n > kHeadBytes ? end - kHeadBytes : out;
        // The previous string, which ends where the output stands: its head word and its
        // length. After a clear the first code is taken on its own, so that in the loop below
        // there always is a previous string.
        uint64_t oldHead = 0;
        uint32_t oldLength = 0;

        // Takes the next whole bytes of a word of input into the reservoir, which then holds
        // at least 56 bits.
        auto takeWord = [&]() OVK_LZW_HOT {
            const uint64_t word = load64(rp, Msb);
            if (Msb)
                acc |= word >> bits;
            else
                acc |= word << bits;
            rp += (63 - bits) >> 3;
            bits |= 56;
        };
        // Tops the reservoir up to at least `width` bits when fewer than eight bytes of input
        // are buffered: false when the input has ended first.
        auto refill = [&]() OVK_LZW_HOT -> bool {
            if (!sourceEnded) {
                const size_t tail = static_cast<size_t>(re - rp);
                std::memmove(raw, rp, tail);
                rp = raw;
                re = raw + tail;
                const size_t got = source.fill(raw + tail, kRawBytes - tail);
                sourceEnded = got == 0;
                re += got;
            }
            if (re - rp >= 8) {
                takeWord();
                return true;
            }
            while (bits <= 56 && rp < re) {
                if (Msb)
                    acc |= uint64_t(*rp++) << (56 - bits);
                else
                    acc |= uint64_t(*rp++) << bits;
                bits += 8;
            }
            return bits >= width;
        };
        // The next code; false when the input has ended.
        auto nextCode = [&](unsigned& code) OVK_LZW_HOT -> bool {
            if (bits < width) {
                if (re - rp >= 8)
                    takeWord();
                else if (!refill())
                    return false;
            }
            if (Msb) {
                code = static_cast<unsigned>(acc >> (64 - width));
                acc <<= width;
            } else {
                code = static_cast<unsigned>(acc) & mask;
                acc >>= width;
            }
            bits -= width;
            return true;
        };
        auto produced = [&]() OVK_LZW_HOT { return static_cast<size_t>(o - out); };
        // The first code of a table: a literal, another clear, or the end.
        auto startTable = [&]() OVK_LZW_HOT -> Ending {
            for (;;) {
                unsigned code;
                if (!nextCode(code))
                    return Ending::InputEnded;
                if (code == clear)
                    continue;
                if (code == clear + 1)
                    return Ending::EndCode;
                // Nothing but the literals is defined yet.
                if (code > clear)
                    return Ending::Corrupt;
                oldHead = table[code].head;
                oldLength = 1;
                *o++ = static_cast<unsigned char>(oldHead);
                return Ending::Full;
            }
        };
        // The code after the last one widens the codes, or the table is full: from then on
        // entries go to the spare slot past its end, which no code can name.
        auto grow = [&]() OVK_LZW_HOT {
            if (next > kTableSize) {
                next = kTableSize;
            } else if (width < 12) {
                ++width;
                mask = mask << 1 | 1;
                widen = (1u << width) - early;
            } else {
                widen = kTableSize;
            }
        };
        // The previous string and the first byte of this one, which follows it, become the
        // next free code. The byte joins the head; from the eighth on the bytes all go to the
        // top byte, which is then the string's only while it is eight bytes long.
        auto define = [&](uint64_t first) OVK_LZW_HOT {
            const int shift = oldLength < 7 ? 8 * static_cast<int>(oldLength) : 56;
            table[next] = Entry{oldHead | first << shift,
                                low32(o) - oldLength, oldLength + 1};
            if (++next >= widen)
                grow();
        };
        // A code that is not a literal: false when decoding stops, with the reason in `stop`.
        // Far from the end of the output (`Fast`), a string of up to eight bytes is written
        // without checking the room, and a longer one makes put's check against fastEnd,
        // kHeadBytes before the end, which the loop holds in a register where end is not.
        Ending stop = Ending::Full;
        auto string = [&](unsigned code, auto fastTag) OVK_LZW_HOT -> bool {
            constexpr bool kFast = decltype(fastTag)::value;
            // A code beyond the next free one refers to nothing yet defined. The next free one
            // itself is the string being defined right now: the previous string and its own
            // first byte.
            if (code > next) {
                stop = Ending::Corrupt;
                return false;
            }
            if (code <= clear + 1) {
                if (code != clear) {
                    stop = Ending::EndCode;
                    return false;
                }
                width = firstWidth;
                mask = (1u << width) - 1;
                widen = (1u << width) - early;
                next = firstFree;
                stop = startTable();
                return stop == Ending::Full;
            }
            define((code == next ? oldHead : table[code].head) & 0xFF);
            const Entry entry = table[code];
            const uint64_t head = entry.head;
            const size_t length = entry.length;
            oldHead = head;
            oldLength = entry.length;
            const unsigned char* src = o - static_cast<uint32_t>(low32(o) - entry.start);
            if (kFast && length <= kHeadBytes) {
                storeHead(o, head);
                o += length;
            } else if (kFast && size_t(fastEnd - o) >= length + kRunPast - kHeadBytes) {
                o = write(o, head, length, src);
            } else {
                o = put(o, head, length, src, end);
            }
            return true;
        };

        if (o < end) {
            stop = startTable();
            if (stop != Ending::Full)
                return Result{stop, produced()};
        }
        // Far from the end, the decoder is in one of two states: after a literal, when the
        // previous string is the byte just written (data that hardly repeats is nearly all
        // literals, each a byte of output), or after a longer string, in oldHead and oldLength.
        // Literals can be no control code and refer to no entry not yet defined.
        unsigned code = 0;
        while (o < fastEnd) {
            bool toString = false;
            while (o < fastEnd) {
                if (!nextCode(code))
                    return Result{Ending::InputEnded, produced()};
                if (code < clear) {
                    const uint64_t literal = literalOf(code);
                    // A two-byte entry is written from its head alone: its start is never read.
                    table[next] = Entry{uint64_t(o[-1]) | literal << 8, 0, 2};
                    if (++next >= widen)
                        grow();
                    *o++ = static_cast<unsigned char>(literal);
                    continue;
                }
                oldHead = o[-1];
                oldLength = 1;
                if (!string(code, std::true_type{}))
                    return Result{stop, produced()};
                toString = true;
                break;
            }
            if (!toString) {
                oldHead = o[-1];
                oldLength = 1;
                break;
            }
            while (o < fastEnd) {
                if (!nextCode(code))
                    return Result{Ending::InputEnded, produced()};
                if (code < clear) {
                    const uint64_t literal = literalOf(code);
                    define(literal);
                    *o++ = static_cast<unsigned char>(literal);
                    oldHead = literal;
                    oldLength = 1;
                    break;
                }
                if (!string(code, std::true_type{}))
                    return Result{stop, produced()};
            }
        }
        while (o < end) {
            if (!nextCode(code))
                return Result{Ending::InputEnded, produced()};
            if (code < clear) {
                const uint64_t literal = literalOf(code);
                define(literal);
                oldHead = literal;
                oldLength = 1;
                *o++ = static_cast<unsigned char>(literal);
            } else if (!string(code, std::false_type{})) {
                return Result{stop, produced()};
            }
        }
        return Result{Ending::Full, n};
    }

    struct Buffers {
        // One spare slot past the table: see define.
        Entry table[kTableSize + 1];
        int literalBits = -1;  // the dialect the literals' entries were made for
        unsigned literalMask = 0;
        unsigned char raw[kRawBytes + kSlack];
    };
    std::unique_ptr<Buffers> fBuffers;
};

}  // namespace lzw
}  // namespace imgfmt
