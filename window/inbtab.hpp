// INotebookTabHandler: the messages of a notebook's native tab control turned into notebook
// operations (page turning by keyboard, tab selection, resizing, closing).
#pragma once

#include <cstdint>

#include <ipoint.hpp>

#include <idefs.hpp>

#include "ihandler.hpp"

class IWindow;

// What the tab-control handler asks of a notebook. The notebook class implements it beside its
// window base; the handler finds it on the window object of the tab control's parent.
class OVKWIN_API INotebookTabOwner {
public:
    // A page of the notebook, as the notebook identifies it; 0 is no page.
    using PageHandle = std::uintptr_t;

    virtual ~INotebookTabOwner();

    virtual PageHandle topPage() const = 0;
    virtual PageHandle nextPage(PageHandle page) const = 0;
    virtual PageHandle previousPage(PageHandle page) const = 0;
    virtual INotebookTabOwner& turnToPage(PageHandle page) = 0;
    // The window shown for the page; null when it has none.
    virtual IWindow* window(PageHandle page) const = 0;
    // Lays the tab control and the pages out for the tab control's new size.
    virtual INotebookTabOwner& tabControlResize(const ISize& size) = 0;
    // Handles the tab control's selection notification record (an NMHDR); `changing` is true
    // before the selection changes and false after. The answer goes back to the tab control:
    // before the change, true keeps the current tab.
    virtual IBase::Boolean processTabSelect(void* record, IBase::Boolean changing) = 0;
    // The system menu's Close reached the notebook or its tab control.
    virtual INotebookTabOwner& processClose() = 0;
};

// Attached to a notebook and to its tab control (window class "SysTabControl32", a child of the
// notebook). Acts only when the tab control's parent has a window object that is a notebook.
class OVKWIN_API INotebookTabHandler : public IHandler {
public:
    static const char* const tabControlClass;

    INotebookTabHandler() noexcept = default;
    ~INotebookTabHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean turnPageByKey(IEvent& event, INotebookTabOwner& notebook);
    IBase::Boolean resizeTabControl(IEvent& event, HWND__* tabControl);
};
