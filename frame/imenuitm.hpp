// IMenuItem: one menu item as a value (identifier, text or bitmap, position, style, attribute,
// sub-menu), built to be added to a menu and read back from one.
#pragma once

#include <ibitflag.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <ireslib.hpp>

class IMenu;

// The style and attribute words are the native item type and state bits, so an item goes to
// and comes from the native item record without translation; only the text marker has no
// native bit (a text item is type 0) and lives in the extended word.
class OVKWIN_API IMenuItem : public IVBase {
public:
    class OVKWIN_API Style : public IBitFlagSet<Style> {
    public:
        constexpr Style(Word value, Word extendedValue = 0) : IBitFlagSet(value, extendedValue) {}
    };
    // In the order code built against the library relies on.
    static const Style _noStyle;
    static const Style _text;
    static const Style _bitmap;
    static const Style _separator;
    static const Style _drawItem;
    // Set and cleared by setSubmenuHandle.
    static const Style _submenu;
    // Kept for sources of other platforms; no native bit here.
    static const Style _split;
    static const Style _noDismiss;
    static const Style _framed;
    // An item that cannot be chosen (native type bit 2).
    static const Style _static;
    static const Style _columnBreak;
    static const Style _columnBreakSeparator;
    // Kept for sources of other platforms; no native bit here.
    static const Style _helpItem;

    class OVKWIN_API Attribute : public IBitFlagSet<Attribute> {
    public:
        constexpr Attribute(Word value, Word extendedValue = 0)
            : IBitFlagSet(value, extendedValue) {}
    };
    static const Attribute _noAttribute;
    // Kept for sources of other platforms; no native bit here.
    static const Attribute _noDismissAttribute;
    static const Attribute _framedAttribute;
    static const Attribute _checked;
    static const Attribute _disabled;
    static const Attribute _highlighted;
    static const Attribute _plain;

    enum BreakType : unsigned char { noBreak = 0, columnBreak = 1, columnBreakSeparator = 2 };

    explicit IMenuItem(unsigned long id = 0, const Style& style = defaultStyle(),
                       const Attribute& attribute = defaultAttribute());
    IMenuItem(const IMenuItem& other) = default;
    IMenuItem& operator=(const IMenuItem& other) = default;
    ~IMenuItem() override;

    IString asString() const override;
    IString asDebugInfo() const override;

    // Contents: exactly one of text, bitmap, separator and drawn item.
    IMenuItem& setText(const char* text);
    // A text of the string table of the identifier's resource library.
    IMenuItem& setText(const IResourceId& text);
    IMenuItem& setBitmap(const IBitmapHandle& bitmap);
    IMenuItem& setBitmap(const IResourceId& bitmap);
    IMenuItem& setSeparator();
    IMenuItem& setDrawItem(IBase::Boolean drawItem = true);
    // Makes the item a text item with an empty text and no bitmap.
    IMenuItem& resetText();

    IMenuItem& setSubmenuHandle(const IMenuHandle& submenu);
    IMenuItem& setBreakType(BreakType type);
    BreakType breakType() const;

    IMenuItem& setId(unsigned long id) { fId = id; return *this; }
    IMenuItem& setIndex(long index) { fIndex = index; return *this; }
    IMenuItem& setStyle(const Style& style) { fStyle = style; return *this; }
    IMenuItem& setAttribute(const Attribute& attribute) { fAttribute = attribute; return *this; }
    IMenuItem& setItemData(unsigned long value) { fData = value; return *this; }
    IMenuItem& setChecked(IBase::Boolean checked = true);
    IMenuItem& setDisabled(IBase::Boolean disabled = true);

    unsigned long id() const { return fId; }
    long index() const { return fIndex; }
    const IString& text() const { return fText; }
    const Style& style() const { return fStyle; }
    const Attribute& attribute() const { return fAttribute; }
    unsigned long itemData() const { return fData; }
    IMenuHandle submenuHandle() const { return fSubmenu; }
    const IBitmapHandle& bitmap() const { return fBitmap; }

    IBase::Boolean isText() const { return has(_text); }
    IBase::Boolean isBitmap() const { return has(_bitmap); }
    IBase::Boolean isSeparator() const { return has(_separator); }
    IBase::Boolean isDrawItem() const { return has(_drawItem); }
    IBase::Boolean isSubmenu() const { return has(_submenu); }
    IBase::Boolean isChecked() const;
    IBase::Boolean isDisabled() const;
    IBase::Boolean isHighlighted() const;

    // The class defaults that new items start from.
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);
    static Attribute defaultAttribute();
    static void setDefaultAttribute(const Attribute& attribute);

private:
    friend class IMenu;

    IBase::Boolean has(const Style& flag) const;
    IMenuItem& switchStyle(const Style& on, const Style& off);

    IString fText;
    long fIndex = -1;
    Style fStyle = _noStyle;
    Attribute fAttribute = _noAttribute;
    unsigned long fId = 0;
    unsigned long fData = 0;
    IMenuHandle fSubmenu;
    IBitmapHandle fBitmap;
};
