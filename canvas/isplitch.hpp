// ISplitCanvasHandler: a split canvas's own handler: layout on a new size, the split bars'
// painting and pointer, and dragging a bar.
#pragma once

#include <idefs.hpp>
#include <ihandler.hpp>

class ISplitCanvas;

class OVKWIN_API ISplitCanvasHandler : public IHandler {
public:
    ISplitCanvasHandler() noexcept = default;
    ~ISplitCanvasHandler() override;

    virtual ISplitCanvasHandler& handleEventsFor(ISplitCanvas* canvas);
    virtual ISplitCanvasHandler& stopHandlingEventsFor(ISplitCanvas* canvas);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    using IHandler::handleEventsFor;
    using IHandler::stopHandlingEventsFor;

    static IBase::Boolean paint(ISplitCanvas& canvas);
    // The index of the earlier of the two panes whose bar holds the point, or -1.
    static long barAt(const ISplitCanvas& canvas, long x, long y);
    static void dragBar(ISplitCanvas& canvas, long earlier);
};
