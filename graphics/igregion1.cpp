// IGRegion: construction, the native region's lifetime and the set operations. The shapes'
// builders are in igregion2.cpp.
#include "igregion.hpp"

#include <windows.h>

#include <detail/iscoped.hpp>

#include <iexcept.hpp>

#include "igarc.hpp"
#include "igpylin.hpp"
#include "igrafctx.hpp"
#include "igrect.hpp"

namespace {

[[noreturn]] void throwRegionError(const char* call, const char* function,
                                   DWORD error = GetLastError())
{
    IThrow::systemError(call, error, IEXCEPTION_LOCATION("igregion", function));
}

HRGN emptyRegion(const char* function)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region)
        throwRegionError("CreateRectRgn", function);
    return region;
}

// A native region deleted when the scope ends, also when a step throws.
using OwnedRegion = ovk_native::Region;

} // namespace

// Construction -------------------------------------------------------------------------------

IGRegion::IGRegion() : fRegion(emptyRegion("IGRegion::IGRegion()")) {}

IGRegion::IGRegion(const IRegionHandle& region) : fRegion(region)
{
    IARGUMENT_CHECK(region.isValid(), "igregion", "IGRegion::IGRegion(const IRegionHandle&)");
}

IGRegion::IGRegion(const IGRegion& other)
    : IGraphic(other), fRegion(emptyRegion("IGRegion::IGRegion(const IGRegion&)"))
{
    CombineRgn(fRegion, other.fRegion, nullptr, RGN_COPY);
}

IGRegion::IGRegion(const IGraphicContext&, const IRectangle& rectangle)
{
    // The native call orders the corners itself.
    fRegion = CreateRectRgn(rectangle.minX(), rectangle.maxY(), rectangle.maxX(),
                            rectangle.minY());
    if (!fRegion)
        throwRegionError("CreateRectRgn",
                         "IGRegion::IGRegion(const IGraphicContext&, const IRectangle&)");
}

IGRegion::IGRegion(const IWindowHandle& window)
{
    OwnedRegion region(emptyRegion("IGRegion::IGRegion(const IWindowHandle&)"));
    if (GetUpdateRgn(window, region.get(), FALSE) == ERROR)
        throwRegionError("GetUpdateRgn", "IGRegion::IGRegion(const IWindowHandle&)");
    fRegion = region.release();
}

IGRegion& IGRegion::operator=(const IGRegion& other)
{
    if (this != &other) {
        IGraphic::operator=(other);
        CombineRgn(fRegion, other.fRegion, nullptr, RGN_COPY);
    }
    return *this;
}

IGRegion::~IGRegion()
{
    // A failed delete cannot be reported from a destructor; the handle is gone either way.
    HRGN region = fRegion;
    ovk_native::dispose(region);
}

IGRegion& IGRegion::drawOn(IGraphicContext& context)
{
    context.draw(*this);
    return *this;
}

IGRegion& IGRegion::rotateBy(double, const IPoint&) { return *this; }
IGRegion& IGRegion::scaleBy(double, double, const IPoint&) { return *this; }
IGRegion& IGRegion::translateBy(const IPoint&) { return *this; }
IGRegion& IGRegion::setTransformMatrix(const ITransformMatrix&) { return *this; }

IGRegion& IGRegion::moveBy(const IPoint& offset)
{
    if (OffsetRgn(fRegion, offset.x(), offset.y()) == ERROR)
        throwRegionError("OffsetRgn", "IGRegion::moveBy(const IPoint&)");
    return *this;
}

IGRegion& IGRegion::clear()
{
    if (CombineRgn(fRegion, fRegion, fRegion, RGN_XOR) == ERROR)
        throwRegionError("CombineRgn", "IGRegion::clear()");
    return *this;
}

// Set operations -----------------------------------------------------------------------------

IGRegion& IGRegion::combineWith(HRGN__* region, int mode, bool checked)
{
    OwnedRegion shape(region);
    if (!shape.get())
        return *this;
    if (CombineRgn(fRegion, fRegion, shape.get(), mode) == ERROR && checked)
        throwRegionError("CombineRgn", "IGRegion::operator+=(const IGRectangle&)");
    return *this;
}

template <class Shape, class Build>
IGRegion& IGRegion::combineWithShape(const Shape& shape, int mode, Build build, bool checked)
{
    // A context of its own, not the desktop window's: the builders change its transform and
    // leave paths in it, which must not reach a device context that others share.
    IGraphicContext context;
    return combineWith(build(context, shape), mode, checked);
}

IGRegion& IGRegion::operator&=(const IGRegion& other)
{
    CombineRgn(fRegion, fRegion, other.fRegion, RGN_AND);
    return *this;
}

IGRegion& IGRegion::operator+=(const IGRegion& other)
{
    CombineRgn(fRegion, fRegion, other.fRegion, RGN_OR);
    return *this;
}

IGRegion& IGRegion::operator-=(const IGRegion& other)
{
    CombineRgn(fRegion, fRegion, other.fRegion, RGN_DIFF);
    return *this;
}

IGRegion& IGRegion::operator^=(const IGRegion& other)
{
    CombineRgn(fRegion, fRegion, other.fRegion, RGN_XOR);
    return *this;
}

#define OVK_REGION_OPERATORS(ShapeClass, builder)                                                 \
    IGRegion& IGRegion::operator&=(const ShapeClass& shape)                                       \
    {                                                                                             \
        return combineWithShape(shape, RGN_AND, builder);                                         \
    }                                                                                             \
    IGRegion& IGRegion::operator-=(const ShapeClass& shape)                                       \
    {                                                                                             \
        return combineWithShape(shape, RGN_DIFF, builder);                                        \
    }                                                                                             \
    IGRegion& IGRegion::operator^=(const ShapeClass& shape)                                       \
    {                                                                                             \
        return combineWithShape(shape, RGN_XOR, builder);                                         \
    }

OVK_REGION_OPERATORS(IGRectangle, doRect)
OVK_REGION_OPERATORS(IGEllipse, doEllipse)
OVK_REGION_OPERATORS(IGPolygon, doPolygon)
OVK_REGION_OPERATORS(IGPie, doPie)
OVK_REGION_OPERATORS(IGChord, doChord)
#undef OVK_REGION_OPERATORS

// Only the union with a rectangle reports a failed combination; the others leave the region as
// it was when the platform refuses.
IGRegion& IGRegion::operator+=(const IGRectangle& shape)
{
    return combineWithShape(shape, RGN_OR, doRect, true);
}
IGRegion& IGRegion::operator+=(const IGEllipse& shape)
{
    return combineWithShape(shape, RGN_OR, doEllipse);
}
IGRegion& IGRegion::operator+=(const IGPolygon& shape)
{
    return combineWithShape(shape, RGN_OR, doPolygon);
}
IGRegion& IGRegion::operator+=(const IGPie& shape)
{
    return combineWithShape(shape, RGN_OR, doPie);
}
IGRegion& IGRegion::operator+=(const IGChord& shape)
{
    return combineWithShape(shape, RGN_OR, doChord);
}
