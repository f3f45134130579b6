// IListBox: the list box whose items the program adds, replaces and removes, each change told
// to the observers.
#pragma once

#include <idefs.hpp>

#include "ilistbas.hpp"

class OVKWIN_API IListBox : public IBaseListBox {
public:
    static const char* const addId;
    static const char* const removeId;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IListBox(unsigned long id, IWindow* parent, IWindow* owner,
             const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IListBox(unsigned long id, IWindow* parent);
    explicit IListBox(const IWindowHandle& handle);
    ~IListBox() override;

    // The cursor stays on the item that followed, or becomes invalid after the last.
    virtual IListBox& removeAt(Cursor& cursor);
    virtual IListBox& removeAll();
    virtual IListBox& replaceAt(const char* text, const Cursor& cursor);
    virtual IListBox& replaceAt(const IResourceId& text, const Cursor& cursor);
    // The number of items left. An index that does not exist throws and changes nothing.
    virtual unsigned long remove(unsigned long index);
    // Each answers the new item's index; an index at or past count() (or 0xFFFFFFFF) appends.
    virtual unsigned long add(unsigned long index, const char* text);
    virtual unsigned long add(unsigned long index, const char* const* texts, unsigned long count);
    virtual unsigned long add(unsigned long index, const IResourceId& text);
    virtual unsigned long add(const char* text, Cursor& cursor);
    virtual unsigned long add(const IResourceId& text, Cursor& cursor);
    virtual unsigned long addAsFirst(const char* text);
    virtual unsigned long addAsFirst(const IResourceId& text);
    virtual unsigned long addAsFirst(const char* text, Cursor& cursor);
    virtual unsigned long addAsFirst(const IResourceId& text, Cursor& cursor);
    virtual unsigned long addAsLast(const char* text);
    virtual unsigned long addAsLast(const IResourceId& text);
    virtual unsigned long addAsLast(const char* text, Cursor& cursor);
    virtual unsigned long addAsLast(const IResourceId& text, Cursor& cursor);
    // After the items that compare equal, byte by byte; one binary search per item.
    virtual unsigned long addAscending(const char* text);
    virtual unsigned long addAscending(const IResourceId& text);
    virtual unsigned long addDescending(const char* text);
    virtual unsigned long addDescending(const IResourceId& text);
    virtual unsigned long addAsNext(const char* text, Cursor& cursor);
    virtual unsigned long addAsNext(const IResourceId& text, Cursor& cursor);

private:
    unsigned long fReserved = 0;
};
