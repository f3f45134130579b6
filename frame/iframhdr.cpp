// The frame handler: dispatch, the frame queries, the layout pass and the close protocol.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/istthread.hpp>
#include <detail/iwincore.hpp>
#include <icvhdr.hpp>
#include <iprivmsg.hpp>

#include "detail/iframdat.hpp"
#include "detail/ifrmhdr.hpp"
#include "iframe.hpp"
#include "iframhdr.hpp"
#include "ihelpsta.hpp"
#include "ihelpwin.hpp"
#include "isysmenu.hpp"

namespace iframhdr {

void systemError(const char* call, DWORD error)
{
    IThrow::systemError(call, error, IEXCEPTION_LOCATION(kFile, kDispatch));
}

// By the object, not the class name: a native window of the program's own class that an
// IFrameWindow took charge of is a frame as much as one the library registered a class for.
IFrameWindow* frameOf(const IEvent& event)
{
    return dynamic_cast<IFrameWindow*>(event.window());
}

} // namespace iframhdr

using namespace iframhdr;

namespace {

// The close command a frame passes on to its client; the high bit tells the client that the
// frame, not the user, closes it.
constexpr WPARAM kClientClose = 0x8003F060;
// Context help of the window that holds the focus.
constexpr unsigned long kContextHelpCommand = 0x7008;
// Commands of the frame's help menu: keys help, general help, contextual help.
constexpr unsigned long kKeysHelpCommand = 0x8012;
constexpr unsigned long kGeneralHelpCommand = 0x8013;
constexpr unsigned long kContextualHelpCommand = 0x8014;

unsigned long lowWord1(const IEvent& event)
{
    return event.parameter1().lowNumber();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The event

IFrameHandlerEvent::~IFrameHandlerEvent() = default;

IFrameWindow* IFrameHandlerEvent::frame() const
{
    return frameOf(*this);
}

IWindowPosList* IFrameHandlerEvent::positionList() const noexcept
{
    return eventId() == IPrivateMessage::frameFormat
               ? static_cast<IWindowPosList*>(parameter1().asPointer())
               : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The handler

IFrameHandler::IFrameHandler() = default;
IFrameHandler::~IFrameHandler() = default;

IFrameHandler& IFrameHandler::defaultHandler()
{
    return ovk_app::sharedHandler<IFrameHandler>();
}

IBase::Boolean IFrameHandler::dispatchHandlerEvent(IEvent& event)
{
    if (!frameOf(event))
        return false;
    switch (event.eventId()) {
    case IPrivateMessage::frameFirst: return countExtensions(event);
    case IPrivateMessage::frameFormat:
        return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::formatFrame, event);
    case IPrivateMessage::frameLayout: return layoutPass(event);
    case IPrivateMessage::frameLast:
        return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::calcFrameRect, event);
    case IPrivateMessage::windowQuery: return windowQuery(event);
    case IPrivateMessage::frameEvent: return helpRequest(event);
    case IPrivateMessage::frameCallback: return destroyRequest(event);
    case WM_SIZE: return sized(event);
    case WM_CLOSE: return closePath(event);
    case WM_SYSCOMMAND: return systemCommand(event);
    case WM_ACTIVATE:
    case WM_CHILDACTIVATE: return activation(event);
    case WM_PAINT:
        return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::paintExtensions, event);
    case WM_COMMAND: return command(event);
    case WM_DESTROY: return destroyed(event);
    case WM_DRAWITEM:
    case WM_MEASUREITEM: return passToClient(event);
    case WM_SETCURSOR: return setPointer(event);
    case WM_WINDOWPOSCHANGED: return restoreOwner(event);
    case WM_SETREDRAW: return redrawSwitch(event);
    case WM_ERASEBKGND: return eraseBackground(event);
    case WM_NCPAINT:
    case WM_NCACTIVATE: return captionRepaint(event);
    case WM_SETFONT:
    case WM_GETFONT: return fontMessage(event);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: return textQuery(event);
    case WM_SYSCOLORCHANGE: return colorsChanged(event);
    default: return false;
    }
}

// The count is the answer whatever the callback reports.
IBase::Boolean IFrameHandler::countExtensions(IEvent& event)
{
    IFrameHandlerEvent typed(event);
    extensionCount(typed);
    event.setResult(typed.result());
    return true;
}

IBase::Boolean IFrameHandler::helpRequest(IEvent& event)
{
    contextHelpRequest(event);
    return false;
}

IBase::Boolean IFrameHandler::sized(IEvent& event)
{
    IFrameWindow* frame = frameOf(event);
    frame->setFrameFlags(IFrameWindowData::layoutPending, 0);
    frame->update();
    return false;
}

IBase::Boolean IFrameHandler::eraseBackground(IEvent& event)
{
    // The client covers the frame: erasing first would only flicker.
    if (!frameOf(event)->clientHandle())
        return false;
    event.setResult(1);
    return true;
}

// The frame's children hear of the change as well.
IBase::Boolean IFrameHandler::colorsChanged(IEvent& event)
{
    frameOf(event)->handle().sendEvents(WM_SYSCOLORCHANGE, event.parameter1(),
                                        event.parameter2());
    return false;
}

// The frame's own handle for the handle and frame codes; the membership code only for the
// frame itself. Everything else is left to the window core, which asks the parent.
IBase::Boolean IFrameHandler::windowQuery(IEvent& event)
{
    const unsigned long code = lowWord1(event);
    const LPARAM own = reinterpret_cast<LPARAM>(static_cast<HWND>(event.handle()));
    if (code == IPrivateMessage::queryHandle || code == IPrivateMessage::queryFrame) {
        event.setResult(IEventData(static_cast<void*>(event.handle())));
        return true;
    }
    if (code == IPrivateMessage::queryIsWindow && event.parameter2().asLong() == own) {
        event.setResult(1);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Help requests

// F1 or a request of the program becomes WM_HELP for the item: the window in lParam or the
// focus, with a combo box answering for its edit field, or the menu whose item was selected.
void IFrameHandler::contextHelpRequest(IEvent& event)
{
    HWND item = static_cast<HWND>(event.parameter2().asPointer());
    if (!item)
        item = GetFocus();
    HELPINFO info{};
    info.cbSize = sizeof info;
    HWND target = item;
    if (item && IsMenu(reinterpret_cast<HMENU>(item))) {
        info.iContextType = HELPINFO_MENUITEM;
        target = event.handle();
    } else {
        info.iContextType = HELPINFO_WINDOW;
        if (HWND parent = item ? GetParent(item) : nullptr) {
            char name[16] = {};
            if (GetClassNameA(parent, name, sizeof name) && lstrcmpiA(name, "ComboBox") == 0)
                item = target = parent;
        }
    }
    info.hItemHandle = item;
    const unsigned long control = lowWord1(event);
    info.iCtrlId = static_cast<int>(control ? control : (item ? IWindowCore::windowId(item) : 0));
    GetCursorPos(&info.MousePos);
    if (!target)
        return;
    LRESULT answer = SendMessageA(target, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    // The older platform's controls do not pass WM_HELP up themselves.
    while (IPlatform::isPlatformVariant() && answer == 0 && target) {
        HWND next = GetParent(target);
        if (!next)
            next = GetWindow(target, GW_OWNER);
        target = next;
        if (target)
            answer = SendMessageA(target, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
}

IBase::Boolean IFrameHandler::command(IEvent& event)
{
    const unsigned long id = lowWord1(event);
    int kind = -1;
    if (id == kKeysHelpCommand)
        kind = IHelpWindow::keys;
    else if (id == kGeneralHelpCommand)
        kind = IHelpWindow::general;
    else if (id == kContextualHelpCommand)
        kind = IHelpWindow::contextual;
    if (kind >= 0) {
        IHelpWindow* help = IHelpWindow::helpWindow(event.dispatchingWindow());
        if (!help)
            return false;
        help->show(static_cast<IHelpWindow::HelpType>(kind));
        return true;
    }
    return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::routeCommand, event);
}

// ---------------------------------------------------------------------------------------------
// Callbacks

IBase::Boolean IFrameHandler::extensionCount(IFrameHandlerEvent& event)
{
    IFrameWindow* frame = event.frame();
    event.setResult(frame ? frame->extensionCount() : 0);
    return true;
}

IBase::Boolean IFrameHandler::formatFrame(IFrameHandlerEvent& event)
{
    const unsigned long filled = defaultProcedure(event).asUnsignedLong();
    event.setResult(positionExtensions(event, filled));
    return true;
}

IBase::Boolean IFrameHandler::frameDeactivated(IFrameHandlerEvent&)
{
    return false;
}

IBase::Boolean IFrameHandler::paintExtensions(IFrameHandlerEvent& event)
{
    event.setResult(defaultProcedure(event));
    IFrameWindow* frame = event.frame();
    if (!frame || frame->extensionCount() == 0)
        return true;
    const IPresSpaceHandle context = frame->presSpace();
    for (unsigned long index = 0; index < frame->extensionCount(); ++index)
        frame->extensionAt(index)->paintSeparator(static_cast<HDC>(context));
    frame->releasePresSpace(context);
    return true;
}

IBase::Boolean IFrameHandler::closeFrame(IFrameHandlerEvent& event)
{
    IFrameWindow* frame = event.frame();
    if (!frame)
        return false;
    const HWND handle = event.handle();
    if (frame->isModal())
        frame->dismiss(2);
    frame->notifyObservers(INotificationEvent(IFrameWindow::closeId, *frame));
    if (const HWND client = frame->clientHandle()) {
        // A client with a window object hears the close through its handlers only: the
        // default processing of a close command closes, and so destroys, the window it gets,
        // and the client must outlive a frame that is only dismissed.
        if (IWindow* object = IWindow::windowWithHandle(IWindowHandle(client))) {
            IEvent close(IWindowHandle(client), WM_SYSCOMMAND, kClientClose, event.parameter2());
            object->dispatch(close);
        } else {
            SendMessageA(client, WM_SYSCOMMAND, kClientClose, event.parameter2().asLong());
        }
    }
    // The client may have taken the frame with it.
    if (IsWindow(handle) && IWindow::windowWithHandle(IWindowHandle(handle)) == frame &&
        frame->willDestroyOnClose())
        PostMessageA(handle, IPrivateMessage::frameCallback, 0, 0);
    return true;
}

IBase::Boolean IFrameHandler::frameActivated(IFrameHandlerEvent&)
{
    return false;
}

IBase::Boolean IFrameHandler::reservedCallback(IFrameHandlerEvent&)
{
    return false;
}

IBase::Boolean IFrameHandler::routeCommand(IFrameHandlerEvent& event)
{
    const unsigned long id = lowWord1(event);
    if (id == kContextHelpCommand) {
        if (IWindow* window = event.dispatchingWindow())
            window->sendEvent(IPrivateMessage::frameEvent);
        return true;
    }
    const HWND client = GetDlgItem(event.handle(), static_cast<int>(IFrameWindow::clientId));
    if (client) {
        const WPARAM wParam = static_cast<WPARAM>(event.parameter1().asUnsignedLong()) | 0x80000000u;
        event.setResult(static_cast<std::intptr_t>(
            SendMessageA(client, WM_COMMAND, wParam, event.parameter2().asLong())));
    }
    return true;
}

IBase::Boolean IFrameHandler::calcFrameRect(IFrameHandlerEvent& event)
{
    RECT* rectangle = static_cast<RECT*>(event.parameter1().asPointer());
    IFrameWindow* frame = event.frame();
    if (!rectangle || !frame)
        return false;
    const bool clientFromFrame = event.parameter2().lowNumber() != 0;
    if (!IFrameWindowData::computeFrameRect(*frame, *rectangle, !clientFromFrame))
        systemError(clientFromFrame ? "IFrameWindowData::calcFrameRect" : "WinCalcFrameRect");
    event.setResult(1);
    return true;
}

unsigned long IFrameHandler::positionExtensions(IFrameHandlerEvent& event, unsigned long first)
{
    IFrameWindow* frame = event.frame();
    IWindowPosList* list = event.positionList();
    if (!frame || !list)
        return first;
    unsigned long index = first;
    for (unsigned long n = 0; n < frame->extensionCount() && index < list->count; ++n, ++index) {
        IFrameExtension* extension = frame->extensionAt(n);
        IWindowPosRecord& record = list->records[index];
        record.window = extension->window()->handle();
        const bool besideClient = extension->referenceId() == IFrameWindow::clientId;
        IRectangle reference;
        if (besideClient) {
            reference = event.rectangle();
        } else {
            const unsigned long control = list->indexOfId(0);
            if (control >= list->count) {
                record.width = record.height = 0;
                continue;
            }
            const IWindowPosRecord& found = list->records[control];
            reference = IRectangle(found.x, found.y, found.x + found.width, found.y + found.height);
        }
        const IRectangle placed = extension->place(reference);
        if (besideClient)
            event.setRectangle(reference);
        record.insertAfter = nullptr;
        record.x = placed.minX();
        record.y = placed.minY();
        record.width = placed.width();
        record.height = placed.height();
        record.flags = SWP_NOOWNERZORDER;
    }
    return index;
}

// ---------------------------------------------------------------------------------------------
// The smaller messages

IBase::Boolean IFrameHandler::passToClient(IEvent& event)
{
    const HWND client = frameOf(event)->clientHandle();
    if (!client || event.parameter1().asUnsignedLong() != IFrameWindow::clientId)
        return false;
    event.setResult(static_cast<std::intptr_t>(SendMessageA(client, event.eventId(),
                                                   event.parameter1().asUnsignedLong(),
                                                   event.parameter2().asLong())));
    return true;
}

IBase::Boolean IFrameHandler::setPointer(IEvent& event)
{
    const IPointerHandle pointer = frameOf(event)->mousePointer();
    if (!pointer.asValue())
        return false;
    SetCursor(static_cast<HCURSOR>(pointer.asValue()));
    event.setResult(1);
    return true;
}

// A frame that comes to the front brings its minimized owner frame back with it. The move
// itself is left to the handlers after this one.
IBase::Boolean IFrameHandler::restoreOwner(IEvent& event)
{
    const WINDOWPOS* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
    if (!position || (position->flags & SWP_NOACTIVATE))
        return false;
    IWindow* owner = frameOf(event)->owner();
    if (owner && owner->isFrameWindow() && IsIconic(owner->handle()))
        static_cast<IFrameWindow*>(owner)->restore();
    return false;
}

// Redrawing is switched on by the default processing; only then can the frame be redrawn.
IBase::Boolean IFrameHandler::redrawSwitch(IEvent& event)
{
    event.setResult(defaultProcedure(event));
    const HWND frame = event.handle();
    if (event.parameter1().asUnsignedLong() && IsWindowVisible(frame))
        RedrawWindow(frame, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return true;
}

IBase::Boolean IFrameHandler::activation(IEvent& event)
{
    IFrameWindow* frame = frameOf(event);
    const bool activated = event.eventId() == WM_CHILDACTIVATE || lowWord1(event) != 0;
    if (!activated)
        return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::frameDeactivated, event);
    const IWindowHandle handle = event.handle();
    if (ICanvasStatics::isLibraryFrame(handle) && !ICanvasStatics::origDefaultButtonHandle(handle))
        ICanvasStatics::setOrigDefaultButtonHandle(handle,
                                                   ICanvasStatics::defaultPushButtonHandle(frame));
    frame->update();
    return dispatchAs<IFrameHandlerEvent>(*this, &IFrameHandler::frameActivated, event);
}
