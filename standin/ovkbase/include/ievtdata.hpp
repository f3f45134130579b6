// A message word: the parameters and results of window messages and the data of notifications.
#pragma once

#include <cstdint>
#include <type_traits>

// One pointer-wide word, so that it carries a WPARAM, an LPARAM, an LRESULT or a pointer on
// 64-bit Windows unchanged. The 16-bit halves name bits 0-15 and 16-31, as the messages of the
// 32-bit design pack them; the bits above 31 (64-bit builds) are kept but have no accessor
// of their own.
class IEventData {
public:
    constexpr IEventData() noexcept = default;

    // Any integer: signed values are sign-extended, so that an LPARAM of -1 survives a round
    // trip through asLong(); unsigned values are zero-extended.
    template <class Int, std::enable_if_t<std::is_integral<Int>::value, int> = 0>
    constexpr IEventData(Int value) noexcept : fValue(fromInteger(value)) {}
    template <class Enum, std::enable_if_t<std::is_enum<Enum>::value, int> = 0>
    constexpr IEventData(Enum value) noexcept
        : fValue(fromInteger(static_cast<std::underlying_type_t<Enum>>(value))) {}
    IEventData(const void* pointer) noexcept : fValue(reinterpret_cast<std::uintptr_t>(pointer)) {}
    // Low half in bits 0-15, high half in bits 16-31.
    constexpr IEventData(std::uint16_t lowNumber, std::uint16_t highNumber) noexcept
        : fValue(static_cast<std::uintptr_t>(lowNumber) |
                 (static_cast<std::uintptr_t>(highNumber) << 16)) {}
    // Two bytes in bits 0-7 and 8-15 and a number in bits 16-31.
    constexpr IEventData(char char1, char char2, std::uint16_t highNumber) noexcept
        : fValue(static_cast<std::uintptr_t>(static_cast<unsigned char>(char1)) |
                 (static_cast<std::uintptr_t>(static_cast<unsigned char>(char2)) << 8) |
                 (static_cast<std::uintptr_t>(highNumber) << 16)) {}

    constexpr std::uint16_t lowNumber() const noexcept { return static_cast<std::uint16_t>(fValue); }
    constexpr std::uint16_t highNumber() const noexcept {
        return static_cast<std::uint16_t>(fValue >> 16);
    }
    constexpr char char1() const noexcept { return byteAt(0); }
    constexpr char char2() const noexcept { return byteAt(1); }
    constexpr char char3() const noexcept { return byteAt(2); }
    constexpr char char4() const noexcept { return byteAt(3); }

    // The whole word, unsigned and signed (pointer wide: 64 bits on 64-bit Windows).
    constexpr std::uintptr_t asUnsignedLong() const noexcept { return fValue; }
    constexpr std::intptr_t asLong() const noexcept { return static_cast<std::intptr_t>(fValue); }
    void* asPointer() const noexcept { return reinterpret_cast<void*>(fValue); }

    friend constexpr bool operator==(const IEventData& a, const IEventData& b) noexcept {
        return a.fValue == b.fValue;
    }
    friend constexpr bool operator!=(const IEventData& a, const IEventData& b) noexcept {
        return a.fValue != b.fValue;
    }

private:
    template <class Int>
    static constexpr std::uintptr_t fromInteger(Int value) noexcept {
        if constexpr (std::is_signed<Int>::value) {
            return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value));
        } else {
            return static_cast<std::uintptr_t>(value);
        }
    }
    constexpr char byteAt(int index) const noexcept {
        return static_cast<char>(static_cast<unsigned char>(fValue >> (8 * index)));
    }

    std::uintptr_t fValue = 0;
};

static_assert(sizeof(IEventData) == sizeof(void*), "IEventData must be pointer wide");
