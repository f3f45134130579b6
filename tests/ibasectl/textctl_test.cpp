// The text control base: setting texts (unchanged, mnemonic, drop-down lists, edits), the
// display size and the layout mark of a font change.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <detail/ilaybits.hpp>
#include <iprivmsg.hpp>
#include <itextctl.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

// A text control over a new native child of any class, as a derived control makes one.
class TextControl : public ITextControl {
public:
    TextControl(HWND parent, const char* className, DWORD style, int id, DWORD exStyle = 0,
                const char* text = "")
    {
        const HWND window = CreateWindowExA(exStyle, className, text, WS_CHILD | style, 10, 10,
                                            160, 100, parent,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                            nullptr, nullptr);
        startHandlingEventsFor(window);
        setDestroyOnDelete();
    }
    HWND hwnd() const { return handle(); }
};

class TextControlSetText : public basectltest::ShownParent {};

TEST_F(TextControlSetText, SameTextIsNotSetAgainUnlessEitherHasAMnemonic)
{
    TextControl label(parentHandle(), "Static", WS_VISIBLE, 5);
    ovktest::Recorder sets(WM_SETTEXT);
    sets.attach(label, "set");

    label.setText("Plain");
    label.setText("Plain");
    EXPECT_EQ(sets.trace(), "set");
    // The old text had no mnemonic but the new one has.
    label.setText("&Plain");
    label.setText("&Plain");
    // The old one had a mnemonic: the first plain text after it is set even though equal
    // texts would otherwise be skipped.
    label.setText("Plain");
    label.setText("Plain");
    EXPECT_EQ(sets.trace(), "set set set set");
    EXPECT_EQ(ovktest::str(label.text()), "Plain");
    EXPECT_EQ(label.textLength(), 5u);
}

TEST_F(TextControlSetText, TextFromAResourceGoesThroughTheVirtualSetter)
{
    struct Counting : TextControl {
        using TextControl::TextControl;
        using TextControl::setText;
        ITextControl& setText(const char* text) override
        {
            ++calls;
            return TextControl::setText(text);
        }
        int calls = 0;
    } label(parentHandle(), "Static", WS_VISIBLE, 5);
    IResourceLibrary executable;
    label.setText(IResourceId(301, executable));
    EXPECT_EQ(label.calls, 1);
    EXPECT_EQ(ovktest::str(label.text()), "From the &resource");
}

TEST_F(TextControlSetText, LeavesTheStringThatADerivedTextAnswersFromIntact)
{
    // A control that answers its text from a string it keeps, as a cache would.
    struct Cached : TextControl {
        using TextControl::TextControl;
        IString text() const override { return kept; }
        IString kept{"Kept caption"};
    } label(parentHandle(), "Static", WS_VISIBLE, 5);
    label.setText("Another caption");
    label.setText(nullptr);
    EXPECT_EQ(ovktest::str(label.kept), "Kept caption");
}

TEST_F(TextControlSetText, AnEditTellsItsParentOnceTheFlagIsDown)
{
    TextControl edit(parentHandle(), "Edit", WS_VISIBLE, 23);
    struct Change {
        WPARAM wParam;
        LPARAM lParam;
        bool settingText;
    };
    std::vector<Change> changes;
    ovktest::Recorder commands(IPrivateMessage::controlNotification);
    commands.attach(*parent, "command").setAction([&](IEvent& event) {
        changes.push_back({static_cast<WPARAM>(event.parameter1().asUnsignedLong()),
                           event.parameter2().asLong(), edit.isSettingText() != 0});
        return false;
    });
    edit.setText("typed by the program");
    ASSERT_FALSE(changes.empty());
    // The native control may report the change itself, while the flag is up; the report that
    // comes last is the control's own, made like a typed one.
    EXPECT_EQ(changes.back().wParam, static_cast<WPARAM>((EN_CHANGE << 16) | 23));
    EXPECT_EQ(changes.back().lParam, reinterpret_cast<LPARAM>(edit.hwnd()));
    EXPECT_FALSE(changes.back().settingText);
    for (size_t i = 0; i + 1 < changes.size(); ++i)
        EXPECT_TRUE(changes[i].settingText) << "native report " << i;
    EXPECT_FALSE(edit.isSettingText());
}

TEST_F(TextControlSetText, AnEmptyVisibleControlIsHiddenWhileItsTextChanges)
{
    TextControl label(parentHandle(), "Static", WS_VISIBLE, 5);
    SetWindowPos(label.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    bool visibleDuringChange = true;
    ovktest::Recorder sets(WM_SETTEXT);
    sets.attach(label, "set").setAction([&](IEvent&) {
        visibleDuringChange = IsWindowVisible(label.hwnd()) != 0;
        return false;
    });
    label.setText("hidden for a moment");
    EXPECT_EQ(sets.trace(), "set");
    EXPECT_FALSE(visibleDuringChange);
    EXPECT_TRUE(IsWindowVisible(label.hwnd()));
}

// A drop-down list whose longer item comes first: the native prefix search finds it first.
class TextControlDropDownList : public basectltest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        list = std::make_unique<TextControl>(parentHandle(), "ComboBox",
                                             WS_VISIBLE | CBS_DROPDOWNLIST, 31);
        for (const char* item : {"Applesauce", "Apple", "Pear"})
            SendMessageA(list->hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    void TearDown() override
    {
        list.reset();
        ShownParent::TearDown();
    }
    LRESULT selection() const { return SendMessageA(list->hwnd(), CB_GETCURSEL, 0, 0); }

    std::unique_ptr<TextControl> list;
};

TEST_F(TextControlDropDownList, SelectsTheItemOfExactlyTheText)
{
    list->setText("Apple");
    EXPECT_EQ(selection(), 1);
    list->setText("applesauce");
    EXPECT_EQ(selection(), 0);
    list->setText("");
    EXPECT_EQ(selection(), CB_ERR);
}

TEST_F(TextControlDropDownList, AnUnknownTextFailsOnAVisibleListAndIsIgnoredOnAHiddenOne)
{
    list->setText("Pear");
    const IException failure = ovktest::caught([&] { list->setText("App"); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_TEXT_NOT_IN_LIST);
    ASSERT_NE(failure.locationAtIndex(0), nullptr);
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "itextctl");
    EXPECT_EQ(selection(), 2);
    EXPECT_FALSE(list->isSettingText());
    EXPECT_TRUE(IsWindowVisible(list->hwnd()));

    list->hide();
    list->setText("Plum");
    EXPECT_EQ(selection(), 2);
}

TEST_F(TextControlSetText, DisplaySizeGrowsByFourWithAClientEdge)
{
    TextControl plain(parentHandle(), "Static", WS_VISIBLE, 5, 0, "Measured text");
    TextControl edged(parentHandle(), "Edit", WS_VISIBLE, 6, WS_EX_CLIENTEDGE, "Measured text");
    edged.setFont(plain.font());
    const ISize bare = plain.displaySize();
    EXPECT_GT(bare.width(), 0);
    EXPECT_GT(bare.height(), 0);
    EXPECT_EQ(edged.displaySize(), bare + ISize(4, 4));
    EXPECT_LT(plain.displaySize("M").width(), bare.width());
}

TEST_F(TextControlSetText, AFontChangeMarksTheMinimumSizeStale)
{
    TextControl label(parentHandle(), "Static", WS_VISIBLE, 5, 0, "Sized");
    label.minimumSize();
    ASSERT_FALSE(label.isLayoutDistorted(ovk_layout::minimumSizeChanged));
    label.setLayoutDistorted(ovk_layout::fontChanged, 0);
    EXPECT_TRUE(label.isLayoutDistorted(ovk_layout::minimumSizeChanged));
}

} // namespace
