// Thread records and the thread table: growth, the end of a record at thread detach, and the
// thread operations' failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <detail/istthread.hpp>
#include <detail/itlsslot.hpp>
#include <ithread.hpp>
#include <ovkmsgid.hpp>

namespace {

// Threads that stay alive until released, each reporting its identifier once it runs.
class ParkedThreads {
public:
    ~ParkedThreads() { release(); }

    DWORD start() {
        DWORD id = 0;
        std::unique_lock<std::mutex> lock(fMutex);
        fThreads.emplace_back([this, &id] {
            std::unique_lock<std::mutex> inner(fMutex);
            id = GetCurrentThreadId();
            fChanged.notify_all();
            fChanged.wait(inner, [this] { return fReleased; });
        });
        fChanged.wait(lock, [&] { return id != 0; });
        return id;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            fReleased = true;
        }
        fChanged.notify_all();
        for (std::thread& thread : fThreads) {
            if (thread.joinable())
                thread.join();
        }
    }

private:
    std::mutex fMutex;
    std::condition_variable fChanged;
    bool fReleased = false;
    std::vector<std::thread> fThreads;
};

bool hasRecord(DWORD id)
{
    IStartedThread* record = IStartedThread::find(id);
    if (record)
        record->removeRef();
    return record != nullptr;
}

TEST(ThreadTable, GrowsToTwiceItsSizePlusOneWhenFull)
{
    ParkedThreads threads;
    std::vector<unsigned long> sizes{IStartedThread::arraySize()};
    // Enough threads to outgrow the table at least once, whatever size earlier tests left it.
    const unsigned long starts = 2 * sizes.back() + 2;
    for (unsigned long i = 0; i < starts; ++i) {
        threads.start();
        const unsigned long size = IStartedThread::arraySize();
        EXPECT_LE(IStartedThread::threadCount(), size);
        if (size != sizes.back())
            sizes.push_back(size);
    }
    ASSERT_GE(sizes.size(), 2u);
    for (std::size_t i = 1; i < sizes.size(); ++i)
        EXPECT_EQ(sizes[i], 2 * sizes[i - 1] + 1) << "after " << sizes[i - 1];
    // Every size the table takes is one of 1, 3, 7, 15, ...
    EXPECT_EQ((sizes.back() + 1) & sizes.back(), 0u);
}

TEST(ThreadTable, AThreadsRecordEndsWhenTheThreadDetaches)
{
    DWORD id = 0;
    bool hadRecord = false;
    std::thread([&] {
        id = GetCurrentThreadId();
        hadRecord = hasRecord(id) && IStartedThread::handleFor(id) != nullptr;
    }).join();
    EXPECT_TRUE(hadRecord);
    EXPECT_FALSE(hasRecord(id));
}

TEST(ThreadTable, ThePrimaryThreadKeepsItsRecordAtDetach)
{
    ASSERT_EQ(IStartedThread::primaryThreadId(), GetCurrentThreadId());
    IStartedThread::threadDetached(false);
    EXPECT_TRUE(hasRecord(GetCurrentThreadId()));
}

TEST(ThreadTable, AThreadDetachingWhileTheLibraryTerminatesKeepsItsRecord)
{
    DWORD id = 0;
    bool keptWhileTerminating = false;
    std::thread([&] {
        id = GetCurrentThreadId();
        IStartedThread::threadDetached(true);
        keptWhileTerminating = hasRecord(id);
    }).join();
    EXPECT_TRUE(keptWhileTerminating);
    // The real detach, outside termination, ended it.
    EXPECT_FALSE(hasRecord(id));
}

// The counter after "name=" in the table's debug text.
unsigned long counter(const IString& text, const char* name)
{
    const std::string all(static_cast<const char*>(text));
    const std::size_t at = all.find(std::string(name) + "=");
    EXPECT_NE(at, std::string::npos) << name << " in " << all;
    return at == std::string::npos ? 0 : std::stoul(all.substr(at + std::strlen(name) + 1));
}

TEST(ThreadTable, ALookupOfTheSameThreadHitsTheCache)
{
    IStartedThread::locate(GetCurrentThreadId())->removeRef();
    const IString before = IStartedThread::staticsDebugInfo();
    IStartedThread::locate(GetCurrentThreadId())->removeRef();
    const IString after = IStartedThread::staticsDebugInfo();
    EXPECT_EQ(after.indexOf("IStartedThread::(cacheHits="), 1u);
    EXPECT_EQ(counter(after, "cacheHits"), counter(before, "cacheHits") + 1);
    EXPECT_EQ(counter(after, "cacheMisses"), counter(before, "cacheMisses"));
}

void expectMessage(void (*operation)(), unsigned long message)
{
    try {
        operation();
        ADD_FAILURE() << "no exception";
    } catch (const IInvalidRequest& failure) {
        EXPECT_EQ(failure.errorId(), message);
        ASSERT_NE(failure.locationAtIndex(0), nullptr);
        EXPECT_STREQ(failure.locationAtIndex(0)->fileName(), "ithread");
    }
}

// Slots taken until one lies past the first 64, which the thread environment block holds; each
// given back when the test ends.
class SlotsPastTheFirstSixtyFour {
public:
    SlotsPastTheFirstSixtyFour() {
        while (fSlots.empty() || fSlots.back() < TLS_MINIMUM_AVAILABLE) {
            const DWORD slot = TlsAlloc();
            if (slot == TLS_OUT_OF_INDEXES)
                break;
            fSlots.push_back(slot);
        }
    }
    ~SlotsPastTheFirstSixtyFour() {
        for (DWORD slot : fSlots)
            TlsFree(slot);
    }
    const std::vector<DWORD>& slots() const { return fSlots; }

private:
    std::vector<DWORD> fSlots;
};

// Each thread reads its own values, in the slots of the environment block and past them.
TEST(ThreadSlots, AFastReadAnswersWhatTheThreadStoredInEverySlot)
{
    SlotsPastTheFirstSixtyFour taken;
    ASSERT_FALSE(taken.slots().empty());
    ASSERT_GE(taken.slots().back(), static_cast<DWORD>(TLS_MINIMUM_AVAILABLE));
    auto valueFor = [](DWORD slot, DWORD thread) {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(slot * 0x10000u + (thread & 0xFFFFu) + 1));
    };
    auto store = [&] {
        for (DWORD slot : taken.slots())
            TlsSetValue(slot, valueFor(slot, GetCurrentThreadId()));
    };
    auto wronglyRead = [&] {
        std::vector<DWORD> wrong;
        for (DWORD slot : taken.slots()) {
            if (ovk_app::threadSlotValue(slot) != valueFor(slot, GetCurrentThreadId()))
                wrong.push_back(slot);
        }
        return wrong;
    };
    store();
    std::vector<DWORD> wrongThere;
    std::thread([&] {
        store();
        wrongThere = wronglyRead();
    }).join();
    // Read after the other thread stored its own values in the same slots.
    const std::vector<DWORD> wrongHere = wronglyRead();
    EXPECT_TRUE(wrongHere.empty()) << "slots read wrong: " << ::testing::PrintToString(wrongHere);
    EXPECT_TRUE(wrongThere.empty()) << "slots read wrong on another thread: "
                                    << ::testing::PrintToString(wrongThere);
}

TEST(ThreadFailures, LocatingAnotherThreadWithoutARecordFailsWithMessage46)
{
    expectMessage([] { IStartedThread::locate(0xFFFFFFF0u); }, OVK_MSG_THREAD_UNKNOWN);
    EXPECT_FALSE(hasRecord(0xFFFFFFF0u));
}

TEST(ThreadVariables, SixteenNamesFitAndASeventeenthFailsWithMessage66)
{
    std::thread([] {
        ICurrentThread& thread = IThread::current();
        for (int i = 0; i < 16; ++i)
            thread.setVariable("v" + IString(i), IString(i));
        thread.setVariable("v3", "replaced");
        EXPECT_EQ(thread.variable("v3"), "replaced");
        EXPECT_EQ(thread.variable("v15"), "15");
        EXPECT_EQ(thread.variable("never set"), "");
        expectMessage([] { IThread::current().setVariable("v16", "x"); },
                      OVK_MSG_TOO_MANY_THREAD_VARIABLES);
        EXPECT_EQ(thread.variable("v16"), "");
    }).join();
}

} // namespace
