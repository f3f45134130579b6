// The stand-in sign-on client library: users, credentials and targets in memory, scripted
// return codes, and the trace and log captured for the tests.
#define ORVCL_BUILD
#include "orvcl.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

void* SSO_DB_Session_Hdl = reinterpret_cast<void*>(static_cast<ULONG_PTR>(0x5e55));

namespace {

struct Target {
    std::string type, file, workstation, password;
    bool hasWorkstation = false;
    unsigned32 key = 0;
};

struct User {
    std::string name;
    std::vector<Target> targets;
};

struct Store {
    std::vector<User> users;
    std::string credentialsUser; // the service already holds these credentials
    std::string logonUser;       // the log-on dialogs sign this user on
    std::map<std::string, std::deque<sso_rc_t>> script;
    std::string journal, trace, log, findings;
    bool disconnected = false;
    bool tracing = true;
    unsigned32 nextKey = 100;
};

Store& store()
{
    static Store* theStore = new Store; // outlives every caller at process exit
    return *theStore;
}

void append(std::string& lines, const std::string& line)
{
    if (!lines.empty())
        lines += '\n';
    lines += line;
}

void note(const std::string& line) { append(store().journal, line); }

bool scripted(const char* function, sso_rc_t* code)
{
    auto it = store().script.find(function);
    if (it == store().script.end() || it->second.empty())
        return false;
    *code = it->second.front();
    it->second.pop_front();
    return true;
}

User* findUser(const char* name)
{
    for (User& user : store().users) {
        if (name && _stricmp(user.name.c_str(), name) == 0)
            return &user;
    }
    return nullptr;
}

char* duplicate(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy)
        std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// Every password the store knows, to look for in blocks that should hold none.
bool holdsPassword(const char* bytes, size_t size)
{
    for (const User& user : store().users) {
        for (const Target& target : user.targets) {
            const std::string& secret = target.password;
            if (secret.size() < 3 || secret.size() > size)
                continue;
            for (size_t at = 0; at + secret.size() <= size; ++at) {
                if (std::memcmp(bytes + at, secret.data(), secret.size()) == 0)
                    return true;
            }
        }
    }
    return false;
}

// Frees a block the library allocated; a block that is not a password's own text is checked
// for password bytes first. Every block is wiped before it goes back to the heap.
void release(void* block, size_t size, const char* what, bool isPassword = false)
{
    if (!block)
        return;
    if (!isPassword && holdsPassword(static_cast<const char*>(block), size))
        append(store().findings, std::string("freed ") + what);
    SecureZeroMemory(block, size);
    std::free(block);
}

void releaseText(char* text, const char* what, bool isPassword = false)
{
    if (text)
        release(text, std::strlen(text) + 1, what, isPassword);
}

std::string format(const char* format, va_list arguments)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    return text;
}

// What the log keeps of each message id's arguments: the catalogue of the ids the plug-in
// writes ("s" a text, "x" a code, "d" a number).
const char* catalogue(unsigned32 id)
{
    switch (id) {
    case 0x1735EC80: case 0x1735EC81: return "x";
    case 0x1735EC82: case 0x1735E1C0: case 0x1735E1BF: return "sx";
    case 0x1735EC83: return "d";
    case 0x1735EC84: case 0x1735E228: case 0x1735EC86: return "s";
    default: return "";
    }
}

sso_cred_t* makeCredentials(const std::string& userName)
{
    auto* principal = static_cast<sso_principal_t*>(std::calloc(1, sizeof(sso_principal_t)));
    auto* credentials = static_cast<sso_cred_t*>(std::calloc(1, sizeof(sso_cred_t)));
    if (!principal || !credentials) {
        std::free(principal);
        std::free(credentials);
        return nullptr;
    }
    principal->name = duplicate(userName);
    principal->length = static_cast<unsigned32>(userName.size());
    credentials->principal = principal;
    return credentials;
}

} // namespace

extern "C" {

sso_rc_t sso_svc_init(void)
{
    sso_rc_t code = 0;
    scripted("sso_svc_init", &code);
    note("sso_svc_init");
    return code;
}

sso_rc_t sso_svc_terminate(void)
{
    note("sso_svc_terminate");
    return 0;
}

int sso_debug_set(void) { return store().tracing ? 1 : 0; }

void sso_svc_debug_2(const char* file, const char* function, int line, int level,
                     const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    std::string text = format(fmt, arguments);
    va_end(arguments);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s:%d %d ", file ? file : "", line, level);
    // The function and the format close the line, so that a test sees what the caller named.
    append(store().trace, prefix + text + " {in " + (function ? function : "(null)") +
                              ", format \"" + (fmt ? fmt : "(null)") + "\"}");
}

void sso_log_msg(const char* component, const char* file, int line, unsigned32 id, ...)
{
    char head[96];
    std::snprintf(head, sizeof head, "%s %s:%d 0x%X", component ? component : "",
                  file ? file : "", line, id);
    std::string entry = head;
    va_list arguments;
    va_start(arguments, id);
    for (const char* kind = catalogue(id); *kind; ++kind) {
        char value[256];
        if (*kind == 's') {
            const char* text = va_arg(arguments, const char*);
            std::snprintf(value, sizeof value, " \"%s\"", text ? text : "");
        } else if (*kind == 'x') {
            std::snprintf(value, sizeof value, " 0x%X", va_arg(arguments, unsigned32));
        } else {
            std::snprintf(value, sizeof value, " %d", va_arg(arguments, int));
        }
        entry += value;
    }
    va_end(arguments);
    append(store().log, entry);
}

char* sso_sprintf(sso_rc_t code)
{
    char text[48];
    std::snprintf(text, sizeof text, "ORV return code 0x%X", code);
    return duplicate(text);
}

boolean discon_Disconnected(void) { return store().disconnected ? 1 : 0; }

sso_rc_t sso_auth_cred_check(unsigned32, sso_cred_t** credentials, sso_minor_rc_t* minor)
{
    note("sso_auth_cred_check");
    if (minor)
        *minor = 0;
    sso_rc_t code = 0;
    if (scripted("sso_auth_cred_check", &code))
        return code;
    if (store().credentialsUser.empty())
        return SSO_RC_NOT_LOGGED_ON;
    if (credentials)
        *credentials = makeCredentials(store().credentialsUser);
    return 0;
}

sso_rc_t sso_auth_logon(sso_conversation_t conversation, unsigned32, unsigned32,
                        sso_cred_t** credentials, sso_minor_rc_t* minor)
{
    note("sso_auth_logon");
    if (minor)
        *minor = 0;
    if (conversation)
        conversation(1, "user", nullptr);
    sso_rc_t code = 0;
    if (scripted("sso_auth_logon", &code))
        return code;
    std::string user = store().logonUser;
    if (user.empty() && !store().users.empty())
        user = store().users.front().name;
    store().credentialsUser = user;
    if (credentials)
        *credentials = makeCredentials(user);
    return 0;
}

sso_rc_t sso_auth_refresh(sso_conversation_t conversation, unsigned32, sso_minor_rc_t* minor)
{
    note("sso_auth_refresh");
    if (minor)
        *minor = 0;
    if (conversation)
        conversation(2, "refresh", nullptr);
    sso_rc_t code = 0;
    scripted("sso_auth_refresh", &code);
    return code;
}

sso_rc_t sso_auth_logoff(unsigned32, sso_cred_t*, sso_minor_rc_t* minor)
{
    note("sso_auth_logoff");
    if (minor)
        *minor = 0;
    store().credentialsUser.clear();
    return 0;
}

unsigned32 sso_string_set(sso_string_t* record, const char* text)
{
    note("sso_string_set");
    sso_rc_t code = 0;
    if (!record || scripted("sso_string_set", &code))
        return 1;
    const size_t length = text ? std::strlen(text) : 0;
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy)
        return 1;
    std::memcpy(copy, text ? text : "", length + 1);
    if (record->text)
        release(record->text, record->length + 1, "string record", true);
    record->text = copy;
    record->length = static_cast<unsigned32>(length);
    return 0;
}

sso_rc_t sso_pkm_user_tgt_with_key_query(void* session, sso_string_t* user, unsigned32,
                                         unsigned32, unsigned32, unsigned32, unsigned32,
                                         unsigned32, unsigned32* count,
                                         pkm_user_tgt_data_t** list, sso_minor_rc_t* minor)
{
    note(std::string("sso_pkm_user_tgt_with_key_query ") +
         (user && user->text ? user->text : "(none)"));
    if (minor)
        *minor = 0;
    if (count)
        *count = 0;
    sso_rc_t code = 0;
    if (scripted("sso_pkm_user_tgt_with_key_query", &code))
        return code;
    if (session != SSO_DB_Session_Hdl || !user || !count || !list)
        return 0x1735E001u;
    const User* owner = findUser(user->text);
    if (!owner || owner->targets.empty())
        return SSO_RC_NO_TARGETS;
    pkm_user_tgt_data_t* head = nullptr;
    pkm_user_tgt_data_t** tail = &head;
    for (const Target& target : owner->targets) {
        auto* entry = static_cast<pkm_user_tgt_data_t*>(std::calloc(1, sizeof(pkm_user_tgt_data_t)));
        entry->type_name = duplicate(target.type);
        entry->workstation = target.hasWorkstation ? duplicate(target.workstation) : nullptr;
        entry->file_name = duplicate(target.file);
        entry->pwd_length = static_cast<unsigned32>(target.password.size());
        entry->password = duplicate(target.password);
        entry->word1 = 0x11;
        entry->word2 = 0x22;
        entry->key = target.key;
        *tail = entry;
        tail = &entry->next;
        ++*count;
    }
    *list = head;
    return 0;
}

sso_rc_t sso_pkm_user_tgt_update(void* session, sso_string_t* user,
                                 pkm_user_tgt_data_t* target, unsigned32, unsigned32,
                                 unsigned32, unsigned32, unsigned32, unsigned32 key,
                                 sso_pwd_t* password, unsigned32, unsigned32, unsigned32,
                                 unsigned32, sso_minor_rc_t* minor)
{
    note("sso_pkm_user_tgt_update");
    if (minor)
        *minor = 0;
    sso_rc_t code = 0;
    if (scripted("sso_pkm_user_tgt_update", &code))
        return code;
    User* owner = user ? findUser(user->text) : nullptr;
    if (session != SSO_DB_Session_Hdl || !owner || !target)
        return 0x1735E001u;
    for (Target& stored : owner->targets) {
        if (stored.key == key) {
            if (password && password->value.text)
                stored.password.assign(password->value.text, password->value.length);
            return 0;
        }
    }
    return 0x1735E001u;
}

sso_rc_t sso_pkm_user_tgt_data_free(void*, pkm_user_tgt_data_t* list, sso_minor_rc_t* minor)
{
    note("sso_pkm_user_tgt_data_free");
    if (minor)
        *minor = 0;
    while (list) {
        pkm_user_tgt_data_t* next = list->next;
        releaseText(list->type_name, "target type");
        releaseText(list->workstation, "target workstation");
        releaseText(list->file_name, "target file");
        release(list->password, list->pwd_length + 1, "target password", true);
        release(list, sizeof *list, "target record");
        list = next;
    }
    return 0;
}

char* ORV_OEM_TO_ANSI(const char* oemText)
{
    if (!oemText)
        return nullptr;
    const size_t length = std::strlen(oemText);
    char* ansi = static_cast<char*>(std::malloc(length + 1));
    if (ansi)
        OemToCharBuffA(oemText, ansi, static_cast<DWORD>(length + 1));
    return ansi;
}

void ORV_OEM_ANSI_FREE(char* ansiText) { std::free(ansiText); }

// -------------------------------------------------------------------------------------------
// TEST ONLY

int OrvTestLoad(const char* path)
{
    std::ifstream file(path);
    if (!file)
        return 1;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind.empty() || kind[0] == '#')
            continue;
        if (kind == "user") {
            User user;
            words >> user.name;
            store().users.push_back(user);
        } else if (kind == "target" && !store().users.empty()) {
            Target target;
            std::string workstation, password;
            words >> target.type >> target.file >> workstation >> password;
            target.hasWorkstation = workstation != "-";
            if (target.hasWorkstation)
                target.workstation = workstation;
            if (password != "-")
                target.password = password;
            target.key = store().nextKey++;
            store().users.back().targets.push_back(target);
            SecureZeroMemory(&password[0], password.size());
        } else if (kind == "credentials") {
            words >> store().credentialsUser;
        } else if (kind == "logon") {
            words >> store().logonUser;
        }
        SecureZeroMemory(&line[0], line.size());
    }
    return 0;
}

void OrvTestReset(void)
{
    Store& state = store();
    for (User& user : state.users) {
        for (Target& target : user.targets)
            SecureZeroMemory(&target.password[0], target.password.size());
    }
    state = Store();
}

void OrvTestScript(const char* function, sso_rc_t code)
{
    if (function)
        store().script[function].push_back(code);
}

void OrvTestSetDisconnected(int disconnected) { store().disconnected = disconnected != 0; }
void OrvTestSetTracing(int on) { store().tracing = on != 0; }

namespace {
int copyOut(const std::string& text, char* buffer, int size)
{
    if (buffer && size > 0)
        lstrcpynA(buffer, text.c_str(), size);
    return static_cast<int>(text.size());
}
} // namespace

int OrvTestJournal(char* buffer, int size) { return copyOut(store().journal, buffer, size); }
int OrvTestTrace(char* buffer, int size) { return copyOut(store().trace, buffer, size); }
int OrvTestLog(char* buffer, int size) { return copyOut(store().log, buffer, size); }
int OrvTestFindings(char* buffer, int size) { return copyOut(store().findings, buffer, size); }

int OrvTestPassword(const char* user, const char* type, const char* file, char* buffer,
                    int size)
{
    const User* owner = findUser(user);
    if (!owner)
        return -1;
    for (const Target& target : owner->targets) {
        if (target.type == type && target.file == file)
            return copyOut(target.password, buffer, size);
    }
    return -1;
}

} // extern "C"
