// The application object: one per process, its arguments, the two resource libraries and the
// environment variable that names the library's own, and running the loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <iapp.hpp>
#include <idll.hpp>
#include <iplatfrm.hpp>
#include <ireslib.hpp>
#include <ithread.hpp>
#include <ovktest.hpp>

namespace {

// Keeps the arguments that the shared main gave the application object.
class ApplicationObject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ICurrentApplication& application = IApplication::current();
        for (long i = 0; i < application.argc(); ++i)
            fSaved.push_back(static_cast<const char*>(application.argv(i)));
    }
    void TearDown() override
    {
        std::vector<char*> values;
        for (std::string& value : fSaved)
            values.push_back(&value[0]);
        IApplication::current().setArgs(static_cast<long>(values.size()), values.data());
    }

    std::vector<std::string> fSaved;
};

TEST_F(ApplicationObject, IsOnePerProcessAndKnowsItsIdentifier)
{
    ICurrentApplication& application = IApplication::current();
    EXPECT_EQ(&application, &IApplication::current());
    EXPECT_EQ(application.id(), GetCurrentProcessId());
    EXPECT_EQ(IApplication::currentProcessId(), GetCurrentProcessId());
    EXPECT_EQ(application.asString(), "IApplication(" + IString(GetCurrentProcessId()) + ")");
    // The shared main handed it the program's arguments.
    EXPECT_GE(fSaved.size(), 1u);
    EXPECT_EQ(application.asDebugInfo().indexOf("ICurrentApplication(IApplication("), 1u);
}

TEST_F(ApplicationObject, ArgumentsAreCopiesAndOutsideTheListAreEmpty)
{
    char first[] = "first";
    char second[] = "second";
    char* values[] = {first, second};
    ICurrentApplication& application = IApplication::current();
    application.setArgs(2, values);
    first[0] = 'X';
    EXPECT_EQ(application.argc(), 2);
    EXPECT_EQ(application.argv(0), "first");
    EXPECT_EQ(application.argv(1), "second");
    EXPECT_EQ(application.argv(2), "");
    EXPECT_EQ(application.argv(-1), "");
    application.setArgs(0, values);
    EXPECT_EQ(application.argc(), 0);
    EXPECT_EQ(application.argv(0), "");
}

TEST_F(ApplicationObject, ResourceLibrariesAreTheNamedModulesOrTheProgram)
{
    ICurrentApplication& application = IApplication::current();
    const HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(static_cast<HMODULE>(application.userResourceLibrary().handle()), program);

    application.setOvkuiResourceLibrary("ovkthk");
    EXPECT_EQ(static_cast<HMODULE>(application.ovkuiResourceLibrary().handle()),
              static_cast<HMODULE>(IDynamicLinkLibrary("ovkthk").handle()));
    // A name that does not load leaves the previous library in place.
    EXPECT_THROW(application.setOvkuiResourceLibrary("no such library"), IException);
    EXPECT_THROW(application.setUserResourceLibrary("no such library"), IException);
    EXPECT_EQ(static_cast<HMODULE>(application.ovkuiResourceLibrary().handle()),
              static_cast<HMODULE>(IDynamicLinkLibrary("ovkthk").handle()));
    EXPECT_EQ(static_cast<HMODULE>(application.userResourceLibrary().handle()), program);

    // Set to the program itself: the environment is not asked again.
    SetEnvironmentVariableA("OVKUI RESLIB", "no such library");
    application.setOvkuiResourceLibrary(nullptr);
    EXPECT_EQ(static_cast<HMODULE>(application.ovkuiResourceLibrary().handle()), program);
    SetEnvironmentVariableA("OVKUI RESLIB", nullptr);

    application.setOvkuiResourceLibrary("ovkres");
    EXPECT_EQ(static_cast<HMODULE>(application.ovkuiResourceLibrary().handle()),
              static_cast<HMODULE>(IDynamicLinkLibrary("ovkres").handle()));
}

// The first use reads "OVKUI RESLIB" through the system; a copy of this program checks it with
// the variable set by SetEnvironmentVariable, which the C run time's getenv would not see.
TEST(ApplicationFirstUse, NamesTheLibrarysResourceLibraryFromTheEnvironment)
{
    char expected[MAX_PATH];
    if (GetEnvironmentVariableA("OVK_TEST_EXPECT_RESLIB", expected, sizeof expected)) {
        // In the copy: the environment was set up by the parent.
        // Objects that name the same library share its module.
        EXPECT_EQ(static_cast<HMODULE>(IApplication::current().ovkuiResourceLibrary().handle()),
                  static_cast<HMODULE>(IDynamicLinkLibrary(expected).handle()));
        return;
    }
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    for (const char* name : {"ovkthk", ""}) {
        // Unset, the library's own default "ovkres" is opened.
        SetEnvironmentVariableA("OVKUI RESLIB", *name ? name : nullptr);
        SetEnvironmentVariableA("OVK_TEST_EXPECT_RESLIB", *name ? name : "ovkres");
        std::string command = std::string("\"") + program +
                              "\" --gtest_filter=ApplicationFirstUse.* --gtest_brief=1";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        WaitForSingleObject(process.hProcess, 30000);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, 0u) << name;
    }
    SetEnvironmentVariableA("OVKUI RESLIB", nullptr);
    SetEnvironmentVariableA("OVK_TEST_EXPECT_RESLIB", nullptr);
}

TEST(ApplicationRun, RunsTheCallingThreadsLoopUntilItIsStopped)
{
    // What is queued before the quit is dispatched by the loop that run() runs.
    ovktest::TestWindow window;
    ovktest::Recorder rec(WM_USER + 5);
    bool inLoop = false;
    rec.attach(window, "dispatched", true).setAction([&](IEvent&) {
        inLoop = IThread::current().isProcessingMsgs();
        return true;
    });
    PostMessageA(window.hwnd(), WM_USER + 5, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
    IApplication::current().run();
    EXPECT_EQ(rec.trace(), "dispatched");
    EXPECT_TRUE(inLoop);
    EXPECT_FALSE(IThread::current().isProcessingMsgs());
}

TEST(ApplicationPriority, TheClassSetsTheCallingThreadsPriority)
{
    const struct {
        IApplication::PriorityClass priorityClass;
        int priority;
    } cases[] = {{IApplication::idleTime, THREAD_PRIORITY_IDLE},
                 {IApplication::high, THREAD_PRIORITY_HIGHEST},
                 {IApplication::timeCritical, THREAD_PRIORITY_TIME_CRITICAL},
                 {IApplication::regular, THREAD_PRIORITY_NORMAL}};
    for (const auto& c : cases) {
        IApplication::current().setPriority(c.priorityClass);
        EXPECT_EQ(GetThreadPriority(GetCurrentThread()), c.priority) << c.priorityClass;
    }
    IPlatform::Override variant(IPlatform::platformVariant, true);
    IApplication::current().setPriority(IApplication::high);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

} // namespace
