// ChgpwdSession: the dialog that asks for a new password twice and checks it.
#pragma once

#include <icmdhdr.hpp>
#include <iframe.hpp>
#include <istring.hpp>

class IEntryField;
class IHelpWindow;
class IMultiCellCanvas;
class IStaticText;
class SSOButtonCanvas;
class ChgpwdSession;

class ChgpwdSessionCommand : public ICommandHandler {
public:
    explicit ChgpwdSessionCommand(ChgpwdSession* dialog) : fDialog(dialog) {}

protected:
    IBase::Boolean command(ICommandEvent& event) override;

private:
    ChgpwdSession* fDialog;
};

class ChgpwdSession : public IFrameWindow {
public:
    static constexpr unsigned long okResult = 30004;
    static constexpr unsigned long cancelResult = 30001;

    ChgpwdSession(int maxLength, IWindow* owner);
    ~ChgpwdSession() override;

    // The text of the new-password entry; the caller holds it in a WipedText, which wipes it.
    IString getPassword();
    // Checks the two entries; a failed check is shown and keeps the dialog open.
    IBase::Boolean changeRequest();
    IBase::Boolean cancelRequest();

private:
    // Shows a check's message over the dialog, empties the entries when asked, and puts the
    // focus in the new-password entry.
    IBase::Boolean refuse(unsigned long title, unsigned long text, bool empty);
    // Overwrites an entry's text before emptying it, so that the control's storage keeps no
    // password when the dialog goes.
    static void scrub(IEntryField* entry);

    int fMaxLength = 0;
    IHelpWindow* fHelp = nullptr;
    IMultiCellCanvas* fCanvas = nullptr;
    IStaticText* fPrompt1 = nullptr;
    IEntryField* fNewPassword = nullptr;
    IStaticText* fPrompt2 = nullptr;
    IEntryField* fConfirmation = nullptr;
    SSOButtonCanvas* fButtons = nullptr;
    ChgpwdSessionCommand* fCommand = nullptr;
};
