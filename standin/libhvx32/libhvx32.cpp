// The stand-in help viewer: the four entries of the viewer, each answering success, and a
// hidden window for every help instance so that an instance handle is a real window.
#include <windows.h>

#include <cstring>

#include "hvxapi.h"

namespace {

const char kInstanceClass[] = "OVK HelpViewerInstance";

HINSTANCE gModule;

// ---------------------------------------------------------------------------------------------
// TEST ONLY: the journal of calls and the failures a test asked for.

constexpr LONG kJournalSize = 256;

SRWLOCK gLock = SRWLOCK_INIT;
HVXTESTCALL gJournal[kJournalSize];
LONG gJournalCount;
bool gFailArmed[hvxEntryCount];
LONG gFailCode[hvxEntryCount];

void copyText(char* target, const char* text)
{
    target[0] = '\0';
    if (text)
        lstrcpynA(target, text, HVX_TEST_TEXT_SIZE);
}

// The code the test asked this call to answer, if it asked.
bool takeFailure(int entry, LONG* code)
{
    AcquireSRWLockExclusive(&gLock);
    const bool armed = gFailArmed[entry];
    *code = gFailCode[entry];
    gFailArmed[entry] = false;
    ReleaseSRWLockExclusive(&gLock);
    return armed;
}

void record(const HVXTESTCALL& call)
{
    AcquireSRWLockExclusive(&gLock);
    if (gJournalCount < kJournalSize)
        gJournal[gJournalCount++] = call;
    ReleaseSRWLockExclusive(&gLock);
}

HVXTESTCALL makeCall(int entry, HWND window)
{
    HVXTESTCALL call;
    std::memset(&call, 0, sizeof call);
    call.entry = entry;
    call.window = window;
    return call;
}

bool isTextCommand(USHORT command, LPARAM parameter2)
{
    return command == HVX_CMD_SET_TITLE || command == HVX_CMD_ADD_LIBRARIES ||
           (command == HVX_CMD_DISPLAY && parameter2 == 1);
}

HWND makeInstanceWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = gModule;
        windowClass.lpszClassName = kInstanceClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, kInstanceClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, gModule,
                           nullptr);
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModule = module;
    return TRUE;
}

LONG WINAPI XhCreateHelpInstance(HWND application, HVXINIT* init, HWND* instance)
{
    HVXTESTCALL call = makeCall(hvxCreate, application);
    if (init) {
        call.values[0] = reinterpret_cast<ULONG_PTR>(init->tableModule);
        call.values[1] = init->option3;
        call.values[2] = init->option4;
        copyText(call.texts[0], init->title);
        copyText(call.texts[1], init->libraries);
    }
    LONG code = 0;
    HWND made = nullptr;
    if (!takeFailure(hvxCreate, &code)) {
        made = makeInstanceWindow();
        code = made ? 0 : 1021;
    }
    if (instance)
        *instance = made;
    call.values[3] = reinterpret_cast<ULONG_PTR>(made);
    call.answer = code;
    record(call);
    return code;
}

LONG WINAPI XhDestroyHelpInstance(HWND instance)
{
    HVXTESTCALL call = makeCall(hvxDestroy, instance);
    LONG code = 0;
    if (!takeFailure(hvxDestroy, &code)) {
        const char* className = kInstanceClass;
        char name[64];
        if (IsWindow(instance) && GetClassNameA(instance, name, sizeof name) &&
            lstrcmpA(name, className) == 0)
            DestroyWindow(instance);
    }
    call.answer = code;
    record(call);
    return code;
}

LONG WINAPI XhLoadHelpTable(HWND instance, ULONG tableId, HMODULE module)
{
    HVXTESTCALL call = makeCall(hvxLoadTable, instance);
    call.values[0] = tableId;
    call.values[1] = reinterpret_cast<ULONG_PTR>(module);
    LONG code = 0;
    takeFailure(hvxLoadTable, &code);
    call.answer = code;
    record(call);
    return code;
}

LRESULT WINAPI XhCallHVX(HWND instance, USHORT command, WPARAM parameter1, LPARAM parameter2)
{
    HVXTESTCALL call = makeCall(hvxCall, instance);
    call.values[0] = command;
    call.values[1] = parameter1;
    call.values[2] = static_cast<ULONG_PTR>(parameter2);
    if (isTextCommand(command, parameter2))
        copyText(call.texts[0], reinterpret_cast<const char*>(parameter1));
    LONG code = 0;
    takeFailure(hvxCall, &code);
    call.answer = code;
    record(call);
    return code;
}

// ---------------------------------------------------------------------------------------------
// TEST ONLY

LONG WINAPI OvkHvxTestJournalCount(void)
{
    AcquireSRWLockShared(&gLock);
    const LONG count = gJournalCount;
    ReleaseSRWLockShared(&gLock);
    return count;
}

BOOL WINAPI OvkHvxTestJournalAt(LONG index, HVXTESTCALL* call)
{
    AcquireSRWLockShared(&gLock);
    const bool inside = index >= 0 && index < gJournalCount && call;
    if (inside)
        *call = gJournal[index];
    ReleaseSRWLockShared(&gLock);
    return inside;
}

void WINAPI OvkHvxTestJournalReset(void)
{
    AcquireSRWLockExclusive(&gLock);
    gJournalCount = 0;
    for (int entry = 0; entry < hvxEntryCount; ++entry)
        gFailArmed[entry] = false;
    ReleaseSRWLockExclusive(&gLock);
}

void WINAPI OvkHvxTestFailNext(int entry, LONG code)
{
    if (entry < 0 || entry >= hvxEntryCount)
        return;
    AcquireSRWLockExclusive(&gLock);
    gFailArmed[entry] = true;
    gFailCode[entry] = code;
    ReleaseSRWLockExclusive(&gLock);
}

LRESULT WINAPI OvkHvxTestNotify(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    return SendMessageA(window, message, parameter1, parameter2);
}

} // extern "C"
