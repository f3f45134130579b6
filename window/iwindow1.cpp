// Event dispatch: one event through a window's handlers, observers and default processing.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <detail/iprevproc.hpp>
#include <iprivmsg.hpp>
#include <iassert.hpp>

#include "detail/iwincore.hpp"
#include "detail/iwindata.hpp"
#include "ihandler.hpp"
#include "iwindow.hpp"

namespace {

using Cursor = IHandlerList::Cursor;
// Where a handler walk stands. A plain list position rather than a cursor: the walk keeps it in a
// register, where a cursor would be written back and read again around every handler's call.
// Entries are never unlinked under a walk (a detached handler's entry is only marked until the
// outermost dispatch purges it), and adding in front moves no position, so the position stays
// good for the whole walk.
using Position = decltype(std::declval<const IHandlerList&>().begin());

// The dispatch state of one window for one dispatch. Entering sets the dispatching flag and
// places the walk on the first handler; leaving (also when an exception leaves) purges the
// handlers detached meanwhile, clears the flag and carries out a deletion that waited for the
// dispatch to end. Only the outermost dispatch of a window does the leaving part: a nested one
// (a handler sending the window another message) leaves it to the one outside.
class DispatchScope {
public:
    DispatchScope(IWindow& window, IWindowData& data, bool* objectGone)
        : fWindow(window), fData(data), fObjectGone(objectGone)
    {
        // The mark first: a handler-list change on another thread that starts after it sees it
        // and marks entries instead of unlinking them under the walk. One that started before
        // may still be unlinking, and the walk's start then waits for it under the library lock.
        // Without a change running, no lock is taken: this is on the road of every message.
        fNested = fData.dispatching.exchange(true, std::memory_order_seq_cst);
        if (IHandlerListChange::isAnyRunning()) {
            IResourceLock lock(IWindow::libraryLock());
            startWalk();
        } else {
            startWalk();
        }
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

    ~DispatchScope()
    {
        if (fNested) {
            // The object may have gone in this inner dispatch; the outermost one frees its
            // record, but the caller of this one must not touch the object either.
            if (fData.objectDeleted && fObjectGone)
                *fObjectGone = true;
            return;
        }
        // Purging needs the lock; clearing the flag does not: a thread that detaches a handler
        // just after still sees the flag, marks the entry, and the next dispatch purges it.
        if (fData.purgePending.load(std::memory_order_acquire)) {
            try {
                IResourceLock lock(IWindow::libraryLock());
                purgeRemovedHandlers();
            } catch (...) {
            }
        }
        fData.dispatching.store(false, std::memory_order_release);
        if (fData.objectDeleted) {
            // The object was deleted by a handler; its record was kept for this moment.
            delete &fData;
            if (fObjectGone)
                *fObjectGone = true;
        } else if (fData.hasFlag(IWindowData::deleteAfterDispatch)) {
            fData.setFlag(IWindowData::deleteAfterDispatch, false);
            fData.setFlag(IWindowData::deleteOnDestroy, false);
            if (fObjectGone)
                *fObjectGone = true;
            delete &fWindow;
        }
    }

    // The first handler's position, or null when the window has no handler to walk.
    Position* start() noexcept { return fWalks ? &fStart : nullptr; }

private:
    void startWalk()
    {
        if (fData.handlers && !fData.handlers->isEmpty()) {
            fStart = fData.handlers->begin();
            fWalks = true;
        }
    }

    void purgeRemovedHandlers() noexcept
    {
        if (!fData.handlers)
            return;
        IHandlerList& list = *fData.handlers;
        Cursor cursor(list);
        cursor.setToFirst();
        while (cursor.isValid()) {
            if (list.elementAt(cursor).removed.load(std::memory_order_relaxed))
                list.removeAt(cursor);
            else
                cursor.setToNext();
        }
        fData.purgePending.store(false, std::memory_order_release);
    }

    IWindow& fWindow;
    IWindowData& fData;
    bool* fObjectGone;
    bool fNested = false;
    bool fWalks = false;
    Position fStart{};
};

bool isMouseButton(unsigned long id)
{
    return id >= WM_LBUTTONDOWN && id <= WM_MBUTTONDBLCLK;
}

bool isButtonDown(unsigned long id)
{
    return id == WM_LBUTTONDOWN || id == WM_RBUTTONDOWN || id == WM_MBUTTONDOWN;
}

bool isButtonUp(unsigned long id)
{
    return id == WM_LBUTTONUP || id == WM_RBUTTONUP || id == WM_MBUTTONUP;
}

bool isDoubleClick(unsigned long id)
{
    return id == WM_LBUTTONDBLCLK || id == WM_RBUTTONDBLCLK || id == WM_MBUTTONDBLCLK;
}

// The double click of a press: WM_LBUTTONDOWN 0x201 gives WM_LBUTTONDBLCLK 0x203, and so on.
unsigned long doubleClickOf(unsigned long buttonDown)
{
    return buttonDown + 2;
}

unsigned long clickOf(unsigned long buttonUp)
{
    switch (buttonUp) {
    case WM_LBUTTONUP:
        return IPrivateMessage::leftClick;
    case WM_RBUTTONUP:
        return IPrivateMessage::rightClick;
    default:
        return IPrivateMessage::middleClick;
    }
}

// Lists of children kept in stacking order are current only while the library hears of every
// change to it: a window object's child restacked or re-parented in (SetParent sends the child
// WM_WINDOWPOSCHANGING alone, once the child has its new parent), and a native child created or
// destroyed, which its parent hears of unless the child asked for silence.
void noteStackingChange(const IEvent& event, IWindowData& data)
{
    const unsigned long id = event.eventId();
    if (id == WM_WINDOWPOSCHANGING || id == WM_WINDOWPOSCHANGED) {
        const WINDOWPOS* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
        if (position && !(position->flags & SWP_NOZORDER))
            IWindowCore::noteChildOrderChange(position->hwnd);
    } else if (id == WM_PARENTNOTIFY) {
        const unsigned long what = event.parameter1().lowNumber();
        if (what == WM_CREATE || what == WM_DESTROY)
            data.childOrderChanges.fetch_add(1, std::memory_order_acq_rel);
    }
}

} // namespace

// Offers the event to each enabled handler from the position on, until one handles it. A
// handler that throws is answered by handleException: accepted, the walk goes on; declined, the
// exception leaves. The walk stops when a handler has deleted the window object.
// Always inlined into its two callers: as a call of its own, saving and restoring the registers
// that the walk keeps across the handlers' calls, it was a sixth of the library's cost on the
// road of every message.
__attribute__((always_inline)) inline IBase::Boolean IWindow::walkHandlers(IWindowData* data,
                                                                           IEvent& event,
                                                                           void* start)
{
    Position at = *static_cast<const Position*>(start);
    const Position end = data->handlers->end();
    // The copy that a handler finds in the event (dispatchRemainingHandlers goes on after it);
    // written before each call and never read back here.
    Position current = at;
    const IEvent::DispatchRecord outer = event.fDispatch;
    event.fDispatch.position = &current;
    event.fDispatch.window = data;
    IBase::Boolean handled = false;
    try {
        for (; !handled && at != end && !data->objectDeleted; ++at) {
            const IHandlerEntry& entry = *at;
            if (entry.removed.load(std::memory_order_relaxed))
                continue;
            IHandler* handler = entry.handler;
            const int active = handler->fActive.load(std::memory_order_relaxed);
            current = at;
            if (active == 1) {
                try {
                    handled = handler->dispatchHandlerEvent(event);
                } catch (IException& exception) {
                    if (data->objectDeleted || !handleException(exception, event))
                        throw;
                }
            } else if (active != 0) {
                IInvalidRequest fault(OVK_MSG_HANDLER_STATE_INVALID);
                fault.addLocation(IEXCEPTION_LOCATION("iwindow1", "IWindow::dispatch(IEvent&)"));
                if (!handleException(fault, event))
                    throw fault;
            }
        }
    } catch (...) {
        event.fDispatch = outer;
        throw;
    }
    event.fDispatch = outer;
    return handled;
}

IBase::Boolean IWindow::dispatch(IEvent& event)
{
    return dispatchEvent(event, nullptr);
}

// Derive what the platform does not deliver, walk the handlers, tell the observers, finish a
// destroyed window; the scope undoes the dispatch state whatever happens on the way.
IBase::Boolean IWindow::dispatchEvent(IEvent& event, bool* objectGone)
{
    IWindowData* data = fData;
    // The tests before the calls keep the road of every other message short.
    const unsigned long id = event.eventId();
    if ((isMouseButton(id) || id == IPrivateMessage::controlNotification) && trackClicks(event))
        return true;

    noteStackingChange(event, *data);
    DispatchScope scope(*this, *data, objectGone);
    // Inside the scope: a handler of the size report may delete the window, and the scope
    // keeps the record alive until this dispatch is over.
    if (event.eventId() == WM_WINDOWPOSCHANGED)
        reportSizeChange(event);
    IBase::Boolean handled = false;
    const bool destroying = event.eventId() == WM_DESTROY;
    // Whether the object's own tear-down destroys the window; from here on the window is
    // being destroyed either way, and a handler that deletes the object must not have its
    // destructor destroy the window a second time.
    const bool tornDown = destroying && data->hasFlag(IWindowData::beingDestroyed);
    if (destroying)
        data->setFlag(IWindowData::beingDestroyed);
    try {
        if (scope.start() && !data->objectDeleted)
            handled = walkHandlers(data, event, scope.start());
        if (!data->objectDeleted) {
            if (event.eventId() == WM_SYSCOLORCHANGE)
                setLayoutDistorted(ovk_layout::colorChanged, 0);
            if (data->observers && event.eventId() != WM_MOUSEMOVE)
                notifyObserversOf(event);
        }
    } catch (...) {
        // The window is gone whatever a handler thought of it: it must still leave its set
        // and give the previous procedure its WM_DESTROY.
        if (destroying) {
            try {
                destroyed(data->objectDeleted ? nullptr : this, data, event, tornDown);
            } catch (const IException& failure) {
                IAssertion::report(failure);
            }
        }
        throw;
    }
    if (destroying)
        handled = destroyed(data->objectDeleted ? nullptr : this, data, event, tornDown);
    return handled;
}

// Clicks and double clicks. A class without CS_DBLCLKS gets its double clicks made here from
// two presses close in time and place; every release after a recorded press is followed by a
// posted click event. True when the event is to be swallowed.
bool IWindow::trackClicks(IEvent& event)
{
    IWindowData& data = *fData;
    const unsigned long id = event.eventId();
    if (isButtonDown(id)) {
        trackButtonDown(event);
    } else if (isButtonUp(id)) {
        const IWindowHandle self(fHandle);
        if (data.doubleClickSeen && data.buttonDownTime == 0)
            self.postEvent(IPrivateMessage::doubleClickRelease, event.parameter1(), event.parameter2());
        if (data.buttonDownTime != 0)
            self.postEvent(clickOf(id), event.parameter1(), event.parameter2());
    } else if (isDoubleClick(id)) {
        data.buttonDownTime = 0;
        data.doubleClickSeen = true;
    } else if (id == IPrivateMessage::controlNotification &&
               event.parameter1().highNumber() == 0 && data.doubleClickSeen) {
        // A button's click notification after a double click has been delivered as the
        // double click already.
        data.doubleClickSeen = false;
        return true;
    }
    return false;
}

// A press close in time and place to the one before, on the same window and with the same
// button, is the second press of a double click.
void IWindow::trackButtonDown(IEvent& event)
{
    IWindowData& data = *fData;
    const unsigned long id = event.eventId();
    data.doubleClickSeen = false;
    if (GetClassLongA(fHandle, GCL_STYLE) & CS_DBLCLKS) {
        data.buttonDownTime = 1;
        return;
    }
    const DWORD now = static_cast<DWORD>(GetMessageTime());
    const WORD x = event.parameter2().lowNumber();
    const WORD y = event.parameter2().highNumber();
    const DWORD elapsed = now > data.buttonDownTime ? now - data.buttonDownTime
                                                     : data.buttonDownTime - now;
    const int dx = std::abs(static_cast<std::int16_t>(x) - static_cast<std::int16_t>(data.buttonDownX));
    const int dy = std::abs(static_cast<std::int16_t>(y) - static_cast<std::int16_t>(data.buttonDownY));
    const HWND window = event.handle();
    if (data.buttonDownTime != 0 && data.buttonDownMessage == id &&
        data.buttonDownWindow == window && elapsed < GetDoubleClickTime() &&
        dx < GetSystemMetrics(SM_CXDOUBLECLK) && dy < GetSystemMetrics(SM_CYDOUBLECLK)) {
        const IWindowHandle dispatching = event.dispatchingHandle();
        event = IEvent(event.handle(), doubleClickOf(id), event.parameter1(), event.parameter2());
        event.setDispatchingHandle(dispatching);
        data.buttonDownTime = 0;
        // Made here or by the system, a double click is one: its release is the release
        // after a double click.
        data.doubleClickSeen = true;
    } else {
        data.buttonDownTime = now;
    }
    data.buttonDownWindow = window;
    data.buttonDownMessage = id;
    data.buttonDownX = x;
    data.buttonDownY = y;
}

// Every size change is reported as 0xFFF0 with the new and the last size; the handlers that
// lay windows out compare them. The dispatch calls this for WM_WINDOWPOSCHANGED only.
void IWindow::reportSizeChange(const IEvent& event)
{
    const WINDOWPOS* position = static_cast<const WINDOWPOS*>(event.parameter2().asPointer());
    if (!position || (position->flags & SWP_NOSIZE))
        return;
    std::int32_t sizes[4] = {position->cx, position->cy, fData->lastWidth, fData->lastHeight};
    // Recorded before the report: its handlers may delete the window, or resize it again, and
    // a nested report must compare with this size, not the one before.
    fData->lastWidth = position->cx;
    fData->lastHeight = position->cy;
    IWindowHandle(fHandle).sendEvent(IPrivateMessage::sizeChanged, 0,
                                     IEventParameter2(static_cast<const void*>(sizes)));
}

void IWindow::notifyObserversOf(IEvent& event)
{
    IWindowObservers* observers = fData->observers;
    if (observers && observers->enabled && observers->handler)
        observers->handler->dispatchHandlerEvent(event);
}

// WM_DESTROY: the window gives its previous procedure back and leaves its window set; an object
// marked for deletion with its window is deleted once the outermost dispatch has ended. The
// previous procedure gets the message last, so that it can free what it keeps.
IBase::Boolean IWindow::destroyed(IWindow* window, IWindowData* data, IEvent& event,
                                  bool tornDown)
{
    const WNDPROC previous = data->previousProcedure;
    // A handler that deleted the object leaves only the event to name the window.
    const HWND handle = static_cast<HWND>(window ? window->fHandle : event.handle());
    DWORD restoreError = 0;
    if (window) {
        if (data->previousProcedure && data->previousProcedure != &IWindowCore::_pfnwpOVKWinProc) {
            if (!SetWindowLongPtrA(handle, GWLP_WNDPROC,
                                   reinterpret_cast<LONG_PTR>(data->previousProcedure)))
                restoreError = GetLastError() ? GetLastError() : ERROR_INVALID_WINDOW_HANDLE;
        }
        data->previousProcedure = nullptr;
        window->leaveWindowSet();
        if (!tornDown && data->hasFlag(IWindowData::deleteOnDestroy))
            data->setFlag(IWindowData::deleteAfterDispatch);
    }
    event.setResult(ovk_app::previousOrDefault(
        previous, handle, WM_DESTROY, static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
        event.parameter2().asLong()));
    if (restoreError) {
        IThrow::systemError("WinSubclassWindow", restoreError,
                            IEXCEPTION_LOCATION("iwindow1", "IWindow::dispatch(IEvent&)"));
    }
    return true;
}

IWindow& IWindow::defaultProcedure(IEvent& event)
{
    event.setResult(ovk_app::previousOrDefault(
        fData->previousProcedure, event.handle(), static_cast<UINT>(event.eventId()),
        static_cast<WPARAM>(event.parameter1().asUnsignedLong()), event.parameter2().asLong()));
    return *this;
}

IBase::Boolean IWindow::dispatchRemainingHandlers(IEvent& event, IBase::Boolean callDefaultProc)
{
    IBase::Boolean handled = false;
    if (event.fDispatch.position && event.fDispatch.window) {
        Position next = *static_cast<const Position*>(event.fDispatch.position);
        ++next;
        handled = walkHandlers(event.fDispatch.window, event, &next);
    }
    if (!handled && callDefaultProc) {
        if (event.eventId() == IPrivateMessage::controlNotification) {
            const IWindowHandle dispatching = event.dispatchingHandle();
            event = IEvent(event.handle(), WM_COMMAND, event.parameter1(), event.parameter2());
            event.setDispatchingHandle(dispatching);
        }
        if (IWindow* window = event.window())
            window->defaultProcedure(event);
        handled = true;
    }
    return handled;
}
