// IRecoordHandler: keeps child windows at their distance from the bottom edge when the
// application works in bottom-up coordinates.
#pragma once

#include <irect.hpp>

#include <idefs.hpp>

#include "ihandler.hpp"

// Natively a child's position is measured from the parent's top edge; in bottom-up
// coordinates it is measured from the bottom. So when the parent's height changes, every
// child's native y has to move by the change, or the children drift on screen.
class OVKWIN_API IRecoordHandler : public IHandler {
public:
    IRecoordHandler() noexcept = default;
    ~IRecoordHandler() override;

    // The one instance that frames and canvases share.
    static IRecoordHandler& defaultHandler();

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override;
    // Moves the children and answers false, so that the size calculation goes on to the next
    // handler and the previous window procedure. An override that answers true has the
    // previous procedure called for it before the walk ends.
    virtual IBase::Boolean windowSizeChanged(IWindowHandle window, const IRectangle& newRectangle,
                                             const IRectangle& oldRectangle);

private:
    static bool skipsChild(IWindow* frame, HWND__* child);
};
