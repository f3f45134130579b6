// ICnrDestroyHandler: cleans a container up when its window is destroyed.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

class ICnrCtl;

// One instance serves every container (ICnrCtl::destroyHandler); each container constructor
// attaches it. On WM_DESTROY it runs the container's clean-up and lets the message go on, so
// that the other handlers still see it.
class OVKWIN_API ICnrDestroyHandler : public IHandler {
public:
    ICnrDestroyHandler();
    ~ICnrDestroyHandler() override;

    // The window forms do nothing: the handler serves containers only.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;
    // A null container fails the argument check "container != 0".
    virtual ICnrDestroyHandler& handleEventsFor(ICnrCtl* container);
    virtual ICnrDestroyHandler& stopHandlingEventsFor(ICnrCtl* container);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
