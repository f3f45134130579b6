// Icons and pointers of resource libraries; the pointer table and its counts.
#include <windows.h>

#include "detail/iscoped.hpp"

#include <iexcept.hpp>
#include <iplatfrm.hpp>
#include <iresource.hpp>

#include "detail/irestable.hpp"
#include "ireslib.hpp"

namespace {

const char kFile[] = "ireslib3";

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

using PointerTable = std::vector<IResourceLibrary::PointerEntry>;

} // namespace

std::vector<IResourceLibrary::PointerEntry>& ovkPointerTable()
{
    static auto* table = new PointerTable;
    return *table;
}

IPointerHandle IResourceLibrary::tryToLoadIcon(unsigned long id, IBase::Boolean) const
{
    // Icons and pointers of a library are never entered in the pointer table: the platform shares
    // them with every caller of the same module, so no holder may destroy one, and loading the
    // same number again gives the same handle rather than another copy to keep track of.
    IResourceLock lock(resourceLock());
    const HMODULE module = handle();
    if (!module)
        return IPointerHandle();
    const LPCSTR name = MAKEINTRESOURCEA(LOWORD(id));
    HICON icon = nullptr;
    if (IPlatform::hasLimitedGraphics()) {
        // Shared as LoadIcon's are; without LR_SHARED every load would make a new icon that
        // nobody destroys.
        icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 0, 0, LR_SHARED));
        if (!icon)
            icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_CURSOR, 0, 0, LR_SHARED));
    } else {
        icon = LoadIconA(module, name);
        if (!icon)
            icon = LoadCursorA(module, name);
    }
    return IPointerHandle(icon);
}

IPointerHandle IResourceLibrary::loadIcon(unsigned long id, IBase::Boolean keep) const
{
    static const char function[] = "IResourceLibrary::loadIcon(unsigned long,IBase::Boolean) const";
    IPointerHandle icon = tryToLoadIcon(id, keep);
    if (!icon.isValid())
        IThrow::systemError(IString("ILOADPOINTER(IResourceId:") + IString(id) + ")",
                            GetLastError(), at(function, 150));
    return icon;
}

IPointerHandle IResourceLibrary::loadPointer(unsigned long id, IBase::Boolean keep) const
{
    return loadIcon(id, keep);
}

IPointerHandle::Value IResourceLibrary::systemPointer(unsigned long id, IBase::Boolean keep,
                                                      IBase::Boolean isPointer)
{
    static const char function[] =
        "IResourceLibrary::systemPointer(unsigned long,IBase::Boolean,IBase::Boolean)";
    const LPCSTR name = MAKEINTRESOURCEA(LOWORD(id));
    HICON pointer = isPointer ? LoadCursorA(nullptr, name) : LoadIconA(nullptr, name);
    if (!pointer)
        IThrow::systemError("IQUERYSYSPOINTER", GetLastError(), at(function, 268));
    if (keep) {
        // The platform gives every caller the same system cursor, so one entry counts all its
        // holders, and the entry is marked shared: the last holder drops the entry but must
        // not destroy a cursor that the rest of the process still uses.
        IResourceLock lock(resourceLock());
        PointerTable& table = ovkPointerTable();
        if (ovkFindByHandle(table, pointer) == table.end())
            table.push_back(PointerEntry{id, pointer, IString(), 0, true});
    }
    return pointer;
}

std::uint32_t IResourceLibrary::addRef(const IPointerHandle& handle)
{
    if (!handle.isValid())
        return 0;
    IResourceLock lock(resourceLock());
    return ovkAddHolder(ovkPointerTable(), handle.asValue());
}

std::uint32_t IResourceLibrary::removeRef(const IPointerHandle& handle)
{
    static const char function[] = "IResourceLibrary::removeRef(const IPointerHandle&)";
    if (!handle.isValid())
        return 0;
    IResourceLock lock(resourceLock());
    PointerTable& table = ovkPointerTable();
    auto entry = ovkFindByHandle(table, handle.asValue());
    if (entry == table.end())
        return 0;
    if (entry->useCount > 0 && --entry->useCount > 0)
        return entry->useCount;
    if (!entry->shared && !ovk_native::Icon(entry->handle).destroy())
        IThrow::systemError("IDESTROYPOINTER", GetLastError(), at(function, 352));
    table.erase(entry);
    return 0;
}

IBase::Boolean IResourceLibrary::findPointerEntry(IPointerHandle::Value handle,
                                                  PointerEntry* entry)
{
    IResourceLock lock(resourceLock());
    return ovkCopyEntry(ovkPointerTable(), handle, entry);
}

unsigned long IResourceLibrary::pointerEntryCount()
{
    IResourceLock lock(resourceLock());
    return static_cast<unsigned long>(ovkPointerTable().size());
}
