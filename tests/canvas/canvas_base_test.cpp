// The canvas base: minimum size from the children, when a due layout runs, the minimum-size
// flag, and the background painted between the children.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include <detail/ilaybits.hpp>
#include <icanvas.hpp>
#include <imcelcv.hpp>
#include <isetcv.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

// Counts its layouts and the times the minimum-size flag is raised on it.
class CountingCanvas : public ICanvas {
public:
    using ICanvas::ICanvas;
    ICanvas& layout() override {
        if (isLayoutDistorted(ovk_layout::layoutDue))
            ++layouts;
        return ICanvas::layout();
    }
    IWindow& setLayoutDistorted(unsigned long on, unsigned long off) override {
        if (on & 0x8)
            ++minimumChanges;
        return ICanvas::setLayoutDistorted(on, off);
    }
    int layouts = 0;
    int minimumChanges = 0;
};

} // namespace

using CanvasBase = CanvasTest;

TEST_F(CanvasBase, MinimumSizeIsTheFarCornerOfTheChildren)
{
    ICanvas empty(1, top.get(), top.get(), IRectangle(0, 0, 100, 100));
    EXPECT_EQ(empty.minimumSize(true), ISize(0, 0));

    ICanvas canvas(2, top.get(), top.get(), IRectangle(0, 0, 200, 100));
    keep(canvastest::makeChild(canvas, "Static", "", WS_VISIBLE, IRectangle(0, 0, 20, 30)));
    keep(canvastest::makeChild(canvas, "Static", "", WS_VISIBLE, IRectangle(10, 5, 50, 25)));
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    EXPECT_EQ(canvas.minimumSize(true), ISize(50, 30));
}

TEST_F(CanvasBase, HiddenCanvasLaysOutWhenShownNotWhenDistorted)
{
    CountingCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 100, 100), IWindow::noStyle);
    ovktest::pumpPending();
    canvas.layouts = 0;
    canvas.setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    ovktest::pumpPending();
    EXPECT_EQ(canvas.layouts, 0);
    EXPECT_TRUE(canvas.isLayoutDistorted(ovk_layout::layoutDue));
    canvas.show();
    EXPECT_EQ(canvas.layouts, 1);
    EXPECT_FALSE(canvas.isLayoutDistorted(ovk_layout::layoutDue));
}

TEST_F(CanvasBase, VisibleCanvasLaysOutOnItsNextPaint)
{
    CountingCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 100, 100));
    canvastest::paintNow(top->hwnd());
    canvas.layouts = 0;
    canvas.setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    EXPECT_EQ(canvas.layouts, 0);
    canvastest::paintNow(canvas.handle());
    EXPECT_EQ(canvas.layouts, 1);
}

TEST_F(CanvasBase, VisibleCanvasOfZeroWidthLaysOutAtOnce)
{
    CountingCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 0, 100));
    canvas.layouts = 0;
    canvas.setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    EXPECT_EQ(canvas.layouts, 1);
}

TEST_F(CanvasBase, MinimumSizeFlagRaisedOncePerLayoutThatChangedIt)
{
    CountingCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 100, 100), IWindow::noStyle);
    IWindow& child =
        keep(canvastest::makeChild(canvas, "Static", "", WS_VISIBLE, IRectangle(0, 0, 20, 20)));
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas.layout();
    canvas.minimumChanges = 0;

    child.sizeTo(ISize(40, 20));
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas.layout();
    EXPECT_EQ(canvas.minimumChanges, 1);
    EXPECT_EQ(canvas.layoutMinimumSize(), ISize(40, 20));

    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas.layout();
    EXPECT_EQ(canvas.minimumChanges, 1);
}

TEST_F(CanvasBase, BackgroundIsPaintedBetweenTheChildrenOnly)
{
    ICanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 100, 100));
    canvas.setBackgroundColor(IColor(255, 0, 0));
    IWindow& child =
        keep(canvastest::makeChild(canvas, "Static", "", WS_VISIBLE, IRectangle(50, 50, 80, 80)));
    child.setBackgroundColor(IColor(0, 0, 255));
    canvastest::paintNow(top->hwnd());
    EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 99, 99), RGB(255, 0, 0));
    EXPECT_NE(ovktest::pixelAt(canvas.handle(), 60, 60), RGB(255, 0, 0));
}

TEST_F(CanvasBase, TitledSetCanvasPaintsItsGroupFrame)
{
    ISetCanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 120, 80));
    canvas.setBackgroundColor(IColor(255, 255, 255));
    canvas.setText("Title");
    canvastest::paintNow(top->hwnd());
    const int middle = static_cast<int>(canvas.font().maxCharHeight()) / 2;
    // The frame runs down the left edge below the title line and along the bottom.
    EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 0, 60), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 60, 78), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(ovktest::pixelAt(canvas.handle(), 60, 40), RGB(255, 255, 255));
    EXPECT_NE(middle, 0);
}

// Underneath, a canvas is a static control, which would let the mouse through to the window
// behind and leave the keys to the dialog manager; the pointer over the canvas itself is its
// owner's choice.
TEST_F(CanvasBase, CanvasTakesTheMouseAndEveryKeyAndAsksItsOwnerForThePointer)
{
    ICanvas canvas(1, top.get(), top.get(), IRectangle(0, 0, 100, 100));
    const HWND handle = canvas.handle();
    POINT inside{50, 50};
    ClientToScreen(handle, &inside);
    EXPECT_EQ(ovktest::send(handle, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    EXPECT_EQ(ovktest::send(handle, WM_GETDLGCODE), DLGC_WANTALLKEYS);

    ovktest::Recorder pointer(WM_SETCURSOR);
    pointer.attach(*top, "owner").setAction([](IEvent& event) {
        event.setResult(7);
        return true;
    });
    EXPECT_EQ(ovktest::send(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              7);
    EXPECT_EQ(pointer.trace(), "owner");
}

TEST_F(CanvasBase, NullParentIsRefused)
{
    const IException failure = ovktest::caught([] { ICanvas canvas(1, nullptr, nullptr); });
    EXPECT_EQ(ovktest::str(failure.text()), "parent != 0");
}

// -----------------------------------------------------------------------------------------------
// The layout canvases that move their children with drawing switched off

namespace {

// A child whose layout adjustment fails once, in the middle of the parent's layout.
class FailingChild : public IWindow {
public:
    IRectangle layoutAdjustment() const override {
        if (armed) {
            armed = false;
            throw std::runtime_error("adjustment fails");
        }
        return IWindow::layoutAdjustment();
    }
    mutable bool armed = true;
};

struct QuietCase {
    const char* name;
    std::unique_ptr<ICanvas> (*make)(IWindow& parent, unsigned long visibleBit);
    void (*place)(ICanvas& canvas, IWindow& child);
    // A setting that gives the child another place or size.
    void (*reshape)(ICanvas& canvas);
};

const QuietCase kQuietCases[] = {
    {"SetCanvas",
     [](IWindow& parent, unsigned long visibleBit) -> std::unique_ptr<ICanvas> {
         return std::make_unique<ISetCanvas>(1, &parent, &parent, IRectangle(0, 0, 200, 100),
                                             ISetCanvas::Style(visibleBit, 0x125));
     },
     [](ICanvas&, IWindow&) {},
     [](ICanvas& canvas) { static_cast<ISetCanvas&>(canvas).setMargin(ISize(9, 7)); }},
    {"MultiCellCanvas",
     [](IWindow& parent, unsigned long visibleBit) -> std::unique_ptr<ICanvas> {
         return std::make_unique<IMultiCellCanvas>(1, &parent, &parent, IRectangle(0, 0, 200, 100),
                                                   IMultiCellCanvas::Style(visibleBit, 0));
     },
     [](ICanvas& canvas, IWindow& child) {
         static_cast<IMultiCellCanvas&>(canvas).addToCell(&child, 1, 1);
     },
     [](ICanvas& canvas) { static_cast<IMultiCellCanvas&>(canvas).setColumnWidth(1, 80); }},
};

bool hasVisibleBit(const IWindow& window)
{
    return (GetWindowLongPtrA(window.handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

class QuietLayout : public CanvasTest, public testing::WithParamInterface<QuietCase> {
protected:
    void TearDown() override {
        children.clear();
        canvas.reset();
        CanvasTest::TearDown();
    }
    // A child of the canvas, in its place there, whose adjustment fails in the next layout.
    FailingChild& placeFailingChild() {
        auto failing = std::make_unique<FailingChild>();
        failing->startHandlingEventsFor(failing->create(0, "", WS_CHILD | WS_VISIBLE, "Static",
                                                        canvas->handle(), canvas->handle(),
                                                        IRectangle(), nullptr, nullptr));
        failing->setMinimumSize(ISize(30, 20));
        FailingChild& child = static_cast<FailingChild&>(keep(std::move(failing)));
        GetParam().place(*canvas, child);
        return child;
    }
    std::unique_ptr<ICanvas> canvas;
};

} // namespace

// A notebook asks its hidden pages for their minimum size: the layout that answers must not
// show the page over the one in front.
TEST_P(QuietLayout, HiddenCanvasStaysHiddenWhenAskedForItsMinimumSize)
{
    canvas = GetParam().make(*top, 0);
    IWindow& box = keep(canvastest::makeBox(*canvas, ISize(30, 20)));
    GetParam().place(*canvas, box);
    canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
    EXPECT_GE(canvas->minimumSize(true).width(), 30);
    EXPECT_FALSE(canvas->isLayoutDistorted(ovk_layout::layoutDue));
    EXPECT_FALSE(hasVisibleBit(*canvas));
    EXPECT_FALSE(IsWindowVisible(canvas->handle()));
}

TEST_P(QuietLayout, LayoutThatThrowsLeavesAShownCanvasDrawing)
{
    canvas = GetParam().make(*top, WS_VISIBLE);
    FailingChild& child = placeFailingChild();
    canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
    EXPECT_THROW(canvas->layout(), std::runtime_error);
    EXPECT_FALSE(child.armed);
    // Drawing left off would read as hidden, and the canvas would never be painted again.
    EXPECT_TRUE(hasVisibleBit(*canvas));
    EXPECT_TRUE(IsWindowVisible(canvas->handle()));
}

// A handler that fails as drawing is turned back on, while the layout is already failing: the
// layout's failure reaches the caller, and the handler's waits for the next return from Windows.
TEST_P(QuietLayout, HandlerFailingAsDrawingReturnsIsThrownAfterTheLayoutsOwnFailure)
{
    canvas = GetParam().make(*top, WS_VISIBLE);
    placeFailingChild();
    ovktest::Recorder redraw(WM_SETREDRAW);
    redraw.attach(*canvas, "redraw").setAction([](IEvent& event) -> bool {
        if (event.parameter1().asUnsignedLong() != 0)
            throw std::logic_error("drawing fails");
        return false;
    });
    canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
    EXPECT_THROW(canvas->layout(), std::runtime_error);
    EXPECT_EQ(redraw.trace(), "redraw redraw");
    EXPECT_THROW(ovktest::pumpPending(), std::logic_error);
}

// A layout due again with nothing changed leaves every child alone; one that changes a child's
// place moves it without activating it, in either coordinate system.
TEST_P(QuietLayout, LayoutMovesOnlyWhatChangedAndActivatesNothing)
{
    for (const ICoordinateSystem::Orientation orientation : ovktest::kOrientations) {
        SCOPED_TRACE(ovktest::nameOf(orientation));
        ovktest::CoordinateSystem system(orientation);
        canvas = GetParam().make(*top, WS_VISIBLE);
        IWindow& box = keep(canvastest::makeBox(*canvas, ISize(30, 20)));
        GetParam().place(*canvas, box);
        canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
        canvas->layout();
        const RECT placed = canvastest::placeIn(canvas->handle(), box.handle());

        ovktest::SentMessages sent(box.handle());
        ASSERT_TRUE(sent.hooked());
        for (int again = 0; again < 2; ++again) {
            canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
            canvas->layout();
        }
        EXPECT_EQ(sent.count(WM_WINDOWPOSCHANGING), 0);
        EXPECT_EQ(sent.count(WM_WINDOWPOSCHANGED), 0);

        GetParam().reshape(*canvas);
        canvas->layout();
        const RECT moved = canvastest::placeIn(canvas->handle(), box.handle());
        EXPECT_FALSE(EqualRect(&placed, &moved));
        EXPECT_EQ(sent.count(WM_WINDOWPOSCHANGED), 1);
        EXPECT_EQ(sent.count(WM_CHILDACTIVATE), 0);
        children.clear();
        canvas.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(Canvases, QuietLayout, testing::ValuesIn(kQuietCases),
                         [](const testing::TestParamInfo<QuietCase>& info) {
                             return std::string(info.param.name);
                         });
