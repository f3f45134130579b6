// Container drag items: which objects a drag carries and where they keep their places, and
// whole drags through OLE from one enabled container to another. The message-driven
// container's stand-in answers a fixed geometry: row i's icon is (0, 20 i) to (20, 20 i + 20).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <icnrctl.hpp>
#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <idmcnrit.hpp>
#include <idmdinfo.hpp>
#include <idmevent.hpp>
#include <idmfact.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmrendr.hpp>
#include <idmsupp.hpp>
#include <iprivmsg.hpp>
#include <ovkcnr.hpp>
#include <ovkmsgid.hpp>

#include <ovktest.hpp>

#include "dragtest.hpp"

namespace {

using ovktest::caught;

class Thing : public ICnrObj {
public:
    explicit Thing(const char* text) : ICnrObj(IPointerHandle(), text) {}
};

class ContainerItems : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OvkCnrRegisterClass());
        // The target stands where the pointer is, so that OLE's drag loop drops on it at once.
        SetWindowPos(sourceFrame.hwnd(), nullptr, 400, 100, 220, 220, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(targetFrame.hwnd(), HWND_TOPMOST, 100, 100, 220, 220, SWP_SHOWWINDOW);
        source = std::make_unique<ICnrCtl>(0x51, &sourceFrame, &sourceFrame, IRectangle(0, 0, 200, 200),
                                           ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
        target = std::make_unique<ICnrCtl>(0x52, &targetFrame, &targetFrame, IRectangle(0, 0, 200, 200),
                                           ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
        for (Thing* thing : things)
            source->addObject(thing);
    }
    void TearDown() override {
        for (ICnrCtl* container : {source.get(), target.get()})
            container->removeAllObjects();
        source.reset();
        target.reset();
        for (Thing* thing : things)
            delete thing;
        for (ICnrObj* copy : copies)
            delete copy;
    }

    // The operation of a drag that starts over row `row` of the source.
    IReference<IDMSourceOperation> startOver(int row) {
        IEvent start(source->handle(), IPrivateMessage::dragStart, IEventParameter1(5, 20 * row + 5), 0);
        IDMSourceBeginEvent begin(start);
        IReference<IDMSourceOperation> operation(new IDMSourceOperation(begin));
        operation->setContainerObject(begin.sourceContainerObject());
        operation->setOffset(begin.sourceObjectOffset());
        return operation;
    }
    void select(Thing* thing) { source->setEmphasis(thing, CRA_SELECTED, true); }
    // Presses over row `row` of the source and lets the drag run with the modifier keys held
    // (MK_CONTROL, MK_SHIFT) in the thread's key state, where OLE's drag loop reads them; the
    // pointer stands over the target.
    void dragFromRow(int row, unsigned long keys = 0) {
        SetCursorPos(200, 170);
        BYTE before[256] = {};
        GetKeyboardState(before);
        BYTE held[256] = {};
        std::copy(std::begin(before), std::end(before), std::begin(held));
        held[VK_CONTROL] = (keys & MK_CONTROL) ? 0x80 : 0;
        held[VK_SHIFT] = (keys & MK_SHIFT) ? 0x80 : 0;
        SetKeyboardState(held);
        source->sendEvent(IPrivateMessage::dragStart, IEventParameter1(5, 20 * row + 5), 0);
        SetKeyboardState(before);
    }

    ovktest::TestWindow sourceFrame{nullptr, WS_POPUP};
    ovktest::TestWindow targetFrame{nullptr, WS_POPUP};
    std::unique_ptr<ICnrCtl> source;
    std::unique_ptr<ICnrCtl> target;
    // Objects live in records that a container's allocator makes, so they are made with new.
    std::vector<Thing*> things{new Thing("a"), new Thing("b"), new Thing("c")};
    std::vector<ICnrObj*> copies;
};

TEST_F(ContainerItems, AnUnselectedObjectTravelsAloneASelectedOneWithTheOthers)
{
    select(things[0]);
    select(things[2]);
    IReference<IDMSourceOperation> single = startOver(1);
    ASSERT_TRUE(IDMCnrItem::generateSourceItems(single.get()));
    ASSERT_EQ(single->numberOfItems(), 1u);
    EXPECT_EQ(single->item(1)->object(), things[1]);

    select(things[1]);
    IReference<IDMSourceOperation> all = startOver(1);
    ASSERT_TRUE(IDMCnrItem::generateSourceItems(all.get()));
    ASSERT_EQ(all->numberOfItems(), 3u);
    EXPECT_TRUE(all->stackAllImages());
    // The anchor first, then the others in the cursor's order, each as far from the anchor's
    // offset as its icon is from the anchor's icon: one row, 20 pixels, apart.
    EXPECT_EQ(all->item(1)->object(), things[1]);
    EXPECT_EQ(all->item(2)->object(), things[0]);
    EXPECT_EQ(all->item(3)->object(), things[2]);
    const IPoint anchor = all->item(1)->objectOffset();
    EXPECT_EQ(all->item(2)->objectOffset().x(), anchor.x());
    EXPECT_EQ(std::abs(all->item(2)->objectOffset().y() - anchor.y()), 20);
    EXPECT_EQ(all->item(3)->objectOffset().y() - anchor.y(),
              anchor.y() - all->item(2)->objectOffset().y());
    EXPECT_EQ(all->item(1)->types(), IString("Container Object"));
    EXPECT_TRUE(all->item(1)->supportsRMFs(IDMRenderer::processRMF()));

    // Off every object, no item.
    IReference<IDMSourceOperation> none = startOver(7);
    EXPECT_FALSE(IDMCnrItem::generateSourceItems(none.get()));
}

TEST_F(ContainerItems, AnItemFromAnotherProcessKeepsNoPairAndOneWithoutObjectRaises160)
{
    IReference<IDMTargetOperation> op(new IDMTargetOperation(target->handle()));
    IDMDragInfoItem entry;
    entry.types = "Container Object";
    entry.rmfs = "<DRM_KestaUI,DRF_PROCESS=4294967295>,<DRM_KestaUI,DRF_SHAREDMEM>";
    IDMCnrItem item(IDMItem::Handle(new IDMItem(op.get(), entry)));
    EXPECT_EQ(item.rmfs(), IString(""));
    IDMTargetDropEvent drop(IEvent(target->handle(), IPrivateMessage::dragDrop, 0, 0));
    EXPECT_EQ(caught([&] { item.targetDrop(drop); }).errorId(), OVK_MSG_DRAG_ITEM_HAS_NO_OBJECT);
}

TEST_F(ContainerItems, AMoveThatTheSourceRefusesIsNoDropNow)
{
    // An object moved under itself: the container refuses it.
    IDMSupport::enableDragDropFor<IDMCnrItem>(source.get());
    IReference<IDMSourceOperation> dragged = startOver(0);
    IDMSourceOperation::setCurrentSourceOperation(dragged);
    ASSERT_TRUE(IDMCnrItem::generateSourceItems(dragged.get()));
    source->showTreeIconView();
    IReference<IDMTargetOperation> op(new IDMTargetOperation(source->handle()));
    op->setOperation(IDMOperation::move);
    op->setSourceWindowHandle(source->handle());
    op->setContainerObject(things[0]);
    IDMDragInfoItem entry;
    entry.types = "Container Object";
    entry.itemId = static_cast<std::uint32_t>(dragged->item(1)->itemId());
    entry.itemWindow = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(
        static_cast<HWND>(source->handle())));
    op->addItem(IDMItem::Handle(new IDMItem(op.get(), entry)));
    IDMTargetOperation::setCurrentTargetOperation(op);
    IDMItemFactory policy;
    IDMTargetEnterEvent over(IEvent(source->handle(), IPrivateMessage::dragOver, 0, 0));
    EXPECT_FALSE(policy.provideEnterSupport(over));
    EXPECT_EQ(over.dropAnswer(), 0);
    EXPECT_EQ(IDMSupport::defaultTargetRenderer().supportedTypes(), IString("Container Object"));
    // The drag leaves the window, as OLE tells a drop-enabled one: the renderer takes every
    // type again.
    source->sendEvent(IPrivateMessage::dragLeave, 0, 0);
    EXPECT_EQ(IDMTargetOperation::currentTargetOperation().get(), nullptr);
    IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
    EXPECT_EQ(IDMSupport::defaultTargetRenderer().supportedTypes(), IString("Any"));
}

// A target item as a drop on the target container rebuilds it, standing for the object.
IDMItem::Handle droppedItem(ICnrCtl& source, ICnrCtl& target, unsigned long operation,
                            ICnrObj* object, ICnrObj* under)
{
    IReference<IDMTargetOperation> op(new IDMTargetOperation(target.handle()));
    op->setOperation(operation);
    op->setContainerObject(under);
    IDMDragInfoItem entry;
    entry.types = "Container Object";
    entry.itemWindow = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(
        static_cast<HWND>(source.handle())));
    IDMItem::Handle item(new IDMCnrItem(IDMItem::Handle(new IDMItem(op.get(), entry))));
    item->setObject(object);
    op->addItem(item);
    return item;
}

TEST_F(ContainerItems, ACopyLeavesTheOriginalAndAnObjectDroppedOnItselfStays)
{
    IDMItem::Handle onItself = droppedItem(*source, *source, IDMOperation::move, things[2], things[2]);
    IDMTargetDropEvent drop(IEvent(source->handle(), IPrivateMessage::dragDrop, 0, 0));
    EXPECT_FALSE(onItself->targetDrop(drop));
    EXPECT_EQ(source->objectCount(), 3u);

    IDMItem::Handle copied = droppedItem(*source, *target, IDMOperation::copy, things[2], nullptr);
    IDMTargetDropEvent there(IEvent(target->handle(), IPrivateMessage::dragDrop, 0, 0));
    EXPECT_TRUE(copied->targetDrop(there));
    auto* copy = static_cast<ICnrObj*>(copied->object());
    copies.push_back(copy);
    EXPECT_NE(copy, things[2]);
    EXPECT_TRUE(target->containsObject(copy));
    EXPECT_TRUE(source->containsObject(things[2]));
}

TEST_F(ContainerItems, ADragMovesTheSelectedObjectsIntoTheOtherContainer)
{
    IDMSupport::enableDragDropFor<IDMCnrItem>(source.get());
    IDMSupport::enableDragDropFor<IDMCnrItem>(target.get());
    select(things[0]);
    select(things[1]);
    // The target's refresh is held while the drop fills it, until it is done with the
    // container.
    std::string refresh;
    ovktest::Recorder drops(CM_INSERTRECORD);
    drops.attach(*target, "insert").setAction([&](IEvent&) {
        refresh += target->isRefreshOn() ? "on " : "off ";
        return false;
    });
    dragFromRow(1);
    EXPECT_EQ(refresh, "off off ");
    EXPECT_TRUE(target->isRefreshOn());
    EXPECT_TRUE(source->isRefreshOn());
    EXPECT_TRUE(target->containsObject(things[0]));
    EXPECT_TRUE(target->containsObject(things[1]));
    EXPECT_FALSE(source->containsObject(things[0]));
    EXPECT_FALSE(source->containsObject(things[1]));
    EXPECT_TRUE(source->containsObject(things[2]));
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

// The types a drag over a container narrows the default target renderer to are that drag's
// alone: a plain window takes text again afterwards.
TEST_F(ContainerItems, AfterAContainerDragAPlainWindowStillTakesText)
{
    IDMSupport::enableDragDropFor<IDMCnrItem>(source.get());
    IDMSupport::enableDragDropFor<IDMCnrItem>(target.get());
    dragFromRow(0);
    ASSERT_TRUE(target->containsObject(things[0]));
    EXPECT_EQ(IDMSupport::defaultTargetRenderer().supportedTypes(), IString("Any"));

    ovktest::TestWindow plain{nullptr, WS_POPUP};
    SetWindowPos(plain.hwnd(), HWND_TOPMOST, 100, 100, 220, 220, SWP_SHOWWINDOW);
    dragtest::FetchingFactory plainItems;
    IDMSupport::setItemFactory(&plain, &plainItems);
    IDMSupport::enableDrop(&plain);
    dragtest::ForeignData text;
    text.offer(CF_TEXT, {'h', 'i', '\0'});
    EXPECT_EQ(dragtest::dragAtCursor(&text, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
    EXPECT_EQ(plainItems.log, std::string("hi|"));
}

// In a tree view, an object dropped on another moves under it.
TEST_F(ContainerItems, ATreeMovesAnObjectUnderTheObjectItIsDroppedOn)
{
    for (Thing* thing : things) {
        source->removeObject(thing);
        target->addObject(thing);
    }
    target->showTreeIconView();
    IDMSupport::enableDragDropFor<IDMCnrItem>(target.get());
    // Pressed on the first row, released on the second: the target lies at (100, 100).
    SetCursorPos(105, 125);
    target->sendEvent(IPrivateMessage::dragStart, IEventParameter1(5, 5), 0);
    EXPECT_EQ(target->parentObject(things[0]), things[1]);
    EXPECT_TRUE(target->containsObject(things[0]));
    EXPECT_EQ(target->objectCount(), 3u);
}

// With Control held, the drag copies: the object stays in the source and a copy arrives.
TEST_F(ContainerItems, AControlDragCopiesTheObject)
{
    IDMSupport::enableDragDropFor<IDMCnrItem>(source.get());
    IDMSupport::enableDragDropFor<IDMCnrItem>(target.get());
    dragFromRow(1, MK_CONTROL);
    EXPECT_TRUE(source->containsObject(things[1]));
    EXPECT_FALSE(target->containsObject(things[1]));
    ASSERT_EQ(target->objectCount(), 1u);
    ICnrObj* copy = target->objectAt(0);
    copies.push_back(copy);
    EXPECT_EQ(copy->iconText(), things[1]->iconText());
}

} // namespace
