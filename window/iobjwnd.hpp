// The object window: a window that is never shown, through which a thread receives messages
// and events by window handle, and which another thread can close by a posted request.
#pragma once

#include <iwindow.hpp>
#include <ihandler.hpp>

#include "idefs.hpp"

class IObjectWindow;

// Posted to an object window to have it destroyed on its own thread; both parameters 0.
constexpr unsigned long IObjectWindowCloseRequest = 0xFFF2;

// A hidden top-level window of the class "OVKWC_OBJECT", made on the calling thread. Creating
// one never moves the keyboard focus.
class OVKWIN_API IObjectWindow : public IWindow {
public:
    IObjectWindow();
    ~IObjectWindow() override;

    // Posts the close request and returns at once; the window is destroyed when its thread's
    // message loop dispatches the request. Any thread may ask.
    IObjectWindow& close();
};

// Turns the close request into the destruction of the native window. One shared instance
// serves every object window; it serves nothing else.
class OVKWIN_API IObjectWindowCloseHandler : public IHandler {
public:
    // The shared instance, made on first use.
    static IObjectWindowCloseHandler& defaultHandler();

    // Null fails the argument check "objectWindow != 0".
    IObjectWindowCloseHandler& handleEventsFor(IObjectWindow* objectWindow);
    IObjectWindowCloseHandler& stopHandlingEventsFor(IObjectWindow* objectWindow);
    // Any other window: message 2, the handler serves object windows only.
    [[noreturn]] IHandler& handleEventsFor(IWindow* window) override;
    [[noreturn]] IHandler& stopHandlingEventsFor(IWindow* window) override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
};
