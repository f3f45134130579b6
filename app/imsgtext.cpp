// The texts of the library's message numbers, read from the message table of its resource
// library (the module named by "OVKUI RESLIB", "ovkres" by default).
#include <windows.h>

#include <imsgtext.hpp>
#include <istring.hpp>

#include <string>
#include <vector>

#include "detail/imodload.hpp"
#include "detail/imsgreg.hpp"

namespace {

HMODULE messageLibrary()
{
    // Opened once, as a data file: the library needs only its resources, and a data-file module
    // runs no code in our process. Never closed, since texts are asked for until the end.
    static HMODULE library = [] {
        // The C run time's getenv does not see changes made through SetEnvironmentVariable;
        // the wide call keeps a folder named in any script.
        std::wstring name(GetEnvironmentVariableW(L"OVKUI RESLIB", nullptr, 0), L'\0');
        const DWORD length =
            name.empty() ? 0 : GetEnvironmentVariableW(L"OVKUI RESLIB", &name[0],
                                                       static_cast<DWORD>(name.size()));
        name = length > 0 && length < name.size() ? name.substr(0, length) : L"ovkres";
        // Looked for as every module named without a folder is, never in the current
        // directory, whose module of that name would give its texts for the library's.
        return ovk_native::loadModuleByName(name, LOAD_LIBRARY_AS_DATAFILE);
    }();
    return library;
}

IString textFromLibrary(std::uint32_t number)
{
    return ovkReadMessageText(messageLibrary(), number);
}

} // namespace

IString ovkReadMessageText(HINSTANCE__* module, std::uint32_t number)
{
    if (!module)
        return IString();
    const DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS;
    // FormatMessage does not cut a text that does not fit: it fails with error 122, so the
    // buffer grows until the whole text fits.
    for (DWORD size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        DWORD length = FormatMessageA(flags, module, number, 0, buffer.data(), size, nullptr);
        if (length)
            return IString(buffer.data(), length);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return IString();
}

void ovkRegisterMessageTexts() noexcept
{
    IMessageText::setProvider(&textFromLibrary);
}
