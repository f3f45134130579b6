// The tool bar: side holders per frame side, the windows list and its group styles, views, the
// narrow vertical fit, the minimum size; moving with the mouse (scripted with the real pointer)
// and the floating frame.
#include "toolbartest.hpp"

#include <string>

#include <iinfoa.hpp>
#include <iprivmsg.hpp>
#include <istattxt.hpp>
#include <ititle.hpp>

#include "cmdtrace.hpp"
#include "detail/itbardat.hpp"

namespace {

using toolbartest::Ending;
using toolbartest::ToolBarFixture;

class ToolBar : public ToolBarFixture {};

// The order of the tool bar's windows, by their ids.
std::string listed(const IToolBar& toolBar)
{
    std::string ids;
    IToolBar::WindowCursor cursor(toolBar);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ids += (ids.empty() ? "" : " ") + std::to_string(toolBar.windowAt(cursor)->id());
    return ids;
}

long screenX(const IWindow& window)
{
    RECT rect{};
    GetWindowRect(window.handle(), &rect);
    return rect.left;
}

bool grouped(const IWindow& window)
{
    return (GetWindowLongPtrA(window.handle(), GWL_STYLE) & WS_GROUP) != 0;
}

// A button's click goes to its owner alone, after click() returns: the fixture's buttons, owned
// by the frame, reach the frame's command handler, floating or docked; a button owned by its
// tool bar reaches the tool bar's handler and never the frame's.
TEST_F(ToolBar, AClickIsHeardByTheButtonsOwnerAloneOnceClickHasReturned)
{
    IToolBarButton own(31, first.get(), first.get());
    first->addAsLast(&own);
    frame->update();
    ovktest::CommandTrace atFrame, atToolBar;
    atFrame.handleEventsFor(frame.get());
    atToolBar.handleEventsFor(first.get());
    for (IToolBar::Location where : {IToolBar::aboveClient, IToolBar::floating}) {
        first->setLocation(where);
        ovktest::pumpPending();
        atFrame.trace.clear();
        atToolBar.trace.clear();
        auto& framed = dynamic_cast<IButton&>(*windows.front());
        framed.click();
        own.click();
        EXPECT_EQ(atFrame.trace + "|" + atToolBar.trace, "|") << "posted, not yet arrived";
        ovktest::pumpPending();
        EXPECT_EQ(atFrame.trace, std::to_string(framed.id())) << static_cast<int>(where);
        EXPECT_EQ(atToolBar.trace, "31") << static_cast<int>(where);
    }
    first->setLocation(IToolBar::aboveClient);
    atFrame.stopHandlingEventsFor(frame.get());
    atToolBar.stopHandlingEventsFor(first.get());
}

TEST_F(ToolBar, EachSideHasOneHolderThatGoesWithItsLastToolBar)
{
    // The fixture's two tool bars share the holder above the client.
    EXPECT_EQ(first->parent(), second->parent());
    EXPECT_EQ(frame->extensionCount(), 1UL);

    IToolBar below(3, frame.get(), IToolBar::belowClient);
    IToolBar left(4, frame.get(), IToolBar::leftOfClient);
    IToolBar right(5, frame.get(), IToolBar::rightOfClient);
    EXPECT_EQ(frame->extensionCount(), 4UL);
    EXPECT_TRUE(frame->isAnExtension(below.parent()));
    EXPECT_NE(below.parent(), left.parent());
    EXPECT_NE(left.parent(), right.parent());
    EXPECT_EQ(left.deckOrientation(), ISetCanvas::vertical);
    EXPECT_EQ(below.deckOrientation(), ISetCanvas::horizontal);

    // One of the two tool bars above goes: the holder stays.
    IWindow* above = first->parent();
    second.reset();
    EXPECT_EQ(frame->extensionCount(), 4UL);
    EXPECT_TRUE(frame->isAnExtension(above));

    // The last one at a side goes: so does its holder.
    right.setLocation(IToolBar::hidden);
    EXPECT_EQ(frame->extensionCount(), 3UL);
    left.setLocation(IToolBar::belowClient);
    EXPECT_EQ(frame->extensionCount(), 2UL);
    EXPECT_EQ(left.parent(), below.parent());
}

RECT placeIn(const IWindow& window, const IWindow& frame)
{
    RECT rect{};
    GetWindowRect(window.handle(), &rect);
    MapWindowPoints(nullptr, frame.handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A frame of the library's own class, or a program's native window that a frame object took
// charge of, with a client, a tool bar above it, one left of it and an information area.
class FrameLayout : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam()) {
            ovktest::registerClass("program frame");
            native = CreateWindowExA(0, "program frame", "wrapped", WS_OVERLAPPEDWINDOW, 0, 0,
                                     100, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                     nullptr);
            frame = std::make_unique<IFrameWindow>(IWindowHandle(native));
        } else {
            frame = std::make_unique<IFrameWindow>(
                IResourceId(0, IApplication::current().userResourceLibrary()), nullptr, nullptr,
                IRectangle(0, 0, 100, 100), IFrameWindow::_titleBar | IFrameWindow::_sizingBorder,
                "library frame");
        }
        SetWindowPos(frame->handle(), nullptr, 50, 50, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        client = std::make_unique<IStaticText>(50, frame.get(), frame.get());
        frame->setClient(client.get());
        above = std::make_unique<IToolBar>(1, frame.get(), IToolBar::aboveClient);
        left = std::make_unique<IToolBar>(2, frame.get(), IToolBar::leftOfClient);
        info = std::make_unique<IInfoArea>(60, frame.get());
        info->setText("Ready");
        ShowWindow(frame->handle(), SW_SHOWNOACTIVATE);
        ovktest::pumpPending();
    }
    void TearDown() override
    {
        info.reset();
        left.reset();
        above.reset();
        client.reset();
        frame.reset();
        if (native) {
            DestroyWindow(native);
            UnregisterClassA("program frame", GetModuleHandleA(nullptr));
        }
        ovktest::pumpPending();
    }
    // Each window's place in the frame's client area, against the rectangle expected.
    void expectAt(const IWindow& window, const RECT& wanted, const char* what) const
    {
        const RECT got = placeIn(window, *frame);
        EXPECT_EQ(got.left, wanted.left) << what;
        EXPECT_EQ(got.top, wanted.top) << what;
        EXPECT_EQ(got.right, wanted.right) << what;
        EXPECT_EQ(got.bottom, wanted.bottom) << what;
    }

    HWND native = nullptr;
    std::unique_ptr<IFrameWindow> frame;
    std::unique_ptr<IStaticText> client;
    std::unique_ptr<IToolBar> above;
    std::unique_ptr<IToolBar> left;
    std::unique_ptr<IInfoArea> info;
};

INSTANTIATE_TEST_SUITE_P(LibraryAndWrappedFrames, FrameLayout, ::testing::Bool());

// The extensions take their edges of the client area in the order they became extensions, each
// as large as its minimum size, the information area below a thin separator; the client gets
// what is left. Sizing the frame lays it out again.
TEST_P(FrameLayout, HoldersInformationAreaAndClientShareTheClientArea)
{
    const long aboveHeight = above->parent()->minimumSize().height();
    const long leftWidth = left->parent()->minimumSize().width();
    const long infoHeight = info->minimumSize().height();
    ASSERT_GT(aboveHeight, 0);
    ASSERT_GT(leftWidth, 0);
    ASSERT_GT(infoHeight, 0);
    for (const SIZE size : {SIZE{400, 300}, SIZE{520, 260}}) {
        SetWindowPos(frame->handle(), nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ovktest::pumpPending();
        RECT area{};
        GetClientRect(frame->handle(), &area);
        const long below = area.bottom - infoHeight;
        expectAt(*above->parent(), RECT{0, 0, area.right, aboveHeight}, "holder above");
        // The left holder came before the information area: it runs down to the bottom.
        expectAt(*left->parent(), RECT{0, aboveHeight, leftWidth, area.bottom}, "holder left");
        expectAt(*info, RECT{leftWidth, below, area.right, area.bottom}, "information area");
        expectAt(*client, RECT{leftWidth, aboveHeight, area.right, below - 1}, "client");
    }
}

// A tool bar that floats leaves its side to the client; its floating frame is no extension and
// stays where it is.
TEST_P(FrameLayout, AFloatingToolBarLeavesItsSideToTheClient)
{
    left->setLocation(IToolBar::floating);
    ovktest::pumpPending();
    ASSERT_NE(left->floatingFrame(), nullptr);
    RECT floating{};
    GetWindowRect(left->floatingFrame()->handle(), &floating);
    SetWindowPos(frame->handle(), nullptr, 0, 0, 450, 320,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ovktest::pumpPending();
    RECT area{};
    GetClientRect(frame->handle(), &area);
    const long aboveHeight = above->parent()->minimumSize().height();
    const long below = area.bottom - info->minimumSize().height();
    expectAt(*client, RECT{0, aboveHeight, area.right, below - 1}, "client");
    RECT after{};
    GetWindowRect(left->floatingFrame()->handle(), &after);
    EXPECT_TRUE(EqualRect(&floating, &after));
    left->setLocation(IToolBar::hidden);
}

TEST_F(ToolBar, FrameCursorWalksTheToolBarsInTheOrderTheyWereMade)
{
    {
        IToolBar third(3, frame.get(), IToolBar::leftOfClient);
        std::string ids;
        IToolBar::FrameCursor cursor(frame.get());
        for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
            ids += std::to_string(IToolBar::toolBarAt(cursor)->id());
        EXPECT_EQ(ids, "123");
        EXPECT_EQ(std::string(ovktest::caught([&] { IToolBar::toolBarAt(cursor); }).text()),
                  "cursor.isValid()");
    }
    // The frame's list goes with its last tool bar.
    first.reset();
    second.reset();
    EXPECT_EQ(frame->toolBarData(), nullptr);
    IToolBar::FrameCursor none(frame.get());
    EXPECT_FALSE(none.setToFirst());
}

TEST_F(ToolBar, TheSameViewSendsNothingAnotherReachesEveryWindowInListOrder)
{
    ovktest::Recorder views(IPrivateMessage::textView);
    ovktest::Recorder same(IPrivateMessage::bitmapView);
    for (IWindow* window : {windows[0].get(), windows[1].get()}) {
        views.attach(*window, std::to_string(window->id()));
        same.attach(*window, std::to_string(window->id()));
    }
    first->moveBefore(windows[1].get(), windows[0].get());
    ASSERT_EQ(listed(*first), "12 11");
    same.clear();

    first->setButtonView(IToolBarButton::showBitmap);
    EXPECT_EQ(same.trace(), "");
    first->setButtonView(IToolBarButton::showText);
    EXPECT_EQ(views.trace(), "12 11");
    EXPECT_EQ(first->buttonView(), IToolBarButton::showText);
}

TEST_F(ToolBar, ConflictingViewStylesBecomeViewTwoAlone)
{
    struct Case {
        IToolBar::Style style;
        IToolBarButton::View view;
    };
    const Case cases[] = {
        {IToolBar::bitmapView | IToolBar::textView, IToolBarButton::showBitmapAndText},
        {IToolBar::bitmapAndTextView | IToolBar::bitmapView, IToolBarButton::showBitmapAndText},
        {IToolBar::textView, IToolBarButton::showText},
        {IToolBar::bitmapView, IToolBarButton::showBitmap},
    };
    for (const Case& c : cases) {
        IToolBar bar(9, frame.get(), IToolBar::belowClient, false, c.style);
        EXPECT_EQ(bar.buttonView(), c.view);
        // One view bit is left: 0x4000, 0x8000 or 0x10000.
        const unsigned long views = bar.extendedStyle() & 0x1C000;
        EXPECT_TRUE(views == 0x4000 || views == 0x8000 || views == 0x10000) << std::hex << views;
    }
}

TEST_F(ToolBar, WindowsKeepListOrderInTheLayoutAndMoveAroundAReference)
{
    IWindow& eleven = *windows[0];
    IWindow& a = addWindow(*first, ISize(30, 20));
    a.setId(31);
    IWindow& b = addWindow(*first, ISize(30, 20));
    b.setId(32);
    EXPECT_EQ(listed(*first), "11 12 31 32");

    first->moveBefore(&b, &a);
    first->moveAfter(&eleven, &a);
    EXPECT_EQ(listed(*first), "12 32 31 11");
    first->layout();
    long previous = -1;
    IToolBar::WindowCursor cursor(*first);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        const long x = screenX(*first->windowAt(cursor));
        EXPECT_GT(x, previous);
        previous = x;
    }

    EXPECT_EQ(std::string(ovktest::caught([&] { first->moveBefore(&a, &a); }).text()),
              "window != referenceWindow");
    EXPECT_EQ(std::string(ovktest::caught([&] { first->moveAfter(&a, &a); }).text()),
              "window != referenceWindow");
    EXPECT_EQ(listed(*first), "12 32 31 11");
}

TEST_F(ToolBar, GroupStyleStaysWithTheFirstWindowOfAGroup)
{
    IToolBar bar(9, frame.get(), IToolBar::belowClient);
    IWindow& a = addWindow(bar, ISize(20, 20));
    EXPECT_TRUE(grouped(a));  // alone in the list
    IWindow& b = addWindow(bar, ISize(20, 20));
    EXPECT_FALSE(grouped(b));
    IWindow& c = *windows.emplace_back(std::make_unique<ovktest::TestWindow>(bar.handle(), WS_VISIBLE));
    bar.addAsFirst(&c);
    // The new first takes the group over from the window it now precedes.
    EXPECT_TRUE(grouped(c));
    EXPECT_FALSE(grouped(a));
    bar.remove(&c);
    EXPECT_TRUE(grouped(a));
    EXPECT_EQ(c.parent(), IWindow::objectWindow());
}

TEST_F(ToolBar, NarrowVerticalToolBarsLeaveOutWindowsTooWideForThem)
{
    IWindow& wide = addWindow(*second, ISize(IToolBar::defaultMaximumVerticalWidth() + 50, 20));
    EXPECT_EQ(wide.parent(), second.get());
    second->setLocation(IToolBar::leftOfClient);
    EXPECT_EQ(wide.parent(), IWindow::objectWindow());
    EXPECT_EQ(second->windowCount(), 3UL);
    second->setLocation(IToolBar::aboveClient);
    EXPECT_EQ(wide.parent(), second.get());
}

TEST_F(ToolBar, AnEmptyToolBarIsAsLargeAsOneStandardButton)
{
    IToolBar bar(9, frame.get(), IToolBar::belowClient);
    const ISize bitmap = IToolBarButton::standardBitmapSize();
    EXPECT_EQ(bar.minimumSize(true),
              ISize(bitmap.width() + 5 * GetSystemMetrics(SM_CXBORDER) + 10,
                    bitmap.height() + 5 * GetSystemMetrics(SM_CYBORDER) + 16));
}

// Moving with the mouse --------------------------------------------------------------------------

struct PointerCase {
    const char* name;
    long x, y;  // in the frame's window rectangle
    IToolBar::Location location;
    // Where the tool bar is before the move: never the side it is to reach.
    IToolBar::Location start;
};

class ToolBarMoveTarget : public ToolBarFixture, public ::testing::WithParamInterface<PointerCase> {};

// The frame is 300 wide and 500 high; equal distances go to the later of right, left, below,
// above.
INSTANTIATE_TEST_SUITE_P(
    Pointer, ToolBarMoveTarget,
    ::testing::Values(
        PointerCase{"NearestTheLeftEdge", 20, 250, IToolBar::leftOfClient, IToolBar::aboveClient},
        PointerCase{"NearestTheRightEdge", 285, 250, IToolBar::rightOfClient, IToolBar::aboveClient},
        PointerCase{"NearestTheBottomEdge", 150, 485, IToolBar::belowClient, IToolBar::aboveClient},
        PointerCase{"NearestTheTopEdge", 150, 8, IToolBar::aboveClient, IToolBar::belowClient},
        PointerCase{"LeftAndRightTieTopBottomFarther", 150, 250, IToolBar::leftOfClient,
                    IToolBar::aboveClient},
        PointerCase{"RightAndBottomTie", 285, 485, IToolBar::belowClient, IToolBar::aboveClient},
        PointerCase{"LeftAndTopTie", 8, 8, IToolBar::aboveClient, IToolBar::rightOfClient}),
    [](const ::testing::TestParamInfo<PointerCase>& info) { return info.param.name; });

TEST_P(ToolBarMoveTarget, PlacesTheToolBarAtTheNearestSide)
{
    const PointerCase& c = GetParam();
    ASSERT_NE(c.start, c.location);
    first->setLocation(c.start);
    frame->update();
    ovktest::pumpPending();
    ASSERT_EQ(first->location(), c.start);
    drive(*first, centreIn(*first, *windows[0]), 3, screenPoint(c.x, c.y));
    EXPECT_EQ(first->location(), c.location);
}

TEST_F(ToolBar, TwoPixelsStartNoMoveThreeDo)
{
    const POINT press = centreIn(*second, *windows[2]);
    drive(*second, press, 2, screenPoint(20, 250));
    EXPECT_EQ(second->location(), IToolBar::aboveClient);
    drive(*second, press, 3, screenPoint(20, 250));
    EXPECT_EQ(second->location(), IToolBar::leftOfClient);
}

TEST_F(ToolBar, APressOnADisabledButtonArmsNothing)
{
    windows[2]->disable();
    drive(*second, centreIn(*second, *windows[2]), 10, screenPoint(20, 250));
    EXPECT_EQ(second->location(), IToolBar::aboveClient);
}

TEST_F(ToolBar, EscapeLeavesTheToolBarWhereItWas)
{
    drive(*second, centreIn(*second, *windows[2]), 5, screenPoint(20, 250),
          Ending::escape);
    EXPECT_EQ(second->location(), IToolBar::aboveClient);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolBar, AQuitDuringTheMoveEndsItAndReachesTheApplicationLoop)
{
    drive(*second, centreIn(*second, *windows[2]), 5, screenPoint(20, 250),
          Ending::quit);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7U);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolBar, DroppedOnAnotherToolBarItGoesRightAfterIt)
{
    IToolBar left(3, frame.get(), IToolBar::leftOfClient);
    IToolBarButton& button = addButton(left, 31);
    left.addAsLast(&button);
    frame->update();
    ovktest::pumpPending();
    RECT target{};
    GetWindowRect(first->handle(), &target);
    drive(left, centreIn(left, button), 4,
          POINT{(target.left + target.right) / 2, (target.top + target.bottom) / 2});
    EXPECT_EQ(left.location(), IToolBar::aboveClient);
    EXPECT_EQ(left.parent(), first->parent());
    frame->update();
    first->parent()->sendEvent(IPrivateMessage::layoutRequest);
    EXPECT_GT(screenX(left), screenX(*first));
    EXPECT_LT(screenX(left), screenX(*second));
}

TEST_F(ToolBar, DroppedOutsideTheFrameItFloatsWhereTheOutlineWas)
{
    drive(*second, centreIn(*second, *windows[2]), 5, POINT{kLeft + kWidth + 150, 300});
    ASSERT_EQ(second->location(), IToolBar::floating);
    ASSERT_NE(second->floatingFrame(), nullptr);
    EXPECT_EQ(second->parent(), second->floatingFrame());
    EXPECT_EQ(frame->extensionCount(), 1UL);
}

// The floating frame ------------------------------------------------------------------------------

bool visibleStyle(const IWindow& window)
{
    return (GetWindowLongPtrA(window.handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Closing puts the tool bar away with its frame; show() and placing it floating again each
// bring both back.
TEST_F(ToolBar, ClosingTheFloatingFrameHidesTheToolBarUntilItIsShownAgain)
{
    second->setLocation(IToolBar::floating);
    IFrameWindow* floating = second->floatingFrame();
    ASSERT_NE(floating, nullptr);
    const HWND floatingWindow = floating->handle();
    const auto close = [&] {
        ASSERT_TRUE(IsWindowVisible(floatingWindow));
        ASSERT_TRUE(IsWindowVisible(second->handle()));
        SendMessageA(floatingWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        ovktest::pumpPending();
        EXPECT_FALSE(visibleStyle(*second));
        EXPECT_FALSE(IsWindowVisible(floatingWindow));
        EXPECT_TRUE(IsWindow(floatingWindow));
        EXPECT_EQ(second->location(), IToolBar::floating);
        const HWND focus = GetFocus();
        EXPECT_TRUE(focus == frame->handle() || IsChild(frame->handle(), focus));
    };
    const auto shownAgain = [&] {
        EXPECT_EQ(second->floatingFrame(), floating);
        EXPECT_TRUE(IsWindowVisible(floatingWindow));
        EXPECT_TRUE(IsWindowVisible(second->handle()));
    };
    close();
    second->show();
    shownAgain();
    close();
    second->setLocation(IToolBar::floating);
    shownAgain();
    // Hiding it as any window is hidden puts the frame away as well.
    second->hide();
    EXPECT_FALSE(IsWindowVisible(floatingWindow));
}

TEST_F(ToolBar, MaximisingSwitchesToExpandedOnceOnly)
{
    second->setLocation(IToolBar::floating);
    IFrameWindow* floating = second->floatingFrame();
    ASSERT_NE(floating, nullptr);
    SendMessageA(floating->handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ovktest::pumpPending();
    EXPECT_TRUE(second->isExpanded());
    SendMessageA(floating->handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ovktest::pumpPending();
    EXPECT_TRUE(second->isExpanded());
    // Back at the side and out again, it floats as it was left: expanded.
    second->setLocation(IToolBar::aboveClient);
    EXPECT_EQ(second->floatingFrame(), nullptr);
    second->setLocation(IToolBar::floating);
    EXPECT_TRUE(second->isExpanded());
}

TEST_F(ToolBar, TheFloatingFrameFitsTheToolBar)
{
    second->setFloatingTitle("Floating");
    second->setLocation(IToolBar::floating);
    IFrameWindow* floating = second->floatingFrame();
    ASSERT_NE(floating, nullptr);
    char title[32] = {};
    GetWindowTextA(floating->handle(), title, sizeof title);
    EXPECT_STREQ(title, "Floating");
    RECT client{};
    GetClientRect(floating->handle(), &client);
    // The platform keeps a captioned window at least as wide as its caption needs.
    const ISize minimum = second->minimumSize(true);
    EXPECT_GE(client.right, minimum.width());
    EXPECT_EQ(client.bottom, minimum.height());
    // The floating frame sits at the owner's corner plus the floating position plus one.
    RECT owner{}, at{};
    GetWindowRect(frame->handle(), &owner);
    GetWindowRect(floating->handle(), &at);
    EXPECT_EQ(at.left, owner.left + second->floatingPosition().x() + 1);
}

// The floating frame's title is the cell of the library's picture: as wide as the caption is
// high, by the 19 pixels high caption the picture was drawn for.
TEST_F(ToolBar, TheFloatingFramesTitleIsTheCaptionHeightBy19)
{
    second->setLocation(IToolBar::floating);
    const auto& handler = ovk_toolbar::MoveAccess::data(*second).frameHandler;
    ASSERT_NE(handler, nullptr);
    const ITitle& title = handler->title();
    EXPECT_EQ(title.size(), ISize(GetSystemMetrics(SM_CYCAPTION), 19));
    EXPECT_EQ(title.handle(), second->floatingFrame()->handle());
}

// The picture of the library's tool bar (gold on blue) stands at the left end of the floating
// frame's caption, over what the system drew there.
TEST_F(ToolBar, TheFloatingFramesCaptionShowsTheLibrarysPicture)
{
    second->setLocation(IToolBar::floating);
    IFrameWindow* floating = second->floatingFrame();
    ASSERT_NE(floating, nullptr);
    const HWND window = floating->handle();
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT outer{};
    GetWindowRect(window, &outer);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const long captionTop = origin.y - outer.top - GetSystemMetrics(SM_CYCAPTION);
    const long square = GetSystemMetrics(SM_CYCAPTION);
    const ovktest::PixelReader pixels(window, ovktest::PixelReader::whole);
    const auto goldIn = [&](long fromX) {
        return pixels.count(RGB(255, 215, 0), RECT{fromX, captionTop, fromX + square, captionTop + square});
    };
    const long left = origin.x - outer.left;
    const int atLeft = goldIn(left);
    const int further = goldIn(left + 2 * square);
    EXPECT_GT(atLeft, 32);
    EXPECT_EQ(further, 0);
}

} // namespace
