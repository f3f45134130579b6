// IFontDialogNotifyHandler: tells an application about a font dialog with an Apply button.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"

// Attached to the font dialog's window. The font dialog keeps a pointer to its Dialog side in
// the dialog window's DWLP_USER word; the callbacks are called only while there is one and it
// has an Apply button. The handler never handles an event, so the dialog's own processing
// always runs.
class OVKWIN_API IFontDialogNotifyHandler : public IHandler {
public:
    // What the handler needs of a font dialog; the font dialog class implements it.
    class OVKWIN_API Dialog {
    public:
        virtual ~Dialog();
        virtual IBase::Boolean hasApplyButton() const = 0;
    };

    IFontDialogNotifyHandler() noexcept = default;
    ~IFontDialogNotifyHandler() override;

    // The dialog stored in the window's DWLP_USER word, or null.
    static Dialog* dialogOf(const IWindowHandle& dialogWindow) noexcept;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The dialog window is being destroyed (WM_DESTROY). True by default.
    virtual IBase::Boolean dialogEnded(Dialog& dialog);
    // The dialog code asked the notify handlers to apply the chosen font (the library's
    // dialog notification). True by default.
    virtual IBase::Boolean applyFont(Dialog& dialog);
};
