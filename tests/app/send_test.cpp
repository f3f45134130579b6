// Sending and posting through the handle wrappers: failures, the parameter slots of the older
// platform, the thunk path and delivery to many windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include <detail/iparked.hpp>
#include <idll.hpp>
#include <ihandle.hpp>
#include <iplatfrm.hpp>
#include <ithunk.hpp>
#include <ovktest.hpp>

namespace {

// What a window of the recording class received, after restoring parked messages.
struct Delivery {
    HWND window;
    UINT received;
    UINT message;
    WPARAM parameter1;
    LPARAM parameter2;
};
std::vector<Delivery> gDeliveries;
UINT gBroadcast = 0;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    const bool interesting = message >= 0xE000 || message == WM_COMMAND ||
                             (gBroadcast && message == gBroadcast);
    if (!interesting)
        return DefWindowProcA(window, message, parameter1, parameter2);
    const UINT received = message;
    if (message == kParkedMessage)
        restoreParkedMessage(window, message, parameter1, parameter2);
    gDeliveries.push_back({window, received, message, parameter1, parameter2});
    return 42;
}

const char* registerRecordingClass(const char* name)
{
    ovktest::registerClass(name, recordingProc);
    return name;
}

class Sending : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        registerRecordingClass("OvkSendTestWindow");
        // The class of the library's own container, which never needs the thunk library.
        registerRecordingClass("OVK Native Container");
        gBroadcast = RegisterWindowMessageA("OvkSendTestBroadcast");
    }
    void SetUp() override
    {
        gDeliveries.clear();
        fWindow = make();
    }
    void TearDown() override
    {
        for (HWND window : fWindows)
            DestroyWindow(window);
        ovktest::pumpPending();
    }
    HWND make(HWND parent = nullptr, const char* className = "OvkSendTestWindow")
    {
        HWND window = CreateWindowExA(0, className, "", parent ? WS_CHILD : 0, 0, 0, 10, 10,
                                      parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        fWindows.push_back(window);
        return window;
    }

    HWND fWindow = nullptr;
    std::vector<HWND> fWindows;
};

using ovktest::caught;

TEST_F(Sending, PostingToADestroyedWindowOrAMissingThreadThrowsTheNamedSystemError)
{
    HWND gone = make();
    DestroyWindow(gone);
    IException windowFailure("none");
    try {
        IWindowHandle(gone).postEvent(0xFFB0, 1, 2);
        ADD_FAILURE() << "no exception";
    } catch (const ISystemError& failure) {
        windowFailure = failure;
    }
    EXPECT_NE(windowFailure.text(0).indexOf("WinPostMsg"), 0u) << windowFailure.text(0);
    EXPECT_EQ(windowFailure.errorId(), static_cast<unsigned long>(ERROR_INVALID_WINDOW_HANDLE));
    ASSERT_NE(windowFailure.locationAtIndex(0), nullptr);
    EXPECT_STREQ(windowFailure.locationAtIndex(0)->fileName(), "ihandle");

    const IException queueFailure =
        caught([] { IMessageQueueHandle(0xFFFFFFF0u).postEvent(0xFFB0); });
    EXPECT_NE(queueFailure.text(0).indexOf("WinPostQueueMsg"), 0u) << queueFailure.text(0);
}

TEST_F(Sending, PointerWideParametersAndTheAnswerArriveWhole)
{
    const WPARAM first = static_cast<WPARAM>(UINTPTR_MAX - 7);
    EXPECT_EQ(IWindowHandle(fWindow).sendEvent(0xFFB0, IEventParameter1(first), -5).asLong(), 42);
    IWindowHandle(fWindow).postEvent(0xFFB1, IEventParameter1(first), -6);
    ASSERT_TRUE(ovktest::pumpUntil([] { return gDeliveries.size() == 2; }));
    EXPECT_EQ(gDeliveries[1].parameter1, first);
    EXPECT_EQ(gDeliveries[1].parameter2, -6);
}

struct ParkCase {
    const char* what;
    UINT message;
    unsigned highWord;
    bool lParamIsWindow;
    bool parked;
};

const ParkCase kParkCases[] = {
    {"command, code 100", WM_COMMAND, 100, false, true},
    {"command, code 169", WM_COMMAND, 169, false, true},
    {"command, code 99", WM_COMMAND, 99, false, false},
    {"command, code 170", WM_COMMAND, 170, false, false},
    {"command from a real window", WM_COMMAND, 120, true, false},
    {"control notification, code 120", 0xFFD0, 120, false, true},
    {"0xF0C0 with a high word", 0xF0C0, 1, false, true},
    {"0xEFFF with a high word", 0xEFFF, 1, false, false},
    {"0xF0C0 without a high word", 0xF0C0, 0, false, false},
};

TEST_F(Sending, OnlyTheOlderPlatformParksAndTheReceiverGetsTheOriginalBack)
{
    for (bool variant : {false, true}) {
        IPlatform::Override platform(IPlatform::platformVariant, variant);
        for (const ParkCase& c : kParkCases) {
            gDeliveries.clear();
            const WPARAM first = (static_cast<WPARAM>(c.highWord) << 16) | 0x1234;
            // Not a window: Wine takes a small number as a handle of any generation, so 77 is
            // a window whenever 77 windows exist (as when other test programs run alongside).
            const LPARAM second =
                c.lParamIsWindow ? reinterpret_cast<LPARAM>(fWindow) : static_cast<LPARAM>(0x5A5A5A5B);
            IWindowHandle(fWindow).sendEvent(c.message, IEventParameter1(first), IEventParameter2(second));
            IWindowHandle(fWindow).postEvent(c.message, IEventParameter1(first), IEventParameter2(second));
            ASSERT_TRUE(ovktest::pumpUntil([] { return gDeliveries.size() == 2; })) << c.what;
            for (const Delivery& d : gDeliveries) {
                const bool parked = variant && c.parked;
                EXPECT_EQ(d.received, parked ? kParkedMessage : c.message) << c.what << variant;
                EXPECT_EQ(d.message, c.message) << c.what;
                EXPECT_EQ(d.parameter1, first) << c.what;
                EXPECT_EQ(d.parameter2, second) << c.what;
            }
            EXPECT_EQ(parkedSlotsInUse(), 0u) << c.what;
        }
    }
}

TEST_F(Sending, WhenEverySlotIsTakenAPostFailsInsteadOfOverrunningTheTable)
{
    IPlatform::Override platform(IPlatform::platformVariant, true);
    const IEventParameter1 parked((static_cast<WPARAM>(100) << 16) | 1);
    for (unsigned i = 0; i < kParameterSlots; ++i)
        IWindowHandle(fWindow).postEvent(WM_COMMAND, parked, 0);
    EXPECT_EQ(parkedSlotsInUse(), kParameterSlots);
    EXPECT_EQ(lastParkedSlot(), kParameterSlots - 1);
    const IException full = caught([&] { IWindowHandle(fWindow).postEvent(WM_COMMAND, parked, 0); });
    EXPECT_EQ(full.errorId(), static_cast<unsigned long>(ERROR_NOT_ENOUGH_QUOTA));
    EXPECT_EQ(IWindowHandle(fWindow).sendEvent(WM_COMMAND, parked, 0).asLong(), 0);
    ASSERT_TRUE(ovktest::pumpUntil([] { return gDeliveries.size() == kParameterSlots; }, 5000));
    EXPECT_EQ(parkedSlotsInUse(), 0u);
    // Freed slots are taken again from the first.
    IWindowHandle(fWindow).postEvent(WM_COMMAND, parked, 0);
    EXPECT_EQ(lastParkedSlot(), 0u);
    ovktest::pumpUntil([] { return parkedSlotsInUse() == 0; });
}

TEST_F(Sending, ASlotNumberThatNamesNoParkedMessageChangesNothing)
{
    for (WPARAM slot : {WPARAM(5), WPARAM(kParameterSlots), WPARAM(0xFFFF)}) {
        UINT message = kParkedMessage;
        WPARAM first = slot;
        LPARAM second = 9;
        EXPECT_EQ(restoreParkedMessage(fWindow, message, first, second), 0);
        EXPECT_EQ(message, kParkedMessage);
        EXPECT_EQ(first, slot);
        EXPECT_EQ(second, 9);
    }
}

// The stand-in's journal of calls through its entries (0 send, 1 post).
long thunkCalls(int entry)
{
    using Count = LONG(WINAPI*)(int);
    auto count = reinterpret_cast<Count>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ovkthk"), "OvkThkTestJournalCount")));
    return count ? count(entry) : -1;
}

TEST_F(Sending, TheOtherSystemsMessagesGoThroughTheThunksOnlyOnTheOlderPlatform)
{
    // Bound once, to the stand-in's module: a later call answers the same binding.
    IDynamicLinkLibrary* const bound = thunkLibrary();
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(static_cast<HMODULE>(bound->handle()), GetModuleHandleA("ovkthk"));
    EXPECT_EQ(thunkLibrary(), bound);
    HWND container = make(nullptr, "OVK Native Container");
    const IEventParameter1 first((static_cast<WPARAM>(3) << 16) | 1);
    const struct {
        bool variant;
        UINT message;
        HWND window;
        long sends;
        long posts;
    } cases[] = {
        {false, 0xF010, fWindow, 0, 0},
        {true, 0xF010, fWindow, 1, 1},
        {true, 0xF0BF, fWindow, 1, 1},
        // Parked, never thunked: outside the other system's range.
        {true, 0xF0C0, fWindow, 0, 0},
        // The native container: sends never go through the thunk, posts do.
        {true, 0xF010, container, 0, 1},
    };
    for (const auto& c : cases) {
        IPlatform::Override platform(IPlatform::platformVariant, c.variant);
        const long sends = thunkCalls(0);
        const long posts = thunkCalls(1);
        gDeliveries.clear();
        IWindowHandle(c.window).sendEvent(c.message, first, 5);
        IWindowHandle(c.window).postEvent(c.message, first, 5);
        ASSERT_TRUE(ovktest::pumpUntil([] { return gDeliveries.size() == 2; }));
        EXPECT_EQ(thunkCalls(0) - sends, c.sends) << std::hex << c.message << c.variant;
        EXPECT_EQ(thunkCalls(1) - posts, c.posts) << std::hex << c.message << c.variant;
        EXPECT_EQ(gDeliveries[0].message, c.message);
        EXPECT_EQ(gDeliveries[1].parameter1, static_cast<WPARAM>(first.asUnsignedLong()));
    }
}

TEST_F(Sending, DescendantsAndTopLevelWindowsEachGetTheMessageOnce)
{
    HWND child = make(fWindow);
    HWND grandchild = make(child);
    make(fWindow);
    IWindowHandle(fWindow).sendEvents(0xFFB2, 1, 2);
    EXPECT_EQ(gDeliveries.size(), 3u);
    gDeliveries.clear();
    IWindowHandle(fWindow).postEvents(0xFFB3, 1, 2);
    ASSERT_TRUE(ovktest::pumpUntil([] { return gDeliveries.size() == 3; }));
    EXPECT_EQ(gDeliveries[1].window, grandchild);
    gDeliveries.clear();
    // None of them has a frame window object.
    IWindowHandle(fWindow).sendEvents(0xFFB2, 1, 2, IWindowHandle::framesOnly);
    EXPECT_TRUE(gDeliveries.empty());

    IWindowHandle().postEvents(gBroadcast, 1, 2, IWindowHandle::broadcastTopLevel);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return !gDeliveries.empty(); }));
    EXPECT_EQ(gDeliveries[0].window, fWindow);
    gDeliveries.clear();
    IMessageQueueHandle::postEvents(gBroadcast, 3, 4);
    ASSERT_TRUE(ovktest::pumpUntil([&] { return !gDeliveries.empty(); }));
    EXPECT_EQ(gDeliveries[0].parameter1, 3u);
}

} // namespace
