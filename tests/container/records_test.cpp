// Objects going into and out of containers of both classes, and what the native container makes
// of them on its list and tree controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <icnrmsg.hpp>
#include <icnrobj.hpp>
#include <iobserver.hpp>
#include <iprivmsg.hpp>
#include <itextctl.hpp>

#include <algorithm>

#include "cnrtest.hpp"

using cnrtest::Containers;
using cnrtest::Item;
using cnrtest::received;

namespace {

using Records = Containers;

// The texts an object cursor visits, forwards, joined by blanks.
std::string walk(ICnrCtl::ObjectCursor& cursor)
{
    std::string texts;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        texts += (texts.empty() ? "" : " ") + std::string(cursor.current()->iconText());
    return texts;
}

std::string walkBack(ICnrCtl::ObjectCursor& cursor)
{
    std::string texts;
    for (cursor.setToLast(); cursor.isValid(); cursor.setToPrevious())
        texts += (texts.empty() ? "" : " ") + std::string(cursor.current()->iconText());
    return texts;
}

std::string order(const ICnrCtl& container)
{
    ICnrCtl::ObjectCursor cursor(container);
    return walk(cursor);
}

HWND listOf(const ICnrCtl& container)
{
    return cnrtest::child(container.handle(), 0x3000);
}

HWND treeOf(const ICnrCtl& container)
{
    return cnrtest::child(container.handle(), 0x3001);
}

// The texts of the native list control's items, in its order.
std::string listItems(const ICnrCtl& container)
{
    const HWND list = listOf(container);
    std::string texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        texts += (texts.empty() ? "" : " ") + cnrtest::listItemText(list, i);
    return texts;
}

int listImage(const ICnrCtl& container, int index)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageA(listOf(container), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

// Objects that the test deletes at its end. They leave every container first: deleting an
// object that still has children in a container deletes those children with it.
class Objects {
public:
    explicit Objects(ICnrCtl& anyContainer) : fContainer(anyContainer) {}
    ICnrObj* make(const char* text)
    {
        fObjects.push_back(new ICnrObj(IPointerHandle(), text));
        return fObjects.back();
    }
    ~Objects()
    {
        for (ICnrObj* object : fObjects)
            fContainer.removeObject(object, true);
        for (ICnrObj* object : fObjects)
            delete object;
    }

private:
    ICnrCtl& fContainer;
    std::vector<ICnrObj*> fObjects;
};

// A small tree: P with the children C1 and C2, each with one child (G1, G2), and Q beside P.
struct Tree {
    Tree(ICnrCtl& container, Objects& objects)
        : p(objects.make("P")), c1(objects.make("C1")), g1(objects.make("G1")),
          c2(objects.make("C2")), g2(objects.make("G2")), q(objects.make("Q"))
    {
        container.addObject(p);
        container.addObject(q);
        container.addObject(c1, p);
        container.addObject(c2, p);
        container.addObject(g1, c1);
        container.addObject(g2, c2);
    }
    ICnrObj *p, *c1, *g1, *c2, *g2, *q;
};

class BothClasses : public Records, public testing::WithParamInterface<bool> {
protected:
    ICnrCtl& container() { return GetParam() ? *native : *messageDriven; }
};

TEST_P(BothClasses, NoAfterObjectPutsItFirstAndAddObjectPutsItLast)
{
    Objects objects(*native);
    ICnrCtl& cnr = container();
    ICnrObj* a = objects.make("a");
    ICnrObj* b = objects.make("b");
    ICnrObj* c = objects.make("c");
    ICnrObj* d = objects.make("d");
    const unsigned long changes = cnr.changeCount();
    cnr.addObject(a);
    cnr.addObjectAfter(b);
    cnr.addObject(c);
    cnr.addObjectAfter(d, a);
    EXPECT_EQ(order(cnr), "b a d c");
    if (GetParam()) {
        EXPECT_EQ(listItems(cnr), "b a d c");
    }
    EXPECT_EQ(cnr.changeCount(), changes + 4);
    EXPECT_EQ(a->containerCount(), 1u);
    EXPECT_TRUE(cnr.containsObject(d));
}

// A message-driven container takes the chain in one message, the native one a record per
// message; a second insertion takes only the objects made since the first.
TEST_P(BothClasses, AddObjectsInsertsTheAllocatorsNewObjectsOnce)
{
    ovktest::Recorder inserts(CM_INSERTRECORD);
    ovktest::RecordingHandler& nativeInserts = inserts.attach(*native, "insert");
    ICnrCtl& cnr = container();
    std::vector<ICnrObj*> made;
    {
        ICnrAllocator allocator(4, sizeof(ICnrObj));
        made.push_back(new (allocator) ICnrObj(IPointerHandle(), "o1"));
        made.push_back(new (allocator) ICnrObj(IPointerHandle(), "o2"));
        const unsigned long changes = cnr.changeCount();
        cnr.addObjects(allocator);
        EXPECT_EQ(cnr.changeCount(), changes + 2);
        const unsigned messages = GetParam() ? static_cast<unsigned>(nativeInserts.count())
                                             : received(CM_INSERTRECORD, cnr.handle());
        EXPECT_EQ(messages, GetParam() ? 2u : 1u);
        made.push_back(new (allocator) ICnrObj(IPointerHandle(), "o3"));
        cnr.addObjects(allocator);
        EXPECT_EQ(cnr.changeCount(), changes + 3);
    }
    EXPECT_EQ(order(cnr), "o1 o2 o3");
    for (ICnrObj* object : made)
        EXPECT_EQ(object->containerCount(), 1u);
    for (ICnrObj* object : made)
        delete object;
    EXPECT_EQ(order(cnr), "");
}

// Observers hear of the title once the change is done, with the title as it is then.
TEST_P(BothClasses, TitleReachesTheObserversAfterTheSetterReturned)
{
    ICnrCtl& cnr = container();
    ovktest::NotificationLog log;
    log.keepOnly(ITextControl::textId).describeAs([](const INotificationEvent& event) {
        return std::string(static_cast<const char*>(event.eventData().asPointer()));
    });
    cnr.enableNotification();
    log.handleNotificationsFor(cnr);
    cnr.setTitle("first");
    cnr.setTitle(IString("second"));
    EXPECT_TRUE(log.entries().empty());
    ASSERT_TRUE(ovktest::pumpUntil([&] { return log.entries().size() == 2; }));
    EXPECT_EQ(log.texts()[1], "second");
    EXPECT_STREQ(cnr.title(), "second");
    log.stopHandlingNotificationsFor(cnr);
}

INSTANTIATE_TEST_SUITE_P(Records, BothClasses, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Native" : "MessageDriven";
                         });

// The insertion message counts its records in 16 bits: a longer chain must still arrive whole
// and in order, at the end or at the front alike.
TEST_F(Records, MessageDrivenContainerTakesAChainLongerThanOneMessageCounts)
{
    constexpr unsigned long kCount = 0x10000 + 10;
    ICnrCtl& cnr = *messageDriven;
    Objects objects(cnr);
    ICnrObj* before = objects.make("before");
    cnr.addObject(before);
    std::vector<ICnrObj*> made;
    made.reserve(2 * kCount);
    for (const bool front : {false, true}) {
        ICnrAllocator allocator(kCount, sizeof(ICnrObj));
        for (unsigned long i = 0; i < kCount; ++i)
            made.push_back(new (allocator) ICnrObj(IPointerHandle(), IString(i)));
        const unsigned long changes = cnr.changeCount();
        if (front)
            cnr.addObjectsAfter(allocator);
        else
            cnr.addObjects(allocator);
        EXPECT_EQ(cnr.changeCount(), changes + kCount);
    }
    // The window's own count: counting by a walk would take minutes here (see below).
    ICnrInfo info;
    cnr.containerInfo(&info);
    ASSERT_EQ(info.cRecords, 2 * kCount + 1);
    // The front chain, the object added first, then the chain added at the end; each chain
    // whole across the place where one message's records end and the next one's begin.
    ICnrObj* const* atEnd = made.data();
    ICnrObj* const* atFront = made.data() + kCount;
    ICnrCtl::ObjectCursor cursor(cnr);
    EXPECT_EQ(cursor.first(), atFront[0]);
    auto next = [&](const ICnrObj* object) {
        cursor.setCurrent(object);
        cursor.setToNext();
        return cursor.isValid() ? cursor.current() : nullptr;
    };
    for (ICnrObj* const* chain : {atFront, atEnd})
        for (unsigned long seam : {0xFFFEul, 0xFFFFul})
            EXPECT_EQ(next(chain[seam - 1]), chain[seam]);
    EXPECT_EQ(next(atFront[kCount - 1]), before);
    EXPECT_EQ(next(before), atEnd[0]);
    EXPECT_EQ(next(atEnd[kCount - 1]), nullptr);
    // Emptied in one message: the message-driven class looks up every record's parent among all
    // its records, so a walk over this many (as removing them one by one takes) runs for minutes.
    // Each object then finds itself gone from the window as it is deleted.
    ovktest::send(cnr.handle(), CM_REMOVERECORD, 0, 0);
    for (ICnrObj* object : made)
        delete object;
}

// What a window may do with a long chain that comes in parts: use the links of the records it
// took for itself, or refuse a part after it took others.
struct ChainCase {
    const char* name;
    // Whether the window's handler clears the link after each part's last record.
    bool reusesLinks;
    // Whether the second part is refused.
    bool refusesSecondPart;
};

class LongChains : public Containers, public testing::WithParamInterface<ChainCase> {};

// The chain still arrives whole and in order; or, refused, none of it is added, so that the
// window and the objects' counts agree. Then the same chain is added again.
TEST_P(LongChains, ArriveWholeOrNotAtAll)
{
    constexpr unsigned long kCount = 0x10000 + 10;
    ICnrCtl& cnr = *messageDriven;
    Objects objects(cnr);
    ICnrObj* before = objects.make("before");
    cnr.addObject(before);
    std::vector<ICnrObj*> made;
    made.reserve(kCount);
    ICnrAllocator allocator(kCount, sizeof(ICnrObj));
    for (unsigned long i = 0; i < kCount; ++i)
        made.push_back(new (allocator) ICnrObj(IPointerHandle(), IString(i)));
    ovktest::Trace trace;
    ovktest::RecordingHandler window(trace, "insert", CM_INSERTRECORD);
    // The part this attempt's window is at, and whether it refuses the second.
    unsigned long parts = 0;
    bool refuse = GetParam().refusesSecondPart;
    window.setAction([&](IEvent& event) {
        ++parts;
        auto* record = static_cast<MINIRECORDCORE*>(event.parameter1().asPointer());
        const auto* where = static_cast<const RECORDINSERT*>(event.parameter2().asPointer());
        if (refuse && parts == 2)
            OvkCnrTestForceNextResult(CM_INSERTRECORD, 0);
        if (GetParam().reusesLinks) {
            for (unsigned i = 1; i < where->cRecordsInsert && record; ++i)
                record = record->preccNextRecord;
            if (record)
                record->preccNextRecord = nullptr;
        }
        return false;
    });
    window.handleEventsFor(&cnr);
    const unsigned long changes = cnr.changeCount();
    ICnrInfo info;
    // Refused twice in a row: what the first refusal leaves behind shows in the second.
    for (int attempt = 0; GetParam().refusesSecondPart && attempt < 2; ++attempt) {
        parts = 0;
        EXPECT_THROW(cnr.addObjects(allocator), IException);
        EXPECT_EQ(parts, 2u);
        cnr.containerInfo(&info);
        EXPECT_EQ(info.cRecords, 1u);
        EXPECT_EQ(cnr.changeCount(), changes);
        EXPECT_EQ(std::count_if(made.begin(), made.end(),
                                [](ICnrObj* object) { return object->containerCount() != 0; }),
                  0);
        EXPECT_EQ(before->containerCount(), 1u);
    }
    refuse = false;
    cnr.addObjects(allocator);
    window.stopHandlingEventsFor(&cnr);
    cnr.containerInfo(&info);
    EXPECT_EQ(info.cRecords, kCount + 1);
    EXPECT_EQ(made.front()->containerCount(), 1u);
    EXPECT_EQ(made.back()->containerCount(), 1u);
    ICnrCtl::ObjectCursor cursor(cnr);
    const auto next = [&](const ICnrObj* object) {
        cursor.setCurrent(object);
        cursor.setToNext();
        return cursor.isValid() ? cursor.current() : nullptr;
    };
    EXPECT_EQ(next(before), made[0]);
    for (unsigned long seam : {0xFFFEul, 0xFFFFul})
        EXPECT_EQ(next(made[seam - 1]), made[seam]);
    EXPECT_EQ(next(made[kCount - 1]), nullptr);
    // Emptied in one message, as the test above explains.
    ovktest::send(cnr.handle(), CM_REMOVERECORD, 0, 0);
    for (ICnrObj* object : made)
        delete object;
}

INSTANTIATE_TEST_SUITE_P(Records, LongChains,
                         testing::Values(ChainCase{"ReusedLinks", true, false},
                                         ChainCase{"SecondPartRefused", false, true}),
                         [](const testing::TestParamInfo<ChainCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Records, ObjectInTwoContainersIsCountedTwiceAndRemovedOnlyWhereItIs)
{
    Objects objects(*native);
    ICnrObj* shared = objects.make("shared");
    native->addObject(shared);
    messageDriven->addObject(shared);
    EXPECT_EQ(shared->containerCount(), 2u);
    messageDriven->removeObject(shared);
    EXPECT_EQ(shared->containerCount(), 1u);
    EXPECT_TRUE(native->containsObject(shared));
    EXPECT_EQ(shared->iconText(), IString("shared"));

    std::unique_ptr<ICnrCtl> third = makeMessageDriven(22);
    messageDriven->addObject(shared);
    OvkCnrTestJournalReset();
    native->removeObject(shared, true);
    EXPECT_EQ(shared->containerCount(), 0u);
    EXPECT_FALSE(native->containsObject(shared));
    EXPECT_FALSE(messageDriven->containsObject(shared));
    EXPECT_EQ(received(CM_REMOVERECORD, third->handle()), 0u);
    // A container that does not hold the object counts nothing.
    const unsigned long changes = native->changeCount();
    native->removeObject(shared);
    EXPECT_EQ(shared->containerCount(), 0u);
    EXPECT_EQ(native->changeCount(), changes);
}

TEST_F(Records, ChildInAListOnlyContainerMakesTheTreeWithEveryEarlierRecord)
{
    Objects objects(*native);
    ICnrObj* first = objects.make("first");
    ICnrObj* second = objects.make("second");
    ICnrObj* child = objects.make("child");
    native->addObject(first);
    native->addObject(second);
    EXPECT_EQ(treeOf(*native), nullptr);
    EXPECT_TRUE(native->isCursored(first));
    EXPECT_FALSE(native->isCursored(second));
    native->addObject(child, first);
    const HWND tree = treeOf(*native);
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(IsWindowVisible(tree));
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(listItems(*native), "first second");
    EXPECT_EQ(native->parentObject(child), first);
    EXPECT_EQ(native->parentObject(first), nullptr);
    EXPECT_EQ(order(*native), "first child second");
}

// The list holds the top-level records only: one added after records with children still goes
// to the list's end, and a container emptied record by record cursors the next one it gets.
TEST_F(Records, TopLevelRecordsBehindChildrenEndTheListAndAnEmptiedContainerStartsAfresh)
{
    Objects objects(*native);
    ICnrObj* first = objects.make("first");
    ICnrObj* child = objects.make("child");
    ICnrObj* grandchild = objects.make("grandchild");
    ICnrObj* second = objects.make("second");
    ICnrObj* third = objects.make("third");
    native->addObject(first);
    native->addObject(child, first);
    native->addObject(grandchild, child);
    native->addObject(second);
    native->addObject(third);
    EXPECT_EQ(listItems(*native), "first second third");
    EXPECT_EQ(order(*native), "first child grandchild second third");
    EXPECT_TRUE(native->isCursored(first));
    for (ICnrObj* leaving : {second, first, third})
        native->removeObject(leaving);
    EXPECT_EQ(listItems(*native), "");
    ICnrObj* again = objects.make("again");
    native->addObject(again);
    native->addObject(second);
    EXPECT_TRUE(native->isCursored(again));
    EXPECT_FALSE(native->isCursored(second));
    EXPECT_EQ(listItems(*native), "again second");
}

TEST_F(Records, MovingUnderItsOwnDescendantIsRefusedAndChangesNothing)
{
    Objects objects(*native);
    Tree tree(*native, objects);
    const unsigned long changes = native->changeCount();
    EXPECT_FALSE(native->moveObjectTo(tree.p, tree.g1));
    EXPECT_FALSE(native->moveObjectTo(tree.c1, nullptr, nullptr, tree.c1));
    EXPECT_EQ(native->changeCount(), changes);
    EXPECT_EQ(order(*native), "P C1 G1 C2 G2 Q");
    // A valid move takes the object's descendants along.
    EXPECT_TRUE(native->moveObjectTo(tree.c1, tree.q));
    EXPECT_EQ(order(*native), "P C2 G2 Q C1 G1");
    EXPECT_EQ(native->parentObject(tree.g1), tree.c1);
    EXPECT_EQ(tree.g1->containerCount(), 1u);
}

TEST_F(Records, MovingToAnotherContainerTakesTheWholeTree)
{
    Objects objects(*native);
    Tree tree(*native, objects);
    EXPECT_TRUE(native->moveObjectTo(tree.p, nullptr, messageDriven.get()));
    EXPECT_EQ(order(*native), "Q");
    EXPECT_EQ(order(*messageDriven), "P C1 G1 C2 G2");
    for (ICnrObj* object : {tree.p, tree.c1, tree.g1, tree.c2, tree.g2})
        EXPECT_EQ(object->containerCount(), 1u);
    // A target that holds the object already refuses it.
    messageDriven->addObject(tree.q);
    EXPECT_FALSE(native->moveObjectTo(tree.q, nullptr, messageDriven.get()));
    EXPECT_EQ(order(*native), "Q");
}

TEST_F(Records, CopyingATreeParentGivesCopiesOfTheSameShapeElsewhere)
{
    Objects objects(*native);
    Tree tree(*native, objects);
    ICnrObj* copy = native->copyObjectTo(tree.p, nullptr, messageDriven.get());
    ASSERT_NE(copy, tree.p);
    EXPECT_EQ(order(*messageDriven), "P C1 G1 C2 G2");
    EXPECT_EQ(order(*native), "P C1 G1 C2 G2 Q");
    std::unique_ptr<ICnrCtl::ObjectList> copies(messageDriven->descendentsOf(copy));
    ICnrCtl::ObjectList::Cursor at(*copies);
    std::vector<ICnrObj*> copied;
    for (at.setToFirst(); at.isValid(); at.setToNext())
        copied.push_back(copies->elementAt(at));
    ASSERT_EQ(copied.size(), 4u);
    for (ICnrObj* each : copied)
        EXPECT_FALSE(native->containsObject(each));
    EXPECT_EQ(messageDriven->parentObject(copied[0]), copy);
    EXPECT_EQ(messageDriven->parentObject(copied[1]), copied[0]);
    EXPECT_EQ(messageDriven->parentObject(copied[3]), copied[2]);
    EXPECT_EQ(tree.p->containerCount(), 1u);
    // Deleting the copy deletes its copied descendants with it.
    const long live = OvkCnrTestLiveRecords();
    delete copy;
    EXPECT_EQ(OvkCnrTestLiveRecords(), live - 5);
    EXPECT_EQ(order(*messageDriven), "");
}

// One table of walks: every mode, both orders, the list and the tree of the native container
// and the message-driven one.
enum class Holder { nativeList, nativeTree, messageDriven };
enum class Walk { all, zOrder, children, descendants, leafDescendants, selected };

struct WalkCase {
    const char* name;
    Holder holder;
    Walk walk;
    const char* forward;
    const char* backward;
};

class CursorWalk : public Records, public testing::WithParamInterface<WalkCase> {};

TEST_P(CursorWalk, VisitsTheObjectsInOrderBothWays)
{
    const WalkCase c = GetParam();
    Objects objects(*native);
    ICnrCtl& cnr = c.holder == Holder::messageDriven ? *messageDriven : *native;
    ICnrObj* parent = nullptr;
    ICnrObj* leaf = nullptr;
    ICnrObj* chosen = nullptr;
    if (c.holder == Holder::nativeList) {
        for (const char* text : {"A", "B", "C"})
            cnr.addObject(objects.make(text));
        chosen = cnr.objectAt(1);
    } else {
        Tree tree(cnr, objects);
        parent = tree.p;
        leaf = tree.g1;
        chosen = tree.c2;
    }
    if (c.walk == Walk::selected)
        cnr.setEmphasis(chosen, CRA_SELECTED);
    std::unique_ptr<ICnrCtl::ObjectCursor> cursor;
    switch (c.walk) {
    case Walk::all: cursor.reset(new ICnrCtl::ObjectCursor(cnr)); break;
    case Walk::zOrder:
        cursor.reset(new ICnrCtl::ObjectCursor(cnr, 0, ICnrCtl::ObjectCursor::zOrder));
        break;
    case Walk::children: cursor.reset(new ICnrCtl::ObjectCursor(cnr, parent)); break;
    case Walk::descendants: cursor.reset(new ICnrCtl::ObjectCursor(cnr, parent, true)); break;
    case Walk::leafDescendants: cursor.reset(new ICnrCtl::ObjectCursor(cnr, leaf, true)); break;
    case Walk::selected:
        cursor.reset(new ICnrCtl::ObjectCursor(cnr, ICnrCtl::ObjectCursor::selected));
        break;
    }
    EXPECT_EQ(walk(*cursor), c.forward);
    EXPECT_EQ(walkBack(*cursor), c.backward);
}

INSTANTIATE_TEST_SUITE_P(
    Records, CursorWalk,
    testing::Values(
        WalkCase{"ListAll", Holder::nativeList, Walk::all, "A B C", "C B A"},
        WalkCase{"ListZOrder", Holder::nativeList, Walk::zOrder, "A B C", "C B A"},
        WalkCase{"ListSelected", Holder::nativeList, Walk::selected, "B", "B"},
        WalkCase{"TreeAll", Holder::nativeTree, Walk::all, "P C1 G1 C2 G2 Q", "Q G2 C2 G1 C1 P"},
        WalkCase{"TreeZOrder", Holder::nativeTree, Walk::zOrder, "P Q", "Q P"},
        WalkCase{"TreeChildren", Holder::nativeTree, Walk::children, "C1 C2", "C2 C1"},
        WalkCase{"TreeDescendants", Holder::nativeTree, Walk::descendants, "C1 G1 C2 G2",
                 "G2 C2 G1 C1"},
        WalkCase{"TreeLeaf", Holder::nativeTree, Walk::leafDescendants, "", ""},
        WalkCase{"MessageAll", Holder::messageDriven, Walk::all, "P C1 G1 C2 G2 Q",
                 "Q G2 C2 G1 C1 P"},
        WalkCase{"MessageDescendants", Holder::messageDriven, Walk::descendants, "C1 G1 C2 G2",
                 "G2 C2 G1 C1"},
        WalkCase{"MessageSelected", Holder::messageDriven, Walk::selected, "C2", "C2"}),
    [](const testing::TestParamInfo<WalkCase>& info) { return info.param.name; });

TEST_F(Records, AnyInsertionInvalidatesACursorAndSetCurrentMakesItValidAgain)
{
    Objects objects(*native);
    ICnrObj* a = objects.make("a");
    ICnrObj* b = objects.make("b");
    for (ICnrCtl* cnr : {native.get(), messageDriven.get()}) {
        cnr->addObject(a);
        ICnrCtl::ObjectCursor cursor(*cnr);
        ASSERT_TRUE(cursor.setToFirst());
        cnr->addObject(b);
        EXPECT_FALSE(cursor.isValid());
        EXPECT_EQ(cursor.current(), nullptr);
        EXPECT_THROW(cnr->objectAt(cursor), IInvalidRequest);
        cursor.setCurrent(a);
        EXPECT_TRUE(cursor.isValid());
        EXPECT_EQ(cursor.next(), b);
        cnr->removeObject(b);
        EXPECT_FALSE(cursor.isValid());
        EXPECT_THROW(cursor.setCurrent(b), IInvalidParameter);
        cnr->removeObject(a);
    }
}

TEST_F(Records, RemoveObjectAtWalksTheWholeContainer)
{
    Objects objects(*native);
    Tree tree(*messageDriven, objects);
    ICnrCtl::ObjectCursor cursor(*messageDriven);
    int removals = 0;
    for (cursor.setToFirst(); cursor.isValid(); ++removals)
        messageDriven->removeObjectAt(cursor);
    EXPECT_EQ(removals, 2);
    EXPECT_EQ(order(*messageDriven), "");
    EXPECT_EQ(tree.g2->containerCount(), 0u);
}

TEST_F(Records, TextCursorFindsMatchesAndAnEmptyTextNothing)
{
    Objects objects(*native);
    for (ICnrCtl* cnr : {native.get(), messageDriven.get()}) {
        for (const char* text : {"apple", "banana", "apricot", "Apex"})
            cnr->addObject(objects.make(text));
        ICnrCtl::TextCursor prefix(*cnr, "apr", true);
        EXPECT_STREQ(prefix.first()->iconText(), "apricot");
        EXPECT_EQ(prefix.next(), nullptr);
        ICnrCtl::TextCursor whole(*cnr, "banana");
        EXPECT_STREQ(whole.last()->iconText(), "banana");
        ICnrCtl::TextCursor empty(*cnr, "", true);
        EXPECT_FALSE(empty.setToFirst());
        EXPECT_EQ(empty.last(), nullptr);
        cnr->removeAllObjects();
    }
}

TEST_F(Records, AttributesWithNothingToChangeSendNoMessage)
{
    Objects objects(*native);
    ICnrObj* a = objects.make("a");
    native->addObject(a);
    ovktest::Recorder emphasis(CM_SETRECORDEMPHASIS);
    emphasis.attach(*native, "emphasis");
    native->setAttributes(a, 0, 0);
    EXPECT_EQ(emphasis.trace(), "");
    native->setAttributes(a, CRA_RECORDREADONLY, 0);
    EXPECT_EQ(emphasis.trace(), "emphasis");
    EXPECT_TRUE(native->isWriteable(a));
    native->setAttributes(a, 0, CRA_RECORDREADONLY);
    EXPECT_FALSE(native->isWriteable(a));
}

// In-use emphasis swaps the item's picture, tells the owner and succeeds, in list and tree.
class InUse : public Records, public testing::WithParamInterface<bool> {};

TEST_P(InUse, SwapsTheImageTellsTheOwnerAndSucceeds)
{
    std::unique_ptr<ICnrCtl> cnr =
        GetParam() ? makeNative(ICnrCtl::defaultStyle(), ICnrCtl::treeView | ICnrCtl::nameView, 23)
                   : makeNative();
    Objects objects(*native);
    ICnrObj* a = objects.make("a");
    cnr->addObject(a);
    ovktest::Recorder owner(IPrivateMessage::controlNotification);
    NOTIFYRECORDEMPHASIS seen{};
    unsigned code = 0;
    owner.attach(*parent, "owner").setAction([&](IEvent& event) {
        code = HIWORD(event.parameter1().asUnsignedLong());
        seen = *static_cast<const NOTIFYRECORDEMPHASIS*>(event.parameter2().asPointer());
        return true;
    });
    int before = 0;
    if (!GetParam())
        before = listImage(*cnr, 0);
    EXPECT_NO_THROW(cnr->setEmphasis(a, CRA_INUSE, true));
    EXPECT_EQ(owner.trace(), "owner");
    EXPECT_EQ(code, CN_EMPHASIS);
    EXPECT_EQ(seen.fEmphasisMask, CRA_INUSE);
    EXPECT_EQ(seen.pRecord, ICnrObj::recordOf(a));
    EXPECT_TRUE(a->isInUse(cnr.get()));
    if (!GetParam()) {
        EXPECT_NE(listImage(*cnr, 0), before);
        cnr->setEmphasis(a, CRA_INUSE, false);
        EXPECT_EQ(listImage(*cnr, 0), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, InUse, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Tree" : "List";
                         });

TEST_F(Records, RefusedInsertionThrowsTheMessagesNameAndCountsNothing)
{
    Objects objects(*native);
    ICnrObj* a = objects.make("a");
    OvkCnrTestForceNextResult(CM_INSERTRECORD, 0);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->addObject(a); }).text(), "CM_INSERTRECORD");
    EXPECT_EQ(a->containerCount(), 0u);
    EXPECT_EQ(messageDriven->changeCount(), 0u);
    EXPECT_THROW(messageDriven->addObject(nullptr), IInvalidParameter);
    EXPECT_STREQ(ovktest::caught([&] { messageDriven->removeObject(nullptr); }).text(),
                 "newObject!=0");
}

// The rectangle the container gives for an object is where the object is found again, with the
// title above the control and without.
TEST_F(Records, ObjectUnderThePointOfItsRectangleIsTheObject)
{
    Objects objects(*native);
    ICnrObj* a = objects.make("a");
    ICnrObj* b = objects.make("b");
    native->addObject(a);
    native->addObject(b);
    for (bool title : {false, true}) {
        native->showTitle(title);
        QUERYRECORDRECT query{};
        query.cb = sizeof query;
        query.pRecord = ICnrObj::recordOf(b);
        query.fsExtent = CMA_ICON | CMA_TEXT;
        CNR_RECTL area{};
        ASSERT_EQ(native->sendEvent(CM_QUERYRECORDRECT, &area, &query).asUnsignedLong(), 1u);
        const IPoint middle((area.xLeft + area.xRight) / 2, (area.yTop + area.yBottom) / 2);
        EXPECT_EQ(native->objectUnderPoint(middle), b) << "title " << title;
        EXPECT_EQ(native->objectUnderPoint(IPoint(area.xRight + 500, area.yBottom + 500)), nullptr);
    }
}

// Deleting and the repaint it causes --------------------------------------------------------------------

unsigned repaints(HWND window)
{
    unsigned count = 0;
    for (unsigned i = 0; i < OvkCnrTestJournalCount(); ++i) {
        OvkCnrJournalEntry entry{};
        OvkCnrTestJournalEntryAt(i, &entry);
        if (entry.window == window && entry.message == CM_INVALIDATERECORD &&
            LOWORD(entry.parameter2) == 0)
            ++count;
    }
    return count;
}

TEST_F(Records, DeletingATreeParentShownTwiceDeletesEachDescendantOnceAndRepaintsOnce)
{
    parent->show();
    std::unique_ptr<ICnrCtl> other = makeMessageDriven(22);
    Item::destroyed = 0;
    Item* p = new Item("P");
    Item* children[] = {new Item("C1"), new Item("C2")};
    Item* grandchildren[] = {new Item("G1"), new Item("G2")};
    for (ICnrCtl* cnr : {messageDriven.get(), other.get(), native.get()}) {
        cnr->addObject(p);
        for (int i = 0; i < 2; ++i) {
            cnr->addObject(children[i], p);
            cnr->addObject(grandchildren[i], children[i]);
        }
    }
    const long live = OvkCnrTestLiveRecords();
    OvkCnrTestJournalReset();
    delete p;
    EXPECT_EQ(Item::destroyed, 5);
    EXPECT_EQ(OvkCnrTestLiveRecords(), live - 5);
    EXPECT_EQ(repaints(messageDriven->handle()), 1u);
    EXPECT_EQ(repaints(other->handle()), 1u);
    EXPECT_EQ(order(*messageDriven), "");
    EXPECT_EQ(order(*native), "");
    EXPECT_EQ(SendMessageA(treeOf(*native), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(Records, FastDeleteOfASharedObjectLeavesNoRecordOfItElsewhere)
{
    std::unique_ptr<ICnrCtl> fast = std::make_unique<ICnrCtl>(
        24, parent.get(), parent.get(), IRectangle(0, 0, 100, 100),
        ICnrCtl::defaultStyle() | ICnrCtl::messageContainer | ICnrCtl::fastDelete);
    ICnrObj* shared = new ICnrObj(IPointerHandle(), "shared");
    ICnrObj* own = new ICnrObj(IPointerHandle(), "own");
    fast->addObject(shared);
    fast->addObject(own);
    native->addObject(shared);
    const long live = OvkCnrTestLiveRecords();
    OvkCnrTestJournalReset();
    fast->deleteAllObjects();
    EXPECT_EQ(order(*fast), "");
    EXPECT_EQ(order(*native), "");
    EXPECT_EQ(listItems(*native), "");
    EXPECT_EQ(OvkCnrTestLiveRecords(), live - 2);
    EXPECT_EQ(received(CM_FILTER, fast->handle()), 0u);

    // With nothing shared, the container's own quick way.
    for (const char* text : {"x", "y"})
        fast->addObject(new ICnrObj(IPointerHandle(), text));
    fast->deleteAllObjects();
    EXPECT_EQ(received(CM_FILTER, fast->handle()), 2u);
    EXPECT_EQ(order(*fast), "");
    EXPECT_EQ(OvkCnrTestLiveRecords(), live - 2);
}

TEST_F(Records, DeleteSelectedObjectsDeletesExactlyTheSelectedOnes)
{
    std::unique_ptr<ICnrCtl> multiple = std::make_unique<ICnrCtl>(
        25, parent.get(), parent.get(), IRectangle(0, 0, 100, 100),
        ICnrCtl::multipleSelection | ICnrCtl::messageContainer);
    std::vector<ICnrObj*> made;
    for (const char* text : {"a", "b", "c", "d"}) {
        made.push_back(new ICnrObj(IPointerHandle(), text));
        multiple->addObject(made.back());
    }
    multiple->setEmphasis(made[1], CRA_SELECTED);
    multiple->setEmphasis(made[3], CRA_SELECTED);
    ICnrCtl::ObjectCursor selected(*multiple, ICnrCtl::ObjectCursor::selected);
    EXPECT_EQ(walk(selected), "b d");
    multiple->deleteSelectedObjects();
    EXPECT_EQ(order(*multiple), "a c");
    delete made[0];
    delete made[2];
}

} // namespace
