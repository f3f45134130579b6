// The help window: the requests to the viewer or to the system help.
#include <windows.h>

#include <icoordsy.hpp>
#include <iexcept.hpp>

#include <iprivmsg.hpp>

#include "detail/ihelpdat.hpp"
#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "ihelpwin.hpp"

namespace {

constexpr char kFile[] = "ihelp0";

// The viewer's commands.
enum : unsigned short {
    hideCommand = 0x621,
    displayCommand = 0x622,
    activeWindowCommand = 0x624,
    titleCommand = 0x627,
    optionCommand = 0x628,
    helpForHelpCommand = 0x629,
    generalHelpCommand = 0x62A,
    indexCommand = 0x62B,
    librariesCommand = 0x62D,
    queryCommand = 0x63C,
};

// What the frame is asked when it has no panel, and for its keys help panel.
constexpr unsigned long kMissingPanel = 0x647;
constexpr unsigned long kKeysPanelRequest = 0x630;
// The viewer's own help-for-help panel, shown when the application gave none.
constexpr unsigned long kViewerHelpForHelp = 64027;
// What a failed display of the system help reports to the frame.
constexpr unsigned long kSystemHelpFailed = 1022;

// The viewer's window is top-level: the application places it on the desktop, in the
// application's orientation.
ISize desktopSize()
{
    RECT area{};
    GetClientRect(GetDesktopWindow(), &area);
    return ISize(area.right, area.bottom);
}

IRectangle viewerRect(HWND viewer)
{
    RECT bounds{};
    GetWindowRect(viewer, &bounds);
    return ICoordinateSystem::convertToApplication(
        IRectangle(bounds.left, bounds.top, bounds.right, bounds.bottom), desktopSize());
}

void placeViewer(HWND viewer, const IRectangle& rectangle, UINT flags)
{
    const IRectangle native = ICoordinateSystem::convertToNative(rectangle, desktopSize());
    SetWindowPos(viewer, nullptr, native.minX(), native.minY(), native.width(), native.height(),
                 flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The window operations

IWindow& IHelpWindow::enableNotification(IBase::Boolean enable)
{
    IHelpWindowData& data = *fHelpWindowData;
    if (!data.notifyHandler) {
        data.notifyHandler = std::make_unique<IWindowNotifyHandler>();
        setNotificationHandler(data.notifyHandler.get());
    }
    return IWindow::enableNotification(enable);
}

IWindow& IHelpWindow::moveTo(const IPoint& position)
{
    if (fHelpWindowData->viewer && fHelpWindowData->instance)
        placeViewer(fHelpWindowData->instance,
                    IRectangle(position, viewerRect(fHelpWindowData->instance).size()), SWP_NOSIZE);
    return *this;
}

// In the bottom-left orientation the window grows upwards from its lower left corner.
IWindow& IHelpWindow::sizeTo(const ISize& size)
{
    if (fHelpWindowData->viewer && fHelpWindowData->instance)
        placeViewer(fHelpWindowData->instance,
                    IRectangle(viewerRect(fHelpWindowData->instance).minimum(), size), 0);
    return *this;
}

IWindow& IHelpWindow::moveSizeTo(const IRectangle& rectangle)
{
    if (fHelpWindowData->viewer && fHelpWindowData->instance)
        placeViewer(fHelpWindowData->instance, rectangle, 0);
    return *this;
}

IWindowHandle IHelpWindow::handle() const
{
    if (fHelpWindowData->viewer)
        return IWindowHandle(fHelpWindowData->instance);
    return objectWindow()->handle();
}

IEventData IHelpWindow::sendEvent(unsigned long eventId, const IEventParameter1& parameter1,
                                  const IEventParameter2& parameter2) const
{
    if (!fHelpWindowData->viewer)
        return IEventData();
    return IHelpStatics::sendHelpCommand(fHelpWindowData->instance,
                                         static_cast<unsigned short>(eventId), parameter1,
                                         parameter2);
}

IEventData IHelpWindow::sendEvent(EventType type, const IEventParameter1& parameter1,
                                  const IEventParameter2& parameter2) const
{
    return IWindow::sendEvent(type, parameter1, parameter2);
}

IEventData IHelpWindow::sendEvent(const IEvent& event) const
{
    return IWindow::sendEvent(event);
}

IWindow& IHelpWindow::show(IBase::Boolean)
{
    return *this;
}

IWindow& IHelpWindow::hide()
{
    if (fHelpWindowData->viewer) {
        sendEvent(hideCommand);
    } else {
        HELPWININFOA position{};
        position.wStructSize = sizeof position;
        systemHelp(HELP_SETWINPOS, reinterpret_cast<std::uintptr_t>(&position));
    }
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Settings

IHelpWindow& IHelpWindow::setActiveWindow(IWindow* window, IWindow* relative)
{
    if (fHelpWindowData->viewer) {
        if (!window)
            sendEvent(activeWindowCommand, 0, 0);
        else
            sendEvent(activeWindowCommand,
                      IEventParameter1(static_cast<void*>((relative ? relative : window)->handle())),
                      0);
    }
    fHelpWindowData->activeWindow = window ? static_cast<HWND>(window->handle()) : nullptr;
    return *this;
}

IHelpWindow& IHelpWindow::addLibraries(const char* names)
{
    IHelpWindowData& data = *fHelpWindowData;
    if (!names || !*names) {
        data.libraries = IString();
        return *this;
    }
    if (data.viewer && data.libraries.length() != 0)
        data.libraries = data.libraries + " " + names;
    else
        data.libraries = names;
    if (data.viewer) {
        const IEventData answer =
            sendEvent(librariesCommand, IEventParameter1(static_cast<const void*>(
                                            static_cast<const char*>(data.libraries))),
                      0);
        if (answer.asLong() != 0)
            IThrow::message(static_cast<IException::ErrorId>(answer.asLong()),
                            IEXCEPTION_LOCATION(kFile, "IHelpWindow::addLibraries(const char*)"));
    }
    return *this;
}

IHelpWindow& IHelpWindow::setHelpTable(const IResourceId& table)
{
    fHelpWindowData->helpTable.reset();
    if (table.id() != 0)
        fHelpWindowData->helpTable.reset(new IHelpTable(table));
    return *this;
}

IHelpWindow& IHelpWindow::setHelpForHelpPanel(unsigned long panel)
{
    fHelpWindowData->helpForHelpPanel = static_cast<unsigned short>(panel);
    if (fHelpWindowData->viewer)
        sendEvent(helpForHelpCommand, IEventParameter1(panel & 0xFFFF), 0);
    return *this;
}

IHelpWindow& IHelpWindow::setTitle(const char* title)
{
    if (fHelpWindowData->viewer)
        sendEvent(titleCommand, IEventParameter1(static_cast<const void*>(title ? title : "")), 0);
    return *this;
}

IHelpWindow& IHelpWindow::setTitle(const IResourceId& title)
{
    const IString text = title.resourceLibrary().loadString(title.id());
    return setTitle(static_cast<const char*>(text));
}

IHelpWindow& IHelpWindow::disableViewerOption()
{
    return enableViewerOption(false);
}

IHelpWindow& IHelpWindow::enableViewerOption(IBase::Boolean enable)
{
    if (fHelpWindowData->viewer)
        sendEvent(optionCommand, IEventParameter1(enable ? 1 : 0), 0);
    return *this;
}

IBase::Boolean IHelpWindow::isViewerMode() const
{
    return fHelpWindowData->viewer != 0;
}

IString IHelpWindow::libraries() const
{
    return fHelpWindowData->libraries;
}

unsigned long IHelpWindow::viewerValue(unsigned long selector) const
{
    return static_cast<unsigned long>(sendEvent(queryCommand, IEventParameter1(selector), 0)
                                          .asUnsignedLong());
}

// ---------------------------------------------------------------------------------------------
// Showing help

// The system help is asked for the application's help files, through the object window.
bool IHelpWindow::systemHelp(unsigned int command, std::uintptr_t data) const
{
    const IString& files = fHelpWindowData->libraries;
    return WinHelpA(handle(), files.length() ? static_cast<const char*>(files) : nullptr, command,
                    static_cast<ULONG_PTR>(data)) != FALSE;
}

void IHelpWindow::rememberActiveWindow()
{
    if (fHelpWindowData->activeWindow)
        fHelpWindowData->lastActiveWindow = fHelpWindowData->activeWindow;
}

IHelpWindow& IHelpWindow::show(HelpType kind)
{
    rememberActiveWindow();
    const bool viewer = fHelpWindowData->viewer != 0;
    switch (kind) {
    case general:
        viewer ? void(sendEvent(generalHelpCommand)) : void(systemHelp(HELP_FINDER, 0));
        break;
    case contextual:
        contextualHelp();
        break;
    case index:
        viewer ? void(sendEvent(indexCommand)) : void(systemHelp(HELP_INDEX, 0));
        break;
    case keys:
        keysHelp();
        break;
    case helpForHelp: {
        const unsigned long panel = fHelpWindowData->helpForHelpPanel;
        if (viewer)
            sendEvent(displayCommand, IEventParameter1(panel ? panel : kViewerHelpForHelp), 0);
        else if (panel)
            systemHelp(HELP_CONTEXT, panel);
        else
            systemHelp(HELP_HELPONHELP, 0);
        break;
    }
    default:
        break;
    }
    return *this;
}

IHelpWindow& IHelpWindow::show(const IResourceId& panel)
{
    rememberActiveWindow();
    const unsigned long id = panel.id();
    if (fHelpWindowData->viewer)
        sendEvent(displayCommand, IEventParameter1(id), 0);
    else if (id != 0)
        systemHelp(HELP_CONTEXT, id);
    else
        systemHelp(HELP_HELPONHELP, 0);
    return *this;
}

IHelpWindow& IHelpWindow::showKeyword(const char* keyword)
{
    rememberActiveWindow();
    if (fHelpWindowData->viewer) {
        if (keyword)
            sendEvent(displayCommand, IEventParameter1(static_cast<const void*>(keyword)), 1);
        else
            sendEvent(displayCommand, 0, 0);
    } else {
        systemHelp(HELP_PARTIALKEY, reinterpret_cast<std::uintptr_t>(keyword ? keyword : ""));
    }
    return *this;
}

namespace {

IWindow* frameOfFocus(HWND preferred)
{
    return IHelpStatics::frameWindowFor(IWindowHandle(GetFocus()), IWindowHandle(preferred));
}

} // namespace

void IHelpWindow::contextualHelp()
{
    IWindow* frame = frameOfFocus(fHelpWindowData->activeWindow);
    if (!frame)
        return;
    const IHelpTable* table = fHelpWindowData->helpTable.get();
    const unsigned long panel =
        table ? table->extendedPanel(static_cast<unsigned short>(frame->id())) : frame->helpId();
    if (panel == 0 || panel == IHelpTable::noPanel) {
        frame->sendEvent(kMissingPanel, IEventParameter1(panel), 0);
        return;
    }
    displayForFrame(*frame, panel);
}

void IHelpWindow::keysHelp()
{
    IWindow* frame = frameOfFocus(fHelpWindowData->activeWindow);
    if (!frame)
        return;
    const unsigned long panel =
        static_cast<unsigned long>(frame->sendEvent(kKeysPanelRequest).asUnsignedLong());
    if (panel != 0)
        displayForFrame(*frame, panel);
}

void IHelpWindow::displayForFrame(IWindow& frame, unsigned long panel)
{
    unsigned long outcome;
    if (fHelpWindowData->viewer)
        outcome = static_cast<unsigned long>(
            sendEvent(displayCommand, IEventParameter1(panel), 0).asUnsignedLong());
    else
        outcome = systemHelp(HELP_CONTEXT, panel) ? 0 : kSystemHelpFailed;
    if (outcome != 0)
        frame.sendEvent(outcome, IEventParameter1(panel), 0);
}
