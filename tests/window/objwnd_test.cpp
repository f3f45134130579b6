// The object window: hidden, never taking the focus, and closed by a request that may come
// from another thread; its close handler serves object windows only.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include <iobjwnd.hpp>
#include <ovkmsgid.hpp>
#include <ovktest.hpp>

namespace {

TEST(ObjectWindow, IsAHiddenTopLevelWindowOfItsOwnClassThatLeavesTheFocusAlone)
{
    HWND focused = ovktest::createNativeWindow(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(focused);
    SetFocus(focused);
    ASSERT_EQ(GetFocus(), focused);
    {
        IObjectWindow first;
        IObjectWindow second;
        EXPECT_EQ(GetFocus(), focused);
        for (IObjectWindow* window : {&first, &second}) {
            const HWND handle = window->handle();
            char name[32] = "";
            GetClassNameA(handle, name, sizeof name);
            EXPECT_STREQ(name, "OVKWC_OBJECT");
            EXPECT_EQ(GetParent(handle), nullptr);
            EXPECT_FALSE(IsWindowVisible(handle));
            EXPECT_EQ(GetWindowThreadProcessId(handle, nullptr), GetCurrentThreadId());
        }
    }
    EXPECT_EQ(GetFocus(), focused);
    DestroyWindow(focused);
}

// The class is registered on first use, as documented, and never again: a change made to the
// class through one window is still there for the windows made later.
TEST(ObjectWindow, ItsClassIsRegisteredOnceWithTheDocumentedAttributes)
{
    WNDCLASSA info{};
    {
        IObjectWindow first;
        ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "OVKWC_OBJECT", &info));
        EXPECT_EQ(info.style, 0x200u);
        EXPECT_EQ(info.cbClsExtra, 0);
        EXPECT_EQ(info.cbWndExtra, 0);
        EXPECT_EQ(info.hbrBackground, nullptr);
        EXPECT_EQ(info.lpszMenuName, nullptr);
        EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, MAKEINTRESOURCEA(0x7F00)));
        EXPECT_EQ(info.hIcon, LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00)));
        SetClassLongPtrA(first.handle(), GCLP_HBRBACKGROUND, COLOR_WINDOW + 1);
    }
    IObjectWindow later;
    EXPECT_EQ(GetClassLongPtrA(later.handle(), GCLP_HBRBACKGROUND), COLOR_WINDOW + 1)
        << "the class was registered again";
    SetClassLongPtrA(later.handle(), GCLP_HBRBACKGROUND, 0);
}

// An application's object window is its own: a child placed under it answers it as parent,
// not the library's hidden window.
TEST(ObjectWindow, IsNotTakenForTheLibrarysObjectWindow)
{
    IObjectWindow window;
    ovktest::TestWindow child(window.handle());
    EXPECT_EQ(child.parent(), &window);
    EXPECT_NE(IWindow::objectWindow(), &window);
    EXPECT_NE(IWindow::objectWindow()->handle(), window.handle());
}

TEST(ObjectWindow, ClosesOnItsOwnThreadWhenAskedFromAnother)
{
    IObjectWindow window;
    const HWND handle = window.handle();
    std::thread([&] { window.close(); }).join();
    // Only a posted request: nothing happens until this thread's loop dispatches it.
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !IsWindow(handle); }));
    EXPECT_FALSE(window.isValid());
}

TEST(ObjectWindowCloseHandler, ServesObjectWindowsOnly)
{
    IObjectWindowCloseHandler& handler = IObjectWindowCloseHandler::defaultHandler();
    ovktest::TestWindow plain;
    try {
        static_cast<IHandler&>(handler).handleEventsFor(&plain);
        ADD_FAILURE() << "attached to a plain window";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), OVK_MSG_OPERATION_NOT_SUPPORTED);
    }
    EXPECT_THROW(static_cast<IHandler&>(handler).stopHandlingEventsFor(&plain), IInvalidRequest);
    try {
        handler.handleEventsFor(static_cast<IObjectWindow*>(nullptr));
        ADD_FAILURE() << "attached to nothing";
    } catch (const IInvalidParameter& failure) {
        EXPECT_STREQ(failure.text(0), "objectWindow != 0");
    }
    // The request means nothing to a window without the handler.
    plain.handle().sendEvent(IObjectWindowCloseRequest);
    EXPECT_TRUE(IsWindow(plain.hwnd()));
}

} // namespace
