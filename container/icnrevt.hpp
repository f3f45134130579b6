// The events that the container handlers build from a container's notifications: open,
// emphasis, scrolling, scroll deltas and help.
#pragma once

#include <idefs.hpp>
#include <icmdevt.hpp>

class ICnrCtl;
class ICnrObj;
class IContainerColumn;

// A container notification (the control notification 0xFFD0: the container's id in the low
// word of the first parameter, the code in the high word, the data in the second parameter).
// Each event reads its data from the parameters; none owns memory.
class OVKWIN_API ICnrEvent : public IControlEvent {
public:
    explicit ICnrEvent(const IEvent& event);
    ~ICnrEvent() override;

    unsigned long containerId() const noexcept { return parameter1().lowNumber(); }
    unsigned long notificationCode() const noexcept { return parameter1().highNumber(); }
    // The container that notified, or null.
    ICnrCtl* container() const;

    // True for a control notification from a window of either container class: the only
    // notifications the container handlers decode.
    static IBase::Boolean isFromContainer(const IControlEvent& event);
    static IBase::Boolean isContainerWindow(const IWindowHandle& handle);
};

// CN_ENTER: an object (or the empty space) was opened by a double click or the Enter key.
class OVKWIN_API ICnrEnterEvent : public ICnrEvent {
public:
    explicit ICnrEnterEvent(const IEvent& event);
    ~ICnrEnterEvent() override;

    ICnrObj* object() const;
    IBase::Boolean validObject() const;
    // 1 when the Enter key opened it, 0 for the mouse.
    unsigned long flags() const;
};

// CN_EMPHASIS: an object's cursored, in-use or selected emphasis changed.
class OVKWIN_API ICnrEmphasisEvent : public ICnrEvent {
public:
    enum EmphasisType : unsigned long { cursored = 1, inUse = 2, selected = 4 };

    explicit ICnrEmphasisEvent(const IEvent& event);
    ~ICnrEmphasisEvent() override;

    ICnrObj* object() const;
    // Whether the change includes the emphasis of this type; false for any other value.
    IBase::Boolean changed(unsigned long type) const;
};

// CN_SCROLL: the container scrolled.
class OVKWIN_API ICnrScrollEvent : public ICnrEvent {
public:
    explicit ICnrScrollEvent(const IEvent& event);
    ~ICnrScrollEvent() override;

    long amount() const;
    IBase::Boolean isVertical() const;
    IBase::Boolean isHorizontal() const;
    IBase::Boolean isRightWindow() const;
    IBase::Boolean isLeftWindow() const;
};

// CN_QUERYDELTA: the container scrolled to within its delta of an end of its records and asks
// for more.
class OVKWIN_API ICnrQueryDeltaEvent : public ICnrEvent {
public:
    explicit ICnrQueryDeltaEvent(const IEvent& event);
    ~ICnrQueryDeltaEvent() override;

    unsigned long deltaFlags() const;
    IBase::Boolean isTop() const;
    IBase::Boolean isBottom() const;
    IBase::Boolean isHome() const;
    IBase::Boolean isEnd() const;
};

// CN_HELP: help was asked for over the container.
class OVKWIN_API ICnrHelpEvent : public ICnrEvent {
public:
    explicit ICnrHelpEvent(const IEvent& event);
    ~ICnrHelpEvent() override;

    // The object being edited; none while another edit is open; else the notification's object
    // (none for -1 or 0).
    ICnrObj* object() const;
    // The column being edited, or null.
    IContainerColumn* column() const;
};
