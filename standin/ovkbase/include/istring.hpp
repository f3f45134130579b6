// The base library's text string: length-counted, binary-safe, cheap to copy.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"
#include "ibuffer.hpp"

#include <cstddef>
#include <type_traits>

// An IString holds any bytes, NUL included; its length counts them all, and the storage always
// ends with one more NUL, so the conversion to `const char*` is a valid C string (which stops at
// the first embedded NUL).
//
// Positions are 1-based everywhere, `operator[]` included; a search answers 0 when it finds
// nothing. Operations that take a position accept any value: positions past the end simply find
// nothing or extend the string as each operation says.
//
// The object is exactly one pointer, to its first character (the buffer's header lies in front
// of it), so a record that keeps an IString can hand its text pointer to code that reads a plain
// `char*` field. Copies share the buffer until one of them changes.
class OVKBASE_API IString {
public:
    IString() noexcept;
    IString(const char* text);                     // NUL-terminated; a null pointer gives ""
    IString(const char* data, std::size_t length); // exactly `length` bytes, NULs included
    explicit IString(char c);
    explicit IString(signed char c);
    explicit IString(unsigned char c);
    // Numbers in decimal ("-12", "4294967295"); a double in its shortest exact form ("0.5").
    explicit IString(int value);
    explicit IString(unsigned value);
    explicit IString(long value);
    explicit IString(unsigned long value);
    explicit IString(long long value);
    explicit IString(unsigned long long value);
    explicit IString(double value);

    IString(const IString& other) noexcept;
    IString(IString&& other) noexcept;
    IString& operator=(const IString& other) noexcept;
    IString& operator=(IString&& other) noexcept;
    ~IString();

    static IString repeated(char c, std::size_t count);

    // Size and contents.
    std::size_t length() const noexcept { return IBuffer::fromData(fData)->length(); }
    std::size_t size() const noexcept { return length(); }
    IBase::Boolean isEmpty() const noexcept { return length() == 0; }
    operator const char*() const noexcept { return fData; }
    const char* data() const noexcept { return fData; }
    // A writable pointer to the characters (length() + 1 of them, the last a NUL); the string
    // stops sharing its buffer first. The pointer is good until the string next changes.
    char* writableData();
    const IBuffer& buffer() const noexcept { return *IBuffer::fromData(fData); }

    // The character at a 1-based position; outside 1..length() the argument check fails.
    char charAt(std::size_t position) const;
    template <class Index, std::enable_if_t<std::is_integral<Index>::value, int> = 0>
    char operator[](Index position) const {
        return charAt(position < 1 ? 0 : static_cast<std::size_t>(position));
    }

    // Searching: the 1-based position of the first match at or after `start` (of the last match
    // starting at or before `start`), 0 when there is none. An empty pattern matches nowhere.
    static constexpr std::size_t maxPosition = static_cast<std::size_t>(-1);
    std::size_t indexOf(const IString& pattern, std::size_t start = 1) const noexcept;
    std::size_t indexOf(const char* pattern, std::size_t start = 1) const noexcept;
    std::size_t indexOf(char c, std::size_t start = 1) const noexcept;
    std::size_t indexOfAnyOf(const IString& characters, std::size_t start = 1) const noexcept;
    std::size_t lastIndexOf(const IString& pattern, std::size_t start = maxPosition) const noexcept;
    std::size_t lastIndexOf(const char* pattern, std::size_t start = maxPosition) const noexcept;
    std::size_t lastIndexOf(char c, std::size_t start = maxPosition) const noexcept;
    IBase::Boolean includes(const IString& pattern) const noexcept { return indexOf(pattern) != 0; }

    // The characters from `start` on (`length` of them at most); empty when `start` is 0 or past
    // the end. Never padded.
    IString subString(std::size_t start) const;
    IString subString(std::size_t start, std::size_t length) const;

    // Editing in place; each returns the string.
    // Replaces the characters from `start` on with `text`; a start past the end pads the gap with
    // `pad`, and the string grows when the text runs past its end.
    IString& overlayWith(const IString& text, std::size_t start = 1, char pad = ' ');
    // Replaces up to `maxChanges` non-overlapping occurrences of `pattern` found from `start` on.
    IString& change(const IString& pattern, const IString& replacement, std::size_t start = 1,
                    std::size_t maxChanges = maxPosition);
    // Removes white space (blank, tab, line feed, carriage return, form feed, vertical tab), or
    // the given characters, from both ends, the front or the back.
    IString& strip();
    IString& stripLeading();
    IString& stripTrailing();
    IString& strip(char c);
    IString& strip(const IString& characters);
    IString& stripLeading(const IString& characters);
    IString& stripTrailing(const IString& characters);
    // ASCII letters only, so the result does not depend on the process's locale.
    IString& upperCase();
    IString& lowerCase();
    static IString upperCase(const IString& text);
    static IString lowerCase(const IString& text);
    // Binary to hexadecimal text ("\x01\xAB" -> "01AB") and back. x2c takes upper or lower case,
    // treats an odd length as having a leading 0, and fails the argument check "isHexDigits()"
    // on anything else.
    IString& c2x();
    IString& x2c();
    static IString c2x(const IString& data);
    static IString x2c(const IString& hexText);

    // Tests and numbers.
    IBase::Boolean isDigits() const noexcept;    // not empty, only 0-9
    IBase::Boolean isHexDigits() const noexcept; // not empty, only 0-9, a-f, A-F
    IBase::Boolean isPlainText() const noexcept { return buffer().isPlainText(); }
    // Decimal conversions: leading and trailing white space and one sign are allowed; reading
    // stops at the first other character; no digits give 0; values beyond the type's range are
    // clamped to it.
    int asInt() const noexcept;
    unsigned asUnsigned() const noexcept;
    double asDouble() const noexcept;

    // Overwrites every character of the storage with zeros and empties the string: for
    // secrets, which must not outlive their use in freed memory. A storage that copies still
    // share is only let go, never changed under them: the last holder to wipe zeroes it.
    IString& wipe() noexcept;

    IString& operator+=(const IString& text);
    IString& operator+=(const char* text);
    IString& operator+=(char c);

    // Exact, binary-safe comparison (bytes as unsigned characters; a proper prefix sorts first).
    int compare(const IString& other) const noexcept;
    int compare(const char* text) const noexcept;

private:
    IString& replace(std::size_t offset, std::size_t count, const char* text, std::size_t length);
    void makeUnique(std::size_t capacity);

    char* fData;
};

static_assert(sizeof(IString) == sizeof(char*), "IString must be one pointer");

OVKBASE_API IString operator+(const IString& left, const IString& right);
OVKBASE_API IString operator+(const IString& left, const char* right);
OVKBASE_API IString operator+(const char* left, const IString& right);
OVKBASE_API IString operator+(const IString& left, char right);

// Without these exact overloads `text == "abc"` would be ambiguous between the string comparison
// and the comparison of two pointers through the conversion to const char*.
inline bool operator==(const IString& a, const IString& b) noexcept { return a.compare(b) == 0; }
inline bool operator==(const IString& a, const char* b) noexcept { return a.compare(b) == 0; }
inline bool operator==(const char* a, const IString& b) noexcept { return b.compare(a) == 0; }
inline bool operator!=(const IString& a, const IString& b) noexcept { return !(a == b); }
inline bool operator!=(const IString& a, const char* b) noexcept { return !(a == b); }
inline bool operator!=(const char* a, const IString& b) noexcept { return !(a == b); }
inline bool operator<(const IString& a, const IString& b) noexcept { return a.compare(b) < 0; }
inline bool operator<(const IString& a, const char* b) noexcept { return a.compare(b) < 0; }
inline bool operator<(const char* a, const IString& b) noexcept { return b.compare(a) > 0; }
inline bool operator>(const IString& a, const IString& b) noexcept { return b < a; }
inline bool operator>(const IString& a, const char* b) noexcept { return b < a; }
inline bool operator>(const char* a, const IString& b) noexcept { return b < a; }
inline bool operator<=(const IString& a, const IString& b) noexcept { return !(b < a); }
inline bool operator<=(const IString& a, const char* b) noexcept { return !(b < a); }
inline bool operator<=(const char* a, const IString& b) noexcept { return !(b < a); }
inline bool operator>=(const IString& a, const IString& b) noexcept { return !(a < b); }
inline bool operator>=(const IString& a, const char* b) noexcept { return !(a < b); }
inline bool operator>=(const char* a, const IString& b) noexcept { return !(a < b); }
