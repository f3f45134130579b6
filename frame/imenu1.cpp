// The menu: adding, changing and deleting items, sub-menus, states and cursor operations.
#include <windows.h>

#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include <iapp.hpp>

#include "detail/imenuown.hpp"
#include "detail/imenurec.hpp"
#include "imenu.hpp"

using imenu::kFile;

namespace {

constexpr UINT kFailed = static_cast<UINT>(-1);

// What the classic calls take as the item's content: its bitmap, its text, or nothing.
LPCSTR classicContent(const IMenuItem& item)
{
    if (item.isBitmap())
        return reinterpret_cast<LPCSTR>(item.bitmap().asValue());
    if (item.isSeparator() || item.isDrawItem())
        return nullptr;
    return item.text();
}

UINT_PTR classicIdentifier(const IMenuItem& item)
{
    if (item.isSubmenu())
        return reinterpret_cast<UINT_PTR>(static_cast<HMENU>(item.submenuHandle()));
    return item.id();
}

UINT classicFlags(const IMenuItem& item)
{
    return static_cast<UINT>(item.style().asUnsignedLong() | item.attribute().asUnsignedLong());
}

// The menu and position of the item that opens `submenu`, searched depth first from `menu`.
// An item found by its identifier tells no position, and the position the item reports is one
// in its own holder, which need not be the menu searched from.
bool cascadeOf(HMENU menu, HMENU submenu, HMENU* holder, int* position)
{
    const int count = GetMenuItemCount(menu);
    for (int at = 0; at < count; ++at) {
        const HMENU inner = GetSubMenu(menu, at);
        if (!inner)
            continue;
        if (inner == submenu) {
            *holder = menu;
            *position = at;
            return true;
        }
        if (cascadeOf(inner, submenu, holder, position))
            return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Adding

IMenuHandle IMenu::targetMenu(unsigned long submenuId, const char* function) const
{
    if (!submenuId)
        return fMenuHandle;
    const IMenuHandle submenu = submenuHandle(submenuId);
    if (!submenu.isValid())
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    return submenu;
}

void IMenu::insertItem(const IMenuHandle& menu, const IMenuItem& item, const char* function)
{
    const UINT position = static_cast<UINT>(item.index());
    BOOL inserted;
    if (extendedRoad()) {
        const MENUITEMINFOA info = imenu::recordOf(item);
        inserted = InsertMenuItemA(menu, position, TRUE, &info);
    } else {
        inserted = InsertMenuA(menu, position, classicFlags(item) | MF_BYPOSITION,
                               classicIdentifier(item), classicContent(item));
        if (inserted && item.isSubmenu())
            imenu::recordSubmenu(fOwner, item.id(), item.submenuHandle());
    }
    // An item that did not arrive must not pass for added.
    if (!inserted)
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
    if (item.isSubmenu())
        imenu::forgetDetached(item.submenuHandle());
}

// After an item went in or changed: the owner's menu bar shows it, a bitmap lives as long as
// the menu, and the item's value is kept under its identifier.
void IMenu::afterChange(const IMenuItem& item)
{
    redraw();
    if (item.isBitmap())
        keepBitmap(item.bitmap());
    if (item.itemData() && item.id())
        imenu::setItemValue(fOwner, item.id(), item.itemData());
}

void IMenu::keepBitmap(const IBitmapHandle& bitmap)
{
    fBitmaps = new BitmapNode{bitmap, fBitmaps};
}

IMenu& IMenu::addItem(IMenuItem& item, unsigned long intoSubmenuId)
{
    static const char function[] = "IMenu::addItem(IMenuItem&,unsigned long)";
    insertItem(targetMenu(intoSubmenuId, function), item, function);
    afterChange(item);
    return *this;
}

IMenu& IMenu::addText(unsigned long id, const char* text, unsigned long intoSubmenuId)
{
    IMenuItem item(id);
    item.setText(text);
    return addItem(item, intoSubmenuId);
}

IMenu& IMenu::addText(unsigned long id, const IResourceId& text, unsigned long intoSubmenuId)
{
    IMenuItem item(id);
    item.setText(text);
    return addItem(item, intoSubmenuId);
}

IMenu& IMenu::addBitmap(unsigned long id, const IBitmapHandle& bitmap, unsigned long intoSubmenuId)
{
    IMenuItem item(id);
    item.setBitmap(bitmap);
    return addItem(item, intoSubmenuId);
}

IMenu& IMenu::addBitmap(unsigned long id, const IResourceId& bitmap, unsigned long intoSubmenuId)
{
    IMenuItem item(id);
    item.setBitmap(bitmap);
    return addItem(item, intoSubmenuId);
}

IMenu& IMenu::addBitmap(unsigned long id, unsigned long bitmapId, unsigned long intoSubmenuId)
{
    return addBitmap(id, IResourceId(bitmapId, IApplication::current().userResourceLibrary()),
                     intoSubmenuId);
}

IMenu& IMenu::addSeparator(unsigned long id, unsigned long intoSubmenuId)
{
    IMenuItem item(id);
    item.setSeparator();
    return addItem(item, intoSubmenuId);
}

IMenu& IMenu::addSeparator(unsigned long intoSubmenuId)
{
    return addSeparator(0, intoSubmenuId);
}

// ---------------------------------------------------------------------------------------------
// Changing

IMenu& IMenu::setItem(const IMenuItem& item)
{
    static const char function[] = "IMenu::setItem(const IMenuItem&)";
    BOOL changed;
    if (extendedRoad()) {
        const MENUITEMINFOA info = imenu::recordOf(item);
        changed = SetMenuItemInfoA(fMenuHandle, static_cast<UINT>(item.id()), FALSE, &info);
    } else {
        Place place;
        queryItemState(item.id(), &place);
        const UINT by = place.byPosition() ? MF_BYPOSITION : MF_BYCOMMAND;
        const UINT which = place.byPosition() ? static_cast<UINT>(place.position)
                                              : static_cast<UINT>(item.id());
        changed = ModifyMenuA(place.menu, which, classicFlags(item) | by,
                              classicIdentifier(item), classicContent(item));
        // The classic calls know the item from now on only by its sub-menu's handle.
        if (changed && item.isSubmenu() &&
            imenu::idForSubmenu(fOwner, item.submenuHandle()) != item.id())
            imenu::recordSubmenu(fOwner, item.id(), item.submenuHandle());
    }
    if (!changed)
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
    // A sub-menu given back to an item is that menu's again.
    if (item.isSubmenu())
        imenu::forgetDetached(item.submenuHandle());
    afterChange(item);
    return *this;
}

IMenu& IMenu::setText(unsigned long id, const char* text)
{
    IMenuItem item = menuItem(id);
    if (!item.isText())
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, "IMenu::setText(unsigned long,const char*)");
    item.setText(text);
    return setItem(item);
}

IMenu& IMenu::setText(unsigned long id, const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setText(id, static_cast<const char*>(loaded));
}

IMenu& IMenu::setBitmap(unsigned long id, const IBitmapHandle& bitmap)
{
    IMenuItem item = menuItem(id);
    item.setBitmap(bitmap);
    return setItem(item);
}

IMenu& IMenu::setBitmap(unsigned long id, const IResourceId& bitmap)
{
    return setBitmap(id, bitmap.resourceLibrary().loadBitmap(bitmap.id()));
}

IMenu& IMenu::setBitmap(unsigned long id, unsigned long bitmapId)
{
    return setBitmap(id, IResourceId(bitmapId, IApplication::current().userResourceLibrary()));
}

IMenu& IMenu::deleteItem(unsigned long id)
{
    return takeOutItem(id, false);
}

IMenu& IMenu::takeOutItem(unsigned long id, bool keepSubmenu)
{
    static const char function[] = "IMenu::deleteItem(unsigned long)";
    // DeleteMenu destroys the item's sub-menu; RemoveMenu leaves it alive.
    const auto takeOut = keepSubmenu ? &RemoveMenu : &DeleteMenu;
    BOOL deleted;
    if (extendedRoad()) {
        deleted = takeOut(fMenuHandle, static_cast<UINT>(id), MF_BYCOMMAND);
    } else {
        Place place;
        queryItemState(id, &place);
        deleted = place.byPosition()
                      ? takeOut(place.menu, static_cast<UINT>(place.position), MF_BYPOSITION)
                      : takeOut(place.menu, static_cast<UINT>(id), MF_BYCOMMAND);
    }
    if (!deleted)
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    redraw();
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Sub-menus

IMenu& IMenu::setSubmenuOf(unsigned long itemId, const IMenuHandle& submenu, bool refuseExisting)
{
    IMenuItem item = menuItem(itemId);
    if (refuseExisting && item.submenuHandle().isValid()) {
        // The caller handed the new sub-menu over; refused, it is nobody's and goes with the
        // scope as the error leaves.
        const ovk_native::Menu refused(submenu);
        imenu::fail(OVK_MSG_SUBMENU_EXISTS, "IMenu::addSubmenu(unsigned long)");
    }
    const IMenuHandle previous = item.submenuHandle();
    item.setSubmenuHandle(submenu);
    if (!extendedRoad()) {
        if (previous.isValid())
            imenu::forgetSubmenu(fOwner, previous, itemId);
        imenu::recordSubmenu(fOwner, itemId, submenu);
    }
    return setItem(item);
}

// The sub-menus made or loaded here are marked as the library's own, so that one taken off its
// item again is destroyed once no menu holds it.
IMenuHandle IMenu::madeSubmenu(const IMenuHandle& made)
{
    imenu::markMade(made);
    return made;
}

IMenu& IMenu::addSubmenu(unsigned long itemId)
{
    ISTATE_CHECK(itemId != FID_MENU, kFile, "IMenu::addSubmenu(unsigned long)");
    IMenuItem item = menuItem(itemId);
    if (item.submenuHandle().isValid())
        imenu::fail(OVK_MSG_SUBMENU_EXISTS, "IMenu::addSubmenu(unsigned long)");
    return setSubmenuOf(itemId, madeSubmenu(CreatePopupMenu()), false);
}

IMenu& IMenu::addSubmenu(unsigned long itemId, const IResourceId& submenu)
{
    IARGUMENT_CHECK(itemId != FID_MENU, kFile,
                    "IMenu::addSubmenu(unsigned long,const IResourceId&)");
    if (menuItem(itemId).submenuHandle().isValid())
        imenu::fail(OVK_MSG_SUBMENU_EXISTS, "IMenu::addSubmenu(unsigned long,const IResourceId&)");
    return setSubmenuOf(
        itemId, madeSubmenu(submenu.resourceLibrary().loadMenu(submenu.id(), owner())), false);
}

IMenu& IMenu::setSubmenu(unsigned long itemId, const IResourceId& submenu)
{
    return setSubmenuOf(
        itemId, madeSubmenu(submenu.resourceLibrary().loadMenu(submenu.id(), owner())), false);
}

// Removing detaches, as RemoveMenu does: the application may hold the sub-menu (its own, or one
// it took with submenuHandle) to give it back. One the library made or loaded is kept until
// this menu is destroyed, and destroyed then unless it is in a menu again.
IMenu& IMenu::removeSubmenu(unsigned long itemId)
{
    keepDetached(detachSubmenu(itemId));
    return *this;
}

void IMenu::keepDetached(const IMenuHandle& submenu)
{
    if (submenu.isValid())
        imenu::keepDetached(submenu, fMenuHandle);
}

IMenuHandle IMenu::detachSubmenu(unsigned long itemId)
{
    IMenuItem item = menuItem(itemId);
    const IMenuHandle submenu = item.submenuHandle();
    if (!submenu.isValid())
        return submenu;
    item.setSubmenuHandle(IMenuHandle());
    if (extendedRoad()) {
        // Writing the item without a sub-menu unlinks it and leaves it alive.
        setItem(item);
    } else {
        // The classic calls cannot take the sub-menu away from an item: the item is made anew,
        // plain, in the same place. RemoveMenu, unlike DeleteMenu, leaves the sub-menu alive.
        HMENU holder = nullptr;
        int at = -1;
        if (!cascadeOf(fMenuHandle, submenu, &holder, &at))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, "IMenu::removeSubmenu(unsigned long)");
        const UINT position = static_cast<UINT>(at);
        RemoveMenu(holder, position, MF_BYPOSITION);
        InsertMenuA(holder, position, classicFlags(item) | MF_BYPOSITION, item.id(),
                    classicContent(item));
        imenu::forgetSubmenu(fOwner, submenu, itemId);
        afterChange(item);
    }
    return submenu;
}

// ---------------------------------------------------------------------------------------------
// States

IMenu& IMenu::checkItem(unsigned long id, IBase::Boolean check)
{
    static const char function[] = "IMenu::checkItem(unsigned long,IBase::Boolean)";
    if (extendedRoad()) {
        imenu::ItemRecord record;
        if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(id), false, record))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
        const UINT state = record.info.fState;
        if (((state & MF_CHECKED) != 0) == (check != 0))
            return *this;
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        info.fState = check ? (state | MF_CHECKED) : (state & ~static_cast<UINT>(MF_CHECKED));
        if (!SetMenuItemInfoA(fMenuHandle, static_cast<UINT>(id), FALSE, &info))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
        return *this;
    }
    Place place;
    const UINT state = queryItemState(id, &place);
    if (((state & MF_CHECKED) != 0) == (check != 0))
        return *this;
    const UINT which = place.byPosition() ? static_cast<UINT>(place.position)
                                          : static_cast<UINT>(id);
    const UINT by = place.byPosition() ? MF_BYPOSITION : MF_BYCOMMAND;
    if (CheckMenuItem(place.menu, which, (check ? MF_CHECKED : MF_UNCHECKED) | by) == kFailed)
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
    return *this;
}

IMenu& IMenu::uncheckItem(unsigned long id)
{
    return checkItem(id, false);
}

IMenu& IMenu::enableItem(unsigned long id, IBase::Boolean enable)
{
    static const char function[] = "IMenu::enableItem(unsigned long,IBase::Boolean)";
    const UINT disabledBits = MF_GRAYED | MF_DISABLED;
    if (extendedRoad()) {
        imenu::ItemRecord record;
        if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(id), false, record))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
        const UINT state = record.info.fState;
        if (((state & disabledBits) == 0) == (enable != 0))
            return *this;
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        info.fState = enable ? (state & ~disabledBits) : (state | disabledBits);
        if (!SetMenuItemInfoA(fMenuHandle, static_cast<UINT>(id), FALSE, &info))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
    } else {
        Place place;
        const UINT state = queryItemState(id, &place);
        if (((state & disabledBits) == 0) == (enable != 0))
            return *this;
        const UINT which = place.byPosition() ? static_cast<UINT>(place.position)
                                              : static_cast<UINT>(id);
        const UINT by = place.byPosition() ? MF_BYPOSITION : MF_BYCOMMAND;
        if (EnableMenuItem(place.menu, which, (enable ? MF_ENABLED : MF_GRAYED) | by) == -1)
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_CHANGED, function);
    }
    redraw();
    return *this;
}

IMenu& IMenu::disableItem(unsigned long id)
{
    return enableItem(id, false);
}

IMenu& IMenu::selectItem(unsigned long id)
{
    const Place place = placeOf(id);
    if (place.byPosition())
        HiliteMenuItem(fOwnerHandle, place.menu, static_cast<UINT>(place.position),
                       MF_HILITE | MF_BYPOSITION);
    else
        HiliteMenuItem(fOwnerHandle, fMenuHandle, static_cast<UINT>(id), MF_HILITE | MF_BYCOMMAND);
    return *this;
}

IMenu& IMenu::setItemData(unsigned long id, unsigned long value)
{
    imenu::setItemValue(fOwner, id, value);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Conditional cascades

IMenuHandle IMenu::cascadeSubmenu(unsigned long itemId, unsigned long otherId,
                                  const char* function) const
{
    imenu::ItemRecord record;
    if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(itemId), false, record))
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    if (otherId) {
        imenu::ItemRecord other;
        if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(otherId), false, other))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    }
    if (!record.info.hSubMenu)
        imenu::fail(OVK_MSG_NO_SUBMENU, function);
    return record.info.hSubMenu;
}

IMenu& IMenu::setConditionalCascade(unsigned long itemId, unsigned long defaultItemId)
{
    if (!extendedRoad())
        return *this;
    const IMenuHandle submenu = cascadeSubmenu(
        itemId, defaultItemId, "IMenu::setConditionalCascade(unsigned long,unsigned long)");
    SetMenuDefaultItem(submenu, static_cast<UINT>(defaultItemId), FALSE);
    return *this;
}

IMenu& IMenu::removeConditionalCascade(unsigned long itemId)
{
    if (!extendedRoad())
        return *this;
    const IMenuHandle submenu =
        cascadeSubmenu(itemId, 0, "IMenu::removeConditionalCascade(unsigned long)");
    SetMenuDefaultItem(submenu, kFailed, 0);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// By cursor

IMenuItem IMenu::elementAt(const Cursor& cursor) const
{
    return menuItem(menuItemId(cursor));
}

// By position: separators share identifier 0, so deleting by identifier could hit another.
IMenu& IMenu::deleteAt(Cursor& cursor)
{
    static const char function[] = "IMenu::deleteAt(Cursor&)";
    menuItemId(cursor);
    const IMenuHandle menu = targetMenu(cursor.fSubmenuId, function);
    if (!DeleteMenu(menu, static_cast<UINT>(cursor.fPosition), MF_BYPOSITION))
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    redraw();
    if (cursor.fPosition > 0)
        --cursor.fPosition;
    return *this;
}

IMenu& IMenu::removeSubmenuAt(Cursor& cursor)
{
    return removeSubmenu(menuItemId(cursor));
}

IMenu& IMenu::add(IMenuItem& item, Cursor& cursor)
{
    IMenuItem placed(item);
    placed.setIndex(cursor.fPosition);
    return addItem(placed, cursor.fSubmenuId);
}

IMenu& IMenu::addAsNext(IMenuItem& item, Cursor& cursor)
{
    IMenuItem placed(item);
    placed.setIndex(cursor.fPosition + 1);
    addItem(placed, cursor.fSubmenuId);
    ++cursor.fPosition;
    return *this;
}
