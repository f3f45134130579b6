// Helpers of the canvas tests: a visible top-level window to build in, children with explicit
// minimum sizes, native controls taken over by window objects, and drags.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <icanvas.hpp>

#include "ovktest.hpp"

namespace canvastest {

// A child window object over a new native window of the class, created as an application
// creates its controls: with the parent and owner given, so that unhandled keys reach the
// owner.
std::unique_ptr<IWindow> makeChild(IWindow& parent, const char* windowClass, const char* text,
                                   unsigned long style, const IRectangle& rect = IRectangle(),
                                   unsigned long id = 0, IWindow* owner = nullptr);
// A plain child whose minimum size is set explicitly.
std::unique_ptr<IWindow> makeBox(IWindow& parent, const ISize& minimum,
                                 unsigned long style = WS_VISIBLE);
// A box child of the canvas whose window object another thread makes and keeps, pumping that
// thread's messages, until the object goes; the constructor pumps this thread until the box is
// there (its arrival is a send this thread must take).
class RemoteBox {
public:
    RemoteBox(IWindow& canvas, const ISize& minimum);
    // Ends the other thread, which deletes the box, and waits for it.
    ~RemoteBox();
    RemoteBox(const RemoteBox&) = delete;
    RemoteBox& operator=(const RemoteBox&) = delete;

    // Null when the other thread could not make it in time.
    IWindow* window() const { return fMade.load(); }

private:
    std::atomic<IWindow*> fMade{nullptr};
    std::atomic<bool> fFinished{false};
    std::atomic<DWORD> fThreadId{0};
    std::thread fThread;
};

// Paints everything that is due now.
void paintNow(HWND window);
// Drives a drag of a canvas's line or bar as a user's: the move and the release (or Esc) wait
// in the queue before the press at `start` starts the tracking loop, with the left button down
// in the keyboard state.
void dragFrom(IWindow& canvas, POINT start, int dx, int dy, bool cancel);

// A window's rectangle in its parent's client area, native.
RECT placeIn(HWND parent, HWND window);

// A visible top-level window, active and focused, destroyed after each test.
class CanvasTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ovktest::TestWindow> top;
    std::vector<std::unique_ptr<IWindow>> children;

    IWindow& keep(std::unique_ptr<IWindow> window) {
        children.push_back(std::move(window));
        return *children.back();
    }
};

} // namespace canvastest
