// The private record of a help window and the handler that serves its frame.
#pragma once

#include <windows.h>

#include <memory>

#include <istring.hpp>

#include <idll.hpp>
#include <ihandler.hpp>
#include <ireslib.hpp>
#include <iwinntfy.hpp>

#include "../ihelptbl.hpp"
#include "../ihelpwin.hpp"

// Attached to the associated frame: answers context help (WM_HELP) for the frame and its
// windows, tells the frame its help window, and hides the help when the frame it was shown
// for goes away.
class IHelpWindowHandler : public IHandler {
public:
    explicit IHelpWindowHandler(IHelpWindow& help) : fHelp(help) {}

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

private:
    IBase::Boolean contextHelp(IEvent& event);

    IHelpWindow& fHelp;
};

struct IHelpWindowData {
    HWND instance = nullptr;
    // The library that help tables and titles come from: owned when the settings named one.
    std::unique_ptr<IResourceLibrary> ownedLibrary;
    IResourceLibrary* resourceLibrary = nullptr;
    std::unique_ptr<IDynamicLinkLibrary> helpTableLibrary;
    IString libraries;
    unsigned long viewer = 0;
    HWND activeWindow = nullptr;
    std::unique_ptr<IHelpWindowHandler> winHelpHandler;
    std::unique_ptr<IHelpTable> helpTable;
    unsigned short helpForHelpPanel = 0;
    HWND lastActiveWindow = nullptr;
    // The notification handler of this help window, made when notification is first enabled.
    std::unique_ptr<IWindowNotifyHandler> notifyHandler;
};
