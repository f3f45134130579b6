// TIFF: the directory (reading, ordering, writing), round trips through our writer and reader,
// files written by ImageMagick and netpbm in both byte orders and every layout we read, and
// malformed directories and strips built inline.
#include "codectest.hpp"

#include "detail/icodec.hpp"
#include "detail/icodecstream.hpp"
#include "detail/ifileio.hpp"
#include "detail/ilzwencoder.hpp"
#include "detail/itiffdir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using codectest::Bytes;
using codectest::operator+;
using imgtest::Model;
namespace td = imgfmt::tiffdir;

// One entry of a directory built by hand: values are numbers, encoded by the field type.
struct Field {
    uint16_t tag;
    uint16_t type;
    std::vector<uint32_t> values;
    uint32_t count = 0;  // when not 0, the count written in place of the number of values
};

void put16(Bytes& b, uint32_t v, bool big)
{
    big ? codectest::appendBE16(b, v) : codectest::appendLE16(b, v);
}

void put32(Bytes& b, uint32_t v, bool big)
{
    put16(b, big ? v >> 16 : v & 0xFFFF, big);
    put16(b, big ? v & 0xFFFF : v >> 16, big);
}

// Header, the strip data from offset 8, the directory behind it and then the long values.
Bytes tiffFile(const std::vector<Field>& fields, const Bytes& strips, bool big = false,
               int version = 42)
{
    Bytes b = big ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    put16(b, static_cast<uint32_t>(version), big);
    const uint32_t dirAt = static_cast<uint32_t>(8 + strips.size() + (strips.size() & 1));
    put32(b, dirAt, big);
    b = b + strips;
    if (strips.size() & 1)
        b.push_back(0);
    uint32_t valueAt = dirAt + 2 + 12 * static_cast<uint32_t>(fields.size()) + 4;
    Bytes dir, values;
    put16(dir, static_cast<uint32_t>(fields.size()), big);
    for (const Field& f : fields) {
        Bytes v;
        for (uint32_t x : f.values) {
            if (f.type == 3)
                put16(v, x, big);
            else if (f.type == 4)
                put32(v, x, big);
            else
                v.push_back(static_cast<unsigned char>(x));
        }
        put16(dir, f.tag, big);
        put16(dir, f.type, big);
        put32(dir, f.count ? f.count : static_cast<uint32_t>(f.values.size()), big);
        if (v.size() > 4) {
            put32(dir, valueAt + static_cast<uint32_t>(values.size()), big);
            values = values + v;
        } else {
            v.resize(4, 0);
            dir = dir + v;
        }
    }
    put32(dir, 0, big);
    return b + dir + values;
}

Field shortField(uint16_t tag, std::vector<uint32_t> v)
{
    return Field{tag, 3, std::move(v)};
}
Field longField(uint16_t tag, std::vector<uint32_t> v)
{
    return Field{tag, 4, std::move(v)};
}

// A 2x2 8-bit grey image, uncompressed, with the fields given in place of (or beside) the basic
// ones; a field of a tag that is already there replaces it.
Bytes greyFile(std::vector<Field> extra = {}, const Bytes& strips = Bytes{0, 85, 170, 255})
{
    std::vector<Field> f = {longField(256, {2}),  longField(257, {2}),  shortField(258, {8}),
                            shortField(259, {1}), shortField(262, {1}), longField(273, {8}),
                            shortField(277, {1}), longField(278, {2}),  longField(279, {4})};
    for (Field& e : extra) {
        bool replaced = false;
        for (Field& g : f)
            if (g.tag == e.tag) {
                g = e;
                replaced = true;
            }
        if (!replaced)
            f.push_back(e);
    }
    std::sort(f.begin(), f.end(), [](const Field& a, const Field& b) { return a.tag < b.tag; });
    return tiffFile(f, strips);
}

// ---- The directory ----

// Opens directory index of the bytes as a file.
class DirectoryFile {
public:
    explicit DirectoryFile(const Bytes& bytes, long index = 0)
    {
        const std::string path = imgtest::tempPath("dir.tif");
        imgtest::writeFile(path, bytes);
        fFd = imgfmt::fileOpenRead(path.c_str());
        fCode = td::open(fFd, index, &fHeader);
    }
    ~DirectoryFile()
    {
        td::release(fHeader);
        imgfmt::fileClose(fFd);
    }
    int code() const { return fCode; }
    const td::TiffDirectory& dir() const { return fHeader->directory; }

private:
    int fFd = -1;
    int fCode = -1;
    td::TiffHeader* fHeader = nullptr;
};

Bytes written(const td::TiffHeader& header)
{
    const std::string path = imgtest::tempPath("dirw.tif");
    const int fd = imgfmt::fileOpenWrite(path.c_str());
    const bool ok = td::write(fd, header);
    imgfmt::fileClose(fd);
    return ok ? imgtest::readFile(path) : Bytes{};
}

TEST(TiffDirectory, SameTagAddedTwiceKeepsBothNewerFirst)
{
    td::TiffHeader* h = td::create();
    ASSERT_NE(h, nullptr);
    const uint16_t a = 1, b = 2;
    const uint32_t w = 9;
    ASSERT_TRUE(td::addShort(h->directory, 300, &a, 1));
    ASSERT_TRUE(td::addLong(h->directory, 256, &w, 1));
    ASSERT_TRUE(td::addShort(h->directory, 300, &b, 1));
    ASSERT_EQ(h->directory.count, 3);
    EXPECT_EQ(h->directory.entries[0].tag, 256);
    EXPECT_EQ(td::firstValue(*td::findEntry(h->directory, 300)), 2);
    EXPECT_EQ(td::firstValue(h->directory.entries[2]), 1);
    td::release(h);
}

TEST(TiffDirectory, WritesInlineAndOutOfLineValuesWithTheirPadding)
{
    td::TiffHeader* h = td::create();
    ASSERT_NE(h, nullptr);
    const uint16_t one = 7;
    ASSERT_TRUE(td::addShort(h->directory, 259, &one, 1));
    ASSERT_TRUE(td::addAscii(h->directory, 305, "abcdefgh"));  // 9 bytes with its zero
    ASSERT_TRUE(td::addAscii(h->directory, 315, "xyz"));       // 4 bytes: inline
    const Bytes f = written(*h);
    td::release(h);
    ASSERT_EQ(f.size(), 8u + 2 + 3 * 12 + 4 + 10);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 8), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
    // The SHORT stands in its entry followed by two zero bytes.
    EXPECT_EQ(Bytes(f.begin() + 18, f.begin() + 22), (Bytes{7, 0, 0, 0}));
    // The long text goes behind the directory, made even with one zero byte.
    EXPECT_EQ(imgfmt::getLE32(&f[30]), 8u + 2 + 36 + 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[50])), "abcdefgh");
    EXPECT_EQ(f.back(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[42])), "xyz");

    DirectoryFile back(f);
    ASSERT_EQ(back.code(), 0);
    EXPECT_EQ(td::valueOr(back.dir(), 259, 0), 7);
    EXPECT_STREQ(static_cast<const char*>(td::findEntry(back.dir(), 305)->values), "abcdefgh");
}

TEST(TiffDirectory, HoldsTwoHundredEntriesAndRefusesMore)
{
    std::vector<Field> f;
    for (uint16_t t = 0; t < 200; ++t)
        f.push_back(shortField(static_cast<uint16_t>(1000 + t), {t}));
    DirectoryFile full(tiffFile(f, Bytes{}));
    ASSERT_EQ(full.code(), 0);
    EXPECT_EQ(full.dir().count, 200);
    EXPECT_EQ(td::valueOr(full.dir(), 1199, -1), 199);
    f.push_back(shortField(1200, {1}));
    DirectoryFile over(tiffFile(f, Bytes{}));
    EXPECT_EQ(over.code(), td::kTiffDirTooManyEntries);
}

TEST(TiffDirectory, FloatEntryDoesNotDisturbTheEntriesAfterIt)
{
    Field flt{282, 11, {0x00, 0x00, 0x80, 0x3F}};  // one FLOAT, 1.0f as four bytes
    flt.count = 1;
    DirectoryFile d(tiffFile({shortField(256, {5}), flt, shortField(300, {6})}, Bytes{}));
    ASSERT_EQ(d.code(), 0);
    EXPECT_EQ(td::valueOr(d.dir(), 300, 0), 6);
    EXPECT_EQ(td::valueOr(d.dir(), 282, -1), 0);
}

TEST(TiffDirectory, SignedAndUnsignedValuesKeepTheirSign)
{
    DirectoryFile d(
        tiffFile({Field{300, 6, {0xFF}}, Field{301, 8, {}}, Field{302, 9, {}}}, Bytes{}));
    ASSERT_EQ(d.code(), 0);
    EXPECT_EQ(td::valueOr(d.dir(), 300, 0), -1);
}

TEST(TiffDirectory, ColourMapCountedInColoursIsTakenAsValues)
{
    std::vector<uint32_t> map(6);
    for (uint32_t i = 0; i < 6; ++i)
        map[i] = 1000 * (i + 1);
    Field f = shortField(320, map);
    f.count = 2;  // two colours, six values
    DirectoryFile d(tiffFile({f}, Bytes{}));
    ASSERT_EQ(d.code(), 0);
    const td::TiffEntry* e = td::findEntry(d.dir(), 320);
    ASSERT_EQ(e->count, 6u);
    EXPECT_EQ(td::value(*e, 5), 6000);
}

TEST(TiffDirectory, CountTimesTypeSizeThatWouldWrapIsRefused)
{
    // 0x40000001 LONG values are 2^32 + 4 bytes: wrapped to 32 bits they would look like 4.
    Field f = longField(273, {8});
    f.count = 0x40000001;
    DirectoryFile d(tiffFile({f}, Bytes{}));
    EXPECT_EQ(d.code(), td::kTiffDirTruncated);
}

TEST(TiffDirectory, ChainIsFollowedToTheAskedIndexAndNoFurther)
{
    Bytes f = tiffFile({shortField(256, {1})}, Bytes{});
    DirectoryFile second(f, 1);
    EXPECT_EQ(second.code(), td::kTiffDirNoSuchIndex);
    // A chain whose next offset points back at its own directory ends at the size bound.
    imgfmt::putLE32(&f[f.size() - 4], 8);
    DirectoryFile loop(f, 1000000);
    EXPECT_EQ(loop.code(), td::kTiffDirNoSuchIndex);
}

// ---- The codec: round trips ----

struct Trip {
    int width, height, bpp;
    const char* options;
};

class TiffRoundTrip : public ::testing::TestWithParam<Trip> {};

TEST_P(TiffRoundTrip, ReadsBackWhatItWrote)
{
    const Trip t = GetParam();
    Model source, back;
    ASSERT_EQ(
        codectest::roundTrip(ModFormatTIFF, t.width, t.height, t.bpp, t.options, &source, &back), 0);
    EXPECT_TRUE(imgtest::samePixels(source, back));
    if (t.bpp != 24 && !(t.bpp == 1 && std::strcmp(t.options, "pal1bpp") != 0)) {
        for (int i = 0; i < (1 << t.bpp); ++i)
            EXPECT_EQ(imgtest::paletteEntry(back, i), imgtest::paletteEntry(source, i)) << i;
    }
}

// 301x97 of varied bytes makes the LZW writer fill its table and clear it several times, and
// the reader switch code widths early, as TIFF wants.
INSTANTIATE_TEST_SUITE_P(Depths, TiffRoundTrip,
                         ::testing::Values(Trip{13, 7, 1, ""}, Trip{13, 7, 1, "pal1bpp"},
                                           Trip{13, 7, 4, ""}, Trip{13, 7, 8, ""},
                                           Trip{13, 7, 24, ""}, Trip{1, 1, 24, "lzw"},
                                           Trip{13, 7, 1, "lzw"}, Trip{13, 7, 4, "lzw"},
                                           Trip{301, 97, 8, "lzw"}, Trip{301, 97, 24, "lzw"},
                                           Trip{301, 97, 1, "lzw pal1bpp"},
                                           // Uncompressed rows of several read chunks.
                                           Trip{301, 901, 24, ""}, Trip{301, 901, 8, ""},
                                           Trip{1024, 301, 24, ""}));

// The row helpers that the TIFF and portable map readers share, against a byte-by-byte model:
// every length around the widths of their word and vector loops, rows spread out to a larger
// stride or not, turned round or not, red and blue swapped or not.
TEST(CodecRows, PlaceRowsMatchesAByteByByteModel)
{
    namespace io = imgfmt::codecio;
    for (size_t pixels = 0; pixels <= 50; ++pixels) {
        for (size_t rows = 1; rows <= 5; ++rows) {
            for (const size_t pad : {size_t(0), size_t(3)}) {
                for (int mode = 0; mode < 4; ++mode) {
                    const bool reverse = (mode & 1) != 0, swap = (mode & 2) != 0;
                    const size_t fileRow = 3 * pixels, stride = fileRow + pad;
                    std::vector<unsigned char> region(rows * stride + 1, 0xEE);
                    for (size_t i = 0; i < rows * fileRow; ++i)
                        region[i] = static_cast<unsigned char>(i * 7 + 1);
                    std::vector<unsigned char> want(region.size(), 0);
                    want.back() = 0xEE;
                    for (size_t r = 0; r < rows; ++r) {
                        const unsigned char* in = &region[r * fileRow];
                        unsigned char* out = &want[(reverse ? rows - 1 - r : r) * stride];
                        for (size_t x = 0; x < fileRow; ++x)
                            out[x] = swap ? in[x - x % 3 + 2 - x % 3] : in[x];
                    }
                    io::placeRows(region.data(), rows, fileRow, stride, reverse, swap);
                    ASSERT_EQ(region, want) << pixels << " pixels, " << rows << " rows, pad "
                                            << pad << ", mode " << mode;
                }
            }
        }
    }
    for (size_t pixels = 0; pixels <= 50; ++pixels) {
        std::vector<unsigned char> in(3 * pixels), out(3 * pixels + 1, 0xEE);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = static_cast<unsigned char>(i * 5 + 3);
        io::swapRedBlue(in.data(), out.data(), pixels);
        for (size_t x = 0; x < in.size(); ++x)
            ASSERT_EQ(out[x], in[x - x % 3 + 2 - x % 3]) << pixels << " pixels, byte " << x;
        EXPECT_EQ(out.back(), 0xEE);
    }
}

// Strips read by position through a small buffer: each is read up to its end and no further,
// by every kind of read, whether it lies in the buffer (after the one before, before it, across
// the buffer's end) or beyond it, and without an end up to the end of the file.
TEST(CodecInput, EachStripEndsAtItsEndWhereverItLies)
{
    namespace io = imgfmt::codecio;
    Bytes file(300);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<unsigned char>(i * 7 + 3);
    const std::string path = imgtest::tempPath("strips.bin");
    ASSERT_TRUE(imgtest::writeFile(path, file));
    struct Move {
        int64_t offset;
        uint64_t limit;
    };
    const Move moves[] = {{10, 5},    {15, 3},   {2, 4},   {60, 10},         {100, 64}, {90, 20},
                          {120, 100}, {250, 30}, {290, 5}, {280, UINT64_MAX}, {310, 4}};
    enum Kind { kGet, kRead, kView, kSkip };
    for (const Kind kind : {kGet, kRead, kView, kSkip}) {
        const int fd = imgfmt::fileOpenRead(path.c_str());
        ASSERT_GE(fd, 0);
        io::CodecInput in(fd, UINT64_MAX, 64);
        for (const Move& mv : moves) {
            ASSERT_TRUE(in.moveTo(mv.offset, mv.limit));
            const size_t from = std::min(file.size(), static_cast<size_t>(mv.offset));
            const size_t n = static_cast<size_t>(std::min<uint64_t>(mv.limit, file.size() - from));
            const Bytes want(file.begin() + from, file.begin() + from + n);
            Bytes got(n);
            switch (kind) {
            case kGet:
                for (unsigned char& b : got)
                    b = static_cast<unsigned char>(in.get());
                break;
            case kRead:
                got.resize(n + 50);
                got.resize(in.read(got.data(), got.size()));
                break;
            case kView:
                // In pieces of at most half the buffer, which view hands out in place.
                for (size_t at = 0; at < n; at += 32) {
                    const size_t piece = std::min<size_t>(32, n - at);
                    const unsigned char* p = in.view(piece);
                    ASSERT_NE(p, nullptr) << mv.offset << " + " << at;
                    std::memcpy(got.data() + at, p, piece);
                }
                EXPECT_EQ(in.view(1), nullptr) << mv.offset;
                break;
            case kSkip:
                // Every byte but the last passed over, and the last one read.
                got = want;
                if (n > 0) {
                    ASSERT_TRUE(in.skip(n - 1)) << mv.offset;
                    got.back() = static_cast<unsigned char>(in.get());
                }
                EXPECT_FALSE(in.skip(1)) << mv.offset;
                break;
            }
            EXPECT_EQ(got, want) << "kind " << kind << " at " << mv.offset;
            EXPECT_EQ(in.get(), -1) << "kind " << kind << " at " << mv.offset;
        }
        EXPECT_FALSE(in.moveTo(-1, 4));
        imgfmt::fileClose(fd);
    }
}

TEST(Tiff, OneBitImageIsBilevelUnlessPaletteIsAsked)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(9, 2, 1, &m), 0);
    const unsigned char whiteFirst[6] = {255, 255, 255, 0, 0, 0};
    std::memcpy(m.palette, whiteFirst, 6);
    int code = 0;
    {
        DirectoryFile d(imgtest::writeToBytes(&m, ModFormatTIFF, "", &code));
        ASSERT_EQ(d.code(), 0);
        EXPECT_EQ(td::valueOr(d.dir(), 262, -1), 0);
        EXPECT_EQ(td::findEntry(d.dir(), 320), nullptr);
    }
    {
        DirectoryFile d(imgtest::writeToBytes(&m, ModFormatTIFF, "pal1bpp", &code));
        ASSERT_EQ(d.code(), 0);
        EXPECT_EQ(td::valueOr(d.dir(), 262, -1), 3);
        const td::TiffEntry* map = td::findEntry(d.dir(), 320);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->count, 6u);
        EXPECT_EQ(td::value(*map, 0), 65535);
    }
    Model back;
    ASSERT_EQ(imgtest::readFromBytes(imgtest::writeToBytes(&m, ModFormatTIFF, "", &code),
                                     ModFormatTIFF, "", &back),
              0);
    EXPECT_EQ(imgtest::paletteEntry(back, 0), 0xFFFFFFu);
    EXPECT_TRUE(imgtest::samePixels(m, back));
}

TEST(Tiff, TextOptionsBecomeTagsAndSoftwareHasItsDefault)
{
    Model m;
    ASSERT_EQ(imgtest::makePatternModel(3, 3, 8, &m), 0);
    int code = 0;
    DirectoryFile plain(imgtest::writeToBytes(&m, ModFormatTIFF, "", &code));
    ASSERT_EQ(plain.code(), 0);
    EXPECT_STREQ(static_cast<const char*>(td::findEntry(plain.dir(), 305)->values),
                 "Zadozuzoviz Uvadud Uveviv");
    EXPECT_EQ(td::findEntry(plain.dir(), 315), nullptr);
    DirectoryFile named(
        imgtest::writeToBytes(&m, ModFormatTIFF, "artist=Ann,make=Cam software=", &code));
    ASSERT_EQ(named.code(), 0);
    EXPECT_STREQ(static_cast<const char*>(td::findEntry(named.dir(), 315)->values), "Ann");
    EXPECT_STREQ(static_cast<const char*>(td::findEntry(named.dir(), 271)->values), "Cam");
    // An empty text writes no tag.
    EXPECT_EQ(td::findEntry(named.dir(), 305), nullptr);
    EXPECT_EQ(td::findEntry(named.dir(), 278), nullptr);
}

// ---- Files of the reference tools ----

struct Reference {
    const char* file;
    const char* expected;
    int bpp;
    const char* options;
};

class TiffReference : public ::testing::TestWithParam<Reference> {};

TEST_P(TiffReference, ReadsAsImageMagickDecodesIt)
{
    const Reference r = GetParam();
    Model m;
    ASSERT_EQ(codectest::readFixture(r.file, ModFormatTIFF, &m, r.options), 0);
    EXPECT_EQ(m.bpp, r.bpp);
    EXPECT_TRUE(codectest::matchesPlainMap(m, r.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TiffReference,
    ::testing::Values(Reference{"tiff/rgb-ii.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgb-mm.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgb-lzw-mm.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgb-lzw-predictor.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgb-packbits.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgb-planar.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/rgba-lzw.tif", "tiff/rgba-lzw.ppm", 24, ""},
                      Reference{"tiff/grey8.tif", "tiff/grey8.ppm", 8, ""},
                      Reference{"tiff/grey4.tif", "tiff/grey4.ppm", 4, ""},
                      Reference{"tiff/bilevel.tif", "tiff/bilevel.ppm", 1, ""},
                      Reference{"tiff/miniswhite.tif", "tiff/miniswhite.ppm", 1, ""},
                      Reference{"tiff/palette.tif", "tiff/palette.ppm", 4, ""},
                      Reference{"tiff/palette8.tif", "tiff/palette8.ppm", 8, ""},
                      Reference{"tiff/twopages.tif", "tiff/rgb.ppm", 24, ""},
                      Reference{"tiff/twopages.tif", "tiff/page2.ppm", 24, "index=1"}));

TEST(Tiff, BigAndLittleEndianTwinsReadTheSame)
{
    Model mm, ii;
    ASSERT_EQ(codectest::readFixture("tiff/rgb-mm.tif", ModFormatTIFF, &mm), 0);
    ASSERT_EQ(codectest::readFixture("tiff/rgb-ii.tif", ModFormatTIFF, &ii), 0);
    EXPECT_TRUE(imgtest::samePixels(mm, ii));
}

// ---- Layouts built inline ----

TEST(Tiff, MinIsWhiteOneBitHasPaletteWhiteBlack)
{
    const Bytes f = greyFile({shortField(258, {1}), shortField(262, {0}), longField(279, {2})},
                             Bytes{0x80, 0x40});
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0);
    EXPECT_EQ(imgtest::paletteEntry(m, 0), 0xFFFFFFu);
    EXPECT_EQ(imgtest::paletteEntry(m, 1), 0x000000u);
    EXPECT_EQ(codectest::colourAt(m, 0, 0), 0x000000u);
    EXPECT_EQ(codectest::colourAt(m, 1, 1), 0x000000u);
    EXPECT_EQ(codectest::colourAt(m, 1, 0), 0xFFFFFFu);
}

TEST(Tiff, OrientationFourPutsTheFirstRowAtTheBottom)
{
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(greyFile({shortField(274, {4})}), ModFormatTIFF, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 0, 0), 0u);
    EXPECT_EQ(imgtest::pixel(m, 1, 1), 255u);
}

TEST(Tiff, ColourMapOfEightBitValuesStillGivesItsColours)
{
    std::vector<uint32_t> map(3 * 16, 0);
    map[1] = 200;       // red of entry 1
    map[16 + 1] = 100;  // green of entry 1
    map[32 + 2] = 50;   // blue of entry 2
    const Bytes f = greyFile({shortField(258, {4}), shortField(262, {3}), shortField(320, map)},
                             Bytes{0x12, 0, 0x21, 0});
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0);
    EXPECT_EQ(imgtest::paletteEntry(m, 1), 0xC86400u);
    EXPECT_EQ(imgtest::paletteEntry(m, 2), 0x000032u);
}

// Packs codes most significant bit first, as a TIFF LZW strip stores them.
struct MsbCodes {
    Bytes* out;
    uint64_t acc = 0;
    int bits = 0;
    void code(unsigned c, int width)
    {
        acc = acc << width | c;
        bits += width;
        for (; bits >= 8; bits -= 8)
            out->push_back(static_cast<unsigned char>(acc >> (bits - 8)));
    }
    void flush()
    {
        if (bits > 0)
            out->push_back(static_cast<unsigned char>(acc << (8 - bits)));
        bits = 0;
    }
};

// One strip's bytes as PackBits (one literal run) or as LZW codes.
Bytes compressStrip(const Bytes& raw, bool lzw)
{
    Bytes packed;
    if (!lzw) {
        packed.push_back(static_cast<unsigned char>(raw.size() - 1));
        return packed + raw;
    }
    MsbCodes sink{&packed};
    imgfmt::codecio::LzwEncoder<MsbCodes> encoder(sink, 9, true);
    encoder.start();
    for (unsigned char b : raw)
        encoder.add(b);
    encoder.finish();
    sink.flush();
    return packed;
}

// Compressed strips whose rows are model rows already are decoded straight into the model and
// turned round there: strips of two rows and a last one of one, bottom-up and top-down, grey and
// RGB, PackBits, LZW and LZW with the horizontal predictor, each row against the pixels it was
// made from.
TEST(Tiff, CompressedStripsLandInTheirOwnRows)
{
    enum Kind { kPackBits, kLzw, kLzwPredictor };
    const int w = 4, h = 5, perStrip = 2;
    for (const int bpp : {8, 24})
        for (const uint32_t orientation : {1u, 4u})
            for (const Kind kind : {kPackBits, kLzw, kLzwPredictor}) {
                const int samples = bpp / 8;
                auto sample = [&](int x, int y, int s) {
                    return static_cast<unsigned char>(s == 0 ? 10 * y + x : 100 * s + x + y);
                };
                Bytes strips;
                std::vector<uint32_t> offsets, counts;
                for (int first = 0; first < h; first += perStrip) {
                    Bytes raw;
                    for (int y = first; y < std::min(h, first + perStrip); ++y)
                        for (int i = 0; i < w * samples; ++i) {
                            const unsigned char v = sample(i / samples, y, i % samples);
                            raw.push_back(kind == kLzwPredictor && i >= samples
                                              ? static_cast<unsigned char>(
                                                    v - sample(i / samples - 1, y, i % samples))
                                              : v);
                        }
                    const Bytes packed = compressStrip(raw, kind != kPackBits);
                    offsets.push_back(static_cast<uint32_t>(8 + strips.size()));
                    counts.push_back(static_cast<uint32_t>(packed.size()));
                    strips = strips + packed;
                }
                const std::vector<uint32_t> bits(static_cast<size_t>(samples), 8);
                const Bytes f = tiffFile(
                    {longField(256, {w}), longField(257, {h}), shortField(258, bits),
                     shortField(259, {kind == kPackBits ? 32773u : 5u}),
                     shortField(262, {samples == 3 ? 2u : 1u}), longField(273, offsets),
                     shortField(274, {orientation}),
                     shortField(277, {static_cast<uint32_t>(samples)}), longField(278, {perStrip}),
                     longField(279, counts), shortField(317, {kind == kLzwPredictor ? 2u : 1u})},
                    strips);
                Model m;
                ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0)
                    << bpp << " " << orientation << " " << kind;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t want =
                            samples == 1 ? sample(x, y, 0)
                                         : uint32_t(sample(x, y, 0)) << 16 |
                                               uint32_t(sample(x, y, 1)) << 8 | sample(x, y, 2);
                        EXPECT_EQ(imgtest::pixel(m, x, orientation == 4 ? y : h - 1 - y), want)
                            << "bpp " << bpp << " orientation " << orientation << " kind "
                            << kind << " at " << x << "," << y;
                    }
            }
}

// How the strips of a grey LZW file lie: rows per strip, their order in the file, the bytes
// between two strips, the byte order, and whether the byte counts are SHORT values.
struct StripPlan {
    const char* name;
    int rowsPerStrip;
    bool reversed;
    uint32_t gap;
    bool big;
    bool shortCounts;
};

// A noise sample that LZW does not shrink, so that the strips of a 512x600 image pass the input's
// 256 KiB buffer and some strip lies across its end.
unsigned char noiseAt(int x, int y)
{
    uint32_t v = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    v ^= v >> 13;
    return static_cast<unsigned char>(v * 2246822519u >> 24);
}

// A w x h grey LZW file of noise laid out as the plan says; the middle strip's byte count made
// cut bytes short of its data.
Bytes lzwStripsFile(int w, int h, const StripPlan& plan, uint32_t cut = 0)
{
    const int strips = (h + plan.rowsPerStrip - 1) / plan.rowsPerStrip;
    std::vector<Bytes> packed;
    for (int s = 0; s < strips; ++s) {
        Bytes raw;
        for (int y = s * plan.rowsPerStrip; y < std::min(h, (s + 1) * plan.rowsPerStrip); ++y)
            for (int x = 0; x < w; ++x)
                raw.push_back(noiseAt(x, y));
        packed.push_back(compressStrip(raw, true));
    }
    Bytes data;
    std::vector<uint32_t> offsets(static_cast<size_t>(strips)), counts(offsets.size());
    for (int i = 0; i < strips; ++i) {
        const int s = plan.reversed ? strips - 1 - i : i;
        data.insert(data.end(), plan.gap, 0x5A);
        offsets[static_cast<size_t>(s)] = static_cast<uint32_t>(8 + data.size());
        counts[static_cast<size_t>(s)] = static_cast<uint32_t>(packed[static_cast<size_t>(s)].size());
        data = data + packed[static_cast<size_t>(s)];
    }
    counts[counts.size() / 2] -= cut;
    return tiffFile({longField(256, {static_cast<uint32_t>(w)}),
                     longField(257, {static_cast<uint32_t>(h)}), shortField(258, {8}),
                     shortField(259, {5}), shortField(262, {1}), longField(273, offsets),
                     shortField(277, {1}),
                     longField(278, {static_cast<uint32_t>(plan.rowsPerStrip)}),
                     plan.shortCounts ? shortField(279, counts) : longField(279, counts)},
                    data, plan.big);
}

class TiffStripLayout : public ::testing::TestWithParam<StripPlan> {};

// Strips are found among the bytes already buffered whether they follow each other, lie in the
// reverse order or with bytes between them, cross the end of the buffer or lie beyond it; and the
// strip tables are kept from the directory (few strips) or read again (many), in both byte
// orders, with LONG or SHORT byte counts.
TEST_P(TiffStripLayout, EveryStripIsReadFromItsOwnBytes)
{
    const int w = 512, h = 600;
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(lzwStripsFile(w, h, GetParam()), ModFormatTIFF, "", &m), 0);
    ASSERT_EQ(m.height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(imgtest::pixel(m, x, h - 1 - y), noiseAt(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Plans, TiffStripLayout,
                         ::testing::Values(StripPlan{"InOrder", 37, false, 0, false, false},
                                           StripPlan{"Reversed", 37, true, 0, false, false},
                                           StripPlan{"GapsBetween", 37, false, 1000, true, true},
                                           StripPlan{"OneRowEach", 1, false, 0, false, false},
                                           StripPlan{"OneRowEachReversed", 1, true, 3, true,
                                                     true}),
                         [](const ::testing::TestParamInfo<StripPlan>& info) {
                             return std::string(info.param.name);
                         });

// The next strip's codes follow in the same buffer: a strip whose byte count stops short of its
// data must end there, not decode on into them.
TEST(Tiff, StripEndsAtItsByteCountThoughTheNextFollowsInTheBuffer)
{
    for (const uint32_t cut : {4u, 40u}) {
        Model m;
        EXPECT_EQ(imgtest::readFromBytes(lzwStripsFile(64, 40, {"", 8, false, 0, false, false}, cut),
                                         ModFormatTIFF, "", &m),
                  ModCodecError + ModCodecShortRead)
            << cut;
    }
}

TEST(Tiff, CmykSubtractsInkAndBlackFromWhite)
{
    const Bytes f = greyFile({longField(256, {2}), longField(257, {1}),
                              shortField(258, {8, 8, 8, 8}), shortField(262, {5}),
                              shortField(277, {4}), longField(278, {1}), longField(279, {8})},
                             Bytes{0, 0, 0, 0, 100, 50, 250, 20});
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0);
    ASSERT_EQ(m.bpp, 24);
    EXPECT_EQ(codectest::colourAt(m, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(codectest::colourAt(m, 1, 0), uint32_t(135 << 16 | 185 << 8 | 0));
}

TEST(Tiff, ThreePlanesOfOneHundredFiftyStripsEachRead)
{
    const int h = 150;
    Bytes strips;
    std::vector<uint32_t> offsets, counts;
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < h; ++y) {
            offsets.push_back(static_cast<uint32_t>(8 + strips.size()));
            counts.push_back(1);
            strips.push_back(static_cast<unsigned char>(p * 80 + y));
        }
    const Bytes f = tiffFile({longField(256, {1}), longField(257, {h}), shortField(258, {8, 8, 8}),
                              shortField(259, {1}), shortField(262, {2}), longField(273, offsets),
                              shortField(277, {3}), longField(278, {1}), longField(279, counts),
                              shortField(284, {2})},
                             strips);
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0);
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(codectest::colourAt(m, 0, y),
                  uint32_t(y << 16 | (80 + y) << 8 | ((160 + y) & 0xFF)))
            << y;
}

// LZW codes of 9 bits, most significant bit first.
Bytes lzw9(const std::vector<unsigned>& codes)
{
    Bytes b;
    uint32_t acc = 0;
    int bits = 0;
    for (unsigned c : codes) {
        acc = acc << 9 | c;
        bits += 9;
        while (bits >= 8) {
            bits -= 8;
            b.push_back(static_cast<unsigned char>(acc >> bits));
        }
    }
    if (bits > 0)
        b.push_back(static_cast<unsigned char>(acc << (8 - bits)));
    return b;
}

TEST(Tiff, LzwStripThatDecodesPastItsRowsStopsAtTheirEnd)
{
    // Four bytes are needed; the codes make 1 + 2 + 3 = 6, the last string crossing the end.
    const Bytes data = lzw9({256, 7, 258, 259, 257});
    const Bytes f = greyFile(
        {shortField(259, {5}), longField(279, {static_cast<uint32_t>(data.size())})}, data);
    Model m;
    ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0);
    EXPECT_EQ(imgtest::pixel(m, 0, 1), 7u);
    EXPECT_EQ(imgtest::pixel(m, 1, 0), 7u);
}

// A run of one grey, coded as strings each one byte longer than the one before (7, 77, 777 and
// so on, every code naming the entry being defined), of which the last crosses the end of the
// strip; with a clear code part of the way, or not. Strings longer than a word check the room
// left for them, and the longest ones no longer find it.
TEST(Tiff, LzwStringsGrowingToTheEndOfTheStripStopThere)
{
    const int width = 64, height = 16;
    for (const unsigned clearAfter : {0u, 20u}) {
        std::vector<unsigned> codes = {256, 7};
        unsigned next = 258, last = 1;  // the next free code, the length of the last string
        for (unsigned bytes = 1; bytes < width * height;) {
            if (codes.size() == clearAfter) {
                codes.insert(codes.end(), {256, 7});
                next = 258;
                last = 1;
                bytes += 1;
                continue;
            }
            codes.push_back(next++);
            bytes += ++last;
        }
        codes.push_back(257);
        const Bytes data = lzw9(codes);
        const Bytes f = greyFile({longField(256, {width}), longField(257, {height}),
                                  shortField(259, {5}), longField(278, {height}),
                                  longField(279, {static_cast<uint32_t>(data.size())})},
                                 data);
        Model m;
        ASSERT_EQ(imgtest::readFromBytes(f, ModFormatTIFF, "", &m), 0) << clearAfter;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(imgtest::pixel(m, x, y), 7u) << clearAfter << ": " << x << "," << y;
    }
}

struct Malformed {
    const char* name;
    Bytes file;
    const char* options;
    int code;
};

class TiffMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(TiffMalformed, IsRefusedWithItsCode)
{
    const Malformed& c = GetParam();
    Model m;
    EXPECT_EQ(imgtest::readFromBytes(c.file, ModFormatTIFF, c.options, &m), ModCodecError + c.code);
}

std::vector<Malformed> malformedCases()
{
    std::vector<uint32_t> shortMap(3 * 15, 0);
    Bytes noWidth = tiffFile({longField(257, {2}), longField(273, {8})}, Bytes{0, 0, 0, 0});
    // The strip lies at the very end of the file with two of its four bytes.
    Bytes cutStrip = greyFile({longField(273, {static_cast<uint32_t>(greyFile().size())})});
    cutStrip = cutStrip + Bytes{1, 2};
    return {
        {"Version43", tiffFile({}, Bytes{}, false, 43), "", 800},
        {"MissingWidth", noWidth, "", 804},
        {"GreyTwoSamples", greyFile({shortField(277, {2})}), "", 805},
        {"GreySixteenBits", greyFile({shortField(258, {16})}), "", 806},
        {"RgbTwoSamples", greyFile({shortField(262, {2}), shortField(277, {2})}), "", 807},
        {"RgbSixteenBits",
         greyFile({shortField(262, {2}), shortField(277, {3}), shortField(258, {16, 16, 16})}), "",
         808},
        {"PaletteTwoSamples", greyFile({shortField(262, {3}), shortField(277, {2})}), "", 809},
        {"PaletteTwoBits", greyFile({shortField(262, {3}), shortField(258, {2})}), "", 810},
        {"CmykThreeSamples", greyFile({shortField(262, {5}), shortField(277, {3})}), "", 811},
        {"CmykSixteenBits",
         greyFile({shortField(262, {5}), shortField(277, {4}), shortField(258, {16})}), "", 812},
        {"Compression2", greyFile({shortField(259, {2})}), "", 813},
        {"Compression3", greyFile({shortField(259, {3})}), "", 814},
        {"Compression4", greyFile({shortField(259, {4})}), "", 815},
        {"Compression7", greyFile({shortField(259, {7})}), "", 816},
        {"PaletteWithoutMap", greyFile({shortField(262, {3})}), "", 817},
        {"PredictorUncompressed", greyFile({shortField(317, {2})}), "", 819},
        {"Mask", greyFile({shortField(262, {4})}), "", 821},
        {"YCbCr", greyFile({shortField(262, {6})}), "", 822},
        {"Photometric9", greyFile({shortField(262, {9})}), "", 823},
        {"FillOrder2", greyFile({shortField(266, {2})}), "", 824},
        {"GreyPlanar2", greyFile({shortField(284, {2})}), "", 825},
        {"RgbPlanar3",
         greyFile({shortField(262, {2}), shortField(277, {3}), shortField(258, {8, 8, 8}),
                   shortField(284, {3})}),
         "", 826},
        {"InkSet2", greyFile({shortField(262, {5}), shortField(277, {4}), shortField(332, {2})}),
         "", 827},
        {"Orientation3", greyFile({shortField(274, {3})}), "", 828},
        {"SecondDirectory", greyFile(), "index=1", 829},
        // Values the directory holds but that do not fit together.
        {"RowsPerStripZero", greyFile({longField(278, {0})}), "", 803},
        {"FewerOffsetsThanStrips", greyFile({longField(278, {1})}), "", 803},
        {"ColourMapTooShort",
         greyFile({shortField(258, {4}), shortField(262, {3}), shortField(320, shortMap)}), "",
         803},
        {"DirectoryBeyondTheEnd", Bytes{'I', 'I', 42, 0, 0, 1, 0, 0}, "", 802},
        {"ValuesBeyondTheEnd", greyFile({Field{273, 4, {8}, 1000}}), "", 802},
        {"StripShorterThanItsRows", cutStrip, "", ModCodecShortRead},
        {"StripOffsetBeyondTheEnd", greyFile({longField(273, {100000})}), "", ModCodecShortRead},
        {"LzwCodeBeyondNextFree", greyFile({shortField(259, {5})}, lzw9({256, 1, 300, 257})), "",
         ModCodecShortRead},
        {"LzwEndsEarly", greyFile({shortField(259, {5})}, lzw9({256, 1, 2, 257})), "",
         ModCodecShortRead},
        {"PackBitsEndsEarly", greyFile({shortField(259, {32773})}, Bytes{1, 9, 9}), "",
         ModCodecShortRead},
        // Found by fuzzing: an LZW string of a dozen bytes whose source ends just before it (a
        // wide copy of it once read and wrote overlapping memory), in a strip that breaks off.
        {"FuzzStringJustBehind",
         imgtest::readFile(codectest::dataPath("tiff/fuzz/string-just-behind.tif")), "",
         ModCodecShortRead},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, TiffMalformed, ::testing::ValuesIn(malformedCases()),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             return std::string(info.param.name);
                         });

TEST(Tiff, OwnCodesHaveMessages)
{
    EXPECT_EQ(ModErrorMessage(ModCodecError + 800), 316);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 819), 335);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 821), 336);
    EXPECT_EQ(ModErrorMessage(ModCodecError + 829), 344);
}

}  // namespace
