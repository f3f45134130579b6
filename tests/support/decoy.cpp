// TEST ONLY: a module that stands, under the name of a module the library or the plug-in loads,
// in the folder a program was started from. It exports nothing; when it is loaded it says so on
// the program's standard error with its own path, so that a test sees any code of it run.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char line[MAX_PATH + 32] = "decoy module loaded: ";
    const DWORD prefix = static_cast<DWORD>(lstrlenA(line));
    DWORD length = GetModuleFileNameA(self, line + prefix, MAX_PATH);
    if (length >= MAX_PATH)
        length = MAX_PATH - 1;
    line[prefix + length] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, prefix + length + 1, &written, nullptr);
    return TRUE;
}
