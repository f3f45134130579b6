// The library's own PostMessageA and SendMessageA, with the detour of the older platform that
// parks messages whose first parameter would not survive the trip, and the thunk library's
// entries.
#pragma once

#include <windows.h>

#include "../idefs.hpp"

// PostMessageA / SendMessageA, with their results. On the older platform a message that must be
// parked travels as 0xFFD7 with the slot number; when every slot is taken, the post fails
// (0, ERROR_NOT_ENOUGH_QUOTA) and the send answers 0 without sending.
OVKWIN_API BOOL postWindowMessage(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2);
OVKWIN_API LRESULT sendWindowMessage(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2);
// For a received 0xFFD7: the parked message and parameters replace the received ones and the
// slot is free again. A slot number that names no parked message changes nothing. Answers 0.
OVKWIN_API LRESULT restoreParkedMessage(HWND window, UINT& message, WPARAM& parameter1, LPARAM& parameter2);

// The private message that carries a parked message's slot number.
constexpr UINT kParkedMessage = 0xFFD7;
constexpr unsigned kParameterSlots = 1001;
// The number of slots in use, and the slot used last (for tests and diagnostics).
OVKWIN_API unsigned parkedSlotsInUse() noexcept;
OVKWIN_API unsigned lastParkedSlot() noexcept;

// The thunk library's message entries: null until the library is bound, and an entry that could
// not be resolved stays null, which keeps the senders off the thunk path.
using IThunkEntry = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
OVKWIN_API IThunkEntry thunkSendEntry() noexcept;
OVKWIN_API IThunkEntry thunkPostEntry() noexcept;
OVKWIN_API IThunkEntry thunkReturnEntry() noexcept;
