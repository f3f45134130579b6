// IPopUpMenu: a context menu that the application builds and shows at a point of a window.
#pragma once

#include <idefs.hpp>

#include "imenu.hpp"

// The selected command reaches the owner as an ordinary WM_COMMAND. The object owns the
// pop-up and destroys it.
class OVKWIN_API IPopUpMenu : public IMenu {
public:
    // An empty pop-up; the identifier and the style are accepted for symmetry only.
    IPopUpMenu(IWindow* owner, unsigned long id, const IMenu::Style& style = IMenu::defaultStyle());
    // A pop-up holding the top-level items (and their sub-menus) of the menu resource.
    IPopUpMenu(const IResourceId& menu, IWindow* owner);
    ~IPopUpMenu() override;

    // The window show without a point does nothing.
    IWindow& show(IBase::Boolean show = true) override;
    // At the point, in the owner's client coordinates and the application's orientation
    // (ICoordinateSystem), as IMenuEvent::mousePosition() gives them for that window; not
    // screen coordinates. Returns when the menu closes.
    virtual IPopUpMenu& show(const IPoint& point);

private:
    unsigned long fReserved = 0;
};
