// The container's title window and its use of the shared owner-mouse handler.
#include <windows.h>

#include "detail/icnrseam.hpp"

#include <iexcept.hpp>

#include "detail/icnrdata.hpp"
#include "icnrctl.hpp"

void ICnrSeam::attachOwnerMouse(ICnrCtl&)
{
}

void ICnrSeam::detachOwnerMouse(ICnrCtl&) noexcept
{
}

ICnrTitle::ICnrTitle(ICnrCtl& container)
{
    fWindow = CreateWindowExA(0, "Static", "", WS_CHILD | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0,
                              container.handle(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ICnrControlData::titleId)),
                              GetModuleHandleA(nullptr), nullptr);
    if (!fWindow) {
        IThrow::systemError("WinCreateWindow: Id=32757 Class=Static", GetLastError(),
                            IEXCEPTION_LOCATION("icnrseam", "ICnrTitle::ICnrTitle(ICnrCtl&)"));
    }
}

ICnrTitle::~ICnrTitle()
{
    if (IsWindow(fWindow))
        DestroyWindow(fWindow);
}

HWND ICnrTitle::handle() const noexcept
{
    return fWindow;
}

void ICnrTitle::setText(const char* text)
{
    SetWindowTextA(fWindow, text ? text : "");
}

void ICnrTitle::takeFontOf(ICnrCtl& container)
{
    const LRESULT font = SendMessageA(container.handle(), WM_GETFONT, 0, 0);
    if (font)
        SendMessageA(fWindow, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

void ICnrTitle::setAlignment(unsigned long titleAttribute)
{
    LONG_PTR alignment = SS_LEFT;
    if (titleAttribute & CA_TITLECENTER)
        alignment = SS_CENTER;
    else if (titleAttribute & CA_TITLERIGHT)
        alignment = SS_RIGHT;
    const LONG_PTR style = GetWindowLongPtrA(fWindow, GWL_STYLE);
    const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | alignment;
    if (wanted != style) {
        SetWindowLongPtrA(fWindow, GWL_STYLE, wanted);
        InvalidateRect(fWindow, nullptr, TRUE);
    }
}
