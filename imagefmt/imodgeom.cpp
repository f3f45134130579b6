// The model's geometry: nearest-neighbour scaling, reflections, rotations and transposition.
#include "detail/icodec.hpp"
#include "detail/imodelint.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

using RowRoutine = void (*)(const unsigned char* source, unsigned char* target, int width,
                            const int32_t* steps);

size_t rowBytes(const MOD& m) { return static_cast<size_t>(ModRowBytes(m.width, m.bpp)); }

// Row copiers: the bytes that hold width pixels.
void copyRow1(const unsigned char* s, unsigned char* t, int width, const int32_t*)
{
    std::memcpy(t, s, static_cast<size_t>((width + 7) / 8));
}
void copyRow4(const unsigned char* s, unsigned char* t, int width, const int32_t*)
{
    std::memcpy(t, s, static_cast<size_t>((width + 1) / 2));
}
void copyRow8(const unsigned char* s, unsigned char* t, int width, const int32_t*)
{
    std::memcpy(t, s, static_cast<size_t>(width));
}
void copyRow24(const unsigned char* s, unsigned char* t, int width, const int32_t*)
{
    std::memcpy(t, s, static_cast<size_t>(width) * 3);
}

// Row scalers: output pixel i is the source pixel at the sum of the first i steps.
void scaleRow1(const unsigned char* s, unsigned char* t, int width, const int32_t* steps)
{
    int64_t position = 0;
    unsigned byte = 0;
    int bits = 0;
    for (int i = 0; i < width; ++i) {
        byte = (byte << 1) | ((s[position >> 3] >> (7 - (position & 7))) & 1u);
        if (++bits == 8) {
            *t++ = static_cast<unsigned char>(byte);
            byte = 0;
            bits = 0;
        }
        position += steps[i];
    }
    // The bits beyond the width stay 0.
    if (bits)
        *t = static_cast<unsigned char>(byte << (8 - bits));
}
void scaleRow4(const unsigned char* s, unsigned char* t, int width, const int32_t* steps)
{
    int64_t position = 0;
    for (int i = 0; i < width; ++i) {
        const unsigned char byte = s[position >> 1];
        const unsigned nibble = (position & 1) ? (byte & 0x0Fu) : (byte >> 4);
        if (i & 1)
            t[i >> 1] = static_cast<unsigned char>(t[i >> 1] | nibble);
        else
            t[i >> 1] = static_cast<unsigned char>(nibble << 4);
        position += steps[i];
    }
}
void scaleRow8(const unsigned char* s, unsigned char* t, int width, const int32_t* steps)
{
    int64_t position = 0;
    for (int i = 0; i < width; ++i) {
        t[i] = s[position];
        position += steps[i];
    }
}
void scaleRow24(const unsigned char* s, unsigned char* t, int width, const int32_t* steps)
{
    int64_t position = 0;
    for (int i = 0; i < width; ++i) {
        const unsigned char* p = s + 3 * position;
        t[3 * i] = p[0];
        t[3 * i + 1] = p[1];
        t[3 * i + 2] = p[2];
        position += steps[i];
    }
}

// Turns a table of positions (count + 1 entries, (i * source) / count) into steps.
void fillSteps(int32_t* steps, int count, int source)
{
    int64_t previous = 0;
    for (int i = 0; i < count; ++i) {
        const int64_t next = (int64_t(i + 1) * source) / count;
        steps[i] = static_cast<int32_t>(next - previous);
        previous = next;
    }
    steps[count] = 0;
}

int scaleImageData(const unsigned char* source, int sourceWidth, int sourceHeight,
                   unsigned char* target, int newWidth, int newHeight, int bpp)
{
    const std::unique_ptr<int32_t[]> steps(
        new (std::nothrow) int32_t[size_t(newWidth) + 1 + size_t(newHeight) + 1]);
    if (!steps)
        return 1;
    int32_t* columnSteps = steps.get();
    int32_t* rowSteps = steps.get() + newWidth + 1;
    fillSteps(columnSteps, newWidth, sourceWidth);
    fillSteps(rowSteps, newHeight, sourceHeight);

    const bool sameWidth = sourceWidth == newWidth;
    RowRoutine routine = nullptr;
    switch (bpp) {
    case 1: routine = sameWidth ? copyRow1 : scaleRow1; break;
    case 4: routine = sameWidth ? copyRow4 : scaleRow4; break;
    case 8: routine = sameWidth ? copyRow8 : scaleRow8; break;
    default: routine = sameWidth ? copyRow24 : scaleRow24; break;
    }
    const size_t sourceRow = static_cast<size_t>(ModRowBytes(sourceWidth, bpp));
    const size_t targetRow = static_cast<size_t>(ModRowBytes(newWidth, bpp));
    const unsigned char* s = source;
    for (int j = 0; j < newHeight; ++j) {
        routine(s, target + j * targetRow, newWidth, columnSteps);
        s += rowSteps[j] * sourceRow;
    }
    return 0;
}

// Mirror routines: reverse the pixel order of the first width pixels of a row into a buffer.
struct MirrorTables {
    unsigned char bits[256];     // bit order reversed
    unsigned char nibbles[256];  // the two nibbles exchanged
};

const MirrorTables& mirrorTables()
{
    static const MirrorTables tables = [] {
        MirrorTables t{};
        for (int i = 0; i < 256; ++i) {
            int reversed = 0;
            for (int b = 0; b < 8; ++b)
                if (i & (1 << b))
                    reversed |= 0x80 >> b;
            t.bits[i] = static_cast<unsigned char>(reversed);
            t.nibbles[i] = static_cast<unsigned char>(((i << 4) | (i >> 4)) & 0xFF);
        }
        return t;
    }();
    return tables;
}

void mirrorRow1(const unsigned char* s, unsigned char* t, int width)
{
    const unsigned char* reverse = mirrorTables().bits;
    const int bytes = (width + 7) / 8;
    for (int k = 0; k < bytes; ++k)
        t[k] = reverse[s[bytes - 1 - k]];
    // The reversed row starts with the unused bits of the last byte: shift them out.
    const int unused = bytes * 8 - width;
    if (unused) {
        for (int k = 0; k + 1 < bytes; ++k)
            t[k] = static_cast<unsigned char>((t[k] << unused) | (t[k + 1] >> (8 - unused)));
        t[bytes - 1] = static_cast<unsigned char>(t[bytes - 1] << unused);
    }
}

void mirrorRow4(const unsigned char* s, unsigned char* t, int width)
{
    const unsigned char* exchange = mirrorTables().nibbles;
    const int bytes = (width + 1) / 2;
    for (int k = 0; k < bytes; ++k)
        t[k] = exchange[s[bytes - 1 - k]];
    if (width & 1) {
        for (int k = 0; k + 1 < bytes; ++k)
            t[k] = static_cast<unsigned char>((t[k] << 4) | (t[k + 1] >> 4));
        t[bytes - 1] = static_cast<unsigned char>(t[bytes - 1] << 4);
    }
}

void mirrorRow8(const unsigned char* s, unsigned char* t, int width)
{
    for (int k = 0; k < width; ++k)
        t[k] = s[width - 1 - k];
}

void mirrorRow24(const unsigned char* s, unsigned char* t, int width)
{
    for (int k = 0; k < width; ++k)
        std::memcpy(t + 3 * k, s + 3 * (width - 1 - k), 3);
}

bool mirrorRows(MOD& m)
{
    const size_t bytes = rowBytes(m);
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[bytes]);
    if (!buffer)
        return false;
    void (*mirror)(const unsigned char*, unsigned char*, int) =
        m.bpp == 1 ? mirrorRow1 : m.bpp == 4 ? mirrorRow4 : m.bpp == 8 ? mirrorRow8 : mirrorRow24;
    const size_t used = m.bpp == 1   ? size_t(m.width + 7) / 8
                        : m.bpp == 4 ? size_t(m.width + 1) / 2
                                     : size_t(m.width) * size_t(m.bpp / 8);
    for (int y = 0; y < m.height; ++y) {
        unsigned char* row = m.data + y * bytes;
        mirror(row, buffer.get(), m.width);
        std::memcpy(row, buffer.get(), used);
    }
    return true;
}

bool swapRows(MOD& m)
{
    const size_t bytes = rowBytes(m);
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[bytes]);
    if (!buffer)
        return false;
    for (int low = 0, high = m.height - 1; low < high; ++low, --high) {
        unsigned char* a = m.data + low * bytes;
        unsigned char* b = m.data + high * bytes;
        std::memcpy(buffer.get(), a, bytes);
        std::memcpy(a, b, bytes);
        std::memcpy(b, buffer.get(), bytes);
    }
    return true;
}

// Output pixel (y, x) := source pixel (x, y); the output is source-height pixels wide.
void transposeData(const MOD& source, unsigned char* target)
{
    const int width = source.width;
    const int height = source.height;
    const size_t sourceRow = rowBytes(source);
    const size_t targetRow = static_cast<size_t>(ModRowBytes(height, source.bpp));
    switch (source.bpp) {
    case 1:
        std::memset(target, 0, targetRow * static_cast<size_t>(width));
        for (int y = 0; y < height; ++y) {
            const unsigned char* s = source.data + y * sourceRow;
            const unsigned char bit = static_cast<unsigned char>(0x80 >> (y & 7));
            for (int x = 0; x < width; ++x)
                if ((s[x >> 3] >> (7 - (x & 7))) & 1)
                    target[x * targetRow + (y >> 3)] |= bit;
        }
        break;
    case 4:
        // Two source rows make the two nibbles of one output byte; an odd last row stands alone.
        for (int y = 0; y < height; y += 2) {
            const unsigned char* s0 = source.data + y * sourceRow;
            const unsigned char* s1 = y + 1 < height ? s0 + sourceRow : nullptr;
            for (int x = 0; x < width; ++x) {
                const unsigned shift = (x & 1) ? 0 : 4;
                const unsigned high = (s0[x >> 1] >> shift) & 0x0F;
                const unsigned low = s1 ? (s1[x >> 1] >> shift) & 0x0F : 0;
                target[x * targetRow + (y >> 1)] = static_cast<unsigned char>((high << 4) | low);
            }
        }
        break;
    default: {
        const int pixelBytes = source.bpp / 8;
        for (int y = 0; y < height; ++y) {
            const unsigned char* s = source.data + y * sourceRow;
            for (int x = 0; x < width; ++x)
                std::memcpy(target + x * targetRow + size_t(y) * pixelBytes, s + x * pixelBytes,
                            static_cast<size_t>(pixelBytes));
        }
        break;
    }
    }
}

// ModCopy followed by in-place steps; a failed step frees the copy.
int copyAndApply(const MOD* model, MOD* out, bool mirror, bool swap)
{
    MOD result;
    if (const int code = ModCopy(model, &result))
        return code;
    if ((mirror && !mirrorRows(result)) || (swap && !swapRows(result))) {
        ModFreeData(&result);
        return ModErrNoMemory;
    }
    imgfmt::handOver(result, out);
    return ModOk;
}

// A quarter turn: a reflection into a temporary model, then its transposition.
int reflectAndTranspose(const MOD* model, MOD* out, int (*reflect)(const MOD*, MOD*))
{
    MOD temporary;
    if (const int code = reflect(model, &temporary))
        return code;
    const int code = ModTranspose(&temporary, out);
    ModFreeData(&temporary);
    return code;
}

}  // namespace

int ModResize(const MOD* model, int newWidth, int newHeight, MOD* out)
{
    if (const int check = imgfmt::checkModel(model))
        return check;
    MOD result;
    // A zero or negative size fails the size check here, before any scaling arithmetic.
    if (const int code = ModCreate(newWidth, newHeight, model->bpp, model->palette, &result))
        return code;
    if (const int failure = scaleImageData(model->data, model->width, model->height, result.data,
                                           newWidth, newHeight, model->bpp)) {
        ModFreeData(&result);
        return ModCodecError + failure;
    }
    imgfmt::handOver(result, out);
    return ModOk;
}

int ModReflectHorizontal(const MOD* model, MOD* out) { return copyAndApply(model, out, true, false); }

int ModReflectVertical(const MOD* model, MOD* out) { return copyAndApply(model, out, false, true); }

int ModRotate180(const MOD* model, MOD* out) { return copyAndApply(model, out, true, true); }

int ModTranspose(const MOD* model, MOD* out)
{
    if (const int check = imgfmt::checkModel(model))
        return check;
    MOD result;
    if (const int code = ModCreate(model->height, model->width, model->bpp, model->palette, &result))
        return code;
    transposeData(*model, result.data);
    imgfmt::handOver(result, out);
    return ModOk;
}

int ModRotate270(const MOD* model, MOD* out)
{
    return reflectAndTranspose(model, out, ModReflectHorizontal);
}

int ModRotate90(const MOD* model, MOD* out)
{
    return reflectAndTranspose(model, out, ModReflectVertical);
}
