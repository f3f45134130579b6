// The VORN and ZVX codecs, two plain 8-bpp formats. VORN has a 32-byte header and keeps its
// palette in a side file next to the image (".pal" by default, ".vrl" with the option "vrl");
// ZVX is raw grey pixels without a header, whose width is an option: a file reads back with its
// own shape only when the reader is given the width it was written with (the default is 512).
#include "detail/icodec.hpp"
#include "detail/ifileio.hpp"

#include <ovkmsgid.hpp>

#include <vector>

namespace imgfmt {

namespace {

enum : int { VornNoSideFile = 500, VornCannotCreateSideFile = 501, ZvxSizeNotRows = 1500 };

constexpr int kHeaderBytes = 32;
constexpr char kMagic[] = "DFIMAG00";
// The image path kept between the operations, with its terminator.
constexpr int kPathBytes = 604;
// The side file's name may be longer by ".pal" when the image path has no extension.
constexpr int kSideNameBytes = kPathBytes + 4;
constexpr int kZvxDefaultWidth = 512;

// What VORN's read header leaves for read palette.
struct VornState {
    char path[kPathBytes];
    bool vrl;
};

// Reading and writing take "pal" or "vrl", not both.
int vornOptions(const char* options, bool* vrl)
{
    const bool pal = hasOption(options, "pal") != nullptr;
    *vrl = hasOption(options, "vrl") != nullptr;
    return pal && *vrl ? ModCodecBadOption : 0;
}

void buildHeader(unsigned char* header, int width, int height)
{
    std::memset(header, 0, kHeaderBytes);
    std::memcpy(header, kMagic, 8);
    putLE16(header + 8, static_cast<unsigned>(height));
    putLE16(header + 10, static_cast<unsigned>(width));
    header[12] = 1;
}

// The side file's name: the image path with its extension replaced, or with one appended when
// it has none. Only a '.' after the last directory separator starts an extension, so that the
// side file of dir.old/photo is dir.old/photo.pal and never dir.pal, which may be the palette of
// another image. False when the name does not fit.
bool sideFileName(const char* path, bool vrl, char* name)
{
    const size_t length = std::strlen(path);
    if (length + 5 > size_t(kSideNameBytes))
        return false;
    std::memcpy(name, path, length + 1);
    char* dot = std::strrchr(name, '.');
    const char* slash = std::strrchr(name, '/');
    const char* backslash = std::strrchr(name, '\\');
    if (backslash > slash)
        slash = backslash;
    if (dot && (!slash || slash < dot))
        std::memcpy(dot + 1, vrl ? "vrl" : "pal", 4);
    else
        std::memcpy(name + length, vrl ? ".vrl" : ".pal", 5);
    return true;
}

// A ".pal" side file: 256 entries of red, blue, green and a byte that is not used.
int readPalForm(int fd, unsigned char* palette)
{
    unsigned char entries[256 * 4];
    if (fileReadFull(fd, entries, sizeof entries) != int64_t(sizeof entries))
        return ModCodecShortRead;
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = entries[4 * i];
        palette[3 * i + 1] = entries[4 * i + 2];
        palette[3 * i + 2] = entries[4 * i + 1];
    }
    return 0;
}

// A ".vrl" side file: an image header of 256 by 3, then the red, blue and green planes.
int readVrlForm(int fd, unsigned char* palette)
{
    unsigned char header[kHeaderBytes];
    if (fileReadFull(fd, header, kHeaderBytes) != kHeaderBytes)
        return ModCodecShortRead;
    if (std::memcmp(header, kMagic, 8) != 0)
        return ModCodecBadSignature;
    if (getLE16(header + 10) != 256 || getLE16(header + 8) != 3)
        return ModCodecBadSize;
    unsigned char planes[768];
    if (fileReadFull(fd, planes, sizeof planes) != int64_t(sizeof planes))
        return ModCodecShortRead;
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = planes[i];
        palette[3 * i + 1] = planes[512 + i];
        palette[3 * i + 2] = planes[256 + i];
    }
    return 0;
}

int writeSideFile(int fd, bool vrl, const unsigned char* palette)
{
    unsigned char block[kHeaderBytes + 1024];
    int length = 0;
    if (vrl) {
        buildHeader(block, 256, 3);
        for (int i = 0; i < 256; ++i) {
            block[kHeaderBytes + i] = palette[3 * i];
            block[kHeaderBytes + 256 + i] = palette[3 * i + 2];
            block[kHeaderBytes + 512 + i] = palette[3 * i + 1];
        }
        length = kHeaderBytes + 768;
    } else {
        for (int i = 0; i < 256; ++i) {
            block[4 * i] = palette[3 * i];
            block[4 * i + 1] = palette[3 * i + 2];
            block[4 * i + 2] = palette[3 * i + 1];
            block[4 * i + 3] = 0;
        }
        length = 1024;
    }
    return fileWriteFull(fd, block, length) == length ? 0 : ModCodecShortWrite;
}

// Rows of width bytes, top row first, from the current file position.
int readRawRows(int fd, MOD* model, unsigned char* data)
{
    const int rowBytes = ModRowBytes(model->width, 8);
    for (int y = model->height - 1; y >= 0; --y)
        if (fileReadFull(fd, data + int64_t(y) * rowBytes, model->width) != model->width)
            return ModCodecShortRead;
    return 0;
}

int vornQuery(ModFormatInfo* info)
{
    info->shortName = "VORN";
    info->description = "Vek VORN";
    info->extensions = "VRN";
    info->flags = 0x44;
    return 0;
}

int vornReadHeader(const char* path, int fd, MOD* model, const char* options)
{
    VornState state{};
    if (const int code = vornOptions(options, &state.vrl))
        return code;
    unsigned char header[kHeaderBytes];
    if (fileSeek(fd, 0, FileSeekSet) != 0 || fileReadFull(fd, header, kHeaderBytes) != kHeaderBytes)
        return ModCodecShortRead;
    if (std::memcmp(header, kMagic, 8) != 0)
        return ModCodecBadSignature;
    const int height = static_cast<int>(getLE16(header + 8));
    const int width = static_cast<int>(getLE16(header + 10));
    if (width == 0 || height == 0)
        return ModCodecBadSize;
    // The pixels must be in the file: a cut file must not read as a whole picture.
    const int64_t size = fileSize(fd);
    if (size < 0 || size - kHeaderBytes < int64_t(width) * height)
        return ModCodecShortRead;
    // Read palette opens the side file by this path; one longer than the work area can hold
    // could only name the wrong file.
    if (!path || std::strlen(path) >= size_t(kPathBytes))
        return VornNoSideFile;
    std::memcpy(state.path, path, std::strlen(path) + 1);
    storeCodecState(model, state);
    model->width = width;
    model->height = height;
    model->bpp = 8;
    return 0;
}

int vornReadPalette(int, MOD* model, unsigned char* palette)
{
    VornState state = loadCodecState<VornState>(model);
    state.path[kPathBytes - 1] = '\0';
    char name[kSideNameBytes];
    if (!sideFileName(state.path, state.vrl, name))
        return VornNoSideFile;
    const int side = fileOpenRead(name);
    if (side < 0)
        return VornNoSideFile;
    const int code = state.vrl ? readVrlForm(side, palette) : readPalForm(side, palette);
    fileClose(side);
    return code;
}

int vornReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    if (fileSeek(fd, kHeaderBytes, FileSeekSet) != kHeaderBytes)
        return ModCodecShortRead;
    return readRawRows(fd, model, data);
}

int vornWrite(const char* path, int fd, const MOD* model, const unsigned char* palette,
              const unsigned char* data, const char* options)
{
    if (model->bpp != 8)
        return ModCodecUnsupported;
    bool vrl = false;
    if (const int code = vornOptions(options, &vrl))
        return code;
    // The header holds 16-bit sizes: a larger picture would be stored cut and read as garbage.
    if (model->width > 0xFFFF || model->height > 0xFFFF)
        return ModCodecBadSize;
    char name[kSideNameBytes];
    if (!path || !sideFileName(path, vrl, name))
        return VornCannotCreateSideFile;
    unsigned char header[kHeaderBytes];
    buildHeader(header, model->width, model->height);
    if (fileWriteFull(fd, header, kHeaderBytes) != kHeaderBytes)
        return ModCodecShortWrite;
    const int rowBytes = ModRowBytes(model->width, 8);
    for (int y = model->height - 1; y >= 0; --y)
        if (fileWriteFull(fd, data + int64_t(y) * rowBytes, model->width) != model->width)
            return ModCodecShortWrite;
    const int side = fileOpenWrite(name);
    if (side < 0)
        return VornCannotCreateSideFile;
    const int code = writeSideFile(side, vrl, palette);
    fileClose(side);
    // A palette cut short would later be refused or read wrong; the caller deletes the image.
    if (code)
        fileUnlink(name);
    return code;
}

int vornMessage(int code)
{
    switch (code) {
    case VornNoSideFile: return static_cast<int>(OVK_MSG_VORN_PALETTE_NOT_OPENED);
    case VornCannotCreateSideFile: return static_cast<int>(OVK_MSG_VORN_PALETTE_NOT_CREATED);
    default: return 0;
    }
}

// The number after "width=": decimal digits only, up to the end of the token. "width=12x" or a
// number that overflows is an error, never a silently different width.
bool widthOption(const char* options, int* width)
{
    const char* found = findOption(options, "width=");
    if (!found)
        return true;
    const char* p = found + 6;
    if (*p < '0' || *p > '9')
        return false;
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > 0x7FFFFFFF)
            return false;
    }
    if (*p && *p != ' ' && *p != '\t' && *p != ',')
        return false;
    *width = static_cast<int>(n);
    return true;
}

int zvxQuery(ModFormatInfo* info)
{
    info->shortName = "ZVX";
    info->description = "Vek Zorvex";
    info->extensions = "ZVX";
    info->flags = 0x44;
    return 0;
}

int zvxReadHeader(const char*, int fd, MOD* model, const char* options)
{
    int width = kZvxDefaultWidth;
    if (!widthOption(options, &width))
        return ModCodecBadOption;
    const int64_t size = fileSize(fd);
    if (size < 0 || fileSeek(fd, 0, FileSeekSet) != 0)
        return ModCodecShortRead;
    if (width < 1 || size < width)
        return ModCodecBadSize;
    if (size % width != 0)
        return ZvxSizeNotRows;
    const int64_t height = size / width;
    if (height > 0x7FFFFFFF)
        return ModCodecNoMemory;
    model->width = width;
    model->height = static_cast<int>(height);
    model->bpp = 8;
    return 0;
}

int zvxReadPalette(int, MOD*, unsigned char* palette)
{
    for (int i = 0; i < 256; ++i)
        std::memset(palette + 3 * i, i, 3);
    return 0;
}

int zvxReadData(int fd, MOD* model, unsigned char* data)
{
    clearData(model, data);
    if (fileSeek(fd, 0, FileSeekSet) != 0)
        return ModCodecShortRead;
    return readRawRows(fd, model, data);
}

int zvxWrite(const char*, int fd, const MOD* model, const unsigned char* palette,
             const unsigned char* data, const char* options)
{
    if (model->bpp != 8)
        return ModCodecUnsupported;
    unsigned char grey[256];
    if (const int code = greyOfPalette(options, palette, grey))
        return code;
    std::vector<unsigned char> scratch;
    if (!sizeScratch(scratch, static_cast<size_t>(model->width)))
        return ModCodecNoMemory;
    unsigned char* const buffer = scratch.data();
    const int rowBytes = ModRowBytes(model->width, 8);
    int code = 0;
    for (int y = model->height - 1; y >= 0 && code == 0; --y) {
        const unsigned char* row = data + int64_t(y) * rowBytes;
        for (int x = 0; x < model->width; ++x)
            buffer[x] = grey[row[x]];
        if (fileWriteFull(fd, buffer, model->width) != model->width)
            code = ModCodecShortWrite;
    }
    return code;
}

int zvxMessage(int code)
{
    return code == ZvxSizeNotRows ? static_cast<int>(OVK_MSG_ZVX_FILE_SIZE) : 0;
}

}  // namespace

const FormatRow vornRow = {vornQuery,    vornReadHeader, vornReadPalette,
                           vornReadData, vornWrite,      vornMessage};

const FormatRow zvxRow = {zvxQuery, zvxReadHeader, zvxReadPalette, zvxReadData, zvxWrite,
                          zvxMessage};

}  // namespace imgfmt
