// Window class names.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include <iexcept.hpp>

#include "iwcname.hpp"

namespace {

bool isAtom(const char* name)
{
    return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

} // namespace

IWindowClassName::IWindowClassName(const IWindowHandle& handle)
{
    IARGUMENT_CHECK(handle.isValid(), "iwcname", "IWindowClassName::IWindowClassName(const IWindowHandle&)");
    char name[33];
    const int length = GetClassNameA(handle, name, sizeof name);
    fName = IString(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

IWindowClassName::IWindowClassName(const char* name)
{
    *this = name;
}

IWindowClassName::IWindowClassName(const IWindowClassName& other) : fName(other.fName) {}

IWindowClassName& IWindowClassName::operator=(const char* name)
{
    if (isAtom(name))
        fName = "#" + IString(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(name)));
    else
        fName = name;
    return *this;
}

IWindowClassName& IWindowClassName::operator=(const IWindowClassName& other) = default;

IBase::Boolean IWindowClassName::operator==(const char* name) const
{
    if (isAtom(name))
        return atom() == name;
    return fName == name;
}

const char* IWindowClassName::atom() const
{
    if (fName.length() > 1 && fName[1] == '#' && fName.subString(2).isDigits()) {
        const unsigned long number = std::strtoul(fName.subString(2), nullptr, 10) & 0xFFFF;
        return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(number));
    }
    return fName;
}
