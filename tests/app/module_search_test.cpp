// The modules the library loads by name (the outside window classes' modules, the thunk library,
// the help viewer, its resource library) are never taken from the folder a program is started
// in: a program that reaches the library through PATH, started from a folder holding modules of
// those names, runs none of their code and works with the real ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <elsewhere.hpp>

TEST(ModuleSearch, ProgramStartedAmongDecoysLoadsTheRealModulesBesideTheLibrary)
{
    const ovktest::ProgramRun run = ovktest::runFromDecoyFolder(
        "ovkconsumer.exe", "",
        {"ovkthk.dll", "ovkcnr.dll", "ovkctls.dll", "libhvx32.dll", "ovkres.dll"});
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_EQ(run.output.find("decoy module loaded"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("consumer: ok"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
}
