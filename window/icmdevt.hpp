// ICommandEvent and IControlEvent: a command from a menu, an accelerator or the library, and a
// notification from a control.
#pragma once

#include <idefs.hpp>

#include "ievent.hpp"

// A WM_COMMAND or WM_SYSCOMMAND as its handler sees it.
class OVKWIN_API ICommandEvent : public IEvent {
public:
    // Where the command came from. Windows puts 0 (menu) or 1 (accelerator) in the high word of
    // wParam; the library's own posted commands use 2.
    enum Source { library = 0, menu = 1, accelerator = 2, other = 3 };

    ICommandEvent(const IEvent& event) noexcept : IEvent(event) {}

    unsigned long commandId() const noexcept { return parameter1().lowNumber(); }
    // The top bit of the high word is ignored: some senders set it on menu commands.
    Source source() const noexcept;
};

// A control's notification (its WM_COMMAND, owner-draw or WM_NOTIFY message). The constructor
// finds the control, so that controlWindow() answers it.
class OVKWIN_API IControlEvent : public IEvent {
public:
    IControlEvent(const IEvent& event);
    IControlEvent(const IControlEvent& event) noexcept = default;
    IControlEvent& operator=(const IControlEvent& event) noexcept = default;
    ~IControlEvent() override;

    virtual unsigned long controlId() const;
    // The notification code of a control's WM_COMMAND.
    unsigned long notificationCode() const noexcept { return parameter1().highNumber(); }
};
