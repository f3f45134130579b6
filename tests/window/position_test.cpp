// Deferred positioning, rectangle tracking and re-coordination of children.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iposbuf.hpp>
#include <irecohdr.hpp>
#include <detail/itrackmsg.hpp>
#include <itrack.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

RECT placeOf(HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A visible parent with three visible children at (0,0), (0,30), (0,60), each 50 x 20, in
// that order, each counting the position changes it is asked for.
class PositionBuffer : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<TestWindow>(nullptr, WS_POPUP | WS_VISIBLE);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
        for (int i = 0; i < 3; ++i) {
            children[i] = std::make_unique<TestWindow>(parent->hwnd(), WS_VISIBLE, i + 1);
            SetWindowPos(children[i]->hwnd(), HWND_BOTTOM, 0, 30 * i, 50, 20, 0);
            changes.attach(*children[i], "c" + std::to_string(i + 1));
        }
        changes.clear();
    }
    void TearDown() override
    {
        for (auto& child : children)
            child.reset();
        parent.reset();
    }
    IWindow* child(int i) { return children[i].get(); }

    std::unique_ptr<TestWindow> parent;
    std::unique_ptr<TestWindow> children[3];
    ovktest::Recorder changes{WM_WINDOWPOSCHANGING};
};

TEST_F(PositionBuffer, RequestsEqualToTheCurrentStateChangeNothing)
{
    IWindowPosBuffer buffer(parent.get());
    buffer.moveTo(child(0), IPoint(0, 0))
        .sizeTo(child(1), ISize(50, 20))
        .moveSizeTo(child(2), IRectangle(0, 60, 50, 80))
        .show(child(0))
        .orderAsFirst(child(0))
        .orderAfter(child(1), child(0))
        .orderAsLast(child(2));
    buffer.apply();
    EXPECT_EQ(changes.trace(), "");
}

TEST_F(PositionBuffer, ChangesAreAppliedTogetherAndOnlyToChangedChildren)
{
    IWindowPosBuffer buffer(parent.get());
    buffer.moveTo(child(0), IPoint(5, 6)).sizeTo(child(1), ISize(70, 25)).hide(child(2));
    buffer.moveTo(child(1), IPoint(0, 30));
    EXPECT_EQ(buffer.rect(child(1)), IRectangle(IPoint(0, 30), ISize(70, 25)));
    buffer.apply();
    EXPECT_EQ(changes.trace(), "c1 c2 c3");
    const RECT first = placeOf(children[0]->hwnd());
    const RECT second = placeOf(children[1]->hwnd());
    EXPECT_EQ(first.left, 5);
    EXPECT_EQ(first.top, 6);
    EXPECT_EQ(first.right - first.left, 50);
    EXPECT_EQ(second.right - second.left, 70);
    EXPECT_EQ(second.top, 30);
    EXPECT_FALSE(IsWindowVisible(children[2]->hwnd()));
    // The records are gone: applying again changes nothing.
    changes.clear();
    buffer.apply();
    EXPECT_EQ(changes.trace(), "");
}

TEST_F(PositionBuffer, OrderRequestsMoveInTheSiblingOrder)
{
    IWindowPosBuffer buffer(parent.get());
    buffer.orderAsLast(child(0)).orderAsFirst(child(2));
    buffer.apply();
    HWND first = GetWindow(parent->hwnd(), GW_CHILD);
    EXPECT_EQ(first, children[2]->hwnd());
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), children[1]->hwnd());
    EXPECT_EQ(GetWindow(children[1]->hwnd(), GW_HWNDNEXT), children[0]->hwnd());
}

TEST_F(PositionBuffer, BottomUpPositionsNameTheLowerEdge)
{
    ovktest::CoordinateSystem bottomUp(ICoordinateSystem::kOriginLowerLeft);
    RECT client{};
    GetClientRect(parent->hwnd(), &client);
    IWindowPosBuffer buffer(parent.get());
    buffer.moveTo(child(0), IPoint(4, 10));
    buffer.apply();
    EXPECT_EQ(placeOf(children[0]->hwnd()).bottom, client.bottom - 10);
}

TEST_F(PositionBuffer, NullWindowsFailTheArgumentChecks)
{
    EXPECT_THROW(IWindowPosBuffer(nullptr), IInvalidParameter);
    IWindowPosBuffer buffer(parent.get());
    EXPECT_THROW(buffer.moveTo(nullptr, IPoint()), IInvalidParameter);
    EXPECT_THROW(buffer.orderAfter(child(0), nullptr), IInvalidParameter);
    EXPECT_THROW(buffer.rect(nullptr), IInvalidParameter);
}

// The drag is driven by messages posted before the call: the loop takes them in order.
class PositionTrack : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestWindow>(nullptr, WS_POPUP | WS_VISIBLE);
        SetWindowPos(window->hwnd(), nullptr, 100, 100, 300, 200, SWP_NOZORDER);
        SetForegroundWindow(window->hwnd());
        SetFocus(window->hwnd());
        GetCursorPos(&cursor);
        info.track = IRectangle(110, 110, 150, 130);
        info.boundary = IRectangle(100, 100, 400, 300);
    }
    // A pointer move by (dx, dy) from where the cursor is, in the window's client coordinates.
    void postMove(int dx, int dy)
    {
        POINT p{cursor.x + dx, cursor.y + dy};
        ScreenToClient(window->hwnd(), &p);
        PostMessageA(window->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    }

    std::unique_ptr<TestWindow> window;
    eventstest::KeysDown leftButton{VK_LBUTTON};
    POINT cursor{};
    ITrackInfo info;
};

TEST_F(PositionTrack, ReleaseFinishesWithTheMovedRectangle)
{
    postMove(10, 5);
    postMove(30, 15);
    PostMessageA(window->hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(trackRectangle(window.get(), info));
    EXPECT_EQ(info.track, IRectangle(140, 125, 180, 145));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PositionTrack, EscapeCancelsAndLeavesTheRectangle)
{
    postMove(10, 5);
    PostMessageA(window->hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(window->hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(trackRectangle(window.get(), info));
    EXPECT_EQ(info.track, IRectangle(110, 110, 150, 130));
    ovktest::pumpPending();
}

TEST_F(PositionTrack, TheRectangleStaysInsideTheBoundary)
{
    postMove(-500, 1000);
    PostMessageA(window->hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(trackRectangle(window.get(), info));
    EXPECT_EQ(info.track, IRectangle(100, 280, 140, 300));
}

TEST_F(PositionTrack, QuitEndsTheDragAndReachesTheOuterLoop)
{
    postMove(10, 0);
    PostQuitMessage(7);
    EXPECT_TRUE(trackRectangle(window.get(), info));
    EXPECT_EQ(info.track, IRectangle(120, 110, 160, 130));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

// Only Escape belongs to the drag; other keys reach their windows as usual meanwhile.
TEST_F(PositionTrack, KeysOtherThanEscapeAreDispatched)
{
    ovktest::Recorder keys(WM_KEYDOWN);
    keys.attach(*window, "key");
    ovktest::Recorder characters(WM_CHAR);
    characters.attach(*window, "char");
    PostMessageA(window->hwnd(), WM_KEYDOWN, 'A', 1);
    PostMessageA(window->hwnd(), WM_CHAR, 'a', 1);
    postMove(10, 0);
    PostMessageA(window->hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(trackRectangle(window.get(), info));
    EXPECT_EQ(keys.trace(), "key");
    EXPECT_EQ(characters.trace(), "char");
    EXPECT_EQ(info.track, IRectangle(120, 110, 160, 130));
}

// A failing message retrieval is no WM_QUIT: none is posted for the outer loop, and the drag
// the user did not finish is cancelled.
TEST_F(PositionTrack, AFailingMessageRetrievalCancelsWithoutAQuit)
{
    struct Failing {
        static BOOL WINAPI get(LPMSG message, HWND, UINT, UINT)
        {
            *message = MSG{};
            message->wParam = 3;
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
    };
    postMove(10, 0);
    const ITrackMessageSource previous = setTrackMessageSource(&Failing::get);
    const IBase::Boolean finished = trackRectangle(window.get(), info);
    setTrackMessageSource(previous);
    EXPECT_FALSE(finished);
    EXPECT_EQ(info.track, IRectangle(110, 110, 150, 130));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ovktest::pumpPending();
}

TEST_F(PositionTrack, LosingTheCaptureFinishes)
{
    postMove(10, 0);
    PostMessageA(window->hwnd(), WM_USER + 1, 0, 0);
    ovktest::Recorder release(WM_USER + 1);
    release.attach(*window, "release", true).setAction([](IEvent&) {
        ReleaseCapture();
        return true;
    });
    EXPECT_TRUE(trackRectangle(window.get(), info));
    EXPECT_EQ(release.trace(), "release");
    EXPECT_EQ(info.track, IRectangle(120, 110, 160, 130));
}

// Re-coordination: a parent with two children at native y 10 and 40, sized through SetWindowPos.
class PositionRecoord : public testing::Test {
protected:
    struct Watch : IRecoordHandler {
        std::string calls;
        IBase::Boolean windowSizeChanged(IWindowHandle window, const IRectangle& newRectangle,
                                         const IRectangle& oldRectangle) override
        {
            calls += std::to_string(newRectangle.height() - oldRectangle.height()) + " ";
            return IRecoordHandler::windowSizeChanged(window, newRectangle, oldRectangle);
        }
    };

    void SetUp() override
    {
        parent = std::make_unique<TestWindow>(nullptr, WS_POPUP | WS_VISIBLE);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 200, 100, SWP_NOZORDER);
        first = eventstest::createChild(parent->hwnd(), "Button", WS_VISIBLE, 1);
        second = eventstest::createChild(parent->hwnd(), "Button", WS_VISIBLE, 2);
        SetWindowPos(first, nullptr, 5, 10, 30, 20, SWP_NOZORDER);
        SetWindowPos(second, nullptr, 5, 40, 30, 20, SWP_NOZORDER);
        handler.handleEventsFor(parent.get());
    }
    void resize(int width, int height, UINT flags = SWP_NOMOVE)
    {
        SetWindowPos(parent->hwnd(), nullptr, 3, 3, width, height, SWP_NOZORDER | flags);
    }

    std::unique_ptr<TestWindow> parent;
    HWND first = nullptr;
    HWND second = nullptr;
    Watch handler;
};

TEST_F(PositionRecoord, BottomUpChildrenMoveByTheChangeOfHeight)
{
    ovktest::CoordinateSystem bottomUp(ICoordinateSystem::kOriginLowerLeft);
    resize(200, 120);
    EXPECT_EQ(handler.calls, "20 ");
    EXPECT_EQ(placeOf(first).top, 30);
    EXPECT_EQ(placeOf(second).top, 60);
    EXPECT_EQ(placeOf(second).bottom - placeOf(second).top, 20);
    EXPECT_EQ(GetWindow(parent->hwnd(), GW_CHILD), first);
}

TEST_F(PositionRecoord, TopDownAndMovesLeaveChildrenAlone)
{
    resize(200, 150);
    EXPECT_EQ(placeOf(first).top, 10);
    handler.calls.clear();
    ovktest::CoordinateSystem bottomUp(ICoordinateSystem::kOriginLowerLeft);
    resize(0, 0, SWP_NOSIZE);
    EXPECT_EQ(handler.calls, "");
    EXPECT_EQ(placeOf(first).top, 10);
}

} // namespace
