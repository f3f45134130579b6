/* The help viewer's programming interface, as the class library calls it and the stand-in
   viewer answers it: the four entries, looked up by name at run time, and the record that
   starts a help instance. Shared by both sides so that they cannot disagree. */
#ifndef HVXAPI_H
#define HVXAPI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What a help instance starts with. The field order is the platform's; addresses and the
   module are pointer-wide, so the record holds whole pointers in a 64-bit process. */
typedef struct HVXINIT {
    USHORT version;         /* 0 */
    ULONG result;           /* 0 */
    ULONG reserved;         /* 0 */
    HMODULE tableModule;    /* the module that holds the help tables, or 0 */
    ULONG option4;          /* passed through from the application's settings */
    ULONG option3;          /* passed through from the application's settings */
    const char* title;      /* the viewer's title text, or 0 */
    USHORT flags;           /* 0 */
    const char* libraries;  /* the help library names, blank-separated, or 0 */
} HVXINIT;

/* Each entry answers 0 when it succeeds, else an error code of the viewer (1001 ...). The
   command entry answers whatever the command answers; its parameters carry texts for some
   commands, so they are pointer-wide. */
typedef LONG(WINAPI* HvxCreateHelpInstanceEntry)(HWND application, HVXINIT* init,
                                                 HWND* instance);
typedef LONG(WINAPI* HvxDestroyHelpInstanceEntry)(HWND instance);
typedef LONG(WINAPI* HvxLoadHelpTableEntry)(HWND instance, ULONG tableId, HMODULE module);
typedef LRESULT(WINAPI* HvxCallEntry)(HWND instance, USHORT command, WPARAM parameter1,
                                      LPARAM parameter2);

#define HVX_LIBRARY_NAME "libhvx32.dll"
#define HVX_CREATE_ENTRY "XhCreateHelpInstance"
#define HVX_DESTROY_ENTRY "XhDestroyHelpInstance"
#define HVX_LOAD_TABLE_ENTRY "XhLoadHelpTable"
#define HVX_CALL_ENTRY "XhCallHVX"

/* The commands whose parameter 1 is a text: the title, the help library names, and the panel
   display when its parameter 2 is 1 (a keyword). */
#define HVX_CMD_DISPLAY 0x622
#define HVX_CMD_SET_TITLE 0x627
#define HVX_CMD_ADD_LIBRARIES 0x62D

/* ----------------------------------------------------------------------------------------
   TEST ONLY: the stand-in viewer's journal, failure injection and notifications. Nothing of
   the class library uses these. */

enum HvxTestEntry { hvxCreate, hvxDestroy, hvxLoadTable, hvxCall, hvxEntryCount };

#define HVX_TEST_TEXT_SIZE 256

/* One call with its decoded arguments; texts are copied, so they outlive the caller's.
   create:  window = application, values = {table module, option3, option4, new instance},
            texts = {title, libraries}
   destroy: window = instance
   load:    window = instance, values = {table id, module}
   call:    window = instance, values = {command, parameter 1, parameter 2},
            texts[0] = parameter 1 as a text for the text commands */
typedef struct HVXTESTCALL {
    int entry;
    HWND window;
    ULONG_PTR values[4];
    char texts[2][HVX_TEST_TEXT_SIZE];
    LRESULT answer;
} HVXTESTCALL;

typedef LONG(WINAPI* HvxTestJournalCountEntry)(void);
typedef BOOL(WINAPI* HvxTestJournalAtEntry)(LONG index, HVXTESTCALL* call);
typedef void(WINAPI* HvxTestJournalResetEntry)(void);
/* The next call of the entry answers the code instead (create then makes no instance). */
typedef void(WINAPI* HvxTestFailNextEntry)(int entry, LONG code);
/* The viewer sends a window one of its notifications and answers the window's answer. */
typedef LRESULT(WINAPI* HvxTestNotifyEntry)(HWND window, UINT message, WPARAM parameter1,
                                            LPARAM parameter2);

#ifdef __cplusplus
}
#endif

#endif
