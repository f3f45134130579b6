// The password plug-in as the client application sees it: registration and unloading, the
// get-password road with its target matching, the change-password dialog's checks, the error
// dialog's switch, and what the trace and the log may hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "nquill.h"
#include "orvcl.h"
#include "orvconv.h"
#include "quillext.h"
#include "quillscript.h"

namespace {

using quillscript::Answer;

std::string hostName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

template <class Reader>
std::string readAll(Reader reader)
{
    const int length = reader(nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    reader(&text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string orvJournal() { return readAll(OrvTestJournal); }
std::string orvTrace() { return readAll(OrvTestTrace); }
std::string orvLog() { return readAll(OrvTestLog); }
std::string nqJournal() { return readAll(NqTestJournal); }

constexpr char kGuard = '\x5A';
constexpr DWORD kMax = 12;

// What the host gets back from one password event.
struct Reply {
    WORD code;
    std::string password;
    DWORD length;
    bool guardIntact;
};

// Loads the plug-in afresh for every test, with a sign-on store written to a file in the
// prefix's temporary folder and an active host window, as the client application runs it.
class Plugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        NqTestReset();
        OrvTestReset();
        OrvConvTestReset();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PwTestHost";
        RegisterClassA(&windowClass);
        fHost = CreateWindowExA(0, "PwTestHost", "Quill", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetActiveWindow(fHost);
        fPlugin = LoadLibraryA("pwbridge.dll");
        ASSERT_NE(fPlugin, nullptr);
        fMain = entry<PwMainEntryPoint>("MainEntryPoint");
        fClear = entry<PwExtClear>("ExtClear");
        fGetText = entry<PwExtGetPasswordText>("ExtGetPasswordText");
    }

    void TearDown() override
    {
        quillscript::stop();
        if (fPlugin) {
            fClear();
            FreeLibrary(fPlugin);
        }
        DestroyWindow(fHost);
        if (!fStore.empty())
            DeleteFileA(fStore.c_str());
    }

    template <class Entry>
    Entry entry(const char* name)
    {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(fPlugin, name)));
    }

    void load(const std::string& lines)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        fStore = std::string(folder) + "pwbridge-store.txt";
        FILE* file = std::fopen(fStore.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(lines.c_str(), file);
        std::fclose(file);
        ASSERT_EQ(OrvTestLoad(fStore.c_str()), 0);
    }

    void start(const std::vector<Answer>& answers = {})
    {
        quillscript::start(answers, 30);
        EXPECT_EQ(fMain(), 0);
    }

    Reply fire(WORD eventId, const char* database, DWORD maxLength = kMax,
               bool withBuffer = true)
    {
        std::vector<char> buffer(maxLength + 2, '\0');
        buffer[maxLength + 1] = kGuard;
        DWORD length = 0xDEAD;
        std::string file = database;
        char server[] = "quillsrv";
        EMARG slots[EM_SETPASSWORD_ARGS] = {};
        slots[EM_ARG_MAXLENGTH] = maxLength;
        slots[EM_ARG_LENGTH] = reinterpret_cast<EMARG>(&length);
        slots[EM_ARG_BUFFER] = withBuffer ? reinterpret_cast<EMARG>(buffer.data()) : 0;
        slots[EM_ARG_FILENAME] = reinterpret_cast<EMARG>(&file[0]);
        slots[EM_ARG_SERVER] = reinterpret_cast<EMARG>(server);
        EMRECORD record{};
        record.EId = eventId;
        record.EArgs = slots;
        SetActiveWindow(fHost);
        // The handler registered for the host's event, called with another event's id when a
        // test asks for a wrong one.
        const WORD registered = eventId == EM_GETPASSWORD || eventId == EM_SETPASSWORD ||
                                        eventId == EM_CLEARPASSWORD
                                    ? eventId
                                    : static_cast<WORD>(EM_GETPASSWORD);
        Reply reply{NqTestFire(registered, &record), std::string(buffer.data()), length,
                    buffer[maxLength + 1] == kGuard};
        SecureZeroMemory(buffer.data(), buffer.size());
        return reply;
    }

    HWND fHost = nullptr;
    HMODULE fPlugin = nullptr;
    PwMainEntryPoint fMain = nullptr;
    PwExtClear fClear = nullptr;
    PwExtGetPasswordText fGetText = nullptr;
    std::string fStore;
};

std::string oneUser(const std::string& targets)
{
    return "user alice\ncredentials alice\n" + targets;
}

// ---------------------------------------------------------------------------------------------
// Registration and unloading

TEST_F(Plugin, RegistersTheThreeHandlersAndUnregistersEachOnce)
{
    start();
    EXPECT_EQ(orvJournal(), "sso_svc_init");
    EXPECT_EQ(NqTestRegistrationCount(), 3);
    const WORD recursionId = NqTestRecursionIdOf(EM_SETPASSWORD);
    EXPECT_EQ(NqTestRecursionIdOf(EM_GETPASSWORD), 0);
    EXPECT_EQ(NqTestRecursionIdOf(EM_CLEARPASSWORD), recursionId);
    const std::string id = std::to_string(recursionId);
    EXPECT_EQ(nqJournal(), "EMRegister 73 1 0 -> 0 #1\nEMCreateRecursionID -> 0\n"
                           "EMRegister 74 1 " + id + " -> 0 #2\nEMRegister 90 1 " + id +
                               " -> 0 #3");

    EXPECT_EQ(fClear(), 0);
    EXPECT_EQ(NqTestRegistrationCount(), 0);
    EXPECT_EQ(fClear(), 0);
    const std::string host = nqJournal(), service = orvJournal();
    EXPECT_EQ(host.substr(host.find("EMDeregister")),
              "EMDeregister #1 -> 0\nEMDeregister #2 -> 0\nEMDeregister #3 -> 0");
    EXPECT_EQ(service, "sso_svc_init\nsso_svc_terminate");
    // Unloading after the host's ExtClear calls nothing more.
    FreeLibrary(fPlugin);
    fPlugin = nullptr;
    EXPECT_EQ(nqJournal(), host);
    EXPECT_EQ(orvJournal(), service);
}

TEST_F(Plugin, AFailedRegistrationIsShownAndTheOthersStillRegister)
{
    NqTestForceStatus(nqRegister, 3);
    start();
    EXPECT_EQ(quillscript::shown(), "box 26120");
    EXPECT_EQ(NqTestRegistrationCount(), 2);
    EXPECT_NE(orvLog().find("0x1735EC80 0x3"), std::string::npos);
}

TEST_F(Plugin, AFailedRecursionIdIsShownAndTheLaterHandlersStillRegister)
{
    NqTestForceStatus(nqCreateRecursionId, 7);
    start();
    EXPECT_EQ(quillscript::shown(), "box 26121");
    EXPECT_EQ(NqTestRegistrationCount(), 3);
    EXPECT_NE(orvLog().find("0x1735EC81 0x7"), std::string::npos);
}

TEST_F(Plugin, LibMainAnswersOneAndOnlyAPlainUnloadEndsWhatIsHeld)
{
    using LibMainEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    const auto libMain = entry<LibMainEntry>("LibMain");
    start();
    const std::string host = nqJournal(), service = orvJournal();
    int reserved = 0;
    // Thread attach and detach do nothing; a process exit (reserved not null) calls no other
    // library, which may be gone by then.
    for (DWORD reason : {DWORD(DLL_THREAD_ATTACH), DWORD(DLL_THREAD_DETACH)})
        EXPECT_EQ(libMain(fPlugin, reason, nullptr), TRUE);
    EXPECT_EQ(libMain(fPlugin, DLL_PROCESS_DETACH, &reserved), TRUE);
    EXPECT_EQ(nqJournal(), host);
    EXPECT_EQ(orvJournal(), service);
    // A plain unload without the host's ExtClear ends the registrations and the service.
    FreeLibrary(fPlugin);
    fPlugin = nullptr;
    EXPECT_EQ(NqTestRegistrationCount(), 0);
    EXPECT_EQ(orvJournal(), service + "\nsso_svc_terminate");
}

TEST_F(Plugin, ExtClearBeforeAnyRegistrationAnswersZeroAndCallsNothing)
{
    EXPECT_EQ(fClear(), 0);
    EXPECT_EQ(nqJournal(), "");
    EXPECT_EQ(orvJournal(), "");
}

// ---------------------------------------------------------------------------------------------
// Get password

struct MatchCase {
    const char* name;
    std::string targets; // %H stands for the host's workstation name
    const char* expected;
};

std::string withHost(std::string text)
{
    for (size_t at; (at = text.find("%H")) != std::string::npos;)
        text.replace(at, 2, hostName());
    return text;
}

class TargetMatching : public Plugin, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(TargetMatching, PicksTheTargetOfTheDatabaseOnThisWorkstation)
{
    load(oneUser(withHost(GetParam().targets)));
    start();
    const Reply reply = fire(EM_GETPASSWORD, "C:\\data\\accounts.db");
    EXPECT_EQ(reply.code, EM_PASSWORD_SUPPLIED);
    EXPECT_EQ(reply.password, GetParam().expected);
    EXPECT_EQ(reply.length, std::string(GetParam().expected).size());
    EXPECT_TRUE(reply.guardIntact);
    EXPECT_EQ(quillscript::shown(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Plugin, TargetMatching,
    ::testing::Values(
        MatchCase{"TypeAndBaseNameIgnoreCaseAndFolders",
                  "target quillx /other/ACCOUNTS.bak %H pw-match\n", "pw-match"},
        MatchCase{"TheLaterOfTwoWithoutWorkstationWins",
                  "target QUILL accounts.db - pw-first\ntarget quill x/accounts - pw-later\n",
                  "pw-later"},
        MatchCase{"TheHostsWorkstationEndsTheWalk",
                  "target QUILL accounts.db %H pw-host\ntarget QUILL accounts.db - pw-after\n",
                  "pw-host"},
        MatchCase{"OtherWorkstationsTypesAndFilesAreSkipped",
                  "target QUILL accounts.db elsewhere pw-other\ntarget QUIL accounts.db - no1\n"
                  "target OTHER accounts.db - no2\ntarget QUILL accounts2.db - no3\n"
                  "target QUILL accounts.db - pw-free\n",
                  "pw-free"}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.name); });

TEST_F(Plugin, AStoredPasswordLongerThanTheBufferIsRefusedWhole)
{
    load(oneUser("target QUILL accounts.db - " + std::string(kMax + 1, 'p') + "\n"));
    start();
    const Reply reply = fire(EM_GETPASSWORD, "accounts.db");
    EXPECT_EQ(reply.code, EM_PASSWORD_NOT_SUPPLIED);
    EXPECT_EQ(reply.length, 0u);
    EXPECT_EQ(reply.password, "");
    EXPECT_TRUE(reply.guardIntact);
    // A password exactly as long as the maximum fits, with its zero, before the guard.
    OrvTestReset();
    load(oneUser("target QUILL accounts.db - " + std::string(kMax, 'q') + "\n"));
    const Reply full = fire(EM_GETPASSWORD, "accounts.db");
    EXPECT_EQ(full.code, EM_PASSWORD_SUPPLIED);
    EXPECT_EQ(full.length, kMax);
    EXPECT_TRUE(full.guardIntact);
}

TEST_F(Plugin, AWrongEventOrAMissingBufferIsNotTakenAndAsksTheServiceNothing)
{
    load(oneUser("target QUILL accounts.db - secret-1\n"));
    start();
    EXPECT_EQ(fire(75, "accounts.db").code, EM_NOT_TAKEN);
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db", kMax, false).code, EM_NOT_TAKEN);
    EXPECT_EQ(orvJournal(), "sso_svc_init");
}

TEST_F(Plugin, AUserWithoutTargetsSeesOnlyTheNoTargetsDialog)
{
    load("user bob\ncredentials bob\n");
    start({{Answer::cancel, {}, {}}});
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_NOT_SUPPLIED);
    EXPECT_EQ(quillscript::shown(), "error 26114");
}

struct FailureCase {
    const char* name;
    std::string store;
    const char* scriptedCall; // a call of the service made to answer a code, or null
    sso_rc_t code;
    const char* shown;
};

class GetFailures : public Plugin, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(GetFailures, AreShownInTheErrorDialogAndSupplyNothing)
{
    load(GetParam().store);
    start();
    if (GetParam().scriptedCall)
        OrvTestScript(GetParam().scriptedCall, GetParam().code);
    const Reply reply = fire(EM_GETPASSWORD, "accounts.db");
    EXPECT_EQ(reply.code, EM_PASSWORD_NOT_SUPPLIED);
    EXPECT_EQ(reply.length, 0u);
    EXPECT_EQ(quillscript::shown(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Plugin, GetFailures,
    ::testing::Values(
        FailureCase{"NoMatchingTarget", oneUser("target QUILL other.db - pw-other\n"), nullptr,
                    0, "error 26123"},
        FailureCase{"AnEmptyStoredPassword", oneUser("target QUILL accounts.db - -\n"), nullptr,
                    0, "error 26115"},
        FailureCase{"AFailedQuery", oneUser("target QUILL accounts.db - pw\n"),
                    "sso_pkm_user_tgt_with_key_query", 0x1735E0AA, "error 26112"},
        FailureCase{"AnUnknownCredentialCheckFailure", oneUser(""), "sso_auth_cred_check",
                    0x1735E0BB, "error 26117"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(Plugin, AnExpiredQueryRefreshesTheSignOnAndAsksAgain)
{
    load(oneUser("target QUILL accounts.db - pw-again\n"));
    start();
    OrvTestScript("sso_pkm_user_tgt_with_key_query", SSO_RC_CRED_EXPIRED);
    const Reply reply = fire(EM_GETPASSWORD, "accounts.db");
    EXPECT_EQ(reply.code, EM_PASSWORD_SUPPLIED);
    EXPECT_EQ(reply.password, "pw-again");
    const std::string journal = orvJournal();
    const size_t refresh = journal.find("sso_auth_refresh");
    ASSERT_NE(refresh, std::string::npos);
    EXPECT_NE(journal.find("sso_pkm_user_tgt_with_key_query", refresh), std::string::npos);
    EXPECT_EQ(quillscript::shown(), "");
}

TEST_F(Plugin, OnTheSetRoadAFailureIsAPlainBox)
{
    load(oneUser("target QUILL accounts.db - old-secret\n"));
    start({{Answer::type, "new-secret", "new-secret"}, {Answer::type, "new-secret", "new-secret"}});
    ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    OrvTestScript("sso_pkm_user_tgt_update", 0x1735E0CC);
    EXPECT_EQ(fire(EM_SETPASSWORD, "accounts.db").code, EM_NEW_PASSWORD_NOT_SET);
    EXPECT_EQ(fire(EM_SETPASSWORD, "missing.db").code, EM_NEW_PASSWORD_NOT_SET);
    // The second change reaches the update, which finds no target for the database.
    EXPECT_EQ(quillscript::shown(), "change box 26113 change box 26123");
    EXPECT_NE(orvLog().find("ORV_LC extpwd"), std::string::npos);
}

TEST_F(Plugin, OkInTheErrorDialogSwitchesEveryHandlerOff)
{
    load("user bob\ncredentials bob\n");
    start({{Answer::ok, {}, {}}});
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    EXPECT_EQ(quillscript::shown(), "error 26114");
    const std::string journal = orvJournal();
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    EXPECT_EQ(fire(EM_SETPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    EXPECT_EQ(fire(EM_CLEARPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    EXPECT_EQ(orvJournal(), journal);
}

TEST_F(Plugin, TheFirstRequestTriesExistingCredentialsAndALaterOneSignsOnAgain)
{
    load("user alice\nlogon alice\ntarget QUILL accounts.db - secret-2\n");
    start({{Answer::cancel, {}, {}}});
    // The service holds no credentials: the check fails and a forced log-on signs on.
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    EXPECT_EQ(OrvConvTestParent(), fHost);
    EXPECT_EQ(fire(EM_CLEARPASSWORD, "x").code, EM_NOT_TAKEN);
    OrvTestScript("sso_auth_logon", 0x1735E2C0);
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_NOT_SUPPLIED);
    const std::string journal = orvJournal();
    EXPECT_EQ(journal.find("sso_auth_cred_check"), journal.rfind("sso_auth_cred_check"));
    EXPECT_EQ(quillscript::shown(), "error 26117");
    EXPECT_NE(orvLog().find("0x1735E2C0"), std::string::npos);
}

struct NameCase {
    const char* first;
    const char* second;
    bool same;
};

TEST_F(Plugin, FileNamesCompareByTheirBaseNamesIgnoringCase)
{
    using Compare = int (*)(char*, char*);
    const auto compare = entry<Compare>("_Z12file_comparePcS_");
    ASSERT_NE(compare, nullptr);
    const NameCase cases[] = {
        {"C:\\data\\accounts.db", "/other/ACCOUNTS.bak", true},
        {"accounts", "accounts.x.y", true},
        {"a/b\\c.d", "x/B\\c", true},    // a slash wins over a later backslash
        {"dir\\x.db", "dir\\y.db", false},
        {"x/", "", true},                   // both empty
        {"acc", "accounts.db", false},
    };
    for (const NameCase& c : cases) {
        std::string first = c.first, second = c.second;
        EXPECT_EQ(compare(&first[0], &second[0]) == 0, c.same) << c.first << " " << c.second;
    }
}

TEST_F(Plugin, ReauthorizingWithoutAnActiveWindowFails)
{
    using Reauthorize = sso_rc_t (*)(boolean);
    const auto reauthorize = entry<Reauthorize>("_Z11reauthorizeh");
    ASSERT_NE(reauthorize, nullptr);
    start();
    DestroyWindow(fHost);
    fHost = nullptr;
    ASSERT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(reauthorize(1), 1u);
    EXPECT_EQ(orvJournal().find("sso_auth_logon"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Set password

struct ChangeCase {
    const char* name;
    std::vector<Answer> answers;
    WORD code;
    const char* shown;
};

class ChangePassword : public Plugin, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangePassword, ChecksInOrderAndStoresWhatPasses)
{
    load(oneUser("target QUILL accounts.db - old-secret\n"));
    start(GetParam().answers);
    // The client asks for the password first, which signs the plug-in on.
    ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    const Reply reply = fire(EM_SETPASSWORD, "accounts.db");
    if (HasFailure())
        std::fprintf(stderr, "%s\n", orvTrace().c_str());
    EXPECT_EQ(reply.code, GetParam().code);
    EXPECT_EQ(quillscript::shown(), GetParam().shown);
    char stored[64] = {};
    OrvTestPassword("alice", "QUILL", "accounts.db", stored, sizeof stored);
    const Answer& last = GetParam().answers.front();
    if (reply.code == EM_NEW_PASSWORD_SET) {
        EXPECT_EQ(std::string(stored), last.first);
        EXPECT_EQ(reply.length, last.first.size());
    } else {
        EXPECT_EQ(std::string(stored), "old-secret");
    }
}

const std::string kLongest(kMax, 'm');
const std::string kTooLong(kMax + 1, 'm');

INSTANTIATE_TEST_SUITE_P(
    Plugin, ChangePassword,
    ::testing::Values(
        ChangeCase{"SixCharactersPass", {{Answer::type, "sixsix", "sixsix"}}, 97, "change"},
        ChangeCase{"TheMaximumPasses", {{Answer::type, kLongest, kLongest}}, 97, "change"},
        ChangeCase{"DifferentTextsFailBeforeAnyLengthCheck",
                   {{Answer::type, "abc", "abd"}, {Answer::cancel, {}, {}}}, 40,
                   "change box 25025 change"},
        ChangeCase{"FiveCharactersFail",
                   {{Answer::type, "fivec", "fivec"}, {Answer::cancel, {}, {}}}, 40,
                   "change box 25028 change"},
        ChangeCase{"OneOverTheMaximumFails",
                   {{Answer::type, kTooLong, kTooLong}, {Answer::cancel, {}, {}}}, 40,
                   "change box 25027 change"},
        ChangeCase{"AnEmptyConfirmationFails",
                   {{Answer::type, "sixsix", ""}, {Answer::cancel, {}, {}}}, 40,
                   "change box 25090 change"},
        ChangeCase{"CancelSetsNothing", {{Answer::cancel, {}, {}}}, 40, "change"}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST_F(Plugin, ADisconnectedWorkstationShowsItsBoxAndAnswersZero)
{
    load(oneUser("target QUILL accounts.db - old-secret\n"));
    start();
    OrvTestSetDisconnected(1);
    EXPECT_EQ(fire(EM_SETPASSWORD, "accounts.db").code, 0);
    EXPECT_EQ(quillscript::shown(), "box 26126");
}

// ---------------------------------------------------------------------------------------------
// Trace and log

TEST_F(Plugin, EveryEntryPointTracesItsWayInAndOutAndNothingHoldsAPassword)
{
    const char* oldSecret = "trc-old-4711-qwertzuiopasdfgh";
    const char* newSecret = "trc-new-4711-yxcvbnmlkjhgfdsa";
    constexpr DWORD max = 40;
    load(oneUser(std::string("target QUILL accounts.db - ") + oldSecret + "\n"));
    start({{Answer::type, newSecret, newSecret}});
    for (WORD event : {WORD(EM_GETPASSWORD), WORD(EM_SETPASSWORD)}) {
        const Reply reply = fire(event, "accounts.db", max);
        EXPECT_EQ(reply.code, event == EM_GETPASSWORD ? EM_PASSWORD_SUPPLIED : EM_NEW_PASSWORD_SET);
    }
    EXPECT_EQ(fire(EM_CLEARPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    char buffer[max + 1];
    DWORD length = 0;
    char file[] = "accounts.db";
    char server[] = "srv";
    EXPECT_EQ(fGetText(max, file, server, &length, buffer), 0);
    SecureZeroMemory(buffer, sizeof buffer);
    fClear();
    EXPECT_EQ(readAll(OrvTestFindings), "");

    const std::string trace = orvTrace();
    for (const char* signature :
         {"MainEntryPoint()", "GetPWHandler(EMRECORD*)", "SetPWHandler(EMRECORD*)",
          "ClearPWHandler()", "ExtClear()", "ExtGetPasswordText(DWORD,char*,char*,DWORD*,char*)",
          "get_pwd_from_pkm(password_data_t*)", "update_pwd_in_pkm(password_data_t*)",
          "get_new_password(password_data_t*)"}) {
        EXPECT_NE(trace.find(std::string("1 >>---#> ENTERING : ") + signature),
                  std::string::npos) << signature;
        EXPECT_NE(trace.find(std::string("1 <<---#< EXITING : ") + signature),
                  std::string::npos) << signature;
    }
    for (const char* secret : {oldSecret, newSecret}) {
        EXPECT_EQ(trace.find(secret), std::string::npos) << secret;
        EXPECT_EQ(orvLog().find(secret), std::string::npos) << secret;
    }
}

} // namespace
