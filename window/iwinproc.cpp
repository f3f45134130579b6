// The library's window procedure: from a native message to the window objects that see it.
#include <windows.h>
#include <windowsx.h>

#include <cctype>
#include <cstdint>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>

#include <detail/icallgrd.hpp>
#include <detail/icritsec.hpp>
#include <detail/iprevproc.hpp>
#include <iprivmsg.hpp>
#include <detail/istthread.hpp>

#include "detail/iwincore.hpp"
#include "detail/iwindata.hpp"
#include "iwindow.hpp"

namespace {

// The one-entry cache of control notifications: the receiving window, the control's id and the
// window objects found for them. Read and written inside the library critical section. The
// generation advances with every clear, so that a lookup that raced with a clear does not put
// back what the clear removed.
struct ProcedureCache {
    HWND handle = nullptr;
    unsigned long id = 0;
    IWindow* control = nullptr;
    IWindow* owner = nullptr;
};
ProcedureCache gCache;
unsigned long gCacheGeneration = 0;

// An owner chain longer than this is a loop of recorded owners, not a real chain.
constexpr int kMaximumOwnerChain = 64;

bool isControlNotification(UINT message)
{
    switch (message) {
    case IPrivateMessage::controlNotification:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORBTN:
    case WM_NOTIFY:
        return true;
    default:
        return false;
    }
}

bool isControlColour(UINT message)
{
    return message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC ||
           message == WM_CTLCOLORLISTBOX || message == WM_CTLCOLORSCROLLBAR ||
           message == WM_CTLCOLORBTN;
}

bool isMouseButton(UINT message)
{
    return message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK;
}

// Keys up to 0x108, the last one of the older headers' key range (WM_UNICHAR, 0x109, is not
// offered to owners).
bool isKeyOrMouseButton(UINT message)
{
    return (message >= WM_KEYFIRST && message <= 0x108) || isMouseButton(message);
}

// The owner that the owner chain may offer an event to: the desktop counts as none.
IWindow* chainOwner(const IWindow& window)
{
    IWindow* owner = window.owner();
    if (owner && IWindowCore::rawHandle(*owner) == GetDesktopWindow())
        return nullptr;
    return owner;
}

void fillCache(const ProcedureCache& entry, unsigned long generation) noexcept
{
    ICritSec section;
    if (generation == gCacheGeneration)
        gCache = entry;
}

// The window object of an ordinary message's window. A window procedure runs on the thread
// that owns the window, so the thread's own set answers, from its last answer when it can.
IWindow* windowOf(HWND handle)
{
    IWindowSet* set = IStartedThread::current()->windowList();
    return set ? set->findOnOwnThread(handle) : nullptr;
}

// Whether this thread's own set files the object under the handle, without asking the system
// whose window it is and without touching the object, which may be gone.
bool filedInThisThreadsSet(HWND handle, const IWindow* window)
{
    IWindowSet* set = IStartedThread::current()->windowList();
    return window && handle && set && set->find(handle) == window;
}

// Still the object filed for its handle? Asked before touching a window object again after
// calling out, since a handler or the previous procedure may have deleted it.
bool isStillFiled(HWND handle, const IWindow* window)
{
    // The question to the system would be on the road of every message that reaches a
    // previous procedure. A window not found here (an owner on another thread, or one that
    // has left its set) takes the full search.
    if (filedInThisThreadsSet(handle, window))
        return true;
    return IWindow::windowWithHandle(handle, true) == window;
}

} // namespace

IWindowData* IWindowCore::data(const IWindow& window) noexcept { return window.fData; }
HWND IWindowCore::rawHandle(const IWindow& window) noexcept { return window.fHandle; }

bool IWindowCore::isFiledOnThisThread(const IWindow& window) noexcept
{
    try {
        return filedInThisThreadsSet(window.fHandle, &window);
    } catch (...) {
        // A thread without its record files no window.
        return false;
    }
}

unsigned long IWindowCore::childOrderChanges(const IWindow& parent) noexcept
{
    return parent.fData->childOrderChanges.load(std::memory_order_acquire);
}

void IWindowCore::noteChildOrderChange(HWND child) noexcept
{
    try {
        const HWND parent = child ? GetAncestor(child, GA_PARENT) : nullptr;
        if (!parent || parent == GetDesktopWindow())
            return;
        if (IWindow* window = IWindow::windowWithHandle(parent, true))
            window->fData->childOrderChanges.fetch_add(1, std::memory_order_acq_rel);
    } catch (...) {
        // A parent whose thread record is going away keeps no list worth correcting.
    }
}

void IWindowCore::clearCache() noexcept
{
    ICritSec section;
    gCache = ProcedureCache();
    ++gCacheGeneration;
}

unsigned long IWindowCore::windowId(HWND window) noexcept
{
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
        return static_cast<unsigned long>(GetWindowLongPtrA(window, GWLP_ID));
    return static_cast<unsigned long>(
        reinterpret_cast<std::uintptr_t>(GetPropA(window, topLevelIdProperty)));
}

// An entry field's text is what the user typed, not a label: it marks no mnemonic, and a
// password field's text must not be read at all. A label's text is read into a buffer that is
// wiped however the search leaves, since a text read is no one's business after the answer.
LRESULT IWindowCore::answerMnemonic(HWND window, WPARAM character) noexcept
{
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (!(style & WS_CHILD) || !(style & WS_VISIBLE) || (style & WS_DISABLED))
        return 0;
    if (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        return 0;
    struct WipedLabel {
        char text[256];
        ~WipedLabel() { SecureZeroMemory(text, sizeof text); }
    } label;
    const int length = GetWindowTextA(window, label.text, sizeof label.text);
    return markedMnemonic(label.text, length, LOWORD(character)) ? 1 : 0;
}

bool IWindowCore::markedMnemonic(const char* text, int length, unsigned short character) noexcept
{
    const int wanted = std::toupper(static_cast<unsigned char>(character));
    for (int i = 0; i + 1 < length; ++i) {
        if (text[i] != '&')
            continue;
        // "&&" shows one ampersand; it marks nothing.
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(text[i + 1])) == wanted;
    }
    return false;
}

// The window procedure ---------------------------------------------------------------------

LRESULT CALLBACK IWindowCore::_pfnwpOVKWinProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    // Dispatch has already offered a handler's exception to the window's handleException;
    // what reaches the guard was declined and waits for the caller of the Windows call.
    return ICallbackGuard::call(LRESULT(0), [&] { return route(window, message, wParam, lParam); });
}

LRESULT IWindowCore::route(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Commands posted under the private numbers are commands; a WM_COMMAND from a control is
    // a control notification, which reaches the control's own window object first.
    UINT id = message;
    if (id == IPrivateMessage::command)
        id = WM_COMMAND;
    else if (id == IPrivateMessage::systemCommand)
        id = WM_SYSCOMMAND;
    if (id == WM_COMMAND && lParam != 0)
        id = IPrivateMessage::controlNotification;
    IEvent event(IEvent::InPlace(), handle, id, wParam, lParam);
    if (isControlNotification(id))
        return routeNotification(handle, event);

    IWindow* window = windowOf(handle);
    if (!window)
        return DefWindowProcA(handle, id, wParam, lParam);
    const WNDPROC previous = window->fData->previousProcedure;
    bool gone = false;
    if (window->dispatchEvent(event, &gone)) {
        if (!gone && id == WM_SETFONT)
            window->setLayoutDistorted(ovk_layout::fontChanged, 0);
        return event.result().asLong();
    }
    if (gone) {
        // The object went during its own dispatch and gave the window its previous procedure
        // back; the message still belongs there.
        return ovk_app::previousOrDefault(previous, handle, id, wParam, lParam);
    }
    return defaultProcessing(handle, event, window);
}

LRESULT IWindowCore::routeNotification(HWND handle, IEvent& event)
{
    const UINT message = event.eventId();
    unsigned long controlId = event.parameter1().lowNumber();
    if (isControlColour(message)) {
        // The colour messages carry the control's handle, not its identifier.
        HWND controlHandle = reinterpret_cast<HWND>(event.parameter2().asPointer());
        controlId = LOWORD(windowId(controlHandle));
    }
    IWindow* control = nullptr;
    IWindow* owner = nullptr;
    notificationTargets(handle, controlId, control, owner);

    const HWND ownerHandle = owner ? owner->fHandle : nullptr;
    bool gone = false;
    if (control) {
        event.setDispatchingHandle(control->fHandle);
        if (control->dispatchEvent(event, &gone))
            return event.result().asLong();
        if (owner && !isStillFiled(ownerHandle, owner))
            owner = nullptr;
    }
    if (owner) {
        event.setDispatchingHandle(ownerHandle);
        const WNDPROC previous = owner->fData->previousProcedure;
        if (owner->dispatchEvent(event, &gone))
            return event.result().asLong();
        if (gone) {
            UINT id = message == IPrivateMessage::controlNotification ? WM_COMMAND : message;
            return ovk_app::previousOrDefault(
                previous, handle, id, static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                event.parameter2().asLong());
        }
    }
    return defaultProcessing(handle, event, owner);
}

// The control's own window object and the window that gets its notifications after it: from
// the cache when the same control of the same window notified last, else looked up.
void IWindowCore::notificationTargets(HWND handle, unsigned long controlId, IWindow*& control,
                                      IWindow*& owner)
{
    unsigned long generation;
    {
        ICritSec section;
        if (gCache.handle == handle && gCache.id != 0 && gCache.id == controlId) {
            control = gCache.control;
            owner = gCache.owner;
            return;
        }
        generation = gCacheGeneration;
    }
    HWND controlHandle = GetDlgItem(handle, static_cast<int>(controlId));
    owner = IWindow::windowWithHandle(handle);
    if (controlHandle) {
        control = IWindow::windowWithHandle(controlHandle);
        // A child control may have been given another owner than its parent; its
        // notifications go there.
        if (control && (GetWindowLongPtrA(controlHandle, GWL_STYLE) & WS_CHILD)) {
            HWND recorded = control->fData->ownerHandle;
            if (IWindow* recordedOwner = recorded ? IWindow::windowWithHandle(recorded, true) : nullptr)
                owner = recordedOwner;
        }
    } else if (owner) {
        control = IWindow::windowWithOwner(controlId, owner);
    }
    if (controlId != 0)
        fillCache({control ? handle : nullptr, controlId, control, owner}, generation);
}

// What no handler took: the previous procedure of the window found for the message, then the
// library's own answers to its private queries, then the owners for keys and mouse buttons.
LRESULT IWindowCore::defaultProcessing(HWND handle, IEvent& event, IWindow* target)
{
    if (event.eventId() == IPrivateMessage::controlNotification) {
        const IWindowHandle dispatching = event.dispatchingHandle();
        event = IEvent(event.handle(), WM_COMMAND, event.parameter1(), event.parameter2());
        event.setDispatchingHandle(dispatching);
    }
    const UINT id = event.eventId();
    const WPARAM wParam = static_cast<WPARAM>(event.parameter1().asUnsignedLong());
    const LPARAM lParam = event.parameter2().asLong();
    if (!target)
        return DefWindowProcA(handle, id, wParam, lParam);

    const HWND targetHandle = target->fHandle;
    target->defaultProcedure(event);
    // The previous procedure may have destroyed the window (WM_CLOSE does) and with it the
    // object, when it was to be deleted with its window.
    const bool alive = isStillFiled(targetHandle, target);

    switch (id) {
    case WM_SETFONT:
        if (alive)
            target->setLayoutDistorted(ovk_layout::fontChanged, 0);
        break;
    case IPrivateMessage::mnemonicQuery:
        event.setResult(answerMnemonic(handle, wParam));
        break;
    case IPrivateMessage::fontQuery:
        // A window that keeps a font object of its own shares it with fonts built for it.
        if (alive && event.result().asLong() == 0 && target->fData->font)
            event.setResult(target->fData->font->fontQueryAnswer());
        break;
    case IPrivateMessage::windowQuery:
        if (event.result().asLong() == 0)
            event.setResult(answerWindowQuery(handle, wParam, lParam));
        break;
    default:
        if (isKeyOrMouseButton(id) && event.result().asLong() == 0 && alive &&
            IsWindow(event.handle()))
            return offerToOwners(*target, event);
        break;
    }
    return event.result().asLong();
}

// The window query that no handler answered: the handle, whether lParam is this window or one
// of its ancestors; every other question climbs to the parent, whose answer is this window's.
LRESULT IWindowCore::answerWindowQuery(HWND handle, WPARAM wParam, LPARAM lParam)
{
    const unsigned int code = LOWORD(wParam);
    if (code == IPrivateMessage::queryHandle)
        return reinterpret_cast<LRESULT>(handle);
    if (code == IPrivateMessage::queryIsWindow && lParam == reinterpret_cast<LPARAM>(handle))
        return 1;
    if (HWND parent = GetParent(handle))
        return IWindowHandle(parent).sendEvent(IPrivateMessage::windowQuery, wParam, lParam).asLong();
    return 0;
}

// Offers an unhandled key or mouse button to each owner in turn, a mouse position mapped into
// the owner's coordinates, until one handles it or its result is set.
LRESULT IWindowCore::offerToOwners(IWindow& window, IEvent& event)
{
    const UINT id = event.eventId();
    HWND current = event.handle();
    IWindow* owner = chainOwner(window);
    for (int step = 0; owner && event.result().asLong() == 0 && step < kMaximumOwnerChain; ++step) {
        const HWND ownerHandle = owner->fHandle;
        LPARAM lParam = event.parameter2().asLong();
        if (isMouseButton(id)) {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(current, ownerHandle, &point, 1);
            lParam = MAKELPARAM(point.x, point.y);
        }
        event = IEvent(ownerHandle, id, event.parameter1(), lParam);
        current = ownerHandle;
        bool gone = false;
        if (owner->dispatchEvent(event, &gone))
            return event.result().asLong();
        if (gone)
            break;
        owner = chainOwner(*owner);
    }
    return event.result().asLong();
}

// The control procedure --------------------------------------------------------------------

void IWindowCore::subclassControl(HWND control, HWND owner)
{
    ISubclassedControls& controls = IStartedThread::current()->subclassedControls();
    WNDPROC previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pfnwpOVKControlProc)));
    if (!previous) {
        IThrow::systemError("WinSubclassWindow", GetLastError(),
                            IEXCEPTION_LOCATION("iwinproc",
                                                "IWindowCore::subclassControl(HWND,HWND)"));
    }
    try {
        controls.add(control, {previous, owner});
    } catch (...) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        throw;
    }
}

LRESULT CALLBACK IWindowCore::pfnwpOVKControlProc(HWND control, UINT message, WPARAM wParam,
                                                  LPARAM lParam)
{
    return ICallbackGuard::call(LRESULT(0), [&] {
        return controlProcedure(control, message, wParam, lParam);
    });
}

LRESULT IWindowCore::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    ISubclassedControls& controls = IStartedThread::current()->subclassedControls();
    const ISubclassedControls::Entry* entry = controls.find(control);
    if (!entry)
        return DefWindowProcA(control, message, wParam, lParam);
    const WNDPROC previous = entry->previousProcedure;
    const HWND owner = entry->owner;

    switch (message) {
    case WM_DESTROY:
        // WM_DESTROY must still reach the control's own procedure, or the control leaks the
        // state it frees there.
        controls.remove(control);
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return CallWindowProcA(previous, control, message, wParam, lParam);
    case IPrivateMessage::mnemonicQuery:
        return answerMnemonic(control, wParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        break;
    default:
        return CallWindowProcA(previous, control, message, wParam, lParam);
    }

    if (!IWindow::windowWithHandle(owner, true))
        return CallWindowProcA(previous, control, message, wParam, lParam);
    // Enter, escape and tab belong to the composite (its default button, cancel and focus
    // moves), unless a multi-line edit wants them for itself.
    const LRESULT code = CallWindowProcA(previous, control, WM_GETDLGCODE, 0, 0);
    if (message == WM_CHAR && (code & DLGC_HASSETSEL) &&
        (wParam == '\r' || wParam == 0x1B || wParam == '\t')) {
        const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
        const bool keeps = (style & ES_MULTILINE) && (wParam != '\r' || (style & ES_WANTRETURN));
        if (!keeps)
            return IWindowHandle(owner).sendEvent(message, wParam, lParam).asLong();
    }
    const LRESULT result = CallWindowProcA(previous, control, message, wParam, lParam);
    if (result == 0)
        return IWindowHandle(owner).sendEvent(message, wParam, lParam).asLong();
    return result;
}
