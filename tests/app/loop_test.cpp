// The message loop: nested loops and stop requests, WM_QUIT, accelerator pre-translation.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <iprivmsg.hpp>
#include <detail/istthread.hpp>
#include <ithread.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"

using ovktest::Recorder;
using ovktest::TestWindow;

namespace {

constexpr UINT kNest = WM_USER + 20;

void postStop(unsigned long level)
{
    IMessageQueueHandle(GetCurrentThreadId())
        .postEvent(IPrivateMessage::stopLoop, 0, IEventParameter2(level));
}

unsigned long currentLevel()
{
    return IStartedThread::current()->loopLevel();
}

// Ends every loop if a test's stop requests do not, so that a fault fails instead of hanging.
class LoopWatchdog : public ovktest::Watchdog {
public:
    LoopWatchdog() : Watchdog(5000, [] { postStop(0xFFFFFFFF); }) {}
};

// Each posted kNest runs one more loop level from inside a handler; `atInnermost` runs on the
// way into the innermost one, to post what the test asks for.
class NestedLoops : public testing::Test {
protected:
    void SetUp() override {
        rec.attach(window, "nest", true).setAction([this](IEvent&) {
            const unsigned long level = currentLevel() + 1;
            levels.add("enter" + std::to_string(level));
            if (level < depth)
                PostMessageA(window.hwnd(), kNest, 0, 0);
            else if (atInnermost)
                atInnermost();
            IThread::current().processMsgs();
            levels.add("leave" + std::to_string(level));
            return true;
        });
    }

    // Runs the outermost loop and answers the trace.
    std::string run() {
        const LoopWatchdog watchdog;
        PostMessageA(window.hwnd(), kNest, 0, 0);
        IThread::current().processMsgs();
        levels.add("leave1");
        EXPECT_FALSE(watchdog.fired());
        EXPECT_EQ(currentLevel(), 0u);
        return levels.text();
    }

    TestWindow window;
    Recorder rec{kNest};
    ovktest::Trace levels;
    unsigned long depth = 3;
    std::function<void()> atInnermost;
};

TEST_F(NestedLoops, StopRequestsForOuterLevelsWaitUntilTheInnerLoopsHaveEnded)
{
    const char* const orders[][3] = {{"1", "2", "3"}, {"2", "1", "3"}};
    for (const auto& order : orders) {
        SCOPED_TRACE(std::string(order[0]) + order[1] + order[2]);
        levels.clear();
        atInnermost = [&] {
            for (const char* level : order)
                postStop(std::stoul(level));
        };
        EXPECT_EQ(run(), "enter2 enter3 leave3 leave2 leave1");
    }
}

TEST_F(NestedLoops, AStopRequestForADeeperLevelEndsTheRunningLoop)
{
    depth = 2;
    atInnermost = [] {
        postStop(7);
        postStop(1);
    };
    EXPECT_EQ(run(), "enter2 leave2 leave1");
}

TEST_F(NestedLoops, WmQuitEndsOnlyTheInnermostLoop)
{
    constexpr UINT kMark = kNest + 1;
    Recorder marks(kMark);
    marks.attach(window, "mark", true).setAction([&](IEvent&) {
        levels.add("mark" + std::to_string(currentLevel()));
        postStop(1);
        return true;
    });
    depth = 2;
    atInnermost = [&] {
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
        PostMessageA(window.hwnd(), kMark, 0, 0);
    };
    EXPECT_EQ(run(), "enter2 leave2 mark1 leave1");
}

TEST(MessageLoop, StoppingAThreadThatRunsNoLoopFailsWithMessage100)
{
    try {
        IThread::current().stopProcessingMsgs();
        FAIL() << "no exception";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), 100u);
        EXPECT_STREQ(failure.locationAtIndex(0)->fileName(), "ithread");
    }
}

// Runs the loop until a window that destroys itself from inside it is gone; answers whether the
// loop ended by itself (the watchdog would end it otherwise).
bool loopEndsWithTheWindow()
{
    const LoopWatchdog watchdog;
    auto window = std::make_unique<TestWindow>();
    Recorder rec(kNest);
    rec.attach(*window, "destroy", true).setAction([&](IEvent&) {
        DestroyWindow(window->hwnd());
        return true;
    });
    PostMessageA(window->hwnd(), kNest, 0, 0);
    IThread::current().processMsgs();
    return !watchdog.fired() && rec.trace() == "destroy";
}

TEST(MessageLoop, DestroyingTheLastTopLevelWindowEndsTheLoop)
{
    EXPECT_TRUE(loopEndsWithTheWindow());
}

TEST(MessageLoop, TheObjectWindowDoesNotKeepTheLoopRunning)
{
    ASSERT_NE(IWindow::objectWindow(), nullptr);
    EXPECT_TRUE(loopEndsWithTheWindow());
}

// The guard of the loop tests: a loop that nothing else ends is ended from the watchdog's timer,
// which runs inside that loop, and the watchdog says so.
TEST(MessageLoop, ALoopNothingEndsIsEndedByTheWatchdogWhichSaysSo)
{
    const TestWindow window;
    const ovktest::Watchdog watchdog(50, [] { postStop(0xFFFFFFFF); });
    IThread::current().processMsgs();
    EXPECT_TRUE(watchdog.fired());
    EXPECT_EQ(currentLevel(), 0u);
}

// Accelerators -------------------------------------------------------------------------------

class Accelerators : public testing::Test {
protected:
    void SetUp() override {
        ACCEL keys[] = {
            {FVIRTKEY, VK_F5, 100},
            {0, 'q', 101},
            {FVIRTKEY | FALT, VK_F6, 102},
        };
        table = CreateAcceleratorTableA(keys, 3);
        frame.setAcceleratorHandle(table);
        commands.attach(frame, "command", true).setAction([this](IEvent& event) {
            commandIds.push_back(event.parameter1().lowNumber());
            return true;
        });
        keysAtChild.attach(child, "key");
    }
    void TearDown() override { frame.setAcceleratorHandle(nullptr); DestroyAcceleratorTable(table); }

    // Posts the message to the child (or another window) and runs the loop until it has been
    // processed.
    void runWith(UINT message, WPARAM wParam, LPARAM lParam) { runWith(child.hwnd(), message, wParam, lParam); }
    void runWith(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
        PostMessageA(target, message, wParam, lParam);
        postStop(1);
        IThread::current().processMsgs();
    }

    HACCEL table = nullptr;
    TestWindow frame;
    HWND nativeChild = ovktest::createNativeWindow(frame.hwnd(), WS_VISIBLE, 5);
    TestWindow child{nativeChild, WS_VISIBLE, 6};
    Recorder commands{WM_COMMAND};
    Recorder keysAtChild{WM_KEYDOWN};
    std::vector<unsigned> commandIds;
};

TEST_F(Accelerators, AKeyForAGrandchildIsTranslatedByTheFramesTable)
{
    struct Case {
        UINT message;
        WPARAM key;
        LPARAM lParam;
        unsigned command;
    };
    const Case cases[] = {
        {WM_KEYDOWN, VK_F5, 0, 100},
        {WM_CHAR, 'q', 0, 101},
        {WM_SYSKEYDOWN, VK_F6, 1 << 29, 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        commandIds.clear();
        // A posted key does not change the key state; the table reads Alt from there.
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE alt = keys[VK_MENU];
        if (c.lParam & (1 << 29))
            keys[VK_MENU] |= 0x80;
        SetKeyboardState(keys);
        runWith(c.message, c.key, c.lParam);
        keys[VK_MENU] = alt;
        SetKeyboardState(keys);
        ASSERT_EQ(commandIds.size(), 1u);
        EXPECT_EQ(commandIds[0], c.command);
    }
    EXPECT_EQ(keysAtChild.trace(), "");
}

TEST_F(Accelerators, AKeyWithoutAnAcceleratorReachesItsWindow)
{
    runWith(WM_KEYDOWN, VK_F7, 0);
    EXPECT_TRUE(commandIds.empty());
    EXPECT_EQ(keysAtChild.trace(), "key");
}

// The library's hidden object window ends the climb: a table there never catches a key pressed
// in a window below it.
TEST_F(Accelerators, TheClimbEndsAtTheObjectWindow)
{
    IWindow* const objectWindow = IWindow::objectWindow();
    ASSERT_NE(objectWindow, nullptr);
    TestWindow below(objectWindow->handle(), 0, 7);
    ASSERT_EQ(GetParent(below.hwnd()), static_cast<HWND>(objectWindow->handle()));
    Recorder keys{WM_KEYDOWN};
    keys.attach(below, "key");
    objectWindow->setAcceleratorHandle(table);
    runWith(below.hwnd(), WM_KEYDOWN, VK_F5, 0);
    objectWindow->setAcceleratorHandle(nullptr);
    EXPECT_EQ(keys.trace(), "key");
}

TEST_F(Accelerators, TheNearestTableUpTheParentChainWins)
{
    ACCEL own[] = {{FVIRTKEY, VK_F5, 200}};
    HACCEL childTable = CreateAcceleratorTableA(own, 1);
    child.setAcceleratorHandle(childTable);
    Recorder childCommands(WM_COMMAND);
    std::vector<unsigned> childIds;
    childCommands.attach(child, "command", true).setAction([&](IEvent& event) {
        childIds.push_back(event.parameter1().lowNumber());
        return true;
    });

    runWith(WM_KEYDOWN, VK_F5, 0);
    child.setAcceleratorHandle(nullptr);
    DestroyAcceleratorTable(childTable);
    EXPECT_TRUE(commandIds.empty());
    ASSERT_EQ(childIds.size(), 1u);
    EXPECT_EQ(childIds[0], 200u);
}

} // namespace
