// The private data record of a window object: the state that the window procedure and the
// dispatcher read and write on the road of every message.
#pragma once

#include <windows.h>

#include <iobserver.hpp>
#include <iresource.hpp>
#include <isequenc.hpp>

#include <atomic>

#include "../icolor.hpp"
#include "../ifont.hpp"

class IHandler;

// One entry of a window's handler list. A handler detached while the window dispatches is only
// marked; the outermost dispatch purges it. The mark may be set from another thread (a handler
// destroyed there), hence atomic.
struct IHandlerEntry {
    IHandler* handler;
    mutable std::atomic<bool> removed;

    explicit IHandlerEntry(IHandler* entryHandler) noexcept : handler(entryHandler), removed(false) {}
    IHandlerEntry(const IHandlerEntry& other) noexcept
        : handler(other.handler), removed(other.removed.load(std::memory_order_relaxed)) {}
    IHandlerEntry& operator=(const IHandlerEntry& other) noexcept {
        handler = other.handler;
        removed.store(other.removed.load(std::memory_order_relaxed), std::memory_order_relaxed);
        return *this;
    }
    bool operator==(const IHandlerEntry& other) const noexcept { return handler == other.handler; }
};

// New entries go in front, and the dispatcher walks from the front: the handler attached last
// is offered an event first.
using IHandlerList = ISequence<IHandlerEntry>;

// A change to some window's handler list (adding, removing, detaching every handler), made under
// the library lock and announced while it runs. A dispatch marks its window as dispatching
// without taking the lock, then looks whether a change is running: a change that began before
// the mark could not see it and may unlink entries, so the dispatch then waits for the lock
// before it starts its walk. Both sides use sequentially consistent operations, so that one of
// them always sees the other (the change sees the mark, or the dispatch sees the change).
class IHandlerListChange {
public:
    explicit IHandlerListChange(IResource& libraryLock)
        : fLock(libraryLock)
    {
        fRunning.fetch_add(1, std::memory_order_seq_cst);
    }
    ~IHandlerListChange() { fRunning.fetch_sub(1, std::memory_order_seq_cst); }
    IHandlerListChange(const IHandlerListChange&) = delete;
    IHandlerListChange& operator=(const IHandlerListChange&) = delete;

    static bool isAnyRunning() noexcept { return fRunning.load(std::memory_order_seq_cst) != 0; }

private:
    IResourceLock fLock;
    static inline std::atomic<unsigned long> fRunning{0};
};

// Notification state: the observers, the handler that turns events into notifications, and
// whether notification is on.
struct IWindowObservers {
    IObserverList* list = nullptr;
    IHandler* handler = nullptr;
    bool enabled = false;

    IWindowObservers() = default;
    IWindowObservers(const IWindowObservers&) = delete;
    IWindowObservers& operator=(const IWindowObservers&) = delete;
    ~IWindowObservers() { delete list; }
};

struct IWindowData {
    // The state flags.
    enum Flag : unsigned long {
        deleteOnDestroy = 0x1,
        destroyOnDelete = 0x2,
        beingDestroyed = 0x4,
        topLevel = 0x8,
        inWindowSet = 0x10,
        deleteAfterDispatch = 0x40,
        ownedFont = 0x400,
        backgroundColorSet = 0x800,
        foregroundColorSet = 0x1000,
        minimumSizeCacheOn = 0x2000,
    };

    explicit IWindowData(unsigned long initialFlags) noexcept : flags(initialFlags) {}
    IWindowData(const IWindowData&) = delete;
    IWindowData& operator=(const IWindowData&) = delete;
    ~IWindowData() {
        delete handlers;
        delete observers;
        delete foregroundColor;
        delete backgroundColor;
        delete font;
    }

    bool hasFlag(Flag flag) const noexcept {
        return (flags.load(std::memory_order_relaxed) & flag) != 0;
    }
    // The dispatching mark, read as a handler-list change must read it (see IHandlerListChange).
    bool isDispatching() const noexcept { return dispatching.load(std::memory_order_seq_cst); }
    void setFlag(Flag flag, bool on = true) noexcept {
        if (on)
            flags.fetch_or(flag, std::memory_order_relaxed);
        else
            flags.fetch_and(~static_cast<unsigned long>(flag), std::memory_order_relaxed);
    }

    WNDPROC previousProcedure = DefWindowProcA;
    // Written by the window's own thread; read under the library lock by threads that detach
    // handlers, so the word is atomic.
    std::atomic<unsigned long> flags;
    // Set while a dispatch of the window runs; a word of its own, so that ending a dispatch is a
    // plain store rather than a locked change of the flags.
    std::atomic<bool> dispatching{false};
    unsigned long layoutFlags = 0;
    unsigned long helpId = 0;
    unsigned long extendedStyle = 0;
    IHandlerList* handlers = nullptr;
    LONG explicitMinimumWidth = -1;
    LONG explicitMinimumHeight = -1;
    LONG cachedMinimumWidth = 0;
    LONG cachedMinimumHeight = 0;
    LONG cachedCharacterWidth = 0;
    LONG cachedCharacterHeight = 0;
    IWindowObservers* observers = nullptr;
    // Set under the library lock, also by other threads; read by the dispatch without it.
    std::atomic<bool> purgePending{false};
    // Counts the changes to the stacking order of this window's children that the library has
    // seen: a window object's child restacked, re-parented in or let go, a native child created
    // or destroyed. A list of children kept from a walk that found only window objects' children
    // is current while the count stands. Bumped by the children's threads, so the word is atomic.
    std::atomic<unsigned long> childOrderChanges{0};
    bool minimumSizeUpdate = false;
    HACCEL accelerator = nullptr;
    HWND ownerHandle = nullptr;
    // Click tracking: the last recorded press (time 0 = none; 1 = a press seen on a class that
    // gets double clicks from the system).
    DWORD buttonDownTime = 0;
    HWND buttonDownWindow = nullptr;
    UINT buttonDownMessage = 0;
    WORD buttonDownX = 0;
    WORD buttonDownY = 0;
    bool doubleClickSeen = false;
    LONG lastHeight = 0;
    LONG lastWidth = 0;
    // The colours set on the window (flags foregroundColorSet, backgroundColorSet) and the
    // window's own copy of the font it was given (flag ownedFont).
    IColor* foregroundColor = nullptr;
    IColor* backgroundColor = nullptr;
    IFont* font = nullptr;
    // Drag detection: a press over a child is pending until the pointer moves with the
    // pressing button held (dragButton, MK_LBUTTON or MK_RBUTTON) or the button goes up.
    bool dragPending = false;
    POINT dragStart = {0, 0};
    WPARAM dragButton = 0;
    // Set when the window object was deleted while it dispatched: the record outlives the
    // object until the outermost dispatch has ended, which then deletes it.
    bool objectDeleted = false;
};
