// Shell item-ID lists.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include <detail/iscoped.hpp>

#include "iidlbyte.hpp"
#include "ishlist.hpp"

namespace {

// The longest path the shell parses, in wide characters with the terminator.
constexpr int kLongestPath = 260;
// The system image list's icon for an empty list.
constexpr int kEmptyListIcon = 34;
// An end record, for the calls that need a list where there is none.
const unsigned char kEmptyList[2] = {0, 0};

const ITEMIDLIST* asList(const void* bytes)
{
    return static_cast<const ITEMIDLIST*>(bytes);
}

// The process-wide system image list, asked for once.
HIMAGELIST systemImageList()
{
    static const HIMAGELIST list = [] {
        SHFILEINFOA info{};
        return reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    }();
    return list;
}

// The desktop folder's parsing of a path, or null.
ITEMIDLIST* parse(const IString& path)
{
    wchar_t wide[kLongestPath] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kLongestPath))
        return nullptr;
    ovk_native::ComReference<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop)
        return nullptr;
    ITEMIDLIST* list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &list, nullptr)))
        list = nullptr;
    return list;
}

} // namespace

IShellIDList::IShellIDList()
{
    if (FAILED(SHGetMalloc(&fAllocator)))
        fAllocator = nullptr;
}

IShellIDList::IShellIDList(const IShellIDList& other) : IShellIDList()
{
    adopt(other.fList);
}

IShellIDList::IShellIDList(const ITEMIDLIST* list) : IShellIDList()
{
    adopt(list);
}

IShellIDList::IShellIDList(unsigned long size) : IShellIDList()
{
    // The record's count is 16 bits wide.
    if (size > 0xFFFF)
        return;
    fList = allocate(size + IIDListBytes::terminatorSize);
    if (!fList)
        return;
    std::memset(fList, 0, size + IIDListBytes::terminatorSize);
    const unsigned short count = static_cast<unsigned short>(size);
    std::memcpy(fList, &count, sizeof count);
    fCursor = fList;
}

IShellIDList& IShellIDList::operator=(const IShellIDList& other)
{
    if (this != &other) {
        release();
        adopt(other.fList);
    }
    return *this;
}

IShellIDList& IShellIDList::operator+=(const IShellIDList& other)
{
    const std::size_t joined = size() - IIDListBytes::terminatorSize + other.size();
    auto* list = allocate(static_cast<unsigned long>(joined));
    if (!list)
        return *this;
    IIDListBytes::join(list, fList, other.fList);
    release();
    fList = fCursor = list;
    return *this;
}

IShellIDList operator+(const IShellIDList& first, const IShellIDList& second)
{
    IShellIDList sum(first);
    sum += second;
    return sum;
}

IShellIDList::~IShellIDList()
{
    release();
    if (fAllocator)
        fAllocator->Release();
}

_SHITEMID* IShellIDList::allocate(unsigned long size) const
{
    return fAllocator ? static_cast<_SHITEMID*>(fAllocator->Alloc(size)) : nullptr;
}

void IShellIDList::release() noexcept
{
    if (fList && fAllocator)
        fAllocator->Free(fList);
    fList = fCursor = nullptr;
}

// Takes a copy of a list given by pointer (none for null or an empty list's absence).
void IShellIDList::adopt(const void* list)
{
    if (!list)
        return;
    const std::size_t size = IIDListBytes::size(list);
    fList = allocate(static_cast<unsigned long>(size));
    if (fList)
        IIDListBytes::join(fList, list, nullptr);
    fCursor = fList;
}

unsigned long IShellIDList::size() const
{
    return static_cast<unsigned long>(IIDListBytes::size(fList));
}

const ITEMIDLIST* IShellIDList::list() const noexcept
{
    return asList(fList);
}

// ---------------------------------------------------------------------------------------------
// Cursor

IShellIDList& IShellIDList::setToFirst() noexcept
{
    fCursor = fList;
    return *this;
}

IShellIDList& IShellIDList::setToNext() noexcept
{
    if (isValid())
        fCursor = static_cast<_SHITEMID*>(const_cast<void*>(IIDListBytes::next(fCursor)));
    return *this;
}

IShellIDList& IShellIDList::setToLast() noexcept
{
    fCursor = static_cast<_SHITEMID*>(const_cast<void*>(IIDListBytes::lastRecord(fList)));
    return *this;
}

IBase::Boolean IShellIDList::isValid() const noexcept
{
    return fCursor && IIDListBytes::isRecord(fCursor);
}

IShellIDList IShellIDList::itemAtCursor() const
{
    return isValid() ? IShellIDList(asList(fCursor)) : IShellIDList();
}

// ---------------------------------------------------------------------------------------------
// What the shell says of the list

unsigned long IShellIDList::attributes(IShellFolder* folder, unsigned long mask) const
{
    if (!folder)
        return 0;
    const ITEMIDLIST* items[] = {fList ? asList(fList) : asList(kEmptyList)};
    SFGAOF answer = mask;
    if (FAILED(folder->GetAttributesOf(1, items, &answer)))
        return 0;
    return answer;
}

IString IShellIDList::displayName(IShellFolder* folder, unsigned long flags) const
{
    if (!folder)
        return IString();
    STRRET name{};
    const ITEMIDLIST* list = fList ? asList(fList) : asList(kEmptyList);
    if (FAILED(folder->GetDisplayNameOf(list, flags, &name)))
        return IString();
    switch (name.uType) {
    case STRRET_WSTR: {
        char text[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, text, sizeof text - 1, nullptr, nullptr);
        CoTaskMemFree(name.pOleStr);
        return IString(text);
    }
    case STRRET_OFFSET: {
        // The text lies inside the list; it is read no further than the list goes.
        const std::size_t size = IIDListBytes::size(list);
        if (name.uOffset >= size)
            return IString();
        const char* text = reinterpret_cast<const char*>(list) + name.uOffset;
        return IString(text, strnlen(text, size - name.uOffset));
    }
    case STRRET_CSTR:
        return IString(name.cStr, strnlen(name.cStr, sizeof name.cStr));
    default:
        return IString();
    }
}

IString IShellIDList::parsingName() const
{
    ovk_native::ComReference<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop)
        return IString();
    return displayName(desktop.get(), SHGDN_FORPARSING);
}

IString IShellIDList::typeName()
{
    if (!fList)
        return IString();
    setToLast();
    if (!isValid())
        return IString();
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(fCursor), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_TYPENAME))
        return IString();
    return IString(info.szTypeName);
}

int IShellIDList::iconIndex(IBase::Boolean open) const
{
    if (!fList || !IIDListBytes::isRecord(fList))
        return kEmptyListIcon;
    SHFILEINFOA info{};
    const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | (open ? SHGFI_OPENICON : 0);
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(fList), 0, &info, sizeof info, flags))
        return kEmptyListIcon;
    return info.iIcon;
}

IPointerHandle IShellIDList::icon(IBase::Boolean open) const
{
    HIMAGELIST list = systemImageList();
    if (!list)
        return IPointerHandle();
    return IPointerHandle(ImageList_GetIcon(list, iconIndex(open), 0));
}

// ---------------------------------------------------------------------------------------------
// Paths

IShellIDList IShellIDList::fromPath(const IString& path)
{
    IShellIDList result;
    ITEMIDLIST* parsed = parse(path);
    if (!parsed)
        return result;
    result += IShellIDList(parsed);
    CoTaskMemFree(parsed);
    return result;
}

IShellIDList IShellIDList::reparsed() const
{
    return fromPath(parsingName());
}
