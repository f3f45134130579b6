// The native entries of a container object, held in the object itself while there is one
// without a tree item, otherwise in a linked list on the heap.
#include <windows.h>

#include <atomic>

#include "detail/icnritem.hpp"

#include <iprivmsg.hpp>

#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr std::uint32_t kStateBits =
    ICnrItemTable::inUse | ICnrItemTable::dropOnAble | ICnrItemTable::readOnly;

#if defined(_WIN64)
constexpr std::uintptr_t kMostTreeItemInObject = (std::uintptr_t(1) << 54) - 1;
#else
constexpr std::uintptr_t kMostTreeItemInObject = 0;
#endif

} // namespace

std::uintptr_t ICnrItemTable::onlyTreeItem(const ICnrAllObjectsLock&) const noexcept
{
#if defined(_WIN64)
    return static_cast<std::uintptr_t>(fObject.fOnlyEntryTreeItem);
#else
    return 0;
#endif
}

void ICnrItemTable::setOnlyTreeItem(const ICnrAllObjectsLock&, std::uintptr_t treeItem) noexcept
{
#if defined(_WIN64)
    fObject.fOnlyEntryTreeItem = treeItem;
#else
    (void)treeItem;
#endif
}

bool ICnrItemTable::fitsInObject(std::uintptr_t treeItem) noexcept
{
    return treeItem <= kMostTreeItemInObject;
}

bool ICnrItemTable::isMade() const noexcept
{
    const ICnrAllObjectsLock lock;
    return fObject.fNativeItemsMade;
}

bool ICnrItemTable::holdsOnly(const ICnrAllObjectsLock&, const ICnrCtl* container) const noexcept
{
    return container && !fObject.fNativeItemsListed &&
           fObject.fNativeItems.onlyContainer == container;
}

// The container's entry in the list on the heap, or null.
ICnrItemTable::Entry* ICnrItemTable::listed(const ICnrAllObjectsLock&,
                                             const ICnrCtl* container) const noexcept
{
    if (!container || !fObject.fNativeItemsListed)
        return nullptr;
    for (ICnrItemNode* node = fObject.fNativeItems.list; node; node = node->next)
        if (node->entry.container == container)
            return &node->entry;
    return nullptr;
}

bool ICnrItemTable::contains(const ICnrCtl* container) const noexcept
{
    const ICnrAllObjectsLock lock;
    return contains(lock, container);
}

bool ICnrItemTable::contains(const ICnrAllObjectsLock& lock, const ICnrCtl* container) const noexcept
{
    return holdsOnly(lock, container) || listed(lock, container);
}

std::uintptr_t ICnrItemTable::treeItem(const ICnrCtl* container) const noexcept
{
    const ICnrAllObjectsLock lock;
    return treeItem(lock, container);
}

std::uintptr_t ICnrItemTable::treeItem(const ICnrAllObjectsLock& lock,
                                       const ICnrCtl* container) const noexcept
{
    if (holdsOnly(lock, container))
        return onlyTreeItem(lock);
    const Entry* entry = listed(lock, container);
    return entry ? entry->treeItem : 0;
}

std::uint32_t ICnrItemTable::state(const ICnrCtl* container) const noexcept
{
    const ICnrAllObjectsLock lock;
    if (holdsOnly(lock, container))
        return fObject.fOnlyEntryState;
    const Entry* entry = listed(lock, container);
    return entry ? entry->state : 0;
}

bool ICnrItemTable::hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept
{
    return (state(container) & bit) != 0;
}

// The entries move to the heap, the one the object held (if any) first.
void ICnrItemTable::toList(const ICnrAllObjectsLock& lock)
{
    if (fObject.fNativeItemsListed)
        return;
    ICnrItemNode* first = nullptr;
    if (const ICnrCtl* only = fObject.fNativeItems.onlyContainer)
        first = new ICnrItemNode{Entry{only, onlyTreeItem(lock), static_cast<std::uint32_t>(fObject.fOnlyEntryState)}, nullptr};
    fObject.fNativeItems.list = first;
    fObject.fNativeItemsListed = 1;
    fObject.fOnlyEntryState = 0;
    setOnlyTreeItem(lock, 0);
}

// Back in the object: the one entry left (none when its container is null), taken by value
// since it may lie in the list that goes. Its tree item fits in the object.
void ICnrItemTable::leaveList(const ICnrAllObjectsLock& lock, Entry rest) noexcept
{
    for (ICnrItemNode* node = fObject.fNativeItems.list; node;) {
        ICnrItemNode* next = node->next;
        delete node;
        node = next;
    }
    fObject.fNativeItemsListed = 0;
    fObject.fNativeItems.onlyContainer = rest.container;
    fObject.fOnlyEntryState = rest.state & kStateBits;
    setOnlyTreeItem(lock, rest.treeItem);
}

void ICnrItemTable::create(const ICnrCtl* container, std::uintptr_t treeItem)
{
    const ICnrAllObjectsLock lock;
    create(lock, container, treeItem, 0);
}

void ICnrItemTable::create(const ICnrAllObjectsLock& lock, const ICnrCtl* container,
                           std::uintptr_t treeItem, std::uint32_t state)
{
    fObject.fNativeItemsMade = 1;
    state &= kStateBits;
    if (!fObject.fNativeItemsListed && !fObject.fNativeItems.onlyContainer &&
        fitsInObject(treeItem)) {
        fObject.fNativeItems.onlyContainer = container;
        fObject.fOnlyEntryState = state;
        setOnlyTreeItem(lock, treeItem);
        return;
    }
    toList(lock);
    // At the front: each container has one entry, so the order of the entries tells nothing.
    fObject.fNativeItems.list =
        new ICnrItemNode{Entry{container, treeItem, state}, fObject.fNativeItems.list};
}

void ICnrItemTable::setTreeItem(const ICnrCtl* container, std::uintptr_t treeItem)
{
    const ICnrAllObjectsLock lock;
    setTreeItem(lock, container, treeItem);
}

void ICnrItemTable::setTreeItem(const ICnrAllObjectsLock& lock, const ICnrCtl* container,
                                std::uintptr_t treeItem)
{
    if (holdsOnly(lock, container)) {
        if (fitsInObject(treeItem)) {
            setOnlyTreeItem(lock, treeItem);
            return;
        }
        toList(lock);
    }
    if (Entry* entry = listed(lock, container))
        entry->treeItem = treeItem;
}

void ICnrItemTable::setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                             MINIRECORDCORE* record)
{
    std::uint32_t old = 0;
    {
        const ICnrAllObjectsLock lock;
        Entry* entry = listed(lock, container);
        if (!entry && !holdsOnly(lock, container))
            return;
        old = entry ? entry->state : fObject.fOnlyEntryState;
        const std::uint32_t now = (set | (old & ~mask)) & kStateBits;
        if (entry)
            entry->state = now;
        else
            fObject.fOnlyEntryState = now;
    }
    // The owner hears of it without the lock: it may be sent to on another thread. It is
    // looked for only when there is something to hear: finding it asks the system about the
    // container's window, and every insertion sets the other two bits.
    const bool inUseTouched = (mask & inUse) && ((old & inUse) || (set & inUse));
    if (!inUseTouched || !record)
        return;
    IWindow* owner = container->owner();
    if (!owner)
        return;
    NOTIFYRECORDEMPHASIS emphasis{container->handle(), record, CRA_INUSE};
    owner->sendEvent(IPrivateMessage::controlNotification,
                     IEventData(static_cast<std::uint16_t>(container->id()),
                                static_cast<std::uint16_t>(CN_EMPHASIS)),
                     &emphasis);
}

void ICnrItemTable::remove(const ICnrCtl* container) noexcept
{
    const ICnrAllObjectsLock lock;
    remove(lock, container);
}

void ICnrItemTable::remove(const ICnrAllObjectsLock& lock, const ICnrCtl* container) noexcept
{
    if (holdsOnly(lock, container)) {
        fObject.fNativeItems.onlyContainer = nullptr;
        fObject.fOnlyEntryState = 0;
        setOnlyTreeItem(lock, 0);
        return;
    }
    if (!container || !fObject.fNativeItemsListed)
        return;
    for (ICnrItemNode** link = &fObject.fNativeItems.list; *link; link = &(*link)->next) {
        ICnrItemNode* node = *link;
        if (node->entry.container != container)
            continue;
        *link = node->next;
        delete node;
        break;
    }
    const ICnrItemNode* first = fObject.fNativeItems.list;
    if (!first)
        leaveList(lock, Entry{});
    else if (!first->next && fitsInObject(first->entry.treeItem))
        leaveList(lock, first->entry);
}

void ICnrItemTable::release() noexcept
{
    const ICnrAllObjectsLock lock;
    if (fObject.fNativeItemsListed)
        leaveList(lock, Entry{});
}

namespace {
std::atomic<std::uint64_t> gUnshownChanges{0};
} // namespace

void ICnrItemTable::noteUnshownChange() noexcept
{
    gUnshownChanges.fetch_add(1, std::memory_order_release);
}

std::uint64_t ICnrItemTable::unshownChanges() noexcept
{
    return gUnshownChanges.load(std::memory_order_acquire);
}

IString ICnrItemTable::textOf(const ICnrObj& object) noexcept
{
    const ICnrAllObjectsLock lock;
    return textOf(lock, object);
}

IString ICnrItemTable::textOf(const ICnrAllObjectsLock&, const ICnrObj& object) noexcept
{
    return object.recordText();
}
