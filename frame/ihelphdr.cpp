// The help handler: dispatch of the help messages and the default report of viewer errors.
#include <windows.h>

#include <iexcept.hpp>
#include <imsgtext.hpp>
#include <ovkmsgid.hpp>

#include "iframe.hpp"
#include "ihelphdr.hpp"
#include "imsgbox.hpp"

namespace {

constexpr char kFile[] = "ihelphdr";

// The messages the handler serves: viewer notifications and the help window's requests.
enum : unsigned long {
    viewerErrorNotice = 0x62E,
    keysPanelRequest = 0x630,
    viewerNotice1 = 0x633,
    viewerNotice2 = 0x634,
    viewerNotice3 = 0x644,
    missingPanelNotice = 0x647,
    itemHelpRequest = 0xFFCC,
};

// The catalogue message that reports a viewer error code.
unsigned long errorMessage(unsigned long viewerCode)
{
    struct Entry {
        unsigned long code, message;
    };
    static constexpr Entry table[] = {
        {1005, OVK_MSG_HELP_VIEWER_ERROR_1005},    {1011, OVK_MSG_HELP_VIEWER_ERROR_1011},
        {1012, OVK_MSG_HELP_VIEWER_ERROR_1012},    {1014, OVK_MSG_HELP_FILE_NOT_OPENED_1014},
        {1018, OVK_MSG_HELP_FILE_NOT_OPENED_1018}, {1019, OVK_MSG_HELP_VIEWER_ERROR_1019},
        {1020, OVK_MSG_HELP_FILE_NOT_OPENED_1020}, {1021, OVK_MSG_HELP_VIEWER_NO_MEMORY},
        {1027, OVK_MSG_HELP_VIEWER_ERROR_1027},    {1022, OVK_MSG_HELP_VIEWER_ERROR_1022},
    };
    for (const Entry& entry : table)
        if (entry.code == viewerCode)
            return entry.message;
    return OVK_MSG_HELP_VIEWER_UNKNOWN_ERROR;
}

} // namespace

IHelpHandler::IHelpHandler() = default;
IHelpHandler::~IHelpHandler() = default;

IHelpHandler& IHelpHandler::handleEventsFor(IFrameWindow* applicationWindow)
{
    IARGUMENT_CHECK(applicationWindow != 0, kFile, "IHelpHandler::handleEventsFor(IFrameWindow*)");
    IHandler::handleEventsFor(applicationWindow);
    return *this;
}

IHelpHandler& IHelpHandler::stopHandlingEventsFor(IFrameWindow* applicationWindow)
{
    IARGUMENT_CHECK(applicationWindow != 0, kFile,
                    "IHelpHandler::stopHandlingEventsFor(IFrameWindow*)");
    IHandler::stopHandlingEventsFor(applicationWindow);
    return *this;
}

IHandler& IHelpHandler::handleEventsFor(IWindow* window)
{
    if (!window)
        IThrow::message(2, IEXCEPTION_LOCATION(kFile, "IHelpHandler::handleEventsFor(IWindow*)"));
    IHandler::handleEventsFor(window);
    return *this;
}

IHandler& IHelpHandler::stopHandlingEventsFor(IWindow* window)
{
    if (!window)
        IThrow::message(2,
                        IEXCEPTION_LOCATION(kFile, "IHelpHandler::stopHandlingEventsFor(IWindow*)"));
    IHandler::stopHandlingEventsFor(window);
    return *this;
}

IBase::Boolean IHelpHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case viewerErrorNotice:
        return dispatchAs<IHelpEvent062E>(*this, &IHelpHandler::viewerError, event);
    case keysPanelRequest:
        return keysHelpPanel(event);
    case viewerNotice1:
        return dispatchAs<IHelpEvent0633>(*this, &IHelpHandler::viewerNotice0633, event);
    case viewerNotice2:
        return dispatchAs<IHelpEvent0634>(*this, &IHelpHandler::viewerNotice0634, event);
    case viewerNotice3: {
        if (event.parameter2().lowNumber() != IHelpEvent0644::helpCode)
            return false;
        IHelpEvent0644 help(event);
        const IBase::Boolean handled = viewerNotice0644(help);
        event.setResult(help.result());
        return handled;
    }
    case missingPanelNotice:
        return missingPanel(event);
    case itemHelpRequest: {
        IHelpEventFFCC help(event);
        const IBase::Boolean handled = itemHelp(help);
        event.setResult(help.result());
        return handled;
    }
    default:
        return false;
    }
}

IBase::Boolean IHelpHandler::keysHelpPanel(IEvent&) { return false; }
IBase::Boolean IHelpHandler::itemHelp(IHelpEventFFCC&) { return false; }
IBase::Boolean IHelpHandler::missingPanel(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback1(IEvent&) { return false; }
IBase::Boolean IHelpHandler::viewerNotice0633(IHelpEvent0633&) { return false; }
IBase::Boolean IHelpHandler::viewerNotice0634(IHelpEvent0634&) { return false; }
IBase::Boolean IHelpHandler::viewerNotice0644(IHelpEvent0644&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback2(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback3(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback4(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback5(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback6(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback7(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback8(IEvent&) { return false; }
IBase::Boolean IHelpHandler::unusedCallback9(IEvent&) { return false; }

// The viewer's own code is in the first parameter; the event's error code is the library's
// mapping of it, which names no catalogue message, so the viewer's code chooses the text.
IBase::Boolean IHelpHandler::viewerError(IHelpEvent062E& event)
{
    IMessageBox box(event.window());
    box.setTitle(IMessageText::textFor(OVK_MSG_HELP_ERROR_TITLE));
    box.show(IMessageText::textFor(errorMessage(event.value1())), IMessageBox::error);
    return true;
}
