// Helpers shared by the codec tests: building file bytes inline, reading fixture files and the
// plain (text) portable maps that a reference tool decoded from them, comparing a model with
// such a map, and round trips through our own writer and reader.
#pragma once

#include "imgio.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace codectest {

using Bytes = std::vector<unsigned char>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes operator+(Bytes a, const Bytes& b)
{
    // Appended element by element: GCC 12's bounds check misreads an inlined range insert of
    // one short vector into another (-Warray-bounds on i686).
    a.reserve(a.size() + b.size());
    for (unsigned char byte : b)
        a.push_back(byte);
    return a;
}

inline void appendLE16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

inline void appendLE32(Bytes& b, uint32_t v)
{
    appendLE16(b, v & 0xFFFF);
    appendLE16(b, v >> 16);
}

inline void appendBE16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

inline std::string dataPath(const std::string& relative)
{
    return std::string(OVK_IMAGEFMT_TEST_DATA) + "/" + relative;
}

// A plain portable map (P1, P2 or P3): its size and its samples, top row first.
struct PlainMap {
    int width = 0;
    int height = 0;
    int maximum = 1;
    std::vector<int> samples;
};

inline PlainMap readPlainMap(const std::string& path)
{
    const Bytes bytes = imgtest::readFile(path);
    std::string text(bytes.begin(), bytes.end());
    PlainMap map;
    if (text.size() < 2)
        return map;
    const char kind = text[1];
    std::vector<long> numbers;
    for (size_t i = 2; i < text.size();) {
        if (text[i] == '#') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (text[i] >= '0' && text[i] <= '9') {
            // P1 packs bits without separators.
            if (kind == '1' && numbers.size() >= 2) {
                numbers.push_back(text[i++] - '0');
                continue;
            }
            numbers.push_back(std::strtol(text.c_str() + i, nullptr, 10));
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
        } else {
            ++i;
        }
    }
    if (numbers.size() < 2)
        return map;
    map.width = static_cast<int>(numbers[0]);
    map.height = static_cast<int>(numbers[1]);
    size_t first = 2;
    if (kind != '1')
        map.maximum = static_cast<int>(numbers[first++]);
    map.samples.assign(numbers.begin() + static_cast<long>(first), numbers.end());
    return map;
}

// The colour of a plain map at (x, y) from the top left as 0xRRGGBB: a plain bitmap's 1 is
// black and its 0 white; a plain pixmap's samples are scaled from its maximum.
inline uint32_t plainColour(const PlainMap& map, int x, int y)
{
    const size_t i = size_t(y) * size_t(map.width) + size_t(x);
    if (map.samples.size() < 3 * size_t(map.width) * size_t(map.height))
        return map.samples[i] ? 0x000000u : 0xFFFFFFu;
    const int* s = &map.samples[3 * i];
    return uint32_t(s[0] * 255 / map.maximum) << 16 | uint32_t(s[1] * 255 / map.maximum) << 8 |
           uint32_t(s[2] * 255 / map.maximum);
}

// The colour at (x, y), y counted from the top row: through the palette below 24 bpp.
inline uint32_t colourAt(const MOD& m, int x, int y)
{
    const uint32_t p = imgtest::pixel(m, x, m.height - 1 - y);
    return m.bpp == 24 ? p : imgtest::paletteEntry(m, static_cast<int>(p));
}

inline std::string hex(uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(v));
    return text;
}

inline bool withinTolerance(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance)
            return false;
    }
    return true;
}

// Whether every pixel of the model has the colour of the plain map (a P3 file beside the
// fixture), each component within tolerance.
inline ::testing::AssertionResult matchesPlainMap(const MOD& m, const std::string& relative,
                                                  int tolerance = 0)
{
    const PlainMap map = readPlainMap(dataPath(relative));
    if (map.width != m.width || map.height != m.height)
        return ::testing::AssertionFailure()
               << "size " << m.width << "x" << m.height << ", expected " << map.width << "x"
               << map.height << " from " << relative;
    if (map.samples.size() < size_t(3 * map.width * map.height))
        return ::testing::AssertionFailure() << relative << " is not a plain colour map";
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const uint32_t want = plainColour(map, x, y);
            const uint32_t got = colourAt(m, x, y);
            if (!withinTolerance(got, want, tolerance))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << hex(got) << ", expected " << hex(want);
        }
    return ::testing::AssertionSuccess();
}

inline int readFixture(const std::string& relative, int format, MOD* m, const char* options = "")
{
    return ModReadFromFile(dataPath(relative).c_str(), &format, options, m);
}

// Writes a pattern model of the size and depth and reads the file back into out; the code of
// the first step that fails, else 0.
inline int roundTrip(int format, int width, int height, int bpp, const char* writeOptions,
                     imgtest::Model* source, imgtest::Model* out)
{
    if (const int code = imgtest::makePatternModel(width, height, bpp, source))
        return code;
    int code = 0;
    const Bytes file = imgtest::writeToBytes(source, format, writeOptions, &code);
    if (code != 0)
        return code;
    return imgtest::readFromBytes(file, format, "", out);
}

}  // namespace codectest
