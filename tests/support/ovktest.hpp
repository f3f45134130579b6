// Support of the library's test programs: pumping messages, recording handlers and observers,
// test windows, pictures and pixels, temporary files, the coordinate system for a scope,
// watchdogs, expected library assertions and caught exceptions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <detail/iscoped.hpp>
#include <icoordsy.hpp>
#include <iexcept.hpp>
#include <ihandler.hpp>
#include <inotifev.hpp>
#include <iobserver.hpp>
#include <istring.hpp>
#include <iwindow.hpp>

namespace ovktest {

// Dispatches the calling thread's messages until the predicate holds or the time is up, and
// answers the predicate. Waits on the queue, never sleeps blindly. An exception that a handler
// let go (kept by the library for its caller) is thrown from here.
bool pumpUntil(const std::function<bool()>& predicate, unsigned long timeoutMilliseconds = 2000);
// Dispatches what is in the calling thread's queue now, without waiting.
void pumpPending();

// Tags in the order they were added, joined by blanks: "h2 h1 owner".
class Trace {
public:
    void add(const std::string& tag);
    std::string text() const;
    void clear();

private:
    std::vector<std::string> fTags;
};

// A handler that adds its tag to a trace for each event with its identifier, and answers what
// its action answers (by default: whether it was made to handle the event).
class RecordingHandler : public IHandler {
public:
    using Action = std::function<bool(IEvent&)>;

    RecordingHandler(Trace& trace, std::string tag, unsigned long eventId, bool handles = false);

    RecordingHandler& setAction(Action action);
    unsigned long count() const { return fCount; }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    Trace& fTrace;
    std::string fTag;
    unsigned long fEventId;
    bool fHandles;
    Action fAction;
    unsigned long fCount = 0;
};

// Owns recording handlers that share one trace; they are destroyed (and so detached) with it.
class Recorder {
public:
    explicit Recorder(unsigned long eventId) : fEventId(eventId) {}

    // A new handler attached to the window.
    RecordingHandler& attach(IWindow& window, const std::string& tag, bool handles = false);
    // A new handler not attached to anything.
    RecordingHandler& make(const std::string& tag, bool handles = false);
    std::string trace() const { return fTrace.text(); }
    Trace& traceObject() { return fTrace; }
    void clear() { fTrace.clear(); }

private:
    unsigned long fEventId;
    Trace fTrace;
    std::vector<std::unique_ptr<RecordingHandler>> fHandlers;
};

// Real mouse input, queued as the hand gives it (the thread then pumps to see it): the pointer
// to a point of the screen, the left or right button down or up.
void mouseTo(POINT screen);
void mouseButton(bool down, bool right = false);
// A left press at the screen point whose release another window takes: `thief` takes the
// capture after the press, the release goes to it and it lets the capture go; then the pointer
// hovers from the point in steps, well past a drag's distance, with no button held. Pumps the
// calling thread's messages after each input.
void pressWithLostRelease(POINT at, HWND thief);
// A left press at the screen point, moves in steps with the button held, well past a drag's
// distance, and the release; pumps after each.
void heldDrag(POINT at);
// Twice in a row at the screen point, over the window, with the drags it starts heard through
// the library's drag-start handler (and answered there, so that none runs): a press whose
// release another window takes followed by a hover, then a held drag. Answers the drags
// started after each, "lost:0 held:1 lost:0 held:1" when the window waits for a held button.
std::string dragStartsAfterALostRelease(IWindow& window, POINT at);

// Sends the message through the library, as an application would, and answers the result.
inline LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return IWindowHandle(window).sendEvent(message, wParam, lParam).asLong();
}

// Registers a window class of the test program (a class it registered already stays as it is)
// and answers the atom, 0 when the name is taken.
ATOM registerClass(const char* name, WNDPROC procedure = DefWindowProcA, UINT style = 0,
                   HCURSOR cursor = nullptr);

// A hidden native window of the test class (no CS_DBLCLKS), top-level or a child.
HWND createNativeWindow(HWND parent = nullptr, DWORD style = 0, int id = 0,
                        const char* className = nullptr);
// The name of the test window class; one with CS_DBLCLKS is registered as well.
const char* testClassName(bool doubleClicks = false);

// A window object over a new hidden native window, destroyed with the object.
class TestWindow : public IWindow {
public:
    explicit TestWindow(HWND parent = nullptr, DWORD style = 0, int id = 0,
                        const char* className = nullptr);
    HWND hwnd() const { return handle(); }
};

// The messages sent to one window's procedure on this thread while the object lives (a
// WH_CALLWNDPROC hook), in order, with their first parameters; for a null window, those sent to
// every window of the thread.
class SentMessages {
public:
    explicit SentMessages(HWND window);
    ~SentMessages();
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;

    bool hooked() const;
    int count(UINT message) const;
    // How many times each message was sent.
    std::map<UINT, int> counts() const;
    // The first parameter of each message of this number, in order.
    std::vector<WPARAM> wParamsOf(UINT message) const;

private:
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam);

    HWND fWindow;
    std::vector<std::pair<UINT, WPARAM>> fSent;
    // The hook of an enclosing object on the same thread, put back at the end.
    SentMessages* fOuter;
    HHOOK fHook;
};

// A device bitmap of one colour, compatible with the screen.
ovk_native::Bitmap solidBitmap(COLORREF colour, int width = 16, int height = 16);

// A square icon of one colour, destroyed with the object unless handed on. Its left
// `transparentColumns` columns are transparent (mask bits set), the rest opaque.
class SolidIcon {
public:
    explicit SolidIcon(COLORREF colour, int side = 16, int transparentColumns = 0);

    HICON get() const { return fIcon.get(); }
    // Hands the icon on: the object no longer destroys it.
    HICON release() { return fIcon.release(); }
    // Destroys the icon now: false when the system refuses, as for an icon already destroyed.
    bool destroy() { return fIcon.destroy(); }

private:
    ovk_native::Icon fIcon;
};

// Reads pixels back as the system keeps them: those of a window (its client area, or the whole
// window with its frame) through its device context, those of a bitmap through a memory context
// it is selected into, or those of a context someone else holds. The context is kept for the
// reader's life, so that a scan asks for it once.
class PixelReader {
public:
    enum Area { client, whole };
    explicit PixelReader(HWND window, Area area = client);
    explicit PixelReader(HBITMAP bitmap);
    // A context borrowed for the reader's life, given back by its owner.
    explicit PixelReader(HDC context);
    ~PixelReader();
    PixelReader(const PixelReader&) = delete;
    PixelReader& operator=(const PixelReader&) = delete;

    COLORREF at(int x, int y) const;
    // How many pixels of the rectangle have the colour.
    int count(COLORREF colour, const RECT& within) const;
    // Whether any pixel of the rectangle has the colour.
    bool shows(COLORREF colour, const RECT& within) const;

private:
    std::unique_ptr<ovk_native::WindowDC> fWindow;
    std::unique_ptr<ovk_native::MemoryDC> fMemory;
    // Declared after the memory context, so that the bitmap is taken out before it goes.
    std::unique_ptr<ovk_native::Selection> fSelected;
    HDC fContext = nullptr;
};

// A white 32-bit memory bitmap to draw into, its pixels read straight from its memory once the
// drawing is flushed; a pixel outside it reads as white.
class Surface {
public:
    explicit Surface(int width = 100, int height = 100);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return fDC.get(); }
    // Makes every pixel white again.
    void clear();
    COLORREF pixel(int x, int y) const;
    // Whether the colour is at the pixel or one of its eight neighbours.
    bool around(int x, int y, COLORREF colour) const;
    // How many pixels have the colour.
    int count(COLORREF colour) const;

private:
    int fWidth;
    int fHeight;
    DWORD* fBits = nullptr;
    ovk_native::MemoryDC fDC;
    ovk_native::Bitmap fBitmap;
    // Declared after the bitmap, so that it is taken out of the context before it is deleted.
    std::unique_ptr<ovk_native::Selection> fSelected;
};

// The colour of one client pixel of the window.
COLORREF pixelAt(HWND window, int x, int y);
// Whether any pixel of the window's client area has the colour: a text that a painter draws is
// found this way without knowing where its glyphs fall.
bool showsColour(HWND window, COLORREF colour);

// The window of class "MS_WINHELP" to which WinHelpA sends its requests: while it exists, the
// system help is never started, and the procedure sees every request. Gone with the object.
class SystemHelpWindow {
public:
    explicit SystemHelpWindow(WNDPROC procedure = DefWindowProcA);
    ~SystemHelpWindow();
    SystemHelpWindow(const SystemHelpWindow&) = delete;
    SystemHelpWindow& operator=(const SystemHelpWindow&) = delete;

    HWND handle() const { return fWindow; }

private:
    HWND fWindow;
};

// Counts the access violations raised while alive. The system swallows a fault in a window
// procedure that it called from inside a call like SetWindowPos, so a touch of freed memory
// there would go unseen by the test otherwise; a vectored handler sees it first.
class FaultCounter {
public:
    FaultCounter() : fHandler(AddVectoredExceptionHandler(1, &FaultCounter::count)) { sFaults = 0; }
    ~FaultCounter() { RemoveVectoredExceptionHandler(fHandler); }
    FaultCounter(const FaultCounter&) = delete;
    FaultCounter& operator=(const FaultCounter&) = delete;
    static long faults() { return sFaults; }

private:
    static LONG CALLBACK count(EXCEPTION_POINTERS* exception)
    {
        if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
            ++sFaults;
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline std::atomic<long> sFaults{0};
    void* fHandler;
};

// Sends one module's calls of a function it imports to a replacement while alive, and back to
// the original after. A test holds a thread at an exact point inside the library this way (an
// allocation or a release that the library makes through its import table) to let another
// thread run there. `original` is set before any call can reach the replacement, which forwards
// to it every call it lets through. Applied to every import of the function by that module;
// applied() is false when it has none.
class ImportPatch {
public:
    template <class Function>
    ImportPatch(const char* module, const char* function, Function replacement, Function& original)
    {
        find(module, function);
        original = reinterpret_cast<Function>(fOriginal);
        write(reinterpret_cast<void*>(replacement));
    }
    ~ImportPatch() { write(fOriginal); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool applied() const { return !fSlots.empty(); }
    // How many import entries of the module it redirected.
    int entries() const { return static_cast<int>(fSlots.size()); }

private:
    void find(const char* module, const char* function);
    void write(void* value);

    std::vector<void**> fSlots;
    void* fOriginal = nullptr;
};

// Guards a test against a mistake that would make it hang, in one of two ways.
// - Two threads that wait for each other never come back: the watcher thread then ends the
//   program with a message on stderr, and the test fails instead of hanging.
// - A message loop on the test's own thread that a mistake left running: a thread timer runs
//   the ending (by default a WM_QUIT) from inside that loop, again every period while the object
//   lives, so nested loops end one by one; fired() then tells the test.
class Watchdog {
public:
    using Ending = std::function<void()>;

    explicit Watchdog(unsigned long milliseconds, std::string what = "the threads are waiting for each other");
    Watchdog(unsigned long milliseconds, Ending ending);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Whether the ending ran (on this thread's loop); never for the first kind.
    bool fired() const;
    // Posts WM_QUIT, which ends the innermost loop of the thread.
    static void postQuit();

    struct State;

private:
    std::unique_ptr<State> fState;
};

// The library's coordinate system switched for a scope, and back however the scope ends.
class CoordinateSystem {
public:
    explicit CoordinateSystem(ICoordinateSystem::Orientation orientation);
    ~CoordinateSystem();
    CoordinateSystem(const CoordinateSystem&) = delete;
    CoordinateSystem& operator=(const CoordinateSystem&) = delete;

private:
    ICoordinateSystem::Orientation fPrevious;
};
// Both orientations, for a test that runs in each, and their names for its messages.
inline constexpr ICoordinateSystem::Orientation kOrientations[] = {
    ICoordinateSystem::kOriginUpperLeft, ICoordinateSystem::kOriginLowerLeft};
const char* nameOf(ICoordinateSystem::Orientation orientation);

// A file of the given name in the temporary folder (its long path), absent when the object is
// made and removed with it, so that neither a file an earlier run left nor one a failing test
// wrote changes the next run.
class TempFile {
public:
    explicit TempFile(const std::string& name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return fPath.c_str(); }
    // Writes the bytes as they are, replacing what the file held.
    void write(const std::string& bytes) const;
    // The bytes the file holds; none when it does not exist.
    std::string read() const;

private:
    std::string fPath;
};

// A resource of a module made for a test: type, number and the bytes.
struct BuiltResource {
    LPCSTR type;
    unsigned id;
    std::string data;
};

// Makes the file a copy of the library's resource library with these resources added (or
// replaced) under the neutral language; answers whether it could.
bool buildResourceModule(const TempFile& file, const std::vector<BuiltResource>& resources);

// Keeps what the notifiers it observes tell their observers, in order. Which notifications it
// keeps and how each reads in the trace are set by the test; both are decided while the
// notification is told, when the data it points to is still alive.
class NotificationLog : public IObserver {
public:
    struct Entry {
        std::string id;
        unsigned long data;
        bool attributeChanged;
        INotifier* notifier;
        // How the notification reads in the trace.
        std::string text;
    };
    using Keep = std::function<bool(const INotificationEvent&)>;
    using Describe = std::function<std::string(const INotificationEvent&)>;
    using Reaction = std::function<void(const INotificationEvent&)>;

    // Keeps every notification, read as its id.
    NotificationLog() = default;

    NotificationLog& keepOnly(Keep keep);
    // Keeps only the notifications with this id.
    NotificationLog& keepOnly(const std::string& id);
    NotificationLog& describeAs(Describe describe);
    // Runs after a kept notification is logged, still inside the notification.
    NotificationLog& setReaction(Reaction reaction);

    const std::vector<Entry>& entries() const { return fEntries; }
    std::vector<std::string> ids() const;
    std::vector<unsigned long> data() const;
    std::vector<std::string> texts() const;
    // How many kept notifications had the id.
    int count(const std::string& id) const;
    // The texts joined by blanks.
    std::string trace() const;
    void clear() { fEntries.clear(); }

    // Descriptions: "id=data", and the data alone as a number.
    static std::string idAndData(const INotificationEvent& event);
    static std::string dataOnly(const INotificationEvent& event);

protected:
    IObserver& dispatchNotificationEvent(const INotificationEvent& event) override;

private:
    Keep fKeep;
    Describe fDescribe;
    Reaction fReaction;
    std::vector<Entry> fEntries;
};

// Catches the library's assertions while alive instead of failing the test; the test then
// checks what was reported.
class ExpectAssertions {
public:
    ExpectAssertions();
    ~ExpectAssertions();
    ExpectAssertions(const ExpectAssertions&) = delete;
    ExpectAssertions& operator=(const ExpectAssertions&) = delete;

    const std::vector<std::string>& reports() const;
};

// The bytes of a text, embedded nulls included, for comparing with expected strings.
std::string str(const IString& text);

// What a call threw, read while the exception was alive, so that its kind (the class it was
// thrown as) is kept too; all empty when the call threw nothing.
struct Thrown {
    std::string kind;
    std::string text;
    std::string file;
    std::string function;
    unsigned long line = 0;
    unsigned long errorId = 0;
    std::size_t textCount = 0;
};
Thrown thrownBy(const std::function<void()>& call);

// What the operation threw; a failure of the test, and an exception with the text "none", when
// it threw nothing.
template <class Operation>
IException caught(Operation operation)
{
    try {
        operation();
    } catch (const IException& failure) {
        return failure;
    }
    ADD_FAILURE() << "no exception";
    return IException("none");
}

} // namespace ovktest
