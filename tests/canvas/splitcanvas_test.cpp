// The split canvas: percentages from weights, pane lengths and places, bars painted and
// dragged, and its argument checks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <detail/ilaybits.hpp>
#include <isplitcv.hpp>
#include <ovkmsgid.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

class SplitCanvas : public CanvasTest {
protected:
    ISplitCanvas& makeCanvas(const IRectangle& rect = IRectangle(0, 0, 300, 200),
                             const ISplitCanvas::Style& style = ISplitCanvas::defaultStyle())
    {
        canvas = std::make_unique<ISplitCanvas>(1, top.get(), top.get(), rect, style);
        return *canvas;
    }
    std::vector<IWindow*> addPanes(int count)
    {
        std::vector<IWindow*> panes;
        for (int i = 0; i < count; ++i)
            panes.push_back(&keep(canvastest::makeChild(*canvas, "Static", "", WS_VISIBLE)));
        return panes;
    }
    // Each pane's rectangle in the canvas, as "left,top,right,bottom" joined by spaces.
    std::string places(const std::vector<IWindow*>& panes) const
    {
        std::string text;
        for (IWindow* pane : panes) {
            RECT r{};
            GetWindowRect(pane->handle(), &r);
            MapWindowPoints(HWND_DESKTOP, canvas->handle(), reinterpret_cast<POINT*>(&r), 2);
            text += (text.empty() ? "" : " ") + std::to_string(r.left) + "," +
                    std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                    std::to_string(r.bottom);
        }
        return text;
    }
    // Two laid-out panes with a bar of a red middle strip 4 wide between grey edges 2 wide.
    std::vector<IWindow*> twoPanesWithRedBar()
    {
        canvas->setSplitBarThickness(4, ISplitCanvas::splitBarMiddle);
        canvas->setSplitBarThickness(2, ISplitCanvas::splitBarEdge);
        canvas->setSplitBarMiddleColor(IColor(IColor::red));
        const std::vector<IWindow*> panes = addPanes(2);
        layOut();
        return panes;
    }
    void layOut()
    {
        canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
        canvas->layout();
    }
    void TearDown() override
    {
        children.clear();
        canvas.reset();
        CanvasTest::TearDown();
    }
    std::unique_ptr<ISplitCanvas> canvas;
};

TEST_F(SplitCanvas, PercentagesAddUpTo100WithTheFirstPaneTakingTheRest)
{
    struct Case {
        std::vector<long> requested;  // -1: none set
        std::vector<unsigned long> expected;
    };
    const Case cases[] = {
        {{-1, -1, -1}, {34, 33, 33}},
        {{50, 30, -1}, {42, 25, 33}},
        {{0, 0, 0}, {34, 33, 33}},  // nothing weighs anything: equal shares
        {{0, 0, -1}, {0, 0, 100}},
        {{1, 0, 3}, {25, 0, 75}},
    };
    for (const Case& c : cases) {
        children.clear();
        makeCanvas();
        const std::vector<IWindow*> panes = addPanes(3);
        for (std::size_t i = 0; i < panes.size(); ++i)
            if (c.requested[i] >= 0)
                canvas->setSplitWindowPercentage(panes[i], static_cast<unsigned long>(c.requested[i]));
        std::vector<unsigned long> actual;
        for (IWindow* pane : panes)
            actual.push_back(canvas->splitWindowPercentage(pane));
        EXPECT_EQ(actual, c.expected) << c.requested[0] << " " << c.requested[1] << " "
                                      << c.requested[2];
        layOut();
    }
}

TEST_F(SplitCanvas, PanesShareTheLengthAndTheLastTakesASmallRest)
{
    makeCanvas(IRectangle(0, 0, 301, 50), ISplitCanvas::defaultStyle() | ISplitCanvas::noSplitBars);
    const std::vector<IWindow*> panes = addPanes(3);
    layOut();
    EXPECT_EQ(places(panes), "0,0,100,50 100,0,200,50 200,0,301,50");
    EXPECT_FALSE(canvas->isLayoutDistorted(ovk_layout::layoutDue));

    // 19 pixels by weights 5, 1, 1, 1, 1, 1 leave a rest of 5 after 9, 1, 1, 1, 1, 1: shared
    // out again it gives the first pane 2 more, and the last takes the 3 still left.
    children.clear();
    makeCanvas(IRectangle(0, 0, 19, 50), ISplitCanvas::defaultStyle() | ISplitCanvas::noSplitBars);
    const std::vector<IWindow*> six = addPanes(6);
    for (std::size_t i = 0; i < six.size(); ++i)
        canvas->setSplitWindowPercentage(six[i], i == 0 ? 5 : 1);
    layOut();
    std::string widths;
    for (IWindow* pane : six)
        widths += std::to_string(pane->size().width()) + " ";
    EXPECT_EQ(widths, "11 1 1 1 1 4 ");
}

TEST_F(SplitCanvas, BarsSeparateSideBySideAndStackedPanes)
{
    makeCanvas(IRectangle(0, 0, 300, 200));
    const long bar = canvas->splitBarBreadth();
    ASSERT_GT(bar, 0);
    EXPECT_EQ(bar, GetSystemMetrics(SM_CXFRAME));
    const std::vector<IWindow*> panes = addPanes(2);
    layOut();
    const long half = (300 - bar) / 2;
    EXPECT_EQ(places(panes), "0,0," + std::to_string(half) + ",200 " +
                                 std::to_string(half + bar) + ",0,300,200");

    canvas->setOrientation(ISplitCanvas::horizontalSplit);
    EXPECT_EQ(canvas->orientation(), ISplitCanvas::horizontalSplit);
    layOut();
    const long halfHeight = (200 - bar) / 2;
    EXPECT_EQ(places(panes), "0,0,300," + std::to_string(halfHeight) + " 0," +
                                 std::to_string(halfHeight + bar) + ",300,200");
}

TEST_F(SplitCanvas, ACanvasNarrowerThanItsBarsGivesEmptyPanesAndAZeroSizedOneWaits)
{
    makeCanvas(IRectangle(0, 0, 5, 40));
    const std::vector<IWindow*> panes = addPanes(3);
    layOut();
    for (IWindow* pane : panes)
        EXPECT_EQ(pane->size().width(), 0);

    canvas->sizeTo(ISize(0, 40));
    layOut();
    EXPECT_TRUE(canvas->isLayoutDistorted(ovk_layout::layoutDue));
    canvas->sizeTo(ISize(90 + 2 * canvas->splitBarBreadth(), 40));
    canvas->layout();
    EXPECT_FALSE(canvas->isLayoutDistorted(ovk_layout::layoutDue));
    EXPECT_EQ(panes[2]->size().width(), 30);
}

TEST_F(SplitCanvas, BarsArePaintedInTheirColoursUnlessTheStyleHasNone)
{
    makeCanvas(IRectangle(0, 0, 300, 100));
    const std::vector<IWindow*> panes = twoPanesWithRedBar();
    canvastest::paintNow(top->hwnd());
    const int barStart = panes[0]->size().width();
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), barStart, 50), RGB(128, 128, 128));
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), barStart + 3, 50), RGB(255, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), barStart + 6, 50), RGB(128, 128, 128));
    canvas->resetSplitBarMiddleColor();
    EXPECT_EQ(canvas->splitBarMiddleColor().asRGBLong(), IColor(192, 192, 192).asRGBLong());

    children.clear();
    makeCanvas(IRectangle(0, 0, 300, 100), ISplitCanvas::defaultStyle() | ISplitCanvas::noSplitBars);
    canvas->setSplitBarMiddleColor(IColor(IColor::red));
    const std::vector<IWindow*> touching = addPanes(2);
    layOut();
    EXPECT_EQ(canvas->splitBarBreadth(), 0);
    EXPECT_EQ(places(touching), "0,0,150,100 150,0,300,100");
    canvastest::paintNow(top->hwnd());
    for (int x = 140; x < 160; ++x)
        EXPECT_NE(ovktest::pixelAt(canvas->handle(), x, 50), RGB(255, 0, 0)) << x;
}

TEST_F(SplitCanvas, DraggingABarResizesItsNeighboursAndKeepsTheNewShares)
{
    makeCanvas(IRectangle(0, 0, 300, 100));
    const std::vector<IWindow*> panes = addPanes(2);
    layOut();
    const long bar = canvas->splitBarBreadth();
    const int first = panes[0]->size().width();
    SetFocus(canvas->handle());

    canvastest::dragFrom(*canvas, POINT{first + 1, 50}, 40, 0, true);
    EXPECT_EQ(panes[0]->size().width(), first);

    canvastest::dragFrom(*canvas, POINT{first + 1, 50}, 40, 0, false);
    EXPECT_EQ(panes[0]->size().width(), first + 40);
    EXPECT_EQ(panes[1]->size().width(), 300 - bar - first - 40);
    EXPECT_EQ(canvas->splitWindowPercentage(panes[0]) + canvas->splitWindowPercentage(panes[1]), 100u);
    EXPECT_GT(canvas->splitWindowPercentage(panes[0]), 60u);

    // The new shares hold when the canvas is laid out at another size.
    canvas->sizeTo(ISize(600 + bar, 100));
    canvas->layout();
    EXPECT_EQ(panes[0]->size().width(), (first + 40) * 600 / (300 - bar));
}

// The bars lie in the room the layout left between the panes, in either coordinate system
// and orientation: they are painted there and dragged from there. With the origin at the
// bottom left, stacked panes run upwards, so the bar is above the first pane on the screen.
TEST_F(SplitCanvas, BarsArePaintedAndDraggedWhereTheLayoutLeftThemInBothCoordinateSystems)
{
    for (const auto orientation : ovktest::kOrientations) {
        for (const bool stacked : {false, true}) {
            SCOPED_TRACE(std::string(ovktest::nameOf(orientation)) +
                         (stacked ? ", stacked" : ", side by side"));
            const ovktest::CoordinateSystem system(orientation);
            children.clear();
            makeCanvas(IRectangle(0, 0, 300, 200));
            if (stacked)
                canvas->setOrientation(ISplitCanvas::horizontalSplit);
            const std::vector<IWindow*> panes = twoPanesWithRedBar();
            canvastest::paintNow(top->hwnd());

            const HWND handle = canvas->handle();
            // The panes' edges along the split axis on the screen, and the room between them.
            auto span = [&](IWindow* pane) {
                const RECT r = canvastest::placeIn(handle, pane->handle());
                return stacked ? std::make_pair(r.top, r.bottom) : std::make_pair(r.left, r.right);
            };
            auto gap = [&] {
                const auto a = span(panes[0]), b = span(panes[1]);
                return std::make_pair(std::min(a.second, b.second), std::max(a.first, b.first));
            };
            auto at = [&](long along) {
                return stacked ? ovktest::pixelAt(handle, 150, static_cast<int>(along))
                               : ovktest::pixelAt(handle, static_cast<int>(along), 100);
            };
            const auto [start, end] = gap();
            ASSERT_EQ(end - start, canvas->splitBarBreadth());
            EXPECT_EQ(at(start), RGB(128, 128, 128));
            EXPECT_EQ(at(start + 3), RGB(255, 0, 0));
            EXPECT_EQ(at(start + 6), RGB(128, 128, 128));

            // The pane before the bar on the screen grows by the drag, the other one shrinks.
            IWindow* nearPane = span(panes[0]).first < span(panes[1]).first ? panes[0] : panes[1];
            IWindow* farPane = nearPane == panes[0] ? panes[1] : panes[0];
            const long nearLength = span(nearPane).second - span(nearPane).first;
            const long farLength = span(farPane).second - span(farPane).first;
            SetFocus(handle);
            const POINT press = stacked ? POINT{150, start + 1} : POINT{start + 1, 100};
            canvastest::dragFrom(*canvas, press, stacked ? 0 : 30, stacked ? 30 : 0, false);
            EXPECT_EQ(span(nearPane).second - span(nearPane).first, nearLength + 30);
            EXPECT_EQ(span(farPane).second - span(farPane).first, farLength - 30);
            EXPECT_EQ(gap().first, start + 30);
        }
    }
}

TEST_F(SplitCanvas, BothOrientationsAndANullPaneAreRefused)
{
    const IException both = ovktest::caught([&] {
        makeCanvas(IRectangle(), ISplitCanvas::verticalSplitBars | ISplitCanvas::horizontalSplitBars);
    });
    EXPECT_EQ(both.errorId(), OVK_MSG_CONFLICTING_STYLE);
    ASSERT_NE(both.locationAtIndex(0), nullptr);
    EXPECT_EQ(ovktest::str(both.locationAtIndex(0)->fileName()), "isplitcv");

    makeCanvas();
    const IException none = ovktest::caught([&] { canvas->setSplitWindowPercentage(nullptr, 5); });
    EXPECT_EQ(ovktest::str(none.text(0)), "window != 0");
}

} // namespace
