// Running a program of this build from a folder that holds decoy modules.
#include "elsewhere.hpp"

#include <detail/iscoped.hpp>

#include <thread>

namespace ovktest {
namespace {

std::string folderOfThisProgram()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length < MAX_PATH ? length : 0);
    const std::string::size_type slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

// A new empty folder under the temporary folder, with the files put into it, all removed with
// the object.
class TempFolder {
public:
    explicit TempFolder(const char* kind)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static unsigned counter = 0;
        for (;;) {
            fPath = std::string(temp) + "ovk-" + kind + "-" +
                    std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
            if (CreateDirectoryA(fPath.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder()
    {
        for (const std::string& file : fFiles)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(fPath.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return fPath; }
    std::string copy(const std::string& from, const std::string& name)
    {
        const std::string to = fPath + "\\" + name;
        if (CopyFileA(from.c_str(), to.c_str(), TRUE))
            fFiles.push_back(to);
        return to;
    }

private:
    std::string fPath;
    std::vector<std::string> fFiles;
};

std::string currentPath()
{
    const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    std::string path(size, '\0');
    const DWORD length = size ? GetEnvironmentVariableA("PATH", &path[0], size) : 0;
    path.resize(length < size ? length : 0);
    return path;
}

} // namespace

ProgramRun runFromDecoyFolder(const std::string& program, const std::string& arguments,
                              const std::vector<std::string>& decoyNames)
{
    const std::string build = folderOfThisProgram();
    TempFolder home("program");
    const std::string copied = home.copy(build + "\\" + program, program);
    TempFolder current("decoys");
    for (const std::string& name : decoyNames)
        current.copy(build + "\\ovkdecoy.dll", name);

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
        // The child's environment is this one with the build's folder first on PATH; the child
        // takes the whole block, so the change is made here and undone at once.
        const std::string previousPath = currentPath();
        SetEnvironmentVariableA("PATH", (build + ";" + previousPath).c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writing;
        startup.hStdError = writing;
        std::string command = "\"" + copied + "\" " + arguments;
        run.started = CreateProcessA(copied.c_str(), &command[0], nullptr, nullptr, TRUE, 0,
                                     nullptr, current.path().c_str(), &startup, &process) != 0;
        SetEnvironmentVariableA("PATH", previousPath.c_str());
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

} // namespace ovktest
