// The plug-in's modules loaded by name (the sign-on service's resource library, the help viewer,
// the class library's resource library) are never taken from the folder the host was started
// in: a host that reaches the plug-in through PATH, started from a folder holding modules of
// those names, runs none of their code.
#include <windows.h>

#include <gtest/gtest.h>

#include <elsewhere.hpp>
#include <ovktest.hpp>

TEST(PluginModuleSearch, HostStartedAmongDecoysRunsThePluginWithTheRealModules)
{
    const ovktest::TempFile store("ovk-module-search-store.txt");
    store.write("user alice\ncredentials alice\ntarget QUILL accounts.db - secret-1\n");
    const ovktest::ProgramRun run = ovktest::runFromDecoyFolder(
        "quillhost.exe",
        std::string("--store \"") + store.path() + "\" get C:\\data\\accounts.db 20",
        {"orvres.dll", "libhvx32.dll", "ovkres.dll"});
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_EQ(run.output.find("decoy module loaded"), std::string::npos) << run.output;
    // The password was handed over: the get-password event answered "supplied".
    EXPECT_NE(run.output.find("5985"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
}
