// IResizeHandler and IResizeEvent: a window's change of size, with the new and the old size.
#pragma once

#include <ipoint.hpp>

#include <idefs.hpp>

#include "ievent.hpp"
#include "ihandler.hpp"

// The size-changed event the dispatcher sends after a WM_WINDOWPOSCHANGED that changed the
// window's size; its second parameter points to {new width, new height, old width, old
// height}.
class OVKWIN_API IResizeEvent : public IEvent {
public:
    IResizeEvent(const IEvent& event) noexcept : IEvent(event) {}

    ISize newSize() const noexcept { return size(0); }
    ISize oldSize() const noexcept { return size(2); }

private:
    ISize size(int first) const noexcept;
};

class OVKWIN_API IResizeHandler : public IHandler {
public:
    IResizeHandler() noexcept = default;
    ~IResizeHandler() override;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    virtual IBase::Boolean windowResize(IResizeEvent& event) = 0;
};
