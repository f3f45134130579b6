// The arithmetic of shell item-ID lists over their bytes.
#include "iidlbyte.hpp"

#include <cstring>

namespace {

const unsigned char* bytes(const void* pointer)
{
    return static_cast<const unsigned char*>(pointer);
}

// The bytes of the records of a list, without its end.
std::size_t recordBytes(const void* list)
{
    return IIDListBytes::size(list) - IIDListBytes::terminatorSize;
}

} // namespace

unsigned short IIDListBytes::recordSize(const void* record) noexcept
{
    unsigned short count = 0;
    std::memcpy(&count, record, sizeof count);
    return count;
}

bool IIDListBytes::isRecord(const void* record) noexcept
{
    return recordSize(record) >= terminatorSize;
}

const void* IIDListBytes::next(const void* record) noexcept
{
    return bytes(record) + recordSize(record);
}

const void* IIDListBytes::lastRecord(const void* list) noexcept
{
    const void* last = nullptr;
    for (const void* record = list; record && isRecord(record); record = next(record))
        last = record;
    return last;
}

std::size_t IIDListBytes::size(const void* list) noexcept
{
    std::size_t total = terminatorSize;
    for (const void* record = list; record && isRecord(record); record = next(record))
        total += recordSize(record);
    return total;
}

std::size_t IIDListBytes::sizeWithin(const void* list, std::size_t available) noexcept
{
    if (!list)
        return 0;
    std::size_t at = 0;
    while (available - at >= terminatorSize) {
        const unsigned short count = recordSize(bytes(list) + at);
        if (count < terminatorSize)
            return at + terminatorSize;
        if (count > available - at)
            return 0;
        at += count;
    }
    return 0;
}

std::size_t IIDListBytes::join(void* target, const void* first, const void* second) noexcept
{
    unsigned char* out = static_cast<unsigned char*>(target);
    const std::size_t firstBytes = first ? recordBytes(first) : 0;
    const std::size_t secondBytes = second ? recordBytes(second) : 0;
    if (firstBytes)
        std::memcpy(out, first, firstBytes);
    if (secondBytes)
        std::memcpy(out + firstBytes, second, secondBytes);
    std::memset(out + firstBytes + secondBytes, 0, terminatorSize);
    return firstBytes + secondBytes + terminatorSize;
}
