// The pattern bitmaps of pens and fills, loaded from the library's resource library on first
// use and kept for the life of the process.
#pragma once

#include <windows.h>

namespace ovk_graphics {

// The resource number of a pattern id (bitmapPattern1 to bitmapPattern11), else 0.
unsigned long patternResource(long patternId) noexcept;
// The cached bitmap of a pattern id, loaded on first use; a failed load throws the system
// error of the resource library's loader. Not locked: like the drawing defaults, the cache is plain
// process data that contexts fill on the thread that draws.
HBITMAP patternBitmap(long patternId);

} // namespace ovk_graphics
