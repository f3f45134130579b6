// IFrameHandler: the handler every frame window carries: the layout pass, the frame queries,
// the close protocol, command routing, help requests and the parts of the frame the library
// paints itself.
#pragma once

#include <idefs.hpp>
#include <ifrmevt.hpp>
#include <ihandler.hpp>
#include <iposlist.hpp>

class IFrameWindow;

// A frame message as the frame handler's callbacks see it. For the formatting request the
// first parameter points to the window-position records of the pass and the second to the
// client rectangle; for the rectangle computation the first points to the rectangle.
class OVKWIN_API IFrameHandlerEvent : public IFrameEvent {
public:
    IFrameHandlerEvent(const IEvent& event) : IFrameEvent(event) {}
    ~IFrameHandlerEvent() override;

    // The frame the event is for; null when the window is no library frame.
    IFrameWindow* frame() const;
    // The records of the layout pass (formatting request only); null otherwise.
    IWindowPosList* positionList() const noexcept;
};

class OVKWIN_API IFrameHandler : public IHandler {
public:
    IFrameHandler();
    ~IFrameHandler() override;

    // The one handler every frame attaches, made on first use.
    static IFrameHandler& defaultHandler();

    // Turns a help request (0xFFC7) into WM_HELP for its item. The common dialogs, which keep
    // this handler off their windows, answer the request of their Help button with it too.
    static void contextHelpRequest(IEvent& event);

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;

    // The virtual operations keep the order that derived handlers rely on. Each answers true
    // when it handled the event.
    // Answers the frame's number of extensions.
    virtual IBase::Boolean extensionCount(IFrameHandlerEvent& event);
    // Places the extensions into the records after those that the default processing filled
    // and answers the index after the last record used.
    virtual IBase::Boolean formatFrame(IFrameHandlerEvent& event);
    virtual IBase::Boolean frameDeactivated(IFrameHandlerEvent& event);
    // Paints the extensions' separators after the default painting.
    virtual IBase::Boolean paintExtensions(IFrameHandlerEvent& event);
    // The close protocol: dismiss a modal frame, tell the observers, close the client and
    // destroy the frame when it destroys on close.
    virtual IBase::Boolean closeFrame(IFrameHandlerEvent& event);
    virtual IBase::Boolean frameActivated(IFrameHandlerEvent& event);
    virtual IBase::Boolean reservedCallback(IFrameHandlerEvent& event);
    // A command that reached the frame goes on to the client.
    virtual IBase::Boolean routeCommand(IFrameHandlerEvent& event);
    // The client rectangle of a frame rectangle (low word of the second parameter non-zero)
    // or the reverse, changed in place.
    virtual IBase::Boolean calcFrameRect(IFrameHandlerEvent& event);
    // Fills one record per extension from `first`; answers the next free index.
    virtual unsigned long positionExtensions(IFrameHandlerEvent& event, unsigned long first);


private:
    IBase::Boolean countExtensions(IEvent& event);
    IBase::Boolean helpRequest(IEvent& event);
    IBase::Boolean sized(IEvent& event);
    IBase::Boolean eraseBackground(IEvent& event);
    IBase::Boolean colorsChanged(IEvent& event);
    IBase::Boolean windowQuery(IEvent& event);
    IBase::Boolean layoutPass(IEvent& event);
    IBase::Boolean passToClient(IEvent& event);
    IBase::Boolean setPointer(IEvent& event);
    IBase::Boolean restoreOwner(IEvent& event);
    IBase::Boolean redrawSwitch(IEvent& event);
    IBase::Boolean closePath(IEvent& event);
    IBase::Boolean systemCommand(IEvent& event);
    IBase::Boolean activation(IEvent& event);
    IBase::Boolean command(IEvent& event);
    IBase::Boolean destroyed(IEvent& event);
    IBase::Boolean destroyRequest(IEvent& event);
    IBase::Boolean captionRepaint(IEvent& event);
    IBase::Boolean fontMessage(IEvent& event);
    IBase::Boolean textQuery(IEvent& event);
    void subclassTemplateControls(IFrameWindow& frame);
};
