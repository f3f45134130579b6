// Owner-draw handlers: IDrawItemHandler for any owner-drawn control, IListBoxDrawItemHandler
// for list boxes.
#pragma once

#include <idefs.hpp>

#include "idrawevt.hpp"
#include "ihandler.hpp"

class OVKWIN_API IDrawItemHandler : public IHandler {
public:
    IDrawItemHandler() noexcept = default;
    ~IDrawItemHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean measureItem(IOwnerDrawItemEvent& event);
    // A whole item, or a selection change: Windows always asks for both together, so the
    // highlight callbacks are reached only for an action with neither bit, which Windows does
    // not send today.
    virtual IBase::Boolean drawItem(IOwnerDrawItemEvent& event);
    virtual IBase::Boolean setHighlight(IOwnerDrawItemEvent& event);
    virtual IBase::Boolean removeHighlight(IOwnerDrawItemEvent& event);
};

class IBaseListBox;

// Serves owner-drawn list boxes only: events of other controls pass by.
class OVKWIN_API IListBoxDrawItemHandler : public IHandler {
public:
    IListBoxDrawItemHandler() noexcept = default;
    ~IListBoxDrawItemHandler() override;

    // Attached to an owner-drawn list box of variable height, asks the list box's owner for the
    // item height at once, so that the items have their height before they are first drawn.
    // The window form does this too, for list boxes that have no list-box object.
    IListBoxDrawItemHandler& handleEventsFor(IWindow* window) override;
    // The list-box form: the list box's own style says whether it is owner-drawn with
    // variable heights.
    virtual IListBoxDrawItemHandler& handleEventsFor(IBaseListBox* listBox);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The size the callback leaves becomes the list box's horizontal extent; a height of 0
    // becomes 1 x 1, as a list box cannot show items of no height.
    virtual IBase::Boolean measureItem(IListBoxMeasureItemEvent& event);
    virtual IBase::Boolean drawItem(IListBoxDrawItemEvent& event);
    virtual IBase::Boolean setHighlight(IListBoxDrawItemEvent& event);
    virtual IBase::Boolean removeHighlight(IListBoxDrawItemEvent& event);

private:
    IBase::Boolean measure(IEvent& event);
    IBase::Boolean draw(IEvent& event);
};
