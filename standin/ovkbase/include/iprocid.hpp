// The identifiers of processes and threads as values with a text form.
#pragma once

#include "istring.hpp"

#include <cstdint>

// A 32-bit system identifier. The text form is the decimal number; both sides of an exchange
// (a drag between processes) use it, so it must not change.
template <class Tag>
class ISystemId {
public:
    using Value = std::uint32_t;

    constexpr ISystemId() noexcept = default;
    constexpr ISystemId(Value value) noexcept : fValue(value) {}

    constexpr Value asUnsigned() const noexcept { return fValue; }
    constexpr operator Value() const noexcept { return fValue; }
    IString asString() const { return IString(static_cast<unsigned long>(fValue)); }

private:
    Value fValue = 0;
};

struct IProcessIdTag {};
struct IThreadIdTag {};
using IProcessId = ISystemId<IProcessIdTag>;
using IThreadId = ISystemId<IThreadIdTag>;
