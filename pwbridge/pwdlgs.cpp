// The frame, help and layout steps both dialogs share.
#include "pwdlgs.hpp"

#include <cstdio>

#include <iapp.hpp>
#include <icmdhdr.hpp>
#include <ihelpwin.hpp>
#include <imcelcv.hpp>

#include "orvcl.h"

namespace pwdialog {

IFrameWindow::Style frameStyle()
{
    return IFrameWindow::_titleBar | IFrameWindow::_systemMenu | IFrameWindow::_windowList |
           IFrameWindow::_appDBCSStatus | IFrameWindow::_dialogBackground |
           IFrameWindow::_dialogBorder;
}

IResourceId text(unsigned long id)
{
    return IResourceId(id, IApplication::current().userResourceLibrary());
}

IHelpWindow* makeHelpWindow(IFrameWindow* frame)
{
    IHelpWindow* help = new IHelpWindow(text(kHelpWindowId), frame);
    char oemPath[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("VEKORVPATH", oemPath, sizeof oemPath);
    // A value too long for the buffer is not a path the help library can be under.
    if (length == 0 || length >= sizeof oemPath)
        return help;
    char* path = ORV_OEM_TO_ANSI(oemPath);
    if (path) {
        char library[256];
        const int written = std::snprintf(library, sizeof library, "%s\\help\\%s", path,
                                          "launcher.hlp");
        if (written > 0 && static_cast<size_t>(written) < sizeof library)
            help->addLibraries(library);
        ORV_OEM_ANSI_FREE(path);
    }
    return help;
}

void finish(IFrameWindow* frame, IMultiCellCanvas* canvas, ICommandHandler* handler,
            IWindow* buttons)
{
    const ISize size = canvas->minimumSize();
    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    const long left = (desktop.right - static_cast<long>(size.width())) / 2;
    const long top = (desktop.bottom - static_cast<long>(size.height())) / 2;
    frame->moveSizeToClient(IRectangle(IPoint(left > 0 ? left : 0, top > 0 ? top : 0), size));
    handler->handleEventsFor(frame);
    // The buttons' commands reach their own canvas, which does not pass them on to the frame.
    handler->handleEventsFor(buttons);
    frame->setFocus();
    frame->setClient(canvas);
}

void detach(IFrameWindow* frame, ICommandHandler* handler, IWindow* buttons)
{
    if (!handler)
        return;
    handler->stopHandlingEventsFor(buttons);
    handler->stopHandlingEventsFor(frame);
}

} // namespace pwdialog
