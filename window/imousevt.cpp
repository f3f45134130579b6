// The mouse events.
#include <windows.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "detail/iwincore.hpp"
#include "iprivmsg.hpp"

#include "icoordsy.hpp"
#include "imousevt.hpp"

namespace {

IPoint nativePosition(const IEvent& event)
{
    const std::uintptr_t value = event.parameter2().asUnsignedLong();
    return IPoint(static_cast<std::int16_t>(value & 0xFFFF),
                  static_cast<std::int16_t>((value >> 16) & 0xFFFF));
}

ISize windowSize(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return ISize(r.right - r.left, r.bottom - r.top);
}

struct ButtonEntry {
    unsigned long eventId;
    IMouseClickEvent::MouseButton button;
    IMouseClickEvent::MouseAction action;
};

using E = IMouseClickEvent;
constexpr ButtonEntry kButtons[] = {
    {WM_LBUTTONDOWN, E::button1, E::down},     {WM_LBUTTONUP, E::button1, E::up},
    {WM_LBUTTONDBLCLK, E::button1, E::doubleClick},
    {WM_RBUTTONDOWN, E::button2, E::down},     {WM_RBUTTONUP, E::button2, E::up},
    {WM_RBUTTONDBLCLK, E::button2, E::doubleClick},
    {WM_MBUTTONDOWN, E::button3, E::down},     {WM_MBUTTONUP, E::button3, E::up},
    {WM_MBUTTONDBLCLK, E::button3, E::doubleClick},
    {IPrivateMessage::leftClick, E::button1, E::click},
    {IPrivateMessage::rightClick, E::button2, E::click},
    {IPrivateMessage::middleClick, E::button3, E::click},
};

const ButtonEntry& buttonEntry(const IEvent& event, const char* function)
{
    for (const ButtonEntry& entry : kButtons)
        if (entry.eventId == event.eventId())
            return entry;
    IThrow::message(OVK_MSG_NO_EVENT_VALUE, IEXCEPTION_LOCATION("imousevt", function));
}

} // namespace

IPoint IMouseEvent::mousePosition() const
{
    return ICoordinateSystem::convertToApplication(nativePosition(*this), windowSize(handle()));
}

IWindowHandle IMouseEvent::windowUnderPointer() const
{
    const IPoint native = nativePosition(*this);
    POINT p{native.x(), native.y()};
    MapWindowPoints(handle(), HWND_DESKTOP, &p, 1);
    return WindowFromPoint(p);
}

IBase::Boolean IMouseEvent::isShiftKeyDown() const noexcept
{
    return (parameter1().asUnsignedLong() & MK_SHIFT) != 0;
}

IBase::Boolean IMouseEvent::isControlKeyDown() const noexcept
{
    return (parameter1().asUnsignedLong() & MK_CONTROL) != 0;
}

IBase::Boolean IMouseEvent::isAltKeyDown() const noexcept
{
    return (GetKeyState(VK_MENU) & 0xFF00) != 0;
}

IMouseClickEvent::MouseButton IMouseClickEvent::mouseButton() const
{
    return buttonEntry(*this, "IMouseClickEvent::mouseButton() const").button;
}

IMouseClickEvent::MouseAction IMouseClickEvent::mouseAction() const
{
    return buttonEntry(*this, "IMouseClickEvent::mouseAction() const").action;
}

unsigned long IMousePointerEvent::windowId() const noexcept
{
    HWND window = static_cast<HWND>(parameter1().asPointer());
    return IWindowCore::windowId(window) & 0xFFFF;
}

IPointerHandle IMousePointerEvent::mousePointer() const
{
    return IPointerHandle(GetCursor());
}

IMousePointerEvent& IMousePointerEvent::setMousePointer(const IPointerHandle& pointer) noexcept
{
    SetCursor(pointer.asValue());
    setResult(1);
    return *this;
}
