// The table of the fourteen image file formats: one row per format with six operations, the
// guess of a format from a file name's extension, and the mapping of the model's and the codecs'
// codes to message numbers of the resource library. Portable.
#pragma once

#include <imodel.hpp>

// What a row's query answers.
struct ModFormatInfo {
    const char* shortName = nullptr;
    const char* description = nullptr;
    const char* extensions = nullptr;  // without the dot, separated by blanks
    unsigned flags = 0;                // ModFormatReads1 ... ModFormatWrites24
};

enum : unsigned {
    ModFormatReads1 = 0x01,
    ModFormatReads4 = 0x02,
    ModFormatReads8 = 0x04,
    ModFormatReads24 = 0x08,
    ModFormatWrites1 = 0x10,
    ModFormatWrites4 = 0x20,
    ModFormatWrites8 = 0x40,
    ModFormatWrites24 = 0x80
};

// The row index of each format, the number used everywhere a format is named. Some formats
// cannot hold every model as it is, and their writers change it on the way, as noted.
enum : int {
    ModFormatGuess = -1,
    ModFormatBitmap = 0,     // reads 1, 4, 8 and 24 bits; 16 and 32-bit files give message 275
    ModFormatGIF = 1,
    ModFormatPCX = 2,
    ModFormatTIFF = 3,
    ModFormatTarga = 4,
    ModFormatILBM = 5,       // writes a 24-bit model as HAM6, lossy (four bits a component)
    ModFormatYUV12C = 6,     // writes whole groups of 4 pixels: width 67 comes back as 64
    ModFormatGreymap = 7,
    ModFormatPixmap = 8,
    ModFormatVORN = 9,
    ModFormatZVX = 10,       // stores no width: read back with "width=" (default 512)
    ModFormatXBitmap = 11,
    ModFormatSprite = 12,
    ModFormatPLVN = 13,      // writes whole bytes: width 67 comes back as 72, white added
    ModFormatRows = 14
};

// Codes that every codec uses the same way; each format also has its own range from 100 up.
enum : int {
    ModCodecNoMemory = 1,
    ModCodecUnsupported = 2,   // the model's depth or a variant of the file
    ModCodecBadOption = 3,     // a bad option or combination of options
    ModCodecNoFormat = 4,      // no format lists the extension, or no row has that index
    ModCodecBadSignature = 5,  // the file does not start with the format's signature
    ModCodecBadSize = 6,       // a bad width or height
    ModCodecShortRead = 7,     // a read is short or the data ends early
    ModCodecShortWrite = 8     // a write is short
};

OVKWIN_API int ModFormatCount(int* count);
OVKWIN_API int ModFormatInit();
OVKWIN_API int ModFormatTerm();

// Each calls the operation of the row with that index and returns its result; an index outside
// 0 to 13 gives ModCodecNoFormat.
OVKWIN_API int ModFormatQuery(int index, ModFormatInfo* info);
OVKWIN_API int ModFormatReadHeader(const char* path, int fd, int index, MOD* model,
                                   const char* options);
OVKWIN_API int ModFormatReadPalette(int fd, int index, MOD* model, unsigned char* palette);
OVKWIN_API int ModFormatReadData(int fd, int index, MOD* model, unsigned char* data);
OVKWIN_API int ModFormatWrite(const char* path, int fd, int index, const MOD* model,
                              const unsigned char* palette, const unsigned char* data,
                              const char* options);

// The first row that lists the path's extension (compared without regard to case): 0 and the
// index, or ModCodecNoFormat.
OVKWIN_API int ModGuessFormat(const char* path, int* index);

// The message number of a model code or of ModCodecError + a codec code; 0 for success.
OVKWIN_API int ModErrorMessage(int code);
