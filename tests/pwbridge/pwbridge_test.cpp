// The password plug-in as the client application sees it: registration and unloading, the
// get-password road with its target matching, the change-password dialog's checks, the error
// dialog's switch, and what the trace and the log may hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <detail/icallgrd.hpp>
#include <iapp.hpp>
#include <idmfact.hpp>
#include <idmsupp.hpp>
#include <idmtbit.hpp>
#include <ientryfd.hpp>
#include <ihelpwin.hpp>
#include <iplatfrm.hpp>
#include <iwindow.hpp>
#include <handdrag.hpp>
#include <ovktest.hpp>

#include "hvxapi.h"
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
    bool bufferClear; // every byte before the guard is zero

    ~Reply()
    {
        if (!password.empty())
            SecureZeroMemory(&password[0], password.size());
    }
};

// TEST ONLY: every block that the plug-in, the class library and the C++ run time they share
// hand back to the C run time, and every text buffer an edit control frees, looked at before
// it goes: a block that still holds one of the watched secrets is a finding. The blocks are
// seen through the modules' import tables, which the watch redirects while it lives. Blocks
// that the test itself and the sign-on service's stand-in free are wiped, never findings, and
// every block is zeroed when it is handed out, so that stale bytes of the heap never pass for
// what the block's owner left in it.
class FreedBlockWatch {
public:
    explicit FreedBlockWatch(std::initializer_list<const char*> secrets)
    {
        for (const char* secret : secrets)
            fSecrets.push_back(secret);
        gWatch = this;
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        for (const char* module : {"pwbridge.dll", "ovkwin.dll", "ovkbase.dll", "libstdc++-6.dll",
                                   static_cast<const char*>(program), "orvcl.dll"}) {
            if (module != program && std::strcmp(module, "orvcl.dll") != 0)
                fWatched.push_back(GetModuleHandleA(module));
            patch(module, "free", &watchedFree, gFree);
            patch(module, "malloc", &zeroedMalloc, gMalloc);
            patch(module, "calloc", &zeroedCalloc, gCalloc);
            patch(module, "realloc", &zeroedRealloc, gRealloc);
        }
        for (const char* module : {"user32.dll", "comctl32.dll"})
            fEditEntries += patch(module, "LocalFree", &watchedLocalFree, gLocalFree);
    }
    FreedBlockWatch(const FreedBlockWatch&) = delete;
    FreedBlockWatch& operator=(const FreedBlockWatch&) = delete;
    ~FreedBlockWatch()
    {
        fPatches.clear();
        gWatch = nullptr;
    }

    // Blank-separated: "free in ovkwin.dll LocalFree in user32.dll".
    std::string findings() const { return fFindings; }
    int patchedEntries() const
    {
        int entries = 0;
        for (const auto& patch : fPatches)
            entries += patch->entries();
        return entries;
    }
    // The edit control's LocalFree entries watched: without one, the edit buffers go unseen.
    int editEntries() const { return fEditEntries; }

private:
    using FreeEntry = void(__cdecl*)(void*);
    using MallocEntry = void*(__cdecl*)(size_t);
    using CallocEntry = void*(__cdecl*)(size_t, size_t);
    using ReallocEntry = void*(__cdecl*)(void*, size_t);
    using LocalFreeEntry = HLOCAL(WINAPI*)(HLOCAL);

    // Redirects the module's imports of the function; answers how many it found. The entry
    // the redirections call on is the first module's, set before the first call can come.
    template <class Entry>
    int patch(const char* module, const char* function, Entry replacement, Entry& original)
    {
        Entry later = nullptr;
        fPatches.push_back(std::make_unique<ovktest::ImportPatch>(module, function, replacement,
                                                                  original ? later : original));
        return fPatches.back()->entries();
    }

    template <class Char>
    bool holds(const Char* bytes, size_t count) const
    {
        for (const std::string& secret : fSecrets) {
            // Any run of all but the first character: an emptied edit buffer keeps the rest.
            const size_t length = secret.size() - 1;
            for (size_t at = 0; at + length <= count; ++at) {
                size_t matched = 0;
                while (matched < length &&
                       bytes[at + matched] == static_cast<Char>(secret[1 + matched]))
                    ++matched;
                if (matched == length)
                    return true;
            }
        }
        return false;
    }

    // The finding names the module that gave the block back.
    void note(const char* what, void* caller)
    {
        HMODULE module = nullptr;
        char name[MAX_PATH] = "?";
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(caller), &module))
            GetModuleFileNameA(module, name, sizeof name);
        const char* file = std::strrchr(name, '\\');
        if (!fFindings.empty())
            fFindings += ' ';
        fFindings += std::string(what) + " in " + (file ? file + 1 : name);
    }

    // operator delete jumps to free: the return address is the code that deleted the block.
    static void __cdecl watchedFree(void* block)
    {
        if (block && gWatch) {
            const size_t size = _msize(block);
            void* caller = __builtin_return_address(0);
            if (gWatch->isWatched(caller) && gWatch->holds(static_cast<const char*>(block), size))
                gWatch->note("free", caller);
            SecureZeroMemory(block, size);
        }
        gFree(block);
    }

    static void* __cdecl zeroedMalloc(size_t size)
    {
        void* block = gMalloc(size);
        if (block)
            std::memset(block, 0, _msize(block));
        return block;
    }

    static void* __cdecl zeroedCalloc(size_t count, size_t size)
    {
        void* block = gCalloc(count, size);
        if (block)
            std::memset(block, 0, _msize(block));
        return block;
    }

    // The bytes past the old contents are the heap's, stale.
    static void* __cdecl zeroedRealloc(void* block, size_t size)
    {
        const size_t kept = block ? _msize(block) : 0;
        void* grown = gRealloc(block, size);
        if (grown && _msize(grown) > kept)
            std::memset(static_cast<char*>(grown) + kept, 0, _msize(grown) - kept);
        return grown;
    }

    bool isWatched(void* caller) const
    {
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(caller), &module);
        for (HMODULE watched : fWatched) {
            if (module && module == watched)
                return true;
        }
        return false;
    }

    static HLOCAL WINAPI watchedLocalFree(HLOCAL local)
    {
        if (local && gWatch) {
            if (const void* bytes = LocalLock(local)) {
                const SIZE_T size = LocalSize(local);
                if (gWatch->holds(static_cast<const char*>(bytes), size) ||
                    gWatch->holds(static_cast<const wchar_t*>(bytes), size / sizeof(wchar_t)))
                    gWatch->note("LocalFree", __builtin_return_address(0));
                LocalUnlock(local);
            }
        }
        return gLocalFree(local);
    }

    static inline FreedBlockWatch* gWatch = nullptr;
    static inline FreeEntry gFree = nullptr;
    static inline MallocEntry gMalloc = nullptr;
    static inline CallocEntry gCalloc = nullptr;
    static inline ReallocEntry gRealloc = nullptr;
    static inline LocalFreeEntry gLocalFree = nullptr;
    std::vector<std::string> fSecrets;
    std::vector<HMODULE> fWatched;
    std::vector<std::unique_ptr<ovktest::ImportPatch>> fPatches;
    int fEditEntries = 0;
    std::string fFindings;
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
        ovktest::registerClass("PwTestHost");
        fHost = CreateWindowExA(0, "PwTestHost", "Quill", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
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
    }

    template <class Entry>
    Entry entry(const char* name)
    {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(fPlugin, name)));
    }

    void load(const std::string& lines)
    {
        fStore.write(lines);
        ASSERT_EQ(OrvTestLoad(fStore.path()), 0);
    }

    void start(const std::vector<Answer>& answers = {})
    {
        quillscript::start(answers, 30);
        EXPECT_EQ(fMain(), 0);
    }

    // The handler registered for the event, called with another event's id when a test asks
    // for a wrong one.
    static WORD handlerFor(WORD eventId)
    {
        return eventId == EM_GETPASSWORD || eventId == EM_SETPASSWORD ||
                       eventId == EM_CLEARPASSWORD
                   ? eventId
                   : static_cast<WORD>(EM_GETPASSWORD);
    }

    Reply fire(WORD eventId, const char* database, DWORD maxLength = kMax,
               bool withBuffer = true)
    {
        return fireAt(handlerFor(eventId), eventId, database, maxLength, withBuffer);
    }

    // Calls the handler registered for `handlerEvent` with a record of `eventId`.
    // The buffer is maxLength bytes, the size the host passes, with a guard byte after it.
    Reply fireAt(WORD handlerEvent, WORD eventId, const char* database, DWORD maxLength = kMax,
                 bool withBuffer = true)
    {
        std::vector<char> buffer(maxLength + 1, '\0');
        buffer[maxLength] = kGuard;
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
        const WORD code = NqTestFire(handlerEvent, &record);
        bool clear = true;
        for (DWORD at = 0; at < maxLength; ++at)
            clear = clear && buffer[at] == '\0';
        // A password that fills the buffer has no zero after it.
        const size_t filled = strnlen(buffer.data(), maxLength);
        Reply reply{code, std::string(buffer.data(), filled), length, buffer[maxLength] == kGuard,
                    clear};
        SecureZeroMemory(buffer.data(), buffer.size());
        return reply;
    }

    HWND fHost = nullptr;
    HMODULE fPlugin = nullptr;
    PwMainEntryPoint fMain = nullptr;
    PwExtClear fClear = nullptr;
    PwExtGetPasswordText fGetText = nullptr;
    const ovktest::TempFile fStore{"pwbridge-store.txt"};
};

std::string oneUser(const std::string& targets)
{
    return "user alice\ncredentials alice\n" + targets;
}

// ---------------------------------------------------------------------------------------------
// The library's password field, as any program builds one

constexpr char kFieldSecret[] = "fld-secret-0815-plmoknijbuhv";
const unsigned long kFieldSecretLength = sizeof kFieldSecret - 1;

// One thing a program does with its password field once the secret is in it.
struct FieldRoad {
    const char* name;
    void (*road)(IEntryField& field);
};

class PasswordField : public ::testing::TestWithParam<FieldRoad> {};

TEST_P(PasswordField, LeavesTheSecretInNoFreedBlock)
{
    ovktest::TestWindow parent;
    FreedBlockWatch watch({kFieldSecret});
    {
        IEntryField field(1, &parent, &parent, IRectangle(0, 0, 200, 20),
                          IEntryField::defaultStyle() | IEntryField::_unreadable);
        field.setLimit(kFieldSecretLength);
        field.setText(kFieldSecret);
        GetParam().road(field);
        // Overwritten through the library before it goes, as a program does with a password.
        field.setText(IString::repeated('*', field.textLength()));
        field.removeAll();
    }
    EXPECT_EQ(watch.findings(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Roads, PasswordField,
    ::testing::Values(
        FieldRoad{"ItsTextReadByTheProgram",
                  [](IEntryField& field) {
                      IString text = field.text();
                      EXPECT_EQ(text.compare(kFieldSecret), 0);
                      text.wipe();
                  }},
        FieldRoad{"ALongerTextCutToTheLimit",
                  [](IEntryField& field) {
                      char longer[64] = {};
                      std::snprintf(longer, sizeof longer, "%s-cut-off", kFieldSecret);
                      field.setText(longer);
                      SecureZeroMemory(longer, sizeof longer);
                      EXPECT_EQ(field.textLength(), kFieldSecretLength);
                  }},
        FieldRoad{"ItsFirstCharacterCleared",
                  [](IEntryField& field) {
                      field.selectRange(IRange(0, 0));
                      field.clear();
                      EXPECT_EQ(field.textLength(), kFieldSecretLength);
                  }},
        FieldRoad{"ANewLimit", [](IEntryField& field) { field.setLimit(64); }},
        FieldRoad{"ItsSelectedText",
                  [](IEntryField& field) {
                      field.selectRange(IRange(0, kFieldSecretLength - 2));
                      IString part = field.selectedText();
                      EXPECT_EQ(part.length(), kFieldSecretLength - 1);
                      part.wipe();
                  }},
        FieldRoad{"ItsDisplaySize",
                  [](IEntryField& field) { EXPECT_GT(field.displaySize().width(), 4); }},
        // The older shell measures the text around the selection to hit-test a press.
        FieldRoad{"ARightPressOnItsSelectionOnTheOlderShell",
                  [](IEntryField& field) {
                      const IPlatform::Override olderShell(IPlatform::newShell, false);
                      IDMSupport::enableDragWithoutProvider(&field);
                      field.selectRange(IRange(0, kFieldSecretLength - 2));
                      ovktest::Recorder drags(0xFFDE);
                      drags.attach(field, "drag", true);
                      // The press arms a drag when the hit test finds the selection; a move
                      // past two pixels starts it.
                      PostMessageA(field.handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
                      PostMessageA(field.handle(), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(20, 4));
                      ovktest::pumpPending();
                      EXPECT_EQ(drags.trace(), "drag");
                  }},
        // A hand presses on the selected secret and carries it to another field that takes
        // dropped text: the secret goes nowhere, not even as a drag of its own.
        FieldRoad{"ItsSelectionDraggedByHandOntoAnotherField",
                  [](IEntryField& field) {
                      IWindow& parent = *field.parent();
                      SetWindowPos(parent.handle(), nullptr, 120, 120, 320, 160,
                                   SWP_NOZORDER | SWP_SHOWWINDOW);
                      IEntryField other(2, &parent, &parent, IRectangle(0, 80, 200, 100));
                      IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&field);
                      IDMSupport::enableDragDropFor<IDMEntryFieldItem>(&other);
                      field.selectRange(IRange(0, kFieldSecretLength - 1));
                      const LRESULT at = SendMessageA(field.handle(), EM_POSFROMCHAR, 3, 0);
                      ovktest::HandPath path;
                      path.from = ovktest::onScreen(field.handle(), LOWORD(at), HIWORD(at) + 4);
                      path.to = ovktest::onScreen(other.handle(), 100, 10);
                      ASSERT_TRUE(ovktest::dragByHand(path));
                      EXPECT_EQ(other.textLength(), 0ul);
                      EXPECT_EQ(field.textLength(), kFieldSecretLength);
                  }}),
    [](const ::testing::TestParamInfo<FieldRoad>& info) { return std::string(info.param.name); });

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

TEST_F(Plugin, ExtClearAnswersAndTracesAFailedSecondOrThirdDeregistration)
{
    for (int passing : {1, 2}) {
        NqTestReset();
        start();
        NqTestForceStatusAfter(nqDeregister, passing, 6);
        EXPECT_EQ(fClear(), 6) << passing;
        EXPECT_NE(orvTrace().find("status: 0x6 {in ExtClear(), format \"Could not deregister "
                                  "extension handler #%lu - status: 0x%lX\"}"),
                  std::string::npos)
            << orvTrace();
        OrvTestReset();
    }
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
    // A password exactly as long as the maximum fills the buffer and leaves the guard.
    OrvTestReset();
    load(oneUser("target QUILL accounts.db - " + std::string(kMax, 'q') + "\n"));
    const Reply full = fire(EM_GETPASSWORD, "accounts.db");
    EXPECT_EQ(full.code, EM_PASSWORD_SUPPLIED);
    EXPECT_EQ(full.length, kMax);
    EXPECT_EQ(full.password, std::string(kMax, 'q'));
    EXPECT_TRUE(full.guardIntact);
}

TEST_F(Plugin, AWrongEventOrAMissingBufferIsNotTakenAndAsksTheServiceNothing)
{
    load(oneUser("target QUILL accounts.db - secret-1\n"));
    start();
    // Each handler, given a record routed to it for another event, touches nothing.
    for (WORD handler : {WORD(EM_GETPASSWORD), WORD(EM_SETPASSWORD), WORD(EM_CLEARPASSWORD)}) {
        for (WORD id : {WORD(EM_GETPASSWORD), WORD(EM_SETPASSWORD), WORD(EM_CLEARPASSWORD),
                        WORD(75)}) {
            if (id != handler) {
                EXPECT_EQ(fireAt(handler, id, "accounts.db").code, EM_NOT_TAKEN)
                    << handler << " given " << id;
            }
        }
    }
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db", kMax, false).code, EM_NOT_TAKEN);
    EXPECT_EQ(orvJournal(), "sso_svc_init");
    EXPECT_EQ(quillscript::shown(), "");
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
    const Reply refused = fire(EM_SETPASSWORD, "accounts.db");
    EXPECT_EQ(refused.code, EM_NEW_PASSWORD_NOT_SET);
    // The typed password was not stored: it does not stay in the host's buffer either.
    EXPECT_TRUE(refused.bufferClear) << refused.password;
    EXPECT_EQ(fire(EM_SETPASSWORD, "missing.db").code, EM_NEW_PASSWORD_NOT_SET);
    // The second change reaches the update, which finds no target for the database.
    EXPECT_EQ(quillscript::shown(), "change box 26113 change box 26123");
    EXPECT_NE(orvLog().find("ORV_LC extpwd"), std::string::npos);
    // The error line names its function and keeps its own format apart from its arguments.
    EXPECT_NE(orvTrace().find("160 Could not update PKM with new password, major_rc = 1735e0cc "
                              "{in update_pwd_in_pkm(password_data_t*), format \"Could not "
                              "update PKM with new password, major_rc = %x\"}"),
              std::string::npos)
        << orvTrace();
}

TEST_F(Plugin, ANewPasswordThatCannotBeCopiedForTheServiceIsNotSet)
{
    load(oneUser("target QUILL accounts.db - old-secret\n"));
    start({{Answer::type, "new-secret", "new-secret"}});
    ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    OrvTestScript("sso_string_set", 1);
    const Reply reply = fire(EM_SETPASSWORD, "accounts.db");
    EXPECT_EQ(reply.code, EM_NEW_PASSWORD_NOT_SET);
    EXPECT_TRUE(reply.bufferClear);
    EXPECT_EQ(orvJournal().find("sso_pkm_user_tgt_update"), std::string::npos);
    char stored[64] = {};
    OrvTestPassword("alice", "QUILL", "accounts.db", stored, sizeof stored);
    EXPECT_EQ(std::string(stored), "old-secret");
    EXPECT_NE(orvLog().find("0x1735E190"), std::string::npos);
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
// A window of the program that fails while the plug-in shows a box

// Whether a top-level window is one of the plug-in's boxes: a plain message box, or the
// get-password error dialog (OK and no password entry).
bool isPluginBox(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0)
        return true;
    struct Found {
        bool ok = false;
        bool entry = false;
    } found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL CALLBACK {
            auto* f = reinterpret_cast<Found*>(data);
            f->ok = f->ok || GetDlgCtrlID(child) == 30004;
            f->entry = f->entry || GetDlgCtrlID(child) == 26104;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.ok && !found.entry;
}

// A window of the program, made with the library, whose handler throws once: when a window
// that `chosen` picks comes up (HCBT_ACTIVATE) or goes (HCBT_DESTROYWND). The library keeps what
// the handler threw, as for any window of the thread, until its own code runs next.
class FailingWindow {
public:
    FailingWindow(int cbtCode, std::function<bool(HWND)> chosen)
        : fCode(cbtCode), fChosen(std::move(chosen))
    {
        fRecorder.attach(fWindow, "fail").setAction([](IEvent&) -> bool {
            throw IException("the program's window failed");
        });
        gFailing = this;
        fHook = SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId());
    }
    ~FailingWindow()
    {
        UnhookWindowsHookEx(fHook);
        gFailing = nullptr;
    }
    FailingWindow(const FailingWindow&) = delete;
    FailingWindow& operator=(const FailingWindow&) = delete;

    bool failed() const { return fRecorder.trace() == "fail"; }

private:
    static constexpr UINT kFail = WM_APP + 0x71;

    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam)
    {
        FailingWindow* self = gFailing;
        if (self && code == self->fCode && self->fRecorder.trace().empty() &&
            self->fChosen(reinterpret_cast<HWND>(wParam)))
            SendMessageA(self->fWindow.hwnd(), kFail, 0, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline FailingWindow* gFailing = nullptr;
    int fCode;
    std::function<bool(HWND)> fChosen;
    ovktest::TestWindow fWindow;
    ovktest::Recorder fRecorder{kFail};
    HHOOK fHook = nullptr;
};

struct FailingBoxCase {
    const char* name;
    std::string targets;
    const char* scriptedCall; // made to fail on the set road, or null
    WORD event;
    WORD code;
};

class FailingBox : public Plugin, public ::testing::WithParamInterface<FailingBoxCase> {};

// The list of targets holds every password of the user: it goes back to the service on every
// road, also when the box that reports the request's failure fails itself.
TEST_P(FailingBox, LeavesNoTargetListBehind)
{
    load(oneUser(GetParam().targets));
    start({{Answer::type, "new-secret", "new-secret"}});
    if (GetParam().event == EM_SETPASSWORD) {
        ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    }
    if (GetParam().scriptedCall)
        OrvTestScript(GetParam().scriptedCall, 0x1735E0CC);
    FailingWindow failing(HCBT_ACTIVATE, isPluginBox);
    EXPECT_EQ(fire(GetParam().event, "accounts.db").code, GetParam().code);
    EXPECT_TRUE(failing.failed());
    const std::string journal = orvJournal();
    const size_t query = journal.rfind("sso_pkm_user_tgt_with_key_query");
    ASSERT_NE(query, std::string::npos);
    EXPECT_NE(journal.find("sso_pkm_user_tgt_data_free", query), std::string::npos) << journal;
    EXPECT_NE(orvTrace().find("Unexpected failure: the program's window failed"),
              std::string::npos);
    EXPECT_FALSE(ICallbackGuard::hasPending());
}

INSTANTIATE_TEST_SUITE_P(
    Plugin, FailingBox,
    ::testing::Values(
        FailingBoxCase{"NoMatchingTarget", "target QUILL other.db - pw-other\n", nullptr,
                       EM_GETPASSWORD, EM_PASSWORD_NOT_SUPPLIED},
        FailingBoxCase{"AnEmptyStoredPassword",
                       "target QUILL other.db - pw-other\ntarget QUILL accounts.db - -\n",
                       nullptr, EM_GETPASSWORD, EM_PASSWORD_NOT_SUPPLIED},
        FailingBoxCase{"ARefusedUpdate", "target QUILL accounts.db - old-secret\n",
                       "sso_pkm_user_tgt_update", EM_SETPASSWORD, EM_NEW_PASSWORD_NOT_SET}),
    [](const ::testing::TestParamInfo<FailingBoxCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(Plugin, AFailedSignOnWhoseBoxFailsStillSignsOff)
{
    load(oneUser("target QUILL accounts.db - pw-again\n"));
    start();
    ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    // The credentials expired; signing on again fails, and so does the box that says so.
    OrvTestScript("sso_pkm_user_tgt_with_key_query", SSO_RC_CRED_EXPIRED);
    OrvTestScript("sso_auth_refresh", 0x1735E2C0);
    {
        FailingWindow failing(HCBT_ACTIVATE, isPluginBox);
        EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_NOT_SUPPLIED);
        EXPECT_TRUE(failing.failed());
    }
    // Signed off: the next request signs on before it asks for the targets.
    const size_t before = orvJournal().size();
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    const std::string next = orvJournal().substr(before);
    const size_t signOn = next.find("sso_auth_refresh");
    ASSERT_NE(signOn, std::string::npos) << next;
    EXPECT_LT(signOn, next.find("sso_pkm_user_tgt_with_key_query"));
}

// What a window's handler lets go while the plug-in's box goes away, after the plug-in's last
// call into the library, is the failure of that request: the next one runs clean.
TEST_F(Plugin, AFailureLeftWhenARequestEndsDoesNotFailTheNext)
{
    load(oneUser("target QUILL other.db - pw-other\n"));
    start({{Answer::cancel, {}, {}}, {Answer::cancel, {}, {}}});
    {
        // The error dialog, owned by the host's window, as it is destroyed.
        FailingWindow failing(HCBT_DESTROYWND,
                              [this](HWND window) { return GetWindow(window, GW_OWNER) == fHost; });
        EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_NOT_SUPPLIED);
        EXPECT_TRUE(failing.failed());
        EXPECT_FALSE(ICallbackGuard::hasPending());
    }
    EXPECT_NE(orvLog().find("0x1735EC86 \"the program's window failed"), std::string::npos)
        << orvLog();
    // The next request shows its box and has it answered.
    EXPECT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_NOT_SUPPLIED);
    EXPECT_EQ(quillscript::shown(), "error 26123 error 26123");
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
    EXPECT_TRUE(reply.guardIntact);
    EXPECT_EQ(quillscript::shown(), GetParam().shown);
    char stored[64] = {};
    OrvTestPassword("alice", "QUILL", "accounts.db", stored, sizeof stored);
    const Answer& last = GetParam().answers.front();
    if (reply.code == EM_NEW_PASSWORD_SET) {
        EXPECT_EQ(std::string(stored), last.first);
        EXPECT_EQ(reply.password, last.first);
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

// The help libraries of the change-password dialog, read from its help window while the script
// holds the dialog on screen; the script answers it once they are read.
std::string gHelpLibraries;

BOOL CALLBACK findChangeDialog(HWND window, LPARAM found)
{
    const HWND canvas = GetDlgItem(window, 32776);
    if (IsWindowVisible(window) && canvas && GetDlgItem(canvas, 26104)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK readHelpLibraries(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findChangeDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    const IHelpWindow* help =
        IHelpWindow::helpWindow(IWindow::windowWithHandle(IWindowHandle(dialog)));
    gHelpLibraries = help ? static_cast<const char*>(help->libraries()) : "(no help window)";
    quillscript::hold(false);
}

// The help library sits under the sign-on service's folder, named by the environment in the
// OEM code page; without the variable the dialogs' help has no library.
TEST_F(Plugin, TheDialogsHelpLibraryFollowsTheSignOnFolder)
{
    load(oneUser("target QUILL accounts.db - old-secret\n"));
    start({{Answer::cancel, {}, {}}, {Answer::cancel, {}, {}}});
    ASSERT_EQ(fire(EM_GETPASSWORD, "accounts.db").code, EM_PASSWORD_SUPPLIED);
    // 0x81 is u-umlaut in the OEM code page and 0xFC in the ANSI one.
    const struct {
        const char* value;
        const char* expected;
    } cases[] = {{"C:\\orv\x81", "C:\\orv\xFC\\help\\launcher.hlp"}, {nullptr, ""}};
    for (const auto& c : cases) {
        SetEnvironmentVariableA("VEKORVPATH", c.value);
        gHelpLibraries = "(not read)";
        quillscript::hold(true);
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, readHelpLibraries);
        EXPECT_EQ(fire(EM_SETPASSWORD, "accounts.db").code, EM_NEW_PASSWORD_NOT_SET);
        KillTimer(nullptr, timer);
        quillscript::hold(false);
        EXPECT_EQ(gHelpLibraries, c.expected) << (c.value ? c.value : "unset");
    }
    SetEnvironmentVariableA("VEKORVPATH", nullptr);
    EXPECT_EQ(quillscript::shown(), "change change");
}

// ---------------------------------------------------------------------------------------------
// A dependency missing: every entry answers its failure code, and the process goes on.

constexpr char kRemoved[] = ".away";

std::string besideTheProgram(const char* file)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

// Takes a library away from beside the program, or puts another module in its place, and puts
// the original back; a copy left in its place is removed first.
void takeAway(const char* file, const char* replacement)
{
    const std::string path = besideTheProgram(file);
    ASSERT_TRUE(MoveFileA(path.c_str(), (path + kRemoved).c_str())) << path;
    if (replacement) {
        ASSERT_TRUE(CopyFileA(besideTheProgram(replacement).c_str(), path.c_str(), TRUE));
    }
}

void putBack(const char* file)
{
    const std::string path = besideTheProgram(file);
    if (GetFileAttributesA((path + kRemoved).c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    DeleteFileA(path.c_str());
    MoveFileA((path + kRemoved).c_str(), path.c_str());
}

struct MissingCase {
    const char* name;
    const char* file;
    const char* replacement; // a module without the file's resources, or null
    bool needed;             // the entries' roads fail without it
};

class MissingDependency : public Plugin, public ::testing::WithParamInterface<MissingCase> {
protected:
    // Calls every entry as the host would, straight through its export (the refused handler
    // is not registered), on roads that need the dependency.
    void callEveryEntry()
    {
        load("user bob\ncredentials bob\n");
        quillscript::start({}, 30);
        NqTestForceStatus(nqRegister, 3);
        // The refused registration is traced and logged, whether or not its box can be shown,
        // and the later ones still register; the answer is the last one's status.
        EXPECT_EQ(fMain(), 0);
        EXPECT_EQ(NqTestRegistrationCount(), 2);
        EXPECT_NE(orvTrace().find("Could not register extension handler - status: 0x3"),
                  std::string::npos);
        EXPECT_NE(orvLog().find("0x1735EC80 0x3"), std::string::npos);
        using Handler = WORD(WINAPI*)(EMRECORD*);
        using LibMainEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
        char buffer[kMax + 1] = {};
        DWORD length = 0;
        char file[] = "accounts.db";
        char server[] = "srv";
        EMARG slots[EM_SETPASSWORD_ARGS] = {kMax, reinterpret_cast<EMARG>(&length),
                                            reinterpret_cast<EMARG>(buffer),
                                            reinterpret_cast<EMARG>(file),
                                            reinterpret_cast<EMARG>(server)};
        const struct {
            const char* entry;
            WORD eventId;
            WORD expected;
        } handlers[] = {{"GetPWHandler", EM_GETPASSWORD, EM_PASSWORD_NOT_SUPPLIED},
                        {"SetPWHandler", EM_SETPASSWORD, EM_NEW_PASSWORD_NOT_SET},
                        {"ClearPWHandler", EM_CLEARPASSWORD, EM_NOT_TAKEN}};
        for (const auto& h : handlers) {
            EMRECORD record{};
            record.EId = h.eventId;
            record.EArgs = slots;
            SetActiveWindow(fHost);
            EXPECT_EQ(entry<Handler>(h.entry)(&record), h.expected) << h.entry;
        }
        // Signed off by the clear handler, the request signs on again with no dialogs.
        EXPECT_EQ(fGetText(kMax, file, server, &length, buffer), 2);
        EXPECT_EQ(fClear(), 0);
        EXPECT_EQ(entry<LibMainEntry>("LibMain")(fPlugin, DLL_PROCESS_DETACH, nullptr), TRUE);
        quillscript::stop();
        // No wrapper of the host's window outlives the road an exception ended.
        EXPECT_EQ(IWindow::windowWithHandle(IWindowHandle(fHost)), nullptr);
    }
};

TEST_P(MissingDependency, EveryEntryAnswersItsFailureCodeAndTheProcessGoesOn)
{
    // In a process of its own: a library once loaded stays loaded.
    const MissingCase& c = GetParam();
    EXPECT_EXIT(
        {
            takeAway(c.file, c.replacement);
            callEveryEntry();
            // The failure is traced in the entry it ended, and logged with its text.
            const std::string trace = orvTrace();
            for (const char* signature : {"SetPWHandler(EMRECORD*)",
                                          "ExtGetPasswordText(DWORD,char*,char*,DWORD*,char*)"})
                EXPECT_EQ(trace.find(std::string("{in ") + signature +
                                     ", format \"Unexpected failure: %s\"}") != std::string::npos,
                          c.needed)
                    << signature;
            EXPECT_EQ(orvLog().find("0x1735EC86 \"") != std::string::npos, c.needed);
            if (HasFailure())
                std::fprintf(stderr, "%s\n%s\n", trace.c_str(), orvLog().c_str());
            std::exit(HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    putBack(c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Plugin, MissingDependency,
    ::testing::Values(MissingCase{"TheSignOnResources", "orvres.dll", nullptr, true},
                      MissingCase{"TheirStrings", "orvres.dll", "orvconv.dll", true},
                      // The dialogs' help runs through the system's help, not the viewer.
                      MissingCase{"TheHelpViewer", HVX_LIBRARY_NAME, nullptr, false}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Trace and log

TEST_F(Plugin, EveryEntryPointTracesItsWayInAndOutAndNothingHoldsAPassword)
{
    const char* oldSecret = "trc-old-4711-qwertzuiopasdfgh";
    const char* newSecret = "trc-new-4711-yxcvbnmlkjhgfdsa";
    constexpr DWORD max = 40;
    load(oneUser(std::string("target QUILL accounts.db - ") + oldSecret + "\n"));
    start({{Answer::type, newSecret, newSecret}});
    FreedBlockWatch watch({oldSecret, newSecret});
    // free in the plug-in, the class library, its base library and the C++ run time, and the
    // edit control's LocalFree in one of the two libraries that hold the control.
    EXPECT_GE(watch.patchedEntries(), 4);
    EXPECT_GE(watch.editEntries(), 1);
    for (WORD event : {WORD(EM_GETPASSWORD), WORD(EM_SETPASSWORD)}) {
        const Reply reply = fire(event, "accounts.db", max);
        EXPECT_EQ(reply.code, event == EM_GETPASSWORD ? EM_PASSWORD_SUPPLIED : EM_NEW_PASSWORD_SET);
    }
    EXPECT_EQ(fire(EM_CLEARPASSWORD, "accounts.db").code, EM_NOT_TAKEN);
    char buffer[max + 1];
    buffer[max] = kGuard;
    DWORD length = 0;
    char file[] = "accounts.db";
    char server[] = "srv";
    EXPECT_EQ(fGetText(max, file, server, &length, buffer), 0);
    EXPECT_EQ(buffer[max], kGuard);
    SecureZeroMemory(buffer, sizeof buffer);
    fClear();
    EXPECT_EQ(readAll(OrvTestFindings), "");
    EXPECT_EQ(watch.findings(), "");

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
