// What the notification handlers share: the tags of the deferred notifications and the
// control that a control notification comes from.
#pragma once

#include <ievtdata.hpp>

struct HWND__;
class IEvent;
class IWindow;

namespace ovknotify {

// The outside notebook's colour message: lParam = the colour area.
constexpr unsigned int notebookColorMessage = 0xF081;

// The second parameter of a posted notification event: what changed.
enum class DeferredTag : unsigned long {
    select = 0x7F00,
    buttonClick = 0x7F01,
    entryFieldReadOnly = 0x7F02,
    entryFieldLimit = 0x7F03,
    multiLineEditReadOnly = 0x7F04,
    multiLineEditLimit = 0x7F05,
    scrollBoxPosition = 0x7F06,
    notebookColor = 0x7F07,
};

// The control a control notification comes from, when it is to be raised in this dispatch.
struct ControlNotification {
    IWindow* control = nullptr;
    HWND__* handle = nullptr;
    unsigned long code = 0;
};

void tell(IWindow& window, const char* id, const IEventData& data);
// Posts the notification event to the event's window, to be told when it comes back.
void defer(const IEvent& event, const IEventData& value, DeferredTag tag);
bool returned(const IEvent& event, DeferredTag tag);
ControlNotification controlNotification(const IEvent& event);
bool isClass(HWND__* handle, const char* name);

} // namespace ovknotify
