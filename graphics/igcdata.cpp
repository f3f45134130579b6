// Realising the graphic context's attributes as the native pen and brush.
#include "detail/igcdata.hpp"

#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "detail/igpattern.hpp"
#include "igrafctx.hpp"

namespace {

unsigned long gCreatedPens = 0;

int hatchStyle(long pattern)
{
    switch (pattern) {
    case -1: return HS_DIAGCROSS;
    case -2: return HS_CROSS;
    case -5: return HS_BDIAGONAL;
    case -6: return HS_FDIAGONAL;
    case -7: return HS_HORIZONTAL;
    case -8: return HS_VERTICAL;
    default: return -1;
    }
}

DWORD penTypeStyle(IGraphicBundle::PenType type, bool geometric, unsigned long width)
{
    const bool variant = IPlatform::isPlatformVariant();
    const bool limited = IPlatform::hasLimitedGraphics();
    switch (type) {
    case IGraphicBundle::dot: return geometric && limited ? PS_SOLID : PS_DOT;
    case IGraphicBundle::dash:
    case IGraphicBundle::longDash: return geometric && limited ? PS_SOLID : PS_DASH;
    case IGraphicBundle::dashDot: return geometric && limited ? PS_SOLID : PS_DASHDOT;
    case IGraphicBundle::dashDoubleDot: return geometric && limited ? PS_SOLID : PS_DASHDOTDOT;
    case IGraphicBundle::doubleDot:
        if (variant || (limited && !geometric))
            return PS_DOT;
        return limited ? PS_SOLID : PS_USERSTYLE;
    case IGraphicBundle::alternate:
        if (variant || limited || (IPlatform::isAlternatePenCosmeticOnly() && width > 1))
            return PS_SOLID;
        return PS_ALTERNATE;
    case IGraphicBundle::invisible: return PS_NULL;
    default: return PS_SOLID;
    }
}

DWORD endingStyle(IGraphicBundle::PenEnding ending)
{
    return ending == IGraphicBundle::square    ? PS_ENDCAP_SQUARE
           : ending == IGraphicBundle::rounded ? PS_ENDCAP_ROUND
                                               : PS_ENDCAP_FLAT;
}

DWORD joiningStyle(IGraphicBundle::PenJoining joining)
{
    return joining == IGraphicBundle::round   ? PS_JOIN_ROUND
           : joining == IGraphicBundle::miter ? PS_JOIN_MITER
                                              : PS_JOIN_BEVEL;
}

LOGBRUSH penBrush(long pattern, COLORREF color, bool patterned)
{
    LOGBRUSH brush{BS_SOLID, color, 0};
    if (!patterned)
        return brush;
    if (HBITMAP bitmap = ovk_graphics::patternBitmap(pattern)) {
        brush.lbStyle = BS_PATTERN;
        brush.lbHatch = reinterpret_cast<ULONG_PTR>(bitmap);
    } else if (hatchStyle(pattern) >= 0) {
        brush.lbStyle = BS_HATCHED;
        brush.lbHatch = static_cast<ULONG_PTR>(hatchStyle(pattern));
    } else if (pattern == -4) {
        brush.lbStyle = BS_HOLLOW;
    }
    return brush;
}

} // namespace

unsigned long ovk_graphics::createdPenCount() noexcept { return gCreatedPens; }

IGCData::IGCData()
    : fDrawOperation(IGraphicContext::defaultDrawOperation()),
      fPenColor(IGraphicContext::defaultPenColor()),
      fFillColor(IGraphicContext::defaultFillColor()),
      fBackgroundColor(IGraphicContext::defaultBackgroundColor()),
      fMixMode(IGraphicContext::defaultMixMode()),
      fBackgroundMixMode(IGraphicContext::defaultBackgroundMixMode()),
      fPenWidth(IGraphicContext::defaultPenWidth()),
      fPenType(IGraphicContext::defaultPenType()),
      fPenEnding(IGraphicContext::defaultPenEnding()),
      fPenJoining(IGraphicContext::defaultPenJoining()),
      fPenPattern(IGraphicContext::defaultPenPattern()),
      fFillPattern(IGraphicContext::defaultFillPattern())
{
}

void IGCData::createPen(HDC context)
{
    if (fDeferred)
        return;
    const bool variant = IPlatform::isPlatformVariant();
    const bool limited = IPlatform::hasLimitedGraphics();
    const bool geometric = !variant && fPenWidth > 1;
    DWORD style = geometric ? PS_GEOMETRIC : PS_COSMETIC;
    style |= penTypeStyle(fPenType, geometric, fPenWidth);
    if (!variant) {
        if (geometric)
            style |= endingStyle(fPenEnding);
        style |= joiningStyle(fPenJoining);
    }
    const COLORREF color = static_cast<COLORREF>(fPenColor.asRGBLong());

    HPEN pen = nullptr;
    if (variant) {
        pen = CreatePen(static_cast<int>(style), 1, color);
        if (!pen)
            IThrow::systemError("CreatePen", GetLastError(),
                                IEXCEPTION_LOCATION("igrafctx",
                                                    "IGCData::createPen(const IPresSpaceHandle&)"));
    } else {
        const LOGBRUSH brush = penBrush(fPenPattern, color, geometric && !limited);
        // A cosmetic pen must be one pixel wide for ExtCreatePen, whatever width 0 or 1 was
        // asked for; and a style array of zeros (width 0) is refused, so its dots are at
        // least one unit long.
        const DWORD unit = fPenWidth > 1 ? static_cast<DWORD>(fPenWidth) : 1;
        const DWORD segments[4] = {unit, unit, unit, 2 * unit};
        const bool userStyle = (style & PS_STYLE_MASK) == PS_USERSTYLE && !limited;
        pen = ExtCreatePen(style, geometric ? unit : 1, &brush, userStyle ? 4 : 0,
                           userStyle ? segments : nullptr);
        if (!pen)
            IThrow::systemError("ExtCreatePen", GetLastError(),
                                IEXCEPTION_LOCATION("igrafctx",
                                                    "IGCData::createPen(const IPresSpaceHandle&)"));
    }
    ++gCreatedPens;
    fPen.select(context, pen);
    SetTextColor(context, ovk_graphics::paletteRelative(fPenColor));
}

void IGCData::createBrush(HDC context)
{
    if (fDeferred)
        return;
    HBRUSH brush = nullptr;
    if (HBITMAP bitmap = ovk_graphics::patternBitmap(fFillPattern))
        brush = CreatePatternBrush(bitmap);
    else if (hatchStyle(fFillPattern) >= 0)
        brush = CreateHatchBrush(hatchStyle(fFillPattern),
                                 ovk_graphics::paletteRelative(fFillColor));
    else if (fFillPattern == -4)
        brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    else if (fFillPattern == -3)
        brush = CreateSolidBrush(ovk_graphics::paletteRelative(fFillColor));
    else
        brush = CreatePatternBrush(reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(fFillPattern)));
    // A pattern that names no bitmap makes no brush: the previous brush stays selected rather
    // than none at all.
    if (brush)
        fBrush.select(context, brush);
}

void IGCData::restoreOriginals(HDC context) noexcept
{
    fBrush.restore(context);
    fPen.restore(context);
}
