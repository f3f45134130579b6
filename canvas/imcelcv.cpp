// The multi-cell canvas.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include <detail/iclasswide.hpp>
#include <detail/ilaybits.hpp>
#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "detail/icvredraw.hpp"
#include "imcelcv.hpp"
#include "imcelcvh.hpp"

namespace {

constexpr unsigned long kGridLines = 0x1, kDragLines = 0x2;
constexpr unsigned char kDefaultFlag = 0x1, kExpandFlag = 0x2;
// Positions are kept in 16 bits: a grid beyond the last has no cell or header to give.
constexpr unsigned long kLastPosition = 0xFFFF;

ISize gDefaultCell(10, 10);

// The child's object may be deleted without removeFromCell: its handle, kept beside the
// pointer, tells whether the pointer still names a live window object before it is followed.
struct Cell {
    IWindow* child = nullptr;
    HWND handle = nullptr;
    unsigned long columns = 1;
    unsigned long rows = 1;
    std::uint16_t column = 0;
    std::uint16_t row = 0;
    long spanWidth = 0;
    long spanHeight = 0;
    long minimumWidth = 0;
    long minimumHeight = 0;
};

struct Header {
    unsigned long size = 0;
    unsigned long requested = 0;
    long offset = 0;
    unsigned char flags = kDefaultFlag;

    bool expandable() const { return (flags & kExpandFlag) != 0; }
    unsigned long weight() const { return size ? size : 1; }
};

// Whether the run of positions from the first leaves the grid (without wrapping around).
bool beyondGrid(unsigned long first, unsigned long count)
{
    return first > kLastPosition || count > kLastPosition - first + 1;
}

std::uint64_t cellKey(unsigned long column, unsigned long row)
{
    return (static_cast<std::uint64_t>(column) << 32) | row;
}

} // namespace

// The cells, indexed by child and by first cell, and the headers of both axes (index 0 is
// column or row 1).
struct IMultiCellCanvas::Grid {
    std::uint16_t multiRowSpans = 0;
    std::uint16_t multiColumnSpans = 0;
    std::uint16_t expandableRows = 0;
    std::uint16_t expandableColumns = 0;
    std::vector<Cell> cells;
    std::unordered_map<IWindow*, std::size_t> byChild;
    std::unordered_map<std::uint64_t, std::size_t> byPosition;
    std::vector<Header> columns;
    std::vector<Header> rows;
    unsigned long depth = 0;
    long lastWidth = 0;
    long lastHeight = 0;

    std::vector<Header>& axis(bool ofColumns) { return ofColumns ? columns : rows; }
    std::uint16_t& expandableCount(bool ofColumns)
    {
        return ofColumns ? expandableColumns : expandableRows;
    }
    void ensure(bool ofColumns, unsigned long count)
    {
        std::vector<Header>& headers = axis(ofColumns);
        if (headers.size() < count)
            headers.resize(count);
    }
    void removeAt(std::size_t index)
    {
        const Cell& cell = cells[index];
        if (cell.columns > 1)
            --multiColumnSpans;
        if (cell.rows > 1)
            --multiRowSpans;
        byChild.erase(cell.child);
        byPosition.erase(cellKey(cell.column, cell.row));
        if (index + 1 != cells.size()) {
            cells[index] = cells.back();
            byChild[cells[index].child] = index;
            byPosition[cellKey(cells[index].column, cells[index].row)] = index;
        }
        cells.pop_back();
    }
    // Every thread's objects are asked: a child's object may have been made on another thread
    // than the canvas's, and is filed with that thread's windows.
    static bool isLive(const Cell& cell)
    {
        return IWindow::windowWithHandle(IWindowHandle(cell.handle), true) == cell.child;
    }
    // The passes of a layout: the headers sized from the cells (answers the minimum size), the
    // room beyond it shared among the expandable headers, and each cell's rectangle.
    ISize measure();
    void expandInto(const ISize& area, const ISize& minimum);
    IRectangle rectangleOf(const Cell& cell) const;
    // Drops the cells whose child object is gone (the pointer is compared, never followed);
    // true when any was dropped.
    bool dropGone()
    {
        bool dropped = false;
        for (std::size_t i = cells.size(); i-- > 0;) {
            if (!isLive(cells[i])) {
                removeAt(i);
                dropped = true;
            }
        }
        return dropped;
    }
};

namespace {

// The sizes from single cells, the default size where nothing set one.
void sizeFromCells(std::vector<Cell>& cells, std::vector<Header>& columns,
                   std::vector<Header>& rows)
{
    for (Header& h : columns)
        h.size = h.requested;
    for (Header& h : rows)
        h.size = h.requested;
    for (Cell& cell : cells) {
        const ISize minimum = cell.child->minimumSize();
        cell.minimumWidth = minimum.width();
        cell.minimumHeight = minimum.height();
        if (cell.columns == 1) {
            Header& h = columns[cell.column - 1];
            h.size = std::max(h.size, static_cast<unsigned long>(cell.minimumWidth));
        }
        if (cell.rows == 1) {
            Header& h = rows[cell.row - 1];
            h.size = std::max(h.size, static_cast<unsigned long>(cell.minimumHeight));
        }
    }
    const ISize defaultSize = IMultiCellCanvas::defaultCell();
    for (Header& h : columns)
        if (h.size == 0 && (h.flags & kDefaultFlag))
            h.size = static_cast<unsigned long>(defaultSize.width());
    for (Header& h : rows)
        if (h.size == 0 && (h.flags & kDefaultFlag))
            h.size = static_cast<unsigned long>(defaultSize.height());
}

// The headers that a cell spans along one axis and the size it needs across them.
struct Span {
    std::size_t first;
    unsigned long count;
    long needed;
};

Span spanOf(const Cell& cell, bool ofColumns)
{
    return ofColumns ? Span{static_cast<std::size_t>(cell.column) - 1, cell.columns, cell.minimumWidth}
                     : Span{static_cast<std::size_t>(cell.row) - 1, cell.rows, cell.minimumHeight};
}

// A cell spanning no expandable header grows its last header by what it lacks and keeps the
// size of its span. False, with nothing changed, when an expandable header is spanned.
bool settleFixedSpan(Cell& cell, std::vector<Header>& headers, bool ofColumns)
{
    const Span span = spanOf(cell, ofColumns);
    unsigned long sum = 0;
    for (std::size_t k = span.first; k < span.first + span.count; ++k) {
        if (headers[k].expandable())
            return false;
        sum += headers[k].size;
    }
    if (span.needed > 0 && sum < static_cast<unsigned long>(span.needed)) {
        headers[span.first + span.count - 1].size += static_cast<unsigned long>(span.needed) - sum;
        sum = static_cast<unsigned long>(span.needed);
    }
    (ofColumns ? cell.spanWidth : cell.spanHeight) = static_cast<long>(sum);
    return true;
}

// What a cell lacks across its span and the weight of the expandable headers that will give
// it; a weight of 0 when the cell lacks nothing or spans no expandable header.
struct Lack {
    unsigned long lack = 0;
    unsigned long weight = 0;
};

Lack lackOf(const Cell& cell, const std::vector<Header>& headers, bool ofColumns)
{
    const Span span = spanOf(cell, ofColumns);
    unsigned long sum = 0, weight = 0;
    for (std::size_t k = span.first; k < span.first + span.count; ++k) {
        sum += headers[k].size;
        if (headers[k].expandable())
            weight += headers[k].weight();
    }
    if (span.needed <= 0 || sum >= static_cast<unsigned long>(span.needed) || weight == 0)
        return Lack{};
    return Lack{static_cast<unsigned long>(span.needed) - sum, weight};
}

// The largest lack per weight among the spanning cells not settled; the first wins a tie.
Lack largestLackPerWeight(const std::vector<Cell>& cells, const std::vector<bool>& settled,
                          const std::vector<Header>& headers, bool ofColumns)
{
    Lack best;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const unsigned long span = ofColumns ? cells[i].columns : cells[i].rows;
        if (span <= 1 || settled[i])
            continue;
        const Lack lack = lackOf(cells[i], headers, ofColumns);
        if (lack.weight == 0)
            continue;
        if (best.weight == 0 || static_cast<std::uint64_t>(lack.lack) * best.weight >
                                    static_cast<std::uint64_t>(best.lack) * lack.weight)
            best = lack;
    }
    return best;
}

// Every expandable header grows by its share of the lack, by its weight, rounded. It grows from
// its own size, as in the expansion: an empty header's weight of 1 is no pixel of its own.
void shareLack(std::vector<Header>& headers, const Lack& lack)
{
    for (Header& h : headers) {
        if (!h.expandable())
            continue;
        const std::uint64_t w = h.weight();
        const std::uint64_t scaled = static_cast<std::uint64_t>(lack.lack) * w;
        h.size += static_cast<unsigned long>(scaled / lack.weight +
                                             ((scaled % lack.weight) > w / 2 ? 1 : 0));
    }
}

// Widens the spanned headers of cells that span more than one along one axis. Cells over no
// expandable header grow their last header by what they lack; the others share the largest
// lack per weight among the expandable headers.
void sizeFromSpans(std::vector<Cell>& cells, std::vector<Header>& headers, bool ofColumns,
                   bool anyExpandable)
{
    std::vector<bool> settled(cells.size(), false);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const unsigned long span = ofColumns ? cells[i].columns : cells[i].rows;
        if (span > 1)
            settled[i] = settleFixedSpan(cells[i], headers, ofColumns);
    }
    if (!anyExpandable)
        return;
    const Lack largest = largestLackPerWeight(cells, settled, headers, ofColumns);
    if (largest.weight != 0)
        shareLack(headers, largest);
}

long placeOffsets(std::vector<Header>& headers)
{
    long offset = 0;
    for (Header& h : headers) {
        h.offset = offset;
        offset += static_cast<long>(h.size);
    }
    return offset;
}

// Shares the room beyond the total among the expandable headers by weight, in fixed point
// with seven fraction bits; what the rounding leaves goes out one pixel each from the first.
// A header grows from its own size: the weight of 1 that an empty one has only gives it a share,
// it is no pixel of its own, or the shares would overrun the room by one per empty header.
void expand(std::vector<Header>& headers, long room, long total, unsigned long expandableCount)
{
    long extra = room - total;
    if (extra <= 0 || expandableCount == 0)
        return;
    unsigned long weights = 0;
    for (const Header& h : headers)
        if (h.expandable())
            weights += h.weight();
    unsigned long given = 0;
    for (Header& h : headers) {
        if (!h.expandable())
            continue;
        const unsigned long weight = h.weight();
        const unsigned long add = static_cast<unsigned long>(
            (static_cast<std::uint64_t>(extra) * ((static_cast<std::uint64_t>(weight) << 7) / weights)) >> 7);
        h.size += add;
        given += add;
    }
    extra -= static_cast<long>(given);
    if (extra > 0) {
        const unsigned long each = static_cast<unsigned long>(extra) / expandableCount;
        unsigned long left = static_cast<unsigned long>(extra) % expandableCount;
        for (Header& h : headers) {
            if (!h.expandable())
                continue;
            h.size += each + (left > 0 ? 1 : 0);
            if (left > 0)
                --left;
        }
    }
}

} // namespace

ISize IMultiCellCanvas::Grid::measure()
{
    sizeFromCells(cells, columns, rows);
    if (multiColumnSpans || multiRowSpans) {
        sizeFromSpans(cells, columns, true, expandableColumns != 0);
        sizeFromSpans(cells, rows, false, expandableRows != 0);
    }
    return ISize(placeOffsets(columns), placeOffsets(rows));
}

void IMultiCellCanvas::Grid::expandInto(const ISize& area, const ISize& minimum)
{
    if (expandableColumns || expandableRows) {
        expand(columns, area.width(), minimum.width(), expandableColumns);
        expand(rows, area.height(), minimum.height(), expandableRows);
    }
    lastWidth = placeOffsets(columns);
    lastHeight = placeOffsets(rows);
}

// The cells' rectangle; a child that asks for more than its minimum size around it grows out
// of its cells on the side its adjustment names.
IRectangle IMultiCellCanvas::Grid::rectangleOf(const Cell& cell) const
{
    const Header& firstColumn = columns[cell.column - 1];
    const Header& lastColumn = columns[cell.column + cell.columns - 2];
    const Header& firstRow = rows[cell.row - 1];
    const Header& lastRow = rows[cell.row + cell.rows - 2];
    long left = firstColumn.offset, top = firstRow.offset;
    long right = lastColumn.offset + static_cast<long>(lastColumn.size);
    long bottom = lastRow.offset + static_cast<long>(lastRow.size);
    const IRectangle adjustment = cell.child->layoutAdjustment();
    if (!adjustment.isEmpty()) {
        const long neededWidth = cell.minimumWidth + adjustment.width();
        const long neededHeight = cell.minimumHeight + adjustment.height();
        if (right - left < neededWidth) {
            if (adjustment.minX() == 0)
                right = left + neededWidth;
            else
                left = right - neededWidth;
        }
        if (bottom - top < neededHeight) {
            if (adjustment.maxY() == 0)
                bottom = top + neededHeight;
            else
                top = bottom - neededHeight;
        }
    }
    return IRectangle(left, top, right, bottom);
}

const IMultiCellCanvas::Style IMultiCellCanvas::gridLines(0, kGridLines);
const IMultiCellCanvas::Style IMultiCellCanvas::dragLines(0, kDragLines);
const IMultiCellCanvas::Style IMultiCellCanvas::classDefault(WS_VISIBLE, 0);

IMultiCellCanvas::Style IMultiCellCanvas::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IMultiCellCanvas::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

ISize IMultiCellCanvas::defaultCell()
{
    return gDefaultCell;
}

void IMultiCellCanvas::setDefaultCell(const ISize& size)
{
    gDefaultCell = size;
}

IMultiCellCanvas::IMultiCellCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                                   const IRectangle& initial, const Style& style)
    : fGrid(std::make_unique<Grid>())
{
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    initialize(id, parent, owner, initial, convertToGUIStyle(style, false),
               convertToGUIStyle(style, true));
    fHandler = std::make_unique<IMultiCellCanvasHandler>();
    fHandler->handleEventsFor(this);
}

IMultiCellCanvas::~IMultiCellCanvas()
{
    try {
        if (fHandler && isValid())
            fHandler->stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window's handler list is gone with the window.
    }
}

IWindow& IMultiCellCanvas::setLayoutDistorted(unsigned long layoutAttributeOn,
                                              unsigned long layoutAttributeOff)
{
    unsigned long on = layoutAttributeOn &
                       ~(ovk_layout::viewPortSizeChanged | ovk_layout::childMinimumSizeChanged |
                         ovk_layout::childSizeChanged | ovk_layout::childDeleted);
    if ((layoutAttributeOn & ovk_layout::childMinimumSizeChanged) && fGrid->depth == 0) {
        on |= ovk_layout::layoutDue;
        if (!(on & ovk_layout::childrenChanged) && !isLayoutDistorted(ovk_layout::childrenChanged))
            on |= ovk_layout::refreshDue;
    }
    return ICanvas::setLayoutDistorted(on, layoutAttributeOff);
}

// Cells ----------------------------------------------------------------------------------------

IMultiCellCanvas& IMultiCellCanvas::addToCell(IWindow* child, unsigned long column,
                                              unsigned long row, unsigned long columns,
                                              unsigned long rows)
{
    static const char* const function =
        "IMultiCellCanvas::addToCell(IWindow*,unsigned long,unsigned long,unsigned long,unsigned long)";
    const unsigned long startingColumn = column, numberOfColumns = columns;
    const unsigned long startingRow = row, numberOfRows = rows;
    IARGUMENT_CHECK(child != 0, "imcelcv", function);
    if (!(startingColumn != 0 && numberOfColumns != 0))
        IThrow::argument("startingColumn != 0 && numberOfColumns != 0",
                         IEXCEPTION_LOCATION("imcelcv", function));
    if (!(startingRow != 0 && numberOfRows != 0))
        IThrow::argument("startingRow != 0 && numberOfRows != 0",
                         IEXCEPTION_LOCATION("imcelcv", function));
    if (beyondGrid(column, columns) || beyondGrid(row, rows))
        IThrow::message(OVK_MSG_INDEX_OUT_OF_RANGE, IEXCEPTION_LOCATION("imcelcv", function));
    Grid& grid = *fGrid;
    if (grid.dropGone())
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    if (grid.byPosition.count(cellKey(column, row)))
        IThrow::message(OVK_MSG_CELL_OCCUPIED, IEXCEPTION_LOCATION("imcelcv", function));
    // A child has one cell: adding it again moves it.
    const auto known = grid.byChild.find(child);
    if (known != grid.byChild.end())
        grid.removeAt(known->second);
    Cell cell;
    cell.child = child;
    cell.handle = child->handle();
    cell.columns = columns;
    cell.rows = rows;
    cell.column = static_cast<std::uint16_t>(column);
    cell.row = static_cast<std::uint16_t>(row);
    grid.cells.push_back(cell);
    grid.byChild[child] = grid.cells.size() - 1;
    grid.byPosition[cellKey(column, row)] = grid.cells.size() - 1;
    grid.ensure(true, column + columns - 1);
    grid.ensure(false, row + rows - 1);
    if (columns > 1)
        ++grid.multiColumnSpans;
    if (rows > 1)
        ++grid.multiRowSpans;
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return *this;
}

IWindow* IMultiCellCanvas::removeFromCell(IWindow* child)
{
    if (fGrid->dropGone())
        setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    const auto found = fGrid->byChild.find(child);
    if (found == fGrid->byChild.end())
        return nullptr;
    fGrid->removeAt(found->second);
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return child;
}

IWindow* IMultiCellCanvas::removeFromCell(unsigned long column, unsigned long row)
{
    IWindow* child = windowInCell(column, row);
    return child ? removeFromCell(child) : nullptr;
}

IWindow* IMultiCellCanvas::windowInCell(unsigned long column, unsigned long row) const
{
    // Column and row count from 1: a 0 would address the header before the first.
    if (!(column != 0 && row != 0))
        IThrow::argument("column != 0 && row != 0",
                         IEXCEPTION_LOCATION("imcelcv", "IMultiCellCanvas::windowInCell(unsigned "
                                                        "long,unsigned long) const"));
    const auto found = fGrid->byPosition.find(cellKey(column, row));
    if (found == fGrid->byPosition.end())
        return nullptr;
    const Cell& cell = fGrid->cells[found->second];
    return Grid::isLive(cell) ? cell.child : nullptr;
}

bool IMultiCellCanvas::expandsAt(long width, long height) const
{
    const Grid& grid = *fGrid;
    return width > 0 && height > 0 &&
           ((width != grid.lastWidth && grid.expandableColumns) ||
            (height != grid.lastHeight && grid.expandableRows));
}

// Headers --------------------------------------------------------------------------------------

IMultiCellCanvas& IMultiCellCanvas::setHeaderSize(bool columns, unsigned long index,
                                                  unsigned long size, IBase::Boolean expandable,
                                                  const char* function)
{
    if (index == 0)
        IThrow::argument(columns ? "column != 0" : "row != 0",
                         IEXCEPTION_LOCATION("imcelcv", function));
    // Headers are made up to the index: one beyond the grid would ask for room for all.
    if (beyondGrid(index, 1))
        IThrow::message(OVK_MSG_INDEX_OUT_OF_RANGE, IEXCEPTION_LOCATION("imcelcv", function));
    Grid& grid = *fGrid;
    grid.ensure(columns, index);
    Header& h = grid.axis(columns)[index - 1];
    if (expandable && !h.expandable())
        ++grid.expandableCount(columns);
    else if (!expandable && h.expandable())
        --grid.expandableCount(columns);
    h.flags = static_cast<unsigned char>(expandable ? (h.flags | kExpandFlag) : (h.flags & ~kExpandFlag));
    h.flags &= static_cast<unsigned char>(~kDefaultFlag);
    h.requested = size;
    setLayoutDistorted(ovk_layout::arrangementChanged, 0);
    return *this;
}

IMultiCellCanvas& IMultiCellCanvas::setColumnWidth(unsigned long column, unsigned long width,
                                                   IBase::Boolean expandable)
{
    return setHeaderSize(true, column, width, expandable,
                         "IMultiCellCanvas::setColumnWidth(unsigned long,unsigned long,int)");
}

IMultiCellCanvas& IMultiCellCanvas::setRowHeight(unsigned long row, unsigned long height,
                                                 IBase::Boolean expandable)
{
    return setHeaderSize(false, row, height, expandable,
                         "IMultiCellCanvas::setRowHeight(unsigned long,unsigned long,int)");
}

unsigned long IMultiCellCanvas::columnWidth(unsigned long column) const
{
    return column && column <= fGrid->columns.size() ? fGrid->columns[column - 1].size : 0;
}

unsigned long IMultiCellCanvas::rowHeight(unsigned long row) const
{
    return row && row <= fGrid->rows.size() ? fGrid->rows[row - 1].size : 0;
}

IBase::Boolean IMultiCellCanvas::isColumnExpandable(unsigned long column) const
{
    return column && column <= fGrid->columns.size() && fGrid->columns[column - 1].expandable();
}

IBase::Boolean IMultiCellCanvas::isRowExpandable(unsigned long row) const
{
    return row && row <= fGrid->rows.size() && fGrid->rows[row - 1].expandable();
}

long IMultiCellCanvas::columnLine(unsigned long column) const
{
    if (!column || column > fGrid->columns.size())
        return 0;
    const Header& h = fGrid->columns[column - 1];
    return h.offset + static_cast<long>(h.size);
}

long IMultiCellCanvas::rowLine(unsigned long row) const
{
    if (!row || row > fGrid->rows.size())
        return 0;
    const Header& h = fGrid->rows[row - 1];
    return h.offset + static_cast<long>(h.size);
}

unsigned long IMultiCellCanvas::columnCount() const
{
    return static_cast<unsigned long>(fGrid->columns.size());
}

unsigned long IMultiCellCanvas::rowCount() const
{
    return static_cast<unsigned long>(fGrid->rows.size());
}

// Lines ----------------------------------------------------------------------------------------

IMultiCellCanvas& IMultiCellCanvas::enableGridLines(IBase::Boolean enable)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = enable ? (current | kGridLines) : (current & ~kGridLines);
    if (wanted != current) {
        setExtendedStyle(wanted);
        refresh();
    }
    return *this;
}

IMultiCellCanvas& IMultiCellCanvas::disableGridLines()
{
    return enableGridLines(false);
}

IMultiCellCanvas& IMultiCellCanvas::enableDragLines(IBase::Boolean enable)
{
    const unsigned long current = extendedStyle();
    const unsigned long wanted = enable ? (current | kDragLines) : (current & ~kDragLines);
    if (wanted != current) {
        setExtendedStyle(wanted);
        refresh();
    }
    return *this;
}

IMultiCellCanvas& IMultiCellCanvas::disableDragLines()
{
    return enableDragLines(false);
}

IBase::Boolean IMultiCellCanvas::hasGridLines() const
{
    return (extendedStyle() & kGridLines) != 0;
}

IBase::Boolean IMultiCellCanvas::hasDragLines() const
{
    return (extendedStyle() & kDragLines) != 0;
}

// Layout ---------------------------------------------------------------------------------------

IMultiCellCanvas& IMultiCellCanvas::layout()
{
    if (!isLayoutDistorted(ovk_layout::layoutDue))
        return *this;
    Grid& grid = *fGrid;
    struct Depth {
        unsigned long& counter;
        explicit Depth(unsigned long& c) : counter(c) { ++counter; }
        ~Depth() { --counter; }
    } depth(grid.depth);

    grid.dropGone();
    const ISize previous = layoutMinimumSize();
    const ISize minimum = grid.measure();
    grid.expandInto(size(), minimum);

    ovk_canvas::QuietLayout quiet(*this);
    IWindowPosBuffer& buffer = fixupChildren();
    setLayoutMinimumSize(minimum);
    for (const Cell& cell : grid.cells)
        buffer.moveSizeTo(cell.child, grid.rectangleOf(cell));
    buffer.apply();
    IWindow::setLayoutDistorted(0, ovk_layout::layoutDue);
    quiet.end();
    if (layoutMinimumSize() != previous)
        setLayoutDistorted(ovk_layout::minimumSizeChanged, 0);
    return *this;
}
