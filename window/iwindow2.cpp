// Window objects: creating native windows, the desktop and object windows, parent, owner, id,
// styles and sending events to a window.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/iobjwndh.hpp>
#include <iassert.hpp>

#include "detail/iframlnk.hpp"
#include "detail/iwincore.hpp"
#include "detail/iwindata.hpp"
#include "icoordsy.hpp"
#include "iprivmsg.hpp"
#include "iwindow.hpp"

// Style constants. Constant-initialised (the constructor is constexpr), so they hold their
// values before any dynamic initialiser of another module reads them.
const IWindow::Style IWindow::noStyle(0);
const IWindow::Style IWindow::visible(WS_VISIBLE);
const IWindow::Style IWindow::disabled(WS_DISABLED);
const IWindow::Style IWindow::clipChildren(WS_CLIPCHILDREN);
const IWindow::Style IWindow::clipSiblings(WS_CLIPSIBLINGS);
const IWindow::Style IWindow::classDefaultStyle(0);
const IWindow::Style IWindow::defaultStyle(0);
const IWindow::Style IWindow::reservedStyle(0);

const char* const IWindow::sizeId = "IWindow::size";
const char* const IWindow::positionId = "IWindow::position";
const char* const IWindow::visibleId = "IWindow::visible";
const char* const IWindow::enableId = "IWindow::enable";
const char* const IWindow::deleteId = "IWindow::delete";
const char* const IWindow::focusId = "IWindow::focus";
const char* const IWindow::foregroundColorId = "IWindow::foregroundColor";
const char* const IWindow::backgroundColorId = "IWindow::backgroundColor";
const char* const IWindow::borderColorId = "IWindow::borderColor";
const char* const IWindow::shadowColorId = "IWindow::shadowColor";
const char* const IWindow::disabledForegroundColorId = "IWindow::disabledForegroundColor";
const char* const IWindow::disabledBackgroundColorId = "IWindow::disabledBackgroundColor";
const char* const IWindow::activeColorId = "IWindow::activeColor";
const char* const IWindow::inactiveColorId = "IWindow::inactiveColor";
const char* const IWindow::hiliteForegroundColorId = "IWindow::hiliteForegroundColor";
const char* const IWindow::hiliteBackgroundColorId = "IWindow::hiliteBackgroundColor";
const char* const IWindow::fontId = "IWindow::font";
const char* const IWindow::commandId = "IWindow::command";
const char* const IWindow::systemCommandId = "IWindow::systemCommand";

namespace {

std::atomic<IWindow::SiblingOrder> gSiblingOrder{IWindow::onTopOfSiblings};

bool isChild(HWND handle)
{
    return (GetWindowLongPtrA(handle, GWL_STYLE) & WS_CHILD) != 0;
}

// The desktop window: its procedure belongs to another process, so the object only names the
// handle and never subclasses it.
class IDesktopWindow : public IWindow {
public:
    IDesktopWindow()
    {
        setDestroyOnDelete(false);
        IWindowCore::setRawHandle(*this, GetDesktopWindow());
    }
    ~IDesktopWindow() override { IWindowCore::setRawHandle(*this, nullptr); }
};

// The hidden window under which the library parks what has no visible parent.
class ITheObjectWindow : public IWindow {
public:
    ITheObjectWindow()
    {
        const HWND focus = GetFocus();
        const HWND window = CreateWindowExA(0, "Static", nullptr, WS_POPUP | 0x5, 0, 0, 0, 0,
                                            nullptr, nullptr, nullptr, nullptr);
        if (!window) {
            IThrow::systemError("CreateWindow", GetLastError(),
                                IEXCEPTION_LOCATION("iwindow2", "IWindow::objectWindow()"));
        }
        if (focus)
            SetFocus(focus);
        startHandlingEventsFor(window);
        setObjectWindowHandle(window);
    }
    ~ITheObjectWindow() override
    {
        setObjectWindowHandle(nullptr);
        if (IsWindow(IWindowCore::rawHandle(*this)))
            DestroyWindow(IWindowCore::rawHandle(*this));
    }
};

IString className(HWND handle)
{
    char name[64] = {};
    GetClassNameA(handle, name, sizeof name);
    return IString(name);
}

} // namespace

// IWindowCore helpers of this file ------------------------------------------------------------

bool IWindowCore::setWindowId(HWND window, unsigned long id) noexcept
{
    if (isChild(window)) {
        SetLastError(0);
        const LONG_PTR previous = SetWindowLongPtrA(window, GWLP_ID, static_cast<LONG_PTR>(id));
        return previous != 0 || GetLastError() == 0;
    }
    if (id == 0) {
        RemovePropA(window, topLevelIdProperty);
        return true;
    }
    return SetPropA(window, topLevelIdProperty,
                    reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(id))) != FALSE;
}

void IWindowCore::setRawHandle(IWindow& window, HWND handle) noexcept
{
    window.fHandle = handle;
}

// Construction by id ----------------------------------------------------------------------------

IWindow::IWindow(unsigned long id, IWindow* parent)
    : fData(new IWindowData(IWindowData::minimumSizeCacheOn))
{
    std::unique_ptr<IWindowData> data(fData);
    IARGUMENT_CHECK(parent != 0, "iwindow2", "IWindow::IWindow(unsigned long,IWindow*)");
    const IWindowHandle child = handleWithParent(id, parent->handle());
    if (!child) {
        IThrow::message(OVK_MSG_NO_CHILD_WITH_ID,
                        IEXCEPTION_LOCATION("iwindow2", "IWindow::IWindow(unsigned long,IWindow*)"));
    }
    if (isChild(child))
        fData->ownerHandle = parent->handle();
    registerLive();
    try {
        startHandlingEventsFor(child);
    } catch (...) {
        unregisterLive();
        throw;
    }
    data.release();
}

// Creating the native window --------------------------------------------------------------------

IWindowHandle IWindow::create(unsigned long id, const char* text, unsigned long style,
                              const char* windowClass, const IWindowHandle& parent,
                              const IWindowHandle& owner, const IRectangle& initRect,
                              const void* controlData, const void* module, SiblingOrder,
                              unsigned long extendedStyle)
{
    RECT client{};
    GetClientRect(parent ? static_cast<HWND>(parent) : GetDesktopWindow(), &client);
    const IRectangle native = ICoordinateSystem::convertToNative(
        initRect, ISize(client.right - client.left, client.bottom - client.top));
    int x = native.minX();
    int y = native.minY();
    int width = static_cast<int>(initRect.width());
    int height = static_cast<int>(initRect.height());
    // (INT_MIN, INT_MIN, -1, -1): let Windows choose the size.
    if (initRect.minX() == INT32_MIN && initRect.minY() == INT32_MIN &&
        width == INT32_MAX && height == INT32_MAX) {
        width = CW_USEDEFAULT;
        height = CW_USEDEFAULT;
    }

    HWND nativeParent = nullptr;
    HMENU menu = nullptr;
    if (style & WS_CHILD) {
        nativeParent = parent;
        fData->ownerHandle = owner;
        menu = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id));
    } else {
        // A top-level window's owner is its native parent. Its menu argument is a menu, so an
        // identifier there fails the call (error 1401): the identifier is set afterwards.
        fData->ownerHandle = nullptr;
        nativeParent = owner;
    }
    HINSTANCE instance = module ? static_cast<HINSTANCE>(const_cast<void*>(module))
                                : GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(extendedStyle, windowClass, text, style, x, y, width, height,
                                  nativeParent, menu, instance, const_cast<void*>(controlData));
    if (!window) {
        const DWORD error = GetLastError();
        // A class given by atom is named the way the system names such classes, "#<atom>".
        const std::uintptr_t classValue = reinterpret_cast<std::uintptr_t>(windowClass);
        const IString classText = classValue >= 0x10000
                                      ? IString(windowClass)
                                      : "#" + IString(static_cast<unsigned long>(classValue));
        ISystemError failure("WinCreateWindow: Id=" + IString(id) + " Class=" + classText, error);
        IThrow::exception(failure,
                          IEXCEPTION_LOCATION("iwindow2",
                                              "IWindow::create(unsigned long,const char*,unsigned long,"
                                              "const char*,const IWindowHandle&,const IWindowHandle&,"
                                              "const IRectangle&,const void*,const void*,"
                                              "IWindow::SiblingOrder,unsigned long)"));
    }
    if (!(style & WS_CHILD) && id != 0)
        IWindowCore::setWindowId(window, id);
    return window;
}

// Special windows -------------------------------------------------------------------------------

IWindow* IWindow::desktopWindow()
{
    // Never deleted: window objects may still ask for it while the process exits.
    static IWindow* desktop = new IDesktopWindow;
    return desktop;
}

IWindow* IWindow::objectWindow()
{
    static IWindow* window = new ITheObjectWindow;
    return window;
}

IWindow::SiblingOrder IWindow::defaultSiblingOrder()
{
    return gSiblingOrder.load(std::memory_order_relaxed);
}

void IWindow::setDefaultSiblingOrder(SiblingOrder order)
{
    gSiblingOrder.store(order, std::memory_order_relaxed);
}

// Parent, owner, id -------------------------------------------------------------------------------

namespace {

IWindow* windowObjectFor(HWND handle)
{
    if (!handle)
        return nullptr;
    if (handle == GetDesktopWindow())
        return IWindow::desktopWindow();
    if (handle == objectWindowHandle())
        return IWindow::objectWindow();
    return IWindow::windowWithHandle(handle, true);
}

} // namespace

IWindow* IWindow::parent() const
{
    return windowObjectFor(fHandle ? GetParent(fHandle) : nullptr);
}

IWindow* IWindow::owner() const
{
    HWND owner = nullptr;
    if (isChild(fHandle))
        owner = fData->ownerHandle;
    else
        owner = GetWindow(fHandle, GW_OWNER);
    return windowObjectFor(owner);
}

IWindow& IWindow::setOwner(const IWindow* newOwner)
{
    HWND ownerHandle = nullptr;
    if (isChild(fHandle)) {
        ownerHandle = newOwner ? IWindowCore::rawHandle(*newOwner) : nullptr;
        fData->ownerHandle = ownerHandle;
        // The window procedure may have cached the old owner for this control's notifications.
        IWindowCore::clearCache();
    } else {
        // Windows keeps a top-level window's owner for its life; the library leaves it.
        ownerHandle = GetWindow(fHandle, GW_OWNER);
    }
    updateTopLevel(ownerHandle);
    return *this;
}

IWindow& IWindow::setParent(const IWindow* newParent)
{
    IARGUMENT_CHECK(newParent != 0, "iwindow2", "IWindow::setParent(const IWindow*)");
    const HWND handle = this->handle();
    const bool toDesktop = newParent == desktopWindow();
    SetParent(handle, toDesktop ? nullptr : IWindowCore::rawHandle(*newParent));
    const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
    const unsigned long savedId = id();
    LONG_PTR newStyle = style;
    if (toDesktop && (style & WS_CHILD)) {
        // Once the window is top-level its GWLP_ID slot is its menu: an identifier left there
        // would be taken for a menu handle (and destroyed with the window).
        SetWindowLongPtrA(handle, GWLP_ID, 0);
        newStyle &= ~static_cast<LONG_PTR>(WS_CHILD);
    } else if (!toDesktop && !(style & WS_CHILD)) {
        RemovePropA(handle, IWindowCore::topLevelIdProperty);
        newStyle |= WS_CHILD;
    }
    if (newStyle != style) {
        SetWindowLongPtrA(handle, GWL_STYLE, newStyle);
        setId(savedId);
    }
    const HWND ownerHandle = (newStyle & WS_CHILD) ? fData->ownerHandle : GetWindow(handle, GW_OWNER);
    updateTopLevel(ownerHandle);
    return *this;
}

// Top-level: no owner but the desktop, and the desktop as parent.
void IWindow::updateTopLevel(HWND ownerHandle)
{
    const HWND desktop = GetDesktopWindow();
    const HWND parentHandle = GetAncestor(fHandle, GA_PARENT);
    fData->setFlag(IWindowData::topLevel, (!ownerHandle || ownerHandle == desktop) &&
                                              (!parentHandle || parentHandle == desktop));
}

IWindow& IWindow::setId(unsigned long id)
{
    const HWND handle = this->handle();
    if (!IWindowCore::setWindowId(handle, id)) {
        IThrow::systemError("SetWindowLongPtr", GetLastError(),
                            IEXCEPTION_LOCATION("iwindow2", "IWindow::setId(unsigned long)"));
    }
    return *this;
}

IBase::Boolean IWindow::isFrameWindow() const
{
    if (!fHandle)
        return false;
    const IString name = className(fHandle);
    return std::strncmp(name, "OVK Frame", 9) == 0 || name == "#32770";
}

// Styles ------------------------------------------------------------------------------------------

unsigned long IWindow::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    if (extended)
        return style.asExtendedUnsignedLong() & 0xFF000000UL;
    return style.asUnsignedLong() & 0xFFFF0000UL;
}

IWindow& IWindow::setStyle(unsigned long style)
{
    SetWindowLongPtrA(handle(), GWL_STYLE, static_cast<LONG_PTR>(static_cast<LONG>(style)));
    return *this;
}

unsigned long IWindow::style() const
{
    return static_cast<unsigned long>(static_cast<DWORD>(GetWindowLongPtrA(fHandle, GWL_STYLE)));
}

IWindow& IWindow::setExtendedStyle(unsigned long extendedStyle)
{
    fData->extendedStyle = extendedStyle;
    return *this;
}

unsigned long IWindow::extendedStyle() const
{
    return fData->extendedStyle;
}

unsigned long IWindow::helpId() const
{
    if (IPlatform::hasLimitedGraphics())
        return fData->helpId;
    return fHandle ? GetWindowContextHelpId(fHandle) : 0;
}

// Sending and posting ------------------------------------------------------------------------------

namespace {

// The message of an event type; 0 for the values that name none.
unsigned long messageOf(IWindow::EventType type)
{
    switch (type) {
    case IWindow::command:
        return WM_COMMAND;
    case IWindow::systemCommand:
        return WM_SYSCOMMAND;
    case IWindow::frameEvent:
        return IPrivateMessage::frameEvent;
    case IWindow::character:
        return WM_CHAR;
    default:
        return 0;
    }
}

} // namespace

// The frame-event type goes to the frame window that contains the window (the window itself
// when none does).
IWindowHandle IWindow::eventTarget(EventType type, const char* function) const
{
    if (messageOf(type) == 0)
        IThrow::argument("type is a known EventType", IEXCEPTION_LOCATION("iwindow2", function));
    IWindowHandle target = handle();
    if (type == frameEvent) {
        // The frame that serves the window: among its parents, else among its owners.
        if (const IWindow* frame = ovk_window::frameWindowFor(target))
            target = IWindowCore::rawHandle(*frame);
    }
    return target;
}

const IWindow& IWindow::postEvent(unsigned long eventId, const IEventParameter1& parameter1,
                                  const IEventParameter2& parameter2) const
{
    handle().postEvent(eventId, parameter1, parameter2);
    return *this;
}

const IWindow& IWindow::postEvent(EventType type, const IEventParameter1& parameter1,
                                  const IEventParameter2& parameter2) const
{
    eventTarget(type, "IWindow::postEvent(IWindow::EventType,const IEventParameter1&,"
                      "const IEventParameter2&) const")
        .postEvent(messageOf(type), parameter1, parameter2);
    return *this;
}

const IWindow& IWindow::postEvent(const IEvent& event) const
{
    return postEvent(event.eventId(), event.parameter1(), event.parameter2());
}

IEventData IWindow::sendEvent(unsigned long eventId, const IEventParameter1& parameter1,
                              const IEventParameter2& parameter2) const
{
    return handle().sendEvent(eventId, parameter1, parameter2);
}

IEventData IWindow::sendEvent(EventType type, const IEventParameter1& parameter1,
                              const IEventParameter2& parameter2) const
{
    return eventTarget(type, "IWindow::sendEvent(IWindow::EventType,const IEventParameter1&,"
                             "const IEventParameter2&) const")
        .sendEvent(messageOf(type), parameter1, parameter2);
}

IEventData IWindow::sendEvent(const IEvent& event) const
{
    return sendEvent(event.eventId(), event.parameter1(), event.parameter2());
}

// Window words ---------------------------------------------------------------------------------------

IWindow& IWindow::setWindowData(long index, unsigned long value)
{
    SetLastError(0);
    if (!SetWindowLongA(handle(), static_cast<int>(index), static_cast<LONG>(value)) &&
        GetLastError() != 0) {
        IThrow::systemError("SetWindowLong", GetLastError(),
                            IEXCEPTION_LOCATION("iwindow2", "IWindow::setWindowData(long,unsigned long)"));
    }
    return *this;
}

IWindow& IWindow::setWindowData(long index, unsigned short value)
{
    SetLastError(0);
    if (!SetWindowWord(handle(), static_cast<int>(index), value) && GetLastError() != 0) {
        IThrow::systemError("SetWindowWord", GetLastError(),
                            IEXCEPTION_LOCATION("iwindow2", "IWindow::setWindowData(long,unsigned short)"));
    }
    return *this;
}
