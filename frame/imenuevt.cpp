// The menu event.
#include <windows.h>

#include <iplatfrm.hpp>

#include <icoordsy.hpp>
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "detail/imenurec.hpp"
#include "ihelpsta.hpp"
#include "imenuevt.hpp"
#include "isubmenu.hpp"

namespace {

// The identifier of the item at a position of a menu; a sub-menu item on the classic road is
// known by the identifier its frame recorded for it.
unsigned long itemIdAt(HMENU menu, int position, IWindow* window)
{
    if (!menu)
        return 0;
    if (IPlatform::hasNewShell()) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) ? info.wID : 0;
    }
    const UINT id = GetMenuItemID(menu, position);
    if (id != static_cast<UINT>(-1))
        return id;
    const HMENU submenu = GetSubMenu(menu, position);
    IWindow* frame = window ? IHelpStatics::frameWindowFor(window->handle()) : nullptr;
    return submenu ? imenu::idForSubmenu(frame, submenu) : 0;
}

} // namespace

IMenuEvent::IMenuEvent(const IEvent& event, const IMenuHandle& lastSelectedMenu)
    : IEvent(event), fMenu(lastSelectedMenu)
{
}

IMenuEvent::~IMenuEvent() = default;

IPoint IMenuEvent::mousePosition() const
{
    const DWORD position = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    const HWND window = handle();
    ScreenToClient(window, &point);
    RECT client{};
    GetClientRect(window, &client);
    return ICoordinateSystem::convertToApplication(IPoint(point.x, point.y),
                                                   ISize(client.right, client.bottom));
}

unsigned long IMenuEvent::menuItemId() const
{
    switch (eventId()) {
    case WM_INITMENUPOPUP:
        return itemIdAt(fMenu, LOWORD(parameter2().asUnsignedLong()), window());
    case IPrivateMessage::menuEnded:
        return parameter1().asUnsignedLong();
    case WM_MENUSELECT: {
        const unsigned long wParam = parameter1().asUnsignedLong();
        if (!(HIWORD(wParam) & MF_POPUP))
            return LOWORD(wParam);
        return itemIdAt(static_cast<HMENU>(parameter2().asPointer()), LOWORD(wParam), window());
    }
    default:
        return 0;
    }
}

IMenuItem IMenuEvent::menuItem() const
{
    if (eventId() != WM_MENUSELECT || !parameter2().asPointer())
        return IMenuItem(0);
    ISubmenu menu{IMenuHandle(static_cast<HMENU>(parameter2().asPointer()))};
    return menu.menuItem(menuItemId());
}
