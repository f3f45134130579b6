// INotebookTabHandler: the messages of a notebook's native tab control turned into notebook
// operations (page turning by keyboard, tab selection, resizing, closing).
#pragma once

#include <cstdint>

#include <ipoint.hpp>

#include <idefs.hpp>

#include "ihandler.hpp"

class IWindow;

// What the tab-control handler asks of a notebook. The notebook class implements it beside its
// window base; the handler finds it on the window object of the tab control (the native
// notebook is the tab control) or of the outside notebook window.
class OVKWIN_API INotebookTabOwner {
public:
    // A page of the notebook, as the notebook identifies it; 0 is no page.
    using PageHandle = std::uintptr_t;

    virtual ~INotebookTabOwner();

    // The page on top; 0 when there is none (an empty notebook answers so rather than throw,
    // since a key press must not throw out of the message loop).
    virtual PageHandle tabTopPage() const = 0;
    virtual PageHandle tabNextPage(PageHandle page) const = 0;
    virtual PageHandle tabPreviousPage(PageHandle page) const = 0;
    virtual INotebookTabOwner& tabTurnToPage(PageHandle page) = 0;
    // The window shown for the page; null when it has none.
    virtual IWindow* tabPageWindow(PageHandle page) const = 0;
    // Lays the tab control and the pages out for the tab control's new size.
    virtual INotebookTabOwner& tabControlResize(const ISize& size) = 0;
    // Handles the tab control's selection notification record (an NMHDR); `changing` is true
    // before the selection changes and false after. The answer goes back to the tab control:
    // before the change, true keeps the current tab.
    virtual IBase::Boolean processTabSelect(void* record, IBase::Boolean changing) = 0;
    // The system menu's Close reached the notebook.
    virtual INotebookTabOwner& processClose() = 0;
    // The notebook colour message (colour, area) is passing on its way to the window.
    virtual INotebookTabOwner& recordNotebookColor(unsigned long color, unsigned long area) = 0;
};

// Attached to every notebook: to its native tab control (window class "SysTabControl32") or to
// its outside window ("OVK Notebook"). Acts only when that window's object is a notebook.
class OVKWIN_API INotebookTabHandler : public IHandler {
public:
    static const char* const tabControlClass;
    static const char* const outsideNotebookClass;
    // A window of either notebook class; of the outside one.
    static IBase::Boolean isNotebookWindow(HWND__* window);
    static IBase::Boolean isOutsideNotebook(HWND__* window);

    INotebookTabHandler() noexcept = default;
    ~INotebookTabHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean turnPageByKey(IEvent& event, INotebookTabOwner& notebook);
    IBase::Boolean resizeTabControl(IEvent& event, INotebookTabOwner& notebook);
    IBase::Boolean postPageHelp(IEvent& event, INotebookTabOwner& notebook);
};
