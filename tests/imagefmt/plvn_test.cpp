// PLVN: segments built record by record, round trips through our writer, the writer's records,
// re-synchronising on overstated record lengths, cells, and the refusals.
#include "codectest.hpp"

#include "detail/icodec.hpp"

#include <gtest/gtest.h>

namespace {

using codectest::appendBE16;
using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;
using imgtest::pixel;

enum Id : uint32_t {
    Comment = 0xD3EEEE,
    SegmentStart = 0xD3A85F,
    ImageStart = 0xD3A87B,
    Settings = 0xD3A77B,
    Descriptor = 0xD3A67B,
    CellPosition = 0xD3AC7B,
    Raster = 0xD3EE7B,
    ImageEnd = 0xD3A97B,
    SegmentEnd = 0xD3A95F
};

// One record; overstate makes its length field claim more bytes than it carries.
Bytes record(uint32_t id, const Bytes& data, int overstate = 0)
{
    Bytes b{0x5A};
    appendBE16(b, unsigned(data.size() + 8 + size_t(overstate)));
    b.push_back(static_cast<unsigned char>(id >> 16));
    b.push_back(static_cast<unsigned char>(id >> 8));
    b.push_back(static_cast<unsigned char>(id));
    b.push_back(0);
    appendBE16(b, 0);
    return b + data;
}

Bytes descriptor(unsigned width, unsigned height, unsigned cellWidth = 0, unsigned cellHeight = 0)
{
    Bytes d(36, 0);
    d[18] = static_cast<unsigned char>(width >> 8);
    d[19] = static_cast<unsigned char>(width);
    d[20] = static_cast<unsigned char>(height >> 8);
    d[21] = static_cast<unsigned char>(height);
    d[28] = static_cast<unsigned char>(cellWidth >> 8);
    d[29] = static_cast<unsigned char>(cellWidth);
    d[30] = static_cast<unsigned char>(cellHeight >> 8);
    d[31] = static_cast<unsigned char>(cellHeight);
    return record(Descriptor, d);
}

Bytes cellPosition(unsigned x, unsigned y, unsigned width, unsigned height,
                   unsigned fillWidth = 0xFFFF, unsigned fillHeight = 0xFFFF)
{
    Bytes d;
    for (unsigned v : {x, y, width, height, fillWidth, fillHeight})
        appendBE16(d, v);
    return record(CellPosition, d);
}

Bytes name8() { return Bytes(8, 0x40); }

Bytes head() { return record(SegmentStart, name8()) + record(ImageStart, name8()); }
Bytes tail() { return record(ImageEnd, name8()) + record(SegmentEnd, name8()); }

int readPlvn(const Bytes& file, Model* m, const char* options = "")
{
    return imgtest::readFromBytes(file, ModFormatPLVN, options, m);
}

TEST(Plvn, ModelsRoundTrip)
{
    for (int width : {8, 24, 100}) {
        Model m;
        ASSERT_EQ(imgtest::makePatternModel(width, 5, 1, &m), 0);
        std::memset(m.palette, 255, 3);
        std::memset(m.palette + 3, 0, 3);
        int code = -1;
        const Bytes file = imgtest::writeToBytes(&m, ModFormatPLVN, "", &code);
        ASSERT_EQ(code, 0);
        Model back;
        ASSERT_EQ(readPlvn(file, &back), 0) << width;
        // Widths are stored in whole bytes; the columns added are white.
        ASSERT_EQ(back.width, (width + 7) & ~7);
        ASSERT_EQ(back.height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < back.width; ++x)
                ASSERT_EQ(pixel(back, x, y), x < width ? pixel(m, x, y) : 0u) << x << "," << y;
    }
}

// With entry 1 the lighter colour, the printed (set) bits are the model's 0 bits.
TEST(Plvn, WriterPrintsTheDarkerEntry)
{
    Model m;
    ASSERT_EQ(ModCreate(8, 1, 1, nullptr, &m), 0);
    std::memset(m.palette + 3, 255, 3);  // entry 0 black, entry 1 white
    m.data[0] = 0x0F;
    int code = -1;
    const Bytes file = imgtest::writeToBytes(&m, ModFormatPLVN, "", &code);
    ASSERT_EQ(code, 0);
    Model back;
    ASSERT_EQ(readPlvn(file, &back), 0);
    EXPECT_EQ(back.data[0], 0xF0);
}

TEST(Plvn, WriterEmitsTheSegmentRecordsInOrder)
{
    Model m;
    ASSERT_EQ(ModCreate(100, 3, 1, nullptr, &m), 0);
    std::memset(m.palette, 255, 3);
    std::memset(m.data, 0xFF, size_t(m.dataSize));
    const std::string path = imgtest::tempPath("seg.plv");
    ASSERT_EQ(ModWriteToFile(&m, ModFormatPLVN, path.c_str(), "double"), 0);
    const Bytes file = imgtest::readFile(path);
    std::vector<uint32_t> ids;
    std::vector<Bytes> data;
    for (size_t at = 0; at + 9 <= file.size();) {
        ASSERT_EQ(file[at], 0x5A);
        const size_t length = size_t(file[at + 1] << 8 | file[at + 2]);
        ids.push_back(uint32_t(file[at + 3] << 16 | file[at + 4] << 8 | file[at + 5]));
        data.emplace_back(file.begin() + long(at + 9), file.begin() + long(at + 1 + length));
        at += 1 + length;
    }
    const std::vector<uint32_t> expected = {Comment, SegmentStart, ImageStart, Settings, Descriptor,
                                            Raster,  Raster,       Raster,     ImageEnd, SegmentEnd};
    ASSERT_EQ(ids, expected);
    // "Written by ZAV" and "seg.plv " in the printer character code.
    EXPECT_EQ(data[0], (Bytes{0xE6, 0x99, 0x89, 0xA3, 0xA3, 0x85, 0x95, 0x40, 0x82, 0xA8, 0x40,
                              0xE9, 0xC1, 0xE5}));
    EXPECT_EQ(data[1], (Bytes{0xA2, 0x85, 0x87, 0x4B, 0x97, 0x93, 0xA5, 0x40}));
    EXPECT_EQ(data[3][8], 0x2D);
    EXPECT_EQ(data[3][18] << 8 | data[3][19], 2000);
    EXPECT_EQ(data[3][20] << 8 | data[3][21], 2000);
    EXPECT_EQ(data[4][18] << 8 | data[4][19], 104);
    EXPECT_EQ(data[4][20] << 8 | data[4][21], 3);
    EXPECT_EQ(data[4][2] << 8 | data[4][3], 2400);
    ASSERT_EQ(data[5].size(), 13u);
    EXPECT_EQ(data[5][12], 0xF0);  // bits past the width are clear
}

TEST(Plvn, FixrecResynchronisesOnOverstatedLengths)
{
    // Rows of 12 bytes: the few bytes a raster record overstates are less than a row, and skipped.
    const Bytes top(12, 0x81);
    const Bytes bottom(12, 0x42);
    for (int over : {1, 5, 10}) {
        const Bytes file = head() + descriptor(96, 2) + record(Comment, Bytes(3, 0x40), over) +
                           record(Raster, top, over) + record(Raster, bottom, over) + tail();
        Model m;
        ASSERT_EQ(readPlvn(file, &m, "fixrec"), 0) << over;
        EXPECT_EQ(Bytes(m.data + 12, m.data + 24), top) << over;
        EXPECT_EQ(Bytes(m.data, m.data + 12), bottom) << over;
        Model strict;
        EXPECT_EQ(readPlvn(file, &strict), ModCodecError + 1600) << over;
    }
    // Eleven bytes too far is beyond the search.
    const Bytes far = head() + descriptor(96, 1) + record(Comment, Bytes(3, 0x40), 11) +
                      record(Raster, Bytes(12, 0)) + tail();
    Model m;
    EXPECT_EQ(readPlvn(far, &m, "fixrec"), ModCodecError + 1600);
}

// A record whose length is a little short would make the search step back onto the same
// record; the reader refuses instead of reading it for ever.
TEST(Plvn, FixrecNeverStepsBackOntoTheSameRecord)
{
    Bytes raster = record(Raster, Bytes{0x5A, 0x5A, 0x5A});
    raster[2] = 8;  // the length claims no data
    const Bytes file = head() + descriptor(8, 1) + raster + tail();
    Model m;
    EXPECT_EQ(readPlvn(file, &m, "fixrec"), ModCodecError + 1601);
}

TEST(Plvn, CellsPlaceRowsAndFillsClear)
{
    const Bytes file = head() + descriptor(32, 3, 16, 2) + record(Raster, Bytes{1, 2, 3, 4}) +
                       cellPosition(16, 1, 8, 1) + record(Raster, Bytes{5, 6}) +
                       cellPosition(8, 0, 8, 1, 16, 1) + tail();
    Model m;
    ASSERT_EQ(readPlvn(file, &m), 0);
    const int rowBytes = ModRowBytes(32, 1);
    const unsigned char* top = m.data + 2 * rowBytes;
    const unsigned char* middle = m.data + rowBytes;
    EXPECT_EQ(top[0], 1);
    EXPECT_EQ(top[1], 0);  // cleared by the last cell's fill
    EXPECT_EQ(top[2], 0);
    EXPECT_EQ(middle[0], 3);
    EXPECT_EQ(middle[1], 4);
    EXPECT_EQ(middle[2], 5);
    EXPECT_EQ(m.data[2], 6);  // bottom row
}

TEST(Plvn, RowsBeyondThePictureAreDropped)
{
    const Bytes file =
        head() + descriptor(8, 1) + record(Raster, Bytes{7, 8, 9}) + record(Raster, Bytes{9}) + tail();
    Model m;
    ASSERT_EQ(readPlvn(file, &m), 0);
    EXPECT_EQ(m.data[0], 7);
}

TEST(Plvn, MalformedSegmentsAreRefused)
{
    Bytes shortRecord = record(Comment, Bytes{});
    shortRecord[2] = 7;  // a length that does not even cover itself
    const struct {
        const char* name;
        Bytes file;
        int code;
    } cases[] = {
        {"no record mark", Bytes{0x5B} + head(), 1600},
        {"unknown record", record(0xD3FFFF, Bytes{}), 1601},
        {"image end before raster", head() + descriptor(8, 1) + tail(), 1601},
        {"raster before the descriptor", head() + record(Raster, Bytes{0}), 1602},
        {"cell position before the descriptor", head() + cellPosition(0, 0, 8, 1), 1602},
        {"width not whole bytes", head() + descriptor(100, 1), 1603},
        {"width 0", head() + descriptor(0, 1) + record(Raster, Bytes{}), ModCodecBadSize},
        {"cell width not whole bytes", head() + descriptor(16, 1, 12, 1), 1604},
        {"cell width 0", head() + descriptor(16, 1, 0, 4), 1604},
        {"cell wider than the image", head() + descriptor(16, 1, 24, 1), 1604},
        {"cell position width not whole bytes",
         head() + descriptor(16, 1) + cellPosition(0, 0, 12, 1), 1605},
        {"cell position width 0", head() + descriptor(16, 1) + cellPosition(0, 0, 0, 1), 1605},
        {"cell past the right edge", head() + descriptor(16, 1) + cellPosition(8, 0, 16, 1), 1605},
        {"x offset not whole bytes", head() + descriptor(16, 1) + cellPosition(4, 0, 8, 1), 1606},
        {"x offset past the image", head() + descriptor(16, 1) + cellPosition(16, 0, 8, 1), 1606},
        {"fill past the bottom",
         head() + descriptor(16, 2) + cellPosition(0, 1, 8, 1, 16, 2) + tail(), 1606},
        {"fill past the right edge",
         head() + descriptor(16, 2) + cellPosition(8, 0, 8, 1, 16, 1) + tail(), 1606},
        {"descriptor among the raster",
         head() + descriptor(8, 1) + record(Raster, Bytes{0}) + descriptor(8, 1), 1607},
        {"file ends in the raster", head() + descriptor(8, 2) + record(Raster, Bytes{0}),
         ModCodecShortRead},
        {"file ends before the raster", head() + descriptor(8, 2), ModCodecShortRead},
        {"record length below 8", head() + shortRecord, ModCodecShortRead},
        {"descriptor too short", head() + record(Descriptor, Bytes(20, 0)), ModCodecShortRead},
        {"cell position too short",
         head() + descriptor(8, 1) + record(CellPosition, Bytes(6, 0)) + tail(), ModCodecShortRead},
    };
    for (const auto& c : cases) {
        Model m;
        EXPECT_EQ(readPlvn(c.file, &m), ModCodecError + c.code) << c.name;
    }
}

TEST(Plvn, WriterRefusesPicturesLargerThanTheFormat)
{
    Model m;
    ASSERT_EQ(ModCreate(2401, 1, 1, nullptr, &m), 0);
    int code = -1;
    imgtest::writeToBytes(&m, ModFormatPLVN, "", &code);
    EXPECT_EQ(code, ModCodecError + ModCodecBadSize);
}

}  // namespace
