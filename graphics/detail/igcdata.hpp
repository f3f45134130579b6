// IGCData: the graphic context's attributes and states, and their realisation as the native
// pen and brush selected into the device context.
#pragma once

#include <windows.h>

#include <detail/iscoped.hpp>

#include <ipoint.hpp>
#include <irect.hpp>

#include <icolor.hpp>
#include <idefs.hpp>

#include "../igbundle.hpp"
#include "../itrnsfrm.hpp"

struct IGCData {
    enum State : unsigned char { drawing = 0, hitTesting = 1, collectingBounds = 2 };

    IGCData();

    // Builds the pen (or brush) of the attributes, selects it and deletes the one this context
    // selected before; the first one replaces the device context's own, which is kept for the
    // destructor. Nothing while deferred.
    void createPen(HDC context);
    void createBrush(HDC context);
    // Puts back the device context's own pen and brush and deletes this context's.
    void restoreOriginals(HDC context) noexcept;

    State fState = drawing;
    HWND fWindow = nullptr;
    IGraphicBundle::DrawOperation fDrawOperation;
    IColor fPenColor;
    IColor fFillColor;
    IColor fBackgroundColor;
    IGraphicBundle::MixMode fMixMode;
    IGraphicBundle::BackgroundMixMode fBackgroundMixMode;
    unsigned long fPenWidth;
    IGraphicBundle::PenType fPenType;
    IGraphicBundle::PenEnding fPenEnding;
    IGraphicBundle::PenJoining fPenJoining;
    long fPenPattern;
    long fFillPattern;
    bool fDeferred = false;
    IPoint fHitPoint;
    ISize fHitAperture{12, 20};
    int fAdvancedMode = 0;
    ITransformMatrix fTransform;
    IRectangle fBounds;
    unsigned long fConversionHeight = 0;
    bool fConversionOn = false;
    // The pen and brush this context made and has selected now, and the bitmap of an
    // off-screen context, each with the device context's own object to put back.
    ovk_native::LastingSelection fPen;
    ovk_native::LastingSelection fBrush;
    ovk_native::LastingSelection fBitmap;
};

namespace ovk_graphics {
// Test hook: how many pens the contexts of this process have created so far.
OVKWIN_API unsigned long createdPenCount() noexcept;
// The platform's COLORREF of a colour, palette-relative as fills and text take it.
inline COLORREF paletteRelative(const IColor& color)
{
    return static_cast<COLORREF>(color.asRGBLong()) | 0x02000000;
}
// Whether a fill pattern is one of the hatches, hollow or solid (ids -8 to -1).
inline bool isPlainPattern(long pattern) { return pattern >= -8 && pattern <= -1; }
} // namespace ovk_graphics
