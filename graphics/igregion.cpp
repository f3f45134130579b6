// Mirroring regions for bottom-up coordinates.
#include "detail/igregion.hpp"

#include <detail/iscoped.hpp>

#include <algorithm>
#include <vector>

HRGN ovk_graphics::mirroredRegion(HRGN region, long height)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER))
        return nullptr;
    std::vector<char> buffer(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(region, size, data) != size)
        return nullptr;
    HRGN mirrored = CreateRectRgn(0, 0, 0, 0);
    // Each rectangle is mirrored on its own: a region is a set of rows, and the mirror of a
    // row band is the band at the mirrored rows. The count is bounded by what the buffer holds.
    const RECT* rectangles = reinterpret_cast<const RECT*>(data->Buffer);
    const DWORD count = std::min<DWORD>(data->rdh.nCount,
                                        (size - data->rdh.dwSize) / sizeof(RECT));
    for (DWORD i = 0; i < count; ++i) {
        const RECT& r = rectangles[i];
        const ovk_native::Region band(
            CreateRectRgn(r.left, height - r.bottom, r.right, height - r.top));
        CombineRgn(mirrored, mirrored, band.get(), RGN_OR);
    }
    return mirrored;
}
