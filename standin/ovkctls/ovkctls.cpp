// The module's start: registers the outside window classes, and the test-only journal and
// failure injection that both classes use.
#include <windows.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ovkctls.h"

namespace ovkctls {

namespace {

struct Entry {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string decoded;
};

std::mutex gLock;
std::vector<Entry> gJournal;
std::map<UINT, long> gFailures;

ATOM registerClass(HINSTANCE module, const char* name, WNDPROC procedure,
                   int extraBytes = sizeof(void*))
{
    WNDCLASSA windowClass{};
    // Global, so that a window of the class can be created with any module's instance.
    windowClass.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = extraBytes;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass);
}

} // namespace

std::string hex(unsigned long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

bool recordAndFail(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   const std::string& decoded)
{
    std::lock_guard<std::mutex> lock(gLock);
    gJournal.push_back({window, message, wParam, lParam, decoded});
    auto found = gFailures.find(message);
    if (found == gFailures.end() || found->second == 0)
        return false;
    if (found->second > 0)
        --found->second;
    return true;
}

LRESULT notifyParent(HWND window, unsigned int code, LPARAM lParam)
{
    const HWND parent = GetParent(window);
    if (!parent)
        return 0;
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), code);
    return SendMessageA(parent, WM_COMMAND, wParam, lParam ? lParam : reinterpret_cast<LPARAM>(window));
}

} // namespace ovkctls

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        ovkctls::registerClass(module, "OVK Notebook", ovkctls::notebookProcedure);
        ovkctls::registerClass(module, "OVK Spin Button", ovkctls::spinProcedure);
        // Bytes 8 to 15 hold the library's brush for the slider's colour request.
        ovkctls::registerClass(module, "OVK Slider", ovkctls::sliderProcedure, 16);
        ovkctls::registerClass(module, "OVK Circular Slider", ovkctls::circularSliderProcedure);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassA("OVK Notebook", module);
        UnregisterClassA("OVK Spin Button", module);
        UnregisterClassA("OVK Slider", module);
        UnregisterClassA("OVK Circular Slider", module);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// TEST ONLY: nothing of the library calls these.

// The number of outside-interface messages received since the last reset.
LONG WINAPI OvkCtlsTestJournalCount()
{
    std::lock_guard<std::mutex> lock(ovkctls::gLock);
    return static_cast<LONG>(ovkctls::gJournal.size());
}

// One message of the journal: its window, number and parameters, and its arguments decoded as
// text ("0xF07B 50x30 1", "0xF080 page=1 \"Data\""), copied into `text` (cut to `size`).
// FALSE for an index past the end.
BOOL WINAPI OvkCtlsTestJournalEntry(LONG index, HWND* window, UINT* message, WPARAM* wParam,
                                    LPARAM* lParam, char* text, LONG size)
{
    std::lock_guard<std::mutex> lock(ovkctls::gLock);
    if (index < 0 || static_cast<size_t>(index) >= ovkctls::gJournal.size())
        return FALSE;
    const auto& entry = ovkctls::gJournal[static_cast<size_t>(index)];
    if (window) *window = entry.window;
    if (message) *message = entry.message;
    if (wParam) *wParam = entry.wParam;
    if (lParam) *lParam = entry.lParam;
    if (text && size > 0)
        lstrcpynA(text, entry.decoded.c_str(), size);
    return TRUE;
}

void WINAPI OvkCtlsTestJournalReset()
{
    std::lock_guard<std::mutex> lock(ovkctls::gLock);
    ovkctls::gJournal.clear();
}

// The next `count` receipts of the message answer its failure value (-1: every one until the
// reset). The failed message is journalled too.
void WINAPI OvkCtlsTestFailNext(UINT message, LONG count)
{
    std::lock_guard<std::mutex> lock(ovkctls::gLock);
    ovkctls::gFailures[message] = count;
}

void WINAPI OvkCtlsTestFailReset()
{
    std::lock_guard<std::mutex> lock(ovkctls::gLock);
    ovkctls::gFailures.clear();
}

} // extern "C"
