// The list box, and what it shares with the combo box: adding at an index and in order,
// cursors, removal, search, item texts and handles, and selection.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <icombobx.hpp>
#include <idrawhdr.hpp>
#include <ilistbox.hpp>
#include <iplatfrm.hpp>
#include <itrace.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

using basectltest::NotificationLog;

// The two boxes whose items the program changes, as an application builds them.
template <class Box>
std::unique_ptr<Box> makeBox(IWindow& parent);

template <>
std::unique_ptr<IListBox> makeBox<IListBox>(IWindow& parent)
{
    return std::make_unique<IListBox>(21, &parent, &parent,
                                      IRectangle(IPoint(10, 10), ISize(160, 120)));
}

template <>
std::unique_ptr<IComboBox> makeBox<IComboBox>(IWindow& parent)
{
    return std::make_unique<IComboBox>(22, &parent, &parent,
                                       IRectangle(IPoint(10, 10), ISize(160, 120)));
}

template <class Box>
std::vector<std::string> items(const Box& box)
{
    std::vector<std::string> texts;
    for (unsigned long index = 0; index < box.count(); ++index)
        texts.push_back(ovktest::str(box.itemText(index)));
    return texts;
}

template <class Box>
class ItemSet : public basectltest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        box = makeBox<Box>(*parent);
    }
    void TearDown() override
    {
        box.reset();
        ShownParent::TearDown();
    }
    void fill(std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            box->addAsLast(text);
    }

    std::unique_ptr<Box> box;
};

using Boxes = testing::Types<IListBox, IComboBox>;
TYPED_TEST_SUITE(ItemSet, Boxes);

TYPED_TEST(ItemSet, AnIndexAtOrPastTheCountAppends)
{
    const struct {
        unsigned long index;
        unsigned long expected;
    } cases[] = {{0xFFFFFFFF, 2}, {2, 2}, {7, 2}, {0, 0}, {1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        this->box->removeAll();
        this->fill({"a", "b"});
        EXPECT_EQ(this->box->add(c.index, "new"), c.expected);
        EXPECT_EQ(ovktest::str(this->box->itemText(c.expected)), "new");
        EXPECT_EQ(this->box->count(), 3u);
    }
    // A list of texts keeps its order, appended as well.
    const char* const more[] = {"x", "y"};
    EXPECT_EQ(this->box->add(0xFFFFFFFF, more, 2), 3u);
    EXPECT_EQ(ovktest::str(this->box->itemText(4)), "y");
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { this->box->add(0, more, 0); }).text(0)),
              "count != 0 && itemList != 0");
}

std::vector<std::string> gTraced;

TYPED_TEST(ItemSet, SortedAddsGoAfterEqualItems)
{
    this->fill({"Apple", "Cherry"});
    gTraced.clear();
    ITrace::Sink previous = ITrace::setSink([](const char* line) { gTraced.push_back(line); });
    ITrace::enableTrace();
    EXPECT_EQ(this->box->addAscending("Banana"), 1u);
    EXPECT_EQ(this->box->addAscending("Apple"), 1u);
    ITrace::disableTrace();
    ITrace::setSink(previous);
    EXPECT_EQ(items(*this->box), (std::vector<std::string>{"Apple", "Apple", "Banana", "Cherry"}));
    EXPECT_EQ(gTraced, (std::vector<std::string>{"addAscending index=1", "addAscending index=1"}));
    // Byte order: capitals before small letters.
    EXPECT_EQ(this->box->addAscending("apple"), 4u);

    this->box->removeAll();
    this->fill({"c", "a"});
    EXPECT_EQ(this->box->addDescending("b"), 1u);
    EXPECT_EQ(this->box->addDescending("c"), 1u);
    EXPECT_EQ(items(*this->box), (std::vector<std::string>{"c", "c", "b", "a"}));
}

TYPED_TEST(ItemSet, ChangesInvalidateCursorsAndRemoveAtMovesOn)
{
    using Cursor = typename TypeParam::Cursor;
    this->fill({"a", "b", "c"});
    Cursor cursor(*this->box, Cursor::allItems);
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_EQ(ovktest::str(this->box->elementAt(cursor)), "a");
    this->box->addAsLast("d");
    EXPECT_FALSE(cursor.isValid());
    const IException failure = ovktest::caught([&] { this->box->elementAt(cursor); });
    EXPECT_EQ(ovktest::str(failure.text(0)), "cursor.isValid()");

    ASSERT_TRUE(cursor.setToIndex(1));
    this->box->removeAt(cursor);
    ASSERT_TRUE(cursor.isValid());
    EXPECT_EQ(cursor.index(), 1u);
    EXPECT_EQ(ovktest::str(this->box->elementAt(cursor)), "c");

    ASSERT_TRUE(cursor.setToLast());
    this->box->removeAt(cursor);
    EXPECT_FALSE(cursor.isValid());
    EXPECT_EQ(items(*this->box), (std::vector<std::string>{"a", "c"}));

    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_EQ(this->box->addAsNext("b", cursor), 1u);
    EXPECT_EQ(cursor.index(), 1u);
    EXPECT_EQ(this->box->addAsNext("z", cursor), 2u);
    this->box->replaceAt("y", cursor);
    EXPECT_EQ(items(*this->box), (std::vector<std::string>{"a", "b", "y", "c"}));
    this->box->remove(0);
    EXPECT_FALSE(cursor.isValid());
}

// Deleting an item that is not there is refused before anything is counted or told.
TYPED_TEST(ItemSet, RemovingAMissingIndexThrowsAndChangesNothing)
{
    using Cursor = typename TypeParam::Cursor;
    this->fill({"a", "b"});
    Cursor cursor(*this->box, Cursor::allItems);
    ASSERT_TRUE(cursor.setToFirst());
    NotificationLog log;
    log.handleNotificationsFor(*this->box);
    this->box->enableNotification();
    for (const unsigned long index : {2ul, 0xFFFFFFFFul}) {
        const IException failure = ovktest::caught([&] { this->box->remove(index); });
        EXPECT_EQ(ovktest::str(failure.text(0)), "LM_DELETEITEM");
    }
    EXPECT_EQ(this->box->count(), 2u);
    EXPECT_TRUE(cursor.isValid());
    EXPECT_EQ(log.trace(), "");

    this->box->select(1);
    ovktest::pumpPending();
    log.clear();
    EXPECT_EQ(this->box->remove(1), 1u);
    const std::string kind = std::is_same<TypeParam, IListBox>::value ? "List" : "Combo";
    EXPECT_EQ(log.trace(), "IBase" + kind + "Box::select=0 I" + kind + "Box::remove=0");
    log.stopHandlingNotificationsFor(*this->box);
}

TYPED_TEST(ItemSet, RemoveAllOfAnEmptyBoxIsToldAsARemoval)
{
    NotificationLog log;
    log.handleNotificationsFor(*this->box);
    this->box->enableNotification();
    this->box->removeAll();
    const std::string kind = std::is_same<TypeParam, IListBox>::value ? "List" : "Combo";
    EXPECT_EQ(log.trace(), "I" + kind + "Box::remove=0");
    log.stopHandlingNotificationsFor(*this->box);
}

TYPED_TEST(ItemSet, LocateTextBySearchKind)
{
    this->fill({"North Cape", "Oslo", "Bergen", "bergen"});
    using Box = TypeParam;
    const struct {
        const char* text;
        bool caseSensitive;
        typename Box::SearchType search;
        unsigned long start;
        unsigned long expected;
    } cases[] = {
        {"Cap", true, Box::substring, Box::first, 0},
        {"erg", true, Box::substring, 2, 3},
        {"BERGEN", true, Box::exactMatch, Box::first, Box::notFound},
        {"bergen", true, Box::exactMatch, Box::first, 3},
        {"BERGEN", false, Box::exactMatch, Box::first, 2},
        {"osl", false, Box::prefix, Box::first, 1},
        {"osl", true, Box::prefix, Box::first, Box::notFound},
        {"Ber", true, Box::prefix, 2, Box::notFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.search));
        EXPECT_EQ(this->box->locateText(c.text, c.caseSensitive, c.search, c.start), c.expected);
    }
}

// The item handle is the native item data: 0xFFFFFFFF is a value like any other on 64-bit,
// not the native error answer.
TYPED_TEST(ItemSet, SetItemTextKeepsTheHandleAndTheSelection)
{
    this->fill({"one", "two", "three"});
    this->box->setItemHandle(1, 0xFFFFFFFFul);
    EXPECT_EQ(this->box->itemHandle(1), 0xFFFFFFFFul);
    this->box->setItemHandle(2, 0x1234u);
    this->box->select(1);
    this->box->setItemText(1, "TWO");
    EXPECT_EQ(ovktest::str(this->box->itemText(1)), "TWO");
    EXPECT_EQ(this->box->itemHandle(1), 0xFFFFFFFFul);
    EXPECT_TRUE(this->box->isSelected(1));
    EXPECT_EQ(this->box->selection(), 1u);
    EXPECT_EQ(this->box->itemHandle(2), 0x1234u);

    const IException failure = ovktest::caught([&] { this->box->itemText(9); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_INDEX_OUT_OF_RANGE);
}

// Code written against the library reaches a cursor through the base library's root class:
// it describes itself there, and deleting it there deletes the whole cursor.
TYPED_TEST(ItemSet, ACursorIsABaseLibraryObject)
{
    using Cursor = typename TypeParam::Cursor;
    this->fill({"a", "b"});
    std::unique_ptr<IVBase> held = std::make_unique<Cursor>(*this->box, Cursor::allItems);
    auto& cursor = dynamic_cast<Cursor&>(*held);
    ASSERT_TRUE(cursor.setToLast());
    EXPECT_EQ(cursor.index(), 1u);
    EXPECT_FALSE(ovktest::str(held->asString()).empty());
    EXPECT_EQ(ovktest::str(held->asDebugInfo()), ovktest::str(held->asString()));
}

class ListBox : public basectltest::ShownParent {
protected:
    std::unique_ptr<IListBox> make(const IListBox::Style& style = IListBox::defaultStyle())
    {
        return std::make_unique<IListBox>(31, parent.get(), parent.get(),
                                          IRectangle(IPoint(10, 10), ISize(160, 100)), style);
    }
};

TEST_F(ListBox, SelectionRulesOfEachKind)
{
    auto single = make();
    single->addAsLast("a");
    single->addAsLast("b");
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { single->deselect(5); }).text(0)), "LM_SELECTITEM");
    single->select(1);
    single->deselectAll();
    EXPECT_EQ(single->numberOfSelections(), 0u);
    EXPECT_EQ(single->selection(), IListBox::notFound);
    EXPECT_EQ(ovktest::caught([&] { single->selectAll(); }).errorId(), OVK_MSG_NOT_MULTIPLE_SELECTION);

    auto multiple = make(IListBox::defaultStyle() | IListBox::_multipleSelect);
    EXPECT_EQ(ovktest::caught([&] { multiple->selectAll(); }).errorId(), OVK_MSG_LIST_EMPTY);
    for (const char* text : {"a", "b", "c", "d"})
        multiple->addAsLast(text);
    multiple->select(1);
    multiple->select(3);
    EXPECT_EQ(multiple->numberOfSelections(), 2u);
    EXPECT_EQ(multiple->selection(), 1u);
    IListBox::Cursor selected(*multiple);
    std::string walked;
    for (selected.setToFirst(); selected.isValid(); selected.setToNext())
        walked += ovktest::str(multiple->elementAt(selected));
    EXPECT_EQ(walked, "bd");
    multiple->selectAll();
    EXPECT_EQ(multiple->numberOfSelections(), 4u);
    multiple->deselectAll();
    EXPECT_EQ(multiple->numberOfSelections(), 0u);
}

TEST_F(ListBox, SelectingAnItemAboveTheVisibleOnesScrollsItToTheTop)
{
    auto box = make();
    for (int i = 0; i < 30; ++i)
        box->addAsLast(("item " + std::to_string(i)).c_str());
    box->setTop(10);
    EXPECT_EQ(box->top(), 10u);
    box->select(4);
    EXPECT_EQ(box->top(), 4u);
}

// The program's own selection is told to the parent as the private code, which the list box's
// notification handler turns into a selection notification.
TEST_F(ListBox, TheProgramsSelectionIsToldLikeTheUsers)
{
    auto box = make();
    box->addAsLast("a");
    NotificationLog log;
    log.handleNotificationsFor(*box);
    box->enableNotification();
    box->select(0);
    EXPECT_EQ(log.trace(), "IBaseListBox::select=0");
    log.stopHandlingNotificationsFor(*box);
}

class MeasuringOwner : public IListBoxDrawItemHandler {
public:
    int measured = 0;

protected:
    IBase::Boolean measureItem(IListBoxMeasureItemEvent& event) override
    {
        ++measured;
        event.setItemSize(ISize(40, 21));
        return true;
    }
};

// The list box itself goes to the handler: no registration stands between them.
TEST_F(ListBox, AVariableHeightListAsksItsOwnerForTheHeightAtOnce)
{
    auto fixed = make();
    auto variable = make(IListBox::defaultStyle() | IListBox::_ownerDraw);
    MeasuringOwner handler;
    handler.handleEventsFor(static_cast<IBaseListBox*>(fixed.get()));
    EXPECT_EQ(handler.measured, 0);
    handler.handleEventsFor(static_cast<IBaseListBox*>(variable.get()));
    EXPECT_EQ(handler.measured, 1);
    EXPECT_THROW(handler.handleEventsFor(static_cast<IBaseListBox*>(nullptr)), IInvalidParameter);
    handler.stopHandlingEventsFor(fixed.get());
    handler.stopHandlingEventsFor(variable.get());
}

// Rows of the font's height and a width of average characters (4 rows and 25 characters at
// first), with the borders, the vertical scroll bar, the horizontal one less a pixel when there
// is one, and four pixels each way for a sunken edge on the newer shell.
TEST_F(ListBox, TheMinimumSizeCountsRowsAndCharactersOfTheFont)
{
    const struct {
        const char* what;
        IListBox::Style style;
        bool scrollBar;
        bool edge;
    } cases[] = {
        {"the default style", IListBox::defaultStyle(), true, true},
        {"plain", IListBox::Style(WS_VISIBLE), false, false},
    };
    const long borderX = GetSystemMetrics(SM_CXBORDER);
    const long borderY = GetSystemMetrics(SM_CYBORDER);
    for (const auto& c : cases) {
        for (const bool newShell : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (newShell ? ", newer shell" : ", older shell"));
            IPlatform::Override shell(IPlatform::newShell, newShell);
            auto box = make(c.style);
            const SIZE character = basectltest::characterOf(box->handle());
            EXPECT_EQ(box->characterSize(), ISize(character.cx, character.cy));
            const long edge = c.edge && newShell ? 4 : 0;
            const long scrollBar = c.scrollBar ? GetSystemMetrics(SM_CYHSCROLL) - 1 : 0;
            for (const auto rows : {4ul, 7ul}) {
                for (const auto characters : {25ul, 10ul}) {
                    box->setMinimumRows(rows);
                    box->setMinimumCharacters(characters);
                    EXPECT_EQ(box->calcMinimumSize(),
                              ISize(2 * borderX + GetSystemMetrics(SM_CXVSCROLL) +
                                        static_cast<long>(characters) * character.cx + edge,
                                    2 * borderY + static_cast<long>(rows) * character.cy +
                                        scrollBar + edge));
                }
            }
        }
    }
}

TEST_F(ListBox, ANullParentIsRefused)
{
    const IException failure = ovktest::caught([] { IListBox(1, nullptr, nullptr); });
    EXPECT_EQ(ovktest::str(failure.text(0)), "pParent!=0");
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "ilistbas");
}

} // namespace
