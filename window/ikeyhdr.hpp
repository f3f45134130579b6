// IKeyboardHandler: key and character messages sorted into four callbacks.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"
#include "ikeyevt.hpp"

// A key press goes to the first of keyWithScanCode, nonCharacterKey and characterKey that
// suits it and handles it, then to anyKey; a key release goes to anyKey only. An Alt+character
// that is a mnemonic of the menu bar of the window's frame is left to the default processing,
// which opens the menu.
class OVKWIN_API IKeyboardHandler : public IHandler {
public:
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
