// The library critical section: a recursive native critical section, created on first use,
// that guards the small caches on the road of every message (the window procedure's control
// cache, the thread-lookup cache and its table stamp).
#pragma once

#include "../idefs.hpp"

// Entered by constructing a guard, left by destroying it. It is held only for a few loads and
// stores, never while calling out, and no other lock is taken while it is held.
class OVKWIN_API ICritSec {
public:
    ICritSec() noexcept;
    ~ICritSec();
    ICritSec(const ICritSec&) = delete;
    ICritSec& operator=(const ICritSec&) = delete;

    // The number of guards alive in the process.
    static unsigned long guardCount() noexcept;
};
