// ISubmenu: a pop-up menu being shown, wrapped for the time it is open; the changes made
// through it are undone when it closes.
#pragma once

#include <ivbase.hpp>

#include <idefs.hpp>

#include "imenu.hpp"

// The menu handler makes one for each pop-up that opens. Every change records how to undo it:
// a deleted item is kept, an added item's identifier is kept, and a changed item is kept as it
// was before its first change. Neither deleting the object nor undo() destroys the pop-up.
class OVKWIN_API ISubmenu : public IMenu {
public:
    // Walks the items of the wrapped pop-up by position.
    class OVKWIN_API Cursor : public IVBase {
    public:
        explicit Cursor(const ISubmenu& menu);
        ~Cursor() override;

        IString asString() const override;
        IString asDebugInfo() const override;
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

        long position() const { return fPosition; }

    private:
        friend class ISubmenu;
        unsigned long itemCount() const;

        long fPosition = 0;
        const ISubmenu* fMenu;
        unsigned long fReserved = 0;
    };

    // The frame whose menu bar holds the pop-up, when one does, becomes the owner.
    explicit ISubmenu(const IMenuHandle& popup);
    ~ISubmenu() override;

    IMenuHandle menuHandle() const override;

    // The text, bitmap and separator forms add to the pop-up itself, whatever sub-menu they
    // name; addItem adds to the sub-menu it names.
    IMenu& addItem(IMenuItem& item, unsigned long intoSubmenuId = 0) override;
    IMenu& addText(unsigned long id, const char* text, unsigned long intoSubmenuId = 0) override;
    IMenu& addText(unsigned long id, const IResourceId& text,
                   unsigned long intoSubmenuId = 0) override;
    IMenu& addBitmap(unsigned long id, const IBitmapHandle& bitmap,
                     unsigned long intoSubmenuId = 0) override;
    IMenu& addBitmap(unsigned long id, const IResourceId& bitmap,
                     unsigned long intoSubmenuId = 0) override;
    IMenu& addBitmap(unsigned long id, unsigned long bitmapId,
                     unsigned long intoSubmenuId = 0) override;
    IMenu& addSeparator(unsigned long id, unsigned long intoSubmenuId) override;
    IMenu& addSeparator(unsigned long intoSubmenuId = 0) override;
    IMenu& setItem(const IMenuItem& item) override;
    IMenu& setText(unsigned long id, const char* text) override;
    IMenu& setText(unsigned long id, const IResourceId& text) override;
    IMenu& setBitmap(unsigned long id, const IBitmapHandle& bitmap) override;
    IMenu& setBitmap(unsigned long id, const IResourceId& bitmap) override;
    IMenu& setBitmap(unsigned long id, unsigned long bitmapId) override;
    IMenu& deleteItem(unsigned long id) override;
    IMenu& removeSubmenu(unsigned long itemId) override;
    IMenu& checkItem(unsigned long id, IBase::Boolean check = true) override;
    IMenu& enableItem(unsigned long id, IBase::Boolean enable = true) override;

    // The menu's own cursor forms are refused (message 2): a sub-menu is walked with its own.
    IMenuItem elementAt(const IMenu::Cursor& cursor) const override;
    IMenu& deleteAt(IMenu::Cursor& cursor) override;
    IMenu& removeSubmenuAt(IMenu::Cursor& cursor) override;
    IMenu& add(IMenuItem& item, IMenu::Cursor& cursor) override;
    IMenu& addAsNext(IMenuItem& item, IMenu::Cursor& cursor) override;

    // Takes back every recorded change, newest first, and forgets them.
    virtual ISubmenu& undo();
    virtual IMenuItem elementAt(const Cursor& cursor) const;
    virtual ISubmenu& deleteAt(Cursor& cursor);
    virtual ISubmenu& removeSubmenuAt(Cursor& cursor);
    virtual ISubmenu& add(IMenuItem& item, Cursor& cursor);
    virtual ISubmenu& addAsNext(IMenuItem& item, Cursor& cursor);

    Cursor cursor(unsigned long position) const;
    // Message 142 for a position outside the pop-up.
    unsigned long menuItemId(const Cursor& cursor) const;

private:
    enum Kind : unsigned char { deleted = 0, added = 1, changed = 2 };
    struct UndoRecord {
        Kind kind;
        IMenuItem* item;
        UndoRecord* next;
        // The item's sub-menu was taken away from it and lives only for the undo.
        bool ownsSubmenu = false;
    };

    void record(Kind kind, const IMenuItem& item);
    // Records the item as it is now, unless it was added or changed already.
    void recordChange(unsigned long id);
    void freeUndoList() noexcept;
    // The record's sub-menu, when the record alone keeps it alive, is destroyed.
    static void dropSubmenu(const UndoRecord& record) noexcept;
    void replay(Kind kind, IMenuItem& item);

    IMenuHandle fPopup;
    UndoRecord* fUndo = nullptr;
    unsigned long fReserved = 0;
};
