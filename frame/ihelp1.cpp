// The help window: construction, the association with a frame, destruction and the context
// help of the frame's windows.
#include <windows.h>

#include <hvxapi.h>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <iapp.hpp>
#include <iprivmsg.hpp>

#include "detail/ihelpdat.hpp"
#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "ihelpwin.hpp"
#include "imenu.hpp"
#include "isubmenu.hpp"

namespace {

constexpr char kFile[] = "ihelp1";
// The frame's request for item help, answered by its help handler: parameter 1 says what
// asks, parameter 2 holds the control and frame identifiers.
constexpr unsigned long kItemHelpRequest = 0xFFCC;
constexpr unsigned short kWindowItem = 0xFFFF;
constexpr unsigned short kMenuItem = 0xFFFD;
constexpr unsigned short kNoPanel = 0xFFFF;

} // namespace

constexpr IHelpWindow::Style IHelpWindow::viewerMode(0x1, 0);
constexpr IHelpWindow::Style IHelpWindow::noStyle(0, 0);
constexpr IHelpWindow::Style IHelpWindow::classDefaultStyle(0, 0);

IHelpWindow::Style IHelpWindow::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IHelpWindow::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

// ---------------------------------------------------------------------------------------------
// Settings

IHelpWindow::Settings& IHelpWindow::Settings::setTitle(const char* title)
{
    fTitle = title;
    return *this;
}

// Loaded at once, as the help window's own title setter loads it: a missing string fails here,
// where the application names it, not later in the constructor.
IHelpWindow::Settings& IHelpWindow::Settings::setTitle(const IResourceId& title)
{
    fTitle = title.resourceLibrary().loadString(title.id());
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setMenuText(const char* text)
{
    fMenuText = text;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setLibraries(const char* names)
{
    fLibraries = names;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setResourceLibrary(const char* name)
{
    fResourceLibrary = name;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setHelpTableModule(const char* name)
{
    fHelpTableModule = name;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setHelpForHelpPanel(unsigned long panel)
{
    fHelpForHelpPanel = panel;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setHelpTableId(unsigned long id)
{
    fHelpTableId = id;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setViewerValue3(unsigned long value)
{
    fValue3 = value;
    return *this;
}

IHelpWindow::Settings& IHelpWindow::Settings::setViewerValue4(unsigned long value)
{
    fValue4 = value;
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Construction

IHelpWindow::IHelpWindow(IFrameWindow* frame, const Style& style)
    : fHelpWindowData(new IHelpWindowData)
{
    HVXINIT init{};
    try {
        construct(frame, style, &init);
    } catch (...) {
        delete fHelpWindowData;
        throw;
    }
}

IHelpWindow::IHelpWindow(const IResourceId& helpTable, IFrameWindow* frame, const Style& style)
    : fHelpWindowData(new IHelpWindowData)
{
    try {
        if (!frame)
            IThrow::argument("associatedWindow!=0",
                             IEXCEPTION_LOCATION(kFile, "IHelpWindow::IHelpWindow(const "
                                                        "IResourceId&,IFrameWindow*,const "
                                                        "IHelpWindow::Style&)"));
        HVXINIT init{};
        construct(frame, style, &init);
        if (helpTable.id() != 0)
            fHelpWindowData->helpTable.reset(new IHelpTable(helpTable));
    } catch (...) {
        delete fHelpWindowData;
        throw;
    }
}

IHelpWindow::IHelpWindow(const Settings& settings, IFrameWindow* frame, const Style& style)
    : fHelpWindowData(new IHelpWindowData)
{
    try {
        IHelpWindowData& data = *fHelpWindowData;
        if (settings.resourceLibrary().length() != 0) {
            data.ownedLibrary.reset(new IDynamicLinkLibrary(settings.resourceLibrary()));
            data.resourceLibrary = data.ownedLibrary.get();
        }
        if (settings.helpTableModule().length() != 0)
            data.helpTableLibrary.reset(new IDynamicLinkLibrary(settings.helpTableModule()));
        data.libraries = settings.libraries();
        const IString title = settings.title();
        HVXINIT init{};
        init.tableModule = data.helpTableLibrary
                               ? static_cast<HMODULE>(data.helpTableLibrary->handle().asValue())
                               : nullptr;
        init.option4 = settings.viewerValue4();
        init.option3 = settings.viewerValue3();
        init.title = title;
        init.libraries = data.libraries;
        construct(frame, style, &init);
        if (settings.helpForHelpPanel() != 0)
            setHelpForHelpPanel(settings.helpForHelpPanel());
        if (settings.helpTableId() != 0)
            data.helpTable.reset(new IHelpTable(
                IResourceId(settings.helpTableId(), *data.resourceLibrary)));
    } catch (...) {
        delete fHelpWindowData;
        throw;
    }
}

IHelpWindow::IHelpWindow(const IWindowHandle& instance) : fHelpWindowData(new IHelpWindowData)
{
    IHelpWindowData& data = *fHelpWindowData;
    if (!instance) {
        delete fHelpWindowData;
        IThrow::argument("helpWindowHandle!=0",
                         IEXCEPTION_LOCATION(kFile, "IHelpWindow::IHelpWindow(const IWindowHandle&)"));
    }
    data.instance = instance;
    data.viewer = 1;
    data.resourceLibrary = &IApplication::current().userResourceLibrary();
    data.winHelpHandler.reset(new IHelpWindowHandler(*this));
}

void IHelpWindow::construct(IFrameWindow* frame, const Style& style, void* initialisation)
{
    IHelpWindowData& data = *fHelpWindowData;
    if (!data.resourceLibrary)
        data.resourceLibrary = &IApplication::current().userResourceLibrary();
    if ((style & viewerMode).asUnsignedLong() || (style & viewerMode).asExtendedUnsignedLong()) {
        data.viewer = 1;
        data.instance = IHelpStatics::createHelpInstance(objectWindow()->handle(), initialisation);
        if (!data.instance)
            IThrow::systemError("XhCreateHelpInstance", 0,
                                IEXCEPTION_LOCATION(kFile, "IHelpWindow::IHelpWindow"));
    }
    data.winHelpHandler.reset(new IHelpWindowHandler(*this));
    if (frame)
        setAssociatedWindow(frame);
    if (IPlatform::isPlatformVariant())
        IHelpStatics::installHooks();
}

IHelpWindow::~IHelpWindow()
{
    IHelpWindowData& data = *fHelpWindowData;
    try {
        if (!data.viewer) {
            if (!isBeingDestroyed())
                systemHelp(HELP_QUIT, 0);
        } else if (data.instance && !isBeingDestroyed() && !IPlatform::isPlatformVariant()) {
            IHelpStatics::destroyHelpInstance(data.instance);
        }
    } catch (const IException&) {
        // The viewer went away first; there is nothing left to close.
    }
    // The window part outlives the data, so it must not keep the handler that goes with it.
    if (data.notifyHandler)
        setNotificationHandler(nullptr);
    delete fHelpWindowData;
}

IHelpWindow& IHelpWindow::setAssociatedWindow(IFrameWindow* frame)
{
    static constexpr char function[] = "IHelpWindow::setAssociatedWindow(IFrameWindow*)";
    if (!frame)
        IThrow::argument("associatedWindow != 0", IEXCEPTION_LOCATION(kFile, function));
    if (!fHelpWindowData->winHelpHandler)
        IThrow::argument("fHelpWindowData->winHelpHandler != 0", IEXCEPTION_LOCATION(kFile, function));
    fHelpWindowData->winHelpHandler->handleEventsFor(frame);
    return *this;
}

IHelpWindow* IHelpWindow::helpWindow(const IWindow* window)
{
    if (!window)
        return nullptr;
    IWindow* frame = IHelpStatics::frameWindowFor(window->handle());
    if (!frame)
        return nullptr;
    return static_cast<IHelpWindow*>(
        frame->sendEvent(IPrivateMessage::helpWindowQuery).asPointer());
}

// ---------------------------------------------------------------------------------------------
// The handler on the associated frame

IBase::Boolean IHelpWindowHandler::dispatchHandlerEvent(IEvent& event)
{
    IHelpWindowData& data = *fHelp.fHelpWindowData;
    switch (event.eventId()) {
    case IPrivateMessage::helpWindowQuery:
        event.setResult(IEventData(static_cast<void*>(&fHelp)));
        return true;
    case WM_HELP:
        return contextHelp(event);
    case WM_SHOWWINDOW:
        if (event.parameter1().asUnsignedLong() != 0)
            return false;
        [[fallthrough]];
    case WM_DESTROY:
        if (data.lastActiveWindow && static_cast<HWND>(event.handle()) == data.lastActiveWindow)
            fHelp.hide();
        return false;
    default:
        return false;
    }
}

namespace {

unsigned long windowHelpId(HWND window)
{
    if (!IPlatform::isPlatformVariant())
        return GetWindowContextHelpId(window);
    IWindow* object = IWindow::windowWithHandle(IWindowHandle(window), true);
    return object ? object->helpId() : 0;
}

// The first help id along the window, its parents and owners.
unsigned long inheritedHelpId(HWND window)
{
    unsigned long panel = 0;
    while (window && panel == 0) {
        panel = windowHelpId(window);
        HWND next = GetParent(window);
        if (!next || next == GetDesktopWindow())
            next = GetWindow(window, GW_OWNER);
        window = next;
    }
    return panel;
}

// The identifier the menus know an item by. A pop-up item made with the classic calls carries
// its sub-menu's handle where an identifier would be, and the menu object of that sub-menu
// answers the identifier the application gave it.
unsigned long menuItemId(HANDLE menu, unsigned long control)
{
    const HMENU holder = static_cast<HMENU>(menu);
    const int count = holder && IsMenu(holder) ? GetMenuItemCount(holder) : 0;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(holder, static_cast<UINT>(position), TRUE, &item) ||
            item.wID != control || !item.hSubMenu)
            continue;
        const unsigned long id = ISubmenu(IMenuHandle(item.hSubMenu)).id();
        if (id != 0 && id != static_cast<unsigned long>(-1))
            return id;
    }
    return control & 0xFFFF;
}

} // namespace

IBase::Boolean IHelpWindowHandler::contextHelp(IEvent& event)
{
    IHelpWindowData& data = *fHelp.fHelpWindowData;
    const HELPINFO* info = static_cast<const HELPINFO*>(event.parameter2().asPointer());
    if (!info)
        return false;
    const bool menuItem = info->iContextType == HELPINFO_MENUITEM;
    const unsigned long control = static_cast<unsigned long>(info->iCtrlId) & 0xFFFF;
    HWND window = event.handle();
    unsigned long panel = info->dwContextId;
    if (panel == 0) {
        // A menu item's panel is its identifier; a window's the first help id up its line.
        panel = menuItem ? menuItemId(info->hItemHandle, static_cast<unsigned long>(info->iCtrlId))
                         : inheritedHelpId(static_cast<HWND>(info->hItemHandle));
    }
    IWindow* frame = IHelpStatics::frameWindowFor(IWindowHandle(window),
                                                  IWindowHandle(data.activeWindow));
    if (!frame)
        return false;
    const unsigned short frameId = static_cast<unsigned short>(frame->id());
    if (panel == 0 && data.helpTable)
        panel = data.helpTable->panel(frameId, static_cast<unsigned short>(control));
    if (panel == 0 || panel == kNoPanel) {
        const IEventData asked = frame->sendEvent(
            kItemHelpRequest, IEventParameter1(menuItem ? kMenuItem : kWindowItem),
            IEventParameter2(static_cast<std::uint16_t>(frameId),
                             static_cast<std::uint16_t>(control)));
        if (asked.asUnsignedLong() != 0) {
            event.setResult(1);
            return true;
        }
        panel = data.helpTable ? data.helpTable->extendedPanel(frameId) : 0;
        if (panel == 0) {
            event.setResult(1);
            return true;
        }
    }
    if (data.viewer)
        IHelpStatics::sendHelpCommand(data.instance, 0x622, panel, 0);
    else
        fHelp.systemHelp(HELP_CONTEXT, panel);
    data.lastActiveWindow = frame->handle();
    event.setResult(1);
    return true;
}
