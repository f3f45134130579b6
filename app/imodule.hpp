// Value wrappers of the native handles that resource libraries hand out besides pointers and
// bitmaps: a module and a menu. They do not own what they name; copying one copies the name.
#pragma once

#include "idefs.hpp"

// The native handle types, declared as <windows.h> declares them, so that this header does not
// bring the whole platform header into every user of the library.
struct HINSTANCE__;
struct HMENU__;

// A native module handle (an executable or a dynamic-link library loaded into the process).
class OVKWIN_API IModuleHandle {
public:
    using Value = HINSTANCE__*;

    constexpr IModuleHandle(Value handle = nullptr) noexcept : fHandle(handle) {}
    constexpr operator Value() const noexcept { return fHandle; }
    constexpr Value asValue() const noexcept { return fHandle; }
    constexpr IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

private:
    Value fHandle;
};

// A native menu handle.
class OVKWIN_API IMenuHandle {
public:
    using Value = HMENU__*;

    constexpr IMenuHandle(Value handle = nullptr) noexcept : fHandle(handle) {}
    constexpr operator Value() const noexcept { return fHandle; }
    constexpr Value asValue() const noexcept { return fHandle; }
    constexpr IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

private:
    Value fHandle;
};
