// The cost per object of filling a native container, walking it, sorting it and filtering.
//
// A native container in name view gets objects from one allocator with addObjects, and an object
// cursor then walks them all; at 1,000, 10,000 and 100,000 objects. Prints the time per object
// and the ratios 100,000 / 1,000; goal: at most 1.3 for both (flat per object).
// The native container is then sorted by icon text, descending: the time per object divided by
// log2 of the count is to stay flat within 1.3. The "platform" row shows what the native list
// view's own sort costs for the same reordering with a comparison that costs nothing: a plain
// list view whose items carry the rank of their text in the sorted order. A message-driven container (the native class
// does not filter) is filtered with a predicate that keeps every other object, which shows the
// library's callback cost per object: flat within 1.3.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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
constexpr int kRounds = 3;

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Cost {
    double insert = 0;
    double walk = 0;
    double sort = 0;
    double filter = 0;
    double platform = 0;
};

class EveryOther : public ICnrCtl::FilterFn {
public:
    IBase::Boolean isMemberOf(ICnrObj*, ICnrCtl*) const override { return fSeen++ % 2 == 0; }

private:
    mutable unsigned long fSeen = 0;
};

// One round: the time per object of the insertion and of the walk.
Cost round(IWindow& top, unsigned long count)
{
    ICnrCtl container(1, &top, &top, IRectangle(0, 0, 400, 300), ICnrCtl::defaultStyle(),
                      ICnrCtl::nameView);
    const IPointerHandle icon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    std::vector<ICnrObj*> objects;
    objects.reserve(count);
    ICnrAllocator allocator(count, sizeof(ICnrObj));
    for (unsigned long i = 0; i < count; ++i)
        objects.push_back(new (allocator) ICnrObj(icon, IString("object ") + IString(i)));
    LARGE_INTEGER start, inserted, walked;
    QueryPerformanceCounter(&start);
    container.addObjects(allocator);
    QueryPerformanceCounter(&inserted);
    unsigned long visited = 0;
    ICnrCtl::ObjectCursor cursor(container);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ++visited;
    QueryPerformanceCounter(&walked);
    if (visited != count)
        std::printf("walk visited %lu of %lu objects\n", visited, count);
    LARGE_INTEGER sortStart, sorted;
    QueryPerformanceCounter(&sortStart);
    container.sortByIconText(false);
    QueryPerformanceCounter(&sorted);
    container.removeAllObjects();
    for (ICnrObj* object : objects)
        delete object;
    Cost cost;
    cost.insert = seconds(start, inserted) * 1e6 / static_cast<double>(count);
    cost.walk = seconds(inserted, walked) * 1e6 / static_cast<double>(count);
    cost.sort = seconds(sortStart, sorted) * 1e6 / static_cast<double>(count) /
                std::log2(static_cast<double>(count));
    return cost;
}

int CALLBACK byRank(LPARAM rank1, LPARAM rank2, LPARAM)
{
    return rank1 < rank2 ? -1 : rank1 > rank2 ? 1 : 0;
}

// The list view's own sort, per object / log2 n, for the reordering the icon text sort above
// makes: the items are inserted in the same order and carry their rank in the sorted order.
double platformRound(IWindow& top, unsigned long count)
{
    std::vector<std::string> texts;
    for (unsigned long i = 0; i < count; ++i)
        texts.emplace_back(IString("object ") + IString(i));
    std::vector<unsigned long> order(count);
    for (unsigned long i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](unsigned long a, unsigned long b) {
        return lstrcmpA(texts[b].c_str(), texts[a].c_str()) < 0;
    });
    std::vector<LPARAM> rank(count);
    for (unsigned long i = 0; i < count; ++i)
        rank[order[i]] = static_cast<LPARAM>(i);
    const HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_LIST, 0, 0, 400, 300,
                                      top.handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, LVM_SETITEMCOUNT, count, 0);
    for (unsigned long i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(texts[i].c_str());
        item.lParam = rank[i];
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    LARGE_INTEGER start, sorted;
    QueryPerformanceCounter(&start);
    SendMessageA(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&byRank));
    QueryPerformanceCounter(&sorted);
    DestroyWindow(list);
    return seconds(start, sorted) * 1e6 / static_cast<double>(count) /
           std::log2(static_cast<double>(count));
}

// The time per object of one filter of a message-driven container.
double filterRound(IWindow& top, unsigned long count)
{
    ICnrCtl container(2, &top, &top, IRectangle(0, 0, 400, 300),
                      ICnrCtl::defaultStyle() | ICnrCtl::messageContainer);
    std::vector<ICnrObj*> objects;
    objects.reserve(count);
    ICnrAllocator allocator(count, sizeof(ICnrObj));
    for (unsigned long i = 0; i < count; ++i)
        objects.push_back(new (allocator) ICnrObj(IPointerHandle(), IString(i)));
    container.addObjects(allocator);
    LARGE_INTEGER start, filtered;
    QueryPerformanceCounter(&start);
    container.filter(EveryOther());
    QueryPerformanceCounter(&filtered);
    container.removeAllObjects();
    for (ICnrObj* object : objects)
        delete object;
    return seconds(start, filtered) * 1e6 / static_cast<double>(count);
}

void report(const char* name, const std::vector<double>& perObject, const char* unit = "per object",
            bool goal = true)
{
    for (std::size_t i = 0; i < perObject.size(); ++i)
        std::printf("%-10s %7lu objects: %8.3f us %s\n", name, kSizes[i], perObject[i], unit);
    const double ratio = perObject.back() / perObject.front();
    if (!goal) {
        std::printf("%-10s ratio 100,000 / 1,000: %.2f (the list view's own cost, for comparison)\n",
                    name, ratio);
        return;
    }
    std::printf("%-10s ratio 100,000 / 1,000: %.2f (goal: at most 1.3) %s\n", name, ratio,
                ratio <= 1.3 ? "met" : "NOT MET");
}

} // namespace

int main()
{
    // Each row as soon as it is measured, also when the output is a file.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // The message-driven class gives every thread its allocation window.
    OvkCnrRegisterClass();
    auto top = std::make_unique<IWindow>();
    top->startHandlingEventsFor(top->create(0, "bench", WS_OVERLAPPEDWINDOW, "Static", IWindowHandle(),
                                            IWindowHandle(), IRectangle(0, 0, 800, 600), nullptr,
                                            nullptr));
    std::vector<double> inserts, walks, sorts, filters, platforms;
    for (const unsigned long count : kSizes) {
        std::vector<Cost> costs;
        for (int i = 0; i < kRounds; ++i) {
            costs.push_back(round(*top, count));
            costs.back().filter = filterRound(*top, count);
            costs.back().platform = platformRound(*top, count);
        }
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.insert < b.insert; });
        inserts.push_back(costs[costs.size() / 2].insert);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.walk < b.walk; });
        walks.push_back(costs[costs.size() / 2].walk);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.sort < b.sort; });
        sorts.push_back(costs[costs.size() / 2].sort);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.filter < b.filter; });
        filters.push_back(costs[costs.size() / 2].filter);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.platform < b.platform; });
        platforms.push_back(costs[costs.size() / 2].platform);
    }
    report("insertion", inserts);
    report("walk", walks);
    report("sort", sorts, "per object / log2 n");
    report("platform", platforms, "per object / log2 n", false);
    report("filter", filters);
    top.reset();
    return 0;
}
