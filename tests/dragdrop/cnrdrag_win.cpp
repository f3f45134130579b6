// Drag and drop over containers: the object under the pointer in the drag events, where the
// next dropped object goes, and a target operation that outlives its container. The
// message-driven container's stand-in answers a fixed geometry: row i's icon is (0, 20 i) to
// (20, 20 i + 20).
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include <icnrctl.hpp>
#include <icnrobj.hpp>
#include <idmdinfo.hpp>
#include <idmevent.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmsupp.hpp>
#include <iprivmsg.hpp>
#include <ovkcnr.hpp>

#include <ovktest.hpp>

namespace {

class Item : public ICnrObj {
public:
    explicit Item(const char* text) : ICnrObj(IPointerHandle(), text) {}
};

class ContainerDrag : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OvkCnrRegisterClass());
        SetWindowPos(parent.hwnd(), nullptr, 50, 60, 300, 300, SWP_NOZORDER);
        container = std::make_unique<ICnrCtl>(0x51, &parent, &parent, IRectangle(0, 0, 200, 200),
                                              ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
        container->addObject(&a).addObject(&b);
    }
    void TearDown() override {
        container->removeObject(&a).removeObject(&b);
        container.reset();
        delete &a;
        delete &b;
    }

    // A point of the container window on the screen, packed as the drag messages carry it.
    IEventParameter1 screenPoint(int x, int y) {
        POINT point{x, y};
        ClientToScreen(container->handle(), &point);
        return IEventParameter1(static_cast<std::uint16_t>(point.x),
                                static_cast<std::uint16_t>(point.y));
    }

    ovktest::TestWindow parent{nullptr, WS_OVERLAPPEDWINDOW};
    std::unique_ptr<ICnrCtl> container;
    // Objects live in records that the container's allocator makes, so they are made with new.
    Item& a = *new Item("a");
    Item& b = *new Item("b");
};

TEST_F(ContainerDrag, EventsFindTheObjectUnderThePointer)
{
    EXPECT_TRUE(IDMSupport::isContainer(container.get()));
    IEvent over(container->handle(), IPrivateMessage::dragOver, screenPoint(5, 25), 0);
    IDMTargetEnterEvent enter(over);
    EXPECT_EQ(enter.containerWindow(), container.get());
    EXPECT_EQ(enter.containerObject(), &b);
    // Over an object means on it only where objects stand in rows.
    container->showDetailsView();
    EXPECT_TRUE(enter.isOverContainerObject());
    container->showIconView();
    EXPECT_FALSE(enter.isOverContainerObject());

    IEvent start(container->handle(), IPrivateMessage::dragStart, IEventParameter1(5, 25), 0);
    IDMSourceBeginEvent begin(start);
    EXPECT_EQ(begin.sourceContainer(), container.get());
    EXPECT_EQ(begin.sourceContainerId(), 0x51u);
    EXPECT_EQ(begin.sourceContainerObject(), &b);
    // The icon's corner lies 5 pixels left of and above the press.
    EXPECT_EQ(begin.sourceObjectOffset(), IPoint(-5, -5));

    IEvent elsewhere(container->handle(), IPrivateMessage::dragStart, IEventParameter1(150, 150), 0);
    EXPECT_EQ(IDMSourceBeginEvent(elsewhere).sourceContainerObject(), nullptr);
    EXPECT_EQ(IDMSourceBeginEvent(elsewhere).sourceObjectOffset(), IPoint(0, 0));
}

TEST_F(ContainerDrag, DroppedObjectsGoToThePointerOrOneAfterAnother)
{
    container->setIconSize(ISize(40, 40));
    IEvent over(container->handle(), IPrivateMessage::dragOver, screenPoint(10, 15), 0);
    IDMTargetEnterEvent enter(over);
    IReference<IDMTargetOperation> target(new IDMTargetOperation(enter));
    IDMDragInfoItem entry;
    entry.offsetX = 3;
    entry.offsetY = 4;
    IDMItem::Handle item(new IDMItem(target.get(), entry));
    const IRectangle window = container->windowViewport();
    const IRectangle workspace = container->workspaceViewport();
    const IPoint start(10 - window.minX() + workspace.minX() + 3,
                       15 - window.minY() + workspace.minY() + 4);

    target->setDropStyle(1);
    EXPECT_EQ(target->dropPositionFor(item), start);
    EXPECT_EQ(target->dropPositionFor(item), start);

    // Along the row, one icon further each time, then on to the next row at the edge.
    target->setDropStyle(4);
    IPoint previous = target->dropPositionFor(item);
    EXPECT_EQ(previous, start);
    bool wrapped = false;
    for (int placed = 0; placed < 20 && !wrapped; ++placed) {
        const IPoint next = target->dropPositionFor(item);
        if (next.y() == previous.y()) {
            EXPECT_EQ(next.x(), previous.x() + 40);
            EXPECT_LE(next.x(), workspace.maxX());
        } else {
            EXPECT_EQ(next, IPoint(start.x(), previous.y() + 40));
            wrapped = true;
        }
        previous = next;
    }
    EXPECT_TRUE(wrapped);

    // Down the column.
    target->setDropPosition(IPoint(0, 0)).setDropStyle(2);
    EXPECT_EQ(target->dropPositionFor(item), start);
    EXPECT_EQ(target->dropPositionFor(item), IPoint(start.x(), start.y() + 40));
}

// A drag over a container holds its refresh (the whole drag runs in the container items'
// tests); a container destroyed before the operation is left alone.
TEST_F(ContainerDrag, AContainerDestroyedBeforeItsOperationIsLeftAlone)
{
    IReference<IDMTargetOperation> target(new IDMTargetOperation(container->handle()));
    target->setContainer(container.get());
    EXPECT_FALSE(container->isRefreshOn());
    container->removeObject(&a).removeObject(&b);
    container.reset();
    target = IReference<IDMTargetOperation>();
    container = std::make_unique<ICnrCtl>(0x52, &parent, &parent);
    container->addObject(&a).addObject(&b);
}

} // namespace
