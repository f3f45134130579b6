// Which sub-menus are the library's own: those it made or loaded itself. A sub-menu taken off its
// item stays alive for whoever may hold it; the library's own is destroyed once the menu that
// held it is gone, unless it is in a menu again by then.
#pragma once

#include <windows.h>

namespace imenu {

// Marks the menu and every sub-menu inside it as made or loaded by the library. The mark lives
// in the menu itself (its menu data), so it goes with the menu and is never left for a new menu
// that happens to get the same handle.
void markMade(HMENU menu) noexcept;
bool isMade(HMENU menu) noexcept;

// A sub-menu of the library's own, taken off an item of `holder`'s menu tree: kept until
// `holder` is destroyed. A sub-menu of anyone else is not kept, and never destroyed.
void keepDetached(HMENU submenu, HMENU holder);
// The sub-menu is given to an item again: it belongs to that menu from now on.
void forgetDetached(HMENU submenu) noexcept;
// Destroys each kept sub-menu whose holder is gone, unless it is in a window's menu again.
void destroyOrphans() noexcept;
// The holder is about to be destroyed (its window goes): the sub-menus kept for it, or for a
// pop-up inside it, go now, unless they are in a menu again.
void holderGoing(HMENU holder) noexcept;

} // namespace imenu
