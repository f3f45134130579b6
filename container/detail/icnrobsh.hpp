// The handler that tells a container's observers what its owner hears: title changes, objects
// opened and selection changes.
#pragma once

#include <ihandler.hpp>

// Turns a title change into a notification that arrives once the change is done, and tells
// the observers the title as it is when the notification arrives; tells them too of objects
// opened and of selection changes that the container reports to its owner.
class ICnrNotifyHandler : public IHandler {
public:
    static ICnrNotifyHandler& instance();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    // The event is the observers' data for the time of the notification only.
    static void tellOfReport(IEvent& event);
};
