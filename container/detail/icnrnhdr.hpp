// The handler that answers for every native container: the container messages it carries out on
// its list and tree controls, its window messages, and the controls' reports, which it turns into
// the container notifications its owner's handlers read (icnrntfy.cpp).
#pragma once

#include <ihandler.hpp>

class ICnrControlData;

// Answers the container messages and the window messages of every native container; one
// process-wide instance.
class INativeContainerHandler : public IHandler {
public:
    static INativeContainerHandler& instance();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean containerMessage(ICnrControlData& data, IEvent& event);
    IBase::Boolean windowMessage(ICnrControlData& data, IEvent& event);
    // The record messages, carried out on the list and tree controls.
    IBase::Boolean recordMessage(ICnrControlData& data, IEvent& event);
    // The reports of the list and tree controls, help and context menus, turned into the
    // container's notifications to its owner.
    IBase::Boolean controlReport(ICnrControlData& data, IEvent& event);
    IBase::Boolean helpRequest(ICnrControlData& data, IEvent& event);
    IBase::Boolean contextMenuRequest(ICnrControlData& data, IEvent& event);
    // The column messages, carried out on the list control's columns.
    IBase::Boolean columnMessage(ICnrControlData& data, IEvent& event);
    // The text of an item or of a details-view cell that the list control asks for
    // (LVN_GETDISPINFOA).
    IBase::Boolean cellText(ICnrControlData& data, IEvent& event);
};
