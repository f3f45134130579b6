// Menus: item operations on both platform roads, cursors, sub-menus and cascades.
#include <windows.h>

#include <gtest/gtest.h>

#include <imenu.hpp>
#include <ireslib.hpp>

#include <ovkmsgid.hpp>

#include <algorithm>
#include <string>
#include <utility>
#include <optional>
#include <vector>

#include <detail/iscoped.hpp>

#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::describeMenu;
using frametest::MenuRoad;
using ovktest::caught;
using ovktest::str;

// A menu shown as the menu bar of an owner window, as the menu bar and pop-up menus are.
class OwnedMenu : public IMenu {
public:
    OwnedMenu(HMENU menu, HWND owner) : IMenu(menu, owner) {}
};

// A hidden top-level window with a menu bar, and the number of times its frame was redrawn
// (DrawMenuBar recomputes the frame of the window).
class MenuFixture : public testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        bar = CreateMenu();
        SetMenu(owner->hwnd(), bar);
        menu = std::make_unique<OwnedMenu>(bar, owner->hwnd());
        redraws.attach(*owner, "redraw");
    }
    void TearDown() override
    {
        menu.reset();
        owner.reset();
    }

    std::unique_ptr<ovktest::TestWindow> owner;
    HMENU bar = nullptr;
    std::unique_ptr<OwnedMenu> menu;
    ovktest::Recorder redraws{WM_NCCALCSIZE};
};

class MenuOnRoad : public MenuFixture, public testing::WithParamInterface<bool> {
protected:
    MenuRoad road{GetParam()};
};

std::string roadName(const testing::TestParamInfo<bool>& info)
{
    return info.param ? "Extended" : "Classic";
}

INSTANTIATE_TEST_SUITE_P(Roads, MenuOnRoad, testing::Bool(), roadName);

TEST_P(MenuOnRoad, TheSameScriptGivesTheSameMenu)
{
    menu->addText(1, "&One").addSeparator().addText(2, "&Two").addText(3, "Three");
    IMenuItem first(4);
    first.setText("Zero").setIndex(0);
    menu->addItem(first);
    menu->checkItem(2).disableItem(1).setText(1, "Uno").deleteItem(3);
    EXPECT_EQ(describeMenu(bar), "Zero|Uno(d)|-|&Two(c)");

    menu->uncheckItem(2).enableItem(1);
    EXPECT_EQ(describeMenu(bar), "Zero|Uno|-|&Two");
    EXPECT_EQ(menu->numberOfItems(), 4u);
}

TEST_P(MenuOnRoad, ItemsReadBackFromAResourceMenu)
{
    IMenu loaded(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1901)));
    struct Case {
        unsigned long id;
        const char* text;
        bool checked;
        bool enabled;
        long index;
    };
    const Case cases[] = {
        {1911, "&Open", false, true, 0},
        {1912, "E&xit", false, true, 2},
        {1921, "&Status bar", true, true, 0},
        {1922, "&Grid", false, false, 1},
        {1930, "&Help", false, true, 2},
    };
    for (const Case& c : cases) {
        const IMenuItem item = loaded.menuItem(c.id);
        EXPECT_EQ(str(item.text()), c.text) << c.id;
        EXPECT_TRUE(item.isText()) << c.id;
        EXPECT_EQ(item.index(), c.index) << c.id;
        EXPECT_EQ(loaded.isItemChecked(c.id), c.checked) << c.id;
        EXPECT_EQ(loaded.isItemEnabled(c.id), c.enabled) << c.id;
    }
    EXPECT_EQ(caught([&] { loaded.menuItem(4242); }).errorId(), OVK_MSG_MENU_ITEM_NOT_FOUND);
    DestroyMenu(loaded.menuHandle());
}

TEST_P(MenuOnRoad, OnlyTextItemsTakeAText)
{
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    menu->addText(1, "Text").addSeparator(2, 0).addBitmap(3, IBitmapHandle(bitmap));
    for (unsigned long id : {2ul, 3ul})
        EXPECT_EQ(caught([&] { menu->setText(id, "No"); }).errorId(), OVK_MSG_MENU_ITEM_NOT_CHANGED)
            << id;
    menu->setText(1, "Yes");
    EXPECT_EQ(str(menu->menuItem(1).text()), "Yes");
    EXPECT_TRUE(menu->menuItem(3).isBitmap());
    EXPECT_TRUE(menu->menuItem(2).isSeparator());
    menu.reset();
    DeleteObject(bitmap);
}

TEST_P(MenuOnRoad, AStateThatAlreadyHoldsChangesNothing)
{
    menu->addText(1, "One").addText(2, "Two");
    menu->checkItem(1).disableItem(2);
    redraws.clear();

    menu->checkItem(1).enableItem(1).disableItem(2).uncheckItem(2);
    EXPECT_EQ(redraws.trace(), "");
    EXPECT_EQ(describeMenu(bar), "One(c)|Two(d)");

    menu->enableItem(2);
    EXPECT_NE(redraws.trace(), "") << "a change of the enabled state redraws the menu bar";
    EXPECT_EQ(describeMenu(bar), "One(c)|Two");
}

TEST_P(MenuOnRoad, CursorOverAnEmptyMenu)
{
    IMenu::Cursor cursor(*menu);
    EXPECT_TRUE(cursor.setToFirst());
    EXPECT_EQ(cursor.position(), 0);
    EXPECT_EQ(caught([&] { menu->menuItemId(cursor); }).errorId(), OVK_MSG_MENU_ITEM_NOT_FOUND);
    EXPECT_FALSE(cursor.setToNext());
    EXPECT_FALSE(cursor.isValid());
    EXPECT_EQ(str(caught([&] { menu->menuItemId(cursor); }).text()), "cursor.isValid()");
}

TEST_P(MenuOnRoad, CursorWalksAndDeletes)
{
    menu->addText(1, "A").addSeparator().addText(2, "B").addText(3, "C");
    std::string walked;
    IMenu::Cursor cursor(*menu);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        walked += str(menu->elementAt(cursor).text()) + ",";
    EXPECT_EQ(walked, "A,,B,C,");

    cursor.setToLast();
    EXPECT_EQ(cursor.position(), 3);
    menu->deleteAt(cursor);
    EXPECT_EQ(cursor.position(), 2);
    cursor.setToFirst();
    menu->deleteAt(cursor);
    EXPECT_EQ(cursor.position(), 0) << "deleting at the first position stays there";
    EXPECT_EQ(describeMenu(bar), "-|B");

    IMenuItem item(5);
    item.setText("E");
    menu->addAsNext(item, cursor);
    EXPECT_EQ(cursor.position(), 1);
    EXPECT_EQ(describeMenu(bar), "-|E|B");
}

// Removing a sub-menu detaches it (the classic road, which finds sub-menus through a frame's
// lists, is taken with the frame's menu bar in the menu bar tests). The application's own pop-up stays its own (its DestroyMenu
// works); one of the library's that the application took with submenuHandle can be given back
// with setItem, again and again; one of the library's that no one gives back goes with the menu
// it was taken from, and one given to another menu stays alive there.
TEST_F(MenuFixture, ARemovedSubmenuStaysWithWhoeverHoldsIt)
{
    MenuRoad road(true);
    menu->addText(10, "&File").addText(20, "&Edit").addText(30, "&View").addText(40, "&Go");
    ovk_native::Menu ownMenu(CreatePopupMenu());
    const HMENU own = ownMenu.get();
    AppendMenuA(own, MF_STRING, 11, "Own");
    IMenuItem file = menu->menuItem(10);
    file.setSubmenuHandle(own);
    menu->setItem(file);
    menu->addSubmenu(20).addText(21, "Made", 20);
    const HMENU made = menu->submenuHandle(20);
    menu->addSubmenu(30).addText(31, "Orphan", 30);
    const HMENU orphan = menu->submenuHandle(30);
    menu->addSubmenu(40).addText(41, "Moved", 40);
    const HMENU moved = menu->submenuHandle(40);
    const std::string whole = "&File[Own]|&Edit[Made]|&View[Orphan]|&Go[Moved]";
    EXPECT_EQ(describeMenu(bar), whole);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        menu->removeSubmenu(10).removeSubmenu(20);
        EXPECT_EQ(describeMenu(bar), "&File|&Edit|&View[Orphan]|&Go[Moved]");
        EXPECT_TRUE(IsMenu(own));
        EXPECT_TRUE(IsMenu(made));
        for (auto [id, submenu] : {std::pair<unsigned long, HMENU>{10, own}, {20, made}}) {
            IMenuItem back = menu->menuItem(id);
            back.setSubmenuHandle(submenu);
            EXPECT_NO_THROW(menu->setItem(back));
        }
        EXPECT_EQ(describeMenu(bar), whole);
    }
    menu->removeSubmenu(10).removeSubmenu(30).removeSubmenu(40);
    const ovk_native::Menu elsewhere(CreatePopupMenu());
    AppendMenuA(elsewhere.get(), MF_STRING, 50, "Elsewhere");
    OwnedMenu other(elsewhere.get(), owner->hwnd());
    IMenuItem into = other.menuItem(50);
    into.setSubmenuHandle(moved);
    other.setItem(into);
    EXPECT_TRUE(IsMenu(orphan));

    // The menu goes with its window, then its object.
    owner.reset();
    menu.reset();
    EXPECT_FALSE(IsMenu(made));
    EXPECT_FALSE(IsMenu(orphan));
    EXPECT_TRUE(IsMenu(moved));
    EXPECT_EQ(describeMenu(elsewhere.get()), "Elsewhere[Moved]");
    EXPECT_TRUE(IsMenu(ownMenu.get())) << "the application's own sub-menu was destroyed";
}

// A thousand sub-menus made and taken off again by a pop-up menu all go with it, and none
// before: the library keeps each until then.
TEST_F(MenuFixture, AThousandSubmenusTakenOffGoWithTheirMenu)
{
    MenuRoad road(true);
    std::vector<HMENU> made;
    auto alive = [&] {
        return std::count_if(made.begin(), made.end(), [](HMENU m) { return IsMenu(m) != 0; });
    };
    {
        std::optional<ovk_native::Menu> popup(std::in_place, CreatePopupMenu());
        OwnedMenu pop(popup->get(), owner->hwnd());
        pop.addText(10, "Cascade");
        for (int i = 0; i < 1000; ++i) {
            pop.addSubmenu(10);
            made.push_back(pop.submenuHandle(10));
            pop.removeSubmenu(10);
        }
        EXPECT_EQ(alive(), 1000);
        // The pop-up goes before its menu object, as a window's menu goes before the frame.
        popup.reset();
    }
    EXPECT_EQ(alive(), 0);
}

TEST_F(MenuFixture, SubmenusOnTheExtendedRoad)
{
    MenuRoad road(true);
    menu->addText(10, "&File").addSubmenu(10);
    menu->addText(11, "&Open", 10).addSeparator(10).addText(12, "E&xit", 10);
    EXPECT_EQ(describeMenu(bar), "&File[&Open|-|E&xit]");
    EXPECT_EQ(menu->numberOfItems(10), 3u);
    EXPECT_EQ(str(menu->menuItem(12).text()), "E&xit");
    EXPECT_EQ(menu->menuItem(12).index(), 2);

    EXPECT_EQ(caught([&] { menu->addSubmenu(10); }).errorId(), OVK_MSG_SUBMENU_EXISTS);
    EXPECT_EQ(str(caught([&] { menu->addSubmenu(FID_MENU); }).text()), "itemId != FID_MENU");

    const IResourceLibrary exe;
    menu->setSubmenu(10, IResourceId(1902, exe));
    EXPECT_EQ(describeMenu(bar), "&File[&Small|&Large]");

    std::string walked;
    IMenu::Cursor inside(*menu, 10);
    for (inside.setToFirst(); inside.isValid(); inside.setToNext())
        walked += std::to_string(menu->menuItemId(inside)) + ",";
    EXPECT_EQ(walked, "1941,1942,");

    menu->removeSubmenu(10);
    EXPECT_EQ(describeMenu(bar), "&File");
    EXPECT_FALSE(menu->submenuHandle(10).isValid());
}

TEST_F(MenuFixture, ConditionalCascades)
{
    menu->addText(10, "&View").addText(20, "Plain");
    {
        MenuRoad road(true);
        menu->addSubmenu(10);
        menu->addText(11, "&Small", 10).addText(12, "&Large", 10);
        menu->setConditionalCascade(10, 12);
        EXPECT_EQ(GetMenuDefaultItem(menu->submenuHandle(10), FALSE, 0), 12u);
        menu->removeConditionalCascade(10);
        EXPECT_EQ(GetMenuDefaultItem(menu->submenuHandle(10), FALSE, 0), static_cast<UINT>(-1));
        EXPECT_EQ(caught([&] { menu->setConditionalCascade(20, 12); }).errorId(),
                  OVK_MSG_NO_SUBMENU);
        EXPECT_EQ(caught([&] { menu->setConditionalCascade(10, 99); }).errorId(),
                  OVK_MSG_MENU_ITEM_NOT_FOUND);
    }
    MenuRoad classic(false);
    menu->setConditionalCascade(10, 99).removeConditionalCascade(20);
    EXPECT_TRUE(menu->itemRect(20).size() == ISize());
}

TEST(Menu, AMenuNeedsAHandle)
{
    EXPECT_EQ(str(caught([] { IMenu menu{IMenuHandle()}; }).text()), "menuHandle!=0");
}

} // namespace
