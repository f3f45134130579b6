// IFontDialogNotifyHandler: tells an application about a font dialog with an Apply button.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"

class IFontDialog;

// Attached to the font dialog's window. The font dialog keeps a pointer to itself in the dialog
// window's DWLP_USER word; the callbacks are called only while there is one and it has an Apply
// button. The handler never handles an event, so the dialog's own processing always runs.
class OVKWIN_API IFontDialogNotifyHandler : public IHandler {
public:
    IFontDialogNotifyHandler() noexcept = default;
    ~IFontDialogNotifyHandler() override;

    // The dialog stored in the window's DWLP_USER word, or null.
    static IFontDialog* dialogOf(const IWindowHandle& dialogWindow) noexcept;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The dialog window is being destroyed (WM_DESTROY). True by default.
    virtual IBase::Boolean dialogEnded(IFontDialog& dialog);
    // The dialog code asked the notify handlers to apply the chosen font (the library's
    // dialog notification). True by default.
    virtual IBase::Boolean applyFont(IFontDialog& dialog);
};
