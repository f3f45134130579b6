// Resource libraries (the modules that texts, menus, dialogs, accelerator and help tables,
// icons, pointers and bitmaps are loaded from) and resource identifiers; the process-wide
// pointer and bitmap tables that make native icon and bitmap handles reference-counted.
#pragma once

#include <cstdint>

#include <ipoint.hpp>
#include <istring.hpp>
#include <ivbase.hpp>

#include "ibmphdl.hpp"
#include "idefs.hpp"
#include "ihandle.hpp"
#include "imodule.hpp"
#include "iptrhdl.hpp"

class IResource;
class IWindow;

// A dialog procedure, with the platform's parameter types on both word sizes.
#if defined(_WIN64)
typedef long long(__stdcall IWinProc)(HWND__*, unsigned int, unsigned long long, long long);
#else
typedef int(__stdcall IWinProc)(HWND__*, unsigned int, unsigned int, long);
#endif

// A module whose resources are loaded by number. The default object is the executable's own.
// Loaders come in pairs: load... throws when the resource is missing, tryToLoad... answers an
// empty value instead. Every loader reaches the module through handle(), so a loader works on
// whichever module a derived object stands for.
class OVKWIN_API IResourceLibrary : public IVBase {
public:
    // A pointer-table entry, as a copy taken under the resource lock.
    struct PointerEntry {
        unsigned long id = 0;
        IPointerHandle::Value handle = nullptr;
        IString fileName;
        std::uint32_t useCount = 0;
        // A system cursor or icon that the platform shares with every caller: its entry only
        // counts, the handle itself is never destroyed.
        bool shared = false;
    };
    // A bitmap-table entry, as a copy taken under the resource lock.
    struct BitmapEntry {
        unsigned long id = 0;
        IBitmapHandle::Value handle = nullptr;
        IString fileName;
        std::uint32_t useCount = 0;
        ISize size;
    };

    IResourceLibrary();
    IResourceLibrary(const IResourceLibrary& other);
    IResourceLibrary& operator=(const IResourceLibrary& other);
    ~IResourceLibrary() override;

    IString asString() const override;
    IString asDebugInfo() const override;
    virtual IString fileName() const;
    virtual IBase::Boolean isOpen() const;
    virtual IModuleHandle handle() const;

    virtual IString loadString(unsigned long id) const;
    virtual IString loadMessage(unsigned long id) const;
    virtual IMenuHandle loadMenu(unsigned long id, IWindow* owner = nullptr) const;
    // A modeless dialog whose parent window is the owner's (the parent argument is not passed on).
    virtual IWindowHandle loadDialog(unsigned long id, IWindow* parent = nullptr,
                                     IWindow* owner = nullptr, IWinProc* procedure = nullptr,
                                     void* data = nullptr) const;
    virtual IAccelTblHandle loadAccelTable(unsigned long id) const;
    virtual const IResourceLibrary& loadHelpTable(IWindow* window, unsigned long id) const;
    virtual IPointerHandle loadIcon(unsigned long id, IBase::Boolean keep = false) const;
    virtual IPointerHandle loadPointer(unsigned long id, IBase::Boolean keep = false) const;
    virtual IBitmapHandle loadBitmap(unsigned long id, IBase::Boolean keep = false) const;
    virtual IBitmapHandle loadBitmap(unsigned long id, const ISize& size,
                                     IBase::Boolean keep = false) const;
    virtual IString tryToLoadString(unsigned long id) const;
    virtual IString tryToLoadText(unsigned long id) const;
    virtual IPointerHandle tryToLoadIcon(unsigned long id, IBase::Boolean keep = false) const;
    virtual IBitmapHandle tryToLoadBitmap(unsigned long id, IBase::Boolean keep = false) const;
    virtual IBitmapHandle tryToLoadBitmap(unsigned long id, const ISize& size,
                                          IBase::Boolean keep = false) const;

    // The text loader under loadString, loadMessage and tryToLoad...: from the string table or
    // the message table. Without a buffer it answers a new array (free it with delete[]) that
    // holds the whole text; with the caller's buffer it answers that buffer, the text cut to fit.
    // A missing text throws when asked to, and answers null otherwise.
    char* loadText(IBase::Boolean fromStringTable, unsigned long id, char* buffer,
                   unsigned long bufferSize, IBase::Boolean throwIfMissing) const;

    // A predefined system cursor (isPointer true) or icon by its platform number. With keep the
    // handle gets a pointer-table entry (one per cursor, however often it is asked for).
    static IPointerHandle::Value systemPointer(unsigned long id, IBase::Boolean keep,
                                               IBase::Boolean isPointer);
    // A predefined system bitmap, entered in the bitmap table once and shared from there.
    static IBitmapHandle::Value systemBitmap(unsigned long id);

    // The counts of the tables' entries: the new count, or 0 for a handle in no entry. The last
    // removeRef destroys the native handle and drops the entry.
    static std::uint32_t addRef(const IPointerHandle& handle);
    static std::uint32_t removeRef(const IPointerHandle& handle);
    static std::uint32_t addRef(const IBitmapHandle& handle);
    static std::uint32_t removeRef(const IBitmapHandle& handle);

    // Copies of the first entry that holds the handle; false when none does.
    static IBase::Boolean findBitmapEntry(IBitmapHandle::Value handle, BitmapEntry* entry = nullptr);
    static IBase::Boolean findPointerEntry(IPointerHandle::Value handle,
                                           PointerEntry* entry = nullptr);
    // A bitmap entered under a number and a name of its own choosing (count 0), or the handle of
    // the entry already there with that number, name and size (then the given one is deleted).
    static IBitmapHandle::Value enterBitmap(unsigned long id, const IString& fileName,
                                            IBitmapHandle::Value handle, const ISize& size);
    static unsigned long pointerEntryCount();
    static unsigned long bitmapEntryCount();

    // The recursive lock that guards the pointer table, the bitmap table and the module list.
    static IResource& resourceLock();

private:
    // The shared record of a dynamic-link library; null in a plain resource library.
    friend class IDynamicLinkLibrary;
    class IDLLModule* fModule = nullptr;
    IModuleHandle fHandle;
};

// A resource number with the library that holds it.
class OVKWIN_API IResourceId {
public:
    // The library must outlive the identifier.
    IResourceId(unsigned long id, const IResourceLibrary& library) noexcept
        : fId(id), fLibrary(&library) {}

    unsigned long id() const noexcept { return fId; }
    operator unsigned long() const noexcept { return fId; }
    const IResourceLibrary& resourceLibrary() const noexcept { return *fLibrary; }

    IString asString() const;
    IString asDebugInfo() const;

private:
    unsigned long fId;
    const IResourceLibrary* fLibrary;
};
