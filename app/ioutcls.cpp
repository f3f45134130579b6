// Loading the module that registers an outside window class, once, on first use.
#include <windows.h>

#include <mutex>

#include "detail/imodload.hpp"
#include "detail/ioutcls.hpp"

namespace ovk_native {

void ensureOutsideClass(const char* className, const char* moduleName) noexcept
{
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    // A global class is found with any instance; the check is cheap once the class is there.
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &info))
        return;
    // One loader at a time, so that two threads making their first container load it once.
    static std::mutex loading;
    const std::lock_guard<std::mutex> lock(loading);
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &info))
        return;
    // Never freed: the module's window procedure must outlive every window of its classes, and
    // those may live until the process ends. Never taken from the current directory either: the
    // module's code runs in the program as soon as it is loaded.
    loadModuleByName(moduleName);
}

} // namespace ovk_native
