// Bitmaps of resource libraries; the bitmap table and its counts; system bitmaps.
#include <windows.h>

#include "detail/iscoped.hpp"

#include <iexcept.hpp>
#include <iresource.hpp>

#include "detail/irestable.hpp"
#include "detail/ireslib.hpp"
#include "ireslib.hpp"

namespace {

const char kFile[] = "ireslib2";

IExceptionLocation at(const char* function, unsigned long line)
{
    return IExceptionLocation(kFile, function, line);
}

using BitmapTable = std::vector<IResourceLibrary::BitmapEntry>;

BitmapTable::iterator findByResource(BitmapTable& table, unsigned long id, const IString& name,
                                     const ISize& size)
{
    for (auto entry = table.begin(); entry != table.end(); ++entry)
        if (entry->id == id && entry->fileName == name && entry->size == size)
            return entry;
    return table.end();
}

// The bitmap resource as a bitmap compatible with the display, scaled when a size is given.
HBITMAP loadPlainBitmap(unsigned long id, HINSTANCE module, const ISize& size)
{
    return static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(LOWORD(id)), IMAGE_BITMAP,
                                           size.width(), size.height(), 0));
}

IBitmapResourceLoader gBitmapLoader = &loadPlainBitmap;

} // namespace

void ovkSetBitmapResourceLoader(IBitmapResourceLoader loader) noexcept
{
    gBitmapLoader = loader ? loader : &loadPlainBitmap;
}

std::vector<IResourceLibrary::BitmapEntry>& ovkBitmapTable()
{
    static auto* table = new BitmapTable;
    return *table;
}

IBitmapHandle IResourceLibrary::tryToLoadBitmap(unsigned long id, IBase::Boolean keep) const
{
    return tryToLoadBitmap(id, ISize(0, 0), keep);
}

IBitmapHandle IResourceLibrary::tryToLoadBitmap(unsigned long id, const ISize& size,
                                                IBase::Boolean keep) const
{
    const HMODULE module = handle();
    // A library without a module has no bitmaps; a null module would give the system's.
    if (!module)
        return IBitmapHandle();
    if (!keep)
        return IBitmapHandle(gBitmapLoader(id, module, size));
    // The search, the load and the new entry are one step under the lock, so two threads that
    // ask for the same bitmap share one entry instead of loading it twice.
    IResourceLock lock(resourceLock());
    const IString name = fileName();
    BitmapTable& table = ovkBitmapTable();
    auto entry = findByResource(table, id, name, size);
    if (entry != table.end())
        return IBitmapHandle(entry->handle);
    HBITMAP bitmap = gBitmapLoader(id, module, size);
    if (bitmap)
        table.push_back(BitmapEntry{id, bitmap, name, 0, size});
    return IBitmapHandle(bitmap);
}

IBitmapHandle IResourceLibrary::loadBitmap(unsigned long id, IBase::Boolean keep) const
{
    return loadBitmap(id, ISize(0, 0), keep);
}

IBitmapHandle IResourceLibrary::loadBitmap(unsigned long id, const ISize& size,
                                           IBase::Boolean keep) const
{
    static const char function[] =
        "IResourceLibrary::loadBitmap(unsigned long,const ISize&,IBase::Boolean) const";
    IBitmapHandle bitmap = tryToLoadBitmap(id, size, keep);
    if (!bitmap.isValid())
        IThrow::systemError(IString("GpiLoadBitmapId: ") + IString(id) + " ", GetLastError(),
                            at(function, 90));
    return bitmap;
}

IBitmapHandle::Value IResourceLibrary::systemBitmap(unsigned long id)
{
    static const char function[] = "IResourceLibrary::systemBitmap(unsigned long)";
    IResourceLock lock(resourceLock());
    BitmapTable& table = ovkBitmapTable();
    auto entry = findByResource(table, id, IString(), ISize(0, 0));
    if (entry != table.end())
        return entry->handle;
    HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(LOWORD(id)));
    if (!bitmap)
        IThrow::systemError(IString("IGETSYSBITMAP( IResourceId:") + IString(id) + ")",
                            GetLastError(), at(function, 244));
    table.push_back(BitmapEntry{id, bitmap, IString(), 0, ISize(0, 0)});
    return bitmap;
}

IBitmapHandle::Value IResourceLibrary::enterBitmap(unsigned long id, const IString& fileName,
                                                   IBitmapHandle::Value handle,
                                                   const ISize& size)
{
    if (!handle)
        return nullptr;
    IResourceLock lock(resourceLock());
    BitmapTable& table = ovkBitmapTable();
    auto entry = findByResource(table, id, fileName, size);
    if (entry != table.end()) {
        if (entry->handle != handle)
            ovk_native::dispose(handle);
        return entry->handle;
    }
    table.push_back(BitmapEntry{id, handle, fileName, 0, size});
    return handle;
}

std::uint32_t IResourceLibrary::addRef(const IBitmapHandle& handle)
{
    if (!handle.isValid())
        return 0;
    IResourceLock lock(resourceLock());
    return ovkAddHolder(ovkBitmapTable(), handle.asValue());
}

std::uint32_t IResourceLibrary::removeRef(const IBitmapHandle& handle)
{
    static const char function[] = "IResourceLibrary::removeRef(const IBitmapHandle&)";
    if (!handle.isValid())
        return 0;
    IResourceLock lock(resourceLock());
    BitmapTable& table = ovkBitmapTable();
    auto entry = ovkFindByHandle(table, handle.asValue());
    if (entry == table.end())
        return 0;
    if (entry->useCount > 0 && --entry->useCount > 0)
        return entry->useCount;
    if (!ovk_native::Bitmap(entry->handle).destroy())
        IThrow::systemError("IDELETEBITMAP", GetLastError(), at(function, 213));
    table.erase(entry);
    return 0;
}

IBase::Boolean IResourceLibrary::findBitmapEntry(IBitmapHandle::Value handle, BitmapEntry* entry)
{
    IResourceLock lock(resourceLock());
    return ovkCopyEntry(ovkBitmapTable(), handle, entry);
}

unsigned long IResourceLibrary::bitmapEntryCount()
{
    IResourceLock lock(resourceLock());
    return static_cast<unsigned long>(ovkBitmapTable().size());
}
