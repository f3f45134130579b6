// The bits of a window's layout word: which facts about its layout are stale.
#pragma once

namespace ovk_layout {

// Set through setLayoutDistorted(on, off) and asked through isLayoutDistorted(mask). Some bits
// tell the parent: a window's sizeChanged reaches it as childSizeChanged, objectDeleted as
// childDeleted, minimumSizeChanged as childMinimumSizeChanged and fontChanged as childrenChanged,
// so that canvases nested in canvases lay out again from the bottom up.
enum Bit : unsigned long {
    sizeChanged = 0x1,
    colorChanged = 0x2,
    // A view port was resized or given a new view size: its scroll bars are due again.
    viewPortSizeChanged = 0x4,
    minimumSizeChanged = 0x8,
    childMinimumSizeChanged = 0x10,
    fontChanged = 0x20,
    // A child was added or removed, or changed its font.
    childrenChanged = 0x40,
    layoutDue = 0x80,
    refreshDue = 0x100,
    // What a setter that changes an arrangement asks for: a new layout, and a refresh to show it.
    arrangementChanged = layoutDue | refreshDue,
    childSizeChanged = 0x200,
    // The window object is being deleted.
    objectDeleted = 0x400,
    childDeleted = 0x800,
};

} // namespace ovk_layout
