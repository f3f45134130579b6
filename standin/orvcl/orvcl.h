/* The sign-on client library's interface as the plug-in calls it: the records it fills, the
   calls, the session handle and the OEM text conversion. The test-only part at the end is the
   stand-in's own. */
#ifndef ORVCL_H
#define ORVCL_H

#include <windows.h>

#ifdef ORVCL_BUILD
#define ORVCL_API __declspec(dllexport)
#else
#define ORVCL_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int unsigned32;
typedef unsigned32 sso_rc_t;
typedef unsigned32 sso_minor_rc_t;
#ifndef __RPCNDR_H__
typedef unsigned char boolean;
#endif

/* Return codes the plug-in acts on. */
#define SSO_RC_NO_MEMORY 0x1735E005u
#define SSO_RC_NO_TARGETS 0x1735E015u
#define SSO_RC_CRED_EXPIRED 0x1735E023u
#define SSO_RC_CRED_INVALID 0x1735E027u
#define SSO_RC_NOT_LOGGED_ON 0x1735E2BDu
#define SSO_RC_REFRESH_NEEDED 0x1735E2C9u
#define SSO_RC_USER_CANCELLED 0x1735E2CAu

/* A text: held while `length` is not 0; `text` is allocated by the library (C run time). */
typedef struct sso_string {
    unsigned32 type;
    unsigned32 length;
    unsigned32 reserved1;
    unsigned32 reserved2;
    char* text;
} sso_string_t;

/* Credentials: the first word points to the principal, whose fifth word is the user's name. */
typedef struct sso_principal {
    unsigned32 type;
    unsigned32 length;
    unsigned32 reserved1;
    unsigned32 reserved2;
    char* name;
} sso_principal_t;
typedef struct sso_cred {
    sso_principal_t* principal;
    unsigned32 flags;
} sso_cred_t;

/* One of the user's targets; the list is linked through `next`. */
typedef struct pkm_user_tgt_data {
    char* type_name;
    char* workstation; /* may be null */
    char* file_name;
    unsigned32 pwd_length;
    char* password;
    unsigned32 word1;
    unsigned32 word2;
    unsigned32 key;
    struct pkm_user_tgt_data* next;
} pkm_user_tgt_data_t;

/* A new password for an update. */
typedef struct sso_pwd {
    unsigned32 word1;
    unsigned32 word2;
    sso_string_t value;
} sso_pwd_t;

/* The conversation the log-on and refresh run their dialogs through (orvconv's). */
typedef sso_rc_t (*sso_conversation_t)(unsigned32 step, const char* prompt, void* context);

ORVCL_API extern void* SSO_DB_Session_Hdl;

ORVCL_API sso_rc_t sso_svc_init(void);
ORVCL_API sso_rc_t sso_svc_terminate(void);
ORVCL_API int sso_debug_set(void);
ORVCL_API void sso_svc_debug_2(const char* file, const char* function, int line, int level,
                               const char* format, ...);
/* The arguments are those the message id's catalogue text names. */
ORVCL_API void sso_log_msg(const char* component, const char* file, int line, unsigned32 id,
                           ...);
/* A return code as text, allocated with the C run time; the caller frees it. */
ORVCL_API char* sso_sprintf(sso_rc_t code);
ORVCL_API boolean discon_Disconnected(void);

ORVCL_API sso_rc_t sso_auth_cred_check(unsigned32 zero, sso_cred_t** credentials,
                                       sso_minor_rc_t* minor);
ORVCL_API sso_rc_t sso_auth_logon(sso_conversation_t conversation, unsigned32 zero1,
                                  unsigned32 zero2, sso_cred_t** credentials,
                                  sso_minor_rc_t* minor);
ORVCL_API sso_rc_t sso_auth_refresh(sso_conversation_t conversation, unsigned32 zero,
                                    sso_minor_rc_t* minor);
ORVCL_API sso_rc_t sso_auth_logoff(unsigned32 zero, sso_cred_t* credentials,
                                   sso_minor_rc_t* minor);
/* Copies the text into the record (replacing what it held); 1 when memory is exhausted. */
ORVCL_API unsigned32 sso_string_set(sso_string_t* record, const char* text);

ORVCL_API sso_rc_t sso_pkm_user_tgt_with_key_query(
    void* session, sso_string_t* user, unsigned32 z1, unsigned32 z2, unsigned32 z3,
    unsigned32 z4, unsigned32 z5, unsigned32 z6, unsigned32* count,
    pkm_user_tgt_data_t** list, sso_minor_rc_t* minor);
ORVCL_API sso_rc_t sso_pkm_user_tgt_update(
    void* session, sso_string_t* user, pkm_user_tgt_data_t* target, unsigned32 z1,
    unsigned32 z2, unsigned32 z3, unsigned32 z4, unsigned32 z5, unsigned32 key,
    sso_pwd_t* password, unsigned32 z6, unsigned32 z7, unsigned32 z8, unsigned32 z9,
    sso_minor_rc_t* minor);
ORVCL_API sso_rc_t sso_pkm_user_tgt_data_free(void* session, pkm_user_tgt_data_t* list,
                                              sso_minor_rc_t* minor);

/* OEM to ANSI text, allocated by the library and released with the second call. */
ORVCL_API char* ORV_OEM_TO_ANSI(const char* oemText);
ORVCL_API void ORV_OEM_ANSI_FREE(char* ansiText);

/* ----------------------------------------------------------------------------------------
   TEST ONLY: the stand-in's store, scripted answers and captured output. The plug-in uses
   none of these.

   The store file has one entry a line ('#' starts a comment):
     user <name>                                   a user; later targets are this user's
     target <type> <file> <workstation|-> <password|->
     credentials <name>                            the service already holds this user's
                                                   credentials
     logon <name>                                  the user the log-on dialogs sign on */
ORVCL_API int OrvTestLoad(const char* path);
ORVCL_API void OrvTestReset(void);
/* The next call of the function answers the code instead of doing its work; codes queue. */
ORVCL_API void OrvTestScript(const char* function, sso_rc_t code);
ORVCL_API void OrvTestSetDisconnected(int disconnected);
ORVCL_API void OrvTestSetTracing(int on);
/* Calls, trace lines, log lines and freed blocks found holding a password; lines joined by
   line feeds. Each answers the full length and copies what fits. */
ORVCL_API int OrvTestJournal(char* buffer, int size);
ORVCL_API int OrvTestTrace(char* buffer, int size);
ORVCL_API int OrvTestLog(char* buffer, int size);
ORVCL_API int OrvTestFindings(char* buffer, int size);
/* The stored password of the user's target with the type and file, or -1 when none. */
ORVCL_API int OrvTestPassword(const char* user, const char* type, const char* file,
                              char* buffer, int size);

#ifdef __cplusplus
}
#endif

#endif
