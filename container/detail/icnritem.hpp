// The native entries of a container object: one per native container that holds it.
#pragma once

#include <cstdint>

#include <idefs.hpp>
#include <istring.hpp>

#include "icnrlock.hpp"

struct MINIRECORDCORE;
class ICnrCtl;
class ICnrObj;

// Exported for the test programs. The native emulation keeps per container what the message-driven class keeps in the record:
// the object's tree item and its in-use, drop-on-able and read-only state. An entry exists
// exactly while the container holds the object.
//
// A view over the object's own words, made by ICnrObj::nativeItems(). Nearly every object sits
// in one container: that one entry lives in the object itself (the container in its pointer
// word, the state and, on 64-bit, the tree item in spare bits of the word beside it), so that
// such an object costs no heap block. A second entry, or on 32-bit a tree item, moves the
// entries into a linked list on the heap; once they are back to one entry that fits in the
// object, or to none, they move back. Every operation holds ICnrAllObjectsLock while it reads or
// changes the entries.
class OVKWIN_API ICnrItemTable {
public:
    enum : std::uint32_t { inUse = 0x08, dropOnAble = 0x20, readOnly = 0x40 };

    // An entry of the list on the heap.
    struct Entry {
        const ICnrCtl* container;
        // The tree item, 0 without a tree control.
        std::uintptr_t treeItem;
        std::uint32_t state;
    };

    explicit ICnrItemTable(ICnrObj& object) noexcept : fObject(object) {}

    // Whether the emulation ever gave the object an entry, in any container.
    bool isMade() const noexcept;
    bool contains(const ICnrCtl* container) const noexcept;
    // The container's tree item; 0 without one or without an entry.
    std::uintptr_t treeItem(const ICnrCtl* container) const noexcept;
    // The container's state bits; 0 without an entry.
    std::uint32_t state(const ICnrCtl* container) const noexcept;
    bool hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept;

    // A new entry with no state bits, for a container (never null) that has none yet.
    void create(const ICnrCtl* container, std::uintptr_t treeItem);
    // Nothing for a container without an entry.
    void setTreeItem(const ICnrCtl* container, std::uintptr_t treeItem);
    // New state = set | (old & ~mask), of the three bits above. When the in-use bit is in the
    // mask and was or becomes set, and a record is given, the container's owner hears of it as
    // an emphasis change. Nothing for a container without an entry.
    void setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                  MINIRECORDCORE* record);
    void remove(const ICnrCtl* container) noexcept;
    // Frees the heap list: the object is going.
    void release() noexcept;

    // The object's text as it is now: a native control of any thread reads it through this,
    // never through the record's own pointer, which another thread's rename frees.
    static IString textOf(const ICnrObj& object) noexcept;

    // A native tree keeps a copy of each item's text and image. A change of an object's text or
    // icon that repainted none, or not every, container holding it (the object's or a
    // container's refresh off, a container hidden, an edit in another container) is counted
    // here; a tree made before the count last moved brings its shown items up to date before it
    // paints them.
    static void noteUnshownChange() noexcept;
    static std::uint64_t unshownChanges() noexcept;

    // The same under a hold the caller keeps over many objects: a container that takes a chain
    // of records takes the lock once for the whole chain, not once per object and question.
    bool contains(const ICnrAllObjectsLock&, const ICnrCtl* container) const noexcept;
    std::uintptr_t treeItem(const ICnrAllObjectsLock&, const ICnrCtl* container) const noexcept;
    // A new entry with the given state bits.
    void create(const ICnrAllObjectsLock&, const ICnrCtl* container, std::uintptr_t treeItem,
                std::uint32_t state);
    void setTreeItem(const ICnrAllObjectsLock&, const ICnrCtl* container, std::uintptr_t treeItem);
    void remove(const ICnrAllObjectsLock&, const ICnrCtl* container) noexcept;
    static IString textOf(const ICnrAllObjectsLock&, const ICnrObj& object) noexcept;

private:
    bool holdsOnly(const ICnrAllObjectsLock&, const ICnrCtl* container) const noexcept;
    Entry* listed(const ICnrAllObjectsLock&, const ICnrCtl* container) const noexcept;
    void toList(const ICnrAllObjectsLock&);
    void leaveList(const ICnrAllObjectsLock&, Entry rest) noexcept;
    // The tree item of the entry held in the object; whether one fits there.
    std::uintptr_t onlyTreeItem(const ICnrAllObjectsLock&) const noexcept;
    void setOnlyTreeItem(const ICnrAllObjectsLock&, std::uintptr_t treeItem) noexcept;
    static bool fitsInObject(std::uintptr_t treeItem) noexcept;

    ICnrObj& fObject;
};

// A link of the list on the heap: one block per entry, so that an entry stays where it is while
// others come and go.
struct ICnrItemNode {
    ICnrItemTable::Entry entry;
    ICnrItemNode* next;
};
