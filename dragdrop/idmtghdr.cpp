// The drop-target registration handler.
#include <windows.h>

#include <iwindow.hpp>

#include "idmdrtgt.hpp"
#include "idmsupp.hpp"
#include "idmtghdr.hpp"

IDMDropTargetHandler::IDMDropTargetHandler() = default;

// Windows still registered keep their registration; only this handler's references go.
IDMDropTargetHandler::~IDMDropTargetHandler()
{
    for (auto& entry : fTargets)
        entry.second->Release();
}

IHandler& IDMDropTargetHandler::handleEventsFor(IWindow* window)
{
    if (window && fTargets.find(window->handle()) == fTargets.end()) {
        auto* target = new IDMDropTarget(window);
        target->AddRef();
        target->registerDragDrop();
        fTargets[window->handle()] = target;
    }
    return IHandler::handleEventsFor(window);
}

IDMDropTarget* IDMDropTargetHandler::dropTargetFor(const IWindow* window) const
{
    if (!window)
        return nullptr;
    const auto found = fTargets.find(window->handle());
    return found == fTargets.end() ? nullptr : found->second;
}

// RevokeDragDrop needs the window still alive, which it is while WM_DESTROY is dispatched.
IBase::Boolean IDMDropTargetHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_DESTROY)
        return false;
    const auto found = fTargets.find(event.handle());
    if (found != fTargets.end()) {
        IDMDropTarget* target = found->second;
        fTargets.erase(found);
        target->revokeDragDrop();
        target->Release();
    }
    if (IWindow* window = event.window())
        stopHandlingEventsFor(window);
    IDMSupport::uninitializeOle();
    return false;
}
