// The bitmap control's painter.
#include <windows.h>

#include "ibcphdr.hpp"
#include "icolor.hpp"
#include "iwindow.hpp"

static_assert(IColor::desktop == 29, "the background of an empty bitmap control");

IBitmapControlPaintHandler::~IBitmapControlPaintHandler() = default;

HBITMAP IBitmapControlPaintHandler::bitmapHandle(IWindow&)
{
    return nullptr;
}

namespace {

void stretchOver(HDC target, HBITMAP bitmap, const RECT& area)
{
    BITMAP info{};
    HDC source = CreateCompatibleDC(target);
    if (!source || !GetObjectA(bitmap, sizeof info, &info)) {
        if (source)
            DeleteDC(source);
        return;
    }
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace

IBase::Boolean IBitmapControlPaintHandler::paintWindow(IPaintEvent& event)
{
    IWindow* control = event.window();
    HDC dc = event.presSpaceHandle();
    if (!control || !dc)
        return false;
    RECT area{};
    GetClientRect(event.handle(), &area);
    if (HBITMAP bitmap = bitmapHandle(*control))
        stretchOver(dc, bitmap, area);
    else
        event.clearBackground(event.rect(), IGUIColor(IColor::desktop));
    return GetWindowTextLengthA(event.handle()) == 0;
}
