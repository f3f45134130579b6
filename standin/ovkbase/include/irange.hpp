// A range of signed values with a lower and an upper bound, both inclusive.
#pragma once

#include "ibase.hpp"
#include "istring.hpp"

#include <cstdint>

// The bounds are kept as given, never swapped: the controls that take a range decide for
// themselves what a lower bound above the upper bound means. Values such as 0xFFFFFFFF and
// 0xFFFFFFFE (the controls' "none" and "to the end") arrive as -1 and -2 and compare equal to
// those constants converted to Bound.
class IRange {
public:
    using Bound = std::int32_t;

    constexpr IRange() noexcept = default;
    constexpr IRange(Bound lowerBound, Bound upperBound) noexcept
        : fLower(lowerBound), fUpper(upperBound) {}

    constexpr Bound lowerBound() const noexcept { return fLower; }
    constexpr Bound upperBound() const noexcept { return fUpper; }
    constexpr IRange& setLowerBound(Bound value) noexcept { fLower = value; return *this; }
    constexpr IRange& setUpperBound(Bound value) noexcept { fUpper = value; return *this; }
    constexpr IBase::Boolean includes(Bound value) const noexcept {
        return fLower <= value && value <= fUpper;
    }

    // "(lower,upper)".
    IString asString() const { return "(" + IString(fLower) + "," + IString(fUpper) + ")"; }

    friend constexpr bool operator==(const IRange& a, const IRange& b) noexcept {
        return a.fLower == b.fLower && a.fUpper == b.fUpper;
    }
    friend constexpr bool operator!=(const IRange& a, const IRange& b) noexcept { return !(a == b); }

private:
    Bound fLower = 0;
    Bound fUpper = 0;
};
