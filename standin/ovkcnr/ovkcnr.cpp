// The message-driven container class "OVK Container", as far as the library's container needs
// it: record and column-descriptor allocation from the class's own heap, container information,
// inserting and removing records, removing columns and filtering through a callback. Nothing is
// drawn. A record allocated through one window may be freed through any other, on any thread,
// because every window takes its memory from the one heap of the process that the class keeps.
#define OVKCNR_BUILD
#include "ovkcnr.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <icnrmsg.hpp>

namespace {

constexpr UINT kControlNotification = 0xFFD0;
constexpr UINT kFirstMessage = CM_ALLOCDETAILFIELDINFO;
constexpr UINT kLastMessage = CM_QUERYCNRCOLOR;

HINSTANCE gModule;
ATOM gClass;

// Process-wide state, shared by the windows of every thread.
SRWLOCK gLock = SRWLOCK_INIT;
std::vector<OvkCnrJournalEntry>* gJournal;
UINT gForcedMessage;
LRESULT gForcedResult;
long gLiveRecords;
long gLiveFieldInfos;
// How many windows hold each inserted record: a window that is destroyed frees the records that
// no other window holds, as the records of a container belong to it once inserted.
std::map<MINIRECORDCORE*, int>* gInserted;

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&gLock); }
    ~Locked() { ReleaseSRWLockExclusive(&gLock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

struct Container {
    CNRINFO info{};
    // Every record, children included; siblings keep their order among themselves.
    std::vector<MINIRECORDCORE*> records;
    std::map<MINIRECORDCORE*, MINIRECORDCORE*> parents;
    std::vector<FIELDINFO*> columns;
    COLORREF colors[2] = {0, 0xFFFFFF};
    // Where the last record looked for stood in the list: a hint, checked before it is used.
    mutable std::size_t lastPosition = 0;
    // The open in-place edit: its control and the editing record the owner is told about.
    HWND edit = nullptr;
    CNREDITDATA editData{};
    // How far the workspace is scrolled: down, and sideways in the left and right windows.
    long scrolledDown = 0;
    long scrolledLeft = 0;
    long scrolledRight = 0;
};

// The fixed geometry the class reports, as if it drew: every record one row of kRowHeight
// pixels in item order, its icon kIconWidth wide at the left and its text kTextWidth wide
// after it, a details-view row kDetailsWidth wide; the visible part of the window is
// kViewWidth by kViewHeight from its top left corner, split at xVertSplitbar when there is a
// split.
constexpr long kRowHeight = 20;
constexpr long kIconWidth = 20;
constexpr long kTextWidth = 100;
constexpr long kDetailsWidth = 400;
constexpr long kViewWidth = 200;
constexpr long kViewHeight = 100;
// The data width of a column without a width of its own.
constexpr LRESULT kDataWidth = 50;

Container* containerOf(HWND window)
{
    return reinterpret_cast<Container*>(GetWindowLongPtrA(window, 0));
}

// Allocation ------------------------------------------------------------------------------------

// The heap of every record and column descriptor, one for the whole process and kept until it
// ends (a record may outlive any window). A container's records are many small blocks, made at
// once and kept for as long as the container shows them: in a heap of their own they do not split
// the free space of the process heap, from which the list and tree controls grow their item tables
// while the records go in.
HANDLE blockHeap()
{
    static const HANDLE heap = [] {
        const HANDLE own = HeapCreate(0, 0, 0);
        return own ? own : GetProcessHeap();
    }();
    return heap;
}

// A chain of `count` zeroed blocks of `size` bytes, each with its own size in `cb` and linked
// through `next`; a block that cannot be had ends the chain early.
template <class Block>
Block* allocateChain(std::size_t count, std::size_t size, Block* Block::*next, long& live)
{
    Block* first = nullptr;
    Block** link = &first;
    for (std::size_t i = 0; i < count; ++i) {
        auto* block = static_cast<Block*>(HeapAlloc(blockHeap(), HEAP_ZERO_MEMORY, size));
        if (!block)
            break;
        block->cb = sizeof(Block);
        *link = block;
        link = &(block->*next);
        Locked lock;
        ++live;
    }
    return first;
}

// Frees every block of the array; false at the first null block or failed free.
template <class Block>
bool freeArray(WPARAM array, LPARAM count, long& live)
{
    auto** blocks = reinterpret_cast<Block**>(array);
    if (!blocks || count < 0)
        return false;
    for (LPARAM i = 0; i < count; ++i) {
        if (!blocks[i] || !HeapFree(blockHeap(), 0, blocks[i]))
            return false;
        Locked lock;
        --live;
    }
    return true;
}

LRESULT allocateRecords(WPARAM objectSize, LPARAM count)
{
    if (count <= 0)
        return 0;
    return reinterpret_cast<LRESULT>(allocateChain(static_cast<std::size_t>(count),
                                                   sizeof(MINIRECORDCORE) + objectSize,
                                                   &MINIRECORDCORE::preccNextRecord, gLiveRecords));
}

LRESULT freeRecords(WPARAM array, LPARAM count)
{
    return freeArray<MINIRECORDCORE>(array, count, gLiveRecords) ? 0 : -1;
}

LRESULT allocateFieldInfos(WPARAM count)
{
    return reinterpret_cast<LRESULT>(
        allocateChain(count, sizeof(FIELDINFO), &FIELDINFO::pNextFieldInfo, gLiveFieldInfos));
}

LRESULT freeFieldInfos(WPARAM array, LPARAM count)
{
    return freeArray<FIELDINFO>(array, count, gLiveFieldInfos) ? 1 : 0;
}

// Container information ------------------------------------------------------------------------

LRESULT setInfo(Container& container, const CNRINFO* from, std::uint32_t mask)
{
    if (!from)
        return 0;
    cnrCopyInfoFields(container.info, *from, mask);
    return 1;
}

LRESULT queryInfo(Container& container, CNRINFO* to, LPARAM size)
{
    if (!to || size <= 0)
        return 0;
    container.info.cRecords = static_cast<std::uint32_t>(container.records.size());
    container.info.cFields = static_cast<std::uint32_t>(container.columns.size());
    std::memcpy(to, &container.info, std::min<std::size_t>(sizeof(CNRINFO), size));
    return 1;
}

// Records and columns ---------------------------------------------------------------------------

// Values of 200 and less in a record parameter are positions (CMA_FIRST, CMA_END), not records.
bool isRecord(const void* value)
{
    return reinterpret_cast<std::uintptr_t>(value) > 200;
}

bool holds(const Container& container, const MINIRECORDCORE* record)
{
    return container.parents.count(const_cast<MINIRECORDCORE*>(record)) != 0;
}

MINIRECORDCORE* parentOf(const Container& container, MINIRECORDCORE* record)
{
    auto found = container.parents.find(record);
    return found == container.parents.end() ? nullptr : found->second;
}

// Takes `cRecordsInsert` records of the chain: first among the parent's children, last, or
// after a record (which must be a sibling under the same parent).
LRESULT insertRecords(Container& container, MINIRECORDCORE* first, const RECORDINSERT* insert)
{
    if (!first || !insert || insert->cRecordsInsert == 0)
        return 0;
    MINIRECORDCORE* parent = isRecord(insert->pRecordParent) ? insert->pRecordParent : nullptr;
    if (parent && !holds(container, parent))
        return 0;
    std::vector<MINIRECORDCORE*> chain;
    MINIRECORDCORE* record = first;
    for (unsigned i = 0; i < insert->cRecordsInsert && record; ++i) {
        if (holds(container, record))
            return 0;
        chain.push_back(record);
        record = record->preccNextRecord;
    }
    auto at = container.records.end();
    if (insert->pRecordOrder == reinterpret_cast<MINIRECORDCORE*>(CMA_FIRST)) {
        at = std::find_if(container.records.begin(), container.records.end(),
                          [&](MINIRECORDCORE* each) { return parentOf(container, each) == parent; });
    } else if (isRecord(insert->pRecordOrder)) {
        at = std::find(container.records.begin(), container.records.end(), insert->pRecordOrder);
        if (at == container.records.end())
            return 0;
        ++at;
    }
    container.records.insert(at, chain.begin(), chain.end());
    for (MINIRECORDCORE* inserted : chain)
        container.parents[inserted] = parent;
    Locked lock;
    for (MINIRECORDCORE* inserted : chain)
        ++(*gInserted)[inserted];
    return static_cast<LRESULT>(container.records.size());
}

void forgetRecord(MINIRECORDCORE* record, bool freeIt)
{
    bool last = false;
    {
        Locked lock;
        auto found = gInserted->find(record);
        if (found != gInserted->end() && --found->second == 0) {
            gInserted->erase(found);
            last = true;
        }
    }
    if (freeIt && last && HeapFree(blockHeap(), 0, record)) {
        Locked lock;
        --gLiveRecords;
    }
}

// A record leaves with every record under it, children before their parent. The children are
// looked up in `children` (each record's children in list order) and the list is left alone:
// the caller drops every record of `gone` from it in one pass, as searching and erasing the
// list record by record costs a long removal the square of its length.
void takeOut(const std::unordered_map<MINIRECORDCORE*, std::vector<MINIRECORDCORE*>>& children,
             MINIRECORDCORE* record, std::unordered_set<MINIRECORDCORE*>& leaving,
             std::vector<MINIRECORDCORE*>& gone)
{
    if (!leaving.insert(record).second)
        return;
    auto found = children.find(record);
    if (found != children.end())
        for (MINIRECORDCORE* child : found->second)
            takeOut(children, child, leaving, gone);
    gone.push_back(record);
}

// -1 for a record the container does not hold.
LRESULT removeRecords(Container& container, WPARAM array, LPARAM countAndFlags)
{
    const unsigned count = LOWORD(countAndFlags);
    const bool freeThem = (HIWORD(countAndFlags) & CMA_FREE) != 0;
    std::vector<MINIRECORDCORE*> gone;
    if (count == 0) {
        gone.swap(container.records);
        container.parents.clear();
    } else {
        auto** records = reinterpret_cast<MINIRECORDCORE**>(array);
        if (!records)
            return -1;
        for (unsigned i = 0; i < count; ++i)
            if (!holds(container, records[i]))
                return -1;
        std::unordered_map<MINIRECORDCORE*, std::vector<MINIRECORDCORE*>> children;
        for (MINIRECORDCORE* each : container.records)
            if (MINIRECORDCORE* parent = parentOf(container, each))
                children[parent].push_back(each);
        std::unordered_set<MINIRECORDCORE*> leaving;
        for (unsigned i = 0; i < count; ++i)
            takeOut(children, records[i], leaving, gone);
        auto& list = container.records;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](MINIRECORDCORE* each) { return leaving.count(each) != 0; }),
                   list.end());
        for (MINIRECORDCORE* record : gone)
            container.parents.erase(record);
    }
    for (MINIRECORDCORE* record : gone)
        forgetRecord(record, freeThem);
    return static_cast<LRESULT>(container.records.size());
}

// The siblings of a record in order (the top level for a null parent).
std::vector<MINIRECORDCORE*> childrenOf(const Container& container, MINIRECORDCORE* parent)
{
    std::vector<MINIRECORDCORE*> children;
    for (MINIRECORDCORE* each : container.records)
        if (parentOf(container, each) == parent)
            children.push_back(each);
    return children;
}

// Item order and z-order are the same here.
// Where a record stands in the list. A walk asks for the record after the one it asked for
// last, so the place found last is tried first, and the walk costs the same for every record.
std::size_t positionOf(const Container& container, const MINIRECORDCORE* record)
{
    const auto& records = container.records;
    for (std::size_t guess : {container.lastPosition, container.lastPosition + 1}) {
        if (guess < records.size() && records[guess] == record) {
            container.lastPosition = guess;
            return guess;
        }
    }
    const auto at = std::find(records.begin(), records.end(), record);
    container.lastPosition = static_cast<std::size_t>(at - records.begin());
    return container.lastPosition;
}

// The next or previous record with the same parent: siblings keep their order in the list,
// with the records under each between them.
MINIRECORDCORE* sibling(const Container& container, MINIRECORDCORE* record, bool next)
{
    const auto& records = container.records;
    const MINIRECORDCORE* parent = parentOf(container, record);
    const std::size_t at = positionOf(container, record);
    if (next) {
        for (std::size_t i = at + 1; i < records.size(); ++i)
            if (parentOf(container, records[i]) == parent)
                return records[i];
        return nullptr;
    }
    for (std::size_t i = at; i-- > 0;)
        if (parentOf(container, records[i]) == parent)
            return records[i];
    return nullptr;
}

LRESULT queryRecord(const Container& container, WPARAM reference, LPARAM commandAndOrder)
{
    auto* record = reinterpret_cast<MINIRECORDCORE*>(reference);
    const unsigned command = LOWORD(commandAndOrder);
    const bool relative = command == CMA_NEXT || command == CMA_PREV || command == CMA_PARENT ||
                          command == CMA_FIRSTCHILD || command == CMA_LASTCHILD;
    if (relative && !holds(container, record))
        return -1;
    std::vector<MINIRECORDCORE*> list;
    switch (command) {
    case CMA_FIRST:
    case CMA_LAST:
        list = childrenOf(container, nullptr);
        if (list.empty())
            return 0;
        return reinterpret_cast<LRESULT>(command == CMA_FIRST ? list.front() : list.back());
    case CMA_FIRSTCHILD:
    case CMA_LASTCHILD:
        list = childrenOf(container, record);
        if (list.empty())
            return 0;
        return reinterpret_cast<LRESULT>(command == CMA_FIRSTCHILD ? list.front() : list.back());
    case CMA_PARENT: return reinterpret_cast<LRESULT>(parentOf(container, record));
    case CMA_NEXT:
    case CMA_PREV: return reinterpret_cast<LRESULT>(sibling(container, record, command == CMA_NEXT));
    default: return -1;
    }
}

// The next record after the reference (or from the start) that has every bit.
LRESULT queryEmphasis(const Container& container, WPARAM reference, LPARAM bits)
{
    auto at = container.records.begin();
    if (reference != 0 && reference != CMA_FIRST) {
        at = std::find(container.records.begin(), container.records.end(),
                       reinterpret_cast<MINIRECORDCORE*>(reference));
        if (at == container.records.end())
            return -1;
        ++at;
    }
    const std::uint32_t wanted = static_cast<std::uint32_t>(bits);
    for (; at != container.records.end(); ++at)
        if (((*at)->flRecordAttr & wanted) == wanted)
            return reinterpret_cast<LRESULT>(*at);
    return 0;
}

// Without a record the emphasis is the container's own. One record at most is cursored.
LRESULT setEmphasis(Container& container, WPARAM reference, LPARAM onAndBits)
{
    auto* record = reinterpret_cast<MINIRECORDCORE*>(reference);
    const bool on = LOWORD(onAndBits) != 0;
    const std::uint32_t bits = HIWORD(onAndBits);
    if (!record)
        return 1;
    if (!holds(container, record))
        return 0;
    if (on && (bits & CRA_CURSORED))
        for (MINIRECORDCORE* each : container.records)
            each->flRecordAttr &= ~CRA_CURSORED;
    record->flRecordAttr = on ? (record->flRecordAttr | bits) : (record->flRecordAttr & ~bits);
    return 1;
}

bool matches(const char* text, const SEARCHSTRING& search)
{
    if (!text)
        text = "";
    const std::size_t length = std::strlen(search.pszSearch);
    if (!search.fsPrefix && std::strlen(text) != length)
        return false;
    return search.fsCaseSensitive ? std::strncmp(text, search.pszSearch, length) == 0
                                  : _strnicmp(text, search.pszSearch, length) == 0;
}

LRESULT searchString(const Container& container, const SEARCHSTRING* search, LPARAM after)
{
    if (!search || !search->pszSearch || !after)
        return 0;
    auto at = container.records.begin();
    if (after != CMA_FIRST) {
        at = std::find(container.records.begin(), container.records.end(),
                       reinterpret_cast<MINIRECORDCORE*>(after));
        if (at == container.records.end())
            return -1;
        ++at;
    }
    for (; at != container.records.end(); ++at)
        if (matches((*at)->pszIcon, *search))
            return reinterpret_cast<LRESULT>(*at);
    return 0;
}

// Columns: one descriptor per insertion, first, last or after another.
LRESULT insertColumn(Container& container, FIELDINFO* column, const FIELDINFOINSERT* insert)
{
    if (!column || !insert ||
        std::find(container.columns.begin(), container.columns.end(), column) != container.columns.end())
        return 0;
    auto at = container.columns.end();
    if (insert->pFieldInfoOrder == reinterpret_cast<FIELDINFO*>(CMA_FIRST)) {
        at = container.columns.begin();
    } else if (insert->pFieldInfoOrder != reinterpret_cast<FIELDINFO*>(CMA_END)) {
        at = std::find(container.columns.begin(), container.columns.end(), insert->pFieldInfoOrder);
        if (at == container.columns.end())
            return 0;
        ++at;
    }
    container.columns.insert(at, column);
    return static_cast<LRESULT>(container.columns.size());
}

LRESULT queryColumn(const Container& container, WPARAM reference, LPARAM command)
{
    const auto& columns = container.columns;
    auto* column = reinterpret_cast<FIELDINFO*>(reference);
    auto at = std::find(columns.begin(), columns.end(), column);
    switch (command) {
    case CMA_FIRST: return columns.empty() ? 0 : reinterpret_cast<LRESULT>(columns.front());
    case CMA_LAST: return columns.empty() ? 0 : reinterpret_cast<LRESULT>(columns.back());
    case CMA_NEXT:
        if (at == columns.end())
            return -1;
        return ++at == columns.end() ? 0 : reinterpret_cast<LRESULT>(*at);
    case CMA_PREV:
        if (at == columns.end())
            return -1;
        return at == columns.begin() ? 0 : reinterpret_cast<LRESULT>(*--at);
    case CMA_HORIZONTAL:
        if (at == columns.end())
            return -1;
        return column->cxWidth ? column->cxWidth : kDataWidth;
    default: return -1;
    }
}

// Geometry ------------------------------------------------------------------------------------------

bool isSplit(const Container& container)
{
    return (container.info.flWindowAttr & CV_DETAIL) && container.info.xVertSplitbar >= 0;
}

// The left edge of a window of the view and how far that window is scrolled sideways.
long windowLeft(const Container& container, bool right)
{
    return right && isSplit(container) ? container.info.xVertSplitbar : 0;
}

long scrolledSideways(const Container& container, bool right)
{
    return right && isSplit(container) ? container.scrolledRight : container.scrolledLeft;
}

// The rectangle records carry: top-down, yBottom below yTop.
CNR_RECTL rectangle(long left, long top, long right, long bottom)
{
    return CNR_RECTL{static_cast<std::int32_t>(left), static_cast<std::int32_t>(bottom),
                     static_cast<std::int32_t>(right), static_cast<std::int32_t>(top)};
}

LRESULT queryViewport(const Container& container, CNR_RECTL* area, LPARAM kindAndWindow)
{
    if (!area)
        return 0;
    const bool right = HIWORD(kindAndWindow) != 0;
    long left = windowLeft(container, right);
    long end = isSplit(container) && !right ? container.info.xVertSplitbar : kViewWidth;
    long top = 0;
    if (LOWORD(kindAndWindow) == CMA_WORKSPACE) {
        const long sideways = scrolledSideways(container, right);
        left += sideways;
        end += sideways;
        top += container.scrolledDown;
    }
    *area = rectangle(left, top, end, top + kViewHeight);
    return 1;
}

// In window coordinates: the row of the record, less what is scrolled out of view.
LRESULT queryRecordRect(const Container& container, CNR_RECTL* area, const QUERYRECORDRECT* query)
{
    if (!area || !query)
        return 0;
    auto at = std::find(container.records.begin(), container.records.end(), query->pRecord);
    if (at == container.records.end())
        return 0;
    const bool right = query->fRightSplitWindow != 0;
    const long top = static_cast<long>(at - container.records.begin()) * kRowHeight - container.scrolledDown;
    const long origin = windowLeft(container, right) - scrolledSideways(container, right);
    const bool icon = (query->fsExtent & CMA_ICON) != 0;
    const bool text = (query->fsExtent & CMA_TEXT) != 0;
    if (!icon && !text)
        return 0;
    long left = origin + (icon ? 0 : kIconWidth);
    long end = origin + (text ? kIconWidth + kTextWidth : kIconWidth);
    if (icon && text && (container.info.flWindowAttr & CV_DETAIL))
        end = origin + kDetailsWidth;
    *area = rectangle(left, top, end, top + kRowHeight);
    return 1;
}

// The record whose row holds the rectangle's top right corner.
LRESULT recordFromRect(const Container& container, const QUERYRECFROMRECT* query)
{
    if (!query)
        return 0;
    const long x = query->rect.xRight + container.scrolledLeft;
    const long y = query->rect.yTop + container.scrolledDown;
    const long width = (container.info.flWindowAttr & CV_DETAIL) ? kDetailsWidth : kIconWidth + kTextWidth;
    if (x < 0 || x >= width || y < 0)
        return 0;
    const std::size_t row = static_cast<std::size_t>(y / kRowHeight);
    return row < container.records.size() ? reinterpret_cast<LRESULT>(container.records[row]) : 0;
}

LRESULT scrollWindow(Container& container, WPARAM direction, LPARAM amount)
{
    if (direction == CMA_VERTICAL)
        container.scrolledDown += static_cast<long>(amount);
    else if (direction == CMA_HORIZONTAL)
        container.scrolledLeft += static_cast<long>(amount);
    else
        return 0;
    return 1;
}

LRESULT scrollSplitWindow(Container& container, WPARAM window, LPARAM amount)
{
    if (!isSplit(container))
        return 0;
    (window == CMA_RIGHT ? container.scrolledRight : container.scrolledLeft) += static_cast<long>(amount);
    return 1;
}

// A record's branch, or every branch for no record.
LRESULT expandTree(Container& container, WPARAM reference, bool expand)
{
    auto* record = reinterpret_cast<MINIRECORDCORE*>(reference);
    if (record && !holds(container, record))
        return 0;
    for (MINIRECORDCORE* each : container.records) {
        if (record && each != record)
            continue;
        each->flRecordAttr &= ~(CRA_EXPANDED | CRA_COLLAPSED);
        each->flRecordAttr |= expand ? CRA_EXPANDED : CRA_COLLAPSED;
    }
    return 1;
}

LRESULT removeColumns(Container& container, WPARAM array, LPARAM countAndFlags)
{
    const unsigned count = LOWORD(countAndFlags);
    if (count == 0) {
        container.columns.clear();
    } else {
        auto** columns = reinterpret_cast<FIELDINFO**>(array);
        if (!columns)
            return -1;
        for (unsigned i = 0; i < count; ++i) {
            auto found = std::find(container.columns.begin(), container.columns.end(), columns[i]);
            if (found == container.columns.end())
                return -1;
            container.columns.erase(found);
        }
    }
    return static_cast<LRESULT>(container.columns.size());
}

// Non-zero when every record of the array is in the container.
LRESULT holdsRecords(const Container& container, WPARAM array, LPARAM count)
{
    auto** records = reinterpret_cast<MINIRECORDCORE**>(array);
    if (!records || count <= 0)
        return 0;
    for (LPARAM i = 0; i < count; ++i)
        if (!holds(container, records[i]))
            return 0;
    return 1;
}

// Calls the filter for every record; the records it turns down are marked filtered. The list is
// copied first: the filter may delete the objects behind the records.
LRESULT filterRecords(Container& container, WPARAM function, LPARAM userData)
{
    auto filter = reinterpret_cast<PFNCNRFILTER>(function);
    const std::vector<MINIRECORDCORE*> records = container.records;
    for (MINIRECORDCORE* record : records) {
        const bool keep = !filter || filter(record, reinterpret_cast<void*>(userData));
        if (keep)
            record->flRecordAttr &= ~CRA_FILTERED;
        else
            record->flRecordAttr |= CRA_FILTERED;
    }
    return 1;
}

// Sorting, scrolling and editing -----------------------------------------------------------------

LRESULT notifyOwner(HWND window, unsigned code, const void* data)
{
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner)
        owner = GetParent(window);
    const WPARAM first = MAKEWPARAM(GetDlgCtrlID(window), code);
    return owner ? SendMessageA(owner, kControlNotification, first, reinterpret_cast<LPARAM>(data))
                 : 0;
}

// A stable sort: records that compare equal keep their order. Siblings keep their order among
// themselves in the one list, so sorting the list sorts every level.
LRESULT sortRecords(Container& container, WPARAM function, LPARAM userData)
{
    auto compare = reinterpret_cast<PFNCNRCOMPARE>(function);
    if (!compare)
        return 0;
    std::stable_sort(container.records.begin(), container.records.end(),
                     [&](MINIRECORDCORE* first, MINIRECORDCORE* second) {
                         return compare(reinterpret_cast<LPARAM>(first),
                                        reinterpret_cast<LPARAM>(second), userData) < 0;
                     });
    return 1;
}

// A scroll is told to the owner: the amount, and with a delta set, that the end of the records
// was reached in that direction.
void notifyScroll(HWND window, Container& container, WPARAM direction, LPARAM amount)
{
    NOTIFYSCROLL scroll{window, static_cast<std::int32_t>(amount),
                        static_cast<std::uint32_t>(direction)};
    notifyOwner(window, CN_SCROLL, &scroll);
    if (container.info.cDelta) {
        NOTIFYDELTA delta{window, amount > 0 ? 0x02u : 0x01u};
        notifyOwner(window, CN_QUERYDELTA, &delta);
    }
}

// Where the edited text's pointer lives: the title, a heading, a cell of the record or the
// record's own text.
char** textSlot(Container& container, const CNREDITDATA& edit)
{
    switch (edit.id) {
    case CNR_PART_TITLE: return &container.info.pszCnrTitle;
    case CNR_PART_LEFTHEADING:
    case CNR_PART_RIGHTHEADING:
        return edit.pFieldInfo ? reinterpret_cast<char**>(&edit.pFieldInfo->pTitleData) : nullptr;
    case CNR_PART_LEFTCELL:
    case CNR_PART_RIGHTCELL:
        if (!edit.pFieldInfo || !isRecord(edit.pRecord))
            return nullptr;
        return reinterpret_cast<char**>(reinterpret_cast<char*>(edit.pRecord) +
                                        edit.pFieldInfo->offStruct);
    default:
        return isRecord(edit.pRecord) ? &edit.pRecord->pszIcon : nullptr;
    }
}

std::uint16_t textSize(const char* text)
{
    const std::size_t length = text ? std::strlen(text) : 0;
    return static_cast<std::uint16_t>(length < 0xFFFE ? length + 1 : 0xFFFF);
}

// Enter ends the edit, keeping the new text; the close is posted, as the edit control must not
// be destroyed inside its own procedure.
LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM parameter1, LPARAM parameter2,
                               UINT_PTR, DWORD_PTR)
{
    if (message == WM_KEYDOWN && parameter1 == VK_RETURN) {
        PostMessageA(GetParent(edit), CM_CLOSEEDIT, 0, 0);
        return 0;
    }
    if (message == WM_CHAR && parameter1 == '\r')
        return 0;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, editProcedure, 0);
    return DefSubclassProc(edit, message, parameter1, parameter2);
}

LRESULT closeEdit(HWND window, Container& container)
{
    const HWND edit = container.edit;
    if (!edit)
        return 1;
    CNREDITDATA data = container.editData;
    char** slot = data.ppszText;
    const int length = GetWindowTextLengthA(edit);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    if (slot && std::strcmp(*slot ? *slot : "", text.data()) != 0) {
        // The owner makes room for the new text, its length and the terminating zero, and
        // answers non-zero when the text may be copied there.
        data.cbText = textSize(text.data());
        if (notifyOwner(window, CN_REALLOCPSZ, &data) && *slot)
            lstrcpynA(*slot, text.data(), data.cbText);
    }
    notifyOwner(window, CN_ENDEDIT, &data);
    container.edit = nullptr;
    DestroyWindow(edit);
    return 1;
}

// Refused for a read-only container or record, and for a part with no text to edit.
LRESULT openEdit(HWND window, Container& container, const CNREDITDATA* request)
{
    if (!request)
        return 0;
    closeEdit(window, container);
    if (GetWindowLongPtrA(window, GWL_STYLE) & CCS_READONLY)
        return 0;
    CNREDITDATA data = *request;
    data.cb = sizeof(CNREDITDATA);
    data.hwndCnr = window;
    const bool objectText = data.id != CNR_PART_TITLE && data.id != CNR_PART_LEFTHEADING &&
                            data.id != CNR_PART_RIGHTHEADING;
    if (objectText && (!isRecord(data.pRecord) || !holds(container, data.pRecord) ||
                       (data.pRecord->flRecordAttr & CRA_RECORDREADONLY)))
        return 0;
    data.ppszText = textSlot(container, data);
    if (!data.ppszText)
        return 0;
    data.cbText = textSize(*data.ppszText);
    RECT client{};
    GetClientRect(window, &client);
    const HWND edit = CreateWindowExA(0, "Edit", *data.ppszText ? *data.ppszText : "",
                                      WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0,
                                      client.right > 0 ? client.right : 100, 24, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(CNR_EDIT_CHILD_ID)),
                                      gModule, nullptr);
    if (!edit)
        return 0;
    SetWindowSubclass(edit, editProcedure, 0, 0);
    container.edit = edit;
    container.editData = data;
    notifyOwner(window, CN_BEGINEDIT, &container.editData);
    return 1;
}

// The window procedure ----------------------------------------------------------------------------

void journal(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    Locked lock;
    gJournal->push_back(OvkCnrJournalEntry{window, message, parameter1, parameter2});
}

bool takeForcedResult(UINT message, LRESULT* result)
{
    Locked lock;
    if (gForcedMessage != message)
        return false;
    gForcedMessage = 0;
    *result = gForcedResult;
    return true;
}

LRESULT containerMessage(HWND window, Container& container, UINT message, WPARAM parameter1,
                         LPARAM parameter2)
{
    switch (message) {
    case CM_ALLOCRECORD: return allocateRecords(parameter1, parameter2);
    case CM_FREERECORD: return freeRecords(parameter1, parameter2);
    case CM_ALLOCDETAILFIELDINFO: return allocateFieldInfos(parameter1);
    case CM_FREEDETAILFIELDINFO: return freeFieldInfos(parameter1, parameter2);
    case CM_QUERYCNRINFO:
        return queryInfo(container, reinterpret_cast<CNRINFO*>(parameter1), parameter2);
    case CM_SETCNRINFO:
        return setInfo(container, reinterpret_cast<const CNRINFO*>(parameter1),
                       static_cast<std::uint32_t>(parameter2));
    case CM_INSERTRECORD:
        return insertRecords(container, reinterpret_cast<MINIRECORDCORE*>(parameter1),
                             reinterpret_cast<const RECORDINSERT*>(parameter2));
    case CM_REMOVERECORD: return removeRecords(container, parameter1, parameter2);
    case CM_REMOVEDETAILFIELDINFO: return removeColumns(container, parameter1, parameter2);
    case CM_INSERTDETAILFIELDINFO:
        return insertColumn(container, reinterpret_cast<FIELDINFO*>(parameter1),
                            reinterpret_cast<const FIELDINFOINSERT*>(parameter2));
    case CM_QUERYDETAILFIELDINFO: return queryColumn(container, parameter1, parameter2);
    case CM_QUERYVIEWPORTRECT:
        return queryViewport(container, reinterpret_cast<CNR_RECTL*>(parameter1), parameter2);
    case CM_QUERYRECORDRECT:
        return queryRecordRect(container, reinterpret_cast<CNR_RECTL*>(parameter1),
                               reinterpret_cast<const QUERYRECORDRECT*>(parameter2));
    case CM_QUERYRECORDFROMRECT:
        return recordFromRect(container, reinterpret_cast<const QUERYRECFROMRECT*>(parameter2));
    case CM_SCROLLWINDOW: {
        const LRESULT scrolled = scrollWindow(container, parameter1, parameter2);
        if (scrolled)
            notifyScroll(window, container, parameter1, parameter2);
        return scrolled;
    }
    case CM_HORZSCROLLSPLITWINDOW: return scrollSplitWindow(container, parameter1, parameter2);
    case CM_EXPANDTREE: return expandTree(container, parameter1, true);
    case CM_COLLAPSETREE: return expandTree(container, parameter1, false);
    case CM_ERASERECORD: return holds(container, reinterpret_cast<MINIRECORDCORE*>(parameter1)) ? 1 : 0;
    case CM_FILTER: return filterRecords(container, parameter1, parameter2);
    case CM_SORTRECORD: return sortRecords(container, parameter1, parameter2);
    case CM_OPENEDIT:
        return openEdit(window, container, reinterpret_cast<const CNREDITDATA*>(parameter1));
    case CM_CLOSEEDIT: return closeEdit(window, container);
    case CM_QUERYRECORDINFO: return holdsRecords(container, parameter1, parameter2);
    case CM_QUERYRECORD: return queryRecord(container, parameter1, parameter2);
    case CM_QUERYRECORDEMPHASIS: return queryEmphasis(container, parameter1, parameter2);
    case CM_SETRECORDEMPHASIS: return setEmphasis(container, parameter1, parameter2);
    case CM_SEARCHSTRING:
        return searchString(container, reinterpret_cast<const SEARCHSTRING*>(parameter1), parameter2);
    case CM_INVALIDATERECORD:
    case CM_INVALIDATEDETAILFIELDINFO:
    case CM_ARRANGE:
        InvalidateRect(window, nullptr, TRUE);
        return 1;
    case CM_SETCNRCOLORS:
        if (parameter1 > 1)
            return 0;
        container.colors[parameter1] = static_cast<COLORREF>(parameter2 & 0xFFFFFF);
        return 1;
    case CM_QUERYCNRCOLOR:
        return parameter1 > 1 ? 0 : static_cast<LRESULT>(container.colors[parameter1]);
    default:
        return 0;
    }
}

void destroyContainer(HWND window)
{
    Container* container = containerOf(window);
    if (!container)
        return;
    SetWindowLongPtrA(window, 0, 0);
    for (MINIRECORDCORE* record : container->records)
        forgetRecord(record, true);
    delete container;
}

LRESULT CALLBACK containerProcedure(HWND window, UINT message, WPARAM parameter1,
                                    LPARAM parameter2)
{
    if (message == WM_NCCREATE) {
        auto* container = new (std::nothrow) Container;
        if (!container)
            return FALSE;
        container->info.cb = sizeof(CNRINFO);
        container->info.xVertSplitbar = -1;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(container));
    } else if (message == WM_NCDESTROY) {
        destroyContainer(window);
    } else if (message == WM_SETREDRAW) {
        // A control keeps its redraw to itself, as the system's list and tree controls do: the
        // default processing would clear WS_VISIBLE, and a container on hold would drop out of
        // every hit test. This one draws nothing, so there is nothing to hold.
        return 0;
    } else if (message >= kFirstMessage && message <= kLastMessage) {
        journal(window, message, parameter1, parameter2);
        LRESULT result = 0;
        if (takeForcedResult(message, &result))
            return result;
        Container* container = containerOf(window);
        return container ? containerMessage(window, *container, message, parameter1, parameter2)
                         : 0;
    }
    return DefWindowProcA(window, message, parameter1, parameter2);
}

} // namespace

extern "C" {

int OvkCnrRegisterClass(void)
{
    Locked lock;
    if (!gClass) {
        WNDCLASSA windowClass{};
        // Global, so that windows of the class can be created with any module's instance.
        windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
        windowClass.lpfnWndProc = containerProcedure;
        windowClass.cbWndExtra = sizeof(Container*);
        windowClass.hInstance = gModule;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = WC_CONTAINER;
        gClass = RegisterClassA(&windowClass);
    }
    return gClass != 0;
}

void OvkCnrTestJournalReset(void)
{
    Locked lock;
    gJournal->clear();
}

unsigned OvkCnrTestJournalCount(void)
{
    Locked lock;
    return static_cast<unsigned>(gJournal->size());
}

int OvkCnrTestJournalEntryAt(unsigned index, OvkCnrJournalEntry* entry)
{
    Locked lock;
    if (index >= gJournal->size() || !entry)
        return 0;
    *entry = (*gJournal)[index];
    return 1;
}

unsigned OvkCnrTestJournalCountOf(UINT message, HWND window)
{
    Locked lock;
    return static_cast<unsigned>(std::count_if(
        gJournal->begin(), gJournal->end(), [&](const OvkCnrJournalEntry& entry) {
            return entry.message == message && (!window || entry.window == window);
        }));
}

void OvkCnrTestForceNextResult(UINT message, LRESULT result)
{
    Locked lock;
    gForcedMessage = message;
    gForcedResult = result;
}

LRESULT OvkCnrTestNotifyOwner(HWND container, unsigned code, LPARAM data)
{
    HWND owner = GetWindow(container, GW_OWNER);
    if (!owner)
        owner = GetParent(container);
    const WPARAM first = MAKEWPARAM(GetDlgCtrlID(container), code);
    return owner ? SendMessageA(owner, kControlNotification, first, data) : 0;
}

long OvkCnrTestLiveRecords(void)
{
    Locked lock;
    return gLiveRecords;
}

long OvkCnrTestLiveFieldInfos(void)
{
    Locked lock;
    return gLiveFieldInfos;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = module;
        DisableThreadLibraryCalls(module);
        gJournal = new (std::nothrow) std::vector<OvkCnrJournalEntry>;
        gInserted = new (std::nothrow) std::map<MINIRECORDCORE*, int>;
        if (!gJournal || !gInserted)
            return FALSE;
        OvkCnrRegisterClass();
    }
    return TRUE;
}

} // extern "C"
