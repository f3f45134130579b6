// The entry field: its limit, selection, clearing and the clipboard, read-only switching by
// disable and enable, the keys it hands to its owner, its colours and the start of a drag.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include <icombobx.hpp>
#include <ientryfd.hpp>
#include <inotifid.hpp>
#include <iplatfrm.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

using basectltest::NotificationLog;

IRectangle slot(int row)
{
    return IRectangle(IPoint(10, 10 + 30 * row), ISize(200, 24));
}

class EntryField : public basectltest::ShownParent {
protected:
    std::unique_ptr<IEntryField> make(int row = 0, IWindow* owner = nullptr)
    {
        return std::make_unique<IEntryField>(10 + row, parent.get(), owner ? owner : parent.get(),
                                             slot(row));
    }
};

TEST_F(EntryField, ANewFieldKeepsTheFirst32CharactersAndALimitMustHoldTheText)
{
    auto field = make();
    EXPECT_EQ(field->limit(), 32u);
    field->setText("abcdefghijklmnopqrstuvwxyz0123456789ABCD"); // 40 characters
    EXPECT_EQ(ovktest::str(field->text()), "abcdefghijklmnopqrstuvwxyz012345");

    field->setText("Eight ch");
    const IException failure = ovktest::caught([&] { field->setLimit(5); });
    EXPECT_EQ(ovktest::str(failure.text(0)), "text().length() <= ulLimit");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "ientryfd");
    EXPECT_EQ(field->limit(), 32u);

    ovktest::Recorder limits(EM_LIMITTEXT);
    limits.attach(*field, "limit");
    field->setLimit(32);
    EXPECT_EQ(limits.trace(), "");
    field->setLimit(8);
    EXPECT_EQ(limits.trace(), "limit");
    // The native control keeps the limit too: typing past it is refused.
    SendMessageA(field->handle(), EM_SETSEL, 8, 8);
    SendMessageA(field->handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(ovktest::str(field->text()), "Eight ch");
}

TEST_F(EntryField, ClearBlanksTheSelectionAndKeepsTheLength)
{
    auto field = make();
    field->setText("Planet");
    field->selectRange(IRange(1, 3));
    EXPECT_EQ(ovktest::str(field->selectedText()), "lan");
    field->clear();
    EXPECT_EQ(ovktest::str(field->text()), "P   et");

    // A read-only field keeps its text.
    field->disableDataUpdate();
    field->selectRange(IRange(0, 1));
    field->clear();
    EXPECT_EQ(ovktest::str(field->text()), "P   et");
}

TEST_F(EntryField, AnUpperBoundOf0xFFFFFFFESelectsToTheEnd)
{
    auto field = make();
    field->setText("Planet");
    field->selectRange(IRange(2, static_cast<IRange::Bound>(0xFFFFFFFE)));
    EXPECT_EQ(ovktest::str(field->selectedText()), "anet");
    EXPECT_EQ(field->selectedRange().lowerBound(), 2);
    EXPECT_EQ(field->selectedRange().upperBound(), 5);
    EXPECT_EQ(field->selectedTextLength(), 4u);
}

TEST_F(EntryField, ClipboardOperationsNeedASelectionAndMoveText)
{
    auto source = make(0);
    auto target = make(1);
    source->setText("copy me");
    const struct {
        const char* what;
        std::function<void()> operation;
    } needSelection[] = {
        {"cut", [&] { source->cut(); }},
        {"copy", [&] { source->copy(); }},
        {"clear", [&] { source->clear(); }},
        {"discard", [&] { source->discard(); }},
        {"selectedRange", [&] { source->selectedRange(); }},
    };
    source->setCursorPosition(2);
    for (const auto& c : needSelection) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ovktest::str(ovktest::caught(c.operation).text(0)), "hasSelectedText()");
    }

    source->selectRange(IRange(0, 3));
    source->copy();
    target->paste();
    EXPECT_EQ(ovktest::str(target->text()), "copy");
    source->selectRange(IRange(4, 6));
    source->cut();
    EXPECT_EQ(ovktest::str(source->text()), "copy");
    target->setCursorPosition(0);
    target->paste();
    EXPECT_EQ(ovktest::str(target->text()), " mecopy");
    target->selectRange(IRange(0, 2));
    target->discard();
    EXPECT_EQ(ovktest::str(target->text()), "copy");
}

// The owner here moves the focus on a Tab character, as a canvas or a dialog does.
TEST_F(EntryField, DisablingAFocusedFieldMakesItReadOnlyAndMovesTheFocusOn)
{
    ovktest::TestWindow owner;
    auto first = make(0, &owner);
    auto second = make(1, &owner);
    ovktest::Recorder tabs(WM_CHAR);
    tabs.attach(owner, "tab").setAction([&](IEvent& event) {
        if (event.parameter1().asUnsignedLong() != VK_TAB || GetFocus() != first->handle())
            return false;
        SetFocus(second->handle());
        return true;
    });
    SetForegroundWindow(parentHandle());
    first->setFocus();
    ASSERT_TRUE(first->hasFocus());

    first->disable();
    EXPECT_EQ(tabs.trace(), "tab");
    EXPECT_FALSE(first->isEnabled());
    EXPECT_FALSE(first->isWriteable());
    EXPECT_TRUE(second->hasFocus());

    first->enable();
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(first->isWriteable());

    // A field the program made read-only stays so across disable and enable.
    second->disableDataUpdate();
    second->disable();
    second->enable();
    EXPECT_FALSE(second->isWriteable());
}

// The single-line fields, whose edit scrolls only to show its caret: each kind with the window
// that holds its text.
struct SingleLineKind {
    const char* name;
    std::unique_ptr<IEntryField> (*make)(IWindow& parent, HWND& text);
};

class SingleLineLeftIndex : public basectltest::ShownParent,
                            public testing::WithParamInterface<SingleLineKind> {};

// The characters of a field's text that its view shows from the start.
unsigned long shownFromTheStart(HWND text)
{
    RECT client{};
    GetClientRect(text, &client);
    const auto length = static_cast<unsigned long>(GetWindowTextLengthA(text));
    unsigned long shown = 0;
    while (shown < length &&
           static_cast<short>(LOWORD(SendMessageA(text, EM_POSFROMCHAR, shown + 1, 0))) <
               client.right)
        ++shown;
    return shown;
}

// A program scrolls the field while the user's selection, made from its right end, stays as
// the user left it: both ends, and the caret at its left end. A single-line edit always shows
// its caret, so the caret lies in the middle of what the field shows from the start.
TEST_P(SingleLineLeftIndex, ScrollsWithoutTouchingTheSelectionOrTheCaret)
{
    HWND text = nullptr;
    auto field = GetParam().make(*parent, text);
    ASSERT_NE(text, nullptr);
    field->setLimit(300);
    field->setText(std::string(200, 'm').c_str());
    SetForegroundWindow(parentHandle());
    SetFocus(text);
    SendMessageA(text, EM_SETSEL, 0, 0);
    const unsigned long caret = shownFromTheStart(text) / 2;
    ASSERT_GE(caret, 4u);
    const unsigned long anchor = caret + 2;
    SendMessageA(text, EM_SETSEL, anchor, caret);
    const auto expectSelectionKept = [&](const char* step) {
        DWORD start = 0, end = 0;
        SendMessageA(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, caret) << step;
        EXPECT_EQ(end, anchor) << step;
        POINT at{};
        GetCaretPos(&at);
        EXPECT_EQ(at.x, static_cast<short>(LOWORD(SendMessageA(text, EM_POSFROMCHAR, caret, 0))))
            << step;
    };
    ASSERT_EQ(field->leftIndex(), 0u);
    field->setLeftIndex(caret);
    EXPECT_GT(field->leftIndex(), 0u);
    EXPECT_LE(field->leftIndex(), caret);
    expectSelectionKept("scrolled right");
    field->setLeftIndex(0);
    EXPECT_EQ(field->leftIndex(), 0u);
    expectSelectionKept("scrolled back");
    // Far beyond the caret the field can only show the caret, and keeps the selection.
    field->setLeftIndex(150);
    EXPECT_LE(field->leftIndex(), caret);
    expectSelectionKept("beyond the caret");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SingleLineLeftIndex,
    testing::Values(
        SingleLineKind{"APasswordField",
                       [](IWindow& parent, HWND& text) {
                           auto field = std::make_unique<IEntryField>(
                               7, &parent, &parent, slot(0),
                               IEntryField::defaultStyle() | IEntryField::_unreadable);
                           text = field->handle();
                           return field;
                       }},
        SingleLineKind{"ATakenOverEdit",
                       [](IWindow& parent, HWND& text) {
                           text = CreateWindowExA(0, "Edit", "",
                                                  WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                                                  10, 10, 200, 24, parent.handle(),
                                                  reinterpret_cast<HMENU>(8), nullptr, nullptr);
                           return std::make_unique<IEntryField>(IWindowHandle(text));
                       }},
        SingleLineKind{"AComboBoxTextField",
                       [](IWindow& parent, HWND& text) -> std::unique_ptr<IEntryField> {
                           auto box = std::make_unique<IComboBox>(
                               9, &parent, &parent, IRectangle(IPoint(10, 10), ISize(200, 120)),
                               IComboBox::dropDownType | IComboBox::_autoScroll | IWindow::visible);
                           text = box->editHandle();
                           return box;
                       }}),
    [](const testing::TestParamInfo<SingleLineKind>& info) { return std::string(info.param.name); });

// Enter, Esc and Tab in a field of a dialog reach the dialog as WM_CHAR and never the edit
// control, which would beep or insert a tab.
TEST_F(EntryField, EnterEscAndTabGoToTheOwner)
{
    basectltest::MemoryDialog dialog(parentHandle(), {{0x81, ES_AUTOHSCROLL, 201, 5}});
    ASSERT_NE(dialog.hwnd(), nullptr);
    IWindow dialogWindow{IWindowHandle(dialog.hwnd())};
    IEntryField field(201, &dialogWindow);
    ovktest::Recorder characters(WM_CHAR);
    characters.attach(dialogWindow, "dialog", true);
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{VK_TAB}})
        SendMessageA(field.handle(), WM_CHAR, key, 1);
    EXPECT_EQ(characters.trace(), "dialog dialog dialog");
    EXPECT_TRUE(field.isEmpty());
    SendMessageA(field.handle(), WM_CHAR, 'a', 1);
    EXPECT_EQ(characters.trace(), "dialog dialog dialog");
    EXPECT_EQ(ovktest::str(field.text()), "a");
    EXPECT_EQ(field.limit(), 32u);
}

TEST_F(EntryField, ReadOnlyChangesAreToldAfterTheControlHasThem)
{
    auto field = make();
    NotificationLog log;
    log.handleNotificationsFor(*field);
    field->enableNotification();
    ovktest::send(field->handle(), EM_SETREADONLY, 1);
    ovktest::pumpUntil([&] { return !log.entries().empty(); });
    EXPECT_EQ(log.trace(), "IEntryField::dataUpdate=0");
    log.clear();
    field->enableDataUpdate();
    ovktest::pumpUntil([&] { return !log.entries().empty(); });
    EXPECT_EQ(log.trace(), "IEntryField::dataUpdate=1");
    log.stopHandlingNotificationsFor(*field);
}

TEST_F(EntryField, ColourRequestsAnswerWithTheFieldsOwnColours)
{
    auto field = make();
    field->setBackgroundColor(IColor(IColor::red));
    field->setForegroundColor(IColor(IColor::blue));
    const HDC context = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        parentHandle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
        reinterpret_cast<LPARAM>(static_cast<HWND>(field->handle()))));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH info{};
    ASSERT_EQ(GetObjectA(brush, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbColor & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(context), RGB(255, 0, 0));
    EXPECT_EQ(GetTextColor(context), RGB(0, 0, 255));
    DeleteDC(context);
}

// A press on the selected text asks for a drag by the private begin-drag message and drops the
// selection; a press beside it does nothing.
TEST_F(EntryField, APressOnTheSelectedTextStartsADrag)
{
    auto field = make();
    field->setText("drag this word");
    field->selectRange(IRange(5, 8));
    ovktest::Recorder drags(0xFFDE);
    drags.attach(*field, "drag", true);
    const auto at = [&](int character) {
        const LRESULT point = SendMessageA(field->handle(), EM_POSFROMCHAR, character, 0);
        return IEventParameter2(MAKELPARAM(LOWORD(point) + 1, HIWORD(point) + 2));
    };
    IEvent beside(field->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at(1));
    EXPECT_FALSE(field->isDragStarting(beside));
    EXPECT_EQ(drags.trace(), "");
    IEvent on(field->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at(6));
    EXPECT_FALSE(field->isDragStarting(on));
    EXPECT_EQ(drags.trace(), "drag");
    EXPECT_FALSE(field->hasSelectedText());
}

// A dialog's path field holds more than the first limit: taken over by its id or by its
// handle, it keeps its text and gets a limit that holds it; a short text keeps the first limit.
TEST_F(EntryField, TakingOverALongTextKeepsItWithALimitThatHoldsIt)
{
    const std::string path = "C:\\Program Files\\Example Vendor\\Example Product\\settings.ini";
    ASSERT_GT(path.size(), 32u);
    basectltest::MemoryDialog dialog(parentHandle(), {{0x81, ES_AUTOHSCROLL | WS_BORDER, 101, 5},
                                                      {0x81, ES_AUTOHSCROLL | WS_BORDER, 102, 25},
                                                      {0x81, ES_AUTOHSCROLL | WS_BORDER, 103, 45}});
    ASSERT_NE(dialog.hwnd(), nullptr);
    SetDlgItemTextA(dialog.hwnd(), 101, path.c_str());
    SetDlgItemTextA(dialog.hwnd(), 102, path.c_str());
    SetDlgItemTextA(dialog.hwnd(), 103, "short");
    IWindow dialogWindow{IWindowHandle(dialog.hwnd())};
    IEntryField byId(101, &dialogWindow);
    IEntryField byHandle{IWindowHandle(GetDlgItem(dialog.hwnd(), 102))};
    IEntryField shortText(103, &dialogWindow);
    for (IEntryField* field : {&byId, &byHandle}) {
        SCOPED_TRACE(field->id());
        EXPECT_EQ(ovktest::str(field->text()), path);
        EXPECT_EQ(field->limit(), path.size());
        // The native field has the same limit: a character typed at the end is refused.
        field->setCursorPosition(static_cast<unsigned long>(path.size()));
        SendMessageA(field->handle(), WM_CHAR, 'x', 1);
        EXPECT_EQ(ovktest::str(field->text()), path);
    }
    EXPECT_EQ(shortText.limit(), 32u);
}

// Minimum sizes are reckoned in the font's average character: the limit's characters widened
// by a factor that falls as the limit grows, at most 35 characters, and the border allowances
// (three border widths for the margin, four pixels for the sunken edge on the newer shell, seven
// more pixels of height on the older one).
TEST_F(EntryField, TheMinimumSizeFollowsTheLimitAndTheFont)
{
    auto field = make();
    const SIZE character = basectltest::characterOf(field->handle());
    ASSERT_GT(character.cx, 0);
    EXPECT_EQ(field->characterSize(), ISize(character.cx, character.cy));
    const long borderX = GetSystemMetrics(SM_CXBORDER);
    const long borderY = GetSystemMetrics(SM_CYBORDER);
    const struct {
        unsigned long limit;
        double factor;
    } limits[] = {{1, 3.0}, {2, 3.0}, {3, 2.5}, {4, 2.5}, {6, 2.0}, {10, 1.6},
                  {16, 1.4}, {17, 1.2}, {32, 1.2}, {200, 1.2}};
    for (const bool newShell : {true, false}) {
        IPlatform::Override shell(IPlatform::newShell, newShell);
        IPlatform::Override consumer(IPlatform::consumerNewShell, false);
        for (const auto& c : limits) {
            SCOPED_TRACE(std::to_string(c.limit) + (newShell ? " newer shell" : " older shell"));
            field->setLimit(c.limit);
            long width = static_cast<long>(static_cast<double>(c.limit) * character.cx * c.factor);
            width = std::min(width, 35 * character.cx) + 3 * borderX + (newShell ? 4 : 0);
            const long height = character.cy + 3 * borderY + (newShell ? 4 : 7);
            EXPECT_EQ(field->calcMinimumSize(), ISize(width, height));
        }
    }
}

TEST_F(EntryField, ANullParentIsRefused)
{
    const IException failure = ovktest::caught([] { IEntryField(1, nullptr, nullptr); });
    EXPECT_EQ(ovktest::str(failure.text(0)), "parent!=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "ientryfd");
}

} // namespace
