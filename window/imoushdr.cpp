// The mouse handler.
#include <windows.h>

#include "iprivmsg.hpp"

#include "imoushdr.hpp"

IMouseHandler::~IMouseHandler() = default;

IBase::Boolean IMouseHandler::dispatchHandlerEvent(IEvent& event)
{
    const unsigned long id = event.eventId();
    if ((id >= WM_LBUTTONDOWN && id <= WM_MBUTTONDBLCLK) ||
        (id >= IPrivateMessage::leftClick && id <= IPrivateMessage::middleClick))
        return dispatchAs(*this, &IMouseHandler::mouseClicked, event);
    if (id == WM_MOUSEMOVE) {
        IMouseEvent mouseEvent(event);
        if (!mouseMoved(mouseEvent))
            return false;
        defaultProcedure(event);
        event.setResult(mouseEvent.result());
        return true;
    }
    if (id == WM_SETCURSOR) {
        IMousePointerEvent pointerEvent(event);
        const IBase::Boolean handled = mousePointerChange(pointerEvent);
        event.setResult(pointerEvent.result());
        return handled;
    }
    return false;
}

IBase::Boolean IMouseHandler::mouseClicked(IMouseClickEvent&)
{
    return false;
}

IBase::Boolean IMouseHandler::mouseMoved(IMouseEvent&)
{
    return false;
}

IBase::Boolean IMouseHandler::mousePointerChange(IMousePointerEvent&)
{
    return false;
}
