// The font dialog's notification handler.
#include <windows.h>

#include <iprivmsg.hpp>

#include "ifdnhdr.hpp"

IFontDialogNotifyHandler::Dialog::~Dialog() = default;
IFontDialogNotifyHandler::~IFontDialogNotifyHandler() = default;

IFontDialogNotifyHandler::Dialog* IFontDialogNotifyHandler::dialogOf(
    const IWindowHandle& dialogWindow) noexcept
{
    // DWLP_USER, not the 32-bit offset 8: on 64-bit Windows offset 8 of a dialog's window data
    // holds the dialog procedure.
    if (!dialogWindow)
        return nullptr;
    return reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialogWindow, DWLP_USER));
}

IBase::Boolean IFontDialogNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id != WM_DESTROY && id != IPrivateMessage::dialogNotify)
        return false;
    Dialog* dialog = dialogOf(event.handle());
    if (!dialog || !dialog->hasApplyButton())
        return false;
    if (id == WM_DESTROY)
        dialogEnded(*dialog);
    else
        applyFont(*dialog);
    return false;
}

IBase::Boolean IFontDialogNotifyHandler::dialogEnded(Dialog&)
{
    return true;
}

IBase::Boolean IFontDialogNotifyHandler::applyFont(Dialog&)
{
    return true;
}
