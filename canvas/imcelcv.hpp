// IMultiCellCanvas: a canvas that places its children in the cells of a grid of columns and
// rows, with optional grid lines and lines the user can drag.
#pragma once

#include <iclsstyl.hpp>

#include <cstdint>
#include <memory>

#include "icanvas.hpp"

class IMultiCellCanvasHandler;

// A child occupies the rectangle of cells from its first column and row (counted from 1) over
// the columns and rows it spans. A column is as wide as the widest child that sits in it alone,
// a row as high as the highest; spanning children widen the columns they cover when needed;
// empty columns and rows take the default cell size; expandable columns and rows share the
// room the canvas has beyond its minimum size. Cells and headers are indexed, so a layout
// costs time linear in the children.
class OVKWIN_API IMultiCellCanvas : public ICanvas {
public:
    using Style = IWindowClassStyle<IMultiCellCanvas>;
    static const Style gridLines;
    static const Style dragLines;
    static const Style classDefault;
    static Style defaultStyle();
    static void setDefaultStyle(const Style& style);
    // The size of a column or row that nothing sizes (10 x 10 until set).
    static ISize defaultCell();
    static void setDefaultCell(const ISize& size);

    IMultiCellCanvas(unsigned long id, IWindow* parent, IWindow* owner,
                     const IRectangle& initial = IRectangle(), const Style& style = defaultStyle());
    // The children are not deleted.
    ~IMultiCellCanvas() override;

    // A child's moves alone do not lay the grid out again; a child's new minimum size does.
    IWindow& setLayoutDistorted(unsigned long layoutAttributeOn,
                                unsigned long layoutAttributeOff) override;
    IMultiCellCanvas& layout() override;

    // An occupied first cell throws message 55 and keeps the canvas as it was. A child
    // deleted without removeFromCell loses its cell.
    virtual IMultiCellCanvas& addToCell(IWindow* child, unsigned long column, unsigned long row,
                                        unsigned long columns = 1, unsigned long rows = 1);
    // The child, or null when it has no cell.
    virtual IWindow* removeFromCell(IWindow* child);
    virtual IWindow* removeFromCell(unsigned long column, unsigned long row);
    // The child whose cell starts here, or null.
    virtual IWindow* windowInCell(unsigned long column, unsigned long row) const;
    // The requested size; the column or row no longer takes the default size. An index past
    // the grid's last position (65535), like a cell there, is refused.
    virtual IMultiCellCanvas& setColumnWidth(unsigned long column, unsigned long width,
                                             IBase::Boolean expandable = false);
    virtual IMultiCellCanvas& setRowHeight(unsigned long row, unsigned long height,
                                           IBase::Boolean expandable = false);
    virtual IMultiCellCanvas& disableDragLines();
    virtual IMultiCellCanvas& enableDragLines(IBase::Boolean enable = true);
    virtual IMultiCellCanvas& disableGridLines();
    virtual IMultiCellCanvas& enableGridLines(IBase::Boolean enable = true);

    // The current sizes (0 for a column or row that does not exist yet).
    unsigned long columnWidth(unsigned long column) const;
    unsigned long rowHeight(unsigned long row) const;
    IBase::Boolean isColumnExpandable(unsigned long column) const;
    IBase::Boolean isRowExpandable(unsigned long row) const;
    IBase::Boolean hasGridLines() const;
    IBase::Boolean hasDragLines() const;

    // The line between a column (row) and the next: its offset from the canvas's left (top)
    // edge; 0 for one that does not exist.
    long columnLine(unsigned long column) const;
    long rowLine(unsigned long row) const;
    unsigned long columnCount() const;
    unsigned long rowCount() const;

private:
    friend class IMultiCellCanvasHandler;
    struct Grid;

    // Whether a new size changes what the expandable columns or rows get.
    bool expandsAt(long width, long height) const;
    IMultiCellCanvas& setHeaderSize(bool columns, unsigned long index, unsigned long size,
                                    IBase::Boolean expandable, const char* function);

    std::unique_ptr<Grid> fGrid;
    std::unique_ptr<IMultiCellCanvasHandler> fHandler;
};
