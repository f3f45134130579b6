// Recursive resource guards.
#include "iresource.hpp"

#include "iexcept.hpp"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// The guard keeps its own owner and depth on top of a plain timed mutex: that gives recursion,
// waits with a time limit, and a checked unlock (a recursive mutex unlocked by a thread that
// does not hold it is undefined behaviour).
struct IPrivateResource::Data {
    std::timed_mutex mutex;
    std::atomic<std::thread::id> owner{std::thread::id()};
    unsigned long depth = 0; // changed only by the owner
    IString name;
};

IPrivateResource::IPrivateResource(const char* name) : fData(new Data) {
    fData->name = IString(name);
}

IPrivateResource::~IPrivateResource() { delete fData; }

IPrivateResource& IPrivateResource::lock(long timeoutMilliseconds) {
    const std::thread::id self = std::this_thread::get_id();
    if (fData->owner.load(std::memory_order_relaxed) == self) {
        ++fData->depth;
        return *this;
    }
    if (timeoutMilliseconds < 0) {
        fData->mutex.lock();
    } else if (!fData->mutex.try_lock_for(std::chrono::milliseconds(timeoutMilliseconds))) {
        IThrow::runtime("IResource::lock: time-out",
                        IExceptionLocation("iresource", "IPrivateResource::lock(long)", __LINE__));
    }
    fData->owner.store(self, std::memory_order_relaxed);
    fData->depth = 1;
    return *this;
}

IPrivateResource& IPrivateResource::unlock() {
    if (!isLockedByCurrentThread()) {
        IThrow::state("isLockedByCurrentThread()",
                      IExceptionLocation("iresource", "IPrivateResource::unlock()", __LINE__));
    }
    if (--fData->depth == 0) {
        fData->owner.store(std::thread::id(), std::memory_order_relaxed);
        fData->mutex.unlock();
    }
    return *this;
}

IBase::Boolean IPrivateResource::isLockedByCurrentThread() const {
    return fData->owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

unsigned long IPrivateResource::lockCount() const {
    return isLockedByCurrentThread() ? fData->depth : 0;
}

IString IPrivateResource::asString() const { return "IPrivateResource(" + fData->name + ")"; }

IResourceLock::IResourceLock(IResource& resource, long timeoutMilliseconds)
    : fResource(resource) {
    fResource.lock(timeoutMilliseconds);
}

IResourceLock::~IResourceLock() {
    // The lock was taken by this thread in the constructor, so unlock cannot fail here.
    try {
        fResource.unlock();
    } catch (...) {
    }
}
