// IMenu: the base of every menu object (menu bar, system menu, sub-menus, pop-up menus): a
// native menu and the window that owns it, with item operations by identifier and by cursor.
#pragma once

#include <ibitflag.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

#include "imenuitm.hpp"

// The identifier of a frame's menu-bar window; never an item identifier.
inline constexpr unsigned long FID_MENU = 0x8005;

// A menu has no native window of its own: it takes part in the window-object protocol (owner,
// identifier, validity) but its colours are the system's, and its colour setters do nothing.
//
// Every item operation takes one of two roads, chosen again at each call: the extended
// menu-item calls where the platform has them, else the classic calls, which know no sub-menu
// identifiers; those come from the lists of the owner frame.
class OVKWIN_API IMenu : public IWindow {
public:
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    static const Style noStyle;
    static const Style classDefaultStyle;

    // Walks the items of the menu or of one of its sub-menus by position.
    class OVKWIN_API Cursor : public IVBase {
    public:
        // The items of the sub-menu of the item `submenuId`, or of the menu itself for 0.
        explicit Cursor(const IMenu& menu, unsigned long submenuId = 0);
        ~Cursor() override;

        IString asString() const override;
        IString asDebugInfo() const override;
        // Position 0, whether or not the menu has an item there.
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean setToPrevious();
        virtual IBase::Boolean setToLast();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

        long position() const { return fPosition; }
        unsigned long submenuId() const { return fSubmenuId; }

    private:
        friend class IMenu;
        unsigned long itemCount() const;

        long fPosition = -1;
        unsigned long fSubmenuId = 0;
        const IMenu* fMenu = nullptr;
        unsigned long fReserved = 0;
    };

    explicit IMenu(const IMenuHandle& menu);
    ~IMenu() override;

    // The IWindow operations a menu gives its own meaning.
    IWindow& enableNotification(IBase::Boolean enable = true) override;
    unsigned long convertToGUIStyle(const IBitFlag& style,
                                    IBase::Boolean extended = false) const override;
    IWindow* owner() const override;
    IBase::Boolean isValid() const override;
    IBase::Boolean isFrameWindow() const override;
    // The identifier of the item that holds this menu in the owner's menu bar.
    unsigned long id() const override;
    IWindow& enableUpdate(IBase::Boolean enable = true) override;
    IWindow& disableUpdate() override;
    IWindow& refresh(RefreshType type = paintAll) override;
    IWindow& refresh(const IRectangle& area, IBase::Boolean immediate = false) override;
    IColor foregroundColor() const override;
    IColor backgroundColor() const override;
    IColor disabledForegroundColor() const override;
    IColor disabledBackgroundColor() const override;
    IColor hiliteForegroundColor() const override;
    IColor hiliteBackgroundColor() const override;
    IWindow& setForegroundColor(const IColor& color) override;
    IWindow& setBackgroundColor(const IColor& color) override;
    IWindow& setDisabledForegroundColor(const IColor& color) override;
    IWindow& setDisabledBackgroundColor(const IColor& color) override;
    IWindow& setHiliteForegroundColor(const IColor& color) override;
    IWindow& setHiliteBackgroundColor(const IColor& color) override;
    IWindow& resetForegroundColor() override;
    IWindow& resetBackgroundColor() override;
    IWindow& resetDisabledForegroundColor() override;
    IWindow& resetDisabledBackgroundColor() override;
    IWindow& resetHiliteForegroundColor() override;
    IWindow& resetHiliteBackgroundColor() override;

    // Adding. An item index of -1 appends; `intoSubmenuId` names the item whose sub-menu takes
    // the new item (0: the menu itself).
    virtual IMenu& addItem(IMenuItem& item, unsigned long intoSubmenuId = 0);
    virtual IMenu& addText(unsigned long id, const char* text, unsigned long intoSubmenuId = 0);
    virtual IMenu& addText(unsigned long id, const IResourceId& text,
                           unsigned long intoSubmenuId = 0);
    virtual IMenu& addBitmap(unsigned long id, const IBitmapHandle& bitmap,
                             unsigned long intoSubmenuId = 0);
    virtual IMenu& addBitmap(unsigned long id, const IResourceId& bitmap,
                             unsigned long intoSubmenuId = 0);
    // A bitmap of the application's user resource library.
    virtual IMenu& addBitmap(unsigned long id, unsigned long bitmapId,
                             unsigned long intoSubmenuId = 0);
    virtual IMenu& addSeparator(unsigned long id, unsigned long intoSubmenuId);
    virtual IMenu& addSeparator(unsigned long intoSubmenuId = 0);
    // An empty sub-menu for the item; message 148 when it has one already.
    virtual IMenu& addSubmenu(unsigned long itemId);
    virtual IMenu& addSubmenu(unsigned long itemId, const IResourceId& submenu);

    // Changing; a native failure throws message 141.
    virtual IMenu& setItem(const IMenuItem& item);
    // Text items only: any other item throws message 141.
    virtual IMenu& setText(unsigned long id, const char* text);
    virtual IMenu& setText(unsigned long id, const IResourceId& text);
    virtual IMenu& setBitmap(unsigned long id, const IBitmapHandle& bitmap);
    virtual IMenu& setBitmap(unsigned long id, const IResourceId& bitmap);
    virtual IMenu& setBitmap(unsigned long id, unsigned long bitmapId);
    // Loads the menu and makes it the item's sub-menu, whether or not it had one.
    virtual IMenu& setSubmenu(unsigned long itemId, const IResourceId& submenu);
    // Deletes the item; its sub-menu is destroyed with it.
    virtual IMenu& deleteItem(unsigned long id);
    // Takes the sub-menu off the item and leaves it alive. A sub-menu the application made, or
    // took with submenuHandle, stays the application's: the library never destroys it. One the
    // library made or loaded (addSubmenu, setSubmenu, a loaded menu's) is destroyed once the
    // menu it was taken from is destroyed, unless it was given to an item again by then.
    virtual IMenu& removeSubmenu(unsigned long itemId);
    // Nothing happens, natively or on screen, when the item is already so.
    virtual IMenu& checkItem(unsigned long id, IBase::Boolean check = true);
    virtual IMenu& uncheckItem(unsigned long id);
    virtual IMenu& enableItem(unsigned long id, IBase::Boolean enable = true);
    virtual IMenu& disableItem(unsigned long id);
    virtual IMenu& selectItem(unsigned long id);
    virtual IMenuHandle menuHandle() const;
    // The default item of the item's sub-menu; the classic road has none and does nothing.
    virtual IMenu& setConditionalCascade(unsigned long itemId, unsigned long defaultItemId);
    virtual IMenu& removeConditionalCascade(unsigned long itemId);
    // A value kept by the owner frame under the item's identifier.
    virtual IMenu& setItemData(unsigned long id, unsigned long value);

    // By cursor.
    virtual IMenuItem elementAt(const Cursor& cursor) const;
    // Deletes the item at the cursor, which then stands on the item before it (position 0 stays).
    virtual IMenu& deleteAt(Cursor& cursor);
    virtual IMenu& removeSubmenuAt(Cursor& cursor);
    virtual IMenu& add(IMenuItem& item, Cursor& cursor);
    virtual IMenu& addAsNext(IMenuItem& item, Cursor& cursor);

    // Queries.
    IMenuItem menuItem(unsigned long id) const;
    // Message 142 for a position outside the menu.
    unsigned long menuItemId(const Cursor& cursor) const;
    unsigned long numberOfItems(unsigned long submenuId = 0) const;
    IMenuHandle submenuHandle(unsigned long itemId) const;
    IBase::Boolean isItemChecked(unsigned long id) const;
    IBase::Boolean isItemEnabled(unsigned long id) const;
    // Screen position of the item in the library's coordinates; empty on the classic road.
    IRectangle itemRect(unsigned long id) const;
    Cursor cursor(unsigned long position, unsigned long submenuId = 0) const;

    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

protected:
    IMenu();
    // A menu shown in the owner window, whose menu bar is redrawn after each change.
    IMenu(const IMenuHandle& menu, const IWindowHandle& owner);

    // Where an item lives: the native menu that holds it and its position there, or the
    // menu itself and the identifier when no position is known.
    struct Place {
        IMenuHandle menu;
        long position = -1;
        IBase::Boolean byPosition() const { return position >= 0; }
    };

    // The native state of an item and where it lives; message 142 when there is none.
    unsigned long queryItemState(unsigned long id, Place* place) const;
    // The frame whose lists serve this menu, or null.
    IWindow* ownerFrame() const { return fOwner; }
    // The window whose menu bar shows the menu, or against which a pop-up is shown.
    IWindowHandle ownerHandle() const { return fOwnerHandle; }
    // A menu bar whose frame was given another menu wraps that one from then on.
    void setMenuHandle(const IMenuHandle& menu) { fMenuHandle = menu; }
    // Takes the item out of its menu. Its sub-menu is destroyed with it, or, with
    // keepSubmenu, left alive for whoever puts the item back.
    IMenu& takeOutItem(unsigned long id, bool keepSubmenu);
    // Takes the sub-menu away from the item and answers it (0 when the item had none), alive.
    IMenuHandle detachSubmenu(unsigned long itemId);
    // A detached sub-menu of the library's own is kept until this menu is destroyed; anyone
    // else's is left to its holder.
    void keepDetached(const IMenuHandle& submenu);

private:
    struct BitmapNode;

    static IBase::Boolean extendedRoad();
    IMenuHandle targetMenu(unsigned long submenuId, const char* function) const;
    Place placeOf(unsigned long id) const;
    void insertItem(const IMenuHandle& menu, const IMenuItem& item, const char* function);
    void afterChange(const IMenuItem& item);
    void keepBitmap(const IBitmapHandle& bitmap);
    void redraw() const;
    IMenu& setSubmenuOf(unsigned long itemId, const IMenuHandle& submenu, bool refuseExisting);
    static IMenuHandle madeSubmenu(const IMenuHandle& made);
    IMenuHandle cascadeSubmenu(unsigned long itemId, unsigned long otherId,
                               const char* function) const;

    IMenuHandle fMenuHandle;
    IWindowHandle fOwnerHandle;
    IWindow* fOwner = nullptr;
    BitmapNode* fBitmaps = nullptr;
    void* fReserved = nullptr;
};
