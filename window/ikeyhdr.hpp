// IKeyboardHandler: key and character messages sorted into four callbacks.
#pragma once

#include <atomic>

#include <idefs.hpp>

#include "ihandler.hpp"
#include "ikeyevt.hpp"

// A key press goes to the first of keyWithScanCode, nonCharacterKey and characterKey that
// suits it and handles it, then to anyKey; a key release goes to anyKey only. An Alt+character
// that is a mnemonic of the menu bar of the window's frame is left to the default processing,
// which opens the menu.
class OVKWIN_API IKeyboardHandler : public IHandler {
public:
    // Reads the text of the item at `position` (0 first) of the menu bar of a window, with "&"
    // before its mnemonic; false past the last item. The menus register it; until they do, no
    // Alt+character is taken for a mnemonic.
    using MenuTextReader = IBase::Boolean (*)(const IWindowHandle& window, unsigned long position,
                                              IString& text);
    // Answers the previous reader.
    static MenuTextReader setMenuTextReader(MenuTextReader reader) noexcept;

    IKeyboardHandler() noexcept = default;
    ~IKeyboardHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean keyWithScanCode(IKeyboardEvent& event);
    virtual IBase::Boolean nonCharacterKey(IKeyboardEvent& event);
    virtual IBase::Boolean characterKey(IKeyboardEvent& event);
    virtual IBase::Boolean anyKey(IKeyboardEvent& event);

private:
    IBase::Boolean isMenuMnemonic(IEvent& event) const;
    void trackDeadKey(IKeyboardEvent& event);
    IBase::Boolean sortKey(IKeyboardEvent& event);

    // The pending dead key belongs to the handler, so windows that share a handler share it.
    bool fDeadKeyPending = false;
    unsigned char fDeadCharacter = 0;
};
