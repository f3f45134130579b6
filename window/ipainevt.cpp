// The paint event.
#include <windows.h>

#include <detail/iscoped.hpp>

#include <cstring>

#include "ipainevt.hpp"
#include "iwindow.hpp"

namespace {

// Palette-relative, so that on a palette display the colour is matched in the realised palette
// instead of dithered.
COLORREF paletteRGB(const IColor& color)
{
    return static_cast<COLORREF>(color.asRGBLong()) | 0x02000000;
}

} // namespace

IPaintEvent::IPaintEvent(const IEvent& event) : IEvent(event)
{
    RECT r{};
    GetUpdateRect(handle(), &r, FALSE);
    if (r.left || r.top || r.right || r.bottom)
        fUpdateRect = IRectangle(r.left, r.top, r.right, r.bottom);
}

IPaintEvent::~IPaintEvent()
{
    releaseOwnPresSpace();
}

// The context goes back the way it came: through the window object, which may keep its own
// context, or to the system for a window without one. Never throws: it runs in destructors.
void IPaintEvent::releaseOwnPresSpace() noexcept
{
    if (!fPresSpace || fSupplied)
        return;
    try {
        if (IWindow* owner = window()) {
            owner->releasePresSpace(fPresSpace);
        } else {
            HDC context = fPresSpace;
            ovk_native::closeWindowDC(handle(), context);
        }
    } catch (...) {
    }
    fPresSpace = IPresSpaceHandle();
}

IPresSpaceHandle IPaintEvent::presSpaceHandle()
{
    if (!fPresSpace) {
        IWindow* owner = window();
        fPresSpace = owner ? owner->presSpace() : IPresSpaceHandle(GetDC(handle()));
        if (fPresSpace)
            clipToUpdateRegion();
    }
    return fPresSpace;
}

IPaintEvent& IPaintEvent::setPresSpaceHandle(const IPresSpaceHandle& context, IBase::Boolean clip)
{
    releaseOwnPresSpace();
    fPresSpace = context;
    fSupplied = 1;
    if (clip)
        clipToUpdateRegion();
    return *this;
}

IPaintEvent& IPaintEvent::clipToUpdateRegion()
{
    // The product, not the emptiness test: a rectangle one pixel wide still clips.
    if (!fPresSpace || fUpdateRect.width() == 0 || fUpdateRect.height() == 0)
        return *this;
    if (const ovk_native::Region region{CreateRectRgn(0, 0, 0, 0)}) {
        GetUpdateRgn(handle(), region.get(), FALSE);
        SelectClipRgn(fPresSpace, region.get());
    }
    return *this;
}

IPaintEvent& IPaintEvent::drawText(const char* text, const IPoint& position, const IColor& color)
{
    HDC dc = presSpaceHandle();
    if (!dc || !text)
        return *this;
    SetTextColor(dc, paletteRGB(color));
    TextOutA(dc, position.x(), position.y(), text, static_cast<int>(std::strlen(text)));
    return *this;
}

IPaintEvent& IPaintEvent::clearBackground(const IRectangle& rectangle, const IColor& color)
{
    HDC dc = presSpaceHandle();
    if (!dc)
        return *this;
    if (const ovk_native::Brush brush{CreateSolidBrush(paletteRGB(color))}) {
        const RECT r{rectangle.minX(), rectangle.minY(), rectangle.maxX(), rectangle.maxY()};
        FillRect(dc, &r, brush.get());
    }
    return *this;
}
