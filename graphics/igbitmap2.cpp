// IGBitmap: drawing with stretching, palettes and transparency; the transparency mask; the
// context's draw operation for bitmaps; and the bitmap loader the resource libraries use.
#include "igbitmap.hpp"

#include <windows.h>

#include <detail/ireslib.hpp>
#include <detail/iscoped.hpp>

#include <atomic>
#include <cmath>
#include <utility>

#include <iexcept.hpp>

#include <icoordsy.hpp>

#include "igrafctx.hpp"
#include "igrect.hpp"

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

using ovk_native::MemoryDC;
using ovk_native::Selection;


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

// One transfer from a memory context holding the bitmap to the target context: the corners in
// the target's device coordinates and the source rectangle.
struct Stretch {
    HDC target;
    HDC memory;
    long d[4];
    const long* s;

    int dw() const { return static_cast<int>(d[2] - d[0]); }
    int dh() const { return static_cast<int>(d[3] - d[1]); }
    int sw() const { return static_cast<int>(s[2] - s[0]); }
    int sh() const { return static_cast<int>(s[3] - s[1]); }
    BOOL operator()(DWORD operation) const
    {
        return StretchBlt(target, d[0], d[1], dw(), dh(), memory, s[0], s[1], sw(), sh(),
                          operation);
    }
};

// The destination corners: a device that cannot transform itself gets them mapped here.
void mapCorners(HDC dc, const IGraphicContext& context, const long* destination, long* d)
{
    for (int i = 0; i < 4; ++i)
        d[i] = destination[i];
    if (SetGraphicsMode(dc, GM_ADVANCED))
        return;
    const ITransformMatrix m = context.worldTransform();
    if (m == ITransformMatrix())
        return;
    for (int corner = 0; corner < 4; corner += 2) {
        const double x = d[corner];
        const double y = d[corner + 1];
        d[corner] = truncated(x * m.m11() + y * m.m21() + m.dx());
        d[corner + 1] = truncated(x * m.m12() + y * m.m22() + m.dy());
    }
}

// A bitmap without transparency: one transfer with the operation; the pattern-paint operation
// paints the context's halftone pattern where the source is set. The context's bundle goes back
// unless the bitmap has one of its own (put back when the draw ends).
BOOL drawPlain(IGraphicContext& context, const Stretch& stretch, long rop, bool ownBundle)
{
    IGraphicBundle saved;
    if (rop == kPatternPaint) {
        saved = context.graphicBundle();
        IGraphicBundle pattern = saved;
        pattern.setFillPattern(IGraphicBundle::bitmapPattern6)
            .setPenColor(IColor(255, 255, 255))
            .setBackgroundColor(IColor(0, 0, 0));
        context.setGraphicBundle(pattern);
    }
    const BOOL done = stretch(static_cast<DWORD>(rop));
    const DWORD error = GetLastError();
    if (rop == kPatternPaint && !ownBundle)
        context.setGraphicBundle(saved);
    SetLastError(error);
    return done;
}

// A bitmap with a transparency mask. MaskBlt does not stretch: a transfer that changes the size
// takes the three passes. Nor does it draw a monochrome bitmap in the context's text and
// background colours here (it goes through a context of its own, black and white), so a
// two-colour image takes them too.
BOOL drawMasked(const Stretch& stretch, HBITMAP bitmap, HBITMAP mask)
{
    const bool sameSize = stretch.dw() == stretch.sw() && stretch.dh() == stretch.sh();
    BITMAP object{};
    const bool monochrome = GetObjectA(bitmap, sizeof object, &object) &&
                            object.bmPlanes * object.bmBitsPixel == 1;
    BOOL done = FALSE;
    if (sameSize && !monochrome && !gMaskBltFailed.load()) {
        const long* d = stretch.d;
        const long* s = stretch.s;
        done = MaskBlt(stretch.target, d[0], d[1], stretch.dw(), stretch.dh(), stretch.memory,
                       s[0], s[1], mask, s[0], s[1], kMaskedCopy);
        if (!done)
            gMaskBltFailed.store(true);
    }
    if (done)
        return done;
    // Source XOR destination, then cleared where the mask is 0 (the opaque pixels), then XOR
    // source again: the opaque pixels become the source, the transparent ones keep the
    // destination.
    if (!stretch(SRCINVERT))
        return FALSE;
    const COLORREF text = SetTextColor(stretch.target, 0);
    const COLORREF background = SetBkColor(stretch.target, 0xFFFFFF);
    BOOL masked = FALSE;
    {
        Selection maskSelected(stretch.memory, mask);
        masked = stretch(SRCAND);
    }
    SetTextColor(stretch.target, text);
    SetBkColor(stretch.target, background);
    return masked && stretch(SRCINVERT);
}


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
    ovk_native::PaletteSelection palette(dc, fPalette);
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    MemoryDC memory(dc);
    Selection bitmap(memory.get(), fBitmap.asValue());
    Stretch stretch{dc, memory.get(), {}, transfer.source};
    mapCorners(dc, context, transfer.destination, stretch.d);
    const BOOL done = fMask ? drawMasked(stretch, fBitmap.asValue(), fMask)
                            : drawPlain(context, stretch, rop, hasGraphicBundle());
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
    ovk_native::Bitmap mask;
    BOOL done = FALSE;
    DWORD error = 0;
    {
        MemoryDC first(nullptr);
        MemoryDC second(nullptr);
        // A fresh memory context holds a monochrome bitmap, so this one is monochrome too.
        mask.reset(CreateCompatibleBitmap(first.get(), extent.width(), extent.height()));
        if (!mask)
            IThrow::systemError("CreateCompatibleBitmap", GetLastError(),
                                at(function, __LINE__));
        Selection maskSelected(first.get(), mask.get());
        Selection bitmapSelected(second.get(), fBitmap.asValue());
        ovk_native::PaletteSelection palette(second.get(), fPalette);
        // A colour-to-monochrome copy makes the pixels of the background colour 1, all others 0.
        SetBkColor(second.get(),
                   static_cast<COLORREF>(fTransparentColor->asRGBLong()) | 0x02000000);
        done = BitBlt(first.get(), 0, 0, extent.width(), extent.height(), second.get(), 0, 0,
                      maskOperation(*this, fBitmap.asValue(), *fTransparentColor));
        error = GetLastError();
    }
    if (!done)
        IThrow::systemError("BitBlt", error, at(function, __LINE__));
    fMask = mask.release();
}

void IGBitmap::discardMask() noexcept
{
    ovk_native::dispose(fMask);
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
