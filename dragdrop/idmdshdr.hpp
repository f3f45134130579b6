// IDMDragStartHandler: watches the mouse of a drag source window and tells the window when a
// drag starts.
#pragma once

#include <ipoint.hpp>

#include <idefs.hpp>
#include <ihandler.hpp>

// Keeps the point of the last button press; when the window's isDragStarting says a drag
// starts, sends the window the drag-start message with that point (in the window's application
// coordinates). Counts the window's OLE use out when the window is destroyed.
class OVKWIN_API IDMDragStartHandler : public IHandler {
public:
    IDMDragStartHandler();
    ~IDMDragStartHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IPoint fPressPoint{0, 0};
};
