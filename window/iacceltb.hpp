// IAcceleratorTable: an editable list of accelerator keys, read from and written to native
// accelerator tables, that can keep the window it was taken from up to date.
#pragma once

#include <imap.hpp>
#include <ivbase.hpp>

#include "iaccelky.hpp"
#include "idefs.hpp"
#include "ihandle.hpp"

class IResourceId;
class IWindow;

class OVKWIN_API IAcceleratorTable : public IBase {
public:
    struct LookupValueOf {
        unsigned long operator()(const IAcceleratorKey& key) const { return key.lookupValue(); }
    };
    // One key per lookup value, in ascending order of lookup values.
    using KeyList = IKeySet<IAcceleratorKey, unsigned long, LookupValueOf>;

    // Walks the keys of one table. Removing a key from the table invalidates it.
    class OVKWIN_API Cursor : public IVBase {
    public:
        explicit Cursor(const IAcceleratorTable& table);
        ~Cursor() override;
        virtual IBase::Boolean setToFirst();
        virtual IBase::Boolean setToNext();
        virtual IBase::Boolean isValid() const;
        virtual void invalidate();

    private:
        friend class IAcceleratorTable;
        KeyList::Cursor fCursor;
    };

    // Every constructor throws message 72 on the older platform, which has no accelerator
    // tables of this kind.
    // The table of a resource, loaded from the identifier's resource library.
    explicit IAcceleratorTable(const IResourceId& resource);
    // A copy of the keys of a native table (null gives an empty table); the handle stays the
    // caller's.
    explicit IAcceleratorTable(const IAccelTblHandle& table);
    // The window's current table. The table remembers the window, which edits can update; a
    // null window fails the argument check "window != nullptr".
    explicit IAcceleratorTable(const IWindow* window);
    IAcceleratorTable(const IAcceleratorTable& other);
    IAcceleratorTable& operator=(const IAcceleratorTable& other);
    ~IAcceleratorTable();

    // Replaces the keys by those of a native table; a null handle empties the table. A table
    // that cannot be read throws the system error "ICOPYACCELTABLE".
    IAcceleratorTable& initialize(const IAccelTblHandle& table);

    // Edits. With `updateWindow` true, the remembered window then gets a native table built
    // from the keys (see updateWindow()).
    // add keeps a key already in the table under the same lookup value; addOrReplace replaces
    // it.
    IAcceleratorTable& add(const IAcceleratorKey& key, IBase::Boolean updateWindow = true);
    IAcceleratorTable& addOrReplace(const IAcceleratorKey& key, IBase::Boolean updateWindow = true);
    // Removes the key with the same key and modifiers, if any.
    IAcceleratorTable& remove(const IAcceleratorKey& key, IBase::Boolean updateWindow = true);
    // The cursor moves to the next key. An invalid cursor fails the argument check.
    IAcceleratorTable& removeAt(Cursor& cursor, IBase::Boolean updateWindow = true);
    // Takes the key at the cursor out and adds the new one in its place (replacing any key
    // with the new key's lookup value); the cursor is then invalid.
    IAcceleratorTable& replaceAt(const IAcceleratorKey& key, Cursor& cursor,
                                 IBase::Boolean updateWindow = true);
    IAcceleratorTable& removeAll(IBase::Boolean updateWindow = true);

    // A key with the same key and modifiers is in the table.
    IBase::Boolean contains(const IAcceleratorKey& key) const;
    unsigned long numberOfKeys() const;
    IAcceleratorKey keyAt(const Cursor& cursor) const;
    // Puts the cursor on the key with the same key and modifiers; false when there is none.
    IBase::Boolean locate(const IAcceleratorKey& key, Cursor& cursor) const;

    // A new native table with the keys, in cursor order, owned by the caller; a null handle
    // for an empty table.
    IAccelTblHandle createHandle() const;
    static void destroyHandle(const IAccelTblHandle& table);

    // Gives the remembered window, when it is still a window with a window object, a native
    // table built from the keys and destroys the one it had; true when that happened. A
    // remembered window that no longer exists is forgotten.
    IBase::Boolean updateWindow();

private:
    IAcceleratorTable& edited(IBase::Boolean updateWindow);

    struct Data;
    Data* fData;
};
