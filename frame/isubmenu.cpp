// The sub-menu wrapper of an open pop-up and its undo list.
#include <windows.h>

#include <exception>
#include <memory>

#include <detail/iscoped.hpp>
#include <iapp.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "detail/imenurec.hpp"
#include "ihelpsta.hpp"
#include "isubmenu.hpp"

namespace {

constexpr char kFile[] = "isubmenu";

// The top-level window whose menu bar holds the pop-up, or 0.
IWindowHandle ownerOf(const IMenuHandle& popup)
{
    IHelpStatics::MenuOwnerQuery query;
    query.menu = popup;
    EnumWindows(&IHelpStatics::menuOwnerFor,
                reinterpret_cast<LPARAM>(&query));
    return IWindowHandle(query.window);
}

[[noreturn]] void refuse(const char* function)
{
    IThrow::message(OVK_MSG_OPERATION_NOT_SUPPORTED, IEXCEPTION_LOCATION(kFile, function));
}

} // namespace

ISubmenu::ISubmenu(const IMenuHandle& popup) : IMenu(popup, ownerOf(popup)), fPopup(popup) {}

ISubmenu::~ISubmenu()
{
    freeUndoList();
}

IMenuHandle ISubmenu::menuHandle() const
{
    return fPopup;
}

// ---------------------------------------------------------------------------------------------
// The undo list

void ISubmenu::record(Kind kind, const IMenuItem& item)
{
    fUndo = new UndoRecord{kind, new IMenuItem(item), fUndo};
}

void ISubmenu::recordChange(unsigned long id)
{
    for (UndoRecord* r = fUndo; r; r = r->next)
        if (r->kind != deleted && r->item->id() == id)
            return;
    record(changed, menuItem(id));
}

// A deleted item's sub-menu, or one taken away from its item, was kept alive for the undo;
// without one nobody else holds it.
void ISubmenu::dropSubmenu(const UndoRecord& record) noexcept
{
    const bool detached = record.kind == deleted || (record.kind == changed && record.ownsSubmenu);
    if (detached && record.item->submenuHandle().isValid())
        DestroyMenu(record.item->submenuHandle());
}

void ISubmenu::freeUndoList() noexcept
{
    while (UndoRecord* r = fUndo) {
        fUndo = r->next;
        dropSubmenu(*r);
        delete r->item;
        delete r;
    }
}

ISubmenu& ISubmenu::undo()
{
    // Every record is replayed even when one fails, so that one bad step does not leave the
    // rest of the pop-up changed; the first failure is reported afterwards.
    std::exception_ptr failure;
    while (UndoRecord* r = fUndo) {
        fUndo = r->next;
        std::unique_ptr<UndoRecord> record(r);
        std::unique_ptr<IMenuItem> item(r->item);
        try {
            replay(record->kind, *item);
        } catch (...) {
            dropSubmenu(*record);
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
    return *this;
}

void ISubmenu::replay(Kind kind, IMenuItem& item)
{
    switch (kind) {
    case deleted:
        IMenu::addItem(item);
        break;
    case added:
        IMenu::deleteItem(item.id());
        break;
    case changed:
        IMenu::setItem(item);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Recorded changes

IMenu& ISubmenu::addItem(IMenuItem& item, unsigned long intoSubmenuId)
{
    IMenu::addItem(item, intoSubmenuId);
    record(added, IMenuItem(item.id()));
    return *this;
}

IMenu& ISubmenu::addText(unsigned long id, const char* text, unsigned long)
{
    IMenuItem item(id);
    item.setText(text);
    return addItem(item);
}

IMenu& ISubmenu::addText(unsigned long id, const IResourceId& text, unsigned long)
{
    IMenuItem item(id);
    item.setText(text);
    return addItem(item);
}

IMenu& ISubmenu::addBitmap(unsigned long id, const IBitmapHandle& bitmap, unsigned long)
{
    IMenuItem item(id);
    item.setBitmap(bitmap);
    return addItem(item);
}

IMenu& ISubmenu::addBitmap(unsigned long id, const IResourceId& bitmap, unsigned long)
{
    IMenuItem item(id);
    item.setBitmap(bitmap);
    return addItem(item);
}

IMenu& ISubmenu::addBitmap(unsigned long id, unsigned long bitmapId, unsigned long)
{
    return addBitmap(id, IResourceId(bitmapId, IApplication::current().userResourceLibrary()));
}

IMenu& ISubmenu::addSeparator(unsigned long id, unsigned long)
{
    IMenuItem item(id);
    item.setSeparator();
    return addItem(item);
}

IMenu& ISubmenu::addSeparator(unsigned long)
{
    return addSeparator(0, 0);
}

IMenu& ISubmenu::setItem(const IMenuItem& item)
{
    recordChange(item.id());
    return IMenu::setItem(item);
}

IMenu& ISubmenu::setText(unsigned long id, const char* text)
{
    recordChange(id);
    return IMenu::setText(id, text);
}

IMenu& ISubmenu::setText(unsigned long id, const IResourceId& text)
{
    recordChange(id);
    return IMenu::setText(id, text);
}

IMenu& ISubmenu::setBitmap(unsigned long id, const IBitmapHandle& bitmap)
{
    recordChange(id);
    return IMenu::setBitmap(id, bitmap);
}

IMenu& ISubmenu::setBitmap(unsigned long id, const IResourceId& bitmap)
{
    recordChange(id);
    return IMenu::setBitmap(id, bitmap);
}

IMenu& ISubmenu::setBitmap(unsigned long id, unsigned long bitmapId)
{
    recordChange(id);
    return IMenu::setBitmap(id, bitmapId);
}

// The item's sub-menu stays alive, so that the undo can put the item back with it.
IMenu& ISubmenu::deleteItem(unsigned long id)
{
    const IMenuItem item = menuItem(id);
    takeOutItem(id, true);
    record(deleted, item);
    return *this;
}

// The undo record owns the sub-menu when it will give it back: when the record of the item as
// it first was holds this very sub-menu. One added or given to the item since is detached as
// any menu detaches it, and left to its holder.
IMenu& ISubmenu::removeSubmenu(unsigned long itemId)
{
    recordChange(itemId);
    const IMenuHandle submenu = detachSubmenu(itemId);
    if (!submenu.isValid())
        return *this;
    for (UndoRecord* r = fUndo; r; r = r->next) {
        if (r->kind == deleted || r->item->id() != itemId)
            continue;
        if (r->kind == changed && r->item->submenuHandle() == submenu) {
            r->ownsSubmenu = true;
            return *this;
        }
        break;
    }
    keepDetached(submenu);
    return *this;
}

IMenu& ISubmenu::checkItem(unsigned long id, IBase::Boolean check)
{
    recordChange(id);
    return IMenu::checkItem(id, check);
}

IMenu& ISubmenu::enableItem(unsigned long id, IBase::Boolean enable)
{
    recordChange(id);
    return IMenu::enableItem(id, enable);
}

// ---------------------------------------------------------------------------------------------
// Cursors

IMenuItem ISubmenu::elementAt(const IMenu::Cursor&) const
{
    refuse("ISubmenu::elementAt(const IMenu::Cursor&) const");
}

IMenu& ISubmenu::deleteAt(IMenu::Cursor&)
{
    refuse("ISubmenu::deleteAt(IMenu::Cursor&)");
}

IMenu& ISubmenu::removeSubmenuAt(IMenu::Cursor&)
{
    refuse("ISubmenu::removeSubmenuAt(IMenu::Cursor&)");
}

IMenu& ISubmenu::add(IMenuItem&, IMenu::Cursor&)
{
    refuse("ISubmenu::add(IMenuItem&,IMenu::Cursor&)");
}

IMenu& ISubmenu::addAsNext(IMenuItem&, IMenu::Cursor&)
{
    refuse("ISubmenu::addAsNext(IMenuItem&,IMenu::Cursor&)");
}

ISubmenu::Cursor ISubmenu::cursor(unsigned long position) const
{
    Cursor result(*this);
    result.fPosition = static_cast<long>(position);
    return result;
}

unsigned long ISubmenu::menuItemId(const Cursor& cursor) const
{
    ISTATE_CHECK(cursor.isValid(), kFile, "ISubmenu::menuItemId(const Cursor&) const");
    return IMenu::menuItemId(IMenu::cursor(static_cast<unsigned long>(cursor.fPosition)));
}

IMenuItem ISubmenu::elementAt(const Cursor& cursor) const
{
    return menuItem(menuItemId(cursor));
}

// By position: separators share identifier 0. The sub-menu is kept for the undo.
ISubmenu& ISubmenu::deleteAt(Cursor& cursor)
{
    const IMenuItem item = elementAt(cursor);
    IMenuItem saved(item);
    saved.setIndex(cursor.fPosition);
    if (!RemoveMenu(fPopup, static_cast<UINT>(cursor.fPosition), MF_BYPOSITION))
        IThrow::message(OVK_MSG_MENU_ITEM_NOT_FOUND,
                        IEXCEPTION_LOCATION(kFile, "ISubmenu::deleteAt(ISubmenu::Cursor&)"));
    record(deleted, saved);
    if (cursor.fPosition > 0)
        --cursor.fPosition;
    return *this;
}

ISubmenu& ISubmenu::removeSubmenuAt(Cursor& cursor)
{
    removeSubmenu(menuItemId(cursor));
    return *this;
}

ISubmenu& ISubmenu::add(IMenuItem& item, Cursor& cursor)
{
    IMenuItem placed(item);
    placed.setIndex(cursor.fPosition);
    addItem(placed);
    return *this;
}

ISubmenu& ISubmenu::addAsNext(IMenuItem& item, Cursor& cursor)
{
    IMenuItem placed(item);
    placed.setIndex(cursor.fPosition + 1);
    addItem(placed);
    ++cursor.fPosition;
    return *this;
}

ISubmenu::Cursor::Cursor(const ISubmenu& menu) : fMenu(&menu)
{
    ISTATE_CHECK(menu.menuHandle() != 0, kFile, "ISubmenu::Cursor::Cursor(const ISubmenu&)");
}

ISubmenu::Cursor::~Cursor() = default;

IString ISubmenu::Cursor::asString() const
{
    return IString("ISubmenu::Cursor(position=") + IString(fPosition) + ")";
}

IString ISubmenu::Cursor::asDebugInfo() const
{
    return asString();
}

unsigned long ISubmenu::Cursor::itemCount() const
{
    const int count = GetMenuItemCount(fMenu->fPopup);
    return count > 0 ? static_cast<unsigned long>(count) : 0;
}

IBase::Boolean ISubmenu::Cursor::setToFirst()
{
    fPosition = 0;
    return true;
}

IBase::Boolean ISubmenu::Cursor::setToNext()
{
    return imenu::stepToNext(fPosition, itemCount());
}

IBase::Boolean ISubmenu::Cursor::setToPrevious()
{
    return imenu::stepToPrevious(fPosition);
}

IBase::Boolean ISubmenu::Cursor::setToLast()
{
    return imenu::stepToLast(fPosition, itemCount());
}

IBase::Boolean ISubmenu::Cursor::isValid() const
{
    return fPosition >= 0;
}

void ISubmenu::Cursor::invalidate()
{
    fPosition = -1;
}
