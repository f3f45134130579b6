// The string and its shared buffer.
#include "istring.hpp"

#include "ibuffer.hpp"
#include "iexcept.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <system_error>

// ---------------------------------------------------------------------------------------------
// IBuffer

// The buffer of every empty string: constant-initialised, so that strings made during static
// initialisation (style names, notification texts) never see it unbuilt. Its use count is never
// changed; it is told apart by its address.
struct IBuffer::EmptyStorage {
    constexpr EmptyStorage() noexcept : header(0, 0, 1), terminator('\0') {}
    IBuffer header;
    char terminator;
};

IBuffer::EmptyStorage IBuffer::fgEmpty;

IBuffer* IBuffer::empty() noexcept { return &fgEmpty.header; }

IBuffer* IBuffer::allocate(std::size_t length, std::size_t capacity) {
    if (capacity > std::numeric_limits<std::size_t>::max() - sizeof(IBuffer) - 1) {
        throw std::bad_alloc();
    }
    void* block = ::operator new(sizeof(IBuffer) + capacity + 1);
    IBuffer* buffer = new (block) IBuffer(length, capacity, 1);
    buffer->data()[length] = '\0';
    return buffer;
}

IBuffer* IBuffer::fromContents(const char* data, std::size_t length) {
    if (length == 0) return empty();
    IBuffer* buffer = allocate(length, length);
    std::memcpy(buffer->data(), data, length);
    return buffer;
}

bool IBuffer::isShared() const noexcept {
    return this == &fgEmpty.header || fUseCount.load(std::memory_order_acquire) > 1;
}

void IBuffer::addRef() noexcept {
    if (this != &fgEmpty.header) fUseCount.fetch_add(1, std::memory_order_relaxed);
}

void IBuffer::removeRef() noexcept {
    if (this == &fgEmpty.header) return;
    if (fUseCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        this->~IBuffer();
        ::operator delete(static_cast<void*>(this));
    }
}

void IBuffer::setLength(std::size_t length) noexcept {
    fLength = length;
    data()[length] = '\0';
}

int IBuffer::compare(const char* other, std::size_t otherLength) const noexcept {
    std::size_t common = std::min(fLength, otherLength);
    int result = common == 0 ? 0 : std::memcmp(contents(), other, common);
    if (result != 0) return result;
    return fLength < otherLength ? -1 : (fLength > otherLength ? 1 : 0);
}

IBase::Boolean IBuffer::isPlainText() const noexcept {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(contents());
    for (std::size_t i = 0; i < fLength; ++i) {
        unsigned char c = p[i];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == 0x7F) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// IString: construction

namespace {
const char kWhiteSpace[] = " \t\n\r\f\v";

IString decimal(unsigned long long magnitude, bool negative) {
    char text[24];
    char* end = text + sizeof text;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--p = '-';
    return IString(p, static_cast<std::size_t>(end - p));
}

IString signedDecimal(long long value) {
    // The magnitude of LLONG_MIN does not fit a long long: negate in unsigned arithmetic.
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    return decimal(magnitude, value < 0);
}

bool isIn(char c, const char* set, std::size_t setLength) noexcept {
    return std::memchr(set, c, setLength) != nullptr;
}

char asciiUpper(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char asciiLower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

int hexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

IString::IString() noexcept : fData(IBuffer::empty()->data()) {}

IString::IString(const char* text)
    : fData(IBuffer::fromContents(text, text == nullptr ? 0 : std::strlen(text))->data()) {}

IString::IString(const char* data, std::size_t length)
    : fData(IBuffer::fromContents(data, data == nullptr ? 0 : length)->data()) {}

IString::IString(char c) : fData(IBuffer::fromContents(&c, 1)->data()) {}
IString::IString(signed char c) : IString(static_cast<char>(c)) {}
IString::IString(unsigned char c) : IString(static_cast<char>(c)) {}
IString::IString(int value) : IString(signedDecimal(value)) {}
IString::IString(long value) : IString(signedDecimal(value)) {}
IString::IString(long long value) : IString(signedDecimal(value)) {}
IString::IString(unsigned value) : IString(decimal(value, false)) {}
IString::IString(unsigned long value) : IString(decimal(value, false)) {}
IString::IString(unsigned long long value) : IString(decimal(value, false)) {}

IString::IString(double value) : IString() {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    *this = IString(text, static_cast<std::size_t>(result.ptr - text));
}

IString::IString(const IString& other) noexcept : fData(other.fData) {
    IBuffer::fromData(fData)->addRef();
}

IString::IString(IString&& other) noexcept : fData(other.fData) {
    other.fData = IBuffer::empty()->data();
}

IString& IString::operator=(const IString& other) noexcept {
    // Take the new reference before dropping the old one: self-assignment stays intact.
    IBuffer::fromData(other.fData)->addRef();
    IBuffer::fromData(fData)->removeRef();
    fData = other.fData;
    return *this;
}

IString& IString::operator=(IString&& other) noexcept {
    if (this != &other) {
        IBuffer::fromData(fData)->removeRef();
        fData = other.fData;
        other.fData = IBuffer::empty()->data();
    }
    return *this;
}

IString::~IString() { IBuffer::fromData(fData)->removeRef(); }

IString IString::repeated(char c, std::size_t count) {
    IString text;
    if (count == 0) return text;
    IBuffer* buffer = IBuffer::allocate(count, count);
    std::memset(buffer->data(), static_cast<unsigned char>(c), count);
    IBuffer::fromData(text.fData)->removeRef();
    text.fData = buffer->data();
    return text;
}

// ---------------------------------------------------------------------------------------------
// IString: storage

// Gives this string a buffer of its own with room for `capacity` characters, keeping the
// contents (up to the capacity).
void IString::makeUnique(std::size_t capacity) {
    IBuffer* current = IBuffer::fromData(fData);
    if (!current->isShared() && current->capacity() >= capacity) return;
    std::size_t keep = std::min(current->length(), capacity);
    IBuffer* fresh = IBuffer::allocate(keep, std::max(capacity, keep));
    std::memcpy(fresh->data(), current->contents(), keep);
    current->removeRef();
    fData = fresh->data();
}

IString& IString::wipe() noexcept {
    IBuffer* buffer = IBuffer::fromData(fData);
    // Another holder's string is never changed: a shared storage is only let go here, and the
    // last holder's wipe zeroes it.
    if (!buffer->isShared()) {
        volatile char* bytes = fData;
        for (std::size_t at = 0; at < buffer->capacity(); ++at)
            bytes[at] = '\0';
    }
    *this = IString();
    return *this;
}

char* IString::writableData() {
    makeUnique(length());
    return fData;
}

// Replaces `count` characters at the 0-based `offset` with `textLength` bytes of `text`. The
// text may lie inside this string's own buffer.
IString& IString::replace(std::size_t offset, std::size_t count, const char* text,
                          std::size_t textLength) {
    std::size_t oldLength = length();
    std::size_t newLength = oldLength - count + textLength;
    if (newLength == 0) {
        *this = IString();
        return *this;
    }
    IBuffer* current = IBuffer::fromData(fData);
    std::less<const char*> before;
    bool textInside = !before(text, fData) && before(text, fData + oldLength);
    if (current->isShared() || current->capacity() < newLength || textInside) {
        // Grow geometrically so that repeated appends stay linear.
        std::size_t capacity = newLength;
        if (!current->isShared() && newLength > current->capacity()) {
            capacity = std::max(newLength, current->capacity() + current->capacity() / 2);
        }
        IBuffer* fresh = IBuffer::allocate(newLength, capacity);
        char* out = fresh->data();
        std::memcpy(out, current->contents(), offset);
        if (textLength != 0) std::memcpy(out + offset, text, textLength);
        std::memcpy(out + offset + textLength, current->contents() + offset + count,
                    oldLength - offset - count);
        current->removeRef();
        fData = out;
        return *this;
    }
    std::memmove(fData + offset + textLength, fData + offset + count, oldLength - offset - count);
    if (textLength != 0) std::memcpy(fData + offset, text, textLength);
    current->setLength(newLength);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// IString: access and searching

char IString::charAt(std::size_t position) const {
    if (position < 1 || position > length()) {
        IThrow::argument("position >= 1 && position <= length()",
                         IExceptionLocation("istring", "IString::charAt(std::size_t) const",
                                            __LINE__));
    }
    return fData[position - 1];
}

namespace {
std::size_t find(const char* text, std::size_t length, const char* pattern,
                 std::size_t patternLength, std::size_t start) noexcept {
    if (patternLength == 0 || start == 0) start = 1;
    if (patternLength == 0 || patternLength > length || start > length - patternLength + 1) {
        return 0;
    }
    const char* first = text + start - 1;
    const char* last = text + length;
    const char* found = std::search(first, last, pattern, pattern + patternLength);
    return found == last ? 0 : static_cast<std::size_t>(found - text) + 1;
}

std::size_t findLast(const char* text, std::size_t length, const char* pattern,
                     std::size_t patternLength, std::size_t start) noexcept {
    if (patternLength == 0 || patternLength > length || start == 0) return 0;
    std::size_t position = std::min(start, length - patternLength + 1);
    for (; position >= 1; --position) {
        if (std::memcmp(text + position - 1, pattern, patternLength) == 0) return position;
    }
    return 0;
}
} // namespace

std::size_t IString::indexOf(const IString& pattern, std::size_t start) const noexcept {
    return find(fData, length(), pattern.fData, pattern.length(), start);
}

std::size_t IString::indexOf(const char* pattern, std::size_t start) const noexcept {
    return pattern == nullptr ? 0 : find(fData, length(), pattern, std::strlen(pattern), start);
}

std::size_t IString::indexOf(char c, std::size_t start) const noexcept {
    return find(fData, length(), &c, 1, start);
}

std::size_t IString::indexOfAnyOf(const IString& characters, std::size_t start) const noexcept {
    std::size_t n = length();
    for (std::size_t i = std::max<std::size_t>(start, 1); i <= n; ++i) {
        if (isIn(fData[i - 1], characters.fData, characters.length())) return i;
    }
    return 0;
}

std::size_t IString::lastIndexOf(const IString& pattern, std::size_t start) const noexcept {
    return findLast(fData, length(), pattern.fData, pattern.length(), start);
}

std::size_t IString::lastIndexOf(const char* pattern, std::size_t start) const noexcept {
    return pattern == nullptr ? 0
                              : findLast(fData, length(), pattern, std::strlen(pattern), start);
}

std::size_t IString::lastIndexOf(char c, std::size_t start) const noexcept {
    return findLast(fData, length(), &c, 1, start);
}

IString IString::subString(std::size_t start) const { return subString(start, maxPosition); }

IString IString::subString(std::size_t start, std::size_t count) const {
    std::size_t n = length();
    if (start < 1 || start > n) return IString();
    count = std::min(count, n - start + 1);
    if (count == n) return *this;
    return IString(fData + start - 1, count);
}

// ---------------------------------------------------------------------------------------------
// IString: editing

IString& IString::overlayWith(const IString& text, std::size_t start, char pad) {
    if (start < 1) start = 1;
    std::size_t n = length();
    if (start > n + 1) {
        IString padding = repeated(pad, start - 1 - n);
        replace(n, 0, padding.fData, padding.length());
        n = length();
    }
    std::size_t offset = start - 1;
    std::size_t covered = std::min(text.length(), n - offset);
    // Hold the text: it may be this very string.
    IString keep(text);
    return replace(offset, covered, keep.fData, keep.length());
}

IString& IString::change(const IString& pattern, const IString& replacement, std::size_t start,
                         std::size_t maxChanges) {
    if (pattern.isEmpty() || maxChanges == 0) return *this;
    IString keepPattern(pattern);
    IString keepReplacement(replacement);
    IString result;
    std::size_t copiedUpTo = 1; // 1-based position of the first character not yet copied
    std::size_t changes = 0;
    std::size_t at = indexOf(keepPattern, start);
    while (at != 0 && changes < maxChanges) {
        result.replace(result.length(), 0, fData + copiedUpTo - 1, at - copiedUpTo);
        result += keepReplacement;
        copiedUpTo = at + keepPattern.length();
        ++changes;
        at = indexOf(keepPattern, copiedUpTo);
    }
    if (changes == 0) return *this;
    result.replace(result.length(), 0, fData + copiedUpTo - 1, length() - copiedUpTo + 1);
    return *this = result;
}

IString& IString::strip() { return strip(IString(kWhiteSpace)); }
IString& IString::stripLeading() { return stripLeading(IString(kWhiteSpace)); }
IString& IString::stripTrailing() { return stripTrailing(IString(kWhiteSpace)); }
IString& IString::strip(char c) { return strip(IString(c)); }

IString& IString::strip(const IString& characters) {
    stripTrailing(characters);
    return stripLeading(characters);
}

IString& IString::stripLeading(const IString& characters) {
    std::size_t n = length();
    std::size_t i = 0;
    while (i < n && isIn(fData[i], characters.fData, characters.length())) ++i;
    return i == 0 ? *this : replace(0, i, nullptr, 0);
}

IString& IString::stripTrailing(const IString& characters) {
    std::size_t n = length();
    std::size_t keep = n;
    while (keep > 0 && isIn(fData[keep - 1], characters.fData, characters.length())) --keep;
    return keep == n ? *this : replace(keep, n - keep, nullptr, 0);
}

IString& IString::upperCase() {
    std::size_t n = length();
    std::size_t i = 0;
    while (i < n && asciiUpper(fData[i]) == fData[i]) ++i;
    if (i == n) return *this;
    char* p = writableData();
    for (; i < n; ++i) p[i] = asciiUpper(p[i]);
    return *this;
}

IString& IString::lowerCase() {
    std::size_t n = length();
    std::size_t i = 0;
    while (i < n && asciiLower(fData[i]) == fData[i]) ++i;
    if (i == n) return *this;
    char* p = writableData();
    for (; i < n; ++i) p[i] = asciiLower(p[i]);
    return *this;
}

IString IString::upperCase(const IString& text) { return IString(text).upperCase(); }
IString IString::lowerCase(const IString& text) { return IString(text).lowerCase(); }

IString& IString::c2x() {
    static const char digits[] = "0123456789ABCDEF";
    std::size_t n = length();
    if (n == 0) return *this;
    IString hex = repeated('0', 2 * n);
    char* out = hex.fData;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(fData[i]);
        out[2 * i] = digits[c >> 4];
        out[2 * i + 1] = digits[c & 0xF];
    }
    return *this = hex;
}

IString& IString::x2c() {
    std::size_t n = length();
    if (n == 0) return *this;
    if (!isHexDigits()) {
        IThrow::argument("isHexDigits()", IExceptionLocation("istring", "IString::x2c()", __LINE__));
    }
    // An odd count of digits reads as if it had a leading 0.
    std::size_t odd = n % 2;
    IString bytes = repeated('\0', (n + odd) / 2);
    char* out = bytes.fData;
    std::size_t in = 0;
    std::size_t o = 0;
    if (odd != 0) out[o++] = static_cast<char>(hexValue(fData[in++]));
    for (; in < n; in += 2) {
        out[o++] = static_cast<char>((hexValue(fData[in]) << 4) | hexValue(fData[in + 1]));
    }
    return *this = bytes;
}

IString IString::c2x(const IString& data) { return IString(data).c2x(); }
IString IString::x2c(const IString& hexText) { return IString(hexText).x2c(); }

// ---------------------------------------------------------------------------------------------
// IString: tests and numbers

IBase::Boolean IString::isDigits() const noexcept {
    std::size_t n = length();
    if (n == 0) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (fData[i] < '0' || fData[i] > '9') return false;
    }
    return true;
}

IBase::Boolean IString::isHexDigits() const noexcept {
    std::size_t n = length();
    if (n == 0) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (hexValue(fData[i]) < 0) return false;
    }
    return true;
}

namespace {
// Reads [white space][sign]digits; the magnitude saturates at `limit`.
bool readDecimal(const char* p, std::size_t n, bool& negative, unsigned long long& magnitude,
                 unsigned long long limit) noexcept {
    std::size_t i = 0;
    while (i < n && isIn(p[i], kWhiteSpace, sizeof kWhiteSpace - 1)) ++i;
    negative = false;
    if (i < n && (p[i] == '+' || p[i] == '-')) negative = p[i++] == '-';
    magnitude = 0;
    bool any = false;
    for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i) {
        any = true;
        unsigned digit = static_cast<unsigned>(p[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return any;
}
} // namespace

int IString::asInt() const noexcept {
    bool negative = false;
    unsigned long long magnitude = 0;
    const unsigned long long limit = static_cast<unsigned long long>(INT_MAX) + 1;
    if (!readDecimal(fData, length(), negative, magnitude, limit)) return 0;
    if (negative) return magnitude >= limit ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude > static_cast<unsigned long long>(INT_MAX) ? INT_MAX
                                                                : static_cast<int>(magnitude);
}

unsigned IString::asUnsigned() const noexcept {
    bool negative = false;
    unsigned long long magnitude = 0;
    if (!readDecimal(fData, length(), negative, magnitude, UINT_MAX)) return 0;
    return negative ? 0U : static_cast<unsigned>(magnitude);
}

double IString::asDouble() const noexcept {
    const char* p = fData;
    const char* last = fData + length();
    while (p < last && isIn(*p, kWhiteSpace, sizeof kWhiteSpace - 1)) ++p;
    if (p < last && *p == '+') ++p;
    double value = 0.0;
    auto result = std::from_chars(p, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow: clamp as the integer conversions do.
        bool negative = p < last && *p == '-';
        IString digits(p, static_cast<std::size_t>(last - p));
        std::size_t exponent = digits.indexOfAnyOf("eE");
        bool tiny = exponent != 0 && digits.indexOf('-', exponent) == exponent + 1;
        double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -magnitude : magnitude;
    }
    return result.ec == std::errc() ? value : 0.0;
}

// ---------------------------------------------------------------------------------------------
// IString: operators

IString& IString::operator+=(const IString& text) {
    IString keep(text);
    return replace(length(), 0, keep.fData, keep.length());
}

IString& IString::operator+=(const char* text) {
    return text == nullptr ? *this : replace(length(), 0, text, std::strlen(text));
}

IString& IString::operator+=(char c) { return replace(length(), 0, &c, 1); }

int IString::compare(const IString& other) const noexcept {
    return buffer().compare(other.fData, other.length());
}

int IString::compare(const char* text) const noexcept {
    return buffer().compare(text == nullptr ? "" : text, text == nullptr ? 0 : std::strlen(text));
}

IString operator+(const IString& left, const IString& right) { return IString(left) += right; }
IString operator+(const IString& left, const char* right) { return IString(left) += right; }
IString operator+(const char* left, const IString& right) { return IString(left) += right; }
IString operator+(const IString& left, char right) { return IString(left) += right; }
