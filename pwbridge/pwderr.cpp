// The get-password error dialog and the plug-in's plain message boxes.
#include "pwderr.hpp"

#include <memory>

#include <iapp.hpp>
#include <ifont.hpp>
#include <ihelpwin.hpp>
#include <imcelcv.hpp>
#include <imsgbox.hpp>
#include <istattxt.hpp>

#include "extpwd.hpp"
#include "pwdlgs.hpp"
#include "ssobtncv.hpp"

namespace {

constexpr unsigned long kFrameId = 26124;
constexpr unsigned long kTitleText = 26125;
constexpr unsigned long kHelpButton = 26124;
constexpr unsigned long kBoxTitle = 26110;
constexpr unsigned long kTextWidth = 350;

} // namespace

IBase::Boolean GetPasswdErrorCommand::command(ICommandEvent& event)
{
    if (event.commandId() == pwdialog::kOkResult)
        fDialog->dismiss(pwdialog::kOkResult);
    else if (event.commandId() == pwdialog::kCancelResult)
        fDialog->dismiss(pwdialog::kCancelResult);
    return true;
}

GetPasswdError::GetPasswdError(IWindow* owner, unsigned long messageId,
                               IResourceLibrary* library)
    : IFrameWindow(pwdialog::text(kFrameId), IWindow::desktopWindow(), owner, IRectangle(),
                   pwdialog::frameStyle(),
                   pwdialog::text(kTitleText).resourceLibrary().loadString(kTitleText))
{
    setDestroyOnClose(false);
    fHelp = pwdialog::makeHelpWindow(this);
    fCanvas = new IMultiCellCanvas(pwdialog::kClientId, this, this);
    const IResourceLibrary& texts =
        library ? *library : IApplication::current().userResourceLibrary();
    fText = new IStaticText(messageId, fCanvas, fCanvas);
    const IString message = texts.loadString(messageId);
    fText->setText(message);
    const IFont font = fText->font();
    unsigned long lines = font.textLines(message, kTextWidth);
    if (lines == 0)
        lines = 1;
    fText->setMinimumSize(ISize(kTextWidth, lines * font.maxCharHeight()));
    fText->setAlignment(IStaticText::topLeftWrapped);
    fButtons = new SSOButtonCanvas(pwdialog::kButtonCanvasId, fCanvas, pwdialog::kOkResult,
                                   pwdialog::kCancelResult, kHelpButton);
    fCanvas->addToCell(fText, 2, 2);
    fCanvas->addToCell(fButtons, 2, 5);
    fCanvas->setColumnWidth(3, 8);
    fCanvas->setRowHeight(6, 8);
    fCommand = new GetPasswdErrorCommand(this);
    pwdialog::finish(this, fCanvas, fCommand, fButtons);
}

GetPasswdError::~GetPasswdError()
{
    pwdialog::detach(this, fCommand, fButtons);
    delete fCommand;
    delete fButtons;
    delete fText;
    delete fCanvas;
    delete fHelp;
}

void show_error_message_box(const unsigned long id)
{
    IMessageBox box(IWindow::desktopWindow());
    box.setTitle(pwdialog::text(kBoxTitle));
    box.show(pwdialog::text(id),
             IMessageBox::_okButton | IMessageBox::_warningIcon | IMessageBox::_systemModal);
}

void show_get_pwd_error_box(const unsigned long id)
{
    PW_TRACE("show_get_pwd_error_box(const unsigned long)");
    int error = 0;
    std::unique_ptr<IWindow> active(get_active_window(&error));
    if (!active)
        return;
    unsigned long result = 0;
    {
        GetPasswdError dialog(active.get(), id, hHandler.resourceLibrary);
        result = dialog.showModally();
    }
    if (result == pwdialog::kOkResult)
        hHandler.switchedOff = 1;
}
