// The page handler and the page events.
#include <windows.h>

#include <iapp.hpp>
#include <ihelpwin.hpp>
#include <iprivmsg.hpp>

#include <iadvrec.hpp>
#include "ipagehdr.hpp"



namespace {

INotebook* notebookWithHandle(HWND window)
{
    return window && IsWindow(window)
               ? dynamic_cast<INotebook*>(IWindow::windowWithHandle(window, true))
               : nullptr;
}

} // namespace

// Page event -----------------------------------------------------------------------------------

INotebookPageEvent::INotebookPageEvent(const IEvent& event) : IControlEvent(event) {}
INotebookPageEvent::~INotebookPageEvent() = default;

INotebook* INotebookPageEvent::notebook() const
{
    return dynamic_cast<INotebook*>(controlWindow());
}

IPageHandle INotebookPageEvent::pageHandle() const
{
    INotebook* book = INotebookPageEvent::notebook();
    if (!book)
        return IPageHandle();
    return IPageHandle(static_cast<unsigned long>(book->tabTopPage()));
}

// Help event -----------------------------------------------------------------------------------

INotebookHelpEvent::INotebookHelpEvent(const IEvent& event) : INotebookPageEvent(event) {}
INotebookHelpEvent::~INotebookHelpEvent() = default;

IPageHandle INotebookHelpEvent::pageHandle() const
{
    return IPageHandle(static_cast<unsigned long>(parameter2().asUnsignedLong()));
}

IWindow* INotebookHelpEvent::window() const
{
    if (IWindow* control = controlWindow())
        return control;
    const HWND child = GetDlgItem(handle(), static_cast<int>(controlId()));
    return child ? IWindow::windowWithHandle(child, true) : nullptr;
}

IHelpWindow* INotebookHelpEvent::helpWindow() const
{
    return IHelpWindow::helpWindow(IControlEvent::window());
}

// Delete event ---------------------------------------------------------------------------------

namespace {

const IOutsideDeleteRecord* deleteRecord(const IEvent& event)
{
    return static_cast<const IOutsideDeleteRecord*>(event.parameter2().asPointer());
}

const IOutsideSelectRecord* selectRecord(const IEvent& event)
{
    return static_cast<const IOutsideSelectRecord*>(event.parameter2().asPointer());
}

} // namespace

INotebookDeleteEvent::INotebookDeleteEvent(const IEvent& event) : INotebookPageEvent(event) {}
INotebookDeleteEvent::~INotebookDeleteEvent() = default;

IPageHandle INotebookDeleteEvent::pageHandle() const
{
    return IPageHandle();
}

INotebook* INotebookDeleteEvent::notebook() const
{
    return notebookWithHandle(deleteRecord(*this)->notebook);
}

IWindow* INotebookDeleteEvent::pageWindow() const
{
    const HWND window = deleteRecord(*this)->pageWindow;
    return window ? IWindow::windowWithHandle(window, true) : nullptr;
}

unsigned long INotebookDeleteEvent::userData() const
{
    return deleteRecord(*this)->userData;
}

IBitmapHandle INotebookDeleteEvent::tabBitmap() const
{
    return IBitmapHandle(deleteRecord(*this)->tabBitmap);
}

// Select event ---------------------------------------------------------------------------------

INotebookSelectEvent::INotebookSelectEvent(const IEvent& event) : INotebookPageEvent(event) {}
INotebookSelectEvent::~INotebookSelectEvent() = default;

IPageHandle INotebookSelectEvent::pageHandle() const
{
    if (!notebook())
        return IPageHandle();
    return IPageHandle(selectRecord(*this)->newPage);
}

INotebook* INotebookSelectEvent::notebook() const
{
    return notebookWithHandle(selectRecord(*this)->notebook);
}

IPageHandle INotebookSelectEvent::previousTopPage() const
{
    return IPageHandle(selectRecord(*this)->topPage);
}

// Draw event -----------------------------------------------------------------------------------

INotebookDrawTabEvent::INotebookDrawTabEvent(const IEvent& event) : IDrawItemEvent(event) {}
INotebookDrawTabEvent::~INotebookDrawTabEvent() = default;

unsigned long INotebookDrawTabEvent::itemId() const
{
    return IDrawItemEvent::itemId();
}

IPageHandle INotebookDrawTabEvent::pageHandle() const
{
    INotebook* book = dynamic_cast<INotebook*>(controlWindow());
    if (!book)
        return IPageHandle();
    if (book->usesThunkedWindow())
        return IPageHandle(itemId());
    return IPageHandle(static_cast<unsigned long>(book->tabTopPage()));
}

// Handler --------------------------------------------------------------------------------------

IPageHandler::IPageHandler() noexcept = default;
IPageHandler::~IPageHandler() = default;

IBase::Boolean IPageHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if (id != WM_DRAWITEM && id != IPrivateMessage::controlNotification)
        return false;
    const IControlEvent control(event);
    if (!INotebookTabHandler::isNotebookWindow(control.controlHandle()))
        return false;
    if (id == WM_DRAWITEM)
        return dispatchAs(*this, &IPageHandler::drawTab, event);
    switch (control.notificationCode()) {
    case IOutsideNotification::pageSelected:
        return dispatchAs(*this, &IPageHandler::pageSelected, event);
    case IOutsideNotification::pageSizeChanged:
        return dispatchAs(*this, &IPageHandler::pageSizeChanged, event);
    case IOutsideNotification::pageHelp:
        return dispatchAs(*this, &IPageHandler::pageHelp, event);
    case IOutsideNotification::pageDeleted:
        return dispatchAs(*this, &IPageHandler::pageDeleted, event);
    case IOutsideNotification::selectionPending: {
        const IBase::Boolean handled = dispatchAs(*this, &IPageHandler::selectionPending, event);
        // The outside notebook learns of a refusal from the record: it turns only while the
        // page to be shown is still set.
        if (handled && event.result().asUnsignedLong() != 0 &&
            INotebookTabHandler::isOutsideNotebook(control.controlHandle()))
            static_cast<IOutsideSelectRecord*>(event.parameter2().asPointer())->newPage = 0;
        return handled;
    }
    default:
        return false;
    }
}

// Only the frame's help window can show the window's help panel; without one (or without a
// help identifier) the request goes on.
IBase::Boolean IPageHandler::pageHelp(INotebookHelpEvent& event)
{
    IWindow* window = event.window();
    if (!window || window->helpId() == 0)
        return false;
    IHelpWindow* help = event.helpWindow();
    if (!help)
        return false;
    help->show(IResourceId(window->helpId(), IApplication::current().userResourceLibrary()));
    return true;
}

IBase::Boolean IPageHandler::pageSizeChanged(INotebookPageEvent&) { return false; }
IBase::Boolean IPageHandler::pageDeleted(INotebookDeleteEvent&) { return false; }
IBase::Boolean IPageHandler::drawTab(INotebookDrawTabEvent&) { return false; }
IBase::Boolean IPageHandler::selectionPending(INotebookSelectEvent&) { return false; }
IBase::Boolean IPageHandler::pageSelected(INotebookSelectEvent&) { return false; }
