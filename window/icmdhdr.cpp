// The command handler.
#include <windows.h>

#include "icmdhdr.hpp"

ICommandHandler::~ICommandHandler() = default;

IBase::Boolean ICommandHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_COMMAND:
        return dispatchAs(*this, &ICommandHandler::command, event);
    case WM_SYSCOMMAND:
        return dispatchAs(*this, &ICommandHandler::systemCommand, event);
    default:
        return false;
    }
}

IBase::Boolean ICommandHandler::command(ICommandEvent&)
{
    return false;
}

IBase::Boolean ICommandHandler::systemCommand(ICommandEvent&)
{
    return false;
}
