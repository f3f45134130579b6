// The arithmetic of shell item-ID lists over their bytes: measuring, walking, copying and joining.
#pragma once

#include <cstddef>

#include <idefs.hpp>

// An item-ID list is a chain of records, each starting with its unsigned 16-bit byte count (the
// two count bytes included), ended by a record whose count is 0. The size of a list counts every
// record and the two bytes of the end; a missing list (null) has size 2. A count of 1 cannot
// hold its own two bytes: it is taken as the end, and copies end in a proper zero record.
class OVKWIN_API IIDListBytes {
public:
    static constexpr std::size_t terminatorSize = 2;

    // The count of the record at the pointer (unaligned reads are fine).
    static unsigned short recordSize(const void* record) noexcept;
    // True for a record that is not the end.
    static bool isRecord(const void* record) noexcept;
    // The record after this one.
    static const void* next(const void* record) noexcept;
    // The last record with a non-zero count; null for a missing or empty list.
    static const void* lastRecord(const void* list) noexcept;

    // Walks a list that the shell made, which always ends.
    static std::size_t size(const void* list) noexcept;
    // Walks a list given by another program within the bytes available: the size, or 0 when
    // the list does not end inside them.
    static std::size_t sizeWithin(const void* list, std::size_t available) noexcept;

    // Writes the records of first and then those of second, then the end, into target, which
    // holds size(first) - 2 + size(second) bytes; answers that size. Either list may be null.
    static std::size_t join(void* target, const void* first, const void* second) noexcept;
};
