// The frame extension record: size rules, placement and the separator.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include <detail/ilaybits.hpp>
#include <detail/iscoped.hpp>

#include "iframext.hpp"

IFrameExtension::IFrameExtension(IWindow* window, IFrameWindow::Location location,
                                 unsigned long pixels, IFrameWindow::SeparatorType separator)
    : fLocation(location), fSeparator(separator), fWindow(window)
{
    fSize.pixels = pixels;
}

IFrameExtension::IFrameExtension(IWindow* window, IFrameWindow::Location location, double fraction,
                                 IFrameWindow::SeparatorType separator)
    : fKind(fractionKind), fLocation(location), fSeparator(separator), fWindow(window)
{
    fSize.fraction = fraction;
}

IFrameExtension::IFrameExtension(IWindow* window, IFrameWindow::Location location,
                                 IFrameWindow::SeparatorType separator)
    : fKind(minimumKind), fLocation(location), fSeparator(separator), fWindow(window)
{
}

unsigned long IFrameExtension::pixelSize() const
{
    return fKind == pixelKind ? fSize.pixels : 0;
}

double IFrameExtension::fraction() const
{
    return fKind == fractionKind ? fSize.fraction : 0.0;
}

void IFrameExtension::setSize(unsigned long pixels)
{
    fKind = pixelKind;
    fSize.pixels = pixels;
}

void IFrameExtension::setSize(int pixels)
{
    setSize(static_cast<unsigned long>(pixels));
}

void IFrameExtension::setSize(double fraction)
{
    fKind = fractionKind;
    fSize.fraction = fraction;
}

void IFrameExtension::useMinimumSize()
{
    fKind = minimumKind;
    // The window's minimum size may be stale; the next layout asks for it again.
    if (fWindow)
        fWindow->setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
}

bool IFrameExtension::changesHeight() const
{
    return fLocation == IFrameWindow::aboveClient || fLocation == IFrameWindow::belowClient;
}

bool IFrameExtension::besideClient() const
{
    return fLocation >= IFrameWindow::leftOfClient;
}

long IFrameExtension::extent(long length, bool roundUp) const
{
    switch (fKind) {
    case pixelKind:
        return static_cast<long>(fSize.pixels);
    case fractionKind: {
        const double share = length * fSize.fraction;
        return static_cast<long>(roundUp ? std::ceil(share) : std::floor(share));
    }
    default: {
        const ISize minimum = fWindow ? fWindow->minimumSize() : ISize();
        return changesHeight() ? minimum.height() : minimum.width();
    }
    }
}

ISize IFrameExtension::sizeWithin(const ISize& available) const
{
    const long length = changesHeight() ? available.height() : available.width();
    long size = 0;
    switch (fKind) {
    case pixelKind:
        size = std::min(static_cast<long>(fSize.pixels), length);
        break;
    case fractionKind:
        // Truncated toward zero, not rounded: 0.3 of 99 pixels is 29.
        size = static_cast<long>(length * fSize.fraction);
        break;
    default:
        size = extent(length, false);
        break;
    }
    return changesHeight() ? ISize(available.width(), size) : ISize(size, available.height());
}

IRectangle IFrameExtension::growRect(const IRectangle& r) const
{
    if (!besideClient())
        return r;
    long left = r.minX(), top = r.minY(), right = r.maxX(), bottom = r.maxY();
    const long length = changesHeight() ? bottom - top : right - left;
    long added = static_cast<long>(separatorWidth());
    if (fKind == fractionKind) {
        // The extension's share of the grown length is the fraction: D * f / (1 - f) more.
        added += static_cast<long>(std::ceil(length * fSize.fraction / (1.0 - fSize.fraction)));
    } else {
        added += extent(length, true);
    }
    switch (fLocation) {
    case IFrameWindow::leftOfClient: left -= added; break;
    case IFrameWindow::rightOfClient: right += added; break;
    case IFrameWindow::aboveClient: top -= added; break;
    default: bottom += added; break;
    }
    return IRectangle(left, top, right, bottom);
}

IRectangle IFrameExtension::shrinkRect(const IRectangle& r) const
{
    if (!besideClient())
        return r;
    long left = r.minX(), top = r.minY(), right = r.maxX(), bottom = r.maxY();
    const long length = changesHeight() ? bottom - top : right - left;
    const long removed = extent(length, false) + static_cast<long>(separatorWidth());
    switch (fLocation) {
    case IFrameWindow::leftOfClient: left += removed; break;
    case IFrameWindow::rightOfClient: right -= removed; break;
    case IFrameWindow::aboveClient: top += removed; break;
    default: bottom -= removed; break;
    }
    return IRectangle(left, top, std::max(left, right), std::max(top, bottom));
}

IRectangle IFrameExtension::place(IRectangle& reference)
{
    long x = reference.minX(), y = reference.minY();
    long cx = reference.width(), cy = reference.height();
    const ISize size = sizeWithin(ISize(cx, cy));
    const long w = size.width(), h = size.height();
    const long s = static_cast<long>(separatorWidth());
    const bool even = (fLocation & 1) == 0;
    fX = even ? x : x + cx - w;
    fY = even ? y : y + cy - h;
    fWidth = w;
    fHeight = h;
    switch (fLocation) {
    case IFrameWindow::leftOfControl:
    case IFrameWindow::leftOfControl2:
    case IFrameWindow::leftOfClient:
        x += w + s;
        cx -= w + s;
        break;
    case IFrameWindow::aboveClient:
        y += h + s;
        cy -= h + s;
        break;
    case IFrameWindow::belowClient:
        cy -= h + s;
        break;
    default:
        cx -= w + s;
        break;
    }
    reference = IRectangle(x, y, x + std::max(0L, cx), y + std::max(0L, cy));
    return rect();
}

IRectangle IFrameExtension::rect() const
{
    return IRectangle(fX, fY, fX + fWidth, fY + fHeight);
}

unsigned long IFrameExtension::referenceId() const
{
    return besideClient() ? IFrameWindow::clientId : 0;
}

unsigned long IFrameExtension::separatorWidth() const
{
    switch (fSeparator) {
    case IFrameWindow::thinSeparator: return 1;
    case IFrameWindow::thickSeparator: return 3;
    default: return 0;
    }
}

// The lines run along the extension's edge that faces the area it was cut from, line 0 next
// to the extension: shadow, face, shadow for a thick separator.
void IFrameExtension::paintSeparator(HDC context) const
{
    const long n = static_cast<long>(separatorWidth());
    if (n == 0 || !context)
        return;
    const bool vertical = !changesHeight();
    const bool after = (fLocation & 1) == 0;
    for (long line = n - 1; line >= 0; --line) {
        const ovk_native::Pen pen(
            CreatePen(PS_SOLID, 0, GetSysColor(line == 1 ? COLOR_BTNFACE : COLOR_BTNSHADOW)));
        const ovk_native::Selection selected(context, pen.get());
        if (vertical) {
            const long x = after ? fX + fWidth + line : fX - 1 - line;
            MoveToEx(context, x, fY, nullptr);
            LineTo(context, x, fY + fHeight);
        } else {
            const long y = after ? fY + fHeight + line : fY - 1 - line;
            MoveToEx(context, fX, y, nullptr);
            LineTo(context, fX + fWidth, y);
        }
    }
}
