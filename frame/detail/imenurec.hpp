// What the two halves of the menu share: the native item record, the owner frame's lists and
// the error helper.
#pragma once

#include <windows.h>

#include <iexcept.hpp>

#include "../imenu.hpp"
#include "../imenuitm.hpp"

class IWindow;
struct IFrameMenuLists;

// The copies of the bitmaps of bitmap items, which keep each alive while the menu exists.
struct IMenu::BitmapNode {
    IBitmapHandle bitmap;
    BitmapNode* next;
};

namespace imenu {

// Exception locations name this file.
inline constexpr char kFile[] = "imenu";
// An item text has at most 99 characters: the buffers are 100 bytes, as the menus have always
// read them.
inline constexpr int kTextBuffer = 100;

[[noreturn]] void fail(unsigned long messageNumber, const char* function);

// The extended menu-item calls, where the platform has them.
bool extendedRoad();

// An item as the extended road reads it, its text in a buffer of its own.
struct ItemRecord {
    MENUITEMINFOA info{};
    char text[kTextBuffer] = {};
};
// By identifier (searching sub-menus) or by position; false when there is no such item.
bool readRecord(HMENU menu, UINT item, bool byPosition, ItemRecord& record);
// The record that writes the item (type, state, identifier, sub-menu, text or bitmap).
MENUITEMINFOA recordOf(const IMenuItem& item);

// The owner frame's lists; a menu without a frame keeps nothing and finds nothing.
IFrameMenuLists* listsOf(IWindow* frame);
unsigned long itemValue(IWindow* frame, unsigned long id);
void setItemValue(IWindow* frame, unsigned long id, unsigned long value);
HMENU submenuForId(IWindow* frame, unsigned long id);
// The identifier recorded for a sub-menu, or -1.
unsigned long idForSubmenu(IWindow* frame, HMENU submenu);
void recordSubmenu(IWindow* frame, unsigned long id, HMENU submenu);
void forgetSubmenu(IWindow* frame, HMENU submenu, unsigned long id);
// The menu that holds the item and its position there, depth first through the sub-menus.
bool findMenuItem(IWindow* frame, HMENU menu, unsigned long id, HMENU* holder, long* position);

// The steps both menu cursors take over `count` items; -1 stands past either end.
bool stepToNext(long& position, unsigned long count);
bool stepToPrevious(long& position);
bool stepToLast(long& position, unsigned long count);

} // namespace imenu
