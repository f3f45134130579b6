// ICoordinateSystem: the library-wide orientation of the application's coordinates.
#pragma once

#include <ipoint.hpp>
#include <irect.hpp>

#include <idefs.hpp>

// Native coordinates have their origin at the upper left with y downwards. An application may
// have the origin at the lower left instead; then every y is flipped against a height when it
// crosses to or from the platform. Both directions compute the same flip.
class OVKWIN_API ICoordinateSystem {
public:
    enum Orientation : unsigned char { kOriginUpperLeft = 0, kOriginLowerLeft = 1 };

    static void setApplicationOrientation(Orientation orientation) noexcept;
    static Orientation applicationOrientation() noexcept;
    static IBase::Boolean isConversionNeeded() noexcept;

    // (x, height - y) when conversion is needed, else the point itself.
    static IPoint convertToNative(const IPoint& point, const ISize& size) noexcept;
    static IPoint convertToApplication(const IPoint& point, const ISize& size) noexcept;
    // (x0, H - y1, x1, H - y0) for (x0, y0, x1, y1) when conversion is needed.
    static IRectangle convertToNative(const IRectangle& rectangle, const ISize& size) noexcept;
    static IRectangle convertToApplication(const IRectangle& rectangle, const ISize& size) noexcept;
};
