// The button family: creation and styles, default, help and system-command push buttons,
// selection within radio groups, minimum sizes, colours and the mouse-click focus rule.
#define OEMRESOURCE
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <detail/ilaybits.hpp>
#include <i3statbx.hpp>
#include <icheckbx.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <ipushbut.hpp>
#include <iradiobt.hpp>
#include <iwcname.hpp>

#include "basectltest.hpp"
#include "handdrag.hpp"
#include "ovktest.hpp"

namespace {

using basectltest::NotificationLog;

IRectangle slot(int row)
{
    return IRectangle(IPoint(10, 10 + 30 * row), ISize(120, 24));
}

LONG_PTR nativeStyle(const IWindow& window)
{
    return GetWindowLongPtrA(window.handle(), GWL_STYLE);
}

class Buttons : public basectltest::ShownParent {};

TEST_F(Buttons, ANullParentIsRefusedBeforeAnyWindowExists)
{
    const struct {
        const char* file;
        const char* condition;
        std::function<void()> make;
    } cases[] = {
        {"ipushbut", "parent!=0", [] { IPushButton(1, nullptr, nullptr); }},
        {"iradiobt", "parent!=0", [] { IRadioButton(1, nullptr, nullptr); }},
        {"icheckbx", "pwndParent!=0", [] { ICheckBox(1, nullptr, nullptr); }},
        {"i3statbx", "pwndParent!=0", [] { I3StateCheckBox(1, nullptr, nullptr); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const IException failure = ovktest::caught(c.make);
        EXPECT_EQ(ovktest::str(failure.text(0)), c.condition);
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), c.file);
    }
}

TEST_F(Buttons, StylesChooseTheNativeButtonKind)
{
    const IWindow::Style plain(WS_VISIBLE);
    const struct {
        const char* what;
        std::function<IWindow*(IWindow*)> make;
        LONG_PTR kind;
    } cases[] = {
        {"push", [&](IWindow* p) { return new IPushButton(1, p, p, slot(0), plain); }, 0},
        {"default push", [&](IWindow* p) { return new IPushButton(1, p, p, slot(0), plain | IPushButton::_defaultButton); }, 1},
        {"check box", [&](IWindow* p) { return new ICheckBox(1, p, p, slot(0), plain); }, 2},
        {"automatic check box", [&](IWindow* p) { return new ICheckBox(1, p, p, slot(0)); }, 3},
        {"radio", [&](IWindow* p) { return new IRadioButton(1, p, p, slot(0), plain); }, 4},
        {"three states", [&](IWindow* p) { return new I3StateCheckBox(1, p, p, slot(0), plain); }, 5},
        {"automatic three states", [&](IWindow* p) { return new I3StateCheckBox(1, p, p, slot(0)); }, 6},
        {"automatic radio", [&](IWindow* p) { return new IRadioButton(1, p, p, slot(0)); }, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<IWindow> button(c.make(parent.get()));
        EXPECT_EQ(nativeStyle(*button) & 0xF, c.kind);
        EXPECT_TRUE(nativeStyle(*button) & WS_CHILD);
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(ovktest::str(IWindowClassName(button->handle()).asString()), "Button");
    }
}

TEST_F(Buttons, AutomaticSelectionSwitchesTheKindInPlace)
{
    ICheckBox box(1, parent.get(), parent.get(), slot(0));
    I3StateCheckBox triple(2, parent.get(), parent.get(), slot(1));
    IRadioButton radio(3, parent.get(), parent.get(), slot(2));
    EXPECT_TRUE(box.isAutoSelect() && triple.isAutoSelect() && radio.isAutoSelect());
    box.disableAutoSelect();
    triple.disableAutoSelect();
    radio.disableAutoSelect();
    EXPECT_EQ(nativeStyle(box) & 0xF, BS_CHECKBOX);
    EXPECT_EQ(nativeStyle(triple) & 0xF, BS_3STATE);
    EXPECT_EQ(nativeStyle(radio) & 0xF, BS_RADIOBUTTON);
    EXPECT_FALSE(box.isAutoSelect() || triple.isAutoSelect() || radio.isAutoSelect());

    triple.setIndeterminate();
    EXPECT_TRUE(triple.isIndeterminate());
    EXPECT_EQ(SendMessageA(triple.handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

// A wrapped button whose style writes are counted by the messages they cause.
TEST_F(Buttons, DefaultButtonWrappedByHandleKeepsItsKindUntilDisabled)
{
    const HWND native = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON,
                                        10, 10, 80, 24, parentHandle(), nullptr, nullptr, nullptr);
    {
        IPushButton button{IWindowHandle(native)};
        EXPECT_TRUE(button.extendedStyle() & 0x100);
        ovktest::Recorder styleChanges(WM_STYLECHANGED);
        styleChanges.attach(button, "style");
        button.enableDefault();
        EXPECT_EQ(styleChanges.trace(), "");
        EXPECT_TRUE(button.isDefault());

        button.disableDefault();
        EXPECT_NE(styleChanges.trace(), "");
        EXPECT_EQ(nativeStyle(button) & 0xF, BS_PUSHBUTTON);
        EXPECT_FALSE(button.extendedStyle() & 0x100);
        EXPECT_FALSE(button.isDefault());

        button.enableHelp();
        button.enableSystemCommand();
        EXPECT_TRUE(button.isHelp() && button.isSystemCommand());

        // The reserved style has no bits here: switching it writes no style and the query
        // keeps answering that it is on.
        styleChanges.clear();
        const LONG_PTR before = nativeStyle(button);
        button.disableReservedStyle();
        EXPECT_TRUE(button.isReservedStyle());
        button.enableReservedStyle();
        EXPECT_EQ(styleChanges.trace(), "");
        EXPECT_EQ(nativeStyle(button), before);
        EXPECT_TRUE(button.isReservedStyle());
    }
    // Taken over, not made: the native button outlives its object.
    EXPECT_TRUE(IsWindow(native));
    DestroyWindow(native);
}

TEST_F(Buttons, MinimumSizesAddTheFrameOrTheCheckMark)
{
    HBITMAP marks = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES));
    ASSERT_TRUE(marks);
    BITMAP info{};
    GetObjectA(marks, sizeof info, &info);
    DeleteObject(marks);

    ICheckBox box(1, parent.get(), parent.get(), slot(0));
    box.setText("Check me");
    const ISize text = box.displaySize();
    const long borderX = GetSystemMetrics(SM_CXBORDER);
    const long borderY = GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(box.calcMinimumSize(), ISize(text.width() + 2 * borderX + info.bmWidth / 4 + 2 +
                                               text.width() / 8,
                                           text.height() + 2 * borderY));

    IPushButton push(2, parent.get(), parent.get(), slot(1));
    push.setText("Push");
    const ISize pushText = push.displaySize();
    EXPECT_EQ(push.calcMinimumSize(),
              ISize(9 * borderX + pushText.width() + 2 + pushText.width() / 4,
                    9 * borderY + pushText.height()));

    // A new text marks the minimum size stale, so that the canvases above lay out again.
    push.minimumSize();
    push.setText("Longer text");
    EXPECT_TRUE(push.isLayoutDistorted(ovk_layout::minimumSizeChanged));
}

TEST_F(Buttons, ColourRequestsAreAnsweredWithTheButtonsOwnColours)
{
    ICheckBox box(1, parent.get(), parent.get(), slot(0));
    box.setBackgroundColor(IColor(10, 20, 30));
    box.setForegroundColor(IColor(200, 100, 50));
    HDC context = GetDC(box.handle());
    for (UINT request : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(parentHandle(), request, reinterpret_cast<WPARAM>(context),
                         reinterpret_cast<LPARAM>(static_cast<HWND>(box.handle()))));
        ASSERT_TRUE(brush);
        LOGBRUSH described{};
        GetObjectA(brush, sizeof described, &described);
        EXPECT_EQ(described.lbColor & 0xFFFFFF, RGB(10, 20, 30));
        EXPECT_EQ(GetBkColor(context), RGB(10, 20, 30));
        EXPECT_EQ(GetTextColor(context), RGB(200, 100, 50));
    }
    ReleaseDC(box.handle(), context);
    // A push button is drawn on the button face unless told otherwise.
    IPushButton push(2, parent.get(), parent.get(), slot(1));
    EXPECT_EQ(push.backgroundColor().asRGBLong(), static_cast<unsigned long>(GetSysColor(COLOR_BTNFACE)));
    // The text and the highlight fall back to the menu text colour, a system colour read anew
    // at each use (Wine paints window and menu text alike, so the binding is what tells them
    // apart).
    for (const IColor& colour : {push.foregroundColor(),
                                 push.disabledForegroundColor(), push.hiliteForegroundColor(),
                                 push.hiliteBackgroundColor()}) {
        ASSERT_TRUE(colour.isSystemColor());
        EXPECT_EQ(colour.systemColor(), static_cast<unsigned long>(COLOR_MENUTEXT));
    }
}

// A group of three radio buttons, a check box in the same group, and the next group.
class RadioGroup : public basectltest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        const IWindow::Style manual = IWindow::Style(WS_VISIBLE);
        for (int i = 0; i < 3; ++i) {
            IWindow::Style style = manual | (i == 0 ? IControl::_group | IControl::_tabStop : manual);
            radios.push_back(std::make_unique<IRadioButton>(10 + i, parent.get(), parent.get(), slot(i), style));
        }
        next = std::make_unique<IRadioButton>(20, parent.get(), parent.get(), slot(3),
                                              manual | IControl::_group | IControl::_tabStop);
        for (auto& radio : radios) {
            log.handleNotificationsFor(*radio);
            radio->enableNotification();
        }
    }
    void TearDown() override
    {
        radios.clear();
        next.reset();
        ShownParent::TearDown();
    }
    static bool tabStop(const IWindow& button) { return (nativeStyle(button) & WS_TABSTOP) != 0; }

    std::vector<std::unique_ptr<IRadioButton>> radios;
    std::unique_ptr<IRadioButton> next;
    NotificationLog log;
};

TEST_F(RadioGroup, SelectingClearsTheGroupMovesTheTabStopAndIsToldTwice)
{
    radios[0]->select();
    next->select();
    ovktest::pumpPending();
    log.clear();

    radios[2]->select();
    EXPECT_TRUE(radios[2]->isSelected());
    EXPECT_FALSE(radios[0]->isSelected() || radios[1]->isSelected());
    EXPECT_TRUE(next->isSelected());
    EXPECT_TRUE(tabStop(*radios[2]));
    EXPECT_FALSE(tabStop(*radios[0]) || tabStop(*radios[1]));
    EXPECT_TRUE(tabStop(*next));
    // The click at once, the selections once the native buttons have them.
    EXPECT_EQ(log.trace(), "IButton::buttonClick=0");
    // The button that was checked is cleared while the new one's check is on its way, so its
    // change is told first; buttons that were not checked are not told anything.
    ASSERT_TRUE(ovktest::pumpUntil([&] { return log.entries().size() >= 3; }));
    ovktest::pumpPending();
    EXPECT_EQ(log.trace(), "IButton::buttonClick=0 ISettingButton::select=0 ISettingButton::select=1");
    EXPECT_EQ(log.entries()[1].notifier, radios[0].get());
    EXPECT_EQ(log.entries()[2].notifier, radios[2].get());
    EXPECT_FALSE(log.entries()[0].attributeChanged);
    EXPECT_TRUE(log.entries()[1].attributeChanged);

    log.clear();
    radios[2]->select(true);
    radios[1]->select(false);
    ovktest::pumpPending();
    EXPECT_EQ(log.trace(), "");
}

TEST_F(RadioGroup, SelectedIndexStaysWithinTheGroup)
{
    EXPECT_EQ(radios[1]->selectedIndex(), -1);
    next->select();
    // The next group's checked button is not counted as this group's.
    EXPECT_EQ(radios[1]->selectedIndex(), -1);
    EXPECT_EQ(next->selectedIndex(), 0);
    radios[1]->select();
    EXPECT_EQ(radios[0]->selectedIndex(), 1);
    EXPECT_EQ(radios[2]->selectedIndex(), 1);
}

TEST_F(RadioGroup, CheckingByMessageClearsTheVisibleRestOfTheGroupOnly)
{
    radios[0]->select();
    next->select();
    radios[0]->hide();
    SendMessageA(radios[1]->handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(radios[0]->isSelected()) << "a hidden button is left alone";
    radios[0]->show();
    SendMessageA(radios[2]->handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(radios[0]->isSelected());
    EXPECT_FALSE(radios[1]->isSelected());
    EXPECT_TRUE(radios[2]->isSelected());
    EXPECT_TRUE(next->isSelected());
    EXPECT_FALSE(tabStop(*radios[0]));
}

// A settings page as an application makes it with the default styles: no window has the group
// style, so the check boxes, the radio set and the push button form one dialog group.
class UngroupedPage : public basectltest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        check = std::make_unique<ICheckBox>(30, parent.get(), parent.get(), slot(0),
                                            ICheckBox::defaultStyle() | IControl::_tabStop);
        threeState = std::make_unique<I3StateCheckBox>(31, parent.get(), parent.get(), slot(1));
        for (int i = 0; i < 3; ++i)
            radios.push_back(std::make_unique<IRadioButton>(32 + i, parent.get(), parent.get(),
                                                            slot(2 + i)));
        push = std::make_unique<IPushButton>(35, parent.get(), parent.get(), slot(5));
    }
    void TearDown() override
    {
        radios.clear();
        check.reset();
        threeState.reset();
        push.reset();
        ShownParent::TearDown();
    }

    std::unique_ptr<ICheckBox> check;
    std::unique_ptr<I3StateCheckBox> threeState;
    std::vector<std::unique_ptr<IRadioButton>> radios;
    std::unique_ptr<IPushButton> push;
};

TEST_F(UngroupedPage, ARadioChoiceKeepsTheCheckBoxesBesideItAndIsCountedFromTheFirstSibling)
{
    // Settings loaded twice, as at two starts of the application: the check boxes first, then
    // the radio choice. The choice's index counts the page's windows from the first one.
    for (int choice : {1, 2}) {
        check->select();
        threeState->select();
        radios[choice]->select();
        ovktest::pumpPending();
        EXPECT_TRUE(check->isSelected()) << "choice " << choice;
        EXPECT_TRUE(threeState->isSelected()) << "choice " << choice;
        EXPECT_TRUE(nativeStyle(*check) & WS_TABSTOP) << "choice " << choice;
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(radios[other]->isSelected(), other == choice) << "choice " << choice;
        EXPECT_EQ(radios[0]->selectedIndex(), 2 + choice);
        EXPECT_EQ(radios[choice]->selectedIndex(), 2 + choice);
    }

    // The user's click on another choice.
    SetForegroundWindow(parentHandle());
    ovktest::clickByHand(ovktest::onScreen(radios[0]->handle(), 6, 6));
    ASSERT_TRUE(ovktest::pumpUntil([&] { return radios[0]->isSelected(); }));
    ovktest::pumpPending();
    EXPECT_TRUE(check->isSelected());
    EXPECT_TRUE(threeState->isSelected());
    EXPECT_FALSE(radios[2]->isSelected());
    EXPECT_EQ(radios[1]->selectedIndex(), 2);
}

TEST_F(UngroupedPage, ACheckedCheckBoxIsNoChoiceOfTheRadioSet)
{
    check->select();
    EXPECT_EQ(radios[0]->selectedIndex(), -1);
}

TEST_F(Buttons, AnEmptyVisibleButtonIsShownAgainAfterItsSelection)
{
    ICheckBox box(1, parent.get(), parent.get(), IRectangle(), IWindow::Style(WS_VISIBLE));
    bool visibleDuringChange = true;
    ovktest::Recorder checks(BM_SETCHECK);
    checks.attach(box, "check").setAction([&](IEvent&) {
        visibleDuringChange = IsWindowVisible(box.handle()) != 0;
        return false;
    });
    box.select();
    EXPECT_TRUE(box.isSelected());
    EXPECT_FALSE(visibleDuringChange);
    EXPECT_TRUE(box.isVisible());
}

TEST_F(Buttons, AButtonWithoutPointerFocusGivesTheFocusBack)
{
    ovktest::TestWindow field(parentHandle(), WS_VISIBLE, 40);
    IPushButton button(41, parent.get(), parent.get(), slot(2),
                       IPushButton::classDefault | IButton::_noPointerFocus);
    EXPECT_FALSE(button.allowsMouseClickFocus());
    SetForegroundWindow(parentHandle());
    SetFocus(field.hwnd());
    ASSERT_EQ(GetFocus(), field.hwnd());
    SendMessageA(button.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), static_cast<HWND>(button.handle()));
    SendMessageA(button.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ovktest::pumpUntil([&] { return GetFocus() == field.hwnd(); }));

    button.enableMouseClickFocus();
    SendMessageA(button.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ovktest::pumpPending();
    EXPECT_EQ(GetFocus(), static_cast<HWND>(button.handle()));
}

} // namespace
