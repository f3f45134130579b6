// The drag information of the private format "ZUQ_DRAGINFO": the record of one drag and of each
// dragged item, and their byte encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <istring.hpp>

#include <idefs.hpp>

// The encoding has no header and no padding. A number is its decimal digits (a minus sign for a
// negative value) and one NUL byte; a string is its length as a number and exactly that many
// bytes, so a string may hold NUL bytes. Window handles travel as their 32 significant bits.
//
// write(nullptr) only counts: callers size a buffer with it and then write into the buffer.
// read() is a bounded parser over the bytes it is given: malformed, truncated or hostile data
// makes it answer false, never read past the end or allocate more than the data can describe.

// One dragged item.
class OVKWIN_API IDMDragInfoItem {
public:
    IDMDragInfoItem() = default;
    virtual ~IDMDragInfoItem();
    IDMDragInfoItem(const IDMDragInfoItem&) = default;
    IDMDragInfoItem& operator=(const IDMDragInfoItem&) = default;

    // The bytes written (or, with no buffer, that would be).
    virtual std::size_t write(char* buffer) const;
    // Reads the item at the position, which moves past it; false when the data is malformed
    // (the item and the position are then unspecified).
    virtual IBase::Boolean read(const char* data, std::size_t size, std::size_t& position);

    // Five strings, six numbers, in the order of the encoding.
    IString types;
    IString rmfs;
    IString containerName;
    IString sourceName;
    IString targetName;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::uint32_t itemWindow = 0;
    std::uint32_t itemId = 0;
    std::uint16_t control = 0;
    std::uint16_t supportedOperations = 0;
};

// The drag: a position, the source window and its process, the target's answer, the operation
// and the items.
class OVKWIN_API IDMDragInfo {
public:
    // The default operation, and the operation codes that the drop-answer rule knows.
    static constexpr std::uint16_t defaultOperation = 0x20;
    static constexpr std::uint16_t copyOperation = 1;
    static constexpr std::uint16_t moveOperation = 2;
    static constexpr std::uint16_t linkOperation = 4;
    static constexpr std::uint16_t firstUserOperation = 0xBFFF;
    // An encoding larger than this is not drag information (a drag carries tens of items).
    static constexpr std::size_t maximumSize = 16 * 1024 * 1024;

    // An empty record of the current process, with the default operation.
    explicit IDMDragInfo(std::uint16_t itemCount = 0);
    virtual ~IDMDragInfo();
    IDMDragInfo(const IDMDragInfo&) = default;
    IDMDragInfo& operator=(const IDMDragInfo&) = default;

    virtual std::size_t write(char* buffer) const;
    // Replaces the record by the one encoded at the start of the data (bytes after it are not
    // looked at); false when the data is malformed, and the record is then left empty.
    virtual IBase::Boolean read(const char* data, std::size_t size);

    // The whole encoding.
    std::vector<char> encoded() const;

    std::uint16_t itemCount() const noexcept { return static_cast<std::uint16_t>(fItems.size()); }
    IDMDragInfoItem& item(std::size_t index) { return fItems.at(index); }
    const IDMDragInfoItem& item(std::size_t index) const { return fItems.at(index); }
    // Makes a new array of empty items.
    void setItemCount(std::uint16_t count);

    // The target's answer as one 32-bit value: the drop indicator in the low half, the reply
    // operation in the high half. A reply that does not fit the drag's operation turns into the
    // record's operation (and, for a default or user-defined drag, into "never drop").
    void setDropAnswer(std::uint32_t answer);

    std::int32_t positionX = 0;
    std::int32_t positionY = 0;
    std::uint32_t sourceWindow = 0;
    std::uint32_t sourceProcess = 0;
    std::uint16_t dropIndicator = 0;
    std::uint16_t replyOperation = defaultOperation;
    std::uint16_t operation = defaultOperation;

private:
    std::vector<IDMDragInfoItem> fItems;
};
