// IBitmapControlPaintHandler: the painter that a bitmap control attaches to itself.
#pragma once

#include <idefs.hpp>

#include "ipainhdr.hpp"

struct HBITMAP__;

// Draws the control's bitmap stretched over the whole control, or the background where there
// is none. A control that also has a text reports the paint unhandled, so that the text painter
// after it draws the text over the bitmap.
class OVKWIN_API IBitmapControlPaintHandler : public IPaintHandler {
public:
    IBitmapControlPaintHandler() noexcept = default;
    ~IBitmapControlPaintHandler() override;

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;
    // The bitmap the control shows, null for none. The bitmap control answers its own bitmap;
    // the base answers none.
    virtual HBITMAP__* bitmapHandle(IWindow& control);
};
