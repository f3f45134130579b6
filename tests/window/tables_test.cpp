// The library's own tables: window sets that stay exact through many windows, and the native
// controls subclassed inside composite controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <detail/istthread.hpp>
#include <detail/iwincore.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"

using ovktest::Recorder;
using ovktest::TestWindow;

namespace {

std::size_t windowsFiled()
{
    IWindowSet* set = IStartedThread::current()->windowList();
    return set ? set->size() : 0;
}

TEST(WindowTables, AThousandWindowsComeAndGoWithoutLeavingEntriesBehind)
{
    TestWindow parent;
    const std::size_t before = windowsFiled();
    std::vector<std::unique_ptr<TestWindow>> windows;
    for (int i = 0; i < 1000; ++i)
        windows.push_back(std::make_unique<TestWindow>(parent.hwnd(), 0, i + 1));
    EXPECT_EQ(windowsFiled(), before + 1000);

    // Every third goes first, so the set's probe runs are broken up in the middle.
    std::vector<HWND> gone;
    for (std::size_t i = 0; i < windows.size(); i += 3) {
        gone.push_back(windows[i]->hwnd());
        windows[i].reset();
    }
    for (const auto& window : windows) {
        if (window) {
            ASSERT_EQ(IWindow::windowWithHandle(window->hwnd()), window.get());
        }
    }
    for (HWND handle : gone)
        EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);

    windows.clear();
    EXPECT_EQ(windowsFiled(), before);
}

// A native edit control inside a composite window: its enter, escape and tab belong to the
// composite, unless a multi-line edit wants them.
TEST(ControlProcedure, PassesTheCompositesKeysToItsOwner)
{
    struct Case {
        DWORD style;
        WPARAM character;
        bool reachesOwner;
    };
    const Case cases[] = {
        {0, '\r', true},
        {0, 0x1B, true},
        {0, '\t', true},
        {ES_MULTILINE, 0x1B, false},
        {ES_MULTILINE, '\r', true},
        {ES_MULTILINE | ES_WANTRETURN, '\r', false},
    };
    TestWindow owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.character);
        const HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | c.style, 0, 0,
                                          100, 20, owner.hwnd(), nullptr,
                                          GetModuleHandleA(nullptr), nullptr);
        IWindowCore::subclassControl(edit, owner.hwnd());
        Recorder characters(WM_CHAR);
        characters.attach(owner, "owner", true);

        SendMessageA(edit, WM_CHAR, c.character, 0);
        EXPECT_EQ(characters.trace(), c.reachesOwner ? "owner" : "");
        DestroyWindow(edit);
    }
}

TEST(ControlProcedure, TheControlsOwnProcedureStillGetsItsDestroyMessage)
{
    TestWindow owner;
    static int destroyed;
    destroyed = 0;
    struct Spy {
        static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_DESTROY)
                ++destroyed;
            return DefWindowProcA(window, message, wParam, lParam);
        }
    };
    const HWND control = ovktest::createNativeWindow(owner.hwnd(), WS_VISIBLE, 4);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Spy::procedure));
    IWindowCore::subclassControl(control, owner.hwnd());

    DestroyWindow(control);
    EXPECT_EQ(destroyed, 1);
}

} // namespace
