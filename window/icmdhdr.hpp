// ICommandHandler: commands from menus, accelerators, push buttons and the system menu.
#pragma once

#include <idefs.hpp>

#include "icmdevt.hpp"
#include "ihandler.hpp"

// Sees WM_COMMAND and WM_SYSCOMMAND. The window procedure has already turned a control's
// WM_COMMAND into the control notification event, so no control notification arrives here.
class OVKWIN_API ICommandHandler : public IHandler {
public:
    ICommandHandler() noexcept = default;
    ~ICommandHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean command(ICommandEvent& event);
    virtual IBase::Boolean systemCommand(ICommandEvent& event);
};
