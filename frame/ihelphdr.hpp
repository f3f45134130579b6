// IHelpHandler: a frame's part in help: the help viewer's notifications and the help window's
// requests, turned into help events for callbacks that an application overrides.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>
#include <ihelpevt.hpp>

class IFrameWindow;

// Attached to frames only. Every default callback declines, except the viewer's error, which
// is reported in a message box owned by the frame.
class OVKWIN_API IHelpHandler : public IHandler {
public:
    IHelpHandler();
    ~IHelpHandler() override;

    // A null window fails with message 2; any other is served as a frame.
    IHandler& handleEventsFor(IWindow* window) override;
    IHandler& stopHandlingEventsFor(IWindow* window) override;

    // The virtual operations keep the order that derived handlers rely on.
    virtual IHelpHandler& handleEventsFor(IFrameWindow* frame);
    virtual IHelpHandler& stopHandlingEventsFor(IFrameWindow* frame);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // Asked for the panel of the keys help; the result is the panel (0: none).
    virtual IBase::Boolean keysHelpPanel(IEvent& event);
    // Asked for help on an item the help window found no panel for; a non-zero result means
    // the frame gave the help itself.
    virtual IBase::Boolean itemHelp(IHelpEventFFCC& event);
    // The frame has no panel of its own for contextual help.
    virtual IBase::Boolean missingPanel(IEvent& event);
    virtual IBase::Boolean viewerError(IHelpEvent062E& event);
    virtual IBase::Boolean unusedCallback1(IEvent& event);
    virtual IBase::Boolean viewerNotice0633(IHelpEvent0633& event);
    virtual IBase::Boolean viewerNotice0634(IHelpEvent0634& event);
    virtual IBase::Boolean viewerNotice0644(IHelpEvent0644& event);
    virtual IBase::Boolean unusedCallback2(IEvent& event);
    virtual IBase::Boolean unusedCallback3(IEvent& event);
    virtual IBase::Boolean unusedCallback4(IEvent& event);
    virtual IBase::Boolean unusedCallback5(IEvent& event);
    virtual IBase::Boolean unusedCallback6(IEvent& event);
    virtual IBase::Boolean unusedCallback7(IEvent& event);
    virtual IBase::Boolean unusedCallback8(IEvent& event);
    virtual IBase::Boolean unusedCallback9(IEvent& event);
};
