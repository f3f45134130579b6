// The in-memory bitmap model: the image that every codec reads into and writes from, and the
// free functions that build, copy, reshape, reduce and store it.
//
// A model is a plain record: nothing here is a class, takes a lock or throws. Every function
// returns an integer code, 0 for success; a code of a codec (or of the size check below) reaches
// the caller as code + ModCodecError. This header is portable; the conversions to and from the
// platform's bitmaps are in imodelw.hpp.
#pragma once

#include <idefs.hpp>

#include <cstddef>
#include <cstdint>

// The image: pixel rows in the platform's device-independent layout, bottom row first, each row
// padded to a multiple of 4 bytes (ModRowBytes). At 1 bpp the leftmost pixel is the most
// significant bit, at 4 bpp the high nibble, at 8 bpp a byte is a palette index, at 24 bpp a pixel
// is blue, green, red. The palette stores red, green, blue.
struct MOD {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bpp = 0;
    // Private state that a codec's read-header operation leaves for its read-palette and
    // read-data operations.
    alignas(8) unsigned char work[2000] = {};
    // Entry i is palette[3 * i] red, [3 * i + 1] green, [3 * i + 2] blue; 1 << bpp entries are
    // used at 1, 4 and 8 bpp, none at 24 bpp.
    unsigned char palette[768] = {};
    // Owned by the record (malloc/free); ModCopyRecord makes a second record sharing it.
    unsigned char* data = nullptr;
    int32_t dataSize = 0;
};

// Codes of the model functions.
enum : int {
    ModOk = 0,
    ModErrNoMemory = 1,     // data block or row buffer, or a model larger than the size limit
    ModErrOpenRead = 2,     // the file to be read cannot be opened
    ModErrOpenWrite = 3,    // the file to be written cannot be opened
    ModErrDepth = 4,        // the format cannot write this depth, or no format has the extension
    ModErrNoScreen = 5,     // no screen device context
    ModErrNative = 7,       // the logical palette or the native bitmap cannot be made
    ModCodecError = 0x8000  // + the code of a codec (see iimgfmt.hpp)
};

// Bytes of one pixel row: ((width * bpp + 31) / 32) * 4.
OVKWIN_API int ModRowBytes(int width, int bpp);

// The one size check that every model passes before its data is allocated: 0 when width and
// height are at least 1, bpp is 1, 4, 8 or 24 and the data fits under ModDataLimit; otherwise the
// codec code that says why: 6 (bad width or height), 2 (depth not supported) or 1 (too large to
// hold). Sizes are computed in 64 bits, so no product of hostile numbers can wrap.
OVKWIN_API int ModCheckSize(int width, int height, int bpp);
// The largest data block a model may have, in bytes (1 GiB unless changed).
OVKWIN_API int64_t ModDataLimit();
// Changes the limit (for fuzzing and tests, which want small models); returns the old one.
OVKWIN_API int64_t ModSetDataLimit(int64_t bytes);

// Construction and copying. Each writes into a record supplied by the caller, allocates that
// record's data cleared to 0, and frees any block it allocated there when it fails. A size that
// fails ModCheckSize gives ModCodecError + its code.
OVKWIN_API int ModCreate(int width, int height, int bpp, const unsigned char* palette, MOD* out);
// Allocates the data of a model whose width, height and bpp are set: non-zero on success, 0 when
// the size check or the allocation fails (the data pointer is then null).
OVKWIN_API int ModAllocData(MOD* model);
OVKWIN_API int ModCopy(const MOD* model, MOD* out);
// Copies the whole record: the copy shares the data block, and only one of the two may free it.
OVKWIN_API int ModCopyRecord(const MOD* model, MOD* out);
// Frees the data block and clears the pointer and size, so that a second call is harmless.
OVKWIN_API void ModFreeData(MOD* model);

// Geometry. Each reads a source that has data and builds the result in the output record; the
// source is left unchanged. A source without data or with an invalid size gives
// ModCodecError + 6 (or + 2 for a bad depth).
// Nearest-neighbour scaling: 0, 1 (no memory for the output data) or ModCodecError + 1 (no memory
// for the step tables). A new width or height below 1 is refused with ModCodecError + 6.
OVKWIN_API int ModResize(const MOD* model, int newWidth, int newHeight, MOD* out);
OVKWIN_API int ModReflectHorizontal(const MOD* model, MOD* out);  // (x, y) -> (w - 1 - x, y)
OVKWIN_API int ModReflectVertical(const MOD* model, MOD* out);    // (x, y) -> (x, h - 1 - y)
OVKWIN_API int ModRotate180(const MOD* model, MOD* out);
OVKWIN_API int ModRotate90(const MOD* model, MOD* out);   // a quarter turn counter-clockwise
OVKWIN_API int ModRotate270(const MOD* model, MOD* out);  // a quarter turn clockwise
OVKWIN_API int ModTranspose(const MOD* model, MOD* out);  // output (y, x) := source (x, y)
// A 24-bpp copy of a model of any depth.
OVKWIN_API int ModExpandTo24(const MOD* model, MOD* out);

// Colour reduction for displays of fewer colours.
// Palette kinds: 0 black and white (1 bpp), 1 the 16 standard colours, 2 eight colours, 3 sixteen
// greys (4 bpp), 4 the 7-8-4 colour cube, 5 the 6-6-6 cube (8 bpp), 8 each channel cut to its top
// bits (24 bpp). Modes: 1 error diffusion, 2 halftoning.
enum : int {
    ModKindBlackWhite = 0,
    ModKindStandard16 = 1,
    ModKindColours8 = 2,
    ModKindGreys16 = 3,
    ModKindCube784 = 4,
    ModKindCube666 = 5,
    ModKindBitMasks = 8,
    ModModeDiffuse = 1,
    ModModeHalftone = 2
};
// Builds a new model of the kind's depth from a model of any depth: 0, 1 (the conversion failed)
// or the code of ModCreate. The bit counts are used by kind 8 only.
OVKWIN_API int ModReduceDepth(const MOD* model, int kind, int mode, int redBits, int greenBits,
                              int blueBits, MOD* out);
// Converts a 24-bpp model into an output model whose data is allocated at the kind's depth (the
// same width and height), writing the kind's palette: non-zero on success. A kind and mode pair
// without a conversion reports success and leaves the output's pixels as they were.
OVKWIN_API int ModConvert24(const MOD* model, int kind, int mode, int redBits, int greenBits,
                            int blueBits, MOD* out);

// Files, through the format table (iimgfmt.hpp). Options are one text of tokens separated by
// blanks, tabs or commas ("invb", "index=3,errok").
// Reads a file into out. A format of -1 asks for a guess from the file name's extension, and the
// index found is written back. Returns 0, 1, 2 or ModCodecError + the codec's code.
OVKWIN_API int ModReadFromFile(const char* path, int* format, const char* options, MOD* out);
// Writes a model: 0, 3, 4 or ModCodecError + the codec's code; a failed write deletes the file.
OVKWIN_API int ModWriteToFile(const MOD* model, int format, const char* path, const char* options);
