// The stand-in client application: loads the password plug-in, shows an active window, calls
// its main entry point, fires the password events through the host library's registrations
// as the client would, and unloads the plug-in. Each answer is printed on its own line.
//
//   quillhost [--store FILE] [--answer type:NEW:CONFIRM | ok | cancel]...
//             [--hold FILE] (get|set|text) DATABASE MAXLENGTH | clear ...
//
// --hold keeps the change-password dialog unanswered until FILE exists, and creates
// FILE.ready once the dialog is up (for screenshots).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "nquill.h"
#include "orvcl.h"
#include "quillext.h"
#include "quillscript.h"

namespace {

constexpr char kGuard = '\x5A';

struct Options {
    std::string store, hold;
    std::vector<quillscript::Answer> answers;
    std::vector<std::vector<std::string>> commands;
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if ((word == "--store" || word == "--hold" || word == "--answer") && i + 1 >= argc)
            return false;
        if (word == "--store") {
            options.store = argv[++i];
        } else if (word == "--hold") {
            options.hold = argv[++i];
        } else if (word == "--answer") {
            const std::vector<std::string> parts = split(argv[++i], ':');
            if (parts[0] == "type" && parts.size() == 3)
                options.answers.push_back({quillscript::Answer::type, parts[1], parts[2]});
            else if (parts[0] == "ok")
                options.answers.push_back({quillscript::Answer::ok, {}, {}});
            else
                options.answers.push_back({quillscript::Answer::cancel, {}, {}});
        } else if (word == "clear") {
            options.commands.push_back({word});
        } else if ((word == "get" || word == "set" || word == "text") && i + 2 < argc) {
            options.commands.push_back({word, argv[i + 1], argv[i + 2]});
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

HWND makeMainWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = "QuillHostMain";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QuillHostMain", "Quill", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  20, 20, 640, 480, nullptr, nullptr, windowClass.hInstance,
                                  nullptr);
    SetActiveWindow(window);
    return window;
}

// Fires one password event with a buffer of MAXLENGTH bytes, its size as the host passes it, and
// a guard byte right after it.
void firePassword(WORD eventId, const std::string& database, DWORD maxLength,
                  PwExtGetPasswordText getText)
{
    std::vector<char> buffer(maxLength + 1, '\0');
    buffer[maxLength] = kGuard;
    DWORD length = 0xFFFFFFFF;
    std::vector<char> file(database.begin(), database.end());
    file.push_back('\0');
    char server[] = "quillsrv";
    long answer;
    if (getText) {
        answer = getText(maxLength, file.data(), server, &length, buffer.data());
    } else {
        EMARG slots[EM_SETPASSWORD_ARGS] = {};
        slots[EM_ARG_MAXLENGTH] = maxLength;
        slots[EM_ARG_LENGTH] = reinterpret_cast<EMARG>(&length);
        slots[EM_ARG_BUFFER] = reinterpret_cast<EMARG>(buffer.data());
        slots[EM_ARG_FILENAME] = reinterpret_cast<EMARG>(file.data());
        slots[EM_ARG_SERVER] = reinterpret_cast<EMARG>(server);
        EMRECORD record{};
        record.EId = eventId;
        record.EArgs = slots;
        answer = NqTestFire(eventId, &record);
    }
    std::printf("%ld length %lu guard %s\n", answer,
                length == 0xFFFFFFFF ? 0UL : static_cast<unsigned long>(length),
                buffer[maxLength] == kGuard ? "intact" : "broken");
    std::fflush(stdout);
    SecureZeroMemory(buffer.data(), buffer.size());
}

// While --hold is given: no answers until the file exists; FILE.ready tells that the dialog
// is up.
std::string gHoldFile;

void CALLBACK holdTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    static bool ready = false;
    HWND dialog = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL CALLBACK {
            if (IsWindowVisible(window) && GetDlgItem(window, 0) == nullptr) {
                char title[64] = {};
                GetWindowTextA(window, title, sizeof title);
                if (std::strcmp(title, "Quill") != 0 && title[0]) {
                    *reinterpret_cast<HWND*>(data) = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (dialog && !ready) {
        ready = true;
        if (FILE* marker = std::fopen((gHoldFile + ".ready").c_str(), "w"))
            std::fclose(marker);
    }
    if (GetFileAttributesA(gHoldFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        quillscript::hold(false);
        KillTimer(nullptr, timer);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: quillhost [--store FILE] [--answer type:NEW:CONFIRM|ok|"
                             "cancel]... [--hold FILE] (get|set|text) DATABASE MAX | clear\n");
        return 2;
    }
    if (!options.store.empty() && OrvTestLoad(options.store.c_str()) != 0) {
        std::fprintf(stderr, "quillhost: cannot read %s\n", options.store.c_str());
        return 1;
    }
    HWND mainWindow = makeMainWindow();
    HMODULE plugin = LoadLibraryA("pwbridge.dll");
    if (!plugin) {
        std::fprintf(stderr, "quillhost: cannot load pwbridge.dll (%lu)\n", GetLastError());
        return 1;
    }
    auto mainEntry = reinterpret_cast<PwMainEntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "MainEntryPoint")));
    auto extClear = reinterpret_cast<PwExtClear>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "ExtClear")));
    auto getText = reinterpret_cast<PwExtGetPasswordText>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "ExtGetPasswordText")));
    if (!mainEntry || !extClear || !getText) {
        std::fprintf(stderr, "quillhost: pwbridge.dll lacks an entry point\n");
        return 1;
    }
    quillscript::start(options.answers);
    if (!options.hold.empty()) {
        gHoldFile = options.hold;
        quillscript::hold(true);
        SetTimer(nullptr, 0, 50, holdTick);
    }
    std::printf("MainEntryPoint %u\n", mainEntry());
    for (const std::vector<std::string>& command : options.commands) {
        SetActiveWindow(mainWindow);
        if (command[0] == "clear") {
            EMRECORD record{};
            record.EId = EM_CLEARPASSWORD;
            std::printf("%u\n", NqTestFire(EM_CLEARPASSWORD, &record));
            continue;
        }
        const DWORD maxLength = static_cast<DWORD>(std::strtoul(command[2].c_str(), nullptr, 10));
        if (command[0] == "get")
            firePassword(EM_GETPASSWORD, command[1], maxLength, nullptr);
        else if (command[0] == "set")
            firePassword(EM_SETPASSWORD, command[1], maxLength, nullptr);
        else
            firePassword(0, command[1], maxLength, getText);
    }
    std::printf("ExtClear %u\n", extClear());
    const std::string shown = quillscript::stop();
    std::printf("shown: %s\n", shown.c_str());
    FreeLibrary(plugin);
    DestroyWindow(mainWindow);
    return 0;
}
