// ICnrDestroyHandler.
#include <windows.h>

#include "icnrdhdr.hpp"

#include <iexcept.hpp>

#include "icnrctl.hpp"

ICnrDestroyHandler::ICnrDestroyHandler() = default;

ICnrDestroyHandler::~ICnrDestroyHandler() = default;

IHandler& ICnrDestroyHandler::handleEventsFor(IWindow*)
{
    return *this;
}

IHandler& ICnrDestroyHandler::stopHandlingEventsFor(IWindow*)
{
    return *this;
}

ICnrDestroyHandler& ICnrDestroyHandler::handleEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, "icnrdhdr",
                    "ICnrDestroyHandler::handleEventsFor(ICnrCtl*)");
    IHandler::handleEventsFor(container);
    return *this;
}

ICnrDestroyHandler& ICnrDestroyHandler::stopHandlingEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, "icnrdhdr",
                    "ICnrDestroyHandler::stopHandlingEventsFor(ICnrCtl*)");
    IHandler::stopHandlingEventsFor(container);
    return *this;
}

IBase::Boolean ICnrDestroyHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == WM_DESTROY) {
        // The object may already be on its way out (its own destructor destroys the window
        // once the container part is gone); then there is no container left to clean up.
        if (auto* container = dynamic_cast<ICnrCtl*>(event.window()))
            container->cleanUp();
    }
    return false;
}
