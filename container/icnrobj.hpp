// ICnrObj: an application object shown in containers, living behind its container record;
// ICnrAllocator: a batch of records for such objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <istring.hpp>
#include <ivbase.hpp>

#include <idefs.hpp>
#include <iptrhdl.hpp>
#include <ireslib.hpp>

#include "icnrmsg.hpp"

class ICnrCtl;
class ICnrObj;
class ICnrItemTable;
struct ICnrItemNode;

// A chain of records that the calling thread's allocation window hands out in one message, for
// objects made with the placement form `new (allocator) MyObject(...)`. The records that are
// never used go back when the allocator is destroyed.
class OVKWIN_API ICnrAllocator {
public:
    // `count` records with `objectSize` bytes behind each (CM_ALLOCRECORD). A count of 0 throws
    // message 69 before anything is sent; a refused allocation throws "CM_ALLOCRECORD".
    ICnrAllocator(unsigned long count, unsigned long objectSize);
    ICnrAllocator(const ICnrAllocator&) = delete;
    ICnrAllocator& operator=(const ICnrAllocator&) = delete;
    // Frees the records not handed out; a refused free is reported, never thrown.
    virtual ~ICnrAllocator();

    // The next record, or null when the chain is used up; advances past it.
    MINIRECORDCORE* takeNextRecord() noexcept;
    static MINIRECORDCORE* nextRecordOf(const MINIRECORDCORE* record) noexcept;
    unsigned long handedOut() const noexcept { return fHandedOut; }
    // The first record of the chain not yet inserted.
    MINIRECORDCORE* firstRecord() const noexcept { return fFirst; }
    // Once the records handed out are inserted: the objects made afterwards form a new chain.
    void forgetHandedOut() noexcept
    {
        fFirst = fNext;
        fHandedOut = 0;
    }
    // The bytes behind each record: the largest object the allocator can place.
    unsigned long objectSize() const noexcept { return fObjectSize; }
    // Counted by operator new once it has placed an object.
    void countHandedOut() noexcept { ++fHandedOut; }
    // A record handed out whose object's constructor threw: it leaves the chain and the count,
    // so that the record, freed afterwards, is never inserted.
    void takeBack(MINIRECORDCORE* record) noexcept;

private:
    MINIRECORDCORE* fFirst = nullptr;
    MINIRECORDCORE* fNext = nullptr;
    unsigned long fHandedOut = 0;
    unsigned long fObjectSize = 0;
};

// An object and its record are one block: the record header first, the object directly behind
// it. The container windows know only records; the library turns one into the other by address
// alone (objectOf, recordOf). Objects are owned by the application; containers only count them.
class OVKWIN_API ICnrObj : public IVBase {
public:
    // The state word.
    enum : std::uint32_t {
        initialized = 0x01,
        opened = 0x02,
        hasChildren = 0x08,
        refreshOff = 0x10,
        derivedSize = 0x40,
        beingDestroyed = 0x80,
        destroyedAsDescendant = 0x100,
    };

    ICnrObj();
    ICnrObj(const IPointerHandle& icon, const IString& iconText);
    ICnrObj(const IString& iconText, unsigned long iconId);
    ICnrObj(const IString& iconText, const IResourceId& iconId);
    ICnrObj(const IResourceId& textId, const IResourceId& iconId);
    // The record's attributes without selection, cursor and in-use emphasis, its icon
    // position, icon and text.
    ICnrObj(const ICnrObj& other);
    ICnrObj& operator=(const ICnrObj&) = delete;
    // Never throws: a record the allocation window refuses to free is reported.
    ~ICnrObj() override;

    // One record from the calling thread's allocation window ("CM_ALLOCRECORD" when refused),
    // or the allocator's next record (message 68 when it has none left; an object larger than
    // its records fails the argument check "size <= allocator.objectSize()").
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, ICnrAllocator& allocator);
    static void* operator new(std::size_t size, const char* file, std::size_t line,
                              ICnrAllocator& allocator);
    static void operator delete(void* object) noexcept;
    // Only when a constructor throws: the record leaves the allocator and goes back to the
    // allocation window.
    static void operator delete(void* object, ICnrAllocator& allocator) noexcept;
    static void operator delete(void* object, const char* file, std::size_t line,
                                ICnrAllocator& allocator) noexcept;
    static void* newRecord(std::size_t size);
    static void deleteRecord(void* object) noexcept;

    // "ICnrObj(<text>)" and the state for debugging.
    IString asString() const override;
    IString asDebugInfo() const override;

    // The virtual operations keep the order that code built against the library relies on.
    virtual ICnrObj& setIcon(const IPointerHandle& icon);
    virtual ICnrObj& setIcon(const IResourceId& iconId);
    // From the application's user resource library; 0 clears the icon.
    virtual ICnrObj& setIcon(unsigned long iconId);
    virtual ICnrObj& setIconText(const char* iconText);
    virtual ICnrObj& setIconText(const IString& iconText);
    virtual ICnrObj& setIconText(const IResourceId& textId);
    virtual IPointerHandle icon() const;
    virtual IString iconText() const;
    virtual ICnrObj& setInUse(IBase::Boolean inUse = true, ICnrCtl* container = nullptr);
    virtual ICnrObj& removeInUse(ICnrCtl* container = nullptr);
    // A new object is read-only: ICnrCtl::editObject throws "CM_OPENEDIT" until this opens it.
    virtual ICnrObj& setWriteable(IBase::Boolean writeable = true, ICnrCtl* container = nullptr);
    virtual ICnrObj& disableDataUpdate(ICnrCtl* container = nullptr);
    virtual ICnrObj& setDropOnAble(IBase::Boolean dropOnAble = true, ICnrCtl* container = nullptr);
    virtual ICnrObj& disableDrop(ICnrCtl* container = nullptr);
    virtual ICnrObj& show(IBase::Boolean show = true, ICnrCtl* container = nullptr);
    virtual ICnrObj& hide(ICnrCtl* container = nullptr);
    virtual ICnrObj& refresh(ICnrCtl* container = nullptr, IBase::Boolean immediate = false);
    virtual ICnrObj& enableRefresh(IBase::Boolean enable = true);
    virtual ICnrObj& disableRefresh();
    virtual IBase::Boolean isInUse(ICnrCtl* container = nullptr) const;
    virtual IBase::Boolean isWriteable(ICnrCtl* container = nullptr) const;
    virtual IBase::Boolean isDropOnAble(ICnrCtl* container = nullptr) const;
    virtual IBase::Boolean isVisible(ICnrCtl* container = nullptr) const;
    virtual IBase::Boolean isRefreshOn() const;
    virtual ICnrObj& setOpen(IBase::Boolean open = true);
    virtual ICnrObj& close();
    virtual IBase::Boolean isOpen() const;
    virtual ICnrObj& open(ICnrCtl* container = nullptr);
    virtual void inUseChangedHook(ICnrCtl* container, IBase::Boolean inUse);
    virtual void cursoredChangedHook(ICnrCtl* container, IBase::Boolean cursored);
    virtual void selectedChangedHook(ICnrCtl* container, IBase::Boolean selected);
    virtual void treeCollapsedHook(ICnrCtl* container);
    virtual void treeExpandedHook(ICnrCtl* container);
    virtual unsigned long helpId() const;
    // A copy that belongs to no container. An object of a derived class throws message 53
    // unless the class overrides this.
    virtual ICnrObj* objectCopy();
    virtual ICnrObj& setEmphasis(unsigned long emphasis, IBase::Boolean on = true,
                                 ICnrCtl* container = nullptr);
    virtual ICnrObj& setAttributes(unsigned long off, unsigned long on,
                                   ICnrCtl* container = nullptr);
    virtual ICnrObj& addContainerReference();
    virtual ICnrObj& removeContainerReference();
    virtual ICnrObj& setRecordLink(std::uintptr_t link);

protected:
    virtual ICnrObj& initialize();
    virtual IBase::Boolean hasAttributes(unsigned long attributes,
                                         ICnrCtl* container = nullptr) const;

public:
    // Record and object convert by address: a null record gives a null object and back.
    static ICnrObj* objectOf(const MINIRECORDCORE* record) noexcept;
    static MINIRECORDCORE* recordOf(const ICnrObj* object) noexcept;
    MINIRECORDCORE* record() const noexcept { return fRecord; }

    // The state word and the container count change on the threads of every container that
    // holds the object: each change is made under ICnrAllObjectsLock (detail/icnrlock.hpp).
    std::uint32_t state() const noexcept;
    unsigned long containerCount() const noexcept;
    IBase::Boolean isKeepingRecord() const noexcept;
    // Set by a container that disposes of its records itself: the destructor then neither
    // removes the object from containers nor frees its record.
    void keepRecord(IBase::Boolean keep = true) noexcept;
    // Takes away one container's reference and, when no container counts the object any more,
    // sets the keep-record mark, all in one step: whether it did. A container that disposes of
    // its records then deletes the object; only one of two closing at once can find it so.
    IBase::Boolean removeLastContainerReference() noexcept;
    ICnrObj* collectedParent() const noexcept { return fCollectedParent; }
    // Set when a child is inserted under the object, cleared again when the window refused the
    // first one: whether it was set before.
    bool markHasChildren(bool on = true) noexcept
    {
        return (changeState(hasChildren, on) & hasChildren) != 0;
    }
    // An object deleted as part of a larger deletion leaves the repaint to it.
    void markDestroyedAsDescendant() noexcept { changeState(destroyedAsDescendant, true); }
    void setCollectedParent(ICnrObj* parent) noexcept { fCollectedParent = parent; }
    // The object's entries in the native containers that hold it (detail/icnritem.hpp).
    ICnrItemTable nativeItems() const noexcept;

private:
    // Keeps the native entries in the words below.
    friend class ICnrItemTable;

    // The text and icon members in the record, as the library's string and handle values.
    void constructRecordMembers() noexcept;
    IString& recordText() const noexcept;
    // Sets or clears bits of the state word under ICnrAllObjectsLock: the word as it was.
    std::uint32_t changeState(std::uint32_t bits, bool on) noexcept;
    IPointerHandle& recordIcon() const noexcept;
    static void releaseRecordOf(void* object) noexcept;
    static void giveBackRecordOf(void* object, ICnrAllocator& allocator) noexcept;
    template <class Operation>
    void forEachContainer(Operation operation) const;
    void removeFromContainers() noexcept;
    void collectDescendants(std::vector<ICnrObj*>& descendants) const noexcept;

    // No default initialisers: operator new marks a derived object's state before the
    // constructor runs, and initialize() sets every field itself.
    std::uint32_t fState;
    std::uint32_t fContainerCount;
    ICnrObj* fCollectedParent;
    MINIRECORDCORE* fRecord;
    // The keep-record mark, and in the rest of its word what the native entries keep beside
    // fNativeItems (read and written under ICnrAllObjectsLock, container/detail/icnrlock.hpp,
    // as are the record's attribute word and text): whether an entry was ever made, whether fNativeItems holds the heap list,
    // and the state of the one entry held in the object otherwise. On 64-bit the word takes
    // the 32 bits that would pad it before fNativeItems, and that entry's tree item lies there
    // too: every user-mode address fits in them, so an object in one tree costs no heap block.
#if defined(_WIN64)
    std::uint64_t fKeepRecord : 1;
    std::uint64_t fNativeItemsMade : 1;
    std::uint64_t fNativeItemsListed : 1;
    std::uint64_t fOnlyEntryState : 7;
    std::uint64_t fOnlyEntryTreeItem : 54;
#else
    std::uint32_t fKeepRecord : 1;
    std::uint32_t fNativeItemsMade : 1;
    std::uint32_t fNativeItemsListed : 1;
    std::uint32_t fOnlyEntryState : 7;
#endif
    // The one native container that holds the object (null for none), or the first link of
    // the list on the heap.
    union {
        const ICnrCtl* onlyContainer;
        ICnrItemNode* list;
    } fNativeItems;
};

#if defined(_WIN32) && !defined(_WIN64)
// On 32-bit Windows an object of this class takes exactly as many bytes as its record header,
// which is what tells a derived object from a plain one.
static_assert(sizeof(ICnrObj) == 28, "ICnrObj");
#elif defined(_WIN64)
// The tree item in the word of the keep-record mark costs an object no byte.
static_assert(sizeof(ICnrObj) == 48, "ICnrObj");
#endif
