// IMouseEvent, IMouseClickEvent, IMousePointerEvent: pointer movement, button events and the
// request to set the mouse pointer.
#pragma once

#include <ipoint.hpp>

#include <idefs.hpp>
#include <iptrhdl.hpp>

#include "ievent.hpp"

class OVKWIN_API IMouseEvent : public IEvent {
public:
    IMouseEvent(const IEvent& event) noexcept : IEvent(event) {}

    // In the application's orientation, against the height of the window's whole rectangle.
    IPoint mousePosition() const;
    IWindowHandle windowUnderPointer() const;
    IBase::Boolean isShiftKeyDown() const noexcept;
    IBase::Boolean isControlKeyDown() const noexcept;
    // Asked of the keyboard state now: the message does not carry Alt.
    IBase::Boolean isAltKeyDown() const noexcept;
};

class OVKWIN_API IMouseClickEvent : public IMouseEvent {
public:
    enum MouseButton { button1 = 0, button2 = 1, button3 = 2 };
    enum MouseAction { click = 0, doubleClick = 1, down = 2, up = 3 };

    IMouseClickEvent(const IEvent& event) noexcept : IMouseEvent(event) {}

    // Both throw the invalid-request error for an event that is not a button event.
    MouseButton mouseButton() const;
    MouseAction mouseAction() const;
};

class OVKWIN_API IMousePointerEvent : public IEvent {
public:
    IMousePointerEvent(const IEvent& event) noexcept : IEvent(event) {}

    // The identifier of the window under the pointer (low 16 bits).
    unsigned long windowId() const noexcept;
    // The pointer shown now. A pointer entered in the pointer table gains a holder, so it
    // stays valid while the answer is kept.
    IPointerHandle mousePointer() const;
    // Shows the pointer and answers 1 to Windows, which then leaves the pointer alone. The
    // event does not keep the handle: the caller's holder keeps the pointer alive.
    IMousePointerEvent& setMousePointer(const IPointerHandle& pointer) noexcept;
};
