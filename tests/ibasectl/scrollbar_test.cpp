// The scroll bar: its defaults, range, page and position on both roads, the increments, the
// colour request, and scroll messages that move a real scroll bar through the scroll handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <iplatfrm.hpp>
#include <iprivmsg.hpp>
#include <iscrlhdr.hpp>
#include <iscroll.hpp>
#include <ovkmsgid.hpp>

#include "basectltest.hpp"
#include "ovktest.hpp"

namespace {

class ScrollBars : public basectltest::ShownParent {
protected:
    IScrollBar& make(const IScrollBar::Style& style = IScrollBar::defaultStyle())
    {
        bar = std::make_unique<IScrollBar>(7, parent.get(), parent.get(),
                                           IRectangle(IPoint(10, 10), ISize(20, 150)), style);
        return *bar;
    }
    void TearDown() override
    {
        bar.reset();
        ShownParent::TearDown();
    }
    std::unique_ptr<IScrollBar> bar;
};

TEST_F(ScrollBars, ANewBarIsVerticalFromOneToAHundredWithAPageOf25AtOne)
{
    IScrollBar& scroll = make();
    EXPECT_TRUE(scroll.isVertical());
    EXPECT_TRUE(GetWindowLongPtrA(scroll.handle(), GWL_STYLE) & SBS_VERT);
    EXPECT_EQ(scroll.scrollableRange(), IRange(1, 100));
    EXPECT_EQ(scroll.visibleCount(), 25u);
    EXPECT_EQ(scroll.scrollBoxPosition(), 1);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(scroll.handle(), SB_CTL, &info));
    EXPECT_EQ(info.nMin, 1);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(info.nPage, 25u);

    IScrollBar horizontal(8, parent.get(), parent.get(), IRectangle(0, 0, 100, 20),
                          IScrollBar::_horizontal | IWindow::visible);
    EXPECT_TRUE(horizontal.isHorizontal());
    EXPECT_FALSE(GetWindowLongPtrA(horizontal.handle(), GWL_STYLE) & SBS_VERT);
}

TEST_F(ScrollBars, RangeBoundsAreOrderedAndTheBoxRangeLeavesOutAPage)
{
    IScrollBar& scroll = make();
    scroll.setScrollBar(IRange(10, 0), 5);
    EXPECT_EQ(scroll.scrollableRange(), IRange(0, 10));
    EXPECT_EQ(scroll.visibleCount(), 5u);
    scroll.setScrollableRange(IRange(0, 100));
    scroll.setVisibleCount(20);
    EXPECT_EQ(scroll.scrollableRange(), IRange(0, 100));
    EXPECT_EQ(scroll.scrollBoxRange(), IRange(0, 80));
}

TEST_F(ScrollBars, TheOlderRoadKeepsThePageItselfAndTellsOfMovesThroughThePrivateMessage)
{
    IPlatform::Override older(IPlatform::platformVariant, true);
    IScrollBar& scroll = make();
    SetScrollRange(scroll.handle(), SB_CTL, 0, 100, FALSE);
    scroll.setScrollBar(IRange(100, 0), 20);
    EXPECT_EQ(scroll.visibleCount(), 20u);
    EXPECT_EQ(scroll.scrollBoxRange(), IRange(0, 100));

    ovktest::Recorder moves(IPrivateMessage::scrollBoxMove);
    moves.attach(scroll, "move");
    basectltest::NotificationLog log;
    log.handleNotificationsFor(scroll);
    scroll.enableNotification();
    scroll.moveScrollBoxTo(40);
    EXPECT_EQ(moves.trace(), "move");
    EXPECT_EQ(GetScrollPos(scroll.handle(), SB_CTL), 40);
    ovktest::pumpPending();
    EXPECT_EQ(log.trace(), "IScrollBar::scrollBoxPosition=40");
    log.stopHandlingNotificationsFor(scroll);
}

TEST_F(ScrollBars, MovingTheBoxWhereItIsSendsNothing)
{
    IScrollBar& scroll = make();
    scroll.moveScrollBoxTo(30);
    ovktest::Recorder moves(SBM_SETPOS);
    moves.attach(scroll, "set");
    scroll.moveScrollBoxTo(30);
    EXPECT_EQ(moves.trace(), "");
    scroll.moveScrollBoxTo(31);
    EXPECT_EQ(moves.trace(), "set");
    EXPECT_EQ(scroll.scrollBoxPosition(), 31);
}

TEST_F(ScrollBars, ThePageIncrementIsSetOrAPageLessALineOrALine)
{
    struct Case {
        unsigned long visible, line, page, expected;
    };
    IScrollBar& scroll = make();
    for (const Case& c : {Case{10, 3, 0, 7}, Case{2, 3, 0, 3}, Case{3, 3, 0, 3}, Case{10, 3, 4, 4}}) {
        scroll.setVisibleCount(c.visible);
        scroll.setMinScrollIncrement(c.line);
        scroll.setPageScrollIncrement(c.page);
        EXPECT_EQ(scroll.pageScrollIncrement(), c.expected) << c.visible << " " << c.line;
    }
}

// Scroll messages from a real scroll bar reach the handler with amounts from the bar's own
// increments, clamped to where the scroll box can go.
TEST_F(ScrollBars, ScrollMessagesMoveTheScrollBarObjectByItsIncrements)
{
    struct Case {
        WORD code;
        WORD thumb;
        long start;
        long end;
    };
    IScrollBar& scroll = make();
    scroll.setScrollBar(IRange(0, 100), 20);  // the box reaches 0 to 80
    scroll.setMinScrollIncrement(3);
    IScrollHandler handler;
    handler.handleEventsFor(parent.get());
    for (const Case& c : {Case{SB_LINEDOWN, 0, 10, 13}, Case{SB_LINEUP, 0, 1, 0},
                          Case{SB_PAGEDOWN, 0, 10, 27}, Case{SB_PAGEDOWN, 0, 70, 80},
                          Case{SB_THUMBTRACK, 50, 10, 50}}) {
        scroll.moveScrollBoxTo(c.start);
        ovktest::send(parentHandle(), WM_VSCROLL, MAKEWPARAM(c.code, c.thumb),
                      reinterpret_cast<LPARAM>(scroll.handle().asValue()));
        EXPECT_EQ(scroll.scrollBoxPosition(), c.end) << "code " << c.code << " from " << c.start;
    }
    const IScrollEvent event(IEvent(IWindowHandle(parentHandle()), WM_VSCROLL, SB_LINEDOWN,
                                    reinterpret_cast<LPARAM>(scroll.handle().asValue())));
    EXPECT_EQ(event.scrollBarWindow(), &scroll);
    handler.stopHandlingEventsFor(parent.get());
}

TEST_F(ScrollBars, TheColourRequestPaintsWithTheBarsColours)
{
    IScrollBar& scroll = make();
    scroll.setBackgroundColor(IColor(10, 200, 30));
    HDC dc = GetDC(scroll.handle());
    const LRESULT brush = SendMessageA(parentHandle(), WM_CTLCOLORSCROLLBAR,
                                       reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(scroll.handle().asValue()));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(dc), RGB(10, 200, 30));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_INACTIVECAPTION));
    LOGBRUSH fill{};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor & 0xFFFFFF, RGB(10, 200, 30));
    ReleaseDC(scroll.handle(), dc);
}

TEST_F(ScrollBars, TheMinimumSizeHoldsTwoArrowsAndThreeBoxes)
{
    IScrollBar& scroll = make();
    const int border = 2 * GetSystemMetrics(SM_CXBORDER);
    EXPECT_EQ(scroll.calcMinimumSize(),
              ISize(GetSystemMetrics(SM_CXVSCROLL) + border,
                    3 * GetSystemMetrics(SM_CYVTHUMB) + 2 * GetSystemMetrics(SM_CYVSCROLL) + border));
}

TEST_F(ScrollBars, AWrappedBarStaysAndANullParentIsRefused)
{
    const HWND native = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | SBS_HORZ, 0, 0, 100, 20,
                                        parentHandle(), reinterpret_cast<HMENU>(9), nullptr, nullptr);
    {
        IScrollBar wrapped(9, parent.get());
        EXPECT_TRUE(wrapped.isHorizontal());
        wrapped.moveScrollBoxTo(5);
    }
    EXPECT_TRUE(IsWindow(native));
    DestroyWindow(native);

    const IException failure = ovktest::caught([] { IScrollBar orphan(1, nullptr, nullptr); });
    EXPECT_EQ(ovktest::str(failure.text()), "parent != 0");
    ASSERT_NE(failure.locationAtIndex(0), nullptr);
    EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "iscroll");
}

} // namespace
