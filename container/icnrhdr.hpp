// ICnrHandler: turns a container's notifications (open, emphasis, scrolling, more records,
// tree expansion, help) into callbacks.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

#include "icnrevt.hpp"

class ICnrCtl;
class ICnrObj;

// Attached to a container with handleEventsFor(ICnrCtl*), after the container exists, and
// detached before it is destroyed. Each callback answers whether it handled the notification;
// the defaults tell the object through its hooks and let the notification go on.
class OVKWIN_API ICnrHandler : public IHandler {
public:
    ICnrHandler();
    ~ICnrHandler() override;

    // Refused with the invalid-request error: the handler serves containers only.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // The virtual operations keep the order that derived handlers rely on.
    virtual IBase::Boolean queryDelta(ICnrQueryDeltaEvent& event);
    virtual IBase::Boolean treeCollapsed(ICnrObj* object, ICnrCtl* container);
    virtual IBase::Boolean treeExpanded(ICnrObj* object, ICnrCtl* container);
    // Opens the object (ICnrObj::open) when there is one.
    virtual IBase::Boolean enter(ICnrEnterEvent& event);
    virtual IBase::Boolean selectedChanged(ICnrEmphasisEvent& event);
    virtual IBase::Boolean inUseChanged(ICnrEmphasisEvent& event);
    virtual IBase::Boolean cursoredChanged(ICnrEmphasisEvent& event);
    virtual IBase::Boolean scroll(ICnrScrollEvent& event);
    // Shows the help panel of the edited column, else of the object, else of the container;
    // false when there is no help window or no panel.
    virtual IBase::Boolean help(ICnrHelpEvent& event);

public:
    // A null container fails the argument check "container != 0".
    virtual ICnrHandler& handleEventsFor(ICnrCtl* container);
    virtual ICnrHandler& stopHandlingEventsFor(ICnrCtl* container);

private:
    IBase::Boolean emphasisChanged(IEvent& event);
};

// The refusal of the IWindow* forms shared by the container handlers: the invalid-request
// error, message number 2.
[[noreturn]] void cnrRefuseWindowForm(const char* file, const char* function);
