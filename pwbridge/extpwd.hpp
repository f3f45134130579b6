// The plug-in's state record, its request record and the functions that answer the host's
// password events, shared by the entry points, the retrieval and the dialogs.
#pragma once

#include <windows.h>

#include "orvcl.h"
#include "quillext.h"

class IWindow;
class IResourceLibrary;

// The five words of one password request; zeroed before it is filled.
struct password_data_t {
    DWORD maxLength;   // the characters of the longest password the buffer takes
    char* fileName;
    char* serverName;
    DWORD* length;     // the returned length
    char* buffer;      // maxLength bytes: a zero follows only a shorter password
};

// The process-wide state. The fields keep their order; the handles of the second and third
// registrations follow, so that each registration can be ended on its own.
struct pw_handler_t {
    HEMREG handle;                // the first registration (event 73)
    WORD recursionId;
    HINSTANCE instance;
    sso_string_t userName;
    sso_cred_t* credentials;
    boolean serviceStarted;
    boolean signedOn;
    boolean switchedOff;
    char hostName[17];
    IResourceLibrary* resourceLibrary;
    HEMREG setHandle;             // the second registration (event 74)
    HEMREG clearHandle;           // the third registration (event 90)
};

extern "C" {
extern pw_handler_t hHandler;
extern char orv_pwd_st[16];
}
// Cleared by the first password request and by the clear handler.
extern boolean gTryExistingCredentials;

// The message ids of the sign-on log.
enum : unsigned32 {
    kLogRegisterFailed = 0x1735EC80,
    kLogRecursionIdFailed = 0x1735EC81,
    kLogCredCheckFailed = 0x1735EC82,
    kLogHostNameFailed = 0x1735EC83,
    kLogNoMatchingTarget = 0x1735EC84,
    kLogNoActiveWindow = 0x1735EC85,
    kLogNoMemory = 0x1735E190,
    kLogQueryFailed = 0x1735E1C0,
    kLogUpdateFailed = 0x1735E1BF,
    kLogNoTargets = 0x1735E228,
    kLogAuthOther = 0x1735E2BF,
    kLogEntryFailed = 0x1735EC86
};

// The message texts of orvres.
enum : unsigned long {
    kMsgHostName = 26111,
    kMsgQueryFailed = 26112,
    kMsgUpdateFailed = 26113,
    kMsgNoTargets = 26114,
    kMsgEmptyPassword = 26115,
    kMsgSignOnFailed = 26117,
    kMsgRegisterFailed = 26120,
    kMsgRecursionIdFailed = 26121,
    kMsgNoMatchingTarget = 26123,
    kMsgDisconnected = 26126
};

// Tracing: an ENTERING line now and an EXITING line when the scope ends, each only while the
// sign-on service says tracing is on (asked afresh for every line). The innermost traced
// function is the one an error line names.
class PwTrace {
public:
    PwTrace(const char* signature, int line);
    ~PwTrace();
    PwTrace(const PwTrace&) = delete;
    PwTrace& operator=(const PwTrace&) = delete;

    // The signature of the innermost traced function of the calling thread, "" outside any.
    static const char* current();

private:
    const char* fSignature;
    int fLine;
    const char* fOuter;
};
#define PW_TRACE(signature) PwTrace pwTrace_(signature, __LINE__)
bool pwTracing();
// An error line at level 160, in the innermost traced function, with a format of its own: the
// service formats it, so the trace keeps the format apart from its arguments.
#define PW_ERROR(...)                                                                          \
    do {                                                                                       \
        if (pwTracing())                                                                       \
            sso_svc_debug_2("extpwd", PwTrace::current(), __LINE__, 0xA0, __VA_ARGS__);        \
    } while (0)
// A message for the sign-on log; a code's text comes from the service and is released after.
void pwLog(int line, unsigned32 id);
void pwLogText(int line, unsigned32 id, const char* text);
void pwLogNumber(int line, unsigned32 id, int number);
void pwLogCode(int line, unsigned32 id, sso_rc_t code, const char* component = "ORV_QUILL");

// Zeroes a block before it goes back to the C run time; for anything that held a password.
void wipeFree(void* block, size_t size);

// The host is C and ends the process when an exception reaches it: every exported entry runs
// its work inside this barrier. What escapes the work is traced and logged, shown in box
// `shownId` where the entry's road shows its failures (0: nothing shown), and the host gets
// the entry's failure code.
void pwEntryFailed(int line, unsigned long shownId) noexcept;
// An exception that a window's handler let go while the entry ran waits in the thread's slot
// until the library's own code next runs: left there, it would fail the host's next entry
// instead. Each entry empties the slot on its way out; what it held is traced and logged.
void pwDropPending(int line) noexcept;
class PwPendingDrop {
public:
    explicit PwPendingDrop(int line) noexcept : fLine(line) {}
    ~PwPendingDrop() { pwDropPending(fLine); }
    PwPendingDrop(const PwPendingDrop&) = delete;
    PwPendingDrop& operator=(const PwPendingDrop&) = delete;

private:
    int fLine;
};
template <class Result, class Work>
Result pwBarrier(int line, Result failure, unsigned long shownId, Work work) noexcept
{
    const PwPendingDrop dropPending(line);
    try {
        return work();
    } catch (...) {
        pwEntryFailed(line, shownId);
        return failure;
    }
}
#define PW_BARRIER(failure, shownId, ...) pwBarrier(__LINE__, failure, shownId, __VA_ARGS__)

// The retrieval.
int get_host_name();
int get_pwd_from_pkm(password_data_t* request);
int update_pwd_in_pkm(password_data_t* request);
int get_new_password(password_data_t* request);
pkm_user_tgt_data_t* get_tgt_from_pkm(password_data_t* request, pkm_user_tgt_data_t** list,
                                      char interactive);
sso_rc_t pkm_query(sso_minor_rc_t* minor, unsigned32* count, pkm_user_tgt_data_t** list,
                   boolean interactive);
char* get_short_name(char* fileName);
int file_compare(char* first, char* second);
sso_rc_t auth_logon(IWindow* parent);
sso_rc_t auth_refresh(IWindow* parent);
sso_rc_t reauthorize(boolean force);
IWindow* get_active_window(int* error);
void log_auth_error(sso_rc_t code, sso_minor_rc_t minor);
sso_rc_t sso_auth();
// Releases the held user name and the credentials block with the name inside it.
void release_user_name();
void release_credentials();

// The dialogs and boxes.
void show_error_message_box(const unsigned long id);
void show_get_pwd_error_box(const unsigned long id);
