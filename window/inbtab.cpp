// The notebook's tab-control handler.
#include <windows.h>
#include <commctrl.h>

#include <iprivmsg.hpp>

#include "ikeyevt.hpp"
#include "inbtab.hpp"
#include "iwindow.hpp"

const char* const INotebookTabHandler::tabControlClass = "SysTabControl32";

INotebookTabOwner::~INotebookTabOwner() = default;
INotebookTabHandler::~INotebookTabHandler() = default;

namespace {

bool isTabControl(HWND window)
{
    char name[32];
    return window && GetClassNameA(window, name, sizeof name) > 0 &&
           lstrcmpiA(name, INotebookTabHandler::tabControlClass) == 0;
}

// The tab control an event concerns: the window itself, the sender of a notification, or the
// notebook's tab control child.
HWND tabControlOf(const IEvent& event)
{
    const HWND window = event.handle();
    if (event.eventId() == WM_NOTIFY) {
        // The tab control's own children (its tool tips, its scroll arrows) notify it too.
        const auto* header = static_cast<const NMHDR*>(event.parameter2().asPointer());
        return header && isTabControl(header->hwndFrom) ? header->hwndFrom : nullptr;
    }
    if (isTabControl(window))
        return window;
    return FindWindowExA(window, nullptr, INotebookTabHandler::tabControlClass, nullptr);
}

// The notebook is the tab control's parent, which may belong to another thread's window set.
INotebookTabOwner* notebookOf(HWND tabControl)
{
    IWindow* window = IWindow::windowWithHandle(GetParent(tabControl), true);
    return dynamic_cast<INotebookTabOwner*>(window);
}

} // namespace

IBase::Boolean INotebookTabHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id != WM_SYSKEYDOWN && id != WM_NOTIFY && id != WM_SIZE && id != WM_SYSCOMMAND &&
        id != IPrivateMessage::tabControlResize)
        return false;
    const HWND tabControl = tabControlOf(event);
    INotebookTabOwner* notebook = tabControl ? notebookOf(tabControl) : nullptr;
    if (!notebook)
        return false;

    switch (id) {
    case WM_SYSKEYDOWN:
        return event.handle() == tabControl && turnPageByKey(event, *notebook);
    case WM_NOTIFY: {
        const auto* header = static_cast<NMHDR*>(event.parameter2().asPointer());
        if (header->code != static_cast<UINT>(TCN_SELCHANGE) &&
            header->code != static_cast<UINT>(TCN_SELCHANGING))
            return false;
        const IBase::Boolean changing = header->code == static_cast<UINT>(TCN_SELCHANGING);
        event.setResult(notebook->processTabSelect(event.parameter2().asPointer(), changing));
        return true;
    }
    case WM_SIZE:
        return event.handle() != tabControl && resizeTabControl(event, tabControl);
    case WM_SYSCOMMAND:
        // The low four bits of the command are the system's own.
        if ((event.parameter1().asUnsignedLong() & 0xFFF0) != SC_CLOSE)
            return false;
        notebook->processClose();
        return true;
    default: // the resize posted to the tab control
        if (event.handle() != tabControl)
            return false;
        notebook->tabControlResize(ISize(static_cast<ISize::Coord>(event.parameter2().lowNumber()),
                                         static_cast<ISize::Coord>(event.parameter2().highNumber())));
        return true;
    }
}

// Alt+Down gives the top page's window the focus; Alt+Page Up and Alt+Page Down turn to the
// page before and after the top one. Shift or Ctrl with them makes a different key.
IBase::Boolean INotebookTabHandler::turnPageByKey(IEvent& event, INotebookTabOwner& notebook)
{
    IKeyboardEvent key(event);
    if (!key.isVirtual() || !(event.parameter2().asUnsignedLong() & IKeyboardEvent::altMask) ||
        key.isShiftDown() || key.isCtrlDown())
        return false;
    const INotebookTabOwner::PageHandle top = notebook.topPage();
    if (!top)
        return false;
    switch (key.virtualKey()) {
    case IKeyboardEvent::down:
        if (IWindow* window = notebook.window(top)) {
            window->setFocus();
            return true;
        }
        return false;
    case IKeyboardEvent::pageUp:
        if (const INotebookTabOwner::PageHandle page = notebook.previousPage(top)) {
            notebook.turnToPage(page);
            return true;
        }
        return false;
    case IKeyboardEvent::pageDown:
        if (const INotebookTabOwner::PageHandle page = notebook.nextPage(top)) {
            notebook.turnToPage(page);
            return true;
        }
        return false;
    default:
        return false;
    }
}

// The tab control fills the notebook. The pages are laid out only once the tab control has
// taken its new size and recalculated its rows of tabs, so the layout is posted to it rather
// than done here; the notebook's own WM_SIZE goes on to its previous procedure.
IBase::Boolean INotebookTabHandler::resizeTabControl(IEvent& event, HWND__* tabControl)
{
    const int width = static_cast<int>(event.parameter2().lowNumber());
    const int height = static_cast<int>(event.parameter2().highNumber());
    SetWindowPos(tabControl, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    PostMessageA(tabControl, IPrivateMessage::tabControlResize,
                 static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                 event.parameter2().asLong());
    return false;
}
