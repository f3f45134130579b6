// The bitmap model: the size check, construction, copying and expansion to 24 bpp.
#include "detail/icodec.hpp"
#include "detail/imodelint.hpp"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int64_t> gDataLimit{int64_t(1) << 30};
std::atomic<int> gFreshByte{-1};

int64_t rowBytes64(int width, int bpp)
{
    return ((int64_t(width) * bpp + 31) / 32) * 4;
}

int paletteBytes(int bpp) { return bpp == 24 ? 0 : 3 << bpp; }

}  // namespace

int ModRowBytes(int width, int bpp)
{
    return static_cast<int>(rowBytes64(width, bpp));
}

int ModCheckSize(int width, int height, int bpp)
{
    if (width < 1 || height < 1)
        return ModCodecBadSize;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        return ModCodecUnsupported;
    // A row is below 2^33 bytes; dividing the limit instead of multiplying by the height keeps
    // hostile sizes from wrapping even 64 bits.
    int64_t limit = gDataLimit.load(std::memory_order_relaxed);
    if (limit > INT32_MAX)
        limit = INT32_MAX;
    if (rowBytes64(width, bpp) > limit / height)
        return ModCodecNoMemory;
    return 0;
}

int64_t ModDataLimit() { return gDataLimit.load(std::memory_order_relaxed); }

int64_t ModSetDataLimit(int64_t bytes)
{
    if (bytes > INT32_MAX)
        bytes = INT32_MAX;
    return gDataLimit.exchange(bytes, std::memory_order_relaxed);
}

namespace {

bool allocData(MOD* model, bool clear)
{
    model->data = nullptr;
    model->dataSize = 0;
    if (ModCheckSize(model->width, model->height, model->bpp) != 0)
        return false;
    const int32_t size = static_cast<int32_t>(rowBytes64(model->width, model->bpp) * model->height);
    const auto bytes = static_cast<size_t>(size);
    model->data = static_cast<unsigned char*>(clear ? std::calloc(bytes, 1) : std::malloc(bytes));
    if (!model->data)
        return false;
    const int fresh = gFreshByte.load(std::memory_order_relaxed);
    if (!clear && fresh >= 0)
        std::memset(model->data, fresh, bytes);
    model->dataSize = size;
    return true;
}

}  // namespace

int ModAllocData(MOD* model)
{
    // Cleared, so that a reader that stops early leaves defined pixels behind.
    return allocData(model, true) ? 1 : 0;
}

int ModCreate(int width, int height, int bpp, const unsigned char* palette, MOD* out)
{
    out->data = nullptr;
    out->dataSize = 0;
    if (const int check = ModCheckSize(width, height, bpp))
        return check == ModCodecNoMemory ? ModErrNoMemory : ModCodecError + check;
    out->width = width;
    out->height = height;
    out->bpp = bpp;
    if (palette && bpp != 24 && palette != out->palette)
        std::memmove(out->palette, palette, static_cast<size_t>(paletteBytes(bpp)));
    return ModAllocData(out) ? ModOk : ModErrNoMemory;
}

int ModCopy(const MOD* model, MOD* out)
{
    if (const int check = imgfmt::checkModel(model))
        return check;
    MOD copy;
    const int code = ModCreate(model->width, model->height, model->bpp, model->palette, &copy);
    if (code)
        return code;
    std::memcpy(copy.data, model->data, static_cast<size_t>(copy.dataSize));
    imgfmt::handOver(copy, out);
    return ModOk;
}

int ModCopyRecord(const MOD* model, MOD* out)
{
    if (model != out)
        *out = *model;
    return ModOk;
}

void ModFreeData(MOD* model)
{
    std::free(model->data);
    model->data = nullptr;
    model->dataSize = 0;
}

int ModExpandTo24(const MOD* model, MOD* out)
{
    if (const int check = imgfmt::checkModel(model))
        return check;
    MOD result;
    if (const int code = ModCreate(model->width, model->height, 24, nullptr, &result))
        return code;
    const int width = model->width;
    const size_t sourceRow = static_cast<size_t>(ModRowBytes(width, model->bpp));
    const size_t outputRow = static_cast<size_t>(ModRowBytes(width, 24));
    // Blue, green, red of each palette entry, so that a pixel is one 3-byte copy.
    unsigned char bgr[256][3];
    for (int i = 0; i < 256; ++i) {
        bgr[i][0] = model->palette[3 * i + 2];
        bgr[i][1] = model->palette[3 * i + 1];
        bgr[i][2] = model->palette[3 * i];
    }
    for (int y = 0; y < model->height; ++y) {
        const unsigned char* s = model->data + y * sourceRow;
        unsigned char* d = result.data + y * outputRow;
        switch (model->bpp) {
        case 1:
            for (int x = 0; x < width; ++x, d += 3)
                std::memcpy(d, bgr[(s[x >> 3] >> (7 - (x & 7))) & 1], 3);
            break;
        case 4:
            for (int x = 0; x < width; ++x, d += 3)
                std::memcpy(d, bgr[(x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4)], 3);
            break;
        case 8:
            for (int x = 0; x < width; ++x, d += 3)
                std::memcpy(d, bgr[s[x]], 3);
            break;
        default:
            std::memcpy(d, s, outputRow);
            break;
        }
    }
    out->width = result.width;
    out->height = result.height;
    out->bpp = 24;
    out->data = result.data;
    out->dataSize = result.dataSize;
    return ModOk;
}

namespace imgfmt {

bool allocFreshData(MOD* model) { return allocData(model, false); }

int setFreshDataByte(int byte) { return gFreshByte.exchange(byte, std::memory_order_relaxed); }

int checkModel(const MOD* model)
{
    if (!model)
        return ModCodecError + ModCodecBadSize;
    const int check = ModCheckSize(model->width, model->height, model->bpp);
    if (check == ModCodecUnsupported)
        return ModCodecError + ModCodecUnsupported;
    if (check)
        return ModCodecError + ModCodecBadSize;
    if (!model->data ||
        model->dataSize != int64_t(ModRowBytes(model->width, model->bpp)) * model->height)
        return ModCodecError + ModCodecBadSize;
    return 0;
}

}  // namespace imgfmt
