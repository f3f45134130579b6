// Menu bars, sub-menus with their undo, pop-up menus and the menu handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include <ovkmsgid.hpp>

#include <iframe.hpp>
#include <imenubar.hpp>
#include <imenuhdr.hpp>
#include <ipopmenu.hpp>
#include <iprivmsg.hpp>
#include <isubmenu.hpp>

#include <detail/iscoped.hpp>

#include "frametest.hpp"
#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::self;
using frametest::describeMenu;
using frametest::Later;
using frametest::MenuRoad;

std::unique_ptr<IFrameWindow> frameWithMenu()
{
    return std::make_unique<IFrameWindow>(IResourceId(kFrameFull, self()),
                                          IFrameWindow::_classDefaultStyle | IFrameWindow::_menuBar);
}

// -----------------------------------------------------------------------------------------------
// Menu bars

TEST(MenuBar, TheStyleMustNameExactlyOneWayAndAWrapperNeedsAMenu)
{
    auto frame = std::make_unique<IFrameWindow>(IResourceId(kFrameNoResources, self()));
    EXPECT_EQ(ovktest::caught([&] { IMenuBar bar(frame.get(), IMenuBar::_newMenuBar | IMenuBar::_wrapper); })
                  .errorId(),
              OVK_MSG_CONFLICTING_STYLE);
    EXPECT_EQ(ovktest::caught([&] { IMenuBar bar(frame.get(), IMenuBar::Style(0, 0)); }).errorId(),
              OVK_MSG_CONFLICTING_STYLE);
    EXPECT_EQ(ovktest::caught([&] { IMenuBar bar(frame.get(), IMenuBar::_wrapper); }).errorId(),
              OVK_MSG_NO_MENU_BAR);
    EXPECT_THROW(IMenuBar(nullptr), IInvalidParameter);
}

TEST(MenuBar, ANewMenuBarOrALoadedOneReplacesTheFramesMenu)
{
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "extended road" : "classic road");
        MenuRoad road(extended);
        auto frame = frameWithMenu();
        const HWND handle = frame->handle();
        const HMENU loaded = GetMenu(handle);
        {
            IMenuBar bar(frame.get());
            EXPECT_EQ(GetMenu(handle), static_cast<HMENU>(bar.menuHandle()));
            EXPECT_FALSE(IsMenu(loaded));
            bar.addText(5, "&Five");
        }
        // The menu stays with the frame.
        EXPECT_EQ(describeMenu(GetMenu(handle)), "&Five");

        IMenuBar bar(IResourceId(kFrameFull, self()), frame.get());
        EXPECT_EQ(describeMenu(GetMenu(handle)), "&File[&Open|&Recent[First]]|&Help");
        // The classic road finds the sub-menu by the identifier the resource gave it.
        EXPECT_EQ(bar.numberOfItems(kFullRecentPopup), 1u);
        bar.setMenu(IResourceId(kPopupMenu, self()));
        EXPECT_EQ(describeMenu(GetMenu(handle)), "&Edit[Cu&t]|&View[&Zoom]|&Close");
        EXPECT_EQ(bar.menuHandle().asValue(), GetMenu(handle));
        EXPECT_EQ(bar.numberOfItems(kPopupView), 1u);
    }
}

// A menu has no window of its own: refreshing it redraws its frame's menu bar and nothing else.
// The window versions would act on the menu's null window handle, which the system takes for
// the desktop, and repaint every window.
TEST(MenuBar, RefreshingAMenuRedrawsItsBarAndLeavesOtherWindowsAlone)
{
    auto frame = frameWithMenu();
    frame->show();
    ovktest::TestWindow bystander(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    IMenuBar bar(frame.get(), IMenuBar::_wrapper);
    auto settled = [&] {
        UpdateWindow(bystander.hwnd());
        ValidateRect(bystander.hwnd(), nullptr);
        return !GetUpdateRect(bystander.hwnd(), nullptr, FALSE);
    };
    ASSERT_TRUE(settled());
    bar.refresh();
    bar.refresh(IRectangle(0, 0, 10, 10), true);
    bar.enableUpdate();
    bar.disableUpdate();
    EXPECT_FALSE(GetUpdateRect(bystander.hwnd(), nullptr, FALSE));
    ASSERT_TRUE(settled());
    bar.IWindow::refresh();
    EXPECT_TRUE(GetUpdateRect(bystander.hwnd(), nullptr, FALSE));
}

// -----------------------------------------------------------------------------------------------
// Sub-menus

class SubmenuUndo : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 1, "One");
        AppendMenuA(popup, MF_STRING | MF_CHECKED, 2, "Two");
        AppendMenuA(popup, MF_STRING, 3, "Three");
    }
    void TearDown() override { DestroyMenu(popup); }

    HMENU popup = nullptr;
    MenuRoad road{GetParam()};
};

TEST_P(SubmenuUndo, RestoresEachItemAsItFirstWasAndRemovesWhatWasAdded)
{
    const std::string before = describeMenu(popup);
    {
        ISubmenu menu{IMenuHandle(popup)};
        menu.setText(1, "Changed once");
        menu.setText(1, "Changed twice");
        menu.checkItem(2, false);
        menu.disableItem(2);
        menu.addText(10, "Added");
        menu.setText(10, "Added and changed");
        menu.deleteItem(3);
        EXPECT_EQ(describeMenu(popup), "Changed twice|Two(d)|Added and changed");
        menu.undo();
        EXPECT_EQ(describeMenu(popup), before);
        // The list is empty after an undo.
        menu.undo();
        EXPECT_EQ(describeMenu(popup), before);
    }
    {
        ISubmenu menu{IMenuHandle(popup)};
        menu.addText(11, "Kept", 99);
        menu.addSeparator();
    }
    // Deleting the object undoes nothing and destroys nothing.
    EXPECT_EQ(describeMenu(popup), before + "|Kept|-");
}

TEST_P(SubmenuUndo, WalksByItsOwnCursorAndRefusesTheMenusCursor)
{
    ISubmenu menu{IMenuHandle(popup)};
    ISubmenu::Cursor cursor(menu);
    std::string ids;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ids += std::to_string(menu.menuItemId(cursor)) + " ";
    EXPECT_EQ(ids, "1 2 3 ");
    IMenu::Cursor menuCursor(menu);
    EXPECT_EQ(ovktest::caught([&] { menu.elementAt(menuCursor); }).errorId(),
              OVK_MSG_OPERATION_NOT_SUPPORTED);
    ISubmenu::Cursor second = menu.cursor(1);
    menu.deleteAt(second);
    EXPECT_EQ(describeMenu(popup), "One|Three");
    menu.undo();
    EXPECT_EQ(describeMenu(popup), "One|Two(c)|Three");
}

// The frame's lists name the classic road's sub-menus, so a cascade of its menu bar is found on
// both roads.
TEST_P(SubmenuUndo, ACascadeTakenAwayComesBackWithItsOwnSubmenu)
{
    auto frame = frameWithMenu();
    const HMENU file = GetSubMenu(GetMenu(frame->handle()), 0);
    const HMENU recent = GetSubMenu(file, 1);
    const std::string before = describeMenu(file);
    {
        ISubmenu menu{IMenuHandle(file)};
        menu.removeSubmenu(kFullRecentPopup);
        EXPECT_EQ(describeMenu(file), "&Open|&Recent");
        // Both roads leave the sub-menu alive for whoever gives it back.
        EXPECT_TRUE(IsMenu(recent));
        menu.undo();
        EXPECT_EQ(describeMenu(file), before);
        menu.deleteItem(kFullRecentPopup);
        EXPECT_EQ(describeMenu(file), "&Open");
        menu.undo();
        EXPECT_EQ(describeMenu(file), before);
        EXPECT_EQ(GetSubMenu(file, 1), recent);
    }
    // A deletion never undone leaves the sub-menu to nobody: it goes with the record.
    {
        ISubmenu menu{IMenuHandle(file)};
        menu.deleteItem(kFullRecentPopup);
    }
    EXPECT_FALSE(IsMenu(recent));
}

// A sub-menu taken away that no one will give back goes: with a pop-up's record that goes
// without its undo, and, for one of the library's own taken off by a menu (one added while the
// pop-up was changed, one loaded with the frame), with the menu bar it was taken from, when its
// frame goes. Until then the application may give it back.
TEST_P(SubmenuUndo, ASubmenuThatNoOneWillGiveBackIsDestroyed)
{
    auto frame = frameWithMenu();
    const HMENU file = GetSubMenu(GetMenu(frame->handle()), 0);
    HMENU recent = GetSubMenu(file, 1);
    {
        ISubmenu menu{IMenuHandle(file)};
        menu.removeSubmenu(kFullRecentPopup);
        EXPECT_TRUE(IsMenu(recent)) << "the undo could still give it back";
    }
    EXPECT_EQ(describeMenu(file), "&Open|&Recent");
    EXPECT_FALSE(IsMenu(recent));
    HMENU given = nullptr;
    {
        ISubmenu menu{IMenuHandle(file)};
        menu.addSubmenu(kFullRecentPopup);
        given = menu.submenuHandle(kFullRecentPopup);
        menu.removeSubmenu(kFullRecentPopup);
        EXPECT_TRUE(IsMenu(given));
        menu.undo();
    }
    EXPECT_EQ(describeMenu(file), "&Open|&Recent");
    EXPECT_TRUE(IsMenu(given)) << "its menu bar is still there";

    auto other = frameWithMenu();
    recent = GetSubMenu(GetSubMenu(GetMenu(other->handle()), 0), 1);
    {
        IMenuBar bar(other.get(), IMenuBar::_wrapper);
        bar.removeSubmenu(kFullRecentPopup);
        EXPECT_EQ(describeMenu(GetMenu(other->handle())), "&File[&Open|&Recent]|&Help");
    }
    EXPECT_TRUE(IsMenu(recent)) << "its menu bar is still there";
    other.reset();
    EXPECT_FALSE(IsMenu(recent));
    frame.reset();
    EXPECT_FALSE(IsMenu(given));
}

TEST(SubmenuAdd, AnItemGoesIntoTheSubmenuItNamesAndTheUndoTakesItOut)
{
    MenuRoad road(true);
    const ovk_native::Menu owned(CreatePopupMenu());
    const HMENU popup = owned.get();
    const HMENU cascade = CreatePopupMenu();
    AppendMenuA(cascade, MF_STRING, 6, "Inner");
    AppendMenuA(popup, MF_STRING, 1, "One");
    frametest::insertCascade(popup, 1, 5, cascade, "Cascade");
    {
        ISubmenu menu{IMenuHandle(popup)};
        IMenuItem item(20);
        item.setText("Added inside");
        menu.addItem(item, 5);
        EXPECT_EQ(describeMenu(popup), "One|Cascade[Inner|Added inside]");
        menu.undo();
        EXPECT_EQ(describeMenu(popup), "One|Cascade[Inner]");
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, SubmenuUndo, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Extended" : "Classic";
                         });

// -----------------------------------------------------------------------------------------------
// Pop-up menus

TEST(PopUpMenu, FromAResourceItTakesTheSubmenusAndOwnsThem)
{
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "extended road" : "classic road");
        MenuRoad road(extended);
        auto frame = frameWithMenu();
        HMENU edit = nullptr;
        {
            IPopUpMenu popup(IResourceId(kPopupMenu, self()), frame.get());
            const HMENU handle = popup.menuHandle();
            EXPECT_EQ(describeMenu(handle), "&Edit[Cu&t]|&View[&Zoom]|&Close");
            edit = GetSubMenu(handle, 0);
            EXPECT_TRUE(IsMenu(edit));
            EXPECT_EQ(popup.numberOfItems(kPopupEdit), 1u);
        }
        // The sub-menus went with the pop-up: they were moved out of the loaded menu, whose
        // own destruction would have taken them otherwise.
        EXPECT_FALSE(IsMenu(edit));
    }
    EXPECT_THROW(IPopUpMenu(nullptr, 1), IInvalidParameter);
}

// Records the callbacks and changes opening pop-ups.
class RecordingMenuHandler : public IMenuHandler {
public:
    std::string trace;
    bool acceptContextMenu = false;

protected:
    IBase::Boolean makePopUpMenu(IMenuEvent&) override
    {
        trace += "context ";
        return acceptContextMenu;
    }
    IBase::Boolean menuShowing(IMenuEvent& event, ISubmenu& menu) override
    {
        trace += "showing:" + std::to_string(event.menuItemId()) + " ";
        menu.addText(900, "Added while open");
        return true;
    }
    IBase::Boolean menuSelected(IMenuEvent& event) override
    {
        trace += "selected:" + std::to_string(event.menuItemId()) + " ";
        return false;
    }
    IBase::Boolean menuEnded(IMenuEvent& event) override
    {
        trace += "ended:" + std::to_string(event.menuItemId()) + " ";
        return false;
    }
};

// The window that a context menu belongs to notes its source emphasis going on and off.
class EmphasisWindow : public ovktest::TestWindow {
public:
    using TestWindow::TestWindow;
    std::string trace;
    bool emphasised = false;
    IWindow& showSourceEmphasis() override
    {
        trace += "on ";
        emphasised = true;
        return *this;
    }
    IWindow& hideSourceEmphasis() override
    {
        trace += "off ";
        emphasised = false;
        return *this;
    }
};

// Shows a real pop-up menu owned by the window; a thread timer notes whether the window is
// emphasised while the menu is open, then ends it.
class ContextMenuHandler : public IMenuHandler {
public:
    // The menu is owned by `owner`, by default by the window that asks for it.
    explicit ContextMenuHandler(EmphasisWindow& window, HWND owner = nullptr)
        : fWindow(window), fOwner(owner) {}
    bool accept = false;
    bool emphasisedWhileOpen = false;

protected:
    IBase::Boolean makePopUpMenu(IMenuEvent& event) override
    {
        if (!accept)
            return false;
        const ovk_native::Menu menu(CreatePopupMenu());
        AppendMenuA(menu.get(), MF_STRING, 1, "Open");
        const HWND owner = fOwner ? fOwner : static_cast<HWND>(event.window()->handle());
        Later later;
        later.after(100, [&] {
            emphasisedWhileOpen = fWindow.emphasised;
            PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        fWindow.trace += "menu ";
        TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, 10, 10, 0, owner, nullptr);
        fWindow.trace += "returned ";
        EXPECT_FALSE(later.watchdogFired());
        return true;
    }

private:
    EmphasisWindow& fWindow;
    HWND fOwner;
};

TEST(MenuHandler, APopUpOpenedTwiceIsShownOnceAndEndsOnTheSecondClose)
{
    auto frame = frameWithMenu();
    RecordingMenuHandler handler;
    handler.handleEventsFor(frame.get());
    const HWND window = frame->handle();
    const HMENU bar = GetMenu(window);
    const HMENU file = GetSubMenu(bar, 0);
    const std::string before = describeMenu(file);

    // The File item of the bar is selected, then its pop-up opens twice.
    ovktest::send(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar));
    ovktest::send(window, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(bar));
    ovktest::send(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    ovktest::send(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(describeMenu(file), before + "|Added while open");
    const std::string opened = "selected:" + std::to_string(kFullFilePopup) + " showing:" +
                               std::to_string(kFullFilePopup) + " ";
    EXPECT_EQ(handler.trace, opened);

    ovktest::send(window, IPrivateMessage::menuEnded, kFullFilePopup, reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(handler.trace, opened);
    EXPECT_EQ(describeMenu(file), before + "|Added while open");
    ovktest::send(window, IPrivateMessage::menuEnded, kFullFilePopup, reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(handler.trace, opened + "ended:" + std::to_string(kFullFilePopup) + " ");
    EXPECT_EQ(describeMenu(file), before);

    // A menu that closes selects nothing.
    handler.trace.clear();
    ovktest::send(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(handler.trace, "");
    handler.stopHandlingEventsFor(frame.get());
}

// Source emphasis shows while the context menu does: on before the menu opens, off when its
// loop ends (before TrackPopupMenu returns), and off again at once when no menu is offered.
TEST(MenuHandler, SourceEmphasisShowsWhileTheContextMenuIsOpenAndGoesWithIt)
{
    struct Case {
        bool accept;
        LRESULT result;
        const char* trace;
    };
    const Case cases[] = {
        {true, 1, "on menu off returned "},
        {false, 0, "on off "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.accept ? "a menu shown" : "no menu offered");
        EmphasisWindow window;
        ContextMenuHandler handler(window);
        handler.accept = c.accept;
        handler.handleEventsFor(&window);
        EXPECT_EQ(ovktest::send(window.hwnd(), WM_CONTEXTMENU,
                                reinterpret_cast<WPARAM>(window.hwnd()), MAKELPARAM(5, 5)),
                  c.result);
        EXPECT_EQ(handler.emphasisedWhileOpen, c.accept);
        EXPECT_EQ(window.trace, c.trace);
        EXPECT_FALSE(window.emphasised);
        handler.stopHandlingEventsFor(&window);
    }
}

// One handler serves the window that asks for the menu and the pop-up's owner, at which the
// menu loop ends: the emphasis goes from the window that asked, and the owner is left alone.
TEST(MenuHandler, SourceEmphasisGoesFromTheAskingWindowWhenTheLoopEndsAtAnotherOwner)
{
    EmphasisWindow owner;
    EmphasisWindow asking(owner.hwnd(), WS_CHILD);
    ContextMenuHandler handler(asking, owner.hwnd());
    handler.accept = true;
    handler.handleEventsFor(&asking);
    handler.handleEventsFor(&owner);
    EXPECT_EQ(ovktest::send(asking.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(asking.hwnd()),
                            MAKELPARAM(5, 5)),
              1);
    EXPECT_TRUE(handler.emphasisedWhileOpen);
    EXPECT_EQ(asking.trace, "on menu off returned ");
    EXPECT_FALSE(asking.emphasised);
    EXPECT_EQ(owner.trace, "");
    handler.stopHandlingEventsFor(&owner);
    handler.stopHandlingEventsFor(&asking);
}

// The whole road: a pop-up shown at a point opens, is changed by the handler, closes (ended from
// a thread timer) and is as it was.
TEST(MenuHandler, AShownPopUpIsChangedWhileOpenAndRestoredAfter)
{
    auto frame = frameWithMenu();
    frame->show();
    RecordingMenuHandler handler;
    handler.handleEventsFor(frame.get());
    IPopUpMenu popup(IResourceId(kPopupMenu, self()), frame.get());
    const std::string before = describeMenu(popup.menuHandle());
    std::string whileOpen;
    Later later;
    later.after(100, [&] {
        whileOpen = describeMenu(popup.menuHandle());
        EndMenu();
    });
    popup.show(IPoint(10, 10));
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_EQ(whileOpen, before + "|Added while open");
    EXPECT_TRUE(ovktest::pumpUntil([&] { return handler.trace.find("ended:") != std::string::npos; }));
    EXPECT_EQ(handler.trace, "showing:0 ended:0 ");
    EXPECT_EQ(describeMenu(popup.menuHandle()), before);
    handler.stopHandlingEventsFor(frame.get());
}

// Deletes the two cascades of an opening pop-up after checking its plain item.
class CascadeDeletingHandler : public IMenuHandler {
public:
    bool byCursor = false;
    std::string ended;

protected:
    IBase::Boolean menuShowing(IMenuEvent&, ISubmenu& menu) override
    {
        menu.checkItem(kPopupClose);
        if (byCursor) {
            ISubmenu::Cursor first = menu.cursor(0);
            menu.deleteAt(first);
            menu.deleteAt(first);
        } else {
            menu.deleteItem(kPopupEdit);
            menu.deleteItem(kPopupView);
        }
        return true;
    }
    IBase::Boolean menuEnded(IMenuEvent&) override
    {
        ended += "ended ";
        return false;
    }
};

// Deleting a cascade must not destroy its sub-menu: the undo when the pop-up closes puts it back,
// and every other change is taken back with it.
TEST(MenuHandler, CascadesDeletedWhileOpenComeBackWithTheirSubmenus)
{
    MenuRoad road(true);
    for (bool byCursor : {false, true}) {
        SCOPED_TRACE(byCursor ? "by cursor" : "by identifier");
        auto frame = frameWithMenu();
        frame->show();
        CascadeDeletingHandler handler;
        handler.byCursor = byCursor;
        handler.handleEventsFor(frame.get());
        IPopUpMenu popup(IResourceId(kPopupMenu, self()), frame.get());
        const HMENU menu = popup.menuHandle();
        const HMENU edit = GetSubMenu(menu, 0);
        const std::string before = describeMenu(menu);
        std::string whileOpen;
        Later later;
        later.after(100, [&] {
            whileOpen = describeMenu(menu);
            EndMenu();
        });
        popup.show(IPoint(10, 10));
        EXPECT_FALSE(later.watchdogFired());
        EXPECT_EQ(whileOpen, "&Close(c)");
        EXPECT_TRUE(ovktest::pumpUntil([&] { return !handler.ended.empty(); }));
        EXPECT_EQ(describeMenu(menu), before);
        EXPECT_EQ(GetSubMenu(menu, 0), edit);
        EXPECT_TRUE(IsMenu(edit));
        handler.stopHandlingEventsFor(frame.get());
    }
}

// A shown frame on the extended road with the pop-up menu of the resource, and the pop-up as it
// was made.
class ShownPopUp : public testing::Test {
protected:
    static std::unique_ptr<IFrameWindow> shownFrame()
    {
        auto frame = frameWithMenu();
        frame->show();
        return frame;
    }

    MenuRoad road{true};
    std::unique_ptr<IFrameWindow> frame = shownFrame();
    IPopUpMenu popup{IResourceId(kPopupMenu, self()), frame.get()};
    const HMENU menu = popup.menuHandle();
    const std::string before = describeMenu(menu);
};

// Changes both pop-ups of a cascade as they open: the top one gets an item and a check mark,
// the Edit cascade a new text for Cut and then an item.
class TwoPopUpsHandler : public IMenuHandler {
public:
    explicit TwoPopUpsHandler(HMENU top) : fTop(top) {}
    int ended = 0;

protected:
    IBase::Boolean menuShowing(IMenuEvent&, ISubmenu& menu) override
    {
        if (menu.menuHandle().asValue() == fTop) {
            menu.addText(900, "Added");
            menu.checkItem(kPopupClose);
        } else {
            menu.setText(kPopupCut, "Changed");
            menu.addText(901, "Added inside");
        }
        return true;
    }
    IBase::Boolean menuEnded(IMenuEvent&) override
    {
        ++ended;
        return false;
    }

private:
    HMENU fTop;
};

// The item the cascade's undo would take out is deleted behind its back while the menu is
// open, so that its undo fails first: the cascade's other change is still undone, the top
// pop-up (told after it) is still restored, and the failure is reported when the menu returns.
TEST_F(ShownPopUp, AFailedUndoLeavesNoOtherChangeOfAnyPopUpInPlace)
{
    TwoPopUpsHandler handler(menu);
    handler.handleEventsFor(frame.get());
    const HWND window = frame->handle();
    std::string whileOpen;
    Later later;
    // Down selects Edit, Right opens its cascade.
    later.after(100, [&] {
        PostMessageA(window, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageA(window, WM_KEYDOWN, VK_RIGHT, 1);
    });
    later.after(300, [&] {
        whileOpen = describeMenu(menu);
        popup.deleteItem(901);
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    unsigned long failure = 0;
    try {
        popup.show(IPoint(10, 10));
        ovktest::pumpUntil([&] { return handler.ended == 2; });
    } catch (const IException& exception) {
        failure = exception.errorId();
    }
    EXPECT_TRUE(ovktest::pumpUntil([&] { return handler.ended == 2; }));
    EXPECT_FALSE(later.watchdogFired());
    EXPECT_EQ(whileOpen, "&Edit[Changed|Added inside]|&View[&Zoom]|&Close(c)|Added");
    EXPECT_EQ(describeMenu(menu), before);
    EXPECT_EQ(failure, static_cast<unsigned long>(OVK_MSG_MENU_ITEM_NOT_FOUND));
    handler.stopHandlingEventsFor(frame.get());
}

// Adds an item to every pop-up that opens and fails as each one ends.
class FailingEndHandler : public IMenuHandler {
public:
    int showing = 0;
    int ended = 0;

protected:
    IBase::Boolean menuShowing(IMenuEvent&, ISubmenu& menu) override
    {
        ++showing;
        menu.addText(900, "Added while open");
        return true;
    }
    IBase::Boolean menuEnded(IMenuEvent&) override
    {
        ++ended;
        throw std::runtime_error("menuEnded failed");
    }
};

// A handler whose menuEnded fails still gets its pop-up back as it was, and the next opening of
// the same pop-up is shown to menuShowing again: twice in a row, each ended by a posted key, each
// failure reported when the menu returns.
TEST_F(ShownPopUp, AFailingMenuEndedLeavesNoChangeAndTheNextOpeningIsShownAgain)
{
    FailingEndHandler handler;
    handler.handleEventsFor(frame.get());
    const HWND window = frame->handle();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        std::string whileOpen;
        Later later;
        later.after(100, [&] {
            whileOpen = describeMenu(menu);
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        std::string failure;
        try {
            popup.show(IPoint(10, 10));
            ovktest::pumpUntil([&] { return handler.ended == round; });
        } catch (const std::exception& exception) {
            failure = exception.what();
        }
        EXPECT_FALSE(later.watchdogFired());
        EXPECT_EQ(failure, "menuEnded failed");
        EXPECT_EQ(handler.showing, round);
        EXPECT_EQ(handler.ended, round);
        EXPECT_EQ(whileOpen, before + "|Added while open");
        EXPECT_EQ(describeMenu(menu), before);
    }
    handler.stopHandlingEventsFor(frame.get());
}

// Disables the Recent cascade of the File pop-up as it opens, and notes what the pop-up knows
// of itself: its owner and its identifier are known only through the frame whose menu bar
// holds it.
class RecentDisablingHandler : public IMenuHandler {
public:
    std::string failure;
    int ended = 0;
    IWindow* owner = nullptr;
    unsigned long popupId = 0;

protected:
    IBase::Boolean menuShowing(IMenuEvent& event, ISubmenu& menu) override
    {
        if (event.menuItemId() != kFullFilePopup)
            return false;
        owner = menu.owner();
        popupId = menu.id();
        try {
            menu.disableItem(kFullRecentPopup);
        } catch (const IException& exception) {
            failure = ovktest::str(exception.text());
        }
        return true;
    }
    IBase::Boolean menuEnded(IMenuEvent&) override
    {
        ++ended;
        return false;
    }
};

// The frame's own menu bar, opened by its keyboard command and closed by keys: the pop-up that
// opens is found to belong to the frame, on both roads.
TEST(MenuHandler, APopUpOfTheMenuBarIsChangedThroughTheFrameThatHoldsIt)
{
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "extended road" : "classic road");
        MenuRoad road(extended);
        auto frame = frameWithMenu();
        frame->show();
        RecentDisablingHandler handler;
        handler.handleEventsFor(frame.get());
        const HWND window = frame->handle();
        const HMENU file = GetSubMenu(GetMenu(window), 0);
        const std::string before = describeMenu(file);
        std::string whileOpen;
        Later later;
        later.after(100, [&] {
            whileOpen = describeMenu(file);
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 'f');
        EXPECT_FALSE(later.watchdogFired());
        EXPECT_TRUE(ovktest::pumpUntil([&] { return handler.ended > 0; }));
        EXPECT_EQ(handler.failure, "");
        EXPECT_EQ(handler.owner, frame.get());
        EXPECT_EQ(handler.popupId, static_cast<unsigned long>(kFullFilePopup));
        EXPECT_EQ(whileOpen, "&Open|&Recent(d)[First]");
        EXPECT_EQ(describeMenu(file), before);
        handler.stopHandlingEventsFor(frame.get());
    }
}

} // namespace
