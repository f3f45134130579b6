// The help window in both modes and the help handler: the viewer through the stand-in's
// journal and notifications, the system help through a fake help window of our own.
#include <windows.h>

#include <gtest/gtest.h>

#include <hvxapi.h>

#include <memory>
#include <string>
#include <vector>

#include <imsgtext.hpp>
#include <ovkmsgid.hpp>

#include <icoordsy.hpp>
#include <ifiledlg.hpp>
#include <ifontdlg.hpp>
#include <iframe.hpp>
#include <imenubar.hpp>
#include <ihelphdr.hpp>
#include <ihelpwin.hpp>
#include <iprivmsg.hpp>
#include <iwinntfy.hpp>

#include "frametest.hpp"
#include "frametools.hpp"
#include "ovktest.hpp"

namespace {

using frametest::self;
using ovktest::str;

std::unique_ptr<IFrameWindow> helpFrame()
{
    return std::make_unique<IFrameWindow>(IResourceId(kHelpFrame, self()), nullptr, nullptr,
                                          IRectangle(10, 10, 310, 210),
                                          IFrameWindow::_titleBar | IFrameWindow::_systemMenu,
                                          "help frame");
}

template <class Entry>
Entry viewerEntry(const char* name)
{
    HMODULE module = GetModuleHandleA(HVX_LIBRARY_NAME);
    return module ? reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

// The viewer's calls, as "command(p1,p2)" for each call of "XhCallHVX" since the journal was
// reset; texts where the command carries one.
std::vector<std::string> viewerCalls()
{
    const auto count = viewerEntry<HvxTestJournalCountEntry>("OvkHvxTestJournalCount");
    const auto at = viewerEntry<HvxTestJournalAtEntry>("OvkHvxTestJournalAt");
    std::vector<std::string> calls;
    for (LONG i = 0; count && i < count(); ++i) {
        HVXTESTCALL call{};
        at(i, &call);
        if (call.entry != hvxCall)
            continue;
        char text[64];
        snprintf(text, sizeof text, "%lx(%lu,%lu)", static_cast<unsigned long>(call.values[0]),
                 static_cast<unsigned long>(call.values[1]),
                 static_cast<unsigned long>(call.values[2]));
        calls.push_back(text);
    }
    return calls;
}

void resetJournal()
{
    if (auto reset = viewerEntry<HvxTestJournalResetEntry>("OvkHvxTestJournalReset"))
        reset();
}

// A help window in viewer mode on a fresh frame, journal emptied.
struct ViewerHelp : ::testing::Test {
    void SetUp() override
    {
        frame = helpFrame();
        help = std::make_unique<IHelpWindow>(frame.get(), IHelpWindow::viewerMode);
        resetJournal();
    }
    void TearDown() override
    {
        help.reset();
        frame.reset();
        resetJournal();
    }
    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IHelpWindow> help;
};

TEST_F(ViewerHelp, AControlsHelpIdIsThePanelAndTheFrameFindsItsHelpWindow)
{
    ovktest::TestWindow control(frame->handle(), WS_CHILD, 21);
    SetWindowContextHelpId(control.hwnd(), 77);
    // F1 comes to the frame as the private request for the focus window or the one named.
    SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0,
                 reinterpret_cast<LPARAM>(control.hwnd()));
    EXPECT_EQ(viewerCalls(), std::vector<std::string>{"622(77,0)"});
    HVXTESTCALL call{};
    viewerEntry<HvxTestJournalAtEntry>("OvkHvxTestJournalAt")(0, &call);
    EXPECT_EQ(call.window, static_cast<HWND>(help->handle()));
    EXPECT_EQ(IHelpWindow::helpWindow(&control), help.get());
}

// The viewer's window is placed in the application's coordinates: from the desktop's bottom
// in the bottom-left orientation, keeping its lower left corner when it is sized.
TEST_F(ViewerHelp, ThePlacementOfTheViewersWindowIsConverted)
{
    const ovktest::CoordinateSystem system(ICoordinateSystem::kOriginLowerLeft);
    const HWND viewer = help->handle();
    ASSERT_TRUE(IsWindow(viewer));
    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    const LONG height = desktop.bottom;
    auto placed = [viewer] {
        RECT r{};
        GetWindowRect(viewer, &r);
        return r;
    };
    help->moveSizeTo(IRectangle(10, 20, 310, 220));
    RECT r = placed();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, height - 20);
    EXPECT_EQ(r.top, height - 220);
    help->moveTo(IPoint(30, 40));
    r = placed();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom, height - 40);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    help->sizeTo(ISize(250, 180));
    r = placed();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom, height - 40);
    EXPECT_EQ(r.top, height - 220);
    EXPECT_EQ(r.right, 280);
}

// Each help window hears its notifications through a handler of its own, made on first use.
TEST(HelpWindowNotification, EnablingMakesAHandlerOfItsOwn)
{
    auto frame = helpFrame();
    IHelpWindow first(frame.get());
    IHelpWindow second(frame.get());
    EXPECT_EQ(first.notificationHandler(), nullptr);
    first.enableNotification();
    second.enableNotification();
    IHandler* own = first.notificationHandler();
    EXPECT_NE(dynamic_cast<IWindowNotifyHandler*>(own), nullptr);
    EXPECT_NE(own, static_cast<IHandler*>(&IWindowNotifyHandler::shared()));
    EXPECT_NE(own, second.notificationHandler());
    first.disableNotification();
    first.enableNotification();
    EXPECT_EQ(first.notificationHandler(), own);
    EXPECT_TRUE(first.isEnabledForNotification());
}

TEST_F(ViewerHelp, ShowByKindSendsTheViewersCommands)
{
    help->show(IHelpWindow::general);
    help->show(IHelpWindow::index);
    help->show(IHelpWindow::helpForHelp);
    help->setHelpForHelpPanel(12);
    help->show(IHelpWindow::helpForHelp);
    EXPECT_EQ(viewerCalls(), (std::vector<std::string>{"62a(0,0)", "62b(0,0)", "622(64027,0)",
                                                       "629(12,0)", "622(12,0)"}));
}

TEST_F(ViewerHelp, ContextualHelpForAFrameWithoutPanelAsksTheFrame)
{
    ovktest::Recorder missing(0x647);
    missing.attach(*frame, "missing");
    help->setActiveWindow(frame.get());
    resetJournal();
    help->show(IHelpWindow::contextual);
    EXPECT_EQ(missing.trace(), "missing");
    EXPECT_TRUE(viewerCalls().empty());

    SetWindowContextHelpId(frame->handle(), 40);
    help->show(IHelpWindow::contextual);
    EXPECT_EQ(viewerCalls(), std::vector<std::string>{"622(40,0)"});
}

TEST_F(ViewerHelp, HelpCommandsOfTheFrameShowKeysGeneralAndContextualHelp)
{
    struct KeysPanel : IHelpHandler {
        IBase::Boolean keysHelpPanel(IEvent& event) override
        {
            event.setResult(33);
            return true;
        }
    } keys;
    keys.handleEventsFor(frame.get());
    help->setActiveWindow(frame.get());
    SetWindowContextHelpId(frame->handle(), 41);
    resetJournal();
    for (WPARAM command : {0x8012, 0x8013, 0x8014})
        SendMessageA(frame->handle(), WM_COMMAND, command, 0);
    EXPECT_EQ(viewerCalls(), (std::vector<std::string>{"622(33,0)", "62a(0,0)", "622(41,0)"}));
    keys.stopHandlingEventsFor(frame.get());
}

TEST_F(ViewerHelp, LibrariesAccumulateAndAnEmptyTextClearsThem)
{
    help->addLibraries("one.hlp");
    help->addLibraries("two.hlp");
    EXPECT_EQ(str(help->libraries()), "one.hlp two.hlp");
    help->addLibraries("");
    EXPECT_EQ(str(help->libraries()), "");
    EXPECT_EQ(viewerCalls().size(), 2u);
}

TEST_F(ViewerHelp, TheHelpTableGivesControlPanelsAndTheFramesOwn)
{
    help->setHelpTable(IResourceId(kFrameHelpTable, self()));
    ovktest::TestWindow known(frame->handle(), WS_CHILD, kHelpControl);
    ovktest::TestWindow unknown(frame->handle(), WS_CHILD, 99);
    ovktest::Recorder itemHelp(0xFFCC);
    LPARAM asked = 0;
    itemHelp.attach(*frame, "item").setAction([&](IEvent& event) {
        asked = event.parameter2().asLong();
        return false;
    });
    for (HWND control : {known.hwnd(), unknown.hwnd()})
        SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0,
                     reinterpret_cast<LPARAM>(control));
    // The unknown control asks the frame first (control id high, frame id low), then falls
    // back to the frame's panel.
    EXPECT_EQ(itemHelp.trace(), "item");
    EXPECT_EQ(asked, MAKELPARAM(kHelpFrame, 99));
    EXPECT_EQ(viewerCalls(), (std::vector<std::string>{"622(901,0)", "622(900,0)"}));
}

// Every setter of the settings is read back, and the help window made from them hands the
// title, the names and the two values to the viewer, shows its help-for-help panel, and finds
// the control panels in the table the settings name.
TEST(HelpWindowSettings, EachSettingReachesTheViewerAndTheTableServesF1)
{
    auto frame = helpFrame();
    IHelpWindow::Settings settings;
    settings.setTitle("Form help")
        .setMenuText("&Help")
        .setLibraries("form.hlp extra.hlp")
        .setHelpForHelpPanel(950)
        .setHelpTableId(kFrameHelpTable)
        .setViewerValue3(3)
        .setViewerValue4(4);
    EXPECT_EQ(str(settings.title()), "Form help");
    EXPECT_EQ(str(settings.menuText()), "&Help");
    EXPECT_EQ(str(settings.libraries()), "form.hlp extra.hlp");
    EXPECT_EQ(settings.helpForHelpPanel(), 950u);
    EXPECT_EQ(settings.helpTableId(), static_cast<unsigned long>(kFrameHelpTable));
    EXPECT_EQ(settings.viewerValue3(), 3u);
    EXPECT_EQ(settings.viewerValue4(), 4u);
    EXPECT_EQ(str(IHelpWindow::Settings(settings).setTitle(IResourceId(1005, self())).title()),
              "String one thousand and five");
    EXPECT_EQ(str(settings.resourceLibrary()), "");
    EXPECT_EQ(str(settings.helpTableModule()), "");

    resetJournal();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        IHelpWindow help(settings, frame.get(), IHelpWindow::viewerMode);
        EXPECT_EQ(str(help.libraries()), "form.hlp extra.hlp");
        // The journal also holds the previous round's instance going.
        HVXTESTCALL create{};
        create.entry = hvxEntryCount;
        const auto count = viewerEntry<HvxTestJournalCountEntry>("OvkHvxTestJournalCount");
        const auto at = viewerEntry<HvxTestJournalAtEntry>("OvkHvxTestJournalAt");
        for (LONG i = 0; i < count() && create.entry != hvxCreate; ++i)
            at(i, &create);
        ASSERT_EQ(create.entry, hvxCreate);
        EXPECT_STREQ(create.texts[0], "Form help");
        EXPECT_STREQ(create.texts[1], "form.hlp extra.hlp");
        EXPECT_EQ(create.values[1], 3u);
        EXPECT_EQ(create.values[2], 4u);
        ovktest::TestWindow known(frame->handle(), WS_CHILD, kHelpControl);
        SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0,
                     reinterpret_cast<LPARAM>(known.hwnd()));
        EXPECT_EQ(viewerCalls(), (std::vector<std::string>{"629(950,0)", "622(901,0)"}));
        resetJournal();
    }
}

// A help window serves the frames it is told of: F1 in a second frame finds nothing until
// setAssociatedWindow names it, and then that frame's own panels.
TEST_F(ViewerHelp, ASecondFrameIsServedOnceAssociated)
{
    help->setHelpTable(IResourceId(kFrameHelpTable, self()));
    auto second = helpFrame();
    ovktest::TestWindow control(second->handle(), WS_CHILD, kHelpControl);
    for (int round = 0; round < 2; ++round) {
        SendMessageA(second->handle(), IPrivateMessage::frameEvent, 0,
                     reinterpret_cast<LPARAM>(control.hwnd()));
        EXPECT_TRUE(viewerCalls().empty());
        EXPECT_EQ(IHelpWindow::helpWindow(&control), nullptr);
    }
    help->setAssociatedWindow(second.get());
    for (int round = 0; round < 2; ++round) {
        resetJournal();
        SendMessageA(second->handle(), IPrivateMessage::frameEvent, 0,
                     reinterpret_cast<LPARAM>(control.hwnd()));
        EXPECT_EQ(viewerCalls(), std::vector<std::string>{"622(901,0)"});
        EXPECT_EQ(IHelpWindow::helpWindow(&control), help.get());
    }
}

// ---------------------------------------------------------------------------------------------
// The help handler

// Counts its callbacks and declines every one.
struct CountingHelpHandler : IHelpHandler {
    int calls = 0;
    IBase::Boolean viewerNotice0633(IHelpEvent0633&) override { return ++calls, false; }
    IBase::Boolean viewerNotice0634(IHelpEvent0634&) override { return ++calls, false; }
    IBase::Boolean viewerNotice0644(IHelpEvent0644& event) override
    {
        event.setResult(5);
        return ++calls, true;
    }
    IBase::Boolean itemHelp(IHelpEventFFCC& event) override
    {
        event.setResult(1);
        return ++calls, true;
    }
};

TEST(HelpHandler, EachMessageReachesItsCallbackAndOnlyHelpCode11Of0644)
{
    auto frame = helpFrame();
    CountingHelpHandler handler;
    handler.handleEventsFor(frame.get());
    const HWND window = frame->handle();
    struct Case {
        UINT message;
        LPARAM parameter2;
        int calls;
        LRESULT result;
    } cases[] = {
        {0x644, 10, 0, 0}, {0x644, 11, 1, 5}, {0x633, 0, 1, 0}, {0x634, 0, 1, 0},
        {0xFFCC, 0, 1, 1}, {0x630, 0, 0, 0},  {0x647, 0, 0, 0},
    };
    for (const Case& c : cases) {
        handler.calls = 0;
        EXPECT_EQ(SendMessageA(window, c.message, 0, c.parameter2), c.result) << std::hex << c.message;
        EXPECT_EQ(handler.calls, c.calls) << std::hex << c.message;
    }
    EXPECT_THROW(handler.IHandler::handleEventsFor(static_cast<IWindow*>(nullptr)), IException);
    EXPECT_THROW(handler.handleEventsFor(static_cast<IFrameWindow*>(nullptr)), IException);
    handler.stopHandlingEventsFor(frame.get());
}

// The viewer reports its error to the frame; the default callback shows it in a box owned by
// the frame.
class HelpViewerError : public ::testing::TestWithParam<std::pair<LONG, unsigned long>> {};

TEST_P(HelpViewerError, IsReportedInABoxOwnedByTheFrame)
{
    auto frame = helpFrame();
    IHelpHandler handler;
    handler.handleEventsFor(frame.get());
    const auto notify = viewerEntry<HvxTestNotifyEntry>("OvkHvxTestNotify");
    ASSERT_TRUE(notify);
    frametest::BoxDriver driver(IDOK);
    notify(frame->handle(), 0x62E, GetParam().first, 0);
    const frametest::BoxSeen& seen = driver.seen();
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.forced);
    EXPECT_EQ(seen.owner, static_cast<HWND>(frame->handle()));
    EXPECT_EQ(seen.title, str(IMessageText::textFor(0x50)));
    bool textShown = false;
    for (const std::string& text : seen.statics)
        textShown = textShown || text == str(IMessageText::textFor(GetParam().second));
    EXPECT_TRUE(textShown);
    handler.stopHandlingEventsFor(frame.get());
}

INSTANTIATE_TEST_SUITE_P(Codes, HelpViewerError,
                         ::testing::Values(std::make_pair(1005L, 0x58ul), std::make_pair(1022L, 0x61ul),
                                           std::make_pair(4711L, 0x63ul)));

// The viewer tells its notifications to the window the help window named to it as active: that
// is the frame, where the application's help handler hears them. The help window itself has no
// window procedure of its own; its observers hear of it when it goes.
TEST(HelpWindowNotification, TheViewerNotifiesTheActiveFrameAndObserversHearTheHelpWindowGo)
{
    auto frame = helpFrame();
    CountingHelpHandler handler;
    handler.handleEventsFor(frame.get());
    auto help = std::make_unique<IHelpWindow>(frame.get(), IHelpWindow::viewerMode);
    ovktest::NotificationLog log;
    log.keepOnly(std::string(IWindow::deleteId));
    help->addObserver(log);
    help->enableNotification();
    resetJournal();
    help->setActiveWindow(frame.get());

    const auto count = viewerEntry<HvxTestJournalCountEntry>("OvkHvxTestJournalCount");
    const auto at = viewerEntry<HvxTestJournalAtEntry>("OvkHvxTestJournalAt");
    const auto notify = viewerEntry<HvxTestNotifyEntry>("OvkHvxTestNotify");
    ASSERT_TRUE(count && at && notify);
    HWND told = nullptr;
    for (LONG i = 0; i < count(); ++i) {
        HVXTESTCALL call{};
        at(i, &call);
        if (call.entry == hvxCall && call.values[0] == 0x624)
            told = reinterpret_cast<HWND>(call.values[1]);
    }
    EXPECT_EQ(told, static_cast<HWND>(frame->handle()));
    for (UINT notice : {0x633u, 0x634u}) {
        handler.calls = 0;
        notify(told, notice, 0, 0);
        EXPECT_EQ(handler.calls, 1) << std::hex << notice;
    }

    const INotifier* notifier = help.get();
    help.reset();
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].notifier, notifier);
    handler.stopHandlingEventsFor(frame.get());
    resetJournal();
}

// ---------------------------------------------------------------------------------------------
// File mode: the system help, received by a help window of our own

struct SystemHelpRequest {
    unsigned int command;
    unsigned long data;
    std::string file;
};

std::vector<SystemHelpRequest>* gRequests = nullptr;

LRESULT CALLBACK fakeHelpProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && gRequests) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const unsigned char*>(copy->lpData);
        if (copy->dwData == 0x0A1DE505 && bytes) {
            WORD command, fileOffset;
            LONG data;
            memcpy(&command, bytes + 2, 2);
            memcpy(&data, bytes + 4, 4);
            memcpy(&fileOffset, bytes + 12, 2);
            gRequests->push_back({command, static_cast<unsigned long>(data),
                                  reinterpret_cast<const char*>(bytes + fileOffset)});
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// WinHelpA finds this window by its class and sends it the requests; without one it would
// start the system's help program.
struct FileHelp : ::testing::Test {
    void SetUp() override
    {
        fake = std::make_unique<ovktest::SystemHelpWindow>(fakeHelpProcedure);
        gRequests = &requests;
        frame = helpFrame();
    }
    void TearDown() override
    {
        frame.reset();
        gRequests = nullptr;
        fake.reset();
    }
    std::unique_ptr<ovktest::SystemHelpWindow> fake;
    std::vector<SystemHelpRequest> requests;
    std::unique_ptr<IFrameWindow> frame;
};

TEST_F(FileHelp, ContextHelpAsksForThePanelInTheHelpFileAndDeletingQuits)
{
    auto help = std::make_unique<IHelpWindow>(frame.get());
    EXPECT_FALSE(help->isViewerMode());
    help->addLibraries("app.hlp");
    ovktest::TestWindow control(frame->handle(), WS_CHILD, 21);
    SetWindowContextHelpId(control.hwnd(), 88);
    SendMessageA(frame->handle(), IPrivateMessage::frameEvent, 0,
                 reinterpret_cast<LPARAM>(control.hwnd()));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, unsigned(HELP_CONTEXT));
    EXPECT_EQ(requests[0].data, 88u);
    EXPECT_EQ(requests[0].file, "app.hlp");
    help.reset();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].command, unsigned(HELP_QUIT));
}

TEST_F(FileHelp, KindsBecomeTheSystemHelpsCommands)
{
    IHelpWindow help(frame.get());
    help.addLibraries("app.hlp");
    help.show(IHelpWindow::general);
    help.show(IHelpWindow::index);
    help.show(IHelpWindow::helpForHelp);
    help.show(IResourceId(17, self()));
    std::vector<unsigned int> commands;
    for (const SystemHelpRequest& request : requests)
        commands.push_back(request.command);
    EXPECT_EQ(commands, (std::vector<unsigned int>{HELP_FINDER, HELP_INDEX, HELP_HELPONHELP,
                                                    HELP_CONTEXT}));
    EXPECT_EQ(requests.back().data, 17u);
}

// The panel of a menu item without a context id is the identifier the menus know it by: a
// sub-menu added with the classic calls carries its handle in place of one.
TEST_F(FileHelp, AMenuItemsPanelIsTheIdentifierItsMenuGivesIt)
{
    frametest::MenuRoad classic(false);
    IHelpWindow help(frame.get());
    help.addLibraries("app.hlp");
    IMenuBar bar(frame.get());
    bar.addText(42, "Tools").addText(43, "Plain");
    bar.addSubmenu(42);
    const HMENU menu = GetMenu(frame->handle());
    for (UINT position : {0u, 1u}) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &item));
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_MENUITEM;
        info.iCtrlId = static_cast<int>(item.wID);
        info.hItemHandle = menu;
        requests.clear();
        SendMessageA(frame->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_EQ(requests.size(), 1u) << position;
        EXPECT_EQ(requests[0].command, unsigned(HELP_CONTEXT));
        EXPECT_EQ(requests[0].data, position == 0 ? 42u : 43u);
    }
}

// Presses a common dialog's Help button once the dialog runs, and cancels the dialog later.
class HelpPresser : public IHandler {
public:
    HWND dialog = nullptr;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        if (event.eventId() != WM_INITDIALOG)
            return false;
        const HWND window = event.handle();
        dialog = window;
        SetWindowContextHelpId(window, 55);
        PostMessageA(GetDlgItem(window, 0x40E), BM_CLICK, 0, 0);
        fLater.after(300, [window] { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
        return false;
    }

private:
    frametest::Later fLater{8000};
};

// The Help button asks for the panel of the window with the focus, which the help window of the
// owner's frame shows.
TEST_F(FileHelp, TheHelpButtonOfTheFileAndFontDialogsReachesTheHelpWindow)
{
    IHelpWindow help(frame.get());
    help.addLibraries("app.hlp");
    for (bool font : {false, true}) {
        SCOPED_TRACE(font ? "font dialog" : "file dialog");
        requests.clear();
        HelpPresser presser;
        if (font) {
            IFontDialog dialog(nullptr, frame.get(), &presser, IFontDialog::Settings(),
                               IFontDialog::_helpButton);
        } else {
            IFileDialog dialog(nullptr, frame.get(), &presser, IFileDialog::_helpButton);
        }
        ASSERT_TRUE(presser.dialog);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].command, unsigned(HELP_CONTEXT));
        EXPECT_EQ(requests[0].data, 55u);
        EXPECT_EQ(requests[0].file, "app.hlp");
    }
}

} // namespace
