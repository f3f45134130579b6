// Reference-counted icon and cursor handles, and the predefined ones.
#include <windows.h>

#include <iexcept.hpp>
#include <iresource.hpp>

#include "detail/icounted.hpp"
#include "detail/ishellres.hpp"
#include "iapp.hpp"
#include "iassert.hpp"
#include "idll.hpp"
#include "iptrhdl.hpp"
#include "ireslib.hpp"

IPointerHandle::IPointerHandle(Value handle) : fHandle(handle)
{
    ovk_app::acquireReference(*this);
}

IPointerHandle::IPointerHandle(const IPointerHandle& other) : fHandle(other.fHandle)
{
    ovk_app::acquireReference(*this);
}

IPointerHandle& IPointerHandle::operator=(const IPointerHandle& other)
{
    return ovk_app::assignReference(*this, other, &IPointerHandle::fHandle);
}

IPointerHandle::~IPointerHandle()
{
    ovk_app::releaseReference(*this, [] {
        IAssertion::report("IPointerHandle: the handle could not be released",
                           IEXCEPTION_LOCATION("iptrhdl", "IPointerHandle::~IPointerHandle()"));
    });
}

// ---------------------------------------------------------------------------------------------
// Predefined pointers

namespace {

struct SystemPointer {
    WORD id;
    bool isCursor;
};

// By identifier 0 to 13.
constexpr SystemPointer kSystemPointers[] = {
    {0x7F00, true},  {0x7F01, true},  {0x7F02, true},  {0x7F03, true},  {0x7F82, true},
    {0x7F83, true},  {0x7F84, true},  {0x7F85, true},  {0x7F00, false}, {0x7F04, false},
    {0x7F02, false}, {0x7F01, false}, {0x7F03, false}, {0x7F88, true},
};

// By identifier 14 to 17.
constexpr WORD kShellIcons[] = {1, 133, 4, 3};

constexpr unsigned long kLibraryIcon = 0x7112;
constexpr WORD kApplicationIcon = 0x7F00;

} // namespace

IDynamicLinkLibrary* ovkShellLibrary() noexcept
{
    static IDynamicLinkLibrary* shell = []() -> IDynamicLinkLibrary* {
        try {
            return new IDynamicLinkLibrary("shell32");
        } catch (...) {
            return nullptr;
        }
    }();
    return shell;
}

ISystemPointerHandle::ISystemPointerHandle(Identifier id, IBase::Boolean keep)
{
    const unsigned value = id;
    if (value < sizeof kSystemPointers / sizeof kSystemPointers[0]) {
        const SystemPointer& pointer = kSystemPointers[value];
        // Entering the handle and counting this holder are one step, so that no other holder
        // can drop the entry in between.
        IResourceLock lock(IResourceLibrary::resourceLock());
        IPointerHandle::operator=(IPointerHandle(
            IResourceLibrary::systemPointer(pointer.id, keep, pointer.isCursor)));
    } else if (value <= shellOpenFolderIcon) {
        IPointerHandle icon;
        try {
            if (IDynamicLinkLibrary* shell = ovkShellLibrary())
                icon = shell->tryToLoadIcon(kShellIcons[value - shellFileIcon], false);
        } catch (...) {
            // The shell's icon is a nicety; the application icon stands in for it.
        }
        if (!icon.isValid())
            icon = IPointerHandle(IResourceLibrary::systemPointer(kApplicationIcon, false, false));
        IPointerHandle::operator=(icon);
    } else {
        // Any identifier past the last asks the class library for icon 0, which it lacks, so
        // the load throws as any missing icon does.
        const unsigned long number = value == libraryIcon ? kLibraryIcon : 0;
        IPointerHandle::operator=(IApplication::current().ovkuiResourceLibrary().loadIcon(number, true));
    }
}
