// Reference-counted native icon and cursor handles, and the predefined ones of the system, the
// shell and the class library.
#pragma once

#include "idefs.hpp"

struct HICON__;

// An icon or cursor handle. Copying and destroying keeps the count of the handle's entry in the
// process-wide pointer table, so a handle that was entered there is destroyed when the last
// holder lets go. A handle in no entry is a plain value: holders never destroy it.
class OVKWIN_API IPointerHandle {
public:
    using Value = HICON__*;

    IPointerHandle() noexcept = default;
    explicit IPointerHandle(Value handle);
    IPointerHandle(const IPointerHandle& other);
    IPointerHandle& operator=(const IPointerHandle& other);
    ~IPointerHandle();

    Value asValue() const noexcept { return fHandle; }
    explicit operator Value() const noexcept { return fHandle; }
    IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

    bool operator==(const IPointerHandle& other) const noexcept { return fHandle == other.fHandle; }
    bool operator!=(const IPointerHandle& other) const noexcept { return fHandle != other.fHandle; }

private:
    Value fHandle = nullptr;
};

// A predefined icon or cursor chosen by a small identifier.
class OVKWIN_API ISystemPointerHandle : public IPointerHandle {
public:
    enum Identifier : unsigned char {
        arrow = 0,
        text = 1,
        wait = 2,
        move = 3,
        sizeNWSE = 4,
        sizeNESW = 5,
        sizeWE = 6,
        sizeNS = 7,
        applicationIcon = 8,
        informationIcon = 9,
        questionIcon = 10,
        errorIcon = 11,
        warningIcon = 12,
        notAllowed = 13,
        shellFileIcon = 14,
        shellProgramIcon = 15,
        shellFolderIcon = 16,
        shellOpenFolderIcon = 17,
        libraryIcon = 18
    };

    // Values 0 to 13 are system cursors and icons; with keep true the handle is entered in the
    // pointer table (once per cursor) and this object holds a reference on it. Values 14 to 17
    // are shell icons, or the system application icon where the shell has none. Value 18 is the
    // class library's icon; any other value fails as a load of icon 0 from that library does.
    ISystemPointerHandle(Identifier id, IBase::Boolean keep = false);
};
