// The frame lookup, the extended menu loader and the per-frame menu lists.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <iplatfrm.hpp>

#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "iwindow.hpp"

namespace {

// Frames ---------------------------------------------------------------------------------------

IWindow* frameObject(HWND handle)
{
    IWindow* window = handle ? IWindow::windowWithHandle(handle, true) : nullptr;
    return window && window->isFrameWindow() ? window : nullptr;
}

// The walk ends at the desktop; a chain that loops (a window made its own ancestor) ends
// after as many steps as any real chain could take.
template <class Next>
IWindow* firstFrameAlong(HWND start, Next next)
{
    const HWND desktop = GetDesktopWindow();
    int steps = 0;
    for (HWND handle = start; handle && handle != desktop && steps < 4096;
         handle = next(handle), ++steps) {
        if (IWindow* frame = frameObject(handle))
            return frame;
    }
    return nullptr;
}

// Extended menu resources -------------------------------------------------------------------------

// The header word of the extended format: version 1, items 4 bytes after the header's first
// 4 bytes (the offset word counts from there).
constexpr std::uint32_t kExtendedHeader = 0x00040001;
// Popups open within popups to this depth at most; a deeper resource is taken as malformed.
constexpr size_t kMaxDepth = 16;
// The item texts go through a buffer of this many bytes, the terminating zero included.
constexpr int kTextBuffer = 100;

constexpr std::uint16_t kPopupBit = 0x01;
constexpr std::uint16_t kLastBit = 0x80;

struct ExtendedItem {
    std::uint32_t type;
    std::uint32_t state;
    std::uint32_t id;
    std::uint16_t resourceInfo;
    std::string text;
    bool popup() const { return (resourceInfo & kPopupBit) != 0; }
    bool last() const { return (resourceInfo & kLastBit) != 0; }
};

// The resource's bytes, bounded by its size; empty when missing.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

ResourceBytes menuResource(HINSTANCE module, unsigned long menuId)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(LOWORD(menuId)), MAKEINTRESOURCEA(4));
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const unsigned char*>(data), SizeofResource(module, found)};
}

// UTF-16 to the ANSI code page, cut to what the buffer holds: the longest prefix of whole
// characters that converts into kTextBuffer - 1 bytes.
std::string ansiText(const wchar_t* text, int length)
{
    char buffer[kTextBuffer];
    for (int count = length < kTextBuffer - 1 ? length : kTextBuffer - 1; count > 0; --count) {
        const int bytes = WideCharToMultiByte(CP_ACP, 0, text, count, buffer, kTextBuffer - 1,
                                              nullptr, nullptr);
        if (bytes > 0)
            return std::string(buffer, static_cast<size_t>(bytes));
    }
    return std::string();
}

// Reads the items of an extended menu resource in order. The visitor is told each item with
// the depth of the menu it belongs to, and answers for a popup the menu that its items go into
// (0 fails the walk). False when the header or any item is malformed or truncated.
class ExtendedMenuReader {
public:
    explicit ExtendedMenuReader(ResourceBytes bytes) : fBytes(bytes) {}

    template <class Visitor>
    bool walk(Visitor& visitor)
    {
        if (fBytes.size < 8 || read32(0) != kExtendedHeader)
            return false;
        fOffset = 4 + read16(2);
        // Each open level remembers whether its popup was the last item of the level above,
        // so that closing it closes that level too.
        std::vector<bool> levels{false};
        while (!levels.empty()) {
            ExtendedItem item;
            if (!readItem(item))
                return false;
            if (item.popup()) {
                if (levels.size() >= kMaxDepth || !visitor.popup(levels.size() - 1, item))
                    return false;
                levels.push_back(item.last());
                continue;
            }
            if (!visitor.item(levels.size() - 1, item))
                return false;
            for (bool closing = item.last(); closing && !levels.empty();) {
                closing = levels.back();
                levels.pop_back();
            }
        }
        return true;
    }

private:
    bool readItem(ExtendedItem& item)
    {
        if (fOffset + 14 > fBytes.size)
            return false;
        item.type = read32(fOffset);
        item.state = read32(fOffset + 4);
        item.id = read32(fOffset + 8);
        item.resourceInfo = read16(fOffset + 12);
        size_t text = fOffset + 14;
        size_t end = text;
        while (end + 2 <= fBytes.size && read16(end) != 0)
            end += 2;
        if (end + 2 > fBytes.size)
            return false;
        std::vector<wchar_t> wide((end - text) / 2);
        for (size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<wchar_t>(read16(text + 2 * i));
        item.text = ansiText(wide.data(), static_cast<int>(wide.size()));
        fOffset = (end + 2 + 3) & ~static_cast<size_t>(3);
        if (item.popup()) {
            // The popup's help identifier, not used here.
            if (fOffset + 4 > fBytes.size)
                return false;
            fOffset += 4;
        }
        return true;
    }
    std::uint32_t read32(size_t at) const
    {
        std::uint32_t value;
        std::memcpy(&value, fBytes.data + at, sizeof value);
        return value;
    }
    std::uint16_t read16(size_t at) const
    {
        std::uint16_t value;
        std::memcpy(&value, fBytes.data + at, sizeof value);
        return value;
    }

    ResourceBytes fBytes;
    size_t fOffset = 0;
};

MENUITEMINFOA itemInfo(UINT mask)
{
    MENUITEMINFOA info{};
    // The platform checks the record's size; Wine refuses the older, shorter record.
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

// Builds the menu: each level's items are appended to the menu of that level.
class MenuBuilder {
public:
    explicit MenuBuilder(HMENU top) : fMenus{top} {}

    bool item(size_t depth, const ExtendedItem& item)
    {
        // An item without an identifier is a separator; a popup without one is still a popup.
        const UINT flags = item.id == 0 ? MF_BYPOSITION | MF_SEPARATOR
                                        : MF_BYPOSITION | item.type | item.state;
        return insert(depth, flags, item.id, item.text);
    }
    bool popup(size_t depth, const ExtendedItem& item)
    {
        ovk_native::Menu made(CreatePopupMenu());
        if (!made.get())
            return false;
        const UINT flags = MF_BYPOSITION | MF_POPUP | item.type | item.state;
        if (!insert(depth, flags, reinterpret_cast<UINT_PTR>(made.get()), item.text))
            return false;
        // Inserted, the popup is its parent menu's, destroyed with it.
        const HMENU popup = made.release();
        // InsertMenuA gives a popup item its menu handle as identifier; the item keeps the
        // resource's, as the system's own loader of this format does.
        MENUITEMINFOA info = itemInfo(MIIM_ID);
        info.wID = item.id;
        SetMenuItemInfoA(fMenus[depth], static_cast<UINT>(GetMenuItemCount(fMenus[depth]) - 1),
                         TRUE, &info);
        fMenus.resize(depth + 1);
        fMenus.push_back(popup);
        return true;
    }

private:
    bool insert(size_t depth, UINT flags, UINT_PTR idOrPopup, const std::string& text)
    {
        return depth < fMenus.size() &&
               InsertMenuA(fMenus[depth], static_cast<UINT>(-1), flags, idOrPopup, text.c_str());
    }

    std::vector<HMENU> fMenus;
};

// Walks a built menu beside its resource, recording each popup item's submenu.
class SubmenuRecorder {
public:
    SubmenuRecorder(HMENU top, IFrameMenuLists& lists) : fLevels{{top, 0}}, fLists(lists) {}

    bool item(size_t depth, const ExtendedItem&)
    {
        if (depth >= fLevels.size())
            return false;
        fLevels.resize(depth + 1);
        ++fLevels.back().position;
        return true;
    }
    bool popup(size_t depth, const ExtendedItem& item)
    {
        if (depth >= fLevels.size())
            return false;
        fLevels.resize(depth + 1);
        Level& level = fLevels.back();
        HMENU submenu = GetSubMenu(level.menu, level.position++);
        if (!submenu)
            return false;
        fLists.submenus.push_front({item.id, submenu});
        fLevels.push_back({submenu, 0});
        return true;
    }

private:
    struct Level {
        HMENU menu;
        int position;
    };
    std::vector<Level> fLevels;
    IFrameMenuLists& fLists;
};

} // namespace

// Frames ---------------------------------------------------------------------------------------

IWindow* IHelpStatics::frameWindowFor(const IWindowHandle& window, const IWindowHandle& preferred)
{
    if (IWindow* frame = frameObject(preferred))
        return frame;
    if (!window)
        return nullptr;
    if (IWindow* frame = firstFrameAlong(window, [](HWND h) { return GetParent(h); }))
        return frame;
    return firstFrameAlong(GetWindow(window, GW_OWNER),
                           [](HWND h) { return GetWindow(h, GW_OWNER); });
}

// Native parents without a window object are passed over: a frame must have an object to be
// answered.
IWindow* IHelpStatics::frameOfWindow(const IWindow* window)
{
    if (!window || !window->isValid())
        return nullptr;
    return firstFrameAlong(window->handle(), [](HWND h) { return GetParent(h); });
}

// Extended menus -------------------------------------------------------------------------------------

IMenuHandle IHelpStatics::loadExtendedMenu(HINSTANCE module, unsigned long menuId)
{
    ExtendedMenuReader reader(menuResource(module, menuId));
    ovk_native::Menu top(CreateMenu());
    if (!top.get())
        return IMenuHandle();
    MenuBuilder builder(top.get());
    // A menu left half built goes with the scope, and the popups inserted so far with it.
    if (!reader.walk(builder))
        return IMenuHandle();
    return top.release();
}

bool IHelpStatics::recordSubmenuIds(IFrameMenuLists& lists, HINSTANCE module,
                                    unsigned long menuId, const IMenuHandle& menu)
{
    if (!menu)
        return false;
    ExtendedMenuReader reader(menuResource(module, menuId));
    SubmenuRecorder recorder(menu, lists);
    return reader.walk(recorder);
}

// The lists ---------------------------------------------------------------------------------------

IMenuHandle IHelpStatics::submenuForId(const IFrameMenuLists& lists, unsigned long id)
{
    for (const auto& entry : lists.submenus) {
        if (entry.id == id)
            return entry.submenu;
    }
    return IMenuHandle();
}

long IHelpStatics::idForSubmenu(const IFrameMenuLists& lists, const IMenuHandle& submenu)
{
    for (const auto& entry : lists.submenus) {
        if (entry.submenu == submenu.asValue())
            return static_cast<long>(entry.id);
    }
    return -1;
}

void IHelpStatics::forgetSubmenu(IFrameMenuLists& lists, unsigned long id,
                                 const IMenuHandle& submenu)
{
    lists.submenus.remove_if([&](const IFrameMenuLists::SubmenuEntry& entry) {
        return entry.id == id && entry.submenu == submenu.asValue();
    });
}

void IHelpStatics::clearSubmenuIds(IFrameMenuLists& lists)
{
    lists.submenus.clear();
}

void IHelpStatics::setItemValue(IFrameMenuLists& lists, unsigned long key, unsigned long value)
{
    for (auto& entry : lists.values) {
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    }
    lists.values.push_front({key, value});
}

unsigned long IHelpStatics::itemValue(const IFrameMenuLists& lists, unsigned long key)
{
    for (const auto& entry : lists.values) {
        if (entry.key == key)
            return entry.value;
    }
    return 0;
}

void IHelpStatics::clearItemValues(IFrameMenuLists& lists)
{
    lists.values.clear();
}

// Menu searches ---------------------------------------------------------------------------------

unsigned long IHelpStatics::menuIdForSubmenu(const IMenuHandle& menu, const IMenuHandle& submenu)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = itemInfo(MIIM_STATE | MIIM_ID | MIIM_SUBMENU);
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) || !info.hSubMenu)
            continue;
        if (info.hSubMenu == submenu.asValue())
            return info.wID;
        if (const unsigned long found = menuIdForSubmenu(info.hSubMenu, submenu))
            return found;
    }
    return 0;
}

long IHelpStatics::findMenuItem(const IMenuHandle& menu, unsigned long id, IMenuHandle* holder,
                                const IFrameMenuLists* lists)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        bool known = true;
        unsigned long itemId = 0;
        HMENU submenu = nullptr;
        if (IPlatform::hasNewShell()) {
            MENUITEMINFOA info = itemInfo(MIIM_ID | MIIM_SUBMENU);
            known = GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) != 0;
            itemId = info.wID;
            submenu = info.hSubMenu;
        } else {
            itemId = GetMenuItemID(menu, position);
            if (itemId == static_cast<UINT>(-1)) {
                // The classic calls know no identifier for a submenu: the recorded one stands.
                submenu = GetSubMenu(menu, position);
                const long recorded = lists && submenu ? idForSubmenu(*lists, submenu) : -1;
                known = recorded != -1;
                itemId = static_cast<unsigned long>(recorded);
            }
        }
        if (known && itemId == id) {
            if (holder)
                *holder = menu;
            return position;
        }
        if (submenu) {
            const long found = findMenuItem(submenu, id, holder, lists);
            if (found >= 0)
                return found;
        }
    }
    if (holder)
        *holder = IMenuHandle();
    return -1;
}

namespace {

// Whether a menu holds a sub-menu at any depth. The holding item's identifier cannot tell, as
// pop-up items are often given identifier 0.
bool holdsSubmenu(HMENU menu, HMENU submenu)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const HMENU inner = GetSubMenu(menu, position);
        if (inner && (inner == submenu || holdsSubmenu(inner, submenu)))
            return true;
    }
    return false;
}

} // namespace

#if defined(_WIN64)
int __stdcall IHelpStatics::menuOwnerFor(HWND window, long long record)
#else
int __stdcall IHelpStatics::menuOwnerFor(HWND window, long record)
#endif
{
    auto* query = reinterpret_cast<MenuOwnerQuery*>(record);
    const IWindow* object = IWindow::windowWithHandle(window, true);
    if (!object || !query)
        return TRUE;
    void* menuBar = GetPropA(window, "OVK_MENUBAR_OBJECT");
    bool holds;
    if (IPlatform::hasNewShell()) {
        const HMENU bar = GetMenu(window);
        holds = bar && (bar == query->menu || holdsSubmenu(bar, query->menu));
    } else {
        const auto* frame = dynamic_cast<const IFrameWindow*>(object);
        const IFrameMenuLists* lists = frame ? &frame->menuLists() : nullptr;
        holds = menuBar && lists && idForSubmenu(*lists, query->menu) != -1;
    }
    if (!holds)
        return TRUE;
    query->window = window;
    query->menuBar = menuBar;
    return FALSE;
}
