// Keyboard events: the library's key codes, the sorting into the four callbacks, dead keys and
// menu-bar mnemonics.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <ikeyhdr.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using eventstest::KeysDown;
using eventstest::send;
using ovktest::TestWindow;

namespace {

IKeyboardEvent keyEvent(UINT message, WPARAM key, LPARAM flags = 0)
{
    return IKeyboardEvent(IEvent(IWindowHandle(), message, key, flags));
}

constexpr LPARAM kAlt = 0x20000000;
constexpr LPARAM kExtended = 0x01000000;
constexpr LPARAM kUp = static_cast<LPARAM>(0xC0000000u);
constexpr LPARAM scan(unsigned code) { return static_cast<LPARAM>(code) << 16 | 1; }

struct KeyCase {
    WPARAM key;
    LPARAM flags;
    bool shift;
    bool ctrl;
    IKeyboardEvent::VirtualKey expected;
};

const KeyCase kKeyCases[] = {
    {VK_ESCAPE, 0, false, false, IKeyboardEvent::esc},
    {VK_TAB, 0, false, false, IKeyboardEvent::tab},
    {VK_TAB, 0, true, false, IKeyboardEvent::backTab},
    {VK_TAB, kAlt, true, false, IKeyboardEvent::tab},
    {VK_TAB, 0, true, true, IKeyboardEvent::tab},
    {VK_SPACE, 0, false, false, IKeyboardEvent::space},
    {VK_BACK, 0, false, false, IKeyboardEvent::backSpace},
    {VK_RETURN, 0, false, false, IKeyboardEvent::enter},
    {VK_RETURN, kExtended, false, false, IKeyboardEvent::newLine},
    {VK_SHIFT, 0, false, false, IKeyboardEvent::shift},
    {VK_CONTROL, 0, false, false, IKeyboardEvent::ctrl},
    {VK_INSERT, 0, false, false, IKeyboardEvent::insert},
    {VK_DELETE, 0, false, false, IKeyboardEvent::deleteKey},
    {VK_HOME, 0, false, false, IKeyboardEvent::home},
    {VK_END, 0, false, false, IKeyboardEvent::end},
    {VK_PRIOR, 0, false, false, IKeyboardEvent::pageUp},
    {VK_NEXT, 0, false, false, IKeyboardEvent::pageDown},
    {VK_LEFT, 0, false, false, IKeyboardEvent::left},
    {VK_RIGHT, 0, false, false, IKeyboardEvent::right},
    {VK_UP, 0, false, false, IKeyboardEvent::up},
    {VK_DOWN, 0, false, false, IKeyboardEvent::down},
    {VK_CAPITAL, 0, false, false, IKeyboardEvent::capsLock},
    {VK_NUMLOCK, 0, false, false, IKeyboardEvent::numLock},
    {VK_SCROLL, 0, false, false, IKeyboardEvent::scrollLock},
    {VK_PAUSE, 0, false, false, IKeyboardEvent::pause},
    {VK_CANCEL, 0, false, false, IKeyboardEvent::breakKey},
    {VK_F1, 0, false, false, IKeyboardEvent::f1},
    {VK_F2, 0, false, false, IKeyboardEvent::f2},
    {VK_F9, 0, false, false, IKeyboardEvent::f9},
    {VK_F10, 0, false, false, IKeyboardEvent::f10},
    {VK_F11, 0, false, false, IKeyboardEvent::f11},
    {VK_F24, 0, false, false, IKeyboardEvent::f24},
    {VK_LBUTTON, 0, false, false, IKeyboardEvent::button1},
    {VK_RBUTTON, 0, false, false, IKeyboardEvent::button2},
    {VK_MBUTTON, 0, false, false, IKeyboardEvent::button3},
    {'A', 0, false, false, IKeyboardEvent::otherKey},
    {VK_F24 + 1, 0, false, false, IKeyboardEvent::otherKey},
};

class KeyboardKeyCode : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyboardKeyCode, MapsTheVirtualKey)
{
    const KeyCase& c = GetParam();
    KeysDown keys(c.shift && c.ctrl ? std::initializer_list<int>{VK_SHIFT, VK_CONTROL}
                  : c.shift         ? std::initializer_list<int>{VK_SHIFT}
                  : c.ctrl          ? std::initializer_list<int>{VK_CONTROL}
                                    : std::initializer_list<int>{});
    // Backspace, Tab, Enter and Esc are virtual keys in their character message only, so that
    // each press is reported once as a virtual key.
    const UINT message = IKeyboardEvent::isSpecialKey(c.key) ? WM_CHAR : WM_KEYDOWN;
    EXPECT_EQ(keyEvent(message, c.key, c.flags).virtualKey(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyboardKeyCode, testing::ValuesIn(kKeyCases));

// Backspace, Tab, Enter and Esc are virtual keys even as characters.
TEST(KeyboardEvent, SpecialKeysAsCharactersAreVirtualOthersAreCharacters)
{
    const IKeyboardEvent tab = keyEvent(WM_CHAR, VK_TAB);
    EXPECT_TRUE(tab.isVirtual());
    EXPECT_FALSE(tab.isCharacter());
    EXPECT_EQ(tab.virtualKey(), IKeyboardEvent::tab);
    const IKeyboardEvent a = keyEvent(WM_CHAR, 'a', 3);
    EXPECT_TRUE(a.isCharacter());
    EXPECT_FALSE(a.isVirtual());
    EXPECT_EQ(a.character(), 'a');
    EXPECT_EQ(a.mixedCharacter(), "a");
    EXPECT_EQ(a.repeatCount(), 3u);
    EXPECT_TRUE(keyEvent(WM_DEADCHAR, '^').isDeadKey());
    EXPECT_EQ(keyEvent(WM_KEYDOWN, 'A', scan(0x1E)).scanCode(), 0x1Eu);
}

struct Misuse {
    UINT message;
    WPARAM key;
    LPARAM flags;
    int accessor;  // 0 scanCode, 1 virtualKey, 2 character, 3 mixedCharacter
    unsigned long number;
};

const Misuse kMisuses[] = {
    {WM_CHAR, 'a', scan(0x1E), 0, OVK_MSG_NO_SCAN_CODE},
    {WM_KEYDOWN, 'A', 0, 0, OVK_MSG_NO_SCAN_CODE},
    {WM_CHAR, 'a', 0, 1, OVK_MSG_NO_VIRTUAL_KEY},
    {WM_KEYDOWN, 'A', 0, 2, OVK_MSG_NO_CHARACTER},
    {WM_CHAR, VK_RETURN, 0, 3, OVK_MSG_NO_CHARACTER},
};

TEST(KeyboardEvent, AccessorsWithoutTheirValueThrowTheirMessage)
{
    for (const Misuse& m : kMisuses) {
        const IKeyboardEvent event = keyEvent(m.message, m.key, m.flags);
        try {
            switch (m.accessor) {
            case 0: event.scanCode(); break;
            case 1: event.virtualKey(); break;
            case 2: event.character(); break;
            default: event.mixedCharacter(); break;
            }
            ADD_FAILURE() << "accessor " << m.accessor << " did not throw";
        } catch (const IInvalidRequest& e) {
            EXPECT_EQ(e.errorId(), m.number) << "accessor " << m.accessor;
            EXPECT_STREQ(e.locationAtIndex(0)->fileName(), "ikeyevt");
        }
    }
}

// Records each callback it reaches; the one named in `handles` answers true.
class KeyLog : public IKeyboardHandler {
public:
    std::string calls;
    std::string handles;
    std::string flags;

protected:
    IBase::Boolean keyWithScanCode(IKeyboardEvent& e) override { return log("scan", e); }
    IBase::Boolean nonCharacterKey(IKeyboardEvent& e) override { return log("virtual", e); }
    IBase::Boolean characterKey(IKeyboardEvent& e) override { return log("char", e); }
    IBase::Boolean anyKey(IKeyboardEvent& e) override { return log("any", e); }

private:
    IBase::Boolean log(const std::string& name, IKeyboardEvent& e)
    {
        calls += (calls.empty() ? "" : " ") + name;
        if (e.isComposed())
            flags += "composed ";
        if (e.isRepeatedDeadKey())
            flags += "repeated ";
        e.setResult(3);
        return name == handles;
    }
};

struct SortCase {
    UINT message;
    WPARAM key;
    LPARAM flags;
    const char* handles;
    const char* expected;
};

const SortCase kSortCases[] = {
    {WM_KEYDOWN, VK_LEFT, scan(0x4B), "", "scan virtual any"},
    {WM_KEYDOWN, VK_LEFT, 1, "", "virtual any"},
    {WM_KEYDOWN, 'A', scan(0x1E), "", "scan any"},
    {WM_CHAR, 'a', scan(0x1E), "", "char any"},
    {WM_CHAR, VK_TAB, scan(0x0F), "", "scan virtual any"},
    {WM_SYSKEYDOWN, VK_F10, scan(0x44), "", "scan virtual any"},
    {WM_KEYUP, VK_LEFT, kUp | scan(0x4B), "", "any"},
    {WM_CHAR, 'a', kUp, "", "any"},
    {WM_DEADCHAR, '^', scan(0x29), "", "any"},
    {WM_KEYDOWN, VK_LEFT, scan(0x4B), "scan", "scan"},
    {WM_KEYDOWN, VK_LEFT, scan(0x4B), "virtual", "scan virtual"},
    {WM_CHAR, 'a', 1, "char", "char"},
    {WM_MOUSEMOVE, 0, 0, "", ""},
};

class KeyboardSort : public testing::TestWithParam<SortCase> {};

TEST_P(KeyboardSort, ReachesTheCallbacksInOrderUntilOneHandles)
{
    const SortCase& c = GetParam();
    TestWindow window;
    KeyLog handler;
    handler.handles = c.handles;
    handler.handleEventsFor(&window);
    const LRESULT result = send(window.hwnd(), c.message, c.key, c.flags);
    EXPECT_EQ(handler.calls, c.expected);
    EXPECT_EQ(result, *c.handles ? 3 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyboardSort, testing::ValuesIn(kSortCases));

TEST(KeyboardDeadKey, SameCharacterRepeatsOtherCharacterComposes)
{
    TestWindow window;
    KeyLog handler;
    handler.handleEventsFor(&window);
    send(window.hwnd(), WM_DEADCHAR, '^', 1);
    send(window.hwnd(), WM_CHAR, '^', 1);
    EXPECT_EQ(handler.flags, "repeated repeated ");
    handler.flags.clear();
    send(window.hwnd(), WM_DEADCHAR, '^', 1);
    send(window.hwnd(), WM_CHAR, 0xEA, 1);
    send(window.hwnd(), WM_CHAR, 'e', 1);
    EXPECT_EQ(handler.flags, "composed composed ");
}

// A frame with a menu bar and a child.
class KeyboardMnemonic : public testing::Test {
protected:
    void SetUp() override
    {
        menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, 1, "&File");
        AppendMenuA(menu, MF_STRING, 2, "E&dit");
        AppendMenuA(menu, MF_STRING, 3, "Help");
        frame = std::make_unique<TestWindow>(nullptr, WS_OVERLAPPEDWINDOW);
        SetMenu(frame->hwnd(), menu);
        child = std::make_unique<TestWindow>(frame->hwnd(), 0, 5);
        handler.handleEventsFor(child.get());
    }
    void TearDown() override
    {
        handler.stopHandlingEventsFor(child.get());
        child.reset();
        frame.reset();
    }

    HMENU menu = nullptr;
    std::unique_ptr<TestWindow> frame;
    std::unique_ptr<TestWindow> child;
    KeyLog handler;
};

TEST_F(KeyboardMnemonic, MnemonicsOfTheFrameMenuBarAreLeftToTheMenu)
{
    struct Case {
        WPARAM character;
        const char* expected;
    };
    // Menu mnemonics match either case, as Windows matches them.
    const Case cases[] = {{'F', ""}, {'f', ""}, {'d', ""}, {'q', "char any"}, {'H', "char any"}};
    // The menu bar is read through the menu objects, on either of their platform roads.
    for (bool extendedMenus : {true, false}) {
        IPlatform::Override road(IPlatform::newShell, extendedMenus);
        IPlatform::Override consumer(IPlatform::consumerNewShell, false);
        for (const Case& c : cases) {
            handler.calls.clear();
            send(child->hwnd(), WM_SYSCHAR, c.character, kAlt | 1);
            EXPECT_EQ(handler.calls, c.expected)
                << static_cast<char>(c.character) << " extended " << extendedMenus;
        }
    }
}

} // namespace
