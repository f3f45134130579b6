// The scroll event.
#include <windows.h>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "iscrlevt.hpp"
#include "iscroll.hpp"
#include "iwindow.hpp"

namespace {

[[noreturn]] void noValue(const char* function)
{
    IThrow::message(OVK_MSG_NO_EVENT_VALUE, IEXCEPTION_LOCATION("iscrlevt", function));
}

} // namespace

IScrollEvent::IScrollEvent(const IEvent& event) : IEvent(event)
{
    if (IScrollBar* bar = scrollBar())
        fPosition = static_cast<std::int32_t>(bar->scrollBoxPosition());
}

IWindow* IScrollEvent::scrollBarWindow() const
{
    return scrollBar();
}

// A window's own scroll bar (no control handle) has no window object of its own: looking it
// up among the windows the window owns would find an unrelated window with identifier 0.
IScrollBar* IScrollEvent::scrollBar() const
{
    HWND control = static_cast<HWND>(parameter2().asPointer());
    if (!control)
        return nullptr;
    return dynamic_cast<IScrollBar*>(IWindow::windowWithHandle(control, true));
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
    IScrollBar* bar = scrollBar();
    if (!bar)
        return 0;
    const long line = static_cast<long>(bar->minScrollIncrement());
    const long page = static_cast<long>(bar->pageScrollIncrement());
    long amount = 0;
    switch (scrollCode()) {
    case lineUp: amount = -line; break;
    case lineDown: amount = line; break;
    case pageUp: amount = -page; break;
    case pageDown: amount = page; break;
    case thumbPosition:
    case thumbTrack: amount = newScrollBoxPosition() - fPosition; break;
    case endScroll: break;
    default: noValue("IScrollEvent::scrollAmount() const");
    }
    const IRange range = bar->scrollBoxRange();
    const long lower = static_cast<long>(range.lowerBound()) - fPosition;
    const long upper = static_cast<long>(range.upperBound()) - fPosition;
    return amount < lower ? lower : amount > upper ? upper : amount;
}
