// The formatters of the details view. The international settings are read once per process,
// so each row of settings runs in a fresh process: the test program starts itself with the
// row's number, and the child sets every key of the row first, so Wine's own defaults play no
// part, and puts the old values back before it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <icnrfmt.hpp>

#include "ovktest.hpp"

namespace {

constexpr const char* kRowVariable = "OVK_CNRFORMAT_ROW";
constexpr const char* kResultVariable = "OVK_CNRFORMAT_RESULT";

struct Key {
    const char* name;
    const char* value;
};

struct Expected {
    enum Kind { time, date, number } kind;
    unsigned a, b, c; // hours, minutes, seconds; day, month, year; a number in a
    const char* text;
};

struct SettingsRow {
    const char* name;
    std::vector<Key> keys;
    std::vector<Expected> expected;
};

const std::vector<Key> kDefaults = {{"iTime", "0"},  {"iLzero", "0"}, {"s1159", "am"},
                                    {"s2359", "pm"}, {"sTime", ":"},  {"iDate", "0"},
                                    {"sDate", "/"},  {"sThousand", ","}};

std::vector<Key> with(std::vector<Key> changes)
{
    std::vector<Key> keys = kDefaults;
    for (const Key& change : changes)
        for (Key& key : keys)
            if (std::strcmp(key.name, change.name) == 0)
                key.value = change.value;
    return keys;
}

const std::vector<SettingsRow>& rows()
{
    static const std::vector<SettingsRow> table = {
        {"defaults",
         kDefaults,
         {{Expected::time, 0, 5, 9, "12:05:09 am"},
          {Expected::time, 12, 0, 0, "12:00:00 pm"},
          {Expected::time, 23, 59, 59, "11:59:59 pm"},
          {Expected::time, 7, 8, 9, "7:08:09 am"},
          {Expected::date, 3, 4, 2001, "4/3/2001"},
          {Expected::number, 0, 0, 0, "0"},
          {Expected::number, 999, 0, 0, "999"},
          {Expected::number, 1000, 0, 0, "1,000"},
          {Expected::number, 1234567, 0, 0, "1,234,567"},
          {Expected::number, 4294967295u, 0, 0, "4,294,967,295"}}},
        {"24-hour clock with leading zeros",
         with({{"iTime", "1"}, {"iLzero", "1"}}),
         {{Expected::time, 7, 8, 9, "07:08:09"},
          {Expected::time, 23, 0, 5, "23:00:05"},
          {Expected::date, 3, 4, 2001, "04/03/2001"}}},
        {"day first with a full stop",
         with({{"iDate", "1"}, {"sDate", "."}}),
         {{Expected::date, 3, 4, 2001, "3.4.2001"}, {Expected::date, 31, 12, 7, "31.12.07"}}},
        {"day first with leading zeros",
         with({{"iDate", "1"}, {"sDate", "."}, {"iLzero", "1"}}),
         {{Expected::date, 3, 4, 2001, "03.04.2001"}}},
        {"year first",
         with({{"iDate", "2"}, {"sDate", "-"}}),
         {{Expected::date, 3, 4, 2001, "2001-4-3"}}},
        // Suffixes are read up to 8 characters, separators up to 1.
        {"long texts cut to their limits",
         with({{"s1159", "antemeridiem"}, {"sTime", ".:"}, {"sThousand", "'."}}),
         {{Expected::time, 1, 2, 3, "1.02.03 antemeri"}, {Expected::number, 12345, 0, 0, "12'345"}}},
    };
    return table;
}

std::string format(const Expected& value)
{
    char out[kCnrFormatBufferSize];
    std::memset(out, 'x', sizeof out);
    switch (value.kind) {
    case Expected::time:
        formatTime(CNR_TIME{std::uint8_t(value.a), std::uint8_t(value.b), std::uint8_t(value.c), 0}, out);
        break;
    case Expected::date:
        formatDate(CNR_DATE{std::uint8_t(value.a), std::uint8_t(value.b), std::uint16_t(value.c)}, out);
        break;
    case Expected::number:
        EXPECT_EQ(formatNumber(value.a, out), 1);
        break;
    }
    return out;
}

std::string readKey(const char* name)
{
    char value[64] = {};
    GetProfileStringA("intl", name, "", value, sizeof value);
    return value;
}

// In the child: the row's settings, its checks, the old settings back, and the checks again:
// what was read at first stays.
TEST(CellFormatInChild, FormatsByTheRowsSettings)
{
    const char* row = std::getenv(kRowVariable);
    if (!row)
        GTEST_SKIP() << "runs only when started by CellFormat";
    const SettingsRow& settings = rows().at(static_cast<std::size_t>(std::atoi(row)));
    std::vector<std::string> old;
    for (const Key& key : settings.keys) {
        old.push_back(readKey(key.name));
        WriteProfileStringA("intl", key.name, key.value);
    }
    for (const Expected& value : settings.expected)
        EXPECT_EQ(format(value), value.text);
    for (std::size_t i = 0; i < settings.keys.size(); ++i)
        WriteProfileStringA("intl", settings.keys[i].name, old[i].c_str());
    for (const Expected& value : settings.expected)
        EXPECT_EQ(format(value), value.text) << "after the settings changed";
    if (!testing::Test::HasFailure())
        if (std::FILE* result = std::fopen(std::getenv(kResultVariable), "w")) {
            std::fputs("passed", result);
            std::fclose(result);
        }
}

class CellFormat : public testing::TestWithParam<std::size_t> {};

TEST_P(CellFormat, EachSettingsRowFormatsAsExpected)
{
    const std::size_t row = GetParam();
    SCOPED_TRACE(rows()[row].name);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const ovktest::TempFile result("ovk-cellformat-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(row) + ".txt");
    SetEnvironmentVariableA(kRowVariable, std::to_string(row).c_str());
    SetEnvironmentVariableA(kResultVariable, result.path());
    std::string command = std::string("\"") + program +
                          "\" --gtest_filter=CellFormatInChild.FormatsByTheRowsSettings";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kRowVariable, nullptr);
    SetEnvironmentVariableA(kResultVariable, nullptr);
    ASSERT_TRUE(started);
    // A watchdog: a child that hangs fails the row instead of the run.
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(result.read(), "passed");
}

INSTANTIATE_TEST_SUITE_P(Rows, CellFormat, testing::Range<std::size_t>(0, 6));

TEST(CellFormatText, ReverseTextTurnsBytesAround)
{
    char text[] = "abc1";
    EXPECT_STREQ(reverseText(text), "1cba");
    char empty[] = "";
    EXPECT_STREQ(reverseText(empty), "");
}

} // namespace
