// Reads and writes the same pictures with our codecs and with Debian's reference libraries
// (stb_image and stb_image_write, giflib, libtiff) in one run, and prints one table: throughput
// of each in million pixels a second and the ratio ours / reference, the lowest ratio last.
//
// Every format is measured on a smooth and a noisy picture, small and large, by the processor
// time of the calls (files in memory where the machine has a memory folder). A reader opens the
// file, parses it and produces every pixel; ours also turns rows bottom-up and red, green, blue
// into blue, green, red, which the references leave as the file has them. Where reading is
// little more than copying bytes (the portable maps, uncompressed TIFF), that difference is most
// of the work: the row with the reference as it is says so and does not count, and a second row
// has the reference make our layout (stb_image's own bottom-up option, libtiff's strips copied
// to their bottom-up places, red and blue exchanged on the way; for writing, from our layout).
// Before timing, each row checks that both readers give the same pixels. Formats that no Debian
// library reads or writes (PCX, ILBM, XBM, ..., and the portable maps' writer) are measured
// against the limit instead: copying the file's bytes in memory for a read, writing them to a
// file for a write. Those rows show the distance to the limit and do not count.
#include "bench_codecs.hpp"
#include "detail/icodecstream.hpp"

#include <gif_lib.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#include <tiffio.h>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using benchcodecs::Content;
using Pixels = std::vector<unsigned char>;

// ---- Reference readers: every pixel into memory, top row first ----

bool stbRead(const std::string& path, Pixels* pixels)
{
    int w = 0, h = 0, n = 0;
    unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 0);
    if (!p)
        return false;
    if (pixels)
        pixels->assign(p, p + size_t(w) * size_t(h) * size_t(n));
    stbi_image_free(p);
    return true;
}

// stb_image with its own option for bottom-up rows and red and blue exchanged afterwards: the
// same output as ours, for the formats where reading is little more than copying bytes.
bool stbReadSameLayout(const std::string& path, Pixels* pixels)
{
    int w = 0, h = 0, n = 0;
    stbi_set_flip_vertically_on_load(1);
    unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 0);
    stbi_set_flip_vertically_on_load(0);
    if (!p)
        return false;
    if (n == 3)
        imgfmt::codecio::swapRedBlue(p, p, size_t(w) * size_t(h));
    if (pixels)
        pixels->assign(p, p + size_t(w) * size_t(h) * size_t(n));
    stbi_image_free(p);
    return true;
}

bool giflibRead(const std::string& path, Pixels* pixels)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return false;
    const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    if (ok && pixels) {
        const SavedImage& image = gif->SavedImages[0];
        pixels->assign(image.RasterBits, image.RasterBits + size_t(image.ImageDesc.Width) *
                                                                size_t(image.ImageDesc.Height));
    }
    DGifCloseFile(gif, &error);
    return ok;
}

bool libtiffRead(const std::string& path, Pixels* pixels)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return false;
    const tmsize_t stripSize = TIFFStripSize(tif);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    Pixels all(size_t(stripSize) * strips);
    tmsize_t filled = 0;
    bool ok = true;
    for (uint32_t s = 0; s < strips && ok; ++s) {
        const tmsize_t got = TIFFReadEncodedStrip(tif, s, all.data() + filled, stripSize);
        ok = got >= 0;
        filled += got;
    }
    TIFFClose(tif);
    if (ok && pixels) {
        all.resize(size_t(filled));
        *pixels = std::move(all);
    }
    return ok;
}

// libtiff's strips turned into our layout: each strip read into a buffer of its own and its
// rows copied to their bottom-up places, red and blue exchanged on the way.
bool libtiffReadSameLayout(const std::string& path, Pixels* pixels)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return false;
    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    uint16_t samples = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    rowsPerStrip = std::min(rowsPerStrip, height);
    const size_t fileRow = size_t(width) * samples;
    Pixels all(fileRow * height), strip(size_t(TIFFStripSize(tif)));
    bool ok = true;
    for (uint32_t top = 0, s = 0; ok && top < height; top += rowsPerStrip, ++s) {
        ok = TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(strip.size())) >= 0;
        const uint32_t rows = std::min(rowsPerStrip, height - top);
        for (uint32_t r = 0; ok && r < rows; ++r) {
            unsigned char* out = all.data() + size_t(height - 1 - top - r) * fileRow;
            if (samples == 3)
                imgfmt::codecio::swapRedBlue(strip.data() + r * fileRow, out, width);
            else
                std::memcpy(out, strip.data() + r * fileRow, fileRow);
        }
    }
    TIFFClose(tif);
    if (ok && pixels)
        *pixels = std::move(all);
    return ok;
}

// ---- Reference writers, from the picture's top-down pixels ----

bool stbWriteBmp(const std::string& path, const MOD& m, const Pixels& p)
{
    return stbi_write_bmp(path.c_str(), m.width, m.height, m.bpp / 8, p.data()) != 0;
}

bool stbWriteTga(const std::string& path, const MOD& m, const Pixels& p)
{
    stbi_write_tga_with_rle = 0;
    return stbi_write_tga(path.c_str(), m.width, m.height, m.bpp / 8, p.data()) != 0;
}

bool giflibWrite(const std::string& path, const MOD& m, const Pixels& p)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = GifColorType{m.palette[3 * i], m.palette[3 * i + 1], m.palette[3 * i + 2]};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok = map && EGifPutScreenDesc(gif, m.width, m.height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, m.width, m.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < m.height; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(p.data() + size_t(y) * m.width),
                         m.width) == GIF_OK;
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

bool libtiffWrite(const std::string& path, const MOD& m, const Pixels& p, bool lzw,
                  bool oneStrip)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    const int samples = m.bpp == 24 ? 3 : 1;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(m.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(m.height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
    const uint32_t rows = oneStrip ? uint32_t(m.height) : TIFFDefaultStripSize(tif, 0);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
    const size_t rowBytes = size_t(m.width) * samples;
    bool ok = true;
    for (uint32_t top = 0, strip = 0; ok && top < uint32_t(m.height); top += rows, ++strip) {
        const uint32_t n = std::min(rows, uint32_t(m.height) - top);
        ok = TIFFWriteEncodedStrip(tif, strip, const_cast<unsigned char*>(p.data()) + top * rowBytes,
                                   tmsize_t(n * rowBytes)) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

// libtiff given our layout: the model's rows turned into top-down red, green, blue (or greys)
// first, as a writer of the same input must.
bool libtiffWriteFromModel(const std::string& path, const MOD& m, bool lzw, bool oneStrip)
{
    const size_t samples = m.bpp == 24 ? 3 : 1;
    const size_t fileRow = size_t(m.width) * samples, rowBytes = size_t(ModRowBytes(m.width, m.bpp));
    Pixels top(fileRow * size_t(m.height));
    for (int y = 0; y < m.height; ++y) {
        const unsigned char* row = m.data + size_t(m.height - 1 - y) * rowBytes;
        if (samples == 3)
            imgfmt::codecio::swapRedBlue(row, top.data() + size_t(y) * fileRow, size_t(m.width));
        else
            std::memcpy(top.data() + size_t(y) * fileRow, row, fileRow);
    }
    return libtiffWrite(path, m, top, lzw, oneStrip);
}

bool libtiffRawOneStripFromModel(const std::string& path, const MOD& m, const Pixels&)
{
    return libtiffWriteFromModel(path, m, false, true);
}
bool libtiffRawStripsFromModel(const std::string& path, const MOD& m, const Pixels&)
{
    return libtiffWriteFromModel(path, m, false, false);
}
bool libtiffLzwOneStripFromModel(const std::string& path, const MOD& m, const Pixels&)
{
    return libtiffWriteFromModel(path, m, true, true);
}
bool libtiffLzwStripsFromModel(const std::string& path, const MOD& m, const Pixels&)
{
    return libtiffWriteFromModel(path, m, true, false);
}

bool libtiffRawStrips(const std::string& path, const MOD& m, const Pixels& p)
{
    return libtiffWrite(path, m, p, false, false);
}
bool libtiffLzwStrips(const std::string& path, const MOD& m, const Pixels& p)
{
    return libtiffWrite(path, m, p, true, false);
}
bool libtiffRawOneStrip(const std::string& path, const MOD& m, const Pixels& p)
{
    return libtiffWrite(path, m, p, false, true);
}
bool libtiffLzwOneStrip(const std::string& path, const MOD& m, const Pixels& p)
{
    return libtiffWrite(path, m, p, true, true);
}

// A reference library, or none: the row is then measured against the limit.
struct Reference {
    const char* name;
    bool (*read)(const std::string& path, Pixels* pixels);
    bool (*write)(const std::string& path, const MOD& m, const Pixels& topDown);
    // Whether both readers read the reference's file (its strips, say) rather than ours.
    bool readTheirs;
    // Whether the reference reads into our layout (bottom row first, blue, green, red);
    // otherwise it keeps the file's order, top row first, red, green, blue.
    bool sameLayout;
    // Whether the row counts for the lowest ratio: a reference that gives a different layout
    // is shown, but where reading is little more than copying bytes, the row with the same
    // output is the one that counts.
    bool counts;
};

const Reference kLimit = {"limit", nullptr, nullptr, false, false, false};
const Reference kStbBmp = {"stb_image", stbRead, stbWriteBmp, false, false, true};
const Reference kStbMap = {"stb_image, top-down RGB (not counted); write: limit", stbRead,
                           nullptr, false, false, false};
const Reference kStbMapSame = {"stb_image, same layout; write: limit", stbReadSameLayout,
                               nullptr, false, true, true};
const Reference kStbTga = {"stb_image", stbRead, stbWriteTga, false, false, true};
const Reference kGiflib = {"giflib", giflibRead, giflibWrite, false, false, true};
const Reference kTiffRawOne = {"libtiff, top-down RGB (not counted)", libtiffRead,
                               libtiffRawOneStrip, false, false, false};
const Reference kTiffRawOneSame = {"libtiff, same layout", libtiffReadSameLayout,
                                   libtiffRawOneStripFromModel, false, true, true};
const Reference kTiffLzwOne = {"libtiff, top-down (not counted)", libtiffRead,
                               libtiffLzwOneStrip, false, false, false};
const Reference kTiffLzwOneSame = {"libtiff, same layout", libtiffReadSameLayout,
                                   libtiffLzwOneStripFromModel, false, true, true};
const Reference kTiffRawStrips = {"libtiff, top-down RGB (not counted)", libtiffRead,
                                  libtiffRawStrips, true, false, false};
const Reference kTiffRawStripsSame = {"libtiff, same layout", libtiffReadSameLayout,
                                      libtiffRawStripsFromModel, true, true, true};
const Reference kTiffLzwStrips = {"libtiff, top-down (not counted)", libtiffRead,
                                  libtiffLzwStrips, true, false, false};
const Reference kTiffLzwStripsSame = {"libtiff, same layout", libtiffReadSameLayout,
                                      libtiffLzwStripsFromModel, true, true, true};

struct Codec {
    const char* name;
    int format;
    int bpp;
    const char* writeOptions;
    bool greys;  // the format stores greys, so the picture's palette is a grey ramp
    Reference reference;
};

const Codec kCodecs[] = {
    {"BMP 24", ModFormatBitmap, 24, "", false, kStbBmp},
    {"greymap", ModFormatGreymap, 8, "", true, kStbMap},
    {"greymap", ModFormatGreymap, 8, "", true, kStbMapSame},
    {"pixmap", ModFormatPixmap, 24, "", false, kStbMap},
    {"pixmap", ModFormatPixmap, 24, "", false, kStbMapSame},
    {"Targa 24", ModFormatTarga, 24, "", false, kStbTga},
    {"GIF 8", ModFormatGIF, 8, "", false, kGiflib},
    {"TIFF RGB", ModFormatTIFF, 24, "", false, kTiffRawOne},
    {"TIFF RGB", ModFormatTIFF, 24, "", false, kTiffRawOneSame},
    {"TIFF RGB strips", ModFormatTIFF, 24, "", false, kTiffRawStrips},
    {"TIFF RGB strips", ModFormatTIFF, 24, "", false, kTiffRawStripsSame},
    {"TIFF RGB LZW", ModFormatTIFF, 24, "lzw", false, kTiffLzwOne},
    {"TIFF RGB LZW", ModFormatTIFF, 24, "lzw", false, kTiffLzwOneSame},
    {"TIFF RGB LZW strips", ModFormatTIFF, 24, "lzw", false, kTiffLzwStrips},
    {"TIFF RGB LZW strips", ModFormatTIFF, 24, "lzw", false, kTiffLzwStripsSame},
    {"TIFF grey LZW", ModFormatTIFF, 8, "lzw", true, kTiffLzwOne},
    {"TIFF grey LZW", ModFormatTIFF, 8, "lzw", true, kTiffLzwOneSame},
    {"PCX 8", ModFormatPCX, 8, "", false, kLimit},
    {"PCX 24", ModFormatPCX, 24, "", false, kLimit},
    {"ILBM 8", ModFormatILBM, 8, "", false, kLimit},
    {"XBM", ModFormatXBitmap, 1, "", false, kLimit},
    {"sprite 8", ModFormatSprite, 8, "", false, kLimit},
    {"YUV12C", ModFormatYUV12C, 24, "", false, kLimit},
};

struct Size {
    const char* name;
    int width;
    int height;
};
const Size kSizes[] = {{"small", 128, 96}, {"large", 1024, 768}};

// Whether our model and the reference's top-down pixels (indices, greys or red, green, blue)
// agree.
bool agrees(const MOD& m, const Pixels& ref, bool greys, bool sameLayout)
{
    const size_t per = ref.size() / (size_t(m.width) * size_t(m.height));
    if (per != (m.bpp == 24 ? 3u : 1u) || ref.size() != per * size_t(m.width) * m.height)
        return false;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const unsigned char* r = &ref[per * (size_t(y) * size_t(m.width) + size_t(x))];
            uint32_t p = imgtest::pixel(m, x, sameLayout ? y : m.height - 1 - y);
            if (greys)
                p = m.palette[3 * p];
            uint32_t want = per == 1 ? r[0] : uint32_t(r[0]) << 16 | uint32_t(r[1]) << 8 | r[2];
            if (sameLayout && per == 3)
                want = uint32_t(r[2]) << 16 | uint32_t(r[1]) << 8 | r[0];
            if (p != want)
                return false;
        }
    return true;
}

bool limitRead(const Pixels& bytes, Pixels& copy)
{
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    return copy[0] == bytes[0];
}

bool limitWrite(const std::string& path, const Pixels& bytes)
{
    return imgtest::writeFile(path, bytes);
}

struct Result {
    double read = 0, refRead = 0, write = 0, refWrite = 0;
};

void printCell(double value)
{
    if (value > 0)
        std::printf(" %9.1f", value);
    else
        std::printf(" %9s", "-");
}

void printRatio(double ours, double theirs)
{
    if (ours > 0 && theirs > 0)
        std::printf(" %6.2f", ours / theirs);
    else
        std::printf(" %6s", "-");
}

// Measures one codec on one picture; false when a file cannot be written or read, or when the
// readers disagree.
bool measure(const Codec& c, Content content, const Size& size, Result* r)
{
    imgtest::Model model;
    if (benchcodecs::makePicture(size.width, size.height, c.bpp, content, c.greys, &model) != 0)
        return false;
    const Pixels topDown = benchcodecs::topDown(model);
    const std::string ours = imgtest::tempPath("bench-ours");
    const std::string theirs = imgtest::tempPath("bench-theirs");
    if (ModWriteToFile(&model, c.format, ours.c_str(), c.writeOptions) != 0)
        return false;
    const Reference& ref = c.reference;
    if (ref.write && !ref.write(theirs, model, topDown))
        return false;
    const std::string& readPath = ref.readTheirs ? theirs : ours;
    const double pixels = double(size.width) * size.height;

    bool failed = false;
    auto ourRead = [&] {
        imgtest::Model m;
        int f = c.format;
        failed |= ModReadFromFile(readPath.c_str(), &f, nullptr, &m) != 0;
    };
    auto ourWrite = [&] {
        failed |= ModWriteToFile(&model, c.format, ours.c_str(), c.writeOptions) != 0;
    };
    double a = 0, b = 0;
    if (ref.read) {
        Pixels refPixels;
        imgtest::Model check;
        int f = c.format;
        if (!ref.read(readPath, &refPixels) ||
            ModReadFromFile(readPath.c_str(), &f, nullptr, &check) != 0 ||
            !agrees(check, refPixels, c.greys, ref.sameLayout))
            return false;
        benchcodecs::timeBoth(ourRead, [&] { failed |= !ref.read(readPath, nullptr); }, &a, &b);
    } else {
        const Pixels bytes = imgtest::readFile(readPath);
        Pixels copy(bytes.size());
        benchcodecs::timeBoth(ourRead, [&] { failed |= !limitRead(bytes, copy); }, &a, &b);
    }
    r->read = pixels / a / 1e6;
    r->refRead = pixels / b / 1e6;
    if (ref.write) {
        benchcodecs::timeBoth(ourWrite, [&] { failed |= !ref.write(theirs, model, topDown); }, &a,
                              &b);
        r->refWrite = pixels / b / 1e6;
    } else {
        const Pixels bytes = imgtest::readFile(ours);
        benchcodecs::timeBoth(ourWrite, [&] { failed |= !limitWrite(theirs, bytes); }, &a, &b);
        r->refWrite = pixels / b / 1e6;
    }
    r->write = pixels / a / 1e6;
    std::remove(ours.c_str());
    std::remove(theirs.c_str());
    return !failed;
}

}  // namespace

// With arguments, only the formats whose names start with one of them are measured.
int main(int argc, char** argv)
{
#if !defined(_WIN32)
    // Files go to memory where the machine has such a folder, so that the timing is of the codecs
    // and not of the disk (truncating a file on a disk can cost more than writing a picture).
    if (std::getenv("TMPDIR") == nullptr && access("/dev/shm", W_OK) == 0)
        setenv("TMPDIR", "/dev/shm", 1);
#endif
    std::printf("Mpixel/s; ratio = ours / reference. \"limit\" rows compare with copying the file's\n"
                "bytes in memory (read) or writing them to a file (write) and do not count.\n\n");
    std::printf("%-20s %-13s %9s %9s %6s %9s %9s %6s  %s\n", "format", "image", "read", "ref",
                "ratio", "write", "ref", "ratio", "reference");
    double lowest = 1e9;
    std::string lowestRow;
    int failures = 0;
    for (const Codec& c : kCodecs) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted |= std::strncmp(c.name, argv[i], std::strlen(argv[i])) == 0;
        if (!wanted)
            continue;
        for (const Content content : {Content::Smooth, Content::Noise})
            for (const Size& size : kSizes) {
                const std::string image =
                    std::string(content == Content::Smooth ? "smooth " : "noise ") + size.name;
                Result r;
                std::printf("%-20s %-13s", c.name, image.c_str());
                if (!measure(c, content, size, &r)) {
                    std::printf(" FAILED: a file could not be written or read, or the readers "
                                "disagree\n");
                    ++failures;
                    continue;
                }
                const bool counts = c.reference.counts;
                printCell(r.read);
                printCell(r.refRead);
                printRatio(r.read, r.refRead);
                printCell(r.write);
                printCell(r.refWrite);
                printRatio(r.write, r.refWrite);
                std::printf("  %s\n", c.reference.name);
                if (!counts)
                    continue;
                const std::string name = std::string(c.name) + " " + image;
                if (c.reference.read && r.read / r.refRead < lowest) {
                    lowest = r.read / r.refRead;
                    lowestRow = name + " read";
                }
                if (c.reference.write && r.write / r.refWrite < lowest) {
                    lowest = r.write / r.refWrite;
                    lowestRow = name + " write";
                }
            }
    }
    std::printf("\nlowest ratio against a reference library: %.2f (%s)\n", lowest,
                lowestRow.c_str());
    return failures ? 1 : 0;
}
