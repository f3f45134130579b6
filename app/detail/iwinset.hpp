// The per-thread collections that the window core keeps in each thread's record: the window
// set (window objects by native handle) and the native controls that the library subclassed.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class IWindow;

// The window objects of one thread, keyed by native handle. Finding a window is on the road of
// every message that misses the window procedure's cache, so the set hashes into one flat array
// (open addressing, linear probing): a lookup touches one or two adjacent slots, and costs about
// the same among ten windows as among ten thousand.
//
// Look-ups take the set's own guard shared, changes take it exclusively; the guard is a leaf:
// nothing else is locked or called while it is held. Adding and removing happen under the
// library lock as well (IWindow::libraryLock()), which is what keeps a window object alive
// while another thread walks the sets.
class IWindowSet {
public:
    IWindowSet() noexcept { InitializeSRWLock(&fGuard); }
    IWindowSet(const IWindowSet&) = delete;
    IWindowSet& operator=(const IWindowSet&) = delete;

    // False when the handle already has a window object.
    bool add(HWND handle, IWindow* window) {
        Exclusive lock(fGuard);
        if (slotOf(handle))
            return false;
        // At most three quarters full, so that probe runs stay short.
        if ((fCount + 1) * 4 > fSlots.size() * 3)
            rehash(fSlots.empty() ? 16 : fSlots.size() * 2);
        Slot* slot = &fSlots[indexOf(handle)];
        while (slot->handle)
            slot = &fSlots[next(static_cast<std::size_t>(slot - fSlots.data()))];
        *slot = {handle, window};
        ++fCount;
        changed();
        return true;
    }
    // Removes the entry of the handle when it belongs to this window object.
    bool remove(HWND handle, const IWindow* window) noexcept {
        Exclusive lock(fGuard);
        Slot* slot = slotOf(handle);
        if (!slot || slot->window != window)
            return false;
        erase(static_cast<std::size_t>(slot - fSlots.data()));
        return true;
    }
    // Removes the window object under whatever handle it was filed (its native window is gone,
    // so its handle may not be the one it was filed under any more).
    bool removeWindow(const IWindow* window) noexcept {
        Exclusive lock(fGuard);
        for (std::size_t i = 0; i < fSlots.size(); ++i) {
            if (fSlots[i].handle && fSlots[i].window == window) {
                erase(i);
                return true;
            }
        }
        return false;
    }
    IWindow* find(HWND handle) const noexcept {
        Shared lock(fGuard);
        const Slot* slot = slotOf(handle);
        return slot ? slot->window : nullptr;
    }
    // As find(), for the thread that owns the set only: the window procedure asks for the same
    // window many times in a row, and the last answer stands while the set has not changed,
    // without the guard. A change moves the stamp (from any thread); the stamp is read before
    // the look-up, so an answer that raced with a change is never kept as current.
    IWindow* findOnOwnThread(HWND handle) noexcept {
        const unsigned long stamp = fStamp.load(std::memory_order_acquire);
        if (handle == fLastHandle && stamp == fLastStamp)
            return fLastWindow;
        IWindow* window = find(handle);
        fLastHandle = handle;
        fLastWindow = window;
        fLastStamp = stamp;
        return window;
    }
    bool contains(const IWindow* window) const noexcept {
        Shared lock(fGuard);
        for (const Slot& slot : fSlots) {
            if (slot.handle && slot.window == window)
                return true;
        }
        return false;
    }
    // The window objects at this moment, for walks that call out while they go.
    std::vector<IWindow*> windows() const {
        std::vector<IWindow*> result;
        Shared lock(fGuard);
        result.reserve(fCount);
        for (const Slot& slot : fSlots) {
            if (slot.handle)
                result.push_back(slot.window);
        }
        return result;
    }
    std::size_t size() const noexcept {
        Shared lock(fGuard);
        return fCount;
    }

private:
    struct Slot {
        HWND handle;
        IWindow* window;
    };
    struct Exclusive {
        explicit Exclusive(SRWLOCK& guard) noexcept : fLock(guard) { AcquireSRWLockExclusive(&fLock); }
        ~Exclusive() { ReleaseSRWLockExclusive(&fLock); }
        SRWLOCK& fLock;
    };
    struct Shared {
        explicit Shared(SRWLOCK& guard) noexcept : fLock(guard) { AcquireSRWLockShared(&fLock); }
        ~Shared() { ReleaseSRWLockShared(&fLock); }
        SRWLOCK& fLock;
    };

    // Handles are small, evenly spaced numbers; the multiplication spreads them over the table.
    std::size_t indexOf(HWND handle) const noexcept {
        const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
        return static_cast<std::size_t>((value * 0x9E3779B97F4A7C15ull) >> 32) & (fSlots.size() - 1);
    }
    std::size_t next(std::size_t index) const noexcept { return (index + 1) & (fSlots.size() - 1); }

    Slot* slotOf(HWND handle) const noexcept {
        if (fSlots.empty() || !handle)
            return nullptr;
        for (std::size_t i = indexOf(handle);; i = next(i)) {
            const Slot& slot = fSlots[i];
            if (slot.handle == handle)
                return const_cast<Slot*>(&slot);
            if (!slot.handle)
                return nullptr;
        }
    }
    // Empties a slot and moves later entries of its probe run back, so that no run is broken
    // (no tombstones to skip later).
    void erase(std::size_t hole) noexcept {
        fSlots[hole] = {};
        --fCount;
        changed();
        for (std::size_t i = next(hole); fSlots[i].handle; i = next(i)) {
            const std::size_t home = indexOf(fSlots[i].handle);
            // The entry may fill the hole when its home is not cyclically in (hole, i].
            const bool homeInRun = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
            if (!homeInRun) {
                fSlots[hole] = fSlots[i];
                fSlots[i] = {};
                hole = i;
            }
        }
    }
    void rehash(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(fSlots);
        for (const Slot& slot : old) {
            if (!slot.handle)
                continue;
            std::size_t i = indexOf(slot.handle);
            while (fSlots[i].handle)
                i = next(i);
            fSlots[i] = slot;
        }
    }

    // Under the exclusive guard, after the change.
    void changed() noexcept { fStamp.fetch_add(1, std::memory_order_release); }

    mutable SRWLOCK fGuard;
    std::vector<Slot> fSlots;
    std::size_t fCount = 0;
    std::atomic<unsigned long> fStamp{0};
    // The owning thread's last answer and the stamp it was found under. Before the first
    // look-up the answer kept is that the null handle has no window object, which holds.
    HWND fLastHandle = nullptr;
    IWindow* fLastWindow = nullptr;
    unsigned long fLastStamp = 0;
};

// Native controls inside the library's composite controls, subclassed with the control
// procedure: each control's own previous procedure and the window that owns it. Used only by
// the thread that owns the controls.
class ISubclassedControls {
public:
    struct Entry {
        WNDPROC previousProcedure;
        HWND owner;
    };

    void add(HWND control, const Entry& entry) { fControls[control] = entry; }
    void remove(HWND control) noexcept { fControls.erase(control); }
    const Entry* find(HWND control) const noexcept {
        auto found = fControls.find(control);
        return found == fControls.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<HWND, Entry> fControls;
};
