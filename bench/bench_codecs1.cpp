// Read throughput of the GIF, TIFF and Targa readers against Debian's reference readers (giflib,
// libtiff, stb_image), from the same files on disk, with the ratio printed in one run. Each
// reader opens the file, parses it and produces every pixel; ours also turns rows bottom-up and
// pixels blue-green-red. A ratio of 1 is parity, above 1 we are faster. Each row also checks that
// both readers agree on the pixels.
#include "bench_codecs.hpp"

#include <gif_lib.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using benchcodecs::secondsPerCall;

// Pictures that compress the way scans and renderings do: smooth areas, edges and some grain;
// "noise" is the worst case for LZW, whose table then fills and clears constantly.
enum class Content {
    Smooth,
    Noise
};

uint32_t hash(uint32_t x, uint32_t y)
{
    return (x * 2654435761u) ^ (y * 40503u + 0x9E3779B9u) * 2246822519u;
}

int makePicture(int width, int height, int bpp, Content content, MOD* out)
{
    unsigned char palette[768];
    benchcodecs::fillPalette(palette);
    if (ModCreate(width, height, bpp, palette, out) != 0)
        return 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t n = hash(uint32_t(x), uint32_t(y)) >> 24;
            uint32_t v;
            if (content == Content::Noise) {
                v = bpp == 24 ? hash(uint32_t(x), uint32_t(y)) & 0xFFFFFF : n;
            } else {
                const uint32_t band = uint32_t((x / 37 + y / 23) % 5);
                const uint32_t grain = (n & 3) * (band == 0);
                if (bpp == 24)
                    v = (uint32_t(x * 255 / width) + grain) << 16 |
                        uint32_t(y * 255 / height) << 8 | (band * 50 + grain);
                else
                    v = (uint32_t(x / 8 + y / 6) + band * 40 + grain) & 0xFF;
            }
            imgtest::setPixel(*out, x, y, v);
        }
    return 0;
}

// ---- Reference readers: every pixel into memory, in the library's natural form ----

bool giflibRead(const std::string& path, std::vector<unsigned char>* pixels)
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

bool libtiffRead(const std::string& path, std::vector<unsigned char>* pixels)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return false;
    const tmsize_t stripSize = TIFFStripSize(tif);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    std::vector<unsigned char> all(size_t(stripSize) * strips);
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

bool stbRead(const std::string& path, std::vector<unsigned char>* pixels)
{
    int w = 0, h = 0, n = 0;
    unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 3);
    if (!p)
        return false;
    if (pixels)
        pixels->assign(p, p + size_t(w) * size_t(h) * 3);
    stbi_image_free(p);
    return true;
}

// ---- Files written by the reference libraries, for the layouts our writer does not make ----

// libtiff's usual layout: LZW strips of about 8 KiB.
bool libtiffWrite(const MOD& m, const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(m.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(m.height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::vector<unsigned char> rgb = benchcodecs::topDownRgb(m);
    const size_t rowBytes = size_t(m.width) * 3;
    bool ok = true;
    for (int y = 0; y < m.height && ok; ++y)
        ok = TIFFWriteScanline(tif, rgb.data() + size_t(y) * rowBytes, uint32_t(y), 0) >= 0;
    TIFFClose(tif);
    return ok;
}

// stb_image_write's Targa: run-length encoded, rows top first.
bool stbWriteTga(const MOD& m, const std::string& path)
{
    const std::vector<unsigned char> rgb = benchcodecs::topDownRgb(m);
    return stbi_write_tga(path.c_str(), m.width, m.height, 3, rgb.data()) != 0;
}

// ---- Agreement: the model against the reference's pixels (top row first) ----

bool agrees(const MOD& m, const std::vector<unsigned char>& ref, bool indexed)
{
    const size_t per = indexed ? 1 : 3;
    if (ref.size() < size_t(m.width) * size_t(m.height) * per)
        return false;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const unsigned char* r = &ref[per * (size_t(y) * size_t(m.width) + size_t(x))];
            const uint32_t p = imgtest::pixel(m, x, m.height - 1 - y);
            const uint32_t want =
                indexed ? r[0] : uint32_t(r[0]) << 16 | uint32_t(r[1]) << 8 | r[2];
            if (p != want)
                return false;
        }
    return true;
}

struct Row : benchcodecs::Picture {
    Content content;
    const char* writeOptions;  // our writer's options, or null when the reference writes the file
    bool (*referenceWrite)(const MOD&, const std::string&);
    bool (*referenceRead)(const std::string&, std::vector<unsigned char>*);
    const char* referenceName;
};

int benchRow(const Row& row)
{
    imgtest::Model model;
    if (makePicture(row.width, row.height, row.bpp, row.content, &model) != 0)
        return 1;
    const std::string path = imgtest::tempPath(std::string("bench1.") + row.name);
    const bool written =
        row.writeOptions ? ModWriteToFile(&model, row.format, path.c_str(), row.writeOptions) == 0
                         : row.referenceWrite(model, path);
    if (!written)
        return 1;

    std::vector<unsigned char> refPixels;
    imgtest::Model check;
    int format = row.format;
    if (!row.referenceRead(path, &refPixels) ||
        ModReadFromFile(path.c_str(), &format, nullptr, &check) != 0 ||
        !agrees(check, refPixels, row.bpp != 24)) {
        std::printf("%-22s the readers disagree\n", row.name);
        return 1;
    }

    const double megapixels = double(row.width) * row.height / 1e6;
    const int runs = std::max(1, int(20 / megapixels));
    bool failed = false;
    const double ours = secondsPerCall(runs, [&] {
        imgtest::Model m;
        int f = row.format;
        failed |= ModReadFromFile(path.c_str(), &f, nullptr, &m) != 0;
    });
    const double reference =
        secondsPerCall(runs, [&] { failed |= !row.referenceRead(path, nullptr); });
    std::remove(path.c_str());
    if (failed)
        return 1;
    std::printf("%-22s %5dx%-5d read %7.1f Mpx/s   %-9s %7.1f Mpx/s   ratio (reference time / "
                "ours) %5.2f\n",
                row.name, row.width, row.height, megapixels / ours, row.referenceName,
                megapixels / reference, reference / ours);
    return 0;
}

}  // namespace

int main()
{
    const Row rows[] = {
        {{"gif 8-bit smooth", ModFormatGIF, 8, 1024, 768}, Content::Smooth, "", nullptr, giflibRead,
         "giflib"},
        {{"gif 8-bit noise", ModFormatGIF, 8, 1024, 768}, Content::Noise, "", nullptr, giflibRead,
         "giflib"},
        {{"tiff rgb raw", ModFormatTIFF, 24, 1024, 768}, Content::Smooth, "", nullptr, libtiffRead,
         "libtiff"},
        {{"tiff rgb lzw", ModFormatTIFF, 24, 1024, 768}, Content::Smooth, "lzw", nullptr,
         libtiffRead, "libtiff"},
        {{"tiff rgb lzw noise", ModFormatTIFF, 24, 1024, 768}, Content::Noise, "lzw", nullptr,
         libtiffRead, "libtiff"},
        {{"tiff rgb lzw libtiff", ModFormatTIFF, 24, 1024, 768}, Content::Smooth, nullptr,
         libtiffWrite, libtiffRead, "libtiff"},
        {{"tiff 8-bit lzw", ModFormatTIFF, 8, 1024, 768}, Content::Smooth, "lzw", nullptr,
         libtiffRead, "libtiff"},
        {{"targa rgb raw", ModFormatTarga, 24, 1024, 768}, Content::Smooth, "", nullptr, stbRead,
         "stb_image"},
        {{"targa rgb rle (stb)", ModFormatTarga, 24, 1024, 768}, Content::Smooth, nullptr,
         stbWriteTga, stbRead, "stb_image"},
    };
    return benchcodecs::runRows(rows, benchRow);
}
