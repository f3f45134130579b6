// Loading modules named without a folder, never from the current directory.
#include <windows.h>

#include <string>
#include <vector>

#include "detail/imodload.hpp"

// The start of the library's own image, which the linker provides: its module handle, even when
// the library was loaded under another name or from another folder than the program's.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ovk_native {
namespace {

bool hasFolder(const std::string& name)
{
    return name.find_first_of("\\/:") != std::string::npos;
}

// A folder from PATH counts only when it is absolute ("C:\dir", "C:/dir" or "\\server\share"):
// an empty entry or a relative one such as "." stands for the current directory again.
bool isAbsoluteFolder(const std::string& folder)
{
    if (folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/'))
        return true;
    return folder.size() >= 2 && (folder[0] == '\\' || folder[0] == '/') && folder[0] == folder[1];
}

std::string folderOf(HMODULE module)
{
    const std::string file = moduleFileName(module);
    const std::string::size_type slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

template <class Reader>
std::string systemText(Reader reader)
{
    char buffer[MAX_PATH];
    const UINT length = reader(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string environmentPath()
{
    const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size == 0)
        return std::string();
    std::vector<char> buffer(size);
    const DWORD length = GetEnvironmentVariableA("PATH", buffer.data(), size);
    return length > 0 && length < size ? std::string(buffer.data(), length) : std::string();
}

// The folders in the system's order, with the library's own folder after the program's and the
// current directory left out; for SearchPath, which looks in nothing but the folders it is given.
std::string searchFolders()
{
    std::vector<std::string> folders;
    folders.push_back(folderOf(nullptr));
    folders.push_back(folderOf(reinterpret_cast<HMODULE>(&__ImageBase)));
    folders.push_back(systemText(GetSystemDirectoryA));
    const std::string windows = systemText(GetWindowsDirectoryA);
    if (!windows.empty())
        folders.push_back(windows + "\\system");
    folders.push_back(windows);
    const std::string path = environmentPath();
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type end = path.find(';', start);
        if (end == std::string::npos)
            end = path.size();
        folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::string joined;
    for (const std::string& folder : folders) {
        if (!isAbsoluteFolder(folder))
            continue;
        if (!joined.empty())
            joined += ';';
        joined += folder;
    }
    return joined;
}

std::string findModuleFile(const std::string& name)
{
    // One already loaded is the one the system would answer; loading it again by its full name
    // counts one more user of that same module.
    if (HMODULE loaded = GetModuleHandleA(name.c_str()))
        return moduleFileName(loaded);
    const std::string folders = searchFolders();
    std::vector<char> found(MAX_PATH);
    for (;;) {
        const DWORD length = SearchPathA(folders.c_str(), name.c_str(), ".dll",
                                         static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0)
            return std::string();
        if (length < found.size())
            return std::string(found.data(), length);
        found.resize(length + 1);
    }
}

} // namespace

std::string moduleFileName(HMODULE module)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, buffer.data(),
                                                static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        // A name that fills the buffer may have been cut short: try again with more room.
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

HMODULE loadModuleByName(const char* name, DWORD flags) noexcept
{
    try {
        const std::string given = name ? name : "";
        if (given.empty() || hasFolder(given))
            return LoadLibraryExA(name, nullptr, flags);
        const std::string file = findModuleFile(given);
        if (file.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        // The modules that this one imports are looked for beside it first, as they were
        // shipped together; a data file imports nothing.
        if (!(flags & LOAD_LIBRARY_AS_DATAFILE))
            flags |= LOAD_WITH_ALTERED_SEARCH_PATH;
        return LoadLibraryExA(file.c_str(), nullptr, flags);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

} // namespace ovk_native
