// The key state that OLE passed with the drag event being delivered. Private to the drag and
// drop sources.
#pragma once

#include <windows.h>

namespace ovk_dragdrop {

// The drop target sends its event before it hears the target's answer, and the target handler
// judges the operation while answering: this carries OLE's keys from the one to the other for
// the time of the send. The keys of the drag are OLE's, never the target thread's own key state,
// which a drag from another thread or program does not change.
class DeliveredKeys {
public:
    explicit DeliveredKeys(DWORD keys) noexcept : fPrevious(slot()) { slot() = keys; }
    ~DeliveredKeys() { slot() = fPrevious; }
    DeliveredKeys(const DeliveredKeys&) = delete;
    DeliveredKeys& operator=(const DeliveredKeys&) = delete;

    // The keys of the event being delivered; none outside a delivery.
    static DWORD current() noexcept { return slot(); }

private:
    static DWORD& slot() noexcept
    {
        static thread_local DWORD keys = 0;
        return keys;
    }

    DWORD fPrevious;
};

} // namespace ovk_dragdrop
