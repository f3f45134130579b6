// IMultiCellCanvasHandler: a multi-cell canvas's own handler: re-layout on a size change where
// columns or rows expand, grid lines, and dragging the lines between columns and rows.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

class IMousePointerEvent;
class IMultiCellCanvas;

class OVKWIN_API IMultiCellCanvasHandler : public IHandler {
public:
    IMultiCellCanvasHandler() noexcept = default;
    ~IMultiCellCanvasHandler() override;

    virtual IMultiCellCanvasHandler& handleEventsFor(IMultiCellCanvas* canvas);
    virtual IMultiCellCanvasHandler& stopHandlingEventsFor(IMultiCellCanvas* canvas);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;

    static IBase::Boolean resized(IMultiCellCanvas& canvas, long width, long height);
    // The grid and the drag lines, when the canvas shows either.
    static IBase::Boolean paintLines(IMultiCellCanvas& canvas);
    IBase::Boolean pointerRequest(IMousePointerEvent& event);
    // The sizing pointer over a drag line.
    static IBase::Boolean showLinePointer(IMultiCellCanvas& canvas, long x, long y);
    // The column (or row, when `columns` is false) whose far line lies within a pixel of the
    // position; 0 for none.
    static unsigned long lineAt(const IMultiCellCanvas& canvas, bool columns, long position);
    // Drags the drag line under the press, when the canvas has drag lines.
    static IBase::Boolean dragLine(IMultiCellCanvas& canvas, long x, long y);
};
