// Support of the library's test programs.
#include "ovktest.hpp"

#include <detail/icallgrd.hpp>
#include <idll.hpp>
#include <detail/iscoped.hpp>
#include <iassert.hpp>
#include <idmdshdr.hpp>
#include <iprivmsg.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>

namespace ovktest {

namespace {

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

// Absolute coordinates of mouse input run from 0 to 65535 across the primary screen.
void mouseTo(POINT screen)
{
    const int width = std::max(GetSystemMetrics(SM_CXSCREEN) - 1, 1);
    const int height = std::max(GetSystemMetrics(SM_CYSCREEN) - 1, 1);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(screen.x, 65535, width),
                MulDiv(screen.y, 65535, height), 0, 0);
}

void mouseButton(bool down, bool right)
{
    const DWORD flags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                              : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    mouse_event(flags, 0, 0, 0, 0);
}

namespace {

// Each step of the pointer or a button, and the messages it makes dispatched.
void inputAndPump(const std::function<void()>& input)
{
    input();
    pumpUntil([] { return false; }, 30);
}

// A press later than the double-click time after the last one: a press sooner at the same place
// would be a double click.
void waitOutDoubleClick()
{
    pumpUntil([] { return false; }, GetDoubleClickTime() + 50);
}

} // namespace

void pressWithLostRelease(POINT at, HWND thief)
{
    waitOutDoubleClick();
    inputAndPump([&] { mouseTo(at); });
    inputAndPump([] { mouseButton(true); });
    SetCapture(thief);
    inputAndPump([] { mouseButton(false); });
    if (GetCapture() == thief)
        ReleaseCapture();
    for (int step = 1; step <= 4; ++step)
        inputAndPump([&] { mouseTo(POINT{at.x + 3 * step, at.y + step}); });
    inputAndPump([&] { mouseTo(at); });
}

void heldDrag(POINT at)
{
    waitOutDoubleClick();
    inputAndPump([&] { mouseTo(at); });
    inputAndPump([] { mouseButton(true); });
    for (int step = 1; step <= 4; ++step)
        inputAndPump([&] { mouseTo(POINT{at.x + 3 * step, at.y + step}); });
    inputAndPump([] { mouseButton(false); });
}

std::string dragStartsAfterALostRelease(IWindow& window, POINT at)
{
    IDMDragStartHandler starter;
    starter.handleEventsFor(&window);
    Recorder starts(IPrivateMessage::dragStart);
    RecordingHandler& started = starts.attach(window, "start", true);
    // Another window of the program, hidden, which takes the capture.
    TestWindow thief;
    std::string seen;
    for (int round = 0; round < 2; ++round) {
        const unsigned long before = started.count();
        pressWithLostRelease(at, thief.hwnd());
        const unsigned long afterLost = started.count();
        heldDrag(at);
        seen += (round ? " lost:" : "lost:") + std::to_string(afterLost - before) +
                " held:" + std::to_string(started.count() - afterLost);
    }
    starter.stopHandlingEventsFor(&window);
    return seen;
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

ATOM registerClass(const char* name, WNDPROC procedure, UINT style, HCURSOR cursor)
{
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass);
}

const char* testClassName(bool doubleClicks)
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
        registerClass("ovktest window", DefWindowProcA, 0, arrow);
        registerClass("ovktest dblclk window", DefWindowProcA, CS_DBLCLKS, arrow);
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

namespace {

// Hook procedures are told nothing but the message: the object that records is found per thread.
thread_local SentMessages* tRecording = nullptr;

} // namespace

SentMessages::SentMessages(HWND window)
    : fWindow(window), fOuter(tRecording),
      // One hook serves every object of the thread; an enclosing object's hook is already in.
      fHook(fOuter != nullptr ? nullptr
                              : SetWindowsHookExA(WH_CALLWNDPROC, &SentMessages::record, nullptr,
                                                  GetCurrentThreadId()))
{
    tRecording = this;
}

bool SentMessages::hooked() const
{
    return fHook != nullptr || (fOuter != nullptr && fOuter->hooked());
}

SentMessages::~SentMessages()
{
    if (fHook != nullptr)
        UnhookWindowsHookEx(fHook);
    tRecording = fOuter;
}

int SentMessages::count(UINT message) const
{
    int found = 0;
    for (const auto& sent : fSent)
        found += sent.first == message;
    return found;
}

std::map<UINT, int> SentMessages::counts() const
{
    std::map<UINT, int> found;
    for (const auto& sent : fSent)
        ++found[sent.first];
    return found;
}

std::vector<WPARAM> SentMessages::wParamsOf(UINT message) const
{
    std::vector<WPARAM> found;
    for (const auto& sent : fSent)
        if (sent.first == message)
            found.push_back(sent.second);
    return found;
}

LRESULT CALLBACK SentMessages::record(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    for (SentMessages* recording = tRecording; code == HC_ACTION && recording != nullptr;
         recording = recording->fOuter)
        if (recording->fWindow == nullptr || sent->hwnd == recording->fWindow)
            recording->fSent.emplace_back(sent->message, sent->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

ovk_native::Bitmap solidBitmap(COLORREF colour, int width, int height)
{
    const ovk_native::WindowDC screen(nullptr);
    ovk_native::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const ovk_native::MemoryDC memory(screen.get());
    const ovk_native::Brush brush(CreateSolidBrush(colour));
    const ovk_native::Selection selected(memory.get(), bitmap.get());
    const RECT all{0, 0, width, height};
    FillRect(memory.get(), &all, brush.get());
    return bitmap;
}

namespace {

HICON makeSolidIcon(COLORREF colour, int side, int transparentColumns)
{
    // Mask rows are padded to 16 bits, the leftmost pixel in the high bit of the first byte.
    const int rowBytes = (side + 15) / 16 * 2;
    std::vector<BYTE> maskBits(static_cast<std::size_t>(rowBytes * side), 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < transparentColumns && x < side; ++x)
            maskBits[static_cast<std::size_t>(y * rowBytes + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    const ovk_native::Bitmap mask(CreateBitmap(side, side, 1, 1, maskBits.data()));
    const ovk_native::Bitmap picture = solidBitmap(colour, side, side);
    ICONINFO info{TRUE, 0, 0, mask.get(), picture.get()};
    return CreateIconIndirect(&info);
}

} // namespace

SolidIcon::SolidIcon(COLORREF colour, int side, int transparentColumns)
    : fIcon(makeSolidIcon(colour, side, transparentColumns))
{
}

PixelReader::PixelReader(HWND window, Area area)
    : fWindow(std::make_unique<ovk_native::WindowDC>(
          window, area == whole ? ovk_native::WindowDC::whole : ovk_native::WindowDC::client)),
      fContext(fWindow->get())
{
}

PixelReader::PixelReader(HBITMAP bitmap)
    : fMemory(std::make_unique<ovk_native::MemoryDC>(nullptr)),
      fSelected(std::make_unique<ovk_native::Selection>(fMemory->get(), bitmap)),
      fContext(fMemory->get())
{
}

PixelReader::PixelReader(HDC context) : fContext(context)
{
}

PixelReader::~PixelReader() = default;

COLORREF PixelReader::at(int x, int y) const
{
    return GetPixel(fContext, x, y);
}

int PixelReader::count(COLORREF colour, const RECT& within) const
{
    int found = 0;
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            found += at(x, y) == colour;
    return found;
}

bool PixelReader::shows(COLORREF colour, const RECT& within) const
{
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (at(x, y) == colour)
                return true;
    return false;
}

Surface::Surface(int width, int height) : fWidth(width), fHeight(height), fDC(nullptr)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, so that row y is the y-th in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fBitmap.reset(CreateDIBSection(fDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fBits = static_cast<DWORD*>(bits);
    fSelected = std::make_unique<ovk_native::Selection>(fDC.get(), fBitmap.get());
    clear();
}

void Surface::clear()
{
    GdiFlush();
    for (int i = 0; i < fWidth * fHeight; ++i)
        fBits[i] = 0x00FFFFFF;
}

COLORREF Surface::pixel(int x, int y) const
{
    // The system may still hold drawing back: what is in memory is current only after a flush.
    GdiFlush();
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return RGB(255, 255, 255);
    const DWORD bgr = fBits[y * fWidth + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

bool Surface::around(int x, int y, COLORREF colour) const
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (pixel(x + dx, y + dy) == colour)
                return true;
    return false;
}

int Surface::count(COLORREF colour) const
{
    int found = 0;
    for (int y = 0; y < fHeight; ++y)
        for (int x = 0; x < fWidth; ++x)
            found += pixel(x, y) == colour;
    return found;
}

COLORREF pixelAt(HWND window, int x, int y)
{
    return PixelReader(window).at(x, y);
}

bool showsColour(HWND window, COLORREF colour)
{
    RECT client{};
    GetClientRect(window, &client);
    return PixelReader(window).shows(colour, client);
}

SystemHelpWindow::SystemHelpWindow(WNDPROC procedure)
{
    registerClass("MS_WINHELP", procedure);
    fWindow = CreateWindowExA(0, "MS_WINHELP", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

SystemHelpWindow::~SystemHelpWindow()
{
    DestroyWindow(fWindow);
    UnregisterClassA("MS_WINHELP", GetModuleHandleA(nullptr));
}

struct Watchdog::State {
    // The first kind: a thread that waits for the object's end.
    std::mutex guard;
    std::condition_variable ended;
    bool done = false;
    std::thread watcher;
    // The second kind: a timer of the thread that made the object.
    Ending ending;
    UINT_PTR timer = 0;
    bool fired = false;
};

namespace {

// Thread timers call back with their id alone, and each thread numbers its own timers: the
// table is per thread, so that two threads' watchdogs never find each other's state.
thread_local std::map<UINT_PTR, Watchdog::State*> tWatchdogs;

void CALLBACK fireWatchdog(HWND, UINT, UINT_PTR timer, DWORD)
{
    const auto found = tWatchdogs.find(timer);
    if (found == tWatchdogs.end())
        return;
    found->second->fired = true;
    found->second->ending();
}

} // namespace

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

Watchdog::Watchdog(unsigned long milliseconds, Ending ending) : fState(std::make_unique<State>())
{
    fState->ending = ending ? std::move(ending) : Ending(&Watchdog::postQuit);
    fState->timer = SetTimer(nullptr, 0, milliseconds, &fireWatchdog);
    tWatchdogs[fState->timer] = fState.get();
}

Watchdog::~Watchdog()
{
    if (fState->timer != 0) {
        KillTimer(nullptr, fState->timer);
        tWatchdogs.erase(fState->timer);
    }
    if (!fState->watcher.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(fState->guard);
        fState->done = true;
    }
    fState->ended.notify_one();
    fState->watcher.join();
}

bool Watchdog::fired() const
{
    return fState->fired;
}

void Watchdog::postQuit()
{
    PostQuitMessage(0);
}

CoordinateSystem::CoordinateSystem(ICoordinateSystem::Orientation orientation)
    : fPrevious(ICoordinateSystem::applicationOrientation())
{
    ICoordinateSystem::setApplicationOrientation(orientation);
}

CoordinateSystem::~CoordinateSystem()
{
    ICoordinateSystem::setApplicationOrientation(fPrevious);
}

const char* nameOf(ICoordinateSystem::Orientation orientation)
{
    return orientation == ICoordinateSystem::kOriginLowerLeft ? "origin bottom left"
                                                              : "origin top left";
}

TempFile::TempFile(const std::string& name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    // The long form, as the file dialogs and the shell give paths back.
    char longFolder[MAX_PATH] = {};
    if (GetLongPathNameA(folder, longFolder, MAX_PATH) == 0)
        std::snprintf(longFolder, sizeof longFolder, "%s", folder);
    fPath = std::string(longFolder) + name;
    DeleteFileA(fPath.c_str());
}

TempFile::~TempFile()
{
    DeleteFileA(fPath.c_str());
}

void TempFile::write(const std::string& bytes) const
{
    std::ofstream(fPath, std::ios::binary) << bytes;
}

std::string TempFile::read() const
{
    std::ifstream file(fPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool buildResourceModule(const TempFile& file, const std::vector<BuiltResource>& resources)
{
    const IDynamicLinkLibrary source("ovkres");
    if (!CopyFileA(str(source.fileName()).c_str(), file.path(), FALSE))
        return false;
    HANDLE update = BeginUpdateResourceA(file.path(), FALSE);
    if (!update)
        return false;
    const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    bool added = true;
    for (const BuiltResource& resource : resources) {
        std::string data = resource.data;
        added = added && UpdateResourceA(update, resource.type, MAKEINTRESOURCEA(resource.id),
                                         neutral, &data[0], static_cast<DWORD>(data.size()));
    }
    // Ending with the discard flag leaves the copy as it was when a resource did not go in.
    return EndUpdateResourceA(update, !added) && added;
}

NotificationLog& NotificationLog::keepOnly(Keep keep)
{
    fKeep = std::move(keep);
    return *this;
}

NotificationLog& NotificationLog::keepOnly(const std::string& id)
{
    return keepOnly([id](const INotificationEvent& event) { return event.notificationId() == id; });
}

NotificationLog& NotificationLog::describeAs(Describe describe)
{
    fDescribe = std::move(describe);
    return *this;
}

void ImportPatch::find(const char* module, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(module));
    if (!base)
        return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name; ++library) {
        if (!library->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(name->Name), function) != 0)
                continue;
            void** slot = reinterpret_cast<void**>(&slots->u1.Function);
            fOriginal = *slot;
            fSlots.push_back(slot);
        }
    }
}

// The slots are written while other threads may call through them: one aligned pointer store,
// which a caller sees either before or after, never half made.
void ImportPatch::write(void* value)
{
    for (void** slot : fSlots) {
        DWORD old = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
}

NotificationLog& NotificationLog::setReaction(Reaction reaction)
{
    fReaction = std::move(reaction);
    return *this;
}

std::vector<std::string> NotificationLog::ids() const
{
    std::vector<std::string> ids;
    for (const Entry& entry : fEntries)
        ids.push_back(entry.id);
    return ids;
}

std::vector<unsigned long> NotificationLog::data() const
{
    std::vector<unsigned long> data;
    for (const Entry& entry : fEntries)
        data.push_back(entry.data);
    return data;
}

std::vector<std::string> NotificationLog::texts() const
{
    std::vector<std::string> texts;
    for (const Entry& entry : fEntries)
        texts.push_back(entry.text);
    return texts;
}

int NotificationLog::count(const std::string& id) const
{
    int found = 0;
    for (const Entry& entry : fEntries)
        found += entry.id == id;
    return found;
}

std::string NotificationLog::trace() const
{
    std::string text;
    for (const Entry& entry : fEntries)
        text += (text.empty() ? "" : " ") + entry.text;
    return text;
}

std::string NotificationLog::idAndData(const INotificationEvent& event)
{
    return std::string(event.notificationId()) + "=" + dataOnly(event);
}

std::string NotificationLog::dataOnly(const INotificationEvent& event)
{
    return std::to_string(static_cast<unsigned long>(event.eventData().asUnsignedLong()));
}

IObserver& NotificationLog::dispatchNotificationEvent(const INotificationEvent& event)
{
    if (fKeep && !fKeep(event))
        return *this;
    fEntries.push_back({event.notificationId(),
                        static_cast<unsigned long>(event.eventData().asUnsignedLong()),
                        event.hasNotifierAttrChanged() != 0, &event.notifier(),
                        fDescribe ? fDescribe(event) : std::string(event.notificationId())});
    if (fReaction)
        fReaction(event);
    return *this;
}

Thrown thrownBy(const std::function<void()>& call)
{
    Thrown thrown;
    try {
        call();
    } catch (const IException& e) {
        thrown.kind = e.name();
        thrown.text = str(e.text(0));
        thrown.errorId = e.errorId();
        thrown.textCount = e.textCount();
        if (const IExceptionLocation* where = e.locationAtIndex(0)) {
            thrown.file = str(where->fileName());
            thrown.function = str(where->functionName());
            thrown.line = where->lineNumber();
        }
    }
    return thrown;
}

} // namespace ovktest
