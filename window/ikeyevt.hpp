// IKeyboardEvent: a key or character message, with the library's key codes.
#pragma once

#include <istring.hpp>

#include <idefs.hpp>

#include "ievent.hpp"

class OVKWIN_API IKeyboardEvent : public IEvent {
public:
    // The library's key codes (virtualKey()); 9 and 24 are not produced.
    enum VirtualKey {
        esc = 0, tab = 1, backTab = 2, space = 3, backSpace = 4, enter = 5, newLine = 6,
        shift = 7, ctrl = 8, insert = 10, deleteKey = 11, home = 12, end = 13, pageUp = 14,
        pageDown = 15, left = 16, right = 17, up = 18, down = 19, capsLock = 20, numLock = 21,
        scrollLock = 22, pause = 23, breakKey = 25, f2 = 26, f9 = 33, f11 = 34, f24 = 47,
        button1 = 48, button3 = 49, button2 = 50, otherKey = 51, f1 = 52, f10 = 53
    };
    // Masks on the second parameter.
    static const unsigned long altMask;   // context code: Alt was down
    static const unsigned long upMask;    // transition state: the key goes up

    IKeyboardEvent(const IEvent& event) noexcept : IEvent(event) {}

    // Backspace, Tab, Enter and Esc arrive as characters too but count as virtual keys.
    static IBase::Boolean isSpecialKey(unsigned long key) noexcept;
    IBase::Boolean isVirtual() const noexcept;
    IBase::Boolean isCharacter() const noexcept;
    IBase::Boolean isDeadKey() const noexcept;
    IBase::Boolean isUpTransition() const noexcept;
    // The keyboard state when asked, not when the message was made.
    IBase::Boolean isCtrlDown() const noexcept;
    IBase::Boolean isShiftDown() const noexcept;
    IBase::Boolean isComposed() const noexcept { return fComposed != 0; }
    IBase::Boolean isRepeatedDeadKey() const noexcept { return fRepeatedDeadKey != 0; }
    unsigned long repeatCount() const noexcept { return parameter2().lowNumber(); }

    // Each throws the invalid-request error when the event does not carry the value.
    unsigned long scanCode() const;
    VirtualKey virtualKey() const;
    char character() const;
    IString mixedCharacter() const;

private:
    friend class IKeyboardHandler;
    std::int32_t fComposed = 0;
    std::int32_t fRepeatedDeadKey = 0;
};
