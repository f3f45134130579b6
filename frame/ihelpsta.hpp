// IHelpStatics: static operations that frames, menus and help share: the frame window that
// serves a window, the extended menu loader and the per-frame lists of submenu identifiers and
// item values.
#pragma once

#include <forward_list>

#include <ievtdata.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>
#include <imodule.hpp>

class IDynamicLinkLibrary;
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
    // The record menuOwnerFor fills. On the classic road only a library frame, through its
    // menu lists, can be found to hold a submenu.
    struct MenuOwnerQuery {
        HMENU__* menu = nullptr;
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

    // The help viewer, a module of the platform loaded on first use and kept for the life of
    // the process; each of its entries is looked up by name on its first call and kept. A
    // missing module or entry throws (as IDynamicLinkLibrary does) and is looked for again by
    // the next call.
    static IDynamicLinkLibrary& helpLibrary();
    // The new help instance's window; a viewer error throws a system error that names it.
    static IWindowHandle createHelpInstance(const IWindowHandle& application, void* initialisation);
    // True when the viewer answers 0.
    static IBase::Boolean destroyHelpInstance(const IWindowHandle& instance);
    static IBase::Boolean loadHelpTable(const IWindowHandle& instance, unsigned long tableId,
                                        const IModuleHandle& module);
    // The viewer's answer, unchanged; the parameters are pointer-wide, as some carry texts.
    static IEventData sendHelpCommand(const IWindowHandle& instance, unsigned short command,
                                      const IEventData& parameter1, const IEventData& parameter2);

    // On the older platform, where the system does not turn F1 into WM_HELP: hooks of the
    // calling thread that post the request 0xFFC7 to the frame that owns the focus, naming the
    // item last selected while a menu is open. Installed once per process; the library removes
    // them when it is unloaded.
    static void installHooks();
};
