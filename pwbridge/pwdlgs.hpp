// What the plug-in's two dialogs share: the frame's style, the help window with the help
// library the environment names, and fitting the frame around its client canvas.
#pragma once

#include <iframe.hpp>

class ICommandHandler;
class IHelpWindow;
class IMultiCellCanvas;

namespace pwdialog {

// The frame style of both dialogs.
IFrameWindow::Style frameStyle();
// A text of the sign-on resource library.
IResourceId text(unsigned long id);
// Help window 31001 for the frame, with the help library under "VEKORVPATH" when it is set.
IHelpWindow* makeHelpWindow(IFrameWindow* frame);
// Sizes the frame to the canvas's minimum size, centred on the desktop, attaches the command
// handler to the frame and the button canvas, and makes the canvas the client with the focus
// on the frame.
void finish(IFrameWindow* frame, IMultiCellCanvas* canvas, ICommandHandler* handler,
            IWindow* buttons);
// Detaches the handler that finish attached.
void detach(IFrameWindow* frame, ICommandHandler* handler, IWindow* buttons);

constexpr unsigned long kOkResult = 30004;
constexpr unsigned long kCancelResult = 30001;
constexpr unsigned long kHelpWindowId = 31001;
constexpr unsigned long kClientId = 32776;
constexpr unsigned long kButtonCanvasId = 30003;

} // namespace pwdialog
