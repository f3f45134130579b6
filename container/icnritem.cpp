// The native entries of a container object, held in the object itself while there is one
// without a tree item, otherwise in a list on the heap.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "detail/icnritem.hpp"

#include <iprivmsg.hpp>

#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr std::uint32_t kStateBits =
    ICnrItemTable::inUse | ICnrItemTable::dropOnAble | ICnrItemTable::readOnly;

} // namespace

bool ICnrItemTable::isMade() const noexcept
{
    return fObject.fNativeItemsMade;
}

bool ICnrItemTable::holdsOnly(const ICnrCtl* container) const noexcept
{
    return container && !fObject.fNativeItemsListed &&
           fObject.fNativeItems.onlyContainer == container;
}

// The first entry of the container in the heap list, or null.
ICnrItemTable::Entry* ICnrItemTable::listed(const ICnrCtl* container) const noexcept
{
    if (!container || !fObject.fNativeItemsListed)
        return nullptr;
    std::vector<Entry>& entries = fObject.fNativeItems.list->entries;
    auto found = std::find_if(entries.begin(), entries.end(),
                              [container](const Entry& entry) { return entry.container == container; });
    return found == entries.end() ? nullptr : &*found;
}

bool ICnrItemTable::contains(const ICnrCtl* container) const noexcept
{
    return holdsOnly(container) || listed(container);
}

std::uintptr_t ICnrItemTable::treeItem(const ICnrCtl* container) const noexcept
{
    const Entry* entry = listed(container);
    return entry ? entry->treeItem : 0;
}

std::uint32_t ICnrItemTable::state(const ICnrCtl* container) const noexcept
{
    if (holdsOnly(container))
        return fObject.fOnlyEntryState;
    const Entry* entry = listed(container);
    return entry ? entry->state : 0;
}

bool ICnrItemTable::hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept
{
    return (state(container) & bit) != 0;
}

// The heap list, made on first need with the entry the object held until then.
std::vector<ICnrItemTable::Entry>& ICnrItemTable::list()
{
    if (!fObject.fNativeItemsListed) {
        auto made = std::make_unique<ICnrItemList>();
        if (const ICnrCtl* only = fObject.fNativeItems.onlyContainer)
            made->entries.push_back(Entry{only, 0, fObject.fOnlyEntryState});
        fObject.fNativeItems.list = made.release();
        fObject.fNativeItemsListed = 1;
        fObject.fOnlyEntryState = 0;
    }
    return fObject.fNativeItems.list->entries;
}

// Back in the object: the one entry left (none when its container is null), taken by value
// since it may lie in the list that goes.
void ICnrItemTable::leaveList(Entry rest) noexcept
{
    delete fObject.fNativeItems.list;
    fObject.fNativeItemsListed = 0;
    fObject.fNativeItems.onlyContainer = rest.container;
    fObject.fOnlyEntryState = rest.state & kStateBits;
}

void ICnrItemTable::create(const ICnrCtl* container, std::uintptr_t treeItem)
{
    fObject.fNativeItemsMade = 1;
    if (!fObject.fNativeItemsListed && !fObject.fNativeItems.onlyContainer && !treeItem) {
        fObject.fNativeItems.onlyContainer = container;
        fObject.fOnlyEntryState = 0;
        return;
    }
    list().push_back(Entry{container, treeItem, 0});
}

void ICnrItemTable::setTreeItem(const ICnrCtl* container, std::uintptr_t treeItem)
{
    if (holdsOnly(container)) {
        if (!treeItem)
            return;
        list();
    }
    if (Entry* entry = listed(container))
        entry->treeItem = treeItem;
}

void ICnrItemTable::setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                             MINIRECORDCORE* record)
{
    Entry* entry = listed(container);
    if (!entry && !holdsOnly(container))
        return;
    const std::uint32_t old = entry ? entry->state : fObject.fOnlyEntryState;
    const std::uint32_t now = (set | (old & ~mask)) & kStateBits;
    if (entry)
        entry->state = now;
    else
        fObject.fOnlyEntryState = now;
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

void ICnrItemTable::remove(const ICnrCtl* container) noexcept
{
    if (holdsOnly(container)) {
        fObject.fNativeItems.onlyContainer = nullptr;
        fObject.fOnlyEntryState = 0;
        return;
    }
    Entry* entry = listed(container);
    if (!entry)
        return;
    std::vector<Entry>& entries = fObject.fNativeItems.list->entries;
    entries.erase(entries.begin() + (entry - entries.data()));
    if (entries.empty())
        leaveList(Entry{});
    else if (entries.size() == 1 && !entries.front().treeItem)
        leaveList(entries.front());
}

void ICnrItemTable::release() noexcept
{
    if (fObject.fNativeItemsListed)
        leaveList(Entry{});
}
