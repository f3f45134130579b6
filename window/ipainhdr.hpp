// IPaintHandler: paint requests as paint events.
#pragma once

#include <idefs.hpp>

#include "ihandler.hpp"
#include "ipainevt.hpp"

// The update region is validated only when paintWindow reports the event handled; otherwise it
// stays invalid for the next handler or the previous window procedure to paint.
class OVKWIN_API IPaintHandler : public IHandler {
public:
    IPaintHandler() noexcept = default;
    ~IPaintHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean paintWindow(IPaintEvent& event) = 0;
};
