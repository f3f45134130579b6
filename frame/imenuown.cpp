// The sub-menus that the library made or loaded, and those of them taken off their items.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "detail/imenuown.hpp"

namespace imenu {
namespace {

// The mark is the address of this object: no application value can equal it by chance.
const char gMadeMark = 0;

ULONG_PTR madeMark()
{
    return reinterpret_cast<ULONG_PTR>(&gMadeMark);
}

struct Detached {
    HMENU submenu;
    HMENU holder;
};

// Menus may live on any thread; the list is short and the lock is never held across a call
// that sends to a window.
std::mutex gDetachedLock;
std::vector<Detached>* gDetached = nullptr;

std::vector<Detached>& detachedList()
{
    if (!gDetached)
        gDetached = new std::vector<Detached>;
    return *gDetached;
}

bool holds(HMENU menu, HMENU submenu)
{
    const int count = GetMenuItemCount(menu);
    for (int at = 0; at < count; ++at) {
        const HMENU inner = GetSubMenu(menu, at);
        if (inner && (inner == submenu || holds(inner, submenu)))
            return true;
    }
    return false;
}

struct MenuSearch {
    HMENU submenu;
    bool found;
};

BOOL CALLBACK searchWindowMenu(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<MenuSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    const HMENU menu = GetMenu(window);
    if (menu && IsMenu(menu) && (menu == search->submenu || holds(menu, search->submenu)))
        search->found = true;
    return search->found ? FALSE : TRUE;
}

// Whether a window of this program shows the sub-menu in its menu bar, where the application
// may have put it back by the platform's own calls.
bool inAWindowMenu(HMENU submenu)
{
    MenuSearch search{submenu, false};
    EnumWindows(&searchWindowMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

void markMade(HMENU menu) noexcept
{
    if (!menu)
        return;
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MENUDATA;
    info.dwMenuData = madeMark();
    SetMenuInfo(menu, &info);
    const int count = GetMenuItemCount(menu);
    for (int at = 0; at < count; ++at)
        markMade(GetSubMenu(menu, at));
}

bool isMade(HMENU menu) noexcept
{
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MENUDATA;
    return menu && GetMenuInfo(menu, &info) && info.dwMenuData == madeMark();
}

void keepDetached(HMENU submenu, HMENU holder)
{
    destroyOrphans();
    if (!isMade(submenu))
        return;
    const std::lock_guard<std::mutex> lock(gDetachedLock);
    detachedList().push_back({submenu, holder});
}

void forgetDetached(HMENU submenu) noexcept
{
    if (!submenu)
        return;
    const std::lock_guard<std::mutex> lock(gDetachedLock);
    if (!gDetached)
        return;
    gDetached->erase(std::remove_if(gDetached->begin(), gDetached->end(),
                                    [&](const Detached& d) { return d.submenu == submenu; }),
                     gDetached->end());
}

// The kept sub-menus whose holder the test names, taken off the list. Taken under the lock and
// destroyed after it: the search walks other threads' windows, which must not wait for it.
template <class Going>
std::vector<HMENU> takeOrphans(Going going)
{
    std::vector<HMENU> orphans;
    const std::lock_guard<std::mutex> lock(gDetachedLock);
    if (!gDetached || gDetached->empty())
        return orphans;
    auto gone = std::stable_partition(gDetached->begin(), gDetached->end(),
                                      [&](const Detached& d) { return !going(d.holder); });
    for (auto it = gone; it != gDetached->end(); ++it)
        orphans.push_back(it->submenu);
    gDetached->erase(gone, gDetached->end());
    return orphans;
}

// A sub-menu given to a menu again belongs to that menu; another one of the library's own is
// nobody's now.
void destroyUnheld(const std::vector<HMENU>& orphans, HMENU going)
{
    for (const HMENU submenu : orphans)
        if (isMade(submenu) && !(going && holds(going, submenu)) && !inAWindowMenu(submenu))
            DestroyMenu(submenu);
}

void destroyOrphans() noexcept
{
    destroyUnheld(takeOrphans([](HMENU holder) { return !IsMenu(holder); }), nullptr);
}

void holderGoing(HMENU holder) noexcept
{
    if (!holder)
        return;
    const auto keptFor = [&](HMENU kept) { return kept == holder || holds(holder, kept); };
    destroyUnheld(takeOrphans(keptFor), holder);
}

} // namespace imenu
