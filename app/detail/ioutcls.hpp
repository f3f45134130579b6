// Window classes that another module of the platform registers (the message-driven container,
// the outside notebook, spin button and sliders): on the platform the system loads that module
// with the session, so a program never loads it itself. Here the library loads it by name the
// first time it makes a window of one of its classes.
#pragma once

namespace ovk_native {

// Makes sure the global window class is registered, loading the module that registers it when
// it is not. Quiet when the module cannot be loaded: creating the window then fails and reports
// as it always did.
void ensureOutsideClass(const char* className, const char* moduleName) noexcept;

// The modules that register the outside classes.
inline constexpr const char kContainerModule[] = "ovkcnr";
inline constexpr const char kControlsModule[] = "ovkctls";

} // namespace ovk_native
