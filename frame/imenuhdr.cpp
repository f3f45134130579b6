// The menu handler.
#include <windows.h>

#include <exception>
#include <memory>
#include <vector>

#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "imenuhdr.hpp"
#include "isubmenu.hpp"

namespace {

// A pop-up whose changes wait to be undone, shared by every menu handler: the same pop-up may
// open under several handlers' windows. Menus live on their window's thread; no lock.
struct ShownSubmenu {
    unsigned long itemId;
    HMENU popup;
    std::unique_ptr<ISubmenu> submenu;
    unsigned long nesting;
};

std::vector<ShownSubmenu>* gShown = nullptr;

ShownSubmenu* shownFor(unsigned long itemId)
{
    for (ShownSubmenu& shown : *gShown)
        if (shown.itemId == itemId)
            return &shown;
    return nullptr;
}

} // namespace

IMenuHandler::IMenuHandler()
{
    if (!gShown) {
        gShown = new std::vector<ShownSubmenu>;
        gShown->reserve(10);
    }
}

IMenuHandler::~IMenuHandler() = default;

IBase::Boolean IMenuHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_CONTEXTMENU: {
        IMenuEvent menuEvent(event, IMenuHandle(fCurrentMenu));
        if (!popUpWithEmphasis(menuEvent))
            return false;
        event.setResult(true);
        return true;
    }
    case WM_INITMENU:
        fCurrentMenu = nullptr;
        return false;
    case WM_INITMENUPOPUP:
        return popupOpening(event);
    case WM_MENUSELECT: {
        // A high word of 0xFFFF (with no menu) says the menu closed: nothing is selected.
        if (event.parameter1().highNumber() == 0xFFFF)
            return false;
        fCurrentMenu = static_cast<HMENU>(event.parameter2().asPointer());
        IMenuEvent menuEvent(event, IMenuHandle(fCurrentMenu));
        if (!menuSelected(menuEvent))
            return false;
        event.setResult(true);
        return true;
    }
    case WM_EXITMENULOOP:
        // Before the pop-ups are told as ended, while the handler still knows what the menu
        // was for. The loop ends at the pop-up's owner, which need not be the window that asked
        // for the menu: the emphasis goes from the window that asked.
        endSourceEmphasis();
        menuLoopEnded(event);
        return false;
    case IPrivateMessage::menuEnded:
        return popupClosed(event);
    default:
        return false;
    }
}

IBase::Boolean IMenuHandler::popupOpening(IEvent& event)
{
    IMenuEvent menuEvent(event, IMenuHandle(fCurrentMenu));
    const HMENU popup = static_cast<HMENU>(event.parameter1().asPointer());
    const unsigned long itemId = menuEvent.menuItemId();
    fOpened.push_front({itemId, popup});
    if (ShownSubmenu* shown = shownFor(itemId)) {
        ++shown->nesting;
        return true;
    }
    auto submenu = std::make_unique<ISubmenu>(IMenuHandle(popup));
    if (!menuShowing(menuEvent, *submenu))
        return false;
    gShown->push_back({itemId, popup, std::move(submenu), 0});
    return true;
}

// Each pop-up opened since the loop began is told as ended, the newest first. Every one is told
// even when an earlier one fails (its undo, or its handler), so that none keeps its changes or
// its shown-sub-menu entry; the first failure is reported once all are done.
void IMenuHandler::menuLoopEnded(IEvent& event)
{
    std::forward_list<Opened> opened;
    opened.swap(fOpened);
    IWindow* window = event.window();
    std::exception_ptr failure;
    for (const Opened& pair : opened) {
        try {
            if (window)
                window->sendEvent(IPrivateMessage::menuEnded, pair.itemId,
                                  IEventParameter2(static_cast<void*>(pair.popup)));
            else
                SendMessageA(event.handle(), IPrivateMessage::menuEnded, pair.itemId,
                             reinterpret_cast<LPARAM>(pair.popup));
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

IBase::Boolean IMenuHandler::popupClosed(IEvent& event)
{
    IMenuEvent menuEvent(event, IMenuHandle(fCurrentMenu));
    const unsigned long itemId = menuEvent.menuItemId();
    ShownSubmenu* shown = shownFor(itemId);
    if (shown && shown->nesting > 0) {
        --shown->nesting;
        return true;
    }
    // The pop-up's entry and changes go whether or not the handler's menuEnded returns: left in
    // place, they would keep the changes and make the next opening of the pop-up pass for a
    // nested one, never shown to menuShowing. The handler's failure is reported afterwards.
    IBase::Boolean answer = false;
    std::exception_ptr failure;
    try {
        answer = menuEnded(menuEvent);
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        undoShown(itemId, static_cast<HMENU>(event.parameter2().asPointer()));
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
    if (answer)
        event.setResult(menuEvent.result());
    return answer;
}

void IMenuHandler::undoShown(unsigned long itemId, HMENU__* popup)
{
    for (auto it = gShown->begin(); it != gShown->end(); ++it) {
        if (it->itemId != itemId || it->popup != popup)
            continue;
        // Taken off the list before the undo, which a failure may leave half done.
        std::unique_ptr<ISubmenu> submenu = std::move(it->submenu);
        gShown->erase(it);
        submenu->undo();
        return;
    }
}

// A pop-up menu's loop is modal and ends within makePopUpMenu: emphasis added after it would
// come when the menu has gone, and stay. So it is added before, and goes when the menu loop ends
// or at the latest when makePopUpMenu returns, whichever way it leaves.
IBase::Boolean IMenuHandler::popUpWithEmphasis(IMenuEvent& event)
{
    addSourceEmphasis(event);
    // The asking event lives on this frame for the whole of the menu's modal loop.
    IMenuEvent* const outer = fEmphasisEvent;
    fEmphasisEvent = &event;
    IBase::Boolean shown = false;
    try {
        shown = makePopUpMenu(event);
    } catch (...) {
        endSourceEmphasis();
        fEmphasisEvent = outer;
        throw;
    }
    endSourceEmphasis();
    fEmphasisEvent = outer;
    return shown;
}

void IMenuHandler::endSourceEmphasis()
{
    IMenuEvent* const asked = fEmphasisEvent;
    if (!asked)
        return;
    fEmphasisEvent = nullptr;
    removeSourceEmphasis(*asked);
}

IBase::Boolean IMenuHandler::makePopUpMenu(IMenuEvent&) { return false; }
IBase::Boolean IMenuHandler::menuShowing(IMenuEvent&, ISubmenu&) { return false; }
IBase::Boolean IMenuHandler::menuSelected(IMenuEvent&) { return false; }
IBase::Boolean IMenuHandler::menuEnded(IMenuEvent&) { return false; }

IMenuHandler& IMenuHandler::addSourceEmphasis(IMenuEvent& event)
{
    if (IWindow* window = event.window())
        window->showSourceEmphasis();
    return *this;
}

IMenuHandler& IMenuHandler::removeSourceEmphasis(IMenuEvent& event)
{
    if (IWindow* window = event.window())
        window->hideSourceEmphasis();
    return *this;
}
