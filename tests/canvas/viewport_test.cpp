// The view port: which scroll bars show, scrolling limits and scaled bars for long views, the
// scroll messages and keys, and its argument checks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include <detail/ilaybits.hpp>
#include <iscroll.hpp>
#include <igbundle.hpp>
#include <iglist.hpp>
#include <igrafcv.hpp>
#include <igrect.hpp>
#include <ivport.hpp>
#include <ovkmsgid.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

class ViewPort : public CanvasTest {
protected:
    IViewPort& makePort(const ISize& port, const ISize& view,
                        const IViewPort::Style& style = IViewPort::defaultStyle())
    {
        viewPort = std::make_unique<IViewPort>(1, top.get(), top.get(), IRectangle(IPoint(), port),
                                               style);
        view_ = &keep(canvastest::makeChild(*viewPort, "Static", "", WS_VISIBLE,
                                            IRectangle(IPoint(), view)));
        viewPort->layout();
        return *viewPort;
    }
    void TearDown() override
    {
        children.clear();
        viewPort.reset();
        CanvasTest::TearDown();
    }
    // The view window's place in the view rectangle.
    POINT viewPlace() const
    {
        RECT r{};
        GetWindowRect(view_->handle(), &r);
        MapWindowPoints(HWND_DESKTOP, viewPort->viewRectangle().handle(),
                        reinterpret_cast<POINT*>(&r), 2);
        return POINT{r.left, r.top};
    }
    std::unique_ptr<IViewPort> viewPort;
    IWindow* view_ = nullptr;
};

TEST_F(ViewPort, BarsShowWhereTheViewDoesNotFit)
{
    const long barHeight = static_cast<long>(IScrollBar::systemScrollBarWidth(false));
    struct Case {
        ISize port;
        ISize view;
        unsigned long style;  // extended bits
        bool horizontal;
        bool vertical;
    };
    const Case cases[] = {
        {ISize(300, 210), ISize(300, 200), 0x9, false, false},
        {ISize(290, 210), ISize(300, 200), 0x9, true, 210 - barHeight < 200},
        {ISize(290, 210), ISize(300, 200), 0x4 | 0x20, false, false},
        {ISize(400, 300), ISize(300, 200), 0x2 | 0x10, true, true},
        {ISize(200, 150), ISize(170, 400), 0x9, false, true},
    };
    for (const Case& c : cases) {
        children.clear();
        IViewPort& port = makePort(c.port, c.view, IViewPort::Style(WS_VISIBLE, c.style));
        SCOPED_TRACE(c.style);
        EXPECT_EQ(port.horizontalScrollBar().isVisible() != 0, c.horizontal);
        EXPECT_EQ(port.verticalScrollBar().isVisible() != 0, c.vertical);
        EXPECT_EQ(GetParent(view_->handle()), port.viewRectangle().handle());
        const ISize visible = port.viewRectangle().size();
        const long barWidth = static_cast<long>(IScrollBar::systemScrollBarWidth(true));
        EXPECT_EQ(visible.width(), c.port.width() - (c.vertical ? barWidth : 0));
        EXPECT_EQ(visible.height(), c.port.height() - (c.horizontal ? barHeight : 0));
        // A bar that does not show leaves its offset at 0 in the next layout; a view that fits
        // does not scroll.
        port.scrollViewHorizontallyTo(5);
        port.scrollViewVerticallyTo(5);
        port.setLayoutDistorted(ovk_layout::viewPortSizeChanged, 0);
        port.layout();
        EXPECT_EQ(port.horizontalOffset(), c.horizontal && c.view.width() > visible.width() ? 5u : 0u);
        EXPECT_EQ(port.verticalOffset(), c.vertical && c.view.height() > visible.height() ? 5u : 0u);
    }
}

TEST_F(ViewPort, ScrollingStopsWhereTheViewEnds)
{
    IViewPort& port = makePort(ISize(300, 200), ISize(200, 500));
    ASSERT_TRUE(port.verticalScrollBar().isVisible());
    port.scrollViewVerticallyTo(10000);
    EXPECT_EQ(port.verticalOffset(), 300u);
    EXPECT_EQ(port.viewportRect().minY(), 300);
    EXPECT_EQ(viewPlace().y, -300);
    EXPECT_EQ(port.verticalScrollBar().scrollBoxPosition(), 301);
    EXPECT_EQ(port.verticalScrollBar().scrollableRange(), IRange(1, 500));
    EXPECT_EQ(port.verticalScrollBar().visibleCount(), 200u);

    // A view that fits does not scroll at all.
    port.scrollViewHorizontallyTo(50);
    EXPECT_EQ(port.horizontalOffset(), 0u);
    // A larger port takes the view back inside.
    port.sizeTo(ISize(300, 450));
    port.layout();
    EXPECT_EQ(port.verticalOffset(), 50u);
    EXPECT_EQ(viewPlace().y, -50);
}

TEST_F(ViewPort, AViewWiderThanSixteenBitsScrollsThroughScaledPositions)
{
    IViewPort& port = makePort(ISize(300, 200), ISize(100, 100));
    port.setViewWindowSize(ISize(70000, 150));
    port.layout();
    IScrollBar& bar = port.horizontalScrollBar();
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.scrollableRange(), IRange(1, 23333));
    const long visible = port.viewRectangle().size().width();
    EXPECT_EQ(bar.visibleCount(), static_cast<unsigned long>(visible / 3));

    port.scrollViewHorizontallyTo(30000);
    EXPECT_EQ(bar.scrollBoxPosition(), 10001);

    // Thumb tracking maps the scaled positions onto the whole view.
    const long last = 70000 - visible;
    const long upper = bar.scrollBoxRange().upperBound();
    const long position = 5000;
    ovktest::send(port.handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position),
                  reinterpret_cast<LPARAM>(bar.handle().asValue()));
    EXPECT_EQ(port.horizontalOffset(),
              static_cast<unsigned long>(std::lround((position - 1.0) * last / (upper - 1))));
    ovktest::send(port.handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, upper),
                  reinterpret_cast<LPARAM>(bar.handle().asValue()));
    EXPECT_EQ(port.horizontalOffset(), static_cast<unsigned long>(last));
}

TEST_F(ViewPort, ScrollBarMessagesAndKeysScrollTheView)
{
    IViewPort& port = makePort(ISize(300, 200), ISize(1000, 1000));
    IScrollBar& vertical = port.verticalScrollBar();
    IScrollBar& horizontal = port.horizontalScrollBar();
    const unsigned long line = vertical.minScrollIncrement();
    ASSERT_GT(line, 0u);

    ovktest::send(port.handle(), WM_VSCROLL, SB_LINEDOWN,
                  reinterpret_cast<LPARAM>(vertical.handle().asValue()));
    EXPECT_EQ(port.verticalOffset(), line);
    ovktest::send(port.handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 101),
                  reinterpret_cast<LPARAM>(vertical.handle().asValue()));
    EXPECT_EQ(port.verticalOffset(), 100u);
    EXPECT_EQ(viewPlace().y, -100);

    ovktest::send(port.handle(), WM_KEYDOWN, VK_NEXT, 0x00510001);
    EXPECT_EQ(port.verticalOffset(), 100u + vertical.pageScrollIncrement());
    EXPECT_EQ(port.horizontalOffset(), 0u);

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    ovktest::send(port.handle(), WM_KEYDOWN, VK_NEXT, 0x00510001);
    EXPECT_EQ(port.horizontalOffset(), horizontal.pageScrollIncrement());
    // With Ctrl only the page keys scroll.
    ovktest::send(port.handle(), WM_KEYDOWN, VK_RIGHT, 0x014D0001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(port.horizontalOffset(), horizontal.pageScrollIncrement());

    ovktest::send(port.handle(), WM_KEYDOWN, VK_RIGHT, 0x014D0001);
    EXPECT_EQ(port.horizontalOffset(), horizontal.pageScrollIncrement() + horizontal.minScrollIncrement());
}

TEST_F(ViewPort, TwoViewWindowsAndConflictingBarChoicesAreRefused)
{
    IViewPort& port = makePort(ISize(300, 200), ISize(100, 100));
    keep(canvastest::makeChild(port, "Static", "", WS_VISIBLE, IRectangle(0, 0, 50, 50)));
    keep(canvastest::makeChild(port, "Static", "", WS_VISIBLE, IRectangle(0, 0, 50, 50)));
    const IException two = ovktest::caught([&] { port.viewWindow(); });
    EXPECT_EQ(two.errorId(), OVK_MSG_VIEW_WINDOW_AMBIGUOUS);

    const IException both = ovktest::caught([&] {
        IViewPort bad(2, top.get(), top.get(), IRectangle(),
                      IViewPort::asNeededVerticalScrollBar | IViewPort::noVerticalScrollBar);
    });
    EXPECT_EQ(both.errorId(), OVK_MSG_CONFLICTING_STYLE);
    ASSERT_NE(both.locationAtIndex(0), nullptr);
    EXPECT_EQ(ovktest::str(both.locationAtIndex(0)->fileName()), "ivport");
}

} // namespace

namespace {

// The view window, a graphic canvas, paints only inside the view rectangle, shifted by the
// offsets, and the scroll bars beside it keep their own place.
TEST_F(ViewPort, TheViewShowsThroughTheViewRectangleAtItsOffset)
{
    IViewPort port(2, top.get(), top.get(), IRectangle(0, 0, 200, 150));
    IGraphicCanvas view(5, &port, &port);
    IGList list;
    IGRectangle box(IRectangle(100, 50, 120, 70));
    IGraphicBundle red;
    red.setFillColor(IColor(IColor::red)).setPenColor(IColor(IColor::red));
    red.setDrawOperation(IGraphicBundle::fillAndFrame);
    box.setGraphicBundle(red);
    list.addAsLast(box);
    view.setGraphicList(&list);
    view.setBackgroundColor(IColor(IColor::black));
    view.sizeTo(ISize(400, 300));
    port.layout();
    port.scrollViewHorizontallyTo(90);
    port.scrollViewVerticallyTo(40);
    canvastest::paintNow(top->hwnd());
    EXPECT_EQ(ovktest::pixelAt(port.handle(), 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(port.handle(), 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(port.handle(), 35, 15), RGB(0, 0, 0));
    const long visible = port.viewRectangle().size().width();
    EXPECT_EQ(ChildWindowFromPoint(port.handle(), POINT{static_cast<LONG>(visible) + 2, 50}),
              port.verticalScrollBar().handle().asValue());
    view.setGraphicList(nullptr);
}

} // namespace

namespace {

// The view's visible part starts at the near corner of the rectangle it is given, here 10 and
// 5 pixels into the view rectangle on the screen, less the offsets.
TEST_F(ViewPort, TheViewIsPlacedFromTheGivenRectangle)
{
    for (const auto orientation : ovktest::kOrientations) {
        SCOPED_TRACE(ovktest::nameOf(orientation));
        const ovktest::CoordinateSystem system(orientation);
        IViewPort& port = makePort(ISize(200, 150), ISize(400, 300));
        port.scrollViewHorizontallyTo(90);
        port.scrollViewVerticallyTo(40);
        ASSERT_EQ(viewPlace().x, -90);
        ASSERT_EQ(viewPlace().y, -40);

        RECT area = canvastest::placeIn(port.handle(), port.viewRectangle().handle());
        OffsetRect(&area, 10, 5);
        RECT client{};
        GetClientRect(port.handle(), &client);
        IRectangle given(area.left, area.top, area.right, area.bottom);
        if (ICoordinateSystem::isConversionNeeded())
            given = ICoordinateSystem::convertToApplication(given, ISize(client.right, client.bottom));
        port.positionViewWindow(given);
        EXPECT_EQ(viewPlace().x, 10 - 90);
        EXPECT_EQ(viewPlace().y, 5 - 40);

        port.positionViewWindow(port.viewRectangle().rect());
        EXPECT_EQ(viewPlace().x, -90);
        EXPECT_EQ(viewPlace().y, -40);
    }
}

} // namespace

namespace {

// The bars run along the bottom and the right edge and the view shows from the top left of
// the view port, in either coordinate system: the hit test and the pixels read back agree.
TEST_F(ViewPort, BarsAndViewKeepTheirPlacesInBothCoordinateSystems)
{
    for (const auto orientation : ovktest::kOrientations) {
        SCOPED_TRACE(ovktest::nameOf(orientation));
        const ovktest::CoordinateSystem system(orientation);
        IViewPort port(2, top.get(), top.get(), IRectangle(0, 0, 200, 150));
        IGraphicCanvas view(5, &port, &port);
        view.setBackgroundColor(IColor(IColor::black));
        view.sizeTo(ISize(400, 300));
        port.layout();
        canvastest::paintNow(top->hwnd());

        const HWND handle = port.handle();
        RECT client{};
        GetClientRect(handle, &client);
        const long barHeight = static_cast<long>(IScrollBar::systemScrollBarWidth(false));
        EXPECT_EQ(ChildWindowFromPoint(handle, POINT{50, client.bottom - 2}),
                  port.horizontalScrollBar().handle().asValue());
        EXPECT_EQ(ChildWindowFromPoint(handle, POINT{client.right - 2, 50}),
                  port.verticalScrollBar().handle().asValue());
        EXPECT_EQ(ChildWindowFromPoint(handle, POINT{5, 5}), port.viewRectangle().handle().asValue());
        const RECT area = canvastest::placeIn(handle, port.viewRectangle().handle());
        EXPECT_EQ(area.top, 0);
        EXPECT_EQ(area.bottom, client.bottom - barHeight);
        EXPECT_EQ(ovktest::pixelAt(handle, 5, 5), RGB(0, 0, 0));
        EXPECT_EQ(ovktest::pixelAt(handle, 5, area.bottom - 1), RGB(0, 0, 0));

        port.scrollViewHorizontallyTo(90);
        port.scrollViewVerticallyTo(40);
        const RECT shown = canvastest::placeIn(port.viewRectangle().handle(), view.handle());
        EXPECT_EQ(shown.left, -90);
        EXPECT_EQ(shown.top, -40);
    }
}

} // namespace
