// ICnrMenuHandler: context menus of a container, with source emphasis on what the menu is for.
#pragma once

#include <idefs.hpp>
#include <imenuhdr.hpp>

class ICnrCtl;
class ICnrObj;

// A container asks for its context menu with a notification that names the object under the
// pointer (or none, for the container itself); the handler remembers that object while the menu
// is shown and calls makePopUpMenu, which the application overrides to show its menu. The
// source emphasis shows from before makePopUpMenu until the menu's loop ends (or makePopUpMenu
// returns). Commands of a frame's client reach the frame.
class OVKWIN_API ICnrMenuHandler : public IMenuHandler {
public:
    ICnrMenuHandler();
    ~ICnrMenuHandler() override;

    // Refused with the invalid-request error: the handler serves containers only.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;
    // A null container fails the argument check "container != 0".
    virtual ICnrMenuHandler& handleEventsFor(ICnrCtl* container);
    virtual ICnrMenuHandler& stopHandlingEventsFor(ICnrCtl* container);

    // The object the shown menu is for; null for the container itself or with no menu.
    ICnrObj* menuObject() const noexcept { return fMenuObject; }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // Clears the menu object.
    IBase::Boolean menuEnded(IMenuEvent& event) override;
    // Source emphasis on the container itself (no menu object), on every selected object (a
    // selected menu object), or on the menu object alone; and off again.
    IMenuHandler& addSourceEmphasis(IMenuEvent& event) override;
    IMenuHandler& removeSourceEmphasis(IMenuEvent& event) override;

private:
    IBase::Boolean forwardCommand(IEvent& event);
    IBase::Boolean contextMenu(IEvent& event);
    void setEmphasis(IMenuEvent& event, IBase::Boolean show);

    ICnrObj* fMenuObject = nullptr;
};
