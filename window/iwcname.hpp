// IWindowClassName: the name of a native window's class, to recognise the kind of a window.
#pragma once

#include <istring.hpp>

#include <idefs.hpp>
#include <ihandle.hpp>

// A class is named by text or by atom; an atom is kept as "#" followed by its number in
// decimal, the form in which the system reports the classes it registers by atom ("#32770").
class OVKWIN_API IWindowClassName {
public:
    // The class of a window (at most 32 characters of its name); the handle must be valid.
    explicit IWindowClassName(const IWindowHandle& handle);
    // A name, or an atom passed the Windows way (a pointer value below 0x10000).
    IWindowClassName(const char* name);
    IWindowClassName(const IWindowClassName& other);
    IWindowClassName& operator=(const char* name);
    IWindowClassName& operator=(const IWindowClassName& other);

    // An atom (pointer value below 0x10000) compares with atom(), a name as text.
    IBase::Boolean operator==(const char* name) const;
    IBase::Boolean operator!=(const char* name) const { return !(*this == name); }
    IBase::Boolean operator==(const IWindowClassName& other) const { return fName == other.fName; }
    IBase::Boolean operator!=(const IWindowClassName& other) const { return fName != other.fName; }

    // The atom of a "#<digits>" name, as the pointer value Windows takes; otherwise the name's
    // text.
    const char* atom() const;
    IString asString() const { return fName; }

private:
    IString fName;
};
