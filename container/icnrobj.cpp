// ICnrObj: construction in record memory, the object's own operations, copying and
// destruction.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "icnrobj.hpp"

#include <ovkmsgid.hpp>

#include <iapp.hpp>
#include <iassert.hpp>

#include "detail/icnrdata.hpp"
#include "detail/icnritem.hpp"
#include "detail/icnrrtxt.hpp"
#include "icnrctl.hpp"

namespace {

constexpr const char* kFile = "icnrobj";

// The record's text and icon are the library's string and handle values, each exactly the
// pointer the container window reads from the record.
static_assert(sizeof(IString) == sizeof(char*) && alignof(IString) <= alignof(char*),
              "the record's text must be one pointer");
static_assert(sizeof(IPointerHandle) == sizeof(HICON__*) && alignof(IPointerHandle) <= alignof(HICON__*),
              "the record's icon must be one handle");

// Selection, cursor and in-use emphasis belong to where an object is shown, not to the object.
constexpr std::uint32_t kNotCopied = CRA_SELECTED | CRA_CURSORED | CRA_INUSE;

// Repaint one record: erase it, its text did not change.
constexpr std::uint16_t kRepaintFlags = 0x000C;

} // namespace

// Construction -------------------------------------------------------------------------------------

ICnrObj::ICnrObj()
{
    initialize();
}

ICnrObj::ICnrObj(const IPointerHandle& icon, const IString& iconText)
{
    initialize();
    recordIcon() = icon;
    recordText() = iconText;
}

ICnrObj::ICnrObj(const IString& iconText, unsigned long iconId)
{
    initialize();
    recordText() = iconText;
    if (iconId != 0) {
        disableRefresh();
        setIcon(iconId);
        enableRefresh();
    }
}

ICnrObj::ICnrObj(const IString& iconText, const IResourceId& iconId)
{
    initialize();
    recordText() = iconText;
    if (iconId.id() != 0) {
        disableRefresh();
        setIcon(iconId);
        enableRefresh();
    }
}

ICnrObj::ICnrObj(const IResourceId& textId, const IResourceId& iconId)
{
    initialize();
    disableRefresh();
    if (iconId.id() != 0)
        setIcon(iconId);
    if (textId.id() != 0)
        setIconText(textId);
    enableRefresh();
}

ICnrObj::ICnrObj(const ICnrObj& other) : IVBase(other)
{
    initialize();
    const MINIRECORDCORE* source = other.fRecord;
    fRecord->flRecordAttr = source->flRecordAttr & ~kNotCopied;
    fRecord->ptlIcon = source->ptlIcon;
    disableRefresh();
    setIcon(other.icon());
    setIconText(other.iconText());
    enableRefresh();
}

ICnrObj& ICnrObj::initialize()
{
    fCollectedParent = nullptr;
    fNativeItems.onlyContainer = nullptr;
    fNativeItemsMade = 0;
    fNativeItemsListed = 0;
    fOnlyEntryState = 0;
#if defined(_WIN64)
    fOnlyEntryTreeItem = 0;
#endif
    fRecord = reinterpret_cast<MINIRECORDCORE*>(reinterpret_cast<char*>(this) -
                                                sizeof(MINIRECORDCORE));
    // Checked before anything is written there: memory that is not a record header must stay
    // as it is.
    if (fRecord->cb != sizeof(MINIRECORDCORE))
        IThrow::message(OVK_MSG_NOT_A_CONTAINER_RECORD,
                        IEXCEPTION_LOCATION(kFile, "ICnrObj::initialize()"));
    constructRecordMembers();
    fRecord->flRecordAttr = CRA_DROPONABLE | CRA_RECORDREADONLY;
    fState |= initialized;
    fContainerCount = 0;
    fKeepRecord = 0;
    return *this;
}

void ICnrObj::constructRecordMembers() noexcept
{
    new (&fRecord->pszIcon) IString();
    new (&fRecord->hptrIcon) IPointerHandle();
}

IString& ICnrObj::recordText() const noexcept
{
    return *std::launder(reinterpret_cast<IString*>(&fRecord->pszIcon));
}

IPointerHandle& ICnrObj::recordIcon() const noexcept
{
    return *std::launder(reinterpret_cast<IPointerHandle*>(&fRecord->hptrIcon));
}

// Destruction ---------------------------------------------------------------------------------------

ICnrObj::~ICnrObj()
{
    changeState(beingDestroyed, true);
    if (!isKeepingRecord())
        removeFromContainers();
    recordText().~IString();
    recordIcon().~IPointerHandle();
    nativeItems().release();
}

// The mark shares its word with the native entries' bits, which the container windows of other
// threads change: the whole word is rewritten, so it is written and read under the lock over all
// objects.
IBase::Boolean ICnrObj::isKeepingRecord() const noexcept
{
    const ICnrAllObjectsLock lock;
    return fKeepRecord != 0;
}

void ICnrObj::keepRecord(IBase::Boolean keep) noexcept
{
    const ICnrAllObjectsLock lock;
    fKeepRecord = keep ? 1 : 0;
}

// A container adds to the count before its window takes the record, so that no other container
// can find the count at 0 and delete the object while a window is about to show it.
IBase::Boolean ICnrObj::removeLastContainerReference() noexcept
{
    const ICnrAllObjectsLock lock;
    if (--fContainerCount != 0)
        return false;
    fKeepRecord = 1;
    return true;
}

std::uint32_t ICnrObj::state() const noexcept
{
    const ICnrAllObjectsLock lock;
    return fState;
}

unsigned long ICnrObj::containerCount() const noexcept
{
    const ICnrAllObjectsLock lock;
    return fContainerCount;
}

std::uint32_t ICnrObj::changeState(std::uint32_t bits, bool on) noexcept
{
    const ICnrAllObjectsLock lock;
    const std::uint32_t old = fState;
    fState = on ? (fState | bits) : (fState & ~bits);
    return old;
}

ICnrItemTable ICnrObj::nativeItems() const noexcept
{
    return ICnrItemTable(const_cast<ICnrObj&>(*this));
}

// Takes the object, and with it every object under it, out of every container that still holds
// it, so that no window is left with a record whose memory is about to be freed. Each container
// is repainted once, after the whole tree is gone, rather than once per object.
void ICnrObj::removeFromContainers() noexcept
{
    const bool repaint = isRefreshOn();
    disableRefresh();
    // The descendants are collected from every container before any is removed: each removal
    // changes a container and so invalidates a cursor that would walk them. A tree shown in
    // two containers is collected once and each of its objects deleted once.
    std::vector<ICnrObj*> descendants;
    if (fState & hasChildren)
        collectDescendants(descendants);
    std::vector<ICnrObj*> owned;
    for (ICnrObj* descendant : descendants) {
        {
            const ICnrAllObjectsLock lock;
            if (descendant->fState & (beingDestroyed | destroyedAsDescendant))
                continue;
            descendant->fState |= destroyedAsDescendant;
        }
        owned.push_back(descendant);
    }
    for (const ICnrList::Member& member : ICnrList::members()) {
        ICnrCtl* const container = member.container;
        try {
            const ICnrList::Use use(member);
            if (!use || !container->containsObject(this))
                continue;
            // The deepest first, so that each leaves while its parent is still there.
            for (auto at = descendants.rbegin(); at != descendants.rend(); ++at) {
                if (!container->containsObject(*at))
                    continue;
                (*at)->disableRefresh();
                container->removeObject(*at, false);
            }
            container->removeObject(this, false);
            container->markRefreshPending();
        } catch (const IException& failure) {
            IAssertion::report(failure);
        }
    }
    for (ICnrObj* descendant : owned)
        delete descendant;
    if (repaint && !(fState & destroyedAsDescendant)) {
        try {
            ICnrCtl::refreshPendingContainers();
        } catch (const IException& failure) {
            IAssertion::report(failure);
        }
    }
}

void ICnrObj::collectDescendants(std::vector<ICnrObj*>& descendants) const noexcept
{
    for (const ICnrList::Member& member : ICnrList::members()) {
        ICnrCtl* const container = member.container;
        try {
            const ICnrList::Use use(member);
            if (!use || !container->containsObject(this))
                continue;
            std::unique_ptr<ICnrCtl::ObjectList> found(
                container->descendentsOf(const_cast<ICnrObj*>(this)));
            ICnrCtl::ObjectList::Cursor cursor(*found);
            for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
                ICnrObj* descendant = found->elementAt(cursor);
                if (std::find(descendants.begin(), descendants.end(), descendant) ==
                    descendants.end())
                    descendants.push_back(descendant);
            }
        } catch (const IException& failure) {
            IAssertion::report(failure);
        }
    }
}

// Walks the containers that hold the object. The lock of the list of all containers is held
// only to read the list, never while a container is sent to; each container is held in use while
// the operation runs on it.
template <class Operation>
void ICnrObj::forEachContainer(Operation operation) const
{
    for (const ICnrList::Member& member : ICnrList::members()) {
        const ICnrList::Use use(member);
        if (use && member.container->containsObject(this))
            operation(member.container);
    }
}

// Description ------------------------------------------------------------------------------------------

IString ICnrObj::asString() const
{
    return IString("ICnrObj(") + iconText() + ")";
}

IString ICnrObj::asDebugInfo() const
{
    return asString() + IString(",state=") + IString(static_cast<unsigned long>(state())) +
           IString(",containers=") + IString(containerCount());
}

// Icon and text -------------------------------------------------------------------------------------------

ICnrObj& ICnrObj::setIcon(const IPointerHandle& icon)
{
    recordIcon() = icon;
    if (isRefreshOn())
        refresh();
    else if (containerCount() != 0)
        ICnrItemTable::noteUnshownChange();
    return *this;
}

ICnrObj& ICnrObj::setIcon(const IResourceId& iconId)
{
    return setIcon(iconId.resourceLibrary().loadIcon(iconId.id()));
}

ICnrObj& ICnrObj::setIcon(unsigned long iconId)
{
    if (iconId == 0)
        return setIcon(IPointerHandle());
    return setIcon(IApplication::current().userResourceLibrary().loadIcon(iconId));
}

ICnrObj& ICnrObj::setIconText(const char* iconText)
{
    return setIconText(IString(iconText));
}

// The native containers read the text on their own threads whenever they draw the object, under
// the lock over all objects. The text is replaced under that lock too, and the one it replaces is
// let go only after it, so that no window reads a text this thread is freeing. The message-driven
// containers read it without the lock: the repaint asks each that holds the object, on its own
// thread, so none is reading the text replaced once it is over; without a repaint the text is kept
// until each has gone back to its message loop.
ICnrObj& ICnrObj::setIconText(const IString& iconText)
{
    IString replaced = iconText;
    {
        const ICnrAllObjectsLock lock;
        std::swap(recordText(), replaced);
    }
    if (isRefreshOn()) {
        refresh();
    } else if (containerCount() != 0) {
        ICnrItemTable::noteUnshownChange();
        ICnrReplacedTexts::keepWhileRead(std::move(replaced));
    }
    return *this;
}

ICnrObj& ICnrObj::setIconText(const IResourceId& textId)
{
    return setIconText(textId.resourceLibrary().loadString(textId.id()));
}

IPointerHandle ICnrObj::icon() const
{
    return recordIcon();
}

IString ICnrObj::iconText() const
{
    return ICnrItemTable::textOf(*this);
}

// Emphasis and attributes -----------------------------------------------------------------------------------

ICnrObj& ICnrObj::setInUse(IBase::Boolean inUse, ICnrCtl* container)
{
    return setEmphasis(CRA_INUSE, inUse, container);
}

ICnrObj& ICnrObj::removeInUse(ICnrCtl* container)
{
    return setEmphasis(CRA_INUSE, false, container);
}

ICnrObj& ICnrObj::setWriteable(IBase::Boolean writeable, ICnrCtl* container)
{
    return writeable ? setAttributes(CRA_RECORDREADONLY, 0, container)
                     : setAttributes(0, CRA_RECORDREADONLY, container);
}

ICnrObj& ICnrObj::disableDataUpdate(ICnrCtl* container)
{
    return setAttributes(0, CRA_RECORDREADONLY, container);
}

ICnrObj& ICnrObj::setDropOnAble(IBase::Boolean dropOnAble, ICnrCtl* container)
{
    return dropOnAble ? setAttributes(0, CRA_DROPONABLE, container)
                      : setAttributes(CRA_DROPONABLE, 0, container);
}

ICnrObj& ICnrObj::disableDrop(ICnrCtl* container)
{
    return setAttributes(CRA_DROPONABLE, 0, container);
}

ICnrObj& ICnrObj::show(IBase::Boolean show, ICnrCtl* container)
{
    // The word is shared: a native container's thread writes its own bits into it whenever it
    // is asked for the record's attributes, so the bit is changed in one step under the lock.
    std::uint32_t old = 0;
    std::uint32_t now = 0;
    {
        const ICnrAllObjectsLock lock;
        old = fRecord->flRecordAttr;
        now = show ? (old & ~CRA_FILTERED) : (old | CRA_FILTERED);
        fRecord->flRecordAttr = now;
    }
    if (old == now)
        return *this;
    // The bit lives in the one record that every container shows: each of them repaints it.
    const auto repaint = [this, show](ICnrCtl* holder) {
        std::uint16_t flags = (isRefreshOn() && holder->isRefreshOn()) ? 0x000A : 0x0001;
        if (!show)
            flags |= 0x1000;
        MINIRECORDCORE* records[1] = {fRecord};
        holder->sendEvent(CM_INVALIDATERECORD, records, IEventData(std::uint16_t(1), flags));
    };
    if (!container)
        forEachContainer(repaint);
    else if (container->containsObject(this))
        repaint(container);
    return *this;
}

ICnrObj& ICnrObj::hide(ICnrCtl* container)
{
    return show(false, container);
}

ICnrObj& ICnrObj::refresh(ICnrCtl* container, IBase::Boolean immediate)
{
    const auto repaint = [this, immediate](ICnrCtl* holder) {
        if (!holder->isVisible() || !holder->isRefreshOn()) {
            ICnrItemTable::noteUnshownChange();
            return;
        }
        MINIRECORDCORE* records[1] = {fRecord};
        holder->sendEvent(CM_INVALIDATERECORD, records, IEventData(std::uint16_t(1), kRepaintFlags));
        if (immediate)
            UpdateWindow(holder->handle());
    };
    if (container) {
        if (container->containsObject(this))
            repaint(container);
    } else {
        forEachContainer(repaint);
    }
    return *this;
}

ICnrObj& ICnrObj::enableRefresh(IBase::Boolean enable)
{
    changeState(refreshOff, !enable);
    return *this;
}

ICnrObj& ICnrObj::disableRefresh()
{
    return enableRefresh(false);
}

IBase::Boolean ICnrObj::isInUse(ICnrCtl* container) const
{
    return hasAttributes(CRA_INUSE, container);
}

IBase::Boolean ICnrObj::isWriteable(ICnrCtl* container) const
{
    return !hasAttributes(CRA_RECORDREADONLY, container);
}

IBase::Boolean ICnrObj::isDropOnAble(ICnrCtl* container) const
{
    return hasAttributes(CRA_DROPONABLE, container);
}

IBase::Boolean ICnrObj::isVisible(ICnrCtl* container) const
{
    return !hasAttributes(CRA_FILTERED, container);
}

IBase::Boolean ICnrObj::isRefreshOn() const
{
    return !(state() & refreshOff);
}

ICnrObj& ICnrObj::setOpen(IBase::Boolean open)
{
    if (!open)
        return close();
    changeState(opened, true);
    return setInUse(true);
}

ICnrObj& ICnrObj::close()
{
    changeState(opened, false);
    return removeInUse();
}

IBase::Boolean ICnrObj::isOpen() const
{
    return isInUse();
}

ICnrObj& ICnrObj::open(ICnrCtl*)
{
    return setOpen(true);
}

void ICnrObj::inUseChangedHook(ICnrCtl*, IBase::Boolean) {}
void ICnrObj::cursoredChangedHook(ICnrCtl*, IBase::Boolean) {}
void ICnrObj::selectedChangedHook(ICnrCtl*, IBase::Boolean) {}
void ICnrObj::treeCollapsedHook(ICnrCtl*) {}
void ICnrObj::treeExpandedHook(ICnrCtl*) {}

unsigned long ICnrObj::helpId() const
{
    return 0;
}

ICnrObj* ICnrObj::objectCopy()
{
    if (state() & derivedSize)
        IThrow::message(OVK_MSG_OBJECT_COPY_NOT_OVERRIDDEN,
                        IEXCEPTION_LOCATION(kFile, "ICnrObj::objectCopy()"));
    return new ICnrObj(*this);
}

ICnrObj& ICnrObj::setEmphasis(unsigned long emphasis, IBase::Boolean on, ICnrCtl* container)
{
    if (container)
        container->setEmphasis(this, emphasis, on);
    else
        forEachContainer([&](ICnrCtl* holder) { holder->setEmphasis(this, emphasis, on); });
    return *this;
}

ICnrObj& ICnrObj::setAttributes(unsigned long off, unsigned long on, ICnrCtl* container)
{
    if (container) {
        container->setAttributes(this, off, on);
        return *this;
    }
    forEachContainer([&](ICnrCtl* holder) { holder->setAttributes(this, off, on); });
    const ICnrAllObjectsLock lock;
    fRecord->flRecordAttr = static_cast<std::uint32_t>((fRecord->flRecordAttr & ~off) | on);
    return *this;
}

// Containers of several threads add and remove the same object at once.
ICnrObj& ICnrObj::addContainerReference()
{
    const ICnrAllObjectsLock lock;
    ++fContainerCount;
    return *this;
}

ICnrObj& ICnrObj::removeContainerReference()
{
    const ICnrAllObjectsLock lock;
    --fContainerCount;
    return *this;
}

ICnrObj& ICnrObj::setRecordLink(std::uintptr_t link)
{
    fRecord = reinterpret_cast<MINIRECORDCORE*>(link);
    return *this;
}

// True unless some container that holds the object has none of the bits.
IBase::Boolean ICnrObj::hasAttributes(unsigned long attributes, ICnrCtl* container) const
{
    if (container)
        return (container->attributes(this) & attributes) != 0;
    bool all = true;
    forEachContainer([&](ICnrCtl* holder) {
        if (!(holder->attributes(this) & attributes))
            all = false;
    });
    return all;
}
