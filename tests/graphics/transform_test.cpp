// The transform's arithmetic: rotation, scaling and translation, and composition as the
// matrix product.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <itrnsfrm.hpp>

namespace {

// The product a x b of the row-vector convention (a applied first), in double precision.
struct Affine {
    double m11, m12, m21, m22, dx, dy;
};
Affine multiply(const Affine& a, const Affine& b)
{
    return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22,
            a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

void expectNear(const ITransformMatrix& m, const Affine& e)
{
    EXPECT_NEAR(m.m11(), e.m11, 1e-5);
    EXPECT_NEAR(m.m12(), e.m12, 1e-5);
    EXPECT_NEAR(m.m21(), e.m21, 1e-5);
    EXPECT_NEAR(m.m22(), e.m22, 1e-5);
    EXPECT_NEAR(m.dx(), std::trunc(e.dx), 1.0);
    EXPECT_NEAR(m.dy(), std::trunc(e.dy), 1.0);
}

TEST(GraphicsTransform, RotatingByMinus90EqualsRotatingBy270)
{
    ITransformMatrix minus90;
    minus90.rotateBy(-90);
    ITransformMatrix plus270;
    plus270.rotateBy(270);
    EXPECT_TRUE(minus90 == plus270);
    EXPECT_EQ(minus90.m12(), -1.0);
    EXPECT_EQ(minus90.m21(), 1.0);
    EXPECT_EQ(minus90.m11(), 0.0);
    EXPECT_EQ(minus90.m22(), 0.0);
}

// Every quarter turn is exact, so a mapped point lands on its integer: (100, 90) turned by 90
// degrees about (100, 100) is (110, 100), not (109, 99) truncated from 109.99999.
TEST(GraphicsTransform, QuarterTurnsMapPointsExactly)
{
    const struct {
        double angle;
        int x, y;  // (100, 90) turned about (100, 100)
    } cases[] = {{90, 110, 100}, {-270, 110, 100}, {450, 110, 100}, {180, 100, 110},
                 {270, 90, 100}, {-90, 90, 100},   {360, 100, 90}};
    for (const auto& c : cases) {
        ITransformMatrix m;
        m.rotateBy(c.angle, IPoint(100, 100));
        EXPECT_EQ(m.transform(IPoint(100, 90)), IPoint(c.x, c.y)) << c.angle;
        EXPECT_EQ(std::fabs(m.m11()) + std::fabs(m.m12()), 1.0) << c.angle;
    }
}

TEST(GraphicsTransform, AnglesNormaliseAndAxesAreExact)
{
    ITransformMatrix by450, by90;
    by450.rotateBy(450);
    by90.rotateBy(90);
    EXPECT_TRUE(by450 == by90);

    ITransformMatrix by180;
    by180.rotateBy(180);
    EXPECT_TRUE(by180 == ITransformMatrix(-1, 0, 0, -1, 0, 0));

    for (double angle : {0.0, 360.0, -360.0}) {
        ITransformMatrix m;
        m.rotateBy(angle);
        EXPECT_EQ(m.m11(), 1.0) << angle;
        EXPECT_EQ(m.m22(), 1.0) << angle;
        EXPECT_EQ(m.m12(), 0.0) << angle;
        EXPECT_EQ(m.m21(), 0.0) << angle;
    }
}

TEST(GraphicsTransform, ScalingAboutACentreShiftsTheTranslation)
{
    ITransformMatrix m;
    m.scaleBy(2, 3, IPoint(10, 10));
    EXPECT_EQ(m.m11(), 2.0);
    EXPECT_EQ(m.m22(), 3.0);
    EXPECT_EQ(m.dx(), -10);
    EXPECT_EQ(m.dy(), -20);
    // The centre stays where it is.
    EXPECT_EQ(m.transform(IPoint(10, 10)), IPoint(10, 10));
}

TEST(GraphicsTransform, TranslationIsTruncatedTowardZero)
{
    ITransformMatrix positive;
    positive.translateBy(IPoint(3, -3)).scaleBy(0.9, 0.9);
    EXPECT_EQ(positive.dx(), 2);
    EXPECT_EQ(positive.dy(), -2);
    // Values beyond the integer range saturate instead of being undefined.
    ITransformMatrix huge;
    huge.translateBy(IPoint(2000000000, -2000000000)).scaleBy(4, 4);
    EXPECT_EQ(huge.dx(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(huge.dy(), std::numeric_limits<std::int32_t>::min());
    // Not a number maps to 0 rather than to whatever the conversion happens to give.
    huge.setM11(std::nan(""));
    EXPECT_EQ(huge.transform(IPoint(1, 0)).x(), 0);
}

TEST(GraphicsTransform, ComposedTransformEqualsItsMatrixProduct)
{
    ITransformMatrix m;
    m.translateBy(IPoint(5, 7)).rotateBy(30, IPoint(0, 0)).scaleBy(2, 3);
    const double r = 30 / 57.29577951;
    const Affine translate{1, 0, 0, 1, 5, 7};
    const Affine rotate{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
    const Affine scale{2, 0, 0, 3, 0, 0};
    expectNear(m, multiply(multiply(translate, rotate), scale));

    // Mapping a point equals mapping it step by step.
    const double x = 10, y = 4;
    double px = x + 5, py = y + 7;
    const double qx = px * std::cos(r) - py * std::sin(r);
    const double qy = px * std::sin(r) + py * std::cos(r);
    const IPoint mapped = m.transform(IPoint(10, 4));
    EXPECT_NEAR(mapped.x(), qx * 2, 1.0);
    EXPECT_NEAR(mapped.y(), qy * 3, 1.0);
}

TEST(GraphicsTransform, AppendingAMatrixToItselfUsesTheOldValues)
{
    ITransformMatrix m(1, 2, 3, 4, 5, 6);
    const Affine a{1, 2, 3, 4, 5, 6};
    m.append(m);
    expectNear(m, multiply(a, a));
}

} // namespace
