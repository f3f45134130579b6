// Collections and their cursors.
#include "iexcept.hpp"
#include "imap.hpp"
#include "isequenc.hpp"
#include "isrtlist.hpp"
#include "istring.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

template <class Collection>
std::string walk(const Collection& c, bool backwards = false) {
    std::string trace;
    typename Collection::Cursor cursor(c);
    for (backwards ? cursor.setToLast() : cursor.setToFirst(); cursor.isValid();
         backwards ? cursor.setToPrevious() : cursor.setToNext()) {
        trace += std::to_string(cursor.element());
    }
    return trace;
}

TEST(Sequence, AddAsFirstGivesLastAddedFirstAndCursorsWalkBothWays) {
    ISequence<int> handlers(10);
    handlers.addAsFirst(1).addAsFirst(2).addAsFirst(3);
    EXPECT_EQ(walk(handlers), "321");
    EXPECT_EQ(walk(handlers, true), "123");
    EXPECT_EQ(handlers.firstElement(), 3);
    EXPECT_EQ(handlers.elementAtPosition(3), 1);
}

TEST(Sequence, AddingDuringAWalkKeepsTheCursor) {
    ISequence<int> list;
    list.add(1).add(2).add(3);
    ISequence<int>::Cursor cursor(list);
    std::string trace;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        int value = cursor.element();
        trace += std::to_string(value);
        if (value == 2) list.addAsFirst(0).addAsLast(4); // a handler attaching more handlers
    }
    EXPECT_EQ(trace, "1234");
    EXPECT_EQ(walk(list), "01234");
}

TEST(Sequence, RemovalInvalidatesOtherCursorsAndMovesItsOwn) {
    ISequence<int> list;
    list.add(1).add(2).add(3).add(4);
    ISequence<int>::Cursor other(list);
    other.setToLast();
    ISequence<int>::Cursor cursor(list);
    cursor.setToFirst();
    while (cursor.isValid()) {
        if (cursor.element() % 2 == 0) {
            list.removeAt(cursor); // moves on to the next element
        } else {
            cursor.setToNext();
        }
    }
    EXPECT_EQ(walk(list), "13");
    EXPECT_FALSE(other.isValid());
    EXPECT_THROW(other.element(), IInvalidParameter);
    EXPECT_THROW(list.elementAt(other), IInvalidParameter);

    ISequence<int> foreign;
    foreign.add(7);
    ISequence<int>::Cursor foreignCursor(foreign);
    foreignCursor.setToFirst();
    EXPECT_THROW(list.elementAt(foreignCursor), IInvalidParameter);
}

TEST(Sequence, PositionsCursorsAndSearch) {
    ISequence<IString> list;
    list.add("b").addAtPosition(1, "a").addAtPosition(3, "d");
    ISequence<IString>::Cursor cursor(list);
    ASSERT_TRUE(list.locate("d", cursor));
    list.addAsPrevious("c", cursor);
    EXPECT_EQ(list.position(cursor), 3u);
    list.addAsNext("c2", cursor);
    EXPECT_EQ(cursor.element(), "c2");
    list.replaceAt(cursor, "c+");
    EXPECT_TRUE(list.setToPosition(5, cursor));
    EXPECT_EQ(list.elementAt(cursor), "d");
    EXPECT_FALSE(list.setToPosition(6, cursor));
    EXPECT_FALSE(cursor.isValid());

    std::string all;
    for (const IString& s : list) all += s.data();
    EXPECT_EQ(all, "abcc+d");

    EXPECT_TRUE(list.remove("c+"));
    EXPECT_FALSE(list.remove("zz"));
    list.removeFirst().removeLast().removeAtPosition(2);
    EXPECT_EQ(list.numberOfElements(), 1u);
    EXPECT_EQ(list.firstElement(), "b");
    EXPECT_THROW(list.elementAtPosition(0), IInvalidParameter);
    EXPECT_THROW(list.addAtPosition(3, "x"), IInvalidParameter);
    list.removeAll();
    EXPECT_THROW(list.firstElement(), IInvalidParameter);
    EXPECT_FALSE(cursor.setToFirst());
}

struct Key {
    int lookup;
    char action;
};
struct KeyOfKey {
    int operator()(const Key& k) const { return k.lookup; }
};

TEST(KeySet, KeepsOneElementPerKeyAddKeepsReplaceReplaces) {
    IKeySet<Key, int, KeyOfKey> keys(30);
    EXPECT_TRUE(keys.add(Key{65, 'a'}));
    EXPECT_FALSE(keys.add(Key{65, 'b'}));
    EXPECT_EQ(keys.elementWithKey(65).action, 'a');
    EXPECT_FALSE(keys.addOrReplaceElementWithKey(Key{65, 'c'}));
    EXPECT_EQ(keys.elementWithKey(65).action, 'c');
    EXPECT_TRUE(keys.addOrReplaceElementWithKey(Key{10, 'd'}));
    EXPECT_EQ(keys.numberOfElements(), 2u);

    IKeySet<Key, int, KeyOfKey>::Cursor cursor(keys);
    EXPECT_TRUE(keys.locateElementWithKey(10, cursor));
    EXPECT_EQ(cursor.element().action, 'd');
    EXPECT_TRUE(cursor.setToNext());
    EXPECT_EQ(keys.keyAt(cursor), 65);
    EXPECT_TRUE(keys.removeElementWithKey(10));
    EXPECT_FALSE(cursor.isValid());
    EXPECT_FALSE(keys.containsElementWithKey(10));
    EXPECT_THROW(keys.elementWithKey(10), IInvalidParameter);
}

TEST(Map, MapsKeysToElementsInKeyOrder) {
    IMap<unsigned long, IString> windows;
    windows.add(30, "c");
    windows.add(10, "a");
    EXPECT_TRUE(windows.addOrReplace(20, "b"));
    EXPECT_FALSE(windows.add(10, "x"));
    windows.elementWithKey(30) += "!";
    IMap<unsigned long, IString>::Cursor cursor(windows);
    std::string trace;
    for (cursor.setToLast(); cursor.isValid(); cursor.setToPrevious()) {
        trace += windows.elementAt(cursor).data();
    }
    EXPECT_EQ(trace, "c!ba");
    EXPECT_TRUE(windows.locate(20, cursor));
    windows.removeAt(cursor);
    EXPECT_EQ(windows.keyAt(cursor), 30u);
    EXPECT_FALSE(windows.containsKey(20));
}

TEST(SortedList, KeepsAscendingOrderWithDuplicates) {
    ISortedList<unsigned long> levels;
    levels.add(3).add(1).add(3).add(2);
    EXPECT_EQ(walk(levels), "1233");
    EXPECT_EQ(walk(levels, true), "3321");
    EXPECT_EQ(levels.lastElement(), 3u);
    levels.removeLast(); // the highest pending level is read and removed first
    EXPECT_EQ(walk(levels), "123");
    EXPECT_TRUE(levels.remove(2));
    EXPECT_FALSE(levels.remove(7));
    EXPECT_TRUE(levels.contains(1));
    levels.removeFirst().removeFirst();
    EXPECT_TRUE(levels.isEmpty());
    EXPECT_THROW(levels.removeLast(), IInvalidParameter);
}

} // namespace
