// IPageHandler and its events: what application code hears of a notebook's pages.
#pragma once

#include <cstdint>

#include <ibmphdl.hpp>
#include <icmdevt.hpp>
#include <idefs.hpp>
#include <idrawevt.hpp>
#include <ihandler.hpp>

#include "inotebk.hpp"

class IHelpWindow;

// A page event of a notebook: its size changed (and the base of the other page events).
class OVKWIN_API INotebookPageEvent : public IControlEvent {
public:
    INotebookPageEvent(const IEvent& event);
    ~INotebookPageEvent() override;
    // The notebook's top page; null when there is none.
    virtual IPageHandle pageHandle() const;
    virtual INotebook* notebook() const;
};

// F1 on a notebook: the page on top when it was pressed.
class OVKWIN_API INotebookHelpEvent : public INotebookPageEvent {
public:
    INotebookHelpEvent(const IEvent& event);
    ~INotebookHelpEvent() override;
    IPageHandle pageHandle() const override;
    // The control window of the event, else the event window's child with its identifier.
    virtual IWindow* window() const;
    // The help window of the frame the event's window belongs to; null without one.
    IHelpWindow* helpWindow() const;
};

// A page went: its data comes with the event, its handle is always null.
class OVKWIN_API INotebookDeleteEvent : public INotebookPageEvent {
public:
    INotebookDeleteEvent(const IEvent& event);
    ~INotebookDeleteEvent() override;
    IPageHandle pageHandle() const override;
    INotebook* notebook() const override;
    IWindow* pageWindow() const;
    unsigned long userData() const;
    IBitmapHandle tabBitmap() const;
};

// A page is about to come on top (pending) or has come on top (selected).
class OVKWIN_API INotebookSelectEvent : public INotebookPageEvent {
public:
    INotebookSelectEvent(const IEvent& event);
    ~INotebookSelectEvent() override;
    IPageHandle pageHandle() const override;
    INotebook* notebook() const override;
    IPageHandle previousTopPage() const;
};

// An owner-drawn tab.
class OVKWIN_API INotebookDrawTabEvent : public IDrawItemEvent {
public:
    INotebookDrawTabEvent(const IEvent& event);
    ~INotebookDrawTabEvent() override;
    unsigned long itemId() const override;
    // The outside notebook's page of the item; the native notebook's top page, whatever tab
    // is drawn (the item identifier is then the tab's index).
    virtual IPageHandle pageHandle() const;
};

// Attached to a notebook or to its parent. A selectionPending override that answers true with
// a non-zero result refuses the page turn.
class OVKWIN_API IPageHandler : public IHandler {
public:
    IPageHandler() noexcept;
    ~IPageHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // Shows the window's help panel through the frame's help window, when there is one.
    virtual IBase::Boolean pageHelp(INotebookHelpEvent& event);
    virtual IBase::Boolean pageSizeChanged(INotebookPageEvent& event);
    virtual IBase::Boolean pageDeleted(INotebookDeleteEvent& event);
    virtual IBase::Boolean drawTab(INotebookDrawTabEvent& event);
    virtual IBase::Boolean selectionPending(INotebookSelectEvent& event);
    virtual IBase::Boolean pageSelected(INotebookSelectEvent& event);
};
