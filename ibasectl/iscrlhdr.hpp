// IScrollHandler: scroll messages sorted by direction and scroll code.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"
#include "iscrlevt.hpp"

// Every callback but endScroll moves the scroll box by default and reports the event handled.
// The top and bottom codes call nothing.
class OVKWIN_API IScrollHandler : public IHandler {
public:
    IScrollHandler() noexcept = default;
    ~IScrollHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean lineUp(IScrollEvent& event);
    virtual IBase::Boolean lineDown(IScrollEvent& event);
    virtual IBase::Boolean pageUp(IScrollEvent& event);
    virtual IBase::Boolean pageDown(IScrollEvent& event);
    virtual IBase::Boolean lineLeft(IScrollEvent& event);
    virtual IBase::Boolean lineRight(IScrollEvent& event);
    virtual IBase::Boolean pageLeft(IScrollEvent& event);
    virtual IBase::Boolean pageRight(IScrollEvent& event);
    virtual IBase::Boolean scrollBoxTrack(IScrollEvent& event);
    virtual IBase::Boolean scrollBoxPosition(IScrollEvent& event);
    virtual IBase::Boolean endScroll(IScrollEvent& event);
    virtual IScrollHandler& moveScrollBox(IScrollEvent& event);

private:
    using Callback = IBase::Boolean (IScrollHandler::*)(IScrollEvent&);
    static Callback callbackFor(unsigned long eventId, unsigned long code) noexcept;
    IBase::Boolean moveAndHandle(IScrollEvent& event);
};
