// The reference-counted root: objects that delete themselves when the last reference goes.
#pragma once

#include "ibasedef.hpp"
#include "ivbase.hpp"

#include <atomic>

// The use count is the object's first field (after the virtual table pointer). Counting is
// atomic, so references may be taken and dropped on any thread. An object must be made with
// `new`: the last removeRef() deletes it.
class OVKBASE_API IRefCounted : public IVBase {
public:
    // Virtual, in this order after asString and asDebugInfo, so that a class may watch or
    // redirect its own counting.
    virtual void addRef() noexcept;
    // Deletes the object when the count reaches 0. At 0 already it does nothing: a stray extra
    // release must not delete an object twice.
    virtual void removeRef() noexcept;

    unsigned long useCount() const noexcept { return fUseCount.load(std::memory_order_acquire); }

    // "IRefCounted(useCount=n)".
    IString asDebugInfo() const override;

protected:
    // Records that hand out their first reference themselves start at 1; those that are always
    // wrapped in an IReference at once start at 0.
    explicit IRefCounted(unsigned long initialUseCount = 0) noexcept;
    // A copy is a new object: it starts with no references.
    IRefCounted(const IRefCounted& other) noexcept;
    // Assignment copies the derived class's data, never the count.
    IRefCounted& operator=(const IRefCounted& other) noexcept;
    ~IRefCounted() override;

private:
    std::atomic<unsigned long> fUseCount;
};
