// The notification handlers of the control families: clicks, deferred state changes, text
// changes, and the codes of each family's controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ihandler.hpp>
#include <inotifhd.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <ipushbut.hpp>
#include <icheckbx.hpp>
#include <i3statbx.hpp>
#include <itextctl.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

using basectltest::NotificationLog;

// A control of any class whose notification goes to the handler of the family under test.
class FamilyControl : public ITextControl {
public:
    FamilyControl(HWND parent, const char* className, DWORD style, int id, IHandler& family)
        : fFamily(family)
    {
        const HWND window = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10,
                                            10, 150, 80, parent,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                            nullptr, nullptr);
        startHandlingEventsFor(window);
        setDestroyOnDelete();
    }
    IWindow& enableNotification(IBase::Boolean enable = true) override
    {
        return ovkEnableNotification(*this, fFamily, enable);
    }
    HWND hwnd() const { return handle(); }

private:
    IHandler& fFamily;
};

class Notifications : public basectltest::ShownParent {
protected:
    // Tells the parent what a native control reports, as the control would.
    void report(const FamilyControl& control, unsigned long code, LPARAM second = 0)
    {
        SendMessageA(parentHandle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.hwnd()), code),
                     second ? second : reinterpret_cast<LPARAM>(control.hwnd()));
    }
    // Everything posted so far has come back.
    void settle() { ovktest::pumpPending(); }

    NotificationLog log;
};

TEST_F(Notifications, APushButtonClickIsToldOnceAfterItWasProcessed)
{
    IPushButton button(7, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(80, 24)));
    log.handleNotificationsFor(button);
    button.enableNotification();
    button.click();
    EXPECT_EQ(log.trace(), "");
    ASSERT_TRUE(ovktest::pumpUntil([&] { return !log.entries().empty(); }));
    settle();
    EXPECT_EQ(log.trace(), "IButton::buttonClick=0");
    EXPECT_FALSE(log.entries()[0].attributeChanged);
    EXPECT_EQ(log.entries()[0].notifier, &button);
}

TEST_F(Notifications, ClickingACheckBoxTellsTheClickAndTheNewStateOnce)
{
    ICheckBox box(8, parent.get(), parent.get(), IRectangle(IPoint(10, 40), ISize(120, 24)));
    I3StateCheckBox triple(9, parent.get(), parent.get(), IRectangle(IPoint(10, 70), ISize(120, 24)));
    for (IWindow* control : {static_cast<IWindow*>(&box), static_cast<IWindow*>(&triple)}) {
        log.handleNotificationsFor(*control);
        control->enableNotification();
    }
    box.click();
    settle();
    EXPECT_EQ(log.trace(), "ISettingButton::select=1 IButton::buttonClick=0");
    log.clear();
    triple.setIndeterminate();
    settle();
    EXPECT_EQ(log.trace(), "ISettingButton::select=2");
}

TEST_F(Notifications, AnApplicationsHandlerIsKept)
{
    struct Quiet : IHandler {
        IBase::Boolean dispatchHandlerEvent(IEvent&) override { return false; }
    } own;
    IPushButton button(7, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(80, 24)));
    button.setNotificationHandler(&own);
    button.enableNotification();
    EXPECT_EQ(button.notificationHandler(), &own);
    EXPECT_TRUE(button.isEnabledForNotification());
    button.setNotificationHandler(nullptr);
}

TEST_F(Notifications, TheProgramsTextChangeIsToldOnceLikeAUsers)
{
    FamilyControl edit(parentHandle(), "Edit", 0, 11, IEntryFieldNotifyHandler::shared());
    log.handleNotificationsFor(edit);
    edit.enableNotification();
    edit.setText("by the program");
    settle();
    EXPECT_EQ(log.trace(), "ITextControl::text=0");
    log.clear();
    report(edit, EN_CHANGE);
    settle();
    EXPECT_EQ(log.trace(), "ITextControl::text=0");
}

TEST_F(Notifications, EditStateChangesAreToldOnceTheControlHasThem)
{
    const struct {
        const char* what;
        IHandler& family;
        DWORD style;
        const char* expected;
    } cases[] = {
        {"entry field", IEntryFieldNotifyHandler::shared(), 0,
         "IEntryField::dataUpdate=0 IEntryField::limit=40 IEntryField::dataUpdate=1"},
        {"multi-line edit", IMultiLineEditNotifyHandler::shared(), ES_MULTILINE,
         "IMultiLineEdit::dataUpdate=0 IMultiLineEdit::limit=40 IMultiLineEdit::dataUpdate=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FamilyControl edit(parentHandle(), "Edit", c.style, 12, c.family);
        NotificationLog states;
        states.handleNotificationsFor(edit);
        edit.enableNotification();
        bool readOnlyWhenTold = false;
        SendMessageA(edit.hwnd(), EM_SETREADONLY, TRUE, 0);
        EXPECT_EQ(states.trace(), "");
        settle();
        readOnlyWhenTold = (GetWindowLongPtrA(edit.hwnd(), GWL_STYLE) & ES_READONLY) != 0;
        SendMessageA(edit.hwnd(), EM_LIMITTEXT, 40, 0);
        SendMessageA(edit.hwnd(), EM_SETREADONLY, FALSE, 0);
        settle();
        EXPECT_EQ(states.trace(), c.expected);
        EXPECT_TRUE(readOnlyWhenTold);
    }
}

TEST_F(Notifications, EachFamilyTellsItsOwnCodes)
{
    for (const char* name : {"OVK Slider", "OVK Native Slider", "OVK Spin Button",
                             "OVK Native SpinButton", "OVK Circular Slider"})
        ovktest::registerClass(name);
    const struct {
        const char* className;
        DWORD style;
        IHandler& family;
        unsigned long code;
        const char* expected;
    } cases[] = {
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), CBN_SELCHANGE, "IBaseComboBox::select=0"},
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), CBN_DBLCLK, "IBaseComboBox::enter=0"},
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), 0xFFF8, "IBaseComboBox::enter=0"},
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), CBN_EDITCHANGE, "ITextControl::text=0"},
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), 0xFFF9, "ITextControl::text=0"},
        {"ListBox", 0, IListBoxNotifyHandler::shared(), LBN_SELCHANGE, "IBaseListBox::select=0"},
        {"ListBox", LBS_EXTENDEDSEL, IListBoxNotifyHandler::shared(), LBN_SELCHANGE, "IBaseListBox::select=0"},
        {"ListBox", LBS_MULTIPLESEL, IListBoxNotifyHandler::shared(), LBN_SELCHANGE, ""},
        {"ListBox", LBS_MULTIPLESEL, IListBoxNotifyHandler::shared(), 0xFFC8, "IBaseListBox::select=0"},
        {"ListBox", 0, IListBoxNotifyHandler::shared(), LBN_DBLCLK, "IBaseListBox::enter=0"},
        {"OVK Slider", 0, ISliderNotifyHandler::shared(), 0x8C, "IProgressIndicator::armChange=77"},
        {"OVK Native Slider", 0, ISliderNotifyHandler::shared(), 0x8F, "ISlider::armTrack=77"},
        {"OVK Spin Button", 0, ITextSpinButtonNotifyHandler::shared(), 0x99, "IBaseSpinButton::text=0"},
        {"OVK Native SpinButton", 0, INumericSpinButtonNotifyHandler::shared(), 0x99, "IBaseSpinButton::value=0"},
        {"OVK Spin Button", 0, INumericSpinButtonNotifyHandler::shared(), 0x9B, "IWindow::focus=0"},
        {"OVK Circular Slider", 0, ICircularSliderNotifyHandler::shared(), 0xA2, "ICircularSlider::value=77"},
        {"OVK Circular Slider", 0, ICircularSliderNotifyHandler::shared(), 0xA3, "ICircularSlider::track=77"},
        // Another family's code, or a code from another class, tells nothing.
        {"Edit", 0, ISliderNotifyHandler::shared(), 0x8C, ""},
        {"OVK Slider", 0, IListBoxNotifyHandler::shared(), LBN_SELCHANGE, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " " + std::to_string(c.code));
        FamilyControl control(parentHandle(), c.className, c.style, 30, c.family);
        NotificationLog heard(true);
        heard.handleNotificationsFor(control);
        control.enableNotification();
        // The library's outside controls report a value where native controls put their
        // handle; the identifier alone names the control.
        report(control, c.code, 77);
        settle();
        std::string kept;
        for (const auto& entry : heard.entries()) {
            if (entry.id.rfind("IWindow::", 0) == 0 && entry.id != "IWindow::focus")
                continue;
            kept += (kept.empty() ? "" : " ") + entry.id + "=" + std::to_string(entry.data);
        }
        EXPECT_EQ(kept, c.expected);
    }
}

TEST_F(Notifications, MessagesToTheControlAreToldByTheirFamily)
{
    const struct {
        const char* className;
        DWORD style;
        IHandler& family;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* expected;
    } cases[] = {
        {"ComboBox", CBS_DROPDOWN, IComboBoxNotifyHandler::shared(), WM_CHAR, '\r', 0, "IBaseComboBox::enter=0"},
        {"ListBox", 0, IListBoxNotifyHandler::shared(), WM_CHAR, '\r', 0, "IBaseListBox::enter=0"},
        {"ListBox", LBS_MULTIPLESEL, IListBoxNotifyHandler::shared(), WM_CHAR, ' ', 0, "IBaseListBox::select=0"},
        {"ListBox", LBS_MULTIPLESEL, IListBoxNotifyHandler::shared(), WM_LBUTTONUP, 0, 0, "IBaseListBox::select=0"},
        {"ListBox", LBS_MULTIPLESEL | LBS_EXTENDEDSEL, IListBoxNotifyHandler::shared(), WM_LBUTTONUP, 0, 0, ""},
        {"ScrollBar", SBS_HORZ, IScrollBarNotifyHandler::shared(), SBM_SETPOS, 12, 0, "IScrollBar::scrollBoxPosition=12"},
        {"ScrollBar", SBS_HORZ, IScrollBarNotifyHandler::shared(), 0xFFDC, 13, 0, "IScrollBar::scrollBoxPosition=13"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 5, "INotebook::pageBackgroundColor=0"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 6, "INotebook::majorTabBackgroundColor=0"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 7, "INotebook::minorTabBackgroundColor=0"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 8, "INotebook::majorTabForegroundColor=0"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 9, "INotebook::minorTabForegroundColor=0"},
        {"Static", 0, INotebookNotifyHandler::shared(), 0xF081, 0, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " " + std::to_string(c.message));
        FamilyControl control(parentHandle(), c.className, c.style, 30, c.family);
        NotificationLog heard;
        heard.handleNotificationsFor(control);
        control.enableNotification();
        SendMessageA(control.hwnd(), c.message, c.wParam, c.lParam);
        settle();
        EXPECT_EQ(heard.trace(), c.expected);
    }
}

// The help request goes to the frame of the window that had the focus: here a system dialog
// inside the button's parent, which itself is no frame.
TEST_F(Notifications, PushButtonsPostTheirCommandHelpOrSystemCommand)
{
    const HWND otherFrame = CreateWindowExA(0, reinterpret_cast<const char*>(0x8002), "",
                                            WS_CHILD | WS_VISIBLE, 150, 0, 100, 100,
                                            parentHandle(), nullptr, nullptr, nullptr);
    IWindow frame{IWindowHandle(otherFrame)};
    frame.setDestroyOnDelete();
    ovktest::TestWindow focused(otherFrame, WS_VISIBLE, 3);

    struct Road {
        const char* what;
        IWindow::Style style;
        bool variant;
    };
    const Road roads[] = {
        {"command", IPushButton::classDefault, false},
        {"command by the window procedure", IPushButton::classDefault, true},
        {"system command", IPushButton::classDefault | IPushButton::_systemCommand, false},
        {"help", IPushButton::classDefault | IPushButton::_help | IButton::_noPointerFocus, false},
    };
    std::vector<std::string> heard;
    auto record = [&](const char* tag) {
        return [&heard, tag](IEvent& event) {
            heard.push_back(std::string(tag) + " " + std::to_string(event.parameter1().asUnsignedLong()) +
                            " " + std::to_string(event.parameter2().asUnsignedLong()));
            return true;
        };
    };
    ovktest::Recorder commands(WM_COMMAND), systemCommands(WM_SYSCOMMAND), help(IPrivateMessage::frameEvent);
    commands.attach(*parent, "command").setAction(record("command"));
    systemCommands.attach(*parent, "system").setAction(record("system"));
    help.attach(frame, "help").setAction(record("help"));
    help.attach(*parent, "help at the parent").setAction(record("wrong frame"));
    const std::string focusedHandle = std::to_string(reinterpret_cast<std::uintptr_t>(focused.hwnd()));
    const char* expected[] = {"command 131079 0", "command 131079 0", "system 7 0",
                              nullptr};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(roads[i].what);
        IPlatform::Override variant(IPlatform::platformVariant, roads[i].variant);
        IPushButton button(7, parent.get(), parent.get(), IRectangle(IPoint(10, 10), ISize(80, 24)),
                           roads[i].style);
        heard.clear();
        SetForegroundWindow(parentHandle());
        SetFocus(focused.hwnd());
        ASSERT_EQ(GetFocus(), focused.hwnd());
        button.click();
        ASSERT_TRUE(ovktest::pumpUntil([&] { return !heard.empty(); }));
        settle();
        ASSERT_EQ(heard.size(), 1u);
        EXPECT_EQ(heard[0], expected[i] ? std::string(expected[i]) : "help 0 " + focusedHandle);
    }
}

} // namespace
