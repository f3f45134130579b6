// The keyboard event.
#include <windows.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "ikeyevt.hpp"

const unsigned long IKeyboardEvent::altMask = 0x20000000;
const unsigned long IKeyboardEvent::upMask = 0x80000000;

namespace {

constexpr unsigned long kExtendedMask = 0x01000000;

bool isKeyMessage(unsigned long id)
{
    return id == WM_KEYDOWN || id == WM_KEYUP || id == WM_SYSKEYDOWN || id == WM_SYSKEYUP;
}

bool isCharMessage(unsigned long id)
{
    return id == WM_CHAR || id == WM_SYSCHAR;
}

// Keys whose code does not depend on the modifiers or the extended bit.
IKeyboardEvent::VirtualKey plainKey(unsigned long vk)
{
    using K = IKeyboardEvent;
    if (vk >= VK_F2 && vk <= VK_F9)
        return static_cast<K::VirtualKey>(K::f2 + (vk - VK_F2));
    if (vk >= VK_F11 && vk <= VK_F24)
        return static_cast<K::VirtualKey>(K::f11 + (vk - VK_F11));
    switch (vk) {
    case VK_ESCAPE: return K::esc;
    case VK_SPACE: return K::space;
    case VK_BACK: return K::backSpace;
    case VK_SHIFT: return K::shift;
    case VK_CONTROL: return K::ctrl;
    case VK_INSERT: return K::insert;
    case VK_DELETE: return K::deleteKey;
    case VK_HOME: return K::home;
    case VK_END: return K::end;
    case VK_PRIOR: return K::pageUp;
    case VK_NEXT: return K::pageDown;
    case VK_LEFT: return K::left;
    case VK_RIGHT: return K::right;
    case VK_UP: return K::up;
    case VK_DOWN: return K::down;
    case VK_CAPITAL: return K::capsLock;
    case VK_NUMLOCK: return K::numLock;
    case VK_SCROLL: return K::scrollLock;
    case VK_PAUSE: return K::pause;
    case VK_CANCEL: return K::breakKey;
    case VK_F1: return K::f1;
    case VK_F10: return K::f10;
    case VK_LBUTTON: return K::button1;
    case VK_RBUTTON: return K::button2;
    case VK_MBUTTON: return K::button3;
    default: return K::otherKey;
    }
}

bool keyDown(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

} // namespace

IBase::Boolean IKeyboardEvent::isSpecialKey(unsigned long key) noexcept
{
    return key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE;
}

IBase::Boolean IKeyboardEvent::isVirtual() const noexcept
{
    const unsigned long key = parameter1().asUnsignedLong();
    if (isKeyMessage(eventId()))
        return !isSpecialKey(key);
    if (isCharMessage(eventId()))
        return isSpecialKey(key);
    return false;
}

IBase::Boolean IKeyboardEvent::isCharacter() const noexcept
{
    return isCharMessage(eventId()) && !isSpecialKey(parameter1().asUnsignedLong());
}

IBase::Boolean IKeyboardEvent::isDeadKey() const noexcept
{
    return eventId() == WM_DEADCHAR || eventId() == WM_SYSDEADCHAR;
}

IBase::Boolean IKeyboardEvent::isUpTransition() const noexcept
{
    return (parameter2().asUnsignedLong() & upMask) != 0;
}

IBase::Boolean IKeyboardEvent::isCtrlDown() const noexcept
{
    return keyDown(VK_CONTROL);
}

IBase::Boolean IKeyboardEvent::isShiftDown() const noexcept
{
    return keyDown(VK_SHIFT);
}

unsigned long IKeyboardEvent::scanCode() const
{
    const unsigned long code = (parameter2().asUnsignedLong() >> 16) & 0xFF;
    if (!isVirtual() || code == 0)
        IThrow::message(OVK_MSG_NO_SCAN_CODE,
                        IEXCEPTION_LOCATION("ikeyevt", "IKeyboardEvent::scanCode() const"));
    return code;
}

IKeyboardEvent::VirtualKey IKeyboardEvent::virtualKey() const
{
    if (!isVirtual())
        IThrow::message(OVK_MSG_NO_VIRTUAL_KEY,
                        IEXCEPTION_LOCATION("ikeyevt", "IKeyboardEvent::virtualKey() const"));
    const unsigned long key = parameter1().asUnsignedLong();
    const unsigned long flags = parameter2().asUnsignedLong();
    if (key == VK_TAB)
        return isShiftDown() && !isCtrlDown() && !(flags & altMask) ? backTab : tab;
    if (key == VK_RETURN)
        return (flags & kExtendedMask) ? newLine : enter;
    return plainKey(key);
}

char IKeyboardEvent::character() const
{
    if (!isCharacter())
        IThrow::message(OVK_MSG_NO_CHARACTER,
                        IEXCEPTION_LOCATION("ikeyevt", "IKeyboardEvent::character() const"));
    return static_cast<char>(parameter1().asUnsignedLong() & 0xFF);
}

IString IKeyboardEvent::mixedCharacter() const
{
    if (!isCharacter())
        IThrow::message(OVK_MSG_NO_CHARACTER,
                        IEXCEPTION_LOCATION("ikeyevt", "IKeyboardEvent::mixedCharacter() const"));
    return IString(static_cast<char>(parameter1().asUnsignedLong() & 0xFF));
}
