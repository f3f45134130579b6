// The message-driven container class "OVK Container", as far as the library's container needs
// it: record and column-descriptor allocation from the process heap, container information,
// inserting and removing records, removing columns and filtering through a callback. Nothing is
// drawn. A record allocated through one window may be freed through any other, on any thread,
// because every window takes its memory from the one process heap.
#define OVKCNR_BUILD
#include "ovkcnr.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <map>
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
    std::vector<MINIRECORDCORE*> records;
    std::vector<FIELDINFO*> columns;
    COLORREF colors[2] = {0, 0xFFFFFF};
};

Container* containerOf(HWND window)
{
    return reinterpret_cast<Container*>(GetWindowLongPtrA(window, 0));
}

// Allocation ------------------------------------------------------------------------------------

// A chain of `count` zeroed blocks of `size` bytes, each with its own size in `cb` and linked
// through `next`; a block that cannot be had ends the chain early.
template <class Block>
Block* allocateChain(std::size_t count, std::size_t size, Block* Block::*next, long& live)
{
    Block* first = nullptr;
    Block** link = &first;
    for (std::size_t i = 0; i < count; ++i) {
        auto* block = static_cast<Block*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
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
        if (!blocks[i] || !HeapFree(GetProcessHeap(), 0, blocks[i]))
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

LRESULT insertRecords(Container& container, MINIRECORDCORE* first, const RECORDINSERT* insert)
{
    if (!first || !insert || insert->cRecordsInsert == 0)
        return 0;
    std::vector<MINIRECORDCORE*> chain;
    MINIRECORDCORE* record = first;
    for (unsigned i = 0; i < insert->cRecordsInsert && record; ++i) {
        chain.push_back(record);
        record = record->preccNextRecord;
    }
    auto at = container.records.end();
    if (insert->pRecordOrder == reinterpret_cast<MINIRECORDCORE*>(CMA_FIRST)) {
        at = container.records.begin();
    } else if (isRecord(insert->pRecordOrder)) {
        at = std::find(container.records.begin(), container.records.end(), insert->pRecordOrder);
        if (at == container.records.end())
            return 0;
        ++at;
    }
    container.records.insert(at, chain.begin(), chain.end());
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
    if (freeIt && last && HeapFree(GetProcessHeap(), 0, record)) {
        Locked lock;
        --gLiveRecords;
    }
}

LRESULT removeRecords(Container& container, WPARAM array, LPARAM countAndFlags)
{
    const unsigned count = LOWORD(countAndFlags);
    const bool freeThem = (HIWORD(countAndFlags) & CMA_FREE) != 0;
    std::vector<MINIRECORDCORE*> gone;
    if (count == 0) {
        gone.swap(container.records);
    } else {
        auto** records = reinterpret_cast<MINIRECORDCORE**>(array);
        if (!records)
            return -1;
        for (unsigned i = 0; i < count; ++i) {
            auto found = std::find(container.records.begin(), container.records.end(), records[i]);
            if (found == container.records.end())
                return -1;
            container.records.erase(found);
            gone.push_back(records[i]);
        }
    }
    for (MINIRECORDCORE* record : gone)
        forgetRecord(record, freeThem);
    return static_cast<LRESULT>(container.records.size());
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
        if (std::find(container.records.begin(), container.records.end(), records[i]) ==
            container.records.end())
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
    case CM_FILTER: return filterRecords(container, parameter1, parameter2);
    case CM_QUERYRECORDINFO: return holdsRecords(container, parameter1, parameter2);
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
