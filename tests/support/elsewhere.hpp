// A program of this build run as a user may start it: from a folder of its own that holds none of
// the library's modules, reaching them through PATH only, while the current directory holds
// modules of the same names as the ones the library loads; or from a folder named in any script,
// as deep as a user's folders go, with the library's modules beside it or on PATH.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ovktest {

struct ProgramRun {
    bool started = false;
    bool ended = false; // false when the watchdog had to end it
    DWORD exitCode = 0;
    std::string output; // standard output and error, as they came
};

// Copies the program (a file of the test program's folder) alone into a new temporary folder
// and starts it there with the arguments, from a second new folder that holds a copy of the
// decoy module (decoy.cpp) under each of the names; PATH starts with the test program's folder,
// which holds the library and every module beside it. Both folders are removed afterwards.
ProgramRun runFromDecoyFolder(const std::string& program, const std::string& arguments,
                              const std::vector<std::string>& decoyNames);

// The folder of the running test program, which holds the library and every module.
std::wstring folderOfThisProgram();
// A name the wide file calls take at any length: past MAX_PATH only with the "\\?\" prefix.
std::wstring longForm(const std::wstring& path);

// A new empty folder under the temporary folder (with `inside` as folders within it, a
// backslash between two), with the files copied into it; all removed with the object.
class TempFolder {
public:
    explicit TempFolder(const char* kind, const std::wstring& inside = std::wstring());
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return fPath; }
    // Copies the file into the folder under the name; answers the copy's full name.
    std::wstring copy(const std::wstring& from, const std::wstring& name);
    // Copies every module (".dll") of the folder.
    void copyModulesOf(const std::wstring& folder);

private:
    std::wstring fPath;
    std::vector<std::wstring> fFolders;
    std::vector<std::wstring> fFiles;
};

// Where a run finds the library's modules (every module of the test program's folder).
enum class ModulesAt {
    besideProgram, // copied into the program's folder; PATH holds the system folders only
    onPath,        // copied into the folder alone, which PATH names after the system folders;
                   // the program is alone in a folder of its own
};

// Like runFromDecoyFolder, with the modules copied into a new folder under the temporary
// folder whose name is `folderName` (any script; a backslash makes a folder inside, so that the
// whole may be longer than MAX_PATH). Everything made is removed afterwards.
ProgramRun runWithModulesIn(const std::wstring& folderName, ModulesAt where,
                            const std::string& program, const std::string& arguments,
                            const std::vector<std::string>& decoyNames);

} // namespace ovktest
