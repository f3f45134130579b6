// The tool bar fixture and the scripted move.
#include "toolbartest.hpp"


namespace toolbartest {

namespace {

struct Script {
    HWND toolBar = nullptr;
    Ending ending = Ending::release;
    bool ended = false;
};

Script gScript;

void CALLBACK endMove(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    switch (gScript.ending) {
    case Ending::release:
        PostMessageA(gScript.toolBar, WM_LBUTTONUP, 0, 0);
        break;
    case Ending::escape:
        PostMessageA(gScript.toolBar, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
    case Ending::quit:
        PostQuitMessage(7);
        break;
    }
    gScript.ended = true;
}

} // namespace

void ToolBarFixture::SetUp()
{
    frame = std::make_unique<IFrameWindow>(
        IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
        IRectangle(0, 0, 100, 100), IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "tools");
    SetWindowPos(frame->handle(), nullptr, kLeft, kTop, kWidth, kHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    first = std::make_unique<IToolBar>(1, frame.get());
    second = std::make_unique<IToolBar>(2, first.get());
    for (unsigned long id : {11UL, 12UL})
        first->addAsLast(&addButton(*first, id));
    for (unsigned long id : {21UL, 22UL})
        second->addAsLast(&addButton(*second, id));
    frame->show();
    frame->update();
    ovktest::pumpPending();
}

void ToolBarFixture::TearDown()
{
    windows.clear();
    second.reset();
    first.reset();
    frame.reset();
    ovktest::pumpPending();
}

IToolBarButton& ToolBarFixture::addButton(IToolBar& toolBar, unsigned long id)
{
    auto button = std::make_unique<IToolBarButton>(id, &toolBar, frame.get());
    IToolBarButton& added = *button;
    windows.push_back(std::move(button));
    return added;
}

IWindow& ToolBarFixture::addWindow(IToolBar& toolBar, const ISize& minimum)
{
    auto window = std::make_unique<ovktest::TestWindow>(toolBar.handle(), WS_VISIBLE);
    window->setMinimumSize(minimum);
    IWindow& added = *window;
    windows.push_back(std::move(window));
    toolBar.addAsLast(&added);
    return added;
}

POINT ToolBarFixture::centreIn(const IToolBar& toolBar, const IWindow& window)
{
    RECT rect{};
    GetWindowRect(window.handle(), &rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(toolBar.handle(), &centre);
    return centre;
}

void ToolBarFixture::drive(IToolBar& toolBar, const POINT& press, long distance,
                           const POINT& cursor, Ending ending)
{
    const HWND bar = toolBar.handle();
    gScript = Script{bar, ending, false};
    // The platform reports the pointer's jump as a mouse move, which must not reach the press.
    SetCursorPos(cursor.x, cursor.y);
    ovktest::pumpPending();
    const UINT_PTR end = SetTimer(nullptr, 0, 350, endMove);
    // A move that the script failed to end must still end, so the test fails instead of hanging.
    const ovktest::Watchdog guard(5000, [bar] {
        ADD_FAILURE() << "the move did not end";
        PostMessageA(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + distance, press.y));
    // Only the tool bar's own messages: a move runs its loop inside the dispatch of the mouse
    // move, and anything else (a quit above all) must stay in the queue for the test to see.
    MSG message;
    for (int i = 0; i < 50 && PeekMessageA(&message, bar, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            // A filtered retrieval still takes the quit; it goes back for the test to find.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        DispatchMessageA(&message);
    }
    ICallbackGuard::rethrowPending();
    if (ending != Ending::quit) {
        ovktest::pumpUntil([] { return gScript.ended; }, 3000);
        ovktest::pumpPending();
    }
    KillTimer(nullptr, end);
}

} // namespace toolbartest
