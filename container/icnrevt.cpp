// The container notification events.
#include <windows.h>

#include "icnrevt.hpp"

#include <iprivmsg.hpp>
#include <iwcname.hpp>

#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

template <class Record>
const Record* recordOf(const IEvent& event)
{
    return static_cast<const Record*>(event.parameter2().asPointer());
}

} // namespace

ICnrEvent::ICnrEvent(const IEvent& event) : IControlEvent(event) {}

ICnrEvent::~ICnrEvent() = default;

ICnrCtl* ICnrEvent::container() const
{
    return dynamic_cast<ICnrCtl*>(controlWindow());
}

IBase::Boolean ICnrEvent::isContainerWindow(const IWindowHandle& handle)
{
    if (!handle || !IsWindow(handle))
        return false;
    const IWindowClassName name(handle);
    return name == WC_CONTAINER || name == WC_NATIVECONTAINER;
}

IBase::Boolean ICnrEvent::isFromContainer(const IControlEvent& event)
{
    return event.eventId() == IPrivateMessage::controlNotification && event.controlWindow() &&
           isContainerWindow(event.controlHandle());
}

ICnrEnterEvent::ICnrEnterEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrEnterEvent::~ICnrEnterEvent() = default;

ICnrObj* ICnrEnterEvent::object() const
{
    const auto* enter = recordOf<NOTIFYRECORDENTER>(*this);
    return enter ? ICnrObj::objectOf(enter->pRecord) : nullptr;
}

IBase::Boolean ICnrEnterEvent::validObject() const
{
    const auto* enter = recordOf<NOTIFYRECORDENTER>(*this);
    return enter && enter->pRecord;
}

unsigned long ICnrEnterEvent::flags() const
{
    const auto* enter = recordOf<NOTIFYRECORDENTER>(*this);
    return enter ? enter->fKey : 0;
}

ICnrEmphasisEvent::ICnrEmphasisEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrEmphasisEvent::~ICnrEmphasisEvent() = default;

ICnrObj* ICnrEmphasisEvent::object() const
{
    const auto* emphasis = recordOf<NOTIFYRECORDEMPHASIS>(*this);
    return emphasis ? ICnrObj::objectOf(emphasis->pRecord) : nullptr;
}

IBase::Boolean ICnrEmphasisEvent::changed(unsigned long type) const
{
    const auto* emphasis = recordOf<NOTIFYRECORDEMPHASIS>(*this);
    const std::uint32_t mask = emphasis ? emphasis->fEmphasisMask : 0;
    switch (type) {
    case cursored: return (mask & CRA_CURSORED) != 0;
    case inUse: return (mask & CRA_INUSE) != 0;
    case selected: return (mask & CRA_SELECTED) != 0;
    default: return false;
    }
}

ICnrScrollEvent::ICnrScrollEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrScrollEvent::~ICnrScrollEvent() = default;

long ICnrScrollEvent::amount() const
{
    const auto* scroll = recordOf<NOTIFYSCROLL>(*this);
    return scroll ? scroll->lScrollInc : 0;
}

namespace {

bool scrollFlag(const IEvent& event, std::uint32_t bit)
{
    const auto* scroll = recordOf<NOTIFYSCROLL>(event);
    return scroll && (scroll->fScroll & bit) != 0;
}

bool deltaFlag(const IEvent& event, std::uint32_t bit)
{
    const auto* delta = recordOf<NOTIFYDELTA>(event);
    return delta && (delta->fDelta & bit) != 0;
}

} // namespace

IBase::Boolean ICnrScrollEvent::isVertical() const { return scrollFlag(*this, CMA_VERTICAL); }
IBase::Boolean ICnrScrollEvent::isHorizontal() const { return scrollFlag(*this, CMA_HORIZONTAL); }
IBase::Boolean ICnrScrollEvent::isRightWindow() const { return scrollFlag(*this, CMA_RIGHT); }
IBase::Boolean ICnrScrollEvent::isLeftWindow() const { return scrollFlag(*this, CMA_LEFT); }

ICnrQueryDeltaEvent::ICnrQueryDeltaEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrQueryDeltaEvent::~ICnrQueryDeltaEvent() = default;

unsigned long ICnrQueryDeltaEvent::deltaFlags() const
{
    const auto* delta = recordOf<NOTIFYDELTA>(*this);
    return delta ? delta->fDelta : 0;
}

IBase::Boolean ICnrQueryDeltaEvent::isTop() const { return deltaFlag(*this, 0x01); }
IBase::Boolean ICnrQueryDeltaEvent::isBottom() const { return deltaFlag(*this, 0x02); }
IBase::Boolean ICnrQueryDeltaEvent::isHome() const { return deltaFlag(*this, 0x04); }
IBase::Boolean ICnrQueryDeltaEvent::isEnd() const { return deltaFlag(*this, 0x08); }

ICnrHelpEvent::ICnrHelpEvent(const IEvent& event) : ICnrEvent(event) {}
ICnrHelpEvent::~ICnrHelpEvent() = default;

ICnrObj* ICnrHelpEvent::object() const
{
    if (ICnrCtl* cnr = container()) {
        if (ICnrObj* edited = cnr->editedObject())
            return edited;
        if (cnr->editWindow())
            return nullptr;
    }
    const auto value = reinterpret_cast<std::uintptr_t>(parameter2().asPointer());
    // All bits set says "no object"; a 32-bit sender sets only the low 32.
    if (value == static_cast<std::uintptr_t>(-1) || value == 0xFFFFFFFFu)
        return nullptr;
    return ICnrObj::objectOf(reinterpret_cast<const MINIRECORDCORE*>(value));
}

IContainerColumn* ICnrHelpEvent::column() const
{
    ICnrCtl* cnr = container();
    return cnr ? cnr->editedColumn() : nullptr;
}
