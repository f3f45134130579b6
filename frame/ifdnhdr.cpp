// The font dialog's notification handler.
#include <windows.h>

#include <ifontdlg.hpp>
#include <iprivmsg.hpp>

#include "ifdnhdr.hpp"

IFontDialogNotifyHandler::~IFontDialogNotifyHandler() = default;

IFontDialog* IFontDialogNotifyHandler::dialogOf(
    const IWindowHandle& dialogWindow) noexcept
{
    // DWLP_USER, not the 32-bit offset 8: on 64-bit Windows offset 8 of a dialog's window data
    // holds the dialog procedure.
    if (!dialogWindow)
        return nullptr;
    return reinterpret_cast<IFontDialog*>(GetWindowLongPtrA(dialogWindow, DWLP_USER));
}

IBase::Boolean IFontDialogNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id != WM_DESTROY && id != IPrivateMessage::dialogNotify)
        return false;
    IFontDialog* dialog = dialogOf(event.handle());
    if (!dialog || !dialog->hasApplyButton())
        return false;
    if (id == WM_DESTROY)
        dialogEnded(*dialog);
    else
        applyFont(*dialog);
    return false;
}

IBase::Boolean IFontDialogNotifyHandler::dialogEnded(IFontDialog&)
{
    return true;
}

IBase::Boolean IFontDialogNotifyHandler::applyFont(IFontDialog&)
{
    return true;
}
