// Support of the library's test programs: pumping messages, recording handlers, test windows,
// expected library assertions and caught exceptions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <iexcept.hpp>
#include <ihandler.hpp>
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

// Sends the message through the library, as an application would, and answers the result.
inline LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return IWindowHandle(window).sendEvent(message, wParam, lParam).asLong();
}

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

// An opaque square icon of one colour (its mask all zeros), destroyed with the object.
class SolidIcon {
public:
    explicit SolidIcon(COLORREF colour, int side = 16);
    ~SolidIcon();
    SolidIcon(const SolidIcon&) = delete;
    SolidIcon& operator=(const SolidIcon&) = delete;

    HICON get() const { return fIcon; }

private:
    HICON fIcon;
};

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

// Ends the program with a message on stderr when it is still alive after the time given: two
// threads that wait for each other never come back, and a test then fails instead of hanging.
class Watchdog {
public:
    explicit Watchdog(unsigned long milliseconds, std::string what = "the threads are waiting for each other");
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    struct State;
    std::unique_ptr<State> fState;
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
