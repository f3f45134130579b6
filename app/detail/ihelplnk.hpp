// What the resource library asks of the menu and help code. Resources are loaded below frames,
// menus and help, so the resource library cannot know them by name; the frame code answers
// through this link.
#pragma once

#include <windows.h>

namespace ovk_app {

// Filled in once by the frame code when the library is loaded, before any resource can be asked
// for. An entry still empty answers as for a resource that cannot be found.
struct HelpLink {
    // A native menu built from the module's extended menu resource; 0 when there is none.
    HMENU (*loadExtendedMenu)(HINSTANCE module, unsigned long menuId) = nullptr;
    // Loads the module's help table into the help instance `instance`; false when the viewer
    // refuses it.
    bool (*loadHelpTable)(HWND instance, unsigned long tableId, HINSTANCE module) = nullptr;
};

// Constant-initialised, so it is empty, never unset, until the frame code fills it in.
inline HelpLink helpLink;

inline HMENU loadExtendedMenu(HINSTANCE module, unsigned long menuId)
{
    const auto ask = helpLink.loadExtendedMenu;
    return ask ? ask(module, menuId) : nullptr;
}
inline bool loadHelpTable(HWND instance, unsigned long tableId, HINSTANCE module)
{
    const auto ask = helpLink.loadHelpTable;
    return ask && ask(instance, tableId, module);
}

} // namespace ovk_app
