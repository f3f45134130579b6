// Pairs of coordinates: the base pair, points and sizes.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"
#include "iexcept.hpp"
#include "istring.hpp"

#include <cstdint>
#include <type_traits>

// Two 32-bit signed coordinates, the layout of the platform's POINT and SIZE records.
//
// Arithmetic wraps modulo 2^32 as the platform's own 32-bit arithmetic does, instead of being
// undefined on overflow: the library computes with extreme values on purpose (the default-size
// rectangle starts at INT_MIN). Division by 0 fails the argument check "divisor != 0".
class IPair {
public:
    using Coord = std::int32_t;

    constexpr IPair() noexcept = default;
    constexpr IPair(Coord coord1, Coord coord2) noexcept : fCoord1(coord1), fCoord2(coord2) {}

    constexpr Coord coord1() const noexcept { return fCoord1; }
    constexpr Coord coord2() const noexcept { return fCoord2; }
    constexpr IPair& setCoord1(Coord value) noexcept { fCoord1 = value; return *this; }
    constexpr IPair& setCoord2(Coord value) noexcept { fCoord2 = value; return *this; }

    // Component-wise minimum and maximum of two pairs: how rectangles put their corners in order.
    constexpr IPair minimum(const IPair& other) const noexcept {
        return IPair(fCoord1 < other.fCoord1 ? fCoord1 : other.fCoord1,
                     fCoord2 < other.fCoord2 ? fCoord2 : other.fCoord2);
    }
    constexpr IPair maximum(const IPair& other) const noexcept {
        return IPair(fCoord1 > other.fCoord1 ? fCoord1 : other.fCoord1,
                     fCoord2 > other.fCoord2 ? fCoord2 : other.fCoord2);
    }

    // "(coord1,coord2)".
    IString asString() const { return "(" + IString(fCoord1) + "," + IString(fCoord2) + ")"; }

    // Arithmetic on 32 bits, wrapping (see the class comment).
    static constexpr Coord add(Coord a, Coord b) noexcept {
        return static_cast<Coord>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
    }
    static constexpr Coord subtract(Coord a, Coord b) noexcept {
        return static_cast<Coord>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
    }
    static constexpr Coord multiply(Coord a, Coord b) noexcept {
        return static_cast<Coord>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
    }
    static Coord divide(Coord a, Coord b) {
        if (b == 0) {
            IThrow::argument("divisor != 0",
                             IExceptionLocation("ipoint.hpp", "IPair::divide(Coord,Coord)", __LINE__));
        }
        // INT_MIN / -1 does not fit; negate in the wrapping arithmetic instead.
        return b == -1 ? subtract(0, a) : static_cast<Coord>(a / b);
    }

    friend constexpr bool operator==(const IPair& a, const IPair& b) noexcept {
        return a.fCoord1 == b.fCoord1 && a.fCoord2 == b.fCoord2;
    }
    friend constexpr bool operator!=(const IPair& a, const IPair& b) noexcept { return !(a == b); }

private:
    Coord fCoord1 = 0;
    Coord fCoord2 = 0;
};

// A position: x and y.
class IPoint : public IPair {
public:
    constexpr IPoint() noexcept = default;
    constexpr IPoint(Coord x, Coord y) noexcept : IPair(x, y) {}
    constexpr explicit IPoint(const IPair& pair) noexcept : IPair(pair) {}

    constexpr Coord x() const noexcept { return coord1(); }
    constexpr Coord y() const noexcept { return coord2(); }
    constexpr IPoint& setX(Coord x) noexcept { setCoord1(x); return *this; }
    constexpr IPoint& setY(Coord y) noexcept { setCoord2(y); return *this; }

    constexpr IPoint minimum(const IPoint& other) const noexcept {
        return IPoint(IPair::minimum(other));
    }
    constexpr IPoint maximum(const IPoint& other) const noexcept {
        return IPoint(IPair::maximum(other));
    }
};

// An extent: width and height (negative values are allowed and kept).
class ISize : public IPair {
public:
    constexpr ISize() noexcept = default;
    constexpr ISize(Coord width, Coord height) noexcept : IPair(width, height) {}
    constexpr explicit ISize(const IPair& pair) noexcept : IPair(pair) {}

    constexpr Coord width() const noexcept { return coord1(); }
    constexpr Coord height() const noexcept { return coord2(); }
    constexpr ISize& setWidth(Coord width) noexcept { setCoord1(width); return *this; }
    constexpr ISize& setHeight(Coord height) noexcept { setCoord2(height); return *this; }

    constexpr ISize minimum(const ISize& other) const noexcept {
        return ISize(IPair::minimum(other));
    }
    constexpr ISize maximum(const ISize& other) const noexcept {
        return ISize(IPair::maximum(other));
    }
};

static_assert(sizeof(IPoint) == 2 * sizeof(IPair::Coord), "IPoint must match POINT");
static_assert(sizeof(ISize) == 2 * sizeof(IPair::Coord), "ISize must match SIZE");

// Arithmetic between pairs of the same kind (a point plus a size does not compile: convert one
// explicitly), and with a scalar. The result has the operands' kind.
template <class Pair>
using IEnableIfPair = std::enable_if_t<std::is_base_of<IPair, Pair>::value, Pair>;

template <class Pair>
constexpr IEnableIfPair<Pair> operator+(const Pair& a, const Pair& b) noexcept {
    return Pair(IPair(IPair::add(a.coord1(), b.coord1()), IPair::add(a.coord2(), b.coord2())));
}
template <class Pair>
constexpr IEnableIfPair<Pair> operator-(const Pair& a, const Pair& b) noexcept {
    return Pair(IPair(IPair::subtract(a.coord1(), b.coord1()),
                      IPair::subtract(a.coord2(), b.coord2())));
}
template <class Pair>
constexpr IEnableIfPair<Pair> operator-(const Pair& a) noexcept {
    return Pair(IPair(IPair::subtract(0, a.coord1()), IPair::subtract(0, a.coord2())));
}
template <class Pair>
constexpr IEnableIfPair<Pair> operator*(const Pair& a, IPair::Coord factor) noexcept {
    return Pair(IPair(IPair::multiply(a.coord1(), factor), IPair::multiply(a.coord2(), factor)));
}
template <class Pair>
IEnableIfPair<Pair> operator/(const Pair& a, IPair::Coord divisor) {
    return Pair(IPair(IPair::divide(a.coord1(), divisor), IPair::divide(a.coord2(), divisor)));
}
template <class Pair>
constexpr IEnableIfPair<Pair>& operator+=(Pair& a, const Pair& b) noexcept { return a = a + b; }
template <class Pair>
constexpr IEnableIfPair<Pair>& operator-=(Pair& a, const Pair& b) noexcept { return a = a - b; }
