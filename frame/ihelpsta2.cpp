// Help statics: the hooks that turn F1 into a help request for the frame that owns the focus,
// or for the menu item last selected while a menu is open.
#include <windows.h>

#include <iplatfrm.hpp>

#include <detail/icallgrd.hpp>
#include <detail/iparked.hpp>
#include <iwindow.hpp>

#include "ihelpsta.hpp"
#include "imenu.hpp"

namespace {

// The frame's private request for help (parameter 1 the item or 0, parameter 2 the menu or the
// focus window); the frame handler turns it into WM_HELP.
constexpr UINT kHelpRequest = 0xFFC7;

HHOOK gMessageFilterHook = nullptr;
HHOOK gKeyboardHook = nullptr;
// The item last selected in an open menu, and that menu; 0 while no menu is open.
unsigned short gSelectedItem = 0;
HMENU gSelectedMenu = nullptr;

// A menu seen from the window it is shown for, which tells the identifier of the item that
// opens it.
class SelectedSubmenu : public IMenu {
public:
    SelectedSubmenu(HMENU submenu, HWND owner) : IMenu(submenu, owner) {}
};

void rememberSelection(const MSG& message)
{
    if (!IHelpStatics::frameWindowFor(message.hwnd))
        return;
    const unsigned short item = LOWORD(message.wParam);
    const unsigned short flags = HIWORD(message.wParam);
    HMENU menu = reinterpret_cast<HMENU>(message.lParam);
    if (flags == 0xFFFF && !menu) {
        gSelectedItem = 0;
        gSelectedMenu = nullptr;
        return;
    }
    unsigned long id = item;
    if (flags & MF_POPUP) {
        HMENU submenu = GetSubMenu(menu, item);
        id = submenu ? SelectedSubmenu(submenu, message.hwnd).id() : 0;
    }
    gSelectedItem = static_cast<unsigned short>(id);
    gSelectedMenu = menu;
}

LRESULT CALLBACK messageFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    ICallbackGuard::call(0, [&] {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (code == MSGF_MENU && message && message->message == WM_MENUSELECT)
            rememberSelection(*message);
        return 0;
    });
    return CallNextHookEx(gMessageFilterHook, code, wParam, lParam);
}

// True when the key became a help request, which then does not reach the window.
bool postHelpRequest(LRESULT* result)
{
    HWND focus = GetFocus();
    IWindow* frame = focus ? IHelpStatics::frameWindowFor(focus) : nullptr;
    if (!frame)
        return false;
    WPARAM parameter1 = 0;
    LPARAM parameter2 = reinterpret_cast<LPARAM>(focus);
    if (gSelectedMenu) {
        parameter1 = gSelectedItem;
        parameter2 = reinterpret_cast<LPARAM>(gSelectedMenu);
    }
    *result = postWindowMessage(frame->handle(), kHelpRequest, parameter1, parameter2);
    return true;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    const bool keyDown = !(static_cast<unsigned long long>(lParam) & 0x80000000ull);
    if (code == HC_ACTION && keyDown && wParam == VK_F1) {
        LRESULT result = 0;
        if (ICallbackGuard::call(false, [&] { return postHelpRequest(&result); }))
            return result;
    }
    return CallNextHookEx(gKeyboardHook, code, wParam, lParam);
}

// The hooks go with the library.
struct HookRelease {
    ~HookRelease()
    {
        if (gKeyboardHook)
            UnhookWindowsHookEx(gKeyboardHook);
        if (gMessageFilterHook)
            UnhookWindowsHookEx(gMessageFilterHook);
    }
} gHookRelease;

} // namespace

// Only the older platform needs the hooks: elsewhere the system itself turns F1 into WM_HELP.
void IHelpStatics::installHooks()
{
    if (!IPlatform::isPlatformVariant())
        return;
    const DWORD thread = GetCurrentThreadId();
    if (!gMessageFilterHook)
        gMessageFilterHook = SetWindowsHookExA(WH_MSGFILTER, messageFilterHook, nullptr, thread);
    if (!gKeyboardHook)
        gKeyboardHook = SetWindowsHookExA(WH_KEYBOARD, keyboardHook, nullptr, thread);
}
