// Window observers: what a window's events tell its observers, in which order, and when.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include <iobserver.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>
#include <iwinntfy.hpp>

#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

// Reads each notification as "<name>" or "<name>=<data>", names without "IWindow::"; with pairs
// logged, the data of a size or a position (a pointer to two 32-bit values) reads as "(a,b)".
class WindowLog : public ovktest::NotificationLog {
public:
    WindowLog() { logPairs(false); }
    void logPairs(bool pairs) { describeAs([pairs](const INotificationEvent& event) { return describe(event, pairs); }); }

private:
    static std::string describe(const INotificationEvent& event, bool pairs)
    {
        std::string name = event.notificationId();
        if (name.rfind("IWindow::", 0) == 0)
            name = name.substr(9);
        if (pairs && (name == "size" || name == "position")) {
            const auto* pair = static_cast<const std::int32_t*>(event.eventData().asPointer());
            name += "=(" + std::to_string(pair[0]) + "," + std::to_string(pair[1]) + ")";
        } else if (name != "size" && name != "position") {
            name += "=" + std::to_string(event.eventData().asUnsignedLong());
        }
        return name;
    }
};

class ObserverNotifications : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<TestWindow>();
        window = std::make_unique<TestWindow>(parent->hwnd(), 0, 12);
        log.handleNotificationsFor(*window);
        window->enableNotification();
    }
    void TearDown() override
    {
        window.reset();
        parent.reset();
    }

    std::unique_ptr<TestWindow> parent;
    std::unique_ptr<TestWindow> window;
    WindowLog log;
};

TEST(ObserverEnabling, ObserversHearNothingUntilNotificationIsEnabled)
{
    TestWindow parent;
    TestWindow window(parent.hwnd(), 0, 3);
    WindowLog log;
    log.handleNotificationsFor(window);
    EXPECT_FALSE(window.isEnabledForNotification());
    ShowWindow(window.hwnd(), SW_SHOW);
    window.notifyObservers(IWindow::commandId);
    EXPECT_EQ(log.trace(), "");

    window.enableNotification();
    EXPECT_TRUE(window.isEnabledForNotification());
    EXPECT_EQ(window.notificationHandler(), &IWindowNotifyHandler::shared());
    ShowWindow(window.hwnd(), SW_HIDE);
    EXPECT_EQ(log.trace(), "visible=0");

    window.disableNotification();
    ShowWindow(window.hwnd(), SW_SHOW);
    EXPECT_EQ(log.trace(), "visible=0");
}

TEST_F(ObserverNotifications, StateChangesAreToldWithTheirData)
{
    struct Case {
        const char* what;
        std::function<void(TestWindow&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"shown", [](TestWindow& w) { ShowWindow(w.hwnd(), SW_SHOW); }, "visible=1"},
        {"hidden", [](TestWindow& w) { ShowWindow(w.hwnd(), SW_HIDE); }, "visible=0"},
        {"disabled", [](TestWindow& w) { w.disable(); }, "enable=0"},
        {"enabled", [](TestWindow& w) { w.enable(); }, "enable=1"},
        {"command", [](TestWindow& w) { w.sendEvent(WM_COMMAND, 5); }, "command=0"},
        {"system command", [](TestWindow& w) { w.sendEvent(WM_SYSCOMMAND, 0); },
         "systemCommand=0"},
        {"focus message", [](TestWindow& w) { w.sendEvent(WM_SETFOCUS); }, "focus=1"},
        {"focus lost message", [](TestWindow& w) { w.sendEvent(WM_KILLFOCUS); }, "focus=0"},
    };
    for (const Case& c : cases) {
        log.clear();
        c.change(*window);
        EXPECT_EQ(log.trace(), c.expected) << c.what;
    }
}

TEST_F(ObserverNotifications, AMoveThatAlsoResizesReportsSizeFirstThenPosition)
{
    log.logPairs(true);
    SetWindowPos(window->hwnd(), nullptr, 7, 9, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(log.trace(), "size=(30,40) position=(7,9)");

    log.clear();
    SetWindowPos(window->hwnd(), nullptr, 11, 13, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    EXPECT_EQ(log.trace(), "position=(11,13)");
}

TEST_F(ObserverNotifications, AFontChangeIsToldOnlyAfterTheLoopDeliversTheFollowUp)
{
    const HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    ovktest::pumpPending();
    window->sendEvent(WM_SETFONT, IEventParameter1(static_cast<void*>(font)), 0);
    EXPECT_EQ(log.trace(), "");
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !log.trace().empty(); }));
    EXPECT_EQ(log.trace(), "font=" + std::to_string(reinterpret_cast<std::uintptr_t>(font)));
}

TEST_F(ObserverNotifications, ColourSettersTellTheirIdsAndAResetOfNothingTellsNothing)
{
    window->setBackgroundColor(IColor(IColor::red));
    window->setForegroundColor(IColor(IColor::blue));
    window->resetBackgroundColor();
    window->resetBackgroundColor();
    EXPECT_EQ(log.trace(), "backgroundColor=0 foregroundColor=0 backgroundColor=0");
}

TEST_F(ObserverNotifications, AnObserverAddedDuringANotificationIsToldFromTheNextOne)
{
    WindowLog late;
    log.setReaction([&](const INotificationEvent&) { late.handleNotificationsFor(*window); });
    window->notifyObservers(IWindow::commandId);
    EXPECT_EQ(late.trace(), "");
    log.setReaction(nullptr);
    window->notifyObservers(IWindow::commandId);
    EXPECT_EQ(late.trace(), "command=0");
    EXPECT_EQ(log.trace(), "command=0 command=0");
}

TEST_F(ObserverNotifications, TheTextsNameHandleAndId)
{
    const std::string text(window->asString());
    EXPECT_EQ(text.rfind("IWindowHandle(", 0), 0U) << text;
    EXPECT_NE(text.find("), Id(12)"), std::string::npos) << text;
    const std::string debug(window->asDebugInfo());
    EXPECT_EQ(debug.rfind(text, 0), 0U);
    EXPECT_NE(debug.find(", IHandler("), std::string::npos);
    EXPECT_NE(debug.find("), SubclassProc("), std::string::npos);
}

} // namespace
