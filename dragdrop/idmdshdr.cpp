// The drag-start handler.
#include <windows.h>

#include <imousevt.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "idmdshdr.hpp"
#include "idmsupp.hpp"

IDMDragStartHandler::IDMDragStartHandler() = default;
IDMDragStartHandler::~IDMDragStartHandler() = default;

IBase::Boolean IDMDragStartHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_DESTROY:
        IDMSupport::uninitializeOle();
        return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        fPressPoint = IMouseClickEvent(event).mousePosition();
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        break;
    default:
        return false;
    }
    IWindow* window = event.window();
    if (window && window->isDragStarting(event))
        window->sendEvent(IPrivateMessage::dragStart,
                          IEventParameter1(static_cast<std::uint16_t>(fPressPoint.x()),
                                           static_cast<std::uint16_t>(fPressPoint.y())),
                          0);
    return event.result().asUnsignedLong() != 0;
}
