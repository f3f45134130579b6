// The fixed palettes and level sets that colour reduction and halftoning share (exported only
// so that the test program can reach them on Windows).
#pragma once

#include <idefs.hpp>

namespace imgfmt {

// The 16 standard colours of the platform (red, green, blue).
extern OVKWIN_API const unsigned char kStandardColours[16][3];
// Channel values of the level sets.
extern const unsigned char kLevels4[4];
extern const unsigned char kLevels6[6];
extern const unsigned char kLevels7[7];
extern const unsigned char kLevels8[8];

// The nearest standard colour: least squared distance, the two greys (7 and 8) weighted by 8,
// the lower index on a tie.
OVKWIN_API int nearestStandardColour(int red, int green, int blue);

// Writes the palette of a reduction kind (0 to 5) into a 768-byte palette; other kinds have none.
void writeKindPalette(int kind, unsigned char* palette);

}  // namespace imgfmt
