// ICnrCtl: adding, removing and deleting objects.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "icnrctl.hpp"

#include <inotifev.hpp>

#include <detail/icallgrd.hpp>

#include "detail/icnrdata.hpp"
#include "icnrobj.hpp"

namespace {

constexpr const char* kFile = "icnrctl3";
// The most records one insertion message can carry.
constexpr unsigned long kMostRecordsPerInsert = 0xFFFF;
// Where a child's icon goes until its container places it.
constexpr std::int32_t kPlaceholder = static_cast<std::int32_t>(0x80000001u);

MINIRECORDCORE* code(std::uint32_t value)
{
    return reinterpret_cast<MINIRECORDCORE*>(static_cast<std::uintptr_t>(value));
}

bool refused(const IEventData& result)
{
    return result.asLong() == static_cast<std::intptr_t>(static_cast<LRESULT>(-1));
}

// The fast deletion of a message-driven container: every object goes, its record stays for
// the container to free.
int OVKCNR_CALLBACK deleteKeepingRecord(MINIRECORDCORE* record, void*)
{
    return ICallbackGuard::call(1, [record] {
        if (ICnrObj* object = ICnrObj::objectOf(record)) {
            object->keepRecord();
            delete object;
        }
        return 1;
    });
}

// True when the object lies below the ancestor in the container.
bool isUnder(const ICnrCtl& container, const ICnrObj* object, const ICnrObj* ancestor)
{
    for (const ICnrObj* parent = container.parentObject(object); parent;
         parent = container.parentObject(parent))
        if (parent == ancestor)
            return true;
    return false;
}

} // namespace

// Adding -------------------------------------------------------------------------------------------

void ICnrCtl::insertRecords(const IWindowHandle& target, MINIRECORDCORE* first,
                            unsigned long count, MINIRECORDCORE* order, ICnrObj* parent,
                            IBase::Boolean repaint, const char* function)
{
    RECORDINSERT where{};
    where.cb = sizeof(RECORDINSERT);
    where.pRecordOrder = order;
    where.pRecordParent = ICnrObj::recordOf(parent);
    where.fInvalidateRecord = repaint ? 1 : 0;
    where.zOrder = CMA_TOP;
    where.cRecordsInsert = static_cast<std::uint16_t>(count);
    // Marked before the window takes the children: a removal of the parent on another thread
    // meanwhile must look for them. A refused first child leaves the mark as it found it, and
    // a child taken marks it again, in case another thread's refusal cleared it meanwhile.
    const bool hadChildren = parent && parent->markHasChildren();
    if (!target.sendEvent(CM_INSERTRECORD, first, &where).asUnsignedLong()) {
        const DWORD error = GetLastError();
        if (parent && !hadChildren)
            parent->markHasChildren(false);
        IThrow::systemError("CM_INSERTRECORD", error, IEXCEPTION_LOCATION(kFile, function));
    }
    if (parent)
        parent->markHasChildren();
}

void ICnrCtl::inserted(unsigned long count)
{
    fChangeCount += static_cast<std::uint32_t>(count);
    notifyObservers(INotificationEvent(addId, *this, true, IEventData(count)));
}

ICnrCtl& ICnrCtl::addObject(const ICnrObj* newObject, ICnrObj* parent)
{
    const char* const function = "ICnrCtl::addObject(const ICnrObj*,ICnrObj*)";
    IARGUMENT_CHECK(newObject!=0, kFile, function);
    addOne(const_cast<ICnrObj*>(newObject), code(CMA_END), parent, function);
    return *this;
}

// No after-object means the front.
ICnrCtl& ICnrCtl::addObjectAfter(const ICnrObj* newObject, const ICnrObj* after, ICnrObj* parent)
{
    const char* const function = "ICnrCtl::addObjectAfter(const ICnrObj*,const ICnrObj*,ICnrObj*)";
    IARGUMENT_CHECK(newObject!=0, kFile, function);
    addOne(const_cast<ICnrObj*>(newObject), after ? ICnrObj::recordOf(after) : code(CMA_FIRST),
           parent, function);
    return *this;
}

// The object is counted before the window takes it: a container of another thread that lets
// go of it meanwhile must not find it held by none and delete it.
void ICnrCtl::addOne(ICnrObj* object, MINIRECORDCORE* order, ICnrObj* parent, const char* function)
{
    if (parent)
        ICnrObj::recordOf(object)->ptlIcon = CNR_POINTL{kPlaceholder, kPlaceholder};
    object->addContainerReference();
    try {
        insertRecords(handle(), ICnrObj::recordOf(object), 1, order, parent,
                      isRefreshOn() && isVisible() && object->isRefreshOn(), function);
    } catch (...) {
        object->removeContainerReference();
        throw;
    }
    inserted(1);
}

ICnrCtl& ICnrCtl::addObjects(ICnrAllocator& allocator, ICnrObj* parent)
{
    return addObjectsAt(allocator, code(CMA_END), parent,
                        "ICnrCtl::addObjects(ICnrAllocator&,ICnrObj*)");
}

ICnrCtl& ICnrCtl::addObjectsAfter(ICnrAllocator& allocator, const ICnrObj* after, ICnrObj* parent)
{
    return addObjectsAt(allocator, after ? ICnrObj::recordOf(after) : code(CMA_FIRST), parent,
                        "ICnrCtl::addObjectsAfter(ICnrAllocator&,const ICnrObj*,ICnrObj*)");
}

// A message-driven container takes the chain in one message. The native one takes a record
// per message, each after the one before, so that the chain keeps its order wherever it goes.
ICnrCtl& ICnrCtl::addObjectsAt(ICnrAllocator& allocator, MINIRECORDCORE* order, ICnrObj* parent,
                               const char* function)
{
    const unsigned long count = allocator.handedOut();
    MINIRECORDCORE* const first = allocator.firstRecord();
    if (count == 0 || !first)
        return *this;
    MINIRECORDCORE* record = first;
    for (unsigned long i = 0; i < count && record; ++i, record = record->preccNextRecord) {
        if (parent)
            record->ptlIcon = CNR_POINTL{kPlaceholder, kPlaceholder};
        ICnrObj::objectOf(record)->addContainerReference();
    }
    const bool repaint = isRefreshOn() && isVisible();
    {
        // One message per record: without the hold the native control would lay itself out
        // again for each of them, even under a hidden parent.
        std::optional<ICnrControlData::RedrawHold> hold;
        if (count > 1 && !isMessageContainer())
            hold.emplace(*fControlData);
        insertInParts(first, count, order, parent, repaint, function);
    }
    inserted(count);
    allocator.forgetHandedOut();
    return *this;
}

// The message counts its records in 16 bits: a longer chain goes into a message-driven
// container in parts, each after the last record of the one before, or the records past the
// count would be left out while their objects count as added. A native container takes one
// record per message (it follows neither the chain nor the count), each after the one before.
// The chain is read before anything is sent: the window owns the records it took and may use
// their links for itself.
void ICnrCtl::insertInParts(MINIRECORDCORE* first, unsigned long count, MINIRECORDCORE* order,
                            ICnrObj* parent, IBase::Boolean repaint, const char* function)
{
    std::vector<MINIRECORDCORE*> chain;
    chain.reserve(count);
    for (MINIRECORDCORE* record = first; chain.size() < count && record;
         record = record->preccNextRecord)
        chain.push_back(record);
    const std::size_t most = isMessageContainer() ? kMostRecordsPerInsert : 1;
    // Asked once for the whole chain: asking the system whether the window is still there
    // would cost every message a call.
    const IWindowHandle target = handle();
    // Whether the parent had children before the chain: a later part refused takes the earlier
    // ones out again, and the parent must not stay marked for children it no longer has.
    const bool hadChildren = parent && (parent->state() & ICnrObj::hasChildren) != 0;
    std::size_t at = 0;
    try {
        while (at < chain.size()) {
            const std::size_t size = std::min<std::size_t>(chain.size() - at, most);
            insertRecords(target, chain[at], size, order, parent, repaint, function);
            if (order != code(CMA_END))
                order = chain[at + size - 1];
            at += size;
        }
    } catch (...) {
        // A refused part would leave the chain half in the window while every object of it
        // counts as held and the addition is never reported: the parts taken before it go out
        // again, as many records a message as went in, and no object of the chain stays
        // counted. (The refused part itself left nothing behind.)
        for (std::size_t from = 0; from < at; from += most) {
            const std::size_t size = std::min<std::size_t>(at - from, most);
            sendEvent(CM_REMOVERECORD, &chain[from],
                      IEventData(static_cast<std::uint16_t>(size),
                                 static_cast<std::uint16_t>(repaint ? CMA_INVALIDATE : 0)));
        }
        if (at > 0 && parent && !hadChildren)
            parent->markHasChildren(false);
        for (MINIRECORDCORE* record : chain)
            ICnrObj::objectOf(record)->removeContainerReference();
        throw;
    }
}

// Removing -------------------------------------------------------------------------------------------

ICnrCtl& ICnrCtl::removeObject(ICnrObj* object, IBase::Boolean fromAll)
{
    if (!object)
        IThrow::argument("newObject!=0",
                         IEXCEPTION_LOCATION(kFile, "ICnrCtl::removeObject(ICnrObj*,IBase::Boolean)"));
    if (fromAll) {
        const std::vector<ICnrList::Member> members = ICnrList::members();
        if (members.size() >= 2) {
            // Only the containers that hold it: another one must see no removal at all.
            for (const ICnrList::Member& member : members) {
                const ICnrList::Use use(member);
                if (use && member.container->containsObject(object))
                    member.container->removeObject(object, false);
            }
            return *this;
        }
    }
    removeOne(object);
    return *this;
}

// The objects under it go first, the deepest first: the window takes them out with their
// parent, and each must lose this container's reference and be counted as a change.
IBase::Boolean ICnrCtl::removeOne(ICnrObj* object)
{
    if (!isMessageContainer() && !containsObject(object))
        return false;
    if (object->state() & ICnrObj::hasChildren) {
        std::unique_ptr<ObjectList> descendants(descendentsOf(object));
        ObjectList::Cursor cursor(*descendants);
        for (cursor.setToLast(); cursor.isValid(); cursor.setToPrevious())
            removeOne(descendants->elementAt(cursor));
    }
    const bool repaint = isRefreshOn() && object->isRefreshOn();
    MINIRECORDCORE* records[1] = {ICnrObj::recordOf(object)};
    const IEventData result = sendEvent(
        CM_REMOVERECORD, records,
        IEventData(std::uint16_t(1), static_cast<std::uint16_t>(repaint ? CMA_INVALIDATE : 0)));
    if (refused(result))
        return false;
    if (!repaint)
        fState |= refreshPending;
    notifyObservers(INotificationEvent(removeId, *this, true, IEventData(1)));
    object->removeContainerReference();
    ++fChangeCount;
    return true;
}

namespace {

// The cursor's object goes; the cursor moves on past it and everything under it.
template <class Cursor>
void removeAt(ICnrCtl& container, Cursor& cursor, const char* function)
{
    if (!cursor.isValid())
        IThrow::state("cursor.isValid()", IEXCEPTION_LOCATION(kFile, function));
    ICnrObj* object = cursor.current();
    cursor.setToNext();
    while (cursor.isValid() && isUnder(container, cursor.current(), object))
        cursor.setToNext();
    ICnrObj* next = cursor.isValid() ? cursor.current() : nullptr;
    container.removeObject(object, false);
    if (next && container.containsObject(next))
        cursor.setCurrent(next);
    else
        cursor.invalidate();
}

} // namespace

ICnrCtl& ICnrCtl::removeObjectAt(ObjectCursor& cursor)
{
    removeAt(*this, cursor, "ICnrCtl::removeObjectAt(ICnrCtl::ObjectCursor&)");
    return *this;
}

ICnrCtl& ICnrCtl::removeObjectAt(TextCursor& cursor)
{
    removeAt(*this, cursor, "ICnrCtl::removeObjectAt(ICnrCtl::TextCursor&)");
    return *this;
}

// Each selected object in turn; a single selection, and the tree (which always selects
// another item when the selected one goes), give one pass only.
template <class Action>
unsigned long ICnrCtl::forEachSelected(Action action, const char* function)
{
    const bool onePass = isSingleSelection() || isTreeView();
    unsigned long done = 0;
    ICnrObj* previous = nullptr;
    for (;;) {
        const IEventData found = sendEvent(CM_QUERYRECORDEMPHASIS, code(CMA_FIRST), CRA_SELECTED);
        if (refused(found))
            IThrow::systemError("CM_QUERYRECORDEMPHASIS", GetLastError(),
                                IEXCEPTION_LOCATION(kFile, function));
        ICnrObj* object = ICnrObj::objectOf(static_cast<MINIRECORDCORE*>(found.asPointer()));
        // An object that stays selected after its turn would come back for ever.
        if (!object || object == previous)
            break;
        previous = object;
        action(object);
        ++done;
        if (onePass)
            break;
    }
    return done;
}

ICnrCtl& ICnrCtl::removeSelectedObjects()
{
    const unsigned long removed = forEachSelected(
        [this](ICnrObj* object) {
            const bool wasOn = object->isRefreshOn();
            object->disableRefresh();
            removeObject(object, false);
            object->enableRefresh(wasOn);
        },
        "ICnrCtl::removeSelectedObjects()");
    if (removed && isRefreshOn())
        refresh(false);
    return *this;
}

ICnrCtl& ICnrCtl::deleteSelectedObjects()
{
    forEachSelected(
        [](ICnrObj* object) {
            object->disableRefresh();
            delete object;
        },
        "ICnrCtl::deleteSelectedObjects()");
    refreshPendingContainers();
    return *this;
}

ICnrCtl& ICnrCtl::removeAllObjects()
{
    ObjectCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        cursor.current()->removeContainerReference();
    const IEventData result = sendEvent(CM_REMOVERECORD, 0, 0);
    if (!refused(result)) {
        ++fChangeCount;
        notifyObservers(INotificationEvent(removeId, *this, true, IEventData()));
    }
    return *this;
}

ICnrCtl& ICnrCtl::deleteAllObjects()
{
    const bool fast = isMessageContainer() &&
                      (extendedStyle() & fastDelete.asExtendedUnsignedLong()) != 0;
    if (fast && !sharesAnObject()) {
        deleteAllQuickly();
        return *this;
    }
    ICnrObj* previous = nullptr;
    for (;;) {
        ObjectCursor cursor(*this);
        ICnrObj* object = cursor.first();
        if (!object || object == previous)
            break;
        previous = object;
        object->markDestroyedAsDescendant();
        delete object;
    }
    refreshPendingContainers();
    return *this;
}

// Whether another container holds one of this container's objects: then no record of it may be
// freed with this container's.
IBase::Boolean ICnrCtl::sharesAnObject() const
{
    const std::vector<ICnrList::Member> members = ICnrList::members();
    ObjectCursor cursor(*this);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        for (const ICnrList::Member& other : members) {
            if (other.container == this)
                continue;
            const ICnrList::Use use(other);
            if (use && other.container->containsObject(cursor.current()))
                return true;
        }
    return false;
}

void ICnrCtl::deleteAllQuickly()
{
    const bool wasOn = isRefreshOn();
    if (wasOn)
        disableRefresh();
    sendEvent(CM_FILTER, 0, 0);
    sendEvent(CM_FILTER, reinterpret_cast<std::uintptr_t>(&deleteKeepingRecord),
              static_cast<const void*>(this));
    const std::uint16_t flags =
        static_cast<std::uint16_t>(CMA_FREE | ((isVisible() && wasOn) ? CMA_INVALIDATE : 0));
    if (!refused(sendEvent(CM_REMOVERECORD, 0, IEventData(std::uint16_t(0), flags)))) {
        ++fChangeCount;
        notifyObservers(INotificationEvent(removeId, *this, true, IEventData()));
    }
    if (wasOn) {
        refresh(false);
        enableRefresh();
    }
}

// Refresh of what removals held back ------------------------------------------------------------------

void ICnrCtl::refreshPendingContainers()
{
    for (const ICnrList::Member& member : ICnrList::members()) {
        ICnrCtl* const container = member.container;
        const ICnrList::Use use(member);
        if (!use || !(container->fState & refreshPending))
            continue;
        if (container->isValid() && container->isVisible() && container->isRefreshOn())
            container->refresh(false);
    }
}
