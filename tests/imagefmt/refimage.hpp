// Checks shared by the tests of the GIF, TIFF, PCX, Targa and ILBM codecs: a model compared with
// the plain portable map that a reference tool decoded from the same fixture, and round trips
// through our own writer and reader.
#pragma once

#include "codectest.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace refimage {

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

inline bool near(uint32_t a, uint32_t b, int tolerance)
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
    const codectest::PlainMap map = codectest::readPlainMap(codectest::dataPath(relative));
    if (map.width != m.width || map.height != m.height)
        return ::testing::AssertionFailure()
               << "size " << m.width << "x" << m.height << ", expected " << map.width << "x"
               << map.height << " from " << relative;
    if (map.samples.size() < size_t(3 * map.width * map.height))
        return ::testing::AssertionFailure() << relative << " is not a plain colour map";
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int* s = &map.samples[size_t(3 * (y * m.width + x))];
            const uint32_t want = uint32_t(s[0] * 255 / map.maximum) << 16 |
                                  uint32_t(s[1] * 255 / map.maximum) << 8 |
                                  uint32_t(s[2] * 255 / map.maximum);
            const uint32_t got = colourAt(m, x, y);
            if (!near(got, want, tolerance))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << hex(got) << ", expected " << hex(want);
        }
    return ::testing::AssertionSuccess();
}

inline int readFixture(const std::string& relative, int format, MOD* m, const char* options = "")
{
    return ModReadFromFile(codectest::dataPath(relative).c_str(), &format, options, m);
}

// Writes a pattern model of the size and depth and reads the file back into out; the code of
// the first step that fails, else 0.
inline int roundTrip(int format, int width, int height, int bpp, const char* writeOptions,
                     imgtest::Model* source, imgtest::Model* out)
{
    if (const int code = imgtest::makePatternModel(width, height, bpp, source))
        return code;
    int code = 0;
    const codectest::Bytes file = imgtest::writeToBytes(source, format, writeOptions, &code);
    if (code != 0)
        return code;
    return imgtest::readFromBytes(file, format, "", out);
}

}  // namespace refimage
