// IMenuHandler: takes part in a window's menu activity: offers context menus, changes pop-ups
// as they open (undone when they close), follows the selection and hears when pop-ups close.
#pragma once

#include <forward_list>

#include <idefs.hpp>
#include <ihandler.hpp>

#include "imenuevt.hpp"

class ISubmenu;

class OVKWIN_API IMenuHandler : public IHandler {
public:
    IMenuHandler();
    ~IMenuHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // The virtual operations keep the order that derived handlers rely on. Each answers true
    // when it handled the event; the defaults answer false.
    // Asked for a context menu (WM_CONTEXTMENU); the window shows source emphasis while it is
    // asked, that is while the menu shows.
    virtual IBase::Boolean makePopUpMenu(IMenuEvent& event);
    // A pop-up is about to open; changes made through `menu` are undone when it closes. True
    // keeps the changes' record until then.
    virtual IBase::Boolean menuShowing(IMenuEvent& event, ISubmenu& menu);
    virtual IBase::Boolean menuSelected(IMenuEvent& event);
    // A pop-up has closed (after the menu loop ended).
    virtual IBase::Boolean menuEnded(IMenuEvent& event);
    virtual IMenuHandler& addSourceEmphasis(IMenuEvent& event);
    virtual IMenuHandler& removeSourceEmphasis(IMenuEvent& event);

    // Asks makePopUpMenu for a context menu, with source emphasis shown while the menu is.
    IBase::Boolean popUpWithEmphasis(IMenuEvent& event);

private:
    struct Opened {
        unsigned long itemId;
        HMENU__* popup;
    };

    IBase::Boolean popupOpening(IEvent& event);
    IBase::Boolean popupClosed(IEvent& event);
    void menuLoopEnded(IEvent& event);
    // Takes the pop-up off the shown list and undoes the changes made as it opened.
    void undoShown(unsigned long itemId, HMENU__* popup);
    // Takes the emphasis off the window that asked for the menu, once, when it is shown.
    void endSourceEmphasis();

    HMENU__* fCurrentMenu = nullptr;
    std::forward_list<Opened> fOpened;
    // The event that asked for the context menu whose source emphasis is shown, while it is;
    // the emphasis is taken off that event's window when the menu ends.
    IMenuEvent* fEmphasisEvent = nullptr;
};
