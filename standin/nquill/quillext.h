/* The client application's extension interface, as the plug-in and the host see it: the event
   record a handler receives, the handler type, the event ids and return codes, and the host
   library's three registration calls. Shared by the plug-in and the host's stand-ins so that
   the two sides cannot disagree about the record's layout. */
#ifndef QUILLEXT_H
#define QUILLEXT_H

#include <windows.h>

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One argument slot of an event. The host's words are 32-bit values and pointers; a slot is
   pointer-wide so that a 64-bit host passes whole pointers, and a 32-bit host keeps its
   consecutive 32-bit words. */
typedef ULONG_PTR EMARG;

/* What the host passes every handler. The event id sits at the start and the argument list at
   byte offset 6 on every architecture, so the record is packed on 2-byte boundaries. */
#pragma pack(push, 2)
typedef struct EMRECORD {
    WORD EId;         /* the event id (73, 74, 90, ...) */
    WORD EReserved1;  /* the host's own */
    WORD EReserved2;  /* the host's own */
    EMARG* EArgs;     /* the event's arguments */
} EMRECORD;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(offsetof(EMRECORD, EId) == 0, "the event id starts the record");
static_assert(offsetof(EMRECORD, EArgs) == 6, "the argument list sits at byte offset 6");
static_assert(sizeof(EMRECORD) == 6 + sizeof(void*), "no padding after the argument list");
static_assert(sizeof(EMARG) == sizeof(void*), "argument slots are pointer-wide");
#endif

/* The events the plug-in takes and the argument slots of the two password events (the
   set-password event carries seven slots; the first five are these). */
#define EM_GETPASSWORD 73
#define EM_SETPASSWORD 74
#define EM_CLEARPASSWORD 90
#define EM_SETPASSWORD_ARGS 7
#define EM_ARG_MAXLENGTH 0  /* DWORD: the characters of the longest password; the buffer holds
                               that many plus a terminating zero */
#define EM_ARG_LENGTH 1     /* DWORD*: the returned length */
#define EM_ARG_BUFFER 2     /* char*: the password buffer */
#define EM_ARG_FILENAME 3   /* char*: the database file name */
#define EM_ARG_SERVER 4     /* char*: the server name */

/* What a handler answers the host. */
#define EM_NOT_TAKEN 725
#define EM_PASSWORD_SUPPLIED 5985
#define EM_PASSWORD_NOT_SUPPLIED 5928
#define EM_PASSWORD_ERROR 6007
#define EM_NEW_PASSWORD_SET 97
#define EM_NEW_PASSWORD_NOT_SET 40

/* A handler registration, as the host numbers it. */
typedef DWORD HEMREG;
typedef WORD(WINAPI* EMHANDLER)(EMRECORD* record);

/* The host library's registration calls, exported by ordinal only (2348, 2349, 2394). Each
   answers 0 on success. */
WORD WINAPI EMRegister(WORD eventId, DWORD flags, EMHANDLER handler, WORD recursionId,
                       HEMREG* handle);
WORD WINAPI EMDeregister(HEMREG handle);
WORD WINAPI EMCreateRecursionID(WORD* recursionId);

/* The plug-in's entry points, as the host binds them by name. */
typedef WORD(WINAPI* PwMainEntryPoint)(void);
typedef WORD(WINAPI* PwExtClear)(void);
typedef int(WINAPI* PwExtGetPasswordText)(DWORD maxLength, char* fileName, char* serverName,
                                          DWORD* length, char* buffer);

#ifdef __cplusplus
}
#endif

#endif
