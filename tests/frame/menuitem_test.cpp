// The menu item as a value: contents, sub-menu and break flags.
#include <windows.h>

#include <gtest/gtest.h>

#include <imenuitm.hpp>

namespace {

// Native words from the platform's header, never from the class's own constants.
unsigned long native(const IMenuItem& item) { return item.style().asUnsignedLong(); }
unsigned long marker(const IMenuItem& item) { return item.style().asExtendedUnsignedLong(); }

TEST(MenuItem, ANewItemWithTheClassDefaultsIsPlainEnabledAndUnchecked)
{
    const IMenuItem item(7);
    EXPECT_EQ(native(item), 0u);
    EXPECT_EQ(marker(item), 0u);
    EXPECT_EQ(item.attribute().asUnsignedLong(), 0u);
    EXPECT_FALSE(item.bitmap().isValid());
    EXPECT_FALSE(item.submenuHandle().isValid());
    EXPECT_EQ(item.index(), -1);
    EXPECT_EQ(item.itemData(), 0u);
}

TEST(MenuItem, EachContentSwitchesTheOthersOff)
{
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    IMenuItem item(1, IMenuItem::Style(MF_MENUBREAK));

    item.setText("");
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK));
    EXPECT_EQ(marker(item), 1u) << "an empty text still makes a text item";

    item.setBitmap(IBitmapHandle(bitmap));
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK | MF_BITMAP));
    EXPECT_EQ(marker(item), 0u);
    EXPECT_EQ(item.bitmap().asValue(), bitmap);

    item.setSeparator();
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK | MF_SEPARATOR));
    EXPECT_FALSE(item.bitmap().isValid());

    item.setDrawItem();
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK | MF_OWNERDRAW));
    item.setDrawItem(false);
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK));

    item.setBitmap(IBitmapHandle(bitmap)).setText("&Open");
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBREAK));
    EXPECT_EQ(marker(item), 1u);
    EXPECT_STREQ(item.text(), "&Open");
    EXPECT_FALSE(item.bitmap().isValid());
    DeleteObject(bitmap);
}

TEST(MenuItem, ResettingTheTextKeepsEverythingButTheContent)
{
    IMenuItem item(1, IMenuItem::Style(MF_SEPARATOR | MF_MENUBARBREAK | MF_OWNERDRAW | MF_BITMAP),
                   IMenuItem::Attribute(MF_CHECKED));
    item.setItemData(9);
    item.resetText();
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBARBREAK));
    EXPECT_EQ(marker(item), 1u);
    EXPECT_EQ(item.attribute().asUnsignedLong(), static_cast<unsigned long>(MF_CHECKED));
    EXPECT_EQ(item.itemData(), 9u);
    EXPECT_STREQ(item.text(), "");
}

TEST(MenuItem, TheSubmenuFlagFollowsTheHandle)
{
    HMENU popup = CreatePopupMenu();
    IMenuItem item(1);
    item.setSubmenuHandle(popup);
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_POPUP));
    item.setSubmenuHandle(IMenuHandle());
    EXPECT_EQ(native(item), 0u);
    EXPECT_FALSE(item.isSubmenu());
    DestroyMenu(popup);
}

TEST(MenuItem, BreakTypes)
{
    struct Case {
        unsigned long style;
        IMenuItem::BreakType expected;
    };
    const Case cases[] = {
        {0, IMenuItem::noBreak},
        {MF_MENUBREAK, IMenuItem::columnBreak},
        {MF_MENUBARBREAK, IMenuItem::columnBreakSeparator},
        // Both set through the style: the column break wins.
        {MF_MENUBREAK | MF_MENUBARBREAK, IMenuItem::columnBreak},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IMenuItem(1, IMenuItem::Style(static_cast<IBitFlag::Word>(c.style))).breakType(),
                  c.expected)
            << c.style;

    IMenuItem item(1, IMenuItem::Style(MF_MENUBREAK | MF_MENUBARBREAK | MF_BITMAP));
    item.setBreakType(IMenuItem::columnBreakSeparator);
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_MENUBARBREAK | MF_BITMAP));
    item.setBreakType(IMenuItem::noBreak);
    EXPECT_EQ(native(item), static_cast<unsigned long>(MF_BITMAP));
}

} // namespace
