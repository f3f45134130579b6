// The control base (tab stop, group) and bidirectional settings on a platform without them.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <ibidiset.hpp>
#include <icontrol.hpp>
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
