// The transform's arithmetic; portable, so that it is also tested under the sanitizers.
#include "itrnsfrm.hpp"

#include <cmath>

#include "detail/igeometry.hpp"

namespace {
// Degrees per radian, as the platform's own rotation code has it.
constexpr double kDegreesPerRadian = 57.29577951;
} // namespace

ITransformMatrix::ITransformMatrix() noexcept = default;

ITransformMatrix::ITransformMatrix(double m11, double m12, double m21, double m22, long dx,
                                   long dy) noexcept
    : fElement{static_cast<float>(m11), static_cast<float>(m12), static_cast<float>(m21),
               static_cast<float>(m22), static_cast<float>(dx),  static_cast<float>(dy)}
{
}

IBase::Boolean ITransformMatrix::operator==(const ITransformMatrix& other) const noexcept
{
    for (int i = 0; i < 6; ++i) {
        if (fElement[i] != other.fElement[i])
            return false;
    }
    return true;
}

long ITransformMatrix::dx() const noexcept { return ovk_graphics::truncated(fElement[4]); }
long ITransformMatrix::dy() const noexcept { return ovk_graphics::truncated(fElement[5]); }

ITransformMatrix& ITransformMatrix::setM11(double value) noexcept
{
    fElement[0] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setM12(double value) noexcept
{
    fElement[1] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setM21(double value) noexcept
{
    fElement[2] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setM22(double value) noexcept
{
    fElement[3] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setDx(long value) noexcept
{
    fElement[4] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setDy(long value) noexcept
{
    fElement[5] = static_cast<float>(value);
    return *this;
}
ITransformMatrix& ITransformMatrix::setToIdentity() noexcept
{
    *this = ITransformMatrix();
    return *this;
}

ITransformMatrix& ITransformMatrix::append(const ITransformMatrix& next) noexcept
{
    const float* a = fElement;
    const float* b = next.fElement;
    const float product[6] = {
        a[0] * b[0] + a[1] * b[2],        a[0] * b[1] + a[1] * b[3],
        a[2] * b[0] + a[3] * b[2],        a[2] * b[1] + a[3] * b[3],
        a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
    for (int i = 0; i < 6; ++i)
        fElement[i] = product[i];
    return *this;
}

ITransformMatrix& ITransformMatrix::translateBy(const IPoint& offset) noexcept
{
    fElement[4] += static_cast<float>(offset.x());
    fElement[5] += static_cast<float>(offset.y());
    return *this;
}

ITransformMatrix& ITransformMatrix::scaleBy(double xFactor, double yFactor,
                                            const IPoint& centre) noexcept
{
    translateBy(-centre);
    append(ITransformMatrix(xFactor, 0.0, 0.0, yFactor, 0, 0));
    return translateBy(centre);
}

ITransformMatrix& ITransformMatrix::rotateBy(double degrees, const IPoint& centre) noexcept
{
    double angle = degrees;
    if (angle < 0.0)
        angle = 360.0 - std::fmod(-angle, 360.0);
    else if (angle > 360.0)
        angle = std::fmod(angle, 360.0);
    const float f = static_cast<float>(angle);

    // Taking sine and cosine of the reference angle in the first quadrant and fixing the signs
    // afterwards gives exact values on the axes, where sin(pi) in floating point would not be 0.
    double reference = angle;
    if (angle > 90.0) {
        if (angle > 270.0)
            reference = 360.0 - angle;
        else if (angle > 180.0)
            reference = angle - 180.0;
        else
            reference = 180.0 - angle;
    }
    // A quarter turn is exact too: through the divisor's eight places cos(90 degrees) comes out
    // as -8.45e-11, and a coordinate mapped with it falls just short of its integer and is
    // truncated a whole pixel off.
    const bool quarter = reference == 90.0;
    double s = quarter ? 1.0 : std::sin(reference / kDegreesPerRadian);
    double k = quarter ? 0.0 : std::cos(reference / kDegreesPerRadian);
    if (f > 90.0f && f < 270.0f)
        k = -k;
    if (f > 180.0f)
        s = -s;

    translateBy(-centre);
    append(ITransformMatrix(k, s, -s, k, 0, 0));
    return translateBy(centre);
}

IPoint ITransformMatrix::transform(const IPoint& point) const noexcept
{
    const double x = point.x();
    const double y = point.y();
    return IPoint(ovk_graphics::truncated(x * fElement[0] + y * fElement[2] + fElement[4]),
                  ovk_graphics::truncated(x * fElement[1] + y * fElement[3] + fElement[5]));
}
