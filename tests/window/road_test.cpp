// The road of a message: derived clicks and size changes, control notifications reaching the
// control first, the owner chain, and the window procedure's own answers.
#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>

#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"
#include "windowtest.hpp"

using ovktest::Recorder;
using ovktest::TestWindow;
using ovktest::Trace;

namespace {

// Records the names of the mouse events it sees, handling none.
class MouseLog : public IHandler {
public:
    explicit MouseLog(IWindow& window) { handleEventsFor(&window); }
    std::string text() const { return fTrace.text(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        static const std::map<unsigned long, const char*> names = {
            {WM_LBUTTONDOWN, "down"},
            {WM_LBUTTONUP, "up"},
            {WM_LBUTTONDBLCLK, "dblclk"},
            {IPrivateMessage::leftClick, "click"},
            {IPrivateMessage::doubleClickRelease, "dblrelease"},
            {IPrivateMessage::controlNotification, "notification"},
        };
        auto name = names.find(event.eventId());
        if (name != names.end())
            fTrace.add(name->second);
        return false;
    }

private:
    Trace fTrace;
};

void postClick(HWND window, int x, int y)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ovktest::pumpPending();
}

TEST(WindowClicks, TwoQuickPressesOnAClassWithoutDoubleClicksBecomeADoubleClick)
{
    TestWindow window;
    MouseLog log(window);

    postClick(window.hwnd(), 5, 5);
    postClick(window.hwnd(), 6, 5);
    EXPECT_EQ(log.text(), "down up click dblclk up dblrelease");
}

TEST(WindowClicks, PressesFarApartStaySingleClicks)
{
    TestWindow window;
    MouseLog log(window);

    postClick(window.hwnd(), 5, 5);
    postClick(window.hwnd(), 5 + GetSystemMetrics(SM_CXDOUBLECLK), 5);
    EXPECT_EQ(log.text(), "down up click down up click");
}

TEST(WindowClicks, TheClickNotificationAfterADoubleClickIsSwallowedOnce)
{
    TestWindow window(nullptr, 0, 0, ovktest::testClassName(true));
    TestWindow button(window.hwnd(), WS_VISIBLE, 9);
    MouseLog log(window);
    const WPARAM clicked = MAKEWPARAM(9, BN_CLICKED);
    const LPARAM buttonHandle = reinterpret_cast<LPARAM>(button.hwnd());

    // The class gets its double clicks from the system, which delivers down, up, dblclk, up.
    postClick(window.hwnd(), 0, 0);
    PostMessageA(window.hwnd(), WM_LBUTTONDBLCLK, 0, 0);
    PostMessageA(window.hwnd(), WM_LBUTTONUP, 0, 0);
    // The release after the double click posts its own event behind it.
    ASSERT_TRUE(ovktest::pumpUntil([&] { return log.text().find("dblrelease") != std::string::npos; }));
    SendMessageA(window.hwnd(), WM_COMMAND, clicked, buttonHandle);
    SendMessageA(window.hwnd(), WM_COMMAND, clicked, buttonHandle);
    EXPECT_EQ(log.text(), "down up click dblclk up dblrelease notification");
}

TEST(WindowSizes, EverySizingMoveReportsTheNewAndTheLastSize)
{
    TestWindow window;
    Recorder rec(IPrivateMessage::sizeChanged);
    std::vector<std::string> reports;
    rec.attach(window, "size").setAction([&](IEvent& event) {
        const auto* sizes = static_cast<const std::int32_t*>(event.parameter2().asPointer());
        reports.push_back(std::to_string(sizes[0]) + "x" + std::to_string(sizes[1]) + " from " +
                          std::to_string(sizes[2]) + "x" + std::to_string(sizes[3]));
        return false;
    });

    SetWindowPos(window.hwnd(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(window.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // A record that does not say SWP_NOSIZE is reported even when the size is the same.
    WINDOWPOS same{window.hwnd(), nullptr, 10, 10, 300, 150, SWP_NOZORDER};
    SendMessageA(window.hwnd(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&same));
    EXPECT_EQ(reports, (std::vector<std::string>{"300x150 from 200x100", "300x150 from 300x150"}));
}

// Control notifications ------------------------------------------------------------------------

class ControlNotifications : public testing::Test {
protected:
    void SetUp() override {
        parent = std::make_unique<TestWindow>(nullptr, 0, 0, windowtest::recordingClass());
        control = std::make_unique<TestWindow>(parent->hwnd(), WS_VISIBLE, 7);
    }
    LRESULT notify(UINT code = BN_CLICKED) {
        return SendMessageA(parent->hwnd(), WM_COMMAND, MAKEWPARAM(7, code),
                            reinterpret_cast<LPARAM>(control->hwnd()));
    }

    Recorder notifications{IPrivateMessage::controlNotification};
    Recorder commands{WM_COMMAND};
    windowtest::PreviousTrace previous{notifications.traceObject(), WM_COMMAND};
    std::unique_ptr<TestWindow> parent;
    std::unique_ptr<TestWindow> control;
};

TEST_F(ControlNotifications, ReachTheControlFirstThenItsParentThenDefaultProcessingAsWmCommand)
{
    std::vector<HWND> dispatching;
    auto note = [&](IEvent& event) {
        dispatching.push_back(event.dispatchingHandle());
        return false;
    };
    notifications.attach(*control, "control").setAction(note);
    notifications.attach(*parent, "parent").setAction(note);
    commands.attach(*parent, "command");

    notify();
    notify();
    // The second time comes from the window procedure's cache; the road is the same.
    EXPECT_EQ(notifications.trace(), "control parent previous control parent previous");
    EXPECT_EQ(commands.trace(), "");
    ASSERT_EQ(dispatching.size(), 4u);
    EXPECT_EQ(dispatching[0], control->hwnd());
    EXPECT_EQ(dispatching[1], parent->hwnd());
}

TEST_F(ControlNotifications, TheControlsOwnHandlerEndsTheRoad)
{
    notifications.attach(*control, "control", true);
    notifications.attach(*parent, "parent");
    notify();
    EXPECT_EQ(notifications.trace(), "control");
}

TEST_F(ControlNotifications, AnotherControlOfTheSameIdAfterTheFirstIsDeletedIsFound)
{
    notifications.attach(*parent, "parent", true);
    notify();
    control = std::make_unique<TestWindow>(parent->hwnd(), WS_VISIBLE, 7);
    notifications.attach(*control, "new control", true);
    notify();
    EXPECT_EQ(notifications.trace(), "parent new control");
}

// The window procedure remembers the last window object it found; an object that takes over a
// window after another was deleted must get the window's messages, not the one that is gone.
TEST(WindowProcedure, AnObjectTakingOverAWindowAfterAnotherWasDeletedGetsItsMessages)
{
    constexpr UINT kMessage = WM_USER + 7;
    const HWND window = ovktest::createNativeWindow();
    Recorder rec(kMessage);
    auto first = std::make_unique<IWindow>(window);
    rec.attach(*first, "first");
    SendMessageA(window, kMessage, 0, 0);
    first.reset();
    // Of another size, so that the new object is not made where the deleted one lay.
    struct Larger : IWindow {
        using IWindow::IWindow;
        char ballast[4096] = {};
    };
    auto second = std::make_unique<Larger>(window);
    rec.attach(*second, "second");
    SendMessageA(window, kMessage, 0, 0);
    EXPECT_EQ(rec.trace(), "first second");
    second.reset();
    DestroyWindow(window);
}

TEST(WindowCommands, ThePrivateCommandNumbersArriveAsCommands)
{
    TestWindow window;
    Recorder commands(WM_COMMAND);
    Recorder systemCommands(WM_SYSCOMMAND);
    commands.attach(window, "command", true);
    systemCommands.attach(window, "system", true);

    SendMessageA(window.hwnd(), IPrivateMessage::command, 5, 0);
    SendMessageA(window.hwnd(), IPrivateMessage::systemCommand, SC_RESTORE, 0);
    EXPECT_EQ(commands.trace(), "command");
    EXPECT_EQ(systemCommands.trace(), "system");
}

// The owner chain ------------------------------------------------------------------------------

TEST(OwnerChain, AnUnhandledPressReachesTheOwnerInTheOwnersCoordinates)
{
    TestWindow owner;
    SetWindowPos(owner.hwnd(), nullptr, 100, 100, 300, 300, SWP_NOZORDER);
    const HWND ownedHandle = CreateWindowExA(0, ovktest::testClassName(), "owned", WS_POPUP, 150,
                                             120, 100, 100, owner.hwnd(), nullptr,
                                             GetModuleHandleA(nullptr), nullptr);
    IWindow owned(ownedHandle);
    owned.setDestroyOnDelete();
    Recorder presses(WM_LBUTTONDOWN);
    POINT at{};
    presses.attach(owned, "owned");
    presses.attach(owner, "owner", true).setAction([&](IEvent& event) {
        at = {GET_X_LPARAM(event.parameter2().asLong()), GET_Y_LPARAM(event.parameter2().asLong())};
        EXPECT_EQ(event.handle(), owner.hwnd());
        return true;
    });
    Recorder keys(WM_KEYDOWN);
    keys.attach(owner, "key owner");
    Recorder moves(WM_MOUSEMOVE);
    moves.attach(owner, "move owner");

    SendMessageA(ownedHandle, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 7));
    SendMessageA(ownedHandle, WM_KEYDOWN, 'A', 0);
    SendMessageA(ownedHandle, WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
    EXPECT_EQ(presses.trace(), "owned owner");
    EXPECT_EQ(keys.trace(), "key owner");
    EXPECT_EQ(moves.trace(), "");
    POINT expected{5, 7};
    MapWindowPoints(ownedHandle, owner.hwnd(), &expected, 1);
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    EXPECT_NE(at.x, 5);
}

// Key messages from 0x100 up to 0x108 climb the owner chain when unhandled; 0x109 (WM_UNICHAR)
// and above, and the mouse's moves, do not.
TEST(OwnerChain, KeysUpTo0x108ReachTheOwnerAndLaterMessagesDoNot)
{
    TestWindow owner;
    const HWND ownedHandle = CreateWindowExA(0, ovktest::testClassName(), "owned", WS_POPUP, 0, 0,
                                             50, 50, owner.hwnd(), nullptr,
                                             GetModuleHandleA(nullptr), nullptr);
    IWindow owned(ownedHandle);
    owned.setDestroyOnDelete();
    const struct {
        UINT message;
        bool reachesOwner;
    } cases[] = {{0x100, true}, {0x102, true}, {0x107, true}, {0x108, true}, {0x109, false},
                 {0x10D, false}};
    for (const auto& c : cases) {
        Recorder rec(c.message);
        rec.attach(owner, "owner");
        SendMessageA(ownedHandle, c.message, 'A', 0);
        EXPECT_EQ(rec.trace(), c.reachesOwner ? "owner" : "") << std::hex << c.message;
    }
}

// The window procedure's own answers -----------------------------------------------------------

TEST(PrivateQueries, TheMnemonicQueryAnswersForVisibleEnabledChildren)
{
    TestWindow parent;
    TestWindow child(parent.hwnd(), WS_VISIBLE, 3);
    struct Case {
        const char* text;
        DWORD removeStyle;
        char key;
        LRESULT answer;
    };
    const Case cases[] = {
        {"&File", 0, 'f', 1},  {"&File", 0, 'F', 1},    {"&File", 0, 'i', 0},
        {"Save &as", 0, 'A', 1}, {"R&&D", 0, 'D', 0},   {"No marker", 0, 'N', 0},
        {"&File", WS_VISIBLE, 'f', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + c.key);
        SetWindowTextA(child.hwnd(), c.text);
        SetWindowLongPtrA(child.hwnd(), GWL_STYLE,
                          (WS_CHILD | WS_VISIBLE) & ~static_cast<LONG_PTR>(c.removeStyle));
        EXPECT_EQ(SendMessageA(child.hwnd(), IPrivateMessage::mnemonicQuery, c.key, 0), c.answer);
    }
}

TEST(PrivateQueries, TheWindowQueryAnswersOrClimbsToTheParent)
{
    TestWindow top;
    TestWindow middle(top.hwnd(), WS_VISIBLE, 1);
    TestWindow child(middle.hwnd(), WS_VISIBLE, 2);
    const HWND handle = child.hwnd();
    auto ask = [&](unsigned code, LPARAM argument) {
        return SendMessageA(handle, IPrivateMessage::windowQuery, code, argument);
    };

    EXPECT_EQ(ask(IPrivateMessage::queryHandle, 0), reinterpret_cast<LRESULT>(handle));
    EXPECT_EQ(ask(IPrivateMessage::queryIsWindow, reinterpret_cast<LPARAM>(middle.hwnd())), 1);
    EXPECT_EQ(ask(IPrivateMessage::queryIsWindow, 12345), 0);
    EXPECT_EQ(ask(99, 0), 0);

    // A handler of an ancestor answers a code of its own for all its descendants.
    Recorder answers(IPrivateMessage::windowQuery);
    answers.attach(top, "top", true).setAction([](IEvent& event) {
        event.setResult(event.parameter1().lowNumber() == 42 ? 4242 : 0);
        return true;
    });
    EXPECT_EQ(SendMessageA(top.hwnd(), IPrivateMessage::windowQuery, 42, 0), 4242);
    EXPECT_EQ(SendMessageA(middle.hwnd(), IPrivateMessage::windowQuery, 42, 0), 4242);
    EXPECT_EQ(ask(42, 0), 4242);
    EXPECT_EQ(answers.trace(), "top top top");
}

} // namespace
