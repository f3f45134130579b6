// Dispatch: the handler walk, detaching during the walk, exceptions from handlers and deletion.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

#include <detail/icallgrd.hpp>
#include <iexcept.hpp>
#include <iprivmsg.hpp>
#include <ithread.hpp>
#include <iwindow.hpp>
#include <ovkmsgid.hpp>

#include "ovktest.hpp"
#include "windowtest.hpp"

using ovktest::ExpectAssertions;
using ovktest::Recorder;
using ovktest::RecordingHandler;
using ovktest::TestWindow;
using windowtest::kTestMessage;

namespace {

class WindowDispatch : public windowtest::RecordingWindowTest {};

TEST_F(WindowDispatch, HandlersAreOfferedTheEventLastAttachedFirstUntilOneHandlesIt)
{
    struct Case {
        const char* what;
        bool firstHandles;
        bool lastHandles;
        bool lastDisabled;
        const char* trace;
        LRESULT result;
    };
    const Case cases[] = {
        {"no handler takes it: the previous procedure gets it", false, false, false,
         "last first previous", windowtest::kPreviousResult},
        {"the last attached handles it: the walk ends there", false, true, false, "last", 7},
        {"the first attached handles what the last declines", true, false, false, "last first", 7},
        {"a disabled handler is passed over", false, true, true, "first previous",
         windowtest::kPreviousResult},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder rec(kTestMessage);
        windowtest::PreviousTrace previous(rec.traceObject());
        auto setsResult = [](IEvent& event) {
            event.setResult(7);
            return true;
        };
        RecordingHandler& first = rec.attach(*window, "first", c.firstHandles);
        RecordingHandler& last = rec.attach(*window, "last", c.lastHandles);
        if (c.firstHandles)
            first.setAction(setsResult);
        if (c.lastHandles)
            last.setAction(setsResult);
        if (c.lastDisabled)
            last.disable();

        EXPECT_EQ(send(), c.result);
        EXPECT_EQ(rec.trace(), c.trace);
    }
}

TEST_F(WindowDispatch, AHandlerThatDetachesItselfDoesNotBreakTheWalk)
{
    Recorder rec(kTestMessage);
    windowtest::PreviousTrace previous(rec.traceObject());
    RecordingHandler& first = rec.attach(*window, "first");
    RecordingHandler& last = rec.attach(*window, "last");
    last.setAction([&](IEvent&) {
        last.stopHandlingEventsFor(window.get());
        return false;
    });

    send();
    EXPECT_EQ(rec.trace(), "last first previous");
    EXPECT_EQ(last.windowCount(), 0u);
    rec.clear();
    send();
    EXPECT_EQ(rec.trace(), "first previous");
    EXPECT_EQ(first.windowCount(), 1u);
}

TEST_F(WindowDispatch, AHandlerDetachedByAnotherDuringTheWalkIsNotOfferedTheEvent)
{
    Recorder rec(kTestMessage);
    windowtest::PreviousTrace previous(rec.traceObject());
    RecordingHandler& first = rec.attach(*window, "first");
    RecordingHandler& last = rec.attach(*window, "last");
    last.setAction([&](IEvent&) {
        first.stopHandlingEventsFor(window.get());
        return false;
    });

    send();
    EXPECT_EQ(rec.trace(), "last previous");
    EXPECT_EQ(first.windowCount(), 0u);
}

// The entry of a handler detached in a nested dispatch stays (marked) until the outermost
// dispatch ends; attaching the handler again before then revives the entry in its old place,
// so the outer walk still reaches it after the others.
TEST_F(WindowDispatch, AHandlerReattachedBeforeTheOutermostDispatchEndsKeepsItsPlace)
{
    constexpr UINT kNested = kTestMessage + 1;
    Recorder rec(kTestMessage);
    Recorder nested(kNested);
    RecordingHandler& first = rec.attach(*window, "first");
    rec.attach(*window, "middle");
    RecordingHandler& last = rec.attach(*window, "last");
    nested.attach(*window, "nested", true).setAction([&](IEvent&) {
        first.stopHandlingEventsFor(window.get());
        return true;
    });
    last.setAction([&](IEvent&) {
        send(kNested);
        EXPECT_EQ(first.windowCount(), 0u);
        first.handleEventsFor(window.get());
        return false;
    });

    send();
    EXPECT_EQ(rec.trace(), "last middle first");
    EXPECT_EQ(first.windowCount(), 1u);
    rec.clear();
    send();
    EXPECT_EQ(rec.trace(), "last middle first");
}

TEST_F(WindowDispatch, AttachingAHandlerTwiceLeavesOneEntry)
{
    Recorder rec(kTestMessage);
    RecordingHandler& handler = rec.attach(*window, "h");
    handler.handleEventsFor(window.get());
    EXPECT_EQ(handler.windowCount(), 1u);
    send();
    EXPECT_EQ(rec.trace(), "h");
}

// Exceptions ---------------------------------------------------------------------------------

class Failure : public IRuntimeError {
public:
    Failure() : IRuntimeError("handler failed") {}
};

// A window whose handleException answers as told and counts what it was offered.
class JudgingWindow : public TestWindow {
public:
    explicit JudgingWindow(const char* className) : TestWindow(nullptr, 0, 0, className) {}
    IBase::Boolean handleException(IException& exception, IEvent& event) override {
        offered.push_back(exception.errorId());
        return accept ? true : IWindow::handleException(exception, event);
    }
    bool accept = false;
    std::vector<IException::ErrorId> offered;
};

class WindowExceptions : public testing::Test {
protected:
    void SetUp() override { window = std::make_unique<JudgingWindow>(windowtest::recordingClass()); }
    LRESULT send(UINT message = kTestMessage) {
        return ovktest::send(window->hwnd(), message);
    }

    Recorder rec{kTestMessage};
    windowtest::PreviousTrace previous{rec.traceObject()};
    std::unique_ptr<JudgingWindow> window;
};

TEST_F(WindowExceptions, AHandlersExceptionReachesTheSenderAndTheWindowStaysUsable)
{
    rec.attach(*window, "first");
    RecordingHandler& thrower = rec.attach(*window, "thrower");
    thrower.setAction([](IEvent&) -> bool { throw Failure(); });

    EXPECT_THROW(send(), Failure);
    EXPECT_EQ(rec.trace(), "thrower");
    EXPECT_EQ(window->offered.size(), 1u);

    thrower.disable();
    rec.clear();
    send();
    EXPECT_EQ(rec.trace(), "first previous");
    // Deleting reports nothing: the dispatch left no state behind.
    window.reset();
}

TEST_F(WindowExceptions, AnAcceptedExceptionLetsTheWalkGoOnUnhandled)
{
    window->accept = true;
    rec.attach(*window, "first");
    rec.attach(*window, "thrower").setAction([](IEvent&) -> bool { throw Failure(); });

    EXPECT_EQ(send(), windowtest::kPreviousResult);
    EXPECT_EQ(rec.trace(), "thrower first previous");
}

TEST_F(WindowExceptions, TheLibraryWideExceptionHandlerIsAskedWhenTheWindowDoesNotOverride)
{
    struct Accepting : IWindow::ExceptionHandler {
        IBase::Boolean handleException(IException&, IEvent& event) override {
            ++calls;
            lastEvent = event.eventId();
            return true;
        }
        int calls = 0;
        unsigned long lastEvent = 0;
    } handler;
    IWindow::ExceptionHandler* before = IWindow::setExceptionHandler(&handler);
    rec.attach(*window, "thrower").setAction([](IEvent&) -> bool { throw Failure(); });

    EXPECT_NO_THROW(send());
    IWindow::setExceptionHandler(before);
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(handler.lastEvent, kTestMessage);
}

TEST_F(WindowExceptions, AHandlerInAnImpossibleStateIsReportedAsMessage56)
{
    RecordingHandler& odd = rec.attach(*window, "odd");
    odd.enable(5);

    EXPECT_THROW(send(), IInvalidRequest);
    ASSERT_EQ(window->offered.size(), 1u);
    EXPECT_EQ(window->offered[0], OVK_MSG_HANDLER_STATE_INVALID);
    EXPECT_EQ(rec.trace(), "");

    window->accept = true;
    EXPECT_EQ(send(), windowtest::kPreviousResult);
    EXPECT_EQ(rec.trace(), "previous");
}

TEST_F(WindowExceptions, AnExceptionLeavesTheMessageLoopThatDispatchedIt)
{
    rec.attach(*window, "thrower").setAction([](IEvent&) -> bool { throw Failure(); });
    PostMessageA(window->hwnd(), kTestMessage, 0, 0);

    EXPECT_THROW(IThread::current().processMsgs(), Failure);
    EXPECT_FALSE(IThread::current().isProcessingMsgs());
}

TEST_F(WindowExceptions, AWindowDestroyedUnderAThrowingHandlerStillLeavesItsSet)
{
    Recorder destroy(WM_DESTROY);
    windowtest::PreviousTrace previousDestroy(destroy.traceObject(), WM_DESTROY);
    destroy.attach(*window, "thrower").setAction([](IEvent&) -> bool { throw Failure(); });
    const HWND handle = window->hwnd();

    DestroyWindow(handle);
    EXPECT_THROW(ovktest::pumpPending(), Failure);
    EXPECT_EQ(destroy.trace(), "thrower previous");
    EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
    EXPECT_FALSE(IWindow::isWindowValid(window.get()));
}

// Deletion -----------------------------------------------------------------------------------

TEST_F(WindowDispatch, DeletingAWindowFromItsOwnHandlerIsReportedAndEndsTheWalk)
{
    Recorder rec(kTestMessage);
    windowtest::PreviousTrace previous(rec.traceObject());
    rec.attach(*window, "first");
    rec.attach(*window, "deleter").setAction([&](IEvent&) {
        window.reset();
        return false;
    });
    ExpectAssertions expected;

    send();
    EXPECT_EQ(rec.trace(), "deleter previous");
    ASSERT_EQ(expected.reports().size(), 1u);
    EXPECT_NE(expected.reports()[0].find("IInvalidRequest"), std::string::npos);
}

TEST_F(WindowDispatch, AWindowDeletedInANestedDispatchIsNotTouchedAgain)
{
    constexpr UINT kNested = kTestMessage + 1;
    Recorder rec(kTestMessage);
    Recorder nested(kNested);
    windowtest::PreviousTrace previous(rec.traceObject(), kNested);
    rec.attach(*window, "first");
    rec.attach(*window, "outer").setAction([&](IEvent&) {
        send(kNested);
        return false;
    });
    nested.attach(*window, "inner").setAction([&](IEvent&) {
        window.reset();
        return false;
    });
    ExpectAssertions expected;

    send();
    // The inner message still reached the previous procedure; the outer walk stopped.
    EXPECT_EQ(rec.trace(), "outer previous");
    EXPECT_EQ(nested.trace(), "inner");
    EXPECT_EQ(expected.reports().size(), 1u);
}

TEST(WindowDeletion, AWindowMarkedDeleteOnDestroyIsDeletedAfterItsDestroyMessage)
{
    struct Watched : TestWindow {
        explicit Watched(bool& deleted) : fDeleted(deleted) {}
        ~Watched() override { fDeleted = true; }
        bool& fDeleted;
    };
    bool deleted = false;
    auto* window = new Watched(deleted);
    window->setDeleteOnDestroy();
    Recorder rec(WM_DESTROY);
    rec.attach(*window, "destroy").setAction([&](IEvent&) {
        EXPECT_FALSE(deleted);
        return false;
    });

    DestroyWindow(window->hwnd());
    EXPECT_TRUE(deleted);
    EXPECT_EQ(rec.trace(), "destroy");
}

// A window of the recording class that counts its deletions. Its memory is overwritten and
// never given back, so that a read of the deleted object meets a pattern (and an address made
// of it faults) instead of the values it had: freed memory keeps them for a while, or gets the
// heap's own links, valid addresses both. The few bytes this leaks are the price.
struct CountedWindow : TestWindow {
    explicit CountedWindow(int& deletions)
        : TestWindow(nullptr, 0, 0, windowtest::recordingClass()), fDeletions(deletions) {}
    ~CountedWindow() override { ++fDeletions; }
    static void operator delete(void* memory, std::size_t size)
    {
        volatile unsigned char* bytes = static_cast<unsigned char*>(memory);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = 0xA5;
    }
    int& fDeletions;
};

// A handler of the size report deletes its window, directly or by destroying a window that is
// deleted with it. The report comes from inside the dispatch of WM_WINDOWPOSCHANGED, which
// must not touch the window again.
TEST(WindowDeletion, AHandlerOfTheSizeReportMayDeleteItsWindow)
{
    for (const bool byDestroying : {false, true}) {
        SCOPED_TRACE(byDestroying ? "destroying" : "deleting");
        int deletions = 0;
        auto* window = new CountedWindow(deletions);
        const HWND handle = window->hwnd();
        // Deleted directly, the object leaves its window alive.
        window->setDeleteOnDestroy(byDestroying);
        window->setDestroyOnDelete(byDestroying);
        Recorder sizes(IPrivateMessage::sizeChanged);
        sizes.attach(*window, "size").setAction([&](IEvent&) {
            if (byDestroying)
                DestroyWindow(handle);
            else
                delete window;
            return false;
        });
        ExpectAssertions expected;
        ovktest::FaultCounter faults;

        SetWindowPos(handle, nullptr, 0, 0, 57, 31, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(faults.faults(), 0) << "the deleted window was touched";
        EXPECT_EQ(sizes.trace(), "size");
        EXPECT_EQ(deletions, 1);
        EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
        EXPECT_EQ(IsWindow(handle) != FALSE, !byDestroying);
        if (IsWindow(handle)) {
            // Deleted without its window: the window works on with its own procedure.
            EXPECT_EQ(GetWindowLongPtrA(handle, GWLP_WNDPROC), GetClassLongPtrA(handle, GCLP_WNDPROC));
            SetWindowPos(handle, nullptr, 0, 0, 70, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            DestroyWindow(handle);
        }
    }
}

// The destroy message's handler deletes the window object: the previous procedure still gets
// the message, once, and the window is not destroyed a second time by the object's deletion.
TEST(WindowDeletion, AHandlerOfTheDestroyMessageMayDeleteItsWindow)
{
    for (const bool deleteOnDestroy : {false, true}) {
        SCOPED_TRACE(deleteOnDestroy ? "delete on destroy" : "plain");
        int deletions = 0;
        auto* window = new CountedWindow(deletions);
        window->setDeleteOnDestroy(deleteOnDestroy);
        const HWND handle = window->hwnd();
        Recorder rec(WM_DESTROY);
        windowtest::PreviousTrace previous(rec.traceObject(), WM_DESTROY);
        rec.attach(*window, "destroy").setAction([&](IEvent&) {
            delete window;
            return false;
        });
        ExpectAssertions expected;
        ovktest::FaultCounter faults;

        DestroyWindow(handle);
        EXPECT_EQ(faults.faults(), 0) << "the deleted window was touched";
        EXPECT_EQ(rec.trace(), "destroy previous");
        EXPECT_EQ(deletions, 1);
        EXPECT_FALSE(IsWindow(handle));
        EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
    }
}

TEST(WindowDeletion, DeletingAWrapperGivesTheNativeWindowItsProcedureBackAndLeavesItAlive)
{
    const HWND handle = ovktest::createNativeWindow();
    const LONG_PTR procedure = GetWindowLongPtrA(handle, GWLP_WNDPROC);
    auto window = std::make_unique<IWindow>(handle);
    EXPECT_NE(GetWindowLongPtrA(handle, GWLP_WNDPROC), procedure);

    window.reset();
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(GetWindowLongPtrA(handle, GWLP_WNDPROC), procedure);
    EXPECT_EQ(IWindow::windowWithHandle(handle), nullptr);
    DestroyWindow(handle);
}

TEST(WindowDeletion, TakingOverAWindowTwiceFailsTheArgumentCheck)
{
    TestWindow window;
    try {
        IWindow second(window.hwnd());
        FAIL() << "a second window object took the window over";
    } catch (const IInvalidParameter& failure) {
        EXPECT_STREQ(failure.text(0), "(windowHandle!=0 && windowWithHandle(windowHandle)==0)");
    }
    EXPECT_EQ(IWindow::windowWithHandle(window.hwnd()), &window);
}

// An exception that a handler let go waits for the thread that ran the handler, and for that
// thread alone: another thread's sends neither see nor throw it.
TEST(PendingExceptions, WaitForTheThreadThatRanTheHandlerAlone)
{
    struct Throwing : IHandler {
        IBase::Boolean dispatchHandlerEvent(IEvent& event) override {
            if (event.eventId() == kTestMessage)
                throw IInvalidRequest("thrown by the handler");
            return false;
        }
    } throwing;
    for (int round = 0; round < 2; ++round) {
        TestWindow window;
        throwing.handleEventsFor(&window);
        // A plain send: the exception stays waiting once the send has returned.
        SendMessageA(window.hwnd(), kTestMessage, 0, 0);
        ASSERT_TRUE(ICallbackGuard::hasPending());
        bool seenThere = true;
        bool thrownThere = true;
        std::thread([&] {
            TestWindow own;
            seenThere = ICallbackGuard::hasPending();
            try {
                own.handle().sendEvent(kTestMessage);
                thrownThere = false;
            } catch (const IException&) {
            }
        }).join();
        EXPECT_FALSE(seenThere);
        EXPECT_FALSE(thrownThere);
        EXPECT_THROW(ICallbackGuard::rethrowPending(), IInvalidRequest);
        EXPECT_FALSE(ICallbackGuard::hasPending());
        throwing.stopHandlingEventsFor(&window);
    }
}

} // namespace
