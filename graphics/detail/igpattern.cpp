// Loading the pattern bitmaps from the library's resource library (the one the application
// object keeps for the library, named by "OVKUI RESLIB").
#include "igpattern.hpp"

#include <iapp.hpp>
#include <ibmphdl.hpp>
#include <ireslib.hpp>

namespace ovk_graphics {

namespace {

constexpr int kPatternCount = 11;

// The handles are released when the library ends; until then every context shares them.
IBitmapHandle (&cache())[kPatternCount]
{
    static IBitmapHandle patterns[kPatternCount];
    return patterns;
}

} // namespace

unsigned long patternResource(long patternId) noexcept
{
    if (patternId >= -17 && patternId <= -9)
        return static_cast<unsigned long>(28981 + (patternId + 17));
    if (patternId == -19)
        return 28990;
    if (patternId == -18)
        return 28991;
    return 0;
}

HBITMAP patternBitmap(long patternId)
{
    const unsigned long resource = patternResource(patternId);
    if (resource == 0)
        return nullptr;
    IBitmapHandle& slot = cache()[resource - 28981];
    if (!slot.isValid())
        slot = IApplication::current().ovkuiResourceLibrary().loadBitmap(resource, true);
    return slot.asValue();
}

} // namespace ovk_graphics
