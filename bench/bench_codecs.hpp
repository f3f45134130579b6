// What the codec benchmarks share: the timing of a call, the palette of their test pictures and
// the top-down RGB form in which the reference libraries take a picture.
#pragma once

#include "imgio.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace benchcodecs {

using Clock = std::chrono::steady_clock;

// A test picture: what a row of a benchmark table names first.
struct Picture {
    const char* name;
    int format;
    int bpp;
    int width;
    int height;
};

// The best of a few rounds of `runs` calls, in seconds per call: the least disturbed figure.
template <class Body>
double secondsPerCall(int runs, Body body)
{
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < runs; ++i)
            body();
        const std::chrono::duration<double> took = Clock::now() - start;
        best = std::min(best, took.count() / runs);
    }
    return best;
}

// Runs the benchmark of every row of the table: 0, or 1 when a row failed to read or write its
// file (which the row's benchmark returns as not 0).
template <class Row, size_t N, class Benchmark>
int runRows(const Row (&rows)[N], Benchmark benchmark)
{
    int status = 0;
    for (const Row& row : rows)
        status |= benchmark(row);
    if (status)
        std::printf("a benchmark failed to read or write its file\n");
    return status;
}

// A palette in which every index has a colour of its own.
inline void fillPalette(unsigned char* palette)
{
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<unsigned char>(i);
        palette[3 * i + 1] = static_cast<unsigned char>((i * 3) & 255);
        palette[3 * i + 2] = static_cast<unsigned char>(255 - i);
    }
}

// The pixels of a 24-bit model as red, green, blue bytes, top row first.
inline std::vector<unsigned char> topDownRgb(const MOD& m)
{
    std::vector<unsigned char> rgb(size_t(m.width) * size_t(m.height) * 3);
    unsigned char* q = rgb.data();
    for (int y = m.height - 1; y >= 0; --y)
        for (int x = 0; x < m.width; ++x) {
            const uint32_t p = imgtest::pixel(m, x, y);
            *q++ = static_cast<unsigned char>(p >> 16);
            *q++ = static_cast<unsigned char>(p >> 8);
            *q++ = static_cast<unsigned char>(p);
        }
    return rgb;
}

}  // namespace benchcodecs
