// IHelpStatics: static operations that frames, menus and help share: the frame window that
// serves a window, the extended menu loader and the per-frame lists of submenu identifiers and
// item values.
#pragma once

#include <forward_list>

#include <idefs.hpp>
#include <ihandle.hpp>
#include <imodule.hpp>

struct HINSTANCE__;
struct HMENU__;
struct HWND__;
class IWindow;

// What a frame keeps for its menus and the classic menu calls cannot hold: the identifier the
// menu resource gave each submenu, and a value per item key. Newest entry first; the frame
// owns one and frees it with itself.
struct OVKWIN_API IFrameMenuLists {
    struct SubmenuEntry {
        unsigned long id;
        HMENU__* submenu;
    };
    struct ValueEntry {
        unsigned long key;
        unsigned long value;
    };
    std::forward_list<SubmenuEntry> submenus;
    std::forward_list<ValueEntry> values;
};

class OVKWIN_API IHelpStatics {
public:
    // The record menuOwnerFor fills. The frame's lists are reached through `listsOf` (null:
    // the classic road finds no owner).
    struct MenuOwnerQuery {
        HMENU__* menu = nullptr;
        const IFrameMenuLists* (*listsOf)(const IWindow& frame) = nullptr;
        HWND__* window = nullptr;
        void* menuBar = nullptr;
    };

    // The window object of `preferred` when that is a frame; else the first frame among the
    // window and its parents, then among its owners; else null. Windows of every thread count.
    static IWindow* frameWindowFor(const IWindowHandle& window,
                                   const IWindowHandle& preferred = IWindowHandle());
    // The first frame among a window object and its parents; null when none.
    static IWindow* frameOfWindow(const IWindow* window);

    // A native menu built from the module's extended menu resource; 0 when the resource is
    // missing, in another format, or malformed (nothing is left allocated then).
    static IMenuHandle loadExtendedMenu(HINSTANCE__* module, unsigned long menuId);

    // Reads the resource that built `menu` again and records each popup item's identifier for
    // the submenu it became. False when the resource is missing, in another format, malformed,
    // or does not match the menu.
    static bool recordSubmenuIds(IFrameMenuLists& lists, HINSTANCE__* module,
                                 unsigned long menuId, const IMenuHandle& menu);
    // 0 when the identifier names no submenu.
    static IMenuHandle submenuForId(const IFrameMenuLists& lists, unsigned long id);
    // -1 when the submenu is not recorded.
    static long idForSubmenu(const IFrameMenuLists& lists, const IMenuHandle& submenu);
    static void forgetSubmenu(IFrameMenuLists& lists, unsigned long id, const IMenuHandle& submenu);
    static void clearSubmenuIds(IFrameMenuLists& lists);
    static void setItemValue(IFrameMenuLists& lists, unsigned long key, unsigned long value);
    // 0 for an unknown key.
    static unsigned long itemValue(const IFrameMenuLists& lists, unsigned long key);
    static void clearItemValues(IFrameMenuLists& lists);

    // The identifier of the item (searched through every level) whose submenu is `submenu`;
    // 0 when none.
    static unsigned long menuIdForSubmenu(const IMenuHandle& menu, const IMenuHandle& submenu);
    // The position of the item with this identifier in the menu that holds it (searched depth
    // first), and that menu; -1 and 0 when none. On the classic road a submenu is known by the
    // identifier recorded for it in `lists`.
    static long findMenuItem(const IMenuHandle& menu, unsigned long id, IMenuHandle* holder,
                             const IFrameMenuLists* lists = nullptr);
    // A window enumeration callback (`record` is a MenuOwnerQuery): stops, with the window and
    // its menu bar object recorded, at the window whose menu bar holds the menu.
#if defined(_WIN64)
    static int __stdcall menuOwnerFor(HWND__* window, long long record);
#else
    static int __stdcall menuOwnerFor(HWND__* window, long record);
#endif
};
