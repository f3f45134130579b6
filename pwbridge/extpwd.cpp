// The plug-in's entry points: registration with the host, the three event handlers, unloading,
// and the trace and log conventions every function follows.
#include "extpwd.hpp"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include <detail/icallgrd.hpp>
#include <iapp.hpp>
#include <iexcept.hpp>

#include "orvconv.h"

pw_handler_t hHandler;
char orv_pwd_st[16];
boolean gTryExistingCredentials = 1;

namespace {

const char kTraceFile[] = "extpwd";

thread_local const char* gTracedFunction = "";

// The text of the exception being handled, with the source file it was thrown from when the
// library's exception names one.
std::string failureText()
{
    try {
        throw;
    } catch (const IException& failure) {
        std::string text = failure.what();
        if (const IExceptionLocation* where = failure.locationAtIndex(0))
            text += std::string(" (") + static_cast<const char*>(where->fileName()) + ")";
        return text;
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "unknown exception";
    }
}

bool isMemoryFailure()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

bool pwTracing() { return sso_debug_set() == 1; }

PwTrace::PwTrace(const char* signature, int line)
    : fSignature(signature), fLine(line), fOuter(gTracedFunction)
{
    gTracedFunction = fSignature;
    if (pwTracing())
        sso_svc_debug_2(kTraceFile, fSignature, fLine, 1, ">>---#> ENTERING : %s", fSignature);
}

PwTrace::~PwTrace()
{
    if (pwTracing())
        sso_svc_debug_2(kTraceFile, fSignature, fLine, 1, "<<---#< EXITING : %s", fSignature);
    gTracedFunction = fOuter;
}

const char* PwTrace::current() { return gTracedFunction; }

void pwEntryFailed(int line, unsigned long shownId) noexcept
{
    // Nothing here may throw again: the text is built in a local string whose failure is
    // itself caught, and the box may need the very library whose absence failed the entry.
    try {
        const bool memory = isMemoryFailure();
        const std::string text = failureText();
        PW_ERROR("Unexpected failure: %s", text.c_str());
        if (memory)
            pwLog(line, kLogNoMemory);
        else
            pwLogText(line, kLogEntryFailed, text.c_str());
    } catch (...) {
    }
    if (shownId == 0)
        return;
    try {
        show_error_message_box(shownId);
    } catch (...) {
        PW_ERROR("The failure could not be shown");
    }
}

void pwDropPending(int line) noexcept
{
    const std::exception_ptr pending = ICallbackGuard::takePending();
    if (!pending)
        return;
    try {
        std::rethrow_exception(pending);
    } catch (...) {
        pwEntryFailed(line, 0);
    }
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

// Runs one step of the registration. What the step throws is traced and logged, and the
// steps after it still run: a failed step never stops the later ones.
template <class Step>
void registrationStep(int line, Step step) noexcept
{
    try {
        step();
    } catch (...) {
        pwEntryFailed(line, 0);
    }
}

// Shows a failed step's box; a box that cannot be shown is itself traced and logged, and the
// step's own trace and log still follow.
void showStepFailure(unsigned long id) noexcept
{
    registrationStep(__LINE__, [id] { show_error_message_box(id); });
}

// Registers one handler; a failure is shown, traced and logged, and registration goes on.
WORD registerHandler(WORD eventId, EMHANDLER handler, WORD recursionId, HEMREG* handle)
{
    const WORD status = EMRegister(eventId, 1, handler, recursionId, handle);
    if (status != 0) {
        *handle = 0;
        showStepFailure(kMsgRegisterFailed);
        PW_ERROR("Could not register extension handler - status: 0x%lX",
                 static_cast<unsigned long>(status));
        sso_log_msg("ORV_QUILL", kTraceFile, __LINE__, kLogRegisterFailed,
                    static_cast<unsigned32>(status));
    }
    return status;
}

// Ends one registration; answers its status, or 0 when none was held. A failure is traced, so
// that none of the three goes unseen.
WORD deregister(HEMREG* handle)
{
    if (*handle == 0)
        return 0;
    const WORD status = EMDeregister(*handle);
    if (status != 0)
        PW_ERROR("Could not deregister extension handler #%lu - status: 0x%lX",
                 static_cast<unsigned long>(*handle), static_cast<unsigned long>(status));
    *handle = 0;
    return status;
}

// What MainEntryPoint and ExtClear answer when their work fails: a status, as a failed host
// call would give one.
constexpr WORD kEntryStatusFailed = 1;

WORD setPassword(EMRECORD* record);

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
    return PW_BARRIER(kEntryStatusFailed, kMsgRegisterFailed, [] {
        hHandler.hostName[0] = '\0';
        sso_svc_init();
        hHandler.serviceStarted = 1;
        registrationStep(__LINE__, [] {
            if (!hHandler.resourceLibrary) {
                ICurrentApplication& application = IApplication::current();
                application.setUserResourceLibrary("orvres");
                hHandler.resourceLibrary = &application.userResourceLibrary();
            }
        });
        registerHandler(EM_GETPASSWORD, GetPWHandler, 0, &hHandler.handle);
        const WORD created = EMCreateRecursionID(&hHandler.recursionId);
        if (created != 0) {
            showStepFailure(kMsgRecursionIdFailed);
            PW_ERROR("CreateRecursionID error: status =  0x%lX",
                     static_cast<unsigned long>(created));
            sso_log_msg("ORV_QUILL", kTraceFile, __LINE__, kLogRecursionIdFailed,
                        static_cast<unsigned32>(created));
        }
        registerHandler(EM_SETPASSWORD, SetPWHandler, hHandler.recursionId,
                        &hHandler.setHandle);
        return registerHandler(EM_CLEARPASSWORD, ClearPWHandler, hHandler.recursionId,
                               &hHandler.clearHandle);
    });
}

WORD WINAPI GetPWHandler(EMRECORD* record)
{
    PW_TRACE("GetPWHandler(EMRECORD*)");
    return PW_BARRIER(WORD(EM_PASSWORD_NOT_SUPPLIED), 0, [record]() -> WORD {
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
    });
}

WORD WINAPI SetPWHandler(EMRECORD* record)
{
    PW_TRACE("SetPWHandler(EMRECORD*)");
    return PW_BARRIER(WORD(EM_NEW_PASSWORD_NOT_SET), kMsgUpdateFailed,
                      [record] { return setPassword(record); });
}

WORD WINAPI ClearPWHandler(EMRECORD* record)
{
    PW_TRACE("ClearPWHandler()");
    return PW_BARRIER(WORD(EM_NOT_TAKEN), 0, [record]() -> WORD {
        // A record routed here for another event is not this handler's: nothing is touched.
        if (!record || record->EId != EM_CLEARPASSWORD)
            return EM_NOT_TAKEN;
        if (!hHandler.switchedOff && (hHandler.signedOn || gTryExistingCredentials)) {
            gTryExistingCredentials = 0;
            sso_minor_rc_t minor = 0;
            sso_auth_logoff(0, hHandler.credentials, &minor);
            hHandler.signedOn = 0;
            release_user_name();
        }
        return EM_NOT_TAKEN;
    });
}

WORD WINAPI ExtClear(void)
{
    PW_TRACE("ExtClear()");
    return PW_BARRIER(kEntryStatusFailed, 0, [] {
        // Each registration is ended once; a second call finds no handle and repeats nothing.
        // The first failed status is the answer, whichever registration it came from.
        const WORD statuses[] = {deregister(&hHandler.handle), deregister(&hHandler.setHandle),
                                 deregister(&hHandler.clearHandle)};
        WORD status = 0;
        for (WORD each : statuses) {
            if (status == 0)
                status = each;
        }
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
    });
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
    // ExtClear runs inside its own barrier: nothing escapes into the loader.
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

namespace {

// What the set-password road leaves behind on every way out, exceptions included: the
// allocated length word is released, and the host's buffer, which the road filled with the
// typed password, is wiped unless the password was stored (the host keeps its buffer after a
// refusal).
class SetRoadCleanup {
public:
    explicit SetRoadCleanup(password_data_t& request) : fRequest(request) {}
    SetRoadCleanup(const SetRoadCleanup&) = delete;
    SetRoadCleanup& operator=(const SetRoadCleanup&) = delete;
    ~SetRoadCleanup()
    {
        if (fFilled && !fStored) {
            // The password and its zero, which it has only when it is shorter than the
            // buffer: nothing at or past maxLength is the plug-in's to write.
            const DWORD written = *fRequest.length < fRequest.maxLength ? *fRequest.length + 1
                                                                        : fRequest.maxLength;
            SecureZeroMemory(fRequest.buffer, static_cast<size_t>(written));
        }
        wipeFree(fRequest.length, sizeof(DWORD));
    }
    void filled() { fFilled = true; }
    void stored() { fStored = true; }

private:
    password_data_t& fRequest;
    bool fFilled = false;
    bool fStored = false;
};

WORD setPassword(EMRECORD* record)
{
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
    SetRoadCleanup cleanup(request);
    if (get_new_password(&request) != 0)
        return EM_NEW_PASSWORD_NOT_SET;
    cleanup.filled();
    if (update_pwd_in_pkm(&request) != 0)
        return EM_NEW_PASSWORD_NOT_SET;
    cleanup.stored();
    if (hostLength)
        *hostLength = *request.length;
    return EM_NEW_PASSWORD_SET;
}

} // namespace
