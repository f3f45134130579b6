// Mouse events: buttons and actions by message, positions, and the three callbacks.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <handdrag.hpp>
#include <iprivmsg.hpp>
#include <imoushdr.hpp>
#include <iptrhdl.hpp>
#include <ireslib.hpp>
#include <ovkmsgid.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"
#include "windowtest.hpp"

using eventstest::send;
using ovktest::TestWindow;

namespace {

IEvent mouseMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND window = nullptr)
{
    return IEvent(IWindowHandle(window), message, wParam, lParam);
}

struct ClickCase {
    UINT message;
    IMouseClickEvent::MouseButton button;
    IMouseClickEvent::MouseAction action;
};

using M = IMouseClickEvent;
const ClickCase kClicks[] = {
    {WM_LBUTTONDOWN, M::button1, M::down},        {WM_LBUTTONUP, M::button1, M::up},
    {WM_LBUTTONDBLCLK, M::button1, M::doubleClick}, {WM_RBUTTONDOWN, M::button2, M::down},
    {WM_RBUTTONUP, M::button2, M::up},            {WM_RBUTTONDBLCLK, M::button2, M::doubleClick},
    {WM_MBUTTONDOWN, M::button3, M::down},        {WM_MBUTTONUP, M::button3, M::up},
    {WM_MBUTTONDBLCLK, M::button3, M::doubleClick},
    {IPrivateMessage::leftClick, M::button1, M::click},
    {IPrivateMessage::rightClick, M::button2, M::click},
    {IPrivateMessage::middleClick, M::button3, M::click},
};

class ClickLog : public IMouseHandler {
public:
    std::string calls;

protected:
    IBase::Boolean mouseClicked(IMouseClickEvent& e) override
    {
        calls += std::to_string(e.mouseButton()) + "/" + std::to_string(e.mouseAction()) + " ";
        return true;
    }
};

class MouseClick : public testing::TestWithParam<ClickCase> {};

TEST_P(MouseClick, ReachesMouseClickedWithButtonAndAction)
{
    const ClickCase& c = GetParam();
    TestWindow window;
    ClickLog handler;
    handler.handleEventsFor(&window);
    send(window.hwnd(), c.message, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(handler.calls,
              std::to_string(c.button) + "/" + std::to_string(c.action) + " ");
}

INSTANTIATE_TEST_SUITE_P(Table, MouseClick, testing::ValuesIn(kClicks));

TEST(MouseEvent, ButtonQueriesOnOtherEventsThrow)
{
    const IMouseClickEvent move(mouseMessage(WM_MOUSEMOVE));
    for (int accessor = 0; accessor < 2; ++accessor) {
        try {
            accessor == 0 ? static_cast<void>(move.mouseButton()) : static_cast<void>(move.mouseAction());
            ADD_FAILURE() << "accessor " << accessor << " did not throw";
        } catch (const IInvalidRequest& e) {
            EXPECT_EQ(e.errorId(), OVK_MSG_NO_EVENT_VALUE);
            EXPECT_STREQ(e.locationAtIndex(0)->fileName(), "imousevt");
        }
    }
}

struct PositionCase {
    LPARAM lParam;
    ICoordinateSystem::Orientation orientation;
    IPoint expected;
};

// The window is 200 x 100; bottom-up coordinates count from its lower edge.
const PositionCase kPositions[] = {
    {MAKELPARAM(10, 20), ICoordinateSystem::kOriginUpperLeft, IPoint(10, 20)},
    {MAKELPARAM(-5, -7), ICoordinateSystem::kOriginUpperLeft, IPoint(-5, -7)},
    {MAKELPARAM(10, 20), ICoordinateSystem::kOriginLowerLeft, IPoint(10, 80)},
};

TEST(MouseEvent, PositionIsSignedAndInTheApplicationOrientation)
{
    TestWindow window;
    for (const PositionCase& c : kPositions) {
        ovktest::CoordinateSystem orientation(c.orientation);
        const IMouseEvent event(mouseMessage(WM_MOUSEMOVE, 0, c.lParam, window.hwnd()));
        EXPECT_EQ(event.mousePosition(), c.expected) << c.lParam;
    }
}

TEST(MouseEvent, ModifiersComeFromTheMessageAndAltFromTheKeyboard)
{
    const IMouseEvent event(mouseMessage(WM_MOUSEMOVE, MK_SHIFT | MK_CONTROL));
    EXPECT_TRUE(event.isShiftKeyDown());
    EXPECT_TRUE(event.isControlKeyDown());
    EXPECT_FALSE(IMouseEvent(mouseMessage(WM_MOUSEMOVE)).isShiftKeyDown());
    {
        eventstest::KeysDown alt{VK_MENU};
        EXPECT_TRUE(event.isAltKeyDown());
    }
    EXPECT_FALSE(event.isAltKeyDown());
}

TEST(MouseHandler, HandledMoveStillReachesThePreviousProcedure)
{
    struct Moves : IMouseHandler {
        IBase::Boolean mouseMoved(IMouseEvent&) override { return true; }
    } handler;
    ovktest::Trace trace;
    windowtest::PreviousTrace previous(trace, WM_MOUSEMOVE);
    TestWindow window(nullptr, 0, 0, windowtest::recordingClass());
    handler.handleEventsFor(&window);
    send(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(trace.text(), "previous");
}

// A pointer once set is answered 1 even when the callback passes the event on: the next
// handler sees the answer and may keep it.
TEST(MouseHandler, PointerSetButUnhandledLeavesOneAndWalksOn)
{
    struct Pointer : IMouseHandler {
        IBase::Boolean mousePointerChange(IMousePointerEvent& event) override
        {
            event.setMousePointer(IPointerHandle(LoadCursor(nullptr, IDC_CROSS)));
            return false;
        }
    } handler;
    TestWindow window;
    ovktest::Recorder next(WM_SETCURSOR);
    long seen = -1;
    next.attach(window, "next", true).setAction([&](IEvent& event) {
        seen = static_cast<long>(event.result().asLong());
        return true;
    });
    handler.handleEventsFor(&window);
    EXPECT_EQ(send(window.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(next.trace(), "next");
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_CROSS));
}

// The pointer shown is answered as a holder: a pointer of the pointer table counts one more
// holder while the answer is kept, and the event itself keeps none.
TEST(MouseEvent, PointerShownIsAnsweredAsAHolderOfIt)
{
    const ISystemPointerHandle sizing(ISystemPointerHandle::sizeWE, true);
    const auto useCount = [&sizing] {
        IResourceLibrary::PointerEntry entry;
        EXPECT_TRUE(IResourceLibrary::findPointerEntry(sizing.asValue(), &entry));
        return entry.useCount;
    };
    IMousePointerEvent event(mouseMessage(WM_SETCURSOR));
    const std::uint32_t before = useCount();
    event.setMousePointer(sizing);
    EXPECT_EQ(event.result().asLong(), 1);
    EXPECT_EQ(useCount(), before);
    {
        const IPointerHandle shown = event.mousePointer();
        EXPECT_EQ(shown, sizing);
        EXPECT_EQ(useCount(), before + 1);
    }
    EXPECT_EQ(useCount(), before);
    event.setMousePointer(IPointerHandle());
    EXPECT_FALSE(event.mousePointer().isValid());
}

// A window's own drag rule: a press over a label (a child that lets the pointer through to
// it) whose release another window took starts no drag when the pointer later hovers there with
// no button held; a held drag still starts one. Real input, twice in a row.
TEST(WindowDrag, AHoverAfterAPressWhoseReleaseWasLostStartsNoDrag)
{
    TestWindow window(nullptr, WS_OVERLAPPEDWINDOW);
    SetWindowPos(window.hwnd(), HWND_TOPMOST, 40, 40, 300, 200, SWP_SHOWWINDOW);
    const HWND label = eventstest::createChild(window.hwnd(), "Static", WS_VISIBLE, 5);
    SetWindowPos(label, nullptr, 20, 20, 120, 40, SWP_NOZORDER);
    EXPECT_EQ(ovktest::dragStartsAfterALostRelease(window, ovktest::onScreen(window.hwnd(), 40, 30)),
              "lost:0 held:1 lost:0 held:1");
}

TEST(MouseEvent, PointerEventNamesTheWindowUnderThePointer)
{
    TestWindow parent;
    HWND child = eventstest::createChild(parent.hwnd(), "Button", 0, 0x1234);
    const IMousePointerEvent event(mouseMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(child)));
    EXPECT_EQ(event.windowId(), 0x1234u);

    // A top-level window's identifier is where the library keeps it; a dialog has its
    // procedure at offset 8 of its window data on 64-bit Windows.
    TestWindow topLevel(nullptr, 0, 0, "#32770");
    topLevel.setId(0x2345);
    const IMousePointerEvent atTop(
        mouseMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(topLevel.hwnd())));
    EXPECT_EQ(atTop.windowId(), 0x2345u);
}

} // namespace
