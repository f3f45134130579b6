// IGBitmap: construction, image files, the model operations and the static loaders. Drawing and
// the transparency mask are in igbitmap2.cpp.
#include "igbitmap.hpp"

#include <windows.h>

#include <cstdint>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>

#include <iapp.hpp>
#include <icoordsy.hpp>
#include <iimgfmt.hpp>
#include <imodelw.hpp>
#include <ireslib.hpp>

#include "igrafctx.hpp"

namespace {

const char kFile[] = "igbitmap";

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

[[noreturn]] void throwCodeError(int code, const char* function, unsigned long line)
{
    IThrow::message(static_cast<IException::ErrorId>(ModErrorMessage(code)), at(function, line));
}

// The format-table row of an image format; unknown values write Bitmap files.
int rowOf(IGBitmap::ImageFormat format)
{
    switch (format) {
    case IGBitmap::gifFormat: return ModFormatGIF;
    case IGBitmap::pcxFormat: return ModFormatPCX;
    case IGBitmap::tiffFormat: return ModFormatTIFF;
    case IGBitmap::targaFormat: return ModFormatTarga;
    case IGBitmap::ilbmFormat: return ModFormatILBM;
    case IGBitmap::xbitmapFormat: return ModFormatXBitmap;
    case IGBitmap::spriteFormat: return ModFormatSprite;
    default: return ModFormatBitmap;
    }
}

// The image format of a row a file was read through; false for rows that have none.
bool formatOfRow(int row, IGBitmap::ImageFormat* format)
{
    if (row >= ModFormatBitmap && row <= ModFormatILBM) {
        *format = static_cast<IGBitmap::ImageFormat>(row);
        return true;
    }
    if (row == ModFormatXBitmap || row == ModFormatSprite) {
        *format = row == ModFormatXBitmap ? IGBitmap::xbitmapFormat : IGBitmap::spriteFormat;
        return true;
    }
    return false;
}

IColor colorOf(unsigned long rgb)
{
    return IColor(static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                  static_cast<unsigned char>(rgb));
}

using ovk_native::MemoryDC;
using ovk_native::Selection;

// A new bitmap in the format the source's pixels need: monochrome bitmaps stay monochrome (fill
// patterns take their colours from the context), all others are made for the screen, as a
// bitmap compatible with a bare memory context would be monochrome and lose every colour.
HBITMAP createLike(const BITMAP& source, int width, int height)
{
    if (source.bmPlanes == 1 && source.bmBitsPixel == 1)
        return CreateBitmap(width, height, 1, 1, nullptr);
    ovk_native::WindowDC screen(nullptr);
    HBITMAP made = CreateCompatibleBitmap(screen.get(), width, height);
    // The caller reports the creation's error, not the release's.
    const DWORD error = GetLastError();
    screen.close();
    SetLastError(error);
    return made;
}

// ModToHBitmap for an operation that cannot go on without the bitmap: a failure deletes the
// palette that was already made, so that nothing leaks, and throws the system error under
// function. A 1-bpp model gives a monochrome bitmap, which takes its two colours from the
// context it is drawn on.
void toBitmapOrThrow(const MOD& model, int viewOption, HBITMAP* bitmap, unsigned long* colour0,
                     unsigned long* colour1, HPALETTE* palette, const char* function)
{
    if (ModToHBitmap(&model, viewOption, bitmap, colour0, colour1, palette))
        return;
    const DWORD error = GetLastError();
    ovk_native::dispose(*palette);
    IThrow::systemError("Error mapping visual.", error, at(function, __LINE__));
}

} // namespace

void IGBitmap::ModelDeleter::operator()(MOD* model) const noexcept
{
    ModFreeData(model);
    delete model;
}

// Construction -------------------------------------------------------------------------------

IGBitmap::IGBitmap() = default;

IGBitmap::IGBitmap(const IBitmapHandle& bitmap) : fBitmap(bitmap) {}

IGBitmap::IGBitmap(const IString& fileName) { loadFromFile(fileName, ModFormatGuess); }

IGBitmap::IGBitmap(const IString& fileName, ImageFormat format)
{
    loadFromFile(fileName, rowOf(format));
}

IGBitmap::IGBitmap(const IResourceId& id, IBase::Boolean withPalette)
{
    const IResourceLibrary& library = id.resourceLibrary();
    loadResource(id.id(), library.handle(), library.fileName(), withPalette);
}

IGBitmap::IGBitmap(unsigned long id, IBase::Boolean withPalette)
{
    IResourceLibrary& library = IApplication::current().userResourceLibrary();
    loadResource(id, library.handle(), library.fileName(), withPalette);
}

IGBitmap::IGBitmap(const IGraphicContext& context, const IRectangle& rectangle)
{
    static const char function[] =
        "IGBitmap::IGBitmap(const IGraphicContext&,const IRectangle&)";
    HDC source = context.handle();
    const int width = rectangle.maxX() - rectangle.minX();
    const int height = rectangle.maxY() - rectangle.minY();
    ovk_native::Bitmap bitmap(CreateCompatibleBitmap(source, width, height));
    if (!bitmap)
        IThrow::systemError("CreateCompatibleBitmap", GetLastError(), at(function, __LINE__));
    BOOL done = FALSE;
    DWORD error = 0;
    {
        MemoryDC memory(source);
        Selection selected(memory.get(), bitmap.get());
        done = BitBlt(memory.get(), 0, 0, width, height, source, rectangle.minX(),
                      rectangle.minY(), SRCCOPY);
        error = GetLastError();
    }
    if (!done)
        IThrow::systemError("BitBlt", error, at(function, __LINE__));
    // The copy would otherwise belong to nobody and never be deleted.
    adopt(bitmap.get());
    bitmap.release();
}

IGBitmap::IGBitmap(const IGBitmap& source, const IRectangle& rectangle, long rop)
{
    static const char function[] = "IGBitmap::IGBitmap(const IGBitmap&,const IRectangle&,long)";
    const int width = rectangle.maxX() - rectangle.minX();
    const int height = rectangle.maxY() - rectangle.minY();
    ovk_native::Bitmap bitmap;
    DWORD createError = 0;
    {
        ovk_native::WindowDC screen(GetDesktopWindow());
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        createError = GetLastError();
    }
    if (!bitmap)
        IThrow::systemError("CreateCompatibleBitmap", createError, at(function, __LINE__));
    BOOL done = FALSE;
    DWORD error = 0;
    {
        MemoryDC from(nullptr);
        MemoryDC to(nullptr);
        Selection fromBitmap(from.get(), source.fBitmap.asValue());
        Selection toBitmap(to.get(), bitmap.get());
        SetStretchBltMode(from.get(), COLORONCOLOR);
        SetStretchBltMode(to.get(), COLORONCOLOR);
        ovk_native::PaletteSelection fromPalette(from.get(), source.fPalette);
        ovk_native::PaletteSelection toPalette(to.get(), source.fPalette);
        const int y = ICoordinateSystem::isConversionNeeded()
                          ? source.size().height() - rectangle.maxY()
                          : rectangle.minY();
        done = StretchBlt(to.get(), 0, 0, width, height, from.get(), rectangle.minX(), y, width,
                          height, static_cast<DWORD>(rop));
        error = GetLastError();
    }
    if (!done)
        IThrow::systemError("StretchBlt", error, at(function, __LINE__));
    adopt(bitmap.get());
    bitmap.release();
}

IGBitmap::~IGBitmap()
{
    discardMask();
    ovk_native::dispose(fPalette);
    // The bitmap handle releases its table reference as a member.
}

void IGBitmap::loadFromFile(const IString& fileName, int formatRow)
{
    static const char function[] = "IGBitmap::loadFromFile(const IString&,int)";
    Model model(new MOD);
    int row = formatRow;
    const int code = ModReadFromFile(fileName, &row, "", model.get());
    ImageFormat format = fImageFormat;
    if (formatOfRow(row, &format))
        fImageFormat = format;
    if (code != 0)
        throwCodeError(code, function, __LINE__);
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    unsigned long colour0 = 0;
    unsigned long colour1 = 0;
    toBitmapOrThrow(*model, asIs, &bitmap, &colour0, &colour1, &palette, function);
    replacePalette(palette);
    adopt(bitmap);
    // A two-colour image is made a monochrome bitmap that is black where the image is darker and
    // white where it is lighter, so that whoever is given the handle alone sees the image; the
    // pen colour (for its 0 bits) and the background colour (for its 1 bits) give it its own two
    // colours when it is drawn.
    if (model->bpp == 1) {
        IGraphicBundle bundle = graphicBundle();
        bundle.setPenColor(colorOf(colour0)).setBackgroundColor(colorOf(colour1));
        setGraphicBundle(bundle);
    }
    fModel = std::move(model);
}

void IGBitmap::loadResource(unsigned long id, const IModuleHandle& module,
                            const IString& libraryName, IBase::Boolean withPalette)
{
    static const char function[] =
        "IGBitmap::loadResource(unsigned long,const IModuleHandle&,const IString&,"
        "IBase::Boolean)";
    HPALETTE palette = nullptr;
    HBITMAP loaded = nullptr;
    // A null module would load the system's own bitmaps.
    if (module.isValid()) {
        const char* name = MAKEINTRESOURCEA(LOWORD(id));
        loaded = withPalette ? ModLoadBitmapResource(module, name, &palette)
                             : LoadBitmapA(module, name);
    }
    // A missing resource fails here rather than leaving a bitmap graphic with no bitmap.
    if (!loaded)
        IThrow::systemError(IString("LoadBitmap") + "Id: " + IString(id) + " ", GetLastError(),
                            at(function, __LINE__));
    // The entry of the same resource, when one exists, is shared and the new load dropped.
    fBitmap = IBitmapHandle(IResourceLibrary::enterBitmap(id, libraryName, loaded, ISize(0, 0)));
    fPalette = palette;
}

// Files --------------------------------------------------------------------------------------

IGBitmap& IGBitmap::writeToFile(const IString& fileName, ImageFormat format)
{
    static const char function[] =
        "IGBitmap::writeToFile(const IString&,IGBitmap::ImageFormat)";
    Model made;
    const MOD& source = model(made, function);
    const int code = ModWriteToFile(&source, rowOf(format), fileName, "");
    if (code != 0)
        throwCodeError(code, function, __LINE__);
    return *this;
}

IGBitmap::ImageFormat IGBitmap::imageFormat() const { return fImageFormat; }

MOD& IGBitmap::model(Model& made, const char* function)
{
    if (fModel)
        return *fModel;
    made.reset(new MOD);
    const int code = ModCreateFromHBitmap(made.get(), fBitmap.asValue(), fPalette);
    if (code != 0)
        throwCodeError(code, function, __LINE__);
    return *made;
}

// Geometry -----------------------------------------------------------------------------------

IGBitmap& IGBitmap::moveTo(const IPoint& position)
{
    fPosition = position;
    return *this;
}

IPoint IGBitmap::position() const { return fPosition; }

ISize IGBitmap::size() const
{
    BITMAP object{};
    if (!GetObjectA(fBitmap.asValue(), sizeof object, &object))
        IThrow::systemError("GetObject", GetLastError(), at("IGBitmap::size() const", __LINE__));
    return ISize(object.bmWidth, object.bmHeight);
}

IGBitmap& IGBitmap::sizeTo(const ISize& newSize)
{
    if (size() == newSize)
        return *this;
    return modReflect(
        [&newSize](const MOD* source, MOD* out) {
            return ModResize(source, newSize.width(), newSize.height(), out);
        },
        "IGBitmap::sizeTo(const ISize&)");
}

IGBitmap& IGBitmap::reflectHorizontally()
{
    return modReflect(&ModReflectHorizontal, "IGBitmap::reflectHorizontally()");
}

IGBitmap& IGBitmap::reflectVertically()
{
    return modReflect(&ModReflectVertical, "IGBitmap::reflectVertically()");
}

IGBitmap& IGBitmap::transpose() { return modReflect(&ModTranspose, "IGBitmap::transpose()"); }

IGBitmap& IGBitmap::rotateBy90() { return modReflect(&ModRotate90, "IGBitmap::rotateBy90()"); }

IGBitmap& IGBitmap::rotateBy180()
{
    return modReflect(&ModRotate180, "IGBitmap::rotateBy180()");
}

IGBitmap& IGBitmap::rotateBy270()
{
    return modReflect(&ModRotate270, "IGBitmap::rotateBy270()");
}

IGBitmap& IGBitmap::modReflect(const std::function<int(const MOD*, MOD*)>& operation,
                               const char* function)
{
    Model made;
    const MOD& source = model(made, function);
    discardMask();
    Model result(new MOD);
    const int code = operation(&source, result.get());
    if (code != 0)
        throwCodeError(code, function, __LINE__);
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    toBitmapOrThrow(*result, fViewOption, &bitmap, nullptr, nullptr, &palette, function);
    adopt(bitmap);
    if (palette)
        replacePalette(palette);
    // A kept model follows the bitmap; one made for this operation goes with its result.
    if (!made)
        fModel = std::move(result);
    return *this;
}

IGBitmap& IGBitmap::setViewOption(ViewOption option)
{
    static const char function[] = "IGBitmap::setViewOption(IGBitmap::ViewOption)";
    if (option == fViewOption)
        return *this;
    Model made;
    MOD& source = model(made, function);
    if (made)
        fModel = std::move(made);
    discardMask();
    HBITMAP bitmap = nullptr;
    // A reduced image needs the palette of its reduction, not the one of the original.
    HPALETTE palette = nullptr;
    toBitmapOrThrow(source, option, &bitmap, nullptr, nullptr, &palette, function);
    adopt(bitmap);
    if (palette)
        replacePalette(palette);
    fViewOption = option;
    return *this;
}

IGBitmap::ViewOption IGBitmap::viewOption() const { return fViewOption; }

// Transparency -------------------------------------------------------------------------------

IGBitmap& IGBitmap::setTransparentColor(const IColor& color)
{
    fTransparentColor = std::make_unique<IColor>(color);
    discardMask();
    return *this;
}

IGBitmap& IGBitmap::resetTransparentColor()
{
    fTransparentColor.reset();
    discardMask();
    return *this;
}

IColor IGBitmap::transparentColor() const
{
    return fTransparentColor ? *fTransparentColor : IColor();
}

IBase::Boolean IGBitmap::hasTransparentColor() const { return fTransparentColor != nullptr; }

// Handles ------------------------------------------------------------------------------------

IBitmapHandle IGBitmap::handle() const { return fBitmap; }

IPointerHandle IGBitmap::pointerHandle() const { return IPointerHandle(); }

HPALETTE__* IGBitmap::setPaletteHandle(HPALETTE__* palette)
{
    HPALETTE__* previous = fPalette;
    fPalette = palette;
    return previous;
}

void IGBitmap::replacePalette(HPALETTE__* palette) noexcept
{
    if (fPalette != palette)
        ovk_native::dispose(fPalette);
    fPalette = palette;
}

void IGBitmap::adopt(HBITMAP__* bitmap)
{
    BITMAP object{};
    GetObjectA(bitmap, sizeof object, &object);
    // Each made bitmap gets an entry of its own: the handle's value names it, as two live
    // bitmaps never share one, so no other entry of number 999 and the same size can stand in
    // for it (and have it deleted).
    const IString name = IString("IGBitmap ") +
                         IString(static_cast<unsigned long long>(
                             reinterpret_cast<std::uintptr_t>(bitmap)));
    fBitmap = IBitmapHandle(IResourceLibrary::enterBitmap(
        999, name, bitmap, ISize(object.bmWidth, object.bmHeight)));
}

// Static loaders -----------------------------------------------------------------------------

IBitmapHandle::Value IGBitmap::tryToLoadBitmap(unsigned long id, const IModuleHandle& module,
                                               const ISize& size)
{
    static const char function[] =
        "IGBitmap::tryToLoadBitmap(unsigned long,const IModuleHandle&,const ISize&)";
    ovk_native::Bitmap loaded(LoadBitmapA(module, MAKEINTRESOURCEA(LOWORD(id))));
    if (!loaded)
        return nullptr;
    ovk_native::Bitmap copy;
    {
        IGraphicContext memory;
        copy.reset(copyBitmap(memory, loaded.get(), size));
    }
    if (!loaded.destroy())
        IThrow::systemError(IString("DeleteObject") + "Id: " + IString(id), GetLastError(),
                            at(function, __LINE__));
    return copy.release();
}

IBitmapHandle::Value IGBitmap::loadBitmap(unsigned long id, const IModuleHandle& module,
                                          const ISize& size)
{
    HBITMAP bitmap = tryToLoadBitmap(id, module, size);
    if (!bitmap)
        IThrow::systemError(IString("LoadBitmap") + "Id: " + IString(id) + " ", GetLastError(),
                            at("IGBitmap::loadBitmap(unsigned long,const IModuleHandle&,"
                               "const ISize&)", __LINE__));
    return bitmap;
}

IBitmapHandle::Value IGBitmap::copyBitmap(IGraphicContext& context,
                                          IBitmapHandle::Value bitmap, const ISize& size)
{
    static const char function[] =
        "IGBitmap::copyBitmap(IGraphicContext&,IBitmapHandle::Value,const ISize&)";
    BITMAP object{};
    if (!GetObjectA(bitmap, sizeof object, &object))
        IThrow::systemError("GetObject", GetLastError(), at(function, __LINE__));
    const bool ownSize = size.width() == 0 && size.height() == 0;
    const int width = ownSize ? object.bmWidth : size.width();
    const int height = ownSize ? object.bmHeight : size.height();
    ovk_native::Bitmap copy(createLike(object, width, height));
    if (!copy)
        IThrow::systemError("CreateCompatibleBitmap", GetLastError(), at(function, __LINE__));
    HDC target = context.handle();
    BOOL done = FALSE;
    DWORD error = 0;
    {
        MemoryDC from(target);
        Selection source(from.get(), bitmap);
        Selection selected(target, copy.get());
        const int previousMode = SetStretchBltMode(target, COLORONCOLOR);
        done = StretchBlt(target, 0, 0, width, height, from.get(), 0, 0, object.bmWidth,
                          object.bmHeight, SRCCOPY);
        error = GetLastError();
        if (previousMode)
            SetStretchBltMode(target, previousMode);
    }
    if (!done)
        IThrow::systemError("StretchBlt", error, at(function, __LINE__));
    return copy.release();
}

IBitmapHandle IGBitmap::copyHandle(const IBitmapHandle& bitmap)
{
    IGraphicContext memory;
    return IBitmapHandle(copyBitmap(memory, bitmap.asValue(), ISize(0, 0)));
}
