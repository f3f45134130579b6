// The native spin button's wrapper window: its class, its window slots and what the spin
// button and its default handler share.
#pragma once

#include <windows.h>

#include <string>

namespace ovkspin {

constexpr const char* wrapperClass = "OVK Native SpinButton";

// Pointer-wide window slots of the wrapper, in this order.
enum Slot : int {
    upDownSlot,    // the up-down control that drives this button (its own, or its master's)
    rangeSlot,     // low word the upper limit, high word the lower limit
    positionSlot,  // the position, kept also while no up-down control serves the button
    entrySlot,     // the "Edit" entry field
    previousSlot,  // the entry field's previous window procedure
    servedSlot,    // of a master: the entry field its arrows serve now, its own or a servant's
    slotCount
};

inline LONG_PTR slot(HWND wrapper, Slot which)
{
    return GetWindowLongPtrA(wrapper, static_cast<int>(which) * static_cast<int>(sizeof(LONG_PTR)));
}

inline void setSlot(HWND wrapper, Slot which, LONG_PTR value)
{
    SetWindowLongPtrA(wrapper, static_cast<int>(which) * static_cast<int>(sizeof(LONG_PTR)), value);
}

inline HWND slotWindow(HWND wrapper, Slot which)
{
    return reinterpret_cast<HWND>(slot(wrapper, which));
}

// The range word: (lower << 16) | (upper & 0xFFFF), both signed 16-bit.
inline LONG_PTR packRange(long lower, long upper)
{
    return static_cast<LONG_PTR>((static_cast<unsigned long>(lower & 0xFFFF) << 16) |
                                 static_cast<unsigned long>(upper & 0xFFFF));
}
inline long lowerOf(LONG_PTR range) { return static_cast<short>((range >> 16) & 0xFFFF); }
inline long upperOf(LONG_PTR range) { return static_cast<short>(range & 0xFFFF); }

// Native style bits of the wrapper.
constexpr LONG_PTR numericStyle = 0x1;
constexpr LONG_PTR masterStyle = 0x2;
constexpr LONG_PTR paddedStyle = 0x4;

// The wrapper's id by the core's rule, for the notifications to its parent.
unsigned long buttonId(HWND wrapper);
// WM_COMMAND to the wrapper's parent with the code, lParam the wrapper.
void notify(HWND wrapper, unsigned int code);
// Shows the position in the entry field of the wrapper (the text of a text spin button, the
// number of a numeric one, zero-padded to the limit when asked) without a change notification.
void showPosition(HWND wrapper, long position);
// Writes the entry field's text without a change notification.
void writeText(HWND wrapper, const char* text);
// Sizes the entry field and the arrows to the wrapper.
void layOut(HWND wrapper);
// The entry field's procedure: Up and Down spin, Enter, Escape and Tab go to the wrapper.
LRESULT CALLBACK entryProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace ovkspin
