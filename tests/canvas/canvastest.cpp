// Helpers of the canvas tests.
#include "canvastest.hpp"

#include <ithread.hpp>

namespace canvastest {

std::unique_ptr<IWindow> makeChild(IWindow& parent, const char* windowClass, const char* text,
                                   unsigned long style, const IRectangle& rect, unsigned long id,
                                   IWindow* owner)
{
    auto window = std::make_unique<IWindow>();
    const IWindowHandle handle =
        window->create(id, text, WS_CHILD | style, windowClass, parent.handle(),
                       (owner ? owner : &parent)->handle(), rect, nullptr, nullptr);
    window->startHandlingEventsFor(handle);
    return window;
}

std::unique_ptr<IWindow> makeBox(IWindow& parent, const ISize& minimum, unsigned long style)
{
    auto window = makeChild(parent, "Static", "", style);
    window->setMinimumSize(minimum);
    return window;
}

RemoteBox::RemoteBox(IWindow& canvas, const ISize& minimum)
    : fThread([this, &canvas, minimum] {
          fThreadId = GetCurrentThreadId();
          auto box = makeBox(canvas, minimum);
          fMade = box.get();
          IThread::current().processMsgs();
          box.reset();
          fFinished = true;
      })
{
    EXPECT_TRUE(ovktest::pumpUntil([&] { return fMade.load() != nullptr; }));
}

RemoteBox::~RemoteBox()
{
    while (!fThreadId.load())
        std::this_thread::yield();
    PostThreadMessageA(fThreadId, WM_QUIT, 0, 0);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return fFinished.load(); }));
    fThread.join();
}

RECT placeIn(HWND parent, HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void paintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ovktest::pumpPending();
}

void dragFrom(IWindow& canvas, POINT start, int dx, int dy, bool cancel)
{
    POINT screen = start;
    ClientToScreen(canvas.handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(canvas.handle(), WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(start.x + dx, start.y + dy));
    if (cancel)
        PostMessageA(canvas.handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    else
        PostMessageA(canvas.handle(), WM_LBUTTONUP, 0, MAKELPARAM(start.x + dx, start.y + dy));
    SendMessageA(canvas.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    keys[VK_LBUTTON] = 0;
    SetKeyboardState(keys);
    ReleaseCapture();
}

void CanvasTest::SetUp()
{
    top = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
    SetWindowPos(top->hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(top->hwnd(), SW_SHOW);
    SetForegroundWindow(top->hwnd());
    SetActiveWindow(top->hwnd());
    ovktest::pumpPending();
}

void CanvasTest::TearDown()
{
    // Children first: the canvases they sit on go with the top-level window.
    while (!children.empty())
        children.pop_back();
    top.reset();
    ovktest::pumpPending();
}

} // namespace canvastest
