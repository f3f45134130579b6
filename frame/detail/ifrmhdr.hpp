// What the two halves of the frame handler share.
#pragma once

#include <windows.h>

class IEvent;
class IFrameWindow;

namespace iframhdr {

// Exception locations name this file and the dispatcher.
inline constexpr char kFile[] = "iframhdr";
inline constexpr char kDispatch[] = "IFrameHandler::dispatchHandlerEvent(IEvent&)";

[[noreturn]] void systemError(const char* call, DWORD error = GetLastError());
// The frame the event is for; null when its window is no library frame.
IFrameWindow* frameOf(const IEvent& event);

} // namespace iframhdr
