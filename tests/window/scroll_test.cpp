// Scroll events and the scroll handler over the library's scroll bar control: which callback a
// scroll code reaches, how far it asks to scroll and where the scroll box ends up.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iscrlhdr.hpp>
#include <iscroll.hpp>
#include <iwcname.hpp>
#include <ovkmsgid.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using eventstest::send;
using ovktest::TestWindow;

namespace {

// Records "callback amount" for each callback and then does what the base class does.
class ScrollLog : public IScrollHandler {
public:
    std::string calls;

protected:
    IBase::Boolean lineUp(IScrollEvent& e) override { return log("lineUp", e) && IScrollHandler::lineUp(e); }
    IBase::Boolean lineDown(IScrollEvent& e) override { return log("lineDown", e) && IScrollHandler::lineDown(e); }
    IBase::Boolean pageUp(IScrollEvent& e) override { return log("pageUp", e) && IScrollHandler::pageUp(e); }
    IBase::Boolean pageDown(IScrollEvent& e) override { return log("pageDown", e) && IScrollHandler::pageDown(e); }
    IBase::Boolean lineLeft(IScrollEvent& e) override { return log("lineLeft", e) && IScrollHandler::lineLeft(e); }
    IBase::Boolean lineRight(IScrollEvent& e) override { return log("lineRight", e) && IScrollHandler::lineRight(e); }
    IBase::Boolean pageLeft(IScrollEvent& e) override { return log("pageLeft", e) && IScrollHandler::pageLeft(e); }
    IBase::Boolean pageRight(IScrollEvent& e) override { return log("pageRight", e) && IScrollHandler::pageRight(e); }
    IBase::Boolean scrollBoxTrack(IScrollEvent& e) override { return log("track", e) && IScrollHandler::scrollBoxTrack(e); }
    IBase::Boolean scrollBoxPosition(IScrollEvent& e) override { return log("position", e) && IScrollHandler::scrollBoxPosition(e); }
    IBase::Boolean endScroll(IScrollEvent& e) override { return log("end", e) && IScrollHandler::endScroll(e); }

private:
    bool log(const char* name, IScrollEvent& e)
    {
        calls += std::string(name) + " " + std::to_string(e.scrollAmount());
        return true;
    }
};

struct ScrollCase {
    UINT message;
    WORD code;
    WORD thumb;
    int start;
    const char* expected;  // callback and amount
    int end;               // scroll box position afterwards
    bool handled;
};

// Range 0..100 with 20 visible: the scroll box takes positions 0 to 80 and the amounts are
// clamped to them. Line 2, page 10. The native control itself stops the box at the last
// position that still shows a full page, 100 - 20 + 1.
const ScrollCase kScrollCases[] = {
    {WM_VSCROLL, SB_LINEUP, 0, 10, "lineUp -2", 8, true},
    {WM_VSCROLL, SB_LINEUP, 0, 1, "lineUp -1", 0, true},
    {WM_VSCROLL, SB_LINEDOWN, 0, 10, "lineDown 2", 12, true},
    {WM_VSCROLL, SB_LINEDOWN, 0, 80, "lineDown 0", 80, true},
    {WM_VSCROLL, SB_PAGEUP, 0, 5, "pageUp -5", 0, true},
    {WM_VSCROLL, SB_PAGEDOWN, 0, 10, "pageDown 10", 20, true},
    {WM_HSCROLL, SB_LINELEFT, 0, 10, "lineLeft -2", 8, true},
    {WM_HSCROLL, SB_LINERIGHT, 0, 10, "lineRight 2", 12, true},
    {WM_HSCROLL, SB_PAGELEFT, 0, 50, "pageLeft -10", 40, true},
    {WM_HSCROLL, SB_PAGERIGHT, 0, 75, "pageRight 5", 80, true},
    {WM_VSCROLL, SB_THUMBTRACK, 40, 10, "track 30", 40, true},
    {WM_HSCROLL, SB_THUMBPOSITION, 120, 10, "position 70", 81, true},
    {WM_VSCROLL, SB_ENDSCROLL, 0, 10, "end 0", 10, false},
    {WM_VSCROLL, SB_TOP, 0, 10, "", 10, false},
    {WM_HSCROLL, SB_BOTTOM, 0, 10, "", 10, false},
};

class ScrollHandler : public testing::TestWithParam<ScrollCase> {
protected:
    void SetUp() override
    {
        bar = std::make_unique<IScrollBar>(7, &owner, &owner, IRange(0, 100), 20, 0,
                                           IRectangle(0, 0, 150, 20), IScrollBar::_horizontal);
        bar->setMinScrollIncrement(2);
        bar->setPageScrollIncrement(10);
    }
    void TearDown() override { bar.reset(); }
    HWND barHandle() const { return bar->handle().asValue(); }

    TestWindow owner;
    std::unique_ptr<IScrollBar> bar;
};

TEST_P(ScrollHandler, ReachesTheCallbackWithTheClampedAmountAndMovesTheBox)
{
    const ScrollCase& c = GetParam();
    ScrollLog handler;
    bar->moveScrollBoxTo(c.start);
    ovktest::Recorder unhandled(c.message);
    unhandled.attach(owner, "next");
    handler.handleEventsFor(&owner);
    send(owner.hwnd(), c.message, MAKEWPARAM(c.code, c.thumb), reinterpret_cast<LPARAM>(barHandle()));
    EXPECT_EQ(handler.calls, c.expected);
    EXPECT_EQ(bar->scrollBoxPosition(), c.end);
    EXPECT_EQ(unhandled.trace(), c.handled ? "" : "next");
}

INSTANTIATE_TEST_SUITE_P(Table, ScrollHandler, testing::ValuesIn(kScrollCases));

// A window's own scroll bar (no control handle) and a scroll bar control that no scroll bar
// object has charge of both scroll by nothing and move nothing.
TEST_F(ScrollHandler, WithoutAScrollBarObjectThereIsNoAmountAndNoMove)
{
    TestWindow plain(owner.hwnd(), SBS_HORZ, 8, "ScrollBar");
    SetScrollRange(plain.hwnd(), SB_CTL, 0, 100, FALSE);
    SetScrollPos(plain.hwnd(), SB_CTL, 10, FALSE);
    ScrollLog handler;
    handler.handleEventsFor(&owner);
    send(owner.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    send(owner.hwnd(), WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(plain.hwnd()));
    EXPECT_EQ(handler.calls, "lineDown 0pageRight 0");
    EXPECT_EQ(GetScrollPos(plain.hwnd(), SB_CTL), 10);
    const IScrollEvent event(IEvent(IWindowHandle(owner.hwnd()), WM_HSCROLL, SB_PAGERIGHT,
                                    reinterpret_cast<LPARAM>(plain.hwnd())));
    EXPECT_EQ(event.scrollBarWindow(), nullptr);
    EXPECT_EQ(event.scrollBoxPosition(), 0);
}

TEST(ScrollEvent, ValuesTheEventDoesNotCarryThrow)
{
    struct Case {
        WORD code;
        bool amount;  // scrollAmount, else newScrollBoxPosition
    };
    TestWindow owner;
    IScrollBar bar(7, &owner, &owner);
    for (const Case& c : {Case{SB_TOP, true}, Case{SB_BOTTOM, true}, Case{SB_LINEUP, false}}) {
        const IScrollEvent event(IEvent(IWindowHandle(owner.hwnd()), WM_VSCROLL, c.code,
                                        reinterpret_cast<LPARAM>(bar.handle().asValue())));
        try {
            c.amount ? event.scrollAmount() : event.newScrollBoxPosition();
            ADD_FAILURE() << "code " << c.code << " did not throw";
        } catch (const IInvalidRequest& e) {
            EXPECT_EQ(e.errorId(), OVK_MSG_NO_EVENT_VALUE);
            EXPECT_STREQ(e.locationAtIndex(0)->fileName(), "iscrlevt");
        }
    }
}

} // namespace
