// A drag made as a hand makes it: real input through SendInput from a second thread while the
// test's thread pumps its messages (and so runs the drag loop that the press starts).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

namespace ovktest {

// One drag by hand, in screen coordinates. The hand moves the pointer to `from`, presses the
// button (with the modifier keys held first), moves to `to` in steps, lingers there for
// `lingerTicks` ticks of OLE's drag loop (50 ms each) with the pointer wiggling by a pixel so
// that every tick also sees mouse input, then releases the button and the keys.
struct HandPath {
    POINT from{0, 0};
    POINT to{0, 0};
    int steps = 8;
    int lingerTicks = 8;
    bool rightButton = false;
    bool control = false;
    bool shift = false;
    // Milliseconds between the press and the first step: time for the pressed window to start
    // its drag.
    unsigned long holdBeforeMoving = 100;
};

// Runs the hand on its own thread from construction; the thread that made it dispatches its
// messages meanwhile (ovktest::pumpUntil(hand.done), a modal loop, or a program's own message
// loop). The destructor stops a hand that is still on its path at its next pause, where it lets
// go of the button and the keys, and waits for it: a failing test leaves no button or key down
// and does not wait for the rest of the path.
class HandDrag {
public:
    // What the hand sees at each tick of its lingering, called on the hand's thread with the
    // pointer where it is: a test notes there what the user would see.
    using Sample = std::function<void(POINT pointer)>;

    explicit HandDrag(const HandPath& path, Sample sample = Sample());
    ~HandDrag();
    HandDrag(const HandDrag&) = delete;
    HandDrag& operator=(const HandDrag&) = delete;

    // Whether the hand has released the button and the keys.
    bool done() const;

    struct State;

private:
    std::unique_ptr<State> fState;
};

// Makes the drag and dispatches the calling thread's messages until the hand has let go, then
// for two more ticks of the drag loop, so that what the release started has been dispatched;
// answers whether the hand let go within the time.
bool dragByHand(const HandPath& path, HandDrag::Sample sample = HandDrag::Sample(),
                unsigned long timeoutMilliseconds = 10000);

// The screen point of a window's client point.
POINT onScreen(HWND window, int x, int y);

// Single strokes of the same hand, through the input queue of the window that has the focus (or
// that lies under the pointer): the test pumps its messages afterwards. A key is pressed and
// released, with Shift held around it when asked; a click moves the pointer there first.
void pressKeyByHand(WORD virtualKey, bool shift = false);
void pointByHand(POINT screen);
void clickByHand(POINT screen);

} // namespace ovktest
