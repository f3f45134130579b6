// The paint handler.
#include <windows.h>

#include "ipainhdr.hpp"

IPaintHandler::~IPaintHandler() = default;

IBase::Boolean IPaintHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_PAINT)
        return false;
    IPaintEvent paintEvent(event);
    if (!paintWindow(paintEvent))
        return false;
    PAINTSTRUCT paint;
    if (BeginPaint(event.handle(), &paint))
        EndPaint(event.handle(), &paint);
    event.setResult(paintEvent.result());
    return true;
}
