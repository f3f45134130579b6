// Services that the resource libraries take from subsystems built beside them, registered by
// those subsystems when they load. Each is a single function pointer, read without a lock:
// registration happens while the library starts, before any resource is loaded.
#pragma once

#include "../idefs.hpp"

struct HBITMAP__;
struct HINSTANCE__;
struct HMENU__;
struct HWND__;
class ISize;

// The bitmap loader of the graphics subsystem: the bitmap resource, scaled to the size unless it
// is 0 by 0, or 0 when missing. Until graphics registers one, a plain image load does the same.
using IBitmapResourceLoader = HBITMAP__* (*)(unsigned long id, HINSTANCE__* module,
                                             const ISize& size);
OVKWIN_API void ovkSetBitmapResourceLoader(IBitmapResourceLoader loader) noexcept;
