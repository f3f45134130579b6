// Reference-counted native bitmap handles, and the predefined bitmaps of the system, the shell
// and the class library.
#pragma once

#include "idefs.hpp"

struct HBITMAP__;

// A bitmap handle. Copying and destroying keeps the count of the handle's entry in the
// process-wide bitmap table, so a bitmap that was entered there is deleted when the last holder
// lets go. A handle in no entry is a plain value: holders never delete it.
class OVKWIN_API IBitmapHandle {
public:
    using Value = HBITMAP__*;

    IBitmapHandle() noexcept = default;
    explicit IBitmapHandle(Value handle);
    IBitmapHandle(const IBitmapHandle& other);
    IBitmapHandle& operator=(const IBitmapHandle& other);
    ~IBitmapHandle();

    Value asValue() const noexcept { return fHandle; }
    explicit operator Value() const noexcept { return fHandle; }
    IBase::Boolean isValid() const noexcept { return fHandle != nullptr; }

    bool operator==(const IBitmapHandle& other) const noexcept { return fHandle == other.fHandle; }
    bool operator!=(const IBitmapHandle& other) const noexcept { return fHandle != other.fHandle; }

private:
    Value fHandle = nullptr;
};

// A predefined bitmap chosen by a small identifier. Every one is counted in the bitmap table,
// so the last holder of an identifier deletes its bitmap and the next one makes it again.
class OVKWIN_API ISystemBitmapHandle : public IBitmapHandle {
public:
    enum Identifier : unsigned char {
        systemMenu = 0,
        systemMenuPressed = 1,
        upArrow = 2,
        upArrowPressed = 3,
        upArrowInactive = 4,
        downArrow = 5,
        downArrowPressed = 6,
        downArrowInactive = 7,
        rightArrow = 8,
        rightArrowPressed = 9,
        rightArrowInactive = 10,
        leftArrow = 11,
        leftArrowPressed = 12,
        leftArrowInactive = 13,
        checkMark = 14,
        menuArrow = 15,
        checkBoxes = 16,
        comboBoxArrow = 17,
        buttonCorners = 18,
        minimizeButton = 19,
        minimizeButtonPressed = 20,
        maximizeButton = 21,
        maximizeButtonPressed = 22,
        restoreButton = 23,
        restoreButtonPressed = 24,
        childSystemMenu = 25,
        childSystemMenuPressed = 26,
        programIcon = 27,
        fileIcon = 28,
        folderIcon = 29,
        acceptIcon = 30,
        rejectIcon = 31,
        openFolderIcon = 32,
        sizeBox = 33,
        libraryBitmap = 34
    };

    // Values 0 to 26 and 33 are system bitmaps, 27 to 32 the colour images of shell and class
    // library icons, 34 the class library's bitmap; any other value fails as a load of bitmap 0
    // from the class library's resource library does.
    explicit ISystemBitmapHandle(Identifier id);
};
