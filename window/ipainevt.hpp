// IPaintEvent: a WM_PAINT with the device context and the update rectangle.
#pragma once

#include <irect.hpp>

#include <idefs.hpp>

#include "icolor.hpp"
#include "ievent.hpp"

class IGraphicContext;

// The device context is obtained when first asked for, clipped to the update region, and given
// back when the event goes; a context supplied from outside is the supplier's to release.
class OVKWIN_API IPaintEvent : public IEvent {
public:
    IPaintEvent(const IEvent& event);
    IPaintEvent(const IPaintEvent&) = delete;
    IPaintEvent& operator=(const IPaintEvent&) = delete;
    ~IPaintEvent() override;

    virtual IPresSpaceHandle presSpaceHandle();
    IPaintEvent& setPresSpaceHandle(const IPresSpaceHandle& context, IBase::Boolean clip = true);
    // Paints through the context's device context, which stays the context's: the event never
    // releases it, so the context must outlive the event's use of it.
    IPaintEvent& setGraphicContext(const IGraphicContext& context, IBase::Boolean clip = true);
    // In native (top-down) coordinates of the window; empty at the origin when nothing is
    // invalid.
    IRectangle rect() const noexcept { return fUpdateRect; }
    IPaintEvent& clipToUpdateRegion();

    IPaintEvent& drawText(const char* text, const IPoint& position, const IColor& color);
    IPaintEvent& clearBackground(const IRectangle& rectangle, const IColor& color);

private:
    void releaseOwnPresSpace() noexcept;

    IPresSpaceHandle fPresSpace;
    IRectangle fUpdateRect;
    std::int32_t fSupplied = 0;
};
