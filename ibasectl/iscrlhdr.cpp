// The scroll handler.
#include <windows.h>

#include "iscrlhdr.hpp"
#include "iscroll.hpp"
#include "iwindow.hpp"

IScrollHandler::~IScrollHandler() = default;

IScrollHandler::Callback IScrollHandler::callbackFor(unsigned long eventId,
                                                     unsigned long code) noexcept
{
    static constexpr Callback vertical[] = {&IScrollHandler::lineUp, &IScrollHandler::lineDown,
                                            &IScrollHandler::pageUp, &IScrollHandler::pageDown};
    static constexpr Callback horizontal[] = {&IScrollHandler::lineLeft, &IScrollHandler::lineRight,
                                              &IScrollHandler::pageLeft, &IScrollHandler::pageRight};
    switch (code) {
    case IScrollEvent::lineUp:
    case IScrollEvent::lineDown:
    case IScrollEvent::pageUp:
    case IScrollEvent::pageDown:
        return eventId == WM_VSCROLL ? vertical[code] : horizontal[code];
    case IScrollEvent::thumbTrack: return &IScrollHandler::scrollBoxTrack;
    case IScrollEvent::thumbPosition: return &IScrollHandler::scrollBoxPosition;
    case IScrollEvent::endScroll: return &IScrollHandler::endScroll;
    default: return nullptr;
    }
}

IBase::Boolean IScrollHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != WM_VSCROLL && event.eventId() != WM_HSCROLL)
        return false;
    const Callback callback = callbackFor(event.eventId(), event.parameter1().lowNumber());
    return callback ? dispatchAs(*this, callback, event) : false;
}

IBase::Boolean IScrollHandler::moveAndHandle(IScrollEvent& event)
{
    moveScrollBox(event);
    return true;
}

IBase::Boolean IScrollHandler::lineUp(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::lineDown(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::pageUp(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::pageDown(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::lineLeft(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::lineRight(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::pageLeft(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::pageRight(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::scrollBoxTrack(IScrollEvent& event) { return moveAndHandle(event); }
IBase::Boolean IScrollHandler::scrollBoxPosition(IScrollEvent& event) { return moveAndHandle(event); }

IBase::Boolean IScrollHandler::endScroll(IScrollEvent&)
{
    return false;
}

IScrollHandler& IScrollHandler::moveScrollBox(IScrollEvent& event)
{
    IScrollBar* scrollBar = event.scrollBar();
    const unsigned long code = event.scrollCode();
    if (!scrollBar || code > IScrollEvent::thumbTrack)
        return *this;
    const long target = code >= IScrollEvent::thumbPosition
                            ? event.newScrollBoxPosition()
                            : scrollBar->scrollBoxPosition() + event.scrollAmount();
    scrollBar->moveScrollBoxTo(target);
    return *this;
}
