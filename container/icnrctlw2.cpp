// The native container's columns: column descriptors become list-control columns, recorded in
// the column set, and the cells beyond the first take their texts from the records.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "detail/icnrdata.hpp"
#include "detail/icnrnhdr.hpp"

#include <iexcept.hpp>

#include "detail/icnritem.hpp"
#include "icnrctl.hpp"
#include "icnrfmt.hpp"
#include "icnrobj.hpp"

namespace {

// Refusals of the column set are located where its lookups are, in the native container's
// source.
constexpr const char* kFile = "icnrctlw";
constexpr const char* kWhere = "INativeContainerHandler::dispatchHandlerEvent(IEvent&)";
constexpr std::uint32_t kWidthQuery = 0x200;
constexpr int kDefaultWidth = 100;
// The list's first column shows the icon text; a descriptor of the record's icon only widens it.
constexpr std::uint32_t kIconTextOffset = offsetof(MINIRECORDCORE, pszIcon);
constexpr std::uint32_t kIconOffset = offsetof(MINIRECORDCORE, hptrIcon);

bool isCode(const void* value, std::uint32_t code)
{
    return reinterpret_cast<std::uintptr_t>(value) == code;
}

int formatOf(std::uint32_t flData)
{
    return (flData & CFA_CENTER) ? LVCFMT_CENTER : (flData & CFA_RIGHT) ? LVCFMT_RIGHT : LVCFMT_LEFT;
}

char* headingOf(const FIELDINFO& field)
{
    if ((field.flTitle & CFA_STRING) && field.pTitleData)
        return static_cast<char*>(field.pTitleData);
    return const_cast<char*>("");
}

int widthOf(const FIELDINFO& field)
{
    return field.cxWidth ? field.cxWidth : kDefaultWidth;
}

} // namespace

// The column set --------------------------------------------------------------------------------------

std::size_t IColumnSet::indexOf(const FIELDINFO* fieldInfo) const noexcept
{
    std::size_t index = 0;
    while (index < fEntries.size() && fEntries[index].fieldInfo != fieldInfo)
        ++index;
    return index;
}

const IColumnSet::Entry* IColumnSet::find(const FIELDINFO* fieldInfo) const noexcept
{
    const std::size_t index = indexOf(fieldInfo);
    return index < fEntries.size() ? &fEntries[index] : nullptr;
}

// The state check names the asking function as its location.
const IColumnSet::Entry& IColumnSet::entryOf(FIELDINFO* fieldInfo, const char* function) const
{
    const Entry* entry = find(fieldInfo);
    const bool found = entry != nullptr;
    if (!found)
        IThrow::state("found", IEXCEPTION_LOCATION(kFile, function));
    return *entry;
}

int IColumnSet::subItemIdFromFieldInfo(FIELDINFO* fieldInfo) const
{
    return entryOf(fieldInfo, "IColumnSet::subItemIdFromFieldInfo(LPFIELDINFO) const").subItem;
}

int IColumnSet::columnIdFromFieldInfo(FIELDINFO* fieldInfo) const
{
    return entryOf(fieldInfo, "IColumnSet::columnIdFromFieldInfo(LPFIELDINFO) const").column;
}

FIELDINFO* IColumnSet::fieldInfoOfSubItem(int subItem) const noexcept
{
    for (const Entry& entry : fEntries)
        if (entry.subItem == subItem)
            return entry.fieldInfo;
    return nullptr;
}

int IColumnSet::nextSubItem() const noexcept
{
    int next = 1;
    for (const Entry& entry : fEntries)
        next = std::max(next, entry.subItem + 1);
    return next;
}

IBase::Boolean IColumnSet::hasIconColumn() const noexcept
{
    return std::any_of(fEntries.begin(), fEntries.end(),
                       [](const Entry& entry) { return entry.fieldInfo->offStruct == kIconOffset; });
}

int IColumnSet::columnAfterLast() const noexcept
{
    int after = 1;
    for (const Entry& entry : fEntries)
        after = std::max(after, entry.column + 1);
    return after;
}

void IColumnSet::insert(std::size_t index, const Entry& entry)
{
    if (entry.column > 0)
        for (Entry& each : fEntries)
            if (each.column >= entry.column)
                ++each.column;
    fEntries.insert(fEntries.begin() + static_cast<std::ptrdiff_t>(std::min(index, fEntries.size())),
                    entry);
}

void IColumnSet::remove(const FIELDINFO* fieldInfo)
{
    const std::size_t index = indexOf(fieldInfo);
    if (index == fEntries.size())
        return;
    const int column = fEntries[index].column;
    fEntries.erase(fEntries.begin() + static_cast<std::ptrdiff_t>(index));
    if (column > 0)
        for (Entry& each : fEntries)
            if (each.column > column)
                --each.column;
}

// The list control -------------------------------------------------------------------------------------

HWND ICnrControlData::ensureList()
{
    if (HWND list = listControl())
        return list;
    // Made behind the current tree, which stays shown until the view word says otherwise.
    INativeCnrChild* const shown = fCurrent;
    createControl(listMode);
    const HWND list = listControl();
    if (!list)
        return nullptr;
    ShowWindow(list, SW_HIDE);
    fCurrent = shown;
    LVCOLUMNA first{};
    first.mask = LVCF_WIDTH | LVCF_TEXT;
    first.pszText = const_cast<char*>("");
    first.cx = 0;
    SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&first));
    copyTreeIntoList();
    return list;
}

// A list made while the tree holds records shows the top-level ones, in the tree's order.
void ICnrControlData::copyTreeIntoList()
{
    const HWND list = listControl();
    const HWND tree = treeControl();
    if (!list || !tree)
        return;
    int index = 0;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                               reinterpret_cast<LPARAM>(item)))) {
        TVITEMA source{};
        source.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_IMAGE;
        source.hItem = item;
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&source)))
            continue;
        LVITEMA copy{};
        copy.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        copy.iItem = index++;
        copy.pszText = LPSTR_TEXTCALLBACKA;
        copy.iImage = source.iImage;
        copy.lParam = source.lParam;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&copy));
    }
}

// The column messages -------------------------------------------------------------------------------

namespace {

class Columns {
public:
    Columns(ICnrControlData& data) : fData(data), fSet(data.columns()) {}

    LRESULT insert(FIELDINFO* field, const FIELDINFOINSERT* where);
    LRESULT remove(FIELDINFO** fields, LPARAM countAndFlags);
    LRESULT query(const FIELDINFO* reference, unsigned long command);
    LRESULT invalidate();
    LRESULT scrollSplit(unsigned long window, long amount);

private:
    void counted() { fData.info().cFields = static_cast<std::uint32_t>(fSet.size()); }
    LRESULT insertBuiltIn(FIELDINFO* field, HWND list, std::size_t index);
    bool treeIsCurrent() const { return fData.nativeMode() == ICnrControlData::treeMode; }

    ICnrControlData& fData;
    IColumnSet& fSet;
};

// One descriptor per message: the chain and the insertion count are not followed.
LRESULT Columns::insert(FIELDINFO* field, const FIELDINFOINSERT* where)
{
    if (!field || !where || fSet.find(field))
        return 0;
    const HWND list = fData.ensureList();
    if (!list)
        return 0;
    const void* order = where->pFieldInfoOrder;
    std::size_t index = fSet.size();
    if (isCode(order, CMA_FIRST))
        index = 0;
    else if (!isCode(order, CMA_END) && fSet.find(static_cast<const FIELDINFO*>(order)))
        index = fSet.indexOf(static_cast<const FIELDINFO*>(order)) + 1;
    if (field->offStruct < sizeof(MINIRECORDCORE))
        return insertBuiltIn(field, list, index);
    int position = fSet.columnAfterLast();
    if (isCode(order, CMA_FIRST)) {
        position = 1;
    } else if (!isCode(order, CMA_END)) {
        const IColumnSet::Entry* after = fSet.find(static_cast<const FIELDINFO*>(order));
        position = std::max(1, after ? after->column + 1 : position);
    }
    IColumnSet::Entry entry{field, fSet.nextSubItem(), -1};
    if (!(field->flData & CFA_BITMAPORICON)) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = formatOf(field->flData);
        column.cx = widthOf(*field);
        column.pszText = headingOf(*field);
        column.iSubItem = entry.subItem;
        const LRESULT at = SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position),
                                        reinterpret_cast<LPARAM>(&column));
        if (at < 0)
            return 0;
        entry.column = static_cast<int>(at);
    }
    fSet.insert(index, entry);
    counted();
    return 1;
}

// The icon text is the list's first column; the icon itself has none of its own.
LRESULT Columns::insertBuiltIn(FIELDINFO* field, HWND list, std::size_t index)
{
    IColumnSet::Entry entry{field, 0, -1};
    if (field->offStruct == kIconTextOffset) {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.pszText = headingOf(*field);
        column.cx = widthOf(*field);
        SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        entry.column = 0;
    } else if (field->offStruct == kIconOffset && !fSet.hasIconColumn()) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(kDefaultWidth, 0));
    }
    fSet.insert(index, entry);
    counted();
    return 1;
}

LRESULT Columns::remove(FIELDINFO** fields, LPARAM countAndFlags)
{
    const unsigned cNumFieldInfo = LOWORD(countAndFlags);
    if (!(cNumFieldInfo <= 1))
        IThrow::state("cNumFieldInfo <= 1", IEXCEPTION_LOCATION(kFile, kWhere));
    const HWND list = fData.listControl();
    if (cNumFieldInfo == 0) {
        if (list) {
            // The list's header exists only in its report style: the columns are counted by
            // asking for them.
            LVCOLUMNA probe{};
            probe.mask = LVCF_WIDTH;
            while (SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&probe)) &&
                   SendMessageA(list, LVM_DELETECOLUMN, 1, 0)) {
            }
            LVCOLUMNA first{};
            first.mask = LVCF_TEXT;
            first.pszText = const_cast<char*>("");
            SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&first));
        }
        fSet.clear();
        counted();
        return 1;
    }
    FIELDINFO* field = fields ? fields[0] : nullptr;
    const IColumnSet::Entry* entry = fSet.find(field);
    if (!entry)
        return 0;
    if (list) {
        // The list keeps its first column, which holds the items' own texts.
        if (entry->column > 0) {
            SendMessageA(list, LVM_DELETECOLUMN, static_cast<WPARAM>(entry->column), 0);
        } else if (entry->column == 0) {
            LVCOLUMNA first{};
            first.mask = LVCF_TEXT;
            first.pszText = const_cast<char*>("");
            SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&first));
        }
    }
    fSet.remove(field);
    counted();
    if (list) {
        const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        if (count > 0)
            SendMessageA(list, LVM_REDRAWITEMS, 0, count - 1);
    }
    return 1;
}

LRESULT Columns::query(const FIELDINFO* reference, unsigned long command)
{
    const auto& entries = fSet.entries();
    if (command == kWidthQuery) {
        const IColumnSet::Entry* entry = fSet.find(reference);
        const HWND list = fData.listControl();
        if (!entry || entry->column < 0 || !list)
            return 0;
        // Asked of the column itself: the list answers LVM_GETCOLUMNWIDTH only in its report
        // style, and a column's width must be known in every view.
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(entry->column),
                          reinterpret_cast<LPARAM>(&column)))
            return 0;
        return column.cx;
    }
    const std::size_t index = fSet.indexOf(reference);
    const FIELDINFO* found = nullptr;
    switch (command) {
    case CMA_FIRST: found = entries.empty() ? nullptr : entries.front().fieldInfo; break;
    case CMA_LAST: found = entries.empty() ? nullptr : entries.back().fieldInfo; break;
    case CMA_NEXT:
        found = index + 1 < entries.size() ? entries[index + 1].fieldInfo : nullptr;
        break;
    case CMA_PREV:
        found = index > 0 && index < entries.size() ? entries[index - 1].fieldInfo : nullptr;
        break;
    default: return -1;
    }
    return reinterpret_cast<LRESULT>(found);
}

LRESULT Columns::invalidate()
{
    const HWND list = fData.listControl();
    if (treeIsCurrent() || !list)
        return 1;
    const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count > 0)
        SendMessageA(list, LVM_REDRAWITEMS, 0, count - 1);
    InvalidateRect(list, nullptr, TRUE);
    return 1;
}

// The native details view has no split: its one window is the left one.
LRESULT Columns::scrollSplit(unsigned long window, long amount)
{
    if (!(fData.info().flWindowAttr & CV_DETAIL))
        return 0;
    if (window == CMA_LEFT)
        if (const HWND list = fData.listControl())
            SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(amount), 0);
    return 1;
}

} // namespace

IBase::Boolean INativeContainerHandler::columnMessage(ICnrControlData& data, IEvent& event)
{
    Columns columns(data);
    const IEventData first = event.parameter1();
    const IEventData second = event.parameter2();
    LRESULT result = 0;
    switch (event.eventId()) {
    case CM_INSERTDETAILFIELDINFO:
        result = columns.insert(static_cast<FIELDINFO*>(first.asPointer()),
                                static_cast<const FIELDINFOINSERT*>(second.asPointer()));
        break;
    case CM_REMOVEDETAILFIELDINFO:
        result = columns.remove(static_cast<FIELDINFO**>(first.asPointer()), second.asLong());
        break;
    case CM_QUERYDETAILFIELDINFO:
        result = columns.query(static_cast<const FIELDINFO*>(first.asPointer()),
                               second.asUnsignedLong());
        break;
    case CM_INVALIDATEDETAILFIELDINFO: result = columns.invalidate(); break;
    case CM_HORZSCROLLSPLITWINDOW:
        result = columns.scrollSplit(first.asUnsignedLong(), second.asLong());
        break;
    default:
        return false;
    }
    // A column's hidden state and icon heading are not carried by the list column itself.
    if (event.eventId() == CM_INSERTDETAILFIELDINFO || event.eventId() == CM_INVALIDATEDETAILFIELDINFO)
        data.applyColumnLooks();
    event.setResult(result);
    return true;
}

// Cell texts ------------------------------------------------------------------------------------------

// The first column shows the record's text; strings are shown where they are; numbers, dates and
// times are formatted into the list's own buffer, within its size.
IBase::Boolean INativeContainerHandler::cellText(ICnrControlData& data, IEvent& event)
{
    auto* info = static_cast<NMLVDISPINFOA*>(event.parameter2().asPointer());
    if (!info || info->hdr.code != LVN_GETDISPINFOA || info->hdr.hwndFrom != data.listControl())
        return false;
    LVITEMA& item = info->item;
    if (item.iSubItem < 0 || !(item.mask & LVIF_TEXT))
        return false;
    const FIELDINFO* field = item.iSubItem > 0 ? data.columns().fieldInfoOfSubItem(item.iSubItem) : nullptr;
    auto* object = reinterpret_cast<ICnrObj*>(item.lParam);
    if (!object) {
        LVITEMA lookup{};
        lookup.mask = LVIF_PARAM;
        lookup.iItem = item.iItem;
        SendMessageA(info->hdr.hwndFrom, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lookup));
        object = reinterpret_cast<ICnrObj*>(lookup.lParam);
    }
    if (object && item.iSubItem == 0) {
        // A copy taken under the lock over all objects, never the record's own pointer: a worker thread
        // may rename the object, and so free that text, while this thread's list reads it. The
        // copy goes into the list's buffer when it gave one, so the list keeps no copy of its own.
        const IString text = ICnrItemTable::textOf(*object);
        if (item.pszText && item.pszText != LPSTR_TEXTCALLBACKA && item.cchTextMax > 0) {
            const std::size_t room = static_cast<std::size_t>(item.cchTextMax) - 1;
            const std::size_t length = std::min(std::strlen(text), room);
            std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
        } else {
            data.shownText() = text;
            item.pszText = const_cast<char*>(data.shownText().data());
        }
        return true;
    }
    if (!field || !object)
        return false;
    const unsigned char* value =
        reinterpret_cast<const unsigned char*>(ICnrObj::recordOf(object)) + field->offStruct;
    if (field->flData & CFA_STRING) {
        char* text = nullptr;
        std::memcpy(&text, value, sizeof text);
        item.pszText = text ? text : const_cast<char*>("");
        return true;
    }
    if (!item.pszText || item.cchTextMax <= 0)
        return true;
    char formatted[kCnrFormatBufferSize] = {};
    if (field->flData & CFA_ULONG) {
        std::uint32_t number = 0;
        std::memcpy(&number, value, sizeof number);
        formatNumber(number, formatted);
    } else if (field->flData & CFA_DATE) {
        CNR_DATE date{};
        std::memcpy(&date, value, sizeof date);
        formatDate(date, formatted);
    } else if (field->flData & CFA_TIME) {
        CNR_TIME time{};
        std::memcpy(&time, value, 3);
        formatTime(time, formatted);
    } else {
        return true;
    }
    const std::size_t room = static_cast<std::size_t>(item.cchTextMax) - 1;
    const std::size_t length = std::min(std::strlen(formatted), room);
    std::memcpy(item.pszText, formatted, length);
    item.pszText[length] = '\0';
    return true;
}
