// ICnrDrawHandler: owner drawing of a container's texts, icons, details fields, title and
// background.
#pragma once

#include <irect.hpp>

#include <idefs.hpp>
#include <icmdevt.hpp>
#include <ihandle.hpp>
#include <ihandler.hpp>

class ICnrCtl;
class ICnrObj;
class IContainerColumn;

// WM_DRAWITEM from a container: which part of which object to draw, where and with what.
class OVKWIN_API ICnrDrawItemEvent : public IControlEvent {
public:
    enum ItemPart : unsigned long { text = 0, icon = 1, treeIcon = 2, detailsField = 3, title = 4 };

    explicit ICnrDrawItemEvent(const IEvent& event);
    ~ICnrDrawItemEvent() override;

    IRectangle itemRect() const;
    ItemPart itemPart() const;
    // The device context to draw into.
    IPresSpaceHandle itemHandle() const;
    ICnrObj* object() const;
    IContainerColumn* column() const;
    // The container's child that asks for the drawing.
    IWindow* window() const override;

    // The part a DRAWITEMSTRUCT itemID names.
    static ItemPart partOf(unsigned long itemId) noexcept;
};

// CM_PAINTBACKGROUND: the container's background, when it is drawn by the application.
class OVKWIN_API ICnrDrawBackgroundEvent : public IEvent {
public:
    explicit ICnrDrawBackgroundEvent(const IEvent& event);
    ~ICnrDrawBackgroundEvent() override;

    // All 0 when the message carries no background record.
    IRectangle backgroundRect() const;
    IPresSpaceHandle presSpaceHandle() const;
    unsigned long windowPartId() const;
};

class OVKWIN_API ICnrDrawHandler : public IHandler {
public:
    ICnrDrawHandler();
    ~ICnrDrawHandler() override;

    // Refused with the invalid-request error: the handler serves containers only.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // The virtual operations keep the order that derived handlers rely on. Each answers true
    // when it drew the part; the defaults leave the drawing to the container.
    virtual IBase::Boolean drawText(ICnrDrawItemEvent& event);
    virtual IBase::Boolean drawIcon(ICnrDrawItemEvent& event);
    virtual IBase::Boolean drawTreeIcon(ICnrDrawItemEvent& event);
    virtual IBase::Boolean drawDetailsField(ICnrDrawItemEvent& event);
    virtual IBase::Boolean drawTitle(ICnrDrawItemEvent& event);
    virtual IBase::Boolean drawBackground(ICnrDrawBackgroundEvent& event);

public:
    // A null container fails the argument check "container != 0".
    virtual ICnrDrawHandler& handleEventsFor(ICnrCtl* container);
    virtual ICnrDrawHandler& stopHandlingEventsFor(ICnrCtl* container);
};
