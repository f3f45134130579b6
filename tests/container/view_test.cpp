// Container views and geometry: the view word and its queries, the native controls each view
// chooses, viewports and rectangles in both orientations, scrolling, icon placement, tree
// branches and the start of a drag.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include <icnrcol.hpp>
#include <icnrctl.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <icoordsy.hpp>
#include <ievent.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;
using cnrtest::child;
using cnrtest::received;

namespace {

LONG_PTR styleOf(HWND window)
{
    return GetWindowLongPtrA(window, GWL_STYLE);
}

// The last journalled message of a kind, or an entry with message 0.
OvkCnrJournalEntry lastOf(UINT message)
{
    OvkCnrJournalEntry found{};
    for (unsigned i = OvkCnrTestJournalCount(); i-- > 0;) {
        OvkCnrJournalEntry entry{};
        OvkCnrTestJournalEntryAt(i, &entry);
        if (entry.message == message)
            return entry;
    }
    return found;
}

// ICnrCtl's show... members return a reference; adapt them to one signature.
template <ICnrCtl& (ICnrCtl::*Show)()>
void call(ICnrCtl& container)
{
    (container.*Show)();
}

struct ViewRow {
    const char* name;
    void (*show)(ICnrCtl&);
    std::uint32_t word;
};

const ViewRow kViews[] = {
    {"icon", call<&ICnrCtl::showIconView>, CV_ICON},
    {"name", call<&ICnrCtl::showNameView>, CV_NAME},
    {"text", call<&ICnrCtl::showTextView>, CV_TEXT},
    {"details", call<&ICnrCtl::showDetailsView>, CV_DETAIL},
    {"tree icon", call<&ICnrCtl::showTreeIconView>, CV_TREE | CV_ICON},
    {"tree name", call<&ICnrCtl::showTreeNameView>, CV_TREE | CV_NAME},
    {"tree text", call<&ICnrCtl::showTreeTextView>, CV_TREE | CV_TEXT},
    {"flowed name", call<&ICnrCtl::showFlowedNameView>, CV_FLOW | CV_NAME},
    {"flowed text", call<&ICnrCtl::showFlowedTextView>, CV_FLOW | CV_TEXT},
};

// Each switch leaves exactly its view bits and the mini-icon bit; each query reads the word.
TEST_F(Containers, ViewSwitchesSetTheViewWordAndQueriesReadIt)
{
    messageDriven->showMiniIcons();
    for (const ViewRow& row : kViews) {
        SCOPED_TRACE(row.name);
        row.show(*messageDriven);
        const unsigned long word = messageDriven->viewWord();
        EXPECT_EQ(word & 0x7F, row.word | CV_MINI);
        const bool tree = row.word & CV_TREE;
        EXPECT_EQ(messageDriven->isIconView(), (row.word & CV_ICON) != 0);
        EXPECT_EQ(messageDriven->isIconView(true), (row.word & CV_ICON) && !tree);
        EXPECT_EQ(messageDriven->isNameView(true), (row.word & CV_NAME) && !tree);
        EXPECT_EQ(messageDriven->isTextView(true), (row.word & CV_TEXT) && !tree);
        EXPECT_EQ(messageDriven->isTreeIconView(), row.word == (CV_TREE | CV_ICON));
        EXPECT_EQ(messageDriven->isTreeNameView(), row.word == (CV_TREE | CV_NAME));
        EXPECT_EQ(messageDriven->isTreeTextView(), row.word == (CV_TREE | CV_TEXT));
        EXPECT_EQ(messageDriven->isFlowedNameView(), row.word == (CV_FLOW | CV_NAME));
        EXPECT_EQ(messageDriven->isFlowedTextView(), row.word == (CV_FLOW | CV_TEXT));
        EXPECT_EQ(messageDriven->isDetailsView(), row.word == CV_DETAIL);
        EXPECT_TRUE(messageDriven->showsMiniIcons());
    }
}

TEST_F(Containers, TargetEmphasisIsNormalUnlessBothKindsAreSet)
{
    messageDriven->setNormalTargetEmphasis();
    EXPECT_TRUE(messageDriven->isNormalTargetEmphasis());
    messageDriven->setOrderedTargetEmphasis();
    EXPECT_TRUE(messageDriven->isOrderedTargetEmphasis());
    EXPECT_TRUE(messageDriven->isNormalTargetEmphasis());
    messageDriven->setMixedTargetEmphasis();
    EXPECT_FALSE(messageDriven->isOrderedTargetEmphasis());
    EXPECT_TRUE(messageDriven->isNormalTargetEmphasis());
    messageDriven->changeAttributes(0, 0x10000 | 0x200000);
    EXPECT_FALSE(messageDriven->isNormalTargetEmphasis());
    messageDriven->enableDrawBackground();
    EXPECT_TRUE(messageDriven->isDrawBackgroundEnabled());
    messageDriven->disableDrawBackground();
    EXPECT_FALSE(messageDriven->isDrawBackgroundEnabled());
}

TEST_F(Containers, NativeViewsChooseTheirControlAndLook)
{
    native->showTreeNameView();
    const HWND tree = child(native->handle(), 0x3001);
    ASSERT_TRUE(tree);
    EXPECT_TRUE(IsWindowVisible(tree) || (styleOf(tree) & WS_VISIBLE));
    EXPECT_EQ(styleOf(tree) & (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT), TVS_HASLINES);
    native->showTreeIconView();
    EXPECT_EQ(styleOf(tree) & (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT),
              TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    native->showTextView();
    const HWND list = child(native->handle(), 0x3000);
    EXPECT_TRUE(styleOf(list) & WS_VISIBLE);
    EXPECT_FALSE(styleOf(tree) & WS_VISIBLE);
    EXPECT_EQ(styleOf(list) & LVS_TYPEMASK, LVS_LIST);
    // Text view shows no icons: its small images are one pixel wide.
    int width = 0, height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                          &width, &height);
    EXPECT_EQ(width, 1);
    native->showDetailsView();
    EXPECT_EQ(styleOf(list) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(native->isDetailsView());
}

// Geometry of the message-driven class ------------------------------------------------------------

TEST_F(Containers, ViewportsFollowTheApplicationsOrientation)
{
    auto tall = std::make_unique<ICnrCtl>(33, parent.get(), parent.get(), IRectangle(0, 0, 200, 300),
                                          ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
    // The class reports the visible part as the top 100 pixels of the window.
    EXPECT_EQ(tall->windowViewport(), IRectangle(0, 0, 200, 100));
    const ovktest::CoordinateSystem bottomLeft(ICoordinateSystem::kOriginLowerLeft);
    EXPECT_EQ(tall->windowViewport(), IRectangle(0, 200, 200, 300));
    OvkCnrTestForceNextResult(CM_QUERYVIEWPORTRECT, 0);
    EXPECT_STREQ(ovktest::caught([&] { tall->windowViewport(); }).text(), "CM_QUERYVIEWPORT");
}

TEST_F(Containers, ObjectRectanglesComeFromTheContainer)
{
    std::unique_ptr<Item> ownA(new Item("a")), ownB(new Item("b")), ownX(new Item("x"));
    Item &a = *ownA, &b = *ownB, &stranger = *ownX;
    messageDriven->addObject(&a).addObject(&b);
    // The second row, its icon at the left and its text after it.
    EXPECT_EQ(messageDriven->iconRectangle(&b), IRectangle(0, 20, 20, 40));
    EXPECT_EQ(messageDriven->iconRectangle(&b, true), IRectangle(0, 20, 120, 40));
    EXPECT_EQ(messageDriven->textRectangle(&b), IRectangle(20, 20, 120, 40));
    messageDriven->showTextView();
    EXPECT_EQ(messageDriven->iconRectangle(&b, true), IRectangle(20, 20, 120, 40));
    OvkCnrTestForceNextResult(CM_QUERYRECORDRECT, 0);
    EXPECT_EQ(messageDriven->iconRectangle(&a), IRectangle());
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->iconRectangle(&stranger); }).text(),
                 "object!=0 && containsObject(object)");
    messageDriven->removeObject(&a).removeObject(&b);
}

TEST_F(Containers, ScrollToObjectScrollsTheLeastThatShowsIt)
{
    std::vector<std::unique_ptr<Item>> items;
    for (int i = 0; i < 12; ++i) {
        items.emplace_back(new Item("item"));
        messageDriven->addObject(items.back().get());
    }
    OvkCnrTestJournalReset();
    // Rows are 20 high and the top 100 pixels show: the second row is in view.
    messageDriven->scrollToObject(items[1].get());
    EXPECT_EQ(received(CM_SCROLLWINDOW), 0u);
    // The eleventh row (200 to 220) ends 120 below the view.
    messageDriven->scrollToObject(items[10].get());
    OvkCnrJournalEntry last = lastOf(CM_SCROLLWINDOW);
    EXPECT_EQ(last.parameter1, CMA_VERTICAL);
    EXPECT_EQ(last.parameter2, 120);
    EXPECT_EQ(messageDriven->iconRectangle(items[10].get(), true).maxY(), 100);
    // To the top left: 4 pixels below the top of the view.
    messageDriven->scrollToObject(items[11].get(), nullptr, true);
    EXPECT_EQ(lastOf(CM_SCROLLWINDOW).parameter2, 220 - 120 - 4);
    EXPECT_EQ(messageDriven->iconRectangle(items[11].get()).minY(), 4);
    for (auto& item : items)
        messageDriven->removeObject(item.get());
}

TEST_F(Containers, SplitDetailsViewScrollsEachWindowSideways)
{
    IContainerColumn a(8), b(12);
    messageDriven->addColumn(&a).addColumn(&b);
    messageDriven->showDetailsView();
    messageDriven->scrollHorizontally(7);
    EXPECT_EQ(lastOf(CM_SCROLLWINDOW).parameter1, CMA_HORIZONTAL);
    messageDriven->setDetailsViewSplit(&a, 80);
    messageDriven->scrollHorizontally(30);
    EXPECT_EQ(lastOf(CM_HORZSCROLLSPLITWINDOW).parameter1, CMA_LEFT);
    EXPECT_EQ(lastOf(CM_HORZSCROLLSPLITWINDOW).parameter2, 30);
    messageDriven->scrollDetailsHorizontally(5, true);
    EXPECT_EQ(lastOf(CM_HORZSCROLLSPLITWINDOW).parameter1, CMA_RIGHT);
    OvkCnrTestForceNextResult(CM_HORZSCROLLSPLITWINDOW, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->scrollDetailsHorizontally(1); }).text(),
                 "CM_SCROLLSPLITWINDOW");
    messageDriven->hideDetailsViewSplit();
}

// A cell lies in its row, and the column under any point of a cell is that cell's column.
TEST_F(Containers, CellsLieInTheirRowsAndHitTestsFindTheirColumns)
{
    for (ICnrCtl* container : {native.get(), messageDriven.get()}) {
        SCOPED_TRACE(container->isMessageContainer() ? "message-driven" : "native");
        std::unique_ptr<Item> ownA(new Item("a")), ownB(new Item("b"));
        Item &a = *ownA, &b = *ownB;
        IContainerColumn text(IContainerColumn::DataSource::iconText), first(8), second(12);
        first.setDisplayWidth(60);
        second.setDisplayWidth(40);
        container->addColumn(&text).addColumn(&first).addColumn(&second);
        container->showDetailsView();
        container->addObject(&a).addObject(&b);
        const IRectangle row = container->detailsObjectRectangle(&b, false);
        for (IContainerColumn* column : {&first, &second}) {
            const IRectangle cell = container->detailsObjectRectangle(&b, column);
            EXPECT_EQ(cell.width(), static_cast<IPair::Coord>(column->displayWidth()));
            EXPECT_EQ(cell.minY(), row.minY());
            EXPECT_EQ(cell.maxY(), row.maxY());
            EXPECT_GE(cell.minX(), row.minX());
            const IPoint inside(cell.minX() + cell.width() / 2, cell.minY() + cell.height() / 2);
            EXPECT_EQ(container->columnUnderPoint(inside), column);
        }
        EXPECT_LT(container->detailsObjectRectangle(&b, &first).maxX(),
                  container->detailsObjectRectangle(&b, &second).maxX());
        container->removeObject(&a).removeObject(&b);
        container->showIconView();
        EXPECT_STREQ(ovktest::caught([&] { container->columnUnderPoint(IPoint(1, 1)); }).text(),
                     "isDetailsView()");
    }
}

TEST_F(Containers, MoveIconToPlacesTheRecordsIcon)
{
    std::unique_ptr<Item> ownA(new Item("a")), ownO(new Item("o"));
    Item &a = *ownA, &outside = *ownO;
    messageDriven->addObject(&a);
    messageDriven->moveIconTo(&a, IPoint(30, 40));
    EXPECT_EQ(ICnrObj::recordOf(&a)->ptlIcon.x, 30);
    EXPECT_EQ(ICnrObj::recordOf(&a)->ptlIcon.y, 40);
    EXPECT_EQ(lastOf(CM_INVALIDATERECORD).parameter2, 0x20001);
    EXPECT_EQ(received(CM_ERASERECORD), 1u);
    // An object of no container only has its position set.
    messageDriven->moveIconTo(&outside, IPoint(5, 6));
    EXPECT_EQ(ICnrObj::recordOf(&outside)->ptlIcon.y, 6);
    EXPECT_EQ(received(CM_ERASERECORD), 1u);
    messageDriven->removeObject(&a);
}

TEST_F(Containers, TreeBranchesExpandAndCollapse)
{
    std::unique_ptr<Item> ownP(new Item("parent")), ownC(new Item("child"));
    Item &parentItem = *ownP, &childItem = *ownC;
    messageDriven->addObject(&parentItem).addObject(&childItem, &parentItem);
    messageDriven->expand(&parentItem);
    EXPECT_TRUE(ICnrObj::recordOf(&parentItem)->flRecordAttr & CRA_EXPANDED);
    messageDriven->collapseAll();
    EXPECT_TRUE(ICnrObj::recordOf(&childItem)->flRecordAttr & CRA_COLLAPSED);
    OvkCnrTestForceNextResult(CM_EXPANDTREE, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->expandAll(); }).text(), "CM_EXPANDTREE");
    messageDriven->removeObject(&parentItem);

    auto tree = makeNative(ICnrCtl::defaultStyle(), ICnrCtl::treeView | ICnrCtl::iconView, 34);
    tree->addObject(&parentItem).addObject(&childItem, &parentItem);
    tree->expandAll();
    EXPECT_FALSE(tree->isCollapsed(&parentItem));
    tree->collapse(&parentItem);
    EXPECT_TRUE(tree->isCollapsed(&parentItem));
    tree->removeObject(&parentItem);
}

// The start of a drag -----------------------------------------------------------------------------

class DragStart : public Containers {
protected:
    void SetUp() override
    {
        Containers::SetUp();
        item = new Item("drag me");
        native->addObject(item);
        const IRectangle icon = native->iconRectangle(item);
        over = IPoint(icon.minX() + icon.width() / 2, icon.minY() + icon.height() / 2);
    }
    void TearDown() override
    {
        ReleaseCapture();
        delete item;
        Containers::TearDown();
    }
    IBase::Boolean mouse(UINT message, WPARAM buttons, int x, int y)
    {
        IEvent event(native->handle(), message, buttons, MAKELPARAM(x, y));
        return native->isDragStarting(event);
    }

    Item* item = nullptr;
    IPoint over;
};

TEST_F(DragStart, MovingMoreThanTwoPixelsAfterAPressOverAnObjectStartsADrag)
{
    ASSERT_EQ(native->objectUnderPoint(over), item);
    EXPECT_FALSE(mouse(WM_LBUTTONDOWN, MK_LBUTTON, over.x(), over.y()));
    EXPECT_EQ(GetCapture(), static_cast<HWND>(native->handle()));
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, MK_LBUTTON, over.x() + 2, over.y() - 2));
    EXPECT_TRUE(mouse(WM_MOUSEMOVE, MK_LBUTTON, over.x() + 3, over.y()));
    EXPECT_EQ(GetCapture(), nullptr);
    // Once started, the next move starts nothing more.
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, MK_LBUTTON, over.x() + 9, over.y()));

    // A release, or a move with no button down, ends the press.
    EXPECT_FALSE(mouse(WM_RBUTTONDOWN, MK_RBUTTON, over.x(), over.y()));
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, 0, over.x() + 9, over.y()));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, MK_RBUTTON, over.x() + 9, over.y()));
}

TEST_F(DragStart, PressOverEmptySpaceNeverCaptures)
{
    const IRectangle view = native->windowViewport();
    EXPECT_FALSE(mouse(WM_LBUTTONDOWN, MK_LBUTTON, view.maxX() - 2, view.maxY() - 2));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, MK_LBUTTON, 0, 0));
}

} // namespace
