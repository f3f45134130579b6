// One TIFF image file directory held in memory: read from a file in either byte order, looked
// up by tag, built for writing in ascending tag order, and written little-endian.
#pragma once

#include <idefs.hpp>

#include <cstdint>

namespace imgfmt {
namespace tiffdir {

enum TiffType : uint16_t {
    kTiffByte = 1,
    kTiffAscii = 2,
    kTiffShort = 3,
    kTiffLong = 4,
    kTiffRational = 5,
    kTiffSByte = 6,
    kTiffUndefined = 7,
    kTiffSShort = 8,
    kTiffSLong = 9,
    kTiffSRational = 10,
    kTiffFloat = 11,
    kTiffDouble = 12,
};

// Values are kept in host order, one element per value (two 32-bit words for a rational).
// FLOAT and DOUBLE values and those of private tags (bit 15 set) are not kept: values is null.
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    void* values = nullptr;
    // The entry's value field as the file holds it, in the file's byte order: the values when
    // they fit in four bytes, else their offset. Unused in a directory built for writing.
    unsigned char field[4] = {};
};

constexpr int kTiffMaxEntries = 200;

struct TiffDirectory {
    int count = 0;
    TiffEntry entries[kTiffMaxEntries];
};

struct TiffHeader {
    uint16_t byteOrder = 0x4949;
    uint16_t version = 42;
    TiffDirectory directory;
    // The size of the file the directory was read from.
    uint64_t fileSize = 0;
};

// What a reader keeps of a few entries of a directory it has read, to have their values again
// later (the strip offsets and byte counts, when the image data is read) without reading the
// file's header and directory a second time. Plain and small enough for a codec's state; values
// that fit are kept themselves, and the rest is read again from where the entries point.
constexpr int kTiffKeptEntries = 2;
constexpr int kTiffKeptBytes = 960;

struct TiffKeptEntries {
    uint64_t fileSize;
    uint16_t byteOrder;
    uint16_t count;
    // Whether values holds the entries' values one after another, in host order.
    bool valuesKept;
    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        unsigned char field[4];
    } entries[kTiffKeptEntries];
    unsigned char values[kTiffKeptBytes];
};

// Codes of open.
enum TiffDirCode : int {
    kTiffDirOk = 0,
    kTiffDirNoMemory = 1,
    kTiffDirBadVersion = 2,
    kTiffDirTooManyEntries = 3,
    kTiffDirTruncated = 4,  // the directory or a value lies beyond the end of the file
    kTiffDirNoSuchIndex = 5,
};

// Size in bytes of one value of a field type.
OVKWIN_API int typeSize(int type);

// Reads directory number index (counting from 0) of the file; on success *out owns it.
OVKWIN_API int open(int fd, long index, TiffHeader** out);
// Keeps the first entry of each of the n tags (at most kTiffKeptEntries) that the directory has.
OVKWIN_API void keep(const TiffHeader& header, const int* tags, int n, TiffKeptEntries& out);
// A directory of just the kept entries with their values (read again where they were not
// kept); on success *out owns it. The codes are those of open.
OVKWIN_API int reopen(int fd, const TiffKeptEntries& kept, TiffHeader** out);
OVKWIN_API TiffHeader* create();
OVKWIN_API void release(TiffHeader* header);

OVKWIN_API const TiffEntry* findEntry(const TiffDirectory& dir, int tag);
OVKWIN_API int64_t value(const TiffEntry& entry, uint32_t i);
inline int64_t firstValue(const TiffEntry& entry)
{
    return value(entry, 0);
}
OVKWIN_API int64_t valueOr(const TiffDirectory& dir, int tag, int64_t fallback);

OVKWIN_API bool addByte(TiffDirectory& dir, int tag, const uint8_t* values, uint32_t count);
OVKWIN_API bool addAscii(TiffDirectory& dir, int tag, const char* text);
OVKWIN_API bool addShort(TiffDirectory& dir, int tag, const uint16_t* values, uint32_t count);
OVKWIN_API bool addLong(TiffDirectory& dir, int tag, const uint32_t* values, uint32_t count);
OVKWIN_API bool addRational(TiffDirectory& dir, int tag, const uint32_t* values, uint32_t count);

// Overwrite the values of an existing entry, keeping its count; false when the tag is absent
// or has another type.
OVKWIN_API bool setByte(TiffDirectory& dir, int tag, const uint8_t* values);
OVKWIN_API bool setAscii(TiffDirectory& dir, int tag, const char* text);
OVKWIN_API bool setShort(TiffDirectory& dir, int tag, const uint16_t* values);
OVKWIN_API bool setLong(TiffDirectory& dir, int tag, const uint32_t* values);
OVKWIN_API bool setRational(TiffDirectory& dir, int tag, const uint32_t* values);

// Writes the header and the directory at offset 8 with the out-of-line values behind it; the
// file position is left at their end, where image data may follow.
OVKWIN_API bool write(int fd, const TiffHeader& header);
// Writes the directory again at offset 8, in the same layout.
OVKWIN_API bool rewrite(int fd, const TiffDirectory& dir);

}  // namespace tiffdir
}  // namespace imgfmt
