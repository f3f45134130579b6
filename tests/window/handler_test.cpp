// Handlers and events as objects: attaching, enabling, texts, copies, and handlers that go
// while windows of other threads still have them.
#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <ithread.hpp>
#include <iwindow.hpp>

#include "ovktest.hpp"
#include "windowtest.hpp"

using ovktest::Recorder;
using ovktest::RecordingHandler;
using ovktest::TestWindow;
using windowtest::kTestMessage;

namespace {

class Plain : public IHandler {
protected:
    IBase::Boolean dispatchHandlerEvent(IEvent&) override { return false; }
};

TEST(Handler, DescribesItsStateAndItsWindowCount)
{
    Plain handler;
    EXPECT_EQ(handler.asString(), "IHandler(enabled)");
    EXPECT_EQ(handler.asDebugInfo(), "IHandler(IHandler(enabled),active=true,windows=0)");
    handler.disable();
    EXPECT_EQ(handler.asString(), "IHandler(disabled)");

    TestWindow first;
    TestWindow second;
    handler.enable().handleEventsFor(&first).handleEventsFor(&second);
    EXPECT_EQ(handler.windowCount(), 2u);
    EXPECT_EQ(handler.asDebugInfo(), "IHandler(IHandler(enabled),active=true,windows=2)");
    handler.stopHandlingEventsFor(&first).stopHandlingEventsFor(&first);
    EXPECT_EQ(handler.windowCount(), 1u);
}

TEST(Handler, DisableReachesAnOverrideOfEnable)
{
    struct Watching : Plain {
        IHandler& enable(int value) override {
            seen.push_back(value);
            return IHandler::enable(value);
        }
        std::vector<int> seen;
    } handler;
    handler.disable();
    EXPECT_EQ(handler.seen, std::vector<int>{0});
    EXPECT_FALSE(handler.isEnabled());
}

TEST(Handler, ANullWindowFailsTheArgumentCheckWithTheTextWindow)
{
    Plain handler;
    for (bool attach : {true, false}) {
        try {
            attach ? handler.handleEventsFor(nullptr) : handler.stopHandlingEventsFor(nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const IInvalidParameter& failure) {
            EXPECT_STREQ(failure.text(0), "window");
            EXPECT_STREQ(failure.locationAtIndex(0)->fileName(), "ihandler");
        }
    }
    EXPECT_EQ(handler.windowCount(), 0u);
}

TEST(Handler, ADestroyedHandlerLeavesEveryWindowThatHadIt)
{
    TestWindow first;
    auto second = std::make_unique<TestWindow>();
    Recorder rec(kTestMessage);
    rec.attach(first, "other");
    auto handler = std::make_unique<RecordingHandler>(rec.traceObject(), "gone", kTestMessage);
    handler->handleEventsFor(&first).handleEventsFor(second.get());
    // A window whose native window is gone still holds its list.
    DestroyWindow(second->hwnd());

    handler.reset();
    SendMessageA(first.hwnd(), kTestMessage, 0, 0);
    EXPECT_EQ(rec.trace(), "other");
    second.reset();
}

TEST(Handler, ADestroyedHandlerLeavesTheWindowsOfOtherThreads)
{
    Recorder rec(kTestMessage);
    auto handler = std::make_unique<RecordingHandler>(rec.traceObject(), "gone", kTestMessage);
    HWND handle = nullptr;
    std::mutex mutex;
    std::condition_variable ready;
    std::thread other([&] {
        TestWindow window;
        rec.attach(window, "stays");
        handler->handleEventsFor(&window);
        {
            std::lock_guard<std::mutex> lock(mutex);
            handle = window.hwnd();
        }
        ready.notify_all();
        IThread::current().processMsgs();
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        ready.wait(lock, [&] { return handle != nullptr; });
    }
    SendMessageA(handle, kTestMessage, 0, 0);
    handler.reset();
    SendMessageA(handle, kTestMessage, 0, 0);
    PostMessageA(handle, WM_CLOSE, 0, 0);
    other.join();
    EXPECT_EQ(rec.trace(), "gone stays stays");
}

TEST(Handler, TheDefaultProcedureOfAHandlerIsTheWindowsPreviousProcedure)
{
    struct Forwarding : Plain {
        IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
            result = defaultProcedure(event).asLong();
            return true;
        }
        LRESULT result = 0;
    } handler;
    TestWindow window(nullptr, 0, 0, windowtest::recordingClass());
    handler.handleEventsFor(&window);
    EXPECT_EQ(SendMessageA(window.hwnd(), kTestMessage, 0, 0), windowtest::kPreviousResult);
    EXPECT_EQ(handler.result, windowtest::kPreviousResult);
}

TEST(Handler, ARemainingHandlerWalkContinuesAfterTheCurrentHandler)
{
    TestWindow window(nullptr, 0, 0, windowtest::recordingClass());
    Recorder rec(kTestMessage);
    windowtest::PreviousTrace previous(rec.traceObject());
    rec.attach(window, "first");
    rec.attach(window, "second");
    rec.attach(window, "last", true).setAction([&](IEvent& event) {
        window.dispatchRemainingHandlers(event, true);
        rec.traceObject().add("back");
        return true;
    });

    EXPECT_EQ(SendMessageA(window.hwnd(), kTestMessage, 0, 0), windowtest::kPreviousResult);
    EXPECT_EQ(rec.trace(), "last second first previous back");
}

// The handler that passes the event on is not the first one walked: the remaining walk starts
// after it, passing over a disabled handler and one detached earlier in the same walk.
TEST(Handler, ARemainingHandlerWalkStartsAfterAHandlerDeepInTheList)
{
    TestWindow window(nullptr, 0, 0, windowtest::recordingClass());
    Recorder rec(kTestMessage);
    windowtest::PreviousTrace previous(rec.traceObject());
    rec.attach(window, "first");
    RecordingHandler& gone = rec.attach(window, "gone");
    int resumed = 0;
    rec.attach(window, "resumes").setAction([&](IEvent& event) {
        // Once only: a walk that went on from the wrong place would come back here.
        if (resumed++ == 0) {
            window.dispatchRemainingHandlers(event, true);
            rec.traceObject().add("back");
        }
        return true;
    });
    rec.attach(window, "off").disable();
    rec.attach(window, "last").setAction([&](IEvent&) {
        gone.stopHandlingEventsFor(&window);
        return false;
    });

    EXPECT_EQ(SendMessageA(window.hwnd(), kTestMessage, 0, 0), windowtest::kPreviousResult);
    EXPECT_EQ(rec.trace(), "last resumes first previous back");
}

// A handler attached while the walk runs goes in front of the walk's place: it is offered the
// next event, first, and not the one being walked.
TEST(Handler, AHandlerAttachedDuringTheWalkIsOfferedTheNextEventFirst)
{
    TestWindow window;
    Recorder rec(kTestMessage);
    RecordingHandler& added = rec.make("added");
    rec.attach(window, "first");
    rec.attach(window, "last").setAction([&](IEvent&) {
        added.handleEventsFor(&window);
        return false;
    });

    SendMessageA(window.hwnd(), kTestMessage, 0, 0);
    EXPECT_EQ(rec.trace(), "last first");
    rec.clear();
    SendMessageA(window.hwnd(), kTestMessage, 0, 0);
    EXPECT_EQ(rec.trace(), "added last first");
}

// A typed view built by the one template that handler families use.
class SizeEvent : public IEvent {
public:
    explicit SizeEvent(const IEvent& event) : IEvent(event) {}
    int width() const { return parameter2().lowNumber(); }
};

class SizeHandler : public IHandler {
public:
    virtual IBase::Boolean sized(SizeEvent& event) {
        widths.push_back(event.width());
        event.setResult(99);
        return handles;
    }
    std::vector<int> widths;
    bool handles = true;

protected:
    IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
        return event.eventId() == WM_SIZE && dispatchAs(*this, &SizeHandler::sized, event);
    }
};

TEST(Handler, ATypedEventsResultReachesWindowsOnlyWhenTheCallbackHandlesIt)
{
    TestWindow window;
    SizeHandler handler;
    handler.handleEventsFor(&window);
    EXPECT_EQ(SendMessageA(window.hwnd(), WM_SIZE, 0, MAKELPARAM(120, 40)), 99);
    handler.handles = false;
    EXPECT_EQ(SendMessageA(window.hwnd(), WM_SIZE, 0, MAKELPARAM(80, 40)), 0);
    EXPECT_EQ(handler.widths, (std::vector<int>{120, 80}));
}

// Events -----------------------------------------------------------------------------------------

TEST(Event, ACopyCarriesEverythingAndSelfAssignmentChangesNothing)
{
    TestWindow window;
    IEvent event(window.hwnd(), kTestMessage, 3, -4);
    event.setResult(5);
    IEvent copy(event);
    EXPECT_EQ(copy.handle(), window.hwnd());
    EXPECT_EQ(copy.eventId(), kTestMessage);
    EXPECT_EQ(copy.parameter1().asUnsignedLong(), 3u);
    EXPECT_EQ(copy.parameter2().asLong(), -4);
    EXPECT_EQ(copy.result().asLong(), 5);
    EXPECT_EQ(copy.window(), &window);
    EXPECT_EQ(copy.controlWindow(), &window);

    IEvent& same = copy;
    copy = same;
    EXPECT_EQ(copy.parameter2().asLong(), -4);

    IEvent fromWindow(&window, kTestMessage, 0, 0);
    EXPECT_EQ(fromWindow.dispatchingWindow(), &window);
}

TEST(Event, AnEventForAHandleWithoutAWindowObjectHasNoWindow)
{
    const HWND native = ovktest::createNativeWindow();
    IEvent event(native, kTestMessage, 0, 0);
    EXPECT_EQ(event.window(), nullptr);
    IEvent none(IWindowHandle(), kTestMessage, 0, 0);
    EXPECT_EQ(none.controlWindow(), nullptr);
    DestroyWindow(native);
}

TEST(WindowLookup, FindsWindowsOfOtherThreadsOnlyWhenAskedToLookEverywhere)
{
    HWND handle = nullptr;
    IWindow* object = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::thread other([&] {
        TestWindow window;
        {
            std::lock_guard<std::mutex> lock(mutex);
            handle = window.hwnd();
            object = &window;
        }
        changed.notify_all();
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return done; });
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return handle != nullptr; });
    }
    EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
    EXPECT_EQ(IWindow::windowWithHandle(handle, true), object);
    EXPECT_TRUE(IWindow::isWindowValid(object));
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    changed.notify_all();
    other.join();
    EXPECT_FALSE(IWindow::isWindowValid(object));
}

// The lookup of this thread's windows answers from its last answer while the thread's windows
// stay as they are; an object deleted, here or on another thread, or another object taking
// the window over, is seen by the next lookup.
TEST(WindowLookup, SeesTheObjectFiledNowAfterTheOneItLastFoundIsDeletedOrReplaced)
{
    const HWND handle = CreateWindowExA(0, "Static", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(handle, nullptr);
    for (int round = 0; round < 2; ++round) {
        auto first = std::make_unique<IWindow>(handle);
        EXPECT_EQ(IWindow::windowWithHandle(handle), first.get());
        EXPECT_EQ(IWindow::windowWithHandle(handle, true), first.get());
        first.reset();
        EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
        EXPECT_EQ(IWindow::windowWithHandle(handle, true), nullptr);

        auto second = std::make_unique<IWindow>(handle);
        EXPECT_EQ(IWindow::windowWithHandle(handle), second.get());
        std::thread([&] { second.reset(); }).join();
        EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
        EXPECT_EQ(IWindow::windowWithHandle(handle, true), nullptr);
    }
    DestroyWindow(handle);
}

} // namespace
