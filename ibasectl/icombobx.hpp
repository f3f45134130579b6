// IComboBox: the combo box whose items the program adds, replaces and removes, each change
// told to the observers.
#pragma once

#include <idefs.hpp>

#include "icombobs.hpp"

// The item set operations behave as those of IListBox.
class OVKWIN_API IComboBox : public IBaseComboBox {
public:
    static const char* const addId;
    static const char* const removeId;
    static const Style classDefaultStyle;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);

    IComboBox(unsigned long id, IWindow* parent, IWindow* owner,
              const IRectangle& rect = IRectangle(), const Style& style = defaultStyle());
    IComboBox(unsigned long id, IWindow* parent);
    explicit IComboBox(const IWindowHandle& handle);
    ~IComboBox() override;

    // Empties the list; an empty one is told as removed all the same.
    IEntryField& removeAll() override;

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
    virtual unsigned long addAscending(const char* text);
    virtual unsigned long addAscending(const IResourceId& text);
    virtual unsigned long addDescending(const char* text);
    virtual unsigned long addDescending(const IResourceId& text);
    virtual unsigned long addAsNext(const char* text, Cursor& cursor);
    virtual unsigned long addAsNext(const IResourceId& text, Cursor& cursor);
    virtual IComboBox& removeAt(Cursor& cursor);
    virtual IComboBox& replaceAt(const char* text, const Cursor& cursor);
    virtual IComboBox& replaceAt(const IResourceId& text, const Cursor& cursor);
    // The number of items left. An index that does not exist throws and changes nothing.
    virtual unsigned long remove(unsigned long index);
};
