// The menu item.
#include <windows.h>

#include <detail/iclasswide.hpp>

#include "imenuitm.hpp"

constexpr IMenuItem::Style IMenuItem::_noStyle(0, 0);
constexpr IMenuItem::Style IMenuItem::_text(0, 1);
constexpr IMenuItem::Style IMenuItem::_bitmap(MF_BITMAP, 0);
constexpr IMenuItem::Style IMenuItem::_separator(MF_SEPARATOR, 0);
constexpr IMenuItem::Style IMenuItem::_drawItem(MF_OWNERDRAW, 0);
constexpr IMenuItem::Style IMenuItem::_submenu(MF_POPUP, 0);
constexpr IMenuItem::Style IMenuItem::_split(0, 0);
constexpr IMenuItem::Style IMenuItem::_noDismiss(0, 0);
constexpr IMenuItem::Style IMenuItem::_framed(0, 0);
constexpr IMenuItem::Style IMenuItem::_static(2, 0);
constexpr IMenuItem::Style IMenuItem::_columnBreak(MF_MENUBREAK, 0);
constexpr IMenuItem::Style IMenuItem::_columnBreakSeparator(MF_MENUBARBREAK, 0);
constexpr IMenuItem::Style IMenuItem::_helpItem(0, 0);

constexpr IMenuItem::Attribute IMenuItem::_noAttribute(0, 0);
constexpr IMenuItem::Attribute IMenuItem::_noDismissAttribute(0, 0);
constexpr IMenuItem::Attribute IMenuItem::_framedAttribute(0, 0);
constexpr IMenuItem::Attribute IMenuItem::_checked(MF_CHECKED, 0);
constexpr IMenuItem::Attribute IMenuItem::_disabled(MF_GRAYED | MF_DISABLED, 0);
constexpr IMenuItem::Attribute IMenuItem::_highlighted(MF_HILITE, 0);
constexpr IMenuItem::Attribute IMenuItem::_plain(0, 0);

IMenuItem::IMenuItem(unsigned long id, const Style& style, const Attribute& attribute)
    : fStyle(style), fAttribute(attribute), fId(id)
{
}

IMenuItem::~IMenuItem() = default;

IString IMenuItem::asString() const
{
    return IString("IMenuItem(id=") + IString(fId) + ", text=" + fText + ")";
}

IString IMenuItem::asDebugInfo() const
{
    return IString("IMenuItem(id=") + IString(fId) + ", index=" + IString(fIndex) +
           ", style=" + IString(fStyle.asUnsignedLong()) + "/" +
           IString(fStyle.asExtendedUnsignedLong()) + ", attribute=" +
           IString(fAttribute.asUnsignedLong()) + ", data=" + IString(fData) + ", text=" + fText + ")";
}

IBase::Boolean IMenuItem::has(const Style& flag) const
{
    return (fStyle.asUnsignedLong() & flag.asUnsignedLong()) != 0 ||
           (fStyle.asExtendedUnsignedLong() & flag.asExtendedUnsignedLong()) != 0;
}

IMenuItem& IMenuItem::switchStyle(const Style& on, const Style& off)
{
    fStyle = (fStyle & ~off) | on;
    return *this;
}

IMenuItem& IMenuItem::resetText()
{
    switchStyle(_text, _bitmap | _separator | _drawItem);
    fText = IString();
    fBitmap = IBitmapHandle();
    return *this;
}

IMenuItem& IMenuItem::setText(const char* text)
{
    resetText();
    fText = text ? text : "";
    return *this;
}

IMenuItem& IMenuItem::setText(const IResourceId& text)
{
    return setText(text.resourceLibrary().loadString(text.id()));
}

IMenuItem& IMenuItem::setBitmap(const IBitmapHandle& bitmap)
{
    switchStyle(_bitmap, _text | _separator | _drawItem);
    fText = IString();
    fBitmap = bitmap;
    return *this;
}

IMenuItem& IMenuItem::setBitmap(const IResourceId& bitmap)
{
    return setBitmap(bitmap.resourceLibrary().loadBitmap(bitmap.id()));
}

IMenuItem& IMenuItem::setSeparator()
{
    switchStyle(_separator, _text | _bitmap | _drawItem);
    fText = IString();
    fBitmap = IBitmapHandle();
    return *this;
}

IMenuItem& IMenuItem::setDrawItem(IBase::Boolean drawItem)
{
    if (!drawItem)
        return switchStyle(_noStyle, _drawItem);
    switchStyle(_drawItem, _text | _bitmap | _separator);
    fText = IString();
    fBitmap = IBitmapHandle();
    return *this;
}

IMenuItem& IMenuItem::setSubmenuHandle(const IMenuHandle& submenu)
{
    fSubmenu = submenu;
    return submenu.isValid() ? switchStyle(_submenu, _noStyle) : switchStyle(_noStyle, _submenu);
}

IMenuItem& IMenuItem::setBreakType(BreakType type)
{
    switchStyle(_noStyle, _columnBreak | _columnBreakSeparator);
    if (type == columnBreak)
        switchStyle(_columnBreak, _noStyle);
    else if (type == columnBreakSeparator)
        switchStyle(_columnBreakSeparator, _noStyle);
    return *this;
}

IMenuItem::BreakType IMenuItem::breakType() const
{
    if (has(_columnBreak))
        return columnBreak;
    return has(_columnBreakSeparator) ? columnBreakSeparator : noBreak;
}

IMenuItem& IMenuItem::setChecked(IBase::Boolean checked)
{
    fAttribute = checked ? (fAttribute | _checked) : (fAttribute & ~_checked);
    return *this;
}

IMenuItem& IMenuItem::setDisabled(IBase::Boolean disabled)
{
    fAttribute = disabled ? (fAttribute | _disabled) : (fAttribute & ~_disabled);
    return *this;
}

IBase::Boolean IMenuItem::isChecked() const
{
    return (fAttribute.asUnsignedLong() & MF_CHECKED) != 0;
}

IBase::Boolean IMenuItem::isDisabled() const
{
    return (fAttribute.asUnsignedLong() & (MF_GRAYED | MF_DISABLED)) != 0;
}

IBase::Boolean IMenuItem::isHighlighted() const
{
    return (fAttribute.asUnsignedLong() & MF_HILITE) != 0;
}

IMenuItem::Style IMenuItem::defaultStyle()
{
    return ovk_app::ClassDefault<_noStyle>::current();
}

void IMenuItem::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<_noStyle>::replace(style);
}

IMenuItem::Attribute IMenuItem::defaultAttribute()
{
    return ovk_app::ClassDefault<_noAttribute>::current();
}

void IMenuItem::setDefaultAttribute(const Attribute& attribute)
{
    ovk_app::ClassDefault<_noAttribute>::replace(attribute);
}
