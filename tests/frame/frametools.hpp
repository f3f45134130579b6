// Helpers of the frame subsystem's tests: the menu roads, a native menu as text, and a driver
// that answers the next message box.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <iplatfrm.hpp>
#include <ireslib.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ovktest.hpp"

namespace frametest {

// The menus take the extended menu-item calls or the classic ones as the platform answers;
// a test picks one for its lifetime.
class MenuRoad {
public:
    explicit MenuRoad(bool extended)
        : fNewShell(IPlatform::newShell, extended),
          fConsumerNewShell(IPlatform::consumerNewShell, false) {}

private:
    IPlatform::Override fNewShell;
    IPlatform::Override fConsumerNewShell;
};

// The test program's own resources: its resource scripts are linked into it.
const IResourceLibrary& self();

// Presses a dialog's button as its keyboard interface would: the command reaches the dialog
// through the queue, from whatever loop runs it then.
void press(HWND dialog, int button);

// A window's text and its class name.
std::string windowText(HWND window);
std::string className(HWND window);

// A native menu as text, read with the platform's calls (never the library's): per item
// "text" for a string (with "(c)" when checked, "(d)" when disabled), "-" for a separator,
// and its sub-menu in brackets; items separated by "|".
std::string describeMenu(HMENU menu);

// Inserts an item that opens `submenu` at `position`, with an identifier of its own (which
// AppendMenu would not give).
void insertCascade(HMENU menu, UINT position, UINT id, HMENU submenu, const char* text);

// While it lives, the library's thread posts (PostThreadMessageA, imported by ovkwin.dll) of
// one message number are refused with ERROR_NOT_ENOUGH_QUOTA, as a full queue refuses them;
// Wine's queues never fill, so this is the only way to see a refused post here. Other posts
// pass through.
class RefusedThreadPosts {
public:
    explicit RefusedThreadPosts(UINT message);
    ~RefusedThreadPosts();
    RefusedThreadPosts(const RefusedThreadPosts&) = delete;
    RefusedThreadPosts& operator=(const RefusedThreadPosts&) = delete;

    // Whether the library's import was found and redirected.
    bool armed() const;
    // How many posts were refused so far.
    int refused() const;

private:
    std::unique_ptr<ovktest::ImportPatch> fPatch;
};

// What a message box showed before the driver answered it.
struct BoxSeen {
    bool found = false;
    // The box did not end on its answer and was ended by force.
    bool forced = false;
    std::string title;
    HWND owner = nullptr;
    // The texts of its static controls and of its buttons, in window order.
    std::vector<std::string> statics;
    std::vector<std::string> buttons;
};

// Answers the next message box of the calling thread: a thread timer looks for the box (a
// "#32770" window of this thread), notes what it shows and posts it the command `answer`.
// A box that outlives its answer by five seconds is ended by force, so a mistake fails instead
// of hanging.
class BoxDriver {
public:
    struct State;

    explicit BoxDriver(WPARAM answer);
    ~BoxDriver();
    BoxDriver(const BoxDriver&) = delete;
    BoxDriver& operator=(const BoxDriver&) = delete;

    const BoxSeen& seen() const;

private:
    std::unique_ptr<State> fState;
};

// Runs actions on the calling thread after a delay, from whatever message loop runs then
// (thread timers); actions still pending when the object goes are cancelled. A watchdog posts
// WM_QUIT now and then, so that a loop a mistake left running ends and the test fails instead
// of hanging.
class Later {
public:
    explicit Later(unsigned long watchdogMilliseconds = 5000);
    ~Later();
    Later(const Later&) = delete;
    Later& operator=(const Later&) = delete;

    Later& after(unsigned long milliseconds, std::function<void()> action);
    bool watchdogFired() const { return fWatchdog.fired(); }

private:
    ovktest::Watchdog fWatchdog;
};

} // namespace frametest
