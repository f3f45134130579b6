// Points, sizes, rectangles, ranges, flag sets, point arrays and message words.
#include "ibitflag.hpp"
#include "ievtdata.hpp"
#include "iexcept.hpp"
#include "ipoint.hpp"
#include "iptarray.hpp"
#include "irange.hpp"
#include "irect.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

struct RectCase {
    IRectangle rect;
    IRectangle::Coord minX, minY, maxX, maxY, width, height;
};

class RectangleCorners : public testing::TestWithParam<RectCase> {};

TEST_P(RectangleCorners, AreOrderedAndMeasuredIn32Bits) {
    const RectCase& c = GetParam();
    EXPECT_EQ(c.rect.minX(), c.minX);
    EXPECT_EQ(c.rect.minY(), c.minY);
    EXPECT_EQ(c.rect.maxX(), c.maxX);
    EXPECT_EQ(c.rect.maxY(), c.maxY);
    EXPECT_EQ(c.rect.width(), c.width);
    EXPECT_EQ(c.rect.height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RectangleCorners,
    testing::Values(
        RectCase{IRectangle(10, 20, 30, 50), 10, 20, 30, 50, 20, 30},
        RectCase{IRectangle(30, 50, 10, 20), 10, 20, 30, 50, 20, 30},
        RectCase{IRectangle(IPoint(30, 20), IPoint(10, 50)), 10, 20, 30, 50, 20, 30},
        RectCase{IRectangle(IPoint(5, 5), ISize(-5, 10)), 0, 5, 5, 15, 5, 10},
        // The default-size request: minimum (INT_MIN, INT_MIN), maximum (-1, -1).
        RectCase{IRectangle(INT_MIN, INT_MIN, -1, -1), INT_MIN, INT_MIN, -1, -1, 0x7FFFFFFF,
                 0x7FFFFFFF},
        RectCase{IRectangle(IPoint(INT_MIN, INT_MIN), ISize(INT_MAX, INT_MAX)), INT_MIN,
                 INT_MIN, -1, -1, 0x7FFFFFFF, 0x7FFFFFFF},
        // The full range does not fit a signed width: it wraps as 32-bit arithmetic does.
        RectCase{IRectangle(INT_MIN, 0, INT_MAX, 1), INT_MIN, 0, INT_MAX, 1, -1, 1}));

TEST(Rectangle, RelationsAndEdits) {
    IRectangle r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains(IPoint(0, 0)));
    EXPECT_FALSE(r.contains(IPoint(10, 5))); // the maximum edge is outside
    EXPECT_TRUE(r.contains(IRectangle(2, 2, 10, 10)));
    EXPECT_TRUE(r.intersects(IRectangle(9, 9, 20, 20)));
    EXPECT_FALSE(r.intersects(IRectangle(10, 0, 20, 10)));
    EXPECT_EQ(r.intersectionWith(IRectangle(5, -5, 20, 5)), IRectangle(5, 0, 10, 5));
    EXPECT_EQ(r.intersectionWith(IRectangle(20, 20, 30, 30)), IRectangle());
    EXPECT_EQ(r.unionWith(IRectangle(-5, 5, 3, 20)), IRectangle(-5, 0, 10, 20));
    EXPECT_EQ(IRectangle(r).moveBy(IPoint(3, -3)), IRectangle(3, -3, 13, 7));
    EXPECT_EQ(IRectangle(r).moveTo(IPoint(100, 100)), IRectangle(100, 100, 110, 110));
    EXPECT_EQ(IRectangle(r).sizeTo(ISize(4, 2)), IRectangle(0, 0, 4, 2));
    EXPECT_EQ(IRectangle(r).expandBy(2), IRectangle(-2, -2, 12, 12));
    EXPECT_EQ(IRectangle(r).shrinkBy(6), IRectangle(4, 4, 6, 6)); // reordered, never inverted
    EXPECT_EQ(IRectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX).center(), IPoint(0, 0));
    EXPECT_EQ(IRectangle(0, 0, 11, 5).center(), IPoint(5, 2));
    EXPECT_TRUE(IRectangle(5, 5, 5, 9).isEmpty());
    EXPECT_EQ(IRectangle(1, 2, 3, 4).asString(), "(1,2,3,4)");
}

TEST(Pair, ArithmeticWrapsAndKeepsItsKind) {
    EXPECT_EQ(IPoint(1, 2) + IPoint(10, 20), IPoint(11, 22));
    EXPECT_EQ(ISize(4, 6) / 2, ISize(2, 3));
    EXPECT_EQ(-IPoint(INT_MIN, 1), IPoint(INT_MIN, -1));
    EXPECT_EQ(IPoint(INT_MAX, 0) + IPoint(1, 0), IPoint(INT_MIN, 0));
    EXPECT_EQ(IPoint(INT_MIN, 6) / -1, IPoint(INT_MIN, -6));
    EXPECT_THROW(IPoint(1, 1) / 0, IInvalidParameter);
    EXPECT_EQ(IPoint(1, 9).minimum(IPoint(5, 2)), IPoint(1, 2));
    EXPECT_EQ(ISize(1, 9).maximum(ISize(5, 2)), ISize(5, 9));
    EXPECT_EQ(IPoint(-3, 4).asString(), "(-3,4)");
}

TEST(Range, KeepsItsBoundsAsGiven) {
    IRange r(10, 0);
    EXPECT_EQ(r.lowerBound(), 10);
    EXPECT_EQ(r.upperBound(), 0);
    EXPECT_FALSE(r.includes(5));
    // The controls' "none" and "to the end" values arrive as -1 and -2.
    IRange select(2, static_cast<IRange::Bound>(0xFFFFFFFEu));
    EXPECT_EQ(select.upperBound(), -2);
    EXPECT_EQ(static_cast<std::uint32_t>(select.upperBound()), 0xFFFFFFFEu);
    EXPECT_TRUE(IRange(-5, 5).includes(-5));
}

// A style class as the library builds them, and constants made during static initialisation.
class TestStyle : public IBitFlagSet<TestStyle> {
public:
    constexpr TestStyle(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
};
constexpr TestStyle visible(0x10000000);
constexpr TestStyle border3D(0, 0x200);
constexpr TestStyle classDefault = visible | border3D;
static_assert(classDefault.asUnsignedLong() == 0x10000000, "combined at compile time");
static_assert(classDefault.asExtendedUnsignedLong() == 0x200, "combined at compile time");
// A namespace-scope object initialised from other constants before any code runs.
const TestStyle startupStyle = classDefault & ~border3D;

TEST(BitFlag, CombinesBothWords) {
    EXPECT_EQ(startupStyle, visible);
    TestStyle s = visible;
    s |= TestStyle(0x1, 0x10);
    EXPECT_EQ(s.asUnsignedLong(), 0x10000001u);
    EXPECT_EQ(s.asExtendedUnsignedLong(), 0x10u);
    EXPECT_TRUE(s.contains(visible));
    EXPECT_FALSE(s.contains(border3D));
    s &= ~visible;
    EXPECT_EQ(s, TestStyle(0x1, 0x10));
}

TEST(PointArray, EditsByZeroBasedIndex) {
    IPointArray a{IPoint(0, 0), IPoint(1, 1)};
    a.add(IPoint(3, 3)).insert(2, IPoint(2, 2)).insert(0, IPoint(-1, -1));
    EXPECT_EQ(a, (IPointArray{IPoint(-1, -1), IPoint(0, 0), IPoint(1, 1), IPoint(2, 2),
                              IPoint(3, 3)}));
    a.remove(0).setPoint(3, IPoint(9, 9));
    EXPECT_EQ(a.numberOfPoints(), 4u);
    EXPECT_EQ(a.point(3), IPoint(9, 9));
    EXPECT_EQ(a.data()[1], IPoint(1, 1));
    EXPECT_NE(a, IPointArray(a.data(), 3));
    EXPECT_THROW(a.point(4), IInvalidParameter);
    EXPECT_THROW(a.insert(5, IPoint()), IInvalidParameter);
    EXPECT_EQ(IPointArray{IPoint(1, 2)}.asString(), "((1,2))");
    EXPECT_EQ(a.removeAll().numberOfPoints(), 0u);
}

TEST(EventData, CarriesPointersAndSignedWordsAndHalves) {
    int object = 0;
    EXPECT_EQ(IEventData(&object).asPointer(), &object);
    EXPECT_EQ(IEventData(-1).asLong(), -1);
    EXPECT_EQ(IEventData(0xFFFFFFFFu).asUnsignedLong(), 0xFFFFFFFFu); // zero-extended
    EXPECT_EQ(IEventData(0xFFFFFFFFu).asLong() == -1, sizeof(void*) == 4);

    IEventData halves(std::uint16_t(0x1234), std::uint16_t(0xABCD));
    EXPECT_EQ(halves.asUnsignedLong(), 0xABCD1234u);
    EXPECT_EQ(halves.lowNumber(), 0x1234);
    EXPECT_EQ(halves.highNumber(), 0xABCD);

    IEventData chars('a', '\xFF', 7);
    EXPECT_EQ(chars.char1(), 'a');
    EXPECT_EQ(chars.char2(), '\xFF');
    EXPECT_EQ(chars.highNumber(), 7);
    EXPECT_EQ(chars.char3(), '\x07');
    EXPECT_EQ(chars.char4(), '\0');
}

} // namespace
