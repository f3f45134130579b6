// IDMDropTargetHandler: makes every window it handles an OLE drop target, until the window is
// destroyed.
#pragma once

#include <map>

#include <idefs.hpp>
#include <ihandler.hpp>

class IDMDropTarget;
struct HWND__;

// One drop target per window, registered when the handler starts handling the window and
// revoked when the window is destroyed, which also counts the window's OLE use out.
class OVKWIN_API IDMDropTargetHandler : public IHandler {
public:
    IDMDropTargetHandler();
    ~IDMDropTargetHandler() override;

    IHandler& handleEventsFor(IWindow* window) override;
    // The drop target of a window, or null.
    IDMDropTarget* dropTargetFor(const IWindow* window) const;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    std::map<HWND__*, IDMDropTarget*> fTargets;
};
