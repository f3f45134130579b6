// The drag information and its byte encoding.
#include "idmdinfo.hpp"
#include "detail/idmanswr.hpp"

#include <cstring>
#include <limits>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::uint32_t currentProcess()
{
#if defined(_WIN32)
    return GetCurrentProcessId();
#else
    return static_cast<std::uint32_t>(getpid());
#endif
}

// The smallest item: five empty strings and six one-digit numbers, two bytes each. The item
// count of a record is bounded by what the rest of the data could hold.
constexpr std::size_t kSmallestItem = 11 * 2;
// The longest number: a minus sign and ten digits.
constexpr std::size_t kLongestNumber = 11;

// Appends to a buffer, or only counts when there is none.
class Writer {
public:
    explicit Writer(char* buffer) : fBuffer(buffer) {}

    void number(long long value) {
        char digits[24];
        std::size_t length = 0;
        const bool negative = value < 0;
        unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                                : static_cast<unsigned long long>(value);
        do {
            digits[length++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (negative)
            digits[length++] = '-';
        while (length)
            put(digits[--length]);
        put('\0');
    }
    void string(const IString& text) {
        number(static_cast<long long>(text.length()));
        if (fBuffer)
            std::memcpy(fBuffer + fSize, static_cast<const char*>(text), text.length());
        fSize += text.length();
    }
    std::size_t size() const { return fSize; }

private:
    void put(char c) {
        if (fBuffer)
            fBuffer[fSize] = c;
        ++fSize;
    }

    char* fBuffer;
    std::size_t fSize = 0;
};

// Reads numbers and strings from (data, size), refusing anything that does not fit.
class Reader {
public:
    Reader(const char* data, std::size_t size, std::size_t& position)
        : fData(data), fSize(size), fPosition(position) {}

    // A decimal number, NUL-terminated inside the data, between the bounds.
    bool number(long long lowest, long long highest, long long& value) {
        const std::size_t start = fPosition;
        std::size_t at = start;
        const bool negative = at < fSize && fData[at] == '-';
        if (negative)
            ++at;
        const std::size_t firstDigit = at;
        long long magnitude = 0;
        while (at < fSize && fData[at] >= '0' && fData[at] <= '9') {
            if (at - start >= kLongestNumber)
                return false;
            magnitude = magnitude * 10 + (fData[at] - '0');
            ++at;
        }
        if (at == firstDigit || at >= fSize || fData[at] != '\0')
            return false;
        value = negative ? -magnitude : magnitude;
        if (value < lowest || value > highest)
            return false;
        fPosition = at + 1;
        return true;
    }
    // A number into a field of its width. Unsigned 32-bit fields (handles, ids) come as their
    // unsigned value; a writer that wrote them signed is understood as well, as the same bits.
    template <class Field>
    bool field(Field& field) {
        using Limits = std::numeric_limits<Field>;
        const long long lowest = sizeof(Field) == 4 ? std::numeric_limits<std::int32_t>::min()
                                                    : static_cast<long long>(Limits::min());
        long long value = 0;
        if (!number(lowest, static_cast<long long>(Limits::max()), value))
            return false;
        field = static_cast<Field>(value);
        return true;
    }
    bool string(IString& field) {
        long long length = 0;
        if (!number(0, std::numeric_limits<std::uint32_t>::max(), length))
            return false;
        if (static_cast<unsigned long long>(length) > remaining())
            return false;
        field = IString(fData + fPosition, static_cast<std::size_t>(length));
        fPosition += static_cast<std::size_t>(length);
        return true;
    }
    std::size_t remaining() const { return fSize - fPosition; }

private:
    const char* fData;
    std::size_t fSize;
    std::size_t& fPosition;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// IDMDragInfoItem

IDMDragInfoItem::~IDMDragInfoItem() = default;

std::size_t IDMDragInfoItem::write(char* buffer) const
{
    Writer out(buffer);
    out.string(types);
    out.string(rmfs);
    out.string(containerName);
    out.string(sourceName);
    out.string(targetName);
    out.number(offsetX);
    out.number(offsetY);
    out.number(itemWindow);
    out.number(itemId);
    out.number(control);
    out.number(supportedOperations);
    return out.size();
}

IBase::Boolean IDMDragInfoItem::read(const char* data, std::size_t size, std::size_t& position)
{
    if (position > size)
        return false;
    Reader in(data, size, position);
    return in.string(types) && in.string(rmfs) && in.string(containerName) &&
           in.string(sourceName) && in.string(targetName) && in.field(offsetX) &&
           in.field(offsetY) && in.field(itemWindow) && in.field(itemId) &&
           in.field(control) && in.field(supportedOperations);
}

// ---------------------------------------------------------------------------------------------
// IDMDragInfo

IDMDragInfo::IDMDragInfo(std::uint16_t itemCount)
    : sourceProcess(currentProcess()), fItems(itemCount)
{
}

IDMDragInfo::~IDMDragInfo() = default;

std::size_t IDMDragInfo::write(char* buffer) const
{
    Writer out(buffer);
    out.number(positionX);
    out.number(positionY);
    out.number(sourceWindow);
    out.number(sourceProcess);
    out.number(dropIndicator);
    out.number(replyOperation);
    out.number(operation);
    out.number(itemCount());
    std::size_t size = out.size();
    for (const IDMDragInfoItem& entry : fItems)
        size += entry.write(buffer ? buffer + size : nullptr);
    return size;
}

IBase::Boolean IDMDragInfo::read(const char* data, std::size_t size)
{
    fItems.clear();
    if (!data || size > maximumSize)
        return false;
    std::size_t position = 0;
    Reader in(data, size, position);
    std::uint16_t count = 0;
    const bool header = in.field(positionX) && in.field(positionY) &&
                        in.field(sourceWindow) && in.field(sourceProcess) &&
                        in.field(dropIndicator) && in.field(replyOperation) &&
                        in.field(operation) && in.field(count);
    if (!header || count > in.remaining() / kSmallestItem)
        return false;
    fItems.resize(count);
    for (IDMDragInfoItem& entry : fItems) {
        if (!entry.read(data, size, position)) {
            fItems.clear();
            return false;
        }
    }
    return true;
}

std::vector<char> IDMDragInfo::encoded() const
{
    std::vector<char> bytes(write(nullptr));
    write(bytes.data());
    return bytes;
}

void IDMDragInfo::setItemCount(std::uint16_t count)
{
    fItems.assign(count, IDMDragInfoItem());
}

void IDMDragInfo::setDropAnswer(std::uint32_t answer)
{
    dropIndicator = static_cast<std::uint16_t>(answer & 0xFFFF);
    replyOperation = static_cast<std::uint16_t>(answer >> 16);
    const bool openOperation = operation == defaultOperation || operation >= firstUserOperation;
    if (openOperation && dropIndicator == ovk_dragdrop::dropHere) {
        const bool known = replyOperation == copyOperation || replyOperation == moveOperation ||
                           replyOperation == linkOperation ||
                           replyOperation >= firstUserOperation;
        if (known)
            return;
        dropIndicator = ovk_dragdrop::neverDropHere;
    }
    replyOperation = operation;
}
