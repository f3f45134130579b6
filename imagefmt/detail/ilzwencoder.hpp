// The LZW string builder shared by the GIF and TIFF writers. Both formats build strings the
// same way and differ only in how codes are packed and in when the code width grows, so the
// packing is the sink's business and the growth rule a flag.
//
// Strings are found in a hash table keyed on (prefix code, pixel). Which slot holds an entry
// does not change the codes written, only the time taken to find it: a hash that also mixes in
// the string's length collapses onto a single slot for the long strings of a one-colour area,
// and then every pixel scans thousands of entries.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace imgfmt {
namespace codecio {

template <class Sink>
class LzwEncoder {
public:
    // earlyChange: TIFF widens the code one code early (at limit - 1); GIF at the limit.
    LzwEncoder(Sink& sink, int firstWidth, bool earlyChange) noexcept
        : fSink(sink), fClear(1u << (firstWidth - 1)), fEnd(fClear + 1), fFirstWidth(firstWidth),
          fEarlyChange(earlyChange)
    {
        fSlotTable.reset(new (std::nothrow) uint32_t[kHashSize]());
        fCodeTable.reset(new (std::nothrow) uint16_t[kHashSize]);
        fSlots = fSlotTable.get();
        fCodes = fCodeTable.get();
        reset();
    }
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    bool ok() const noexcept { return fSlots != nullptr && fCodes != nullptr; }

    void start() noexcept { fSink.code(fClear, fWidth); }

    void add(unsigned p) noexcept
    {
        if (!fPending) {
            begin(p);
            return;
        }
        const uint32_t key = fPrefix << 8 | p;
        const uint32_t want = fGeneration << 20 | key;
        uint32_t h = (key * 2654435761u) >> (32 - kHashBits);
        for (;;) {
            const uint32_t slot = fSlots[h];
            if (slot == want) {
                fPrefix = fCodes[h];
                return;
            }
            if (slot >> 20 != fGeneration)
                break;
            h = (h + 1) & (kHashSize - 1);
        }
        fSink.code(fPrefix, fWidth);
        unsigned code = ++fLast;
        fSlots[h] = want;
        fCodes[h] = static_cast<uint16_t>(code);
        begin(p);
        if (code >= (fEarlyChange ? fLimit - 1 : fLimit)) {
            ++fWidth;
            fLimit <<= 1;
        } else if (code >= 4094) {
            // The table is full: the pending pixel goes out alone, then the clear code, both
            // still at the full width, and the next pixel starts afresh.
            fSink.code(p, fWidth);
            fSink.code(fClear, fWidth);
            reset();
        }
    }

    void finish() noexcept
    {
        if (fPending)
            fSink.code(fPrefix, fWidth);
        fSink.code(fEnd, fWidth);
    }

private:
    // Four times the most entries the table can hold, so that probes stay short.
    static constexpr int kHashBits = 14;
    static constexpr uint32_t kHashSize = 1u << kHashBits;

    void begin(unsigned p) noexcept
    {
        fPrefix = p;
        fPending = true;
    }

    // Each slot carries the generation it was filled in, so clearing the table is one increment;
    // only when the generation counter wraps are the slots really wiped.
    void reset() noexcept
    {
        fLast = fEnd;
        fWidth = fFirstWidth;
        fLimit = 1u << fFirstWidth;
        fPending = false;
        if (++fGeneration == 4096) {
            fGeneration = 1;
            if (fSlots != nullptr)
                std::memset(fSlots, 0, kHashSize * sizeof(uint32_t));
        }
    }

    Sink& fSink;
    // The hash table of the strings defined so far (empty slots are 0) and their codes.
    std::unique_ptr<uint32_t[]> fSlotTable;
    std::unique_ptr<uint16_t[]> fCodeTable;
    uint32_t* fSlots = nullptr;
    uint16_t* fCodes = nullptr;
    const unsigned fClear;
    const unsigned fEnd;
    const int fFirstWidth;
    const bool fEarlyChange;
    uint32_t fGeneration = 0;
    unsigned fLast = 0;
    int fWidth = 0;
    unsigned fLimit = 0;
    unsigned fPrefix = 0;
    bool fPending = false;
};

}  // namespace codecio
}  // namespace imgfmt
