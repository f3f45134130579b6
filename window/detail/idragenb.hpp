// The one point through which windows outside drag and drop ask for drag and drop to be enabled
// for them. Drag and drop registers its enabler here; until it does, there is nothing to enable.
#pragma once

class IWindow;

namespace ovk_window {

// Enables drag and drop for the window unless it already is; true when the window can take
// part in drags afterwards.
using DragEnabler = bool (*)(IWindow* window);

// Replaces the enabler (null: none); answers the previous one.
DragEnabler setDragEnabler(DragEnabler enabler) noexcept;
// False, and nothing happens, while no enabler is registered.
bool enableDragDrop(IWindow* window);

} // namespace ovk_window
