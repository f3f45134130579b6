// The icon control's painter.
#include <windows.h>

#include "detail/istretch.hpp"
#include "iiconctl.hpp"
#include "iicphdr.hpp"
#include "iwindow.hpp"

IIconControlPaintHandler::~IIconControlPaintHandler() = default;

IBase::Boolean IIconControlPaintHandler::paintWindow(IPaintEvent& event)
{
    auto* control = dynamic_cast<IIconControl*>(event.window());
    HDC dc = event.presSpaceHandle();
    if (!control || !dc)
        return false;
    RECT client{};
    GetClientRect(event.handle(), &client);
    const ISize area(client.right, client.bottom);
    if (control->hasFillBackground())
        event.clearBackground(IRectangle(0, 0, area.width(), area.height()),
                              control->fillColor());
    // An empty control gets no picture: DrawIconEx takes a width of 0 as the icon's own width
    // and would draw outside the control.
    if (area.width() > 0 && area.height() > 0) {
        const IPointerHandle icon =
            control->isShowingIcon() ? control->icon() : IPointerHandle();
        if (icon.isValid()) {
            DrawIconEx(dc, 0, 0, icon.asValue(), area.width(), area.height(), 0, nullptr,
                       DI_NORMAL);
        } else {
            const IBitmapHandle bitmap = control->bitmap();
            if (bitmap.isValid())
                ovk_window::stretchBitmapOver(event, bitmap, area);
        }
    }
    return GetWindowTextLengthA(event.handle()) == 0;
}
