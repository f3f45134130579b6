// The list box's sorted add and its substring search at two sizes, beside the platform's own
// cost of the same work.
//
// Adds 1,000 and then 10,000 texts, in a shuffled order, to a hidden list box with addAscending,
// and looks with locateText (substring, case-sensitive) for a text that only the last item
// holds, so that every item is searched. The platform rows do the same work as a plain program
// would on a list box of the same style: the sorted add finds its place by a binary search over
// LB_GETTEXT with strcmp (the library's order) and inserts there with LB_INSERTSTRING; the search
// reads every item with LB_GETTEXT and looks for the text with strstr. Prints the cost per item of
// each and the ratio library / platform at each size, and how the cost per item grows from 1,000
// to 10,000 beside the platform's growth. All of it is information: the library's list box is a
// window object, so every message of its road passes its window procedure, and its road asks
// more of the control (the count, each text's length, then the text into a string of its own)
// where the plain program reads into one buffer; the ratio prices that road, and a search that
// scanned again or an add that stopped being one binary search shows as a ratio that climbs
// with the size while the platform's growth stays flat.
// Tracing stays off.
//
// Rounds: each figure is the median of its rounds, and each round runs the library's work and
// the platform's, each going first in every other round, so that a busy moment of the shared
// machine weighs on both alike.
// Seven rounds: one round strays by up to a third on a shared machine, the median of seven moved
// by about 0.3 in the ratio between runs (the search rows, whose rounds take a millisecond, the
// most).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <ilistbox.hpp>
#include <iwindow.hpp>

namespace {

constexpr int kRounds = 7;

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Cost {
    double addPerItem = 0;
    double locatePerItem = 0;
};

std::vector<std::string> textsFor(int items)
{
    std::vector<std::string> texts;
    for (int i = 0; i < items - 1; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "entry %06d", i * 7);
        texts.push_back(text);
    }
    texts.push_back("entry 9999999 needle");
    std::shuffle(texts.begin(), texts.end(), std::mt19937(12345));
    return texts;
}

Cost libraryRound(HiddenParent& parent, const std::vector<std::string>& texts)
{
    const auto items = static_cast<unsigned long>(texts.size());
    IListBox box(1, &parent, &parent, IRectangle(IPoint(0, 0), ISize(200, 200)),
                 IListBox::Style(0) | IListBox::_anyHeight);
    const double start = now();
    for (const std::string& text : texts)
        box.addAscending(text.c_str());
    const double added = now();
    const unsigned long found = box.locateText("needle", true, IBaseListBox::substring);
    const double located = now();
    if (found != items - 1)
        std::printf("unexpected: found at %lu\n", found);
    return {(added - start) / items, (located - added) / items};
}

// The item's text into the buffer, which holds every text of this bench.
void textAt(HWND box, LRESULT index, char (&text)[64])
{
    if (SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)) == LB_ERR)
        text[0] = '\0';
}

// A plain program's sorted add and search on a native list box made as the library makes its own.
Cost platformRound(HiddenParent& parent, const std::vector<std::string>& texts)
{
    const auto items = static_cast<LRESULT>(texts.size());
    const HWND box = CreateWindowExA(0, "ListBox", "", WS_CHILD | LBS_NOINTEGRALHEIGHT,
                                     0, 0, 200, 200, parent.handle(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    char text[64];
    const double start = now();
    for (const std::string& wanted : texts) {
        LRESULT low = 0, high = SendMessageA(box, LB_GETCOUNT, 0, 0) - 1;
        while (low <= high) {
            const LRESULT middle = low + (high - low) / 2;
            textAt(box, middle, text);
            if (std::strcmp(text, wanted.c_str()) <= 0)
                low = middle + 1;
            else
                high = middle - 1;
        }
        SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(low), reinterpret_cast<LPARAM>(wanted.c_str()));
    }
    const double added = now();
    LRESULT found = -1;
    for (LRESULT index = 0; index < items && found < 0; ++index) {
        textAt(box, index, text);
        if (std::strstr(text, "needle"))
            found = index;
    }
    const double located = now();
    if (found != items - 1)
        std::printf("unexpected: the platform found it at %lld\n", static_cast<long long>(found));
    DestroyWindow(box);
    return {(added - start) / static_cast<double>(items), (located - added) / static_cast<double>(items)};
}

struct Costs {
    Cost library;
    Cost platform;
};

Costs measure(HiddenParent& parent, int items)
{
    const std::vector<std::string> texts = textsFor(items);
    std::vector<double> add, locate, platformAdd, platformLocate;
    for (int round = 0; round < kRounds; ++round) {
        // Who goes first alternates too, so that neither always runs in the other's wake.
        Cost theirs;
        if (round % 2 == 1)
            theirs = platformRound(parent, texts);
        const Cost mine = libraryRound(parent, texts);
        if (round % 2 == 0)
            theirs = platformRound(parent, texts);
        add.push_back(mine.addPerItem);
        locate.push_back(mine.locatePerItem);
        platformAdd.push_back(theirs.addPerItem);
        platformLocate.push_back(theirs.locatePerItem);
    }
    return {{median(add), median(locate)}, {median(platformAdd), median(platformLocate)}};
}

void report(const char* what, int items, double library, double platform)
{
    std::printf("%-13s %6d items: library %.3f us, platform %.3f us per item, ratio %.2f "
                "(information)\n",
                what, items, library * 1e6, platform * 1e6, library / platform);
}

} // namespace

int main()
{
    HiddenParent parent;
    const Costs small = measure(parent, 1000);
    const Costs large = measure(parent, 10000);
    report("addAscending:", 1000, small.library.addPerItem, small.platform.addPerItem);
    report("addAscending:", 10000, large.library.addPerItem, large.platform.addPerItem);
    report("locateText:", 1000, small.library.locatePerItem, small.platform.locatePerItem);
    report("locateText:", 10000, large.library.locatePerItem, large.platform.locatePerItem);
    std::printf("growth 10,000 / 1,000 per item: add library %.2f, platform %.2f; "
                "locate library %.2f, platform %.2f\n",
                large.library.addPerItem / small.library.addPerItem,
                large.platform.addPerItem / small.platform.addPerItem,
                large.library.locatePerItem / small.library.locatePerItem,
                large.platform.locatePerItem / small.platform.locatePerItem);
    return 0;
}
