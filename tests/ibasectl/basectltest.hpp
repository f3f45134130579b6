// Helpers of the basic controls' tests: a shown parent window, and an observer that keeps the
// notifications it hears as tags.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <inotifev.hpp>
#include <iobserver.hpp>
#include <iwindow.hpp>
#include <detail/iscoped.hpp>

#include "ovktest.hpp"

namespace basectltest {

// The notifications of the windows it observes, in order: "ISettingButton::select=1". Only
// notifications whose id starts with a class prefix ("I...::") other than "IWindow::" are kept
// unless `all` is set: the window-level ones depend on focus and painting.
class NotificationLog : public ovktest::NotificationLog {
public:
    explicit NotificationLog(bool all = false)
    {
        describeAs(&idAndData);
        if (!all)
            keepOnly([](const INotificationEvent& event) {
                return std::string(event.notificationId()).rfind("IWindow::", 0) != 0;
            });
    }
};

// The average character width and the height of the font a window draws with, as the system
// measures them: what minimum sizes are reckoned in.
inline SIZE characterOf(HWND window)
{
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    const ovk_native::WindowDC context(window);
    const ovk_native::Selection selected(context.get(), font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(context.get(), &metrics);
    return SIZE{metrics.tmAveCharWidth, metrics.tmHeight};
}

// A shown top-level window that the tests put their controls in.
class ShownParent : public testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<ovktest::TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetWindowPos(parent->hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(parent->hwnd(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override { parent.reset(); }
    HWND parentHandle() const { return parent->hwnd(); }

    std::unique_ptr<ovktest::TestWindow> parent;
};

// A modeless dialog made from a template in memory, with items of the system classes named by
// their atoms (0x81 Edit, 0x83 ListBox, 0x85 ComboBox); destroyed with the object.
class MemoryDialog {
public:
    struct Item {
        WORD classAtom;
        DWORD style;
        WORD id;
        short y;
    };

    MemoryDialog(HWND owner, std::initializer_list<Item> items)
    {
        std::vector<WORD> words;
        const auto add32 = [&](DWORD value) {
            words.push_back(LOWORD(value));
            words.push_back(HIWORD(value));
        };
        add32(WS_POPUP | WS_CAPTION | WS_VISIBLE);
        add32(0);
        words.push_back(static_cast<WORD>(items.size()));
        for (const short value : {10, 10, 200, 150})
            words.push_back(static_cast<WORD>(value));
        words.insert(words.end(), {0, 0, 0}); // no menu, the dialog class, no title
        for (const Item& item : items) {
            if (words.size() % 2)
                words.push_back(0); // each item starts on a 32-bit boundary
            add32(WS_CHILD | WS_VISIBLE | item.style);
            add32(0);
            for (const short value : {short{5}, item.y, short{120}, short{60}})
                words.push_back(static_cast<WORD>(value));
            words.push_back(item.id);
            words.insert(words.end(), {0xFFFF, item.classAtom, 0, 0}); // no title, no data
        }
        fDialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                             owner, &MemoryDialog::procedure, 0);
    }
    ~MemoryDialog()
    {
        if (fDialog)
            DestroyWindow(fDialog);
    }
    MemoryDialog(const MemoryDialog&) = delete;
    MemoryDialog& operator=(const MemoryDialog&) = delete;
    HWND hwnd() const { return fDialog; }

private:
    static INT_PTR CALLBACK procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    HWND fDialog = nullptr;
};

} // namespace basectltest
