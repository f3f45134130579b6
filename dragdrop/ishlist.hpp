// IShellIDList: one shell item-ID list, owned, with what drag and drop needs of it.
#pragma once

#include <istring.hpp>

#include <idefs.hpp>
#include <iptrhdl.hpp>

struct _ITEMIDLIST;
struct _SHITEMID;
struct IMalloc;
struct IShellFolder;

// The list lives in memory of the shell's allocator. Without that allocator (SHGetMalloc
// failed) the object holds no list and every operation acts on an empty one. Shell calls that
// fail give empty results; nothing is thrown. The size of a list counts its records and the two
// bytes of its end; an empty list has size 2.
class OVKWIN_API IShellIDList {
public:
    IShellIDList();
    IShellIDList(const IShellIDList& other);
    // A copy of the list at the pointer; empty for null.
    explicit IShellIDList(const _ITEMIDLIST* list);
    // One zeroed record of the given byte count (its first word holding the count), then the end.
    explicit IShellIDList(unsigned long size);
    IShellIDList& operator=(const IShellIDList& other);
    // Appends the other list's records.
    IShellIDList& operator+=(const IShellIDList& other);
    virtual ~IShellIDList();

    unsigned long size() const;
    const _ITEMIDLIST* list() const noexcept;

    // A cursor over the records.
    IShellIDList& setToFirst() noexcept;
    IShellIDList& setToNext() noexcept;
    IShellIDList& setToLast() noexcept;
    IBase::Boolean isValid() const noexcept;
    // A new list from the cursor's record to the end.
    IShellIDList itemAtCursor() const;

    // GetAttributesOf of this list in the folder, for the attributes asked.
    unsigned long attributes(IShellFolder* folder, unsigned long mask) const;
    IString displayName(IShellFolder* folder, unsigned long flags) const;
    // The name of the list for parsing, from the desktop folder.
    IString parsingName() const;
    // The type name of the last record ("File Folder", "Text Document").
    IString typeName();
    // The index of the list's icon in the system image list (34 for an empty list), and the
    // icon, a new one that the caller destroys.
    int iconIndex(IBase::Boolean open = false) const;
    IPointerHandle icon(IBase::Boolean open = false) const;

    // The list of a path; empty when the path is too long for the shell (260 characters with its
    // end) or does not parse.
    static IShellIDList fromPath(const IString& path);
    // The list parsed again from its parsing name.
    IShellIDList reparsed() const;

private:
    // Takes a new list of the bytes from the allocator; null without allocator or memory.
    _SHITEMID* allocate(unsigned long size) const;
    void release() noexcept;
    void adopt(const void* list);

    _SHITEMID* fList = nullptr;
    _SHITEMID* fCursor = nullptr;
    IMalloc* fAllocator = nullptr;
};

OVKWIN_API IShellIDList operator+(const IShellIDList& first, const IShellIDList& second);
