// A program of this build run as a user may start it: from a folder of its own that holds none of
// the library's modules, reaching them through PATH only, while the current directory holds
// modules of the same names as the ones the library loads.
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

} // namespace ovktest
