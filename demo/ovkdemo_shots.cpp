// Screenshots on request: the demo drops "<name>.req" into the folder the script gave it and
// waits until the script, having taken the picture, deletes the file.
#include <windows.h>

#include <cstring>
#include <string>

#include "ovkdemo.h"

namespace {

std::string gFolder;

// Serves paint and sent messages only, for at most the given time.
void drawPending(DWORD ms)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
        DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_PAINT | QS_SENDMESSAGE);
}

} // namespace

void setScreenshotFolder(const char* commandLine)
{
    const char* option = commandLine ? std::strstr(commandLine, "--shots ") : nullptr;
    if (!option)
        return;
    option += 8;
    const char* end = option;
    while (*end && *end != ' ')
        ++end;
    gFolder.assign(option, end);
}

void requestScreenshot(const char* name)
{
    if (gFolder.empty())
        return;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (IsWindowVisible(window) &&
            GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    drawPending(150);
    const std::string request = gFolder + "\\" + name + ".req";
    HANDLE file = CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(file);
    // The script polls every 100 ms; a missing script must not hang the demo.
    for (int waited = 0; waited < 15000; waited += 50) {
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES)
            return;
        drawPending(50);
    }
    DeleteFileA(request.c_str());
}
