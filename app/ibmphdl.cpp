// Reference-counted bitmap handles, and the predefined ones.
#include <windows.h>

#include "detail/iscoped.hpp"

#include <iexcept.hpp>
#include <iresource.hpp>

#include "detail/icounted.hpp"
#include "detail/ishellres.hpp"
#include "iapp.hpp"
#include "iassert.hpp"
#include "ibmphdl.hpp"
#include "idll.hpp"
#include "ireslib.hpp"

IBitmapHandle::IBitmapHandle(Value handle) : fHandle(handle)
{
    ovk_app::acquireReference(*this);
}

IBitmapHandle::IBitmapHandle(const IBitmapHandle& other) : fHandle(other.fHandle)
{
    ovk_app::acquireReference(*this);
}

IBitmapHandle& IBitmapHandle::operator=(const IBitmapHandle& other)
{
    return ovk_app::assignReference(*this, other, &IBitmapHandle::fHandle);
}

IBitmapHandle::~IBitmapHandle()
{
    ovk_app::releaseReference(*this, [] {
        IAssertion::report("IBitmapHandle: the bitmap could not be released",
                           IEXCEPTION_LOCATION("ibmphdl", "IBitmapHandle::~IBitmapHandle()"));
    });
}

// ---------------------------------------------------------------------------------------------
// Predefined bitmaps

namespace {

// The platform's bitmap numbers of identifiers 0 to 26.
constexpr WORD kSystemBitmaps[] = {
    0x7FF2, 0x7FF2, 0x7FF1, 0x7FE7, 0x7FE1, 0x7FF0, 0x7FE6, 0x7FE0, 0x7FEF,
    0x7FE5, 0x7FDF, 0x7FEE, 0x7FE4, 0x7FDE, 0x7FF8, 0x7FE3, 0x7FF7, 0x7FE2,
    0x7FF6, 0x7FED, 0x7FEA, 0x7FEC, 0x7FE9, 0x7FEB, 0x7FE8, 0x7FF2, 0x7FF2,
};
constexpr WORD kSizeBox = 0x7FFE;

// Identifiers 27 to 32: icons, by their number in the shell or (for the class library) in its
// resource library.
struct IconSource {
    unsigned long id;
    bool fromClassLibrary;
};
constexpr IconSource kIconBitmaps[] = {
    {7, false}, {1, false}, {4, false}, {0x7131, true}, {0x7132, true}, {3, false},
};

constexpr unsigned long kLibraryBitmap = 0x7111;
constexpr WORD kApplicationIcon = 0x7F00;

// The icon of an identifier, or the system application icon when it cannot be had.
IPointerHandle iconFor(const IconSource& source, IString& origin)
{
    IPointerHandle icon;
    try {
        IResourceLibrary* library = source.fromClassLibrary
                                        ? &IApplication::current().ovkuiResourceLibrary()
                                        : static_cast<IResourceLibrary*>(ovkShellLibrary());
        if (library) {
            icon = library->tryToLoadIcon(source.id, true);
            if (icon.isValid())
                origin = library->fileName();
        }
    } catch (...) {
        // A missing icon is replaced below, as is one whose library cannot be opened.
        icon = IPointerHandle();
    }
    if (!icon.isValid()) {
        icon = IPointerHandle(IResourceLibrary::systemPointer(kApplicationIcon, false, false));
        origin = IString();
    }
    return icon;
}

// The colour image of an icon, with the number and name under which the bitmap table keeps it.
struct IconImage {
    HBITMAP bitmap = nullptr;
    unsigned long id = 0;
    IString name;
};

IconImage imageOfIcon(const IconSource& source)
{
    IString origin;
    IPointerHandle icon = iconFor(source, origin);
    IconImage image;
    image.id = origin.isEmpty() ? kApplicationIcon : source.id;
    // The prefix keeps these entries apart from the library's own bitmaps of the same number.
    image.name = IString("ICON:") + origin;
    ICONINFO info{};
    if (!GetIconInfo(icon.asValue(), &info))
        return image;
    // A monochrome icon has no colour image: its mask holds both halves and serves instead.
    image.bitmap = info.hbmColor ? info.hbmColor : info.hbmMask;
    if (info.hbmColor && info.hbmMask)
        ovk_native::dispose(info.hbmMask);
    return image;
}

} // namespace

ISystemBitmapHandle::ISystemBitmapHandle(Identifier id)
{
    const unsigned value = id;
    if (value < sizeof kSystemBitmaps / sizeof kSystemBitmaps[0] || value == sizeBox) {
        const WORD number = value == sizeBox ? kSizeBox : kSystemBitmaps[value];
        // Finding or making the entry and counting this holder are one step, so that no other
        // holder can delete the bitmap in between.
        IResourceLock lock(IResourceLibrary::resourceLock());
        IBitmapHandle::operator=(IBitmapHandle(IResourceLibrary::systemBitmap(number)));
    } else if (value >= programIcon && value <= openFolderIcon) {
        // Each icon's image gets one table entry, shared by all its holders and deleted by the
        // last: a new bitmap per object would be one lost bitmap per object, as nothing else
        // ever deletes it.
        IconImage image = imageOfIcon(kIconBitmaps[value - programIcon]);
        IResourceLock lock(IResourceLibrary::resourceLock());
        IBitmapHandle::operator=(IBitmapHandle(
            IResourceLibrary::enterBitmap(image.id, image.name, image.bitmap, ISize(0, 0))));
    } else {
        // Any identifier past the last asks the class library for bitmap 0, which it lacks, so
        // the load throws as any missing bitmap does.
        const unsigned long number = value == libraryBitmap ? kLibraryBitmap : 0;
        IBitmapHandle::operator=(IApplication::current().ovkuiResourceLibrary().loadBitmap(number, true));
    }
}
