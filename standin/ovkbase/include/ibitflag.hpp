// A flag set of two 32-bit words: the base of every window class's Style.
#pragma once

#include "ibase.hpp"

#include <cstdint>

// The first word holds the platform's native style bits, the second the library's extended
// bits. Everything is constexpr, so that style constants built from literals, and combinations
// of them, are constant-initialised: they are ready before any dynamic initialiser of the
// library runs, whatever the order of its translation units.
class IBitFlag {
public:
    using Word = std::uint32_t;

    constexpr Word asUnsignedLong() const noexcept { return fValue; }
    constexpr Word asExtendedUnsignedLong() const noexcept { return fExtendedValue; }

    friend constexpr bool operator==(const IBitFlag& a, const IBitFlag& b) noexcept {
        return a.fValue == b.fValue && a.fExtendedValue == b.fExtendedValue;
    }
    friend constexpr bool operator!=(const IBitFlag& a, const IBitFlag& b) noexcept {
        return !(a == b);
    }

protected:
    constexpr IBitFlag() noexcept = default;
    constexpr IBitFlag(Word value, Word extendedValue = 0) noexcept
        : fValue(value), fExtendedValue(extendedValue) {}

    constexpr IBitFlag& setValue(Word value) noexcept { fValue = value; return *this; }
    constexpr IBitFlag& setExtendedValue(Word value) noexcept {
        fExtendedValue = value;
        return *this;
    }

private:
    Word fValue = 0;
    Word fExtendedValue = 0;
};

// The operators of one Style class: `class Style : public IBitFlagSet<Style>` gets |, &, ~,
// |=, &= on both words, each answering a Style, so that styles of unrelated classes do not mix
// by accident. A Style that should combine with another kind converts explicitly.
template <class Style>
class IBitFlagSet : public IBitFlag {
public:
    friend constexpr Style operator|(Style a, const Style& b) noexcept {
        a.setValue(a.asUnsignedLong() | b.asUnsignedLong());
        a.setExtendedValue(a.asExtendedUnsignedLong() | b.asExtendedUnsignedLong());
        return a;
    }
    friend constexpr Style operator&(Style a, const Style& b) noexcept {
        a.setValue(a.asUnsignedLong() & b.asUnsignedLong());
        a.setExtendedValue(a.asExtendedUnsignedLong() & b.asExtendedUnsignedLong());
        return a;
    }
    friend constexpr Style operator~(Style a) noexcept {
        a.setValue(~a.asUnsignedLong());
        a.setExtendedValue(~a.asExtendedUnsignedLong());
        return a;
    }
    friend constexpr Style& operator|=(Style& a, const Style& b) noexcept { return a = a | b; }
    friend constexpr Style& operator&=(Style& a, const Style& b) noexcept { return a = a & b; }

    // True when every bit of `flags` is set in this style (both words).
    constexpr IBase::Boolean contains(const Style& flags) const noexcept {
        return (asUnsignedLong() & flags.asUnsignedLong()) == flags.asUnsignedLong() &&
               (asExtendedUnsignedLong() & flags.asExtendedUnsignedLong()) ==
                   flags.asExtendedUnsignedLong();
    }

protected:
    using IBitFlag::IBitFlag;
};
