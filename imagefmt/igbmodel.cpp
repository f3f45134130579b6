// The bitmap model's conversions from and to the platform's bitmaps.
#include "imodelw.hpp"

#include "detail/icodec.hpp"
#include "detail/imodelint.hpp"

#include <detail/iscoped.hpp>
#include <iexcept.hpp>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The screen's device context for the length of one conversion.
struct ScreenDC : ovk_native::WindowDC {
    ScreenDC() : WindowDC(nullptr) {}
};

// Selects a palette (not as background) and realises it; the previous one is selected back at
// the end of the scope, before the context is released.
using SelectedPalette = ovk_native::PaletteSelection;

// A bitmap header with room for a full colour table behind it: GetDIBits writes the table after
// the header, and a bare header would let it overrun the stack.
struct InfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// What a packed bitmap (header, optional masks, colour table, bits) holds before its bits.
struct PackedLayout {
    int bits = 0;          // bits per pixel
    int entryBytes = 4;    // 3 for a core header
    int tableEntries = 0;  // entries of the colour table
    size_t tableOffset = 0;
    size_t bitsOffset = 0;
};

PackedLayout layoutOf(const void* header)
{
    PackedLayout layout;
    const DWORD size = *static_cast<const DWORD*>(header);
    if (size == sizeof(BITMAPCOREHEADER)) {
        const auto* core = static_cast<const BITMAPCOREHEADER*>(header);
        layout.bits = core->bcBitCount;
        layout.entryBytes = 3;
        layout.tableEntries = layout.bits <= 8 ? 1 << layout.bits : 0;
        layout.tableOffset = size;
    } else {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(header);
        layout.bits = info->biBitCount;
        // The colour table holds biClrUsed entries when that is set, also behind 16, 24 and
        // 32-bit bitmaps; a bare info header with bit-field masks has the masks first.
        const int full = layout.bits <= 8 ? 1 << layout.bits : 0;
        layout.tableEntries = info->biClrUsed ? static_cast<int>(info->biClrUsed) : full;
        if (full && layout.tableEntries > full)
            layout.tableEntries = full;
        if (layout.tableEntries > 256)
            layout.tableEntries = 256;
        layout.tableOffset = size;
        if (size == sizeof(BITMAPINFOHEADER) && info->biCompression == BI_BITFIELDS)
            layout.tableOffset += 3 * sizeof(DWORD);
    }
    layout.bitsOffset = layout.tableOffset + size_t(layout.tableEntries) * layout.entryBytes;
    return layout;
}

// Whether a 1-bpp model's entry 0 is the lighter of its two colours. Its bits are then turned
// over in the monochrome bitmap, whose 0 bits are black and 1 bits white to anyone who is given
// the bitmap alone (the clipboard, a drag image, a control, another program): white-first files
// (every XBitmap) would otherwise reach them as their own negative.
bool zeroIsLighter(const MOD& model)
{
    return imgfmt::luminance(model.palette) > imgfmt::luminance(model.palette + 3);
}

// A monochrome bitmap of a 1-bpp model, its 0 bits the darker colour and its 1 bits the lighter:
// a context draws 0 bits in its text colour and 1 bits in its background colour, which is how a
// two-colour image gets its own two colours (ModToHBitmap hands them back in that order). A
// bitmap made for the display would be a colour one, fixed at black and white.
HBITMAP monochromeOf(HDC screen, const MOD& model, const BITMAPINFO* info)
{
    ovk_native::Bitmap mono(CreateBitmap(model.width, model.height, 1, 1, nullptr));
    if (!mono)
        return nullptr;
    const void* bits = model.data;
    std::unique_ptr<unsigned char[]> inverted;
    if (zeroIsLighter(model)) {
        const size_t bytes = size_t(ModRowBytes(model.width, 1)) * size_t(model.height);
        inverted.reset(new (std::nothrow) unsigned char[bytes]);
        if (!inverted)
            return nullptr;
        const auto* from = static_cast<const unsigned char*>(model.data);
        for (size_t i = 0; i < bytes; ++i)
            inverted[i] = static_cast<unsigned char>(~from[i]);
        bits = inverted.get();
    }
    const int rows = SetDIBits(screen, mono.get(), 0, static_cast<UINT>(model.height), bits,
                               info, DIB_RGB_COLORS);
    if (rows != model.height) {
        // The caller reports the copy's error, not the delete's.
        const DWORD error = GetLastError();
        mono.reset();
        SetLastError(error);
        return nullptr;
    }
    return mono.release();
}

int displayDepth()
{
    const ovk_native::MemoryDC memory(nullptr);
    if (!memory)
        return 0;
    return GetDeviceCaps(memory.get(), BITSPIXEL) * GetDeviceCaps(memory.get(), PLANES);
}

}  // namespace

namespace imgfmt {

void screenSize(int* width, int* height)
{
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace imgfmt

HPALETTE createPaletteFromColorTable(const void* header, int entryBytes, int* count)
{
    if (!header)
        return nullptr;
    const PackedLayout layout = layoutOf(header);
    if (layout.bits == 16 || layout.bits == 24 || layout.bits == 32)
        return nullptr;
    if (layout.bits != 1 && layout.bits != 2 && layout.bits != 4 && layout.bits != 8)
        return nullptr;
    // A shorter table than 1 << bits (biClrUsed) gives a shorter palette, rather than reading the
    // bitmap's bits as colours.
    const int entries = layout.tableEntries;
    if (entries <= 0)
        return nullptr;
    const size_t bytes = sizeof(LOGPALETTE) + size_t(entries) * sizeof(PALETTEENTRY);
    // LOGPALETTE ends in a one-entry array: the record is allocated with room for all of them.
    const std::unique_ptr<unsigned char[]> storage(new (std::nothrow) unsigned char[bytes]);
    if (!storage)
        return nullptr;
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.get());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(entries);
    const auto* table = static_cast<const BYTE*>(header) + layout.tableOffset;
    for (int i = 0; i < entries; ++i) {
        const BYTE* e = table + size_t(i) * entryBytes;
        logical->palPalEntry[i].peRed = e[2];
        logical->palPalEntry[i].peGreen = e[1];
        logical->palPalEntry[i].peBlue = e[0];
        logical->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(logical);
    if (palette && count)
        *count = entries;
    return palette;
}

int ModCreateFromHBitmap(MOD* out, HBITMAP bitmap, HPALETTE palette)
{
    ScreenDC screen;
    if (!palette)
        palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    BITMAP object = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof object, &object))
        return ModCodecError + ModCodecBadSize;
    int bpp = object.bmPlanes * object.bmBitsPixel;
    if (bpp == 16 || bpp == 32)
        bpp = 24;

    InfoWithTable info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = object.bmWidth;
    info.header.biHeight = object.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bpp);

    MOD result;
    if (const int code = ModCreate(object.bmWidth, object.bmHeight, bpp, nullptr, &result))
        return code;
    {
        SelectedPalette selected(screen.get(), palette);
        auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(&info);
        GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(result.height), nullptr, bitmapInfo,
                  DIB_RGB_COLORS);
        // The first call may change the header (image size, compression of a device bitmap):
        // the second call must get the uncompressed layout the model holds.
        info.header.biBitCount = static_cast<WORD>(bpp);
        info.header.biCompression = BI_RGB;
        info.header.biHeight = result.height;
        if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(result.height), result.data,
                       bitmapInfo, DIB_RGB_COLORS)) {
            const DWORD error = GetLastError();
            ModFreeData(&result);
            IThrow::systemError("GetDIBits", error,
                                IEXCEPTION_LOCATION("igbmodel.cpp",
                                                    "ModCreateFromHBitmap(MOD*,HBITMAP,HPALETTE)"));
        }
    }
    if (bpp != 24)
        for (int i = 0; i < (1 << bpp); ++i) {
            result.palette[3 * i] = info.colours[i].rgbRed;
            result.palette[3 * i + 1] = info.colours[i].rgbGreen;
            result.palette[3 * i + 2] = info.colours[i].rgbBlue;
        }
    imgfmt::handOver(result, out);
    return ModOk;
}

int ModMakeHBitmap(const MOD* model, HBITMAP* bitmap, HPALETTE* palette)
{
    if (imgfmt::checkModel(model))
        return ModErrNative;
    InfoWithTable info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = model->width;
    info.header.biHeight = model->height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(model->bpp);
    const int entries = model->bpp == 24 ? 0 : 1 << model->bpp;
    for (int i = 0; i < entries; ++i) {
        info.colours[i].rgbRed = model->palette[3 * i];
        info.colours[i].rgbGreen = model->palette[3 * i + 1];
        info.colours[i].rgbBlue = model->palette[3 * i + 2];
    }
    ScreenDC screen;
    if (!screen.get())
        return ModErrNoScreen;
    // A 1-bpp bitmap is black (its darker colour) and white (its lighter one); its own two
    // colours travel separately.
    if (model->bpp == 1) {
        info.colours[0] = RGBQUAD{0, 0, 0, 0};
        info.colours[1] = RGBQUAD{255, 255, 255, 0};
    }
    if (palette && !*palette && model->bpp != 24) {
        int count = 0;
        *palette = createPaletteFromColorTable(&info, 4, &count);
        if (!*palette)
            return ModErrNative;
    }
    SelectedPalette selected(screen.get(), palette ? *palette : nullptr);
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(&info);
    if (model->bpp == 1) {
        *bitmap = monochromeOf(screen.get(), *model, bitmapInfo);
        return *bitmap ? ModOk : ModErrNative;
    }
    *bitmap = CreateDIBitmap(screen.get(), &info.header, CBM_INIT, model->data, bitmapInfo,
                             DIB_RGB_COLORS);
    return *bitmap ? ModOk : ModErrNative;
}

int ModToHBitmap(const MOD* model, int viewOption, HBITMAP* bitmap, unsigned long* colour0,
                 unsigned long* colour1, HPALETTE* palette)
{
    int kind = -1;
    int mode = viewOption == ModViewHalftone ? ModModeHalftone : ModModeDiffuse;
    if (viewOption == ModViewDiffuse || viewOption == ModViewHalftone) {
        switch (displayDepth()) {
        case 1:
            // Black and white has no halftone of its own: both options diffuse the error.
            kind = ModKindBlackWhite;
            mode = ModModeDiffuse;
            break;
        case 4: kind = ModKindStandard16; break;
        case 8: kind = ModKindCube784; break;
        case 16: kind = ModKindBitMasks; break;
        default: break;
        }
    }
    MOD converted;
    const MOD* shown = model;
    if (kind >= 0) {
        if (ModReduceDepth(model, kind, mode, 5, 6, 5, &converted) != 0) {
            ModFreeData(&converted);
            return 0;
        }
        shown = &converted;
    }
    if (shown->bpp == 1) {
        // The colours of the bitmap's 0 bits and 1 bits: the darker entry first.
        const bool swapped = zeroIsLighter(*shown);
        const unsigned char* zero = shown->palette + (swapped ? 3 : 0);
        const unsigned char* one = shown->palette + (swapped ? 0 : 3);
        if (colour0)
            *colour0 = (unsigned long)zero[0] << 16 | (unsigned long)zero[1] << 8 | zero[2];
        if (colour1)
            *colour1 = (unsigned long)one[0] << 16 | (unsigned long)one[1] << 8 | one[2];
    }
    const int code = ModMakeHBitmap(shown, bitmap, palette);
    if (shown == &converted)
        ModFreeData(&converted);
    return code == ModOk ? 1 : 0;
}

HBITMAP ModLoadBitmapResource(HMODULE module, const char* name, HPALETTE* palette)
{
    if (palette)
        *palette = nullptr;
    HRSRC found = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void* header = loaded ? LockResource(loaded) : nullptr;
    const DWORD resourceSize = SizeofResource(module, found);
    if (!header || resourceSize < sizeof(BITMAPCOREHEADER))
        return nullptr;
    const PackedLayout layout = layoutOf(header);
    if (layout.bitsOffset > resourceSize)
        return nullptr;
    ScreenDC screen;
    if (!screen.get())
        return nullptr;
    int count = 0;
    HPALETTE made = createPaletteFromColorTable(header, layout.entryBytes, &count);
    if (palette)
        *palette = made;
    HBITMAP result = nullptr;
    {
        SelectedPalette selected(screen.get(), made);
        result = CreateDIBitmap(screen.get(), static_cast<const BITMAPINFOHEADER*>(header),
                                CBM_INIT, static_cast<const BYTE*>(header) + layout.bitsOffset,
                                static_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    }
    FreeResource(loaded);
    // Without a caller's slot, or without a bitmap to go with it, the palette would be lost.
    if (made && (!palette || !result)) {
        ovk_native::dispose(made);
        if (palette)
            *palette = nullptr;
    }
    return result;
}
