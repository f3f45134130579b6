// ITime: a time of day as seconds since midnight.
#pragma once

#include "istring.hpp"

// Values from 0 to 86399; a larger count of seconds wraps into the day.
class ITime {
public:
    constexpr ITime() noexcept = default;
    constexpr explicit ITime(unsigned long secondsOfDay) noexcept
        : fSeconds(static_cast<unsigned>(secondsOfDay % 86400UL)) {}
    constexpr ITime(unsigned hours, unsigned minutes, unsigned seconds) noexcept
        : ITime((hours * 60UL + minutes) * 60UL + seconds) {}

    constexpr unsigned long asSeconds() const noexcept { return fSeconds; }
    constexpr unsigned hours() const noexcept { return fSeconds / 3600; }
    constexpr unsigned minutes() const noexcept { return fSeconds / 60 % 60; }
    constexpr unsigned seconds() const noexcept { return fSeconds % 60; }

    friend constexpr bool operator==(const ITime& a, const ITime& b) noexcept {
        return a.fSeconds == b.fSeconds;
    }
    friend constexpr bool operator!=(const ITime& a, const ITime& b) noexcept { return !(a == b); }

    // "hours:minutes:seconds", each part in decimal.
    IString asString() const {
        return IString(hours()) + ":" + IString(minutes()) + ":" + IString(seconds());
    }

private:
    unsigned fSeconds = 0;
};
