// Timers: identifiers and slots, calls from the message loop, restarting, stopping from inside
// the call and from another thread, timers on two threads, late ticks, the cursor and the errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include <iexcept.hpp>
#include <itimer.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"

namespace {

// Counts its calls and its references; an optional action runs inside the call.
class CountingFn : public ITimerFn {
public:
    void timerExpired(unsigned long timerId) override
    {
        ids.push_back(timerId);
        if (action)
            action(timerId);
    }
    void addRef() noexcept override
    {
        ++addRefs;
        ITimerFn::addRef();
    }

    std::vector<unsigned long> ids;
    unsigned long addRefs = 0;
    std::function<void(unsigned long)> action;
};

unsigned long runningTimers()
{
    unsigned long count = 0;
    ITimer::Cursor cursor;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        ++count;
    return count;
}

// Every test leaves the table as it found it: no timer runs and no object refers to a slot, so
// a new timer takes the lowest slot.
class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runningTimers(), 0u); }
    void TearDown() override
    {
        ITimer::Cursor cursor;
        while (cursor.setToFirst())
            ITimer::timerAt(cursor).stop();
    }

    // A function object that the test watches; the timers keep it alive.
    CountingFn* newFn()
    {
        CountingFn* fn = new CountingFn;
        fKeep.push_back(fn);
        return fn;
    }

private:
    std::vector<IReference<ITimerFn>> fKeep;
};

using ovktest::caught;
using ovktest::str;

TEST_F(TimerTest, IdentifiersCountFrom1001AndSlotsSurviveTheTableGrowing)
{
    std::vector<ITimer> timers;
    timers.emplace_back();
    timers.front().start(newFn(), 4321);
    // Slot 0 is never used, so the eleventh timer is the one that needs a second block.
    for (int i = 1; i < 11; ++i)
        timers.emplace_back();
    for (unsigned long i = 0; i < timers.size(); ++i)
        EXPECT_EQ(timers[i].id(), 1001 + i);
    EXPECT_TRUE(timers.front().isStarted());
    EXPECT_EQ(timers.front().interval(), 4321u);
    EXPECT_EQ(timers.back().interval(), 1000u);
    EXPECT_FALSE(timers.back().isStarted());
}

TEST_F(TimerTest, SlotIsFreeOnlyWhenStoppedAndNoObjectRefersToIt)
{
    ITimer* first = new ITimer;
    const unsigned long id = first->id();
    ITimer copy(*first);
    delete first;
    ITimer other;
    EXPECT_NE(other.id(), id) << "the copy still refers to the slot";
    copy = other;
    EXPECT_EQ(ITimer().id(), id) << "assignment gave the slot up";

    unsigned long runningId = 0;
    {
        ITimer running(newFn(), 60000);
        runningId = running.id();
    }
    // A running timer outlives its objects and can be found again by its identifier.
    EXPECT_NE(ITimer().id(), runningId);
    {
        ITimer found(runningId);
        EXPECT_TRUE(found.isStarted());
        ITimer::Cursor cursor;
        ASSERT_TRUE(cursor.setToFirst());
        EXPECT_EQ(ITimer::timerAt(cursor), found);
        found.stop();
    }
    ITimer reused;
    EXPECT_EQ(reused.id(), runningId);
    EXPECT_EQ(reused.interval(), 1000u) << "a reused slot kept the old timer's interval";
}

TEST_F(TimerTest, RunningTimerCallsItsFunctionWithItsIdentifierFromTheMessageLoop)
{
    CountingFn* fn = newFn();
    ITimer timer(fn, 1);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return fn->ids.size() >= 2; }));
    for (unsigned long id : fn->ids)
        EXPECT_EQ(id, timer.id());
    timer.stop();
    EXPECT_FALSE(timer.isStarted());
}

TEST_F(TimerTest, SameIntervalDoesNotRestartButAnotherOneRestartsWithTheSameFunction)
{
    CountingFn* fn = new CountingFn;  // held by the timer alone
    ITimer timer(fn, 60000);
    const unsigned long refs = fn->addRefs;
    timer.setInterval(60000);
    EXPECT_EQ(fn->addRefs, refs) << "restarted";

    timer.setInterval(1);
    EXPECT_GT(fn->addRefs, refs);
    EXPECT_EQ(timer.interval(), 1u);
    ASSERT_TRUE(timer.isStarted());
    ASSERT_TRUE(ovktest::pumpUntil([&] { return !fn->ids.empty(); }));

    // A timer that does not run only stores the interval.
    timer.stop();
    timer.setInterval(77);
    EXPECT_FALSE(timer.isStarted());
    EXPECT_EQ(timer.interval(), 77u);
}

TEST_F(TimerTest, FunctionThatStopsItsOwnTimerCompletesAndIsNotCalledAgain)
{
    CountingFn* fn = newFn();
    fn->action = [](unsigned long id) { ITimer(id).stop(); };
    ITimer timer(fn, 1);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return !fn->ids.empty(); }));
    EXPECT_FALSE(timer.isStarted());
    ovktest::pumpUntil([] { return false; }, 50);
    EXPECT_EQ(fn->ids.size(), 1u);
}

TEST_F(TimerTest, LateTickAfterStopIsIgnored)
{
    // Another timer keeps the library's timer procedure in use while the tick is delivered.
    ITimer keeper(newFn(), 60000);
    CountingFn* fn = newFn();
    ITimer timer(fn, 1);
    // The tick is taken from the queue before anything dispatches it, then delivered late.
    MSG tick{};
    bool got = false;
    for (int wait = 0; wait < 40 && !got; ++wait) {
        got = PeekMessageA(&tick, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE) != 0;
        if (!got)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_TIMER);
    }
    ASSERT_TRUE(got);
    timer.stop();
    DispatchMessageA(&tick);
    EXPECT_TRUE(fn->ids.empty());
}

// The system numbers thread timers per thread, so two threads' first timers share a number:
// each thread must still see only its own timer's calls.
TEST_F(TimerTest, TimersOnTwoThreadsEachCallTheirOwnFunctionOnTheirOwnThread)
{
    // Guarded: a timer table that mixes the threads up calls one function from both.
    struct ThreadFn : ITimerFn {
        void timerExpired(unsigned long id) override
        {
            std::lock_guard<std::mutex> lock(mutex);
            threads.push_back(GetCurrentThreadId());
            ids.push_back(id);
        }
        std::size_t calls()
        {
            std::lock_guard<std::mutex> lock(mutex);
            return threads.size();
        }
        std::mutex mutex;
        std::vector<DWORD> threads;
        std::vector<unsigned long> ids;
    };
    struct Side {
        IReference<ITimerFn> keep{new ThreadFn};
        ThreadFn& fn() { return static_cast<ThreadFn&>(*keep); }
        DWORD thread = 0;
        unsigned long timerId = 0;
        bool enough = false;
    } sides[2];
    HANDLE bothRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> started{0};
    auto run = [&](Side& side) {
        side.thread = GetCurrentThreadId();
        ITimer timer(side.keep, 5);
        side.timerId = timer.id();
        if (++started == 2)
            SetEvent(bothRunning);
        WaitForSingleObject(bothRunning, 5000);
        side.enough = ovktest::pumpUntil([&] { return side.fn().calls() >= 3; }, 3000);
        timer.stop();
    };
    std::thread first(run, std::ref(sides[0]));
    std::thread second(run, std::ref(sides[1]));
    first.join();
    second.join();
    CloseHandle(bothRunning);
    for (Side& side : sides) {
        EXPECT_TRUE(side.enough);
        for (DWORD thread : side.fn().threads)
            EXPECT_EQ(thread, side.thread);
        for (unsigned long id : side.fn().ids)
            EXPECT_EQ(id, side.timerId);
    }
}

// A thread can kill only its own thread timers: a stop from another thread ends the calls at
// once, and the slot is given out again only after the timer's own thread has killed it.
TEST_F(TimerTest, AStopFromAnotherThreadFreesTheSlotOnlyOnceTheTimersThreadKilledIt)
{
    CountingFn* fn = newFn();
    HANDLE stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<unsigned long> id{0};
    std::atomic<bool> called{false};
    std::thread owner([&] {
        // The object goes at once; the timer runs on, referred to by nothing but its number.
        id = ITimer(fn, 5).id();
        // Ticks until the other thread has stopped the timer, then a while longer.
        ovktest::pumpUntil([&] {
            if (!fn->ids.empty())
                called = true;
            return WaitForSingleObject(stopped, 0) == WAIT_OBJECT_0;
        }, 5000);
        fn->ids.clear();
        ovktest::pumpUntil([] { return false; }, 100);
    });
    while (id == 0 || !called)
        Sleep(1);
    ITimer(id).stop();
    const unsigned long taken = ITimer().id();
    SetEvent(stopped);
    owner.join();
    CloseHandle(stopped);
    EXPECT_NE(taken, id.load()) << "the slot was given out while its system timer still ticked";
    EXPECT_TRUE(fn->ids.empty()) << "called after the stop";
    EXPECT_EQ(ITimer().id(), id.load());
}

TEST_F(TimerTest, ExceptionFromTheFunctionReachesWhoeverPumpsTheMessages)
{
    CountingFn* fn = newFn();
    fn->action = [](unsigned long id) {
        ITimer(id).stop();
        throw IRuntimeError("from the timer");
    };
    ITimer timer(fn, 1);
    EXPECT_THROW(ovktest::pumpUntil([&] { return !fn->ids.empty(); }), IRuntimeError);
}

TEST_F(TimerTest, CursorVisitsRunningTimersOnly)
{
    ITimer a(newFn(), 60000), b, c(newFn(), 60000);
    std::vector<unsigned long> visited;
    ITimer::Cursor cursor;
    for (cursor.setToFirst(); cursor.isValid(); cursor.setToNext())
        visited.push_back(ITimer::timerAt(cursor).id());
    EXPECT_EQ(visited, (std::vector<unsigned long>{a.id(), c.id()}));

    cursor.setToFirst();
    a.stop();
    EXPECT_FALSE(cursor.isValid());
    const IException failure = caught([&] { ITimer::timerAt(cursor); });
    EXPECT_EQ(str(failure.text()), "cursor.isValid()");
}

TEST_F(TimerTest, TextsNameTheIdentifierIntervalAndState)
{
    ITimer timer;
    const std::string id = std::to_string(timer.id());
    EXPECT_EQ(str(timer.asString()), "ITimer(" + id + ")");
    EXPECT_EQ(str(timer.asDebugInfo()), "ITimer: id = " + id + ", interval = 1000");
    timer.start(newFn(), 250);
    EXPECT_EQ(str(timer.asDebugInfo()),
              "ITimer: id = " + id + ", interval = 250, timer started");
}

TEST_F(TimerTest, MisuseThrowsTheLibrarysErrors)
{
    ITimer running(newFn(), 60000);
    ITimer stopped(newFn(), 60000);
    stopped.stop();
    const unsigned long stoppedId = stopped.id();
    const struct {
        const char* what;
        std::function<void()> operation;
        unsigned long message;
    } cases[] = {
        {"identifier 1000", [] { ITimer timer(1000); }, OVK_MSG_TIMER_NOT_FOUND},
        {"identifier 0", [] { ITimer timer(0ul); }, OVK_MSG_TIMER_NOT_FOUND},
        {"identifier past the table", [] { ITimer timer(30000); }, OVK_MSG_TIMER_NOT_FOUND},
        {"stopped timer", [&] { ITimer timer(stoppedId); }, OVK_MSG_TIMER_NOT_FOUND},
        {"start running", [&] { running.start(new CountingFn); }, OVK_MSG_TIMER_ALREADY_RUNNING},
        {"start running, interval",
         [&] { running.start(new CountingFn, 5); }, OVK_MSG_TIMER_ALREADY_RUNNING},
        {"empty function", [&] { stopped.start(IReference<ITimerFn>()); }, OVK_MSG_EMPTY_REFERENCE},
        {"empty function, interval",
         [&] { stopped.start(IReference<ITimerFn>(), 5); }, OVK_MSG_EMPTY_REFERENCE},
    };
    for (const auto& c : cases) {
        const IException failure = caught(c.operation);
        EXPECT_EQ(failure.errorId(), c.message) << c.what;
        ASSERT_GT(failure.locationCount(), 0u) << c.what;
        EXPECT_EQ(str(failure.locationAtIndex(0)->fileName()), "itimer") << c.what;
    }
    EXPECT_EQ(running.interval(), 60000u) << "a refused start changed the timer";
    EXPECT_FALSE(stopped.isStarted());
}

TEST_F(TimerTest, TableRefusesIdentifiersAtTheEndOfTheirRange)
{
    std::vector<ITimer> timers;
    timers.reserve(32000);
    const IException failure = caught([&] {
        for (;;)
            timers.emplace_back();
    });
    EXPECT_EQ(failure.errorId(), OVK_MSG_TIMER_TABLE_FULL);
    ASSERT_FALSE(timers.empty());
    EXPECT_LT(timers.back().id(), 0x7FFFu);
    EXPECT_EQ(timers.back().id(), 32759u);
}

} // namespace
