// The bitmap control's painter.
#include <windows.h>

#include "detail/istretch.hpp"
#include "ibmpctl.hpp"
#include "ibcphdr.hpp"
#include "icolor.hpp"
#include "iwindow.hpp"

static_assert(IColor::desktop == 29, "the background of an empty bitmap control");

IBitmapControlPaintHandler::~IBitmapControlPaintHandler() = default;

IBase::Boolean IBitmapControlPaintHandler::paintWindow(IPaintEvent& event)
{
    IWindow* control = event.window();
    HDC dc = event.presSpaceHandle();
    if (!control || !dc)
        return false;
    RECT area{};
    GetClientRect(event.handle(), &area);
    auto* bitmapControl = dynamic_cast<IBitmapControl*>(control);
    const IBitmapHandle bitmap = bitmapControl ? bitmapControl->bitmap() : IBitmapHandle();
    if (bitmap.isValid())
        ovk_window::stretchBitmapOver(event, bitmap, ISize(area.right, area.bottom));
    else
        event.clearBackground(event.rect(), IGUIColor(IColor::desktop));
    return GetWindowTextLengthA(event.handle()) == 0;
}
