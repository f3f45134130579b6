// The common shape of the library's non-owning handle values.
#pragma once

#include "idefs.hpp"

// A native handle held by value: it names a platform object but does not own it, so copying
// one copies the name only and destroying one destroys nothing. Each handle class of the
// library derives from it with its own native type, so that handles of different kinds do not
// convert into one another.
template <class Native>
class IHandleValue {
public:
    using Value = Native*;

    constexpr IHandleValue(Value handle = nullptr) noexcept : fHandle(handle) {}

    constexpr operator Value() const noexcept { return fHandle; }
    constexpr Value asValue() const noexcept { return fHandle; }
    // True for any non-zero handle; whether it still names a live object is the platform's
    // question.
    constexpr IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

private:
    Value fHandle;
};
