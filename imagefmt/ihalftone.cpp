// Halftoning: the colour sum of each small block is shared out over the block's pixels in a
// fixed order, so that the block keeps its sum as nearly as the palette allows. Deterministic,
// with no error carried from block to block.
#include "detail/ihalftone.hpp"
#include "detail/ipalettes.hpp"

#include <cstdint>

namespace imgfmt {

namespace {

// A block's channel sum never exceeds 9 * 255 = 2295 and never drops below 0.
constexpr int kSumLimit = 2304;

struct HalftoneTables {
    unsigned char floor4[1024];
    unsigned char floor6[1024];
    unsigned char floor7[1024];
    unsigned char floor8[1024];
    uint16_t quotient[10][kSumLimit];      // [divisor][sum]
    unsigned char standardLevel[kSumLimit];  // 0 below 128, 1 below 255, else 2
    unsigned char standardBelow[3][3][3];    // a standard colour not above a level triple
};

void fillFloor(unsigned char* table, const unsigned char* levels, int count)
{
    for (int v = 0; v < 1024; ++v) {
        int index = 0;
        while (index + 1 < count && levels[index + 1] <= v)
            ++index;
        table[v] = static_cast<unsigned char>(index);
    }
}

// Among the standard colours 1 to 15 except the light grey, the one whose components are each at
// most the triple's with the least shortfall; colour 0 (black) when none is nearer.
int standardColourBelow(const int triple[3])
{
    int best = 0;
    int bestShortfall = triple[0] + triple[1] + triple[2];
    for (int i = 1; i < 16; ++i) {
        if (i == 8)
            continue;
        const unsigned char* c = kStandardColours[i];
        if (c[0] > triple[0] || c[1] > triple[1] || c[2] > triple[2])
            continue;
        const int shortfall = (triple[0] - c[0]) + (triple[1] - c[1]) + (triple[2] - c[2]);
        if (shortfall < bestShortfall) {
            bestShortfall = shortfall;
            best = i;
        }
    }
    return best;
}

const HalftoneTables& tables()
{
    static const HalftoneTables* const built = [] {
        static HalftoneTables t;
        fillFloor(t.floor4, kLevels4, 4);
        fillFloor(t.floor6, kLevels6, 6);
        fillFloor(t.floor7, kLevels7, 7);
        fillFloor(t.floor8, kLevels8, 8);
        for (int d = 1; d < 10; ++d)
            for (int v = 0; v < kSumLimit; ++v)
                t.quotient[d][v] = static_cast<uint16_t>(v / d);
        for (int v = 0; v < kSumLimit; ++v)
            t.standardLevel[v] = static_cast<unsigned char>(v < 128 ? 0 : v < 255 ? 1 : 2);
        static const int levelValue[3] = {0, 128, 255};
        for (int r = 0; r < 3; ++r)
            for (int g = 0; g < 3; ++g)
                for (int b = 0; b < 3; ++b) {
                    const int triple[3] = {levelValue[r], levelValue[g], levelValue[b]};
                    t.standardBelow[r][g][b] =
                        static_cast<unsigned char>(standardColourBelow(triple));
                }
        return &t;
    }();
    return *built;
}

// What one pixel of a block gets: its index (or masked bytes) and the values taken from the sums.
struct Share {
    int index;
    int value[3];  // blue, green, red
};

// Each rule picks pixel k's share of a block of n pixels from the channel sums (blue, green, red).
struct Colours8Rule {
    static constexpr int bpp = 4;
    Share operator()(const HalftoneTables& t, const int sum[3], int n, int k) const
    {
        Share s{0, {0, 0, 0}};
        for (int c = 0; c < 3; ++c)
            s.value[c] = t.quotient[n - k][sum[c]] >= 255 ? 255 : 0;
        s.index = (s.value[2] ? 4 : 0) + (s.value[1] ? 2 : 0) + (s.value[0] ? 1 : 0);
        return s;
    }
};

struct Standard16Rule {
    static constexpr int bpp = 4;
    Share operator()(const HalftoneTables& t, const int sum[3], int n, int k) const
    {
        const int divisor = n - k;
        const int i = t.standardBelow[t.standardLevel[t.quotient[divisor][sum[2]]]]
                                     [t.standardLevel[t.quotient[divisor][sum[1]]]]
                                     [t.standardLevel[t.quotient[divisor][sum[0]]]];
        const unsigned char* c = kStandardColours[i];
        return {i, {c[2], c[1], c[0]}};
    }
};

struct Cube784Rule {
    static constexpr int bpp = 8;
    Share operator()(const HalftoneTables& t, const int sum[3], int n, int k) const
    {
        const int divisor = n - k;
        const int r = t.floor7[t.quotient[divisor][sum[2]]];
        const int g = t.floor8[t.quotient[divisor][sum[1]]];
        const int b = t.floor4[t.quotient[divisor][sum[0]]];
        return {32 * r + 4 * g + b, {kLevels4[b], kLevels8[g], kLevels7[r]}};
    }
};

struct Cube666Rule {
    static constexpr int bpp = 8;
    Share operator()(const HalftoneTables& t, const int sum[3], int n, int k) const
    {
        const int divisor = n - k;
        const int r = t.floor6[t.quotient[divisor][sum[2]]];
        const int g = t.floor6[t.quotient[divisor][sum[1]]];
        const int b = t.floor6[t.quotient[divisor][sum[0]]];
        return {36 * r + 6 * g + b, {kLevels6[b], kLevels6[g], kLevels6[r]}};
    }
};

struct BitMaskRule {
    static constexpr int bpp = 24;
    unsigned mask[3];
    Share operator()(const HalftoneTables& t, const int sum[3], int n, int k) const
    {
        Share s{0, {0, 0, 0}};
        for (int c = 0; c < 3; ++c) {
            const int q = k == n - 1 ? (sum[c] < 255 ? sum[c] : 255) : t.quotient[n - k][sum[c]];
            s.value[c] = static_cast<int>(q & mask[c]);
        }
        return s;
    }
    // What the masks leave over is cut so that the next pixels do not inherit more than they
    // can show: at most three pixels' worth after the first, two after the second.
    static void cut(int sum[3], int k)
    {
        const int limit = k == 0 ? 765 : k == 1 ? 510 : kSumLimit;
        for (int c = 0; c < 3; ++c)
            if (sum[c] > limit)
                sum[c] = limit;
    }
};

template <class Rule>
void cutAfter(const Rule&, int[3], int) {}
void cutAfter(const BitMaskRule&, int sum[3], int k) { BitMaskRule::cut(sum, k); }

inline void putShare(unsigned char* row, int x, int bpp, const Share& s)
{
    switch (bpp) {
    case 4:
        // Pixels of a row are written left to right, so the low nibble always joins a byte
        // whose high nibble is already there.
        if (x & 1)
            row[x >> 1] = static_cast<unsigned char>(row[x >> 1] | s.index);
        else
            row[x >> 1] = static_cast<unsigned char>(s.index << 4);
        break;
    case 8:
        row[x] = static_cast<unsigned char>(s.index);
        break;
    default:
        row[3 * x] = static_cast<unsigned char>(s.value[0]);
        row[3 * x + 1] = static_cast<unsigned char>(s.value[1]);
        row[3 * x + 2] = static_cast<unsigned char>(s.value[2]);
        break;
    }
}

// Blocks are laid from the first row in memory and the first column; the last blocks of a row
// or column are narrower or lower. Within a block the order is row by row, left to right.
template <class Rule>
void halftoneBlocks(const MOD& source, MOD& out, int side, const Rule& rule)
{
    const HalftoneTables& t = tables();
    const size_t sourceRow = static_cast<size_t>(ModRowBytes(source.width, 24));
    const size_t outRow = static_cast<size_t>(ModRowBytes(out.width, out.bpp));
    for (int y0 = 0; y0 < source.height; y0 += side) {
        const int rows = source.height - y0 < side ? source.height - y0 : side;
        for (int x0 = 0; x0 < source.width; x0 += side) {
            const int columns = source.width - x0 < side ? source.width - x0 : side;
            const int n = rows * columns;
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < rows; ++dy) {
                const unsigned char* p = source.data + (y0 + dy) * sourceRow + 3 * size_t(x0);
                for (int dx = 0; dx < columns; ++dx, p += 3) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            int k = 0;
            for (int dy = 0; dy < rows; ++dy) {
                unsigned char* row = out.data + (y0 + dy) * outRow;
                for (int dx = 0; dx < columns; ++dx, ++k) {
                    const Share s = rule(t, sum, n, k);
                    putShare(row, x0 + dx, Rule::bpp, s);
                    for (int c = 0; c < 3; ++c)
                        sum[c] -= s.value[c];
                    cutAfter(rule, sum, k);
                }
            }
        }
    }
}

}  // namespace

void halftone(const MOD& source, MOD& out, int kind, const unsigned masks[3])
{
    switch (kind) {
    case 1: halftoneBlocks(source, out, 3, Standard16Rule{}); break;
    case 2: halftoneBlocks(source, out, 3, Colours8Rule{}); break;
    case 4: halftoneBlocks(source, out, 2, Cube784Rule{}); break;
    case 5: halftoneBlocks(source, out, 2, Cube666Rule{}); break;
    case 8: halftoneBlocks(source, out, 2, BitMaskRule{{masks[0], masks[1], masks[2]}}); break;
    default: break;
    }
}

}  // namespace imgfmt
