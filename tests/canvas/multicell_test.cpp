// The multi-cell canvas: column and row sizes from cells, spans and expansion, the cell
// bookkeeping and its argument checks, grid lines and dragged lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include <detail/ilaybits.hpp>
#include <imcelcv.hpp>
#include <ovkmsgid.hpp>

#include "canvastest.hpp"

using canvastest::CanvasTest;

namespace {

class MultiCell : public CanvasTest {
protected:
    IMultiCellCanvas& makeCanvas(const IRectangle& rect = IRectangle(0, 0, 300, 200),
                                 const IMultiCellCanvas::Style& style =
                                     IMultiCellCanvas::defaultStyle()) {
        canvas = std::make_unique<CountingGrid>(1, top.get(), top.get(), rect, style);
        return *canvas;
    }
    IWindow& addBox(const ISize& minimum, unsigned long column, unsigned long row,
                    unsigned long columns = 1, unsigned long rows = 1) {
        IWindow& box = keep(canvastest::makeBox(*canvas, minimum));
        canvas->addToCell(&box, column, row, columns, rows);
        return box;
    }
    void TearDown() override {
        children.clear();
        canvas.reset();
        CanvasTest::TearDown();
    }

    class CountingGrid : public IMultiCellCanvas {
    public:
        using IMultiCellCanvas::IMultiCellCanvas;
        IMultiCellCanvas& layout() override {
            if (isLayoutDistorted(ovk_layout::layoutDue))
                ++layouts;
            return IMultiCellCanvas::layout();
        }
        int layouts = 0;
    };
    std::unique_ptr<CountingGrid> canvas;
};

} // namespace

TEST_F(MultiCell, UntouchedColumnHasTheDefaultWidthUntilSetToZero)
{
    makeCanvas();
    addBox(ISize(30, 20), 1, 1);
    addBox(ISize(30, 20), 3, 1);
    canvas->layout();
    EXPECT_EQ(canvas->columnWidth(2), 10u);
    EXPECT_EQ(canvas->rowHeight(1), 20u);
    canvas->setColumnWidth(2, 0);
    canvas->layout();
    EXPECT_EQ(canvas->columnWidth(2), 0u);
    EXPECT_EQ(canvas->minimumSize(), ISize(60, 20));
}

TEST_F(MultiCell, ChildWiderThanItsSpannedColumnsWidensTheLast)
{
    makeCanvas();
    canvas->setColumnWidth(1, 10);
    canvas->setColumnWidth(2, 20);
    IWindow& box = addBox(ISize(50, 10), 1, 1, 2, 1);
    canvas->layout();
    EXPECT_EQ(canvas->columnWidth(1), 10u);
    EXPECT_EQ(canvas->columnWidth(2), 40u);
    EXPECT_EQ(box.rect(), IRectangle(0, 0, 50, 10));
}

TEST_F(MultiCell, ExpandableColumnsShareTheSpareRoomByWeight)
{
    struct Case {
        unsigned long first, second, room;
        unsigned long firstAfter, secondAfter;
    };
    const Case cases[] = {
        {10, 30, 81, 21, 60}, // 41 spare: shares of 10 and 30, the odd pixel to the first
        {0, 30, 40, 1, 39},   // a column of width 0 weighs 1 but grows from 0: the odd pixel
        {10, 30, 40, 10, 30}, // no spare room, no change
    };
    for (const Case& c : cases) {
        makeCanvas(IRectangle(0, 0, static_cast<long>(c.room), 50));
        canvas->setColumnWidth(1, c.first, true);
        canvas->setColumnWidth(2, c.second, true);
        canvas->layout();
        EXPECT_EQ(canvas->columnWidth(1), c.firstAfter) << c.first << "+" << c.second << " in " << c.room;
        EXPECT_EQ(canvas->columnWidth(2), c.secondAfter) << c.first << "+" << c.second << " in " << c.room;
        EXPECT_EQ(canvas->minimumSize().width(), static_cast<long>(c.first + c.second));
    }
}

TEST_F(MultiCell, SpanOverAnExpandableColumnGrowsTheExpandableOnes)
{
    makeCanvas(IRectangle(0, 0, 0, 0));
    canvas->setColumnWidth(1, 10);
    canvas->setColumnWidth(2, 20, true);
    addBox(ISize(70, 10), 1, 1, 2, 1);
    canvas->layout();
    // Lacking 40 over weight 20: the expandable column becomes (40 + 20) * 20 / 20.
    EXPECT_EQ(canvas->columnWidth(1), 10u);
    EXPECT_EQ(canvas->columnWidth(2), 60u);
}

// Empty expandable rows weigh 1 each for their share of what a spanning child lacks, and grow
// from 0: together exactly the child's height.
TEST_F(MultiCell, AChildSpanningEmptyExpandableRowsMakesThemExactlyItsHeight)
{
    makeCanvas(IRectangle(0, 0, 0, 0));
    for (unsigned long row = 1; row <= 3; ++row)
        canvas->setRowHeight(row, 0, true);
    addBox(ISize(20, 30), 1, 1, 1, 3);
    canvas->layout();
    EXPECT_EQ(canvas->rowHeight(1) + canvas->rowHeight(2) + canvas->rowHeight(3), 30u);
    EXPECT_EQ(canvas->minimumSize(), ISize(20, 30));
}

TEST_F(MultiCell, OccupiedCellIsRefusedWithMessage55AndKeepsItsChild)
{
    makeCanvas();
    IWindow& first = addBox(ISize(10, 10), 2, 2);
    IWindow& second = keep(canvastest::makeBox(*canvas, ISize(10, 10)));
    EXPECT_EQ(ovktest::caught([&] { canvas->addToCell(&second, 2, 2); }).errorId(),
              OVK_MSG_CELL_OCCUPIED);
    EXPECT_EQ(canvas->windowInCell(2, 2), &first);
    EXPECT_EQ(canvas->removeFromCell(&second), nullptr);
    EXPECT_EQ(canvas->removeFromCell(2, 2), &first);
    EXPECT_EQ(canvas->windowInCell(2, 2), nullptr);
    canvas->addToCell(&second, 2, 2);
    EXPECT_EQ(canvas->windowInCell(2, 2), &second);
}

TEST_F(MultiCell, ColumnOrRowZeroIsRefusedEverywhere)
{
    makeCanvas();
    IWindow& box = keep(canvastest::makeBox(*canvas, ISize(10, 10)));
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"addToCell column", [&] { canvas->addToCell(&box, 0, 1); }},
        {"addToCell row", [&] { canvas->addToCell(&box, 1, 0); }},
        {"addToCell span", [&] { canvas->addToCell(&box, 1, 1, 0, 1); }},
        {"setColumnWidth", [&] { canvas->setColumnWidth(0, 5); }},
        {"setRowHeight", [&] { canvas->setRowHeight(0, 5); }},
        {"windowInCell", [&] { canvas->windowInCell(0, 1); }},
        {"removeFromCell", [&] { canvas->removeFromCell(1, 0); }},
    };
    for (const auto& call : calls) {
        bool refused = false;
        try {
            call.second();
        } catch (const IInvalidParameter&) {
            refused = true;
        }
        EXPECT_TRUE(refused) << call.first;
    }
    EXPECT_EQ(canvas->columnCount(), 0u);
}

// Sizes and spans beyond the grid's 16-bit positions are refused as addToCell refuses them,
// with the library's error rather than a failed allocation of headers up to the index.
TEST_F(MultiCell, IndicesBeyondTheGridAreRefusedWithTheirOwnLocation)
{
    makeCanvas();
    IWindow& box = keep(canvastest::makeBox(*canvas, ISize(10, 10)));
    const struct {
        const char* call;
        std::function<void()> run;
        const char* function;
    } cases[] = {
        {"setColumnWidth", [&] { canvas->setColumnWidth(0xFFFFFFFFUL, 5); },
         "IMultiCellCanvas::setColumnWidth(unsigned long,unsigned long,int)"},
        {"setRowHeight", [&] { canvas->setRowHeight(0x10000, 5, true); },
         "IMultiCellCanvas::setRowHeight(unsigned long,unsigned long,int)"},
        {"addToCell span that wraps", [&] { canvas->addToCell(&box, 2, 1, 0xFFFFFFFFUL, 1); },
         "IMultiCellCanvas::addToCell(IWindow*,unsigned long,unsigned long,unsigned long,"
         "unsigned long)"},
    };
    for (const auto& c : cases) {
        const IException failure = ovktest::caught(c.run);
        EXPECT_EQ(failure.errorId(), OVK_MSG_INDEX_OUT_OF_RANGE) << c.call;
        ASSERT_NE(failure.locationAtIndex(0), nullptr) << c.call;
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->fileName()), "imcelcv") << c.call;
        EXPECT_EQ(ovktest::str(failure.locationAtIndex(0)->functionName()), c.function) << c.call;
    }
    EXPECT_EQ(canvas->columnCount(), 0u);
    EXPECT_EQ(canvas->rowCount(), 0u);
    EXPECT_FALSE(canvas->isRowExpandable(0x10000));
    // The last position is still a column of the grid.
    canvas->setColumnWidth(0xFFFF, 5);
    EXPECT_EQ(canvas->columnCount(), 0xFFFFu);
}

// A child deleted without removeFromCell: its cell is gone before the next layout, paint or
// size change would reach the freed object, and the cell can be given again. Both ways an
// object goes: with its window, and leaving the window behind.
TEST_F(MultiCell, ChildDeletedWithoutRemovalLosesItsCell)
{
    for (const bool windowStays : {false, true}) {
        SCOPED_TRACE(windowStays ? "window stays" : "window destroyed");
        makeCanvas(IRectangle(0, 0, 300, 200),
                   IMultiCellCanvas::defaultStyle() | IMultiCellCanvas::gridLines);
        addBox(ISize(50, 20), 1, 1);
        IWindow& stays = addBox(ISize(30, 20), 2, 1);
        canvas->layout();
        ASSERT_EQ(canvas->columnWidth(1), 50u);
        const HWND gone = children.front()->handle();
        if (windowStays)
            children.front()->setDestroyOnDelete(false);
        children.erase(children.begin());
        EXPECT_EQ(IsWindow(gone) != 0, windowStays);

        EXPECT_EQ(canvas->windowInCell(1, 1), nullptr);
        canvas->sizeTo(ISize(280, 190));
        canvastest::paintNow(top->hwnd());
        canvas->setLayoutDistorted(ovk_layout::layoutDue, 0);
        canvas->layout();
        EXPECT_EQ(canvas->columnWidth(1), 10u);
        EXPECT_EQ(stays.rect(), IRectangle(10, 0, 40, 20));
        IWindow& again = addBox(ISize(40, 20), 1, 1);
        EXPECT_EQ(canvas->windowInCell(1, 1), &again);
        canvas->layout();
        EXPECT_EQ(canvas->columnWidth(1), 40u);
        if (windowStays)
            DestroyWindow(gone);
        children.clear();
    }
}

// A child whose object another thread made and keeps (pumping its messages meanwhile) keeps
// its cell through a cell added beside it and through the layouts: it is placed and measured.
TEST_F(MultiCell, ChildMadeOnAnotherThreadKeepsItsCell)
{
    makeCanvas();
    auto box = std::make_unique<canvastest::RemoteBox>(*canvas, ISize(30, 20));
    ASSERT_NE(box->window(), nullptr);
    IWindow& remote = *box->window();
    canvas->addToCell(&remote, 1, 1);
    addBox(ISize(10, 10), 2, 1);
    canvas->layout();
    EXPECT_EQ(canvas->windowInCell(1, 1), &remote);
    EXPECT_EQ(canvas->minimumSize(), ISize(30 + 10, 20));
    EXPECT_EQ(remote.rect(), IRectangle(0, 0, 30, 20));
    EXPECT_EQ(children.front()->rect(), IRectangle(30, 0, 40, 20));

    box.reset();
    EXPECT_EQ(canvas->windowInCell(1, 1), nullptr);
}

TEST_F(MultiCell, ResizeLaysOutAtOnceOnlyWhereSomethingExpands)
{
    makeCanvas();
    addBox(ISize(30, 20), 1, 1);
    canvas->layout();
    canvas->layouts = 0;
    canvas->sizeTo(ISize(250, 150));
    EXPECT_EQ(canvas->layouts, 0);
    canvas->setColumnWidth(1, 30, true);
    canvas->layout();
    canvas->layouts = 0;
    canvas->sizeTo(ISize(200, 150));
    EXPECT_EQ(canvas->layouts, 1);
    EXPECT_EQ(canvas->columnWidth(1), 200u);
}

TEST_F(MultiCell, GridLinesInvertTheBackgroundBetweenCells)
{
    makeCanvas(IRectangle(0, 0, 100, 100), IMultiCellCanvas::defaultStyle() |
                                               IMultiCellCanvas::gridLines);
    canvas->setBackgroundColor(IColor(255, 255, 255));
    canvas->setColumnWidth(1, 40);
    canvas->setRowHeight(1, 30);
    canvastest::paintNow(top->hwnd());
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 40, 70), RGB(0, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 70, 30), RGB(0, 0, 0));
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 20, 70), RGB(255, 255, 255));
    canvas->disableGridLines();
    canvastest::paintNow(top->hwnd());
    EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 40, 70), RGB(255, 255, 255));
}

// Rows count from the top in one coordinate system and from the bottom in the other: the row
// line is drawn, and dragged, on the side of the row where the next row lies.
TEST_F(MultiCell, RowLinesAndRowDragsFollowTheRowsInBothCoordinateSystems)
{
    for (const auto orientation : ovktest::kOrientations) {
        SCOPED_TRACE(ovktest::nameOf(orientation));
        const ovktest::CoordinateSystem system(orientation);
        children.clear();
        makeCanvas(IRectangle(0, 0, 100, 100), IMultiCellCanvas::defaultStyle() |
                                                   IMultiCellCanvas::gridLines |
                                                   IMultiCellCanvas::dragLines);
        canvas->setBackgroundColor(IColor(255, 255, 255));
        IWindow& box = addBox(ISize(40, 30), 1, 1);
        canvas->setColumnWidth(2, 20);
        canvas->addToCell(&keep(canvastest::makeBox(*canvas, ISize(20, 20))), 2, 2);
        canvastest::paintNow(top->hwnd());

        const RECT row1 = canvastest::placeIn(canvas->handle(), box.handle());
        ASSERT_EQ(row1.bottom - row1.top, 30);
        const bool upwards = orientation == ICoordinateSystem::kOriginLowerLeft;
        EXPECT_EQ(row1.top, upwards ? 70 : 0);
        const int line = upwards ? row1.top - 1 : row1.bottom;
        EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 80, line), RGB(0, 0, 0));
        EXPECT_EQ(ovktest::pixelAt(canvas->handle(), 80, line + (upwards ? 3 : -3)),
                  RGB(255, 255, 255));

        SetFocus(canvas->handle());
        canvastest::dragFrom(*canvas, POINT{80, line}, 0, upwards ? -12 : 12, false);
        canvas->layout();
        EXPECT_EQ(canvas->rowHeight(1), 42u);
        const RECT grown = canvastest::placeIn(canvas->handle(), box.handle());
        EXPECT_EQ(grown.bottom - grown.top, 42);
        EXPECT_EQ(upwards ? grown.bottom : grown.top, upwards ? 100 : 0);
    }
}

TEST_F(MultiCell, DraggedLineFixesTheColumnWidthAndEndsItsExpansion)
{
    makeCanvas(IRectangle(0, 0, 200, 100), IMultiCellCanvas::defaultStyle() |
                                               IMultiCellCanvas::dragLines);
    canvas->setColumnWidth(1, 40, true);
    canvas->setColumnWidth(2, 40);
    canvas->setRowHeight(1, 30);
    canvas->layout();
    ASSERT_EQ(canvas->columnWidth(1), 160u);

    SetFocus(canvas->handle());
    canvastest::dragFrom(*canvas, POINT{160, 50}, -15, 0, true);
    EXPECT_EQ(canvas->columnWidth(1), 160u);
    EXPECT_TRUE(canvas->isColumnExpandable(1));

    canvastest::dragFrom(*canvas, POINT{160, 50}, -15, 0, false);
    canvas->layout();
    EXPECT_EQ(canvas->columnWidth(1), 145u);
    EXPECT_FALSE(canvas->isColumnExpandable(1));

    canvastest::dragFrom(*canvas, POINT{100, 30}, 0, 12, false);
    canvas->layout();
    EXPECT_EQ(canvas->rowHeight(1), 42u);
}

// Over a drag line the pointer shows which way the line moves; a press there is kept from the
// owner, which would otherwise act on a click that starts a drag. Without drag lines the
// canvas leaves both alone.
TEST_F(MultiCell, PointerOverADragLineShowsItsDirectionAndThePressStaysWithTheCanvas)
{
    for (bool dragLines : {true, false}) {
        makeCanvas(IRectangle(0, 0, 200, 100),
                   dragLines ? IMultiCellCanvas::defaultStyle() | IMultiCellCanvas::dragLines
                             : IMultiCellCanvas::defaultStyle());
        canvas->setColumnWidth(1, 60);
        canvas->setRowHeight(1, 30);
        canvas->layout();
        const HWND handle = canvas->handle();
        const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
        struct Case {
            POINT at;
            HCURSOR expected;
        } cases[] = {{{60, 80}, LoadCursorA(nullptr, IDC_SIZEWE)},
                     {{120, 30}, LoadCursorA(nullptr, IDC_SIZENS)},
                     {{120, 80}, arrow}};
        for (const Case& c : cases) {
            SetCursor(arrow);
            ovktest::send(handle, WM_MOUSEMOVE, 0, MAKELPARAM(c.at.x, c.at.y));
            EXPECT_EQ(GetCursor(), dragLines ? c.expected : arrow)
                << dragLines << " at " << c.at.x << "," << c.at.y;
        }
        EXPECT_EQ(ovktest::send(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
                                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
                  1)
            << dragLines;
        EXPECT_EQ(ovktest::send(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  ovktest::send(top->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
            << dragLines;
    }
}
