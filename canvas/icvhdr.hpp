// The handlers that every canvas shares: ICanvasHandler (background, layout requests, a few
// queries) and ICVKeyboardHandler (dialog-style keyboard navigation), with ICanvasStatics, the
// helpers that canvases and frame windows share.
#pragma once

#include <idefs.hpp>
#include <ihandle.hpp>
#include <ihandler.hpp>
#include <ikeyevt.hpp>

class ICanvas;
class IMouseClickEvent;
class IMousePointerEvent;
class IWindow;

// One instance serves all canvases; it attaches to canvases only.
class OVKWIN_API ICanvasHandler : public IHandler {
public:
    ICanvasHandler() noexcept = default;
    ~ICanvasHandler() override;

    // Always the invalid-request error: the typed overloads are the way in.
    ICanvasHandler& handleEventsFor(IWindow* window) override;
    ICanvasHandler& stopHandlingEventsFor(IWindow* window) override;
    virtual ICanvasHandler& handleEventsFor(ICanvas* canvas);
    virtual ICanvasHandler& stopHandlingEventsFor(ICanvas* canvas);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // The private layout request: lays the canvas out when a layout is due.
    virtual IBase::Boolean layoutRequest(IEvent& event);

private:
    IBase::Boolean redrawSwitch(ICanvas& canvas, IEvent& event);
    // Lays out first when a layout is due.
    IBase::Boolean paint(ICanvas& canvas, IEvent& event);
    IBase::Boolean shown(ICanvas& canvas, IEvent& event);
    IBase::Boolean layoutDue(ICanvas& canvas, IEvent& event);
    IBase::Boolean pointerRequest(IMousePointerEvent& event);
    IBase::Boolean windowAnswer(IEvent& event);
    IBase::Boolean keysWanted(IEvent& event);
    IBase::Boolean pressed(IMouseClickEvent& event);
};

// Tab and Shift+Tab move between tab stops, arrows within a group, Enter presses the default
// push button, whose command goes to that button's owner, Esc posts the command IDCANCEL to the
// frame itself, wherever its Cancel button is, and a mnemonic character activates its control.
// With the frame as the owner of OK and Cancel, both keys' commands reach the frame's handlers.
// One process-wide instance serves every canvas and frame window of every thread; it keeps no
// state of its own.
class OVKWIN_API ICVKeyboardHandler : public IHandler {
public:
    // How the focus reaches or leaves a control (buttonSetup).
    enum State { mnemonic = 0, cursorMovement = 1, losingFocus = 2 };
    // The walks of findControl.
    enum Direction {
        firstTabStop = 0, lastTabStop = 1, nextTabStop = 2, previousTabStop = 3,
        firstGroupItem = 4, lastGroupItem = 5, nextGroupItem = 6, previousGroupItem = 7
    };

    ICVKeyboardHandler() noexcept = default;
    ~ICVKeyboardHandler() override;

    ICVKeyboardHandler& handleEventsFor(IWindow* window) override;
    ICVKeyboardHandler& stopHandlingEventsFor(IWindow* window) override;
    virtual ICVKeyboardHandler& handleEventsFor(ICanvas* canvas);
    virtual ICVKeyboardHandler& stopHandlingEventsFor(ICanvas* canvas);

    // Makes the default push button follow the focus: a push button that gets the focus
    // becomes the default, and the frame's original default button is the default again
    // when the focus goes to anything else.
    static void buttonSetup(const IWindow* canvas, const IWindowHandle& control, State state);
    // The control that the walk from `from` (or its ancestor among the container's children)
    // reaches; 0 when none.
    static IWindowHandle findControl(const IWindowHandle& container, const IWindowHandle& from,
                                     Direction direction);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean key(IKeyboardEvent& event);

private:
    IBase::Boolean focusGained(IEvent& event);
    IBase::Boolean placeFocusNow(IEvent& event);
    static IBase::Boolean mnemonicKey(IWindow& window, IKeyboardEvent& event, char character);
    static IBase::Boolean enterKey(IWindow& window);
    static IBase::Boolean handleCursorMovement(IWindow& window, IKeyboardEvent& event);
    static void placeFocus(IWindow& window);
};

class OVKWIN_API ICanvasStatics {
public:
    static ICVKeyboardHandler& keyboardHandler();
    static ICanvasHandler& canvasHandler();

    // The window's original default push button while it is still one; else the first child
    // that is a default push button; else the first default push button of the children's
    // own (nested canvases); else 0.
    static IWindowHandle defaultPushButtonHandle(const IWindow* window);
    // The default push button that the frame serving the window started with; 0 when the
    // window is in no frame or the frame has not recorded one.
    static IWindowHandle origDefaultButtonHandle(const IWindowHandle& window);
    // Records the frame's original default push button; false when the window is not a
    // library frame window.
    static IBase::Boolean setOrigDefaultButtonHandle(const IWindowHandle& frame,
                                                     const IWindowHandle& button);
    // The extra window bytes that the dialog manager reserves for itself at the start of a
    // dialog's: 30 on 32-bit, 48 on 64-bit (some headers give 30 for both).
    static constexpr int dialogWindowExtra = sizeof(void*) == 8 ? 48 : 30;
    // The frame window class keeps its original default push button in this pointer-wide
    // slot of its extra window bytes, past the dialog manager's. A window of another class,
    // or whose class has no room for the slot, keeps none.
    static constexpr int origDefaultButtonSlot = sizeof(void*) == 8 ? 48 : 40;
    // True for a window of the library's frame window class ("OVK Frame" and a number).
    static IBase::Boolean isLibraryFrame(const IWindowHandle& window);
    // The first child (then nested canvases' children) that answers the mnemonic query for
    // the character and is no static text; its handle, or 0.
    static IWindowHandle matchForMnemonic(const IWindow* window, unsigned short character);
};
