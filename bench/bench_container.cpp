// The cost per object of filling a native container, walking it, sorting it and filtering, beside
// the platform's own cost of the same work at the same size in the same run.
//
// Fill: a native container in name, text, details and icon view gets objects from one allocator
// with addObjects, at 1,000, 10,000 and 100,000 objects. Beside it, the platform row inserts the
// same items (same texts, the same icon in image lists made like the container's, the same item
// mask and state) with LVM_INSERTITEMA into a hidden list view of the same style whose parent is
// a plain window; in details view the list view has its one column, as it needs to show items.
// The tree view fill is set beside TVM_INSERTITEMA of the same items into a hidden tree view of
// the same style. The platform's control has its redraw held across the fill (WM_SETREDRAW), as
// a program filling many items holds it and as the container holds its own control's: without
// the hold a list view with a column lays itself out for every item, and the details row set a
// library that holds beside a platform that does not. Goal: library / platform at most 1.3 at every size. How the cost per object
// grows from the smallest size to the largest is printed beside the platform's growth, as
// information: the controls themselves grow (the tree control worse than linearly), and a goal
// on the library's growth alone would be a goal on the platform's.
// A second platform row, at the two smaller sizes, fills a control made exactly as the
// container makes its own: WS_VISIBLE under a hidden window and, in every list view, the first
// column. A list view with a column lays out its header and scroll bars again for every item
// while its redraw is on, and that layout is most of what such a fill costs; the row shows it.
// At the same sizes, the name view fill is also timed with the container's list control's
// redraw turned off by hand for the fill: what the library's own road costs per object.
//
// Memory: the heap bytes in use are summed over every heap of the process (HeapWalk over the
// busy blocks, their overhead included) before the allocator is made and after the fill, and the
// same for the platform's list or tree view fill. The library's figure holds the records with
// their objects, the objects' texts, the library's tables and the control's own items; the
// platform's holds the control's items alone. What the library keeps beyond the platform is set beside the
// record size; goal: at most the record plus 64 bytes. The change in the number of busy blocks
// counts the heap allocations per object.
//
// Where the fill's time goes: one untimed fill of 1,000 objects in name view under a
// WH_CALLWNDPROC hook counts the messages sent per object, by message (and by notification code
// for WM_NOTIFY), beside the same count for the platform's fill.
//
// Walk: an object cursor walks the name view container; the platform row walks its list view
// of the same items by index, reading each item's parameter. Information only: the cursor asks
// the container window for each step (its first child, then its next sibling), which a list
// view's own walk never does, so the ratio shows that road's price rather than a fault.
// Sort: the container is sorted by icon text, descending; the platform row sorts its list view
// of the same items with LVM_SORTITEMS and the same comparison (lstrcmpA of the two texts,
// descending). Goal: library / platform at most 1.3 at every size.
// Filter: a message-driven container (the native class does not filter) is filtered with a
// predicate that keeps every other object; the platform row sends the same container the same
// filter message with a plain function that keeps every other record, so the ratio is the
// library's callback road per object. Information only: the platform's own work per record is
// a few nanoseconds, and the guard that every callback from the platform passes costs as much.
//
// Rounds: every figure is the median of its rounds, and each round runs the library's work and
// the platform's, each going first in every other round, so that a busy moment of the shared
// machine, and the heap one fill leaves to the next, weigh on both alike.
// Five rounds of each fill, walk, sort and filter (three for the tree view at 100,000, whose
// platform fill alone takes minutes). With both controls held, one round's fill ratio strays by
// about 0.1 at 1,000 and 10,000 objects on a quiet machine; a row whose rounds stray by more (a
// 1,000-object fill takes milliseconds, and another program's build lands in it) was read in a
// busy moment and needs another run. Over three runs with one record per insertion message and
// each item handed to the control's own procedure, every fill median lay at or below 1.29 (the
// lowest 0.57, icon view at 10,000) but for two rows read in busy moments, icon view at 1,000
// once (rounds 0.61 to 2.41) and text view at 10,000 once (rounds 1.04 to 2.01); the tree
// view's lay between 1.20 and 1.29 at every size. Later, with the procedure asked at each
// insertion and the control found without IsWindow, two runs read the tree at 1.22/1.26 and
// 0.90/1.24 (1,000 / 10,000; at 100,000, 1.83 and 1.26 from rounds 1.11 to 1.89), every 1,000
// and 10,000 row met; name and text at 100,000 read 1.30 to 1.35 with steady rounds, and so did
// the code before those changes on the same day: the process heap's doing (below).
// With the items still sent through the library's procedure before the control's, the tree
// view's had lain between 1.42 and 1.51 at 10,000 and 100,000. At 100,000 one round's ratio may lie
// anywhere between 0.5 and 1.6 on a busy machine, so that row needs several runs to be read.
//
// Where the time goes at 100,000: the list view's own insertion, alike in both rows. Its median
// insertion stays at about 1.5 us at every size, but every tenth insertion grows the control's
// item table; from about 30,000 items on those take hundreds of microseconds to milliseconds each,
// 90 to 95 percent of the fill, and what they cost follows the machine's load and the process
// heap: the table grows in place while the block after it is free, and is copied whole when it
// is not. The records once came from the process heap too, 100,000 small blocks made before the
// library's fill and freed after it, so that each library fill met a process heap unlike the
// platform's: name and text at 100,000 read anywhere from 0.8 to 1.6 from one run to the next,
// steady within a run (the heap's layout differs between processes). The message-driven class
// now keeps its records in a heap of its own: in six runs since, name and text at 100,000 read
// 0.67 to 1.04, the library's fill 15 to 20 us per object, and every fill row met in
// the three full runs among them (the tree's, the closest, at 1.25 to 1.27 from 10,000 on).
//
// What an object costs the library beyond the platform, counted over fills of a few hundred
// objects bracketed by named events (server trace, relay trace, perf over the fills alone):
// - server requests: none per object, library and platform alike (wineserver -d2 over 500);
// - messages: 2 against 2 sent: the container's insertion message and the control's report,
//   against the platform's insertion and report. The native container takes one record per
//   insertion message, each after the one before, and the library's road of that message alone
//   (the "message" row: sent to the container, refused at once) costs 0.28 to 0.36 us (best of
//   five rounds of 20,000 sends), against about 0.22 us for a plain send; it read 0.44 to 0.62
//   while the row asked IsWindow for every send (the bench's own handle() and the record's check
//   of its control, each a call into Wine's own side) and the waiting-exception check was a
//   call into the threads library. The control's own insertion, sent through the library's
//   procedure on the control before the control's, cost about 0.4 us more than the platform's
//   plain send; during a bulk insertion it now goes to the control's procedure directly, once
//   the library has asked which procedure stands before the control (GetWindowLongPtrA, about
//   0.08 us: an application's procedure put there during the fill must see the rest of it), and
//   the tree view costs about 0.6 us an object beyond the platform, most of it that message.
//   The question moves the tree view's ratio at 10,000 by about 0.04 (three runs with it: 1.33,
//   1.33 and 1.37; two without: 1.27 and 1.30, all on a quiet machine);
// - the library's lock over all objects: taken twice per object in the lists (the object's
//   addContainerReference, which a derived class may replace, and the native side making the
//   entry with its state, and the tree's text copy, under one hold) and three times in the tree
//   (the tree item noted and the text checked again under one more), where each object once
//   took it four times in the list and five or six in the tree (about 0.09 us each);
// - heap blocks that the fill adds: name view 4 against the platform's 5 (the list's own; the
//   platform's control also copies the text); tree view 2 against 2, the tree's own, where the
//   object's tree item once took a block of its own (about 0.35 us an object): on 64-bit it now
//   lies in the object's own word. Beyond the fill, each object is its record and its text, in
//   the tree 144 bytes beyond the platform's items, in the lists 96 (the list keeps no text). An
//   allocation from the process heap costs 1 to 2 us here, most of either fill;
// - first-touched pages: 0.09 minor faults per object against 0.16 (name), 0.025 against 0.02
//   (tree): not the cost;
// - the system's window queries, each a call into Wine's own side (0.08 us at best, several
//   times that under load): they were the cost. A name view fill asked IsWindow 20 times per
//   object (the controls' mouse watcher found its container for every message, through every
//   container's handle), GetWindowThreadProcessId 3 times (the check after a control's own
//   procedure, the owner of every insertion's entry), GetParent twice and GetWindowLongPtrA
//   once. Now it asks GetWindowLongPtrA once per object (which procedure stands before the
//   control) and nothing else: the record message finds its control alive in its thread's
//   window set; a send to the container's list control costs 0.46 us against 0.30 us
//   for a plain list view, where it cost 1.0 us (best of 30 rounds of 2,000 sends).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <icnrctl.hpp>
#include <icnrobj.hpp>
#include <icnrsort.hpp>
#include <iwindow.hpp>
#include <ovkcnr.hpp>

namespace {

constexpr unsigned long kSizes[] = {1000, 10000, 100000};
constexpr std::size_t kSizeCount = sizeof(kSizes) / sizeof(kSizes[0]);
constexpr double kFillGoal = 1.3;
constexpr double kSortGoal = 1.3;
constexpr double kMemoryGoal = 64;
// The item text buffer length the container gives its native items.
constexpr int kTextLength = 64;
constexpr DWORD kTreeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> textsFor(unsigned long count)
{
    std::vector<std::string> texts;
    texts.reserve(count);
    for (unsigned long i = 0; i < count; ++i)
        texts.emplace_back(IString("object ") + IString(i));
    return texts;
}

// The heap in use by the whole process: every heap, every busy block with its overhead.
struct HeapUse {
    long long bytes = 0;
    long long blocks = 0;
};

HeapUse heapUse()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    HeapUse use;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                use.bytes += entry.cbData + entry.cbOverhead;
                ++use.blocks;
            }
        }
        HeapUnlock(heap);
    }
    return use;
}

// The messages sent on this thread while a hook is set, by message and WM_NOTIFY code.
struct MessageCount {
    std::map<UINT, unsigned long> byMessage;
    std::map<UINT, unsigned long> byNotification;
    unsigned long total = 0;
};

MessageCount* gCounting = nullptr;

LRESULT CALLBACK countMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && gCounting) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        ++gCounting->byMessage[sent->message];
        ++gCounting->total;
        if (sent->message == WM_NOTIFY && sent->lParam)
            ++gCounting->byNotification[reinterpret_cast<const NMHDR*>(sent->lParam)->code];
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// When set, the next fill counts the messages it sends while it inserts (the hook itself costs
// time, so a counted fill is never a timed one).
MessageCount* gFillCount = nullptr;

// The hook of a fill that counts, taken out by stop() once the insertions are done, or on any
// way out of the round.
class FillCounting {
public:
    FillCounting()
        : fHook(gFillCount ? SetWindowsHookExA(WH_CALLWNDPROC, &countMessage, nullptr,
                                               GetCurrentThreadId())
                           : nullptr)
    {
        gCounting = gFillCount;
    }
    ~FillCounting() { stop(); }
    FillCounting(const FillCounting&) = delete;
    FillCounting& operator=(const FillCounting&) = delete;

    void stop() noexcept
    {
        if (fHook)
            UnhookWindowsHookEx(fHook);
        fHook = nullptr;
        gCounting = nullptr;
    }

private:
    HHOOK fHook;
};

template <class Body>
MessageCount countMessages(Body body)
{
    MessageCount count;
    gFillCount = &count;
    body();
    gFillCount = nullptr;
    return count;
}

struct View {
    const char* name;
    ICnrCtl::Attribute attribute;
    bool tree;
    // The list view's type and whether items show no icon (text view), as the container sets them.
    DWORD listType;
    bool noIcons;
};

std::vector<View> views()
{
    return {{"name", ICnrCtl::nameView, false, LVS_LIST, false},
            {"text", ICnrCtl::textView, false, LVS_LIST, true},
            {"details", ICnrCtl::detailsView, false, LVS_REPORT, false},
            {"icon", ICnrCtl::iconView, false, LVS_ICON, false},
            {"tree", ICnrCtl::treeView | ICnrCtl::iconView, true, 0, false}};
}

// The rounds each fill takes (see the note at the top).
int roundsFor(const View& view, unsigned long count)
{
    if (count < 100000)
        return 5;
    // The tree control's own fill of 100,000 items takes minutes.
    return view.tree ? 3 : 5;
}

struct Cost {
    double insert = 0;
    double walk = 0;
    double sort = 0;
    HeapUse memory;
    // What addObjects alone adds.
    HeapUse fill;
};

// Times a walk (which answers how many objects it visited) and then a sort, into the cost: the
// walk per object, the sort per object / log2 n.
template <class Walk, class Sort>
void timeWalkAndSort(const char* name, unsigned long count, Walk walk, Sort sort, Cost& cost)
{
    LARGE_INTEGER start, walked;
    QueryPerformanceCounter(&start);
    const unsigned long visited = walk();
    QueryPerformanceCounter(&walked);
    if (visited != count)
        std::printf("%s visited %lu of %lu objects\n", name, visited, count);
    LARGE_INTEGER sortStart, sorted;
    QueryPerformanceCounter(&sortStart);
    sort();
    QueryPerformanceCounter(&sorted);
    cost.walk = seconds(start, walked) * 1e6 / static_cast<double>(count);
    cost.sort = seconds(sortStart, sorted) * 1e6 / static_cast<double>(count) /
                std::log2(static_cast<double>(count));
}

// One library fill of the view: the time per object of addObjects, and for the name view also of
// the walk and the sort. With `memory`, the heap growth of the allocation and the fill.
Cost libraryRound(IWindow& top, const View& view, unsigned long count, HICON icon, bool memory,
                  bool walkAndSort, bool redrawOff = false)
{
    ICnrCtl container(1, &top, &top, IRectangle(0, 0, 400, 300), ICnrCtl::defaultStyle(),
                      view.attribute);
    // The bench's own list of the objects it deletes afterwards is left out, as the platform's
    // round leaves out the texts it inserts from.
    std::vector<ICnrObj*> objects;
    objects.reserve(count);
    const HeapUse before = memory ? heapUse() : HeapUse();
    Cost cost;
    {
        ICnrAllocator allocator(count, sizeof(ICnrObj));
        for (unsigned long i = 0; i < count; ++i)
            objects.push_back(new (allocator) ICnrObj(IPointerHandle(icon), IString("object ") + IString(i)));
        // The container's list control, the child with id 0x3000.
        const HWND native = redrawOff ? GetDlgItem(container.handle(), 0x3000) : nullptr;
        const HeapUse created = memory ? heapUse() : HeapUse();
        FillCounting counting;
        LARGE_INTEGER start, inserted;
        QueryPerformanceCounter(&start);
        if (native)
            SendMessageA(native, WM_SETREDRAW, FALSE, 0);
        container.addObjects(allocator);
        if (native)
            SendMessageA(native, WM_SETREDRAW, TRUE, 0);
        QueryPerformanceCounter(&inserted);
        counting.stop();
        if (memory) {
            const HeapUse filled = heapUse();
            cost.fill.bytes = filled.bytes - created.bytes;
            cost.fill.blocks = filled.blocks - created.blocks;
        }
        cost.insert = seconds(start, inserted) * 1e6 / static_cast<double>(count);
    }
    if (memory) {
        const HeapUse after = heapUse();
        cost.memory.bytes = after.bytes - before.bytes;
        cost.memory.blocks = after.blocks - before.blocks;
    }
    if (walkAndSort)
        timeWalkAndSort(
            "walk", count,
            [&] {
                unsigned long visited = 0;
                ICnrCtl::ObjectCursor cursor(container);
                for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
                    ++visited;
                return visited;
            },
            [&] { container.sortByIconText(false); }, cost);
    container.removeAllObjects();
    for (ICnrObj* object : objects)
        delete object;
    return cost;
}

// Image lists made as the container makes its own: 32 and 16 pixels, masked, 40 images growing
// by 5; and the 1-pixel list that text view shows as its small icons. The icon goes into them
// once, in the timed fill: the container adds it when its first object shows it, and in Wine
// that costs milliseconds, most of a fill of 1,000 items.
struct ImageLists {
    ImageLists()
        : large(ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 40, 5)),
          small(ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 40, 5)),
          empty(ImageList_Create(1, 1, ILC_MASK, 1, 0))
    {
    }
    void add(HICON icon) const
    {
        ImageList_ReplaceIcon(large, -1, icon);
        ImageList_ReplaceIcon(small, -1, icon);
    }
    ~ImageLists()
    {
        ImageList_Destroy(large);
        ImageList_Destroy(small);
        ImageList_Destroy(empty);
    }
    ImageLists(const ImageLists&) = delete;
    ImageLists& operator=(const ImageLists&) = delete;

    HIMAGELIST large;
    HIMAGELIST small;
    HIMAGELIST empty;
};

// The platform's comparison of two items of the list: the texts their parameters index, as
// lstrcmpA orders them, descending.
int CALLBACK byTextDescending(LPARAM index1, LPARAM index2, LPARAM texts)
{
    const auto& all = *reinterpret_cast<const std::vector<std::string>*>(texts);
    return lstrcmpA(all[static_cast<std::size_t>(index2)].c_str(),
                    all[static_cast<std::size_t>(index1)].c_str());
}

// The platform's walk and sort of its filled list, in the units of the library's rows: the walk
// reads every item's parameter by index; the sort is the list view's own, per object / log2 n.
void walkAndSortList(HWND list, const std::vector<std::string>& texts, Cost& cost)
{
    timeWalkAndSort(
        "platform walk", static_cast<unsigned long>(texts.size()),
        [&] {
            unsigned long visited = 0;
            for (int index = 0;; ++index) {
                LVITEMA item{};
                item.mask = LVIF_PARAM;
                item.iItem = index;
                if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
                    break;
                ++visited;
            }
            return visited;
        },
        [&] {
            SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&texts),
                         reinterpret_cast<LPARAM>(&byTextDescending));
        },
        cost);
}

// The platform's fill of the same items: a list view or tree view styled as the container styles
// its own (label editing, single selection), with the same image lists, each item inserted at
// the end with the same mask, text buffer length and state (the first item has the focus). Made
// like the container's own control, it is visible under its hidden parent and has a column.
Cost platformRound(HWND parent, const View& view, const std::vector<std::string>& texts, HICON icon,
                   bool memory, bool walkAndSort = false, bool likeContainer = false)
{
    const DWORD visible = likeContainer ? WS_VISIBLE : 0;
    const ImageLists images;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND control = nullptr;
    if (view.tree) {
        control = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                  WS_CHILD | visible | kTreeStyle | TVS_EDITLABELS, 0, 0, 400, 300,
                                  parent, nullptr, instance, nullptr);
        SendMessageA(control, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.large));
    } else {
        // The lists stay the bench's own to destroy.
        control = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | visible | LVS_EDITLABELS | LVS_SINGLESEL |
                                      LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | view.listType,
                                  0, 0, 400, 300, parent, nullptr, instance, nullptr);
        SendMessageA(control, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images.large));
        SendMessageA(control, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(view.noIcons ? images.empty : images.small));
        if (likeContainer || view.listType == LVS_REPORT) {
            LVCOLUMNA column{};
            column.mask = LVCF_WIDTH;
            column.cx = 100;
            SendMessageA(control, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        }
    }
    const HeapUse before = memory ? heapUse() : HeapUse();
    const std::size_t count = texts.size();
    FillCounting counting;
    LARGE_INTEGER start, inserted;
    QueryPerformanceCounter(&start);
    images.add(icon);
    // A program that fills a control with many items holds its redraw across the fill, as the
    // container holds its own control's; the row made like the container's shows the fill
    // without the hold.
    const bool held = !likeContainer;
    if (held)
        SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (view.tree) {
            TVINSERTSTRUCTA insert{};
            insert.hParent = TVI_ROOT;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
            insert.item.state = i == 0 ? 0x0001u : 0u;
            insert.item.stateMask = 0xFF;
            insert.item.pszText = const_cast<char*>(texts[i].c_str());
            insert.item.cchTextMax = kTextLength;
            insert.item.lParam = static_cast<LPARAM>(i);
            SendMessageA(control, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        } else {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
            item.iItem = static_cast<int>(i);
            item.state = i == 0 ? LVIS_FOCUSED : 0u;
            item.stateMask = 0x0F;
            item.pszText = const_cast<char*>(texts[i].c_str());
            item.cchTextMax = kTextLength;
            item.lParam = static_cast<LPARAM>(i);
            SendMessageA(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (held)
        SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    QueryPerformanceCounter(&inserted);
    counting.stop();
    Cost cost;
    cost.insert = seconds(start, inserted) * 1e6 / static_cast<double>(count);
    if (memory) {
        const HeapUse after = heapUse();
        cost.memory.bytes = after.bytes - before.bytes;
        cost.memory.blocks = after.blocks - before.blocks;
    }
    if (walkAndSort && !view.tree)
        walkAndSortList(control, texts, cost);
    DestroyWindow(control);
    return cost;
}

class EveryOther : public ICnrCtl::FilterFn {
public:
    IBase::Boolean isMemberOf(ICnrObj*, ICnrCtl*) const override { return fSeen++ % 2 == 0; }

private:
    mutable unsigned long fSeen = 0;
};

// The platform's filter: a plain function of the message-driven class that keeps every other
// record, counting in the word it is given.
int OVKCNR_CALLBACK everyOtherRecord(MINIRECORDCORE*, void* seen)
{
    return (*static_cast<unsigned long*>(seen))++ % 2 == 0;
}

struct FilterCost {
    double library = 0;
    double platform = 0;
};

// The time per object of one filter of a message-driven container through the library, then of
// the same filter message sent to the same container with a plain function, round by round.
std::vector<FilterCost> filterRounds(IWindow& top, unsigned long count, int rounds)
{
    ICnrCtl container(2, &top, &top, IRectangle(0, 0, 400, 300),
                      ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
    std::vector<ICnrObj*> objects;
    objects.reserve(count);
    ICnrAllocator allocator(count, sizeof(ICnrObj));
    for (unsigned long i = 0; i < count; ++i)
        objects.push_back(new (allocator) ICnrObj(IPointerHandle(), IString(i)));
    container.addObjects(allocator);
    std::vector<FilterCost> costs;
    auto library = [&] {
        LARGE_INTEGER start, filtered;
        QueryPerformanceCounter(&start);
        container.filter(EveryOther());
        QueryPerformanceCounter(&filtered);
        return seconds(start, filtered) * 1e6 / static_cast<double>(count);
    };
    auto platform = [&] {
        unsigned long seen = 0;
        LARGE_INTEGER start, filtered;
        QueryPerformanceCounter(&start);
        SendMessageA(container.handle(), CM_FILTER, reinterpret_cast<WPARAM>(&everyOtherRecord),
                     reinterpret_cast<LPARAM>(&seen));
        QueryPerformanceCounter(&filtered);
        if (seen != count)
            std::printf("platform filter saw %lu of %lu records\n", seen, count);
        return seconds(start, filtered) * 1e6 / static_cast<double>(count);
    };
    for (int round = 0; round < rounds; ++round) {
        FilterCost cost;
        if (round % 2 == 1)
            cost.platform = platform();
        cost.library = library();
        if (round % 2 == 0)
            cost.platform = platform();
        costs.push_back(cost);
    }
    // Emptied in one message: the message-driven class looks up every record's parent among all
    // its records, so the walk that removing them through the library makes takes minutes at
    // 100,000. Each object then finds itself gone from the window as it is deleted.
    SendMessageA(container.handle(), CM_REMOVERECORD, 0, 0);
    for (ICnrObj* object : objects)
        delete object;
    return costs;
}

const char* verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

// A row of the library's cost beside the platform's same work at each size; with a goal, the
// ratio is held to it. The growth from the smallest size is information, beside the platform's.
void reportAgainst(const char* name, const std::vector<double>& library,
                   const std::vector<double>& platform, const char* unit, double goal)
{
    for (std::size_t i = 0; i < library.size(); ++i) {
        const double ratio = library[i] / platform[i];
        std::printf("%-10s %7lu objects: library %8.3f us, platform %8.3f us %s, ratio %.2f", name,
                    kSizes[i], library[i], platform[i], unit, ratio);
        if (goal > 0)
            std::printf(" (goal: at most %.1f) %s\n", goal, verdict(ratio <= goal));
        else
            std::printf(" (information)\n");
    }
    std::printf("%-10s growth %lu / %lu %s: library %.2f, platform %.2f\n", name,
                kSizes[library.size() - 1], kSizes[0], unit, library.back() / library.front(),
                platform.back() / platform.front());
}

void reportFill(const View& view, const std::vector<double>& library, const std::vector<double>& platform,
                const std::vector<double>& shown)
{
    for (std::size_t i = 0; i < library.size(); ++i) {
        const double ratio = library[i] / platform[i];
        std::printf("fill %-8s %7lu objects: library %9.3f us, platform %8.3f us per object, "
                    "ratio %7.2f (goal: at most %.1f) %s\n",
                    view.name, kSizes[i], library[i], platform[i], ratio, kFillGoal,
                    verdict(ratio <= kFillGoal));
        if (i < shown.size())
            std::printf("fill %-8s %7lu objects: platform control made like the container's %9.3f us "
                        "per object, library / that %.2f\n",
                        view.name, kSizes[i], shown[i], library[i] / shown[i]);
    }
    std::printf("fill %-8s growth %lu / %lu per object: library %.2f, platform %.2f\n", view.name,
                kSizes[library.size() - 1], kSizes[0], library.back() / library.front(),
                platform.back() / platform.front());
}

void reportMemory(const View& view, unsigned long count, const HeapUse& library, const HeapUse& fill,
                  const HeapUse& platform)
{
    std::printf("memory %-8s %7lu objects: addObjects alone %.1f bytes, %.2f allocations per object\n",
                view.name, count, static_cast<double>(fill.bytes) / static_cast<double>(count),
                static_cast<double>(fill.blocks) / static_cast<double>(count));
    const double perObject = static_cast<double>(library.bytes) / static_cast<double>(count);
    const double perItem = static_cast<double>(platform.bytes) / static_cast<double>(count);
    const double beyond = perObject - perItem;
    const double record = static_cast<double>(sizeof(MINIRECORDCORE) + sizeof(ICnrObj));
    std::printf("memory %-8s %7lu objects: library %7.1f bytes (%.2f allocations), platform %7.1f "
                "bytes (%.2f allocations) per object; beyond the platform %7.1f, record %.0f "
                "(goal: at most %.0f) %s\n",
                view.name, count, perObject,
                static_cast<double>(library.blocks) / static_cast<double>(count), perItem,
                static_cast<double>(platform.blocks) / static_cast<double>(count), beyond, record,
                record + kMemoryGoal, verdict(beyond <= record + kMemoryGoal));
}

void printCount(const char* who, const MessageCount& count, unsigned long objects)
{
    std::printf("messages  %-8s %6.2f sent per object:", who,
                static_cast<double>(count.total) / static_cast<double>(objects));
    for (const auto& [message, times] : count.byMessage)
        if (times * 100 >= objects)
            std::printf(" 0x%04X x%.2f", message, static_cast<double>(times) / static_cast<double>(objects));
    for (const auto& [code, times] : count.byNotification)
        if (times * 100 >= objects)
            std::printf(" [WM_NOTIFY %d x%.2f]", static_cast<int>(code),
                        static_cast<double>(times) / static_cast<double>(objects));
    std::printf("\n");
}

// Which messages the name view fill sends per object, beside the platform's fill.
void reportMessages(IWindow& top, HWND plain, HICON icon)
{
    constexpr unsigned long count = 1000;
    const View name = views().front();
    const MessageCount library = countMessages([&] { libraryRound(top, name, count, icon, false, false); });
    const std::vector<std::string> texts = textsFor(count);
    const MessageCount platform = countMessages([&] { platformRound(plain, name, texts, icon, false); });
    const MessageCount shown =
        countMessages([&] { platformRound(plain, name, texts, icon, false, false, true); });
    std::printf("(messages counted while the items are inserted; hex ids)\n");
    printCount("library", library, count);
    printCount("platform", platform, count);
    printCount("like cnr", shown, count);
}

// What the container's insertion message costs on its own: the road of a message that the
// native container refuses at once (no record), the best of five rounds of 20,000 sends. A fill
// sends it once per object; the library's work on the record itself is not in it.
void reportInsertionMessage(IWindow& top)
{
    constexpr int kSends = 20000;
    ICnrCtl container(1, &top, &top, IRectangle(0, 0, 400, 300), ICnrCtl::defaultStyle(),
                      ICnrCtl::Attribute(CV_NAME));
    RECORDINSERT where{};
    where.cb = sizeof(RECORDINSERT);
    where.pRecordOrder = reinterpret_cast<MINIRECORDCORE*>(std::uintptr_t(CMA_END));
    where.zOrder = CMA_TOP;
    where.cRecordsInsert = 1;
    // Asked once: handle() asks the system whether the window is valid, which costs as much
    // as a third of the road measured.
    const HWND handle = container.handle();
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start, sent;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < kSends; ++i)
            SendMessageA(handle, CM_INSERTRECORD, 0, reinterpret_cast<LPARAM>(&where));
        QueryPerformanceCounter(&sent);
        const double each = seconds(start, sent) * 1e6 / kSends;
        if (round == 0 || each < best)
            best = each;
    }
    std::printf("message   library's insertion message alone (refused, no record): %.3f us\n", best);
}

} // namespace

// An optional argument names the largest size to run (1000 or 10000), for a quicker run; a second
// names the one view to fill (name, text, details, icon or tree).
int main(int argc, char** argv)
{
    // Each row as soon as it is measured, also when the output is a file.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const unsigned long largest = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : kSizes[kSizeCount - 1];
    std::size_t sizeCount = 0;
    while (sizeCount < kSizeCount && kSizes[sizeCount] <= largest)
        ++sizeCount;
    if (sizeCount == 0)
        sizeCount = 1;
    // The message-driven class gives every thread its allocation window.
    OvkCnrRegisterClass();
    auto top = std::make_unique<IWindow>();
    top->startHandlingEventsFor(top->create(0, "bench", WS_OVERLAPPEDWINDOW, "Static", IWindowHandle(),
                                            IWindowHandle(), IRectangle(0, 0, 800, 600), nullptr,
                                            nullptr));
    // The platform's controls report to a plain window that no library object handles, so that
    // their notifications cost what the platform's own default processing costs.
    const HWND plain = CreateWindowExA(0, "Static", "plain", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));

    reportMessages(*top, plain, icon);
    reportInsertionMessage(*top);

    std::vector<double> walks, platformWalks, sorts, platformSorts, filters, platformFilters,
        redrawOff;
    const std::vector<View> all = views();
    const std::string only = argc > 2 ? argv[2] : "";
    for (const View& view : all) {
        if (!only.empty() && only != view.name)
            continue;
        // The name view also carries the walk, the sort and the filter rows.
        const bool name = &view == &all.front();
        std::vector<double> library, platform, shown;
        for (std::size_t size = 0; size < sizeCount; ++size) {
            const unsigned long count = kSizes[size];
            const std::vector<std::string> texts = textsFor(count);
            std::vector<double> libraryTimes, platformTimes, walkTimes, platformWalkTimes, sortTimes,
                platformSortTimes;
            HeapUse libraryMemory, fillMemory, platformMemory;
            for (int round = 0; round < roundsFor(view, count); ++round) {
                // The heap is walked on the first round only, outside the timing.
                const bool memory = round == 0;
                // Who goes first alternates too: each round's fill leaves the heap to the next.
                const bool platformFirst = round % 2 == 1;
                Cost theirs;
                if (platformFirst)
                    theirs = platformRound(plain, view, texts, icon, memory, name);
                const Cost mine = libraryRound(*top, view, count, icon, memory, name);
                if (!platformFirst)
                    theirs = platformRound(plain, view, texts, icon, memory, name);
                libraryTimes.push_back(mine.insert);
                platformTimes.push_back(theirs.insert);
                if (memory) {
                    libraryMemory = mine.memory;
                    fillMemory = mine.fill;
                    platformMemory = theirs.memory;
                }
                if (name) {
                    walkTimes.push_back(mine.walk);
                    platformWalkTimes.push_back(theirs.walk);
                    sortTimes.push_back(mine.sort);
                    platformSortTimes.push_back(theirs.sort);
                }
            }
            if (count < 100000) {
                shown.push_back(platformRound(plain, view, texts, icon, false, false, true).insert);
                if (name)
                    redrawOff.push_back(libraryRound(*top, view, count, icon, false, false, true).insert);
            }
            library.push_back(median(libraryTimes));
            platform.push_back(median(platformTimes));
            std::printf("  (%s, %lu objects: library %.3f us, platform %.3f us per object; ratio by round:",
                        view.name, count, library.back(), platform.back());
            for (std::size_t round = 0; round < libraryTimes.size(); ++round)
                std::printf(" %.2f", libraryTimes[round] / platformTimes[round]);
            std::printf(")\n");
            reportMemory(view, count, libraryMemory, fillMemory, platformMemory);
            if (name) {
                walks.push_back(median(walkTimes));
                platformWalks.push_back(median(platformWalkTimes));
                sorts.push_back(median(sortTimes));
                platformSorts.push_back(median(platformSortTimes));
                std::vector<double> filterTimes, platformFilterTimes;
                for (const FilterCost& cost : filterRounds(*top, count, roundsFor(view, count))) {
                    filterTimes.push_back(cost.library);
                    platformFilterTimes.push_back(cost.platform);
                }
                filters.push_back(median(filterTimes));
                platformFilters.push_back(median(platformFilterTimes));
            }
        }
        reportFill(view, library, platform, shown);
        if (name)
            for (std::size_t i = 0; i < redrawOff.size(); ++i)
                std::printf("fill %-8s %7lu objects: library with its list control's redraw off by hand "
                            "%9.3f us per object, / platform %.2f\n",
                            view.name, kSizes[i], redrawOff[i], redrawOff[i] / platform[i]);
    }
    if (!walks.empty()) {
        reportAgainst("walk", walks, platformWalks, "per object", 0);
        reportAgainst("sort", sorts, platformSorts, "per object / log2 n", kSortGoal);
        reportAgainst("filter", filters, platformFilters, "per object", 0);
    }
    DestroyWindow(plain);
    top.reset();
    return 0;
}
