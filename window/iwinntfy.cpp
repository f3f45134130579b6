// The window notification handler.
#include <windows.h>

#include <cstdint>

#include <detail/iclasswide.hpp>
#include <inotifev.hpp>

#include "iprivmsg.hpp"
#include "iwindow.hpp"
#include "iwinntfy.hpp"

IWindowNotifyHandler::IWindowNotifyHandler() noexcept = default;
IWindowNotifyHandler::~IWindowNotifyHandler() = default;

IWindowNotifyHandler& IWindowNotifyHandler::shared()
{
    return ovk_app::sharedHandler<IWindowNotifyHandler>();
}

namespace {

void tell(IWindow& window, const char* id, const IEventData& data)
{
    window.notifyObservers(INotificationEvent(id, window, true, data));
}

// Size first, then position: an observer of the position may ask for the size.
void tellPositionChange(IWindow& window, const IEvent& event)
{
    const auto* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
    if (!position)
        return;
    if (!(position->flags & SWP_NOSIZE)) {
        const std::int32_t size[2] = {position->cx, position->cy};
        tell(window, IWindow::sizeId, IEventData(static_cast<const void*>(size)));
    }
    if (!(position->flags & SWP_NOMOVE)) {
        const std::int32_t point[2] = {position->x, position->y};
        tell(window, IWindow::positionId, IEventData(static_cast<const void*>(point)));
    }
}

} // namespace

IBase::Boolean IWindowNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    IWindow* window = event.window();
    if (!window)
        return false;
    switch (event.eventId()) {
    case WM_SETFOCUS:
        tell(*window, IWindow::focusId, 1);
        break;
    case WM_KILLFOCUS:
        tell(*window, IWindow::focusId, 0);
        break;
    case WM_ENABLE:
        tell(*window, IWindow::enableId, event.parameter1().lowNumber());
        break;
    case WM_SHOWWINDOW:
        tell(*window, IWindow::visibleId, event.parameter1().lowNumber());
        break;
    case WM_SETFONT:
        // The window's own procedure has not taken the font yet: the notification waits for
        // the message loop.
        event.handle().postEvent(IPrivateMessage::notification, event.parameter1(),
                                 IPrivateMessage::fontChangedCode);
        break;
    case IPrivateMessage::notification:
        if (event.parameter2().asUnsignedLong() == IPrivateMessage::fontChangedCode)
            tell(*window, IWindow::fontId, event.parameter1());
        break;
    case WM_WINDOWPOSCHANGED:
        tellPositionChange(*window, event);
        break;
    case WM_COMMAND:
        tell(*window, IWindow::commandId, 0);
        break;
    case WM_SYSCOMMAND:
        tell(*window, IWindow::systemCommandId, 0);
        break;
    default:
        break;
    }
    return false;
}
