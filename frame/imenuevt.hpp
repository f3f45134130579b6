// IMenuEvent: the event a menu handler passes to its callbacks.
#pragma once

#include <ipoint.hpp>

#include <idefs.hpp>
#include <ievent.hpp>

#include "imenuitm.hpp"

// A copy of the dispatched event, with the menu that the handler last saw selected (from
// which the item that opened a pop-up is found).
class OVKWIN_API IMenuEvent : public IEvent {
public:
    IMenuEvent(const IEvent& event, const IMenuHandle& lastSelectedMenu = IMenuHandle());
    ~IMenuEvent() override;

    // Where the pointer was at the last message, in the client coordinates of the event's
    // window (handle()) and the application's orientation (ICoordinateSystem): what
    // IPopUpMenu::show takes for a menu whose owner is that window.
    IPoint mousePosition() const;
    // The item the event is about: the item that opens the pop-up (WM_INITMENUPOPUP), the item
    // selected (WM_MENUSELECT), the item of the ended pop-up (the menu-ended event); else 0.
    unsigned long menuItemId() const;
    // For WM_MENUSELECT the selected item; else an item with identifier 0.
    IMenuItem menuItem() const;

private:
    IMenuHandle fMenu;
};
