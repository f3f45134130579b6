// The thunk library stand-in: loaded by name as the library loads it, its three entries found by
// name, and messages sent and posted through it arriving whole at a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "ovktest.hpp"

namespace {

using MessageEntry = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using JournalCount = LONG(WINAPI*)(int);
using JournalLastCall = BOOL(WINAPI*)(int, HWND*, UINT*, WPARAM*, LPARAM*);
using JournalReset = void(WINAPI*)();

template <class Function>
Function entry(HMODULE module, const char* name)
{
    // Through the generic function pointer type, which every function pointer converts to and
    // from without a cast-function-type warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Message numbers from the library's private range, which arrive intact by send and post.
constexpr UINT kSent = 0xFFB0;
constexpr UINT kPosted = 0xFFB1;

// What the test window received last; its answer to kSent is the two parameters mixed, so that
// a result that lost its high half shows.
struct Received {
    UINT message = 0;
    WPARAM parameter1 = 0;
    LPARAM parameter2 = 0;
};
Received gReceived;

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    if (message == kSent || message == kPosted) {
        gReceived = Received{message, parameter1, parameter2};
        return static_cast<LRESULT>(parameter1 ^ static_cast<WPARAM>(parameter2));
    }
    return DefWindowProcA(window, message, parameter1, parameter2);
}

class ThunkLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gModule = LoadLibraryA("ovkthk");
        ovktest::registerClass("OvkThkTestWindow", testWindowProc);
    }
    static void TearDownTestSuite()
    {
        UnregisterClassA("OvkThkTestWindow", GetModuleHandleA(nullptr));
        if (gModule != nullptr) FreeLibrary(gModule);
        gModule = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(gModule, nullptr) << "ovkthk.dll next to the test program";
        fSend = entry<MessageEntry>(gModule, "DllS32to16SendMessage");
        fPost = entry<MessageEntry>(gModule, "DllS32to16PostMessage");
        fBack = entry<MessageEntry>(gModule, "DllS16to32Message");
        fCount = entry<JournalCount>(gModule, "OvkThkTestJournalCount");
        fLastCall = entry<JournalLastCall>(gModule, "OvkThkTestJournalLastCall");
        auto reset = entry<JournalReset>(gModule, "OvkThkTestJournalReset");
        ASSERT_TRUE(fSend && fPost && fBack && fCount && fLastCall && reset);
        reset();
        gReceived = Received{};
        fWindow = CreateWindowExA(0, "OvkThkTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(fWindow, nullptr);
    }
    void TearDown() override
    {
        if (fWindow != nullptr) DestroyWindow(fWindow);
    }

    // Delivers this thread's posted messages until one for the window arrives or time runs out.
    bool pumpUntilReceived(UINT message, DWORD timeoutMs = 2000)
    {
        const DWORD start = GetTickCount();
        while (gReceived.message != message && GetTickCount() - start < timeoutMs) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            if (gReceived.message != message)
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return gReceived.message == message;
    }

    static HMODULE gModule;
    MessageEntry fSend = nullptr;
    MessageEntry fPost = nullptr;
    MessageEntry fBack = nullptr;
    JournalCount fCount = nullptr;
    JournalLastCall fLastCall = nullptr;
    HWND fWindow = nullptr;
};

HMODULE ThunkLibrary::gModule = nullptr;

// A first parameter that fills the pointer width and a negative second one.
const WPARAM kParameter1 = static_cast<WPARAM>(UINTPTR_MAX - 0x1234);
const LPARAM kParameter2 = -5;

TEST_F(ThunkLibrary, SendEntriesDeliverPointerWideParametersAndReturnTheAnswer)
{
    const LRESULT expected = static_cast<LRESULT>(kParameter1 ^ static_cast<WPARAM>(kParameter2));
    for (int which : {0, 2}) {
        SCOPED_TRACE(which);
        gReceived = Received{};
        MessageEntry send = which == 0 ? fSend : fBack;
        EXPECT_EQ(send(fWindow, kSent, kParameter1, kParameter2), expected);
        EXPECT_EQ(gReceived.message, kSent);
        EXPECT_EQ(gReceived.parameter1, kParameter1);
        EXPECT_EQ(gReceived.parameter2, kParameter2);

        EXPECT_EQ(fCount(which), 1);
        HWND window = nullptr;
        UINT message = 0;
        WPARAM parameter1 = 0;
        LPARAM parameter2 = 0;
        ASSERT_TRUE(fLastCall(which, &window, &message, &parameter1, &parameter2));
        EXPECT_EQ(window, fWindow);
        EXPECT_EQ(message, kSent);
        EXPECT_EQ(parameter1, kParameter1);
        EXPECT_EQ(parameter2, kParameter2);
    }
    EXPECT_EQ(fCount(1), 0) << "nothing went through the post entry";
    EXPECT_FALSE(fLastCall(1, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(fCount(3), -1);
}

TEST_F(ThunkLibrary, PostEntryQueuesTheMessageAndKeepsTheSystemsFailure)
{
    EXPECT_NE(fPost(fWindow, kPosted, kParameter1, kParameter2), 0);
    EXPECT_EQ(gReceived.message, 0u) << "posted, not sent";
    ASSERT_TRUE(pumpUntilReceived(kPosted));
    EXPECT_EQ(gReceived.parameter1, kParameter1);
    EXPECT_EQ(gReceived.parameter2, kParameter2);
    EXPECT_EQ(fCount(1), 1);

    // The binding turns a failed post into a system error with the thread's last error, so the
    // stand-in must leave PostMessageA's error code in place.
    HWND gone = fWindow;
    DestroyWindow(fWindow);
    fWindow = nullptr;
    SetLastError(0);
    EXPECT_EQ(fPost(gone, kPosted, 1, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(fCount(1), 2);
}

} // namespace
