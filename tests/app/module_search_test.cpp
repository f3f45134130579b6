// The modules the library loads by name (the outside window classes' modules, the thunk library,
// the help viewer, its resource library, a library the application opens by name) are never
// taken from the folder a program is started in, nor are the modules they import: a program
// that reaches the library through PATH, started from a folder holding modules of those names,
// runs none of their code and works with the real ones. The folders may be named in any script
// and be longer than MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <elsewhere.hpp>
#include <idll.hpp>
#include <iexcept.hpp>

namespace {

const std::vector<std::string> kDecoys = {"ovkthk.dll", "ovkcnr.dll", "ovkctls.dll",
                                          "libhvx32.dll", "ovkres.dll"};

void expectConsumerRanWithTheRealModules(const ovktest::ProgramRun& run)
{
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_EQ(run.output.find("decoy module loaded"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("consumer: ok"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
}

} // namespace

TEST(ModuleSearch, ProgramStartedAmongDecoysLoadsTheRealModulesBesideTheLibrary)
{
    expectConsumerRanWithTheRealModules(
        ovktest::runFromDecoyFolder("ovkconsumer.exe", "", kDecoys));
}

// The library's modules in a folder whose name the ANSI code page cannot spell, or whose full
// name is longer than MAX_PATH: beside the program and through PATH alike.
struct FolderCase {
    const char* name;
    std::wstring folder;
    ovktest::ModulesAt where;
};

class ModuleFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(ModuleFolders, TheConsumerFindsEveryModuleThere)
{
    expectConsumerRanWithTheRealModules(ovktest::runWithModulesIn(
        GetParam().folder, GetParam().where, "ovkconsumer.exe", "", kDecoys));
}

// Three folders of sixty characters, one inside the other, under the temporary folder.
std::wstring longFolder()
{
    const std::wstring part = L"a-folder-name-of-sixty-characters-as-some-users-choose-them-";
    return part + L"1\\" + part + L"2\\" + part + L"3\\库";
}

std::vector<FolderCase> folderCases()
{
    using ovktest::ModulesAt;
    return {
        {"GreekBeside", L"Βιβλιοθήκη", ModulesAt::besideProgram},
        {"GreekOnPath", L"Βιβλιοθήκη", ModulesAt::onPath},
        {"CyrillicBeside", L"Библиотека", ModulesAt::besideProgram},
        {"CyrillicOnPath", L"Библиотека", ModulesAt::onPath},
        {"ChineseBeside", L"程序库", ModulesAt::besideProgram},
        {"ChineseOnPath", L"程序库", ModulesAt::onPath},
        {"LongerThanMaxPathBeside", longFolder(), ModulesAt::besideProgram},
        {"LongerThanMaxPathOnPath", longFolder(), ModulesAt::onPath},
    };
}

INSTANTIATE_TEST_SUITE_P(AnyFolder, ModuleFolders, testing::ValuesIn(folderCases()),
                         [](const testing::TestParamInfo<FolderCase>& info) {
                             return std::string(info.param.name);
                         });

// Where a module that the application opens by name takes its own import from: a module of the
// import's name in the current directory never loads, whether the module was found through PATH
// or named with its folder; the one beside it is taken, and with none there the load fails.
struct ImportCase {
    const char* name;
    bool byFullName;   // named with its folder, else by name alone, found through PATH
    bool importBeside; // the imported module beside it, else in no folder the system searches
};

class ModuleImports : public testing::TestWithParam<ImportCase> {};

namespace {

std::wstring folderOfModule(const wchar_t* name)
{
    const HMODULE module = GetModuleHandleW(name);
    if (!module)
        return std::wstring();
    std::wstring file(32768, L'\0');
    file.resize(GetModuleFileNameW(module, &file[0], static_cast<DWORD>(file.size())));
    return file.substr(0, file.find_last_of(L"\\/"));
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

} // namespace

TEST_P(ModuleImports, AnImportOfTheSameNameInTheCurrentDirectoryNeverLoads)
{
    const ImportCase& c = GetParam();
    const std::wstring built = ovktest::folderOfThisProgram() + L"\\imports";
    ovktest::TempFolder modules("needy");
    modules.copy(built + L"\\ovkneedy.dll", L"ovkneedy.dll");
    if (c.importBeside)
        modules.copy(built + L"\\ovkneeded.dll", L"ovkneeded.dll");
    ovktest::TempFolder current("planted");
    current.copy(built + L"\\ovkneeded.dll", L"ovkneeded.dll");

    std::wstring previous(32768, L'\0');
    previous.resize(GetCurrentDirectoryW(static_cast<DWORD>(previous.size()), &previous[0]));
    std::wstring path(32768, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", &path[0], static_cast<DWORD>(path.size())));
    SetCurrentDirectoryW(current.path().c_str());
    SetEnvironmentVariableW(L"PATH", (path + L";" + modules.path()).c_str());
    const std::string name =
        c.byFullName ? narrow(modules.path()) + "\\ovkneedy.dll" : std::string("ovkneedy");
    // Twice: what one load leaves (a module still mapped) shows only in the next.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        std::wstring takenFrom;
        bool loaded = false;
        try {
            IDynamicLinkLibrary needy(name.c_str());
            loaded = needy.isOpen();
            takenFrom = folderOfModule(L"ovkneeded.dll");
        } catch (const IException&) {
            takenFrom = folderOfModule(L"ovkneeded.dll");
        }
        EXPECT_EQ(loaded, c.importBeside);
        EXPECT_NE(narrow(takenFrom), narrow(current.path()));
        if (c.importBeside) {
            EXPECT_EQ(narrow(takenFrom), narrow(modules.path()));
        }
        EXPECT_EQ(GetModuleHandleW(L"ovkneedy.dll"), nullptr);
        EXPECT_EQ(GetModuleHandleW(L"ovkneeded.dll"), nullptr);
    }
    SetEnvironmentVariableW(L"PATH", path.c_str());
    SetCurrentDirectoryW(previous.c_str());
}

const ImportCase kImportCases[] = {
    {"ByNameImportBeside", false, true},
    {"ByNameImportNowhere", false, false},
    {"ByFullNameImportBeside", true, true},
    {"ByFullNameImportNowhere", true, false},
};

INSTANTIATE_TEST_SUITE_P(LoadedByName, ModuleImports, testing::ValuesIn(kImportCases),
                         [](const testing::TestParamInfo<ImportCase>& info) {
                             return std::string(info.param.name);
                         });
