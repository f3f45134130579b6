// The cost per object of filling a native container, walking it, sorting it and filtering.
//
// A native container in name view gets objects from one allocator with addObjects, and an object
// cursor then walks them all; at 1,000, 10,000 and 100,000 objects. Prints the time per object
// and the ratios 100,000 / 1,000; goal: at most 1.3 for both (flat per object).
// The native container is then sorted by icon text, descending: the time per object divided by
// log2 of the count is to stay flat within 1.3. A message-driven container (the native class
// does not filter) is filtered with a predicate that keeps every other object, which shows the
// library's callback cost per object: flat within 1.3.
#include <windows.h>

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

void report(const char* name, const std::vector<double>& perObject, const char* unit = "per object")
{
    for (std::size_t i = 0; i < perObject.size(); ++i)
        std::printf("%-10s %7lu objects: %8.3f us %s\n", name, kSizes[i], perObject[i], unit);
    const double ratio = perObject.back() / perObject.front();
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
    std::vector<double> inserts, walks, sorts, filters;
    for (const unsigned long count : kSizes) {
        std::vector<Cost> costs;
        for (int i = 0; i < kRounds; ++i) {
            costs.push_back(round(*top, count));
            costs.back().filter = filterRound(*top, count);
        }
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.insert < b.insert; });
        inserts.push_back(costs[costs.size() / 2].insert);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.walk < b.walk; });
        walks.push_back(costs[costs.size() / 2].walk);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.sort < b.sort; });
        sorts.push_back(costs[costs.size() / 2].sort);
        std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.filter < b.filter; });
        filters.push_back(costs[costs.size() / 2].filter);
    }
    report("insertion", inserts);
    report("walk", walks);
    report("sort", sorts, "per object / log2 n");
    report("filter", filters);
    top.reset();
    return 0;
}
