// The native entries of a container object, held in the object itself while there is one
// without a tree item, otherwise in a linked list on the heap.
#include <windows.h>

#include "detail/icnritem.hpp"

#include <iprivmsg.hpp>

#include "icnrctl.hpp"
#include "icnrobj.hpp"

namespace {

constexpr std::uint32_t kStateBits =
    ICnrItemTable::inUse | ICnrItemTable::dropOnAble | ICnrItemTable::readOnly;

SRWLOCK gObjectLock = SRWLOCK_INIT;

} // namespace

ICnrObjectGuard::ICnrObjectGuard() noexcept
{
    AcquireSRWLockExclusive(&gObjectLock);
}

ICnrObjectGuard::~ICnrObjectGuard()
{
    ReleaseSRWLockExclusive(&gObjectLock);
}

// The private helpers below expect the guard to be held by the public operation that calls them.

bool ICnrItemTable::isMade() const noexcept
{
    const ICnrObjectGuard guard;
    return fObject.fNativeItemsMade;
}

bool ICnrItemTable::holdsOnly(const ICnrCtl* container) const noexcept
{
    return container && !fObject.fNativeItemsListed &&
           fObject.fNativeItems.onlyContainer == container;
}

// The container's entry in the list on the heap, or null.
ICnrItemTable::Entry* ICnrItemTable::listed(const ICnrCtl* container) const noexcept
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
    const ICnrObjectGuard guard;
    return holdsOnly(container) || listed(container);
}

std::uintptr_t ICnrItemTable::treeItem(const ICnrCtl* container) const noexcept
{
    const ICnrObjectGuard guard;
    const Entry* entry = listed(container);
    return entry ? entry->treeItem : 0;
}

std::uint32_t ICnrItemTable::state(const ICnrCtl* container) const noexcept
{
    const ICnrObjectGuard guard;
    if (holdsOnly(container))
        return fObject.fOnlyEntryState;
    const Entry* entry = listed(container);
    return entry ? entry->state : 0;
}

bool ICnrItemTable::hasState(const ICnrCtl* container, std::uint32_t bit) const noexcept
{
    return (state(container) & bit) != 0;
}

// The entries move to the heap, the one the object held (if any) first.
void ICnrItemTable::toList()
{
    if (fObject.fNativeItemsListed)
        return;
    ICnrItemNode* first = nullptr;
    if (const ICnrCtl* only = fObject.fNativeItems.onlyContainer)
        first = new ICnrItemNode{Entry{only, 0, fObject.fOnlyEntryState}, nullptr};
    fObject.fNativeItems.list = first;
    fObject.fNativeItemsListed = 1;
    fObject.fOnlyEntryState = 0;
}

// Back in the object: the one entry left (none when its container is null), taken by value
// since it may lie in the list that goes.
void ICnrItemTable::leaveList(Entry rest) noexcept
{
    for (ICnrItemNode* node = fObject.fNativeItems.list; node;) {
        ICnrItemNode* next = node->next;
        delete node;
        node = next;
    }
    fObject.fNativeItemsListed = 0;
    fObject.fNativeItems.onlyContainer = rest.container;
    fObject.fOnlyEntryState = rest.state & kStateBits;
}

void ICnrItemTable::create(const ICnrCtl* container, std::uintptr_t treeItem)
{
    const ICnrObjectGuard guard;
    fObject.fNativeItemsMade = 1;
    if (!fObject.fNativeItemsListed && !fObject.fNativeItems.onlyContainer && !treeItem) {
        fObject.fNativeItems.onlyContainer = container;
        fObject.fOnlyEntryState = 0;
        return;
    }
    toList();
    // At the front: each container has one entry, so the order of the entries tells nothing.
    fObject.fNativeItems.list =
        new ICnrItemNode{Entry{container, treeItem, 0}, fObject.fNativeItems.list};
}

void ICnrItemTable::setTreeItem(const ICnrCtl* container, std::uintptr_t treeItem)
{
    const ICnrObjectGuard guard;
    if (holdsOnly(container)) {
        if (!treeItem)
            return;
        toList();
    }
    if (Entry* entry = listed(container))
        entry->treeItem = treeItem;
}

void ICnrItemTable::setState(ICnrCtl* container, std::uint32_t mask, std::uint32_t set,
                             MINIRECORDCORE* record)
{
    std::uint32_t old = 0;
    {
        const ICnrObjectGuard guard;
        Entry* entry = listed(container);
        if (!entry && !holdsOnly(container))
            return;
        old = entry ? entry->state : fObject.fOnlyEntryState;
        const std::uint32_t now = (set | (old & ~mask)) & kStateBits;
        if (entry)
            entry->state = now;
        else
            fObject.fOnlyEntryState = now;
    }
    // The owner hears of it without the guard: it may be sent to on another thread. It is
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
    const ICnrObjectGuard guard;
    if (holdsOnly(container)) {
        fObject.fNativeItems.onlyContainer = nullptr;
        fObject.fOnlyEntryState = 0;
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
        leaveList(Entry{});
    else if (!first->next && !first->entry.treeItem)
        leaveList(first->entry);
}

void ICnrItemTable::release() noexcept
{
    const ICnrObjectGuard guard;
    if (fObject.fNativeItemsListed)
        leaveList(Entry{});
}

IString ICnrItemTable::textOf(const ICnrObj& object) noexcept
{
    const ICnrObjectGuard guard;
    return object.recordText();
}
