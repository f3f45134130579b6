// Reads and writes the same image files with our codecs and with a reference implementation from
// Debian's packages, in one run, and prints the throughputs and their ratio.
//
// Each row of kRows is one file: a codec adds its rows (and, when it has one, a reference reader
// and writer) to the table. Throughput is counted in pixels, so readers that produce different
// layouts (palette indices here, RGB there) compare on the same work.
#include "bench_codecs.hpp"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using benchcodecs::Clock;

// A reference implementation: reads a file, or writes a model's pixels to a file. Either may be
// null when the reference library cannot do it (stb_image has no run-length bitmap reader).
struct Reference {
    const char* name;
    bool (*read)(const std::string& path);
    // Prepares what the reference writer takes from a model (outside the timing), then writes.
    void* (*prepare)(const MOD& model);
    bool (*write)(const std::string& path, const MOD& model, void* prepared);
    void (*release)(void* prepared);
};

bool stbRead(const std::string& path)
{
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, 0);
    stbi_image_free(pixels);
    return pixels != nullptr;
}

// stb writes 24-bit bitmaps from top-down RGB rows.
void* stbPrepare(const MOD& model)
{
    imgtest::Model wide;
    if (ModExpandTo24(&model, &wide) != 0)
        return nullptr;
    return new std::vector<unsigned char>(benchcodecs::topDownRgb(wide));
}

bool stbWrite(const std::string& path, const MOD& model, void* prepared)
{
    const auto* rgb = static_cast<std::vector<unsigned char>*>(prepared);
    return stbi_write_bmp(path.c_str(), model.width, model.height, 3, rgb->data()) != 0;
}

void stbRelease(void* prepared) { delete static_cast<std::vector<unsigned char>*>(prepared); }

const Reference kStb = {"stb_image", stbRead, stbPrepare, stbWrite, stbRelease};
const Reference kStbWriteOnly = {"stb_image", nullptr, stbPrepare, stbWrite, stbRelease};

struct Row : benchcodecs::Picture {
    const char* writeOptions;
    const char* readOptions;
    Reference reference;
};

const Row kRows[] = {
    {{"BMP 24 bpp 2048x1536", ModFormatBitmap, 24, 2048, 1536}, "", "", kStb},
    {{"BMP 24 bpp 2048x1536 top-down", ModFormatBitmap, 24, 2048, 1536}, "topdown", "", kStb},
    {{"BMP 8 bpp 2048x1536", ModFormatBitmap, 8, 2048, 1536}, "", "", kStb},
    {{"BMP 4 bpp 2048x1536", ModFormatBitmap, 4, 2048, 1536}, "", "", kStb},
    {{"BMP 1 bpp 2048x1536", ModFormatBitmap, 1, 2048, 1536}, "", "inv", kStb},
    {{"BMP 8 bpp 2048x1536 RLE8", ModFormatBitmap, 8, 2048, 1536}, "rle", "", kStbWriteOnly},
    {{"BMP 4 bpp 2048x1536 RLE4", ModFormatBitmap, 4, 2048, 1536}, "rle", "", kStbWriteOnly},
    {{"BMP 24 bpp 64x48 (small)", ModFormatBitmap, 24, 64, 48}, "", "", kStb},
};

// A picture with smooth areas and edges, so that run-length forms have runs to find.
void fillPicture(MOD& m)
{
    const uint32_t mask = m.bpp == 24 ? 0xFFFFFF : (1u << m.bpp) - 1;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const uint32_t v = m.bpp == 24
                                   ? (uint32_t(x * 255 / m.width) << 16) |
                                         (uint32_t(y * 255 / m.height) << 8) | ((x ^ y) & 0xFF)
                                   : uint32_t((x / 16 + y / 16) % 7 + ((x * y) % 97 == 0));
            imgtest::setPixel(m, x, y, v & mask);
        }
}

// Runs the operation until about 0.4 s have passed: million pixels a second, 0 on failure.
template <class Operation>
double measure(double pixels, Operation operation)
{
    if (!operation())
        return 0;
    int runs = 0;
    const auto start = Clock::now();
    double seconds = 0;
    do {
        if (!operation())
            return 0;
        ++runs;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < 0.4);
    return pixels * runs / seconds / 1e6;
}

void printCell(double value)
{
    if (value > 0)
        std::printf(" %10.1f", value);
    else
        std::printf(" %10s", "-");
}

void printRatio(double ours, double theirs)
{
    if (ours > 0 && theirs > 0)
        std::printf(" %7.2f", ours / theirs);
    else
        std::printf(" %7s", "-");
}

}  // namespace

int main()
{
    std::printf("Mpixel/s; ratio = ours / reference (goal: at least 0.70)\n");
    std::printf("%-34s %10s %10s %7s %10s %10s %7s\n", "file", "read", "ref read", "ratio",
                "write", "ref write", "ratio");
    double worstRatio = 1e9;
    for (const Row& row : kRows) {
        imgtest::Model model;
        if (ModCreate(row.width, row.height, row.bpp, nullptr, &model) != 0) {
            std::printf("%-34s cannot create the model\n", row.name);
            continue;
        }
        benchcodecs::fillPalette(model.palette);
        fillPicture(model);
        const std::string path = imgtest::tempPath(std::string("bench-") + row.name);
        const std::string refPath = imgtest::tempPath(std::string("bench-ref-") + row.name);
        if (ModWriteToFile(&model, row.format, path.c_str(), row.writeOptions) != 0) {
            std::printf("%-34s cannot write the file\n", row.name);
            continue;
        }
        const double pixels = double(row.width) * row.height;

        const double ourRead = measure(pixels, [&] {
            imgtest::Model m;
            int format = row.format;
            return ModReadFromFile(path.c_str(), &format, row.readOptions, &m) == 0;
        });
        const double refRead =
            row.reference.read ? measure(pixels, [&] { return row.reference.read(path); }) : 0;
        const double ourWrite = measure(pixels, [&] {
            return ModWriteToFile(&model, row.format, path.c_str(), row.writeOptions) == 0;
        });
        double refWrite = 0;
        if (row.reference.write) {
            void* prepared = row.reference.prepare(model);
            if (prepared)
                refWrite = measure(pixels, [&] {
                    return row.reference.write(refPath, model, prepared);
                });
            row.reference.release(prepared);
        }

        std::printf("%-34s", row.name);
        printCell(ourRead);
        printCell(refRead);
        printRatio(ourRead, refRead);
        printCell(ourWrite);
        printCell(refWrite);
        printRatio(ourWrite, refWrite);
        std::printf("   (%s)\n", row.reference.name);
        if (ourRead > 0 && refRead > 0 && ourRead / refRead < worstRatio)
            worstRatio = ourRead / refRead;
        if (ourWrite > 0 && refWrite > 0 && ourWrite / refWrite < worstRatio)
            worstRatio = ourWrite / refWrite;
        std::remove(path.c_str());
        std::remove(refPath.c_str());
    }
    if (worstRatio < 1e9)
        std::printf("lowest ratio: %.2f\n", worstRatio);
    return 0;
}
