// The format table: dispatch by row index, the guess by extension and the error messages.
#include "detail/icodec.hpp"

#include <ovkmsgid.hpp>

namespace imgfmt {

namespace {

const FormatRow* const kRows[ModFormatRows] = {
    &bitmapRow, &gifRow,     &pcxRow,    &tiffRow,   &targaRow,   &ilbmRow,   &yuv12cRow,
    &greymapRow, &pixmapRow, &vornRow,   &zvxRow,    &xbitmapRow, &spriteRow, &plvnRow,
};

bool isTokenSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether the extension list names extension (whole tokens, without regard to case).
bool listsExtension(const char* list, const char* extension)
{
    const size_t length = std::strlen(extension);
    const char* p = list;
    while (p && *p) {
        while (*p && isTokenSeparator(*p))
            ++p;
        const char* token = p;
        while (*p && !isTokenSeparator(*p))
            ++p;
        if (static_cast<size_t>(p - token) != length || p == token)
            continue;
        size_t i = 0;
        while (i < length && upper(token[i]) == upper(extension[i]))
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

}  // namespace

const FormatRow* formatRow(int index)
{
    // Callers pass indices from files, options and applications: one out of range must not
    // index past the table.
    if (index < 0 || index >= ModFormatRows)
        return nullptr;
    return kRows[index];
}

}  // namespace imgfmt

using imgfmt::formatRow;
using imgfmt::FormatRow;

int ModFormatCount(int* count)
{
    *count = ModFormatRows;
    return 0;
}

int ModFormatInit() { return 0; }

int ModFormatTerm() { return 0; }

int ModFormatQuery(int index, ModFormatInfo* info)
{
    const FormatRow* row = formatRow(index);
    return row ? row->query(info) : ModCodecNoFormat;
}

int ModFormatReadHeader(const char* path, int fd, int index, MOD* model, const char* options)
{
    const FormatRow* row = formatRow(index);
    return row ? row->readHeader(path, fd, model, options) : ModCodecNoFormat;
}

int ModFormatReadPalette(int fd, int index, MOD* model, unsigned char* palette)
{
    const FormatRow* row = formatRow(index);
    return row ? row->readPalette(fd, model, palette) : ModCodecNoFormat;
}

int ModFormatReadData(int fd, int index, MOD* model, unsigned char* data)
{
    const FormatRow* row = formatRow(index);
    return row ? row->readData(fd, model, data) : ModCodecNoFormat;
}

int ModFormatWrite(const char* path, int fd, int index, const MOD* model,
                   const unsigned char* palette, const unsigned char* data, const char* options)
{
    const FormatRow* row = formatRow(index);
    return row ? row->write(path, fd, model, palette, data, options) : ModCodecNoFormat;
}

int ModGuessFormat(const char* path, int* index)
{
    const char* extension = imgfmt::fileExtension(path);
    if (!extension)
        extension = "";
    for (int i = 0; i < ModFormatRows; ++i) {
        ModFormatInfo info;
        formatRow(i)->query(&info);
        if (imgfmt::listsExtension(info.extensions, extension)) {
            *index = i;
            return 0;
        }
    }
    return ModCodecNoFormat;
}

int ModErrorMessage(int code)
{
    if (code == 0 || code == ModCodecError)
        return 0;
    if (code < ModCodecError) {
        switch (code) {
        case ModErrNoMemory: return OVK_MSG_OUT_OF_MEMORY;
        case ModErrOpenRead: return OVK_MSG_IMAGE_FILE_NOT_READABLE;
        case ModErrOpenWrite: return OVK_MSG_IMAGE_FILE_NOT_WRITABLE;
        case ModErrDepth: return OVK_MSG_IMAGE_DEPTH_NOT_WRITABLE;
        case ModErrNoScreen: return OVK_MSG_IMAGE_NO_SCREEN_CONTEXT;
        case 6: return OVK_MSG_IMAGE_MODEL_ERROR_6;
        case ModErrNative: return OVK_MSG_IMAGE_BITMAP_NOT_CREATED;
        case 8: return OVK_MSG_IMAGE_MODEL_ERROR_8;
        case 9: return OVK_MSG_IMAGE_MODEL_ERROR_9;
        default: return OVK_MSG_IMAGE_UNKNOWN_ERROR;
        }
    }
    switch (code - ModCodecError) {
    case ModCodecNoMemory: return OVK_MSG_OUT_OF_MEMORY;
    case ModCodecUnsupported: return OVK_MSG_IMAGE_VARIANT_UNSUPPORTED;
    case ModCodecBadOption: return OVK_MSG_IMAGE_BAD_OPTIONS;
    case ModCodecNoFormat: return OVK_MSG_IMAGE_UNKNOWN_EXTENSION;
    case ModCodecBadSignature: return OVK_MSG_IMAGE_BAD_SIGNATURE;
    case ModCodecBadSize: return OVK_MSG_IMAGE_BAD_SIZE;
    case ModCodecShortRead: return OVK_MSG_IMAGE_READ_FAILED;
    case ModCodecShortWrite: return OVK_MSG_IMAGE_WRITE_FAILED;
    default: break;
    }
    for (int i = 0; i < ModFormatRows; ++i)
        if (const int message = formatRow(i)->message(code - ModCodecError))
            return message;
    return OVK_MSG_IMAGE_UNKNOWN_ERROR;
}
