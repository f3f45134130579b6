// IWindowNotifyHandler: turns a window's events into the notifications its observers hear.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"

// Called by the dispatcher after the handler walk while the window's notification is enabled;
// never attached to a handler list and never reports an event handled. Focus, enabled state,
// visibility, commands, size and position are told at once; a font change after the message
// loop has delivered the window's own follow-up message, once the new font is in place.
// Controls and frames derive their own handlers from it.
class OVKWIN_API IWindowNotifyHandler : public IHandler {
public:
    IWindowNotifyHandler() noexcept;
    ~IWindowNotifyHandler() override;

    // The one instance that windows use unless they are given another.
    static IWindowNotifyHandler& shared();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
