// IFlyOverToolTip: the tool tip window in which fly-over help shows its short texts.
#pragma once

#include <idefs.hpp>
#include <irect.hpp>
#include <itextctl.hpp>

// A common-controls tool tip, a top-most pop-up owned by the frame that the windows it serves
// belong to, so that it goes with that frame. Its text is the tip that shows; its colours are
// black on white.
class OVKWIN_API IFlyOverToolTip : public ITextControl {
public:
    // The tips of `window` and the windows inside it; a null window fails "window != 0".
    explicit IFlyOverToolTip(IWindow* window);
    ~IFlyOverToolTip() override;

    // The rectangle the tip is kept in: the screen, as recorded by the first tool tip made.
    virtual IRectangle rectangle() const;
    virtual IFlyOverToolTip& setRectangle(const IRectangle& rectangle);

private:
    IRectangle fRectangle;
};
