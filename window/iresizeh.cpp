// The resize handler.
#include <cstdint>

#include "iprivmsg.hpp"

#include "iresizeh.hpp"

ISize IResizeEvent::size(int first) const noexcept
{
    const auto* sizes = static_cast<const std::int32_t*>(parameter2().asPointer());
    return sizes ? ISize(sizes[first], sizes[first + 1]) : ISize();
}

IResizeHandler::~IResizeHandler() = default;

IBase::Boolean IResizeHandler::dispatchHandlerEvent(IEvent& event)
{
    if (event.eventId() != IPrivateMessage::sizeChanged)
        return false;
    return dispatchAs(*this, &IResizeHandler::windowResize, event);
}
