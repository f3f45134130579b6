// The scroll bar control.
#include <windows.h>

#include <algorithm>

#include <detail/iclasswide.hpp>
#include <iexcept.hpp>
#include <iplatfrm.hpp>

#include "detail/ibtnimpl.hpp"
#include "detail/ishared.hpp"
#include "ihandler.hpp"
#include "inotifhd.hpp"
#include "iprivmsg.hpp"
#include "iscroll.hpp"

// The page size on the older road, where the control has no room for it, and the brush of the
// last colour request.
struct IScrollBarData {
    virtual ~IScrollBarData() = default;
    unsigned long visibleCount = 25;
    ovk_native::Brush brush;
};

const IScrollBar::Style IScrollBar::_horizontal(0, 0x1);
const IScrollBar::Style IScrollBar::_vertical(SBS_VERT, 0);
const IScrollBar::Style IScrollBar::classDefault(WS_VISIBLE | SBS_VERT, 0);

namespace {

bool olderRoad()
{
    return IPlatform::isPlatformVariant() != 0;
}

} // namespace

// Answers the scroll bar's colour requests, and keeps a press on the bar from reaching any
// later handler or the owners: the native control runs its own tracking loop inside the press.
class IScrollBarHandler : public IHandler {
public:
    static IScrollBarHandler& shared() { return ovk_app::sharedHandler<IScrollBarHandler>(); }

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override
    {
        auto* bar = dynamic_cast<IScrollBar*>(event.dispatchingWindow());
        if (!bar)
            return false;
        switch (event.eventId()) {
        case WM_CTLCOLORSCROLLBAR:
            if (event.parameter2().asPointer() != bar->handle().asValue())
                return false;
            event.setResult(ovkshared::answerColorRequest(event, *bar, bar->fScrollData->brush));
            return true;
        case WM_LBUTTONDOWN:
            bar->defaultProcedure(event);
            return true;
        default:
            return false;
        }
    }
};

IScrollBar::Style IScrollBar::defaultStyle()
{
    return ovk_app::ClassDefault<classDefault>::current();
}

void IScrollBar::setDefaultStyle(const Style& style)
{
    ovk_app::ClassDefault<classDefault>::replace(style);
}

IScrollBar::IScrollBar(unsigned long id, IWindow* parent, IWindow* owner, const IRectangle& rect,
                       const Style& style)
{
    if (!parent)
        IThrow::argument("parent != 0",
                         IExceptionLocation("iscroll", "IScrollBar::IScrollBar(unsigned long,"
                                                       "IWindow*,IWindow*,const IRectangle&,"
                                                       "const IScrollBar::Style&)",
                                            277));
    build(id, parent, owner, IRange(1, 100), 25, 1, rect, style);
}

IScrollBar::IScrollBar(unsigned long id, IWindow* parent, IWindow* owner, const IRange& range,
                       unsigned long visibleCount, unsigned long position, const IRectangle& rect,
                       const Style& style)
{
    if (!parent)
        IThrow::argument("parent != 0",
                         IExceptionLocation("iscroll", "IScrollBar::IScrollBar(unsigned long,"
                                                       "IWindow*,IWindow*,const IRange&,unsigned "
                                                       "long,unsigned long,const IRectangle&,"
                                                       "const IScrollBar::Style&)",
                                            305));
    build(id, parent, owner, range, visibleCount, position, rect, style);
}

IScrollBar::IScrollBar(unsigned long id, IWindow* parent)
{
    takeCharge(ovkbutton::childOf(id, parent, "iscroll",
                                  "IScrollBar::IScrollBar(unsigned long,IWindow*)"));
}

IScrollBar::IScrollBar(const IWindowHandle& handle)
{
    takeCharge(handle);
}

IScrollBar::~IScrollBar()
{
    try {
        if (isValid())
            IScrollBarHandler::shared().stopHandlingEventsFor(this);
    } catch (const IException&) {
        // The window and its handler list are gone already.
    }
}

void IScrollBar::build(unsigned long id, IWindow* parent, IWindow* owner, const IRange& range,
                       unsigned long visibleCount, unsigned long position,
                       const IRectangle& rect, const Style& style)
{
    fScrollData = std::make_unique<IScrollBarData>();
    setExtendedStyle(extendedStyle() | style.asExtendedUnsignedLong());
    if (olderRoad())
        fScrollData->visibleCount = visibleCount;
    const IWindowHandle handle =
        create(id, nullptr, convertToGUIStyle(style, false), "ScrollBar", parent->handle(),
               owner ? owner->handle() : IWindowHandle(), rect, nullptr, nullptr,
               defaultSiblingOrder(), convertToGUIStyle(style, true));
    IScrollBarHandler::shared().handleEventsFor(this);
    if (!olderRoad()) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = std::min(range.lowerBound(), range.upperBound());
        info.nMax = std::max(range.lowerBound(), range.upperBound());
        info.nPage = static_cast<UINT>(visibleCount);
        info.nPos = static_cast<int>(position);
        SetScrollInfo(handle, SB_CTL, &info, TRUE);
    }
    startHandlingEventsFor(handle);
}

void IScrollBar::takeCharge(const IWindowHandle& handle)
{
    fScrollData = std::make_unique<IScrollBarData>();
    setDestroyOnDelete(false);
    IScrollBarHandler::shared().handleEventsFor(this);
    startHandlingEventsFor(handle);
}

IWindow& IScrollBar::enableNotification(IBase::Boolean enable)
{
    return ovkEnableNotification(*this, IScrollBarNotifyHandler::shared(), enable);
}

unsigned long IScrollBar::convertToGUIStyle(const IBitFlag& style, IBase::Boolean extended) const
{
    const unsigned long base = IControl::convertToGUIStyle(style, extended);
    if (extended)
        return base | (style.asExtendedUnsignedLong() & 0xFF000000UL);
    return base | (style.asUnsignedLong() & 0xF) | WS_CHILD;
}

IBase::Boolean IScrollBar::isVertical() const
{
    return (style() & SBS_VERT) != 0;
}

IBase::Boolean IScrollBar::isHorizontal() const
{
    return !isVertical();
}

IScrollBar& IScrollBar::setScrollBar(const IRange& range, unsigned long visibleCount)
{
    const int lower = std::min(range.lowerBound(), range.upperBound());
    const int upper = std::max(range.lowerBound(), range.upperBound());
    if (olderRoad()) {
        SetScrollRange(handle(), SB_CTL, lower, upper, TRUE);
        fScrollData->visibleCount = visibleCount;
    } else {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = lower;
        info.nMax = upper;
        info.nPage = static_cast<UINT>(visibleCount);
        SetScrollInfo(handle(), SB_CTL, &info, TRUE);
    }
    enable();
    return *this;
}

IScrollBar& IScrollBar::setScrollableRange(const IRange& range)
{
    if (scrollableRange() != range)
        setScrollBar(range, visibleCount());
    return *this;
}

IScrollBar& IScrollBar::setVisibleCount(unsigned long count)
{
    if (visibleCount() != count)
        setScrollBar(scrollableRange(), count);
    return *this;
}

IRange IScrollBar::scrollableRange() const
{
    int lower = 0;
    int upper = 0;
    if (olderRoad()) {
        GetScrollRange(handle(), SB_CTL, &lower, &upper);
    } else {
        // The message fills two ints through its parameters.
        SendMessageA(handle(), SBM_GETRANGE, reinterpret_cast<WPARAM>(&lower),
                     reinterpret_cast<LPARAM>(&upper));
    }
    return IRange(lower, upper);
}

IRange IScrollBar::scrollBoxRange() const
{
    IRange range = scrollableRange();
    if (!olderRoad())
        range.setUpperBound(range.upperBound() - static_cast<IRange::Bound>(visibleCount()));
    return range;
}

unsigned long IScrollBar::visibleCount() const
{
    if (olderRoad())
        return fScrollData->visibleCount;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE;
    GetScrollInfo(handle(), SB_CTL, &info);
    return info.nPage;
}

long IScrollBar::scrollBoxPosition() const
{
    if (olderRoad())
        return GetScrollPos(handle(), SB_CTL);
    return static_cast<long>(SendMessageA(handle(), SBM_GETPOS, 0, 0));
}

IScrollBar& IScrollBar::moveScrollBoxTo(long position)
{
    if (scrollBoxPosition() == position)
        return *this;
    if (olderRoad()) {
        // SetScrollPos does not go through the control's procedure, so the notification
        // handler learns of the move from the private message first.
        sendEvent(IPrivateMessage::scrollBoxMove, IEventParameter1(position), IEventParameter2(1));
        SetScrollPos(handle(), SB_CTL, static_cast<int>(position), TRUE);
    } else {
        sendEvent(SBM_SETPOS, IEventParameter1(position), IEventParameter2(1));
    }
    return *this;
}

unsigned long IScrollBar::minScrollIncrement() const
{
    return fMinScrollIncrement;
}

unsigned long IScrollBar::pageScrollIncrement() const
{
    if (fPageScrollIncrement)
        return fPageScrollIncrement;
    const long derived = static_cast<long>(visibleCount()) - static_cast<long>(fMinScrollIncrement);
    return derived > 0 ? static_cast<unsigned long>(derived) : fMinScrollIncrement;
}

IScrollBar& IScrollBar::setMinScrollIncrement(unsigned long increment)
{
    if (fMinScrollIncrement != increment)
        fMinScrollIncrement = increment;
    return *this;
}

IScrollBar& IScrollBar::setPageScrollIncrement(unsigned long increment)
{
    if (pageScrollIncrement() != increment)
        fPageScrollIncrement = increment;
    return *this;
}

IColor IScrollBar::foregroundColor() const
{
    return IGUIColor(IColor::disabledForeground);
}

IColor IScrollBar::hiliteForegroundColor() const
{
    return IGUIColor(IColor::buttonMiddle);
}

unsigned long IScrollBar::systemScrollBarWidth(IBase::Boolean vertical)
{
    return static_cast<unsigned long>(GetSystemMetrics(vertical ? SM_CXVSCROLL : SM_CYHSCROLL));
}

unsigned long IScrollBar::systemScrollButtonLength(IBase::Boolean vertical)
{
    return static_cast<unsigned long>(GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL));
}

unsigned long IScrollBar::systemScrollBoxLength(IBase::Boolean vertical)
{
    return static_cast<unsigned long>(GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB));
}

ISize IScrollBar::calcMinimumSize() const
{
    const bool vertical = isVertical() != 0;
    const long along = static_cast<long>(3 * systemScrollBoxLength(vertical) +
                                         2 * systemScrollButtonLength(vertical));
    const long across = static_cast<long>(systemScrollBarWidth(vertical));
    const long borderWidth = 2 * GetSystemMetrics(SM_CXBORDER);
    const long borderHeight = 2 * GetSystemMetrics(SM_CYBORDER);
    return vertical ? ISize(across + borderWidth, along + borderHeight)
                    : ISize(along + borderWidth, across + borderHeight);
}
