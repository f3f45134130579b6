// The process-wide pointer and bitmap tables, shared by the files of the resource library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "../ireslib.hpp"

// Both tables live as long as the process: handle objects held by static objects of the program
// may release their references after the library's own static objects are gone. Every use is
// under IResourceLibrary::resourceLock().
std::vector<IResourceLibrary::PointerEntry>& ovkPointerTable();
std::vector<IResourceLibrary::BitmapEntry>& ovkBitmapTable();

// The look-ups that both tables answer alike. The caller holds the resource lock.

// The entry of a handle, or the table's end.
template <class Entry, class Value>
typename std::vector<Entry>::iterator ovkFindByHandle(std::vector<Entry>& table, Value handle)
{
    for (auto entry = table.begin(); entry != table.end(); ++entry)
        if (entry->handle == handle)
            return entry;
    return table.end();
}

// Counts one more holder of a handle's entry; answers the new count, or 0 for a handle in no
// entry (a plain value that nobody counts).
template <class Entry, class Value>
std::uint32_t ovkAddHolder(std::vector<Entry>& table, Value handle)
{
    auto entry = ovkFindByHandle(table, handle);
    return entry == table.end() ? 0 : ++entry->useCount;
}

// Copies a handle's entry where copy is not null; false for a handle in no entry.
template <class Entry, class Value>
bool ovkCopyEntry(std::vector<Entry>& table, Value handle, Entry* copy)
{
    auto found = ovkFindByHandle(table, handle);
    if (found == table.end())
        return false;
    if (copy)
        *copy = *found;
    return true;
}
