// The formatters of numbers, dates and times for the details view.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "icnrfmt.hpp"

namespace {

// The international settings, read once per process: the texts a container shows do not
// change under a running program, as the rest of its view would not either.
struct Settings {
    bool clock24 = false;
    bool leadingZero = false;
    char beforeNoon[9] = "am";
    char afterNoon[9] = "pm";
    char timeSeparator[2] = ":";
    int dateOrder = 0;
    char dateSeparator[2] = "/";
    char thousands[2] = ",";
};

// A text of the section, at most size - 1 characters; the default when the key is absent.
void readText(const char* key, char* value, DWORD size)
{
    char buffer[16] = {};
    GetProfileStringA("intl", key, value, buffer, sizeof buffer);
    std::memcpy(value, buffer, size - 1);
    value[size - 1] = '\0';
}

const Settings& settings()
{
    static const Settings read = [] {
        Settings values;
        values.clock24 = GetProfileIntA("intl", "iTime", 0) != 0;
        values.leadingZero = GetProfileIntA("intl", "iLzero", 0) != 0;
        readText("s1159", values.beforeNoon, sizeof values.beforeNoon);
        readText("s2359", values.afterNoon, sizeof values.afterNoon);
        readText("sTime", values.timeSeparator, sizeof values.timeSeparator);
        values.dateOrder = static_cast<int>(GetProfileIntA("intl", "iDate", 0));
        readText("sDate", values.dateSeparator, sizeof values.dateSeparator);
        readText("sThousand", values.thousands, sizeof values.thousands);
        return values;
    }();
    return read;
}

// The value in decimal, '0' in front when asked and the value is below 10, then the separator;
// answers the position after the text.
char* appendNumber(unsigned long value, char* out, const char* separator, bool leadingZero)
{
    if (leadingZero && value < 10)
        *out++ = '0';
    out += std::sprintf(out, "%lu", value);
    if (separator)
        for (const char* each = separator; *each; ++each)
            *out++ = *each;
    *out = '\0';
    return out;
}

} // namespace

char* reverseText(char* text)
{
    if (!text)
        return text;
    for (std::size_t i = 0, j = std::strlen(text); i + 1 < j; ++i, --j)
        std::swap(text[i], text[j - 1]);
    return text;
}

void formatTime(const CNR_TIME& time, char* out)
{
    const Settings& intl = settings();
    unsigned hours = time.hours;
    const bool afterNoon = hours >= 12;
    if (!intl.clock24) {
        hours = hours < 12 ? hours : hours - 12;
        if (hours == 0)
            hours = 12;
    }
    char* at = appendNumber(hours, out, intl.timeSeparator, intl.leadingZero);
    at = appendNumber(time.minutes, at, intl.timeSeparator, true);
    at = appendNumber(time.seconds, at, nullptr, true);
    if (!intl.clock24) {
        *at++ = ' ';
        std::strcpy(at, afterNoon ? intl.afterNoon : intl.beforeNoon);
    }
}

void formatDate(const CNR_DATE& date, char* out)
{
    const Settings& intl = settings();
    struct Part {
        unsigned long value;
        bool leadingZero;
    };
    const Part day{date.day, intl.leadingZero};
    const Part month{date.month, intl.leadingZero};
    // The year always has its leading zero below 10.
    const Part year{date.year, true};
    const Part monthFirst[3] = {month, day, year};
    const Part dayFirst[3] = {day, month, year};
    const Part yearFirst[3] = {year, month, day};
    const Part* order = intl.dateOrder == 1 ? dayFirst : intl.dateOrder == 2 ? yearFirst : monthFirst;
    char* at = appendNumber(order[0].value, out, intl.dateSeparator, order[0].leadingZero);
    at = appendNumber(order[1].value, at, intl.dateSeparator, order[1].leadingZero);
    appendNumber(order[2].value, at, nullptr, order[2].leadingZero);
}

int formatNumber(unsigned long value, char* out)
{
    const Settings& intl = settings();
    if (value < 1000) {
        appendNumber(value, out, nullptr, false);
        return 1;
    }
    char* digits = new (std::nothrow) char[30];
    if (!digits)
        return 0;
    // Grouped from the lowest digit: the digits reversed, a separator after every third one
    // that more digits follow, and the whole reversed back.
    std::sprintf(digits, "%lu", value);
    reverseText(digits);
    char* at = out;
    const std::size_t length = std::strlen(digits);
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0 && i % 3 == 0)
            for (const char* each = intl.thousands; *each; ++each)
                *at++ = *each;
        *at++ = digits[i];
    }
    *at = '\0';
    reverseText(out);
    delete[] digits;
    return 1;
}
