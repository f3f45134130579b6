// The list box's sorted add and its substring search at two sizes.
//
// Adds 1,000 and then 10,000 texts, in a shuffled order, to a hidden list box with addAscending,
// and looks with locateText (substring, case-sensitive) for a text that only the last item
// holds, so that every item is searched. Prints the cost per item of each and the ratios of
// the 10,000 size to the 1,000 one; goals: adding within 1.5 (one binary search per item, no
// re-scan), locating within 1.3 (a flat cost per item searched). Tracing stays off.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <ilistbox.hpp>
#include <iwindow.hpp>

namespace {

constexpr int kRounds = 3;

class HiddenParent : public IWindow {
public:
    HiddenParent()
    {
        startHandlingEventsFor(IWindowHandle(CreateWindowExA(
            0, "Static", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr)));
        setDestroyOnDelete();
    }
};

double now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Cost {
    double addPerItem;
    double locatePerItem;
};

Cost measure(HiddenParent& parent, int items)
{
    std::vector<std::string> texts;
    for (int i = 0; i < items - 1; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "entry %06d", i * 7);
        texts.push_back(text);
    }
    texts.push_back("entry 9999999 needle");
    std::shuffle(texts.begin(), texts.end(), std::mt19937(12345));

    Cost best{1e9, 1e9};
    for (int round = 0; round < kRounds; ++round) {
        IListBox box(1, &parent, &parent, IRectangle(IPoint(0, 0), ISize(200, 200)),
                     IListBox::Style(0) | IListBox::_anyHeight);
        const double start = now();
        for (const std::string& text : texts)
            box.addAscending(text.c_str());
        const double added = now();
        const unsigned long found = box.locateText("needle", true, IBaseListBox::substring);
        const double located = now();
        if (found != static_cast<unsigned long>(items - 1))
            std::printf("unexpected: found at %lu\n", found);
        best.addPerItem = std::min(best.addPerItem, (added - start) / items);
        best.locatePerItem = std::min(best.locatePerItem, (located - added) / items);
    }
    return best;
}

} // namespace

int main()
{
    HiddenParent parent;
    const Cost small = measure(parent, 1000);
    const Cost large = measure(parent, 10000);
    std::printf("addAscending: %.3f us per item at 1,000, %.3f us at 10,000\n",
                small.addPerItem * 1e6, large.addPerItem * 1e6);
    std::printf("locateText:   %.3f us per item at 1,000, %.3f us at 10,000\n",
                small.locatePerItem * 1e6, large.locatePerItem * 1e6);
    const double addRatio = large.addPerItem / small.addPerItem;
    const double locateRatio = large.locatePerItem / small.locatePerItem;
    std::printf("ratio 10,000 / 1,000: add %.2f (goal <= 1.5, %s), locate %.2f (goal <= 1.3, %s)\n",
                addRatio, addRatio <= 1.5 ? "met" : "missed", locateRatio,
                locateRatio <= 1.3 ? "met" : "missed");
    return 0;
}
