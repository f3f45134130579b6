// Window objects: construction, taking charge of native windows, the window sets, handler
// lists and the window's state.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <unordered_set>

#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <detail/icritsec.hpp>
#include <detail/iobjwndh.hpp>
#include <detail/istthread.hpp>
#include <iacceltb.hpp>
#include <iassert.hpp>

#include "detail/iframlnk.hpp"
#include "detail/iwincore.hpp"
#include "detail/iwindata.hpp"
#include "ihandler.hpp"
#include "iwindow.hpp"
#include "iwinntfy.hpp"

namespace {

std::atomic<IWindow::ExceptionHandler*> gExceptionHandler{nullptr};

// Every window object alive, whether or not it is filed in a window set (a window object
// outlives its native window unless it is deleted with it). A handler that goes detaches itself
// from all of them. Guarded by the library lock; never destroyed, since window objects may be
// deleted during the process's exit.
std::unordered_set<const IWindow*>& liveWindows()
{
    static auto* windows = new std::unordered_set<const IWindow*>;
    return *windows;
}

WNDPROC libraryProcedure()
{
    return &IWindowCore::_pfnwpOVKWinProc;
}

// The record of the thread that owns a native window (the calling thread's when the handle no
// longer names a window), with a reference for the caller; null when that thread has none.
IStartedThread* ownerRecord(HWND handle)
{
    const DWORD thread = handle ? GetWindowThreadProcessId(handle, nullptr) : 0;
    if (thread == 0 || thread == GetCurrentThreadId()) {
        IStartedThread* record = IStartedThread::current();
        record->addRef();
        return record;
    }
    return IStartedThread::find(thread);
}

struct RecordReference {
    IStartedThread* record;
    explicit RecordReference(IStartedThread* found) noexcept : record(found) {}
    RecordReference(const RecordReference&) = delete;
    RecordReference& operator=(const RecordReference&) = delete;
    ~RecordReference() {
        if (record)
            record->removeRef();
    }
};

IString handleText(HWND handle)
{
    return IString(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
}

} // namespace

// Construction -------------------------------------------------------------------------------

IWindow::IWindow()
    : fData(new IWindowData(IWindowData::minimumSizeCacheOn | IWindowData::destroyOnDelete))
{
    std::unique_ptr<IWindowData> data(fData);
    registerLive();
    data.release();
}

void IWindow::registerLive()
{
    IResourceLock lock(libraryLock());
    liveWindows().insert(this);
}

void IWindow::unregisterLive() noexcept
{
    try {
        IResourceLock lock(libraryLock());
        liveWindows().erase(this);
    } catch (...) {
    }
}

IWindow::IWindow(const IWindowHandle& handle)
    : fData(new IWindowData(IWindowData::minimumSizeCacheOn))
{
    std::unique_ptr<IWindowData> data(fData);
    IARGUMENT_CHECK(handle!=0, "iwindow", "IWindow::IWindow(const IWindowHandle&)");
    registerLive();
    try {
        startHandlingEventsFor(handle);
    } catch (...) {
        unregisterLive();
        throw;
    }
    data.release();
}

IWindow::~IWindow()
{
    IWindowData* data = fData;
    const bool dispatching = data->isDispatching();
    if (dispatching) {
        // The dispatch that is running still needs the private record; it takes it over and
        // deletes it when it ends, and stops calling this object.
        IInvalidRequest fault(OVK_MSG_WINDOW_IS_DISPATCHING);
        fault.addLocation(IEXCEPTION_LOCATION("iwindow", "IWindow::~IWindow()"));
        IAssertion::report(fault);
    }
    notifyDeletion();
    detachAllHandlers(dispatching);
    if (fHandle && IsWindow(fHandle))
        releaseNativeWindow(dispatching);
    leaveWindowSet();

    delete data->observers;
    data->observers = nullptr;
    if (data->accelerator) {
        DestroyAcceleratorTable(data->accelerator);
        data->accelerator = nullptr;
    }
    IWindowCore::clearCache();
    if (dispatching)
        data->objectDeleted = true;
    else
        delete data;
}

// Observers hear of the deletion first, while the object is still whole; a frame forgets the
// window as an extension before the window goes. Neither may throw out of the destructor.
void IWindow::notifyDeletion() noexcept
{
    try {
        notifyObservers(deleteId);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
    try {
        if (isDestroyOnDelete() && fHandle && IsWindow(fHandle)) {
            IWindow* frame = parent();
            if (frame && frame != desktopWindow())
                ovk_window::forgetExtension(frame, this);
        }
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
}

// The handlers stay alive (a window never deletes them) but are no longer attached here, and
// their window counts say so. A running dispatch keeps walking the list, so then the entries
// are only marked.
void IWindow::detachAllHandlers(bool dispatching) noexcept
{
    try {
        IHandlerListChange change(libraryLock());
        liveWindows().erase(this);
        IHandlerList* handlers = fData->handlers;
        if (!handlers)
            return;
        for (const IHandlerEntry& entry : *handlers) {
            if (!entry.removed.load(std::memory_order_relaxed)) {
                entry.removed.store(true, std::memory_order_relaxed);
                entry.handler->fWindowCount.fetch_sub(1, std::memory_order_relaxed);
            }
        }
        // Read again inside the change: a dispatch that began since the caller looked still walks.
        if (!dispatching && !fData->isDispatching()) {
            delete handlers;
            fData->handlers = nullptr;
        }
    } catch (...) {
    }
}

// A wrapped window gets its previous procedure back and stays; a window the object destroys
// with itself is destroyed. A window whose dispatch is still running gets its procedure back
// and leaves its set first, so that nothing of its end reaches this half-deleted object.
void IWindow::releaseNativeWindow(bool dispatching) noexcept
{
    IWindowData* data = fData;
    try {
        setLayoutDistorted(ovk_layout::objectDeleted, 0);
    } catch (...) {
    }
    const bool destroy = data->hasFlag(IWindowData::destroyOnDelete);
    if (!destroy || dispatching) {
        const WNDPROC previous = data->previousProcedure;
        const bool ours = GetWindowLongPtrA(fHandle, GWLP_WNDPROC) ==
                          reinterpret_cast<LONG_PTR>(libraryProcedure());
        if (previous && previous != libraryProcedure() && ours &&
            !SetWindowLongPtrA(fHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous))) {
            IAssertion::report("WinSubclassWindow: error " + IString(GetLastError()),
                               IEXCEPTION_LOCATION("iwindow", "IWindow::~IWindow()"));
        }
        // The running dispatch still passes its message on to the previous procedure.
        if (!dispatching)
            data->previousProcedure = nullptr;
        // The window outlives the object, which deletes the font it lent the window.
        if (!destroy && data->font)
            SendMessageA(fHandle, WM_SETFONT, 0, FALSE);
    }
    if (destroy && !data->hasFlag(IWindowData::beingDestroyed)) {
        data->setFlag(IWindowData::beingDestroyed);
        if (dispatching)
            leaveWindowSet();
        // A frame registers a class of its own per window; the class can go only once its
        // window has, so its name is read first.
        char frameClass[64] = {};
        if (isFrameWindow())
            GetClassNameA(fHandle, frameClass, sizeof frameClass);
        RemovePropA(fHandle, IWindowCore::topLevelIdProperty);
        DestroyWindow(fHandle);
        if (frameClass[0] && frameClass[0] != '#')
            UnregisterClassA(frameClass, GetModuleHandleA(nullptr));
    }
}

// Texts ---------------------------------------------------------------------------------------

IString IWindow::asString() const
{
    return "IWindowHandle(" + handleText(fHandle) + "), Id(" + IString(fHandle ? id() : 0UL) + ")";
}

IString IWindow::asDebugInfo() const
{
    char text[64];
    std::snprintf(text, sizeof text, "%p), SubclassProc(%p)",
                  static_cast<const void*>(fData->handlers),
                  reinterpret_cast<const void*>(fData->previousProcedure));
    return asString() + ", IHandler(" + text + ")";
}

// Notification --------------------------------------------------------------------------------

namespace {

IWindowObservers& observersOf(IWindowData* data)
{
    if (!data->observers)
        data->observers = new IWindowObservers;
    return *data->observers;
}

} // namespace

IWindow& IWindow::enableNotification(IBase::Boolean enable)
{
    IWindowObservers& observers = observersOf(fData);
    observers.enabled = enable != 0;
    if (!observers.handler)
        observers.handler = &IWindowNotifyHandler::shared();
    return *this;
}

IWindow& IWindow::disableNotification()
{
    observersOf(fData).enabled = false;
    return *this;
}

IBase::Boolean IWindow::isEnabledForNotification() const
{
    return fData->observers && fData->observers->enabled;
}

IWindow& IWindow::notifyObservers(const INotificationEvent& event)
{
    if (isEnabledForNotification() && fData->observers->list)
        fData->observers->list->notifyObservers(event);
    return *this;
}

IWindow& IWindow::notifyObservers(const char* const& notificationId)
{
    return notifyObservers(INotificationEvent(notificationId, *this, true, IEventData()));
}

IWindow& IWindow::addObserver(IObserver& observer, const IEventData& userData)
{
    observerList().add(observer, userData);
    return *this;
}

IWindow& IWindow::removeObserver(IObserver& observer)
{
    observerList().remove(observer);
    return *this;
}

IWindow& IWindow::removeAllObservers()
{
    observerList().removeAll();
    return *this;
}

IObserverList& IWindow::observerList()
{
    IWindowObservers& observers = observersOf(fData);
    if (!observers.list)
        observers.list = new IObserverList;
    return *observers.list;
}

IHandler* IWindow::notificationHandler() const
{
    return fData->observers ? fData->observers->handler : nullptr;
}

IWindow& IWindow::setNotificationHandler(IHandler* handler)
{
    observersOf(fData).handler = handler;
    return *this;
}

// Identity --------------------------------------------------------------------------------------

IBase::Boolean IWindow::isValid() const
{
    return fHandle && IsWindow(fHandle);
}

IWindowHandle IWindow::handle() const
{
    if (!isValid())
        IThrow::message(OVK_MSG_INVALID_HANDLE, IEXCEPTION_LOCATION("iwindow", "IWindow::handle() const"));
    return fHandle;
}

unsigned long IWindow::id() const
{
    return IWindowCore::windowId(fHandle);
}

IWindow& IWindow::setLayoutDistorted(unsigned long layoutAttributeOn,
                                     unsigned long layoutAttributeOff)
{
    fData->layoutFlags = (fData->layoutFlags & ~layoutAttributeOff) | layoutAttributeOn;
    unsigned long parentBits = 0;
    if (layoutAttributeOn & ovk_layout::sizeChanged)
        parentBits |= ovk_layout::childSizeChanged;
    if (layoutAttributeOn & ovk_layout::objectDeleted)
        parentBits |= ovk_layout::childDeleted;

    HWND parentHandle = fHandle ? GetParent(fHandle) : nullptr;
    IWindow* parent = nullptr;
    if (parentHandle && parentHandle != GetDesktopWindow() && parentHandle != objectWindowHandle())
        parent = windowWithHandle(parentHandle, true);
    if ((layoutAttributeOn & ovk_layout::fontChanged) &&
        !(layoutAttributeOn & ovk_layout::sizeChanged)) {
        if (parent && parent == owner() && !isBeingDestroyed())
            parentBits |= ovk_layout::childrenChanged;
        fData->layoutFlags &= ~ovk_layout::childrenChanged;
    }
    if ((layoutAttributeOn & ovk_layout::minimumSizeChanged) &&
        (fData->minimumSizeUpdate || fData->explicitMinimumWidth == -1))
        parentBits |= ovk_layout::childMinimumSizeChanged;
    if (parentBits && parent)
        parent->setLayoutDistorted(parentBits, 0);
    return *this;
}

IBase::Boolean IWindow::isLayoutDistorted(unsigned long layoutAttribute) const
{
    return (fData->layoutFlags & layoutAttribute) != 0;
}

IBase::Boolean IWindow::handleException(IException& exception, IEvent& event)
{
    ExceptionHandler* handler = exceptionHandler();
    return handler ? handler->handleException(exception, event) : false;
}

IWindow::ExceptionHandler* IWindow::setExceptionHandler(ExceptionHandler* handler)
{
    return gExceptionHandler.exchange(handler);
}

IWindow::ExceptionHandler* IWindow::exceptionHandler()
{
    return gExceptionHandler.load();
}

// Handler lists ---------------------------------------------------------------------------------

IResource& IWindow::libraryLock()
{
    static IPrivateResource lock("IWindow::libraryLock");
    return lock;
}

IWindow& IWindow::addHandler(IHandler* pshNew)
{
    IARGUMENT_CHECK(pshNew != 0, "iwindow", "IWindow::addHandler(IHandler*)");
    IHandlerListChange change(libraryLock());
    if (!fData->handlers)
        fData->handlers = new IHandlerList(10);
    IHandlerList& list = *fData->handlers;
    if (pshNew->windowCount() != 0 || fData->purgePending.load(std::memory_order_relaxed)) {
        IHandlerList::Cursor cursor(list);
        if (list.locate(IHandlerEntry(pshNew), cursor)) {
            // Detached during a dispatch and attached again before the purge: the entry is
            // revived and keeps its place.
            const IHandlerEntry& entry = list.elementAt(cursor);
            if (entry.removed.load(std::memory_order_relaxed)) {
                entry.removed.store(false, std::memory_order_relaxed);
                pshNew->fWindowCount.fetch_add(1, std::memory_order_relaxed);
            }
            return *this;
        }
    }
    list.addAsFirst(IHandlerEntry(pshNew));
    pshNew->fWindowCount.fetch_add(1, std::memory_order_relaxed);
    return *this;
}

IWindow& IWindow::removeHandler(IHandler* handler)
{
    IHandlerListChange change(libraryLock());
    if (!fData->handlers || !handler)
        return *this;
    IHandlerList& list = *fData->handlers;
    IHandlerList::Cursor cursor(list);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        const IHandlerEntry& entry = list.elementAt(cursor);
        if (entry.handler != handler || entry.removed.load(std::memory_order_relaxed))
            continue;
        // A walk over the list may be running (on this window's thread); it must not lose its
        // place, so the entry is only marked and purged when the outermost dispatch ends.
        if (fData->isDispatching()) {
            entry.removed.store(true, std::memory_order_relaxed);
            fData->purgePending.store(true, std::memory_order_release);
        } else {
            list.removeAt(cursor);
        }
        handler->fWindowCount.fetch_sub(1, std::memory_order_relaxed);
        break;
    }
    return *this;
}

void IWindow::removeHandlerFromAll(IHandler* handler)
{
    // Every window object of every thread, also those whose native window is gone: the library
    // lock keeps them alive meanwhile, since a window object leaves the registry under it.
    IResourceLock lock(libraryLock());
    for (const IWindow* window : liveWindows()) {
        if (handler->windowCount() == 0)
            break;
        const_cast<IWindow*>(window)->removeHandler(handler);
    }
}

// Window sets -----------------------------------------------------------------------------------

IWindow& IWindow::startHandlingEventsFor(const IWindowHandle& windowHandle)
{
    if (!(windowHandle != 0 && windowWithHandle(windowHandle, true) == 0)) {
        IThrow::argument("(windowHandle!=0 && windowWithHandle(windowHandle)==0)",
                         IEXCEPTION_LOCATION("iwindow",
                                             "IWindow::startHandlingEventsFor(const IWindowHandle&)"));
    }
    addToWindowSet(this, windowHandle);

    RECT rectangle{};
    GetWindowRect(windowHandle, &rectangle);
    fData->lastWidth = rectangle.right - rectangle.left;
    fData->lastHeight = rectangle.bottom - rectangle.top;
    const HWND desktop = GetDesktopWindow();
    const HWND parent = GetParent(windowHandle);
    const HWND owner = GetWindow(windowHandle, GW_OWNER);
    fData->setFlag(IWindowData::topLevel, (!parent || parent == desktop) && (!owner || owner == desktop));
    setLayoutDistorted(
        ovk_layout::sizeChanged | ovk_layout::colorChanged | ovk_layout::fontChanged, 0);

    WNDPROC pfnwpDefault = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        windowHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(libraryProcedure())));
    if (!(pfnwpDefault && pfnwpDefault != libraryProcedure())) {
        // Not taken over after all: the window must not stay filed.
        removeFromWindowSet(this);
        IThrow::state("pfnwpDefault && pfnwpDefault!=_pfnwpOVKWinProc",
                      IEXCEPTION_LOCATION("iwindow",
                                          "IWindow::startHandlingEventsFor(const IWindowHandle&)"));
    }
    fData->previousProcedure = pfnwpDefault;
    return *this;
}

void IWindow::addToWindowSet(IWindow* window, const IWindowHandle& handle)
{
    IARGUMENT_CHECK(window != 0 && IsWindow(handle), "iwindow",
                    "IWindow::addToWindowSet(IWindow*,const IWindowHandle&)");
    const DWORD thread = GetWindowThreadProcessId(handle, nullptr);
    IStartedThread* record = thread == GetCurrentThreadId() ? IStartedThread::current()
                                                           : IStartedThread::locate(thread);
    RecordReference reference(thread == GetCurrentThreadId() ? nullptr : record);
    {
        IResourceLock lock(libraryLock());
        window->fHandle = handle;
        record->windowSet().add(handle, window);
        window->fData->setFlag(IWindowData::inWindowSet);
    }
    // A native child taken over becomes a window object's child where it stands, which its
    // parent hears nothing of: a kept list of the parent's children may not hold it yet.
    IWindowCore::noteChildOrderChange(handle);
}

void IWindow::removeFromWindowSet(IWindow* window)
{
    if (!window || !window->fData->hasFlag(IWindowData::inWindowSet))
        return;
    const HWND handle = window->fHandle;
    // The window becomes a native child of its parent, whose restacking nobody hears of.
    IWindowCore::noteChildOrderChange(handle);
    RecordReference reference(ownerRecord(IsWindow(handle) ? handle : nullptr));
    {
        IResourceLock lock(libraryLock());
        bool removed = false;
        if (IWindowSet* set = reference.record ? reference.record->windowList() : nullptr)
            removed = set->remove(handle, window);
        if (!removed) {
            // The native window is gone and its thread is not known any more: look everywhere.
            for (IStartedThread* record : IStartedThread::recordsWithWindows()) {
                RecordReference other(record);
                if (!removed)
                    removed = record->windowList()->removeWindow(window);
            }
        }
        window->fData->setFlag(IWindowData::inWindowSet, false);
    }
    IWindowCore::clearCache();
}

void IWindow::leaveWindowSet() noexcept
{
    try {
        if (!fData->hasFlag(IWindowData::inWindowSet))
            return;
        RecordReference reference(ownerRecord(IsWindow(fHandle) ? fHandle : nullptr));
        removeFromWindowSet(this);
        // A thread whose last top-level window goes has nothing left to run its loop for.
        IStartedThread* record = reference.record;
        if (!record || record->loopLevel() == 0 || !isTopLevel())
            return;
        // The library's own object window is no window of the application's: it lives as
        // long as the process and would keep the loop running for good.
        const HWND objectWindow = objectWindowHandle();
        bool another = false;
        {
            IResourceLock lock(libraryLock());
            if (IWindowSet* set = record->windowList()) {
                for (IWindow* window : set->windows()) {
                    if (window->isTopLevel() && window->fHandle != objectWindow) {
                        another = true;
                        break;
                    }
                }
            }
        }
        if (!another)
            IMessageQueueHandle(record->messageQueue()).postEvent(WM_QUIT);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
}

IWindow* IWindow::windowWithHandle(const IWindowHandle& handle, IBase::Boolean allThreads)
{
    if (!handle)
        return nullptr;
    // This thread's own set answers from its last answer when it can: a handler shared by many
    // windows asks for the window of the message that the window procedure has just found.
    if (!allThreads) {
        IWindowSet* set = IStartedThread::current()->windowList();
        return set ? set->findOnOwnThread(handle) : nullptr;
    }
    // A window is filed in the set of the thread that owns it, so one set answers.
    if (const DWORD thread = GetWindowThreadProcessId(handle, nullptr)) {
        if (thread == GetCurrentThreadId()) {
            IWindowSet* set = IStartedThread::current()->windowList();
            return set ? set->findOnOwnThread(handle) : nullptr;
        }
        RecordReference reference(IStartedThread::find(thread));
        IWindowSet* set = reference.record ? reference.record->windowList() : nullptr;
        return set ? set->find(handle) : nullptr;
    }
    // No longer a window: an object may still be filed under the stale handle.
    IWindow* found = nullptr;
    for (IStartedThread* record : IStartedThread::recordsWithWindows()) {
        RecordReference reference(record);
        if (!found)
            found = record->windowList()->find(handle);
    }
    return found;
}

IBase::Boolean IWindow::isWindowValid(const IWindow* window)
{
    if (!window)
        return false;
    bool filed = false;
    for (IStartedThread* record : IStartedThread::recordsWithWindows()) {
        RecordReference reference(record);
        if (!filed)
            filed = record->windowList()->contains(window);
    }
    return filed;
}

IWindowHandle IWindow::handleWithParent(unsigned long id, const IWindowHandle& parent)
{
    IARGUMENT_CHECK(parent!=0, "iwindow",
                    "IWindow::handleWithParent(unsigned long,const IWindowHandle&)");
    return GetDlgItem(parent, static_cast<int>(id));
}

IWindow* IWindow::windowWithParent(unsigned long id, const IWindow* parent, IBase::Boolean allThreads)
{
    IARGUMENT_CHECK(parent != 0, "iwindow",
                    "IWindow::windowWithParent(unsigned long,const IWindow*,int)");
    return windowWithHandle(handleWithParent(id, parent->handle()), allThreads);
}

IWindow* IWindow::windowWithOwner(unsigned long id, const IWindow* owner, IBase::Boolean allThreads)
{
    IResourceLock lock(libraryLock());
    auto search = [&](IWindowSet* set) -> IWindow* {
        if (!set)
            return nullptr;
        for (IWindow* window : set->windows()) {
            if (window->isValid() && window->id() == id && window->owner() == owner)
                return window;
        }
        return nullptr;
    };
    if (!allThreads)
        return search(IStartedThread::current()->windowList());
    IWindow* found = nullptr;
    for (IStartedThread* record : IStartedThread::recordsWithWindows()) {
        RecordReference reference(record);
        if (!found)
            found = search(record->windowList());
    }
    return found;
}

// State -------------------------------------------------------------------------------------------

IAccelTblHandle IWindow::acceleratorHandle() const
{
    return fData->accelerator;
}

IWindow& IWindow::setAcceleratorHandle(const IAccelTblHandle& table)
{
    fData->accelerator = table;
    return *this;
}

IWindow& IWindow::setAcceleratorTable(const IAcceleratorTable* table)
{
    // Made first: when making it fails, the window keeps the table it has.
    const IAccelTblHandle created = table ? table->createHandle() : IAccelTblHandle();
    const IAccelTblHandle previous = fData->accelerator;
    fData->accelerator = created;
    if (previous != created)
        IAcceleratorTable::destroyHandle(previous);
    return *this;
}

IWindow& IWindow::setDeleteOnDestroy(IBase::Boolean deleteOnDestroy)
{
    fData->setFlag(IWindowData::deleteOnDestroy, deleteOnDestroy != 0);
    return *this;
}

IBase::Boolean IWindow::isDeleteOnDestroy() const
{
    return fData->hasFlag(IWindowData::deleteOnDestroy);
}

IWindow& IWindow::setDestroyOnDelete(IBase::Boolean destroyOnDelete)
{
    fData->setFlag(IWindowData::destroyOnDelete, destroyOnDelete != 0);
    return *this;
}

IBase::Boolean IWindow::isDestroyOnDelete() const
{
    return fData->hasFlag(IWindowData::destroyOnDelete);
}

IWindow& IWindow::setBeingDestroyed()
{
    fData->setFlag(IWindowData::beingDestroyed);
    return *this;
}

IBase::Boolean IWindow::isBeingDestroyed() const
{
    return fData->hasFlag(IWindowData::beingDestroyed);
}

IBase::Boolean IWindow::isTopLevel() const
{
    return fData->hasFlag(IWindowData::topLevel);
}

// Child cursor --------------------------------------------------------------------------------------

IWindow::ChildCursor::ChildCursor(IWindow& parent) : fParent(parent.fHandle) {}

IBase::Boolean IWindow::ChildCursor::setToFirst()
{
    fChild = GetWindow(fParent, GW_CHILD);
    return isValid();
}

IBase::Boolean IWindow::ChildCursor::setToNext()
{
    if (isValid())
        fChild = GetWindow(fChild, GW_HWNDNEXT);
    return isValid();
}

IWindowHandle IWindow::childAt(const ChildCursor& cursor) const
{
    return cursor.fChild;
}
