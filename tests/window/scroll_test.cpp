// Scroll events and the scroll handler over a native scroll bar control, which stands for the
// library's scroll bar control through the scroll bar access.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <iscrlhdr.hpp>
#include <iwcname.hpp>
#include <ovkmsgid.hpp>

#include "events_support.hpp"
#include "ovktest.hpp"

using eventstest::send;
using ovktest::TestWindow;

namespace {

constexpr long kLine = 2;
constexpr long kPage = 10;

// Test double of the scroll bar control: a native "ScrollBar" with range 0..100.
class NativeScrollBars : public IScrollBarAccess {
public:
    IBase::Boolean isScrollBar(IWindow& window) const override
    {
        return IWindowClassName(window.handle()) == "ScrollBar";
    }
    long scrollBoxPosition(IWindow& bar) const override { return GetScrollPos(bar.handle(), SB_CTL); }
    void moveScrollBoxTo(IWindow& bar, long position) const override
    {
        SetScrollPos(bar.handle(), SB_CTL, position, FALSE);
    }
    IRange scrollBoxRange(IWindow& bar) const override
    {
        int low = 0;
        int high = 0;
        GetScrollRange(bar.handle(), SB_CTL, &low, &high);
        return IRange(low, high);
    }
    long minScrollIncrement(IWindow&) const override { return kLine; }
    long pageScrollIncrement(IWindow&) const override { return kPage; }
};

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

// Range 0..100, line 2, page 10.
const ScrollCase kScrollCases[] = {
    {WM_VSCROLL, SB_LINEUP, 0, 10, "lineUp -2", 8, true},
    {WM_VSCROLL, SB_LINEDOWN, 0, 10, "lineDown 2", 12, true},
    {WM_VSCROLL, SB_LINEDOWN, 0, 100, "lineDown 0", 100, true},
    {WM_VSCROLL, SB_PAGEUP, 0, 5, "pageUp -5", 0, true},
    {WM_VSCROLL, SB_PAGEDOWN, 0, 10, "pageDown 10", 20, true},
    {WM_HSCROLL, SB_LINELEFT, 0, 10, "lineLeft -2", 8, true},
    {WM_HSCROLL, SB_LINERIGHT, 0, 10, "lineRight 2", 12, true},
    {WM_HSCROLL, SB_PAGELEFT, 0, 50, "pageLeft -10", 40, true},
    {WM_HSCROLL, SB_PAGERIGHT, 0, 95, "pageRight 5", 100, true},
    {WM_VSCROLL, SB_THUMBTRACK, 40, 10, "track 30", 40, true},
    {WM_HSCROLL, SB_THUMBPOSITION, 120, 10, "position 90", 100, true},
    {WM_VSCROLL, SB_ENDSCROLL, 0, 10, "end 0", 10, false},
    {WM_VSCROLL, SB_TOP, 0, 10, "", 10, false},
    {WM_HSCROLL, SB_BOTTOM, 0, 10, "", 10, false},
};

class ScrollHandler : public testing::TestWithParam<ScrollCase> {
protected:
    void SetUp() override
    {
        previous = IScrollEvent::setScrollBarAccess(&access);
        bar = std::make_unique<TestWindow>(owner.hwnd(), SBS_HORZ, 7, "ScrollBar");
        SetScrollRange(bar->hwnd(), SB_CTL, 0, 100, FALSE);
    }
    void TearDown() override
    {
        bar.reset();
        IScrollEvent::setScrollBarAccess(previous);
    }

    NativeScrollBars access;
    const IScrollBarAccess* previous = nullptr;
    TestWindow owner;
    std::unique_ptr<TestWindow> bar;
};

TEST_P(ScrollHandler, ReachesTheCallbackWithTheClampedAmountAndMovesTheBox)
{
    const ScrollCase& c = GetParam();
    ScrollLog handler;
    SetScrollPos(bar->hwnd(), SB_CTL, c.start, FALSE);
    ovktest::Recorder unhandled(c.message);
    unhandled.attach(owner, "next");
    handler.handleEventsFor(&owner);
    send(owner.hwnd(), c.message, MAKEWPARAM(c.code, c.thumb), reinterpret_cast<LPARAM>(bar->hwnd()));
    EXPECT_EQ(handler.calls, c.expected);
    EXPECT_EQ(GetScrollPos(bar->hwnd(), SB_CTL), c.end);
    EXPECT_EQ(unhandled.trace(), c.handled ? "" : "next");
}

INSTANTIATE_TEST_SUITE_P(Table, ScrollHandler, testing::ValuesIn(kScrollCases));

TEST_F(ScrollHandler, WindowsOwnScrollBarHasNoScrollBarObjectAndNoAmount)
{
    ScrollLog handler;
    handler.handleEventsFor(&owner);
    send(owner.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(handler.calls, "lineDown 0");
}

TEST(ScrollEvent, ValuesTheEventDoesNotCarryThrow)
{
    struct Case {
        WORD code;
        bool amount;  // scrollAmount, else newScrollBoxPosition
    };
    NativeScrollBars access;
    const IScrollBarAccess* previous = IScrollEvent::setScrollBarAccess(&access);
    TestWindow owner;
    TestWindow bar(owner.hwnd(), 0, 7, "ScrollBar");
    for (const Case& c : {Case{SB_TOP, true}, Case{SB_BOTTOM, true}, Case{SB_LINEUP, false}}) {
        const IScrollEvent event(IEvent(IWindowHandle(owner.hwnd()), WM_VSCROLL, c.code,
                                        reinterpret_cast<LPARAM>(bar.hwnd())));
        try {
            c.amount ? event.scrollAmount() : event.newScrollBoxPosition();
            ADD_FAILURE() << "code " << c.code << " did not throw";
        } catch (const IInvalidRequest& e) {
            EXPECT_EQ(e.errorId(), OVK_MSG_NO_EVENT_VALUE);
            EXPECT_STREQ(e.locationAtIndex(0)->fileName(), "iscrlevt");
        }
    }
    IScrollEvent::setScrollBarAccess(previous);
}

} // namespace
