// IDate: a calendar date as day, month and year, with no calendar arithmetic.
#pragma once

#include "istring.hpp"

// The values are kept as given: the library only builds dates from stored fields and reads them
// back. Valid months are 1 to 12; nothing checks the day against the month.
class IDate {
public:
    constexpr IDate() noexcept = default;
    constexpr IDate(unsigned day, unsigned month, unsigned year) noexcept
        : fDay(static_cast<unsigned char>(day)), fMonth(static_cast<unsigned char>(month)),
          fYear(static_cast<unsigned short>(year)) {}

    constexpr unsigned dayOfMonth() const noexcept { return fDay; }
    constexpr unsigned monthOfYear() const noexcept { return fMonth; }
    constexpr unsigned year() const noexcept { return fYear; }

    friend constexpr bool operator==(const IDate& a, const IDate& b) noexcept {
        return a.fDay == b.fDay && a.fMonth == b.fMonth && a.fYear == b.fYear;
    }
    friend constexpr bool operator!=(const IDate& a, const IDate& b) noexcept { return !(a == b); }

    // "year-month-day", each part in decimal.
    IString asString() const {
        return IString(unsigned(fYear)) + "-" + IString(unsigned(fMonth)) + "-" + IString(unsigned(fDay));
    }

private:
    unsigned char fDay = 1;
    unsigned char fMonth = 1;
    unsigned short fYear = 1970;
};
