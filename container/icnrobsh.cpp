// The container observers' handler: what the container's owner hears (title changes, objects
// opened, selection changes) told to the container's observers.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <inotifev.hpp>
#include <iprivmsg.hpp>
#include <itextctl.hpp>

#include "detail/icnrobsh.hpp"
#include "icnrctl.hpp"
#include "icnrevt.hpp"

ICnrNotifyHandler& ICnrNotifyHandler::instance()
{
    return ovk_app::sharedHandler<ICnrNotifyHandler>();
}

IBase::Boolean ICnrNotifyHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() == CM_SETCNRINFO && (event.parameter2().asUnsignedLong() & CMA_CNRTITLE)) {
        if (ICnrCtl* container = ICnrCtl::containerWithHandle(event.handle()))
            container->postEvent(IPrivateMessage::notification, event.parameter1(),
                                 IPrivateMessage::containerTitleCode);
        return false;
    }
    if (event.eventId() == IPrivateMessage::notification &&
        event.parameter2().asUnsignedLong() == IPrivateMessage::containerTitleCode) {
        // The record the setter pointed to is gone by now: the title is read afresh.
        if (ICnrCtl* container = ICnrCtl::containerWithHandle(event.handle())) {
            const IString title = container->title();
            container->notifyObservers(INotificationEvent(
                ITextControl::textId, *container, true,
                IEventData(static_cast<const void*>(static_cast<const char*>(title)))));
        }
        return true;
    }
    if (event.eventId() == IPrivateMessage::controlNotification)
        tellOfReport(event);
    return false;
}

void ICnrNotifyHandler::tellOfReport(IEvent& event)
{
    const ICnrEvent report(event);
    if (!ICnrEvent::isFromContainer(report))
        return;
    ICnrCtl* container = report.container();
    if (!container)
        return;
    if (report.notificationCode() == CN_ENTER) {
        ICnrEnterEvent enter(event);
        container->notifyObservers(INotificationEvent(
            ICnrCtl::enterId, *container, true, IEventData(static_cast<const void*>(&enter))));
    } else if (report.notificationCode() == CN_EMPHASIS) {
        ICnrEmphasisEvent emphasis(event);
        if (emphasis.changed(ICnrEmphasisEvent::selected))
            container->notifyObservers(
                INotificationEvent(ICnrCtl::selectId, *container, true,
                                   IEventData(static_cast<const void*>(&emphasis))));
    }
}
