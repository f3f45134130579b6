// The owner-draw handler of list boxes. Its errors are located in idrawhdr, where the other
// owner-draw handler lives.
#include <windows.h>

#include <iexcept.hpp>

#include <idrawhdr.hpp>
#include <iwcname.hpp>
#include <iwindow.hpp>

#include "ilistbas.hpp"

IListBoxDrawItemHandler::~IListBoxDrawItemHandler() = default;

namespace {

bool isListBox(const IWindowHandle& control)
{
    return control && IWindowClassName(control) == "ListBox";
}

} // namespace

namespace {

// A variable-height list box asks for each item's height as the item is added; the items it
// has already are measured once now, through the first item's request to the owner.
void askOwnerForItemHeight(HWND listBox, HWND owner)
{
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_LISTBOX;
    measure.CtlID = static_cast<UINT>(GetWindowLongPtrA(listBox, GWLP_ID));
    IWindowHandle(owner).sendEvent(WM_MEASUREITEM, measure.CtlID,
                                   IEventParameter2(static_cast<void*>(&measure)));
}

} // namespace

IListBoxDrawItemHandler& IListBoxDrawItemHandler::handleEventsFor(IWindow* window)
{
    IHandler::handleEventsFor(window);
    HWND listBox = window->handle();
    HWND owner = GetParent(listBox);
    if (owner && isListBox(listBox) &&
        (GetWindowLongPtrA(listBox, GWL_STYLE) & LBS_OWNERDRAWVARIABLE))
        askOwnerForItemHeight(listBox, owner);
    return *this;
}

IListBoxDrawItemHandler& IListBoxDrawItemHandler::handleEventsFor(IBaseListBox* listBox)
{
    IARGUMENT_CHECK(listBox != 0, "idrawhdr",
                    "IListBoxDrawItemHandler::handleEventsFor(IBaseListBox*)");
    IHandler::handleEventsFor(listBox);
    IWindow* owner = listBox->owner();
    const HWND ownerHandle = owner ? static_cast<HWND>(owner->handle()) : GetParent(listBox->handle());
    if (ownerHandle && listBox->isOwnerDraw())
        askOwnerForItemHeight(listBox->handle(), ownerHandle);
    return *this;
}

IBase::Boolean IListBoxDrawItemHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_MEASUREITEM:
        return measure(event);
    case WM_DRAWITEM:
        return draw(event);
    default:
        return false;
    }
}

IBase::Boolean IListBoxDrawItemHandler::measure(IEvent& event)
{
    IListBoxMeasureItemEvent measureEvent(event);
    if (!isListBox(measureEvent.controlHandle()))
        return false;
    const IBase::Boolean handled = measureItem(measureEvent);
    ISize size = measureEvent.itemSize();
    measureEvent.controlHandle().sendEvent(LB_SETHORIZONTALEXTENT,
                                           static_cast<unsigned long>(size.width()));
    if (size.height() == 0)
        size = ISize(1, 1);
    measureEvent.setItemSize(size);
    if (handled)
        event.setResult(measureEvent.result());
    return handled;
}

IBase::Boolean IListBoxDrawItemHandler::draw(IEvent& event)
{
    IListBoxDrawItemEvent drawEvent(event);
    if (!isListBox(drawEvent.controlHandle()))
        return false;
    IBase::Boolean handled = false;
    if (drawEvent.isDrawEntire())
        handled = drawItem(drawEvent);
    else if (drawEvent.isSetHighlight())
        handled = setHighlight(drawEvent);
    else if (drawEvent.isRemoveHighlight())
        handled = removeHighlight(drawEvent);
    if (handled && drawEvent.isResultSet())
        event.setResult(drawEvent.result());
    return handled;
}

IBase::Boolean IListBoxDrawItemHandler::measureItem(IListBoxMeasureItemEvent&) { return false; }
IBase::Boolean IListBoxDrawItemHandler::drawItem(IListBoxDrawItemEvent&) { return false; }
IBase::Boolean IListBoxDrawItemHandler::setHighlight(IListBoxDrawItemEvent&) { return false; }
IBase::Boolean IListBoxDrawItemHandler::removeHighlight(IListBoxDrawItemEvent&) { return false; }
