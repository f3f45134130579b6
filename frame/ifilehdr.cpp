// The file dialog's handler and the event of its name checks.
#include <windows.h>
#include <commdlg.h>

#include <iprivmsg.hpp>

#include "ifiledlg.hpp"

IFileDialogEvent::IFileDialogEvent(IEvent& event, IFileDialog* dialog, const IString& fileText)
    : IEvent(event), fDialog(dialog), fFileText(fileText)
{
}

IFileDialogEvent::~IFileDialogEvent() = default;

IFileDialog* IFileDialogEvent::fileDialog() const
{
    return fDialog;
}

IString IFileDialogEvent::fileText() const
{
    return fFileText;
}

unsigned long IFileDialogEvent::answer() const
{
    return fAnswer;
}

IFileDialogEvent& IFileDialogEvent::setAnswer(unsigned long answer)
{
    fAnswer = answer;
    return *this;
}

IFileDialogHandler::IFileDialogHandler()
    : fFileNameOKMessage(RegisterWindowMessageA(FILEOKSTRINGA))
{
}

IFileDialogHandler::~IFileDialogHandler() = default;

IFileDialogHandler& IFileDialogHandler::handleEventsFor(IFileDialog* fileDialog)
{
    IARGUMENT_CHECK(fileDialog != 0, "ifilehdr",
                    "IFileDialogHandler::handleEventsFor(IFileDialog*)");
    IHandler::handleEventsFor(fileDialog);
    return *this;
}

IFileDialogHandler& IFileDialogHandler::stopHandlingEventsFor(IFileDialog* fileDialog)
{
    IARGUMENT_CHECK(fileDialog != 0, "ifilehdr",
                    "IFileDialogHandler::stopHandlingEventsFor(IFileDialog*)");
    IHandler::stopHandlingEventsFor(fileDialog);
    return *this;
}

namespace {

// The file dialog whose window the event is for: the object the hook keeps in DWLP_USER, and
// only when that is the window's own object.
IFileDialog* dialogOf(const IEvent& event)
{
    auto* dialog = dynamic_cast<IFileDialog*>(event.window());
    if (!dialog)
        return nullptr;
    const LONG_PTR kept = GetWindowLongPtrA(event.handle(), DWLP_USER);
    return kept == reinterpret_cast<LONG_PTR>(dialog) ? dialog : nullptr;
}

// The file text the dialog holds now: the name field of the open dialog.
IString currentFileText(const IEvent& event)
{
    const OPENFILENAMEA* record = reinterpret_cast<const OPENFILENAMEA*>(event.parameter2().asPointer());
    if (record && record->lpstrFile)
        return IString(record->lpstrFile);
    return IString();
}

} // namespace

IBase::Boolean IFileDialogHandler::dispatchHandlerEvent(IEvent& event)
{
    IFileDialog* dialog = dialogOf(event);
    if (!dialog)
        return false;
    const unsigned long id = event.eventId();
    if (id == fFileNameOKMessage) {
        IFileDialogEvent check(event, dialog, currentFileText(event));
        const IBase::Boolean handled = fileNameOK(check);
        // A refused name keeps the dialog open.
        event.setResult(check.answer() == 0 ? 1 : 0);
        return handled;
    }
    if (!dialog->hasApplyButton())
        return false;
    if (id == WM_DESTROY) {
        applyEnded(dialog);
        return false;
    }
    if (id == IPrivateMessage::dialogNotify) {
        const char* text = static_cast<const char*>(event.parameter2().asPointer());
        return apply(dialog, IString(text ? text : ""));
    }
    return false;
}

IBase::Boolean IFileDialogHandler::selectionChanged(IFileDialogEvent& event)
{
    event.setAnswer(verifySelection(event.fileDialog(), event.fileText()) ? 1 : 0);
    return true;
}

IBase::Boolean IFileDialogHandler::verifySelection(IFileDialog*, const IString&)
{
    return true;
}

IBase::Boolean IFileDialogHandler::fileNameOK(IFileDialogEvent& event)
{
    event.setAnswer(verifyFileName(event.fileDialog(), event.fileText()) ? 1 : 0);
    return true;
}

IBase::Boolean IFileDialogHandler::verifyFileName(IFileDialog*, const IString&)
{
    return true;
}

IBase::Boolean IFileDialogHandler::applyEnded(IFileDialog*)
{
    return true;
}

IBase::Boolean IFileDialogHandler::apply(IFileDialog*, const IString&)
{
    return true;
}
