// ovkcnr: the stand-in for the module that registers the message-driven container class
// "OVK Container". Loading the DLL registers the class; the functions below are for the
// programs that load it (OvkCnrRegisterClass) and for tests (everything marked TEST ONLY).
#pragma once

#include <windows.h>

#if defined(OVKCNR_BUILD)
#define OVKCNR_API __declspec(dllexport)
#else
#define OVKCNR_API __declspec(dllimport)
#endif

extern "C" {

// Registers the global window class once per process (the DLL's attach does so already);
// answers non-zero when the class is registered. A program calls it to make sure the DLL is
// loaded before the library creates its first container.
OVKCNR_API int OvkCnrRegisterClass(void);

// TEST ONLY --------------------------------------------------------------------------------
// A journal of the container messages (0xF030 to 0xF053) that windows of the class received,
// in the order they arrived, from every thread.
struct OvkCnrJournalEntry {
    HWND window;
    UINT message;
    WPARAM parameter1;
    LPARAM parameter2;
};
OVKCNR_API void OvkCnrTestJournalReset(void);
OVKCNR_API unsigned OvkCnrTestJournalCount(void);
// The entry at an index; false outside the journal.
OVKCNR_API int OvkCnrTestJournalEntryAt(unsigned index, OvkCnrJournalEntry* entry);
// How many journal entries carry this message (to this window, or to any with a null window).
OVKCNR_API unsigned OvkCnrTestJournalCountOf(UINT message, HWND window);

// The next time any window of the class receives this container message, it is journalled, not
// carried out, and answered with this result.
OVKCNR_API void OvkCnrTestForceNextResult(UINT message, LRESULT result);

// Sends the control notification 0xFFD0 (first parameter: the container's id in the low word,
// the code in the high word; second parameter: the data) to the container's owner, which for a
// child window is its parent; answers the owner's result.
OVKCNR_API LRESULT OvkCnrTestNotifyOwner(HWND container, unsigned code, LPARAM data);

// Records and column descriptors allocated and not yet freed, by all windows of the class.
OVKCNR_API long OvkCnrTestLiveRecords(void);
OVKCNR_API long OvkCnrTestLiveFieldInfos(void);

} // extern "C"
