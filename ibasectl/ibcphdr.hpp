// IBitmapControlPaintHandler: the painter that a bitmap control attaches to itself.
#pragma once

#include <idefs.hpp>

#include "ipainhdr.hpp"

// Draws the bitmap control's bitmap stretched over the whole control, or the background where
// there is none. A control that also has a text reports the paint unhandled, so that the text painter
// after it draws the text over the bitmap.
class OVKWIN_API IBitmapControlPaintHandler : public IPaintHandler {
public:
    IBitmapControlPaintHandler() noexcept = default;
    ~IBitmapControlPaintHandler() override;

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;
};
