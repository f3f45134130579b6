// The notebook's tab-control handler.
#include <windows.h>
#include <commctrl.h>

#include <iprivmsg.hpp>

#include "ikeyevt.hpp"
#include "inbtab.hpp"
#include "iwindow.hpp"

const char* const INotebookTabHandler::tabControlClass = "SysTabControl32";
const char* const INotebookTabHandler::outsideNotebookClass = "OVK Notebook";

INotebookTabOwner::~INotebookTabOwner() = default;
INotebookTabHandler::~INotebookTabHandler() = default;

namespace {

// The outside notebook's colour message, which passes through to the outside window.
constexpr unsigned int kNotebookColorMessage = 0xF081;
// The page-help notification, posted to the notebook's parent with the top page.
constexpr unsigned int kPageHelpCode = 0x84;

bool isClass(HWND window, const char* className)
{
    char name[32];
    return window && GetClassNameA(window, name, sizeof name) > 0 &&
           lstrcmpiA(name, className) == 0;
}

// The notebook window an event concerns: the sender of a selection notification, else the
// window itself.
HWND notebookWindowOf(const IEvent& event)
{
    if (event.eventId() == WM_NOTIFY) {
        // The tab control's own children (its tool tips, its scroll arrows) notify it too.
        const auto* header = static_cast<const NMHDR*>(event.parameter2().asPointer());
        return header && isClass(header->hwndFrom, INotebookTabHandler::tabControlClass)
                   ? header->hwndFrom
                   : nullptr;
    }
    const HWND window = event.handle();
    return INotebookTabHandler::isNotebookWindow(window) ? window : nullptr;
}

// The window object may belong to another thread's window set.
INotebookTabOwner* notebookOf(HWND window)
{
    return dynamic_cast<INotebookTabOwner*>(IWindow::windowWithHandle(window, true));
}

} // namespace

IBase::Boolean INotebookTabHandler::isNotebookWindow(HWND window)
{
    return isClass(window, tabControlClass) || isClass(window, outsideNotebookClass);
}

IBase::Boolean INotebookTabHandler::isOutsideNotebook(HWND window)
{
    return isClass(window, outsideNotebookClass);
}

IBase::Boolean INotebookTabHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id != WM_SYSKEYDOWN && id != WM_NOTIFY && id != WM_SIZE && id != WM_SYSCOMMAND &&
        id != WM_HELP && id != kNotebookColorMessage && id != IPrivateMessage::tabControlResize)
        return false;
    const HWND notebookWindow = notebookWindowOf(event);
    INotebookTabOwner* notebook = notebookWindow ? notebookOf(notebookWindow) : nullptr;
    if (!notebook)
        return false;
    const bool onTabControl = isClass(notebookWindow, tabControlClass);

    switch (id) {
    case WM_SYSKEYDOWN:
        return onTabControl && turnPageByKey(event, *notebook);
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
        return onTabControl && resizeTabControl(event, *notebook);
    case WM_SYSCOMMAND:
        // The low four bits of the command are the system's own.
        if ((event.parameter1().asUnsignedLong() & 0xFFF0) != SC_CLOSE)
            return false;
        notebook->processClose();
        return true;
    case WM_HELP:
        return postPageHelp(event, *notebook);
    case kNotebookColorMessage:
        // Recorded on its way, so that the colour queries see it; the window still gets it.
        notebook->recordNotebookColor(event.parameter1().asUnsignedLong(),
                                      event.parameter2().asUnsignedLong());
        return false;
    default: // the resize posted to a multi-line tab control
        if (!onTabControl)
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
    const INotebookTabOwner::PageHandle top = notebook.tabTopPage();
    if (!top)
        return false;
    switch (key.virtualKey()) {
    case IKeyboardEvent::down:
        if (IWindow* window = notebook.tabPageWindow(top)) {
            window->setFocus();
            return true;
        }
        return false;
    case IKeyboardEvent::pageUp:
        if (const INotebookTabOwner::PageHandle page = notebook.tabPreviousPage(top)) {
            notebook.tabTurnToPage(page);
            return true;
        }
        return false;
    case IKeyboardEvent::pageDown:
        if (const INotebookTabOwner::PageHandle page = notebook.tabNextPage(top)) {
            notebook.tabTurnToPage(page);
            return true;
        }
        return false;
    default:
        return false;
    }
}

// A multi-line tab control recalculates its rows of tabs in its own WM_SIZE, so its pages are
// laid out only afterwards, from a posted message; a single-line one lays out at once. WM_SIZE
// goes on to the tab control either way.
IBase::Boolean INotebookTabHandler::resizeTabControl(IEvent& event, INotebookTabOwner& notebook)
{
    const HWND tabControl = event.handle();
    if (GetWindowLongPtrA(tabControl, GWL_STYLE) & TCS_MULTILINE) {
        PostMessageA(tabControl, IPrivateMessage::tabControlResize,
                     static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                     event.parameter2().asLong());
        return false;
    }
    notebook.tabControlResize(ISize(static_cast<ISize::Coord>(event.parameter2().lowNumber()),
                                    static_cast<ISize::Coord>(event.parameter2().highNumber())));
    return false;
}

// F1 on a notebook: the parent hears of it with the top page, posted so that the help comes
// after the key's own processing.
IBase::Boolean INotebookTabHandler::postPageHelp(IEvent& event, INotebookTabOwner& notebook)
{
    const HWND window = event.handle();
    const HWND parent = GetParent(window);
    if (!parent)
        return false;
    // A WM_COMMAND with a zero lParam would be taken for a menu command: no page, no help.
    const INotebookTabOwner::PageHandle top = notebook.tabTopPage();
    if (!top)
        return true;
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), kPageHelpCode);
    PostMessageA(parent, WM_COMMAND, wParam, static_cast<LPARAM>(top));
    return true;
}
