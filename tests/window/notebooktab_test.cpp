// The notebook's tab-control handler, with a small notebook of the test's own: a window that
// keeps a native tab control and a row of page windows and records what is asked of it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <inbtab.hpp>
#include <iprivmsg.hpp>

#include "ovktest.hpp"

using ovktest::send;
using ovktest::TestWindow;

namespace {

void loadTabControlClass()
{
    // The tab control's class comes with the common controls, which the test loads itself.
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const bool loaded = [] {
        HMODULE module = LoadLibraryA("comctl32.dll");
        auto init = reinterpret_cast<Init>(
            reinterpret_cast<void*>(GetProcAddress(module, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
        return init && init(&controls);
    }();
    ASSERT_TRUE(loaded);
}

// A page window that records being given the focus.
class PageWindow : public TestWindow {
public:
    PageWindow(HWND parent, std::string& journal, int number)
        : TestWindow(parent, WS_CHILD), fJournal(journal), fNumber(number) {}
    IWindow& setFocus() override
    {
        fJournal += "focus:" + std::to_string(fNumber) + " ";
        return *this;
    }

private:
    std::string& fJournal;
    int fNumber;
};

// Pages are numbered from 1; 0 is no page.
class TestNotebook : public TestWindow, public INotebookTabOwner {
public:
    explicit TestNotebook(int pages) : TestWindow(nullptr, WS_OVERLAPPED)
    {
        tab = std::make_unique<IWindow>(IWindowHandle(CreateWindowExA(
            0, WC_TABCONTROLA, "", WS_CHILD, 0, 0, 100, 50, hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), GetModuleHandleA(nullptr),
            nullptr)));
        for (int number = 1; number <= pages; ++number)
            fPages.push_back(std::make_unique<PageWindow>(hwnd(), journal, number));
    }
    ~TestNotebook() override { tab.reset(); }

    PageHandle topPage() const override { return top; }
    PageHandle nextPage(PageHandle page) const override
    {
        return page < fPages.size() ? page + 1 : 0;
    }
    PageHandle previousPage(PageHandle page) const override { return page > 1 ? page - 1 : 0; }
    INotebookTabOwner& turnToPage(PageHandle page) override
    {
        journal += "turn:" + std::to_string(page) + " ";
        top = page;
        return *this;
    }
    IWindow* window(PageHandle page) const override
    {
        return page && page <= fPages.size() && withWindows ? fPages[page - 1].get() : nullptr;
    }
    INotebookTabOwner& tabControlResize(const ISize& size) override
    {
        journal += "resize:" + std::to_string(size.width()) + "x" +
                   std::to_string(size.height()) + " ";
        return *this;
    }
    IBase::Boolean processTabSelect(void* record, IBase::Boolean changing) override
    {
        const auto* header = static_cast<NMHDR*>(record);
        journal += std::string(changing ? "changing" : "changed") + ":" +
                   std::to_string(header->idFrom) + " ";
        return vetoChange;
    }
    INotebookTabOwner& processClose() override
    {
        journal += "close ";
        return *this;
    }

    static constexpr int kTabId = 77;
    std::string journal;
    PageHandle top = 1;
    bool withWindows = true;
    bool vetoChange = false;
    std::unique_ptr<IWindow> tab;

private:
    std::vector<std::unique_ptr<PageWindow>> fPages;
};

class NotebookTab : public testing::Test {
protected:
    static void SetUpTestSuite() { loadTabControlClass(); }
    void SetUp() override
    {
        notebook = std::make_unique<TestNotebook>(3);
        handler.handleEventsFor(notebook.get());
        handler.handleEventsFor(notebook->tab.get());
    }
    void TearDown() override { notebook.reset(); }
    HWND tab() const { return notebook->tab->handle(); }

    INotebookTabHandler handler;
    std::unique_ptr<TestNotebook> notebook;
};

struct KeyCase {
    const char* keys;
    WPARAM key;
    bool alt;
    std::initializer_list<int> modifiers;
    INotebookTabOwner::PageHandle top;
    const char* journal;
};

const KeyCase kKeyCases[] = {
    {"Alt+Page Down", VK_NEXT, true, {}, 1, "turn:2 "},
    {"Alt+Page Up", VK_PRIOR, true, {}, 2, "turn:1 "},
    {"Alt+Down", VK_DOWN, true, {}, 2, "focus:2 "},
    // No page beyond the ends.
    {"Alt+Page Up on the first page", VK_PRIOR, true, {}, 1, ""},
    {"Alt+Page Down on the last page", VK_NEXT, true, {}, 3, ""},
    {"Alt+Down with no top page", VK_DOWN, true, {}, 0, ""},
    // Only Alt alone makes these keys turn pages.
    {"Page Down", VK_NEXT, false, {}, 1, ""},
    {"Alt+Shift+Page Down", VK_NEXT, true, {VK_SHIFT}, 1, ""},
    {"Alt+Ctrl+Page Up", VK_PRIOR, true, {VK_CONTROL}, 2, ""},
    {"Alt+Up", VK_UP, true, {}, 2, ""},
};

TEST_F(NotebookTab, AltKeysOnTheTabControlTurnPagesAndFocusTheTopPage)
{
    for (const KeyCase& c : kKeyCases) {
        BYTE saved[256];
        BYTE state[256];
        GetKeyboardState(saved);
        GetKeyboardState(state);
        for (int key : c.modifiers)
            state[key] = 0x80;
        SetKeyboardState(state);
        notebook->journal.clear();
        notebook->top = c.top;
        send(tab(), WM_SYSKEYDOWN, c.key, c.alt ? 0x20000001 : 1);
        SetKeyboardState(saved);
        EXPECT_EQ(notebook->journal, c.journal) << c.keys;
    }
}

TEST_F(NotebookTab, APageWithoutAWindowTakesNoFocus)
{
    notebook->withWindows = false;
    send(tab(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    EXPECT_EQ(notebook->journal, "");
}

TEST_F(NotebookTab, SelectionNotificationsReachTheNotebookWithTheirAnswer)
{
    TestWindow stranger(notebook->hwnd(), WS_CHILD, TestNotebook::kTabId + 1);
    const struct {
        HWND from;
        UINT code;
        bool veto;
        const char* journal;
        LRESULT result;
    } cases[] = {
        {tab(), static_cast<UINT>(TCN_SELCHANGING), true, "changing:77 ", TRUE},
        {tab(), static_cast<UINT>(TCN_SELCHANGING), false, "changing:77 ", FALSE},
        {tab(), static_cast<UINT>(TCN_SELCHANGE), false, "changed:77 ", FALSE},
        {tab(), static_cast<UINT>(NM_CLICK), true, "", FALSE},
        // The same codes from a window that is not a tab control are not selections.
        {stranger.hwnd(), static_cast<UINT>(TCN_SELCHANGING), true, "", FALSE},
    };
    for (const auto& c : cases) {
        notebook->journal.clear();
        notebook->vetoChange = c.veto;
        const UINT_PTR id = static_cast<UINT_PTR>(GetDlgCtrlID(c.from));
        NMHDR header{c.from, id, c.code};
        EXPECT_EQ(send(notebook->hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header)),
                  c.result);
        EXPECT_EQ(notebook->journal, c.journal) << c.code;
    }
    // A notification that reaches the tab control itself from one of its own children.
    NMHDR header{stranger.hwnd(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    send(tab(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(notebook->journal, "");
}

TEST_F(NotebookTab, ResizingTheNotebookSizesTheTabControlThenLaysOutThePages)
{
    SetWindowPos(notebook->hwnd(), nullptr, 0, 0, 300, 200,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(notebook->hwnd(), &client);
    const std::string expected =
        "resize:" + std::to_string(client.right) + "x" + std::to_string(client.bottom) + " ";
    // The layout waits until the tab control has taken its new size.
    EXPECT_EQ(notebook->journal.find("resize"), std::string::npos);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !notebook->journal.empty(); }));
    EXPECT_EQ(notebook->journal, expected);
    RECT tabRect;
    GetClientRect(tab(), &tabRect);
    EXPECT_EQ(tabRect.right, client.right);
    EXPECT_EQ(tabRect.bottom, client.bottom);
}

TEST_F(NotebookTab, TheLayoutRequestCountsOnlyOnTheTabControl)
{
    send(notebook->hwnd(), IPrivateMessage::tabControlResize, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(notebook->journal, "");
    send(tab(), IPrivateMessage::tabControlResize, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(notebook->journal, "resize:10x20 ");
}

TEST_F(NotebookTab, CloseFromTheSystemMenuGoesToTheNotebookAndNoFurther)
{
    const struct {
        const char* command;
        HWND target;
        WPARAM code;
        const char* journal;
    } cases[] = {
        {"close on the notebook", notebook->hwnd(), SC_CLOSE, "close "},
        // The low four bits belong to the system.
        {"close with the system's bits", notebook->hwnd(), SC_CLOSE | 2, "close "},
        {"close on the tab control", tab(), SC_CLOSE, "close "},
        // A command that no default processing acts on.
        {"another command", notebook->hwnd(), 0xF1F0, ""},
    };
    for (const auto& c : cases) {
        notebook->journal.clear();
        send(c.target, WM_SYSCOMMAND, c.code, 0);
        EXPECT_EQ(notebook->journal, c.journal) << c.command;
        // The default processing would have destroyed the notebook.
        EXPECT_TRUE(IsWindow(notebook->hwnd())) << c.command;
    }
}

// A tab control whose parent is no notebook is left alone.
TEST_F(NotebookTab, ATabControlOutsideANotebookIsLeftAlone)
{
    TestWindow plain;
    IWindow tabControl(IWindowHandle(CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD, 0, 0, 100,
                                                     50, plain.hwnd(), nullptr,
                                                     GetModuleHandleA(nullptr), nullptr)));
    tabControl.setDestroyOnDelete(true);
    ovktest::Recorder after(WM_SYSCOMMAND);
    after.attach(tabControl, "after");
    handler.handleEventsFor(&tabControl);
    send(tabControl.handle(), WM_SYSCOMMAND, 0xF1F0, 0);
    send(tabControl.handle(), WM_SYSKEYDOWN, VK_NEXT, 0x20000001);
    EXPECT_EQ(after.trace(), "after");
    EXPECT_EQ(notebook->journal, "");
}

} // namespace
