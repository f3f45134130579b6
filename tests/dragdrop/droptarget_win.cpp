// OLE binding: the per-thread OLE count, the drop target's effects and events, the right-button
// drop menu, the registration handler, the drag-start handler, and a whole drag through
// DoDragDrop with the cursor over a drop-enabled window.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <initializer_list>
#include <string>
#include <thread>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>
#include <idmdinfo.hpp>
#include <idmdnfo.hpp>
#include <idmdrtgt.hpp>
#include <idmdatao.hpp>
#include <idmdistr.hpp>
#include <idmdshdr.hpp>
#include <idmfact.hpp>
#include <idmfmten.hpp>
#include <idmevent.hpp>
#include <idmitem.hpp>
#include <idmoper.hpp>
#include <idmsupp.hpp>
#include <idmrendr.hpp>
#include <idmsrhdr.hpp>
#include <idmtghdr.hpp>
#include <iprivmsg.hpp>

#include <ovktest.hpp>

#include "detail/idmmedium.hpp"
#include "dragtest.hpp"

namespace {

using dragtest::FetchingFactory;
using dragtest::ForeignData;
using ovktest::caught;
using ovktest::str;

constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// Whether OLE is initialised on the calling thread, left as it was.
bool oleInitialized()
{
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

TEST(OleUse, OnlyTheFirstAndLastUserOfAThreadReachOle)
{
    bool afterTwo = false, afterOneOut = false, afterBothOut = true, again = false;
    std::thread([&] {
        IDMSupport::initializeOle();
        IDMSupport::initializeOle();
        afterTwo = oleInitialized();
        IDMSupport::uninitializeOle();
        afterOneOut = oleInitialized();
        IDMSupport::uninitializeOle();
        afterBothOut = oleInitialized();
        IDMSupport::uninitializeOle(); // no user left: nothing happens
        IDMSupport::initializeOle();
        again = oleInitialized();
        // One user holds one OLE reference: taking it away leaves OLE uninitialised.
        OleUninitialize();
        EXPECT_FALSE(oleInitialized());
        OleInitialize(nullptr);
        IDMSupport::uninitializeOle();
    }).join();
    EXPECT_TRUE(afterTwo);
    EXPECT_TRUE(afterOneOut);
    EXPECT_FALSE(afterBothOut);
    EXPECT_TRUE(again);
}

// The target side as the library's target handler will be: records the drag events, answers
// the drag-over event with `answer` and makes the current target operation, with one item that
// allows `operations`, unless it is told to build it from the event.
class TargetProbe : public IHandler {
public:
    std::string trace;
    unsigned short answer = 1;
    unsigned long operations = IDMItem::copyable;
    bool fromEvent = false;
    bool throwOnOver = false;
    unsigned long dropResult = 0;
    std::string types;
    // The names of the formats the drag's data object offers, joined by "|".
    std::string formats;
    // The item count of the "Shell IDList Array" block the drag delivered, -1 for none.
    long shellLists = -1;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        switch (event.eventId()) {
        case IPrivateMessage::dragOver: {
            trace += "over ";
            if (throwOnOver)
                IThrow::state("probe", IEXCEPTION_LOCATION("test", "over"));
            IDMTargetEnterEvent enter(event);
            if (!IDMTargetOperation::currentTargetOperation())
                IDMTargetOperation::setCurrentTargetOperation(makeOperation(enter));
            event.setResult(answer);
            return true;
        }
        case IPrivateMessage::dragLeave:
            trace += "leave ";
            IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
            return true;
        case IPrivateMessage::dragDrop: {
            const IReference<IDMTargetOperation> target = IDMTargetOperation::currentTargetOperation();
            trace += "drop:" + std::to_string(target ? target->operation() : 99) + " ";
            IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
            event.setResult(dropResult);
            return true;
        }
        default:
            return false;
        }
    }

private:
    static std::string formatNames(IDataObject* data) {
        std::string names;
        ovk_native::ComReference<IEnumFORMATETC> formats;
        if (!data || FAILED(data->EnumFormatEtc(DATADIR_GET, formats.put())) || !formats)
            return names;
        FORMATETC format{};
        while (formats->Next(1, &format, nullptr) == S_OK) {
            IString type;
            names += str(IDragInfoWrapper::typeOfFormat(format.cfFormat, type)) + "|";
        }
        return names;
    }
    // Asks for the shell's list format as the shell would, and reads its count within the block.
    static long shellListCount(IDataObject* data) {
        ovk_native::Medium fetched;
        if (!data ||
            !fetched.fetch(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array")),
                           TYMED_HGLOBAL))
            return -1;
        const ovk_native::GlobalLockScope block(fetched.medium.hGlobal);
        if (!block.data() || block.size() < sizeof(UINT))
            return -1;
        return static_cast<long>(*static_cast<const UINT*>(block.data()));
    }

    IReference<IDMTargetOperation> makeOperation(IDMTargetEnterEvent& enter) {
        if (fromEvent) {
            formats = formatNames(enter.dataObject());
            shellLists = shellListCount(enter.dataObject());
            IReference<IDMTargetOperation> made(new IDMTargetOperation(enter));
            if (made->numberOfItems())
                types = str(made->item(1)->types());
            return made;
        }
        IReference<IDMTargetOperation> made(new IDMTargetOperation(enter.handle()));
        IDMDragInfoItem entry;
        entry.supportedOperations = static_cast<std::uint16_t>(operations);
        made->addItem(IDMItem::Handle(new IDMItem(made.get(), entry)));
        return made;
    }
};

class DropTarget : public testing::Test {
protected:
    void SetUp() override {
        IDMSupport::initializeOle();
        probe.handleEventsFor(&window);
        target = new IDMDropTarget(&window);
        target->AddRef();
    }
    void TearDown() override {
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
        target->Release();
        probe.stopHandlingEventsFor(&window);
        IDMSupport::uninitializeOle();
    }

    DWORD enter(DWORD keys, DWORD offered = kAll) {
        DWORD effect = offered;
        EXPECT_EQ(target->DragEnter(&data, keys, POINTL{5, 6}, &effect), S_OK);
        return effect;
    }
    DWORD over(DWORD keys, DWORD offered = kAll) {
        DWORD effect = offered;
        EXPECT_EQ(target->DragOver(keys, POINTL{5, 6}, &effect), S_OK);
        return effect;
    }

    ovktest::TestWindow window;
    TargetProbe probe;
    ForeignData data;
    IDMDropTarget* target = nullptr;
};

TEST_F(DropTarget, KeysAndTheFirstItemChooseTheEffect)
{
    const DWORD copyOnly = IDMItem::copyable;
    const DWORD moveCopy = IDMItem::copyable | IDMItem::moveable;
    const struct {
        DWORD keys;
        DWORD operations;
        DWORD offered;
        DWORD expected;
    } cases[] = {
        {0, copyOnly, kAll, DROPEFFECT_COPY},
        {0, moveCopy, kAll, DROPEFFECT_MOVE},
        {0, IDMItem::linkable, kAll, DROPEFFECT_LINK},
        {MK_CONTROL, moveCopy, kAll, DROPEFFECT_COPY},
        {MK_CONTROL | MK_SHIFT, copyOnly, kAll, DROPEFFECT_NONE},
        {MK_CONTROL | MK_SHIFT, IDMItem::linkable | copyOnly, kAll, DROPEFFECT_LINK},
        {MK_SHIFT, copyOnly, kAll, DROPEFFECT_NONE},
        {MK_SHIFT, moveCopy, kAll, DROPEFFECT_MOVE},
        // A right-button drag offers move until the menu decides.
        {MK_RBUTTON, copyOnly, kAll, DROPEFFECT_MOVE},
        // Never an effect the source did not offer: with no key down, the first operation
        // that both the source offers and the item allows stands in for the default.
        {0, moveCopy, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {0, moveCopy | IDMItem::linkable, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {0, moveCopy, DROPEFFECT_LINK, DROPEFFECT_NONE},
        {MK_RBUTTON, copyOnly, DROPEFFECT_COPY, DROPEFFECT_COPY},
        // A key asks for one operation: none when the source does not offer it.
        {MK_SHIFT, moveCopy, DROPEFFECT_COPY, DROPEFFECT_NONE},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << row.keys << " operations " << row.operations);
        probe.operations = row.operations;
        EXPECT_EQ(enter(row.keys, row.offered), row.expected);
        EXPECT_EQ(over(row.keys, row.offered), row.expected);
        EXPECT_EQ(target->DragLeave(), S_OK);
    }
    EXPECT_EQ(probe.trace.substr(0, 16), "over over leave ");
}

TEST_F(DropTarget, ATargetThatTakesNoDropShowsNoEffect)
{
    probe.operations = IDMItem::copyable | IDMItem::moveable;
    for (unsigned short answer : {0, 3}) {
        probe.answer = answer;
        EXPECT_EQ(enter(0), DROPEFFECT_NONE) << answer;
        EXPECT_EQ(over(0), DROPEFFECT_NONE) << answer;
        target->DragLeave();
    }
    probe.answer = 2;
    EXPECT_EQ(enter(0), DROPEFFECT_MOVE);
}

// Called as another program's drag calls it, with no drag loop of the library on the thread
// to hand it to, the exception is reported and dropped; in the library's own drag it waits for
// the drag's caller (DragAfterAFailedDrop).
TEST_F(DropTarget, AnExceptionGivesOleNoEffectAndIsReportedOutsideTheLibrarysOwnDrag)
{
    ovktest::ExpectAssertions reports;
    probe.throwOnOver = true;
    EXPECT_EQ(enter(0), DROPEFFECT_NONE);
    EXPECT_FALSE(ICallbackGuard::hasPending());
    // A drag with no items is no drop: it shows no effect and raises nothing.
    probe.throwOnOver = false;
    IReference<IDMTargetOperation> empty(new IDMTargetOperation(window.hwnd()));
    IDMTargetOperation::setCurrentTargetOperation(empty);
    EXPECT_EQ(enter(0), DROPEFFECT_NONE);
    EXPECT_FALSE(ICallbackGuard::hasPending());
    EXPECT_EQ(reports.reports().size(), 1u);
}

// What a left-button drop reports is what the target did, and never a move of another
// program's data (its source would delete the original).
TEST_F(DropTarget, ADropReportsWhatTheTargetDid)
{
    probe.operations = IDMItem::copyable | IDMItem::moveable;
    const struct {
        unsigned long done;
        DWORD expected;
    } cases[] = {{0, DROPEFFECT_NONE}, {IDMOperation::copy, DROPEFFECT_COPY},
                 {IDMOperation::move, DROPEFFECT_COPY}};
    for (const auto& row : cases) {
        probe.trace.clear();
        probe.dropResult = row.done;
        enter(0);
        DWORD effect = kAll;
        EXPECT_EQ(target->Drop(&data, 0, POINTL{5, 6}, &effect), S_OK);
        EXPECT_EQ(effect, row.expected) << row.done;
        EXPECT_EQ(probe.trace, "over drop:2 ");
    }
}

// Another program's drag that offers only copy, over items that would rather move, is shown as
// a copy and dropped as one.
TEST_F(DropTarget, ACopyOnlyForeignDragOverMovableItemsCopies)
{
    probe.operations = IDMItem::copyable | IDMItem::moveable;
    probe.dropResult = IDMOperation::copy;
    EXPECT_EQ(enter(0, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_EQ(over(0, DROPEFFECT_COPY), DROPEFFECT_COPY);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(&data, 0, POINTL{5, 6}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(probe.trace, "over over drop:1 ");
}

// Ends the pop-up menu the way a user's choice does: the menu closes and its command arrives
// through the queue. A watchdog-free timer: it fires once.
class MenuChoice {
public:
    MenuChoice(HWND owner, unsigned long command) {
        gOwner = owner;
        gCommand = command;
        gEntries.clear();
        SetTimer(nullptr, 0, 150, &MenuChoice::fire);
    }
    static std::string entries() { return gEntries; }

private:
    static VOID CALLBACK fire(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (HWND menuWindow = FindWindowA("#32768", nullptr)) {
            const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1, 0, 0));
            for (int position = 0; position < GetMenuItemCount(menu); ++position) {
                char text[40] = {};
                GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
                gEntries += std::string(*text ? text : "-") + "|";
            }
        }
        EndMenu();
        PostMessageA(gOwner, WM_COMMAND, gCommand, 0);
    }

    static inline HWND gOwner = nullptr;
    static inline unsigned long gCommand = 0;
    static inline std::string gEntries;
};

TEST_F(DropTarget, ARightButtonDropCarriesOutTheChosenCommandBeforeItReturns)
{
    probe.dropResult = IDMOperation::copy;
    probe.operations = IDMItem::copyable;
    window.show();
    EXPECT_EQ(enter(MK_RBUTTON), DROPEFFECT_MOVE);
    {
        MenuChoice choice(window.hwnd(), IDMDropCommandHandler::copyCommand);
        DWORD effect = kAll;
        EXPECT_EQ(target->Drop(&data, MK_RBUTTON, POINTL{5, 6}, &effect), S_OK);
        EXPECT_EQ(MenuChoice::entries(), "&Copy|-|C&ancel|");
        EXPECT_EQ(probe.trace, "over drop:1 ");
        EXPECT_EQ(effect, DROPEFFECT_COPY);
        EXPECT_EQ(data.references(), 0);
    }
    probe.trace.clear();
    EXPECT_EQ(enter(MK_RBUTTON), DROPEFFECT_MOVE);
    {
        MenuChoice choice(window.hwnd(), IDMDropCommandHandler::cancelCommand);
        DWORD effect = kAll;
        EXPECT_EQ(target->Drop(&data, MK_RBUTTON, POINTL{5, 6}, &effect), S_OK);
        EXPECT_EQ(probe.trace, "over leave ");
        EXPECT_EQ(effect, DROPEFFECT_NONE);
        EXPECT_EQ(data.references(), 0);
    }
    // A right-button release without a pending drop shows no menu.
    probe.trace.clear();
    ovktest::send(window.hwnd(), WM_RBUTTONUP);
    EXPECT_EQ(probe.trace, "");
}

TEST(DropTargetHandler, ADestroyedWindowIsRevokedAndCountsItsOleUseOut)
{
    IDMSupport::initializeOle();
    const unsigned long before = IDMSupport::oleUseCount();
    auto window = std::make_unique<ovktest::TestWindow>();
    HRESULT revokedAfter = S_OK;
    ovktest::Recorder destroyed(WM_DESTROY);
    // Attached first, so it sees the message after the registration handler.
    destroyed.attach(*window, "destroy").setAction([&](IEvent& event) {
        revokedAfter = RevokeDragDrop(event.handle());
        return false;
    });
    IDMDropTargetHandler handler;
    IDMSupport::initializeOle();
    handler.handleEventsFor(window.get());
    ASSERT_NE(handler.dropTargetFor(window.get()), nullptr);
    EXPECT_TRUE(handler.dropTargetFor(window.get())->isRegistered());
    DestroyWindow(window->hwnd());
    EXPECT_EQ(revokedAfter, DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(IDMSupport::oleUseCount(), before);
    IDMSupport::uninitializeOle();
}

// A window that starts a drag when the mouse has moved more than 5 pixels from the press.
class DragWindow : public ovktest::TestWindow {
public:
    IBase::Boolean isDragStarting(IEvent& event) override {
        const LPARAM at = event.parameter2().asLong();
        if (event.eventId() == WM_LBUTTONDOWN) {
            fPress = MAKEPOINTS(at);
            return false;
        }
        const POINTS now = MAKEPOINTS(at);
        return event.eventId() == WM_MOUSEMOVE &&
               (std::abs(now.x - fPress.x) > 5 || std::abs(now.y - fPress.y) > 5);
    }

private:
    POINTS fPress{};
};

TEST(DragStartHandler, SendsThePressPointOnceTheWindowSaysADragStarts)
{
    DragWindow window;
    IDMDragStartHandler handler;
    handler.handleEventsFor(&window);
    ovktest::Recorder starts(IPrivateMessage::dragStart);
    IEventData point;
    starts.attach(window, "start").setAction([&](IEvent& event) {
        point = event.parameter1();
        return true;
    });
    ovktest::send(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 12));
    ovktest::send(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 13));
    EXPECT_EQ(starts.trace(), "");
    ovktest::send(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 13));
    EXPECT_EQ(starts.trace(), "start");
    EXPECT_EQ(point.lowNumber(), 10);
    EXPECT_EQ(point.highNumber(), 12);
    handler.stopHandlingEventsFor(&window);
}

TEST(DragEvents, PointsAreSignExtendedAndAPlainWindowIsNoContainer)
{
    ovktest::TestWindow window;
    IEvent raw(IWindowHandle(window.hwnd()), IPrivateMessage::dragOver,
               IEventParameter1(static_cast<std::uint16_t>(-5), static_cast<std::uint16_t>(-7)), 0);
    IDMTargetEnterEvent enter(raw);
    EXPECT_EQ(enter.position(), IPoint(-5, -7));
    EXPECT_EQ(enter.containerObject(), nullptr);
    EXPECT_FALSE(enter.isOverContainerObject());
    EXPECT_EQ(enter.containerWindow(), nullptr);
    // The context is the window's, fetched once and kept until it is released.
    const HDC context = enter.presSpace();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(WindowFromDC(context), window.hwnd());
    EXPECT_EQ(enter.presSpace(), context);
    enter.releasePresSpace();
    EXPECT_EQ(WindowFromDC(context), nullptr) << "released to the window";
    EXPECT_EQ(WindowFromDC(enter.presSpace()), window.hwnd());

    IEvent other(IWindowHandle(window.hwnd()), IPrivateMessage::dragOver, IEventParameter1(5, 6), 0);
    EXPECT_EQ(IDMSourceBeginEvent(other).position(), IPoint(0, 0));
    EXPECT_FALSE(IDMSupport::isContainer(&window));
    EXPECT_FALSE(IDMSupport::isContainer(nullptr));
}

// The whole road: DoDragDrop with the cursor over a registered window.
class WholeDrag : public testing::Test {
protected:
    void SetUp() override {
        IDMSupport::initializeOle();
        SetWindowPos(targetWindow.hwnd(), HWND_TOPMOST, 100, 100, 200, 150, SWP_SHOWWINDOW);
        IDMSupport::initializeOle();
        registration.handleEventsFor(&targetWindow);
        probe.fromEvent = true;
        probe.handleEventsFor(&targetWindow);
        SetCursorPos(200, 170);
    }
    void TearDown() override {
        probe.stopHandlingEventsFor(&targetWindow);
        IDMTargetOperation::setCurrentTargetOperation(IReference<IDMTargetOperation>());
        IDMSourceOperation::setCurrentSourceOperation(IReference<IDMSourceOperation>());
        IDMSupport::uninitializeOle();
    }

    ovktest::TestWindow sourceWindow;
    ovktest::TestWindow targetWindow{nullptr, WS_POPUP};
    IDMDropTargetHandler registration;
    TargetProbe probe;
};

TEST_F(WholeDrag, BeginDeliversOverThenDropWithTheSourceItemsTypes)
{
    IReference<IDMSourceOperation> source(new IDMSourceOperation(sourceWindow.hwnd()));
    source->addRef();
    source->addItem(IDMItem::Handle(new IDMItem(source.get(), "Text,Plain Text",
                                                IDMItem::copyable | IDMItem::moveable)));
    IDMSourceOperation::setCurrentSourceOperation(source);
    source->begin();
    EXPECT_EQ(probe.trace.substr(0, 5), "over ");
    EXPECT_NE(probe.trace.find("drop:"), std::string::npos) << probe.trace;
    EXPECT_EQ(probe.types, "Text,Plain Text");
    // The first item's types, then the drag information; no shell formats for an item that
    // does not render as a file.
    EXPECT_EQ(probe.formats, "Text|Plain Text|ZUQ_DRAGINFO|");

    probe.trace.clear();
    source->item(1)->addRMFs("<DRM_TARVOSFILE,DRF_TEXT>");
    source->begin();
    EXPECT_EQ(probe.formats,
              "Text|Plain Text|ZUQ_DRAGINFO|Shell IDList Array|Shell Object Offsets|FileName|");
}

// A file the shell cannot find has no item-ID list: its drag offers none, and a target that asks
// for one anyway gets nothing, while an existing file's drag delivers its list.
TEST_F(WholeDrag, FilesOfferTheShellsListOnlyWhenTheShellCanParseEveryPath)
{
    IDMSourceHandler renderers(&sourceWindow);
    const struct {
        const char* folder;
        const char* name;
        long lists;
    } cases[] = {{"C:\\no such folder here\\", "x.txt", -1}, {"C:\\", "windows", 1}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.folder);
        IReference<IDMSourceOperation> source(new IDMSourceOperation(sourceWindow.hwnd()));
        source->addRef();
        IDMItem::Handle file(new IDMItem(source.get(), "File", IDMItem::copyable));
        file->setRMFs("<DRM_TARVOSFILE,DRF_TEXT>");
        file->setTrueType("File");
        file->setContainerName(row.folder);
        file->setSourceName(row.name);
        source->addItem(file);
        IDMSourceOperation::setCurrentSourceOperation(source);
        ASSERT_TRUE(renderers.selectRenderers());
        probe.formats.clear();
        source->begin();
        EXPECT_EQ(probe.formats.find("Shell IDList Array") != std::string::npos, row.lists >= 0);
        EXPECT_EQ(probe.shellLists, row.lists);
    }
    renderers.stopHandlingEventsFor(&sourceWindow);
}

// Another program's drag, dropped through OLE on a drop-enabled window: each item fetches its
// data from the foreign blocks, and reads nothing outside a block, whatever its header claims.
struct ForeignCase {
    const char* name;
    const char* format;
    std::vector<char> block;
    std::string fetched; // the items' contents, from the last item to the first
};

// Little-endian 32-bit words, then bytes.
std::vector<char> bytesOf(std::initializer_list<std::uint32_t> words, std::initializer_list<char> tail)
{
    std::vector<char> block;
    for (const std::uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            block.push_back(static_cast<char>((word >> shift) & 0xFF));
    for (const char byte : tail)
        block.push_back(byte);
    return block;
}

// One item: the parent's list (empty) at 12, the item's list at 14: one record of 6 bytes.
const std::vector<char> kShellList =
    bytesOf({1, 12, 14}, {0, 0, 6, 0, 'x', 'y', 'z', 'w', 0, 0});

// Two items: the parent's list (empty) at 16, the first item's list at 26, the second's at 18;
// the text the item takes runs to the end of the list that ends last.
const std::vector<char> kShellListOfTwo =
    bytesOf({2, 16, 26, 18}, {0, 0, 6, 0, 'a', 'b', 'c', 'd', 0, 0, 4, 0, 'e', 'f', 0, 0});

class ForeignDrop : public testing::TestWithParam<ForeignCase> {
protected:
    void SetUp() override {
        IDMSupport::initializeOle();
        SetWindowPos(window.hwnd(), HWND_TOPMOST, 100, 100, 200, 150, SWP_SHOWWINDOW);
        IDMSupport::setItemFactory(&window, &items);
        IDMSupport::enableDrop(&window);
        SetCursorPos(200, 170);
    }
    void TearDown() override { IDMSupport::uninitializeOle(); }

    ovktest::TestWindow window{nullptr, WS_POPUP};
    FetchingFactory items;
};

TEST_P(ForeignDrop, FetchesEachItemWithinItsBlock)
{
    const ForeignCase& row = GetParam();
    const UINT format = std::string(row.format) == "File" ? CF_HDROP
                                                          : RegisterClipboardFormatA(row.format);
    ForeignData data;
    data.offer(static_cast<CLIPFORMAT>(format), row.block);
    // Another program's data is copied, never moved: its source would delete the original.
    EXPECT_EQ(dragtest::dragAtCursor(&data, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
    EXPECT_EQ(items.log, row.fetched);
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
    EXPECT_EQ(data.references(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ForeignDrop,
    testing::Values(
        ForeignCase{"Files", "File", dragtest::dropFiles({"C:\\dir\\a.txt", "C:\\b.txt"}),
                    "C:\\b.txt|C:\\dir\\a.txt|"},
        ForeignCase{"WideFiles", "File",
                    dragtest::dropFiles({"C:\\dir\\a.txt", "C:\\b.txt"}, 0, true),
                    "C:\\b.txt|C:\\dir\\a.txt|"},
        ForeignCase{"ListPastTheBlock", "File", dragtest::dropFiles({"C:\\a.txt"}, 4000), "|"},
        ForeignCase{"ListFourGigabytesAway", "File",
                    dragtest::dropFiles({"C:\\a.txt"}, 0xFFFFFFF0u), "|"},
        ForeignCase{"ListWithoutItsEnd", "File",
                    [] {
                        std::vector<char> block = dragtest::dropFiles({"C:\\a.txt"});
                        block.resize(block.size() - 2);
                        return block;
                    }(),
                    "|"},
        ForeignCase{"ShellList", "Shell IDList Array", kShellList,
                    std::string(kShellList.begin(), kShellList.end()) + "|"},
        ForeignCase{"ShellListCountPastTheBlock", "Shell IDList Array",
                    bytesOf({0x40000000u, 12, 14}, {0, 0}), "|"},
        ForeignCase{"ShellListOffsetPastTheBlock", "Shell IDList Array",
                    bytesOf({1, 12, 5000}, {0, 0}), "|"},
        ForeignCase{"ShellListRecordUnderTwoBytes", "Shell IDList Array",
                    bytesOf({1, 12, 14}, {0, 0, 1, 0, 'x', 'y'}), "|"},
        ForeignCase{"ShellListRecordPastTheBlock", "Shell IDList Array",
                    bytesOf({1, 12, 14}, {0, 0, 6, 0, 'x', 'y', 'z', 'w', 40, 0, 'v', 0}), "|"},
        ForeignCase{"ShellListWithoutItsEnd", "Shell IDList Array",
                    bytesOf({1, 12, 14}, {0, 0, 6, 0, 'x', 'y', 'z', 'w'}), "|"},
        // Every offset is another program's word, the parent's and each item's alike, not
        // only the last one.
        ForeignCase{"ShellListParentPastTheBlock", "Shell IDList Array",
                    bytesOf({1, 5000, 14}, {0, 0, 6, 0, 'x', 'y', 'z', 'w', 0, 0}), "|"},
        ForeignCase{"ShellListParentInTheHeader", "Shell IDList Array",
                    bytesOf({1, 2, 14}, {0, 0, 6, 0, 'x', 'y', 'z', 'w', 0, 0}), "|"},
        ForeignCase{"ShellListParentWithoutItsEnd", "Shell IDList Array",
                    bytesOf({1, 18, 12}, {0, 0, 6, 0, 'x', 'y', 'z', 'w', 0, 0}), "|"},
        ForeignCase{"ShellListFirstOfTwoPastTheBlock", "Shell IDList Array",
                    bytesOf({2, 16, 9000, 16}, {0, 0}), "|"},
        ForeignCase{"ShellListFirstOfTwoRecordPastTheBlock", "Shell IDList Array",
                    bytesOf({2, 16, 18, 16}, {0, 0, 40, 0, 'x', 'y'}), "|"},
        ForeignCase{"ShellListOfTwo", "Shell IDList Array", kShellListOfTwo,
                    std::string(kShellListOfTwo.begin(), kShellListOfTwo.end()) + "|"}),
    [](const testing::TestParamInfo<ForeignCase>& info) { return std::string(info.param.name); });

// A drag whose drop throws, then another: each drag is judged and dropped as its own items, and
// neither leaves an operation current. A source window that drags one text item named by the
// test; a target whose items note what they fetched.
class NamedText : public IDMItemFactory {
public:
    const char* name = "";
    IBase::Boolean provideSourceItems(IDMSourceBeginEvent&) override {
        IDMSourceOperation* operation = ovkCurrentSourceOperation();
        operation->addRef();
        IDMItem::Handle item(new IDMItem(operation, "Text", IDMItem::copyable | IDMItem::moveable));
        item->setRMFs("<DRM_KestaUI,DRF_TEXT>");
        item->setSourceName(name);
        operation->addItem(item);
        return true;
    }
};

TEST(DragAfterAFailedDrop, IsTheNewDragsOwn)
{
    IDMSupport::initializeOle();
    ovktest::TestWindow sourceWindow;
    ovktest::TestWindow targetWindow{nullptr, WS_POPUP};
    SetWindowPos(targetWindow.hwnd(), HWND_TOPMOST, 100, 100, 200, 150, SWP_SHOWWINDOW);
    NamedText sourceItems;
    FetchingFactory targetItems;
    IDMSupport::setItemFactory(&sourceWindow, &sourceItems);
    IDMSupport::enableDragDrop(&sourceWindow);
    IDMSupport::setItemFactory(&targetWindow, &targetItems);
    IDMSupport::enableDrop(&targetWindow);
    SetCursorPos(200, 170);

    sourceItems.name = "bad";
    EXPECT_EQ(caught([&] { sourceWindow.sendEvent(IPrivateMessage::dragStart, 0, 0); }).text(),
              IString("bad item"));
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());

    sourceItems.name = "good";
    sourceWindow.sendEvent(IPrivateMessage::dragStart, 0, 0);
    EXPECT_EQ(targetItems.log, "bad|good|");
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
    IDMSupport::uninitializeOle();
}

// The library's target handler, noting what it answered to each drag over: the drop answer and
// the operation it judged.
class JudgingHandler : public IDMTargetHandler {
public:
    using IDMTargetHandler::IDMTargetHandler;
    std::string judged;

protected:
    IBase::Boolean targetEnter(IDMTargetEnterEvent& event) override {
        const IBase::Boolean handled = IDMTargetHandler::targetEnter(event);
        judged += std::to_string(event.dropAnswer()) + ":" +
                  std::to_string(event.defaultOperation()) + " ";
        return handled;
    }
};

// The target handler judges the operation by the keys OLE passes with the drag, not by the key
// state of its own thread, which a drag from another thread or program leaves as it is. Here
// the thread says Control while OLE says otherwise, over an item that can only be moved.
TEST(DropTargetKeys, TheOperationIsJudgedByTheKeysOlePasses)
{
    IDMSupport::initializeOle();
    ovktest::TestWindow window;
    JudgingHandler handler(&window);
    {
        ovk_native::ComReference<IDropTarget> target;
        ASSERT_TRUE(target.query(new IDMDropTarget(&window), IID_IDropTarget));
        IDMDragInfo info(1);
        info.item(0).types = "Text";
        info.item(0).rmfs = "<DRM_KestaUI,DRF_TEXT>";
        info.item(0).supportedOperations = static_cast<std::uint16_t>(IDMItem::moveable);
        const FORMATETC formats[] = {{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                                     {IDMDragInfoStream::format(), nullptr, DVASPECT_CONTENT, -1,
                                      TYMED_ISTREAM}};
        ovk_native::ComReference<IEnumFORMATETC> enumerator;
        ASSERT_TRUE(enumerator.query(new IDMFormatEnumerator(2, formats), IID_IEnumFORMATETC));
        const ovk_native::ComReference<IStream> stream(IDMDragInfoStream::create(info));
        ovk_native::ComReference<IDataObject> data;
        ASSERT_TRUE(data.query(new IDMDataObject(&window, enumerator.get(), stream.get()),
                               IID_IDataObject));

        BYTE keys[256] = {};
        GetKeyboardState(keys);
        BYTE thread[256] = {};
        std::copy(std::begin(keys), std::end(keys), std::begin(thread));
        thread[VK_CONTROL] = 0x80;
        SetKeyboardState(thread);
        // No key and Shift move the item (answer 1, operation move); Control asks for a copy the
        // item does not allow (answer 2, no drop for this operation).
        const struct {
            DWORD oleKeys;
            DWORD effect;
            const char* judged;
        } cases[] = {{0, DROPEFFECT_MOVE, "1:2 "},
                     {MK_SHIFT, DROPEFFECT_MOVE, "1:2 "},
                     {MK_CONTROL, DROPEFFECT_NONE, "2:1 "}};
        for (const auto& row : cases) {
            handler.judged.clear();
            DWORD effect = kAll;
            EXPECT_EQ(target->DragEnter(data.get(), row.oleKeys, POINTL{5, 6}, &effect), S_OK);
            EXPECT_EQ(effect, row.effect) << "OLE's keys " << row.oleKeys;
            EXPECT_EQ(handler.judged, row.judged) << "OLE's keys " << row.oleKeys;
            target->DragLeave();
    }
    SetKeyboardState(keys);
    }
    handler.stopHandlingEventsFor(&window);
    IDMSupport::uninitializeOle();
}

} // namespace
