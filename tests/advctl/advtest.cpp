// The outside windows' module, reached through its test-only exports.
#include "advtest.hpp"

namespace advtest {

namespace {

HMODULE gModule = nullptr;

template <class Function>
Function entry(const char* name)
{
    EXPECT_NE(gModule, nullptr);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(gModule, name)));
}

} // namespace

void Outside::load()
{
    if (!gModule)
        gModule = LoadLibraryA("ovkctls.dll");
    ASSERT_NE(gModule, nullptr) << "ovkctls.dll";
}

std::vector<std::string> Outside::journal()
{
    using Count = LONG(WINAPI*)();
    using Entry = BOOL(WINAPI*)(LONG, HWND*, UINT*, WPARAM*, LPARAM*, char*, LONG);
    std::vector<std::string> lines;
    const LONG count = entry<Count>("OvkCtlsTestJournalCount")();
    for (LONG i = 0; i < count; ++i) {
        char text[256] = "";
        entry<Entry>("OvkCtlsTestJournalEntry")(i, nullptr, nullptr, nullptr, nullptr, text, sizeof text);
        lines.push_back(text);
    }
    return lines;
}

void Outside::resetJournal()
{
    entry<void(WINAPI*)()>("OvkCtlsTestJournalReset")();
}

void Outside::failNext(unsigned int message, long count)
{
    entry<void(WINAPI*)(UINT, LONG)>("OvkCtlsTestFailNext")(message, count);
}

void Outside::resetFailures()
{
    entry<void(WINAPI*)()>("OvkCtlsTestFailReset")();
}

} // namespace advtest
