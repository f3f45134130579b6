// The icon control's painter.
#include <windows.h>

#include "detail/istretch.hpp"
#include "iicphdr.hpp"
#include "iwindow.hpp"

IIconControlPaintHandler::~IIconControlPaintHandler() = default;

IPointerHandle IIconControlPaintHandler::iconHandle(IWindow&)
{
    return IPointerHandle();
}

IBitmapHandle IIconControlPaintHandler::bitmapHandle(IWindow&)
{
    return IBitmapHandle();
}

IBase::Boolean IIconControlPaintHandler::fillsBackground(IWindow&)
{
    return true;
}

IColor IIconControlPaintHandler::backgroundColor(IWindow& control)
{
    return control.backgroundColor();
}

unsigned long IIconControlPaintHandler::textLength(IWindow& control)
{
    const int length = GetWindowTextLengthA(control.handle());
    return length > 0 ? static_cast<unsigned long>(length) : 0;
}

IBase::Boolean IIconControlPaintHandler::paintWindow(IPaintEvent& event)
{
    IWindow* control = event.window();
    HDC dc = event.presSpaceHandle();
    if (!control || !dc)
        return false;
    RECT client{};
    GetClientRect(event.handle(), &client);
    const ISize area(client.right, client.bottom);
    if (fillsBackground(*control))
        event.clearBackground(IRectangle(0, 0, area.width(), area.height()),
                              backgroundColor(*control));
    // An empty control gets no picture: DrawIconEx takes a width of 0 as the icon's own width
    // and would draw outside the control.
    if (area.width() > 0 && area.height() > 0) {
        const IPointerHandle icon = iconHandle(*control);
        if (icon.isValid()) {
            DrawIconEx(dc, 0, 0, icon.asValue(), area.width(), area.height(), 0, nullptr,
                       DI_NORMAL);
        } else {
            const IBitmapHandle bitmap = bitmapHandle(*control);
            if (bitmap.isValid())
                ovk_window::stretchBitmapOver(event, bitmap, area);
        }
    }
    return textLength(*control) == 0;
}
