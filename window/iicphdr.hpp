// IIconControlPaintHandler: the painter that an icon control attaches to itself.
#pragma once

#include <ibmphdl.hpp>
#include <idefs.hpp>
#include <iptrhdl.hpp>

#include "icolor.hpp"
#include "istathdr.hpp"

// Fills the control's background, then draws its icon over the whole control, or the bitmap
// shown in place of the icon stretched over it. A control that also has a text reports the
// paint unhandled, so that the static-text painter after it draws the text over the picture.
// The icon control answers the hooks; the bases answer no picture and the window's own
// background and text.
class OVKWIN_API IIconControlPaintHandler : public IStaticTextHandler {
public:
    IIconControlPaintHandler() noexcept = default;
    ~IIconControlPaintHandler() override;

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;

    // The icon to draw; an invalid handle for none. A control whose bitmap was replaced by
    // another than the icon's answers none here and that bitmap from bitmapHandle.
    virtual IPointerHandle iconHandle(IWindow& control);
    // The bitmap to stretch over the control when there is no icon; invalid for none.
    virtual IBitmapHandle bitmapHandle(IWindow& control);
    // Whether the background is filled first. A control that leaves it unfilled shows the
    // icon's transparent parts over what its parent painted there.
    virtual IBase::Boolean fillsBackground(IWindow& control);
    virtual IColor backgroundColor(IWindow& control);
    // The length of the control's text; non-zero leaves the paint to the text painter.
    virtual unsigned long textLength(IWindow& control);
};
