// Drawing steps that the custom buttons' draw handlers share: filled areas, the halftone cover,
// the face inside the border and the centred lines of the text. Coordinates are the button's
// native ones, the origin at the upper left.
#pragma once

#include <irect.hpp>
#include <istring.hpp>

#include <icolor.hpp>
#include <igrafctx.hpp>

class IWindow;

namespace ovk_toolbar {

// Puts the context's pen and fill colours back when the scope ends.
class ColorSave {
public:
    explicit ColorSave(IGraphicContext& context)
        : fContext(context), fPen(context.penColor()), fFill(context.fillColor()) {}
    ~ColorSave();
    ColorSave(const ColorSave&) = delete;
    ColorSave& operator=(const ColorSave&) = delete;

private:
    IGraphicContext& fContext;
    IColor fPen;
    IColor fFill;
};

// The rectangle less the given widths on each side (never inside out).
IRectangle inset(const IRectangle& rect, long left, long top, long right, long bottom);
// Fills exactly the rectangle's pixels, from its minimum up to but not including its maximum.
void fill(IGraphicContext& context, const IRectangle& rect, const IColor& color);
// An outline of the given widths along the inside of the rectangle.
void frame(IGraphicContext& context, const IRectangle& rect, long width, long height,
           const IColor& color);
// Covers the rectangle with the halftone pattern in the colour, leaving the other pixels alone.
void halftone(IGraphicContext& context, const IRectangle& rect, const IColor& color);

// The face inside the edges of `inner` (the rectangle inside the outline): an up face leaves the
// highlight at the top and left and the two shadow lines at the bottom and right; a down face is
// the up face one border width lower and to the right, so that the content moves with the press.
IRectangle faceInside(const IRectangle& inner, bool down);
// What the background covers: the face, or, when down, everything inside the shadow edge.
IRectangle backgroundArea(const IRectangle& face, bool down);

// The lines of the text centred in the face: the first starts a border height below the face's
// top (one pixel more when down), each next one the font's height less 1 below it; a line wider
// than the face starts at its left edge. Nothing outside the face is drawn.
void drawText(IGraphicContext& context, const IWindow& window, const IString& text,
              const IRectangle& face, bool down, const IColor& color);

} // namespace ovk_toolbar
