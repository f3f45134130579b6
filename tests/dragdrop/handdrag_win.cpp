// Drags made as a hand makes them: the button held through real input, the pointer moved in
// steps and lingering over the target for several ticks of OLE's drag loop before the release.
// What the user sees while lingering is sampled on the hand's thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <detail/icallgrd.hpp>
#include <icnrctl.hpp>
#include <icnrobj.hpp>
#include <ientryfd.hpp>
#include <idmcnrit.hpp>
#include <idmdinfo.hpp>
#include <idmdistr.hpp>
#include <idmfact.hpp>
#include <idmnames.hpp>
#include <idmrendr.hpp>
#include <itrace.hpp>
#include <idmtbit.hpp>
#include <idmoper.hpp>
#include <idmsupp.hpp>
#include <iprivmsg.hpp>
#include <ovkcnr.hpp>

#include <handdrag.hpp>
#include <ovktest.hpp>

#include "dragtest.hpp"

namespace {

class Thing : public ICnrObj {
public:
    explicit Thing(const char* text) : ICnrObj(IPointerHandle(), text) {}
};

enum class Kind { native, messageDriven };

struct ContainerDragCase {
    const char* name;
    Kind sourceKind;
    Kind targetKind;
    bool withinOne;
    bool control;
    // The application holds the target's refresh across the whole drag.
    bool held = false;
};

std::ostream& operator<<(std::ostream& out, const ContainerDragCase& c) { return out << c.name; }

// Whether the window under the point is the container or one of its controls.
bool under(HWND container, POINT point)
{
    const HWND hit = WindowFromPoint(point);
    return hit && (hit == container || IsChild(container, hit));
}

class ContainerHandDrag : public testing::TestWithParam<ContainerDragCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(OvkCnrRegisterClass());
        SetWindowPos(leftFrame.hwnd(), nullptr, 100, 100, 220, 220, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(rightFrame.hwnd(), nullptr, 400, 100, 220, 220, SWP_NOZORDER | SWP_SHOWWINDOW);
        const ContainerDragCase& c = GetParam();
        left = make(0x61, leftFrame, c.sourceKind);
        right = c.withinOne ? nullptr : make(0x62, rightFrame, c.targetKind);
        for (Thing* thing : things)
            left->addObject(thing);
        for (ICnrCtl* container : {left.get(), right.get()})
            if (container)
                IDMSupport::enableDragDropFor<IDMCnrItem>(container);
    }
    void TearDown() override {
        // What a copy made is the test's to delete; the things are deleted below.
        for (ICnrCtl* container : {left.get(), right.get()}) {
            if (!container)
                continue;
            std::vector<ICnrObj*> held;
            for (unsigned long i = 0; i < container->objectCount(); ++i)
                held.push_back(container->objectAt(i));
            container->removeAllObjects();
            for (ICnrObj* object : held)
                if (std::find(things.begin(), things.end(), object) == things.end() &&
                    std::find(copies.begin(), copies.end(), object) == copies.end())
                    copies.push_back(object);
        }
        left.reset();
        right.reset();
        for (Thing* thing : things)
            delete thing;
        for (ICnrObj* copy : copies)
            delete copy;
    }

    std::unique_ptr<ICnrCtl> make(unsigned long id, ovktest::TestWindow& frame, Kind kind) {
        ICnrCtl::Style style = ICnrCtl::defaultStyle();
        if (kind == Kind::messageDriven)
            style |= ICnrCtl::messageContainer;
        auto container = std::make_unique<ICnrCtl>(id, &frame, &frame, IRectangle(0, 0, 200, 200), style);
        container->showIconView();
        return container;
    }
    ICnrCtl& target() { return right ? *right : *left; }
    // The middle of the object's icon on the screen.
    POINT onObject(ICnrCtl& container, ICnrObj* object) {
        const IRectangle icon = container.iconRectangle(object, false);
        return ovktest::onScreen(container.handle(), static_cast<int>(icon.center().x()),
                                 static_cast<int>(icon.center().y()));
    }

    ovktest::TestWindow leftFrame{nullptr, WS_POPUP};
    ovktest::TestWindow rightFrame{nullptr, WS_POPUP};
    std::unique_ptr<ICnrCtl> left;
    std::unique_ptr<ICnrCtl> right;
    // Objects live in records that a container's allocator makes, so they are made with new.
    std::vector<Thing*> things{new Thing("a"), new Thing("b"), new Thing("c")};
    std::vector<ICnrObj*> copies;
};

TEST_P(ContainerHandDrag, ADropLandsAndTheTargetStaysUnderThePointerUntilIt)
{
    const ContainerDragCase& c = GetParam();
    ICnrCtl& into = target();
    // Leaves and drops in the order the target hears them.
    std::string heard;
    ovktest::Recorder leaves(IPrivateMessage::dragLeave);
    leaves.attach(into, "leave").setAction([&](IEvent&) {
        heard += "leave ";
        return false;
    });
    ovktest::Recorder drops(IPrivateMessage::dragDrop);
    drops.attach(into, "drop").setAction([&](IEvent&) {
        heard += "drop ";
        return false;
    });
    if (c.held)
        into.disableRefresh();
    std::atomic<int> seen{0};
    std::atomic<int> samples{0};
    const HWND intoHandle = into.handle();

    ovktest::HandPath path;
    path.from = onObject(*left, things[1]);
    path.to = ovktest::onScreen(intoHandle, 150, 150);
    path.control = c.control;
    path.lingerTicks = 10;
    ASSERT_TRUE(ovktest::dragByHand(path, [&](POINT pointer) {
        ++samples;
        if (IsWindowVisible(intoHandle) && under(intoHandle, pointer))
            ++seen;
    }));

    EXPECT_EQ(seen.load(), samples.load());
    EXPECT_EQ(heard, "drop ");
    const unsigned long expected = c.withinOne ? (c.control ? 4u : 3u) : 1u;
    EXPECT_EQ(into.objectCount(), expected);
    if (!c.withinOne) {
        EXPECT_EQ(into.containsObject(things[1]), !c.control);
        EXPECT_EQ(left->containsObject(things[1]), c.control);
    }
    // The end of the drag lets go of its own hold on the refresh, never of the application's.
    EXPECT_EQ(into.isRefreshOn(), !c.held);
    if (c.held)
        into.enableRefresh();
    EXPECT_TRUE(into.isRefreshOn());
    EXPECT_TRUE(left->isRefreshOn());
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
}

INSTANTIATE_TEST_SUITE_P(
    Containers, ContainerHandDrag,
    testing::Values(
        ContainerDragCase{"NativeToNative", Kind::native, Kind::native, false, false},
        ContainerDragCase{"NativeToNativeWithControl", Kind::native, Kind::native, false, true},
        ContainerDragCase{"MessageToMessage", Kind::messageDriven, Kind::messageDriven, false, false},
        ContainerDragCase{"MessageToMessageWithControl", Kind::messageDriven, Kind::messageDriven,
                          false, true},
        ContainerDragCase{"NativeToMessage", Kind::native, Kind::messageDriven, false, false},
        ContainerDragCase{"MessageToNative", Kind::messageDriven, Kind::native, false, false},
        ContainerDragCase{"WithinANative", Kind::native, Kind::native, true, false},
        ContainerDragCase{"WithinANativeWithControl", Kind::native, Kind::native, true, true},
        ContainerDragCase{"WithinAMessageDriven", Kind::messageDriven, Kind::messageDriven, true,
                          false},
        ContainerDragCase{"WithinAMessageDrivenWithControl", Kind::messageDriven,
                          Kind::messageDriven, true, true},
        ContainerDragCase{"IntoAHeldNative", Kind::messageDriven, Kind::native, false, false, true},
        ContainerDragCase{"IntoAHeldMessageDriven", Kind::native, Kind::messageDriven, false, false,
                          true}),
    [](const testing::TestParamInfo<ContainerDragCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Text between entry fields: the press lands on the selection, which the hand carries to the
// other field.

struct TextDragCase {
    const char* name;
    bool control;  // a copy
    const char* sourceAfter;
};

std::ostream& operator<<(std::ostream& out, const TextDragCase& c) { return out << c.name; }

class TextHandDrag : public testing::TestWithParam<TextDragCase> {
protected:
    void SetUp() override {
        SetWindowPos(parent.hwnd(), nullptr, 120, 120, 320, 160, SWP_NOZORDER | SWP_SHOWWINDOW);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&source);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&target);
        source.setText("hello world");
        target.setText("old");
    }

    ovktest::TestWindow parent{nullptr, WS_POPUP};
    IEntryField source{21, &parent, &parent, IRectangle(10, 10, 300, 34)};
    IEntryField target{22, &parent, &parent, IRectangle(10, 90, 300, 114)};
};

TEST_P(TextHandDrag, TheSelectionLandsInTheOtherField)
{
    source.selectRange(IRange(6, 10));
    const LRESULT at = SendMessageA(source.handle(), EM_POSFROMCHAR, 7, 0);
    ovktest::HandPath path;
    path.from = ovktest::onScreen(source.handle(), LOWORD(at), HIWORD(at) + 4);
    path.to = ovktest::onScreen(target.handle(), 100, 12);
    path.control = GetParam().control;
    ASSERT_TRUE(ovktest::dragByHand(path));
    EXPECT_EQ(std::string(static_cast<const char*>(target.text())), "world");
    EXPECT_EQ(std::string(static_cast<const char*>(source.text())), GetParam().sourceAfter);
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, TextHandDrag,
    testing::Values(TextDragCase{"AMoveTakesTheTextFromTheSource", false, "hello "},
                    TextDragCase{"ACopyLeavesIt", true, "hello world"}),
    [](const testing::TestParamInfo<TextDragCase>& info) { return std::string(info.param.name); });

// The hand's drag of the characters [first, last] of the source's text to the middle of the
// target; the press lands on the second of them.
class TextDrags : public testing::Test {
protected:
    void SetUp() override {
        SetWindowPos(parent.hwnd(), nullptr, 120, 120, 320, 160, SWP_NOZORDER | SWP_SHOWWINDOW);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&source);
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(target.get());
        target->setText("old");
    }
    bool drag(long first, long last) {
        source.selectRange(IRange(first, last));
        const LRESULT at = SendMessageA(source.handle(), EM_POSFROMCHAR, first + 1, 0);
        ovktest::HandPath path;
        path.from = ovktest::onScreen(source.handle(), LOWORD(at), HIWORD(at) + 4);
        path.to = ovktest::onScreen(target->handle(), 100, 12);
        return ovktest::dragByHand(path);
    }
    static std::string textOf(const IEntryField& field) {
        return static_cast<const char*>(field.text());
    }

    ovktest::TestWindow parent{nullptr, WS_POPUP};
    IEntryField source{21, &parent, &parent, IRectangle(10, 10, 300, 34)};
    std::unique_ptr<IEntryField> target =
        std::make_unique<IEntryField>(22, &parent, &parent, IRectangle(10, 90, 300, 114));
};

// The whole drag runs inside the press on the source. Once it is over, with the button up, the
// source holds no capture, so that the next drag, straight after and with no click between,
// starts and lands too.
TEST_F(TextDrags, TwoInARowBothLand)
{
    source.setText("hello world");
    ASSERT_TRUE(drag(6, 10));
    EXPECT_EQ(textOf(*target), "world");
    EXPECT_EQ(textOf(source), "hello ");
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(GetCapture(), nullptr);

    source.setText("second drag");
    ASSERT_TRUE(drag(7, 10));
    EXPECT_EQ(textOf(*target), "drag");
    EXPECT_EQ(textOf(source), "second ");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

// A moved word that occurs twice in its field is taken from it once: the occurrence that was
// dragged goes, the other stays.
struct RepeatedWordCase {
    const char* name;
    long first;
    long last;
    const char* sourceAfter;
};

std::ostream& operator<<(std::ostream& out, const RepeatedWordCase& c) { return out << c.name; }

class RepeatedWordDrag : public TextDrags, public testing::WithParamInterface<RepeatedWordCase> {};

TEST_P(RepeatedWordDrag, IsTakenFromItsSourceOnce)
{
    source.setText("world world");
    ASSERT_TRUE(drag(GetParam().first, GetParam().last));
    EXPECT_EQ(textOf(*target), "world");
    EXPECT_EQ(textOf(source), GetParam().sourceAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Occurrences, RepeatedWordDrag,
    testing::Values(RepeatedWordCase{"TheFirst", 0, 4, " world"},
                    RepeatedWordCase{"TheSecond", 6, 10, "world "}),
    [](const testing::TestParamInfo<RepeatedWordCase>& info) { return std::string(info.param.name); });

// Text dropped into a password field is a password from then on: neither the item that carried
// it into the field nor the source's item keeps a copy once its part is done. A plain field's
// item keeps its text as before.
class NotedTextItem : public IDMEntryFieldItem {
public:
    using IDMEntryFieldItem::IDMEntryFieldItem;
    static inline std::string noted;

    // The generator as a program writes it: the item adopts the reference taken for it.
    static IBase::Boolean generateSourceItems(IDMSourceOperation* operation) {
        operation->addRef();
        operation->addItem(IDMItem::Handle(new NotedTextItem(operation)));
        return true;
    }
    IBase::Boolean targetDrop(IDMTargetDropEvent& event) override {
        const IBase::Boolean dropped = IDMEntryFieldItem::targetDrop(event);
        noted += "dropped holding \"" + std::string(contents()) + "\" ";
        return dropped;
    }
    IBase::Boolean sourceEnd(IDMSourceEndEvent& event) override {
        const IBase::Boolean ended = IDMEntryFieldItem::sourceEnd(event);
        noted += "ended holding \"" + std::string(contents()) + "\"";
        return ended;
    }
};

TEST_F(TextDrags, IntoAPasswordFieldLeaveNoCopyInTheItems)
{
    for (const bool password : {false, true}) {
        SCOPED_TRACE(password ? "password" : "plain");
        IEntryField::Style style = IEntryField::defaultStyle();
        if (password)
            style |= IEntryField::_unreadable;
        target = std::make_unique<IEntryField>(22, &parent, &parent, IRectangle(10, 90, 300, 114),
                                               style);
        IDMSupport::setItemFactory(target.get(), &ovkDefaultItemFactory<NotedTextItem>());
        IDMSupport::enableDragDropFor<IDMEntryFieldItem>(target.get());
        IDMSupport::setItemFactory(&source, &ovkDefaultItemFactory<NotedTextItem>());
        source.setText("hello world");
        NotedTextItem::noted.clear();
        ASSERT_TRUE(drag(6, 10));
        IString taken = target->text();
        EXPECT_EQ(std::string(taken), "world");
        taken.wipe();
        EXPECT_EQ(textOf(source), "hello ");
        EXPECT_EQ(NotedTextItem::noted, password
                                            ? "dropped holding \"\" ended holding \"\""
                                            : "dropped holding \"world\" ended holding \"world\"");
    }
}

// An application's own source items, made by a provider as IDMItem's header shows (or, as a
// newcomer may write it, without the reference the item adopts). However the drag goes, refused
// before it starts, ended where no one takes it, or dropped, nothing crashes and no item (and so
// no operation, whose list holds them) outlives it. A refused drag says why in the trace.
class CountedItem : public IDMItem {
public:
    explicit CountedItem(IDMSourceOperation* operation)
        : IDMItem(operation, IDMNames::text, copyable | moveable) { ++living; }
    ~CountedItem() override { --living; }
    static inline int living = 0;
};

class ApplicationItems : public IDMItemFactory {
public:
    IString pairs;
    bool takeReference = true;
    IBase::Boolean provideSourceItems(IDMSourceBeginEvent&) override {
        IDMSourceOperation* operation = ovkCurrentSourceOperation();
        if (takeReference)
            operation->addRef();
        IDMItem::Handle item(new CountedItem(operation));
        item->setRMFs(pairs);
        item->setContents("carried");
        operation->addItem(item);
        return true;
    }
};

enum class Road { refused, ended, dropped };

struct ApplicationItemCase {
    const char* name;
    Road road;
    bool takeReference;
    const char* traced; // a part of the trace, "" for no trace at all
};

std::ostream& operator<<(std::ostream& out, const ApplicationItemCase& c) { return out << c.name; }

std::string gTraced;

class ApplicationItemDrag : public TextDrags,
                            public testing::WithParamInterface<ApplicationItemCase> {
protected:
    void SetUp() override {
        TextDrags::SetUp();
        IDMSupport::setItemFactory(&source, &items);
        gTraced.clear();
        fPreviousSink = ITrace::setSink([](const char* line) { gTraced += line; });
        ITrace::enableTrace();
    }
    void TearDown() override {
        ITrace::disableTrace();
        ITrace::setSink(fPreviousSink);
    }

    ApplicationItems items;
    ITrace::Sink fPreviousSink = nullptr;
};

TEST_P(ApplicationItemDrag, NeitherCrashesNorLeaves)
{
    const ApplicationItemCase& c = GetParam();
    items.takeReference = c.takeReference;
    items.pairs = c.road == Road::refused
                      ? IDMItem::rmfFrom(IDMNames::rmFile, IDMNames::rfUnknown)
                      : IDMItem::rmfsFrom(IDMNames::rmLibrary, IDMRenderer::processFormat() + "," +
                                                                   IDMNames::rfSharedMemory);
    source.setText("hello world");
    source.selectRange(IRange(6, 10));
    const LRESULT at = SendMessageA(source.handle(), EM_POSFROMCHAR, 7, 0);
    ovktest::HandPath path;
    path.from = ovktest::onScreen(source.handle(), LOWORD(at), HIWORD(at) + 4);
    // The parent takes no drops: a drag released over it ends with nothing dropped.
    path.to = c.road == Road::ended ? ovktest::onScreen(parent.hwnd(), 150, 60)
                                    : ovktest::onScreen(target->handle(), 100, 12);
    // Twice: what one drag leaves shows in the next.
    for (int drag = 0; drag < 2; ++drag) {
        SCOPED_TRACE(drag);
        ASSERT_TRUE(ovktest::dragByHand(path));
        EXPECT_EQ(CountedItem::living, 0);
        EXPECT_EQ(textOf(*target), c.road == Road::dropped ? "carried" : "old");
        EXPECT_FALSE(IDMSourceOperation::currentSourceOperation());
        EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
        EXPECT_EQ(GetCapture(), nullptr);
        target->setText("old");
        source.selectRange(IRange(6, 10));
    }
    if (*c.traced)
        EXPECT_NE(gTraced.find(c.traced), std::string::npos) << gTraced;
    else
        EXPECT_EQ(gTraced, "");
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ApplicationItemDrag,
    testing::Values(
        ApplicationItemCase{"Refused", Road::refused, true,
                            "no renderer serves item 1 (types \"Text\", pairs "
                            "\"<DRM_TARVOSFILE,DRF_UNKNOWN>\"); the drag does not start"},
        ApplicationItemCase{"Ended", Road::ended, true, ""},
        ApplicationItemCase{"Dropped", Road::dropped, true, ""},
        ApplicationItemCase{"RefusedWithoutTheReference", Road::refused, false,
                            "took no reference on the source operation for 1 of its items"},
        ApplicationItemCase{"EndedWithoutTheReference", Road::ended, false,
                            "took no reference on the source operation for 1 of its items"},
        ApplicationItemCase{"DroppedWithoutTheReference", Road::dropped, false,
                            "took no reference on the source operation for 1 of its items"}),
    [](const testing::TestParamInfo<ApplicationItemCase>& info) {
        return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------------------------
// Another program's drag: its own drag loop, started as its window sees the button go down, with
// a data object of its own. The library's code is nowhere on the stack while the drag runs.

// Ends the drop menu as a user does with the keyboard: Escape, posted to the menu once it shows.
class EscapeFromMenu {
public:
    EscapeFromMenu() { gTimer = SetTimer(nullptr, 0, 100, &EscapeFromMenu::fire); }
    ~EscapeFromMenu() { KillTimer(nullptr, gTimer); }
    EscapeFromMenu(const EscapeFromMenu&) = delete;
    EscapeFromMenu& operator=(const EscapeFromMenu&) = delete;
    static bool shown() { return gShown; }

private:
    static VOID CALLBACK fire(HWND, UINT, UINT_PTR, DWORD) {
        if (HWND menu = FindWindowA("#32768", nullptr)) {
            if (IsWindowVisible(menu)) {
                gShown = true;
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        }
    }
    static inline UINT_PTR gTimer = 0;
    static inline bool gShown = false;
};

class ForeignHandDrag : public testing::Test {
protected:
    void SetUp() override {
        IDMSupport::initializeOle();
        SetWindowPos(sourceWindow.hwnd(), nullptr, 100, 100, 150, 150, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(targetWindow->hwnd(), nullptr, 400, 100, 150, 150, SWP_NOZORDER | SWP_SHOWWINDOW);
        IDMSupport::setItemFactory(targetWindow.get(), &targetItems);
        IDMSupport::enableDrop(targetWindow.get());
    }
    void TearDown() override {
        targetWindow.reset();
        IDMSupport::uninitializeOle();
    }

    // The other program's drag of the data by hand, from its window to the middle of the target.
    DWORD drag(IDataObject* data, bool rightButton, ovktest::HandDrag::Sample sample = {}) {
        ovktest::HandPath path;
        path.from = ovktest::onScreen(sourceWindow.hwnd(), 75, 75);
        path.to = ovktest::onScreen(targetHandle, 75, 75);
        path.rightButton = rightButton;
        ovktest::HandDrag hand(path, std::move(sample));
        const int button = rightButton ? VK_RBUTTON : VK_LBUTTON;
        EXPECT_TRUE(ovktest::pumpUntil([&] { return GetKeyState(button) < 0; }, 5000));
        const DWORD effect = dragtest::dragWhileHeld(data, DROPEFFECT_COPY | DROPEFFECT_MOVE);
        EXPECT_TRUE(ovktest::pumpUntil([&] { return hand.done(); }, 10000));
        return effect;
    }
    static dragtest::ForeignData& text(dragtest::ForeignData& data, const char* contents) {
        return data.offer(CF_TEXT, std::vector<char>(contents, contents + std::strlen(contents) + 1));
    }

    ovktest::TestWindow sourceWindow{nullptr, WS_POPUP};
    std::unique_ptr<ovktest::TestWindow> targetWindow =
        std::make_unique<ovktest::TestWindow>(nullptr, WS_POPUP);
    const HWND targetHandle = targetWindow->hwnd();
    dragtest::FetchingFactory targetItems;
};

TEST_F(ForeignHandDrag, ADropLandsAsTheProgramsOwnItems)
{
    dragtest::ForeignData data;
    EXPECT_EQ(drag(&text(data, "hi"), false), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(targetItems.log, "hi|");
    EXPECT_EQ(data.references(), 0);
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

// An application's item that throws at the drop: the failure is reported where it happened and
// dropped; nothing waits to be thrown from the message loop, which would end the program for
// another program's drag.
TEST_F(ForeignHandDrag, AFailingDropIsReportedAndNeverReachesTheMessageLoop)
{
    dragtest::ForeignData data;
    ovktest::ExpectAssertions reports;
    drag(&text(data, "bad"), false);
    EXPECT_EQ(targetItems.log, "bad|");
    EXPECT_FALSE(ICallbackGuard::hasPending());
    EXPECT_NO_THROW(ovktest::pumpPending());
    ASSERT_EQ(reports.reports().size(), 1u);
    EXPECT_NE(reports.reports()[0].find("bad item"), std::string::npos) << reports.reports()[0];
    EXPECT_EQ(data.references(), 0);
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

// However a drag ends at the target, it leaves no target operation current and no reference on
// the other program's data: the next drag is judged and dropped as its own items.
TEST_F(ForeignHandDrag, AFailedRightButtonMenuLeavesNothingForTheNextDrag)
{
    // The application fails while the drop menu is being shown.
    ovktest::Recorder showing(WM_INITMENUPOPUP);
    showing.attach(*targetWindow, "showing").setAction([](IEvent&) -> bool {
        IThrow::state("menu", IEXCEPTION_LOCATION("handdrag_win", "showing"));
        return false;
    });
    dragtest::ForeignData data;
    {
        ovktest::ExpectAssertions reports;
        const EscapeFromMenu escape;
        EXPECT_EQ(drag(&text(data, "old"), true), static_cast<DWORD>(DROPEFFECT_NONE));
        EXPECT_TRUE(EscapeFromMenu::shown());
        EXPECT_EQ(reports.reports().size(), 1u);
    }
    EXPECT_EQ(data.references(), 0);
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
    EXPECT_NO_THROW(ovktest::pumpPending());

    dragtest::ForeignData next;
    EXPECT_EQ(drag(&text(next, "new"), false), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(targetItems.log, "new|");
    EXPECT_EQ(next.references(), 0);
}

// Drag information that does not read (here a stream claiming more bytes than it was asked
// for) is a drag with no items: nothing to drop here, with either button. The target shows no
// effect, shows no drop menu, reports no failure and keeps no reference on the data.
TEST_F(ForeignHandDrag, DragInformationThatDoesNotReadIsNoDropWithEitherButton)
{
    IDMDragInfo info(1);
    info.item(0).types = "Text";
    for (const bool rightButton : {false, true}) {
        SCOPED_TRACE(rightButton ? "right button" : "left button");
        ovk_native::ComReference<IStream> stream;
        stream.query(new dragtest::LyingStream(IDMDragInfoStream::create(info), 1), IID_IStream);
        ASSERT_TRUE(stream);
        dragtest::ForeignData data;
        text(data, "hi").offerStream(IDMDragInfoStream::format(), stream.get());
        ovktest::Recorder menus(WM_INITMENUPOPUP);
        menus.attach(*targetWindow, "menu");
        {
            ovktest::ExpectAssertions reports;
            const EscapeFromMenu escape;
            EXPECT_EQ(drag(&data, rightButton), static_cast<DWORD>(DROPEFFECT_NONE));
            EXPECT_TRUE(reports.reports().empty()) << reports.reports()[0];
        }
        EXPECT_EQ(menus.trace(), "");
        EXPECT_EQ(targetItems.log, "");
        EXPECT_EQ(data.references(), 0);
        EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
        EXPECT_NO_THROW(ovktest::pumpPending());
    }
}

TEST_F(ForeignHandDrag, ATargetDestroyedDuringTheDragLeavesNothingForTheNextDrag)
{
    dragtest::ForeignData data;
    std::atomic<bool> closed{false};
    drag(&text(data, "old"), false, [&](POINT) {
        if (!closed.exchange(true))
            PostMessageA(targetHandle, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(IsWindow(targetHandle));
    EXPECT_EQ(targetItems.log, "");
    EXPECT_EQ(data.references(), 0);
    EXPECT_FALSE(IDMTargetOperation::currentTargetOperation());
}

} // namespace
