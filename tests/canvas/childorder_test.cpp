// Layouts after the children changed between two layouts: restacked, created, destroyed,
// re-parented in and out, and native children that no window object handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include <detail/ilaybits.hpp>
#include <imcelcv.hpp>
#include <isetcv.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

// A native child with no window object, destroyed with the scope unless already gone.
class NativeChild {
public:
    NativeChild(HWND parent, DWORD style, DWORD extendedStyle = 0)
        : fWindow(CreateWindowExA(extendedStyle, "Static", "", WS_CHILD | WS_VISIBLE | style, 0, 0,
                                  10, 10, parent, nullptr, nullptr, nullptr))
    {
    }
    ~NativeChild()
    {
        if (IsWindow(fWindow))
            DestroyWindow(fWindow);
    }
    NativeChild(const NativeChild&) = delete;
    NativeChild& operator=(const NativeChild&) = delete;
    HWND handle() const { return fWindow; }

private:
    HWND fWindow;
};

void restack(HWND window, HWND after)
{
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void layOut(ICanvas& canvas)
{
    canvas.setLayoutDistorted(ovk_layout::layoutDue, 0);
    canvas.layout();
}

bool hasTabStop(const IWindow& window)
{
    return (GetWindowLongPtrA(window.handle(), GWL_STYLE) & WS_TABSTOP) != 0;
}

// One deck of 10 x 10 boxes from the left, 5 pixels in and 2 apart: the set canvas places its
// children in their stacking order, so the boxes' left edges give the order it used.
class SetCanvasOrder : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        canvas = std::make_unique<ISetCanvas>(1, top.get(), top.get(), IRectangle(0, 0, 300, 100),
                                              ISetCanvas::defaultStyle());
        canvas->setMargin(ISize(5, 5));
        canvas->setPad(ISize(2, 2));
        other = std::make_unique<ISetCanvas>(2, top.get(), top.get(), IRectangle(0, 100, 300, 200),
                                             ISetCanvas::defaultStyle());
        a = &box();
        b = &box();
        c = &box();
        layOut(*canvas);
    }
    void TearDown() override
    {
        children.clear();
        other.reset();
        canvas.reset();
        CanvasTest::TearDown();
    }
    IWindow& box() { return keep(canvastest::makeBox(*canvas, ISize(10, 10))); }
    // The boxes' names from left to right after a layout; a box away from the canvas or
    // destroyed is left out.
    std::string laidOutOrder()
    {
        layOut(*canvas);
        std::vector<std::pair<long, char>> seen;
        for (std::size_t i = 0; i < children.size(); ++i) {
            const IWindow* window = children[i].get();
            if (window && window->isValid() && GetParent(window->handle()) == canvas->handle())
                seen.emplace_back(canvastest::placeIn(canvas->handle(), window->handle()).left,
                                  static_cast<char>('a' + i));
        }
        std::sort(seen.begin(), seen.end());
        std::string order;
        long expected = 5;
        for (const auto& [left, name] : seen) {
            order += left == expected ? name : '?';
            expected += 12;
        }
        return order;
    }

    std::unique_ptr<ISetCanvas> canvas;
    std::unique_ptr<ISetCanvas> other;
    IWindow* a = nullptr;
    IWindow* b = nullptr;
    IWindow* c = nullptr;
};

TEST_F(SetCanvasOrder, RestackedChildrenAreLaidOutInTheirNewOrder)
{
    IWindow& d = box();
    ASSERT_EQ(laidOutOrder(), "abcd");
    // Within the stack, the first and the last staying where they are.
    restack(c->handle(), a->handle());
    EXPECT_EQ(laidOutOrder(), "acbd");
    restack(c->handle(), HWND_TOP);
    EXPECT_EQ(laidOutOrder(), "cabd");
    restack(c->handle(), HWND_BOTTOM);
    EXPECT_EQ(laidOutOrder(), "abdc");
    restack(a->handle(), b->handle());
    EXPECT_EQ(laidOutOrder(), "badc");
    BringWindowToTop(c->handle());
    EXPECT_EQ(laidOutOrder(), "cbad");
    // Moved and restacked in one deferred pass.
    HDWP positions = BeginDeferWindowPos(2);
    positions = DeferWindowPos(positions, b->handle(), d.handle(), 50, 50, 0, 0,
                               SWP_NOSIZE | SWP_NOACTIVATE);
    positions = DeferWindowPos(positions, a->handle(), HWND_TOP, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(positions && EndDeferWindowPos(positions));
    EXPECT_EQ(laidOutOrder(), "acdb");
}

TEST_F(SetCanvasOrder, ChildrenCreatedDestroyedAndReparentedAreLaidOutInPlace)
{
    ASSERT_EQ(laidOutOrder(), "abc");
    box();
    EXPECT_EQ(laidOutOrder(), "abcd");
    children[1].reset();
    EXPECT_EQ(laidOutOrder(), "acd");
    c->setParent(other.get());
    EXPECT_EQ(laidOutOrder(), "ad");
    // A child coming in takes the top of the stacking order.
    c->setParent(canvas.get());
    EXPECT_EQ(laidOutOrder(), "cad");
    // The platform's own re-parenting, around the library.
    SetParent(a->handle(), other->handle());
    EXPECT_EQ(laidOutOrder(), "cd");
    SetParent(a->handle(), canvas->handle());
    EXPECT_EQ(laidOutOrder(), "acd");
    // Out and back in between two layouts.
    SetParent(c->handle(), other->handle());
    SetParent(c->handle(), canvas->handle());
    EXPECT_EQ(laidOutOrder(), "cad");
    DestroyWindow(children[3]->handle());
    EXPECT_EQ(laidOutOrder(), "ca");
}

// Native children take no place of their own, and the window objects' order around them holds.
TEST_F(SetCanvasOrder, NativeChildrenLeaveTheOrderOfTheOthers)
{
    ASSERT_EQ(laidOutOrder(), "abc");
    NativeChild first(canvas->handle(), 0);
    restack(first.handle(), HWND_TOP);
    NativeChild last(canvas->handle(), 0, WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(laidOutOrder(), "abc");
    restack(c->handle(), first.handle());
    EXPECT_EQ(laidOutOrder(), "cab");
    restack(a->handle(), last.handle());
    EXPECT_EQ(laidOutOrder(), "cba");
    // A native child taken over by a window object takes its place among the others, and is
    // a native child again once the object is gone.
    NativeChild taken(canvas->handle(), 0);
    IWindow& d = keep(std::make_unique<IWindow>());
    d.startHandlingEventsFor(taken.handle());
    d.setDestroyOnDelete(false);
    d.setMinimumSize(ISize(10, 10));
    EXPECT_EQ(laidOutOrder(), "cbad");
    restack(taken.handle(), HWND_TOP);
    EXPECT_EQ(laidOutOrder(), "dcba");
    children[3].reset();
    ASSERT_TRUE(IsWindow(taken.handle()));
    EXPECT_EQ(laidOutOrder(), "cba");
    restack(taken.handle(), HWND_BOTTOM);
    restack(a->handle(), HWND_TOP);
    EXPECT_EQ(laidOutOrder(), "acb");
    DestroyWindow(first.handle());
    DestroyWindow(last.handle());
    restack(b->handle(), HWND_TOP);
    EXPECT_EQ(laidOutOrder(), "bac");
}

// A native child that told no one of its arrival and was restacked into the middle is placed
// and measured as soon as a window object takes it over, with nothing else changed meanwhile.
TEST_F(SetCanvasOrder, ASilentNativeChildTakenOverIsPlacedWhereItStands)
{
    ASSERT_EQ(laidOutOrder(), "abc");
    NativeChild silent(canvas->handle(), 0, WS_EX_NOPARENTNOTIFY);
    restack(silent.handle(), a->handle());
    IWindow& d = keep(std::make_unique<IWindow>());
    d.startHandlingEventsFor(silent.handle());
    d.setDestroyOnDelete(false);
    d.setMinimumSize(ISize(10, 10));
    EXPECT_EQ(laidOutOrder(), "adbc");
    EXPECT_EQ(canvas->minimumSize(), ISize(5 + 4 * 10 + 3 * 2 + 5, 5 + 10 + 5));
    children.pop_back();
}

// Both canvases: a layout takes the canvas's tab stop from all its children, native ones too,
// whichever way they came and went.
struct CanvasKind {
    const char* name;
    std::unique_ptr<ICanvas> (*make)(IWindow& parent);
    void (*place)(ICanvas& canvas, IWindow& child, unsigned long column);
};

const CanvasKind kCanvasKinds[] = {
    {"SetCanvas",
     [](IWindow& parent) -> std::unique_ptr<ICanvas> {
         return std::make_unique<ISetCanvas>(1, &parent, &parent, IRectangle(0, 0, 200, 100));
     },
     [](ICanvas&, IWindow&, unsigned long) {}},
    {"MultiCellCanvas",
     [](IWindow& parent) -> std::unique_ptr<ICanvas> {
         return std::make_unique<IMultiCellCanvas>(1, &parent, &parent, IRectangle(0, 0, 200, 100));
     },
     [](ICanvas& canvas, IWindow& child, unsigned long column) {
         static_cast<IMultiCellCanvas&>(canvas).addToCell(&child, column, 1);
     }},
};

class CanvasChildren : public CanvasTest, public testing::WithParamInterface<CanvasKind> {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        canvas = GetParam().make(*top);
        for (unsigned long column = 1; column <= 2; ++column)
            GetParam().place(*canvas, keep(canvastest::makeBox(*canvas, ISize(10, 10))), column);
        layOut(*canvas);
    }
    void TearDown() override
    {
        children.clear();
        canvas.reset();
        CanvasTest::TearDown();
    }
    bool laidOutAsTabStop()
    {
        layOut(*canvas);
        return hasTabStop(*canvas);
    }

    std::unique_ptr<ICanvas> canvas;
};

TEST_P(CanvasChildren, TheTabStopFollowsChildrenComingAndGoing)
{
    ASSERT_FALSE(laidOutAsTabStop());
    {
        NativeChild native(canvas->handle(), WS_TABSTOP);
        restack(native.handle(), children.front()->handle());
        EXPECT_TRUE(laidOutAsTabStop());
    }
    EXPECT_FALSE(laidOutAsTabStop());
    for (const HWND after : {HWND_BOTTOM, HWND_TOP}) {
        // Created without a word to the canvas, left last or raised to the top.
        NativeChild silent(canvas->handle(), WS_TABSTOP, WS_EX_NOPARENTNOTIFY);
        restack(silent.handle(), after);
        EXPECT_TRUE(laidOutAsTabStop());
    }
    EXPECT_FALSE(laidOutAsTabStop());
    {
        NativeChild outside(top->handle(), WS_TABSTOP);
        SetParent(outside.handle(), canvas->handle());
        EXPECT_TRUE(laidOutAsTabStop());
        SetParent(outside.handle(), top->handle());
        EXPECT_FALSE(laidOutAsTabStop());
    }
    auto control = canvastest::makeChild(*top, "Button", "OK", WS_VISIBLE | WS_TABSTOP);
    control->setParent(canvas.get());
    EXPECT_TRUE(laidOutAsTabStop());
    control->setParent(top.get());
    EXPECT_FALSE(laidOutAsTabStop());
    control->setParent(canvas.get());
    EXPECT_TRUE(laidOutAsTabStop());
    control.reset();
    EXPECT_FALSE(laidOutAsTabStop());
}

// A native child slipped unannounced into the middle of the stack is still seen while a native
// child is among the others, also one that a window object let go of.
TEST_P(CanvasChildren, WithANativeChildAmongThemEveryNewcomerIsSeen)
{
    const auto slipIn = [&] {
        NativeChild silent(canvas->handle(), WS_TABSTOP, WS_EX_NOPARENTNOTIFY);
        restack(silent.handle(), children.front()->handle());
        return laidOutAsTabStop();
    };
    {
        NativeChild resident(canvas->handle(), 0);
        ASSERT_FALSE(laidOutAsTabStop());
        EXPECT_TRUE(slipIn());
    }
    NativeChild held(canvas->handle(), 0);
    auto holder = std::make_unique<IWindow>();
    holder->startHandlingEventsFor(held.handle());
    holder->setDestroyOnDelete(false);
    ASSERT_FALSE(laidOutAsTabStop());
    holder.reset();
    ASSERT_FALSE(laidOutAsTabStop());
    EXPECT_TRUE(slipIn());
}

INSTANTIATE_TEST_SUITE_P(Canvases, CanvasChildren, testing::ValuesIn(kCanvasKinds),
                         [](const testing::TestParamInfo<CanvasKind>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
