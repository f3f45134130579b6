// What the canvas handlers share when they paint a canvas's background.
#pragma once

#include <windows.h>

#include <detail/iscoped.hpp>
#include <igrafctx.hpp>
#include <igrect.hpp>
#include <igregion.hpp>

namespace ovk_canvas {

// One paint of a window with its client rectangle: EndPaint must follow every BeginPaint, or
// the caret stays hidden and the window is never validated.
class PaintScope {
public:
    explicit PaintScope(HWND window) : fPaint(window) { GetClientRect(window, &fClient); }

    HDC dc() const { return fPaint.get(); }
    const RECT& client() const { return fClient; }
    IRectangle update() const
    {
        const RECT& area = fPaint.info().rcPaint;
        return IRectangle(area.left, area.top, area.right, area.bottom);
    }

private:
    ovk_native::Paint fPaint;
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
