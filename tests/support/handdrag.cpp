// A drag made with real input from a second thread.
#include "handdrag.hpp"

#include <detail/icallgrd.hpp>

#include <atomic>
#include <chrono>
#include <thread>

namespace ovktest {

namespace {

// OLE's drag loop looks at the pointer and the buttons at every mouse message and at a timer of
// this period.
constexpr unsigned long kDragTick = 50;
constexpr unsigned long kStepPause = 30;

void pause(unsigned long milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen.
void moveTo(POINT point)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, width > 1 ? width - 1 : 1);
    input.mi.dy = MulDiv(point.y, 65535, height > 1 ? height - 1 : 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void button(bool right, bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                             : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    SendInput(1, &input, sizeof input);
}

void key(WORD virtualKey, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

POINT between(POINT from, POINT to, int step, int steps)
{
    return POINT{from.x + MulDiv(to.x - from.x, step, steps),
                 from.y + MulDiv(to.y - from.y, step, steps)};
}

} // namespace

struct HandDrag::State {
    HandPath path;
    Sample sample;
    std::atomic<bool> pressed{false};
    std::atomic<bool> stopping{false};
    std::atomic<bool> done{false};
    std::thread hand;

    void keys(bool down) const {
        if (path.control)
            key(VK_CONTROL, down);
        if (path.shift)
            key(VK_SHIFT, down);
    }

    // Waits, unless the hand is told to stop: answers whether it goes on.
    bool wait(unsigned long milliseconds) {
        pause(milliseconds);
        return !stopping;
    }

    // The path, left at any wait when the hand is told to stop; every way out releases.
    void run() {
        walk();
        release();
    }

    void walk() {
        moveTo(path.from);
        if (!wait(kStepPause))
            return;
        keys(true);
        button(path.rightButton, true);
        pressed = true;
        if (!wait(path.holdBeforeMoving))
            return;
        const int steps = path.steps > 0 ? path.steps : 1;
        for (int step = 1; step <= steps; ++step) {
            moveTo(between(path.from, path.to, step, steps));
            if (!wait(kStepPause))
                return;
        }
        for (int tick = 0; tick < path.lingerTicks; ++tick) {
            POINT pointer{path.to.x + (tick % 2), path.to.y};
            moveTo(pointer);
            if (!wait(kDragTick))
                return;
            if (sample)
                sample(pointer);
        }
        moveTo(path.to);
        pause(kStepPause);
    }

    void release() {
        if (pressed.exchange(false)) {
            button(path.rightButton, false);
            keys(false);
        }
        done = true;
    }
};

HandDrag::HandDrag(const HandPath& path, Sample sample) : fState(std::make_unique<State>())
{
    fState->path = path;
    fState->sample = std::move(sample);
    fState->hand = std::thread([state = fState.get()] { state->run(); });
}

HandDrag::~HandDrag()
{
    // A hand still on its path (a failing test left before it was done) stops at its next
    // pause and lets go there.
    fState->stopping = true;
    fState->hand.join();
}

bool HandDrag::done() const
{
    return fState->done;
}

namespace {

// Dispatches the calling thread's messages until `finished()` answers true or the time is up;
// answers `finished()`. What a handler let go is thrown from here, as from the library's own
// message loop. A quit message is left in the queue for the loop it belongs to and ends the
// dispatching.
template <class Finished>
bool dispatchUntil(Finished finished, unsigned long timeoutMilliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return finished();
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            ICallbackGuard::rethrowPending();
        }
        if (finished())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        // Wakes for any new message; the short cap sees the hand finish without one.
        const DWORD wait = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

// Until the hand has let go: answers whether it did within the time.
bool dispatchUntilReleased(const HandDrag& hand, unsigned long timeoutMilliseconds)
{
    return dispatchUntil([&] { return hand.done(); }, timeoutMilliseconds);
}

// For the whole time, whatever comes.
void dispatchFor(unsigned long milliseconds)
{
    dispatchUntil([] { return false; }, milliseconds);
}

} // namespace

bool dragByHand(const HandPath& path, HandDrag::Sample sample, unsigned long timeoutMilliseconds)
{
    HandDrag hand(path, std::move(sample));
    const bool finished = dispatchUntilReleased(hand, timeoutMilliseconds);
    // The release reaches the drag loop (or the pressed window) as input still to dispatch.
    dispatchFor(2 * kDragTick);
    return finished;
}

POINT onScreen(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

void pressKeyByHand(WORD virtualKey, bool shift)
{
    if (shift)
        key(VK_SHIFT, true);
    key(virtualKey, true);
    key(virtualKey, false);
    if (shift)
        key(VK_SHIFT, false);
}

void pointByHand(POINT screen)
{
    moveTo(screen);
}

void clickByHand(POINT screen)
{
    moveTo(screen);
    button(false, true);
    button(false, false);
}

} // namespace ovktest
