// Support of the library's test programs.
#include "ovktest.hpp"

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>
#include <iassert.hpp>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace ovktest {

namespace {

LRESULT CALLBACK testProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name, UINT style)
{
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = testProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

void dispatchOne(MSG& message)
{
    TranslateMessage(&message);
    DispatchMessageA(&message);
    ICallbackGuard::rethrowPending();
}

} // namespace

bool pumpUntil(const std::function<bool()>& predicate, unsigned long timeoutMilliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
    for (;;) {
        pumpPending();
        if (predicate())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return predicate();
        // Wakes for any new message; the short cap lets predicates on other threads' work be
        // seen without a message.
        const DWORD wait = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        dispatchOne(message);
    ICallbackGuard::rethrowPending();
}

void Trace::add(const std::string& tag)
{
    fTags.push_back(tag);
}

std::string Trace::text() const
{
    std::string text;
    for (const std::string& tag : fTags) {
        if (!text.empty())
            text += ' ';
        text += tag;
    }
    return text;
}

void Trace::clear()
{
    fTags.clear();
}

RecordingHandler::RecordingHandler(Trace& trace, std::string tag, unsigned long eventId, bool handles)
    : fTrace(trace), fTag(std::move(tag)), fEventId(eventId), fHandles(handles)
{
}

RecordingHandler& RecordingHandler::setAction(Action action)
{
    fAction = std::move(action);
    return *this;
}

IBase::Boolean RecordingHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != fEventId)
        return false;
    ++fCount;
    fTrace.add(fTag);
    return fAction ? fAction(event) : fHandles;
}

RecordingHandler& Recorder::attach(IWindow& window, const std::string& tag, bool handles)
{
    RecordingHandler& handler = make(tag, handles);
    handler.handleEventsFor(&window);
    return handler;
}

RecordingHandler& Recorder::make(const std::string& tag, bool handles)
{
    fHandlers.push_back(std::make_unique<RecordingHandler>(fTrace, tag, fEventId, handles));
    return *fHandlers.back();
}

const char* testClassName(bool doubleClicks)
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        registerClass("ovktest window", 0);
        registerClass("ovktest dblclk window", CS_DBLCLKS);
    });
    return doubleClicks ? "ovktest dblclk window" : "ovktest window";
}

HWND createNativeWindow(HWND parent, DWORD style, int id, const char* className)
{
    if (parent)
        style |= WS_CHILD;
    return CreateWindowExA(0, className ? className : testClassName(), "test", style, 0, 0, 200,
                           100, parent, parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TestWindow::TestWindow(HWND parent, DWORD style, int id, const char* className)
    : IWindow(createNativeWindow(parent, style, id, className))
{
    setDestroyOnDelete(true);
}

namespace {

std::mutex gReportsMutex;
std::vector<std::string>* gReports = nullptr;

void collect(const IString& text, const IExceptionLocation&)
{
    std::lock_guard<std::mutex> lock(gReportsMutex);
    if (gReports)
        gReports->push_back(static_cast<const char*>(text));
}

IAssertion::Handler gPrevious = nullptr;

} // namespace

ExpectAssertions::ExpectAssertions()
{
    std::lock_guard<std::mutex> lock(gReportsMutex);
    gReports = new std::vector<std::string>;
    gPrevious = IAssertion::setHandler(&collect);
}

ExpectAssertions::~ExpectAssertions()
{
    IAssertion::setHandler(gPrevious);
    std::lock_guard<std::mutex> lock(gReportsMutex);
    delete gReports;
    gReports = nullptr;
}

const std::vector<std::string>& ExpectAssertions::reports() const
{
    return *gReports;
}

std::string str(const IString& text)
{
    return std::string(text.data(), text.length());
}

SolidIcon::SolidIcon(COLORREF colour, int side)
{
    const ovk_native::WindowDC screen(nullptr);
    const ovk_native::MemoryDC memory(screen.get());
    const ovk_native::Bitmap picture(CreateCompatibleBitmap(screen.get(), side, side));
    const std::vector<WORD> zeros(static_cast<std::size_t>((side + 15) / 16 * side), 0);
    const ovk_native::Bitmap mask(CreateBitmap(side, side, 1, 1, zeros.data()));
    {
        const ovk_native::Brush brush(CreateSolidBrush(colour));
        const ovk_native::Selection selected(memory.get(), picture.get());
        const RECT all{0, 0, side, side};
        FillRect(memory.get(), &all, brush.get());
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), picture.get()};
    fIcon = CreateIconIndirect(&info);
}

SolidIcon::~SolidIcon()
{
    if (fIcon != nullptr)
        DestroyIcon(fIcon);
}

SystemHelpWindow::SystemHelpWindow(WNDPROC procedure)
{
    WNDCLASSA type{};
    type.lpfnWndProc = procedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "MS_WINHELP";
    RegisterClassA(&type);
    fWindow = CreateWindowExA(0, "MS_WINHELP", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

SystemHelpWindow::~SystemHelpWindow()
{
    DestroyWindow(fWindow);
    UnregisterClassA("MS_WINHELP", GetModuleHandleA(nullptr));
}

struct Watchdog::State {
    std::mutex guard;
    std::condition_variable ended;
    bool done = false;
    std::thread watcher;
};

Watchdog::Watchdog(unsigned long milliseconds, std::string what) : fState(std::make_unique<State>())
{
    State& state = *fState;
    state.watcher = std::thread([&state, milliseconds, what] {
        std::unique_lock<std::mutex> lock(state.guard);
        if (!state.ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [&state] { return state.done; })) {
            std::fprintf(stderr, "watchdog: %s\n", what.c_str());
            std::fflush(stderr);
            std::_Exit(3);
        }
    });
}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard<std::mutex> lock(fState->guard);
        fState->done = true;
    }
    fState->ended.notify_one();
    fState->watcher.join();
}

} // namespace ovktest
