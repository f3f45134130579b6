// IScrollEvent: a WM_HSCROLL or WM_VSCROLL with the amount to scroll.
#pragma once

#include <idefs.hpp>

#include "ievent.hpp"

class IScrollBar;

class OVKWIN_API IScrollEvent : public IEvent {
public:
    // The scroll codes of the low word of the first parameter.
    enum Code {
        lineUp = 0, lineDown = 1, pageUp = 2, pageDown = 3, thumbPosition = 4, thumbTrack = 5,
        top = 6, bottom = 7, endScroll = 8
    };

    IScrollEvent(const IEvent& event);

    unsigned long scrollCode() const noexcept { return parameter1().lowNumber(); }
    // The scroll bar control the message comes from; null for a window's own scroll bar or a
    // control that is not a scroll bar object.
    IWindow* scrollBarWindow() const;
    // The same window as the scroll bar object that answers the scroll questions.
    IScrollBar* scrollBar() const;
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
