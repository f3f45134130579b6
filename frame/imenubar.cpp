// The menu bar of a frame.
#include <windows.h>

#include <detail/iclasswide.hpp>
#include <detail/iscoped.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <ovkmsgid.hpp>

#include "detail/imenuown.hpp"
#include "iframe.hpp"
#include "ihelpsta.hpp"
#include "imenubar.hpp"

constexpr IMenuBar::Style IMenuBar::_newMenuBar(0, 1);
constexpr IMenuBar::Style IMenuBar::_wrapper(0, 2);
constexpr IMenuBar::Style IMenuBar::classDefaultStyle(0, 1);

namespace {

// 0 for a null owner, which the checks refuse (the arguments of the menu part are computed in any order).
IWindowHandle handleOf(IWindow* owner)
{
    return owner ? owner->handle() : IWindowHandle();
}

constexpr char kFile[] = "imenubar";

// The classic menu calls know no sub-menu identifiers; the frame's list keeps them.
bool classicRoad()
{
    return !IPlatform::hasNewShell();
}

// Gives the window the menu. The window destroys only the menu it has when it goes, so the one
// it had before is no longer anybody's and goes with the scope here.
void replaceWindowMenu(HWND window, HMENU menu)
{
    const HMENU previous = GetMenu(window);
    {
        const ovk_native::Menu replaced(previous != menu ? previous : nullptr);
        SetMenu(window, menu);
    }
    imenu::destroyOrphans();
}

// The frame's new menu, with its sub-menu identifiers recorded from the resource on the
// classic road; the menu it replaces is destroyed.
void install(IFrameWindow& frame, HMENU menu, const IResourceId* resource)
{
    const HWND window = frame.handle();
    replaceWindowMenu(window, menu);
    if (classicRoad()) {
        IHelpStatics::clearSubmenuIds(frame.menuLists());
        if (resource)
            IHelpStatics::recordSubmenuIds(
                frame.menuLists(),
                static_cast<HINSTANCE>(resource->resourceLibrary().handle().asValue()),
                resource->id(), IMenuHandle(menu));
    }
    DrawMenuBar(window);
}

IMenuHandle menuFor(IFrameWindow* owner, const IMenuBar::Style& style)
{
    static constexpr char function[] = "IMenuBar::IMenuBar(IFrameWindow*,const IMenuBar::Style&)";
    IARGUMENT_CHECK(owner != 0, kFile, function);
    const unsigned long bits = style.asExtendedUnsignedLong();
    const bool fresh = (bits & IMenuBar::_newMenuBar.asExtendedUnsignedLong()) != 0;
    const bool wrap = (bits & IMenuBar::_wrapper.asExtendedUnsignedLong()) != 0;
    if (fresh == wrap)
        IThrow::message(OVK_MSG_CONFLICTING_STYLE, IEXCEPTION_LOCATION(kFile, function));
    if (wrap) {
        const HMENU menu = GetMenu(owner->handle());
        if (!menu)
            IThrow::message(OVK_MSG_NO_MENU_BAR, IEXCEPTION_LOCATION(kFile, function));
        return IMenuHandle(menu);
    }
    const HMENU menu = CreateMenu();
    if (!menu)
        IThrow::systemError("CreateMenu", GetLastError(), IEXCEPTION_LOCATION(kFile, function));
    install(*owner, menu, nullptr);
    return IMenuHandle(menu);
}

IMenuHandle loadedFor(const IResourceId& resource, IFrameWindow* owner)
{
    IARGUMENT_CHECK(owner != 0, kFile, "IMenuBar::IMenuBar(const IResourceId&,IFrameWindow*)");
    const IMenuHandle menu = resource.resourceLibrary().loadMenu(resource.id(), owner);
    imenu::markMade(menu);
    install(*owner, menu, &resource);
    return menu;
}

} // namespace

IMenuBar::IMenuBar(IFrameWindow* owner, const Style& style)
    : IMenu(menuFor(owner, style), handleOf(owner))
{
}

IMenuBar::IMenuBar(const IResourceId& menu, IFrameWindow* owner)
    : IMenu(loadedFor(menu, owner), handleOf(owner))
{
}

IMenuBar::~IMenuBar() = default;

IMenuBar::Style IMenuBar::defaultStyle()
{
    return ovk_app::ClassDefault<classDefaultStyle>::current();
}

void IMenuBar::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefaultStyle>::replace(style);
}

unsigned long IMenuBar::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    unsigned long bits = IMenu::convertToGUIStyle(style, extended);
    if (extended)
        bits |= style.asExtendedUnsignedLong() & 3;
    return bits;
}

IMenuBar& IMenuBar::setMenu(const IResourceId& resource)
{
    auto* frame = dynamic_cast<IFrameWindow*>(ownerFrame());
    const HWND window = ownerHandle();
    const IMenuHandle menu = resource.resourceLibrary().loadMenu(resource.id(), owner());
    imenu::markMade(menu);
    if (frame) {
        install(*frame, menu, &resource);
    } else {
        replaceWindowMenu(window, menu);
        DrawMenuBar(window);
    }
    setMenuHandle(menu);
    return *this;
}
