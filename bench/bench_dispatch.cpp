// The cost of the library's road for one message, and of finding a window by its handle.
//
// (a) SendMessage to a native window subclassed by a plain procedure that answers at once;
// (b) SendMessage to a window object with three handlers, where the walk passes two and the
//     third (the one attached first) handles the message.
// Then windowWithHandle among 10 and among 10,000 window objects of one thread.
// Prints the ratios (b)/(a) and lookup(10,000)/lookup(10); goals: at most 1.1 and 1.05, and a
// ratio that misses its goal says NOT MET.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include <ihandler.hpp>
#include <iwindow.hpp>

namespace {

constexpr UINT kMessage = WM_USER + 1;
constexpr int kSends = 200000;
constexpr int kLookups = 2000000;
constexpr int kRounds = 5;
constexpr double kDispatchGoal = 1.1;
constexpr double kLookupGoal = 1.05;

void printRatio(const char* what, double ratio, double goal)
{
    std::printf("%-38s %8.2f  (goal <= %.2f)%s\n", what, ratio, goal, ratio <= goal ? "" : "  NOT MET");
}

LRESULT CALLBACK plainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMessage)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

class Handler : public IHandler {
public:
    explicit Handler(bool handles) : fHandles(handles) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        if (event.eventId() != kMessage || !fHandles)
            return false;
        event.setResult(1);
        return true;
    }

private:
    bool fHandles;
};

HWND makeWindow(HWND parent = nullptr)
{
    return CreateWindowExA(0, "bench window", "", parent ? WS_CHILD : 0, 0, 0, 10, 10, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The time of one call of the body, averaged over `repetitions` calls.
template <class Body>
double timed(int repetitions, Body body)
{
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < repetitions; ++i)
        body(i);
    QueryPerformanceCounter(&stop);
    return seconds(start, stop) / repetitions;
}

// Two measurements taken in alternating rounds, each the best of its rounds: the least disturbed
// by the rest of the machine, and disturbed alike when the machine is busy.
template <class First, class Second>
std::pair<double, double> bestOfRounds(int repetitions, First first, Second second)
{
    double fastestFirst = 1e30, fastestSecond = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        fastestFirst = std::min(fastestFirst, timed(repetitions, first));
        fastestSecond = std::min(fastestSecond, timed(repetitions, second));
    }
    return {fastestFirst, fastestSecond};
}

std::pair<double, double> sendCosts(HWND plain, HWND library)
{
    LRESULT sum = 0;
    auto costs = bestOfRounds(
        kSends, [&](int) { sum += SendMessageA(plain, kMessage, 0, 0); },
        [&](int) { sum += SendMessageA(library, kMessage, 0, 0); });
    if (sum != 2 * static_cast<LRESULT>(kSends) * kRounds)
        std::printf("unexpected answers: %lld\n", static_cast<long long>(sum));
    return costs;
}

struct WindowGroup {
    std::vector<std::unique_ptr<IWindow>> windows;
    std::vector<HWND> handles;

    WindowGroup(std::size_t count, HWND parent) {
        for (std::size_t i = 0; i < count; ++i) {
            HWND handle = makeWindow(parent);
            handles.push_back(handle);
            windows.push_back(std::make_unique<IWindow>(handle));
        }
    }
    ~WindowGroup() {
        windows.clear();
        for (HWND handle : handles)
            DestroyWindow(handle);
    }
    // Steps through the handles in an order that is not the order of creation.
    bool lookUp(int i) const {
        const std::size_t index = (static_cast<std::size_t>(i) * 7919u) % handles.size();
        return IWindow::windowWithHandle(handles[index]) != nullptr;
    }
};

std::pair<double, double> lookupCosts(HWND parent)
{
    WindowGroup few(10, parent);
    WindowGroup many(10000, parent);
    std::size_t found = 0;
    auto costs = bestOfRounds(
        kLookups, [&](int i) { found += few.lookUp(i); }, [&](int i) { found += many.lookUp(i); });
    if (found != 2 * static_cast<std::size_t>(kLookups) * kRounds)
        std::printf("lookups missed\n");
    return costs;
}

} // namespace

int main()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "bench window";
    RegisterClassA(&windowClass);

    HWND plain = makeWindow();
    SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&plainProcedure));
    HWND native = makeWindow();
    IWindow window(native);
    Handler handling(true), passing1(false), passing2(false);
    handling.handleEventsFor(&window);
    passing1.handleEventsFor(&window);
    passing2.handleEventsFor(&window);
    const auto [plainCost, libraryCost] = sendCosts(plain, native);

    HWND parent = makeWindow();
    const auto [lookup10, lookup10000] = lookupCosts(parent);

    std::printf("send to a plainly subclassed window:   %8.1f ns  (platform)\n", plainCost * 1e9);
    std::printf("send to a window object, 3 handlers:   %8.1f ns\n", libraryCost * 1e9);
    printRatio("dispatch ratio (b)/(a):", libraryCost / plainCost, kDispatchGoal);
    std::printf("lookup among 10 windows:               %8.1f ns\n", lookup10 * 1e9);
    std::printf("lookup among 10,000 windows:           %8.1f ns\n", lookup10000 * 1e9);
    printRatio("lookup ratio 10,000/10:", lookup10000 / lookup10, kLookupGoal);
    DestroyWindow(parent);
    DestroyWindow(plain);
    return 0;
}
