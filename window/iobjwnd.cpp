// The object window and its close handler.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "iassert.hpp"
#include "iobjwnd.hpp"
#include "ithread.hpp"

namespace {

constexpr const char* kClassName = "OVKWC_OBJECT";

void registerClassOnce()
{
    HINSTANCE program = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(program, kClassName, &existing))
        return;
    WNDCLASSA windowClass{};
    windowClass.style = CS_NOCLOSE;
    // The library subclasses the window as soon as it exists.
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = program;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.lpszClassName = kClassName;
    // Two threads may register at once: the loser finds the class there.
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        IThrow::systemError("WinRegisterClass", GetLastError(),
                            IEXCEPTION_LOCATION("iobjwin", "IObjectWindow::IObjectWindow()"));
    }
}

HWND createNativeWindow()
{
    HWND handle = CreateWindowExA(0, kClassName, nullptr, 0, 0, 0, 0, 0, GetDesktopWindow(),
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!handle) {
        IThrow::systemError("CreateWindowEx", GetLastError(),
                            IEXCEPTION_LOCATION("iobjwin", "IObjectWindow::IObjectWindow()"));
    }
    return handle;
}

[[noreturn]] void refused(const char* function)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED, IEXCEPTION_LOCATION("iobjwin", function));
}

} // namespace

IObjectWindow::IObjectWindow()
{
    IThread::current().initializeGUI(30);
    const HWND focus = GetFocus();
    registerClassOnce();
    const HWND handle = createNativeWindow();
    try {
        startHandlingEventsFor(handle);
        IObjectWindowCloseHandler::defaultHandler().handleEventsFor(this);
    } catch (...) {
        // The base destroys only a window it has taken charge of.
        if (!isValid())
            DestroyWindow(handle);
        throw;
    }
    SetParent(handle, nullptr);
    if (focus && GetFocus() != focus)
        SetFocus(focus);
}

IObjectWindow::~IObjectWindow()
{
    try {
        IObjectWindowCloseHandler::defaultHandler().stopHandlingEventsFor(this);
    } catch (const IException& failure) {
        IAssertion::report(failure);
    } catch (...) {
    }
}

IObjectWindow& IObjectWindow::close()
{
    handle().postEvent(IObjectWindowCloseRequest);
    return *this;
}

IObjectWindowCloseHandler& IObjectWindowCloseHandler::defaultHandler()
{
    return ovk_app::sharedHandler<IObjectWindowCloseHandler>();
}

IObjectWindowCloseHandler& IObjectWindowCloseHandler::handleEventsFor(IObjectWindow* objectWindow)
{
    if (!objectWindow) {
        IThrow::argument("objectWindow != 0",
                         IEXCEPTION_LOCATION("iobjwin", "IObjectWindowCloseHandler::handleEventsFor("
                                                        "IObjectWindow*)"));
    }
    IHandler::handleEventsFor(objectWindow);
    return *this;
}

IObjectWindowCloseHandler&
IObjectWindowCloseHandler::stopHandlingEventsFor(IObjectWindow* objectWindow)
{
    if (!objectWindow) {
        IThrow::argument("objectWindow != 0",
                         IEXCEPTION_LOCATION("iobjwin", "IObjectWindowCloseHandler::"
                                                        "stopHandlingEventsFor(IObjectWindow*)"));
    }
    IHandler::stopHandlingEventsFor(objectWindow);
    return *this;
}

IHandler& IObjectWindowCloseHandler::handleEventsFor(IWindow*)
{
    refused("IObjectWindowCloseHandler::handleEventsFor(IWindow*)");
}

IHandler& IObjectWindowCloseHandler::stopHandlingEventsFor(IWindow*)
{
    refused("IObjectWindowCloseHandler::stopHandlingEventsFor(IWindow*)");
}

IBase::Boolean IObjectWindowCloseHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != IObjectWindowCloseRequest)
        return false;
    DestroyWindow(event.handle());
    return true;
}
