// The keyboard handler.
#include <windows.h>

#include <detail/iobjwndh.hpp>

#include "detail/iframlnk.hpp"
#include "ikeyhdr.hpp"
#include "iwindow.hpp"

IKeyboardHandler::~IKeyboardHandler() = default;

IBase::Boolean IKeyboardHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id < WM_KEYDOWN || id > WM_SYSDEADCHAR)
        return false;
    if (id == WM_SYSCHAR && isMenuMnemonic(event))
        return false;
    if (id == WM_DEADCHAR || id == WM_SYSDEADCHAR) {
        fDeadKeyPending = true;
        fDeadCharacter = static_cast<unsigned char>(event.parameter1().asUnsignedLong());
    }
    IKeyboardEvent keyEvent(event);
    if (!keyEvent.isUpTransition())
        trackDeadKey(keyEvent);
    const IBase::Boolean handled = sortKey(keyEvent);
    if (handled)
        event.setResult(keyEvent.result());
    return handled;
}

// The first window up the parent chain that has a menu bar, a frame, is searched; the search
// stops there whether or not it finds the mnemonic.
IBase::Boolean IKeyboardHandler::isMenuMnemonic(IEvent& event) const
{
    IKeyboardEvent keyEvent(event);
    if (!keyEvent.isCharacter() || keyEvent.isUpTransition())
        return false;
    const IString character = keyEvent.mixedCharacter();
    HWND desktop = GetDesktopWindow();
    for (IWindow* window = event.dispatchingWindow(); window;) {
        HWND handle = window->handle();
        if (handle == desktop || handle == objectWindowHandle())
            return false;
        HMENU bar = GetMenu(handle);
        if (!(GetWindowLongPtrA(handle, GWL_STYLE) & WS_CHILD) && bar)
            return ovk_window::menuHasMnemonic(bar, character);
        window = window->parent();
    }
    return false;
}

// A character after a dead key is either the dead key typed twice (the accent itself) or a
// letter composed with the accent.
void IKeyboardHandler::trackDeadKey(IKeyboardEvent& event)
{
    const unsigned long id = event.eventId();
    if ((id != WM_CHAR && id != WM_SYSCHAR) || !fDeadKeyPending)
        return;
    fDeadKeyPending = false;
    if ((event.parameter1().asUnsignedLong() & 0xFF) == fDeadCharacter)
        event.fRepeatedDeadKey = 1;
    else
        event.fComposed = 1;
    fDeadCharacter = 0;
}

IBase::Boolean IKeyboardHandler::sortKey(IKeyboardEvent& event)
{
    if (!event.isUpTransition()) {
        const unsigned long id = event.eventId();
        const bool virtualKey = event.isVirtual();
        const bool hasScanCode = (event.parameter2().asUnsignedLong() >> 16) & 0xFF;
        if (virtualKey && hasScanCode && keyWithScanCode(event))
            return true;
        // MapVirtualKey type 2: the character the key makes, 0 for keys that make none.
        if (virtualKey &&
            (id == WM_CHAR || id == WM_SYSCHAR ||
             MapVirtualKeyA(static_cast<UINT>(event.parameter1().asUnsignedLong()), 2) == 0) &&
            nonCharacterKey(event))
            return true;
        if (event.isCharacter() && characterKey(event))
            return true;
    }
    return anyKey(event);
}

IBase::Boolean IKeyboardHandler::keyWithScanCode(IKeyboardEvent&)
{
    return false;
}

IBase::Boolean IKeyboardHandler::nonCharacterKey(IKeyboardEvent&)
{
    return false;
}

IBase::Boolean IKeyboardHandler::characterKey(IKeyboardEvent&)
{
    return false;
}

IBase::Boolean IKeyboardHandler::anyKey(IKeyboardEvent&)
{
    return false;
}
