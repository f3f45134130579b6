// Small helpers shared by the codec tests of the simpler formats: building file bytes inline,
// reading the plain (text) portable maps that netpbm writes beside its binary fixtures, and
// reading fixture files.
#pragma once

#include "imgio.hpp"

#include <cstdint>
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

}  // namespace codectest
