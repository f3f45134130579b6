// The item operations of the list box and of the combo box.
#include <windows.h>

#include <cstring>
#include <string>

#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/ilistimp.hpp"
#include "icombobs.hpp"
#include "ilistbas.hpp"
#include "inotifid.hpp"

namespace {

const char* const kFile = "ilistbx3";

} // namespace

namespace ovklist {

LRESULT send(const IWindow& box, UINT message, WPARAM wParam, LPARAM lParam)
{
    return box.handle().sendEvent(message, IEventParameter1(wParam), IEventParameter2(lParam)).asLong();
}

IExceptionLocation where(const char* file, const char* className, const char* function,
                         unsigned long line)
{
    IString signature(className);
    signature += "::";
    signature += function;
    return IExceptionLocation(IString(file), signature, line);
}

unsigned long count(const IWindow& box, const Kind& kind)
{
    const LRESULT items = send(box, kind.getCount);
    return items > 0 ? static_cast<unsigned long>(items) : 0;
}

IString itemText(const IWindow& box, const Kind& kind, unsigned long index)
{
    const LRESULT length = send(box, kind.getTextLength, indexParameter(index));
    if (length < 0) {
        IInvalidRequest failure(OVK_MSG_INDEX_OUT_OF_RANGE);
        failure.appendText(IString(index));
        IThrow::exception(failure, where(kFile, kind.baseClass, "itemText(unsigned long) const", 74));
    }
    // The control writes the text and its terminating zero.
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = send(box, kind.getText, indexParameter(index),
                                reinterpret_cast<LPARAM>(&buffer[0]));
    return IString(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void replaceText(const IWindow& box, const Kind& kind, unsigned long index, const char* text,
                 const char* function)
{
    const auto fail = [&](unsigned long line, LRESULT code) {
        IThrow::runtime("setItemText", where(kFile, kind.baseClass, function, line),
                        static_cast<IException::ErrorId>(code));
    };
    const WPARAM item = indexParameter(index);
    const LRESULT handle = send(box, kind.getItemData, item);
    if (handle == -1)
        fail(124, handle);
    const LRESULT deleted = send(box, kind.deleteString, item);
    if (deleted == -1)
        fail(130, deleted);
    const LRESULT inserted = send(box, kind.insertString, item, reinterpret_cast<LPARAM>(text));
    if (inserted == -1 || inserted == -2)
        fail(138, inserted);
    if (send(box, kind.setItemData, item, handle) == -1)
        fail(144, -1);
}

unsigned long locateText(const IWindow& box, const Kind& kind, const char* text,
                         bool caseSensitive, int search, unsigned long start)
{
    const UINT message =
        search == IBaseListBox::exactMatch ? kind.findStringExact : kind.findString;
    IString wanted(text);
    if (!caseSensitive)
        wanted.upperCase();
    long current = start == IBaseListBox::first ? -1 : static_cast<long>(start);
    for (;;) {
        if (search == IBaseListBox::substring) {
            current = current == static_cast<long>(count(box, kind)) - 1 ? -1 : current + 1;
        } else {
            const long previous = current;
            current = static_cast<long>(send(box, message, indexParameter(static_cast<unsigned long>(current)),
                                             reinterpret_cast<LPARAM>(static_cast<const char*>(wanted))));
            // The native search wraps round to the top once it has seen every item.
            if (previous != -1 && current <= previous)
                current = -1;
        }
        if (current < 0)
            return IBaseListBox::notFound;
        if (search != IBaseListBox::substring && !caseSensitive)
            return static_cast<unsigned long>(current);
        IString item = itemText(box, kind, static_cast<unsigned long>(current));
        if (!caseSensitive)
            item.upperCase();
        if (item.indexOf(wanted) != 0)
            return static_cast<unsigned long>(current);
    }
}

void setItemHandle(const IWindow& box, const Kind& kind, unsigned long index, unsigned long handle)
{
    // Zero-extended: a handle of 0xFFFFFFFF is an ordinary value, not -1.
    if (send(box, kind.setItemData, indexParameter(index), static_cast<LPARAM>(handle)) == -1)
        IThrow::systemError("LM_SETITEMHANDLE", GetLastError(),
                            where(kFile, kind.baseClass, "setItemHandle(unsigned long,unsigned long)",
                                  482));
}

unsigned long itemHandle(const IWindow& box, const Kind& kind, unsigned long index)
{
    return static_cast<unsigned long>(send(box, kind.getItemData, indexParameter(index)));
}

void tellParentOfSelection(const IWindow& box)
{
    const HWND self = box.handle();
    if (const HWND parent = GetParent(self))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(box.id() & 0xFFFF, 0xFFC8),
                     reinterpret_cast<LPARAM>(self));
}

} // namespace ovklist

using ovklist::indexParameter;
using ovklist::send;

// The list box.

unsigned long IBaseListBox::count() const
{
    return ovklist::count(*this, ovklist::listBox);
}

IBase::Boolean IBaseListBox::isEmpty() const
{
    return count() == 0;
}

IString IBaseListBox::itemText(unsigned long index) const
{
    return ovklist::itemText(*this, ovklist::listBox, index);
}

IBaseListBox& IBaseListBox::setItemText(unsigned long index, const char* text)
{
    const bool selected = isSelected(index);
    ovklist::replaceText(*this, ovklist::listBox, index, text,
                         "setItemText(unsigned long,const char*)");
    if (selected)
        select(index, true);
    return *this;
}

IBaseListBox& IBaseListBox::setItemText(unsigned long index, const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setItemText(index, static_cast<const char*>(loaded));
}

IString IBaseListBox::elementAt(const Cursor& cursor) const
{
    if (!cursor.isValid())
        IThrow::state("cursor.isValid()",
                      IExceptionLocation(kFile, "IBaseListBox::elementAt(const Cursor&) const", 981));
    return itemText(cursor.index());
}

IBaseListBox& IBaseListBox::select(unsigned long index, IBase::Boolean on)
{
    const char* const function = "IBaseListBox::select(unsigned long,IBase::Boolean)";
    LRESULT result;
    if (isMultipleSelect() || isExtendedSelect()) {
        result = send(*this, LB_SETSEL, on ? 1 : 0, static_cast<LPARAM>(indexParameter(index)));
    } else {
        result = send(*this, LB_SETCURSEL, on ? indexParameter(index) : static_cast<WPARAM>(-1));
        // Clearing the selection answers LB_ERR although it succeeded.
        if (!on)
            result = (index < count() || index == notFound) ? 0 : -1;
    }
    if (result == -1)
        IThrow::systemError("LM_SELECTITEM", GetLastError(), IExceptionLocation(kFile, function, 216));
    if (on && static_cast<long>(index) < static_cast<long>(send(*this, LB_GETTOPINDEX)) &&
        send(*this, LB_SETTOPINDEX, indexParameter(index)) == -1)
        IThrow::systemError("LM_SETTOPINDEX", GetLastError(), IExceptionLocation(kFile, function, 233));
    ovklist::tellParentOfSelection(*this);
    return *this;
}

IBaseListBox& IBaseListBox::deselect(unsigned long index)
{
    return select(index, false);
}

IBaseListBox& IBaseListBox::selectAll()
{
    const unsigned long items = count();
    if (items == 0)
        IThrow::message(OVK_MSG_LIST_EMPTY, IExceptionLocation("ilistbas", "IBaseListBox::selectAll()", 731));
    if (!isMultipleSelect() && !isExtendedSelect())
        IThrow::message(OVK_MSG_NOT_MULTIPLE_SELECTION,
                        IExceptionLocation("ilistbas", "IBaseListBox::selectAll()", 748));
    for (unsigned long index = 0; index < items; ++index)
        select(index, true);
    return *this;
}

IBaseListBox& IBaseListBox::deselectAll()
{
    return select(notFound, false);
}

IBase::Boolean IBaseListBox::isSelected(unsigned long index) const
{
    const LRESULT state = send(*this, LB_GETSEL, indexParameter(index));
    return state != -1 && state != 0;
}

unsigned long IBaseListBox::numberOfSelections() const
{
    const unsigned long extended = _extendedSelect.asUnsignedLong();
    if (isMultipleSelect() || (style() & extended) == extended) {
        const LRESULT selected = send(*this, LB_GETSELCOUNT);
        return selected > 0 ? static_cast<unsigned long>(selected) : 0;
    }
    return send(*this, LB_GETCURSEL) != -1 ? 1 : 0;
}

unsigned long IBaseListBox::selection() const
{
    if (isMultipleSelect() || isExtendedSelect()) {
        int index = -1;
        const LRESULT found = send(*this, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&index));
        return found == 1 ? static_cast<unsigned long>(index) : notFound;
    }
    return static_cast<unsigned long>(send(*this, LB_GETCURSEL));
}

std::vector<unsigned long> IBaseListBox::selectedIndices(unsigned long wanted) const
{
    std::vector<unsigned long> indices;
    if (isMultipleSelect() || isExtendedSelect()) {
        std::vector<int> native(wanted);
        const LRESULT found = send(*this, LB_GETSELITEMS, wanted, reinterpret_cast<LPARAM>(native.data()));
        for (LRESULT i = 0; i < found && i < static_cast<LRESULT>(wanted); ++i)
            indices.push_back(static_cast<unsigned long>(native[static_cast<std::size_t>(i)]));
    } else {
        const LRESULT current = send(*this, LB_GETCURSEL);
        if (current != -1)
            indices.push_back(static_cast<unsigned long>(current));
    }
    return indices;
}

IBaseListBox& IBaseListBox::setTop(unsigned long index)
{
    send(*this, LB_SETTOPINDEX, indexParameter(index));
    return *this;
}

unsigned long IBaseListBox::top() const
{
    const LRESULT index = send(*this, LB_GETTOPINDEX);
    if (index == -1)
        IThrow::systemError("LM_QUERYTOPINDEX", GetLastError(),
                            IExceptionLocation(kFile, "IBaseListBox::top() const", 466));
    return static_cast<unsigned long>(index);
}

IBaseListBox& IBaseListBox::setItemHandle(unsigned long index, unsigned long handle)
{
    ovklist::setItemHandle(*this, ovklist::listBox, index, handle);
    return *this;
}

unsigned long IBaseListBox::itemHandle(unsigned long index) const
{
    return ovklist::itemHandle(*this, ovklist::listBox, index);
}

unsigned long IBaseListBox::locateText(const char* text, IBase::Boolean caseSensitive,
                                       SearchType search, unsigned long start) const
{
    return ovklist::locateText(*this, ovklist::listBox, text, caseSensitive != 0, search, start);
}

// The combo box.

unsigned long IBaseComboBox::count() const
{
    return ovklist::count(*this, ovklist::comboBox);
}

IBase::Boolean IBaseComboBox::isEmpty() const
{
    return count() == 0;
}

IString IBaseComboBox::itemText(unsigned long index) const
{
    return ovklist::itemText(*this, ovklist::comboBox, index);
}

IBaseComboBox& IBaseComboBox::setItemText(unsigned long index, const char* text, IBase::Boolean)
{
    const bool selected = isSelected(index);
    ovklist::replaceText(*this, ovklist::comboBox, index, text,
                         "setItemText(unsigned long,const char*,IBase::Boolean)");
    if (selected)
        select(index, true);
    return *this;
}

IBaseComboBox& IBaseComboBox::setItemText(unsigned long index, const IResourceId& text)
{
    const IString loaded = text.resourceLibrary().loadString(text.id());
    return setItemText(index, static_cast<const char*>(loaded), true);
}

IString IBaseComboBox::elementAt(const Cursor& cursor) const
{
    if (!cursor.isValid())
        IThrow::state("cursor.isValid()",
                      IExceptionLocation(kFile, "IBaseComboBox::elementAt(const Cursor&) const", 981));
    return itemText(cursor.index());
}

IBaseComboBox& IBaseComboBox::select(unsigned long index, IBase::Boolean on)
{
    const LRESULT result =
        send(*this, CB_SETCURSEL, on ? indexParameter(index) : static_cast<WPARAM>(-1));
    // Clearing the selection answers CB_ERR although it succeeded.
    if (on && result == -1)
        IThrow::systemError("LM_SELECTITEM", GetLastError(),
                            IExceptionLocation(kFile, "IBaseComboBox::select(unsigned long,IBase::Boolean)", 216));
    ovklist::tellParentOfSelection(*this);
    return *this;
}

IBaseComboBox& IBaseComboBox::deselect(unsigned long index)
{
    return select(index, false);
}

IBaseComboBox& IBaseComboBox::deselectAll()
{
    return select(notFound, false);
}

IBase::Boolean IBaseComboBox::isSelected(unsigned long index) const
{
    return send(*this, CB_GETCURSEL) == static_cast<LRESULT>(static_cast<long>(index));
}

unsigned long IBaseComboBox::numberOfSelections() const
{
    return send(*this, CB_GETCURSEL) != -1 ? 1 : 0;
}

unsigned long IBaseComboBox::selection() const
{
    return static_cast<unsigned long>(send(*this, CB_GETCURSEL));
}

std::vector<unsigned long> IBaseComboBox::selectedIndices(unsigned long) const
{
    std::vector<unsigned long> indices;
    const LRESULT current = send(*this, CB_GETCURSEL);
    if (current != -1)
        indices.push_back(static_cast<unsigned long>(current));
    return indices;
}

IBaseComboBox& IBaseComboBox::setTop(unsigned long index)
{
    if (IPlatform::hasNewShell() && send(*this, CB_SETTOPINDEX, indexParameter(index)) == -1)
        IThrow::runtime("setTop", IExceptionLocation(kFile, "IBaseComboBox::setTop(unsigned long)", 433),
                        static_cast<IException::ErrorId>(-1));
    return *this;
}

unsigned long IBaseComboBox::top() const
{
    if (!IPlatform::hasNewShell())
        return 0;
    const LRESULT index = send(*this, CB_GETTOPINDEX);
    if (index == -1)
        IThrow::systemError("LM_QUERYTOPINDEX", GetLastError(),
                            IExceptionLocation(kFile, "IBaseComboBox::top() const", 466));
    return static_cast<unsigned long>(index);
}

IBaseComboBox& IBaseComboBox::setItemHandle(unsigned long index, unsigned long handle)
{
    ovklist::setItemHandle(*this, ovklist::comboBox, index, handle);
    return *this;
}

unsigned long IBaseComboBox::itemHandle(unsigned long index) const
{
    return ovklist::itemHandle(*this, ovklist::comboBox, index);
}

unsigned long IBaseComboBox::locateText(const char* text, IBase::Boolean caseSensitive,
                                        SearchType search, unsigned long start) const
{
    return ovklist::locateText(*this, ovklist::comboBox, text, caseSensitive != 0, search, start);
}
