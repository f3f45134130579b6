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
        // One class for both.
        EXPECT_EQ(GetClassLongPtrA(first.handle(), GCW_ATOM), GetClassLongPtrA(second.handle(), GCW_ATOM));
    }
    EXPECT_EQ(GetFocus(), focused);
    DestroyWindow(focused);
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
