// The owner mouse handler.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "iownmhdr.hpp"
#include "iprivmsg.hpp"
#include "iwindow.hpp"

IOwnerMouseHandler::IOwnerMouseHandler() noexcept = default;
IOwnerMouseHandler::~IOwnerMouseHandler() = default;

IOwnerMouseHandler* IOwnerMouseHandler::defaultHandler()
{
    return &ovk_app::sharedHandler<IOwnerMouseHandler>();
}

IBase::Boolean IOwnerMouseHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == IPrivateMessage::ownerMouseQuery) {
        event.setResult(1);
        return true;
    }
    return IMouseHandler::dispatchHandlerEvent(event);
}

// Only the control's own request goes to the owner: a request that a child of the control
// passed up (WM_SETCURSOR travels up the parents) is the child's to decide.
IBase::Boolean IOwnerMouseHandler::mousePointerChange(IMousePointerEvent& event)
{
    IWindow* window = event.window();
    IWindow* owner = window ? window->owner() : nullptr;
    if (!owner || owner == window || event.dispatchingWindow() != window)
        return false;
    event.setResult(owner->sendEvent(event));
    return true;
}
