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

// The longest path the wide calls take, with the "\\?\" prefix.
constexpr DWORD kLongestPath = 32768;

// Every text of the search is wide: the ANSI calls turn each character of a folder name that
// the ANSI code page lacks (Greek, Cyrillic, CJK on a Western system) into '?'.
std::wstring wideFrom(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                            length);
    return wide;
}

std::string ansiFrom(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0],
                            length, nullptr, nullptr);
    return ansi;
}

bool hasFolder(const std::wstring& name)
{
    return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// A path is absolute when it starts at a drive's root ("C:\dir", "C:/dir") or at a server
// ("\\server\share"); any other one starts at the current directory (or the current drive's).
bool isAbsolute(const std::wstring& folder)
{
    if (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/'))
        return true;
    return folder.size() >= 2 && (folder[0] == L'\\' || folder[0] == L'/') &&
           folder[0] == folder[1];
}

std::wstring folderOf(HMODULE module)
{
    const std::wstring file = moduleFileNameW(module);
    const std::wstring::size_type slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

// A system text that a reader writes into a buffer of the size given, answering the length, or
// the size needed when the buffer is too small.
template <class Reader>
std::wstring systemText(Reader reader)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = reader(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0 || length > kLongestPath)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::wstring environmentPath()
{
    return systemText([](wchar_t* buffer, UINT size) {
        return static_cast<UINT>(GetEnvironmentVariableW(L"PATH", buffer, size));
    });
}

// The first step of the search: the folders the system always looks in, in its order, with the
// library's own folder after the program's.
std::vector<std::wstring> fixedFolders()
{
    std::vector<std::wstring> folders;
    folders.push_back(folderOf(nullptr));
    folders.push_back(folderOf(reinterpret_cast<HMODULE>(&__ImageBase)));
    folders.push_back(systemText(GetSystemDirectoryW));
    const std::wstring windows = systemText(GetWindowsDirectoryW);
    if (!windows.empty())
        folders.push_back(windows + L"\\system");
    folders.push_back(windows);
    return folders;
}

// The second step: PATH's folders, in its order, empty and relative entries included.
std::vector<std::wstring> pathFolders()
{
    std::vector<std::wstring> folders;
    const std::wstring path = environmentPath();
    std::wstring::size_type start = 0;
    while (start <= path.size()) {
        std::wstring::size_type end = path.find(L';', start);
        if (end == std::wstring::npos)
            end = path.size();
        folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

// The third step: only the absolute folders are kept. An empty entry of PATH or a relative one
// such as "." stands for the current directory again.
std::vector<std::wstring> absoluteOnly(std::vector<std::wstring> folders)
{
    std::vector<std::wstring> kept;
    for (std::wstring& folder : folders)
        if (isAbsolute(folder))
            kept.push_back(std::move(folder));
    return kept;
}

// The full name of the file in the folder, in the form the wide calls take at any length: one
// past MAX_PATH needs the "\\?\" prefix, which in turn needs a full name with backslashes only.
std::wstring fileIn(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring given = folder + L"\\" + name;
    const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (size == 0 || size > kLongestPath)
        return std::wstring();
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return std::wstring();
    full.resize(length);
    if (full.size() < MAX_PATH || full.compare(0, 4, L"\\\\?\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool isFile(const std::wstring& file)
{
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring findModuleFile(const std::wstring& name)
{
    // One already loaded is the one the system would answer; loading it again by its full name
    // counts one more user of that same module.
    if (HMODULE loaded = GetModuleHandleW(name.c_str()))
        return moduleFileNameW(loaded);
    // A name without an extension is a ".dll", as for LoadLibrary.
    const std::wstring file = name.find(L'.') == std::wstring::npos ? name + L".dll" : name;
    std::vector<std::wstring> folders = fixedFolders();
    for (std::wstring& folder : pathFolders())
        folders.push_back(std::move(folder));
    for (const std::wstring& folder : absoluteOnly(std::move(folders))) {
        const std::wstring found = fileIn(folder, file);
        if (!found.empty() && isFile(found))
            return found;
    }
    return std::wstring();
}

// The flags for a module loaded by its full name, which keep the current directory out of the
// search for the module's own imports: the module's folder, then the program's folder and the
// system folder. Systems without them (before the update that brought AddDllDirectory) look in
// the module's folder first instead, and in the current directory only after the system folders.
DWORD importSearchFlags(DWORD flags)
{
    if (flags & LOAD_LIBRARY_AS_DATAFILE)
        return flags;
    static const bool searchFlags =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    if (searchFlags)
        return flags | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    return flags | LOAD_WITH_ALTERED_SEARCH_PATH;
}

} // namespace

std::wstring moduleFileNameW(HMODULE module)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, buffer.data(),
                                                static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        // A name that fills the buffer may have been cut short: try again with more room.
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        if (buffer.size() >= kLongestPath)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::string moduleFileName(HMODULE module)
{
    return ansiFrom(moduleFileNameW(module));
}

HMODULE loadModuleByName(const char* name, DWORD flags) noexcept
{
    try {
        return loadModuleByName(wideFrom(name ? name : ""), flags);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HMODULE loadModuleByName(const std::wstring& name, DWORD flags) noexcept
{
    try {
        if (name.empty())
            return LoadLibraryExW(name.c_str(), nullptr, flags);
        // A relative folder is the current directory's, as the caller asked: the system takes
        // the search flags with a full name only.
        if (hasFolder(name))
            return LoadLibraryExW(name.c_str(), nullptr,
                                  isAbsolute(name) ? importSearchFlags(flags) : flags);
        const std::wstring file = findModuleFile(name);
        if (file.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        return LoadLibraryExW(file.c_str(), nullptr, importSearchFlags(flags));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

} // namespace ovk_native
