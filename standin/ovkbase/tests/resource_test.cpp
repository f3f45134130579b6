// Resource guards across threads.
#include "iexcept.hpp"
#include "iresource.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(PrivateResource, IsRecursiveForItsHolderAndExcludesOthers) {
    IPrivateResource guard("thread table");
    guard.lock().lock();
    EXPECT_EQ(guard.lockCount(), 2u);

    std::atomic<bool> otherGotIt{false};
    std::thread other([&] {
        IResourceLock lock(guard);
        otherGotIt = true;
    });
    guard.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherGotIt); // still held once
    guard.unlock();
    other.join();
    EXPECT_TRUE(otherGotIt);
    EXPECT_EQ(guard.lockCount(), 0u);
    EXPECT_EQ(guard.asString(), "IPrivateResource(thread table)");
}

TEST(PrivateResource, AWaitWithATimeLimitRunsOutWithARuntimeError) {
    IPrivateResource guard;
    IResourceLock held(guard);
    std::thread other([&] {
        EXPECT_THROW(guard.lock(10), IRuntimeError);
        EXPECT_FALSE(guard.isLockedByCurrentThread());
    });
    other.join();
}

TEST(PrivateResource, UnlockWithoutHoldingFailsTheStateCheck) {
    IPrivateResource guard;
    EXPECT_THROW(guard.unlock(), IInvalidRequest);
    IResourceLock held(guard);
    std::thread other([&] { EXPECT_THROW(guard.unlock(), IInvalidRequest); });
    other.join();
    EXPECT_TRUE(guard.isLockedByCurrentThread());
}

TEST(PrivateResource, GuardsAStaticCreatedOnFirstUseFromManyThreads) {
    // The library's pattern: the guard is a function-local static made on first use.
    static auto guard = [] { return new IPrivateResource("first use"); };
    auto resource = [] () -> IPrivateResource& {
        static IPrivateResource* made = guard();
        return *made;
    };
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                IResourceLock outer(resource());
                IResourceLock inner(resource()); // nested on the same thread
                ++counter;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 8 * 5000);
}

} // namespace
