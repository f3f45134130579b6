// IWindow: the window object, through which the library takes charge of a native window and
// hands each of its messages to the handlers attached to it.
#pragma once

#include <ibitflag.hpp>
#include <iexcept.hpp>
#include <inotify.hpp>
#include <ipoint.hpp>
#include <irect.hpp>
#include <iresource.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

#include "icolor.hpp"
#include "ievent.hpp"
#include "ifont.hpp"

class IAcceleratorTable;
class IBidiSettings;
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

    // Two words of style: the native style bits and the library's extended bits.
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    static const Style noStyle;
    static const Style visible;
    static const Style disabled;
    static const Style clipChildren;
    static const Style clipSiblings;
    // Carry no bits here; derived classes give their own meaning to the names.
    static const Style classDefaultStyle;
    static const Style defaultStyle;
    static const Style reservedStyle;

    // Where new controls go among their siblings (passed on to create; the base ignores it).
    enum SiblingOrder : unsigned char { onTopOfSiblings, behindSiblings };
    // sendEvent and postEvent by kind: WM_COMMAND, WM_SYSCOMMAND, the containing frame's
    // private message, WM_CHAR. Other values name no message and fail the argument check.
    enum EventType : unsigned long {
        command = 1,
        systemCommand = 2,
        frameEvent = 4,
        character = 5,
    };
    enum RefreshType : unsigned long { paintAll = 0, paintAllNoChildren = 1, immediate = 2 };

    // The notification ids, compared by address.
    static const char* const sizeId;
    static const char* const positionId;
    static const char* const visibleId;
    static const char* const enableId;
    static const char* const deleteId;
    static const char* const focusId;
    static const char* const foregroundColorId;
    static const char* const backgroundColorId;
    static const char* const borderColorId;
    static const char* const shadowColorId;
    static const char* const disabledForegroundColorId;
    static const char* const disabledBackgroundColorId;
    static const char* const activeColorId;
    static const char* const inactiveColorId;
    static const char* const hiliteForegroundColorId;
    static const char* const hiliteBackgroundColorId;
    static const char* const fontId;
    static const char* const commandId;
    static const char* const systemCommandId;

    class BidiSettings;

    // Construction. The default constructor leaves the taking over to the derived class and
    // destroys the native window with the object; the handle constructor and the (id, parent)
    // constructor take charge of an existing window and leave it alive when the object goes
    // (setDestroyOnDelete changes either).
    IWindow();
    explicit IWindow(const IWindowHandle& handle);
    // The child with this id under the parent's window; message 62 when there is none.
    IWindow(unsigned long id, IWindow* parent);
    IWindow(const IWindow&) = delete;
    IWindow& operator=(const IWindow&) = delete;
    // Failures on the way (a window deleted from its own dispatch, a procedure that cannot be
    // given back) are reported as library assertions: a destructor does not throw.
    ~IWindow() override;

    // The virtual operations keep the order that code built against the library relies on;
    // derived classes add theirs after applyBidiSettings.
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

    // The native bits of a style: the extended word's top byte when `extended` is non-zero,
    // else the basic word's top half (derived classes add their own bits).
    virtual unsigned long convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended = false) const;

    // Geometry, in the library's coordinates.
    virtual IWindow& moveTo(const IPoint& position);
    virtual IWindow& sizeTo(const ISize& size);
    virtual IWindow& moveSizeTo(const IRectangle& rectangle);
    virtual IPoint position() const;
    virtual ISize parentSize() const;
    virtual ISize size() const;
    virtual IRectangle nativeRect() const;
    virtual IRectangle rect() const;

    virtual IWindow& setOwner(const IWindow* newOwner);
    virtual IWindow& setParent(const IWindow* newParent);
    virtual IWindow& setId(unsigned long id);

    virtual IWindow& enable(IBase::Boolean enable = true);
    virtual IWindow& disable();
    virtual IWindow& setFocus();
    // The owner: for a child window the owner recorded by the library, for any other window
    // its native owner; null when that has no window object.
    virtual IWindow* owner() const;
    virtual IBase::Boolean hasFocus() const;
    virtual IBase::Boolean isValid() const;
    virtual IBase::Boolean isGroup() const;
    virtual IBase::Boolean isTabStop() const;
    virtual IBase::Boolean isFrameWindow() const;
    // The native handle; message 61 when the window is not valid.
    virtual IWindowHandle handle() const;
    virtual unsigned long id() const;

    virtual IWindow& capturePointer(IBase::Boolean capture = true);
    virtual IWindow& releasePointer();
    virtual IBase::Boolean hasPointerCaptured() const;

    virtual IWindow& positionBehindSiblings();
    virtual IWindow& positionOnSiblings();
    virtual IWindow& positionBehindSibling(const IWindowHandle& sibling);

    virtual const IWindow& postEvent(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                                     const IEventParameter2& parameter2 = 0) const;
    virtual const IWindow& postEvent(EventType type, const IEventParameter1& parameter1 = 0,
                                     const IEventParameter2& parameter2 = 0) const;
    virtual const IWindow& postEvent(const IEvent& event) const;
    virtual IEventData sendEvent(unsigned long eventId, const IEventParameter1& parameter1 = 0,
                                 const IEventParameter2& parameter2 = 0) const;
    virtual IEventData sendEvent(EventType type, const IEventParameter1& parameter1 = 0,
                                 const IEventParameter2& parameter2 = 0) const;
    virtual IEventData sendEvent(const IEvent& event) const;

    virtual IWindow& show(IBase::Boolean show = true);
    virtual IWindow& hide();
    virtual IWindow& enableUpdate(IBase::Boolean enable = true);
    virtual IWindow& disableUpdate();
    // The window and its children are invalidated and erased at once. paintAll leaves the
    // painting to the message loop; immediate (or `immediate` true) paints them before the call
    // returns; paintAllNoChildren does nothing.
    virtual IWindow& refresh(RefreshType type = paintAll);
    virtual IWindow& refresh(const IRectangle& area, IBase::Boolean immediate = false);
    virtual IWindow& showSourceEmphasis();
    virtual IWindow& hideSourceEmphasis();
    virtual IPresSpaceHandle presSpace() const;
    virtual void releasePresSpace(const IPresSpaceHandle& context) const;
    // None in the base: controls and canvases answer these.
    virtual IWindowHandle defaultPushButton() const;
    virtual IWindow* matchForMnemonic(unsigned short character) const;

    // The layout word: bits that say which layout facts are stale; some are passed on to the
    // parent.
    virtual IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                        unsigned long layoutAttributeOff);
    virtual IBase::Boolean isLayoutDistorted(unsigned long layoutAttribute) const;
    virtual IRectangle layoutAdjustment() const;
    virtual IRectangle visibleRectangle() const;
    // Offered every IException that leaves a handler of this window, and the message-56 fault
    // of a handler in an impossible state. True: dealt with, the walk goes on. The base asks
    // the library-wide exception handler, if one is set.
    virtual IBase::Boolean handleException(IException& exception, IEvent& event);

    // Colours by area. Foreground and background may be set; a window that has none set asks
    // its recorded owner, then its class's default. The other areas are fixed here.
    virtual IColor foregroundColor() const;
    virtual IColor backgroundColor() const;
    virtual IColor borderColor() const;
    virtual IWindow& setForegroundColor(const IColor& color);
    virtual IWindow& setBackgroundColor(const IColor& color);
    virtual IWindow& setBorderColor(const IColor& color);
    virtual IColor shadowColor() const;
    virtual IColor disabledForegroundColor() const;
    virtual IColor disabledBackgroundColor() const;
    virtual IColor hiliteForegroundColor() const;
    virtual IColor hiliteBackgroundColor() const;
    virtual IColor activeColor() const;
    virtual IColor inactiveColor() const;
    virtual IWindow& setShadowColor(const IColor& color);
    virtual IWindow& setDisabledForegroundColor(const IColor& color);
    virtual IWindow& setDisabledBackgroundColor(const IColor& color);
    virtual IWindow& setHiliteForegroundColor(const IColor& color);
    virtual IWindow& setHiliteBackgroundColor(const IColor& color);
    virtual IWindow& setActiveColor(const IColor& color);
    virtual IWindow& setInactiveColor(const IColor& color);
    virtual IWindow& resetForegroundColor();
    virtual IWindow& resetBackgroundColor();
    virtual IWindow& resetBorderColor();
    virtual IWindow& resetShadowColor();
    virtual IWindow& resetDisabledForegroundColor();
    virtual IWindow& resetDisabledBackgroundColor();
    virtual IWindow& resetHiliteForegroundColor();
    virtual IWindow& resetHiliteBackgroundColor();
    virtual IWindow& resetActiveColor();
    virtual IWindow& resetInactiveColor();

    // The window keeps its own copy of a font it is given, so the native font outlives the
    // caller's object.
    virtual IWindow& setFont(const IFont& font);
    virtual IWindow& resetFont();
    virtual IFont font() const;

    // CreateWindowExA in the library's coordinates; answers the new handle, which the caller
    // then takes charge of. A top-level window's id is set after creation (see setId).
    virtual IWindowHandle create(unsigned long id, const char* text, unsigned long style,
                                 const char* windowClass, const IWindowHandle& parent,
                                 const IWindowHandle& owner, const IRectangle& initRect,
                                 const void* controlData, const void* module,
                                 SiblingOrder order = onTopOfSiblings,
                                 unsigned long extendedStyle = 0);

    virtual IWindow& setStyle(unsigned long style);
    virtual IWindow& setExtendedStyle(unsigned long extendedStyle);
    virtual unsigned long style() const;
    virtual unsigned long extendedStyle() const;

    virtual ISize calcMinimumSize() const;
    // True once a press over an enabled child has been followed by a move of more than two
    // pixels: the caller starts a drag.
    virtual IBase::Boolean isDragStarting(IEvent& event);
    virtual IWindow& applyBidiSettings(const BidiSettings& settings,
                                       IBase::Boolean childInherit = false,
                                       IBase::Boolean refresh = false);

    // Parent and the special windows.
    IWindow* parent() const;
    static IWindow* desktopWindow();
    static IWindow* objectWindow();
    static SiblingOrder defaultSiblingOrder();
    static void setDefaultSiblingOrder(SiblingOrder order);

    // State that needs no override.
    IBase::Boolean isVisible() const;
    IBase::Boolean isEnabled() const;
    static IWindowHandle handleWithPointerCaptured();
    static IPoint mapPoint(const IPoint& point, const IWindowHandle& from, const IWindowHandle& to);
    static IPoint pointerPosition();
    // The help id: kept by the library where the platform has no context help ids, else the
    // window's context help id; 0 when none.
    unsigned long helpId() const;
    IWindow& setWindowData(long index, unsigned long value);
    IWindow& setWindowData(long index, unsigned short value);

    // Colour areas: 1 foreground, 3 background.
    IColor findColor(unsigned long area, const IColor& defaultColor) const;
    IColor color(unsigned long area) const;
    IWindow& setColor(unsigned long area, const IColor& color);
    IWindow& resetColor(unsigned long area);
    static IColor defaultBackgroundColor(const IWindowHandle& window);
    ISize characterSize() const;

    // Minimum size: the explicit one when set, else calcMinimumSize cached.
    ISize minimumSize(IBase::Boolean recalculate = false) const;
    IWindow& setMinimumSize(const ISize& size);
    IWindow& disableMinimumSizeCaching();
    IWindow& enableMinimumSizeCaching(IBase::Boolean enable = true);
    IBase::Boolean isMinimumSizeCachingEnabled() const;

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
    // Gives the window a native table made from the keys of `table` (none for null); the
    // window owns it, and the table it had before is destroyed.
    IWindow& setAcceleratorTable(const IAcceleratorTable* table);

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
    // `window` is null when a handler deleted the object during the destroy message;
    // `tornDown` when the object's own deletion destroys the window.
    static IBase::Boolean destroyed(IWindow* window, IWindowData* data, IEvent& event,
                                    bool tornDown);
    void leaveWindowSet() noexcept;
    void detachAllHandlers(bool dispatching) noexcept;
    void releaseNativeWindow(bool dispatching) noexcept;
    void notifyDeletion() noexcept;
    void registerLive();
    void unregisterLive() noexcept;
    void updateTopLevel(HWND__* ownerHandle);
    IWindowHandle eventTarget(EventType type, const char* function) const;
    IColor systemColor(unsigned long color) const;

    IWindowData* fData;
    IWindowHandle fHandle;
};
