// The PLVN codec: a printer image segment of 0x5A-introduced records wrapping one bilevel raster
// image, read and written at 1 bpp. The writer stores whole bytes a row, so a width that is not
// a multiple of 8 comes back widened to one, the added columns in the lighter colour.
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <cstdio>
#include <vector>
#include <initializer_list>

namespace imgfmt {

namespace {

enum : int {
    PlvnNoRecordMark = 1600,
    PlvnUnknownRecord = 1601,
    PlvnRasterBeforeDescriptor = 1602,
    PlvnWidthNotBytes = 1603,
    PlvnCellWidthNotBytes = 1604,
    PlvnCellPositionWidth = 1605,
    PlvnCellPositionOffset = 1606,
    PlvnHeaderAmongRaster = 1607
};

constexpr unsigned char kMark = 0x5A;
constexpr int kRecordHeaderBytes = 9;
constexpr int kDescriptorBytes = 36;
constexpr int kCellPositionBytes = 12;
constexpr int kMaxWriteSide = 2400;
// How far the reader steps back to find a record mark after a record that overstated its length.
constexpr int kResyncSteps = 10;

enum class Record {
    Comment,
    SegmentStart,
    ImageStart,
    OutputSettings,
    Descriptor,
    CellPosition,
    Raster,
    ImageEnd,
    SegmentEnd,
    Unknown
};

struct RecordId {
    unsigned char bytes[3];
    Record kind;
};

constexpr RecordId kRecordIds[] = {
    {{0xD3, 0xEE, 0xEE}, Record::Comment},      {{0xD3, 0xA8, 0x5F}, Record::SegmentStart},
    {{0xD3, 0xA8, 0x7B}, Record::ImageStart},   {{0xD3, 0xA7, 0x7B}, Record::OutputSettings},
    {{0xD3, 0xA6, 0x7B}, Record::Descriptor},   {{0xD3, 0xAC, 0x7B}, Record::CellPosition},
    {{0xD3, 0xEE, 0x7B}, Record::Raster},       {{0xD3, 0xA9, 0x7B}, Record::ImageEnd},
    {{0xD3, 0xA9, 0x5F}, Record::SegmentEnd}};

const unsigned char* idBytes(Record kind)
{
    for (const RecordId& id : kRecordIds)
        if (id.kind == kind)
            return id.bytes;
    return nullptr;
}

// The printer character code of each 8-bit character.
constexpr unsigned char kPrinterCode[256] = {
    0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x22, 0x1D, 0x35, 0x1F,
    0x40, 0x5A, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xAD, 0xE0, 0xBD, 0x5F, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x4F, 0xD0, 0xA1, 0x07,
    0x43, 0x20, 0x21, 0x1C, 0x23, 0xEB, 0x24, 0x9B, 0x71, 0x28, 0x38, 0x49, 0x90, 0xBA, 0xEC, 0xDF,
    0x45, 0x29, 0x2A, 0x9D, 0x72, 0x2B, 0x8A, 0x9A, 0x67, 0x56, 0x64, 0x4A, 0x53, 0x68, 0x59, 0x46,
    0xEA, 0xDA, 0x2C, 0xDE, 0x8B, 0x55, 0x41, 0xFE, 0x58, 0x51, 0x52, 0x48, 0x69, 0xDB, 0x8E, 0x8D,
    0x73, 0x74, 0x75, 0xFA, 0x15, 0xB0, 0xB1, 0xB3, 0xB4, 0xB5, 0x6A, 0xB7, 0xB8, 0xB9, 0xCC, 0xBC,
    0xAB, 0x3E, 0x3B, 0x0A, 0xBF, 0x8F, 0x3A, 0x14, 0xA0, 0x17, 0xCB, 0xCA, 0x1A, 0x1B, 0x9C, 0x04,
    0x34, 0xEF, 0x1E, 0x06, 0x08, 0x09, 0x77, 0x70, 0xBE, 0xBB, 0xAC, 0x54, 0x63, 0x65, 0x66, 0x62,
    0x30, 0x42, 0x47, 0x57, 0xEE, 0x33, 0xB6, 0xE1, 0xCD, 0xED, 0x36, 0x44, 0xCE, 0xCF, 0x31, 0xAA,
    0xFC, 0x9E, 0xAE, 0x8C, 0xDD, 0xDC, 0x39, 0xFB, 0x80, 0xAF, 0xFD, 0x78, 0x76, 0xB2, 0x9F, 0xFF};

// What read header leaves for read data.
struct PlvnState {
    int64_t rasterPos;  // the first raster data or cell position record
    int cellWidth;
    int cellHeight;
    bool fixrec;
};

struct RecordHeader {
    int64_t start;  // file position of the mark
    int dataBytes;  // length - 8
    Record kind;
};

Record recordKind(const unsigned char* id)
{
    for (const RecordId& entry : kRecordIds)
        if (std::memcmp(entry.bytes, id, 3) == 0)
            return entry.kind;
    return Record::Unknown;
}

// Reads the record header at position. With fixrec a header that does not start with the mark
// is looked for up to ten bytes further back, for files whose records overstate their lengths,
// but never at or before the previous record's start: going back that far would read the same
// record again and again.
int readRecordHeader(int fd, int64_t position, int64_t previous, bool fixrec, RecordHeader* record)
{
    unsigned char bytes[kRecordHeaderBytes];
    int steps = 0;
    for (;;) {
        if (fileSeek(fd, position, FileSeekSet) != position ||
            fileReadFull(fd, bytes, kRecordHeaderBytes) != kRecordHeaderBytes)
            return ModCodecShortRead;
        if (bytes[0] == kMark)
            break;
        if (!fixrec || steps == kResyncSteps || position - 1 <= previous)
            return PlvnNoRecordMark;
        --position;
        ++steps;
    }
    const unsigned length = getBE16(bytes + 1);
    // The length counts itself, the identifier, flags and sequence number: 8 bytes at least.
    if (length < 8)
        return ModCodecShortRead;
    record->start = position;
    record->dataBytes = static_cast<int>(length) - 8;
    record->kind = recordKind(bytes + 3);
    return 0;
}

int64_t nextRecord(const RecordHeader& record)
{
    return record.start + kRecordHeaderBytes + record.dataBytes;
}

// The first count data bytes of a record; a record too short to hold them is refused.
int readRecordData(int fd, const RecordHeader& record, unsigned char* data, int count)
{
    if (record.dataBytes < count)
        return ModCodecShortRead;
    const int64_t position = record.start + kRecordHeaderBytes;
    if (fileSeek(fd, position, FileSeekSet) != position || fileReadFull(fd, data, count) != count)
        return ModCodecShortRead;
    return 0;
}

int plvnQuery(ModFormatInfo* info)
{
    info->shortName = "PLVN";
    info->description = "Vek Plavon";
    info->extensions = "PLV PLVN PLVN38PP PLVN3820";
    info->flags = 0x11;
    return 0;
}

int readDescriptor(int fd, const RecordHeader& record, MOD* model, PlvnState* state)
{
    unsigned char d[kDescriptorBytes];
    if (const int code = readRecordData(fd, record, d, kDescriptorBytes))
        return code;
    const int width = static_cast<int>(getBE16(d + 18));
    const int height = static_cast<int>(getBE16(d + 20));
    if (width % 8 != 0)
        return PlvnWidthNotBytes;
    if (const int check = ModCheckSize(width, height, 1))
        return check;
    int cellWidth = static_cast<int>(getBE16(d + 28));
    int cellHeight = static_cast<int>(getBE16(d + 30));
    if (cellWidth == 0 && cellHeight == 0) {
        cellWidth = width;
        cellHeight = height;
    }
    // A cell row must be whole bytes, at least one, and lie within the image row.
    if (cellWidth % 8 != 0 || cellWidth == 0 || cellWidth > width)
        return PlvnCellWidthNotBytes;
    model->width = width;
    model->height = height;
    state->cellWidth = cellWidth;
    state->cellHeight = cellHeight;
    return 0;
}

int plvnReadHeader(const char*, int fd, MOD* model, const char* options)
{
    PlvnState state{};
    state.fixrec = hasOption(options, "fixrec") != nullptr;
    bool haveDescriptor = false;
    int64_t position = 0;
    int64_t previous = -1;
    for (;;) {
        RecordHeader record{};
        if (const int code = readRecordHeader(fd, position, previous, state.fixrec, &record))
            return code;
        switch (record.kind) {
        case Record::Comment:
        case Record::SegmentStart:
        case Record::ImageStart:
        case Record::OutputSettings:
            break;
        case Record::Descriptor:
            if (const int code = readDescriptor(fd, record, model, &state))
                return code;
            haveDescriptor = true;
            break;
        case Record::Raster:
        case Record::CellPosition:
            if (!haveDescriptor)
                return PlvnRasterBeforeDescriptor;
            state.rasterPos = record.start;
            storeCodecState(model, state);
            model->bpp = 1;
            return 0;
        default:
            return PlvnUnknownRecord;
        }
        previous = record.start;
        position = nextRecord(record);
    }
}

int plvnReadPalette(int, MOD*, unsigned char* palette)
{
    std::memset(palette, 255, 3);
    std::memset(palette + 3, 0, 3);
    return 0;
}

// The cell that raster rows are placed into, moved by cell position records.
struct Cell {
    int x = 0;  // in pixels, a multiple of 8
    int row = 0;
    int width = 0;
};

int readCellPosition(int fd, const RecordHeader& record, const MOD* model, unsigned char* data,
                     Cell* cell)
{
    unsigned char p[kCellPositionBytes];
    if (const int code = readRecordData(fd, record, p, kCellPositionBytes))
        return code;
    const int x = static_cast<int>(getBE16(p));
    const int y = static_cast<int>(getBE16(p + 2));
    const int width = static_cast<int>(getBE16(p + 4));
    const unsigned fillWidth = getBE16(p + 8);
    const unsigned fillHeight = getBE16(p + 10);
    if (x % 8 != 0 || x >= model->width)
        return PlvnCellPositionOffset;
    if (width % 8 != 0 || width == 0 || x + width > model->width)
        return PlvnCellPositionWidth;
    cell->x = x;
    cell->row = y;
    cell->width = width;
    if (fillWidth == 0xFFFF || fillHeight == 0xFFFF || fillWidth < 8 || fillHeight == 0)
        return 0;
    // The rectangle to clear must lie within the picture, as rows of whole bytes.
    if (x + int(fillWidth) > model->width || y + int(fillHeight) > model->height)
        return PlvnCellPositionOffset;
    const int rowBytes = ModRowBytes(model->width, 1);
    for (unsigned r = 0; r < fillHeight; ++r)
        std::memset(data + int64_t(model->height - 1 - y - int(r)) * rowBytes + x / 8, 0,
                    fillWidth / 8);
    return 0;
}

int readRaster(int fd, const RecordHeader& record, const MOD* model, unsigned char* data,
               Cell* cell, unsigned char* buffer)
{
    const int cellBytes = cell->width / 8;
    const int rowBytes = ModRowBytes(model->width, 1);
    int64_t position = record.start + kRecordHeaderBytes;
    if (fileSeek(fd, position, FileSeekSet) != position)
        return ModCodecShortRead;
    for (int left = record.dataBytes; left >= cellBytes; left -= cellBytes) {
        if (fileReadFull(fd, buffer, cellBytes) != cellBytes)
            return ModCodecShortRead;
        if (cell->row < model->height)
            std::memcpy(data + int64_t(model->height - 1 - cell->row) * rowBytes + cell->x / 8,
                        buffer, static_cast<size_t>(cellBytes));
        // Rows beyond the picture are dropped; the count stops where it cannot matter.
        if (cell->row <= model->height)
            ++cell->row;
    }
    return 0;
}

// One record of the raster part: 0 to go on, a code, or -1 at the image's end.
int readDataRecord(int fd, const RecordHeader& record, const MOD* model, unsigned char* data,
                   Cell* cell, unsigned char* buffer)
{
    switch (record.kind) {
    case Record::Comment:
        return 0;
    case Record::SegmentStart:
    case Record::ImageStart:
    case Record::OutputSettings:
    case Record::Descriptor:
        return PlvnHeaderAmongRaster;
    case Record::CellPosition:
        return readCellPosition(fd, record, model, data, cell);
    case Record::Raster:
        return readRaster(fd, record, model, data, cell, buffer);
    case Record::ImageEnd:
        return -1;
    default:
        return PlvnUnknownRecord;
    }
}

int plvnReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    const PlvnState state = loadCodecState<PlvnState>(model);
    // The block comes cleared, so rows that no raster record reaches are white. It is not
    // cleared again here: a small file may describe a large picture, whose untouched pages then
    // cost nothing.
    Cell cell;
    cell.width = state.cellWidth;
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(model->width / 8)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    int64_t position = state.rasterPos;
    int64_t previous = -1;
    int code = 0;
    while (code == 0) {
        RecordHeader record{};
        code = readRecordHeader(fd, position, previous, state.fixrec, &record);
        if (code == 0)
            code = readDataRecord(fd, record, model, data, &cell, buffer);
        previous = record.start;
        position = nextRecord(record);
    }
    return code < 0 ? 0 : code;
}

// Builds and writes one record whose data is already in buffer + 9.
bool writeRecord(int fd, Record kind, unsigned char* buffer, int dataBytes)
{
    buffer[0] = kMark;
    putBE16(buffer + 1, static_cast<unsigned>(dataBytes + 8));
    std::memcpy(buffer + 3, idBytes(kind), 3);
    buffer[6] = 0;
    putBE16(buffer + 7, 0);
    const int total = kRecordHeaderBytes + dataBytes;
    return fileWriteFull(fd, buffer, total) == total;
}

void toPrinterCode(const char* text, int length, unsigned char* out)
{
    for (int i = 0; i < length; ++i)
        out[i] = kPrinterCode[static_cast<unsigned char>(text[i])];
}

int writeHeadRecords(int fd, const MOD* model, const unsigned char* name, bool twice,
                     unsigned char* buffer)
{
    unsigned char* data = buffer + kRecordHeaderBytes;
    static const char comment[] = "Written by ZAV";
    toPrinterCode(comment, 14, data);
    if (!writeRecord(fd, Record::Comment, buffer, 14))
        return ModCodecShortWrite;
    for (Record kind : {Record::SegmentStart, Record::ImageStart}) {
        std::memcpy(data, name, 8);
        if (!writeRecord(fd, kind, buffer, 8))
            return ModCodecShortWrite;
    }
    const unsigned resolution = twice ? 2000 : 1000;
    std::memset(data, 0, 24);
    data[8] = 0x2D;
    putBE16(data + 18, resolution);
    putBE16(data + 20, resolution);
    putBE16(data + 22, 0xFFFF);
    if (!writeRecord(fd, Record::OutputSettings, buffer, 24))
        return ModCodecShortWrite;
    std::memset(data, 0, kDescriptorBytes);
    for (int offset : {2, 4, 14, 16})
        putBE16(data + offset, kMaxWriteSide);
    putBE16(data + 18, static_cast<unsigned>((model->width + 7) & ~7));
    putBE16(data + 20, static_cast<unsigned>(model->height));
    data[26] = 0x2D;
    data[33] = 0x01;
    data[34] = 0xFF;
    data[35] = 0xFF;
    if (!writeRecord(fd, Record::Descriptor, buffer, kDescriptorBytes))
        return ModCodecShortWrite;
    return 0;
}

int writeRasterRecords(int fd, const MOD* model, const unsigned char* palette,
                       const unsigned char* pixels, unsigned char* buffer)
{
    const int bytes = (model->width + 7) / 8;
    const int rowBytes = ModRowBytes(model->width, 1);
    // A set bit prints black: the model's bits are inverted when its entry 1 is the lighter one.
    const unsigned invert = luminance(palette + 3) <= luminance(palette) ? 0x00 : 0xFF;
    const unsigned lastMask = model->width % 8 ? (0xFF00u >> (model->width % 8)) & 0xFF : 0xFF;
    unsigned char* data = buffer + kRecordHeaderBytes;
    for (int y = model->height - 1; y >= 0; --y) {
        const unsigned char* row = pixels + int64_t(y) * rowBytes;
        for (int i = 0; i < bytes; ++i)
            data[i] = static_cast<unsigned char>(row[i] ^ invert);
        data[bytes - 1] = static_cast<unsigned char>(data[bytes - 1] & lastMask);
        if (!writeRecord(fd, Record::Raster, buffer, bytes))
            return ModCodecShortWrite;
    }
    return 0;
}

int plvnWrite(const char* path, int fd, const MOD* model, const unsigned char* palette,
              const unsigned char* data, const char* options)
{
    if (model->bpp != 1)
        return ModCodecUnsupported;
    if (model->width < 1 || model->height < 1 || model->width > kMaxWriteSide ||
        model->height > kMaxWriteSide)
        return ModCodecBadSize;
    // The segment's name: the file's own name, its first 8 characters padded with blanks. The
    // buffer is the caller's own, so that writes on several threads do not share it.
    const char* base = path ? path : "";
    for (const char* p = base; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    char text[9];
    std::snprintf(text, sizeof text, "%-8.8s", base);
    unsigned char name[8];
    toPrinterCode(text, 8, name);
    const int bufferBytes = kRecordHeaderBytes + (ModRowBytes(model->width, 1) > 100
                                                      ? ModRowBytes(model->width, 1)
                                                      : 100);
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(bufferBytes)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    int code = writeHeadRecords(fd, model, name, hasOption(options, "double") != nullptr, buffer);
    if (code == 0)
        code = writeRasterRecords(fd, model, palette, data, buffer);
    for (Record kind : {Record::ImageEnd, Record::SegmentEnd}) {
        if (code)
            break;
        std::memcpy(buffer + kRecordHeaderBytes, name, 8);
        if (!writeRecord(fd, kind, buffer, 8))
            code = ModCodecShortWrite;
    }
    return code;
}

int plvnMessage(int code)
{
    if (code >= PlvnNoRecordMark && code <= PlvnHeaderAmongRaster)
        return static_cast<int>(OVK_MSG_PLVN_RECORD_START) + (code - PlvnNoRecordMark);
    return 0;
}

}  // namespace

const FormatRow plvnRow = {plvnQuery,    plvnReadHeader, plvnReadPalette,
                           plvnReadData, plvnWrite,      plvnMessage};

}  // namespace imgfmt
