// The system menu.
#include <windows.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "iframe.hpp"
#include "isysmenu.hpp"

const unsigned long ISystemMenu::idRestore = SC_RESTORE;
const unsigned long ISystemMenu::idMove = SC_MOVE;
const unsigned long ISystemMenu::idSize = SC_SIZE;
const unsigned long ISystemMenu::idMinimize = SC_MINIMIZE;
const unsigned long ISystemMenu::idHide = SC_MINIMIZE;
const unsigned long ISystemMenu::idMaximize = SC_MAXIMIZE;
const unsigned long ISystemMenu::idClose = SC_CLOSE;
const unsigned long ISystemMenu::idWindowList = 0;

namespace {

// 0 for a null owner, which the checks refuse (the arguments of the menu part are computed in any order).
IWindowHandle handleOf(IWindow* owner)
{
    return owner ? owner->handle() : IWindowHandle();
}

constexpr char kFunction[] = "ISystemMenu::ISystemMenu(IFrameWindow*)";

// The frame's own system menu (not a copy to reset), checked before the menu part is built.
IMenuHandle systemMenuOf(IFrameWindow* owner)
{
    IARGUMENT_CHECK(owner != 0, "isysmenu", kFunction);
    const HMENU menu = GetSystemMenu(owner->handle(), FALSE);
    if (!menu)
        IThrow::message(OVK_MSG_NO_SYSTEM_MENU, IEXCEPTION_LOCATION("isysmenu", kFunction));
    return IMenuHandle(menu);
}

} // namespace

ISystemMenu::ISystemMenu(IFrameWindow* owner)
    : IMenu(systemMenuOf(owner), handleOf(owner)), fFrame(owner)
{
}

ISystemMenu::~ISystemMenu() = default;
