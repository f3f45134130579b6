// ICnrMenuHandler.
#include <windows.h>

#include "icnrmnhd.hpp"

#include <iexcept.hpp>

#include <icmdevt.hpp>
#include <iwindow.hpp>

#include "icnrctl.hpp"
#include "icnrevt.hpp"
#include "icnrhdr.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrmnhd";
// The id of a frame's client window, and the mark of a command passed on from it.
constexpr unsigned long kClientId = 0x8008;
constexpr unsigned long kPassedOn = 0x80000000u;
constexpr unsigned long kPassedOnHighWord = 0x8000;
constexpr unsigned long kTaskList = 0xF100;

} // namespace

ICnrMenuHandler::ICnrMenuHandler() = default;

ICnrMenuHandler::~ICnrMenuHandler() = default;

IHandler& ICnrMenuHandler::handleEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrMenuHandler::handleEventsFor(IWindow*)");
}

IHandler& ICnrMenuHandler::stopHandlingEventsFor(IWindow*)
{
    cnrRefuseWindowForm(kFile, "ICnrMenuHandler::stopHandlingEventsFor(IWindow*)");
}

ICnrMenuHandler& ICnrMenuHandler::handleEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrMenuHandler::handleEventsFor(ICnrCtl*)");
    IHandler::handleEventsFor(container);
    return *this;
}

ICnrMenuHandler& ICnrMenuHandler::stopHandlingEventsFor(ICnrCtl* container)
{
    IARGUMENT_CHECK(container != 0, kFile, "ICnrMenuHandler::stopHandlingEventsFor(ICnrCtl*)");
    IHandler::stopHandlingEventsFor(container);
    return *this;
}

IBase::Boolean ICnrMenuHandler::dispatchHandlerEvent(IEvent& event)
{
    switch (event.eventId()) {
    case WM_CONTEXTMENU:
        // A container's menus come from its notification, which names the object under the
        // pointer; the window message would show a second menu.
        return false;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        return forwardCommand(event);
    default:
        break;
    }
    const ICnrEvent notification(event);
    if (ICnrEvent::isFromContainer(notification) &&
        notification.notificationCode() == CN_CONTEXTMENU)
        return contextMenu(event);
    return IMenuHandler::dispatchHandlerEvent(event);
}

// A command of a frame's client goes to the frame, marked so that it does not come back.
IBase::Boolean ICnrMenuHandler::forwardCommand(IEvent& event)
{
    const ICommandEvent command(event);
    IWindow* window = command.window();
    IWindow* owner = window ? window->owner() : nullptr;
    const unsigned long first = command.parameter1().asUnsignedLong();
    const bool marked = window && window->id() == kClientId && owner && owner->isFrameWindow();
    if (marked && (command.parameter1().highNumber() & kPassedOnHighWord))
        return IMenuHandler::dispatchHandlerEvent(event);
    if (!owner || owner == IWindow::desktopWindow() || owner == IWindow::objectWindow())
        return IMenuHandler::dispatchHandlerEvent(event);
    const bool mark = marked && (event.eventId() == WM_COMMAND ||
                                 (first & 0xFFFF) != kTaskList);
    const unsigned long passed = mark ? (first | kPassedOn) : first;
    event.setResult(owner->sendEvent(event.eventId(), passed, event.parameter2()));
    return true;
}

IBase::Boolean ICnrMenuHandler::contextMenu(IEvent& event)
{
    ICnrCtl* container = ICnrEvent(event).container();
    if (!container)
        return false;
    // Where the pointer was, sign-extended: on a second monitor left of or above the first the
    // screen coordinates are negative.
    const DWORD position = GetMessagePos();
    const IPoint mapped = IWindow::mapPoint(
        IPoint(static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))),
        IWindowHandle(), container->handle());
    const std::uint32_t packed = (static_cast<std::uint32_t>(mapped.y() & 0xFFFF) << 16) |
                                 static_cast<std::uint32_t>(mapped.x() & 0xFFFF);
    const IEvent request(container->handle(), WM_CONTEXTMENU,
                         IEventParameter1(static_cast<const void*>(&packed)), 1);
    IMenuEvent menuEvent(request);
    const auto* record = static_cast<const NOTIFYCONTEXTMENU*>(event.parameter2().asPointer());
    fMenuObject = record ? ICnrObj::objectOf(record->pRecord) : nullptr;
    IBase::Boolean shown = false;
    try {
        shown = popUpWithEmphasis(menuEvent);
    } catch (...) {
        fMenuObject = nullptr;
        throw;
    }
    fMenuObject = nullptr;
    if (!shown)
        return false;
    event.setResult(1);
    return true;
}

IBase::Boolean ICnrMenuHandler::menuEnded(IMenuEvent&)
{
    fMenuObject = nullptr;
    return false;
}

IMenuHandler& ICnrMenuHandler::addSourceEmphasis(IMenuEvent& event)
{
    setEmphasis(event, true);
    return *this;
}

IMenuHandler& ICnrMenuHandler::removeSourceEmphasis(IMenuEvent& event)
{
    setEmphasis(event, false);
    return *this;
}

void ICnrMenuHandler::setEmphasis(IMenuEvent& event, IBase::Boolean show)
{
    auto* container = dynamic_cast<ICnrCtl*>(event.window());
    if (!container)
        return;
    if (!fMenuObject) {
        container->setSourceEmphasis(nullptr, show);
        return;
    }
    if (!container->isSelected(fMenuObject)) {
        container->setSourceEmphasis(fMenuObject, show);
        return;
    }
    ICnrCtl::ObjectCursor cursor(*container, ICnrCtl::ObjectCursor::selected);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        container->setSourceEmphasis(cursor.current(), show);
}
