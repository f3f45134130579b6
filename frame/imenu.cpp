// The menu: construction, the window operations a menu answers itself, queries and cursors.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include <icoordsy.hpp>

#include "detail/imenuown.hpp"
#include "detail/imenurec.hpp"
#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "imenu.hpp"

constexpr IMenu::Style IMenu::noStyle(0, 0);
constexpr IMenu::Style IMenu::classDefaultStyle(0, 0);

namespace {

// The native bits a menu style keeps of its two words.
constexpr unsigned long kNativeStyleBits = 0x45;
constexpr unsigned long kExtendedStyleBits = 0xFF000000;

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared by both halves of the menu

namespace imenu {

void fail(unsigned long messageNumber, const char* function)
{
    IThrow::message(messageNumber, IEXCEPTION_LOCATION(kFile, function));
}

bool extendedRoad()
{
    return IPlatform::hasNewShell();
}

bool readRecord(HMENU menu, UINT item, bool byPosition, ItemRecord& record)
{
    record.info = MENUITEMINFOA{};
    record.info.cbSize = sizeof record.info;
    record.info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_TYPE;
    record.info.dwTypeData = record.text;
    record.info.cch = kTextBuffer;
    record.text[0] = '\0';
    return menu && GetMenuItemInfoA(menu, item, byPosition, &record.info);
}

MENUITEMINFOA recordOf(const IMenuItem& item)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    // The sub-menu travels in its own field; the type word has no place for the popup bit.
    info.fType = item.style().asUnsignedLong() & ~static_cast<UINT>(MF_POPUP);
    info.fState = item.attribute().asUnsignedLong();
    info.wID = static_cast<UINT>(item.id());
    info.hSubMenu = item.submenuHandle();
    if (item.isBitmap())
        info.dwTypeData = reinterpret_cast<LPSTR>(item.bitmap().asValue());
    else if (!item.isSeparator() && !item.isDrawItem())
        info.dwTypeData = const_cast<LPSTR>(static_cast<const char*>(item.text()));
    return info;
}

// The lists belong to the frame's private data; a menu outside a library frame keeps no values
// and knows no sub-menu identifiers on the classic road.
IFrameMenuLists* listsOf(IWindow* frame)
{
    auto* libraryFrame = dynamic_cast<IFrameWindow*>(frame);
    return libraryFrame ? &libraryFrame->menuLists() : nullptr;
}

unsigned long itemValue(IWindow* frame, unsigned long id)
{
    const IFrameMenuLists* lists = listsOf(frame);
    return lists ? IHelpStatics::itemValue(*lists, id) : 0;
}

void setItemValue(IWindow* frame, unsigned long id, unsigned long value)
{
    if (IFrameMenuLists* lists = listsOf(frame))
        IHelpStatics::setItemValue(*lists, id, value);
}

HMENU submenuForId(IWindow* frame, unsigned long id)
{
    const IFrameMenuLists* lists = listsOf(frame);
    return lists ? static_cast<HMENU>(IHelpStatics::submenuForId(*lists, id)) : nullptr;
}

unsigned long idForSubmenu(IWindow* frame, HMENU submenu)
{
    const IFrameMenuLists* lists = listsOf(frame);
    return static_cast<unsigned long>(lists ? IHelpStatics::idForSubmenu(*lists, submenu) : -1);
}

void recordSubmenu(IWindow* frame, unsigned long id, HMENU submenu)
{
    if (IFrameMenuLists* lists = listsOf(frame))
        lists->submenus.push_front({id, submenu});
}

void forgetSubmenu(IWindow* frame, HMENU submenu, unsigned long id)
{
    if (IFrameMenuLists* lists = listsOf(frame))
        IHelpStatics::forgetSubmenu(*lists, id, submenu);
}

bool findMenuItem(IWindow* frame, HMENU menu, unsigned long id, HMENU* holder, long* position)
{
    IMenuHandle found;
    *position = IHelpStatics::findMenuItem(menu, id, &found, listsOf(frame));
    *holder = found;
    return *position >= 0;
}

bool stepToNext(long& position, unsigned long count)
{
    if (position >= 0 && static_cast<unsigned long>(position) + 1 < count)
        ++position;
    else
        position = -1;
    return position >= 0;
}

bool stepToPrevious(long& position)
{
    const bool wasAboveFirst = position > 0;
    position = wasAboveFirst ? position - 1 : -1;
    return wasAboveFirst;
}

bool stepToLast(long& position, unsigned long count)
{
    position = static_cast<long>(count) - 1;
    return position >= 0;
}

} // namespace imenu

using imenu::kFile;

// ---------------------------------------------------------------------------------------------
// Construction

IMenu::IMenu() = default;

IMenu::IMenu(const IMenuHandle& menuHandle) : fMenuHandle(menuHandle)
{
    IARGUMENT_CHECK(menuHandle!=0, kFile, "IMenu::IMenu(const IMenuHandle&)");
}

IMenu::IMenu(const IMenuHandle& menu, const IWindowHandle& owner)
    : fMenuHandle(menu), fOwnerHandle(owner)
{
    const IMenuHandle& menuHandle = menu;
    IARGUMENT_CHECK(menuHandle!=0, kFile,
                    "IMenu::IMenu(const IMenuHandle&,const IWindowHandle&)");
    fOwner = IHelpStatics::frameWindowFor(owner);
}

IMenu::~IMenu()
{
    while (BitmapNode* node = fBitmaps) {
        fBitmaps = node->next;
        delete node;
    }
    // A menu object may be the last to see its menu go (a pop-up destroys it here): the
    // sub-menus of the library's own that were taken off its items go with it.
    imenu::destroyOrphans();
}

IMenu::Style IMenu::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IMenu::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

IBase::Boolean IMenu::extendedRoad()
{
    return imenu::extendedRoad();
}

// ---------------------------------------------------------------------------------------------
// Window operations

IWindow& IMenu::enableNotification(IBase::Boolean enable)
{
    return IWindow::enableNotification(enable);
}

unsigned long IMenu::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    if (extended)
        return IWindow::convertToGUIStyle(style, true) |
               (style.asExtendedUnsignedLong() & kExtendedStyleBits);
    return IWindow::convertToGUIStyle(style, false) | (style.asUnsignedLong() & kNativeStyleBits);
}

IWindow* IMenu::owner() const
{
    IWindow* window = fOwnerHandle ? windowWithHandle(fOwnerHandle, true) : nullptr;
    return window ? window : fOwner;
}

IBase::Boolean IMenu::isValid() const
{
    return fMenuHandle.isValid();
}

IBase::Boolean IMenu::isFrameWindow() const
{
    return false;
}

unsigned long IMenu::id() const
{
    if (extendedRoad())
        return fOwnerHandle ? IHelpStatics::menuIdForSubmenu(GetMenu(fOwnerHandle), fMenuHandle) : 0;
    return imenu::idForSubmenu(fOwner, fMenuHandle);
}

// A menu draws as part of its owner's frame: updating it means redrawing the owner's menu bar.
IWindow& IMenu::enableUpdate(IBase::Boolean enable)
{
    if (enable)
        redraw();
    return *this;
}

IWindow& IMenu::disableUpdate()
{
    return enableUpdate(false);
}

IWindow& IMenu::refresh(RefreshType)
{
    redraw();
    return *this;
}

IWindow& IMenu::refresh(const IRectangle&, IBase::Boolean)
{
    redraw();
    return *this;
}

void IMenu::redraw() const
{
    if (fOwnerHandle)
        DrawMenuBar(fOwnerHandle);
}

// Menus take the system's menu colours; they cannot be changed per menu.
IColor IMenu::foregroundColor() const { return IColor(static_cast<IColor::SystemColor>(35)); }
IColor IMenu::backgroundColor() const { return IColor(static_cast<IColor::SystemColor>(32)); }
IColor IMenu::disabledForegroundColor() const
{
    return IColor(static_cast<IColor::SystemColor>(5));
}
IColor IMenu::disabledBackgroundColor() const
{
    return IColor(static_cast<IColor::SystemColor>(32));
}
IColor IMenu::hiliteForegroundColor() const { return IColor(static_cast<IColor::SystemColor>(6)); }
IColor IMenu::hiliteBackgroundColor() const { return IColor(static_cast<IColor::SystemColor>(7)); }
IWindow& IMenu::setForegroundColor(const IColor&) { return *this; }
IWindow& IMenu::setBackgroundColor(const IColor&) { return *this; }
IWindow& IMenu::setDisabledForegroundColor(const IColor&) { return *this; }
IWindow& IMenu::setDisabledBackgroundColor(const IColor&) { return *this; }
IWindow& IMenu::setHiliteForegroundColor(const IColor&) { return *this; }
IWindow& IMenu::setHiliteBackgroundColor(const IColor&) { return *this; }
IWindow& IMenu::resetForegroundColor() { return *this; }
IWindow& IMenu::resetBackgroundColor() { return *this; }
IWindow& IMenu::resetDisabledForegroundColor() { return *this; }
IWindow& IMenu::resetDisabledBackgroundColor() { return *this; }
IWindow& IMenu::resetHiliteForegroundColor() { return *this; }
IWindow& IMenu::resetHiliteBackgroundColor() { return *this; }

// ---------------------------------------------------------------------------------------------
// Queries

IMenuHandle IMenu::menuHandle() const
{
    return fMenuHandle;
}

IMenu::Place IMenu::placeOf(unsigned long id) const
{
    Place place;
    HMENU holder = nullptr;
    long position = -1;
    if (imenu::findMenuItem(fOwner, fMenuHandle, id, &holder, &position)) {
        place.menu = holder;
        place.position = position;
    } else {
        place.menu = fMenuHandle;
    }
    return place;
}

// The classic calls find an item by identifier only in the menu itself; an item of a
// sub-menu is found by position in the sub-menu that holds it.
unsigned long IMenu::queryItemState(unsigned long id, Place* place) const
{
    static const char function[] =
        "queryItemState(IFrameWindow*,const IMenuHandle&,unsigned long,long*,IMenuHandle*)";
    UINT state = GetMenuState(fMenuHandle, static_cast<UINT>(id), MF_BYCOMMAND);
    Place found;
    found.menu = fMenuHandle;
    if (state == static_cast<UINT>(-1)) {
        HMENU holder = nullptr;
        long position = -1;
        if (!imenu::findMenuItem(fOwner, fMenuHandle, id, &holder, &position))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
        state = GetMenuState(holder, static_cast<UINT>(position), MF_BYPOSITION);
        if (state == static_cast<UINT>(-1))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
        state &= 0xFF;
        found.menu = holder;
        found.position = position;
    }
    // A sub-menu item's state carries the sub-menu's item count in its high byte, which would
    // read as the owner-draw and other type bits.
    if (state & MF_POPUP)
        state &= 0xFF;
    if (place)
        *place = found;
    return state;
}

IMenuItem IMenu::menuItem(unsigned long id) const
{
    IMenuItem item(id, IMenuItem::defaultStyle(), IMenuItem::defaultAttribute());
    const Place place = placeOf(id);
    if (extendedRoad()) {
        imenu::ItemRecord record;
        if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(id), false, record))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND,
                        "queryItem(const IMenuHandle&,unsigned long,Boolean,char*)");
        const MENUITEMINFOA& info = record.info;
        item.fStyle = IMenuItem::Style(info.fType, item.fStyle.asExtendedUnsignedLong());
        item.fAttribute = IMenuItem::Attribute(info.fState);
        item.setSubmenuHandle(info.hSubMenu);
        if (info.fType & MF_BITMAP)
            item.fBitmap = IBitmapHandle(reinterpret_cast<HBITMAP>(info.dwTypeData));
        else if (!(info.fType & (MF_OWNERDRAW | MF_SEPARATOR)))
            item.setText(record.text);
    } else {
        Place holder;
        const UINT state = queryItemState(id, &holder);
        item.fStyle = IMenuItem::Style(state & 0xE974, item.fStyle.asExtendedUnsignedLong());
        item.fAttribute = IMenuItem::Attribute(state & 0x28B);
        if (!(state & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR))) {
            char text[imenu::kTextBuffer] = {};
            if (holder.byPosition())
                GetMenuStringA(holder.menu, static_cast<UINT>(holder.position), text,
                               imenu::kTextBuffer, MF_BYPOSITION);
            else
                GetMenuStringA(fMenuHandle, static_cast<UINT>(id), text, imenu::kTextBuffer,
                               MF_BYCOMMAND);
            item.setText(text);
        }
        if ((state & MF_POPUP) && place.byPosition())
            item.setSubmenuHandle(GetSubMenu(place.menu, place.position));
    }
    item.fIndex = place.position;
    item.fData = imenu::itemValue(fOwner, id);
    return item;
}

unsigned long IMenu::menuItemId(const Cursor& cursor) const
{
    static const char function[] = "IMenu::menuItemId(const Cursor&) const";
    ISTATE_CHECK(cursor.isValid(), kFile, function);
    HMENU menu = cursor.fSubmenuId ? static_cast<HMENU>(submenuHandle(cursor.fSubmenuId))
                                   : static_cast<HMENU>(fMenuHandle);
    const UINT position = static_cast<UINT>(cursor.fPosition);
    unsigned long id = static_cast<unsigned long>(-1);
    if (extendedRoad()) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID;
        if (menu && GetMenuItemInfoA(menu, position, TRUE, &info))
            return info.wID;
    } else if (menu) {
        id = static_cast<unsigned long>(GetMenuItemID(menu, static_cast<int>(position)));
        if (id == static_cast<UINT>(-1)) {
            if (HMENU submenu = GetSubMenu(menu, static_cast<int>(position)))
                id = imenu::idForSubmenu(fOwner, submenu);
        }
        if (id != static_cast<unsigned long>(-1) && id != static_cast<UINT>(-1))
            return id;
    }
    const int count = menu ? GetMenuItemCount(menu) : 0;
    if (cursor.fPosition < 0 || cursor.fPosition >= count)
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    return static_cast<unsigned long>(-1);
}

unsigned long IMenu::numberOfItems(unsigned long submenuId) const
{
    HMENU menu = submenuId ? static_cast<HMENU>(submenuHandle(submenuId))
                           : static_cast<HMENU>(fMenuHandle);
    const int count = menu ? GetMenuItemCount(menu) : 0;
    return count > 0 ? static_cast<unsigned long>(count) : 0;
}

IMenuHandle IMenu::submenuHandle(unsigned long itemId) const
{
    if (!extendedRoad())
        return imenu::submenuForId(fOwner, itemId);
    imenu::ItemRecord record;
    if (!imenu::readRecord(fMenuHandle, static_cast<UINT>(itemId), false, record))
        imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND,
                    "queryItem(const IMenuHandle&,unsigned long,Boolean,char*)");
    return record.info.hSubMenu;
}

IBase::Boolean IMenu::isItemChecked(unsigned long id) const
{
    return (menuItem(id).attribute().asUnsignedLong() & MF_CHECKED) != 0;
}

IBase::Boolean IMenu::isItemEnabled(unsigned long id) const
{
    return (menuItem(id).attribute().asUnsignedLong() & (MF_GRAYED | MF_DISABLED)) == 0;
}

IRectangle IMenu::itemRect(unsigned long id) const
{
    if (!extendedRoad())
        return IRectangle();
    const Place place = placeOf(id);
    RECT area{};
    if (!place.byPosition() ||
        !GetMenuItemRect(fOwnerHandle, place.menu, static_cast<UINT>(place.position), &area))
        return IRectangle();
    const IRectangle screen(area.left, area.top, area.right, area.bottom);
    const ISize desktop(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return ICoordinateSystem::convertToApplication(screen, desktop);
}

IMenu::Cursor IMenu::cursor(unsigned long position, unsigned long submenuId) const
{
    static const char function[] = "IMenu::cursor(unsigned long,unsigned long) const";
    HMENU menu = submenuId ? static_cast<HMENU>(submenuHandle(submenuId))
                           : static_cast<HMENU>(fMenuHandle);
    IARGUMENT_CHECK(IsMenu(menu), kFile, function);
    Cursor cursor(*this, submenuId);
    cursor.fPosition = static_cast<long>(position);
    return cursor;
}

// ---------------------------------------------------------------------------------------------
// Cursor

IMenu::Cursor::Cursor(const IMenu& menu, unsigned long submenuId)
    : fSubmenuId(submenuId), fMenu(&menu)
{
    static const char function[] = "IMenu::Cursor::Cursor(const IMenu&,unsigned long)";
    ISTATE_CHECK(menu.isValid(), kFile, function);
    if (submenuId && extendedRoad()) {
        imenu::ItemRecord record;
        if (!imenu::readRecord(menu.fMenuHandle, static_cast<UINT>(submenuId), false, record))
            imenu::fail(OVK_MSG_MENU_ITEM_NOT_FOUND, function);
    }
}

IMenu::Cursor::~Cursor() = default;

IString IMenu::Cursor::asString() const
{
    return IString("IMenu::Cursor(position=") + IString(fPosition) + ")";
}

IString IMenu::Cursor::asDebugInfo() const
{
    return IString("IMenu::Cursor(position=") + IString(fPosition) +
           ", submenuId=" + IString(fSubmenuId) + ")";
}

unsigned long IMenu::Cursor::itemCount() const
{
    return fMenu->numberOfItems(fSubmenuId);
}

IBase::Boolean IMenu::Cursor::setToFirst()
{
    fPosition = 0;
    return true;
}

IBase::Boolean IMenu::Cursor::setToNext()
{
    return imenu::stepToNext(fPosition, itemCount());
}

IBase::Boolean IMenu::Cursor::setToPrevious()
{
    return imenu::stepToPrevious(fPosition);
}

IBase::Boolean IMenu::Cursor::setToLast()
{
    return imenu::stepToLast(fPosition, itemCount());
}

IBase::Boolean IMenu::Cursor::isValid() const
{
    return fPosition >= 0;
}

void IMenu::Cursor::invalidate()
{
    fPosition = -1;
}
