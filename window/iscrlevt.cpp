// The scroll event.
#include <windows.h>

#include <atomic>

#include <iexcept.hpp>
#include <ovkmsgid.hpp>

#include "iscrlevt.hpp"
#include "iscroll.hpp"
#include "iwindow.hpp"

namespace {

// The scroll bar controls' own answers: every IScrollBar object is a scroll bar.
class ScrollBarControls final : public IScrollBarAccess {
public:
    IBase::Boolean isScrollBar(IWindow& window) const override
    {
        return dynamic_cast<IScrollBar*>(&window) != nullptr;
    }
    long scrollBoxPosition(IWindow& bar) const override
    {
        return static_cast<IScrollBar&>(bar).scrollBoxPosition();
    }
    void moveScrollBoxTo(IWindow& bar, long position) const override
    {
        static_cast<IScrollBar&>(bar).moveScrollBoxTo(position);
    }
    IRange scrollBoxRange(IWindow& bar) const override
    {
        return static_cast<IScrollBar&>(bar).scrollBoxRange();
    }
    long minScrollIncrement(IWindow& bar) const override
    {
        return static_cast<long>(static_cast<IScrollBar&>(bar).minScrollIncrement());
    }
    long pageScrollIncrement(IWindow& bar) const override
    {
        return static_cast<long>(static_cast<IScrollBar&>(bar).pageScrollIncrement());
    }
};

const ScrollBarControls gScrollBarControls;
std::atomic<const IScrollBarAccess*> gAccess{&gScrollBarControls};

[[noreturn]] void noValue(const char* function)
{
    IThrow::message(OVK_MSG_NO_EVENT_VALUE, IEXCEPTION_LOCATION("iscrlevt", function));
}

} // namespace

IScrollBarAccess::~IScrollBarAccess() = default;

const IScrollBarAccess* IScrollEvent::setScrollBarAccess(const IScrollBarAccess* access) noexcept
{
    return gAccess.exchange(access ? access : &gScrollBarControls);
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
