// The cost of a canvas layout per child, with 100, 1,000 and 10,000 children.
//
// For a set canvas (100 decks) and a multi-cell canvas (a grid 100 cells wide), each with
// children of explicit minimum sizes made once per size outside the timing, the canvas is
// marked distorted and layout() timed; between rounds the margin (set canvas) or the first
// column and row (multi-cell canvas) change, so that every layout moves the children. Prints
// the time per child for each size and the ratio of the 10,000 figure to the 100 figure per
// canvas; goal: at most 1.3 (time linear in the children, one deferred pass per layout).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <imcelcv.hpp>
#include <isetcv.hpp>

namespace {

constexpr int kRounds = 7;
constexpr int kSizes[] = {100, 1000, 10000};

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::unique_ptr<IWindow>> makeChildren(IWindow& canvas, int count)
{
    std::vector<std::unique_ptr<IWindow>> children;
    children.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto child = std::make_unique<IWindow>();
        child->startHandlingEventsFor(child->create(static_cast<unsigned long>(i + 1), nullptr,
                                                    WS_CHILD | WS_VISIBLE, "Static",
                                                    canvas.handle(), canvas.handle(),
                                                    IRectangle(0, 0, 4, 3), nullptr, nullptr));
        child->setMinimumSize(ISize(4, 3));
        children.push_back(std::move(child));
    }
    return children;
}

// The median time of one layout, per child, in microseconds.
double timeLayouts(ICanvas& canvas, int count, const std::function<void(int)>& change)
{
    std::vector<double> perChild;
    for (int round = 0; round < kRounds; ++round) {
        change(round);
        canvas.setLayoutDistorted(0x80, 0);
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        canvas.layout();
        QueryPerformanceCounter(&to);
        perChild.push_back(seconds(from, to) * 1e6 / count);
    }
    std::sort(perChild.begin(), perChild.end());
    return perChild[perChild.size() / 2];
}

void report(const char* name, const std::vector<double>& perChild)
{
    for (std::size_t i = 0; i < perChild.size(); ++i)
        std::printf("%-18s %6d children: %8.3f us per child\n", name, kSizes[i], perChild[i]);
    const double ratio = perChild.back() / perChild.front();
    std::printf("%-18s ratio 10,000 / 100: %.2f (goal: at most 1.3) %s\n", name, ratio,
                ratio <= 1.3 ? "met" : "NOT MET");
}

} // namespace

int main()
{
    // A hidden top-level window: the canvases lay out without painting.
    auto top = std::make_unique<IWindow>();
    top->startHandlingEventsFor(top->create(0, "bench", WS_OVERLAPPEDWINDOW, "Static", IWindowHandle(),
                                            IWindowHandle(), IRectangle(0, 0, 800, 600), nullptr,
                                            nullptr));
    std::vector<double> setTimes, cellTimes;
    for (const int count : kSizes) {
        {
            ISetCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 800, 600),
                              ISetCanvas::defaultStyle() & ~ISetCanvas::Style(WS_VISIBLE));
            canvas.setPad(ISize(1, 1));
            canvas.setDeckCount(100);
            auto children = makeChildren(canvas, count);
            setTimes.push_back(timeLayouts(canvas, count, [&](int round) {
                canvas.setMargin(ISize(2 + round % 2, 2 + round % 2));
            }));
            children.clear();
        }
        {
            IMultiCellCanvas canvas(2, top.get(), top.get(), IRectangle(0, 0, 800, 600),
                                    IMultiCellCanvas::Style(0, 0));
            auto children = makeChildren(canvas, count);
            for (int i = 0; i < count; ++i)
                canvas.addToCell(children[static_cast<std::size_t>(i)].get(),
                                 static_cast<unsigned long>(i % 100 + 1),
                                 static_cast<unsigned long>(i / 100 + 1));
            cellTimes.push_back(timeLayouts(canvas, count, [&](int round) {
                canvas.setColumnWidth(1, static_cast<unsigned long>(5 + round % 2));
                canvas.setRowHeight(1, static_cast<unsigned long>(4 + round % 2));
            }));
            children.clear();
        }
    }
    report("set canvas", setTimes);
    report("multi-cell canvas", cellTimes);
    top.reset();
    return 0;
}
