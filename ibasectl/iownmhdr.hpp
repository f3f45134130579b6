// IOwnerMouseHandler: lets a composite control's owner decide the control's pointer.
#pragma once

#include <idefs.hpp>

#include "imoushdr.hpp"

// Composite controls (combo boxes, multi-line edits, notebooks, spin buttons, containers)
// attach the shared instance to themselves. A pointer request of the control's own goes to its
// owner, whose answer stands; clicks and moves are left alone. The handler also answers the
// private query that asks whether a window forwards its pointer requests so.
class OVKWIN_API IOwnerMouseHandler : public IMouseHandler {
public:
    IOwnerMouseHandler() noexcept;
    ~IOwnerMouseHandler() override;

    static IOwnerMouseHandler* defaultHandler();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    IBase::Boolean mousePointerChange(IMousePointerEvent& event) override;
};
