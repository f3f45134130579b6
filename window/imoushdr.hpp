// IMouseHandler: clicks, pointer movement and pointer requests.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"
#include "imousevt.hpp"

class OVKWIN_API IMouseHandler : public IHandler {
public:
    IMouseHandler() noexcept = default;
    ~IMouseHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // Button presses, releases and double clicks, and the clicks the library derives from them.
    virtual IBase::Boolean mouseClicked(IMouseClickEvent& event);
    // A move handled here still reaches the previous window procedure.
    virtual IBase::Boolean mouseMoved(IMouseEvent& event);
    // The result reaches Windows even when the callback answers false: a pointer once set
    // must be reported set, or Windows sets the class pointer over it.
    virtual IBase::Boolean mousePointerChange(IMousePointerEvent& event);
};
