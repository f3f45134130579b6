// What the window core asks of frame windows, menus and help. Frames are built on windows, so
// the core cannot know them by name; the frame code answers through this link.
#pragma once

#include <windows.h>

#include <ihandle.hpp>

class IString;
class IWindow;

namespace ovk_window {

// Filled in once by the frame code when the library is loaded, before any window object can
// exist. An entry still empty answers as when no frame is involved.
struct FrameLink {
    // When `frame` is a frame window, has it forget `extension` without updating its layout.
    void (*forgetExtension)(IWindow* frame, IWindow* extension) = nullptr;
    // True when `frame` is a frame window that has the dialog background.
    bool (*hasDialogBackground)(IWindow* frame) = nullptr;
    // True when `frame` is a frame window and the window object of `child` one of its
    // extensions.
    bool (*holdsExtension)(IWindow* frame, HWND child) = nullptr;
    // The frame window that serves `window`: among its parents, else among its owners; null
    // when none.
    IWindow* (*frameWindowFor)(const IWindowHandle& window) = nullptr;
    // True when an item of the menu bar `bar` has `character` as its mnemonic.
    bool (*menuHasMnemonic)(HMENU bar, const IString& character) = nullptr;
};

// Constant-initialised, so it is empty, never unset, until the frame code fills it in.
inline FrameLink frameLink;

// The questions asked through the link, each answering as when no frame is involved while its
// entry is empty.
inline void forgetExtension(IWindow* frame, IWindow* extension)
{
    if (const auto ask = frameLink.forgetExtension)
        ask(frame, extension);
}
inline bool hasDialogBackground(IWindow* frame)
{
    const auto ask = frameLink.hasDialogBackground;
    return ask && ask(frame);
}
inline bool holdsExtension(IWindow* frame, HWND child)
{
    const auto ask = frameLink.holdsExtension;
    return ask && ask(frame, child);
}
inline IWindow* frameWindowFor(const IWindowHandle& window)
{
    const auto ask = frameLink.frameWindowFor;
    return ask ? ask(window) : nullptr;
}
inline bool menuHasMnemonic(HMENU bar, const IString& character)
{
    const auto ask = frameLink.menuHasMnemonic;
    return ask && ask(bar, character);
}

} // namespace ovk_window
