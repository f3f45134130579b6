// The message retrieval of the rectangle-tracking loop, replaceable for the test programs.
#pragma once

#include <windows.h>

#include <idefs.hpp>

// GetMessageA's shape. The tests put a failing one in place to see how the drag ends when
// retrieval fails, which the real call does not do on demand.
using ITrackMessageSource = BOOL(WINAPI*)(LPMSG message, HWND window, UINT first, UINT last);

// Exported for the test programs only. Null puts GetMessageA back; answers the one before.
OVKWIN_API ITrackMessageSource setTrackMessageSource(ITrackMessageSource source) noexcept;
