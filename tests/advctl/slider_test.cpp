// Progress indicators and sliders on the native trackbar and on the outside slider window, and
// the circular slider: scales, arm positions, ticks and texts, arrows, messages and failures.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <icslider.hpp>
#include <inotifid.hpp>
#include <iplatfrm.hpp>
#include <islider.hpp>
#include <ovkmsgid.hpp>

#include "advtest.hpp"
#include "iadvrec.hpp"
#include "isldata.hpp"

using advtest::Outside;
using Style = IProgressIndicator::Style;

namespace {

constexpr unsigned long kId = 60;

class SliderTest : public advtest::ShownParent {
protected:
    void TearDown() override
    {
        indicator.reset();
        ShownParent::TearDown();
    }
    ISlider& makeSlider(unsigned long ticks, const Style& style = ISlider::classDefaultStyle,
                        const IRectangle& rect = IRectangle(10, 10, 410, 80))
    {
        indicator =
            std::make_unique<ISlider>(kId, parent.get(), parent.get(), rect, ticks, 0, style);
        return static_cast<ISlider&>(*indicator);
    }
    IProgressIndicator& makeIndicator(unsigned long ticks,
                                      const Style& style = IProgressIndicator::classDefaultStyle)
    {
        indicator = std::make_unique<IProgressIndicator>(
            kId, parent.get(), parent.get(), IRectangle(10, 10, 410, 80), ticks, 0, style);
        return *indicator;
    }
    LRESULT bar(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageA(indicator->trackbar(), message, wParam, lParam);
    }
    IProgressIndicatorData& data() const { return *indicator->nativeData(); }

    std::unique_ptr<IProgressIndicator> indicator;
};

std::string textOf(const IException& failure)
{
    return ovktest::str(failure.text());
}

// The native trackbar ---------------------------------------------------------------------------

// Ticks to trackbar units: one unit per tick when snapping, else 32767 / (ticks - 1) units.
TEST_F(SliderTest, TheScaleSetsTheTrackbarsRangeAndUnit)
{
    struct Case {
        unsigned long ticks;
        bool snap;
        long maximum, unit;
    };
    for (const Case& c :
         {Case{11, false, 32760, 3276}, Case{11, true, 10, 1}, Case{2, false, 32767, 32767},
          Case{0, false, 0, 0}, Case{1, false, 0, 0}}) {
        Style style = ISlider::classDefaultStyle;
        if (c.snap)
            style |= IProgressIndicator::snapToTickMark;
        makeSlider(c.ticks, style);
        EXPECT_EQ(bar(TBM_GETRANGEMAX), c.maximum) << c.ticks << " " << c.snap;
        EXPECT_EQ(bar(TBM_GETRANGEMIN), 0) << c.ticks;
        EXPECT_EQ(bar(TBM_GETPAGESIZE), c.unit) << c.ticks;
        EXPECT_EQ(bar(TBM_GETLINESIZE), c.unit) << c.ticks;
        // Besides the two ends the trackbar always counts, no tick is placed.
        EXPECT_EQ(bar(TBM_GETNUMTICS), 2) << c.ticks;
        EXPECT_EQ(indicator->armTickOffset(), 0u);
        EXPECT_EQ(indicator->armPixelOffset(), 0u);
    }
}

TEST_F(SliderTest, OneTickIsTakenOffThePrimaryScaleOnlyAndThePrimaryScaleNeedsTwo)
{
    ISlider& slider = makeSlider(11);
    slider.setTicks(IProgressIndicator::scale2, 1, 0);
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale2), 1u);
    // The second value is scale 2's ticks, the third scale 1's spacing.
    slider.setTicks(6, 1, 0, 0);
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale1), 6u);
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale2), 1u);
    EXPECT_EQ(bar(TBM_GETRANGEMAX), 5 * 6553);

    EXPECT_EQ(textOf(ovktest::caught([&] { slider.setPrimaryScale(IProgressIndicator::scale2); })),
              "SLM_SETSLIDERINFO");
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.setTicks(IProgressIndicator::scale1, 1, 0); })),
              "SLM_SETSLIDERINFO");
    EXPECT_EQ(slider.primaryScale(), IProgressIndicator::scale1);
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale1), 6u);

    slider.setTicks(IProgressIndicator::scale2, 3, 0);
    slider.setPrimaryScale(IProgressIndicator::scale2);
    EXPECT_EQ(slider.primaryScale(), IProgressIndicator::scale2);
    EXPECT_EQ(bar(TBM_GETRANGEMAX), 2 * 16383);
}

TEST_F(SliderTest, WithHomeAtTheRightTheRangeIsNegativeAndTicksCountFromTheRight)
{
    ISlider& slider =
        makeSlider(11, Style(ISlider::classDefaultStyle) | IProgressIndicator::homeRight);
    EXPECT_EQ(slider.homePosition(), IProgressIndicator::homeTopRight);
    EXPECT_EQ(bar(TBM_GETRANGEMIN), -32760);
    EXPECT_EQ(bar(TBM_GETRANGEMAX), 0);
    slider.moveArmToTick(3);
    EXPECT_EQ(bar(TBM_GETPOS), -3 * 3276);
    EXPECT_EQ(slider.armTickOffset(), 3u);

    // Turned round: the arm keeps its count from the new home, the range its sign.
    slider.setHomePosition(IProgressIndicator::homeBottomLeft);
    EXPECT_EQ(bar(TBM_GETRANGEMIN), 0);
    EXPECT_EQ(bar(TBM_GETRANGEMAX), 32760);
    EXPECT_EQ(bar(TBM_GETPOS), 3 * 3276);
    EXPECT_EQ(slider.armTickOffset(), 3u);
}

TEST_F(SliderTest, MovingTheArmTellsObserversOnlyOfAChange)
{
    ISlider& slider = makeSlider(11);
    ovktest::NotificationLog log;
    slider.enableNotification();
    log.handleNotificationsFor(slider);
    slider.moveArmToTick(0);
    EXPECT_EQ(log.trace(), "");
    slider.moveArmToTick(4);
    EXPECT_EQ(log.trace(), "IProgressIndicator::armChange IProgressIndicator::armTickOffset");
    EXPECT_EQ(log.data()[0], reinterpret_cast<std::uintptr_t>(slider.handle().asValue()));
    log.clear();
    slider.moveArmToTick(4);
    slider.moveArmToPixel(slider.armPixelOffset());
    EXPECT_EQ(log.trace(), "");
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.moveArmToTick(11); })), "SLM_SETSLIDERINFO");
    EXPECT_EQ(slider.armTickOffset(), 4u);
    log.stopHandlingNotificationsFor(slider);
}

TEST_F(SliderTest, ThePixelOffsetReachesTheFarEndAndReadsItBack)
{
    for (bool snap : {false, true}) {
        ISlider& slider = makeSlider(11, snap ? Style(ISlider::classDefaultStyle) |
                                                    IProgressIndicator::snapToTickMark
                                              : ISlider::classDefaultStyle);
        const unsigned long last = slider.armRange() - 1;
        ASSERT_GT(last, 10u);
        EXPECT_EQ(slider.tickSpacing(IProgressIndicator::scale1), last / 10) << snap;
        if (!snap) {
            slider.moveArmToPixel(last);
            EXPECT_EQ(bar(TBM_GETPOS), 32760);
            EXPECT_EQ(slider.armPixelOffset(), last);
        } else {
            const unsigned long spacing = slider.tickSpacing(IProgressIndicator::scale1);
            slider.moveArmToPixel(3 * spacing + spacing / 2 - 1);
            EXPECT_EQ(slider.armTickOffset(), 3u);
            EXPECT_EQ(slider.armPixelOffset(), 3 * spacing);
        }
        EXPECT_EQ(textOf(ovktest::caught([&] { slider.moveArmToPixel(last + 1); })),
                  "SLM_SETSLIDERINFO")
            << snap;
    }
}

TEST_F(SliderTest, TickMarksShowTheFirstAndLastAlwaysAndTheOthersWhenGivenALength)
{
    ISlider& slider = makeSlider(11);
    EXPECT_EQ(slider.tickLength(0), 1u);
    EXPECT_EQ(slider.tickLength(10), 1u);
    EXPECT_EQ(slider.tickLength(5), 0u);
    slider.setTickLength(5, 3);
    EXPECT_EQ(slider.tickLength(5), 1u);
    ASSERT_EQ(bar(TBM_GETNUMTICS), 3);
    EXPECT_EQ(bar(TBM_GETTIC, 0), 5 * 3276);
    slider.setTickLength(5, 0);
    EXPECT_EQ(bar(TBM_GETNUMTICS), 2);
    slider.setTickLength(4);
    EXPECT_EQ(bar(TBM_GETNUMTICS), 13);
    // Fewer ticks drop the marks beyond the last.
    slider.setTicks(IProgressIndicator::scale1, 6, 0);
    EXPECT_EQ(bar(TBM_GETNUMTICS), 8);
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.tickLength(6); })),
              "ulTickNum < fProgressIndicatorData->numberTicks[primary]");
    EXPECT_EQ(slider.tickPosition(2), IPoint(0, 0));
}

TEST_F(SliderTest, TickTextsBelongToTicksOfThePrimaryScaleAndKeepTheirPlaceWhenHomeTurns)
{
    ISlider& slider = makeSlider(5);
    EXPECT_TRUE(slider.setTickText(0, "low"));
    EXPECT_TRUE(slider.setTickText(4, "high"));
    EXPECT_FALSE(slider.setTickText(5, "beyond"));
    EXPECT_EQ(ovktest::caught([&] { slider.tickText(5); }).errorId(), OVK_MSG_SLIDER_TICK_INVALID);
    EXPECT_EQ(ovktest::str(slider.tickText(4)), "high");
    EXPECT_EQ(ovktest::str(slider.tickText(2)), "");
    char buffer[3] = "";
    EXPECT_EQ(slider.tickTextLength(4), 4u);
    EXPECT_EQ(slider.getTickText(4, buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "hi");

    // "low" stood at the left end, tick 0 from the left; counted from the right it is tick 4.
    const IPoint lowAt = data().tickTexts[0].at(0).position();
    slider.setHomePosition(IProgressIndicator::homeTopRight);
    EXPECT_EQ(ovktest::str(slider.tickText(4)), "low");
    EXPECT_EQ(ovktest::str(slider.tickText(0)), "high");
    EXPECT_EQ(data().tickTexts[0].at(4).position(), lowAt);
    EXPECT_TRUE(slider.setTickText(4, ""));
    EXPECT_EQ(ovktest::str(slider.tickText(4)), "");
}

TEST_F(SliderTest, TextsShowUnlessTheShaftLeavesNoRoomOnTheirSide)
{
    struct Case {
        Style style;
        bool shown;
    };
    const Style base = ISlider::classDefaultStyle;
    for (const Case& c :
         {Case{base, true}, Case{base | IProgressIndicator::alignTop, false},
          Case{base | IProgressIndicator::alignBottom, true},
          Case{base | IProgressIndicator::alignBottom | IProgressIndicator::primaryScale2,
               false}}) {
        indicator = std::make_unique<ISlider>(kId, parent.get(), parent.get(),
                                              IRectangle(10, 10, 410, 80), 5, 0, 5, 0, c.style);
        EXPECT_EQ(data().textsShown, c.shown) << std::hex << c.style.asUnsignedLong();
    }
}

TEST_F(SliderTest, AReadOnlyIndicatorGivesTheFocusBackAndTheOuterWindowPassesTrackbarMessages)
{
    IProgressIndicator& progress = makeIndicator(11);
    ASSERT_TRUE(GetWindowLongPtrA(progress.trackbar(), GWL_STYLE) & TBS_NOTHUMB);
    SetFocus(parent->hwnd());
    SetFocus(progress.trackbar());
    EXPECT_EQ(GetFocus(), parent->hwnd());

    progress.moveArmToTick(6);
    EXPECT_EQ(ovktest::send(progress.handle(), TBM_GETPOS), 6 * 3276);
    EXPECT_EQ(ovktest::send(progress.handle(), TBM_GETSELEND), 6 * 3276);
    EXPECT_EQ(progress.armTickOffset(), 6u);
}

// The ribbon runs from home to the arm: 60 percent of the channel is highlighted.
TEST_F(SliderTest, TheRibbonFillsTheChannelFromHomeToTheArm)
{
    for (bool homeRight : {false, true}) {
        Style style = IProgressIndicator::classDefaultStyle;
        if (homeRight)
            style |= IProgressIndicator::homeRight;
        IProgressIndicator& progress = makeIndicator(11, style);
        progress.moveArmToTick(6);
        const HWND bar = progress.trackbar();
        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT channel{};
        SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const ovktest::PixelReader pixels(bar);
        const int y = (channel.top + channel.bottom) / 2;
        const RECT middleRow{channel.left + 3, y, channel.right - 3, y + 1};
        const int inside = middleRow.right - middleRow.left;
        const int highlighted = pixels.count(GetSysColor(COLOR_HIGHLIGHT), middleRow);
        const int tenth = (channel.right - channel.left) / 10;
        const bool leftEnd = pixels.at(channel.left + tenth, y) == GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_NEAR(static_cast<double>(highlighted) / inside, 0.6, 0.05) << homeRight;
        EXPECT_EQ(leftEnd, !homeRight);
    }
}

TEST_F(SliderTest, DetentsAndShaftSettingsAreOutsideOnlyAndWrappingANativeSliderIsRefused)
{
    ISlider& slider = makeSlider(11);
    EXPECT_EQ(slider.addDetent(40), 0u);
    EXPECT_EQ(slider.detentPosition(1), 0u);
    slider.setShaftBreadth(20).setShaftPosition(IPoint(5, 5));
    EXPECT_EQ(slider.shaftSize(), ISize(0, 0));
    EXPECT_EQ(slider.shaftPosition(), IPoint(0, 0));
    EXPECT_EQ(ovktest::caught([&] { ISlider wrapped(slider.handle()); }).errorId(),
              OVK_MSG_WRONG_WINDOW_CLASS);
    EXPECT_EQ(ovktest::caught([&] { IProgressIndicator wrapped(kId, parent.get()); }).errorId(),
              OVK_MSG_WRONG_WINDOW_CLASS);
}

TEST_F(SliderTest, TheArrowsStepOneTickAndRepeatWhileHeld)
{
    ISlider& slider = makeSlider(11);
    ASSERT_TRUE(data().hasButtons());
    EXPECT_EQ(slider.buttonsPosition(), ISlider::left);
    // At home the arrow towards home is disabled.
    EXPECT_EQ(data().buttonStates[0], IProgressIndicatorData::disabled);
    const RECT increment = data().buttonRects[1];
    const LPARAM at =
        MAKELPARAM((increment.left + increment.right) / 2, (increment.top + increment.bottom) / 2);
    ovktest::send(slider.handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(slider.armTickOffset(), 1u);
    EXPECT_EQ(data().buttonStates[0], IProgressIndicatorData::normal);
    EXPECT_TRUE(ovktest::pumpUntil([&] { return slider.armTickOffset() >= 2; }, 3000));
    ovktest::send(slider.handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(data().repeatTimer, nullptr);
    const unsigned long stopped = slider.armTickOffset();
    ovktest::pumpUntil([] { return false; }, 700);
    EXPECT_EQ(slider.armTickOffset(), stopped);
}

TEST_F(SliderTest, TheTrackbarsKeysReportTheArmMove)
{
    ISlider& slider = makeSlider(11);
    ovktest::NotificationLog log;
    slider.enableNotification();
    log.handleNotificationsFor(slider);
    SendMessageA(slider.trackbar(), WM_KEYDOWN, VK_RIGHT, 1);
    SendMessageA(slider.trackbar(), WM_KEYUP, VK_RIGHT, 1);
    EXPECT_EQ(slider.armTickOffset(), 1u);
    EXPECT_NE(log.trace().find("IProgressIndicator::armChange"), std::string::npos) << log.trace();
    log.stopHandlingNotificationsFor(slider);
}

TEST_F(SliderTest, MinimumSizesFollowTheVariantTheDirectionAndTheBorder)
{
    struct Case {
        Style style;
        bool newShell;
        ISize size;
    };
    const Style flat(0x10000010, 0xF);
    const Style outside = Style(flat) | IProgressIndicator::messageDrivenWindow;
    for (const Case& c : {Case{flat, true, ISize(100, 34)},
                          Case{flat | IProgressIndicator::vertical, true, ISize(34, 100)},
                          Case{ISlider::classDefaultStyle, true, ISize(104, 38)},
                          Case{ISlider::classDefaultStyle, false, ISize(100, 34)},
                          Case{outside, true, ISize(100, 30)},
                          Case{outside | IProgressIndicator::vertical, true, ISize(30, 100)}}) {
        IPlatform::Override shell(IPlatform::newShell, c.newShell);
        makeSlider(5, c.style);
        EXPECT_EQ(indicator->calcMinimumSize(), c.size) << std::hex << c.style.asUnsignedLong();
    }
}

// The outside slider ----------------------------------------------------------------------------

class OutsideSliderTest : public SliderTest {
protected:
    ISlider& makeOutside(unsigned long ticks = 11, const Style& extra = IProgressIndicator::noStyle)
    {
        ISlider& slider = makeSlider(ticks, Style(ISlider::classDefaultStyle) |
                                                IProgressIndicator::messageDrivenWindow | extra);
        Outside::resetJournal();
        return slider;
    }
};

TEST_F(OutsideSliderTest, CreationHandsTheScalesOverAndTickSettersSendTheRecord)
{
    ISlider& slider = makeOutside(11);
    char name[32] = "";
    GetClassNameA(slider.handle(), name, sizeof name);
    EXPECT_STREQ(name, "OVK Slider");
    EXPECT_EQ(slider.trackbar(), nullptr);
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale1), 11u);
    Outside::resetJournal();
    slider.setTicks(11, 5, 0, 7);
    slider.setTicks(IProgressIndicator::scale2, 3, 9);
    EXPECT_EQ(Outside::journal(),
              (std::vector<std::string>{"0xF098 0x4 {12,11,0,5,7}", "0xF098 0x10004 {12,11,0,5,7}",
                                        "0xF098 0x4 {12,0,0,3,9}", "0xF098 0x10004 {12,0,0,3,9}"}));
    EXPECT_EQ(slider.numberOfTicks(IProgressIndicator::scale2), 3u);
    EXPECT_EQ(slider.tickSpacing(IProgressIndicator::scale2), 9u);
}

TEST_F(OutsideSliderTest, EachOperationSendsItsMessage)
{
    struct Case {
        std::function<void(ISlider&)> operation;
        std::vector<std::string> journal;
    };
    const std::vector<Case> cases = {
        {[](ISlider& s) { s.setTickLength(2, 5); }, {"0xF099 0x50002 0"}},
        {[](ISlider& s) { s.setTickLength(4); }, {"0xF099 0x4FFFF 0"}},
        {[](ISlider& s) { s.setShaftBreadth(9); }, {"0xF098 0x0 9"}},
        {[](ISlider& s) { s.setTickText(1, "a"); }, {"0xF097 0x1 \"a\""}},
        {[](ISlider& s) { s.tickTextLength(1); }, {"0xF092 0x1 0"}},
        {[](ISlider& s) { s.addDetent(15); }, {"0xF090 0xF 0"}},
        {[](ISlider& s) { s.setArmSize(ISize(12, 30)); }, {"0xF098 0x2 1966092"}},
        {[](ISlider& s) { s.moveArmToPixel(20); }, {"0xF093 0x3 0", "0xF098 0x3 20"}},
        {[](ISlider& s) { s.moveArmToTick(2); }, {"0xF093 0x10003 0", "0xF098 0x10003 2"}},
        {[](ISlider& s) { s.tickLength(3); }, {"0xF095 0x3 0"}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        ISlider& slider = makeOutside();
        cases[i].operation(slider);
        EXPECT_EQ(Outside::journal(), cases[i].journal) << i;
    }
}

TEST_F(OutsideSliderTest, AFailureAnswerThrowsTheErrorNamedAfterTheMessage)
{
    struct Case {
        unsigned int message;
        std::function<void(ISlider&)> operation;
        const char* text;
    };
    const std::vector<Case> cases = {
        {IOutsideMessage::sliderSetInfo, [](ISlider& s) { s.setShaftBreadth(3); },
         "SLM_SETSLIDERINFO"},
        {IOutsideMessage::sliderSetInfo,
         [](ISlider& s) { s.setTicks(IProgressIndicator::scale1, 4, 0); }, "SLM_SETSLIDERINFO"},
        {IOutsideMessage::sliderQueryDetentPos, [](ISlider& s) { s.detentPosition(1); },
         "SLM_QUERYDETENTPOS"},
        {IOutsideMessage::sliderAddDetent, [](ISlider& s) { s.addDetent(1); }, "SLM_ADDDETENT"},
        {IOutsideMessage::sliderRemoveDetent, [](ISlider& s) { s.removeDetent(1); },
         "SLM_REMOVEDETENT"},
        {IOutsideMessage::sliderQueryScaleText, [](ISlider& s) { s.tickText(1); },
         "SLM_QUERYSCALETEXT"},
        {IOutsideMessage::sliderQueryTickPos, [](ISlider& s) { s.tickPosition(1); },
         "SLM_QUERYTICKPOS"},
        {IOutsideMessage::sliderQueryTickSize, [](ISlider& s) { s.tickLength(1); },
         "SLM_QUERYTICKSIZE"},
        {IOutsideMessage::sliderSetTickSize, [](ISlider& s) { s.setTickLength(1, 2); },
         "SLM_SETTICKSIZE"},
        {IOutsideMessage::sliderSetScaleText, [](ISlider& s) { s.setTickText(1, "x"); },
         "SLM_SETSCALETEXT"},
    };
    ISlider& slider = makeOutside();
    for (const Case& c : cases) {
        Outside::failNext(c.message, 1);
        EXPECT_EQ(textOf(ovktest::caught([&] { c.operation(slider); })), c.text);
        Outside::resetFailures();
    }
    Outside::failNext(IOutsideMessage::sliderQueryInfo, 1);
    EXPECT_EQ(ovktest::caught([&] { slider.numberOfTicks(IProgressIndicator::scale1); }).errorId(),
              OVK_MSG_SLIDER_TICK_INVALID);
}

TEST_F(OutsideSliderTest, QueriesReadWhatTheWindowKeeps)
{
    ISlider& slider = makeOutside(5);
    const unsigned long detent = slider.addDetent(33);
    EXPECT_NE(detent, 0u);
    EXPECT_EQ(slider.detentPosition(detent), 33u);
    slider.removeDetent(detent);
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.detentPosition(detent); })),
              "SLM_QUERYDETENTPOS");
    slider.setTickText(2, "middle");
    EXPECT_EQ(ovktest::str(slider.tickText(2)), "middle");
    const IPoint tick = slider.tickPosition(2);
    EXPECT_GT(tick.x(), 0);
    EXPECT_GT(tick.y(), 0);
    slider.moveArmToTick(3);
    EXPECT_EQ(slider.armTickOffset(), 3u);
    slider.setShaftPosition(IPoint(12, 7));
    EXPECT_EQ(slider.shaftPosition(), IPoint(12, 7));
    slider.setArmSize(ISize(8, 18));
    EXPECT_EQ(slider.armSize(), ISize(8, 18));
    // The style setters change the window's bits.
    slider.setHomePosition(IProgressIndicator::homeTopRight).enableSnapToTick().enableDrawItem();
    EXPECT_EQ(slider.style() & 0x248, 0x248u);
    EXPECT_EQ(slider.homePosition(), IProgressIndicator::homeTopRight);
    EXPECT_TRUE(slider.isDrawItemEnabled());
    EXPECT_EQ(slider.buttonsPosition(), ISlider::left);
}

TEST_F(OutsideSliderTest, TheWindowsNotificationsRaiseArmTrackAndArmChange)
{
    ISlider& slider = makeOutside();
    ovktest::NotificationLog log;
    slider.enableNotification();
    log.handleNotificationsFor(slider);
    ovktest::send(slider.handle(), WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(log.trace(), "ISlider::armTrack IProgressIndicator::armChange");
    const auto handle = reinterpret_cast<std::uintptr_t>(slider.handle().asValue());
    EXPECT_EQ(log.data(), (std::vector<unsigned long>{static_cast<unsigned long>(handle),
                                                    static_cast<unsigned long>(handle)}));
    log.stopHandlingNotificationsFor(slider);
}

TEST_F(OutsideSliderTest, PaintingAsksTheLibraryForABrushKeptInTheWindow)
{
    ISlider& slider = makeOutside();
    slider.setBackgroundColor(IColor(10, 20, 30));
    RedrawWindow(slider.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const auto brush = reinterpret_cast<HBRUSH>(
        GetWindowLongPtrA(slider.handle(), IOutsideMessage::sliderBrushOffset));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH described{};
    ASSERT_EQ(GetObjectA(brush, sizeof described, &described), static_cast<int>(sizeof described));
    EXPECT_EQ(described.lbColor & 0xFFFFFF, RGB(10, 20, 30));
}

TEST_F(OutsideSliderTest, WrappingTakesAnOutsideWindowAndLeavesItAlive)
{
    IOutsideSliderInfo information;
    information.scale1Ticks = 4;
    const HWND window =
        CreateWindowExA(0, "OVK Slider", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 40, parent->hwnd(),
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kId)), nullptr, &information);
    ASSERT_NE(window, nullptr);
    {
        IProgressIndicator wrapped(kId, parent.get());
        EXPECT_TRUE(wrapped.usesThunkedWindow());
        EXPECT_EQ(wrapped.numberOfTicks(IProgressIndicator::scale1), 4u);
    }
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
    EXPECT_EQ(ovktest::caught([&] { IProgressIndicator none(kId + 1, parent.get()); }).errorId(),
              OVK_MSG_NO_CHILD_WITH_ID);
}

// The circular slider ---------------------------------------------------------------------------

class CircularSliderTest : public advtest::ShownParent {
protected:
    void TearDown() override
    {
        dial.reset();
        ShownParent::TearDown();
    }
    ICircularSlider& make()
    {
        dial = std::make_unique<ICircularSlider>(70, parent.get(), parent.get(),
                                                 IRectangle(10, 100, 130, 200));
        Outside::resetJournal();
        return *dial;
    }
    std::unique_ptr<ICircularSlider> dial;
};

TEST_F(CircularSliderTest, TheIncrementAndTheTickSpacingAreSetEachWithoutTheOther)
{
    ICircularSlider& slider = make();
    slider.setRotationIncrement(7);
    slider.setTickSpacing(20);
    EXPECT_EQ(slider.rotationIncrement(), 7u);
    EXPECT_EQ(slider.tickSpacing(), 20u);
    slider.setRotationIncrement(3);
    EXPECT_EQ(slider.tickSpacing(), 20u);
    const std::vector<std::string> journal = Outside::journal();
    ASSERT_GE(journal.size(), 4u);
    EXPECT_EQ(journal[1], "0xF0B5 7 10");
    EXPECT_EQ(journal[3], "0xF0B5 7 20");
    EXPECT_EQ(slider.calcMinimumSize(), ISize(100, 70));
}

TEST_F(CircularSliderTest, IncrementBitmapsAloneSendNullDecrementHandles)
{
    ICircularSlider& slider = make();
    const IBitmapHandle first(CreateBitmap(8, 8, 1, 1, nullptr));
    const IBitmapHandle second(CreateBitmap(8, 8, 1, 1, nullptr));
    slider.setIncrementBitmaps(first, second);
    char expected[80];
    std::snprintf(expected, sizeof expected, "0xF0B7 0x0 0x0 0x%lX 0x%lX",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(first.asValue())),
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(second.asValue())));
    EXPECT_EQ(Outside::journal(), (std::vector<std::string>{expected}));
}

TEST_F(CircularSliderTest, ValuesRangesAndFailuresGoThroughTheWindow)
{
    ICircularSlider& slider = make();
    slider.setArmRange(IRange(-50, 50)).setValue(-20);
    EXPECT_EQ(slider.value(), -20);
    EXPECT_EQ(slider.armRange().lowerBound(), -50);
    EXPECT_EQ(slider.armRange().upperBound(), 50);
    EXPECT_GT(slider.radius(), 0u);
    Outside::failNext(IOutsideMessage::circularSetValue, 1);
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.setValue(3); })), "CSM_SETVALUE");
    Outside::failNext(IOutsideMessage::circularQueryIncrement, 1);
    EXPECT_EQ(textOf(ovktest::caught([&] { slider.setTickSpacing(3); })), "CSM_QUERYINCREMENT");
    EXPECT_EQ(textOf(ovktest::caught([&] { ICircularSlider none(1, nullptr, nullptr); })),
              "parent!=0");
}

TEST_F(CircularSliderTest, TheWindowsNotificationsRaiseValueAndTrack)
{
    ICircularSlider& slider = make();
    ovktest::NotificationLog log;
    slider.enableNotification();
    log.handleNotificationsFor(slider);
    ovktest::send(slider.handle(), WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(log.trace(), "ICircularSlider::track ICircularSlider::value");
    EXPECT_EQ(slider.value(), 1);
    log.stopHandlingNotificationsFor(slider);
}

} // namespace
