// IWindow: the window object, through which the library takes charge of a native window and
// hands each of its messages to the handlers attached to it.
#pragma once

#include <iexcept.hpp>
#include <inotify.hpp>
#include <iresource.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

#include "ievent.hpp"

class IHandler;
class IWindowCore;
struct IWindowData;

// A window object takes charge of a native window (startHandlingEventsFor): it files itself in
// the window set of the thread that owns the window and subclasses it with the library's window
// procedure. From then on every message reaches dispatch() as an IEvent, which walks the
// window's handlers, tells its observers, and gives what no handler took to the window's
// previous procedure.
class OVKWIN_API IWindow : public INotifier {
public:
    // The application's last word on an exception that left a handler (setExceptionHandler).
    class OVKWIN_API ExceptionHandler : public IVBase {
    public:
        // True when the exception is dealt with; the walk then goes on with the next handler.
        virtual IBase::Boolean handleException(IException& exception, IEvent& event) = 0;
    };

    // Walks the child windows of a window.
    class OVKWIN_API ChildCursor {
    public:
        explicit ChildCursor(IWindow& parent);
        IBase::Boolean setToFirst();
        IBase::Boolean setToNext();
        IBase::Boolean isValid() const noexcept { return fChild.isValid(); }
        void invalidate() noexcept { fChild = IWindowHandle(); }

    private:
        friend class IWindow;
        IWindowHandle fParent;
        IWindowHandle fChild;
    };

    // Construction. The default constructor leaves the taking over to the derived class and
    // destroys the native window with the object; the handle constructor takes charge of an
    // existing window and leaves it alive when the object goes (setDestroyOnDelete changes
    // either).
    IWindow();
    explicit IWindow(const IWindowHandle& handle);
    IWindow(const IWindow&) = delete;
    IWindow& operator=(const IWindow&) = delete;
    ~IWindow() override;

    // The virtual operations keep the order that code built against the library relies on.
    // "IWindowHandle(<handle>), Id(<id>)" and, for debugging, the handler list and previous
    // procedure as well.
    IString asString() const override;
    IString asDebugInfo() const override;

    // Notification: off until enabled; while on, every dispatched event but mouse moves also
    // goes to the window's notification handler.
    IWindow& enableNotification(IBase::Boolean enable = true) override;
    IWindow& disableNotification() override;
    IBase::Boolean isEnabledForNotification() const override;
    IWindow& notifyObservers(const INotificationEvent& event) override;
    IWindow& notifyObservers(const char* const& notificationId) override;
    IWindow& addObserver(IObserver& observer, const IEventData& userData = IEventData()) override;
    IWindow& removeObserver(IObserver& observer) override;
    IWindow& removeAllObservers() override;
    IObserverList& observerList() override;

    // The owner: for a child window the owner recorded by the library, for any other window
    // its native owner; null when that has no window object.
    virtual IWindow* owner() const;
    virtual IBase::Boolean isValid() const;
    // The native handle; message 61 when the window is not valid.
    virtual IWindowHandle handle() const;
    virtual unsigned long id() const;
    // The layout word: bits that say which layout facts are stale; some are passed on to the
    // parent.
    virtual IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                        unsigned long layoutAttributeOff);
    virtual IBase::Boolean isLayoutDistorted(unsigned long layoutAttribute) const;
    // Offered every IException that leaves a handler of this window, and the message-56 fault
    // of a handler in an impossible state. True: dealt with, the walk goes on. The base asks
    // the library-wide exception handler, if one is set.
    virtual IBase::Boolean handleException(IException& exception, IEvent& event);

    // Event dispatch.
    // Walks the handlers (the one attached last first) until one handles the event; true when
    // one did. An exception that handleException declines leaves here, with the window's
    // dispatch state restored and any pending deletion done.
    IBase::Boolean dispatch(IEvent& event);
    // The previous window procedure with the event's handle, identifier and parameters; its
    // answer becomes the event's result.
    IWindow& defaultProcedure(IEvent& event);
    // From inside a handler: offers the event to the handlers after the current one; when none
    // handles it and `callDefaultProc` is true, gives it default processing and answers true.
    IBase::Boolean dispatchRemainingHandlers(IEvent& event, IBase::Boolean callDefaultProc = false);

    // Handlers (IHandler::handleEventsFor and stopHandlingEventsFor call these).
    IWindow& addHandler(IHandler* pshNew);
    IWindow& removeHandler(IHandler* handler);
    // Detaches the handler from every window of every thread.
    static void removeHandlerFromAll(IHandler* handler);
    static ExceptionHandler* setExceptionHandler(ExceptionHandler* handler);
    static ExceptionHandler* exceptionHandler();

    // Taking charge of a native window, and the window sets.
    IWindow& startHandlingEventsFor(const IWindowHandle& windowHandle);
    static void addToWindowSet(IWindow* window, const IWindowHandle& handle);
    static void removeFromWindowSet(IWindow* window);
    // The window object of a handle: in the calling thread's set, or in every thread's.
    static IWindow* windowWithHandle(const IWindowHandle& handle, IBase::Boolean allThreads = false);
    // True when the object is filed in some thread's window set.
    static IBase::Boolean isWindowValid(const IWindow* window);
    static IWindowHandle handleWithParent(unsigned long id, const IWindowHandle& parent);
    static IWindow* windowWithParent(unsigned long id, const IWindow* parent,
                                     IBase::Boolean allThreads = false);
    // The first valid window with this id whose owner() is `owner`.
    static IWindow* windowWithOwner(unsigned long id, const IWindow* owner,
                                    IBase::Boolean allThreads = false);
    // Guards every window's handler list and the adding and removing of windows in the sets.
    static IResource& libraryLock();

    // The window's accelerator table, offered the keys of the window and of its children.
    IAccelTblHandle acceleratorHandle() const;
    IWindow& setAcceleratorHandle(const IAccelTblHandle& table);

    // The notification handler that dispatch calls while notification is enabled.
    IHandler* notificationHandler() const;
    IWindow& setNotificationHandler(IHandler* handler);

    // State flags.
    IWindow& setDeleteOnDestroy(IBase::Boolean deleteOnDestroy = true);
    IBase::Boolean isDeleteOnDestroy() const;
    IWindow& setDestroyOnDelete(IBase::Boolean destroyOnDelete = true);
    IBase::Boolean isDestroyOnDelete() const;
    IWindow& setBeingDestroyed();
    IBase::Boolean isBeingDestroyed() const;
    // The window had no parent and no owner but the desktop when it was taken over.
    IBase::Boolean isTopLevel() const;

    IWindowHandle childAt(const ChildCursor& cursor) const;

private:
    friend class IWindowCore;

    IBase::Boolean dispatchEvent(IEvent& event, bool* objectGone);
    bool trackClicks(IEvent& event);
    void trackButtonDown(IEvent& event);
    void reportSizeChange(const IEvent& event);
    IBase::Boolean walkHandlers(IWindowData* data, IEvent& event, void* cursor);
    void notifyObserversOf(IEvent& event);
    IBase::Boolean destroyed(IWindowData* data, IEvent& event, bool objectDeleted);
    void leaveWindowSet() noexcept;
    void detachAllHandlers(bool dispatching) noexcept;
    void releaseNativeWindow(bool dispatching) noexcept;

    IWindowData* fData;
    IWindowHandle fHandle;
};
