// IIconControlPaintHandler: the painter that an icon control attaches to itself.
#pragma once

#include <idefs.hpp>

#include "istathdr.hpp"

// Fills the icon control's background when it asks for that (in its fill colour), then draws
// its icon over the whole control, or the bitmap shown in place of the icon stretched over it.
// A control that also has a text reports the paint unhandled, so that the static-text painter
// after it draws the text over the picture; one that leaves its background unfilled shows the
// icon's transparent parts over what its parent painted there. A window that is not an icon control is left to
// the handlers after this one.
class OVKWIN_API IIconControlPaintHandler : public IStaticTextHandler {
public:
    IIconControlPaintHandler() noexcept = default;
    ~IIconControlPaintHandler() override;

protected:
    IBase::Boolean paintWindow(IPaintEvent& event) override;
};
