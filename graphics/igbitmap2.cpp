// IGBitmap: drawing with stretching, palettes and transparency; the transparency mask; the
// context's draw operation for bitmaps; and the bitmap loader the resource libraries use.
#include "igbitmap.hpp"

#include <windows.h>

#include <atomic>
#include <cmath>
#include <utility>

#include <iexcept.hpp>

#include <icoordsy.hpp>

#include "../app/detail/ireslib.hpp"
#include "igrafctx.hpp"
#include "igrect.hpp"
#include "detail/imemdc.hpp"

namespace {

const char kFile[] = "igbitmap2";

// The raster operation that paints the context's pattern where the source is set.
constexpr long kPatternPaint = 0x00FC008A;
// MaskBlt's pair of operations: the destination kept where the mask is 1 (the transparent
// pixels), the source copied where it is 0.
constexpr DWORD kMaskedCopy = 0xCCAA0029;

// Set once MaskBlt has failed: from then on every masked draw takes the three-pass road rather
// than failing the first call of every draw.
std::atomic<bool> gMaskBltFailed{false};

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

using ovk_graphics::MemoryDC;

// Selects and realises a palette for the scope (not as a background palette), then puts the
// previous one back and realises it again.
class PaletteScope {
public:
    PaletteScope(HDC dc, HPALETTE palette) : fDC(dc)
    {
        if (!palette)
            return;
        fOld = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    ~PaletteScope()
    {
        if (!fOld)
            return;
        SelectPalette(fDC, fOld, FALSE);
        RealizePalette(fDC);
    }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;

private:
    HDC fDC;
    HPALETTE fOld = nullptr;
};

// Applies a graphic's own bundle and transform for the time it is drawn, and puts the
// context's back afterwards, also when drawing throws.
class OwnAttributes {
public:
    OwnAttributes(IGraphicContext& context, const IGraphic& graphic) : fContext(context)
    {
        if (graphic.hasGraphicBundle()) {
            fSavedBundle = context.graphicBundle();
            fBundleChanged = true;
            context.setGraphicBundle(graphic.graphicBundle());
        }
    }
    void applyTransform(const IGraphic& graphic)
    {
        if (graphic.transformMode() == 0 || graphic.hasTransformMatrix()) {
            fSavedTransform = fContext.worldTransform();
            fTransformChanged = true;
            fContext.setWorldTransform(graphic.transformMatrix(), graphic.transformMode());
        }
    }
    ~OwnAttributes()
    {
        if (fTransformChanged)
            fContext.setWorldTransform(fSavedTransform, 0);
        try {
            if (fBundleChanged)
                fContext.setGraphicBundle(fSavedBundle);
        } catch (...) {
            // The context keeps the bitmap's attributes until the next bundle or setter; a
            // destructor must not throw.
        }
    }
    OwnAttributes(const OwnAttributes&) = delete;
    OwnAttributes& operator=(const OwnAttributes&) = delete;

private:
    IGraphicContext& fContext;
    IGraphicBundle fSavedBundle;
    ITransformMatrix fSavedTransform;
    bool fBundleChanged = false;
    bool fTransformChanged = false;
};

// Flips a pair of y values against a height.
void flipPair(long* y1, long* y2, long height)
{
    *y1 = height - *y1;
    *y2 = height - *y2;
}

// Gives the destination positive extents, carrying each swap over to the source, so that only
// a source of opposite orientation mirrors the image.
void normalise(long* destination, long* source)
{
    for (int axis = 0; axis < 2; ++axis) {
        if (destination[axis] > destination[axis + 2]) {
            std::swap(destination[axis], destination[axis + 2]);
            std::swap(source[axis], source[axis + 2]);
        }
    }
}

long truncated(double value) { return static_cast<long>(std::trunc(value)); }

// The native bitmap loader of the resource libraries.
HBITMAP__* loadResourceBitmap(unsigned long id, HINSTANCE__* module, const ISize& size)
{
    return IGBitmap::tryToLoadBitmap(id, IModuleHandle(module), size);
}

// Registered while the library loads, before any resource library is asked for a bitmap.
struct LoaderRegistration {
    LoaderRegistration() { ovkSetBitmapResourceLoader(&loadResourceBitmap); }
} gLoaderRegistration;

// A monochrome bitmap is copied bit for bit into the mask, whatever the background colour: which
// of its two values are transparent follows from the colours it is drawn in, its own pen colour
// for 0 bits and background colour for 1 bits (black and white without a bundle of its own).
DWORD maskOperation(const IGBitmap& bitmap, HBITMAP native, const IColor& transparentColor)
{
    BITMAP object{};
    if (!GetObjectA(native, sizeof object, &object) ||
        object.bmPlanes * object.bmBitsPixel != 1)
        return SRCCOPY;
    IColor zero(0, 0, 0);
    IColor one(255, 255, 255);
    if (bitmap.hasGraphicBundle()) {
        const IGraphicBundle bundle = bitmap.graphicBundle();
        if (bundle.hasAttribute(IGraphicBundle::penColorAttribute))
            zero = bundle.penColor();
        if (bundle.hasAttribute(IGraphicBundle::backgroundColorAttribute))
            one = bundle.backgroundColor();
    }
    const unsigned long transparent = transparentColor.asRGBLong();
    const bool zeroClear = zero.asRGBLong() == transparent;
    const bool oneClear = one.asRGBLong() == transparent;
    return zeroClear ? (oneClear ? WHITENESS : NOTSRCCOPY) : (oneClear ? SRCCOPY : BLACKNESS);
}

} // namespace

// Drawing ------------------------------------------------------------------------------------

IGBitmap& IGBitmap::drawOn(IGraphicContext& context) { return draw(context, copyRop); }

bool IGBitmap::conversionApplies(const IGraphicContext& context) const
{
    return ICoordinateSystem::isConversionNeeded() && context.conversionHeight() != 0 &&
           !context.isHitTesting() && !context.isCollectingBounds();
}

IGBitmap& IGBitmap::draw(IGraphicContext& context, long rop)
{
    const ISize extent = size();
    const long width = extent.width();
    const long height = extent.height();
    long y = fPosition.y();
    if (conversionApplies(context))
        y = static_cast<long>(context.conversionHeight()) - fPosition.y() - height;
    const long x = fPosition.x();
    drawTransfer(context, rop, Transfer{{x, y, x + width, y + height}, {0, 0, width, height}});
    return *this;
}

IGBitmap& IGBitmap::drawWithPoints(IGraphicContext& context, const IPoint& p1, const IPoint& p2,
                                   const IPoint& p3, const IPoint& p4, long rop)
{
    Transfer transfer{{p1.x(), p1.y(), p2.x(), p2.y()}, {p3.x(), p3.y(), p4.x(), p4.y()}};
    // Both rectangles count y upward then: the destination flips against the context's height
    // and the source against the bitmap's, so that the two flips cancel and the image stays
    // upright.
    if (conversionApplies(context)) {
        flipPair(&transfer.destination[1], &transfer.destination[3],
                 static_cast<long>(context.conversionHeight()));
        flipPair(&transfer.source[1], &transfer.source[3], size().height());
    }
    normalise(transfer.destination, transfer.source);
    drawTransfer(context, rop, transfer);
    return *this;
}

void IGBitmap::drawTransfer(IGraphicContext& context, long rop, Transfer transfer)
{
    OwnAttributes own(context, *this);
    if (fMaskOutOfDate && fTransparentColor && !fMask) {
        createMask();
        fMaskOutOfDate = 0;
    }
    own.applyTransform(*this);
    if (context.isHitTesting() || context.isCollectingBounds()) {
        const long* d = transfer.destination;
        IGRectangle box(IRectangle(d[0], d[1], d[2], d[3]));
        // Filled, whatever the context's draw operation, so that a point anywhere inside the
        // bitmap hits it.
        IGraphicBundle filled;
        filled.setDrawOperation(IGraphicBundle::fillAndFrame);
        box.setGraphicBundle(filled);
        box.drawOn(context);
        if (box.isHit())
            setHit(true);
        return;
    }
    blit(context, rop, transfer);
}

void IGBitmap::blit(IGraphicContext& context, long rop, const Transfer& transfer)
{
    static const char function[] = "IGBitmap::draw(IGraphicContext&,long,void*)";
    HDC dc = context.handle();
    long d[4] = {transfer.destination[0], transfer.destination[1], transfer.destination[2],
                 transfer.destination[3]};
    const long* s = transfer.source;
    // A device that cannot transform itself gets the corners mapped here.
    if (!SetGraphicsMode(dc, GM_ADVANCED)) {
        const ITransformMatrix m = context.worldTransform();
        if (m != ITransformMatrix()) {
            for (int corner = 0; corner < 4; corner += 2) {
                const double x = d[corner];
                const double y = d[corner + 1];
                d[corner] = truncated(x * m.m11() + y * m.m21() + m.dx());
                d[corner + 1] = truncated(x * m.m12() + y * m.m22() + m.dy());
            }
        }
    }
    const int dw = static_cast<int>(d[2] - d[0]);
    const int dh = static_cast<int>(d[3] - d[1]);
    const int sw = static_cast<int>(s[2] - s[0]);
    const int sh = static_cast<int>(s[3] - s[1]);
    PaletteScope palette(dc, fPalette);
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    MemoryDC memory(dc);
    memory.select(fBitmap.asValue());
    auto stretch = [&](DWORD operation) {
        return StretchBlt(dc, d[0], d[1], dw, dh, memory.get(), s[0], s[1], sw, sh, operation);
    };
    BOOL done = FALSE;
    if (!fMask) {
        IGraphicBundle saved;
        if (rop == kPatternPaint) {
            saved = context.graphicBundle();
            IGraphicBundle pattern = saved;
            pattern.setFillPattern(IGraphicBundle::bitmapPattern6)
                .setPenColor(IColor(255, 255, 255))
                .setBackgroundColor(IColor(0, 0, 0));
            context.setGraphicBundle(pattern);
        }
        done = stretch(static_cast<DWORD>(rop));
        const DWORD error = GetLastError();
        // A bitmap with its own bundle has the context's put back when the draw ends.
        if (rop == kPatternPaint && !hasGraphicBundle())
            context.setGraphicBundle(saved);
        SetLastError(error);
    } else {
        // MaskBlt does not stretch: a transfer that changes the size takes the three passes. Nor
        // does it draw a monochrome bitmap in the context's text and background colours here (it
        // goes through a context of its own, black and white), so a two-colour image takes
        // them too.
        const bool sameSize = dw == sw && dh == sh;
        BITMAP object{};
        const bool monochrome = GetObjectA(fBitmap.asValue(), sizeof object, &object) &&
                                object.bmPlanes * object.bmBitsPixel == 1;
        if (sameSize && !monochrome && !gMaskBltFailed.load()) {
            done = MaskBlt(dc, d[0], d[1], dw, dh, memory.get(), s[0], s[1], fMask, s[0], s[1],
                           kMaskedCopy);
            if (!done)
                gMaskBltFailed.store(true);
        }
        // Source XOR destination, then cleared where the mask is 0 (the opaque pixels), then
        // XOR source again: the opaque pixels become the source, the transparent ones keep the
        // destination.
        if (!done && stretch(SRCINVERT)) {
            const COLORREF text = SetTextColor(dc, 0);
            const COLORREF background = SetBkColor(dc, 0xFFFFFF);
            memory.select(fMask);
            const BOOL masked = stretch(SRCAND);
            SetTextColor(dc, text);
            SetBkColor(dc, background);
            memory.select(fBitmap.asValue());
            done = masked && stretch(SRCINVERT);
        }
    }
    const DWORD error = GetLastError();
    if (previousMode)
        SetStretchBltMode(dc, previousMode);
    if (!done)
        IThrow::systemError("StretchBlt", error, at(function, __LINE__));
}

// The mask --------------------------------------------------------------------------------

void IGBitmap::createMask()
{
    static const char function[] = "IGBitmap::createMask()";
    const ISize extent = size();
    HBITMAP mask = nullptr;
    BOOL done = FALSE;
    DWORD error = 0;
    {
        MemoryDC first(nullptr);
        MemoryDC second(nullptr);
        // A fresh memory context holds a monochrome bitmap, so this one is monochrome too.
        mask = CreateCompatibleBitmap(first.get(), extent.width(), extent.height());
        if (!mask)
            IThrow::systemError("CreateCompatibleBitmap", GetLastError(),
                                at(function, __LINE__));
        first.select(mask);
        second.select(fBitmap.asValue());
        PaletteScope palette(second.get(), fPalette);
        // A colour-to-monochrome copy makes the pixels of the background colour 1, all others 0.
        SetBkColor(second.get(),
                   static_cast<COLORREF>(fTransparentColor->asRGBLong()) | 0x02000000);
        done = BitBlt(first.get(), 0, 0, extent.width(), extent.height(), second.get(), 0, 0,
                      maskOperation(*this, fBitmap.asValue(), *fTransparentColor));
        error = GetLastError();
    }
    if (!done) {
        DeleteObject(mask);
        IThrow::systemError("BitBlt", error, at(function, __LINE__));
    }
    fMask = mask;
}

void IGBitmap::discardMask() noexcept
{
    if (fMask)
        DeleteObject(fMask);
    fMask = nullptr;
    fMaskOutOfDate = 1;
}

// The context's operation for bitmaps --------------------------------------------------------

IGraphicContext& IGraphicContext::draw(const IGBitmap& bitmap)
{
    // The bitmap draws itself; it notes its hit and builds its mask, as other graphics note
    // their hits through the same const reference.
    const_cast<IGBitmap&>(bitmap).draw(*this, IGBitmap::copyRop);
    return *this;
}
