// The control base (tab stop, group), setting buttons, and bidirectional settings on a platform
// without them.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <ibidiset.hpp>
#include <icontrol.hpp>
#include <iobserver.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

using ovktest::TestWindow;

namespace {

// A control over a new native child, counting the style writes.
class CountingControl : public IControl {
public:
    CountingControl(HWND parent, DWORD style)
    {
        startHandlingEventsFor(ovktest::createNativeWindow(parent, style, 70));
        setDestroyOnDelete();
    }
    IWindow& setStyle(unsigned long style) override
    {
        ++styleWrites;
        return IControl::setStyle(style);
    }
    int styleWrites = 0;
};

TEST(ControlBase, TabStopAndGroupWriteTheStyleOnlyWhenTheBitChanges)
{
    EXPECT_EQ(IControl::_tabStop.asUnsignedLong(), static_cast<unsigned long>(WS_TABSTOP));
    EXPECT_EQ(IControl::_group.asUnsignedLong(), static_cast<unsigned long>(WS_GROUP));
    TestWindow parent;
    CountingControl control(parent.hwnd(), WS_TABSTOP);

    control.enableTabStop();
    EXPECT_EQ(control.styleWrites, 0);
    control.disableTabStop();
    EXPECT_EQ(control.styleWrites, 1);
    EXPECT_FALSE(control.isTabStop());

    control.enableGroup();
    EXPECT_TRUE(control.isGroup());
    control.enableGroup(true);
    control.disableGroup();
    EXPECT_FALSE(control.isGroup());
    EXPECT_EQ(control.styleWrites, 3);
}

// A radio button or check box under a window object, the way the basic controls make them.
class TestButton : public ISettingButton {
public:
    TestButton(HWND parent, DWORD buttonStyle, int id, bool visible = true)
    {
        const HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD | buttonStyle |
                                                                  (visible ? WS_VISIBLE : 0),
                                            0, id * 20, 80, 18, parent,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                            nullptr, nullptr);
        startHandlingEventsFor(button);
        setDestroyOnDelete();
    }
    HWND hwnd() const { return handle(); }
};

class SelectLog : public IObserver {
public:
    int count = 0;

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override
    {
        if (event.notificationId() == ISettingButton::selectId)
            ++count;
        return *this;
    }
};

class ControlSettingButtons : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<TestWindow>();
        ShowWindow(parent->hwnd(), SW_SHOW);
        radios.push_back(std::make_unique<TestButton>(parent->hwnd(), BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, 1));
        radios.push_back(std::make_unique<TestButton>(parent->hwnd(), BS_RADIOBUTTON, 2));
        radios.push_back(std::make_unique<TestButton>(parent->hwnd(), BS_RADIOBUTTON, 3));
        // The next group: never touched by a selection in the first.
        outside = std::make_unique<TestButton>(parent->hwnd(), BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, 4);
        for (auto& radio : radios) {
            log.handleNotificationsFor(*radio);
            radio->enableNotification();
        }
    }
    void TearDown() override
    {
        radios.clear();
        outside.reset();
        parent.reset();
    }
    bool tabStop(const TestButton& button) const
    {
        return (GetWindowLongPtrA(button.hwnd(), GWL_STYLE) & WS_TABSTOP) != 0;
    }

    std::unique_ptr<TestWindow> parent;
    std::vector<std::unique_ptr<TestButton>> radios;
    std::unique_ptr<TestButton> outside;
    SelectLog log;
};

TEST_F(ControlSettingButtons, SelectingARadioButtonClearsItsGroupAndTakesTheTabStop)
{
    radios[0]->select();
    outside->select();
    log.count = 0;

    radios[2]->select();
    EXPECT_TRUE(radios[2]->isSelected());
    EXPECT_FALSE(radios[0]->isSelected());
    EXPECT_FALSE(radios[1]->isSelected());
    EXPECT_TRUE(outside->isSelected());
    EXPECT_TRUE(tabStop(*radios[2]));
    EXPECT_FALSE(tabStop(*radios[0]));
    EXPECT_FALSE(tabStop(*radios[1]));
    EXPECT_TRUE(tabStop(*outside));
    EXPECT_EQ(log.count, 1);
}

TEST_F(ControlSettingButtons, SelectingWhatIsAlreadySelectedSendsNothingAndTellsNoOne)
{
    radios[1]->select();
    log.count = 0;
    ovktest::Recorder checks(BM_SETCHECK);
    checks.attach(*radios[1], "check");
    radios[1]->select(true);
    radios[0]->select(false);
    EXPECT_EQ(checks.trace(), "");
    EXPECT_EQ(log.count, 0);
}

// A visible button of no size is hidden while its check changes, and only such a button.
TEST_F(ControlSettingButtons, ACheckBoxChangesAloneAndAnEmptyButtonIsHiddenMeanwhile)
{
    // The visibility of a button each time its check is set.
    const auto watch = [](ovktest::Recorder& checks, TestButton& button, std::string& seen) {
        checks.attach(button, "check").setAction([&seen](IEvent& event) {
            seen += IsWindowVisible(event.handle()) ? "visible " : "hidden ";
            return false;
        });
    };
    ovktest::Recorder boxChecks(BM_SETCHECK);
    std::string boxSeen;
    TestButton box(parent->hwnd(), BS_CHECKBOX, 9);
    watch(boxChecks, box, boxSeen);
    box.select();
    EXPECT_TRUE(box.isSelected());
    box.select(false);
    EXPECT_FALSE(box.isSelected());
    EXPECT_EQ(boxSeen, "visible visible ");

    ovktest::Recorder emptyChecks(BM_SETCHECK);
    std::string emptySeen;
    TestButton empty(parent->hwnd(), BS_RADIOBUTTON, 10);
    SetWindowPos(empty.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    watch(emptyChecks, empty, emptySeen);
    empty.select();
    EXPECT_TRUE(empty.isSelected());
    EXPECT_EQ(emptySeen, "hidden ");
    EXPECT_TRUE(IsWindowVisible(empty.hwnd()));
}

TEST(ControlBidiSettings, EveryAttemptFailsWithTheUnsupportedMessage)
{
    EXPECT_FALSE(IBidiSettings::isBidiSupported());
    TestWindow window;
    auto expectUnsupported = [](auto attempt, const char* what) {
        try {
            attempt();
            ADD_FAILURE() << what << " succeeded";
        } catch (const IInvalidRequest& failure) {
            EXPECT_EQ(failure.errorId(), OVK_MSG_BIDI_NOT_SUPPORTED) << what;
        }
    };
    expectUnsupported([&] { IBidiSettings settings(window); }, "settings of a window");
    expectUnsupported([&] { IBidiSettings settings(IWindowHandle(window.hwnd())); }, "of a handle");
    expectUnsupported([&] { IBidiSettings settings{IPresSpaceHandle()}; }, "of a context");
    expectUnsupported([&] { IWindow::BidiSettings settings(window); }, "the window's own");
}

} // namespace
