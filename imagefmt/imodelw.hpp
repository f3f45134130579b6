// The bitmap model and the platform's bitmaps: a model made from a bitmap handle, native bitmaps
// made from a model (reduced for displays of fewer colours), and bitmap resources. Windows only.
#pragma once

#include <imodel.hpp>

#include <windows.h>

// Reads the pixels of a bitmap (selected into no device context) into a new model: 1, 4, 8 or
// 24 bpp (16 and 32 become 24), with the colour table as the palette. Returns the code of
// ModCreate; throws ISystemError naming "GetDIBits" when the system refuses the pixels.
OVKWIN_API int ModCreateFromHBitmap(MOD* out, HBITMAP bitmap, HPALETTE palette);

// View options of ModToHBitmap.
enum : int { ModViewDiffuse = 1, ModViewHalftone = 2 };

// Makes a native bitmap of a model for the display, reduced to the display's colours by error
// diffusion (view option 1) or halftoning (2); other options convert nothing. A 1-bpp model is
// always made a monochrome bitmap, black where the image has the darker of its two colours and
// white where it has the lighter (the bits are turned over when palette entry 0 is the lighter),
// so that the bitmap alone shows the image and not its negative; the colours of its 0 bits and of
// its 1 bits (the darker, then the lighter) come back through colour0 and colour1 as 0x00RRGGBB.
// An empty palette slot receives the palette made for the bitmap; the caller owns both handles.
// Returns 1 on success, 0 on failure.
OVKWIN_API int ModToHBitmap(const MOD* model, int viewOption, HBITMAP* bitmap,
                            unsigned long* colour0, unsigned long* colour1, HPALETTE* palette);

// Makes a native bitmap of a model as it is (a 1-bpp model as ModToHBitmap makes it): 0, 5 (no
// screen device context) or 7 (the bitmap or its palette cannot be made, or the model has no
// valid data).
OVKWIN_API int ModMakeHBitmap(const MOD* model, HBITMAP* bitmap, HPALETTE* palette);

// Loads a bitmap resource as a bitmap of the screen, with the palette of its colour table (null
// for 16, 24 and 32 bits). Null when the resource does not exist or cannot be made.
OVKWIN_API HBITMAP ModLoadBitmapResource(HMODULE module, const char* name, HPALETTE* palette);

// A logical palette from the colour table after a bitmap header: entryBytes 3 for a core header
// (BITMAPCOREHEADER, RGBTRIPLE entries), 4 for an info header (RGBQUAD entries). Null for 16, 24
// and 32 bits (count untouched) or when it cannot be made; otherwise count receives the entries.
OVKWIN_API HPALETTE createPaletteFromColorTable(const void* header, int entryBytes, int* count);
