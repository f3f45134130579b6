// ITransformMatrix: the two-dimensional affine transform of graphic objects and of the graphic
// context's world transform, in the element order of the native XFORM record.
#pragma once

#include <ipoint.hpp>

#include <idefs.hpp>

// The native record, declared as <windows.h> declares it; only the Windows build defines the
// operations that take or give it.
struct tagXFORM;

// A point (x, y) maps to (x*m11 + y*m21 + dx, x*m12 + y*m22 + dy): points are row vectors, as in
// the native world transform. The six values are single-precision, as the platform keeps them.
class OVKWIN_API ITransformMatrix {
public:
    // The identity.
    ITransformMatrix() noexcept;
    ITransformMatrix(double m11, double m12, double m21, double m22, long dx, long dy) noexcept;
    explicit ITransformMatrix(const tagXFORM& form) noexcept;
    ITransformMatrix(const ITransformMatrix& other) noexcept = default;
    ITransformMatrix& operator=(const ITransformMatrix& other) noexcept = default;
    ~ITransformMatrix() = default;

    IBase::Boolean operator==(const ITransformMatrix& other) const noexcept;
    IBase::Boolean operator!=(const ITransformMatrix& other) const noexcept
    {
        return !(*this == other);
    }

    double m11() const noexcept { return fElement[0]; }
    double m12() const noexcept { return fElement[1]; }
    double m21() const noexcept { return fElement[2]; }
    double m22() const noexcept { return fElement[3]; }
    // The translation truncated toward zero (2.7 gives 2, -2.7 gives -2).
    long dx() const noexcept;
    long dy() const noexcept;

    ITransformMatrix& setM11(double value) noexcept;
    ITransformMatrix& setM12(double value) noexcept;
    ITransformMatrix& setM21(double value) noexcept;
    ITransformMatrix& setM22(double value) noexcept;
    ITransformMatrix& setDx(long value) noexcept;
    ITransformMatrix& setDy(long value) noexcept;
    ITransformMatrix& setToIdentity() noexcept;

    // The six values as the native record, for SetWorldTransform and ModifyWorldTransform.
    tagXFORM xform() const noexcept;

    // Each appends to the transform: the new step applies after the existing ones.
    ITransformMatrix& translateBy(const IPoint& offset) noexcept;
    ITransformMatrix& scaleBy(double xFactor, double yFactor, const IPoint& centre = IPoint())
        noexcept;
    // Degrees, counter-clockwise for row vectors in axes whose y grows upward. On the screen,
    // where y grows downward (the text mapping mode), a positive angle turns clockwise: 90 takes
    // a point right of the centre to below it. Every multiple of 90 gives exact zeros and ones,
    // so quarter turns map integer points to integer points.
    ITransformMatrix& rotateBy(double degrees, const IPoint& centre = IPoint()) noexcept;

    // this followed by next (this applied first), computed into a temporary so that either
    // factor may be the receiver.
    ITransformMatrix& append(const ITransformMatrix& next) noexcept;
    // The point mapped by the transform, truncated toward zero to integer coordinates.
    IPoint transform(const IPoint& point) const noexcept;

private:
    // m11, m12, m21, m22, dx, dy.
    float fElement[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
};
