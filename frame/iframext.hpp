// IFrameExtension: a window docked at an edge of a frame's client area (or of another frame
// control), with its size rule and its separator line.
#pragma once

#include <irect.hpp>

#include <idefs.hpp>

#include "iframe.hpp"

struct HDC__;

// The frame keeps one record per extension; the layout pass asks it to size and place itself
// and to paint its separator. Rectangles here are native: x to the right, y downwards.
class OVKWIN_API IFrameExtension {
public:
    enum SizeKind : unsigned char { pixelKind = 0, fractionKind = 1, minimumKind = 2 };

    IFrameExtension(IWindow* window, IFrameWindow::Location location, unsigned long pixels,
                    IFrameWindow::SeparatorType separator);
    // The fraction must lie in 0 <= f < 1 (the frame checks it).
    IFrameExtension(IWindow* window, IFrameWindow::Location location, double fraction,
                    IFrameWindow::SeparatorType separator);
    // Sized by the window's minimum size.
    IFrameExtension(IWindow* window, IFrameWindow::Location location,
                    IFrameWindow::SeparatorType separator);

    // The virtual operations keep the order the layout code relies on; the frame deletes
    // records directly.
    // The pixel count when sized in pixels, else 0.
    virtual unsigned long pixelSize() const;
    // The fraction when sized by a fraction, else 0.0.
    virtual double fraction() const;
    virtual void setSize(unsigned long pixels);
    virtual void setSize(int pixels);
    virtual void setSize(double fraction);
    // The extension's size in an available area: the width beside, the height above or below
    // (the other dimension stays). A fraction is truncated.
    virtual ISize sizeWithin(const ISize& available) const;
    // A client rectangle grown into the frame rectangle that holds this extension as well
    // (a fraction rounded up), and the reverse (a fraction rounded down). Only extensions
    // beside the client take part.
    virtual IRectangle growRect(const IRectangle& rectangle) const;
    virtual IRectangle shrinkRect(const IRectangle& rectangle) const;
    virtual void useMinimumSize();
    // Places the extension at its edge of the reference area, which shrinks by the extension
    // and its separator; answers the extension's rectangle, which the record keeps.
    virtual IRectangle place(IRectangle& reference);
    // The identifier of the frame control the extension docks at: 0 or the client's.
    virtual unsigned long referenceId() const;
    virtual unsigned long separatorWidth() const;
    virtual void paintSeparator(HDC__* context) const;

    SizeKind sizeKind() const { return fKind; }
    IFrameWindow::Location location() const { return fLocation; }
    IFrameWindow::SeparatorType separatorType() const { return fSeparator; }
    IWindow* window() const { return fWindow; }
    // The rectangle of the last placement (empty before the first).
    IRectangle rect() const;

private:
    bool changesHeight() const;
    bool besideClient() const;
    // The size (width or height) in the dimension `length`, fractions rounded as asked.
    long extent(long length, bool roundUp) const;

    unsigned long fReserved = 0;
    union {
        unsigned long pixels;
        double fraction;
    } fSize{};
    SizeKind fKind = pixelKind;
    IFrameWindow::Location fLocation;
    IFrameWindow::SeparatorType fSeparator;
    long fX = 0, fY = 0, fWidth = 0, fHeight = 0;
    IWindow* fWindow;
};
