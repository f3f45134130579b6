// Sending and posting through the handle wrappers.
#include <windows.h>

#include <iexcept.hpp>

#include "detail/icallgrd.hpp"
#include "ihandle.hpp"

IEventData IWindowHandle::sendEvent(unsigned long eventId, const IEventParameter1& parameter1,
                                    const IEventParameter2& parameter2) const
{
    LRESULT result = SendMessageA(fHandle, static_cast<UINT>(eventId),
                                  static_cast<WPARAM>(parameter1.asUnsignedLong()),
                                  static_cast<LPARAM>(parameter2.asLong()));
    // A handler's exception cannot cross the window procedure; it waits in this thread's slot
    // and continues from here, where the sender can see it.
    ICallbackGuard::rethrowPending();
    return IEventData(result);
}

const IWindowHandle& IWindowHandle::postEvent(unsigned long eventId,
                                              const IEventParameter1& parameter1,
                                              const IEventParameter2& parameter2) const
{
    if (!PostMessageA(fHandle, static_cast<UINT>(eventId),
                      static_cast<WPARAM>(parameter1.asUnsignedLong()),
                      static_cast<LPARAM>(parameter2.asLong()))) {
        IThrow::systemError("WinPostMsg", GetLastError(),
                            IEXCEPTION_LOCATION("ihandle",
                                                "IWindowHandle::postEvent(unsigned long,const "
                                                "IEventParameter1&,const IEventParameter2&) const"));
    }
    return *this;
}

const IMessageQueueHandle& IMessageQueueHandle::postEvent(unsigned long eventId,
                                                          const IEventParameter1& parameter1,
                                                          const IEventParameter2& parameter2) const
{
    postEvent(*this, eventId, parameter1, parameter2);
    return *this;
}

void IMessageQueueHandle::postEvent(const IMessageQueueHandle& queue, unsigned long eventId,
                                    const IEventParameter1& parameter1,
                                    const IEventParameter2& parameter2)
{
    if (!PostThreadMessageA(queue.fThreadId, static_cast<UINT>(eventId),
                            static_cast<WPARAM>(parameter1.asUnsignedLong()),
                            static_cast<LPARAM>(parameter2.asLong()))) {
        IThrow::systemError("WinPostQueueMsg", GetLastError(),
                            IEXCEPTION_LOCATION("ihandle",
                                                "IMessageQueueHandle::postEvent(const "
                                                "IMessageQueueHandle&,unsigned long,const "
                                                "IEventParameter1&,const IEventParameter2&)"));
    }
}
