// Thread objects: starting with the handshake, restarting, priorities, suspending, stopping,
// waiting (also for more threads than one system wait takes), the cursor and exiting.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include <detail/iscoped.hpp>
#include <detail/istthread.hpp>
#include <iplatfrm.hpp>
#include <ithread.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

namespace {

// A manual-reset event that gated threads wait on until the test opens it.
class Gate {
public:
    Gate() : fEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(fEvent); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    void open() { SetEvent(fEvent); }
    void* asArgument() { return this; }
    static void waitAt(void* gate) { WaitForSingleObject(static_cast<Gate*>(gate)->fEvent, INFINITE); }

private:
    HANDLE fEvent;
};

bool inTable(const IThreadId& id)
{
    IStartedThread* record = IStartedThread::find(id);
    if (record)
        record->removeRef();
    return record != nullptr;
}

using ovktest::caught;

void recordId(void* slot) { *static_cast<std::atomic<DWORD>*>(slot) = GetCurrentThreadId(); }

TEST(ThreadStart, TheNewThreadRunsTheFunctionAndIsKnownByItsIdentifierAtOnce)
{
    std::atomic<DWORD> ranOn{0};
    IThread thread(&recordId, &ranOn);
    // Published by the new thread before the constructor returned.
    const IThreadId id = thread.id();
    EXPECT_NE(id, 0u);
    IThread::current().waitFor(thread);
    EXPECT_EQ(ranOn.load(), id.asUnsigned());
    EXPECT_FALSE(thread.isStarted());
    EXPECT_FALSE(inTable(id));
}

TEST(ThreadStart, RestartingARunningThreadFailsWith47AndAnEndedOneStartsAgain)
{
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    EXPECT_TRUE(thread.isStarted());
    const IException failure = caught([&] { thread.start(&Gate::waitAt, gate.asArgument()); });
    EXPECT_EQ(failure.errorId(), OVK_MSG_THREAD_ALREADY_STARTED);
    ASSERT_NE(failure.locationAtIndex(0), nullptr);
    EXPECT_STREQ(failure.locationAtIndex(0)->fileName(), "ithreads");
    gate.open();
    IThread::current().waitFor(thread);

    std::atomic<DWORD> ranOn{0};
    thread.start(&recordId, &ranOn);
    IThread::current().waitFor(thread);
    EXPECT_EQ(ranOn.load(), thread.id().asUnsigned());
}

TEST(ThreadStart, StartsFromManyThreadsAtOnceEachPublishTheirOwnThread)
{
    std::vector<IThread> threads(16);
    std::vector<std::thread> starters;
    std::atomic<DWORD> ignored{0};
    for (int s = 0; s < 4; ++s) {
        starters.emplace_back([&, s] {
            for (int i = s; i < 16; i += 4)
                threads[static_cast<std::size_t>(i)].start(&recordId, &ignored);
        });
    }
    for (std::thread& starter : starters)
        starter.join();
    std::set<unsigned long> ids;
    for (IThread& thread : threads) {
        ids.insert(thread.id().asUnsigned());
        IThread::current().waitFor(thread);
    }
    EXPECT_EQ(ids.size(), 16u);
    EXPECT_EQ(ids.count(0), 0u);
}

TEST(ThreadStart, RefusalsLeaveNoRecordBehind)
{
    const unsigned long before = IStartedThread::threadCount();
    {
        IPlatform::Override variant(IPlatform::platformVariant, true);
        const IException failure = caught([] { IThread thread(&recordId, nullptr); });
        EXPECT_EQ(failure.errorId(), OVK_MSG_THREADS_UNSUPPORTED);
    }
    IThread thread;
    EXPECT_EQ(caught([&] { thread.start(IReference<IThreadFn>()); }).errorId(),
              OVK_MSG_EMPTY_REFERENCE);
    EXPECT_EQ(IStartedThread::threadCount(), before);
}

struct LevelCase {
    unsigned int level;
    int systemPriority;
};

class ThreadPriorityLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ThreadPriorityLevels, MapToTheSystemsPriorityClampedToTwoEitherWay)
{
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    const DWORD processClass = GetPriorityClass(GetCurrentProcess());
    thread.setPriority(IApplication::noChange, GetParam().level);
    EXPECT_EQ(GetThreadPriority(thread.handle()), GetParam().systemPriority);
    EXPECT_EQ(thread.priorityLevel(), static_cast<unsigned long>(GetParam().systemPriority + 15));
    // noChange keeps the process's class.
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), processClass);
    gate.open();
    IThread::current().waitFor(thread);
}

INSTANTIATE_TEST_SUITE_P(Levels, ThreadPriorityLevels,
                         ::testing::Values(LevelCase{20, 2}, LevelCase{17, 2}, LevelCase{16, 1},
                                           LevelCase{15, 0}, LevelCase{13, -2}, LevelCase{5, -2}));

TEST(ThreadPriority, ClassesMapToTheSystemsProcessClasses)
{
    const struct {
        IApplication::PriorityClass priorityClass;
        DWORD systemClass;
    } cases[] = {{IApplication::idleTime, IDLE_PRIORITY_CLASS},
                 {IApplication::high, HIGH_PRIORITY_CLASS},
                 {IApplication::timeCritical, REALTIME_PRIORITY_CLASS},
                 {IApplication::regular, NORMAL_PRIORITY_CLASS}};
    ICurrentThread& current = IThread::current();
    for (const auto& c : cases) {
        current.setPriority(c.priorityClass, 15);
        EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), c.systemClass) << c.priorityClass;
        EXPECT_EQ(current.priorityClass(), c.priorityClass);
    }
    EXPECT_EQ(current.priorityLevel(), 15u);
}

TEST(ThreadPriority, AThreadNotYetStartedKeepsItsPriorityUntilItStarts)
{
    IThread thread;
    EXPECT_EQ(thread.priorityLevel(), 0u);
    thread.setPriority(IApplication::noChange, 17);
    thread.adjustPriority(-3);
    EXPECT_EQ(thread.priorityLevel(), 14u);
    std::atomic<int> priority{99};
    thread.start([](void* slot) { *static_cast<std::atomic<int>*>(slot) = GetThreadPriority(GetCurrentThread()); },
                 &priority);
    IThread::current().waitFor(thread);
    EXPECT_EQ(priority.load(), -1);
}

TEST(ThreadSuspend, ASuspendedThreadIsResumedAndAMessageThreadCannotSuspendItself)
{
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    thread.suspend();
    // A second suspension reports the count the first one left.
    EXPECT_EQ(SuspendThread(thread.handle()), 1u);
    ResumeThread(thread.handle());
    thread.resume();
    EXPECT_EQ(SuspendThread(thread.handle()), 0u);
    ResumeThread(thread.handle());
    gate.open();
    IThread::current().waitFor(thread);

    EXPECT_EQ(caught([] { IThread::current().suspend(); }).errorId(),
              OVK_MSG_THREAD_CANNOT_SUSPEND_ITSELF);
}

TEST(ThreadStop, StopEndsTheThreadAndItsRecord)
{
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    const IThreadId id = thread.id();
    ASSERT_TRUE(inTable(id));
    thread.stop();
    EXPECT_FALSE(thread.isStarted());
    EXPECT_FALSE(inTable(id));
    EXPECT_STREQ(caught([&] { thread.handle(); }).text(0),
                 "this->startedThread()->handle() != 0");
    // The terminated thread never dropped the reference it held while it ran: the stop did,
    // so the record (and the window set in it) goes with the last object that views it.
    EXPECT_EQ(thread.startedThread()->useCount(), 1u);
}

TEST(ThreadObject, ACopyOfTheCallingThreadsObjectViewsTheCallingThreadsRecord)
{
    IThread copy = IThread::current();
    EXPECT_EQ(copy.id().asUnsigned(), GetCurrentThreadId());
    EXPECT_EQ(copy.startedThread(), IStartedThread::current());
    IThread assigned;
    assigned = IThread::current();
    EXPECT_EQ(assigned.id().asUnsigned(), GetCurrentThreadId());
    // Views hold references, so the record outlives the thread's own use of it.
    DWORD otherId = 0;
    IThread other;
    std::thread([&] {
        otherId = GetCurrentThreadId();
        other = IThread::current();
    }).join();
    EXPECT_EQ(other.id().asUnsigned(), otherId);
}

TEST(ThreadWait, ThePrimaryAndTheCallingThreadCannotBeWaitedFor)
{
    EXPECT_STREQ(caught([] { IThread::current().waitFor(IThread::current()); }).text(0),
                 "tid != IStartedThread::fgPrimaryTID");
    std::thread([] {
        EXPECT_STREQ(caught([] { IThread::current().waitFor(IThread::current()); }).text(0),
                     "tid != IThread::current().id()");
        EXPECT_STREQ(caught([] { IThread::current().waitForAllThreads(); }).text(0),
                     "this->id() == IStartedThread::fgPrimaryTID");
    }).join();
}

TEST(ThreadWait, WaitersSurviveTheThreadClosingItsOwnHandle)
{
    // The ending thread closes the handle in its record; several waiters at once, and a wait
    // that comes after the end, must each return without a failed wait.
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    std::atomic<int> returned{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            try {
                IThread::current().waitFor(thread);
                ++returned;
            } catch (const IException& failure) {
                ADD_FAILURE() << failure.what();
            }
        });
    }
    gate.open();
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_EQ(returned.load(), 4);
    IThread::current().waitFor(thread);
}

// How many handles the system has open on a kernel object.
ULONG openHandles(HANDLE object)
{
    struct BasicInformation {
        ULONG attributes;
        ACCESS_MASK grantedAccess;
        ULONG handleCount;
        ULONG pointerCount;
        ULONG reserved[10];
    } information{};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    ULONG length = 0;
    if (!query || query(object, 0, &information, sizeof information, &length) < 0)
        return 0;
    return information.handleCount;
}

TEST(ThreadWait, WaitForAnyThreadAnswersTheThreadThatEnded)
{
    Gate gate;
    Gate release;
    IThread thread(&Gate::waitAt, gate.asArgument());
    const IThreadId id = thread.id();
    ovk_native::KernelHandles watched;
    watched.add(OpenThread(SYNCHRONIZE, FALSE, id.asUnsigned()));
    ASSERT_NE(watched.data()[0], nullptr);
    const ULONG before = openHandles(watched.data()[0]);
    ASSERT_NE(before, 0u);
    // The thread may end only once the wait holds its own copy of the thread's handle: ended
    // before the wait looked, it would be no thread to wait for, and the wait would stay with
    // the opener. The opener lives on until the wait is over, so the library's thread is the
    // one that ends.
    std::atomic<bool> sawTheWait{false};
    std::thread opener([&] {
        for (int waited = 0; waited < 30000 && !sawTheWait; ++waited) {
            if (openHandles(watched.data()[0]) > before)
                sawTheWait = true;
            else
                Sleep(1);
        }
        gate.open();
        Gate::waitAt(release.asArgument());
    });
    const IThreadId ended = IThread::current().waitForAnyThread();
    release.open();
    opener.join();
    EXPECT_TRUE(sawTheWait) << "the wait never took a copy of the thread's handle";
    EXPECT_EQ(ended.asUnsigned(), id.asUnsigned());
    IThread::current().waitFor(thread);
    {
        IPlatform::Override variant(IPlatform::platformVariant, true);
        EXPECT_EQ(IThread::current().waitForAnyThread(), 0u);
        EXPECT_EQ(IThread::current().priorityLevel(), 0u);
    }
}

TEST(ThreadWait, WaitForAllThreadsWaitsForMoreThreadsThanOneSystemWaitTakes)
{
    // Only when no other thread of the process runs: the primary thread waits for them all.
    IThread::Cursor cursor(true);
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext()) {
        IThread other(cursor.threadId());
        if (other.id() != GetCurrentThreadId() && other.isStarted())
            GTEST_SKIP() << "another thread of the process runs: " << other.id().asUnsigned();
    }
    Gate gate;
    std::atomic<int> finished{0};
    struct Body {
        Gate* gate;
        std::atomic<int>* finished;
    } body{&gate, &finished};
    std::vector<IThread> threads(70);
    for (IThread& thread : threads) {
        thread.start([](void* argument) {
            auto* b = static_cast<Body*>(argument);
            Gate::waitAt(b->gate);
            ++*b->finished;
        }, &body);
    }
    std::thread opener([&] {
        Sleep(50);
        gate.open();
    });
    IThread::current().waitForAllThreads();
    opener.join();
    EXPECT_EQ(finished.load(), 70);
    for (IThread& thread : threads)
        EXPECT_FALSE(inTable(thread.id()));
}

TEST(ThreadCursor, ACursorSetBeforeAThreadEndedIsInvalidAfterwards)
{
    Gate gate;
    IThread thread(&Gate::waitAt, gate.asArgument());
    IThread::Cursor cursor(true);
    bool found = false;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        found = found || cursor.threadId() == thread.id();
    EXPECT_TRUE(found);
    ASSERT_TRUE(cursor.setToFirst());
    gate.open();
    IThread::current().waitFor(thread);
    EXPECT_FALSE(cursor.isValid());
    EXPECT_STREQ(caught([&] { cursor.threadId(); }).text(0), "this->isValid()");
}

TEST(ThreadQueue, TheOlderPlatformSetsUpAGenerousQueueOnceForTheProcess)
{
    // Nothing else in this program sets up a queue on the older platform, so the first run of
    // this test is the first set-up; a repeated run (--gtest_repeat) has nothing left to see.
    static bool ranBefore = false;
    if (std::exchange(ranBefore, true))
        GTEST_SKIP() << "the queue is set up once per process";
    IPlatform::Override variant(IPlatform::platformVariant, true);
    unsigned long first = 0;
    unsigned long second = 0;
    std::thread([&] {
        first = IThread::current().initializeGUI(0).queueSize();
    }).join();
    std::thread([&] {
        second = IThread::current().initializeGUI(0).queueSize();
    }).join();
    EXPECT_EQ(first, 96u);
    // Set up once: a later thread keeps the default size.
    EXPECT_EQ(second, IThread::defaultQueueSize());
}

TEST(ThreadExit, ExitEndsTheCallingThreadAndItsRecord)
{
    struct Body {
        Gate gate;
        std::atomic<bool> after{false};
    } body;
    IThread thread([](void* argument) {
        auto* b = static_cast<Body*>(argument);
        Gate::waitAt(&b->gate);
        IThread::current().exit(7);
        b->after = true;
    }, &body);
    const IThreadId id = thread.id();
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread.handle(), GetCurrentProcess(), &copy,
                                0, FALSE, DUPLICATE_SAME_ACCESS));
    body.gate.open();
    IThread::current().waitFor(thread);
    WaitForSingleObject(copy, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(copy, &code);
    CloseHandle(copy);
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(body.after.load());
    EXPECT_FALSE(inTable(id));
}

} // namespace
