// TIFF image file directory: reading in either byte order, lookup, building and writing.
#include "detail/itiffdir.hpp"

#include "detail/icodecstream.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace imgfmt {
namespace tiffdir {

using namespace codecio;

namespace {

constexpr int kColorMap = 320;

void freeEntries(TiffDirectory& dir)
{
    for (int i = 0; i < dir.count; ++i) {
        std::free(dir.entries[i].values);
        dir.entries[i].values = nullptr;
    }
    dir.count = 0;
}

class TiffReader {
public:
    TiffReader(int fd, uint64_t size) : fFd(fd), fSize(size) {}

    void setBigEndian(bool big) { fBig = big; }
    uint16_t u16(const unsigned char* p) const { return fBig ? getBE16(p) : getLE16(p); }
    uint32_t u32(const unsigned char* p) const { return fBig ? getBE32(p) : getLE32(p); }

    // Reads n bytes at offset, refusing what lies beyond the end of the file before any
    // allocation or read is made for it. The header, the directory and the values its entries
    // point to usually lie close together: small reads go through a window of the file that one
    // positional read fills, rather than a seek and a read each.
    bool readAt(uint64_t offset, void* dst, uint64_t n) const
    {
        if (offset > fSize || n > fSize - offset)
            return false;
        if (n > sizeof fWindow)
            return readFull(offset, dst, n);
        if (offset < fWindowStart || offset + n > fWindowStart + fWindowFill) {
            const uint64_t left = fSize - offset;
            const size_t want = left < sizeof fWindow ? static_cast<size_t>(left) : sizeof fWindow;
            fWindowFill = 0;
            if (!readFull(offset, fWindow, want))
                return false;
            fWindowStart = offset;
            fWindowFill = want;
        }
        std::memcpy(dst, fWindow + (offset - fWindowStart), static_cast<size_t>(n));
        return true;
    }

    // Fills the window from offset on, so that values lying within its length of each other,
    // in whatever order they are asked for, cost one read.
    void prefetch(uint64_t offset) const
    {
        unsigned char first;
        readAt(offset, &first, 1);
    }

    uint64_t size() const { return fSize; }

private:
    bool readFull(uint64_t offset, void* dst, uint64_t n) const
    {
        return fileReadFullAt(fFd, static_cast<int64_t>(offset), dst, static_cast<int64_t>(n)) ==
               static_cast<int64_t>(n);
    }

    int fFd;
    bool fBig = false;
    uint64_t fSize;
    mutable unsigned char fWindow[4096];
    mutable uint64_t fWindowStart = 0;
    mutable size_t fWindowFill = 0;
};

// Converts n raw bytes of one entry into host-order values.
void* decodeValues(const TiffReader& r, int type, uint32_t count, const unsigned char* raw,
                   size_t n)
{
    void* values = std::malloc(n == 0 ? 1 : n);
    if (values == nullptr)
        return nullptr;
    switch (type) {
    case kTiffShort:
    case kTiffSShort: {
        auto* v = static_cast<uint16_t*>(values);
        for (uint32_t i = 0; i < count; ++i)
            v[i] = r.u16(raw + 2 * i);
        break;
    }
    case kTiffLong:
    case kTiffSLong:
    case kTiffRational:
    case kTiffSRational: {
        auto* v = static_cast<uint32_t*>(values);
        for (size_t i = 0; i < n / 4; ++i)
            v[i] = r.u32(raw + 4 * i);
        break;
    }
    default:
        std::memcpy(values, raw, n);
        break;
    }
    return values;
}

// FLOAT and DOUBLE values and those of private tags are not kept.
bool holdsValues(const TiffEntry& entry)
{
    return !(entry.tag & 0x8000) && entry.type != kTiffFloat && entry.type != kTiffDouble;
}

uint64_t valueBytes(const TiffEntry& e)
{
    return static_cast<uint64_t>(e.count) * static_cast<uint64_t>(typeSize(e.type));
}

// Reads the values of an entry whose tag, type, count and value field are set.
int readValues(const TiffReader& r, TiffEntry& entry)
{
    entry.values = nullptr;
    if (!holdsValues(entry))
        return kTiffDirOk;
    // 64-bit arithmetic: a count near 2^32 times a type size must not wrap into a small size.
    const uint64_t n = valueBytes(entry);
    if (n > r.size())
        return kTiffDirTruncated;
    const unsigned char* raw = entry.field;
    std::vector<unsigned char> outOfLine;
    if (n > 4) {
        if (!sizeScratch(outOfLine, static_cast<size_t>(n)))
            return kTiffDirNoMemory;
        if (!r.readAt(r.u32(entry.field), outOfLine.data(), n))
            return kTiffDirTruncated;
        raw = outOfLine.data();
    }
    entry.values = decodeValues(r, entry.type, entry.count, raw, static_cast<size_t>(n));
    return entry.values != nullptr ? kTiffDirOk : kTiffDirNoMemory;
}

int readEntry(const TiffReader& r, const unsigned char* e, TiffEntry& entry)
{
    entry.tag = r.u16(e);
    entry.type = r.u16(e + 2);
    entry.count = r.u32(e + 4);
    std::memcpy(entry.field, e + 8, 4);
    entry.values = nullptr;
    if (entry.tag & 0x8000)
        return kTiffDirOk;
    uint64_t count = entry.count;
    // Some writers count ColorMap entries as colours rather than values.
    if (entry.tag == kColorMap && count % 3 != 0)
        count *= 3;
    if (count > 0xFFFFFFFFu)
        return kTiffDirTruncated;
    entry.count = static_cast<uint32_t>(count);
    return readValues(r, entry);
}

int readDirectory(const TiffReader& r, uint64_t offset, TiffDirectory& dir)
{
    unsigned char countBytes[2];
    if (!r.readAt(offset, countBytes, 2))
        return kTiffDirTruncated;
    int count = r.u16(countBytes);
    if (count > kTiffMaxEntries)
        return kTiffDirTooManyEntries;
    unsigned char raw[12 * kTiffMaxEntries];
    if (!r.readAt(offset + 2, raw, 12u * static_cast<unsigned>(count)))
        return kTiffDirTruncated;
    for (int i = 0; i < count; ++i) {
        int rc = readEntry(r, raw + 12 * i, dir.entries[i]);
        if (rc != kTiffDirOk) {
            freeEntries(dir);
            return rc;
        }
        dir.count = i + 1;
    }
    return kTiffDirOk;
}

TiffEntry* findMutable(TiffDirectory& dir, int tag)
{
    for (int i = 0; i < dir.count; ++i) {
        if (dir.entries[i].tag == tag)
            return &dir.entries[i];
    }
    return nullptr;
}

bool insert(TiffDirectory& dir, int tag, int type, uint32_t count, const void* src, size_t n)
{
    if (dir.count >= kTiffMaxEntries)
        return false;
    void* values = std::malloc(n == 0 ? 1 : n);
    if (values == nullptr)
        return false;
    std::memcpy(values, src, n);
    // The new entry goes before any entry of an equal tag, so the directory stays ascending.
    int at = dir.count;
    while (at > 0 && dir.entries[at - 1].tag >= tag) {
        dir.entries[at] = dir.entries[at - 1];
        --at;
    }
    dir.entries[at].tag = static_cast<uint16_t>(tag);
    dir.entries[at].type = static_cast<uint16_t>(type);
    dir.entries[at].count = count;
    dir.entries[at].values = values;
    ++dir.count;
    return true;
}

bool setValues(TiffDirectory& dir, int tag, int type, const void* src)
{
    TiffEntry* e = findMutable(dir, tag);
    if (e == nullptr || e->type != type || e->values == nullptr)
        return false;
    std::memcpy(e->values, src, static_cast<size_t>(e->count) * typeSize(type));
    return true;
}

void putValues(unsigned char* p, const TiffEntry& e)
{
    const size_t n = static_cast<size_t>(valueBytes(e));
    if (e.values == nullptr) {
        std::memset(p, 0, n);
        return;
    }
    switch (e.type) {
    case kTiffShort:
    case kTiffSShort:
        for (uint32_t i = 0; i < e.count; ++i)
            putLE16(p + 2 * i, static_cast<const uint16_t*>(e.values)[i]);
        break;
    case kTiffLong:
    case kTiffSLong:
    case kTiffRational:
    case kTiffSRational:
        for (size_t i = 0; i < n / 4; ++i)
            putLE32(p + 4 * i, static_cast<const uint32_t*>(e.values)[i]);
        break;
    default:
        std::memcpy(p, e.values, n);
        break;
    }
}

// Lays the directory out in memory: entries from offset 8, out-of-line values behind them,
// each block of values made even. Empty when it would pass 4 GiB or there is no memory.
std::vector<unsigned char> layout(const TiffDirectory& dir)
{
    const uint64_t dirEnd = 8 + 2 + 12u * static_cast<unsigned>(dir.count) + 4;
    uint64_t total = dirEnd;
    for (int i = 0; i < dir.count; ++i) {
        uint64_t n = valueBytes(dir.entries[i]);
        if (n > 4)
            total += n + (n & 1);
    }
    std::vector<unsigned char> block;
    if (total > 0xFFFFFFFFu || !sizeScratch(block, static_cast<size_t>(total)))
        return block;
    unsigned char* const buf = block.data();
    putLE16(buf, 0x4949);
    putLE16(buf + 2, 42);
    putLE32(buf + 4, 8);
    putLE16(buf + 8, static_cast<uint32_t>(dir.count));
    uint64_t valueAt = dirEnd;
    for (int i = 0; i < dir.count; ++i) {
        const TiffEntry& e = dir.entries[i];
        unsigned char* p = buf + 10 + 12 * i;
        putLE16(p, e.tag);
        putLE16(p + 2, e.type);
        putLE32(p + 4, e.count);
        uint64_t n = valueBytes(e);
        if (n > 4) {
            putLE32(p + 8, static_cast<uint32_t>(valueAt));
            putValues(buf + valueAt, e);
            valueAt += n + (n & 1);
        } else {
            putValues(p + 8, e);
        }
    }
    return block;
}

}  // namespace

int typeSize(int type)
{
    switch (type) {
    case kTiffShort:
    case kTiffSShort:
        return 2;
    case kTiffLong:
    case kTiffSLong:
    case kTiffFloat:
        return 4;
    case kTiffRational:
    case kTiffSRational:
    case kTiffDouble:
        return 8;
    default:
        return 1;
    }
}

int open(int fd, long index, TiffHeader** out)
{
    *out = nullptr;
    const int64_t length = fileSize(fd);
    if (length < 0)
        return kTiffDirTruncated;
    const uint64_t size = static_cast<uint64_t>(length);
    TiffReader r(fd, size);
    unsigned char head[8];
    if (!r.readAt(0, head, 8))
        return kTiffDirTruncated;
    const bool big = getLE16(head) == 0x4D4D;
    r.setBigEndian(big);
    if (r.u16(head + 2) != 42)
        return kTiffDirBadVersion;
    uint64_t offset = r.u32(head + 4);
    // Every directory takes at least six bytes, so a file cannot hold more than size / 6 of
    // them; this also ends a chain that loops back on itself.
    if (index < 0 || static_cast<uint64_t>(index) > size / 6)
        return kTiffDirNoSuchIndex;
    for (long i = 0; i < index; ++i) {
        if (offset == 0)
            return kTiffDirNoSuchIndex;
        unsigned char countBytes[2], next[4];
        if (!r.readAt(offset, countBytes, 2))
            return kTiffDirTruncated;
        if (!r.readAt(offset + 2 + 12u * r.u16(countBytes), next, 4))
            return kTiffDirTruncated;
        offset = r.u32(next);
    }
    if (offset == 0)
        return kTiffDirNoSuchIndex;
    auto* header = new (std::nothrow) TiffHeader;
    if (header == nullptr)
        return kTiffDirNoMemory;
    header->byteOrder = big ? 0x4D4D : 0x4949;
    header->fileSize = size;
    int rc = readDirectory(r, offset, header->directory);
    if (rc != kTiffDirOk) {
        delete header;
        return rc;
    }
    *out = header;
    return kTiffDirOk;
}

void keep(const TiffHeader& header, const int* tags, int n, TiffKeptEntries& out)
{
    out = TiffKeptEntries{};
    out.fileSize = header.fileSize;
    out.byteOrder = header.byteOrder;
    out.valuesKept = true;
    uint64_t used = 0;
    for (int i = 0; i < n && out.count < kTiffKeptEntries; ++i) {
        const TiffEntry* e = findEntry(header.directory, tags[i]);
        if (e == nullptr)
            continue;
        TiffKeptEntries::Entry& k = out.entries[out.count++];
        k.tag = e->tag;
        k.type = e->type;
        k.count = e->count;
        std::memcpy(k.field, e->field, 4);
        if (e->values == nullptr)
            continue;
        const uint64_t bytes = valueBytes(*e);
        out.valuesKept = out.valuesKept && bytes <= kTiffKeptBytes - used;
        if (out.valuesKept) {
            std::memcpy(out.values + used, e->values, static_cast<size_t>(bytes));
            used += bytes;
        }
    }
}

int reopen(int fd, const TiffKeptEntries& kept, TiffHeader** out)
{
    *out = nullptr;
    auto* header = new (std::nothrow) TiffHeader;
    if (header == nullptr)
        return kTiffDirNoMemory;
    header->byteOrder = kept.byteOrder;
    header->fileSize = kept.fileSize;
    TiffReader r(fd, kept.fileSize);
    r.setBigEndian(kept.byteOrder == 0x4D4D);
    TiffDirectory& dir = header->directory;
    // The values not kept are read from the lowest offset on, through one window where they lie
    // close together.
    uint64_t lowest = UINT64_MAX;
    for (int i = 0; i < kept.count; ++i) {
        TiffEntry& e = dir.entries[i];
        e.tag = kept.entries[i].tag;
        e.type = kept.entries[i].type;
        e.count = kept.entries[i].count;
        std::memcpy(e.field, kept.entries[i].field, 4);
        if (valueBytes(e) > 4)
            lowest = std::min<uint64_t>(lowest, r.u32(e.field));
    }
    if (!kept.valuesKept)
        r.prefetch(lowest);
    size_t used = 0;
    int rc = kTiffDirOk;
    for (int i = 0; i < kept.count && rc == kTiffDirOk; ++i) {
        TiffEntry& e = dir.entries[i];
        if (!kept.valuesKept) {
            rc = readValues(r, e);
        } else if (holdsValues(e)) {
            const size_t bytes = static_cast<size_t>(valueBytes(e));
            e.values = std::malloc(bytes == 0 ? 1 : bytes);
            if (e.values == nullptr)
                rc = kTiffDirNoMemory;
            else
                std::memcpy(e.values, kept.values + used, bytes);
            used += bytes;
        }
        dir.count = i + 1;
    }
    if (rc != kTiffDirOk) {
        release(header);
        return rc;
    }
    *out = header;
    return kTiffDirOk;
}

TiffHeader* create()
{
    return new (std::nothrow) TiffHeader;
}

void release(TiffHeader* header)
{
    if (header == nullptr)
        return;
    freeEntries(header->directory);
    delete header;
}

const TiffEntry* findEntry(const TiffDirectory& dir, int tag)
{
    for (int i = 0; i < dir.count; ++i) {
        if (dir.entries[i].tag == tag)
            return &dir.entries[i];
    }
    return nullptr;
}

int64_t value(const TiffEntry& e, uint32_t i)
{
    if (e.values == nullptr || i >= e.count)
        return 0;
    switch (e.type) {
    case kTiffByte:
        return static_cast<const uint8_t*>(e.values)[i];
    case kTiffSByte:
        return static_cast<const int8_t*>(e.values)[i];
    case kTiffShort:
        return static_cast<const uint16_t*>(e.values)[i];
    case kTiffSShort:
        return static_cast<const int16_t*>(e.values)[i];
    case kTiffLong:
        return static_cast<const uint32_t*>(e.values)[i];
    case kTiffSLong:
        return static_cast<const int32_t*>(e.values)[i];
    default:
        return 0;
    }
}

int64_t valueOr(const TiffDirectory& dir, int tag, int64_t fallback)
{
    const TiffEntry* e = findEntry(dir, tag);
    return e != nullptr ? firstValue(*e) : fallback;
}

bool addByte(TiffDirectory& dir, int tag, const uint8_t* values, uint32_t count)
{
    return insert(dir, tag, kTiffByte, count, values, count);
}

bool addAscii(TiffDirectory& dir, int tag, const char* text)
{
    const size_t n = std::strlen(text) + 1;
    return insert(dir, tag, kTiffAscii, static_cast<uint32_t>(n), text, n);
}

bool addShort(TiffDirectory& dir, int tag, const uint16_t* values, uint32_t count)
{
    return insert(dir, tag, kTiffShort, count, values, count * sizeof(uint16_t));
}

bool addLong(TiffDirectory& dir, int tag, const uint32_t* values, uint32_t count)
{
    return insert(dir, tag, kTiffLong, count, values, count * sizeof(uint32_t));
}

bool addRational(TiffDirectory& dir, int tag, const uint32_t* values, uint32_t count)
{
    return insert(dir, tag, kTiffRational, count, values, count * 2 * sizeof(uint32_t));
}

bool setByte(TiffDirectory& dir, int tag, const uint8_t* values)
{
    return setValues(dir, tag, kTiffByte, values);
}

bool setAscii(TiffDirectory& dir, int tag, const char* text)
{
    TiffEntry* e = findMutable(dir, tag);
    if (e == nullptr || e->type != kTiffAscii || std::strlen(text) + 1 != e->count)
        return false;
    std::memcpy(e->values, text, e->count);
    return true;
}

bool setShort(TiffDirectory& dir, int tag, const uint16_t* values)
{
    return setValues(dir, tag, kTiffShort, values);
}

bool setLong(TiffDirectory& dir, int tag, const uint32_t* values)
{
    return setValues(dir, tag, kTiffLong, values);
}

bool setRational(TiffDirectory& dir, int tag, const uint32_t* values)
{
    return setValues(dir, tag, kTiffRational, values);
}

bool write(int fd, const TiffHeader& header)
{
    const std::vector<unsigned char> block = layout(header.directory);
    return !block.empty() && seekTo(fd, 0) &&
           writeExact(fd, block.data(), static_cast<int64_t>(block.size()));
}

bool rewrite(int fd, const TiffDirectory& dir)
{
    const std::vector<unsigned char> block = layout(dir);
    return !block.empty() && seekTo(fd, 8) &&
           writeExact(fd, block.data() + 8, static_cast<int64_t>(block.size() - 8));
}

}  // namespace tiffdir
}  // namespace imgfmt
