// Running a program of this build from a folder that holds decoy modules, with the library's
// modules on PATH or beside the program, in folders named in any script.
#include "elsewhere.hpp"

#include <detail/iscoped.hpp>

#include <thread>

namespace ovktest {
namespace {

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring currentPath()
{
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    std::wstring path(size, L'\0');
    const DWORD length = size ? GetEnvironmentVariableW(L"PATH", &path[0], size) : 0;
    path.resize(length < size ? length : 0);
    return path;
}

std::wstring systemFolders()
{
    wchar_t system[MAX_PATH] = {};
    wchar_t windows[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(system) + L";" + windows;
}

// Starts the program from the folder with the PATH given and collects what it writes.
ProgramRun run(const std::wstring& program, const std::string& arguments,
               const std::wstring& current, const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    ProgramRun run;
    if (!CreatePipe(&reading, &writing, &inherited, 0))
        return run;
    ovk_native::KernelHandles pipe;
    pipe.add(reading);
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);

    PROCESS_INFORMATION process{};
    {
        // Only the child keeps the writing end: this process's copy goes when the block ends,
        // so that the reader sees the end of the output when the child is gone.
        ovk_native::KernelHandles writingEnd;
        writingEnd.add(writing);
        // The child takes this process's whole environment block, so PATH is changed here and
        // put back at once.
        const std::wstring previousPath = currentPath();
        SetEnvironmentVariableW(L"PATH", path.c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writing;
        startup.hStdError = writing;
        std::wstring command = L"\"" + program + L"\" " + wide(arguments);
        run.started = CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0,
                                     nullptr, current.c_str(), &startup, &process) != 0;
        SetEnvironmentVariableW(L"PATH", previousPath.c_str());
    }
    if (!run.started)
        return run;
    ovk_native::KernelHandles child;
    child.add(process.hProcess);
    child.add(process.hThread);

    std::thread reader([&] {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(reading, buffer, sizeof buffer, &got, nullptr) && got > 0)
            run.output.append(buffer, got);
    });
    // A watchdog, not a measure: a program that hangs fails the test instead of the run.
    run.ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
    if (!run.ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    reader.join();
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    return run;
}

void plantDecoys(TempFolder& folder, const std::wstring& build,
                 const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        folder.copy(build + L"\\ovkdecoy.dll", wide(name));
}

} // namespace

std::wstring longForm(const std::wstring& path)
{
    return path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0 ? path
                                                                           : L"\\\\?\\" + path;
}

TempFolder::TempFolder(const char* kind, const std::wstring& inside)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        fPath = std::wstring(temp) + L"ovk-" + wide(kind) + L"-" +
                std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(fPath.c_str(), nullptr))
            break;
    }
    fFolders.push_back(fPath);
    std::wstring::size_type start = 0;
    while (start < inside.size()) {
        std::wstring::size_type end = inside.find(L'\\', start);
        if (end == std::wstring::npos)
            end = inside.size();
        fPath += L"\\" + inside.substr(start, end - start);
        CreateDirectoryW(longForm(fPath).c_str(), nullptr);
        fFolders.push_back(fPath);
        start = end + 1;
    }
}

TempFolder::~TempFolder()
{
    for (const std::wstring& file : fFiles)
        DeleteFileW(longForm(file).c_str());
    for (auto folder = fFolders.rbegin(); folder != fFolders.rend(); ++folder)
        RemoveDirectoryW(longForm(*folder).c_str());
}

std::wstring TempFolder::copy(const std::wstring& from, const std::wstring& name)
{
    const std::wstring to = fPath + L"\\" + name;
    if (CopyFileW(longForm(from).c_str(), longForm(to).c_str(), TRUE))
        fFiles.push_back(to);
    return to;
}

void TempFolder::copyModulesOf(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        copy(folder + L"\\" + found.cFileName, found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring folderOfThisProgram()
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    const std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

ProgramRun runFromDecoyFolder(const std::string& program, const std::string& arguments,
                              const std::vector<std::string>& decoyNames)
{
    const std::wstring build = folderOfThisProgram();
    TempFolder home("program");
    const std::wstring copied = home.copy(build + L"\\" + wide(program), wide(program));
    TempFolder current("decoys");
    plantDecoys(current, build, decoyNames);
    return run(copied, arguments, current.path(), build + L";" + currentPath());
}

ProgramRun runWithModulesIn(const std::wstring& folderName, ModulesAt where,
                            const std::string& program, const std::string& arguments,
                            const std::vector<std::string>& decoyNames)
{
    const std::wstring build = folderOfThisProgram();
    TempFolder modules("modules", folderName);
    modules.copyModulesOf(build);
    TempFolder home("program");
    TempFolder& programFolder = where == ModulesAt::besideProgram ? modules : home;
    const std::wstring copied = programFolder.copy(build + L"\\" + wide(program), wide(program));
    TempFolder current("decoys");
    plantDecoys(current, build, decoyNames);
    std::wstring path = systemFolders();
    if (where == ModulesAt::onPath)
        path += L";" + modules.path();
    return run(copied, arguments, current.path(), path);
}

} // namespace ovktest
