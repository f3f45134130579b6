// Reading a thread-local slot on the road of every message.
#pragma once

#include <windows.h>
#include <winternl.h>

namespace ovk_app {

// TlsGetValue without the call: a thread's first 64 slots live in its thread environment
// block, which is where TlsGetValue reads them too, after clearing the thread's last error
// through a second call. Later slots live in a block of their own that the system may not have
// made yet, so those take the documented road.
#pragma GCC diagnostic push
// GCC 12 takes the segment-relative read of the environment block's own address for an access
// to an empty array, though that read is the platform header's own.
#pragma GCC diagnostic ignored "-Warray-bounds"
inline void* threadSlotValue(DWORD slot) noexcept
{
    if (slot < TLS_MINIMUM_AVAILABLE)
        return NtCurrentTeb()->TlsSlots[slot];
    // TlsGetValue clears the last error, which a caller may be about to read.
    const DWORD error = GetLastError();
    void* value = TlsGetValue(slot);
    SetLastError(error);
    return value;
}
#pragma GCC diagnostic pop

} // namespace ovk_app
