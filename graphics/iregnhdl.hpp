// IRegionHandle: value wrapper of a native region handle. It does not own the region.
#pragma once

#include <idefs.hpp>

struct HRGN__;

class OVKWIN_API IRegionHandle {
public:
    using Value = HRGN__*;

    constexpr IRegionHandle(Value handle = nullptr) noexcept : fHandle(handle) {}
    constexpr operator Value() const noexcept { return fHandle; }
    constexpr IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

private:
    Value fHandle;
};
