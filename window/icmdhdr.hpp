// ICommandHandler: commands from menus, accelerators, push buttons and the system menu.
#pragma once

#include <idefs.hpp>

#include "icmdevt.hpp"
#include "ihandler.hpp"

// Sees WM_COMMAND and WM_SYSCOMMAND. The window procedure has already turned a control's
// WM_COMMAND into the control notification event, so no control notification arrives here.
// A command reaches the handlers of the one window it is sent to: a push button's or a
// tool-bar button's goes to the button's owner (its parent when it has none), Esc in a frame
// posts IDCANCEL to the frame. A frame passes a command its handlers leave down to its client;
// no window passes a command up to its owner, so a canvas does not pass an unhandled command
// on to the frame. To hear OK, Cancel and Esc in one place, make the frame the buttons' owner
// (IPushButton(IDOK, &canvas, &frame)) and attach this handler to the frame.
class OVKWIN_API ICommandHandler : public IHandler {
public:
    ICommandHandler() noexcept = default;
    ~ICommandHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean command(ICommandEvent& event);
    virtual IBase::Boolean systemCommand(ICommandEvent& event);
};
