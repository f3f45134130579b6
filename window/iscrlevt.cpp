// The scroll event.
#include <windows.h>

#include <atomic>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "iscrlevt.hpp"
#include "iwindow.hpp"

namespace {

std::atomic<const IScrollBarAccess*> gAccess{nullptr};

[[noreturn]] void noValue(const char* function)
{
    IThrow::message(OVK_MSG_NO_EVENT_VALUE, IEXCEPTION_LOCATION("iscrlevt", function));
}

} // namespace

IScrollBarAccess::~IScrollBarAccess() = default;

const IScrollBarAccess* IScrollEvent::setScrollBarAccess(const IScrollBarAccess* access) noexcept
{
    return gAccess.exchange(access);
}

const IScrollBarAccess* IScrollEvent::scrollBarAccess() noexcept
{
    return gAccess.load();
}

IScrollEvent::IScrollEvent(const IEvent& event) : IEvent(event)
{
    if (IWindow* scrollBar = scrollBarWindow())
        fPosition = static_cast<std::int32_t>(gAccess.load()->scrollBoxPosition(*scrollBar));
}

// A window's own scroll bar (no control handle) has no window object of its own: looking it
// up among the windows the window owns would find an unrelated window with identifier 0.
IWindow* IScrollEvent::scrollBarWindow() const
{
    const IScrollBarAccess* access = gAccess.load();
    HWND control = static_cast<HWND>(parameter2().asPointer());
    if (!access || !control)
        return nullptr;
    IWindow* window = IWindow::windowWithHandle(control, true);
    return window && access->isScrollBar(*window) ? window : nullptr;
}

long IScrollEvent::newScrollBoxPosition() const
{
    const unsigned long code = scrollCode();
    if (code != thumbPosition && code != thumbTrack)
        noValue("IScrollEvent::newScrollBoxPosition() const");
    return static_cast<long>(parameter1().highNumber());
}

long IScrollEvent::scrollAmount() const
{
    IWindow* scrollBar = scrollBarWindow();
    if (!scrollBar)
        return 0;
    const IScrollBarAccess& access = *gAccess.load();
    long amount = 0;
    switch (scrollCode()) {
    case lineUp: amount = -access.minScrollIncrement(*scrollBar); break;
    case lineDown: amount = access.minScrollIncrement(*scrollBar); break;
    case pageUp: amount = -access.pageScrollIncrement(*scrollBar); break;
    case pageDown: amount = access.pageScrollIncrement(*scrollBar); break;
    case thumbPosition:
    case thumbTrack: amount = newScrollBoxPosition() - fPosition; break;
    case endScroll: break;
    default: noValue("IScrollEvent::scrollAmount() const");
    }
    const IRange range = access.scrollBoxRange(*scrollBar);
    const long lower = static_cast<long>(range.lowerBound()) - fPosition;
    const long upper = static_cast<long>(range.upperBound()) - fPosition;
    return amount < lower ? lower : amount > upper ? upper : amount;
}
