// The paint handler.
#include <windows.h>

#include <detail/iscoped.hpp>

#include "ipainhdr.hpp"

IPaintHandler::~IPaintHandler() = default;

IBase::Boolean IPaintHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_PAINT)
        return false;
    IPaintEvent paintEvent(event);
    if (!paintWindow(paintEvent))
        return false;
    // Painting validates the update region, so that no second WM_PAINT follows.
    { const ovk_native::Paint paint(event.handle()); }
    event.setResult(paintEvent.result());
    return true;
}
