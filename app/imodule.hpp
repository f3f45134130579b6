// Value wrappers of the native handles that resource libraries hand out besides pointers and
// bitmaps: a module and a menu. They do not own what they name; copying one copies the name.
#pragma once

#include "idefs.hpp"
#include "ihandval.hpp"

// The native handle types, declared as <windows.h> declares them, so that this header does not
// bring the whole platform header into every user of the library.
struct HINSTANCE__;
struct HMENU__;

// A native module handle (an executable or a dynamic-link library loaded into the process).
class OVKWIN_API IModuleHandle : public IHandleValue<HINSTANCE__> {
public:
    using IHandleValue::IHandleValue;
};

// A native menu handle.
class OVKWIN_API IMenuHandle : public IHandleValue<HMENU__> {
public:
    using IHandleValue::IHandleValue;
};
