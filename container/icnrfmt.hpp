// The texts a container's details view shows for numbers, dates and times, formatted by the
// user's international settings (the profile section "intl"), for any code that wants to show
// values the same way.
#pragma once

#include <cstddef>
#include <cstdint>

#include <idefs.hpp>

// A date and a time of day as a record stores them for a date or time column.
struct CNR_DATE {
    std::uint8_t day;
    std::uint8_t month;
    std::uint16_t year;
};

struct CNR_TIME {
    std::uint8_t hours;
    std::uint8_t minutes;
    std::uint8_t seconds;
    std::uint8_t reserved;
};

// Every text below fits, with its terminator, in a buffer of this many bytes: the settings are
// read at most 8 characters for the suffixes and 1 for each separator.
inline constexpr std::size_t kCnrFormatBufferSize = 32;

// Reverses a zero-terminated text in place, byte by byte; answers the text.
OVKWIN_API char* reverseText(char* text);
// "h:mm:ss am" on the 12-hour clock, "h:mm:ss" on the 24-hour clock ("iTime"), the hours with a
// leading zero when "iLzero" says so.
OVKWIN_API void formatTime(const CNR_TIME& time, char* out);
// Month, day and year in the order of "iDate", separated by "sDate".
OVKWIN_API void formatDate(const CNR_DATE& date, char* out);
// Decimal digits grouped by threes with "sThousand"; 0, with nothing written, when the scratch
// buffer cannot be had.
OVKWIN_API int formatNumber(unsigned long value, char* out);
