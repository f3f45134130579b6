// The help viewer binding, through the stand-in viewer's journal, and the F1 hooks of the older
// platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <hvxapi.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <idll.hpp>
#include <ihelpsta.hpp>
#include <imenu.hpp>
#include <iplatfrm.hpp>
#include <ireslib.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"

namespace {

using ovktest::caught;
using ovktest::str;

// The stand-in viewer's test entries, from the module the library loaded.
struct Viewer {
    Viewer()
    {
        HMODULE module = GetModuleHandleA(HVX_LIBRARY_NAME);
        if (!module)
            return;
        count = entry<HvxTestJournalCountEntry>(module, "OvkHvxTestJournalCount");
        at = entry<HvxTestJournalAtEntry>(module, "OvkHvxTestJournalAt");
        reset = entry<HvxTestJournalResetEntry>(module, "OvkHvxTestJournalReset");
        failNext = entry<HvxTestFailNextEntry>(module, "OvkHvxTestFailNext");
        reset();
    }
    ~Viewer()
    {
        if (reset)
            reset();
    }
    template <class Entry>
    static Entry entry(HMODULE module, const char* name)
    {
        return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
    HVXTESTCALL last() const
    {
        HVXTESTCALL call{};
        at(count() - 1, &call);
        return call;
    }

    HvxTestJournalCountEntry count = nullptr;
    HvxTestJournalAtEntry at = nullptr;
    HvxTestJournalResetEntry reset = nullptr;
    HvxTestFailNextEntry failNext = nullptr;
};

// The viewer's folder is the test program's: without its file there, the viewer is missing.
std::string viewerPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + HVX_LIBRARY_NAME;
}

void missingViewerThrowsAndALaterCallBinds()
{
    ASSERT_EQ(GetModuleHandleA(HVX_LIBRARY_NAME), nullptr);
    const std::string path = viewerPath();
    const std::string away = path + ".away";
    ASSERT_TRUE(MoveFileA(path.c_str(), away.c_str()));
    const IException failure = caught([] { IHelpStatics::destroyHelpInstance(IWindowHandle()); });
    MoveFileA(away.c_str(), path.c_str());
    EXPECT_NE(str(failure.text()).find(HVX_LIBRARY_NAME), std::string::npos) << str(failure.text());

    EXPECT_TRUE(IHelpStatics::destroyHelpInstance(IWindowHandle()));
    Viewer viewer;
    ASSERT_TRUE(viewer.count);
    IHelpStatics::destroyHelpInstance(IWindowHandle());
    EXPECT_EQ(viewer.last().entry, hvxDestroy);
}

// In a process of its own, whatever ran before: once the viewer is bound it stays loaded.
TEST(HelpViewer, AMissingViewerThrowsAndALaterCallBinds)
{
    EXPECT_EXIT(
        {
            missingViewerThrowsAndALaterCallBinds();
            std::exit(testing::Test::HasFailure() ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
}

class HelpViewerCalls : public testing::Test {
protected:
    void SetUp() override
    {
        // Binds the viewer, so that its test entries can be found.
        IHelpStatics::helpLibrary();
        viewer = std::make_unique<Viewer>();
        ASSERT_TRUE(viewer->count);
        application = std::make_unique<ovktest::TestWindow>();
    }
    std::unique_ptr<Viewer> viewer;
    std::unique_ptr<ovktest::TestWindow> application;
};

TEST_F(HelpViewerCalls, AnInstanceIsCreatedWithTheRecordAndDestroyed)
{
    HVXINIT init{};
    init.title = "Help title";
    init.libraries = "one.hlp two.hlp";
    init.option3 = 3;
    init.tableModule = GetModuleHandleA(nullptr);
    const IWindowHandle instance = IHelpStatics::createHelpInstance(application->hwnd(), &init);
    EXPECT_TRUE(IsWindow(instance));
    const HVXTESTCALL created = viewer->last();
    EXPECT_EQ(created.entry, hvxCreate);
    EXPECT_EQ(created.window, application->hwnd());
    EXPECT_STREQ(created.texts[0], "Help title");
    EXPECT_STREQ(created.texts[1], "one.hlp two.hlp");
    EXPECT_EQ(created.values[0], reinterpret_cast<ULONG_PTR>(GetModuleHandleA(nullptr)));
    EXPECT_EQ(created.values[1], 3u);

    EXPECT_TRUE(IHelpStatics::destroyHelpInstance(instance));
    EXPECT_FALSE(IsWindow(instance));
    viewer->failNext(hvxDestroy, 1);
    EXPECT_FALSE(IHelpStatics::destroyHelpInstance(instance));
}

TEST_F(HelpViewerCalls, EachCreateFailureHasItsText)
{
    struct Case {
        long code;
        const char* text;
    };
    const Case cases[] = {
        {1001, "WinCreateHelpInstance - Invalid Appl Handle"},
        {1015, "WinCreateHelpInstance - Invalid Help Structure"},
        {1021, "WinCreateHelpInstance - Insufficient Memory"},
        {1034, "WinCreateHelpInstance - Invalid DLL HVX.DLL"},
        {1007, "WinCreateHelpInstance - Invalid Help Table"},
        {1014, "WinCreateHelpInstance - Help File Cannot Be Opened"},
        {1018, "WinCreateHelpInstance - Help File Cannot Be Opened"},
        {1020, "WinCreateHelpInstance - Help File Cannot Be Opened"},
        {1002, "WinCreateHelpInstance - Unknown Error"},
        {-1, "WinCreateHelpInstance - Unknown Error"},
    };
    for (const Case& c : cases) {
        viewer->failNext(hvxCreate, c.code);
        HVXINIT init{};
        const IException failure =
            caught([&] { IHelpStatics::createHelpInstance(application->hwnd(), &init); });
        EXPECT_EQ(str(failure.text()), c.text) << c.code;
        EXPECT_EQ(failure.errorId(), static_cast<IException::ErrorId>(c.code));
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_EQ(str(failure.locationAtIndex(0)->fileName()), "ihelpsta");
        EXPECT_EQ(str(failure.locationAtIndex(0)->functionName()),
                  "IHelpStatics::createHelpInstance(const IWindowHandle&,void*)");
    }
}

TEST_F(HelpViewerCalls, HelpTablesAndCommandsReachTheViewer)
{
    const IResourceLibrary exe;
    exe.loadHelpTable(application.get(), 1901);
    HVXTESTCALL call = viewer->last();
    EXPECT_EQ(call.entry, hvxLoadTable);
    EXPECT_EQ(call.window, application->hwnd());
    EXPECT_EQ(call.values[0], 1901u);
    EXPECT_EQ(call.values[1], reinterpret_cast<ULONG_PTR>(exe.handle().asValue()));

    viewer->failNext(hvxLoadTable, 1007);
    EXPECT_EQ(str(caught([&] { exe.loadHelpTable(application.get(), 1901); }).text()),
              "WinLoadHelpTable(IResourceId:1901)");

    const char title[] = "New title";
    viewer->failNext(hvxCall, 42);
    EXPECT_EQ(IHelpStatics::sendHelpCommand(application->hwnd(), HVX_CMD_SET_TITLE, title, 0)
                  .asLong(),
              42);
    call = viewer->last();
    EXPECT_EQ(call.values[0], static_cast<ULONG_PTR>(HVX_CMD_SET_TITLE));
    EXPECT_EQ(call.values[1], reinterpret_cast<ULONG_PTR>(title)) << "the whole pointer arrives";
    EXPECT_STREQ(call.texts[0], "New title");
}

// ---------------------------------------------------------------------------------------------
// F1 on the older platform

constexpr UINT kHelpRequest = 0xFFC7;

// A keyboard hook of the test's own that counts the F1 presses that reach it.
struct CountingHook {
    CountingHook()
    {
        active = this;
        hook = SetWindowsHookExA(WH_KEYBOARD, proc, nullptr, GetCurrentThreadId());
    }
    ~CountingHook()
    {
        UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    static LRESULT CALLBACK proc(int code, WPARAM key, LPARAM data)
    {
        if (code == HC_ACTION && key == VK_F1 && !(data & 0x80000000) && active)
            ++active->presses;
        return CallNextHookEx(nullptr, code, key, data);
    }
    static CountingHook* active;
    HHOOK hook = nullptr;
    int presses = 0;
};
CountingHook* CountingHook::active = nullptr;

// A frame (a system dialog stands for one) with a menu bar and a focusable child, which
// records the help requests it is posted.
class HelpHooks : public testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<ovktest::TestWindow>(nullptr, WS_POPUP | WS_VISIBLE, 0, "#32770");
        bar = CreateMenu();
        SetMenu(frame->hwnd(), bar);
        IMenu menu{IMenuHandle(bar)};
        menu.addText(77, "&File").addSubmenu(77);
        menu.addText(78, "&Open", 77);
        child = std::make_unique<ovktest::TestWindow>(frame->hwnd(), WS_CHILD | WS_VISIBLE, 5);
        requests.attach(*frame, "help").setAction([this](IEvent& event) {
            parameters.push_back({event.parameter1().asUnsignedLong(),
                                  event.parameter2().asUnsignedLong()});
            return true;
        });
    }
    void TearDown() override
    {
        child.reset();
        frame.reset();
    }

    // F1 with the focus on the window, as a key press from the keyboard.
    void pressF1(HWND focus)
    {
        SetForegroundWindow(GetAncestor(focus, GA_ROOT));
        SetFocus(focus);
        ovktest::pumpPending();
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof keys[0]);
        const size_t before = parameters.size();
        ovktest::pumpUntil([&] { return parameters.size() > before; }, 300);
        ovktest::pumpPending();
    }

    void selectInMenu(WPARAM parameter1, HMENU menu)
    {
        MSG select{};
        select.hwnd = frame->hwnd();
        select.message = WM_MENUSELECT;
        select.wParam = parameter1;
        select.lParam = reinterpret_cast<LPARAM>(menu);
        CallMsgFilterA(&select, MSGF_MENU);
    }

    using Request = std::pair<unsigned long long, unsigned long long>;
    std::unique_ptr<ovktest::TestWindow> frame;
    std::unique_ptr<ovktest::TestWindow> child;
    HMENU bar = nullptr;
    ovktest::Recorder requests{kHelpRequest};
    std::vector<Request> parameters;
};

// The hooks live as long as the process, so one test walks through their life in order.
TEST_F(HelpHooks, F1BecomesAHelpRequestForTheFrame)
{
    const auto focusRequest = Request{0, reinterpret_cast<ULONG_PTR>(child->hwnd())};
    CountingHook first;
    // Not on the current platform: the system turns F1 into WM_HELP itself.
    IHelpStatics::installHooks();
    pressF1(child->hwnd());
    EXPECT_TRUE(parameters.empty());
    EXPECT_EQ(first.presses, 1);

    IPlatform::Override variant(IPlatform::platformVariant, true);
    IHelpStatics::installHooks();
    pressF1(child->hwnd());
    EXPECT_EQ(parameters, std::vector<Request>{focusRequest});
    EXPECT_EQ(first.presses, 1) << "the key does not reach the window";

    // While a menu is open, the request names the item last selected: a popup by the
    // identifier of the item that opens it.
    parameters.clear();
    selectInMenu(MAKEWPARAM(0, MF_POPUP | MF_HILITE), bar);
    pressF1(child->hwnd());
    selectInMenu(MAKEWPARAM(78, MF_HILITE), GetSubMenu(bar, 0));
    pressF1(child->hwnd());
    selectInMenu(MAKEWPARAM(0, 0xFFFF), nullptr);
    pressF1(child->hwnd());
    EXPECT_EQ(parameters,
              (std::vector<Request>{{77, reinterpret_cast<ULONG_PTR>(bar)},
                                    {78, reinterpret_cast<ULONG_PTR>(GetSubMenu(bar, 0))},
                                    focusRequest}));

    // A window without a frame: the key goes on to the next hook.
    ovktest::TestWindow alone(nullptr, WS_OVERLAPPED | WS_VISIBLE);
    pressF1(alone.hwnd());
    EXPECT_EQ(first.presses, 2);

    // A hook installed after the library's sees F1 first; a second install would put the
    // library's hook before it again.
    CountingHook later;
    IHelpStatics::installHooks();
    parameters.clear();
    pressF1(child->hwnd());
    EXPECT_EQ(later.presses, 1);
    EXPECT_EQ(parameters, std::vector<Request>{focusRequest});
}

} // namespace
