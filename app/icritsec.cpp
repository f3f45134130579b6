// The library critical section.
#include <windows.h>

#include <atomic>

#include "detail/icritsec.hpp"

namespace {

CRITICAL_SECTION& section() noexcept
{
    // Created on first use; the language makes the initialisation happen once even when two
    // threads arrive together. Never deleted: threads may still pass during process detach.
    static CRITICAL_SECTION* created = [] {
        static CRITICAL_SECTION storage;
        InitializeCriticalSection(&storage);
        return &storage;
    }();
    return *created;
}

std::atomic<unsigned long> gGuards{0};

} // namespace

ICritSec::ICritSec() noexcept
{
    EnterCriticalSection(&section());
    // Changed only inside the section, so a plain store suffices; atomic for the readers.
    gGuards.store(gGuards.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

ICritSec::~ICritSec()
{
    gGuards.store(gGuards.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
    LeaveCriticalSection(&section());
}

unsigned long ICritSec::guardCount() noexcept
{
    return gGuards.load(std::memory_order_relaxed);
}
