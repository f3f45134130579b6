// The two parameters of a window message as values with access to their 16-bit halves.
#pragma once

#include <ievtdata.hpp>

#include "idefs.hpp"

// The first message parameter (WPARAM). Pointer wide, like IEventData, so that a handle or a
// pointer passed in it survives on 64-bit Windows.
class IEventParameter1 : public IEventData {
public:
    using IEventData::IEventData;
    constexpr IEventParameter1() noexcept = default;
    constexpr IEventParameter1(const IEventData& data) noexcept : IEventData(data) {}
};

// The second message parameter (LPARAM), signed: points packed into it keep their sign
// through asLong().
class IEventParameter2 : public IEventData {
public:
    using IEventData::IEventData;
    constexpr IEventParameter2() noexcept = default;
    constexpr IEventParameter2(const IEventData& data) noexcept : IEventData(data) {}
};
