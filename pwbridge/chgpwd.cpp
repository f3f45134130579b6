// The change-password dialog: two hidden-text entries, checked in a fixed order.
#include "chgpwd.hpp"

#include <windows.h>

#include <detail/iwipetxt.hpp>
#include <ientryfd.hpp>
#include <ihelpwin.hpp>
#include <imcelcv.hpp>
#include <imsgbox.hpp>
#include <istattxt.hpp>

#include "pwdlgs.hpp"
#include "ssobtncv.hpp"

namespace {

constexpr unsigned long kFrameId = 26000;
constexpr unsigned long kTitleText = 26001;
constexpr unsigned long kPrompt1 = 26103, kNewEntry = 26104;
constexpr unsigned long kPrompt2 = 26105, kConfirmEntry = 26106;
constexpr unsigned long kChangeButton = 26107, kHelpButton = 26000;
constexpr unsigned long kEntryLimit = 1024;
constexpr size_t kMinimumLength = 6;

IStaticText* makePrompt(unsigned long id, IWindow* canvas)
{
    IStaticText* prompt = new IStaticText(id, canvas, canvas);
    prompt->setText(pwdialog::text(id));
    prompt->setAlignment(IStaticText::centerLeft);
    return prompt;
}

// What the checks need of the two entries. Their texts are read in the wipe scope and are gone
// before a refusal's message box runs its loop.
struct EntryFacts {
    size_t length;
    bool empty;
    bool differ;
};

EntryFacts factsOf(IEntryField& newPassword, IEntryField& confirmation)
{
    const ovkshared::WipedText first(newPassword.text());
    const ovkshared::WipedText second(confirmation.text());
    return {first.text().length(), first.text().isEmpty() || second.text().isEmpty(),
            first.text().compare(second.text()) != 0};
}

IEntryField* makeEntry(unsigned long id, IWindow* canvas)
{
    IEntryField* entry = new IEntryField(
        id, canvas, canvas, IRectangle(),
        IEntryField::defaultStyle() | IEntryField::_unreadable | IControl::_tabStop);
    entry->setLimit(kEntryLimit);
    const ISize natural = entry->minimumSize();
    entry->setMinimumSize(ISize(16 * entry->font().avgCharWidth(), natural.height()));
    return entry;
}

} // namespace

IBase::Boolean ChgpwdSessionCommand::command(ICommandEvent& event)
{
    IBase::Boolean result = false;
    switch (event.commandId()) {
    case kChangeButton:
        result = fDialog->changeRequest();
        if (result)
            fDialog->dismiss(ChgpwdSession::okResult);
        break;
    case ChgpwdSession::cancelResult:
        // Closing a modal frame already ends its loop; a second dismissal would leave a stop
        // behind that ends the next modal loop at this level at once. Only the result is left
        // to set.
        result = fDialog->cancelRequest();
        fDialog->setResult(ChgpwdSession::cancelResult);
        break;
    default:
        break;
    }
    return result;
}

ChgpwdSession::ChgpwdSession(int maxLength, IWindow* owner)
    : IFrameWindow(pwdialog::text(kFrameId), IWindow::desktopWindow(), owner, IRectangle(),
                   pwdialog::frameStyle(),
                   pwdialog::text(kTitleText).resourceLibrary().loadString(kTitleText))
    , fMaxLength(maxLength)
{
    setDestroyOnClose(false);
    fHelp = pwdialog::makeHelpWindow(this);
    fCanvas = new IMultiCellCanvas(pwdialog::kClientId, this, this);
    fPrompt1 = makePrompt(kPrompt1, fCanvas);
    fNewPassword = makeEntry(kNewEntry, fCanvas);
    fPrompt2 = makePrompt(kPrompt2, fCanvas);
    fConfirmation = makeEntry(kConfirmEntry, fCanvas);
    fButtons = new SSOButtonCanvas(pwdialog::kButtonCanvasId, fCanvas, kChangeButton,
                                   cancelResult, kHelpButton);
    fCanvas->addToCell(fPrompt1, 2, 2);
    fCanvas->addToCell(fNewPassword, 4, 2);
    fCanvas->addToCell(fPrompt2, 2, 4);
    fCanvas->addToCell(fConfirmation, 4, 4);
    fCanvas->addToCell(fButtons, 2, 7, 3);
    fCanvas->setColumnWidth(5, 8);
    fCanvas->setRowHeight(3, 20);
    fCanvas->setRowHeight(8, 10);
    fCommand = new ChgpwdSessionCommand(this);
    pwdialog::finish(this, fCanvas, fCommand, fButtons);
}

ChgpwdSession::~ChgpwdSession()
{
    pwdialog::detach(this, fCommand, fButtons);
    delete fCommand;
    scrub(fNewPassword);
    scrub(fConfirmation);
    delete fButtons;
    delete fConfirmation;
    delete fPrompt2;
    delete fNewPassword;
    delete fPrompt1;
    delete fCanvas;
    delete fHelp;
}

void ChgpwdSession::scrub(IEntryField* entry)
{
    if (!entry)
        return;
    const int length = GetWindowTextLengthA(entry->handle());
    if (length > 0)
        entry->setText(IString::repeated('*', static_cast<size_t>(length)));
    entry->removeAll();
}

IString ChgpwdSession::getPassword() { return fNewPassword->text(); }

IBase::Boolean ChgpwdSession::refuse(unsigned long title, unsigned long text, bool empty)
{
    IMessageBox box(this);
    box.setTitle(pwdialog::text(title));
    box.show(pwdialog::text(text), IMessageBox::_okButton | IMessageBox::_warningIcon);
    if (empty) {
        scrub(fNewPassword);
        scrub(fConfirmation);
    }
    fNewPassword->setFocus();
    return false;
}

IBase::Boolean ChgpwdSession::changeRequest()
{
    const EntryFacts facts = factsOf(*fNewPassword, *fConfirmation);
    if (facts.empty)
        return refuse(25089, 25090, false);
    if (facts.differ)
        return refuse(25026, 25025, true);
    if (fMaxLength >= 0 && facts.length > static_cast<size_t>(fMaxLength))
        return refuse(25089, 25027, true);
    if (facts.length < kMinimumLength)
        return refuse(25089, 25028, true);
    disable();
    fButtons->disableFirst();
    fButtons->disableSecond();
    return true;
}

IBase::Boolean ChgpwdSession::cancelRequest()
{
    // Closed now, while the dialog is still modal: a posted close would arrive after the
    // dismissal and end the host's next modal loop.
    sendEvent(WM_CLOSE);
    return true;
}
