// The drag and drop tests' shared fixtures.
#include <shlobj.h>

#include <cstring>
#include <fstream>

#include <idmfmten.hpp>

#include "dragtest.hpp"

namespace dragtest {

ForeignData::~ForeignData() = default;

ForeignData& ForeignData::offer(CLIPFORMAT format, std::vector<char> bytes)
{
    fFormats.emplace_back(format, std::move(bytes));
    return *this;
}

HRESULT ForeignData::QueryInterface(REFIID riid, void** object)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ForeignData::QueryGetData(FORMATETC* format)
{
    for (const auto& offered : fFormats)
        if (offered.first == format->cfFormat && (format->tymed & TYMED_HGLOBAL))
            return S_OK;
    return DV_E_FORMATETC;
}

HRESULT ForeignData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    for (const auto& offered : fFormats) {
        if (offered.first != format->cfFormat || !(format->tymed & TYMED_HGLOBAL))
            continue;
        if (offered.second.empty())
            return E_FAIL;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, offered.second.size());
        std::memcpy(GlobalLock(block), offered.second.data(), offered.second.size());
        GlobalUnlock(block);
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    }
    return DV_E_FORMATETC;
}

HRESULT ForeignData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> entries;
    for (const auto& offered : fFormats)
        entries.push_back(FORMATETC{offered.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    auto* enumerator = new IDMFormatEnumerator(static_cast<unsigned long>(entries.size()),
                                               entries.data());
    enumerator->AddRef();
    *formats = enumerator;
    return S_OK;
}

std::vector<char> dropFiles(const std::vector<std::string>& names, unsigned long listAt)
{
    std::vector<char> block(sizeof(DROPFILES));
    DROPFILES header{};
    header.pFiles = listAt ? listAt : sizeof(DROPFILES);
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::string& name : names)
        block.insert(block.end(), name.c_str(), name.c_str() + name.size() + 1);
    block.push_back('\0');
    return block;
}

IDataObject* shellDataObject(const std::string& folder, const std::vector<std::string>& names)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : names)
        std::ofstream(folder + "\\" + name) << name;
    IShellFolder* desktop = nullptr;
    if (SHGetDesktopFolder(&desktop) != S_OK)
        return nullptr;
    std::wstring wide(folder.begin(), folder.end());
    LPITEMIDLIST parentList = nullptr;
    IShellFolder* parent = nullptr;
    IDataObject* data = nullptr;
    std::vector<LPITEMIDLIST> children;
    if (desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &parentList, nullptr) == S_OK &&
        desktop->BindToObject(parentList, nullptr, IID_IShellFolder,
                              reinterpret_cast<void**>(&parent)) == S_OK) {
        for (const std::string& name : names) {
            std::wstring child(name.begin(), name.end());
            LPITEMIDLIST list = nullptr;
            if (parent->ParseDisplayName(nullptr, nullptr, &child[0], nullptr, &list, nullptr) == S_OK)
                children.push_back(list);
        }
        parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                              const_cast<LPCITEMIDLIST*>(children.data()), IID_IDataObject,
                              nullptr, reinterpret_cast<void**>(&data));
        parent->Release();
    }
    for (LPITEMIDLIST list : children)
        CoTaskMemFree(list);
    CoTaskMemFree(parentList);
    desktop->Release();
    return data;
}

} // namespace dragtest
