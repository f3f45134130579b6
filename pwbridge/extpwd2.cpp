// Answering a password request from the sign-on service: signing on, finding the target of the
// requested database and workstation, handing its password to the host, and storing a new one.
#include "extpwd.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <detail/iwipetxt.hpp>
#include <iapp.hpp>
#include <ihandle.hpp>
#include <iwindow.hpp>

#include "chgpwd.hpp"
#include "orvconv.h"

namespace {

// Shows a message where the road wants it: the get-password error dialog on the interactive
// road, a plain box otherwise.
void showFailure(unsigned long id, bool interactive)
{
    if (interactive)
        show_get_pwd_error_box(id);
    else
        show_error_message_box(id);
}

bool isQuillTarget(const char* typeName)
{
    return typeName && _strnicmp(typeName, "QUILL", 5) == 0;
}

void releasePasswordRecord(sso_pwd_t* password)
{
    if (!password)
        return;
    if (password->value.text)
        wipeFree(password->value.text, password->value.length + 1);
    wipeFree(password, sizeof *password);
}

void freeTargets(pkm_user_tgt_data_t* list)
{
    if (!list)
        return;
    sso_minor_rc_t minor = 0;
    sso_pkm_user_tgt_data_free(SSO_DB_Session_Hdl, list, &minor);
}

// The user's targets as the service answered a query, every stored password of the user among
// them: handed back to the service, which wipes what it frees, however the request ends, a box
// that fails included.
class TargetList {
public:
    TargetList() = default;
    ~TargetList() { freeTargets(fList); }
    TargetList(const TargetList&) = delete;
    TargetList& operator=(const TargetList&) = delete;

    // Where the query puts the list.
    pkm_user_tgt_data_t** slot() noexcept { return &fList; }

private:
    pkm_user_tgt_data_t* fList = nullptr;
};

// Sets the service's text to the password in the host's buffer, which has no zero after a
// password that fills it: the service is given a terminated copy, held in the wipe scope. False
// when there was no memory for either copy.
bool setServiceText(sso_string_t& value, const char* password, DWORD length)
{
    try {
        const ovkshared::WipedText typed{IString(password, length)};
        return sso_string_set(&value, typed.text()) == 0;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Hands a password of at most maxLength characters to the host. maxLength is the size of the
// host's buffer: the zero follows only a shorter password, and nothing is written at or past
// maxLength; the host learns the length either way.
void copyToHost(password_data_t* request, const char* password, DWORD length)
{
    std::memcpy(request->buffer, password, length);
    if (length < request->maxLength)
        request->buffer[length] = '\0';
    *request->length = length;
}

} // namespace

namespace {

int getPasswordText(DWORD maxLength, char* fileName, char* serverName, DWORD* length,
                    char* buffer)
{
    password_data_t request{};
    request.maxLength = maxLength;
    request.fileName = fileName;
    request.serverName = serverName;
    request.length = length;
    request.buffer = buffer;
    // Every early way out leaves the host a length of 0, never a stale one.
    if (length)
        *length = 0;
    if (!length || !buffer)
        return 2;
    if (hHandler.hostName[0] == '\0' && get_host_name() != 0)
        return 2;
    if (!hHandler.signedOn) {
        if (gTryExistingCredentials) {
            gTryExistingCredentials = 0;
            sso_minor_rc_t minor = 0;
            const sso_rc_t code = sso_auth_cred_check(0, &hHandler.credentials, &minor);
            if (code == 0) {
                const sso_principal_t* principal =
                    hHandler.credentials ? hHandler.credentials->principal : nullptr;
                if (principal && principal->name && hHandler.userName.length == 0) {
                    if (sso_string_set(&hHandler.userName, principal->name) == 1) {
                        pwLog(__LINE__, kLogNoMemory);
                        PW_ERROR("malloc failure");
                    } else {
                        hHandler.signedOn = 1;
                    }
                } else if (hHandler.userName.length != 0) {
                    hHandler.signedOn = 1;
                }
            } else {
                PW_ERROR("sso_auth_cred_check failed, major_rc = 0x%x", code);
                pwLogCode(__LINE__, kLogCredCheckFailed, code);
                if (code == SSO_RC_CRED_EXPIRED || code == SSO_RC_REFRESH_NEEDED)
                    reauthorize(0);
                else if (code == SSO_RC_CRED_INVALID || code == SSO_RC_NOT_LOGGED_ON)
                    reauthorize(1);
                else
                    show_get_pwd_error_box(kMsgSignOnFailed);
            }
        } else {
            reauthorize(0);
        }
        if (!hHandler.signedOn)
            return 2;
    }
    return get_pwd_from_pkm(&request) == 0 ? 0 : 2;
}

} // namespace

extern "C" int WINAPI ExtGetPasswordText(DWORD maxLength, char* fileName, char* serverName,
                                         DWORD* length, char* buffer)
{
    PW_TRACE("ExtGetPasswordText(DWORD,char*,char*,DWORD*,char*)");
    return PW_BARRIER(2, 0, [=] {
        return getPasswordText(maxLength, fileName, serverName, length, buffer);
    });
}

int get_host_name()
{
    PW_TRACE("get_host_name()");
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) {
        const int error = static_cast<int>(GetLastError());
        PW_ERROR("Could not get the host name, rc = %d", error);
        pwLogNumber(__LINE__, kLogHostNameFailed, error);
        show_get_pwd_error_box(kMsgHostName);
        return 2;
    }
    lstrcpynA(hHandler.hostName, name, sizeof hHandler.hostName);
    return 0;
}

sso_rc_t pkm_query(sso_minor_rc_t* minor, unsigned32* count, pkm_user_tgt_data_t** list,
                   boolean interactive)
{
    PW_TRACE("pkm_query(sso_minor_rc_t*,unsigned32*,pkm_user_tgt_data_t**,boolean)");
    *list = nullptr;
    const sso_rc_t code = sso_pkm_user_tgt_with_key_query(
        SSO_DB_Session_Hdl, &hHandler.userName, 0, 0, 0, 0, 0, 0, count, list, minor);
    if (*count == 0 && code == SSO_RC_NO_TARGETS) {
        const char* user = hHandler.userName.text ? hHandler.userName.text : "";
        PW_ERROR("No targets for for the %s user", user);
        pwLogText(__LINE__, kLogNoTargets, user);
        showFailure(kMsgNoTargets, interactive != 0);
    }
    return code;
}

namespace {

// Runs the query, and once more after a re-authorisation where the code calls for one.
sso_rc_t queryTargets(unsigned32* count, pkm_user_tgt_data_t** list, bool interactive)
{
    sso_minor_rc_t minor = 0;
    sso_rc_t code = pkm_query(&minor, count, list, interactive);
    if (code == 0 || code == SSO_RC_NO_TARGETS)
        return code;
    pwLogCode(__LINE__, kLogQueryFailed, code);
    PW_ERROR("sso_pkm_user_tgt_with_key_query, major_rc= 0x%x", code);
    if (code == SSO_RC_CRED_EXPIRED || code == SSO_RC_REFRESH_NEEDED ||
        code == SSO_RC_CRED_INVALID) {
        if (reauthorize(code == SSO_RC_CRED_INVALID) == 0) {
            // The query starts its answer afresh: what the first one gave goes back first.
            freeTargets(*list);
            *list = nullptr;
            code = pkm_query(&minor, count, list, interactive);
            if (code != 0 && code != SSO_RC_NO_TARGETS)
                pwLogCode(__LINE__, kLogQueryFailed, code);
        }
    } else {
        showFailure(kMsgQueryFailed, interactive);
    }
    return code;
}

// The entry of the list that names the request's database on this workstation: one with the
// host's name ends the walk, one without a workstation is kept unless a later one matches.
pkm_user_tgt_data_t* pickTarget(password_data_t* request, pkm_user_tgt_data_t* list,
                                unsigned32 count)
{
    pkm_user_tgt_data_t* chosen = nullptr;
    unsigned32 seen = 0;
    for (pkm_user_tgt_data_t* entry = list; entry && seen < count; entry = entry->next, ++seen) {
        if (!isQuillTarget(entry->type_name) ||
            file_compare(entry->file_name, request->fileName) != 0)
            continue;
        if (!entry->workstation) {
            chosen = entry;
            continue;
        }
        if (_stricmp(entry->workstation, hHandler.hostName) == 0)
            return entry;
        PW_ERROR("The workstation name, %s, specified in the target is different from the host "
                 "name, %s, of the client.",
                 entry->workstation, hHandler.hostName);
    }
    return chosen;
}

} // namespace

pkm_user_tgt_data_t* get_tgt_from_pkm(password_data_t* request, pkm_user_tgt_data_t** list,
                                      char interactive)
{
    PW_TRACE("get_tgt_from_pkm(password_data_t*,pkm_user_tgt_data_t**,char)");
    unsigned32 count = 0;
    if (queryTargets(&count, list, interactive != 0) != 0)
        return nullptr;
    pkm_user_tgt_data_t* chosen = pickTarget(request, *list, count);
    if (!chosen && count != 0) {
        PW_ERROR("Did not find a matching target");
        pwLogText(__LINE__, kLogNoMatchingTarget,
                  hHandler.userName.text ? hHandler.userName.text : "");
        showFailure(kMsgNoMatchingTarget, interactive != 0);
    }
    return chosen;
}

char* get_short_name(char* fileName)
{
    PW_TRACE("get_short_name(char*)");
    const char* start = fileName ? fileName : "";
    if (const char* slash = std::strrchr(start, '/'))
        start = slash + 1;
    else if (const char* backslash = std::strrchr(start, '\\'))
        start = backslash + 1;
    const char* dot = std::strchr(start, '.');
    const size_t length = dot ? static_cast<size_t>(dot - start) : std::strlen(start);
    char* shortName = static_cast<char*>(std::calloc(length + 1, 1));
    if (!shortName) {
        PW_ERROR("malloc failure");
        pwLog(__LINE__, kLogNoMemory);
        return nullptr;
    }
    std::memcpy(shortName, start, length);
    return shortName;
}

int file_compare(char* first, char* second)
{
    char* firstShort = get_short_name(first);
    char* secondShort = get_short_name(second);
    // Without memory for a name the two cannot be told equal: no match, never a false one.
    int result = 1;
    if (firstShort && secondShort)
        result = _stricmp(firstShort, secondShort);
    std::free(firstShort);
    std::free(secondShort);
    return result;
}

int get_pwd_from_pkm(password_data_t* request)
{
    PW_TRACE("get_pwd_from_pkm(password_data_t*)");
    TargetList list;
    pkm_user_tgt_data_t* target = get_tgt_from_pkm(request, list.slot(), 1);
    if (!target)
        return 2;
    int result = 0;
    if (target->pwd_length != 0) {
        // A longer password is refused whole rather than handed over cut.
        if (target->pwd_length > request->maxLength || !target->password) {
            PW_ERROR("The stored password does not fit the host's buffer");
            result = 2;
        } else {
            copyToHost(request, target->password, target->pwd_length);
        }
    }
    if (result == 0 && *request->length == 0) {
        show_get_pwd_error_box(kMsgEmptyPassword);
        result = 2;
    }
    return result;
}

int update_pwd_in_pkm(password_data_t* request)
{
    PW_TRACE("update_pwd_in_pkm(password_data_t*)");
    TargetList list;
    pkm_user_tgt_data_t* target = get_tgt_from_pkm(request, list.slot(), 0);
    if (!target)
        return 2;
    sso_pwd_t* password = nullptr;
    if (target->pwd_length != 0) {
        // Without the record, or without the new text in it, the update would clear the
        // stored password or keep the old one while the host is told the new one is set.
        password = static_cast<sso_pwd_t*>(std::calloc(1, sizeof(sso_pwd_t)));
        if (!password ||
            !setServiceText(password->value, request->buffer, *request->length)) {
            PW_ERROR("malloc failure");
            pwLog(__LINE__, kLogNoMemory);
            releasePasswordRecord(password);
            return 2;
        }
        password->word1 = target->word1;
        password->word2 = target->word2;
    }
    sso_minor_rc_t minor = 0;
    const sso_rc_t code = sso_pkm_user_tgt_update(SSO_DB_Session_Hdl, &hHandler.userName, target,
                                                  0, 0, 0, 0, 0, target->key, password, 0, 0,
                                                  0, 0, &minor);
    releasePasswordRecord(password);
    int result = 0;
    if (code != 0) {
        PW_ERROR("Could not update PKM with new password, major_rc = %x", code);
        pwLogCode(__LINE__, kLogUpdateFailed, code, "ORV_LC");
        show_error_message_box(kMsgUpdateFailed);
        result = 2;
    }
    return result;
}

IWindow* get_active_window(int* error)
{
    PW_TRACE("get_active_window(int*)");
    const HWND active = GetActiveWindow();
    if (!active) {
        *error = static_cast<int>(GetLastError());
        if (*error != 0)
            PW_ERROR("GetActiveWindow failed, rc = %d", *error);
        pwLog(__LINE__, kLogNoActiveWindow);
        return nullptr;
    }
    *error = 0;
    return new IWindow(IWindowHandle(active));
}

int get_new_password(password_data_t* request)
{
    PW_TRACE("get_new_password(password_data_t*)");
    int error = 0;
    // Released on every way out: a wrapper left behind keeps the host's window in the
    // library's tables, and the next request wraps it again.
    const std::unique_ptr<IWindow> active(get_active_window(&error));
    if (!active)
        return error != 0 ? error : 1;
    int result = static_cast<int>(auth_refresh(active.get()));
    if (result == 0) {
        // A maximum past the dialog's int would turn negative there and switch its check off.
        const int dialogMaximum = static_cast<int>(std::min<DWORD>(request->maxLength, INT_MAX));
        ChgpwdSession dialog(dialogMaximum, active.get());
        if (dialog.showModally() == ChgpwdSession::okResult) {
            const ovkshared::WipedText password(dialog.getPassword());
            const size_t length = password.text().length();
            // The buffer holds maxLength characters, whatever the dialog checked.
            if (length <= request->maxLength) {
                copyToHost(request, password.text().data(), static_cast<DWORD>(length));
            } else {
                PW_ERROR("The new password does not fit the host's buffer");
                result = 2;
            }
        } else {
            result = 1;
        }
    }
    return result;
}

namespace {

sso_rc_t signOn(IWindow* parent, bool logon)
{
    orv_set_conversation_parent(parent ? static_cast<HWND>(parent->handle()) : nullptr);
    sso_minor_rc_t minor = 0;
    const sso_rc_t code = logon ? sso_auth_logon(orv_conversation, 0, 0, &hHandler.credentials,
                                                 &minor)
                                : sso_auth_refresh(orv_conversation, 0, &minor);
    // The log-on dialogs may have set a resource library of their own.
    ICurrentApplication& application = IApplication::current();
    application.setUserResourceLibrary("orvres");
    hHandler.resourceLibrary = &application.userResourceLibrary();
    if (code != 0) {
        PW_ERROR(logon ? "sso_auth_logon failed, major_rc = 0x%x"
                       : "sso_auth_refresh failed, major_rc = 0x%x",
                 code);
        log_auth_error(code, minor);
    }
    return code;
}

} // namespace

sso_rc_t auth_logon(IWindow* parent)
{
    PW_TRACE("auth_logon(IWindow*)");
    if (hHandler.signedOn)
        release_credentials();
    release_user_name();
    return signOn(parent, true);
}

sso_rc_t auth_refresh(IWindow* parent)
{
    PW_TRACE("auth_refresh(IWindow*)");
    return signOn(parent, false);
}

sso_rc_t sso_auth()
{
    PW_TRACE("sso_auth()");
    sso_minor_rc_t minor = 0;
    const sso_rc_t code = sso_auth_logon(orv_conversation, 0, 0, &hHandler.credentials, &minor);
    if (code != 0)
        PW_ERROR("sso_auth_logon failed, major_rc = 0x%x", code);
    return code;
}

sso_rc_t reauthorize(boolean force)
{
    PW_TRACE("reauthorize(boolean)");
    int error = 0;
    sso_rc_t code = 0;
    {
        const std::unique_ptr<IWindow> active(get_active_window(&error));
        // Without a window to own the log-on dialogs nobody can sign on: that is a failure.
        if (!active)
            return 1;
        code = (!force && hHandler.userName.length != 0) ? auth_refresh(active.get())
                                                         : auth_logon(active.get());
    }
    if (code != 0) {
        // Signed off before the box: a box that fails must not leave the credentials held.
        release_credentials();
        hHandler.signedOn = 0;
        if (code != SSO_RC_USER_CANCELLED)
            show_get_pwd_error_box(kMsgSignOnFailed);
        return 1;
    }
    hHandler.signedOn = 1;
    if (hHandler.userName.length == 0) {
        const sso_principal_t* principal =
            hHandler.credentials ? hHandler.credentials->principal : nullptr;
        if (sso_string_set(&hHandler.userName, principal ? principal->name : "") == 1) {
            PW_ERROR("malloc failure");
            pwLog(__LINE__, kLogNoMemory);
            return SSO_RC_NO_MEMORY;
        }
    }
    return 0;
}

void log_auth_error(sso_rc_t code, sso_minor_rc_t minor)
{
    (void)minor;
    switch (code) {
    case 0x1735E2BC: case 0x1735E2BE: case 0x1735E2C0: case 0x1735E2C1:
    case 0x1735E2C4: case 0x1735E2C5: case 0x1735E2CA: case 0x1735E2CC:
        pwLog(__LINE__, code);
        break;
    default:
        pwLog(__LINE__, kLogAuthOther);
        break;
    }
}
