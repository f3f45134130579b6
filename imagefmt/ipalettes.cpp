// The fixed palettes and level sets of colour reduction and halftoning.
#include "detail/ipalettes.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace imgfmt {

const unsigned char kStandardColours[16][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
    {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {128, 128, 128},
    {204, 204, 204}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

const unsigned char kLevels4[4] = {0, 85, 170, 255};
const unsigned char kLevels6[6] = {0, 51, 102, 153, 204, 255};
const unsigned char kLevels7[7] = {0, 43, 85, 128, 170, 213, 255};
const unsigned char kLevels8[8] = {0, 36, 73, 109, 146, 182, 219, 255};

namespace {

// The weight of a standard colour's squared distance: the greys are heavily penalised so that
// coloured pixels do not wash out to grey.
int64_t weightOf(int i) { return i == 7 || i == 8 ? 8 : 1; }

int standardColourByRule(int red, int green, int blue)
{
    int best = 0;
    int bestDistance = 0x1E0000;
    for (int i = 0; i < 16; ++i) {
        const int dr = red - kStandardColours[i][0];
        const int dg = green - kStandardColours[i][1];
        const int db = blue - kStandardColours[i][2];
        const int distance = static_cast<int>(weightOf(i)) * (dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// The least value of a * x * x + b * x over the whole numbers from lo to hi: at an end of the
// range, or, where the parabola opens upward, at a whole number beside its vertex.
int64_t leastOnRange(int64_t a, int64_t b, int64_t lo, int64_t hi)
{
    auto at = [a, b](int64_t x) { return a * x * x + b * x; };
    int64_t least = std::min(at(lo), at(hi));
    if (a > 0) {
        // The vertex is at -b / 2a; floor division, since -b may be negative.
        const int64_t num = -b, den = 2 * a;
        const int64_t below = num / den - (num % den != 0 && num < 0 ? 1 : 0);
        for (int64_t x = below; x <= below + 1; ++x)
            if (x > lo && x < hi)
                least = std::min(least, at(x));
    }
    return least;
}

// Whether standard colour c beats colour j everywhere in the cell of 16 x 16 x 16 colours whose
// first corner is (red, green, blue), ties going to the lower index as in the rule. The weighted
// difference of the two squared distances is a sum of one parabola a channel, so its least value
// over the cell is the sum of their least values, found exactly.
bool winsEverywhere(int c, int j, const int corner[3])
{
    const int64_t wc = weightOf(c), wj = weightOf(j);
    int64_t least = 0;
    for (int k = 0; k < 3; ++k) {
        const int64_t sc = kStandardColours[c][k], sj = kStandardColours[j][k];
        least += wj * sj * sj - wc * sc * sc;
        least += leastOnRange(wj - wc, -2 * (wj * sj - wc * sc), corner[k], corner[k] + 15);
    }
    return j < c ? least > 0 : least >= 0;
}

// The nearest standard colour of every 16 x 16 x 16 cell of the colour cube, indexed by
// (red >> 4, green >> 4, blue >> 4), where the answer is the same for all 4096 colours of the
// cell; 255 where it is not, and the rule must be applied. Worked out once, on first use, from
// bounds on each cell (the test program checks the result against the rule for every colour).
struct StandardColourCache {
    unsigned char cell[4096];

    StandardColourCache()
    {
        for (int i = 0; i < 4096; ++i) {
            const int corner[3] = {(i >> 8) << 4, ((i >> 4) & 15) << 4, (i & 15) << 4};
            const int c = standardColourByRule(corner[0], corner[1], corner[2]);
            bool uniform = true;
            for (int j = 0; j < 16 && uniform; ++j)
                uniform = j == c || winsEverywhere(c, j, corner);
            cell[i] = static_cast<unsigned char>(uniform ? c : 255);
        }
    }
};

}  // namespace

int nearestStandardColour(int red, int green, int blue)
{
    // Built on first use; C++ makes the construction of a local static thread-safe.
    static const StandardColourCache cache;
    const int cached = cache.cell[((red >> 4) << 8) | ((green >> 4) << 4) | (blue >> 4)];
    return cached != 255 ? cached : standardColourByRule(red, green, blue);
}

void writeKindPalette(int kind, unsigned char* palette)
{
    auto set = [palette](int i, int r, int g, int b) {
        palette[3 * i] = static_cast<unsigned char>(r);
        palette[3 * i + 1] = static_cast<unsigned char>(g);
        palette[3 * i + 2] = static_cast<unsigned char>(b);
    };
    switch (kind) {
    case 0:
        // White is entry 0: a dark pixel is a set bit.
        set(0, 255, 255, 255);
        set(1, 0, 0, 0);
        break;
    case 1:
        std::memcpy(palette, kStandardColours, sizeof kStandardColours);
        break;
    case 2:
        for (int i = 0; i < 16; ++i)
            set(i, i < 8 && (i & 4) ? 255 : 0, i < 8 && (i & 2) ? 255 : 0, i < 8 && (i & 1) ? 255 : 0);
        break;
    case 3:
        for (int i = 0; i < 16; ++i)
            set(i, 17 * i, 17 * i, 17 * i);
        break;
    case 4:
        for (int i = 0; i < 256; ++i)
            if (i < 224)
                set(i, kLevels7[i >> 5], kLevels8[(i >> 2) & 7], kLevels4[i & 3]);
            else
                set(i, 128, 128, 128);
        break;
    case 5:
        for (int i = 0; i < 256; ++i)
            if (i < 216)
                set(i, kLevels6[i / 36], kLevels6[(i / 6) % 6], kLevels6[i % 6]);
            else
                set(i, 128, 128, 128);
        break;
    default:
        break;
    }
}

}  // namespace imgfmt
