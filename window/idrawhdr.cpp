// The owner-draw handler of any control (the list boxes' own is with the list boxes).
#include <windows.h>

#include "idrawhdr.hpp"
#include "iwindow.hpp"

IDrawItemHandler::~IDrawItemHandler() = default;

IBase::Boolean IDrawItemHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == WM_MEASUREITEM)
        return dispatchAs(*this, &IDrawItemHandler::measureItem, event);
    if (event.eventId() != WM_DRAWITEM)
        return false;
    const IDrawItemEvent probe(event);
    if (probe.isDrawItem())
        return dispatchAs(*this, &IDrawItemHandler::drawItem, event);
    if (probe.isSetHighlight())
        return dispatchAs(*this, &IDrawItemHandler::setHighlight, event);
    if (probe.isRemoveHighlight())
        return dispatchAs(*this, &IDrawItemHandler::removeHighlight, event);
    return false;
}

IBase::Boolean IDrawItemHandler::measureItem(IOwnerDrawItemEvent&) { return false; }
IBase::Boolean IDrawItemHandler::drawItem(IOwnerDrawItemEvent&) { return false; }
IBase::Boolean IDrawItemHandler::setHighlight(IOwnerDrawItemEvent&) { return false; }
IBase::Boolean IDrawItemHandler::removeHighlight(IOwnerDrawItemEvent&) { return false; }
