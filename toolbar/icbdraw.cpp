// Drawing steps shared by the custom buttons' draw handlers.
#include <windows.h>

#include <algorithm>

#include <ifont.hpp>
#include <igbundle.hpp>
#include <igrect.hpp>
#include <iwindow.hpp>

#include <detail/igpattern.hpp>
#include <detail/iscoped.hpp>

#include "detail/ibtntext.hpp"
#include "detail/icbdraw.hpp"

namespace ovk_toolbar {

namespace {

// The graphic context's halftone fill pattern.
const long kHalftonePattern = IGraphicBundle::bitmapPattern7;
// Raster operations on the pattern: destination AND pattern, destination OR pattern.
constexpr DWORD kPatternAnd = 0x00A000C9;
constexpr DWORD kPatternOr = 0x00FA0089;

// Puts the fill attributes back when the scope ends.
class FillSave {
public:
    explicit FillSave(IGraphicContext& context)
        : fContext(context), fColor(context.fillColor()), fPattern(context.fillPattern()),
          fOperation(context.drawOperation()), fBackgroundMix(context.backgroundMixMode())
    {
    }
    ~FillSave()
    {
        try {
            fContext.setFillColor(fColor);
            fContext.setFillPattern(fPattern);
            fContext.setDrawOperation(fOperation);
            fContext.setBackgroundMixMode(fBackgroundMix);
        } catch (...) {
        }
    }
    FillSave(const FillSave&) = delete;
    FillSave& operator=(const FillSave&) = delete;

private:
    IGraphicContext& fContext;
    IColor fColor;
    long fPattern;
    IGraphicBundle::DrawOperation fOperation;
    IGraphicBundle::BackgroundMixMode fBackgroundMix;
};

// One pass of a monochrome pattern brush: its 0 bits in `zeros`, its 1 bits in `ones`.
void patternPass(HDC dc, HBITMAP pattern, const IRectangle& rect, COLORREF zeros, COLORREF ones,
                 DWORD rop)
{
    const ovk_native::Brush brush(CreatePatternBrush(pattern));
    const COLORREF oldText = SetTextColor(dc, zeros);
    const COLORREF oldBack = SetBkColor(dc, ones);
    {
        const ovk_native::Selection selected(dc, brush.get());
        PatBlt(dc, rect.minX(), rect.minY(), rect.width(), rect.height(), rop);
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

} // namespace

ColorSave::~ColorSave()
{
    try {
        fContext.setPenColor(fPen);
        fContext.setFillColor(fFill);
    } catch (...) {
    }
}

IRectangle inset(const IRectangle& rect, long left, long top, long right, long bottom)
{
    const long minX = rect.minX() + left;
    const long minY = rect.minY() + top;
    return IRectangle(minX, minY, std::max(minX, static_cast<long>(rect.maxX()) - right),
                      std::max(minY, static_cast<long>(rect.maxY()) - bottom));
}

void fill(IGraphicContext& context, const IRectangle& rect, const IColor& color)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    FillSave saved(context);
    context.setFillColor(color);
    context.setFillPattern(IGraphicBundle::solidPattern);
    context.setDrawOperation(IGraphicBundle::fill);
    context.draw(IGRectangle(rect));
}

void frame(IGraphicContext& context, const IRectangle& rect, long width, long height,
           const IColor& color)
{
    fill(context, IRectangle(rect.minX(), rect.minY(), rect.maxX(), rect.minY() + height), color);
    fill(context, IRectangle(rect.minX(), rect.maxY() - height, rect.maxX(), rect.maxY()), color);
    fill(context, IRectangle(rect.minX(), rect.minY(), rect.minX() + width, rect.maxY()), color);
    fill(context, IRectangle(rect.maxX() - width, rect.minY(), rect.maxX(), rect.maxY()), color);
}

// A monochrome pattern paints both its bit values whatever the background mix: the pixels of
// the pattern's black bits are first cleared and then ORed with the colour, so that the others
// stay as they are.
void halftone(IGraphicContext& context, const IRectangle& rect, const IColor& color)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const HDC dc = context.handle();
    const HBITMAP pattern = ovk_graphics::patternBitmap(kHalftonePattern);
    patternPass(dc, pattern, rect, RGB(0, 0, 0), RGB(255, 255, 255), kPatternAnd);
    patternPass(dc, pattern, rect, static_cast<COLORREF>(color.asRGBLong()), RGB(0, 0, 0),
                kPatternOr);
}

IRectangle faceInside(const IRectangle& inner, bool down)
{
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    if (down)
        return inset(inner, 2 * cx, 2 * cy, cx, cy);
    return inset(inner, cx, cy, 2 * cx, 2 * cy);
}

IRectangle backgroundArea(const IRectangle& face, bool down)
{
    if (!down)
        return face;
    const long cx = GetSystemMetrics(SM_CXBORDER);
    const long cy = GetSystemMetrics(SM_CYBORDER);
    return IRectangle(face.minX() - cx, face.minY() - cy, face.maxX() + cx, face.maxY() + cy);
}

void drawText(IGraphicContext& context, const IWindow& window, const IString& text,
              const IRectangle& face, bool down, const IColor& color)
{
    const std::vector<IString> lines = textLines(text);
    if (lines.empty() || face.width() <= 0 || face.height() <= 0)
        return;
    const IFont font(&window);
    const HDC dc = context.handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, face.minX(), face.minY(), face.maxX(), face.maxY());
    SelectObject(dc, font.handle());
    SetTextColor(dc, static_cast<COLORREF>(color.asRGBLong()));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    const long step = static_cast<long>(font.maxCharHeight()) - 1;
    long y = face.minY() + GetSystemMetrics(SM_CYBORDER) + (down ? 1 : 0);
    for (const IString& line : lines) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, line, static_cast<int>(line.length()), &extent);
        long x = face.minX() + (face.width() - extent.cx) / 2;
        if (extent.cx > face.width())
            x = face.minX();
        TextOutA(dc, x, y, line, static_cast<int>(line.length()));
        y += step;
    }
    RestoreDC(dc, saved);
}

} // namespace ovk_toolbar
