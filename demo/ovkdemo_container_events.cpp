// The demo's container events: the context menu of the details view sorts the files by name,
// a double click or Enter opens a file (shown in use), and names are edited in place.
#include <windows.h>

#include <ovkwin.hpp>

#include "ovkdemo.h"
#include "ovkdemo_container_events.h"

namespace {

constexpr unsigned long kSortMenu = 3400;
constexpr unsigned long kSortAscending = 3401;
constexpr unsigned long kSortDescending = 3402;

// An opened object is shown in use.
void openObject(ICnrCtl& container, ICnrObj& object)
{
    object.open(&container);
    object.setInUse(true, &container);
}

class Opener : public ICnrHandler {
protected:
    IBase::Boolean enter(ICnrEnterEvent& event) override
    {
        auto* container = dynamic_cast<ICnrCtl*>(event.controlWindow());
        if (event.object() && container)
            openObject(*container, *event.object());
        return false;
    }
};

class SortMenu : public ICnrMenuHandler {
protected:
    IBase::Boolean makePopUpMenu(IMenuEvent& event) override
    {
        IPopUpMenu menu(event.window(), kSortMenu);
        menu.addText(kSortAscending, "Sort ascending");
        menu.addText(kSortDescending, "Sort descending");
        menu.show(event.mousePosition());
        return true;
    }
};

// The menu's commands come to the container, which owns the menu.
class SortCommands : public ICommandHandler {
public:
    explicit SortCommands(ICnrCtl& container) : fContainer(container) {}

protected:
    IBase::Boolean command(ICommandEvent& event) override
    {
        if (event.commandId() != kSortAscending && event.commandId() != kSortDescending)
            return false;
        fContainer.sortByIconText(event.commandId() == kSortAscending);
        return true;
    }

private:
    ICnrCtl& fContainer;
};

ContainerEvents* gLive = nullptr;

} // namespace

struct ContainerEvents::Parts {
    explicit Parts(ICnrCtl& container) : container(container), commands(container) {}
    ICnrCtl& container;
    Opener opener;
    SortMenu menu;
    SortCommands commands;
    ICnrEditHandler editing;
};

ContainerEvents::ContainerEvents(ICnrCtl& container) : fParts(std::make_unique<Parts>(container))
{
    fParts->opener.handleEventsFor(&container);
    fParts->menu.handleEventsFor(&container);
    fParts->editing.handleEventsFor(&container);
    // Attached last, so it sees the menu's commands before the menu handler passes them on.
    fParts->commands.handleEventsFor(&container);
    gLive = this;
}

ContainerEvents::~ContainerEvents()
{
    if (gLive == this)
        gLive = nullptr;
    ICnrCtl& container = fParts->container;
    fParts->commands.stopHandlingEventsFor(&container);
    fParts->editing.stopHandlingEventsFor(&container);
    fParts->menu.stopHandlingEventsFor(&container);
    fParts->opener.stopHandlingEventsFor(&container);
}

void ContainerEvents::play()
{
    ICnrCtl& container = fParts->container;
    container.sortByIconText(false);
    ICnrCtl::ObjectCursor cursor(container);
    if (!cursor.setToFirst())
        return;
    openObject(container, *cursor.current());
    if (!cursor.setToNext())
        return;
    ICnrObj* renamed = cursor.current();
    renamed->setWriteable(true, &container);
    container.editObject(renamed);
    // The user's typing, and Enter, which stores the new name.
    if (IWindow* editor = container.editWindow()) {
        SetWindowTextA(editor->handle(), "Renamed in place");
        SendMessageA(editor->handle(), WM_KEYDOWN, VK_RETURN, 0);
    }
    showInPicture(container);
}

// The container lives on a notebook page (the notebook keeps its pages in a window of its own,
// so it is found among the ancestors): that page is shown for the picture, then the page shown
// before comes back.
void ContainerEvents::showInPicture(ICnrCtl& container)
{
    IWindow* page = container.parent();
    INotebook* notebook = nullptr;
    for (IWindow* above = page; above && !notebook; above = above->parent())
        notebook = dynamic_cast<INotebook*>(above);
    if (!notebook) {
        requestScreenshot("containers");
        return;
    }
    const IPageHandle before = notebook->topPage();
    INotebook::Cursor cursor(*notebook);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        if (notebook->window(cursor) == page) {
            notebook->turnToPage(cursor);
            break;
        }
    }
    requestScreenshot("containers");
    notebook->turnToPage(before);
}

void playContainerEvents()
{
    if (gLive)
        gLive->play();
}
