// GetPasswdError: the dialog that shows a sign-on error on the get-password road and lets the
// user switch the plug-in off (OK) or keep it (cancel).
#pragma once

#include <icmdhdr.hpp>
#include <iframe.hpp>

class IHelpWindow;
class IMultiCellCanvas;
class IResourceLibrary;
class IStaticText;
class SSOButtonCanvas;
class GetPasswdError;

class GetPasswdErrorCommand : public ICommandHandler {
public:
    explicit GetPasswdErrorCommand(GetPasswdError* dialog) : fDialog(dialog) {}

protected:
    IBase::Boolean command(ICommandEvent& event) override;

private:
    GetPasswdError* fDialog;
};

class GetPasswdError : public IFrameWindow {
public:
    GetPasswdError(IWindow* owner, unsigned long messageId, IResourceLibrary* library);
    ~GetPasswdError() override;

private:
    IHelpWindow* fHelp = nullptr;
    IMultiCellCanvas* fCanvas = nullptr;
    IStaticText* fText = nullptr;
    SSOButtonCanvas* fButtons = nullptr;
    GetPasswdErrorCommand* fCommand = nullptr;
};
