// What the window objects ask of frame windows, answered by the frame subsystem once it is
// built in: until then no window is a frame that keeps extensions or a dialog background.
#pragma once

#include <idefs.hpp>

class IWindow;

class OVKWIN_API IFrameServices {
public:
    // The frame stops keeping `extension` as one of its extensions.
    using RemoveExtension = void (*)(IWindow& frame, IWindow* extension);
    // True when the frame paints with the dialog background.
    using UsesDialogBackground = bool (*)(const IWindow& frame);

    // Each setter answers the entry it replaces; null removes it.
    static RemoveExtension setRemoveExtension(RemoveExtension entry) noexcept;
    static UsesDialogBackground setUsesDialogBackground(UsesDialogBackground entry) noexcept;

    static void removeExtension(IWindow& frame, IWindow* extension);
    static bool usesDialogBackground(const IWindow& frame);
};
