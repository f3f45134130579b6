// The frame window: construction by style and from a dialog template, the frame classes, the
// cascade, creation and the handlers every frame carries.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include <detail/iclasswide.hpp>
#include <detail/iscoped.hpp>
#include <iassert.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <detail/iwincore.hpp>
#include <iapp.hpp>
#include <icoordsy.hpp>
#include <icvhdr.hpp>
#include <idll.hpp>
#include <iprivmsg.hpp>
#include <irecohdr.hpp>
#include <ithread.hpp>
#include <ithunk.hpp>

#include "detail/iframdat.hpp"
#include "detail/imenuown.hpp"
#include "iframe.hpp"
#include "iframhdr.hpp"
#include "ihelpsta.hpp"
#include "isysmenu.hpp"

constexpr IFrameWindow::Style IFrameWindow::_deferCreation(0, 0x10000);
constexpr IFrameWindow::Style IFrameWindow::_accelerator(0, 0x20000);
constexpr IFrameWindow::Style IFrameWindow::_menuBar(0, 0x80000);
constexpr IFrameWindow::Style IFrameWindow::_classIcon(0, 0x100000);
constexpr IFrameWindow::Style IFrameWindow::_noByteAlignment(0, 0x200000);
constexpr IFrameWindow::Style IFrameWindow::_cascadePosition(0, 0x400000);
constexpr IFrameWindow::Style IFrameWindow::_inertStyle1(0, 0);
constexpr IFrameWindow::Style IFrameWindow::_inertStyle2(0, 0);
constexpr IFrameWindow::Style IFrameWindow::_inertStyle3(0, 0);
constexpr IFrameWindow::Style IFrameWindow::_appDBCSStatus(0, 0);
constexpr IFrameWindow::Style IFrameWindow::_dialogBackground(0, 0x800000);
constexpr IFrameWindow::Style IFrameWindow::_windowList(0, 0x40000);
constexpr IFrameWindow::Style IFrameWindow::_titleBar(0xC00000, 0);
constexpr IFrameWindow::Style IFrameWindow::_maximizeButton(0x10000, 0);
constexpr IFrameWindow::Style IFrameWindow::_minimizeButton(0x20000, 0);
constexpr IFrameWindow::Style IFrameWindow::_iconifyButton(0x20000, 0);
constexpr IFrameWindow::Style IFrameWindow::_sizingBorder(0x40000, 0);
constexpr IFrameWindow::Style IFrameWindow::_systemMenu(0x80000, 0);
constexpr IFrameWindow::Style IFrameWindow::_horizontalScroll(0x100000, 0);
constexpr IFrameWindow::Style IFrameWindow::_verticalScroll(0x200000, 0);
constexpr IFrameWindow::Style IFrameWindow::_dialogBorder(0, 0x1);
constexpr IFrameWindow::Style IFrameWindow::_border(0x800000, 0);
constexpr IFrameWindow::Style IFrameWindow::_maximized(0x1000000, 0);
constexpr IFrameWindow::Style IFrameWindow::_minimized(0x20000000, 0);
constexpr IFrameWindow::Style IFrameWindow::_classDefaultStyle(0xCF0000, 0x40000);
constexpr IFrameWindow::Style IFrameWindow::_nativeStyleMask(0xFFFF0000, 0);

// Defined here as well, so that the library exports it for code that takes its address.
constexpr unsigned long IFrameWindow::clientId;

const char* const IFrameWindow::activateId = "IFrameWindow::activate";
const char* const IFrameWindow::deactivateId = "IFrameWindow::deactivate";
const char* const IFrameWindow::closeId = "IFrameWindow::close";

namespace {

constexpr char kFile[] = "iframe";
constexpr char kClassPrefix[] = "OVK Frame";
constexpr unsigned long kQueueSize = 30;
constexpr const char* kMenuBarProperty = IFrameWindowData::menuBarProperty;

std::atomic<IWindow::SiblingOrder> gDefaultOrdering{IWindow::onTopOfSiblings};
std::atomic<unsigned long> gClassCounter{0};

// The cascade: the next frame's rectangle, moved by 25 pixels each time.
struct Cascade {
    RECT next{};
    bool started = false;
};
Cascade gCascade;

[[noreturn]] void systemError(const char* call, const char* function, DWORD error = GetLastError())
{
    IThrow::systemError(call, error, IEXCEPTION_LOCATION(kFile, function));
}

bool newShellRoad()
{
    return IPlatform::hasNewShell();
}

void prepareQueue()
{
    ICurrentThread& thread = IThread::current();
    if (!thread.isGUIInitialized())
        thread.initializeGUI(kQueueSize);
}

HWND desktopHandle()
{
    return GetDesktopWindow();
}

HWND handleOf(const IWindow* window)
{
    return window ? static_cast<HWND>(window->handle()) : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

IFrameWindow::IFrameWindow() : fFrameData(new IFrameWindowData) {}

IFrameWindow::IFrameWindow(const IResourceId& id, IWindow* parent, IWindow* owner,
                           const IRectangle& initial, const Style& style, const char* title)
    : fFrameData(new IFrameWindowData)
{
    try {
        initialize(id, parent, owner, initial, style, title);
    } catch (...) {
        detachHandlers();
        delete fFrameData;
        throw;
    }
}

namespace {

// The next cascade rectangle, converted for constructors when the application's coordinates
// are not the native ones.
IRectangle cascadeForConstructor()
{
    const IRectangle native = IFrameWindow::nextCascadeRect();
    if (!ICoordinateSystem::isConversionNeeded())
        return native;
    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    return ICoordinateSystem::convertToApplication(native, ISize(desktop.right, desktop.bottom));
}

// A frame's menu bar from its module: the extended format first where the platform variant
// reads it, else the classic one. Null when neither loads.
HMENU loadFrameMenu(HINSTANCE module, unsigned long id)
{
    HMENU menu = nullptr;
    if (IPlatform::isPlatformVariant())
        menu = IHelpStatics::loadExtendedMenu(module, id);
    if (!menu)
        menu = LoadMenuA(module, MAKEINTRESOURCEA(id));
    imenu::markMade(menu);
    return menu;
}

} // namespace

IFrameWindow::IFrameWindow(const IResourceId& id, const Style& style)
    : IFrameWindow(id, nullptr, nullptr, cascadeForConstructor(), style, nullptr)
{
}

IFrameWindow::IFrameWindow(const Style& style, const IResourceId& id)
    : IFrameWindow(id, nullptr, nullptr, cascadeForConstructor(), style, nullptr)
{
}

IFrameWindow::IFrameWindow(const char* title, const IResourceId& id, const Style& style)
    : IFrameWindow(id, nullptr, nullptr, cascadeForConstructor(), style, title)
{
}

IFrameWindow::IFrameWindow(const IResourceId& id, IWindow* parent, IWindow* owner,
                           FrameSource source)
    : fFrameData(new IFrameWindowData)
{
    try {
        tryToLoadDialog(id, parent, owner, source);
    } catch (...) {
        detachHandlers();
        delete fFrameData;
        throw;
    }
}

IFrameWindow::IFrameWindow(const IResourceId& id, IWindow* owner, FrameSource source)
    : IFrameWindow(id, nullptr, owner, source)
{
}

IFrameWindow::IFrameWindow(unsigned long id, FrameSource source)
    : IFrameWindow(IResourceId(id, IApplication::current().userResourceLibrary()), nullptr,
                   nullptr, source)
{
}

IFrameWindow::IFrameWindow(const IWindowHandle& handle) : IWindow(handle), fFrameData(new IFrameWindowData)
{
    setDestroyOnDelete(false);
    try {
        attachHandlers();
    } catch (...) {
        detachHandlers();
        delete fFrameData;
        throw;
    }
}

IFrameWindow::~IFrameWindow()
{
    detachHandlers();
    try {
        if (fFrameData->flashTimer)
            endFlashing();
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
    if (const HWND handle = IWindowCore::rawHandle(*this); handle && IsWindow(handle)) {
        RemovePropA(handle, kMenuBarProperty);
        // The window, and with it its menu bar, goes once the object has, with no message the
        // frame's handlers could still see: the sub-menus of the library's own taken off the
        // menu bar go now.
        if (isDestroyOnDelete())
            imenu::holderGoing(GetMenu(handle));
    }
    delete fFrameData;
}

IFrameWindow::Style IFrameWindow::defaultStyle()
{
    return ovk_app::ClassDefault<_classDefaultStyle>::current();
}

void IFrameWindow::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<_classDefaultStyle>::replace(style);
}

IWindow::SiblingOrder IFrameWindow::defaultOrdering()
{
    return gDefaultOrdering.load();
}

void IFrameWindow::setDefaultOrdering(SiblingOrder order)
{
    gDefaultOrdering = order;
}

// ---------------------------------------------------------------------------------------------
// Creation by style

IFrameWindow& IFrameWindow::initialize(const IResourceId& id, IWindow* parent, IWindow* owner,
                                       const IRectangle& initial, const Style& style,
                                       const char* title)
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    if (style.asExtendedUnsignedLong() & _deferCreation.asExtendedUnsignedLong())
        return *this;
    unsigned long nativeStyle = convertToGUIStyle(style, false);
    const HWND desktop = desktopHandle();
    const HWND parentHandle = parent ? handleOf(parent) : desktop;
    const HWND ownerHandle = handleOf(owner);
    const unsigned short atom = registerFrameClass(style, id);
    const unsigned long nativeExtended = convertToGUIStyle(style, true);
    const HINSTANCE module = static_cast<HINSTANCE>(id.resourceLibrary().handle().asValue());

    if (parentHandle == desktop)
        nativeStyle &= ~static_cast<unsigned long>(WS_CHILD);
    else
        nativeStyle |= WS_CHILD;
    if (newShellRoad() && (nativeStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
        nativeStyle |= WS_SYSMENU;
    if (nativeStyle & WS_SYSMENU)
        nativeStyle |= WS_CAPTION;

    IString text;
    const bool hasTitleBar = (style.asUnsignedLong() & WS_CAPTION) == WS_CAPTION;
    if (!hasTitleBar || title) {
        text = title ? title : "";
        const unsigned long decorations = WS_CAPTION | WS_CHILD | WS_SYSMENU | WS_MINIMIZEBOX |
                                          WS_MAXIMIZEBOX;
        if (!hasTitleBar && !(nativeStyle & decorations))
            nativeStyle |= WS_POPUP;
    } else {
        text = defaultTitle(id, parentHandle == desktop ? nullptr : parent, owner);
    }

    const IRectangle rectangle =
        (style.asExtendedUnsignedLong() & _cascadePosition.asExtendedUnsignedLong())
            ? nextCascadeRect()
            : initial;
    create(id.id(), text, nativeStyle & ~static_cast<unsigned long>(WS_VISIBLE),
           reinterpret_cast<const char*>(static_cast<std::uintptr_t>(atom)), parentHandle,
           ownerHandle, rectangle, module, nullptr, defaultOrdering(), nativeExtended);

    disableSystemMenuItems(nativeStyle, nativeExtended);
    fFrameData->set(IFrameWindowData::layoutPending);
    if (nativeStyle & WS_MINIMIZE)
        minimize();
    else if (nativeStyle & WS_MAXIMIZE)
        maximize();
    if (nativeStyle & WS_VISIBLE)
        show();
    return *this;
}

// The title a frame with a title bar gets when none is given: its string resource, else the
// title of the frame that its owner or parent serves, else the program's file name.
IString IFrameWindow::defaultTitle(const IResourceId& id, IWindow* parent, IWindow* owner) const
{
    IString text = id.resourceLibrary().tryToLoadString(id.id());
    for (IWindow* relative : {owner, parent}) {
        if (text.length() != 0 || !relative)
            continue;
        const HWND frame = reinterpret_cast<HWND>(
            SendMessageA(handleOf(relative), IPrivateMessage::windowQuery,
                         IPrivateMessage::queryFrame, 0));
        char buffer[256] = {};
        if (frame && GetWindowTextA(frame, buffer, sizeof buffer) > 0)
            text = buffer;
    }
    if (text.length() == 0) {
        char path[81] = {};
        GetModuleFileNameA(nullptr, path, sizeof path);
        text = path;
    }
    return text;
}

// A frame's system menu offers only what its style allows.
void IFrameWindow::disableSystemMenuItems(unsigned long nativeStyle, unsigned long nativeExtended)
{
    if (!(nativeStyle & WS_SYSMENU))
        return;
    const bool minimizeBox = nativeStyle & WS_MINIMIZEBOX;
    const bool maximizeBox = nativeStyle & WS_MAXIMIZEBOX;
    if (minimizeBox && maximizeBox)
        return;
    ISystemMenu menu(this);
    if (!minimizeBox)
        menu.disableItem(ISystemMenu::idMinimize);
    if (!maximizeBox)
        menu.disableItem(ISystemMenu::idMaximize);
    if ((nativeExtended & WS_EX_DLGMODALFRAME) && !minimizeBox && !maximizeBox)
        menu.disableItem(ISystemMenu::idRestore);
}

unsigned short IFrameWindow::registerFrameClass(const Style& style, const IResourceId& id)
{
    static constexpr char function[] =
        "IFrameWindow::registerFrameClass(const IFrameWindow::Style&,const IResourceId&)";
    WNDCLASSA dialogClass{};
    if (!GetClassInfoA(nullptr, MAKEINTATOM(32770), &dialogClass))
        systemError("GetClassInfo", function);
    WNDCLASSA frameClass = dialogClass;
    const unsigned long extended = style.asExtendedUnsignedLong();
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(
        (extended & _dialogBackground.asExtendedUnsignedLong() ? COLOR_BTNFACE : COLOR_APPWORKSPACE) +
        1));
    // The dialog class's own layout (message result, dialog procedure, user word) and the
    // pointer-wide slot where the frame keeps its original default push button.
    frameClass.cbWndExtra = std::max<int>(
        DLGWINDOWEXTRA, static_cast<int>(ICanvasStatics::origDefaultButtonSlot + sizeof(LONG_PTR)));
    frameClass.cbWndExtra = std::max(frameClass.cbWndExtra, dialogClass.cbWndExtra);
    frameClass.cbClsExtra = 0;
    frameClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    if (!(extended & _noByteAlignment.asExtendedUnsignedLong()))
        frameClass.style |= CS_BYTEALIGNWINDOW;
    frameClass.hIcon = nullptr;
    if (extended & _classIcon.asExtendedUnsignedLong()) {
        const HINSTANCE module = static_cast<HINSTANCE>(id.resourceLibrary().handle().asValue());
        frameClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(id.id()));
        if (!frameClass.hIcon)
            systemError("LoadIcon", function);
    }
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszMenuName = nullptr;
    frameClass.lpfnWndProc = DefWindowProcA;
    for (;;) {
        const IString name = IString(kClassPrefix) + IString(gClassCounter.fetch_add(1));
        frameClass.lpszClassName = name;
        if (const ATOM atom = RegisterClassA(&frameClass))
            return atom;
        const DWORD error = GetLastError();
        // Another module holds the name: the next number is tried.
        if (error != ERROR_CLASS_ALREADY_EXISTS)
            systemError("RegisterClass", function, error);
    }
}

IRectangle IFrameWindow::nextCascadeRect()
{
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    RECT& next = gCascade.next;
    if (!gCascade.started) {
        gCascade.started = true;
        next = RECT{0, 0, (desktop.right - desktop.left) * 2 / 3, (desktop.bottom - desktop.top) * 2 / 3};
    }
    OffsetRect(&next, 25, 25);
    if (next.right > desktop.right || next.bottom > desktop.bottom)
        OffsetRect(&next, 25 - next.left, 25 - next.top);
    return IRectangle(next.left, next.top, next.right, next.bottom);
}

// ---------------------------------------------------------------------------------------------
// Creation of the native window

IWindowHandle IFrameWindow::create(unsigned long id, const char* text, unsigned long style,
                                   const char* windowClass, const IWindowHandle& parent,
                                   const IWindowHandle& owner, const IRectangle& initRect,
                                   const void* controlData, const void*, SiblingOrder order,
                                   unsigned long extendedStyle)
{
    static constexpr char function[] =
        "IFrameWindow::create(unsigned long,const char*,unsigned long,const char*,const "
        "IWindowHandle&,const IWindowHandle&,const IRectangle&,const void*,const void*,"
        "IWindow::SiblingOrder,unsigned long)";
    prepareQueue();
    // The resource module comes as the control data.
    const HINSTANCE module = controlData ? static_cast<HINSTANCE>(const_cast<void*>(controlData))
                                         : GetModuleHandleA(nullptr);
    const bool withMenu =
        !(style & WS_CHILD) && (this->extendedStyle() & _menuBar.asExtendedUnsignedLong());
    // The menu is the frame's once the window has it; a window that fails to come leaves it to
    // the scope.
    ovk_native::Menu loaded(withMenu ? loadFrameMenu(module, id) : nullptr);
    if (withMenu && !loaded.get())
        systemError("LoadMenu", function);
    const IWindowHandle handle = IWindow::create(id, text, style, windowClass, parent, owner,
                                                 initRect, controlData, nullptr, order,
                                                 extendedStyle);
    const HWND window = handle;
    const HMENU menu = loaded.release();
    if (menu)
        SetMenu(window, menu);
    fFrameData->set(IFrameWindowData::libraryCreated);
    fFrameData->set(IFrameWindowData::templateControls, false);
    // A top-level frame's identifier lives where the core keeps every top-level identifier;
    // the window words at the dialog procedure's offset are the procedure's alone.
    if (!(style & WS_CHILD))
        IWindowCore::setWindowId(window, id);
    SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&frameDialogProcedure));
    if (this->extendedStyle() & _accelerator.asExtendedUnsignedLong()) {
        if (HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(id)))
            setAcceleratorHandle(IAccelTblHandle(table));
    }
    startHandlingEventsFor(handle);
    attachHandlers();
    SetPropA(window, kMenuBarProperty, this);
    if (menu && !newShellRoad())
        IHelpStatics::recordSubmenuIds(fFrameData->menuLists, module, id, IMenuHandle(menu));
    return handle;
}

// ---------------------------------------------------------------------------------------------
// Creation from a dialog template

IFrameWindow& IFrameWindow::tryToLoadDialog(const IResourceId& id, IWindow* parent,
                                            IWindow* owner, FrameSource source)
{
    static constexpr char function[] =
        "IFrameWindow::tryToLoadDialog(const IResourceId&,IWindow*,IWindow*,"
        "IFrameWindow::FrameSource)";
    if (source != dialogResource && source != noDialogResource && source != tryDialogResource)
        IThrow::message(OVK_MSG_INVALID_VALUE, IEXCEPTION_LOCATION(kFile, function));
    const HWND desktop = desktopHandle();
    const HWND parentHandle = parent ? handleOf(parent) : desktop;
    const HWND ownerHandle = handleOf(owner);
    prepareQueue();
    // Template frames need the thunk library; a missing module fails the frame.
    thunkLibrary();

    HWND dialog = nullptr;
    DWORD error = 0;
    if (source != noDialogResource) {
        const HINSTANCE module = static_cast<HINSTANCE>(id.resourceLibrary().handle().asValue());
        SetLastError(0);
        dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(id.id()), ownerHandle,
                                    &frameDialogProcedure, 0);
        error = GetLastError();
    }
    if (dialog) {
        fFrameData->set(IFrameWindowData::templateControls | IFrameWindowData::layoutPending);
        fFrameData->set(IFrameWindowData::libraryCreated, false);
        if (parentHandle != ownerHandle && parentHandle != desktop)
            SetParent(dialog, parentHandle);
        // A dialog made from a template is this object's to destroy.
        startHandlingEventsFor(IWindowHandle(dialog));
        setDestroyOnDelete();
        if (id.id() != 0)
            IWindowCore::setWindowId(dialog, id.id());
        attachHandlers();
        SetPropA(dialog, kMenuBarProperty, this);
        return *this;
    }
    const bool missingResource = error == ERROR_RESOURCE_DATA_NOT_FOUND ||
                                 error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
                                 error == ERROR_RESOURCE_NAME_NOT_FOUND ||
                                 (error == ERROR_INVALID_PARAMETER && IPlatform::isPlatformVariant());
    const bool fallBack = source == noDialogResource ||
                          (source == tryDialogResource &&
                           (missingResource || IPlatform::hasConsumerNewShell()));
    if (!fallBack)
        systemError("ILOADDLG", function, error);
    return initialize(id, parent, owner, cascadeForConstructor(), defaultStyle(), nullptr);
}

// Push buttons without a window object click as commands of the frame.
#if defined(_WIN64)
long long __stdcall IFrameWindow::frameDialogProcedure(HWND dialog, unsigned int message,
                                                       unsigned long long wParam, long long lParam)
#else
int __stdcall IFrameWindow::frameDialogProcedure(HWND dialog, unsigned int message,
                                                 unsigned int wParam, long lParam)
#endif
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND || lParam == 0 || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    const HWND control = reinterpret_cast<HWND>(lParam);
    const LONG_PTR kind = GetWindowLongPtrA(control, GWL_STYLE) & 0xF;
    if ((kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) &&
        !IWindow::windowWithHandle(IWindowHandle(control), true))
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 2), 0);
    return FALSE;
}

// ---------------------------------------------------------------------------------------------
// Handlers

// The frame handler comes last, so that it sees the frame's messages before the others.
void IFrameWindow::attachHandlers()
{
    IRecoordHandler::defaultHandler().handleEventsFor(this);
    // The keyboard handler takes canvases by type; a frame attaches it through the base.
    ICVKeyboardHandler& keys = ICanvasStatics::keyboardHandler();
    keys.IHandler::handleEventsFor(this);
    IFrameHandler::defaultHandler().handleEventsFor(this);
    fFrameData->set(IFrameWindowData::handlerAttached);
    if (!fFrameData->has(IFrameWindowData::templateControls | IFrameWindowData::libraryCreated))
        fFrameData->set(clientHandle() ? IFrameWindowData::libraryCreated
                                       : IFrameWindowData::templateControls);
}

void IFrameWindow::detachHandlers() noexcept
{
    if (!IWindowCore::rawHandle(*this))
        return;
    try {
        if (fFrameData->has(IFrameWindowData::handlerAttached)) {
            fFrameData->set(IFrameWindowData::handlerAttached, false);
            IFrameHandler::defaultHandler().stopHandlingEventsFor(this);
        }
        ICVKeyboardHandler& keys = ICanvasStatics::keyboardHandler();
        keys.IHandler::stopHandlingEventsFor(this);
        IRecoordHandler::defaultHandler().stopHandlingEventsFor(this);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    }
}
