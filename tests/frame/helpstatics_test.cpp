// The frame lookup, the extended menu loader and the per-frame menu lists.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <idll.hpp>
#include <iframe.hpp>
#include <ihelpsta.hpp>
#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include <detail/iscoped.hpp>

#include "frametest.hpp"
#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

const HINSTANCE kSelf = GetModuleHandleA(nullptr);

// A system dialog: a frame until the library's own frames stand for it.
std::unique_ptr<IWindow> makeDialog(HWND owner = nullptr)
{
    const HWND dialog = CreateWindowExA(0, reinterpret_cast<const char*>(0x8002), "", WS_POPUP,
                                        0, 0, 50, 50, owner, nullptr, nullptr, nullptr);
    auto frame = std::make_unique<IWindow>(IWindowHandle(dialog));
    frame->setDestroyOnDelete();
    return frame;
}

// An overlapped top-level window with an owner: its parent chain is empty.
std::unique_ptr<IWindow> makeOwned(HWND owner)
{
    const HWND window = CreateWindowExA(0, ovktest::testClassName(), "owned", WS_OVERLAPPED, 0, 0,
                                        50, 50, owner, nullptr, nullptr, nullptr);
    auto object = std::make_unique<IWindow>(IWindowHandle(window));
    object->setDestroyOnDelete();
    return object;
}

class FrameLookup : public testing::Test {
protected:
    void SetUp() override
    {
        outer = makeDialog();
        inner = makeDialog(outer->handle());
        child = std::make_unique<ovktest::TestWindow>(inner->handle(), 0, 5);
        grandChild = std::make_unique<ovktest::TestWindow>(child->hwnd(), 0, 6);
        owned = makeOwned(outer->handle());
        alone = std::make_unique<ovktest::TestWindow>();
    }
    void TearDown() override
    {
        alone.reset();
        owned.reset();
        grandChild.reset();
        child.reset();
        inner.reset();
        outer.reset();
    }

    std::unique_ptr<IWindow> outer, inner, owned;
    std::unique_ptr<ovktest::TestWindow> child, grandChild, alone;
};

TEST_F(FrameLookup, PreferredFrameThenParentsThenOwners)
{
    const struct {
        const char* what;
        IWindow* window;
        IWindow* preferred;
        IWindow* expected;
    } cases[] = {
        {"a frame's grandchild", grandChild.get(), nullptr, inner.get()},
        {"the preferred frame wins", grandChild.get(), outer.get(), outer.get()},
        {"a preferred window that is no frame", grandChild.get(), child.get(), inner.get()},
        {"a frame owned by a frame is its own", inner.get(), nullptr, inner.get()},
        {"an owned window without parents", owned.get(), nullptr, outer.get()},
        {"a window without frames", alone.get(), nullptr, nullptr},
        {"no window", nullptr, nullptr, nullptr},
        {"no window but a preferred frame", nullptr, inner.get(), inner.get()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IWindowHandle window = c.window ? c.window->handle() : IWindowHandle();
        const IWindowHandle preferred = c.preferred ? c.preferred->handle() : IWindowHandle();
        EXPECT_EQ(IHelpStatics::frameWindowFor(window, preferred), c.expected);
    }
    EXPECT_EQ(IHelpStatics::frameOfWindow(grandChild.get()), inner.get());
    EXPECT_EQ(IHelpStatics::frameOfWindow(owned.get()), nullptr);
}

TEST_F(FrameLookup, TheFrameEventReachesTheFrameOfAnOwnedWindow)
{
    ovktest::Recorder frameEvents(IPrivateMessage::frameEvent);
    frameEvents.attach(*outer, "outer", true);
    frameEvents.attach(*inner, "inner", true);
    frameEvents.attach(*owned, "owned", true);
    owned->sendEvent(IWindow::frameEvent, 1, 2);
    grandChild->sendEvent(IWindow::frameEvent);
    EXPECT_EQ(frameEvents.trace(), "outer inner");
}

// The extended menu --------------------------------------------------------------------------------

std::string menuText(HMENU menu, UINT position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

std::string extendedMenuBytes()
{
    HRSRC found = FindResourceA(kSelf, MAKEINTRESOURCEA(kExtendedMenu), MAKEINTRESOURCEA(4));
    const void* data = LockResource(LoadResource(kSelf, found));
    return std::string(static_cast<const char*>(data), SizeofResource(kSelf, found));
}

TEST(ExtendedMenu, BuildsNestedPopupsSeparatorsAndCutsLongTexts)
{
    const IMenuHandle menu = IHelpStatics::loadExtendedMenu(kSelf, kExtendedMenu);
    const ovk_native::Menu owned(menu);
    ASSERT_TRUE(menu.isValid());
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(menuText(menu, 0), "&File");
    EXPECT_EQ(menuText(menu, 1), "&Help");
    EXPECT_EQ(GetMenuItemID(menu, 1), static_cast<UINT>(kHelp));

    const HMENU file = GetSubMenu(menu, 0);
    ASSERT_TRUE(file);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(kOpen));
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(kExit));

    const HMENU recent = GetSubMenu(file, 2);
    ASSERT_TRUE(recent);
    ASSERT_EQ(GetMenuItemCount(recent), 2);
    EXPECT_EQ(menuText(recent, 0), "First");
    EXPECT_TRUE(GetMenuState(recent, 0, MF_BYPOSITION) & MF_CHECKED);
    std::string digits;
    for (int i = 0; i < 99; ++i)
        digits += static_cast<char>('0' + i % 10);
    EXPECT_EQ(menuText(recent, 1), digits);
    EXPECT_EQ(GetMenuItemID(recent, 1), static_cast<UINT>(kLong));
}

TEST(ExtendedMenu, OtherFormatsAndDamagedResourcesGiveNoMenu)
{
    EXPECT_FALSE(IHelpStatics::loadExtendedMenu(kSelf, kClassicMenu).isValid());
    EXPECT_FALSE(IHelpStatics::loadExtendedMenu(kSelf, 999).isValid());

    // Popups nested deeper than any menu needs, each the only item of its level.
    std::string deep("\x01\0\x04\0\0\0\0\0", 8);
    for (int level = 0; level < 40; ++level) {
        deep += std::string("\0\0\0\0\0\0\0\0", 8) + std::string(1, static_cast<char>(level + 1)) +
                std::string("\0\0\0\x81\0\0\0\0\0\0\0\0\0", 13);
    }
    deep += std::string("\0\0\0\0\0\0\0\0\x09\0\0\0\x80\0\0\0", 16);

    const std::string whole = extendedMenuBytes();
    ASSERT_GT(whole.size(), 60u);
    const ovktest::TempFile module("ovk_frame_menus.dll");
    ASSERT_TRUE(ovktest::buildResourceModule(
        module,
        {{RT_MENU, 1, whole.substr(0, whole.size() - 12)}, {RT_MENU, 2, deep}, {RT_MENU, 3, whole}}));
    {
        IDynamicLinkLibrary library(module.path());
        const HINSTANCE module = library.handle();
        EXPECT_FALSE(IHelpStatics::loadExtendedMenu(module, 1).isValid()) << "truncated";
        EXPECT_FALSE(IHelpStatics::loadExtendedMenu(module, 2).isValid()) << "too deep";
        const ovk_native::Menu copy(IHelpStatics::loadExtendedMenu(module, 3));
        EXPECT_TRUE(IMenuHandle(copy.get()).isValid()) << "the whole copy";
    }
}

// The per-frame lists ----------------------------------------------------------------------------

class FrameMenuLists : public testing::Test {
protected:
    void SetUp() override
    {
        menu = IHelpStatics::loadExtendedMenu(kSelf, kExtendedMenu);
        ASSERT_TRUE(menu.isValid());
        file = GetSubMenu(menu, 0);
        recent = GetSubMenu(file, 2);
    }
    void TearDown() override { DestroyMenu(menu); }

    IFrameMenuLists lists;
    IMenuHandle menu;
    HMENU file = nullptr;
    HMENU recent = nullptr;
};

TEST_F(FrameMenuLists, SubmenusAreKnownByThePopupIdentifiersOfTheResource)
{
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, file), -1);
    ASSERT_TRUE(IHelpStatics::recordSubmenuIds(lists, kSelf, kExtendedMenu, menu));
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, file), kFilePopup);
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, recent), kRecentPopup);
    EXPECT_EQ(IHelpStatics::submenuForId(lists, kRecentPopup).asValue(), recent);
    EXPECT_FALSE(IHelpStatics::submenuForId(lists, kOpen).isValid());
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, menu), -1);

    // Forgetting needs both halves of the entry.
    IHelpStatics::forgetSubmenu(lists, kFilePopup, recent);
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, recent), kRecentPopup);
    IHelpStatics::forgetSubmenu(lists, kRecentPopup, recent);
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, recent), -1);
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, file), kFilePopup);
    IHelpStatics::clearSubmenuIds(lists);
    EXPECT_EQ(IHelpStatics::idForSubmenu(lists, file), -1);

    EXPECT_FALSE(IHelpStatics::recordSubmenuIds(lists, kSelf, kClassicMenu, menu));
}

TEST_F(FrameMenuLists, ItemValuesAreReplacedByKey)
{
    EXPECT_EQ(IHelpStatics::itemValue(lists, kOpen), 0u);
    IHelpStatics::setItemValue(lists, kOpen, 11);
    IHelpStatics::setItemValue(lists, kExit, 12);
    IHelpStatics::setItemValue(lists, kOpen, 13);
    EXPECT_EQ(IHelpStatics::itemValue(lists, kOpen), 13u);
    EXPECT_EQ(IHelpStatics::itemValue(lists, kExit), 12u);
    EXPECT_EQ(std::distance(lists.values.begin(), lists.values.end()), 2);
    IHelpStatics::clearItemValues(lists);
    EXPECT_EQ(IHelpStatics::itemValue(lists, kExit), 0u);
}

TEST_F(FrameMenuLists, ItemsAreFoundOnBothRoads)
{
    ASSERT_TRUE(IHelpStatics::recordSubmenuIds(lists, kSelf, kExtendedMenu, menu));
    EXPECT_EQ(IHelpStatics::menuIdForSubmenu(menu, recent), static_cast<unsigned long>(kRecentPopup));
    EXPECT_EQ(IHelpStatics::menuIdForSubmenu(menu, menu), 0u);
    for (bool newShell : {true, false}) {
        SCOPED_TRACE(newShell ? "newer shell" : "classic calls");
        IPlatform::Override shell(IPlatform::newShell, newShell);
        IMenuHandle holder;
        EXPECT_EQ(IHelpStatics::findMenuItem(menu, kLong, &holder, &lists), 1);
        EXPECT_EQ(holder.asValue(), recent);
        EXPECT_EQ(IHelpStatics::findMenuItem(menu, kExit, &holder, &lists), 3);
        EXPECT_EQ(holder.asValue(), file);
        EXPECT_EQ(IHelpStatics::findMenuItem(menu, kRecentPopup, &holder, &lists), 2);
        EXPECT_EQ(holder.asValue(), file);
        EXPECT_EQ(IHelpStatics::findMenuItem(menu, 999, &holder, &lists), -1);
        EXPECT_FALSE(holder.isValid());
    }
}

// On the classic road only a library frame's lists can say that its menu bar holds a submenu.
TEST_F(FrameMenuLists, TheMenuOwnerIsTheWindowWhoseMenuBarHoldsTheMenu)
{
    const HWND bare = CreateWindowExA(0, ovktest::testClassName(), "", WS_OVERLAPPED, 0, 0, 50, 50,
                                      nullptr, nullptr, nullptr, nullptr);
    IWindow bareObject{IWindowHandle(bare)};
    IFrameWindow holding(IResourceId(kFrameNoResources, IResourceLibrary()), nullptr, nullptr,
                         IRectangle(0, 0, 80, 80), IFrameWindow::_titleBar, "holding");
    SetMenu(holding.handle(), menu);
    ASSERT_TRUE(IHelpStatics::recordSubmenuIds(holding.menuLists(), kSelf, kExtendedMenu, menu));
    const void* menuBar = GetPropA(holding.handle(), "OVK_MENUBAR_OBJECT");
    EXPECT_EQ(menuBar, static_cast<const void*>(&holding));

    for (bool newShell : {true, false}) {
        SCOPED_TRACE(newShell ? "newer shell" : "classic calls");
        IPlatform::Override shell(IPlatform::newShell, newShell);
        IHelpStatics::MenuOwnerQuery query;
        query.menu = recent;
        EXPECT_NE(IHelpStatics::menuOwnerFor(bare, reinterpret_cast<LPARAM>(&query)), 0);
        EXPECT_EQ(query.window, nullptr);
        EXPECT_EQ(IHelpStatics::menuOwnerFor(holding.handle(), reinterpret_cast<LPARAM>(&query)), 0);
        EXPECT_EQ(query.window, static_cast<HWND>(holding.handle()));
        EXPECT_EQ(query.menuBar, menuBar);
    }
    // The fixture destroys the menu.
    SetMenu(holding.handle(), nullptr);
    DestroyWindow(bare);
}

// Pop-up items are often given identifier 0; the newer road must still find the window whose
// menu bar holds them, at any depth.
TEST(MenuOwner, APopUpWhoseItemIdentifierIs0IsFound)
{
    IPlatform::Override shell(IPlatform::newShell, true);
    IFrameWindow holding(IResourceId(kFrameNoResources, IResourceLibrary()), nullptr, nullptr,
                         IRectangle(0, 0, 80, 80), IFrameWindow::_titleBar, "holding");
    const HMENU bar = CreateMenu();
    const HMENU outer = CreatePopupMenu();
    const HMENU inner = CreatePopupMenu();
    AppendMenuA(inner, MF_STRING, 7, "Deep");
    frametest::insertCascade(outer, 0, 0, inner, "Inner");
    frametest::insertCascade(bar, 0, 0, outer, "Outer");
    SetMenu(holding.handle(), bar);
    for (HMENU popup : {outer, inner}) {
        IHelpStatics::MenuOwnerQuery query;
        query.menu = popup;
        EXPECT_EQ(IHelpStatics::menuOwnerFor(holding.handle(), reinterpret_cast<LPARAM>(&query)), 0);
        EXPECT_EQ(query.window, static_cast<HWND>(holding.handle()));
    }
    // A pop-up elsewhere is not held.
    const ovk_native::Menu stranger(CreatePopupMenu());
    IHelpStatics::MenuOwnerQuery query;
    query.menu = stranger.get();
    EXPECT_NE(IHelpStatics::menuOwnerFor(holding.handle(), reinterpret_cast<LPARAM>(&query)), 0);
    SetMenu(holding.handle(), nullptr);
    const ovk_native::Menu takenBack(bar);
}

} // namespace
