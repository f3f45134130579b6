// Resource guards: recursive locks that a thread may take more than once, with an RAII lock.
#pragma once

#include "ibasedef.hpp"
#include "istring.hpp"
#include "ivbase.hpp"

// A lock that the holding thread may take again; it is free once every lock() has been matched
// by an unlock(). Waiting is unlimited by default; a wait with a time limit that runs out throws
// IRuntimeError "IResource::lock: time-out". Unlocking a resource that the calling thread does
// not hold fails the state check "isLockedByCurrentThread()" instead of corrupting the lock.
//
// The library keeps its guards as statics created on first use (a function-local static or a
// pointer set inside one), which the language initialises once even when several threads ask
// at the same time.
class OVKBASE_API IResource : public IVBase {
public:
    static constexpr long unlimited = -1;

    virtual IResource& lock(long timeoutMilliseconds = unlimited) = 0;
    virtual IResource& unlock() = 0;
    virtual IBase::Boolean isLockedByCurrentThread() const = 0;

protected:
    IResource() = default;
};

// A resource private to the process.
class OVKBASE_API IPrivateResource : public IResource {
public:
    // The name only shows in asString(), for diagnostics.
    explicit IPrivateResource(const char* name = nullptr);
    ~IPrivateResource() override;
    IPrivateResource(const IPrivateResource&) = delete;
    IPrivateResource& operator=(const IPrivateResource&) = delete;

    IPrivateResource& lock(long timeoutMilliseconds = unlimited) override;
    IPrivateResource& unlock() override;
    IBase::Boolean isLockedByCurrentThread() const override;
    // How many times the calling thread holds the lock (0 when it does not).
    unsigned long lockCount() const;

    // "IPrivateResource(name)".
    IString asString() const override;

private:
    struct Data;
    Data* fData;
};

// Holds a resource locked for its own lifetime.
class OVKBASE_API IResourceLock {
public:
    explicit IResourceLock(IResource& resource, long timeoutMilliseconds = IResource::unlimited);
    ~IResourceLock();
    IResourceLock(const IResourceLock&) = delete;
    IResourceLock& operator=(const IResourceLock&) = delete;

private:
    IResource& fResource;
};
