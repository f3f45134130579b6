// What a tool bar keeps of its own, its handlers, the side holder that carries it at a side of its
// frame, its floating frame, and the list of tool bars a frame keeps.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include <icmdhdr.hpp>
#include <iframe.hpp>
#include <ihandler.hpp>
#include <ipoint.hpp>
#include <isetcv.hpp>
#include <istring.hpp>
#include <ititle.hpp>

#include "itbar.hpp"

// The tool bars of one frame, in the order they were made; the frame keeps a pointer to it
// (toolBarData) and the tool bars delete it with the last of them.
struct IToolBarList {
    std::vector<IToolBar*> toolBars;
};

// The set canvas that a frame carries at one side and that holds the tool bars of that side.
class IToolBarContainer : public ISetCanvas {
public:
    IToolBarContainer(IFrameWindow* frame, IToolBar::Location location);
    ~IToolBarContainer() override;

    IToolBar::Location location() const { return fLocation; }
    IBase::Boolean hasChildren() const;
    // Lays the holder out now and has the frame fit it.
    void relayout();

    // The frame's extension side of a tool bar side.
    static IFrameWindow::Location frameLocation(IToolBar::Location location);

private:
    IFrameWindow* fFrame;
    IToolBar::Location fLocation;
};

// The tool bar's own handler: the 3-D edge, and the press, drag and move with the mouse.
class IToolBarHandler : public IHandler {
public:
    IToolBarHandler() noexcept = default;
    ~IToolBarHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean paint(IToolBar& toolBar, IEvent& event);
    IBase::Boolean mouse(IToolBar& toolBar, IEvent& event);
    IBase::Boolean move(IToolBar& toolBar, IEvent& event);
};

// The floating frame's title: its size is the cell of the library's picture at the caption's
// left end, as wide as the caption is high, by the caption height the picture was drawn for.
class IToolBarFrameTitle : public ITitle {
public:
    explicit IToolBarFrameTitle(IFrameWindow& frame) : ITitle(&frame) {}
    ISize size() const override;
};

// The floating frame's handler: its close, maximise and restore, the command that switches the
// tool bar's arrangement, its fixed maximum size and its title. Other commands go to the owner
// frame.
class IToolBarFrameHandler : public ICommandHandler {
public:
    IToolBarFrameHandler(IToolBar& toolBar, IFrameWindow& frame) : fToolBar(toolBar), fTitle(frame) {}
    ~IToolBarFrameHandler() override;

    const ITitle& title() const noexcept { return fTitle; }

    // The command that switches the expanded arrangement.
    static constexpr unsigned long expandCommand = 0x7105;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    IBase::Boolean command(ICommandEvent& event) override;
    IBase::Boolean systemCommand(ICommandEvent& event) override;

private:
    IBase::Boolean minMaxInfo(IEvent& event);
    IBase::Boolean paintTitle(IEvent& event);

    IToolBar& fToolBar;
    IToolBarFrameTitle fTitle;
};

struct IToolBarWindowRecord {
    IWindow* window = nullptr;
    // False while a narrow vertical tool bar keeps the window out of its layout.
    bool inLayout = true;
};

struct IToolBarData {
    IToolBarContainer* holder = nullptr;
    IToolBar::Location location = IToolBar::hidden;
    std::vector<IToolBarWindowRecord> windows;
    IFrameWindow* floatingFrame = nullptr;
    std::unique_ptr<IToolBarFrameHandler> frameHandler;
    IPoint floatingPosition;
    IFrameWindow* owner = nullptr;
    bool expanded = false;
    IString floatingTitle;
    bool placed = false;
    bool setUpDone = false;
    ISize margin;
    unsigned long maximumVerticalWidth = 100;
    std::unique_ptr<IToolBarHandler> handler;
    // The press that may become a move.
    bool pressed = false;
    IPoint pressPoint;
    // Set while the tool bar changes its own place, so that the floating frame's layout does
    // not refit the frame it is leaving.
    bool moving = false;
};

namespace ovk_toolbar {

// Reaches the private record of a tool bar, for the side holders and the move.
struct MoveAccess {
    static IToolBarData& data(const IToolBar& toolBar) { return *toolBar.fToolBarData; }
};

// The frame's tool bar list; null when the frame has none.
IToolBarList* toolBarList(const IFrameWindow* frame);
// The side holder that the frame has at the side, found through its tool bars; null when none.
IToolBarContainer* sideHolder(const IFrameWindow* frame, IToolBar::Location location);

// What a move chose: the location, and the tool bar or holder under the pointer.
struct MoveTarget {
    IToolBar::Location location = IToolBar::floating;
    IToolBar* toolBar = nullptr;
    IToolBarContainer* holder = nullptr;
};

// The side nearest to the point, of a frame rectangle in screen coordinates; equal distances
// go to the later of right, left, below and above.
IToolBar::Location nearestSide(const RECT& frame, const POINT& point) noexcept;

// Runs the move of the tool bar with the mouse until the button is released (true, the target
// and the outline are set) or Escape is pressed (false).
bool trackMove(IToolBar& toolBar, MoveTarget& target, RECT& outline);

} // namespace ovk_toolbar
