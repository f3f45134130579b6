// Reference counting and counted references.
#include "irefcnt.hpp"
#include "ireftype.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Counts the objects alive, so that a test sees exactly when the last reference deletes one.
class Counted : public IRefCounted {
public:
    explicit Counted(unsigned long initial = 0) : IRefCounted(initial) { ++alive; }
    Counted(const Counted& other) : IRefCounted(other) { ++alive; }
    ~Counted() override { --alive; }
    static std::atomic<int> alive;
};
std::atomic<int> Counted::alive{0};

class Derived : public Counted {};

TEST(RefCounted, LastReferenceDeletesAndStrayReleasesDoNothing) {
    {
        IReference<Counted> a(new Counted);
        EXPECT_EQ(a->useCount(), 1u);
        IReference<Counted> b = a;
        IReference<Counted> c;
        c = b;
        EXPECT_EQ(a->useCount(), 3u);
        IReference<Counted>& alias = c;
        c = alias; // self-assignment keeps the object
        b.reset();
        IReference<Counted> moved(std::move(c));
        EXPECT_FALSE(c.valid());
        EXPECT_EQ(a->useCount(), 2u);
        EXPECT_EQ(Counted::alive, 1);
    }
    EXPECT_EQ(Counted::alive, 0);

    // A record that hands out its own first reference starts at 1.
    Counted* own = new Counted(1);
    own->addRef();
    own->removeRef();
    EXPECT_EQ(Counted::alive, 1);
    own->removeRef();
    EXPECT_EQ(Counted::alive, 0);

    Counted unused; // on the stack, never referenced: a stray release must not delete it
    unused.removeRef();
    EXPECT_EQ(unused.useCount(), 0u);
    Counted copy(unused);
    EXPECT_EQ(copy.useCount(), 0u);
}

TEST(RefCounted, ReassigningToAnObjectOnlyItKeepsAliveIsSafe) {
    IReference<Counted> holder(new Counted);
    Counted* object = holder.get();
    holder = object;
    EXPECT_EQ(holder->useCount(), 1u);
    IReference<Counted> base = IReference<Derived>(new Derived);
    EXPECT_EQ(base->useCount(), 1u);
    EXPECT_TRUE(base != holder);
}

TEST(RefCounted, CountsFromManyThreadsWithoutLoss) {
    IReference<Counted> shared(new Counted);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 10000; ++i) {
                IReference<Counted> copy(shared);
                IReference<Counted> another = copy;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(shared->useCount(), 1u);
    shared.reset();
    EXPECT_EQ(Counted::alive, 0);
}

} // namespace
