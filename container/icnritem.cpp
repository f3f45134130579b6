// The native entries of a container object.
#include <windows.h>

#include <algorithm>

#include "detail/icnritem.hpp"

#include <iprivmsg.hpp>

#include "icnrctl.hpp"

ICnrItemTable::Entry& ICnrItemTable::create(const ICnrCtl* container, std::uintptr_t treeItem,
                                            std::uint32_t spare)
{
    const Entry entry{container, treeItem, spare, 0};
    if (!fFirst.container) {
        fFirst = entry;
        return fFirst;
    }
    if (!fMore)
        fMore = std::make_unique<std::vector<Entry>>();
    fMore->push_back(entry);
    return fMore->back();
}

ICnrItemTable::Entry* ICnrItemTable::find(const ICnrCtl* container) noexcept
{
    if (!container)
        return nullptr;
    if (fFirst.container == container)
        return &fFirst;
    if (!fMore)
        return nullptr;
    auto found = std::find_if(fMore->begin(), fMore->end(),
                              [container](const Entry& entry) { return entry.container == container; });
    return found == fMore->end() ? nullptr : &*found;
}

const ICnrItemTable::Entry* ICnrItemTable::find(const ICnrCtl* container) const noexcept
{
    return const_cast<ICnrItemTable*>(this)->find(container);
}

void ICnrItemTable::remove(const ICnrCtl* container) noexcept
{
    Entry* entry = find(container);
    if (!entry)
        return;
    if (entry != &fFirst) {
        fMore->erase(fMore->begin() + (entry - fMore->data()));
    } else if (!fMore || fMore->empty()) {
        fFirst = Entry{};
    } else {
        fFirst = fMore->front();
        fMore->erase(fMore->begin());
    }
    if (fMore && fMore->empty())
        fMore.reset();
}

bool ICnrItemTable::hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept
{
    const Entry* entry = find(container);
    return entry && (entry->state & bit) != 0;
}

void ICnrItemTable::setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                             MINIRECORDCORE* record)
{
    Entry* entry = find(container);
    if (!entry)
        return;
    const std::uint32_t old = entry->state;
    entry->state = set | (old & ~mask);
    const bool inUseTouched = (mask & inUse) && ((old & inUse) || (set & inUse));
    IWindow* owner = container->owner();
    if (!inUseTouched || !record || !owner)
        return;
    NOTIFYRECORDEMPHASIS emphasis{container->handle(), record, CRA_INUSE};
    owner->sendEvent(IPrivateMessage::controlNotification,
                     IEventData(static_cast<std::uint16_t>(container->id()),
                                static_cast<std::uint16_t>(CN_EMPHASIS)),
                     &emphasis);
}
