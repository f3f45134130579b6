// The pop-up menu.
#include <windows.h>

#include <detail/icallgrd.hpp>
#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include <icoordsy.hpp>

#include "detail/imenuown.hpp"
#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "ipopmenu.hpp"

namespace {

// 0 for a null owner, which the checks refuse (the arguments of the menu part are computed in any order).
IWindowHandle handleOf(IWindow* owner)
{
    return owner ? owner->handle() : IWindowHandle();
}

constexpr char kFile[] = "ipopmenu";
constexpr int kTextBuffer = 100;

IMenuHandle emptyPopup(IWindow* owner)
{
    IARGUMENT_CHECK(owner != 0, kFile,
                    "IPopUpMenu::IPopUpMenu(IWindow*,unsigned long,const IMenu::Style&)");
    return IMenuHandle(CreatePopupMenu());
}

// Copies one top-level item of the loaded menu into the pop-up.
void copyItem(HMENU from, HMENU to, int position)
{
    char text[kTextBuffer] = {};
    if (IPlatform::hasNewShell()) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = kTextBuffer;
        if (GetMenuItemInfoA(from, static_cast<UINT>(position), TRUE, &info))
            InsertMenuItemA(to, static_cast<UINT>(position), TRUE, &info);
        return;
    }
    const HMENU submenu = GetSubMenu(from, position);
    UINT state = GetMenuState(from, static_cast<UINT>(position), MF_BYPOSITION);
    if (submenu)
        state = (state & 0xFF) | MF_POPUP;
    UINT_PTR identifier = reinterpret_cast<UINT_PTR>(submenu);
    if (!submenu && !(state & MF_SEPARATOR))
        identifier = GetMenuItemID(from, position);
    GetMenuStringA(from, static_cast<UINT>(position), text, kTextBuffer, MF_BYPOSITION);
    InsertMenuA(to, static_cast<UINT>(-1), state | MF_BYPOSITION, identifier, text);
}

// The loaded menu's top-level items move into a new pop-up: the items are removed from the
// loaded menu (not deleted) so that its sub-menus live on in the pop-up, and the emptied menu
// is destroyed.
IMenuHandle popupFrom(const IResourceId& resource, IWindow* owner)
{
    IARGUMENT_CHECK(owner != 0, kFile, "IPopUpMenu::IPopUpMenu(const IResourceId&,IWindow*)");
    ovk_native::Menu popup(CreatePopupMenu());
    const ovk_native::Menu loaded(resource.resourceLibrary().loadMenu(resource.id(), owner));
    const int count = GetMenuItemCount(loaded.get());
    for (int position = 0; position < count; ++position)
        copyItem(loaded.get(), popup.get(), position);
    for (int position = count - 1; position >= 0; --position)
        RemoveMenu(loaded.get(), static_cast<UINT>(position), MF_BYPOSITION);
    imenu::markMade(popup.get());
    return IMenuHandle(popup.release());
}

} // namespace

IPopUpMenu::IPopUpMenu(IWindow* owner, unsigned long, const IMenu::Style&)
    : IMenu(emptyPopup(owner), handleOf(owner))
{
}

IPopUpMenu::IPopUpMenu(const IResourceId& menu, IWindow* owner)
    : IMenu(popupFrom(menu, owner), handleOf(owner))
{
    if (IPlatform::hasNewShell())
        return;
    if (auto* frame = dynamic_cast<IFrameWindow*>(ownerFrame()))
        IHelpStatics::recordSubmenuIds(
            frame->menuLists(), static_cast<HINSTANCE>(menu.resourceLibrary().handle().asValue()),
            menu.id(), menuHandle());
}

IPopUpMenu::~IPopUpMenu()
{
    if (const HMENU popup = menuHandle())
        DestroyMenu(popup);
}

IWindow& IPopUpMenu::show(IBase::Boolean)
{
    return *this;
}

IPopUpMenu& IPopUpMenu::show(const IPoint& point)
{
    const HWND owner = ownerHandle();
    RECT client{};
    GetClientRect(owner, &client);
    const IPoint native = ICoordinateSystem::convertToNative(point, ISize(client.right, client.bottom));
    POINT screen{native.x(), native.y()};
    ClientToScreen(owner, &screen);
    const BOOL shown = TrackPopupMenu(menuHandle(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner,
                                      nullptr);
    const DWORD error = GetLastError();
    // The menu's own loop dispatched messages; what a handler let go leaves from here.
    ICallbackGuard::rethrowPending();
    if (!shown)
        IThrow::systemError("TrackPopupMenu", error,
                            IEXCEPTION_LOCATION(kFile, "IPopUpMenu::show(const IPoint&)"));
    return *this;
}
