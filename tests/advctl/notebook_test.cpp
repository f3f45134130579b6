// The notebook on the native tab control and on the outside notebook window: pages, turning,
// deletion, page events, the tab-control handler's keys and the outside window's messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <iapp.hpp>
#include <icanvas.hpp>
#include <iframe.hpp>
#include <ihelpwin.hpp>
#include <inotebk.hpp>
#include <ipagehdr.hpp>
#include <iprivmsg.hpp>
#include <ipushbut.hpp>
#include <ovkmsgid.hpp>

#include "advtest.hpp"
#include "iadvrec.hpp"

using advtest::Outside;

namespace {

constexpr unsigned long kNotebookId = 40;

// Records the page events it hears, and refuses page turns when asked to.
class PageRecorder : public IPageHandler {
public:
    std::string trace;
    bool refuse = false;
    std::vector<unsigned long> deletedData;
    std::vector<HWND> deletedWindows;
    std::vector<HBITMAP> deletedBitmaps;
    std::vector<unsigned long> deletedHandles;

protected:
    IBase::Boolean pageSelected(INotebookSelectEvent& event) override
    {
        add("selected:" + std::to_string(event.previousTopPage().asUnsignedLong()) + ">" +
            std::to_string(event.pageHandle().asUnsignedLong()));
        return false;
    }
    IBase::Boolean selectionPending(INotebookSelectEvent& event) override
    {
        add("pending:" + std::to_string(event.pageHandle().asUnsignedLong()));
        if (!refuse)
            return false;
        event.setResult(1);
        return true;
    }
    IBase::Boolean pageDeleted(INotebookDeleteEvent& event) override
    {
        add("deleted");
        deletedData.push_back(event.userData());
        deletedWindows.push_back(event.pageWindow() ? static_cast<HWND>(event.pageWindow()->handle())
                                                    : nullptr);
        deletedBitmaps.push_back(event.tabBitmap().asValue());
        deletedHandles.push_back(event.pageHandle().asUnsignedLong());
        return false;
    }
    IBase::Boolean pageHelp(INotebookHelpEvent& event) override
    {
        add("help:" + std::to_string(event.pageHandle().asUnsignedLong()));
        return true;
    }
    IBase::Boolean pageSizeChanged(INotebookPageEvent&) override
    {
        add("size");
        return false;
    }
    IBase::Boolean drawTab(INotebookDrawTabEvent&) override
    {
        add("draw");
        return true;
    }

private:
    void add(const std::string& tag) { trace += (trace.empty() ? "" : " ") + tag; }
};

class NotebookTest : public advtest::ShownParent {
protected:
    void SetUp() override
    {
        ShownParent::SetUp();
        recorder.handleEventsFor(parent.get());
    }
    void TearDown() override
    {
        pages.clear();
        notebook.reset();
        recorder.stopHandlingEventsFor(parent.get());
        ShownParent::TearDown();
    }
    INotebook& make(const INotebook::Style& style = INotebook::classDefaultStyle)
    {
        notebook = std::make_unique<INotebook>(kNotebookId, parent.get(), parent.get(),
                                               IRectangle(10, 10, 410, 310), style);
        return *notebook;
    }
    // A page window made as an application makes it: a child of the notebook's parent.
    IWindow* pageWindow()
    {
        pages.push_back(std::make_unique<ovktest::TestWindow>(parent->hwnd(), WS_CHILD | WS_VISIBLE));
        SetWindowPos(pages.back()->hwnd(), nullptr, 0, 0, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE);
        return pages.back().get();
    }
    // The tab texts in tab order.
    std::string tabTexts() const
    {
        std::string texts;
        const LRESULT count = SendMessageA(notebook->handle(), TCM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[32] = "";
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(notebook->handle(), TCM_GETITEMA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            texts += (texts.empty() ? "" : " ") + std::string(text);
        }
        return texts;
    }
    static bool visible(IWindow* window) { return IsWindowVisible(window->handle()) != 0; }

    PageRecorder recorder;
    std::unique_ptr<INotebook> notebook;
    std::vector<std::unique_ptr<ovktest::TestWindow>> pages;
};

using Settings = INotebook::PageSettings;

// Insertion ------------------------------------------------------------------------------------

TEST_F(NotebookTest, InsertionsPlaceTabsAndNumberPagesInOrder)
{
    make();
    const IPageHandle a = notebook->addLastPage(Settings("A", nullptr));
    const IPageHandle b = notebook->addFirstPage(Settings("B", nullptr));
    const IPageHandle c = notebook->addPageBefore(Settings("C", nullptr), a);
    const IPageHandle d = notebook->addPageAfter(Settings("D", nullptr), b);
    EXPECT_EQ(tabTexts(), "B D C A");
    EXPECT_EQ(a.asUnsignedLong(), 1u);
    EXPECT_EQ(b.asUnsignedLong(), 2u);
    EXPECT_EQ(c.asUnsignedLong(), 3u);
    EXPECT_EQ(d.asUnsignedLong(), 4u);
    EXPECT_EQ(notebook->pageCount(), 4u);
    EXPECT_EQ(notebook->firstPage(), b);
    EXPECT_EQ(notebook->nextPage(b), d);
    EXPECT_EQ(notebook->previousPage(a), c);
    EXPECT_EQ(notebook->lastPage(), a);

    // A reference that is not in the notebook takes its id back.
    const IException failure = ovktest::caught(
        [&] { notebook->addPageAfter(Settings("X", nullptr), IPageHandle(99)); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_POSITION_INVALID);
    EXPECT_EQ(notebook->addLastPage(Settings("E", nullptr)).asUnsignedLong(), 5u);
    EXPECT_EQ(tabTexts(), "B D C A E");
}

TEST_F(NotebookTest, PageSettingsKeepWhatTheyAreGiven)
{
    const Settings tabOnly("Tab", nullptr);
    EXPECT_TRUE(tabOnly.isMajorTab());
    EXPECT_FALSE(tabOnly.isStatusTextOn());
    const Settings minor("Tab", "Status", Settings::minorTab);
    EXPECT_TRUE(minor.isMinorTab());
    EXPECT_TRUE(minor.isStatusTextOn());
    EXPECT_FALSE(minor.isMajorTab());

    make();
    Settings settings("Data", nullptr, Settings::autoPageSize);
    settings.setUserData(0xDA7A);
    IWindow* window = pageWindow();
    const HWND originalParent = GetParent(window->handle());
    const IPageHandle page = notebook->addLastPage(settings, window);
    const Settings read = notebook->pageSettings(page);
    EXPECT_EQ(std::string(read.tabText()), "Data");
    EXPECT_EQ(read.userData(), 0xDA7Au);
    EXPECT_TRUE(read.isAutoPageSize());
    EXPECT_EQ(read.pageWindow(), window->handle().asValue());
    EXPECT_EQ(read.originalParent(), originalParent);
    const Settings copy(read);
    EXPECT_EQ(copy.pageWindow(), read.pageWindow());
    EXPECT_EQ(copy.originalParent(), read.originalParent());
    EXPECT_EQ(copy.attributes(), read.attributes());

    notebook->setUserData(page, 7);
    notebook->setTabText(page, "Renamed");
    EXPECT_EQ(notebook->pageSettings(page).userData(), 7u);
    EXPECT_EQ(tabTexts(), "Renamed");
    EXPECT_EQ(ovktest::caught([&] { notebook->setUserData(IPageHandle(42), 1); }).errorId(),
              OVK_MSG_INVALID_HANDLE);
}

TEST_F(NotebookTest, TheFirstPageShowsAtOnceLaterOnesStartHiddenAndAutoSizedPagesFillTheArea)
{
    make();
    IWindow* first = pageWindow();
    IWindow* second = pageWindow();
    notebook->addLastPage(Settings("One", nullptr), first);
    const IPageHandle page2 = notebook->addLastPage(Settings("Two", nullptr, Settings::autoPageSize), second);
    EXPECT_TRUE(visible(first));
    EXPECT_FALSE(visible(second));
    // The page windows live in the clipping window, a child of the tab control.
    EXPECT_EQ(GetParent(GetParent(first->handle())), notebook->handle().asValue());

    notebook->turnToPage(page2);
    EXPECT_FALSE(visible(first));
    EXPECT_TRUE(visible(second));
    RECT shown, area;
    GetClientRect(second->handle(), &shown);
    GetClientRect(notebook->handle(), &area);
    SendMessageA(notebook->handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    EXPECT_EQ(shown.right, area.right - area.left);
    EXPECT_EQ(shown.bottom, area.bottom - area.top);
    EXPECT_EQ(notebook->pageSize(), ISize(area.right - area.left, area.bottom - area.top));
    // The first page did not ask to be sized.
    GetClientRect(first->handle(), &shown);
    EXPECT_EQ(shown.right, 20);
}

// Turning --------------------------------------------------------------------------------------

TEST_F(NotebookTest, TurningTellsThePendingAndDoneSelectionAndARefusalKeepsThePage)
{
    make();
    IWindow* first = pageWindow();
    IWindow* second = pageWindow();
    const IPageHandle page1 = notebook->addLastPage(Settings("One", nullptr), first);
    const IPageHandle page2 = notebook->addLastPage(Settings("Two", nullptr), second);
    recorder.trace.clear();
    notebook->turnToPage(page2);
    EXPECT_EQ(recorder.trace, "pending:2 selected:1>2");
    EXPECT_EQ(notebook->topPage(), page2);

    recorder.trace.clear();
    recorder.refuse = true;
    notebook->turnToPage(page1);
    EXPECT_EQ(recorder.trace, "pending:1");
    EXPECT_EQ(notebook->topPage(), page2);
    EXPECT_TRUE(visible(second));
    EXPECT_FALSE(visible(first));
}

TEST_F(NotebookTest, AClickOnATabTurnsThroughTheSelectionNotifications)
{
    make();
    IWindow* first = pageWindow();
    IWindow* second = pageWindow();
    notebook->addLastPage(Settings("One", nullptr), first);
    notebook->addLastPage(Settings("Two", nullptr), second);
    recorder.trace.clear();
    // As the tab control does on a click on the second tab: changing, the new selection,
    // changed. The tab under the pointer is the one asked for.
    RECT tab{};
    SendMessageA(notebook->handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    POINT centre{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ClientToScreen(notebook->handle(), &centre);
    SetCursorPos(centre.x, centre.y);
    NMHDR header{notebook->handle(), kNotebookId, static_cast<UINT>(TCN_SELCHANGING)};
    EXPECT_EQ(SendMessageA(parent->hwnd(), WM_NOTIFY, kNotebookId, reinterpret_cast<LPARAM>(&header)), 0);
    SendMessageA(notebook->handle(), TCM_SETCURSEL, 1, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(parent->hwnd(), WM_NOTIFY, kNotebookId, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(recorder.trace, "pending:2 selected:1>2");
    EXPECT_TRUE(visible(second));
    EXPECT_FALSE(visible(first));

    // A refusal before the change keeps the tab.
    recorder.refuse = true;
    header.code = static_cast<UINT>(TCN_SELCHANGING);
    EXPECT_EQ(SendMessageA(parent->hwnd(), WM_NOTIFY, kNotebookId, reinterpret_cast<LPARAM>(&header)), 1);
}

TEST_F(NotebookTest, AltKeysOnTheTabsTurnPagesAndAnEmptyNotebookIgnoresThem)
{
    make();
    // No page: neither a key nor F1 may throw out of the message loop.
    ovktest::send(notebook->handle(), WM_SYSKEYDOWN, VK_NEXT, 0x20000001);
    HELPINFO help{};
    help.cbSize = sizeof help;
    ovktest::send(notebook->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    ovktest::pumpPending();
    EXPECT_EQ(recorder.trace, "");

    const IPageHandle page1 = notebook->addLastPage(Settings("One", nullptr), pageWindow());
    const IPageHandle page2 = notebook->addLastPage(Settings("Two", nullptr), pageWindow());
    ovktest::send(notebook->handle(), WM_SYSKEYDOWN, VK_NEXT, 0x20000001);
    EXPECT_EQ(notebook->topPage(), page2);
    ovktest::send(notebook->handle(), WM_SYSKEYDOWN, VK_PRIOR, 0x20000001);
    EXPECT_EQ(notebook->topPage(), page1);

    // From inside the page on top as well; Alt+Up goes back to the tabs.
    IWindow* shown = notebook->window(notebook->topPage());
    ovktest::send(shown->handle(), WM_SYSKEYDOWN, VK_NEXT, 0x20000001);
    EXPECT_EQ(notebook->topPage(), page2);
    ovktest::send(notebook->window(page2)->handle(), WM_SYSKEYDOWN, VK_UP, 0x20000001);
    EXPECT_EQ(GetFocus(), notebook->handle().asValue());
    notebook->turnToPage(page1);

    // Close from the system menu does not close the notebook on its own.
    ovktest::send(notebook->handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(notebook->handle()));

    // F1 posts the page help with the top page.
    recorder.trace.clear();
    ovktest::send(notebook->handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !recorder.trace.empty(); }));
    EXPECT_EQ(recorder.trace, "help:1");
}

// The default page help shows the notebook's help panel through the help window of its frame.
TEST(NotebookPageHelp, TheDefaultShowsTheNotebooksPanelInTheFramesHelpWindow)
{
    // Stands in for the system help's window, so that quitting the help asks nothing of the
    // system's help program.
    const ovktest::SystemHelpWindow systemHelp;
    struct PanelLog : IHelpWindow {
        using IHelpWindow::IHelpWindow;
        using IHelpWindow::show;
        IHelpWindow& show(const IResourceId& panel) override
        {
            shown.push_back(panel);
            fromUserLibrary = &panel.resourceLibrary() ==
                              &IApplication::current().userResourceLibrary();
            return *this;
        }
        std::vector<unsigned long> shown;
        bool fromUserLibrary = false;
    };
    {
        IFrameWindow frame(IResourceId(1, IApplication::current().userResourceLibrary()), nullptr,
                           nullptr, IRectangle(10, 10, 410, 310),
                           IFrameWindow::_titleBar | IFrameWindow::_systemMenu, "pages");
        INotebook notebook(kNotebookId, &frame, &frame, IRectangle(0, 0, 300, 200));
        IPageHandler defaults;
        defaults.handleEventsFor(&frame);
        notebook.addLastPage(Settings("One", nullptr));
        HELPINFO f1{};
        f1.cbSize = sizeof f1;
        const auto pressF1 = [&] {
            ovktest::send(notebook.handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
            ovktest::pumpPending();
        };
        // No help window, or no help identifier: nothing is shown.
        pressF1();
        PanelLog help(&frame);
        EXPECT_EQ(IHelpWindow::helpWindow(&notebook), &help);
        pressF1();
        EXPECT_TRUE(help.shown.empty());

        SetWindowContextHelpId(notebook.handle(), 4711);
        pressF1();
        EXPECT_EQ(help.shown, std::vector<unsigned long>{4711});
        EXPECT_TRUE(help.fromUserLibrary);
        defaults.stopHandlingEventsFor(&frame);
    }
}

TEST_F(NotebookTest, TabOnAPagesLastControlWrapsToItsFirst)
{
    make();
    auto page = std::make_unique<ICanvas>(50, notebook.get(), notebook.get(), IRectangle(0, 0, 200, 100));
    const IWindow::Style tabStop = IWindow::visible | IControl::_tabStop;
    IPushButton first(51, page.get(), page.get(), IRectangle(5, 5, 60, 25), tabStop);
    IPushButton last(52, page.get(), page.get(), IRectangle(5, 30, 60, 50), tabStop);
    notebook->addLastPage(Settings("Page", nullptr), page.get());
    SetFocus(last.handle());
    ovktest::pumpPending();
    ovktest::send(last.handle(), WM_CHAR, VK_TAB, 1);
    ovktest::pumpPending();
    EXPECT_EQ(GetFocus(), first.handle().asValue());
    notebook->removeAllPages();
}

// Deletion -------------------------------------------------------------------------------------

TEST_F(NotebookTest, DeletingTheTopPageSelectsTheFollowingTabOrThePreviousForTheLast)
{
    const struct {
        int top;
        int expected;
    } cases[] = {{2, 3}, {3, 2}, {1, 2}};
    for (const auto& c : cases) {
        make();
        std::vector<IPageHandle> handles;
        for (const char* text : {"One", "Two", "Three"})
            handles.push_back(notebook->addLastPage(Settings(text, nullptr), pageWindow()));
        notebook->turnToPage(handles[static_cast<size_t>(c.top - 1)]);
        notebook->removePage(handles[static_cast<size_t>(c.top - 1)]);
        EXPECT_EQ(notebook->topPage().asUnsignedLong(), static_cast<unsigned long>(c.expected)) << c.top;
        EXPECT_TRUE(visible(notebook->window(notebook->topPage()))) << c.top;
        EXPECT_EQ(notebook->pageCount(), 2u);
        notebook.reset();
        pages.clear();
    }
}

TEST_F(NotebookTest, TheDeletionEventCarriesThePagesDataAndNoHandle)
{
    make();
    const HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    IWindow* window = pageWindow();
    const HWND originalParent = GetParent(window->handle());
    Settings settings(IBitmapHandle(bitmap), nullptr);
    settings.setUserData(1234);
    const IPageHandle page = notebook->addLastPage(settings, window);
    notebook->addLastPage(Settings("Other", nullptr));
    recorder.trace.clear();
    notebook->removePage(page);
    EXPECT_EQ(recorder.trace, "selected:1>2 deleted");
    ASSERT_EQ(recorder.deletedData.size(), 1u);
    EXPECT_EQ(recorder.deletedHandles[0], 0u);
    EXPECT_EQ(recorder.deletedData[0], 1234u);
    EXPECT_EQ(recorder.deletedWindows[0], window->handle().asValue());
    EXPECT_EQ(recorder.deletedBitmaps[0], bitmap);
    // The page window goes back where it came from, hidden.
    EXPECT_EQ(GetParent(window->handle()), originalParent);
    EXPECT_FALSE(visible(window));
}

TEST_F(NotebookTest, RemovingAllPagesDeletesEveryTabOnceAndRestartsTheIds)
{
    make();
    for (unsigned long data : {11ul, 22ul, 33ul, 44ul, 55ul}) {
        Settings settings("Tab", nullptr);
        settings.setUserData(data);
        notebook->addLastPage(settings, pageWindow());
    }
    INotebook::Cursor cursor(*notebook);
    ASSERT_TRUE(cursor.setToFirst());
    notebook->removeAllPages();
    EXPECT_FALSE(cursor.isValid());
    EXPECT_EQ(SendMessageA(notebook->handle(), TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(recorder.deletedData, (std::vector<unsigned long>{55, 44, 33, 22, 11}));
    EXPECT_TRUE(notebook->isEmpty());
    EXPECT_EQ(notebook->addLastPage(Settings("Again", nullptr)).asUnsignedLong(), 1u);
}

// Look -----------------------------------------------------------------------------------------

TEST_F(NotebookTest, TheNativeNotebookHasOneLookAndItsStyleSettersChangeNothing)
{
    make();
    EXPECT_FALSE(notebook->usesThunkedWindow());
    const unsigned long style = notebook->style();
    notebook->setOrientation(INotebook::backpagesTopLeft);
    notebook->setTabShape(INotebook::polygon);
    notebook->setBinding(INotebook::spiral);
    notebook->setTabTextAlignment(INotebook::left);
    notebook->setStatusTextAlignment(INotebook::right);
    EXPECT_EQ(notebook->style(), style);
    EXPECT_EQ(notebook->orientation(), 4);
    EXPECT_EQ(notebook->tabShape(), 1);
    EXPECT_EQ(notebook->binding(), 1);
    EXPECT_EQ(notebook->tabTextAlignment(), 2);
    EXPECT_EQ(notebook->statusTextAlignment(), 0);
    // An empty native notebook has no top page.
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { notebook->topPage(); }).text()), "TabCtrl_GetCurSel");
}

TEST_F(NotebookTest, ADrawItemFromAListBoxAndAnUnknownCodeReachNoCallback)
{
    make();
    ovktest::TestWindow list(parent->hwnd(), WS_CHILD, 77, "ListBox");
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.CtlID = 77;
    draw.hwndItem = list.hwnd();
    ovktest::send(parent->hwnd(), WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&draw));
    ovktest::send(parent->hwnd(), WM_COMMAND, MAKEWPARAM(kNotebookId, 0x87),
                  reinterpret_cast<LPARAM>(notebook->handle().asValue()));
    EXPECT_EQ(recorder.trace, "");
    // The same draw item from the notebook does reach it.
    draw.CtlType = ODT_TAB;
    draw.CtlID = kNotebookId;
    draw.hwndItem = notebook->handle();
    ovktest::send(parent->hwnd(), WM_DRAWITEM, kNotebookId, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(recorder.trace, "draw");
}

// The outside notebook window ---------------------------------------------------------------------

class OutsideNotebookTest : public NotebookTest {
protected:
    INotebook& makeOutside()
    {
        return make(INotebook::Style(INotebook::classDefaultStyle) | INotebook::thunkedWindow);
    }
};

TEST_F(OutsideNotebookTest, CreationMakesTheOutsideWindowAndSetsItsTabSizes)
{
    makeOutside();
    char name[32] = "";
    GetClassNameA(notebook->handle(), name, sizeof name);
    EXPECT_STREQ(name, "OVK Notebook");
    EXPECT_TRUE(notebook->usesThunkedWindow());
    EXPECT_EQ(Outside::journal(),
              (std::vector<std::string>{"0xF07B 50x30 1", "0xF07B 50x30 2", "0xF07B 30x20 256"}));
}

TEST_F(OutsideNotebookTest, PagesAreTheOutsideWindowsAndARefusalKeepsItsPage)
{
    makeOutside();
    IWindow* window = pageWindow();
    Settings settings("Tab", "Status");
    settings.setUserData(99);
    const IPageHandle page1 = notebook->addLastPage(settings, window);
    const IPageHandle page2 = notebook->addLastPage(Settings("Two", nullptr));
    EXPECT_EQ(notebook->pageCount(), 2u);
    EXPECT_EQ(notebook->window(page1), window);
    const Settings read = notebook->pageSettings(page1);
    EXPECT_EQ(std::string(read.tabText()), "Tab");
    EXPECT_EQ(std::string(read.statusText()), "Status");
    EXPECT_EQ(read.userData(), 99u);

    recorder.trace.clear();
    recorder.refuse = true;
    notebook->turnToPage(page2);
    EXPECT_EQ(recorder.trace, "pending:2");
    EXPECT_EQ(notebook->topPage(), page1);
    recorder.refuse = false;
    notebook->turnToPage(page2);
    EXPECT_EQ(notebook->topPage(), page2);

    // Failure answers name their message.
    Outside::failNext(IOutsideMessage::turnToPage, 1);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { notebook->turnToPage(page1); }).text()),
              "BKM_TURNTOPAGE");
    Outside::failNext(IOutsideMessage::queryPageId, 1);
    EXPECT_EQ(ovktest::str(ovktest::caught([&] { notebook->topPage(); }).text()),
              "BKM_QUERYPAGEID:INVALID_PARAMETERS");
}

TEST_F(OutsideNotebookTest, OrientationSetsItsBitPairAndNotifiesOnlyOnChange)
{
    makeOutside();
    ovktest::NotificationLog log;
    notebook->enableNotification();
    log.handleNotificationsFor(*notebook);
    ASSERT_EQ(notebook->style() & 0xFF, 0x11u);
    notebook->setOrientation(INotebook::backpagesTopLeft);
    EXPECT_EQ(notebook->style() & 0xFF, 0x28u);
    EXPECT_EQ(notebook->orientation(), INotebook::backpagesTopLeft);
    notebook->setOrientation(INotebook::backpagesTopLeft);
    EXPECT_EQ(log.trace(), "INotebook::orientation");
    log.stopHandlingNotificationsFor(*notebook);
}

TEST_F(OutsideNotebookTest, ColoursAreSentOnlyWhenNewAndReadBackOnceRecorded)
{
    makeOutside();
    ovktest::NotificationLog log;
    notebook->enableNotification();
    log.handleNotificationsFor(*notebook);
    Outside::resetJournal();
    const IColor current = notebook->majorTabBackgroundColor();
    notebook->setNotebookColors(0x00FF00, 4);
    notebook->setNotebookColors(0x00FF00, 10);
    notebook->setNotebookColors(current.asRGBLong(), 6);
    EXPECT_TRUE(Outside::journal().empty());

    notebook->setMajorTabBackgroundColor(IColor(0x12, 0x34, 0x56));
    EXPECT_EQ(Outside::journal(), (std::vector<std::string>{"0xF081 0x563412 area=6"}));
    EXPECT_EQ(notebook->majorTabBackgroundColor(), IColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(ovktest::pumpUntil([&] { return !log.entries().empty(); }));
    ovktest::pumpPending();
    EXPECT_EQ(log.trace(), "INotebook::majorTabBackgroundColor");
    notebook->resetMajorTabBackgroundColor();
    EXPECT_EQ(notebook->majorTabBackgroundColor(), current);
    log.stopHandlingNotificationsFor(*notebook);
}

} // namespace
