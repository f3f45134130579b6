// The frame code's answers to the window core's questions about frames, menus and help, and to
// the resource library's questions about menu and help resources.
#include <windows.h>

#include <iexcept.hpp>

#include <detail/iframlnk.hpp>
#include <detail/ihelplnk.hpp>

#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "imenu.hpp"

namespace {

void forgetExtension(IWindow* window, IWindow* extension)
{
    if (auto* frame = dynamic_cast<IFrameWindow*>(window))
        frame->removeExtension(extension, false);
}

bool hasDialogBackground(IWindow* window)
{
    auto* frame = dynamic_cast<IFrameWindow*>(window);
    return frame && frame->hasDialogBackground();
}

bool holdsExtension(IWindow* window, HWND child)
{
    auto* frame = dynamic_cast<IFrameWindow*>(window);
    return frame && frame->isAnExtension(IWindow::windowWithHandle(child, true));
}

IWindow* frameWindowFor(const IWindowHandle& window)
{
    return IHelpStatics::frameWindowFor(window);
}

// Windows matches menu mnemonics in either case: Alt+F arrives as "f" and opens "&File". The
// items are read through the menu objects, so a menu bar is read the way the menus read it on
// either platform road; an item that cannot be read has no mnemonic to offer.
bool menuHasMnemonic(HMENU bar, const IString& character)
{
    const IString wanted = IString::upperCase(character);
    IMenu menu{IMenuHandle(bar)};
    IMenu::Cursor cursor(menu);
    bool found = false;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        IString text;
        try {
            text = menu.elementAt(cursor).text();
        } catch (const IException&) {
            continue;
        }
        const unsigned long amp = text.indexOf('&');
        if (amp && IString::upperCase(text.subString(amp + 1, 1)) == wanted)
            found = true;
    }
    return found;
}

HMENU loadExtendedMenu(HINSTANCE module, unsigned long menuId)
{
    return IHelpStatics::loadExtendedMenu(module, menuId);
}

bool loadHelpTable(HWND instance, unsigned long tableId, HINSTANCE module)
{
    return IHelpStatics::loadHelpTable(instance, tableId, module);
}

// Runs when the library is loaded: the links are filled in before any window object exists and
// before any resource is asked for.
struct LinkFrames {
    LinkFrames() noexcept
    {
        ovk_window::FrameLink& link = ovk_window::frameLink;
        link.forgetExtension = &forgetExtension;
        link.hasDialogBackground = &hasDialogBackground;
        link.holdsExtension = &holdsExtension;
        link.frameWindowFor = &frameWindowFor;
        link.menuHasMnemonic = &menuHasMnemonic;
        ovk_app::HelpLink& help = ovk_app::helpLink;
        help.loadExtendedMenu = &loadExtendedMenu;
        help.loadHelpTable = &loadHelpTable;
    }
};
const LinkFrames linkFrames;

} // namespace
