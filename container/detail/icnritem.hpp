// The table of native entries of an object: one per native container that holds it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <idefs.hpp>

struct MINIRECORDCORE;
class ICnrCtl;

// Exported for the test programs. The native emulation keeps per container what the message-driven class keeps in the record:
// the object's tree item and its in-use, drop-on-able and read-only state. An entry exists
// exactly while the container holds the object.
struct OVKWIN_API ICnrItemTable {
    enum : std::uint32_t { inUse = 0x08, dropOnAble = 0x20, readOnly = 0x40 };

    struct Entry {
        const ICnrCtl* container;
        // The tree item (0 without a tree control) and a word the emulation keeps spare.
        std::uintptr_t treeItem;
        std::uint32_t spare;
        std::uint32_t state;
    };

    ICnrItemTable() = default;
    ICnrItemTable(const ICnrItemTable&) = delete;
    ICnrItemTable& operator=(const ICnrItemTable&) = delete;

    // The container is never null.
    Entry& create(const ICnrCtl* container, std::uintptr_t treeItem, std::uint32_t spare);
    // The first entry of the container, or null.
    Entry* find(const ICnrCtl* container) noexcept;
    const Entry* find(const ICnrCtl* container) const noexcept;
    void remove(const ICnrCtl* container) noexcept;
    bool hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept;
    // New state = set | (old & ~mask). When the in-use bit is in the mask and was or becomes
    // set, and a record is given, the container's owner hears of it as an emphasis change.
    void setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                  MINIRECORDCORE* record);

private:
    // Nearly every object sits in one container: its entry lives in the table itself, and the
    // entries of further containers behind one pointer that stays null until they come, so
    // that the table of such an object is one small block (a null container marks the inline
    // entry free). Entries keep the order they were made in: the inline one is always the
    // oldest.
    Entry fFirst{};
    std::unique_ptr<std::vector<Entry>> fMore;
};
