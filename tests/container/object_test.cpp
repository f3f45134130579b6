// Container objects behind their records: the allocator, the class's allocation and freeing,
// copying, and the native item table's in-use notification.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <new>

#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iprivmsg.hpp>
#include <ovkmsgid.hpp>

#include <detail/icnritem.hpp>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;
using cnrtest::received;

namespace {

using Objects = Containers;

TEST_F(Objects, ObjectLiesOneRecordHeaderBehindItsRecord)
{
    ICnrObj* object = new ICnrObj;
    MINIRECORDCORE* record = ICnrObj::recordOf(object);
    ASSERT_TRUE(record);
    EXPECT_EQ(reinterpret_cast<char*>(object) - reinterpret_cast<char*>(record),
              static_cast<std::ptrdiff_t>(sizeof(MINIRECORDCORE)));
    EXPECT_EQ(record->cb, sizeof(MINIRECORDCORE));
    EXPECT_EQ(ICnrObj::objectOf(record), object);
    EXPECT_EQ(ICnrObj::objectOf(nullptr), nullptr);
    EXPECT_EQ(ICnrObj::recordOf(nullptr), nullptr);
    // Drop-on-able and read-only from the start; the text is the record's own text pointer.
    EXPECT_EQ(record->flRecordAttr, CRA_DROPONABLE | CRA_RECORDREADONLY);
    object->setIconText("seen by the window");
    EXPECT_STREQ(record->pszIcon, "seen by the window");
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object) % alignof(ICnrObj), 0u);
    delete object;
}

// An allocator frees exactly the records it never handed out.
struct AllocatorCase {
    unsigned long used;
    unsigned freed;
};

class AllocatorUse : public Objects, public testing::WithParamInterface<AllocatorCase> {};

TEST_P(AllocatorUse, FreesTheRecordsNotHandedOut)
{
    const AllocatorCase c = GetParam();
    const long liveBefore = OvkCnrTestLiveRecords();
    std::vector<Item*> items;
    {
        ICnrAllocator allocator(3, sizeof(Item));
        EXPECT_EQ(received(CM_ALLOCRECORD), 1u);
        EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore + 3);
        for (unsigned long i = 0; i < c.used; ++i)
            items.push_back(new (allocator) Item);
        EXPECT_EQ(allocator.handedOut(), c.used);
    }
    EXPECT_EQ(received(CM_FREERECORD), c.freed);
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore + static_cast<long>(c.used));
    for (Item* item : items)
        delete item;
    EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
}

INSTANTIATE_TEST_SUITE_P(Objects, AllocatorUse,
                         testing::Values(AllocatorCase{2, 1}, AllocatorCase{3, 0},
                                         AllocatorCase{0, 3}));

TEST_F(Objects, ExhaustedAllocatorThrows68AndCountsNoMore)
{
    ICnrAllocator allocator(3, sizeof(ICnrObj));
    ICnrObj* objects[3];
    for (ICnrObj*& object : objects)
        object = new (allocator) ICnrObj;
    const IException failure = ovktest::caught([&] { new (allocator) ICnrObj; });
    EXPECT_EQ(failure.errorId(), OVK_MSG_ALLOCATOR_EXHAUSTED);
    EXPECT_EQ(allocator.handedOut(), 3u);
    for (ICnrObj* object : objects)
        delete object;
}

TEST_F(Objects, EmptyAllocatorThrows69BeforeAnyMessage)
{
    const IException failure = ovktest::caught([] { ICnrAllocator allocator(0, sizeof(ICnrObj)); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_ALLOCATOR_EMPTY_REQUEST);
    EXPECT_EQ(OvkCnrTestJournalCount(), 0u);
}

// An object larger than the allocator's records would overrun its record.
TEST_F(Objects, ObjectLargerThanTheAllocatorsRecordsIsRefused)
{
    ICnrAllocator allocator(1, sizeof(ICnrObj));
    EXPECT_THROW(new (allocator) Item, IInvalidParameter);
    EXPECT_EQ(allocator.handedOut(), 0u);
    // The record is still there for an object that fits.
    delete new (allocator) ICnrObj;
}

TEST_F(Objects, RefusedAllocationThrowsTheMessagesName)
{
    OvkCnrTestForceNextResult(CM_ALLOCRECORD, 0);
    EXPECT_STREQ(ovktest::caught([] { ICnrAllocator allocator(2, sizeof(ICnrObj)); }).text(),
                 "CM_ALLOCRECORD");
    OvkCnrTestForceNextResult(CM_ALLOCRECORD, 0);
    EXPECT_STREQ(ovktest::caught([] { new ICnrObj; }).text(), "CM_ALLOCRECORD");
}

// A destructor does not throw: a refused free is reported.
TEST_F(Objects, RefusedFreeIsReportedNotThrown)
{
    ovktest::ExpectAssertions reports;
    ICnrObj* object = new ICnrObj;
    OvkCnrTestForceNextResult(CM_FREERECORD, -1);
    delete object;
    {
        ICnrAllocator allocator(1, sizeof(ICnrObj));
        OvkCnrTestForceNextResult(CM_FREERECORD, -1);
    }
    ASSERT_EQ(reports.reports().size(), 2u);
    EXPECT_NE(reports.reports()[0].find("CM_FREERECORD"), std::string::npos);
    EXPECT_NE(reports.reports()[1].find("CM_FREERECORD"), std::string::npos);
}

TEST_F(Objects, CopyKeepsIconTextAndPositionButNotWhereItIsShown)
{
    const IPointerHandle icon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    ICnrObj* original = new ICnrObj(icon, "original");
    MINIRECORDCORE* record = ICnrObj::recordOf(original);
    record->flRecordAttr = CRA_SELECTED | CRA_TARGET | CRA_CURSORED | CRA_INUSE | CRA_DROPONABLE;
    record->ptlIcon = CNR_POINTL{12, -7};
    original->addContainerReference();

    ICnrObj* copy = original->objectCopy();
    MINIRECORDCORE* copied = ICnrObj::recordOf(copy);
    EXPECT_NE(copied, record);
    EXPECT_STREQ(copy->iconText(), "original");
    EXPECT_EQ(copy->icon(), icon);
    EXPECT_EQ(copied->ptlIcon.x, 12);
    EXPECT_EQ(copied->ptlIcon.y, -7);
    EXPECT_EQ(copied->flRecordAttr, CRA_TARGET | CRA_DROPONABLE);
    EXPECT_EQ(copy->containerCount(), 0u);
    EXPECT_TRUE(copy->isRefreshOn());
    original->removeContainerReference();
    delete copy;
    delete original;
}

// An object of a derived class is marked by every allocating form, and must copy itself.
TEST_F(Objects, DerivedObjectWithoutItsOwnCopyThrows53)
{
    ICnrAllocator allocator(2, sizeof(Item));
    ICnrObj* placed = new (allocator) Item;
    ICnrObj* debugPlaced = new (__FILE__, __LINE__, allocator) Item;
    ICnrObj* plain = new Item;
    for (ICnrObj* object : {placed, debugPlaced, plain}) {
        EXPECT_TRUE(object->state() & ICnrObj::derivedSize);
        EXPECT_TRUE(object->state() & ICnrObj::initialized);
        EXPECT_EQ(ovktest::caught([object] { object->objectCopy(); }).errorId(),
                  OVK_MSG_OBJECT_COPY_NOT_OVERRIDDEN);
    }
    ICnrObj* base = new ICnrObj;
    EXPECT_FALSE(base->state() & ICnrObj::derivedSize);
    for (ICnrObj* object : {placed, debugPlaced, plain, base})
        delete object;
}

// Memory that is not behind a record header is refused before anything is written to it.
TEST_F(Objects, ObjectOutsideARecordThrows54AndWritesNothing)
{
    alignas(std::max_align_t) unsigned char block[sizeof(MINIRECORDCORE) + sizeof(ICnrObj)] = {};
    auto* header = reinterpret_cast<MINIRECORDCORE*>(block);
    header->cb = 7;
    header->pszIcon = reinterpret_cast<char*>(0x1234);
    const IException failure = ovktest::caught([&] { ::new (block + sizeof(MINIRECORDCORE)) ICnrObj; });
    EXPECT_EQ(failure.errorId(), OVK_MSG_NOT_A_CONTAINER_RECORD);
    EXPECT_EQ(header->pszIcon, reinterpret_cast<char*>(0x1234));
    EXPECT_EQ(header->flRecordAttr, 0u);
}

// A native container tells its owner when an object's in-use state in it changes.
struct InUseCase {
    std::uint32_t oldState;
    std::uint32_t mask;
    std::uint32_t set;
    bool withRecord;
    bool notified;
};

class NativeInUse : public Objects, public testing::WithParamInterface<InUseCase> {};

TEST_P(NativeInUse, OwnerHearsOfInUseChanges)
{
    const InUseCase c = GetParam();
    ovktest::Recorder recorder(IPrivateMessage::controlNotification);
    NOTIFYRECORDEMPHASIS seen{};
    WPARAM first = 0;
    recorder.attach(*parent, "owner").setAction([&](IEvent& event) {
        first = event.parameter1().asUnsignedLong();
        seen = *static_cast<const NOTIFYRECORDEMPHASIS*>(event.parameter2().asPointer());
        return true;
    });
    MINIRECORDCORE record{};
    const std::unique_ptr<ICnrObj> object(new ICnrObj);
    ICnrItemTable table = object->nativeItems();
    table.create(native.get(), 0);
    // With no record the owner hears nothing of the state the entry starts with.
    table.setState(native.get(), ~0u, c.oldState, nullptr);
    table.setState(native.get(), c.mask, c.set, c.withRecord ? &record : nullptr);
    EXPECT_EQ(table.state(native.get()), c.set | (c.oldState & ~c.mask));
    // The container never held the object: it leaves no entry behind for the destructor.
    table.remove(native.get());
    EXPECT_EQ(recorder.trace(), c.notified ? "owner" : "");
    if (c.notified) {
        EXPECT_EQ(LOWORD(first), native->id());
        EXPECT_EQ(HIWORD(first), CN_EMPHASIS);
        EXPECT_EQ(seen.hwndCnr, static_cast<HWND>(native->handle()));
        EXPECT_EQ(seen.pRecord, &record);
        EXPECT_EQ(seen.fEmphasisMask, CRA_INUSE);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Objects, NativeInUse,
    testing::Values(InUseCase{0, ICnrItemTable::inUse, ICnrItemTable::inUse, true, true},
                    InUseCase{ICnrItemTable::inUse, ICnrItemTable::inUse, 0, true, true},
                    InUseCase{0, ICnrItemTable::inUse, 0, true, false},
                    InUseCase{0, ICnrItemTable::dropOnAble, ICnrItemTable::dropOnAble, true, false},
                    InUseCase{0, ICnrItemTable::inUse, ICnrItemTable::inUse, false, false}));

// An object whose constructor throws takes its record out of the allocator before the record
// is freed: the objects made before and after it go in as one chain, and nothing is left over.
class Refusing : public ICnrObj {
public:
    Refusing() : ICnrObj(IPointerHandle(), "refusing") { throw IException("refused"); }
};

TEST_F(Objects, AConstructorThatThrowsGivesItsRecordBack)
{
    for (ICnrCtl* cnr : {messageDriven.get(), native.get()}) {
        const long liveBefore = OvkCnrTestLiveRecords();
        Item* a = nullptr;
        Item* c = nullptr;
        {
            ICnrAllocator allocator(3, sizeof(Item));
            a = new (allocator) Item("a");
            EXPECT_THROW(new (allocator) Refusing, IException);
            ASSERT_EQ(allocator.handedOut(), 1u);
            c = new (allocator) Item("c");
            cnr->addObjects(allocator);
        }
        ICnrCtl::ObjectCursor cursor(*cnr);
        EXPECT_EQ(cursor.first(), a);
        EXPECT_EQ(cursor.next(), c);
        EXPECT_EQ(cursor.next(), nullptr);
        delete a;
        delete c;
        EXPECT_EQ(cnr->objectCount(), 0u);
        EXPECT_EQ(OvkCnrTestLiveRecords(), liveBefore);
    }
}

// Without a container named, showing and hiding go through every container that holds the
// object, and each repaints it once per change.
TEST_F(Objects, ShowAndHideReachEveryContainerThatHoldsTheObject)
{
    auto other = makeMessageDriven(22);
    std::unique_ptr<Item> a(new Item("a"));
    messageDriven->addObject(a.get());
    other->addObject(a.get());
    const auto repaints = [&](ICnrCtl& cnr) { return received(CM_INVALIDATERECORD, cnr.handle()); };
    OvkCnrTestJournalReset();
    a->hide();
    EXPECT_EQ(repaints(*messageDriven), 1u);
    EXPECT_EQ(repaints(*other), 1u);
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(a->isVisible(other.get()));
    a->hide();
    EXPECT_EQ(repaints(*messageDriven), 1u);
    EXPECT_EQ(repaints(*other), 1u);
    a->show();
    EXPECT_EQ(repaints(*messageDriven), 2u);
    EXPECT_EQ(repaints(*other), 2u);
    EXPECT_TRUE(a->isVisible());
    messageDriven->hideObject(a.get());
    EXPECT_EQ(repaints(*messageDriven), 3u);
    EXPECT_EQ(repaints(*other), 2u);
    EXPECT_FALSE(a->isVisible(messageDriven.get()));
}

// Opening marks the object in use in every container; closing takes the mark away everywhere.
TEST_F(Objects, OpenAndCloseMarkTheObjectInUseEverywhere)
{
    std::unique_ptr<Item> a(new Item("a"));
    native->addObject(a.get());
    messageDriven->addObject(a.get());
    EXPECT_FALSE(a->isOpen());
    a->setOpen();
    EXPECT_TRUE(a->state() & ICnrObj::opened);
    EXPECT_TRUE(a->isOpen());
    EXPECT_TRUE(a->isInUse(native.get()));
    EXPECT_TRUE(a->isInUse(messageDriven.get()));
    a->setOpen(false);
    EXPECT_FALSE(a->state() & ICnrObj::opened);
    EXPECT_FALSE(a->isOpen());
    EXPECT_FALSE(a->isInUse(native.get()));
    EXPECT_FALSE(a->isInUse(messageDriven.get()));
    a->open();
    EXPECT_TRUE(a->isOpen());
    a->close();
    EXPECT_FALSE(a->isOpen());
}

} // namespace
