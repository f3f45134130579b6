// The thunk library's message entry points. The platform's library hands messages from 32-bit
// code to 16-bit windows and back; there are no 16-bit windows here, so every entry delivers the
// message to the (32-bit) window it names, with SendMessageA or PostMessageA.
//
// All entries share one signature, the one of SendMessageA, so that a caller can keep them in
// pointers of one type: (window handle, message, parameter 1, parameter 2), both parameters
// pointer-wide, returning the message result (for the post entry, PostMessageA's answer: zero
// on failure, with the thread's last error set by PostMessageA and left untouched).
#include <windows.h>

namespace {

// ---------------------------------------------------------------------------------------------
// TEST ONLY: a journal of the calls, so that a test can tell a message that went through the
// thunk from one the library sent directly. Nothing of the library reads it.

enum Entry { sendEntry, postEntry, toThirtyTwoEntry, entryCount };

struct Call {
    HWND window;
    UINT message;
    WPARAM parameter1;
    LPARAM parameter2;
};

SRWLOCK gJournalLock = SRWLOCK_INIT;
LONG gCallCount[entryCount];
Call gLastCall[entryCount];

// Recorded before the message is delivered, so that the receiving window procedure already
// finds its own call in the journal. Taking the lock does not change the last error.
void record(Entry entry, HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    AcquireSRWLockExclusive(&gJournalLock);
    ++gCallCount[entry];
    gLastCall[entry] = Call{window, message, parameter1, parameter2};
    ReleaseSRWLockExclusive(&gJournalLock);
}

} // namespace

extern "C" {

LRESULT WINAPI DllS32to16SendMessage(HWND window, UINT message, WPARAM parameter1,
                                     LPARAM parameter2)
{
    record(sendEntry, window, message, parameter1, parameter2);
    return SendMessageA(window, message, parameter1, parameter2);
}

LRESULT WINAPI DllS32to16PostMessage(HWND window, UINT message, WPARAM parameter1,
                                     LPARAM parameter2)
{
    record(postEntry, window, message, parameter1, parameter2);
    return PostMessageA(window, message, parameter1, parameter2);
}

// The way back, from a 16-bit window to 32-bit code: the library looks it up but never calls
// it. Here it sends like the first entry.
LRESULT WINAPI DllS16to32Message(HWND window, UINT message, WPARAM parameter1, LPARAM parameter2)
{
    record(toThirtyTwoEntry, window, message, parameter1, parameter2);
    return SendMessageA(window, message, parameter1, parameter2);
}

// TEST ONLY: the number of calls through an entry (0 send, 1 post, 2 the way back) since the
// last reset; -1 for another number.
LONG WINAPI OvkThkTestJournalCount(int entry)
{
    if (entry < 0 || entry >= entryCount) return -1;
    AcquireSRWLockShared(&gJournalLock);
    LONG count = gCallCount[entry];
    ReleaseSRWLockShared(&gJournalLock);
    return count;
}

// TEST ONLY: the arguments of the latest call through an entry; FALSE when there was none since
// the last reset (the outputs are then left alone). Null outputs are skipped.
BOOL WINAPI OvkThkTestJournalLastCall(int entry, HWND* window, UINT* message, WPARAM* parameter1,
                                      LPARAM* parameter2)
{
    if (entry < 0 || entry >= entryCount) return FALSE;
    AcquireSRWLockShared(&gJournalLock);
    const bool any = gCallCount[entry] != 0;
    const Call call = gLastCall[entry];
    ReleaseSRWLockShared(&gJournalLock);
    if (!any) return FALSE;
    if (window != nullptr) *window = call.window;
    if (message != nullptr) *message = call.message;
    if (parameter1 != nullptr) *parameter1 = call.parameter1;
    if (parameter2 != nullptr) *parameter2 = call.parameter2;
    return TRUE;
}

// TEST ONLY: empties the journal.
void WINAPI OvkThkTestJournalReset()
{
    AcquireSRWLockExclusive(&gJournalLock);
    for (int entry = 0; entry < entryCount; ++entry) {
        gCallCount[entry] = 0;
        gLastCall[entry] = Call{};
    }
    ReleaseSRWLockExclusive(&gJournalLock);
}

} // extern "C"
