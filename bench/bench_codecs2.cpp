// Throughput of the Greymap and Pixmap readers and writers against stb_image's reader, from the
// same files on disk, with the ratio printed in one run. Both readers open the file, parse the
// header and produce every pixel; ours also turns rows bottom-up and pixels blue-green-red, while
// stb_image hands the file's samples out as they are. A ratio of 1 is parity, above 1 we are
// faster. Each row also checks that both readers agree on the pixels.
#include "bench_codecs.hpp"

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using benchcodecs::secondsPerCall;

using Row = benchcodecs::Picture;

// Whether our reader and stb_image give the same samples for the file.
bool sameAsReference(const std::string& path, const Row& row)
{
    imgtest::Model ours;
    int format = row.format;
    if (ModReadFromFile(path.c_str(), &format, nullptr, &ours) != 0)
        return false;
    int w = 0, h = 0, n = 0;
    unsigned char* reference = stbi_load(path.c_str(), &w, &h, &n, 0);
    bool same = reference && w == row.width && h == row.height && n == row.bpp / 8;
    for (int y = 0; same && y < h; ++y)
        for (int x = 0; same && x < w; ++x) {
            const unsigned char* s = reference + (size_t(y) * w + x) * n;
            const uint32_t v = imgtest::pixel(ours, x, h - 1 - y);
            if (n == 1)
                same = s[0] == (imgtest::paletteEntry(ours, int(v)) & 0xFF);
            else
                same = v == (uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2]);
        }
    stbi_image_free(reference);
    return same;
}

int benchRow(const Row& row)
{
    imgtest::Model model;
    if (imgtest::makePatternModel(row.width, row.height, row.bpp, &model) != 0)
        return 1;
    const std::string path = imgtest::tempPath(std::string("bench.") + row.name);
    if (ModWriteToFile(&model, row.format, path.c_str(), nullptr) != 0)
        return 1;
    const double megabytes = double(row.width) * row.height * (row.bpp / 8) / 1e6;
    const int runs = std::max(1, int(200 / megabytes));

    bool failed = !sameAsReference(path, row);
    const double ours = secondsPerCall(runs, [&] {
        imgtest::Model m;
        int format = row.format;
        failed |= ModReadFromFile(path.c_str(), &format, nullptr, &m) != 0;
    });
    const double reference = secondsPerCall(runs, [&] {
        int w = 0, h = 0, n = 0;
        unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, 0);
        failed |= pixels == nullptr || w != row.width || h != row.height;
        stbi_image_free(pixels);
    });
    const double write = secondsPerCall(std::max(1, runs / 2), [&] {
        failed |= ModWriteToFile(&model, row.format, path.c_str(), nullptr) != 0;
    });
    std::remove(path.c_str());
    if (failed)
        return 1;
    std::printf("%-8s %5dx%-5d read %8.1f MB/s   stb_image %8.1f MB/s   ratio (ours/stb) %5.2f"
                "   write %8.1f MB/s\n",
                row.name, row.width, row.height, megabytes / ours, megabytes / reference,
                reference / ours, megabytes / write);
    return 0;
}

}  // namespace

int main()
{
    const Row rows[] = {
        {"pgm", ModFormatGreymap, 8, 2048, 2048},
        {"pgm", ModFormatGreymap, 8, 333, 211},
        {"ppm", ModFormatPixmap, 24, 2048, 2048},
        {"ppm", ModFormatPixmap, 24, 333, 211},
    };
    return benchcodecs::runRows(rows, benchRow);
}
