// What the canvas handlers share when they paint a canvas's background.
#pragma once

#include <windows.h>

#include <igrafctx.hpp>
#include <igrect.hpp>
#include <igregion.hpp>

namespace ovk_canvas {

// BeginPaint and EndPaint around one paint of a window: EndPaint must follow every BeginPaint,
// or the caret stays hidden and the window is never validated.
class PaintScope {
public:
    explicit PaintScope(HWND window) : fWindow(window), fDc(BeginPaint(window, &fPaint))
    {
        GetClientRect(window, &fClient);
    }
    ~PaintScope()
    {
        if (fDc)
            EndPaint(fWindow, &fPaint);
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return fDc; }
    const RECT& client() const { return fClient; }
    IRectangle update() const
    {
        return IRectangle(fPaint.rcPaint.left, fPaint.rcPaint.top, fPaint.rcPaint.right,
                          fPaint.rcPaint.bottom);
    }

private:
    HWND fWindow;
    PAINTSTRUCT fPaint{};
    HDC fDc;
    RECT fClient{};
};

// Fills the area with the colour, pen and fill alike, inside the clip region only.
inline void fillClipped(IGraphicContext& context, const IGRegion& clip, const IRectangle& area,
                        const IColor& color)
{
    context.setClipRegion(clip);
    context.setPenColor(color).setFillColor(color);
    context.setDrawOperation(IGraphicBundle::fillAndFrame);
    context.draw(IGRectangle(area));
}

} // namespace ovk_canvas
