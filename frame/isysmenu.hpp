// ISystemMenu: a frame window's system menu, seen as a menu.
#pragma once

#include <idefs.hpp>

#include "imenu.hpp"

class IFrameWindow;

// Its items are queried and changed like any menu's; the system menu itself belongs to the
// frame and outlives the object.
class OVKWIN_API ISystemMenu : public IMenu {
public:
    static const unsigned long idRestore;
    static const unsigned long idMove;
    static const unsigned long idSize;
    static const unsigned long idMinimize;
    static const unsigned long idHide;
    static const unsigned long idMaximize;
    static const unsigned long idClose;
    // The platform has no window-list item.
    static const unsigned long idWindowList;

    // Message 143 when the frame has no system menu.
    explicit ISystemMenu(IFrameWindow* owner);
    ~ISystemMenu() override;

private:
    IFrameWindow* fFrame;
    unsigned long fReserved = 0;
};
