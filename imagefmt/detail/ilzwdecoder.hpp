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

    struct Buffers {
        // One spare slot past the table: see Pass::define.
        Entry table[kTableSize + 1];
        int literalBits = -1;  // the dialect the literals' entries were made for
        unsigned literalMask = 0;
        unsigned char raw[kRawBytes + kSlack];
    };

    template <bool Msb, bool Tiff, class Source>
    class Pass;

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
    OVK_LZW_INLINE Result body(const Dialect& d, Source& source, unsigned char* out,
                               size_t n) noexcept
    {
        makeLiterals<Tiff>(d);
        return Pass<Msb, Tiff, Source>(*fBuffers, d, source, out, n).decode();
    }

    // The literals' entries never change while the dialect stays: a reader of many strips makes
    // them once.
    template <bool Tiff>
    OVK_LZW_INLINE void makeLiterals(const Dialect& d) noexcept
    {
        Buffers& b = *fBuffers;
        if (b.literalBits == d.literalBits && b.literalMask == d.literalMask)
            return;
        const unsigned clear = Tiff ? 256u : 1u << d.literalBits;
        for (unsigned c = 0; c < clear; ++c)
            b.table[c] = Entry{c & d.literalMask, 0, 1};
        b.literalBits = d.literalBits;
        b.literalMask = d.literalMask;
    }

    std::unique_ptr<Buffers> fBuffers;
};

// One call of decode: the loop's state and its steps. Every step is inlined into the one
// function that runs the loop, so the state stays in registers as that function's locals would.
template <bool Msb, bool Tiff, class Source>
class Decoder::Pass {
public:
    OVK_LZW_INLINE Pass(Buffers& buffers, const Dialect& d, Source& source, unsigned char* out,
                        size_t n) noexcept
        : fTable(buffers.table),
          fRaw(buffers.raw),
          fSource(source),
          fClear(Tiff ? 256u : 1u << d.literalBits),
          fFirstFree(fClear + 2),
          fEarly(Tiff || d.earlyChange ? 1 : 0),
          fFirstWidth(Tiff ? 9 : d.literalBits + 1),
          fOut(out),
          fEnd(out + n),
          fFastEnd(n > kHeadBytes ? fEnd - kHeadBytes : out),
          fAt(out),
          fRead(buffers.raw),
          fReadEnd(buffers.raw),
          fWidth(fFirstWidth),
          fMask((1u << fWidth) - 1),
          fNext(fFirstFree),
          fWiden((1u << fWidth) - fEarly)
    {
    }

    // After the first code of the first table, the fast passes run while far from the end of
    // the output and the careful one after them.
    OVK_LZW_INLINE Result decode() noexcept
    {
        if (fAt < fEnd && startTable()) {
            while (fAt < fFastEnd) {
                if (!literals() || !strings())
                    return stopped();
            }
            tail();
        }
        return stopped();
    }

private:
    OVK_LZW_INLINE Result stopped() const noexcept
    {
        return Result{fStop, static_cast<size_t>(fAt - fOut)};
    }

    OVK_LZW_INLINE bool stopWith(Ending ending) noexcept
    {
        fStop = ending;
        return false;
    }

    // ---- The passes ----
    // Far from the end, the decoder is in one of two states: after a literal, when the previous
    // string is the byte just written (data that hardly repeats is nearly all literals, each a
    // byte of output), or after a longer string, in fOldHead and fOldLength. Literals can be no
    // control code and refer to no entry not yet defined. Each pass returns false when decoding
    // stops, with the reason in fStop.

    // Literals in a row, until a code that is not one (taken here) or the fast end.
    OVK_LZW_INLINE bool literals() noexcept
    {
        while (fAt < fFastEnd) {
            unsigned code;
            if (!nextCode(code))
                return false;
            if (code < fClear) {
                const uint64_t literal = literalOf(code);
                // A two-byte entry is written from its head alone: its start is never read.
                fTable[fNext] = Entry{uint64_t(fAt[-1]) | literal << 8, 0, 2};
                if (++fNext >= fWiden)
                    grow();
                *fAt++ = static_cast<unsigned char>(literal);
                continue;
            }
            afterLiteral();
            return string<true>(code);
        }
        afterLiteral();
        return true;
    }

    // Strings in a row, until a literal (taken here) or the fast end.
    OVK_LZW_INLINE bool strings() noexcept
    {
        while (fAt < fFastEnd) {
            unsigned code;
            if (!nextCode(code))
                return false;
            if (code < fClear) {
                putLiteral(code);
                return true;
            }
            if (!string<true>(code))
                return false;
        }
        return true;
    }

    // The last bytes of the output, where every string checks its room.
    OVK_LZW_INLINE bool tail() noexcept
    {
        while (fAt < fEnd) {
            unsigned code;
            if (!nextCode(code))
                return false;
            if (code < fClear)
                putLiteral(code);
            else if (!string<false>(code))
                return false;
        }
        return true;
    }

    // ---- One code ----
    // The previous string is the byte just written.
    OVK_LZW_INLINE void afterLiteral() noexcept
    {
        fOldHead = fAt[-1];
        fOldLength = 1;
    }

    // A literal's byte: the code itself in TIFF, else its entry's (the palette's mask).
    OVK_LZW_INLINE uint64_t literalOf(unsigned code) const noexcept
    {
        return Tiff ? code : fTable[code].head;
    }

    OVK_LZW_INLINE void putLiteral(unsigned code) noexcept
    {
        const uint64_t literal = literalOf(code);
        define(literal);
        *fAt++ = static_cast<unsigned char>(literal);
        fOldHead = literal;
        fOldLength = 1;
    }

    // A code that is not a literal. Far from the end of the output (`Fast`), a string of up to
    // eight bytes is written without checking the room, and a longer one makes put's check
    // against fFastEnd, kHeadBytes before the end, which the loop holds in a register where
    // fEnd is not.
    template <bool Fast>
    OVK_LZW_INLINE bool string(unsigned code) noexcept
    {
        // A code beyond the next free one refers to nothing yet defined. The next free one
        // itself is the string being defined right now: the previous string and its own first
        // byte.
        if (code > fNext)
            return stopWith(Ending::Corrupt);
        if (code <= fClear + 1)
            return code == fClear ? restart() : stopWith(Ending::EndCode);
        define((code == fNext ? fOldHead : fTable[code].head) & 0xFF);
        const Entry entry = fTable[code];
        fOldHead = entry.head;
        fOldLength = entry.length;
        emit<Fast>(entry);
        return true;
    }

    // Writes the string of an entry at the output's position.
    template <bool Fast>
    OVK_LZW_INLINE void emit(const Entry& entry) noexcept
    {
        const uint64_t head = entry.head;
        const size_t length = entry.length;
        const unsigned char* src = fAt - static_cast<uint32_t>(low32(fAt) - entry.start);
        if (Fast && length <= kHeadBytes) {
            storeHead(fAt, head);
            fAt += length;
        } else if (Fast && size_t(fFastEnd - fAt) >= length + kRunPast - kHeadBytes) {
            fAt = write(fAt, head, length, src);
        } else {
            fAt = put(fAt, head, length, src, fEnd);
        }
    }

    // ---- The table ----
    // A clear code: the table starts again.
    OVK_LZW_INLINE bool restart() noexcept
    {
        fWidth = fFirstWidth;
        fMask = (1u << fWidth) - 1;
        fWiden = (1u << fWidth) - fEarly;
        fNext = fFirstFree;
        return startTable();
    }

    // The first code of a table: a literal, another clear, or the end. After it there always is
    // a previous string.
    OVK_LZW_INLINE bool startTable() noexcept
    {
        for (;;) {
            unsigned code;
            if (!nextCode(code))
                return false;
            if (code == fClear)
                continue;
            if (code == fClear + 1)
                return stopWith(Ending::EndCode);
            // Nothing but the literals is defined yet.
            if (code > fClear)
                return stopWith(Ending::Corrupt);
            fOldHead = fTable[code].head;
            fOldLength = 1;
            *fAt++ = static_cast<unsigned char>(fOldHead);
            return true;
        }
    }

    // The previous string and the first byte of this one, which follows it, become the next
    // free code. The byte joins the head; from the eighth on the bytes all go to the top byte,
    // which is then the string's only while it is eight bytes long.
    OVK_LZW_INLINE void define(uint64_t first) noexcept
    {
        const int shift = fOldLength < 7 ? 8 * static_cast<int>(fOldLength) : 56;
        fTable[fNext] = Entry{fOldHead | first << shift, low32(fAt) - fOldLength, fOldLength + 1};
        if (++fNext >= fWiden)
            grow();
    }

    // The code after the last one widens the codes, or the table is full: from then on entries
    // go to the spare slot past its end, which no code can name.
    OVK_LZW_INLINE void grow() noexcept
    {
        if (fNext > kTableSize) {
            fNext = kTableSize;
        } else if (fWidth < 12) {
            ++fWidth;
            fMask = fMask << 1 | 1;
            fWiden = (1u << fWidth) - fEarly;
        } else {
            fWiden = kTableSize;
        }
    }

    // ---- The input ----
    // The next code; false when the input has ended.
    OVK_LZW_INLINE bool nextCode(unsigned& code) noexcept
    {
        if (fBits < fWidth) {
            if (fReadEnd - fRead >= 8)
                takeWord();
            else if (!refill())
                return stopWith(Ending::InputEnded);
        }
        if (Msb) {
            code = static_cast<unsigned>(fAcc >> (64 - fWidth));
            fAcc <<= fWidth;
        } else {
            code = static_cast<unsigned>(fAcc) & fMask;
            fAcc >>= fWidth;
        }
        fBits -= fWidth;
        return true;
    }

    // Takes the next whole bytes of a word of input into the reservoir, which then holds at
    // least 56 bits.
    OVK_LZW_INLINE void takeWord() noexcept
    {
        const uint64_t word = load64(fRead, Msb);
        if (Msb)
            fAcc |= word >> fBits;
        else
            fAcc |= word << fBits;
        fRead += (63 - fBits) >> 3;
        fBits |= 56;
    }

    // Tops the reservoir up to at least fWidth bits when fewer than eight bytes of input are
    // buffered: false when the input has ended first.
    OVK_LZW_INLINE bool refill() noexcept
    {
        if (!fSourceEnded) {
            const size_t tail = static_cast<size_t>(fReadEnd - fRead);
            std::memmove(fRaw, fRead, tail);
            fRead = fRaw;
            fReadEnd = fRaw + tail;
            const size_t got = fSource.fill(fRaw + tail, kRawBytes - tail);
            fSourceEnded = got == 0;
            fReadEnd += got;
        }
        if (fReadEnd - fRead >= 8) {
            takeWord();
            return true;
        }
        while (fBits <= 56 && fRead < fReadEnd) {
            if (Msb)
                fAcc |= uint64_t(*fRead++) << (56 - fBits);
            else
                fAcc |= uint64_t(*fRead++) << fBits;
            fBits += 8;
        }
        return fBits >= fWidth;
    }

    Entry* const fTable;
    unsigned char* const fRaw;
    Source& fSource;
    const unsigned fClear;
    const unsigned fFirstFree;
    const unsigned fEarly;
    const int fFirstWidth;
    unsigned char* const fOut;
    unsigned char* const fEnd;
    // Until a head's width from the end, literals and strings of up to eight bytes (nearly every
    // code of data that hardly repeats) are written without checking the room; a longer string
    // checks it, which costs little beside its copy. So all but the last few bytes of the output
    // are decoded in the fast passes, whatever strings the table holds: a default strip of 8 KiB
    // as much as a whole picture.
    unsigned char* const fFastEnd;
    unsigned char* fAt;
    const unsigned char* fRead;
    const unsigned char* fReadEnd;
    bool fSourceEnded = false;
    // The bit reservoir: the next bits at its top (most significant first) or at its bottom
    // (least significant first), fBits of them valid.
    uint64_t fAcc = 0;
    int fBits = 0;
    int fWidth;
    unsigned fMask;
    unsigned fNext;
    unsigned fWiden;
    // The previous string, which ends where the output stands: its head word and its length.
    uint64_t fOldHead = 0;
    uint32_t fOldLength = 0;
    Ending fStop = Ending::Full;
};

}  // namespace lzw
}  // namespace imgfmt
