// The drop-target registration handler.
#include <windows.h>

#include <detail/iscoped.hpp>
#include <iwindow.hpp>

#include "idmdrtgt.hpp"
#include "idmsupp.hpp"
#include "idmtghdr.hpp"

IDMDropTargetHandler::IDMDropTargetHandler() = default;

// A handler that goes before its windows takes their registrations along: nothing else would
// revoke them (only this handler hears the windows' end), and OLE would go on handing drags to
// a target that no handler serves. OLE registrations belong to the window's thread, so windows
// of other threads are left as they are.
IDMDropTargetHandler::~IDMDropTargetHandler()
{
    for (auto& entry : fTargets) {
        const HWND window = entry.first;
        if (IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
            entry.second->revokeDragDrop();
        entry.second->Release();
    }
}

// The target is stored and the handler attached before the window is registered: OLE keeps a
// registration until it is revoked, which only this handler's WM_DESTROY does, so a failure on
// the way must come before it.
IHandler& IDMDropTargetHandler::handleEventsFor(IWindow* window)
{
    if (!window || fTargets.find(window->handle()) != fTargets.end())
        return IHandler::handleEventsFor(window);
    // The list's reference on the target: the scope gives it back when the window cannot be
    // taken on.
    ovk_native::ComReference<IDMDropTarget> target(new IDMDropTarget(window));
    target->AddRef();
    auto stored = fTargets.end();
    try {
        stored = fTargets.emplace(static_cast<HWND>(window->handle()), target.get()).first;
        IHandler::handleEventsFor(window);
    } catch (...) {
        if (stored != fTargets.end())
            fTargets.erase(stored);
        throw;
    }
    target.release()->registerDragDrop();
    return *this;
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
        // The list's reference, given back once the registration is revoked.
        const ovk_native::ComReference<IDMDropTarget> target(found->second);
        fTargets.erase(found);
        target->revokeDragDrop();
    }
    if (IWindow* window = event.window())
        stopHandlingEventsFor(window);
    IDMSupport::uninitializeOle();
    return false;
}
