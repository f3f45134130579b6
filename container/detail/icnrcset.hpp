// IColumnSet: the native container's columns in their order, each with its list-control
// sub-item and column number.
#pragma once

#include <cstddef>
#include <vector>

#include <ibase.hpp>

#include <idefs.hpp>

#include <icnrmsg.hpp>

// Exported for the test programs.
class OVKWIN_API IColumnSet {
public:
    struct Entry {
        FIELDINFO* fieldInfo;
        // The list column's sub-item, which the list reports in its requests for cell texts.
        int subItem;
        // The list column's place, or -1 for a descriptor that shows no list column of its own.
        int column;
        // The width a hidden column had when it was hidden, given back when it is shown again;
        // 0 while the column shows.
        int hiddenWidth = 0;
    };

    const std::vector<Entry>& entries() const noexcept { return fEntries; }
    std::size_t size() const noexcept { return fEntries.size(); }
    // The entry of a descriptor, or null.
    const Entry* find(const FIELDINFO* fieldInfo) const noexcept;
    // Fail the state check "found" for a descriptor that is not in the set.
    int subItemIdFromFieldInfo(FIELDINFO* fieldInfo) const;
    int columnIdFromFieldInfo(FIELDINFO* fieldInfo) const;
    // The descriptor of a sub-item, or null.
    FIELDINFO* fieldInfoOfSubItem(int subItem) const noexcept;
    // The first sub-item number that no entry has, from 1 (0 is the list's first column).
    int nextSubItem() const noexcept;
    IBase::Boolean hasIconColumn() const noexcept;
    // The number the list gives the column after the last one.
    int columnAfterLast() const noexcept;

    // Enters a descriptor at an index of the order; a list column at `entry.column` moves the
    // list columns at and behind that place one further.
    void insert(std::size_t index, const Entry& entry);
    // Takes a descriptor out; the list columns behind its own move one back.
    void remove(const FIELDINFO* fieldInfo);
    void clear() noexcept { fEntries.clear(); }
    void setHiddenWidth(const FIELDINFO* fieldInfo, int width) noexcept;
    // The index of a descriptor in the order, or the size.
    std::size_t indexOf(const FIELDINFO* fieldInfo) const noexcept;

private:
    const Entry& entryOf(FIELDINFO* fieldInfo, const char* function) const;

    std::vector<Entry> fEntries;
};
