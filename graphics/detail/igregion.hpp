// Regions for bottom-up coordinates: a region drawn for an application whose y counts upward
// is mirrored about the conversion height.
#pragma once

#include <windows.h>

#include <idefs.hpp>

namespace ovk_graphics {

// A new region (the caller's) holding each row y of the region at height - 1 - y, so the
// region's box (top, bottom) becomes (height - bottom, height - top) wherever the box starts:
// shifting by the height less the box's height would mirror only a box that starts at 0. Null
// when the region cannot be read.
OVKWIN_API HRGN mirroredRegion(HRGN region, long height);

} // namespace ovk_graphics
