// The operations that change the items of the list box and of the combo box, each told to the
// observers.
#include <windows.h>

#include <cstring>

#include <itrace.hpp>

#include "detail/ilistimp.hpp"
#include "icombobx.hpp"
#include "ilistbox.hpp"

namespace {

const char* const kFile = "ilistbx4";

} // namespace

namespace ovklist {

unsigned long insert(IWindow& box, const Kind& kind, unsigned long index, const char* text)
{
    // Signed: 0xFFFFFFFF stays -1, which appends; an index past the items appends too.
    const long items = static_cast<long>(count(box, kind));
    const long position = static_cast<long>(index) < items ? static_cast<long>(index) : items;
    const LRESULT added = send(box, kind.insertString, static_cast<WPARAM>(static_cast<LONG_PTR>(position)),
                               reinterpret_cast<LPARAM>(text));
    if (added == -1 || added == -2)
        IThrow::systemError("LM_INSERTITEM", GetLastError(),
                            where(kFile, kind.setClass, "add(unsigned long,const char*)", 57));
    box.notifyObservers(*kind.addId);
    return static_cast<unsigned long>(added);
}

unsigned long sortedIndex(const IWindow& box, const Kind& kind, const char* text, bool descending)
{
    const auto* wanted = reinterpret_cast<const unsigned char*>(text ? text : "");
    long low = 0;
    long high = static_cast<long>(count(box, kind)) - 1;
    while (low <= high) {
        const long middle = low + (high - low) / 2;
        const IString item = itemText(box, kind, static_cast<unsigned long>(middle));
        // Byte by byte as unsigned characters, as strcmp compares.
        const int order = std::strcmp(static_cast<const char*>(item), reinterpret_cast<const char*>(wanted));
        if (descending ? order >= 0 : order <= 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return static_cast<unsigned long>(low);
}

// Deleting an item that does not exist would otherwise count a change and tell the observers
// of a removal that never happened.
void checkItemExists(const IWindow& box, const Kind& kind, unsigned long index)
{
    if (index >= count(box, kind))
        IThrow::systemError("LM_DELETEITEM", ERROR_INVALID_INDEX,
                            where(kFile, kind.setClass, "remove(unsigned long)", 228));
}

} // namespace ovklist

namespace {

using ovklist::Kind;

// The operations written once for IListBox and IComboBox, which share their names.
template <class Box>
struct SetOperations {
    using Cursor = typename Box::Cursor;

    static void checkCursor(const Cursor& cursor, const Kind& kind, const char* function,
                            unsigned long line)
    {
        if (!cursor.isValid())
            IThrow::state("cursor.isValid()", ovklist::where(kFile, kind.setClass, function, line));
    }

    static unsigned long add(Box& box, const Kind& kind, unsigned long index, const char* text)
    {
        box.countChange();
        return ovklist::insert(box, kind, index, text);
    }

    static unsigned long addList(Box& box, const Kind& kind, unsigned long index,
                                 const char* const* itemList, unsigned long count)
    {
        if (!(count != 0 && itemList != 0))
            IThrow::argument("count != 0 && itemList != 0",
                             ovklist::where(kFile, kind.setClass,
                                            "add(unsigned long,const char*const*,unsigned long)", 81));
        const unsigned long firstAdded = box.add(index, itemList[0]);
        for (unsigned long k = 1; k < count; ++k)
            box.add(index == Box::notFound ? index : index + k, itemList[k]);
        return firstAdded;
    }

    static unsigned long addAt(Box& box, const Kind& kind, const char* text, Cursor& cursor)
    {
        checkCursor(cursor, kind, "add(const char*,Cursor&)", 329);
        const unsigned long added = box.add(cursor.index(), text);
        cursor.setToIndex(added);
        return added;
    }

    static unsigned long addAsNext(Box& box, const Kind& kind, const char* text, Cursor& cursor)
    {
        checkCursor(cursor, kind, "addAsNext(const char*,Cursor&)", 411);
        const unsigned long index = cursor.index();
        const unsigned long added =
            box.add(index + 1 >= box.count() ? Box::notFound : index + 1, text);
        cursor.setToIndex(added);
        return added;
    }

    static unsigned long addSorted(Box& box, const Kind& kind, const char* text, bool descending)
    {
        const unsigned long index = ovklist::sortedIndex(box, kind, text, descending);
        if (!descending && ITrace::isTraceEnabled()) {
            IString line("addAscending index=");
            line += IString(index);
            ITrace::write(line);
        }
        return box.add(index, text);
    }

    static unsigned long remove(Box& box, const Kind& kind, unsigned long index)
    {
        ovklist::checkItemExists(box, kind, index);
        box.countChange();
        const bool selected = box.isSelected(index);
        const LRESULT left = ovklist::send(box, kind.deleteString, ovklist::indexParameter(index));
        if (selected)
            box.notifyObservers(*kind.selectId);
        box.notifyObservers(*kind.removeId);
        return static_cast<unsigned long>(left);
    }

    static void removeAt(Box& box, const Kind& kind, Cursor& cursor)
    {
        checkCursor(cursor, kind, "removeAt(Cursor&)", 268);
        const unsigned long index = cursor.index();
        cursor.setToNext();
        if (cursor.isValid()) {
            const unsigned long next = cursor.index();
            box.remove(index);
            cursor.setToIndex(next - 1);
        } else {
            box.remove(index);
        }
    }

    static void replaceAt(Box& box, const Kind& kind, const char* text, const Cursor& cursor)
    {
        checkCursor(cursor, kind, "replaceAt(const char*,const Cursor&)", 302);
        box.setItemText(cursor.index(), text);
    }

    static void removeAll(Box& box, const Kind& kind)
    {
        const bool selected = box.numberOfSelections() != 0;
        ovklist::send(box, kind.resetContent);
        box.countChange();
        if (selected)
            box.notifyObservers(*kind.selectId);
        box.notifyObservers(*kind.removeId);
    }
};

IString loaded(const IResourceId& text)
{
    return text.resourceLibrary().loadString(text.id());
}

} // namespace

// The list box.

namespace {
using ListOps = SetOperations<IListBox>;
const Kind& listKind()
{
    static const Kind kind = [] {
        Kind k = ovklist::listBox;
        k.addId = &IListBox::addId;
        k.removeId = &IListBox::removeId;
        return k;
    }();
    return kind;
}
} // namespace

unsigned long IListBox::add(unsigned long index, const char* text) { return ListOps::add(*this, listKind(), index, text); }
unsigned long IListBox::add(unsigned long index, const char* const* texts, unsigned long count) { return ListOps::addList(*this, listKind(), index, texts, count); }
unsigned long IListBox::add(unsigned long index, const IResourceId& text) { return add(index, static_cast<const char*>(loaded(text))); }
unsigned long IListBox::add(const char* text, Cursor& cursor) { return ListOps::addAt(*this, listKind(), text, cursor); }
unsigned long IListBox::add(const IResourceId& text, Cursor& cursor) { return add(static_cast<const char*>(loaded(text)), cursor); }
unsigned long IListBox::addAsFirst(const char* text) { return add(0, text); }
unsigned long IListBox::addAsFirst(const IResourceId& text) { return addAsFirst(static_cast<const char*>(loaded(text))); }
unsigned long IListBox::addAsLast(const char* text) { return add(notFound, text); }
unsigned long IListBox::addAsLast(const IResourceId& text) { return addAsLast(static_cast<const char*>(loaded(text))); }
unsigned long IListBox::addAscending(const char* text) { return ListOps::addSorted(*this, listKind(), text, false); }
unsigned long IListBox::addAscending(const IResourceId& text) { return addAscending(static_cast<const char*>(loaded(text))); }
unsigned long IListBox::addDescending(const char* text) { return ListOps::addSorted(*this, listKind(), text, true); }
unsigned long IListBox::addDescending(const IResourceId& text) { return addDescending(static_cast<const char*>(loaded(text))); }
unsigned long IListBox::addAsNext(const char* text, Cursor& cursor) { return ListOps::addAsNext(*this, listKind(), text, cursor); }
unsigned long IListBox::addAsNext(const IResourceId& text, Cursor& cursor) { return addAsNext(static_cast<const char*>(loaded(text)), cursor); }
unsigned long IListBox::remove(unsigned long index) { return ListOps::remove(*this, listKind(), index); }

unsigned long IListBox::addAsFirst(const char* text, Cursor& cursor)
{
    const unsigned long added = addAsFirst(text);
    cursor.setToIndex(added);
    return added;
}

unsigned long IListBox::addAsFirst(const IResourceId& text, Cursor& cursor)
{
    return addAsFirst(static_cast<const char*>(loaded(text)), cursor);
}

unsigned long IListBox::addAsLast(const char* text, Cursor& cursor)
{
    const unsigned long added = addAsLast(text);
    cursor.setToIndex(added);
    return added;
}

unsigned long IListBox::addAsLast(const IResourceId& text, Cursor& cursor)
{
    return addAsLast(static_cast<const char*>(loaded(text)), cursor);
}

IListBox& IListBox::removeAt(Cursor& cursor)
{
    ListOps::removeAt(*this, listKind(), cursor);
    return *this;
}

IListBox& IListBox::removeAll()
{
    ListOps::removeAll(*this, listKind());
    return *this;
}

IListBox& IListBox::replaceAt(const char* text, const Cursor& cursor)
{
    ListOps::replaceAt(*this, listKind(), text, cursor);
    return *this;
}

IListBox& IListBox::replaceAt(const IResourceId& text, const Cursor& cursor)
{
    return replaceAt(static_cast<const char*>(loaded(text)), cursor);
}

// The combo box.

namespace {
using ComboOps = SetOperations<IComboBox>;
const Kind& comboKind()
{
    static const Kind kind = [] {
        Kind k = ovklist::comboBox;
        k.addId = &IComboBox::addId;
        k.removeId = &IComboBox::removeId;
        return k;
    }();
    return kind;
}
} // namespace

unsigned long IComboBox::add(unsigned long index, const char* text) { return ComboOps::add(*this, comboKind(), index, text); }
unsigned long IComboBox::add(unsigned long index, const char* const* texts, unsigned long count) { return ComboOps::addList(*this, comboKind(), index, texts, count); }
unsigned long IComboBox::add(unsigned long index, const IResourceId& text) { return add(index, static_cast<const char*>(loaded(text))); }
unsigned long IComboBox::add(const char* text, Cursor& cursor) { return ComboOps::addAt(*this, comboKind(), text, cursor); }
unsigned long IComboBox::add(const IResourceId& text, Cursor& cursor) { return add(static_cast<const char*>(loaded(text)), cursor); }
unsigned long IComboBox::addAsFirst(const char* text) { return add(0, text); }
unsigned long IComboBox::addAsFirst(const IResourceId& text) { return addAsFirst(static_cast<const char*>(loaded(text))); }
unsigned long IComboBox::addAsLast(const char* text) { return add(notFound, text); }
unsigned long IComboBox::addAsLast(const IResourceId& text) { return addAsLast(static_cast<const char*>(loaded(text))); }
unsigned long IComboBox::addAscending(const char* text) { return ComboOps::addSorted(*this, comboKind(), text, false); }
unsigned long IComboBox::addAscending(const IResourceId& text) { return addAscending(static_cast<const char*>(loaded(text))); }
unsigned long IComboBox::addDescending(const char* text) { return ComboOps::addSorted(*this, comboKind(), text, true); }
unsigned long IComboBox::addDescending(const IResourceId& text) { return addDescending(static_cast<const char*>(loaded(text))); }
unsigned long IComboBox::addAsNext(const char* text, Cursor& cursor) { return ComboOps::addAsNext(*this, comboKind(), text, cursor); }
unsigned long IComboBox::addAsNext(const IResourceId& text, Cursor& cursor) { return addAsNext(static_cast<const char*>(loaded(text)), cursor); }
unsigned long IComboBox::remove(unsigned long index) { return ComboOps::remove(*this, comboKind(), index); }

unsigned long IComboBox::addAsFirst(const char* text, Cursor& cursor)
{
    const unsigned long added = addAsFirst(text);
    cursor.setToIndex(added);
    return added;
}

unsigned long IComboBox::addAsFirst(const IResourceId& text, Cursor& cursor)
{
    return addAsFirst(static_cast<const char*>(loaded(text)), cursor);
}

unsigned long IComboBox::addAsLast(const char* text, Cursor& cursor)
{
    const unsigned long added = addAsLast(text);
    cursor.setToIndex(added);
    return added;
}

unsigned long IComboBox::addAsLast(const IResourceId& text, Cursor& cursor)
{
    return addAsLast(static_cast<const char*>(loaded(text)), cursor);
}

IComboBox& IComboBox::removeAt(Cursor& cursor)
{
    ComboOps::removeAt(*this, comboKind(), cursor);
    return *this;
}

IEntryField& IComboBox::removeAll()
{
    ComboOps::removeAll(*this, comboKind());
    return *this;
}

IComboBox& IComboBox::replaceAt(const char* text, const Cursor& cursor)
{
    ComboOps::replaceAt(*this, comboKind(), text, cursor);
    return *this;
}

IComboBox& IComboBox::replaceAt(const IResourceId& text, const Cursor& cursor)
{
    return replaceAt(static_cast<const char*>(loaded(text)), cursor);
}
