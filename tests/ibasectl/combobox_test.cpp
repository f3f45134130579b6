// The combo box: its kinds, the keys its text field hands on, the notifications of its list,
// its limit, and the list windows that lead back to it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include <icombobx.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

using basectltest::NotificationLog;
using ovktest::str;

// Types the text into a text field as a user does, one character at a time.
void type(HWND field, const char* text)
{
    for (; *text; ++text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*text), 1);
}

class ComboBox : public basectltest::ShownParent {
protected:
    std::unique_ptr<IComboBox> make(const IComboBox::Style& style, IWindow* owner = nullptr,
                                    unsigned long id = 41)
    {
        auto box = std::make_unique<IComboBox>(id, parent.get(), owner ? owner : parent.get(),
                                               IRectangle(IPoint(10, 10), ISize(160, 120)),
                                               style | IWindow::visible);
        for (const char* text : {"Amsterdam", "Berlin", "Copenhagen"})
            box->addAsLast(text);
        return box;
    }
};

TEST_F(ComboBox, AStyleOfNoKindIsRefusedBeforeAWindowExists)
{
    const IException failure = ovktest::caught([&] {
        IComboBox(1, parent.get(), parent.get(), IRectangle(), IComboBox::_autoScroll);
    });
    EXPECT_EQ(ovktest::str(failure.text(0)),
              "(style & (simpleType | dropDownType | readOnlyDropDownType)) !=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "icombobs");
    EXPECT_EQ(FindWindowExA(parentHandle(), nullptr, "ComboBox", nullptr), nullptr);
}

TEST_F(ComboBox, EachStyleMakesItsKind)
{
    const struct {
        IComboBox::Style style;
        IComboBox::ComboType type;
        bool hasEdit;
    } cases[] = {
        {IComboBox::simpleType, IComboBox::simple, true},
        {IComboBox::dropDownType, IComboBox::dropDown, true},
        {IComboBox::readOnlyDropDownType, IComboBox::readOnlyDropDown, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto box = make(c.style);
        EXPECT_EQ(box->comboType(), c.type);
        EXPECT_EQ(static_cast<bool>(box->editHandle()), c.hasEdit);
    }
}

// Enter in the text field: the private enter code goes to the parent first, then the owner gets
// the character; with the list open, only the owner gets it.
TEST_F(ComboBox, EnterAndAltKeysInTheTextFieldReachTheOwner)
{
    ovktest::TestWindow owner;
    auto box = make(IComboBox::dropDownType, &owner);
    ovktest::Trace order;
    // The parent's window procedure hands a control's notification to the control's owner.
    ovktest::RecordingHandler enterCode(order, "enter", IPrivateMessage::controlNotification);
    enterCode.setAction([&](IEvent& event) {
        if (event.parameter1().highNumber() != IPrivateMessage::comboEnter)
            order.clear();
        return false;
    });
    enterCode.handleEventsFor(&owner);
    ovktest::RecordingHandler characters(order, "owner", WM_CHAR, true);
    characters.handleEventsFor(&owner);
    ovktest::RecordingHandler altKeys(order, "alt", WM_SYSKEYDOWN, true);
    altKeys.handleEventsFor(&owner);
    const HWND edit = box->editHandle();

    SendMessageA(edit, WM_CHAR, VK_RETURN, 1);
    EXPECT_EQ(order.text(), "enter owner");
    order.clear();

    box->showList();
    ASSERT_TRUE(box->isListShowing());
    SendMessageA(edit, WM_CHAR, VK_RETURN, 1);
    EXPECT_EQ(order.text(), "owner");
    box->hideList();
    ovktest::pumpPending();
    order.clear();

    SendMessageA(edit, WM_SYSKEYDOWN, 'F', 0x20000000);
    EXPECT_EQ(order.text(), "alt");
    EXPECT_EQ(box->text().length(), 0u);
    enterCode.stopHandlingEventsFor(&owner);
    characters.stopHandlingEventsFor(&owner);
    altKeys.stopHandlingEventsFor(&owner);
}

// The list's native notifications as the combo box's observers hear them: closing the list is
// enter, a choice is a text change, a double click is enter.
TEST_F(ComboBox, ListNotificationsBecomeEnterAndSelect)
{
    auto box = make(IComboBox::dropDownType);
    NotificationLog log;
    log.handleNotificationsFor(*box);
    box->enableNotification();
    const auto notify = [&](WORD code) {
        SendMessageA(parentHandle(), WM_COMMAND, MAKEWPARAM(41, code),
                     reinterpret_cast<LPARAM>(static_cast<HWND>(box->handle())));
    };
    const struct {
        WORD code;
        const char* told;
    } cases[] = {
        {CBN_CLOSEUP, "IBaseComboBox::enter=0"},
        {CBN_SELENDOK, "ITextControl::text=0"},
        {CBN_DBLCLK, "IBaseComboBox::enter=0"},
        {CBN_SELCHANGE, "IBaseComboBox::select=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        log.clear();
        notify(c.code);
        ovktest::pumpUntil([&] { return !log.entries().empty(); });
        ovktest::pumpPending();
        EXPECT_EQ(log.trace(), c.told);
    }

    // Opening and closing the list by the program closes it as the user does.
    log.clear();
    box->showList();
    box->hideList();
    ovktest::pumpUntil([&] { return log.trace().find("enter") != std::string::npos; });
    EXPECT_NE(log.trace().find("IBaseComboBox::enter=0"), std::string::npos);
    log.stopHandlingNotificationsFor(*box);
}

TEST_F(ComboBox, ASimpleBoxAlwaysShowsItsList)
{
    auto box = make(IComboBox::simpleType);
    ovktest::Recorder drops(CB_SHOWDROPDOWN);
    drops.attach(*box, "drop");
    EXPECT_TRUE(box->isListShowing());
    box->showList();
    box->hideList();
    EXPECT_EQ(drops.trace(), "");
}

TEST_F(ComboBox, TheLimitCutsTheTextAndTheAlignmentIsFixed)
{
    auto box = make(IComboBox::dropDownType);
    EXPECT_EQ(box->limit(), 30000u);
    ovktest::Recorder limits(CB_LIMITTEXT);
    limits.attach(*box, "limit");
    box->setLimit(5);
    box->setLimit(5);
    EXPECT_EQ(limits.trace(), "limit");
    box->setText("Copenhagen");
    EXPECT_EQ(ovktest::str(box->text()), "Copen");
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { box->setLimit(3); }).text(0)),
              "text().length() <= ulLimit");
    const IException failure = ovktest::caught([&] { box->setAlignment(IEntryField::right); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_OPERATION_NOT_SUPPORTED);
}

TEST_F(ComboBox, SelectingAnItemShowsItsText)
{
    auto box = make(IComboBox::readOnlyDropDownType);
    box->select(2);
    EXPECT_EQ(ovktest::str(box->text()), "Copenhagen");
    EXPECT_EQ(box->numberOfSelections(), 1u);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { box->select(7); }).text(0)), "LM_SELECTITEM");
    box->deselectAll();
    EXPECT_EQ(box->selection(), IComboBox::notFound);
}

// The entry field's selection, cursor and clipboard operations act on the text typed into a
// drop-down combo box's text field.
TEST_F(ComboBox, TheTextOperationsActOnTheTypedText)
{
    auto box = make(IComboBox::dropDownType);
    auto other = make(IComboBox::dropDownType, nullptr, 42);
    type(box->editHandle(), "Hello world");
    EXPECT_EQ(str(box->text()), "Hello world");
    EXPECT_EQ(box->cursorPosition(), 11u);
    EXPECT_FALSE(box->hasSelectedText());
    box->setCursorPosition(5);
    EXPECT_EQ(box->cursorPosition(), 5u);

    box->selectRange(IRange(6, 10));
    ASSERT_TRUE(box->hasSelectedText());
    EXPECT_EQ(box->selectedTextLength(), 5u);
    EXPECT_EQ(box->selectedRange().lowerBound(), 6);
    EXPECT_EQ(box->selectedRange().upperBound(), 10);
    EXPECT_EQ(str(box->selectedText()), "world");
    box->selectRange(IRange(1, 0xFFFFFFFE));
    EXPECT_EQ(str(box->selectedText()), "ello world");

    box->selectRange(IRange(6, 10));
    box->copy();
    other->paste();
    EXPECT_EQ(str(other->text()), "world");
    box->selectRange(IRange(0, 5));
    box->cut();
    EXPECT_EQ(str(box->text()), "world");
    other->setCursorPosition(0);
    other->paste();
    EXPECT_EQ(str(other->text()), "Hello world");
    other->selectRange(IRange(0, 1));
    other->clear();
    EXPECT_EQ(str(other->text()), "  llo world");
    other->selectRange(IRange(0, 4));
    other->discard();
    EXPECT_EQ(str(other->text()), " world");
}

// Typing marks the text field changed, and the program's flag is the field's; the left index
// is the field's first shown character.
TEST_F(ComboBox, TheChangedFlagAndTheLeftIndexAreTheTextFields)
{
    auto box = make(IComboBox::dropDownType | IComboBox::_autoScroll);
    EXPECT_FALSE(box->isChanged());
    type(box->editHandle(), "abc");
    EXPECT_TRUE(box->isChanged());
    box->resetChangedFlag();
    EXPECT_FALSE(box->isChanged());
    type(box->editHandle(), "d");
    EXPECT_TRUE(box->isChanged());
    box->setChangedFlag(false);
    EXPECT_FALSE(box->isChanged());
    box->setChangedFlag();
    EXPECT_TRUE(box->isChanged());

    // A text far wider than the field, the user's caret at character 150: the field scrolls
    // there, keeping its caret in view, and answers its own first shown character.
    box->setText(std::string(200, 'm').c_str());
    SendMessageA(box->editHandle(), EM_SETSEL, 150, 150);
    box->setLeftIndex(150);
    const unsigned long shown = box->leftIndex();
    EXPECT_GT(shown, 0u);
    EXPECT_LE(shown, 150u);
    EXPECT_EQ(box->cursorPosition(), 150u);
}

// A list scrolls sideways, with a horizontal extent of the screen's width, on the consumer
// family's newer shell in every kind, on the NT family's only in the simple kind, and never on
// the older shell.
TEST_F(ComboBox, TheHorizontalExtentIsSetForTheKindsThatScrollOnEachShell)
{
    const struct {
        const char* what;
        IComboBox::Style kind;
        bool consumerShell;
        bool ntShell;
        bool extent;
    } cases[] = {
        {"simple, NT shell", IComboBox::simpleType, false, true, true},
        {"drop-down, NT shell", IComboBox::dropDownType, false, true, false},
        {"read-only, NT shell", IComboBox::readOnlyDropDownType, false, true, false},
        {"drop-down, consumer shell", IComboBox::dropDownType, true, false, true},
        {"read-only, both shells", IComboBox::readOnlyDropDownType, true, true, true},
        {"simple, older shell", IComboBox::simpleType, false, false, false},
    };
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IPlatform::Override consumer(IPlatform::consumerNewShell, c.consumerShell);
        IPlatform::Override nt(IPlatform::newShell, c.ntShell);
        auto box = make(c.kind | IComboBox::_horizontalScroll);
        EXPECT_EQ(box->isHorizontalScroll(), c.extent);
        EXPECT_EQ(SendMessageA(box->handle(), CB_GETHORIZONTALEXTENT, 0, 0),
                  c.extent ? desktop.right - desktop.left : 0);
    }
}

// The field's minimum size (35 average characters for the first limit, four pixels each way
// for a sunken edge), then the rows of an always shown list and its scroll bar, the frame, and
// the drop button of the drop-down kinds, whose height is that of the closed field the native
// box keeps.
TEST_F(ComboBox, TheMinimumSizeAddsTheListOrTheDropButtonToTheField)
{
    const struct {
        const char* what;
        IComboBox::Style style;
        bool simple;
        bool edge;
        bool scrollBar;
    } cases[] = {
        {"simple", IComboBox::simpleType, true, false, false},
        {"simple with a sunken edge", IComboBox::simpleType | IComboBox::_border3D, true, true, false},
        {"simple with a scroll bar", IComboBox::simpleType | IComboBox::_horizontalScroll, true, false, true},
        {"drop-down", IComboBox::dropDownType, false, false, false},
        {"drop-down with a sunken edge", IComboBox::dropDownType | IComboBox::_border3D, false, true, false},
    };
    const long borderX = GetSystemMetrics(SM_CXBORDER);
    const long borderY = GetSystemMetrics(SM_CYBORDER);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto box = make(c.style);
        const SIZE character = basectltest::characterOf(box->handle());
        EXPECT_EQ(box->characterSize(), ISize(character.cx, character.cy));
        long width = 35 * character.cx + (c.edge ? 4 : 0);
        long height = character.cy + (c.edge ? 4 : 0);
        if (c.simple)
            height += borderY + 4 * character.cy + (c.edge ? 2 : 0);
        width += 3 * borderX + 2;
        height += 2 * borderY;
        if (!c.simple)
            width += GetSystemMetrics(SM_CXVSCROLL);
        if (c.scrollBar)
            height += GetSystemMetrics(SM_CYHSCROLL);
        if (!c.simple) {
            RECT closed{};
            GetWindowRect(box->handle(), &closed);
            height = closed.bottom - closed.top;
        }
        EXPECT_EQ(box->calcMinimumSize(), ISize(width, height));
        box->setMinimumRows(2);
        EXPECT_EQ(box->calcMinimumSize().height(), height - (c.simple ? 2 * character.cy : 0));
    }
}

// Two wrapped combo boxes and an unwrapped one in a dialog: each list window leads to its own
// combo box, and the unwrapped one's to none and keeps its user data.
TEST_F(ComboBox, EachListInADialogLeadsToItsOwnComboBox)
{
    basectltest::MemoryDialog dialog(parentHandle(), {{0x85, CBS_DROPDOWN, 101, 5},
                                                      {0x85, CBS_DROPDOWNLIST, 102, 25},
                                                      {0x85, CBS_DROPDOWN, 103, 45}});
    ASSERT_NE(dialog.hwnd(), nullptr);
    IWindow dialogWindow{IWindowHandle(dialog.hwnd())};
    IComboBox first(101, &dialogWindow);
    IComboBox second(102, &dialogWindow);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(GetDlgItem(dialog.hwnd(), 103), &info));
    EXPECT_EQ(IBaseComboBox::comboBoxWithList(IWindowHandle(info.hwndList)), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(info.hwndList, GWLP_USERDATA), 0);
    EXPECT_EQ(IBaseComboBox::comboBoxWithList(first.listHandle()), &first);
    EXPECT_EQ(IBaseComboBox::comboBoxWithList(second.listHandle()), &second);
    EXPECT_NE(first.listHandle(), second.listHandle());
}

// The text field gets its own procedure back when the combo box object goes and the window
// stays.
TEST_F(ComboBox, AWrappedComboBoxGivesItsTextFieldBack)
{
    const HWND native = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN,
                                        10, 10, 100, 120, parentHandle(),
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(60)),
                                        nullptr, nullptr);
    const HWND edit = FindWindowExA(native, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR before = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    {
        IComboBox wrapped(IWindowHandle{native});
        EXPECT_NE(GetWindowLongPtrA(edit, GWLP_WNDPROC), before);
        wrapped.add(0xFFFFFFFF, "typed");
        SendMessageA(edit, WM_CHAR, 'x', 1);
        EXPECT_EQ(ovktest::str(wrapped.text()), "x");
    }
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), before);
    DestroyWindow(native);
}

} // namespace
