// What the codec benchmark shares: the timing of a call, its test pictures and the top-down forms
// in which the reference libraries take a picture.
#pragma once

#include "imgio.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

namespace benchcodecs {

using Clock = std::chrono::steady_clock;

// Seconds of processor time this thread has used, in the program and in the system on its
// behalf (reading and writing files included): unlike the wall clock, it does not count the
// time the thread waits for a processor, so a machine shared with other work still gives
// figures that compare.
inline double threadSeconds()
{
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
#else
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
#endif
}

// Pictures that compress the way scans and renderings do (smooth areas, edges, some grain), and
// noise, the worst case for every compressor: an LZW table then fills and clears constantly.
enum class Content {
    Smooth,
    Noise
};

inline uint32_t hash(uint32_t x, uint32_t y)
{
    return (x * 2654435761u) ^ (y * 40503u + 0x9E3779B9u) * 2246822519u;
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

// A grey ramp, for the formats that store greys rather than palette indices.
inline void fillGreys(unsigned char* palette)
{
    for (int i = 0; i < 256; ++i)
        palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<unsigned char>(i);
}

inline int makePicture(int width, int height, int bpp, Content content, bool greys, MOD* out)
{
    unsigned char palette[768];
    if (greys)
        fillGreys(palette);
    else
        fillPalette(palette);
    if (ModCreate(width, height, bpp, palette, out) != 0)
        return 1;
    const uint32_t mask = bpp == 24 ? 0xFFFFFFu : (1u << bpp) - 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t n = hash(uint32_t(x), uint32_t(y));
            uint32_t v;
            if (content == Content::Noise) {
                v = n >> 8;
            } else {
                const uint32_t band = uint32_t((x / 37 + y / 23) % 5);
                const uint32_t grain = (n >> 24 & 3) * (band == 0);
                if (bpp == 24)
                    v = (uint32_t(x * 255 / width) + grain) << 16 |
                        uint32_t(y * 255 / height) << 8 | (band * 50 + grain);
                else
                    v = uint32_t(x / 8 + y / 6) + band * 40 + grain;
            }
            imgtest::setPixel(*out, x, y, v & mask);
        }
    return 0;
}

// The pixels of a model top row first: palette indices at 8 bpp (one byte each), red, green,
// blue bytes at 24 bpp.
inline std::vector<unsigned char> topDown(const MOD& m)
{
    const size_t per = m.bpp == 24 ? 3 : 1;
    std::vector<unsigned char> out(size_t(m.width) * size_t(m.height) * per);
    unsigned char* q = out.data();
    for (int y = m.height - 1; y >= 0; --y)
        for (int x = 0; x < m.width; ++x) {
            const uint32_t p = imgtest::pixel(m, x, y);
            if (per == 1) {
                *q++ = static_cast<unsigned char>(p);
            } else {
                *q++ = static_cast<unsigned char>(p >> 16);
                *q++ = static_cast<unsigned char>(p >> 8);
                *q++ = static_cast<unsigned char>(p);
            }
        }
    return out;
}

// The median processor time of one call over rounds of about 20 ms, ours and the reference's
// taken in turn so that a busy moment of the machine weighs on both: seconds per call of each.
template <class Ours, class Theirs>
void timeBoth(Ours ours, Theirs theirs, double* oursSeconds, double* theirsSeconds)
{
    auto callsFor = [](auto body) {
        int calls = 1;
        for (;;) {
            const double start = threadSeconds();
            for (int i = 0; i < calls; ++i)
                body();
            if (threadSeconds() - start > 0.02 || calls > (1 << 20))
                return calls;
            calls *= 2;
        }
    };
    const int oursCalls = callsFor(ours), theirsCalls = callsFor(theirs);
    auto oneRound = [](auto body, int calls) {
        const double start = threadSeconds();
        for (int i = 0; i < calls; ++i)
            body();
        return (threadSeconds() - start) / calls;
    };
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::vector<double> oursRounds, theirsRounds;
    for (int round = 0; round < 7; ++round) {
        oursRounds.push_back(oneRound(ours, oursCalls));
        theirsRounds.push_back(oneRound(theirs, theirsCalls));
    }
    *oursSeconds = median(oursRounds);
    *theirsSeconds = median(theirsRounds);
}

}  // namespace benchcodecs
