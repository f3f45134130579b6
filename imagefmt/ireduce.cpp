// Colour reduction of a model to a fixed palette, and error diffusion with randomly split
// weights (mode 1). Halftoning (mode 2) is in ihalftone.cpp.
#include "detail/icodec.hpp"
#include "detail/ihalftone.hpp"
#include "detail/imodelint.hpp"
#include "detail/ipalettes.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Tables built by the first conversion and kept for the process. A function-local static is
// built exactly once even when two threads convert at the same time.
struct DiffusionTables {
    unsigned char byteClamp[768];  // -256..511 to 0..255, indexed by value + 256
    int16_t errorClamp[1024];      // -512..511 to -256..255, indexed by value + 512
    unsigned char nearest4[256];
    unsigned char nearest6[256];
    unsigned char nearest7[256];
    unsigned char nearest8[256];
    unsigned char nearest16[256];
    // High byte 0..50: the share that goes right; low byte: decides the share that goes down.
    uint16_t split[256];
};

void fillNearest(unsigned char* table, const unsigned char* levels, int count)
{
    for (int v = 0; v < 256; ++v) {
        int best = 0;
        for (int i = 1; i < count; ++i)
            if (std::abs(v - levels[i]) < std::abs(v - levels[best]))
                best = i;
        table[v] = static_cast<unsigned char>(best);
    }
}

const DiffusionTables& tables()
{
    static const DiffusionTables* const built = [] {
        static DiffusionTables t;
        for (int v = -256; v < 512; ++v)
            t.byteClamp[v + 256] = static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
        for (int v = -512; v < 512; ++v)
            t.errorClamp[v + 512] = static_cast<int16_t>(v < -256 ? -256 : v > 255 ? 255 : v);
        fillNearest(t.nearest4, imgfmt::kLevels4, 4);
        fillNearest(t.nearest6, imgfmt::kLevels6, 6);
        fillNearest(t.nearest7, imgfmt::kLevels7, 7);
        fillNearest(t.nearest8, imgfmt::kLevels8, 8);
        unsigned char levels16[16];
        for (int i = 0; i < 16; ++i)
            levels16[i] = static_cast<unsigned char>(17 * i);
        fillNearest(t.nearest16, levels16, 16);
        for (auto& word : t.split)
            word = static_cast<uint16_t>(std::rand() % 0x3300);
        return &t;
    }();
    return *built;
}

inline unsigned char clampByte(const DiffusionTables& t, int v) { return t.byteClamp[v + 256]; }
inline int16_t clampError(const DiffusionTables& t, int v) { return t.errorClamp[v + 512]; }

// Shares one channel's error e out: right to the next working value, down to this pixel's error
// entry, the rest down-right to the next pixel's entry. Shifts are arithmetic: the shares of a
// negative error are negative.
inline void spread(const DiffusionTables& t, int e, unsigned w, unsigned char* nextWork,
                   int16_t* errorHere, int16_t* errorNext)
{
    const int toRight = static_cast<int>(w >> 8) * e >> 6;
    const int down = static_cast<int>((w & 0xFF) % (63 - (w >> 8))) * e >> 6;
    *nextWork = clampByte(t, *nextWork + toRight);
    *errorHere = clampError(t, *errorHere + down);
    *errorNext = clampError(t, *errorNext + (e - toRight - down));
}

// The choice of a colour kind: from blue, green, red (the order of the working row) to the
// output index and the three level values (blue, green, red).
struct ColourChoice {
    int index;
    int level[3];
};

struct Standard16 {
    static constexpr int bpp = 4;
    ColourChoice operator()(const DiffusionTables&, int b, int g, int r) const
    {
        const int i = imgfmt::nearestStandardColour(r, g, b);
        const unsigned char* c = imgfmt::kStandardColours[i];
        return {i, {c[2], c[1], c[0]}};
    }
};

struct Colours8 {
    static constexpr int bpp = 4;
    ColourChoice operator()(const DiffusionTables&, int b, int g, int r) const
    {
        const int rb = r >= 128, gb = g >= 128, bb = b >= 128;
        return {4 * rb + 2 * gb + bb, {bb * 255, gb * 255, rb * 255}};
    }
};

struct Cube784 {
    static constexpr int bpp = 8;
    ColourChoice operator()(const DiffusionTables& t, int b, int g, int r) const
    {
        const int ri = t.nearest7[r], gi = t.nearest8[g], bi = t.nearest4[b];
        return {32 * ri + 4 * gi + bi,
                {imgfmt::kLevels4[bi], imgfmt::kLevels8[gi], imgfmt::kLevels7[ri]}};
    }
};

struct Cube666 {
    static constexpr int bpp = 8;
    ColourChoice operator()(const DiffusionTables& t, int b, int g, int r) const
    {
        const int ri = t.nearest6[r], gi = t.nearest6[g], bi = t.nearest6[b];
        return {36 * ri + 6 * gi + bi,
                {imgfmt::kLevels6[bi], imgfmt::kLevels6[gi], imgfmt::kLevels6[ri]}};
    }
};

struct BitMasks {
    static constexpr int bpp = 24;
    unsigned mask[3];  // blue, green, red
    ColourChoice operator()(const DiffusionTables&, int b, int g, int r) const
    {
        return {0, {static_cast<int>(b & mask[0]), static_cast<int>(g & mask[1]),
                    static_cast<int>(r & mask[2])}};
    }
};

inline void putIndex(unsigned char* out, int x, int bpp, const ColourChoice& c)
{
    switch (bpp) {
    case 4:
        if (x & 1)
            out[x >> 1] = static_cast<unsigned char>(out[x >> 1] | c.index);
        else
            out[x >> 1] = static_cast<unsigned char>(c.index << 4);
        break;
    case 8:
        out[x] = static_cast<unsigned char>(c.index);
        break;
    default:
        out[3 * x] = static_cast<unsigned char>(c.level[0]);
        out[3 * x + 1] = static_cast<unsigned char>(c.level[1]);
        out[3 * x + 2] = static_cast<unsigned char>(c.level[2]);
        break;
    }
}

template <class Choose>
void diffuseColourRow(const DiffusionTables& t, const Choose& choose, unsigned char* work,
                      unsigned char* out, int16_t* error, int width, int errorEntriesCleared)
{
    const int channels = 3 * width;
    for (int i = 0; i < channels; ++i)
        work[i] = clampByte(t, work[i] + error[i]);
    std::memset(error, 0, sizeof(int16_t) * static_cast<size_t>(errorEntriesCleared));
    // The position in the split words starts afresh at a random place in every row, so it need
    // not outlive the row (and two threads reducing at once do not share it).
    unsigned position = static_cast<unsigned>(std::rand());
    for (int x = 0; x < width; ++x) {
        const unsigned w = t.split[position++ & 0xFF];
        unsigned char* p = work + 3 * x;
        const ColourChoice c = choose(t, p[0], p[1], p[2]);
        putIndex(out, x, Choose::bpp, c);
        for (int ch = 0; ch < 3; ++ch)
            spread(t, p[ch] - c.level[ch], w, p + 3 + ch, error + 3 * x + ch,
                   error + 3 * x + 3 + ch);
    }
}

// Kinds 0 and 3 diffuse one grey value per pixel.
void diffuseGreyRow(const DiffusionTables& t, int kind, unsigned char* work, unsigned char* out,
                    int16_t* error, int width, int outBytes)
{
    for (int x = 0; x < width; ++x) {
        const unsigned char* p = work + 3 * x;
        const int grey = (28 * p[0] + 151 * p[1] + 77 * p[2]) >> 8;
        work[x] = clampByte(t, grey + error[x]);
    }
    std::memset(error, 0, sizeof(int16_t) * static_cast<size_t>(3 * width + 3));
    if (kind == 0)
        std::memset(out, 0, static_cast<size_t>(outBytes));
    unsigned position = static_cast<unsigned>(std::rand());
    for (int x = 0; x < width; ++x) {
        const unsigned w = t.split[position++ & 0xFF];
        const int value = work[x];
        int level;
        if (kind == 0) {
            level = value >= 128 ? 255 : 0;
            if (!level)
                out[x >> 3] = static_cast<unsigned char>(out[x >> 3] | (0x80 >> (x & 7)));
        } else {
            const int index = t.nearest16[value];
            level = 17 * index;
            if (x & 1)
                out[x >> 1] = static_cast<unsigned char>(out[x >> 1] | index);
            else
                out[x >> 1] = static_cast<unsigned char>(index << 4);
        }
        spread(t, value - level, w, work + x + 1, error + x, error + x + 1);
    }
}

// The row driver: a working copy of each source row (plus one spare pixel) and one row of
// errors carried down, bottom row first. The source row is copied before the output row is
// written, so source and output may be the same model.
template <class RowFunction>
bool diffuseRows(const MOD& source, MOD& out, RowFunction row)
{
    const int width = source.width;
    const size_t sourceRow = static_cast<size_t>(ModRowBytes(width, 24));
    const size_t outRow = static_cast<size_t>(ModRowBytes(width, out.bpp));
    auto* work = static_cast<unsigned char*>(std::malloc(sourceRow + 3));
    auto* error = static_cast<int16_t*>(std::calloc(3 * size_t(width) + 3, sizeof(int16_t)));
    if (!work || !error) {
        std::free(work);
        std::free(error);
        return false;
    }
    work[sourceRow] = work[sourceRow + 1] = work[sourceRow + 2] = 0;
    for (int y = 0; y < source.height; ++y) {
        std::memcpy(work, source.data + y * sourceRow, sourceRow);
        row(work, out.data + y * outRow, error, width, static_cast<int>(outRow));
    }
    std::free(work);
    std::free(error);
    return true;
}

// Kind 8 clears only the pixels' error entries each row, the others the spare pixel's too.
template <class Choose>
bool errorDiffuse24(const MOD& source, MOD& out, const Choose& choose, bool clearSpare)
{
    const DiffusionTables& t = tables();
    return diffuseRows(source, out,
                       [&](unsigned char* work, unsigned char* o, int16_t* e, int width, int) {
                           diffuseColourRow(t, choose, work, o, e, width,
                                            clearSpare ? 3 * width + 3 : 3 * width);
                       });
}

bool errorDiffuseGrey(const MOD& source, MOD& out, int kind)
{
    const DiffusionTables& t = tables();
    return diffuseRows(source, out,
                       [&](unsigned char* work, unsigned char* o, int16_t* e, int width,
                           int outBytes) { diffuseGreyRow(t, kind, work, o, e, width, outBytes); });
}

int depthOfKind(int kind)
{
    if (kind == 0)
        return 1;
    if (kind >= 1 && kind <= 3)
        return 4;
    if (kind == 8)
        return 24;
    return 8;
}

unsigned maskOfBits(int bits)
{
    if (bits < 0)
        bits = 0;
    if (bits > 8)
        bits = 8;
    return (0xFF00u >> bits) & 0xFFu;
}

}  // namespace

int ModConvert24(const MOD* model, int kind, int mode, int redBits, int greenBits, int blueBits,
                 MOD* out)
{
    // Both models must be what the routines index blindly: a 24-bpp source and an output of the
    // kind's depth and the same size, each with its data.
    if (imgfmt::checkModel(model) || model->bpp != 24 || imgfmt::checkModel(out) ||
        out->width != model->width || out->height != model->height ||
        out->bpp != depthOfKind(kind))
        return 0;
    imgfmt::writeKindPalette(kind, out->palette);
    const BitMasks masks{{maskOfBits(blueBits), maskOfBits(greenBits), maskOfBits(redBits)}};
    if (mode == ModModeDiffuse) {
        switch (kind) {
        case 0: return errorDiffuseGrey(*model, *out, 0);
        case 1: return errorDiffuse24(*model, *out, Standard16{}, true);
        case 2: return errorDiffuse24(*model, *out, Colours8{}, true);
        case 3: return errorDiffuseGrey(*model, *out, 3);
        case 4: return errorDiffuse24(*model, *out, Cube784{}, true);
        case 5: return errorDiffuse24(*model, *out, Cube666{}, true);
        case 8: return errorDiffuse24(*model, *out, masks, false);
        default: return 1;
        }
    }
    if (mode == ModModeHalftone) {
        switch (kind) {
        case 1:
        case 2:
        case 4:
        case 5:
        case 8:
            imgfmt::halftone(*model, *out, kind, masks.mask);
            return 1;
        default: return 1;
        }
    }
    return 1;
}

int ModReduceDepth(const MOD* model, int kind, int mode, int redBits, int greenBits, int blueBits,
                   MOD* out)
{
    if (const int check = imgfmt::checkModel(model))
        return check;
    const int depth = depthOfKind(kind);
    MOD result;
    if (model->bpp == 24) {
        if (const int code = ModCreate(model->width, model->height, depth, nullptr, &result))
            return code;
        if (!ModConvert24(model, kind, mode, redBits, greenBits, blueBits, &result)) {
            ModFreeData(&result);
            return ModErrNoMemory;
        }
    } else if (depth == 24) {
        if (const int code = ModExpandTo24(model, &result))
            return code;
        if (!ModConvert24(&result, kind, mode, redBits, greenBits, blueBits, &result)) {
            ModFreeData(&result);
            return ModErrNoMemory;
        }
    } else {
        if (const int code = ModCreate(model->width, model->height, depth, nullptr, &result))
            return code;
        MOD expanded;
        if (const int code = ModExpandTo24(model, &expanded)) {
            ModFreeData(&result);
            return code;
        }
        const int converted = ModConvert24(&expanded, kind, mode, redBits, greenBits, blueBits,
                                           &result);
        ModFreeData(&expanded);
        if (!converted) {
            ModFreeData(&result);
            return ModErrNoMemory;
        }
    }
    imgfmt::handOver(result, out);
    return ModOk;
}
