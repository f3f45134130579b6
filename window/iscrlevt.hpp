// IScrollEvent: a WM_HSCROLL or WM_VSCROLL with the amount to scroll.
#pragma once

#include <irange.hpp>

#include <idefs.hpp>

#include "ievent.hpp"

// What the scroll events ask of a scroll bar window. The library's own serves every
// IScrollBar object; another may be put in its place (IScrollEvent::setScrollBarAccess) for
// scroll bars that have no such object.
class OVKWIN_API IScrollBarAccess {
public:
    virtual ~IScrollBarAccess();
    // The window is a scroll bar control the operations below apply to.
    virtual IBase::Boolean isScrollBar(IWindow& window) const = 0;
    virtual long scrollBoxPosition(IWindow& scrollBar) const = 0;
    virtual void moveScrollBoxTo(IWindow& scrollBar, long position) const = 0;
    virtual IRange scrollBoxRange(IWindow& scrollBar) const = 0;
    virtual long minScrollIncrement(IWindow& scrollBar) const = 0;
    virtual long pageScrollIncrement(IWindow& scrollBar) const = 0;
};

class OVKWIN_API IScrollEvent : public IEvent {
public:
    // The scroll codes of the low word of the first parameter.
    enum Code {
        lineUp = 0, lineDown = 1, pageUp = 2, pageDown = 3, thumbPosition = 4, thumbTrack = 5,
        top = 6, bottom = 7, endScroll = 8
    };

    // Answers the previous one; null puts the library's own back.
    static const IScrollBarAccess* setScrollBarAccess(const IScrollBarAccess* access) noexcept;
    static const IScrollBarAccess* scrollBarAccess() noexcept;

    IScrollEvent(const IEvent& event);

    unsigned long scrollCode() const noexcept { return parameter1().lowNumber(); }
    // The scroll bar control the message comes from; null for a window's own scroll bar or a
    // control that is not a scroll bar object.
    IWindow* scrollBarWindow() const;
    // For the thumb codes only; others throw the invalid-request error.
    long newScrollBoxPosition() const;
    // How far to move, kept inside the scroll bar's range; 0 without a scroll bar. Top and
    // bottom throw the invalid-request error.
    long scrollAmount() const;
    // The scroll box position when the event was made.
    long scrollBoxPosition() const noexcept { return fPosition; }

private:
    std::int32_t fPosition = 0;
};
