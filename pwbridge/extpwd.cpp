// The plug-in's entry points: registration with the host, the three event handlers, unloading,
// and the trace and log conventions every function follows.
#include "extpwd.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <iapp.hpp>

#include "orvconv.h"

pw_handler_t hHandler;
char orv_pwd_st[16];
boolean gTryExistingCredentials = 1;

namespace {

const char kTraceFile[] = "extpwd";

bool tracing() { return sso_debug_set() == 1; }

} // namespace

PwTrace::PwTrace(const char* signature, int line) : fSignature(signature), fLine(line)
{
    if (tracing())
        sso_svc_debug_2(kTraceFile, fSignature, fLine, 1, ">>---#> ENTERING : %s", fSignature);
}

PwTrace::~PwTrace()
{
    if (tracing())
        sso_svc_debug_2(kTraceFile, fSignature, fLine, 1, "<<---#< EXITING : %s", fSignature);
}

void pwError(int line, const char* format, ...)
{
    if (!tracing())
        return;
    // The service's trace call takes its own arguments; the text is formatted here with a
    // bound so that no argument can overrun it.
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    sso_svc_debug_2(kTraceFile, "", line, 0xA0, "%s", text);
}

void pwLog(int line, unsigned32 id) { sso_log_msg("ORV_QUILL", kTraceFile, line, id); }

void pwLogText(int line, unsigned32 id, const char* text)
{
    sso_log_msg("ORV_QUILL", kTraceFile, line, id, text ? text : "");
}

void pwLogNumber(int line, unsigned32 id, int number)
{
    sso_log_msg("ORV_QUILL", kTraceFile, line, id, number);
}

void pwLogCode(int line, unsigned32 id, sso_rc_t code, const char* component)
{
    char* text = sso_sprintf(code);
    sso_log_msg(component, kTraceFile, line, id, text ? text : "", code);
    std::free(text); // the service allocates with the C run time the plug-in shares
}

void wipeFree(void* block, size_t size)
{
    if (!block)
        return;
    SecureZeroMemory(block, size);
    std::free(block);
}

void release_user_name()
{
    if (hHandler.userName.length == 0)
        return;
    if (hHandler.userName.text)
        wipeFree(hHandler.userName.text, std::strlen(hHandler.userName.text) + 1);
    hHandler.userName.text = nullptr;
    hHandler.userName.length = 0;
}

void release_credentials()
{
    sso_cred_t* credentials = hHandler.credentials;
    hHandler.credentials = nullptr;
    if (!credentials)
        return;
    if (credentials->principal) {
        std::free(credentials->principal->name);
        std::free(credentials->principal);
    }
    std::free(credentials);
}

namespace {

// Registers one handler; a failure is shown, traced and logged, and registration goes on.
WORD registerHandler(WORD eventId, EMHANDLER handler, WORD recursionId, HEMREG* handle)
{
    const WORD status = EMRegister(eventId, 1, handler, recursionId, handle);
    if (status != 0) {
        *handle = 0;
        show_error_message_box(kMsgRegisterFailed);
        PW_ERROR("Could not register extension handler - status: 0x%lX",
                 static_cast<unsigned long>(status));
        sso_log_msg("ORV_QUILL", kTraceFile, __LINE__, kLogRegisterFailed,
                    static_cast<unsigned32>(status));
    }
    return status;
}

// Ends one registration; answers its status, or 0 when none was held.
WORD deregister(HEMREG* handle)
{
    if (*handle == 0)
        return 0;
    const WORD status = EMDeregister(*handle);
    *handle = 0;
    return status;
}

} // namespace

extern "C" {

WORD WINAPI GetPWHandler(EMRECORD* record);
WORD WINAPI SetPWHandler(EMRECORD* record);
WORD WINAPI ClearPWHandler(EMRECORD* record);
WORD WINAPI ExtClear(void);
int WINAPI ExtGetPasswordText(DWORD maxLength, char* fileName, char* serverName, DWORD* length,
                              char* buffer);

WORD WINAPI MainEntryPoint(void)
{
    PW_TRACE("MainEntryPoint()");
    hHandler.hostName[0] = '\0';
    sso_svc_init();
    hHandler.serviceStarted = 1;
    if (!hHandler.resourceLibrary) {
        ICurrentApplication& application = IApplication::current();
        application.setUserResourceLibrary("orvres");
        hHandler.resourceLibrary = &application.userResourceLibrary();
    }
    registerHandler(EM_GETPASSWORD, GetPWHandler, 0, &hHandler.handle);
    const WORD created = EMCreateRecursionID(&hHandler.recursionId);
    if (created != 0) {
        show_error_message_box(kMsgRecursionIdFailed);
        PW_ERROR("CreateRecursionID error: status =  0x%lX", static_cast<unsigned long>(created));
        sso_log_msg("ORV_QUILL", kTraceFile, __LINE__, kLogRecursionIdFailed,
                    static_cast<unsigned32>(created));
    }
    registerHandler(EM_SETPASSWORD, SetPWHandler, hHandler.recursionId, &hHandler.setHandle);
    return registerHandler(EM_CLEARPASSWORD, ClearPWHandler, hHandler.recursionId,
                           &hHandler.clearHandle);
}

WORD WINAPI GetPWHandler(EMRECORD* record)
{
    PW_TRACE("GetPWHandler(EMRECORD*)");
    if (!record || record->EId != EM_GETPASSWORD || hHandler.switchedOff || !record->EArgs)
        return EM_NOT_TAKEN;
    const EMARG* arguments = record->EArgs;
    DWORD* length = reinterpret_cast<DWORD*>(arguments[EM_ARG_LENGTH]);
    char* buffer = reinterpret_cast<char*>(arguments[EM_ARG_BUFFER]);
    if (!length || !buffer)
        return EM_NOT_TAKEN;
    const int result = ExtGetPasswordText(static_cast<DWORD>(arguments[EM_ARG_MAXLENGTH]),
                                          reinterpret_cast<char*>(arguments[EM_ARG_FILENAME]),
                                          reinterpret_cast<char*>(arguments[EM_ARG_SERVER]),
                                          length, buffer);
    if (hHandler.switchedOff)
        return EM_NOT_TAKEN;
    if (result == 0)
        return EM_PASSWORD_SUPPLIED;
    return result == 1 || result == 2 ? EM_PASSWORD_NOT_SUPPLIED : EM_PASSWORD_ERROR;
}

WORD WINAPI SetPWHandler(EMRECORD* record)
{
    PW_TRACE("SetPWHandler(EMRECORD*)");
    if (discon_Disconnected()) {
        show_error_message_box(kMsgDisconnected);
        return 0;
    }
    if (!record || record->EId != EM_SETPASSWORD || hHandler.switchedOff || !record->EArgs)
        return EM_NOT_TAKEN;
    EMARG slots[EM_SETPASSWORD_ARGS];
    for (int slot = 0; slot < EM_SETPASSWORD_ARGS; ++slot)
        slots[slot] = record->EArgs[slot];
    DWORD* hostLength = reinterpret_cast<DWORD*>(slots[EM_ARG_LENGTH]);
    password_data_t request{};
    request.maxLength = static_cast<DWORD>(slots[EM_ARG_MAXLENGTH]);
    request.fileName = reinterpret_cast<char*>(slots[EM_ARG_FILENAME]);
    request.serverName = reinterpret_cast<char*>(slots[EM_ARG_SERVER]);
    request.buffer = reinterpret_cast<char*>(slots[EM_ARG_BUFFER]);
    if (!request.buffer)
        return EM_NOT_TAKEN;
    request.length = static_cast<DWORD*>(std::malloc(sizeof(DWORD)));
    if (!request.length) {
        pwLog(__LINE__, kLogNoMemory);
        PW_ERROR("malloc failure");
        return EM_PASSWORD_NOT_SUPPLIED;
    }
    *request.length = 0;
    WORD answer = EM_NEW_PASSWORD_NOT_SET;
    if (get_new_password(&request) == 0 && update_pwd_in_pkm(&request) == 0) {
        if (hostLength)
            *hostLength = *request.length;
        answer = EM_NEW_PASSWORD_SET;
    }
    wipeFree(request.length, sizeof(DWORD));
    return answer;
}

WORD WINAPI ClearPWHandler(EMRECORD* record)
{
    PW_TRACE("ClearPWHandler()");
    (void)record;
    if (!hHandler.switchedOff && (hHandler.signedOn || gTryExistingCredentials)) {
        gTryExistingCredentials = 0;
        sso_minor_rc_t minor = 0;
        sso_auth_logoff(0, hHandler.credentials, &minor);
        hHandler.signedOn = 0;
        release_user_name();
    }
    return EM_NOT_TAKEN;
}

WORD WINAPI ExtClear(void)
{
    PW_TRACE("ExtClear()");
    // Each registration is ended once; a second call finds no handle and repeats nothing.
    const WORD status = deregister(&hHandler.handle);
    deregister(&hHandler.setHandle);
    deregister(&hHandler.clearHandle);
    if (hHandler.signedOn) {
        sso_minor_rc_t minor = 0;
        sso_auth_logoff(0, hHandler.credentials, &minor);
        hHandler.signedOn = 0;
    }
    if (hHandler.serviceStarted) {
        sso_svc_terminate();
        hHandler.serviceStarted = 0;
    }
    return status;
}

BOOL WINAPI LibMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        hHandler.instance = instance;
    // At process exit (reserved not null) the other DLLs may already be gone: the host had
    // its chance to call ExtClear, and the process's end releases everything else.
    // An unload after the host's own ExtClear finds nothing held and calls nothing.
    const bool holdsAnything = hHandler.handle || hHandler.setHandle || hHandler.clearHandle ||
                               hHandler.signedOn || hHandler.serviceStarted;
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && holdsAnything)
        ExtClear();
    return TRUE;
}

// The C run time's start-up calls this for the DLL; it forwards to LibMain.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return LibMain(instance, reason, reserved);
}

} // extern "C"
