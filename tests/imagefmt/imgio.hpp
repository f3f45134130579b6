// Helpers of the codec tests, fuzzers and benchmarks (no GoogleTest here): files in a private
// temporary folder, reading a model from bytes in memory, and models that free their data.
#pragma once

#include <imodel.hpp>
#include <iimgfmt.hpp>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace imgtest {

// A model that frees its data when it goes out of scope.
struct Model : MOD {
    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    ~Model() { ModFreeData(this); }
};

// A temporary folder of this process, removed with everything in it when the process ends.
class TempFolder {
public:
    TempFolder()
    {
#if defined(_WIN32)
        const int pid = _getpid();
#else
        const int pid = static_cast<int>(getpid());
#endif
        std::error_code ignored;
        fPath = std::filesystem::temp_directory_path(ignored) / ("ovkimg-" + std::to_string(pid));
        std::filesystem::create_directories(fPath, ignored);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(fPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return fPath; }

private:
    std::filesystem::path fPath;
};

// A path in the temporary folder of this process; the same name gives the same path.
inline std::string tempPath(const std::string& name)
{
    static const TempFolder folder;
    return (folder.path() / name).string();
}

inline bool writeFile(const std::string& path, const void* bytes, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

inline bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    return writeFile(path, bytes.data(), bytes.size());
}

inline std::vector<unsigned char> readFile(const std::string& path)
{
    std::vector<unsigned char> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
    return bytes;
}

// Reads a model of the given format from bytes, through a scratch file named after the format
// (the extension matters only to a guess): the code of ModReadFromFile.
inline int readFromBytes(const void* bytes, size_t size, int format, const char* options,
                         MOD* out)
{
    const std::string path = tempPath("scratch-read." + std::to_string(format));
    if (!writeFile(path, bytes, size))
        return -1;
    return ModReadFromFile(path.c_str(), &format, options, out);
}

inline int readFromBytes(const std::vector<unsigned char>& bytes, int format,
                         const char* options, MOD* out)
{
    return readFromBytes(bytes.data(), bytes.size(), format, options, out);
}

// Writes a model and returns the file's bytes (empty when the write failed; *code tells why).
inline std::vector<unsigned char> writeToBytes(const MOD* model, int format, const char* options,
                                               int* code = nullptr)
{
    const std::string path = tempPath("scratch-write." + std::to_string(format));
    const int result = ModWriteToFile(model, format, path.c_str(), options);
    if (code)
        *code = result;
    return result == 0 ? readFile(path) : std::vector<unsigned char>();
}

// The pixel at (x, y), y counted from the bottom row: a palette index, or 0xRRGGBB at 24 bpp.
inline uint32_t pixel(const MOD& m, int x, int y)
{
    const unsigned char* row = m.data + static_cast<size_t>(y) * ModRowBytes(m.width, m.bpp);
    switch (m.bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8: return row[x];
    default: {
        const unsigned char* p = row + 3 * x;
        return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    }
}

inline void setPixel(MOD& m, int x, int y, uint32_t value)
{
    unsigned char* row = m.data + static_cast<size_t>(y) * ModRowBytes(m.width, m.bpp);
    switch (m.bpp) {
    case 1: {
        const unsigned char bit = static_cast<unsigned char>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<unsigned char>(value ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4:
        row[x >> 1] = static_cast<unsigned char>(
            (x & 1) ? (row[x >> 1] & 0xF0) | (value & 0x0F) : (row[x >> 1] & 0x0F) | (value << 4));
        break;
    case 8: row[x] = static_cast<unsigned char>(value); break;
    default:
        row[3 * x] = static_cast<unsigned char>(value);
        row[3 * x + 1] = static_cast<unsigned char>(value >> 8);
        row[3 * x + 2] = static_cast<unsigned char>(value >> 16);
        break;
    }
}

// The palette entry i as 0xRRGGBB.
inline uint32_t paletteEntry(const MOD& m, int i)
{
    return (uint32_t(m.palette[3 * i]) << 16) | (uint32_t(m.palette[3 * i + 1]) << 8) |
           m.palette[3 * i + 2];
}

// Whether two models have the same size, depth and pixels (row padding ignored).
inline bool samePixels(const MOD& a, const MOD& b)
{
    if (a.width != b.width || a.height != b.height || a.bpp != b.bpp || !a.data || !b.data)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (pixel(a, x, y) != pixel(b, x, y))
                return false;
    return true;
}

// The pixels of a small model as text, bottom row first: "row0 | row1 ...", the pixels of a
// row separated by blanks.
inline std::string rows(const MOD& m)
{
    std::string text;
    for (int y = 0; y < m.height; ++y) {
        if (y)
            text += " | ";
        for (int x = 0; x < m.width; ++x)
            text += (x ? " " : "") + std::to_string(pixel(m, x, y));
    }
    return text;
}

// A model of the given size whose pixels follow a fixed pattern that uses every index of the
// depth (or many colours at 24 bpp) and an ascending palette that tells entries apart.
inline int makePatternModel(int width, int height, int bpp, MOD* out)
{
    unsigned char palette[768];
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<unsigned char>(i);
        palette[3 * i + 1] = static_cast<unsigned char>(255 - i);
        palette[3 * i + 2] = static_cast<unsigned char>(i * 7);
    }
    if (const int code = ModCreate(width, height, bpp, palette, out))
        return code;
    const uint32_t mask = bpp == 24 ? 0xFFFFFFu : (1u << bpp) - 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setPixel(*out, x, y, (uint32_t(x) * 2654435761u + uint32_t(y) * 40503u) >> 8 & mask);
    return 0;
}

}  // namespace imgtest
