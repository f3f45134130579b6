// The drag and drop tests' shared fixtures.
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <new>

#include <iexcept.hpp>

#include <idmfmten.hpp>

#include "dragtest.hpp"

namespace dragtest {

ForeignData::~ForeignData() = default;

ForeignData& ForeignData::offer(CLIPFORMAT format, std::vector<char> bytes)
{
    fFormats.emplace_back(format, std::move(bytes));
    return *this;
}

ForeignData& ForeignData::offerStream(CLIPFORMAT format, IStream* stream)
{
    ovk_native::ComReference<IStream> held;
    held.query(stream, IID_IStream);
    fStreams.emplace_back(format, std::move(held));
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
    for (const auto& offered : fStreams)
        if (offered.first == format->cfFormat && (format->tymed & TYMED_ISTREAM))
            return S_OK;
    return DV_E_FORMATETC;
}

long ForeignData::enumeratorReferences() const
{
    long references = 0;
    for (const auto& enumerator : fEnumerators) {
        enumerator->AddRef();
        references += static_cast<long>(enumerator->Release()) - 1;
    }
    return references;
}

HRESULT ForeignData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (fFailFetches)
        throw std::bad_alloc();
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
    for (const auto& offered : fStreams) {
        if (offered.first != format->cfFormat || !(format->tymed & TYMED_ISTREAM))
            continue;
        const LARGE_INTEGER start{};
        offered.second->Seek(start, STREAM_SEEK_SET, nullptr);
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = offered.second.get();
        medium->pstm->AddRef();
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
    for (const auto& offered : fStreams)
        entries.push_back(FORMATETC{offered.first, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM});
    auto* enumerator = new IDMFormatEnumerator(static_cast<unsigned long>(entries.size()),
                                               entries.data());
    enumerator->AddRef();
    *formats = enumerator;
    fEnumerators.push_back(held<IEnumFORMATETC>(enumerator));
    return S_OK;
}

namespace {

class FetchedItem : public IDMItem {
public:
    FetchedItem(const IDMItem::Handle& item, std::string& log) : IDMItem(item), fLog(log) {}
    IBase::Boolean targetDrop(IDMTargetDropEvent&) override {
        const IString text = contents();
        fLog += std::string(static_cast<const char*>(text), text.length()) + "|";
        if (text == IString("bad"))
            IThrow::state("bad item", IEXCEPTION_LOCATION("dragtest_win", "FetchedItem::targetDrop"));
        return true;
    }

private:
    std::string& fLog;
};

} // namespace

IDMItem::Handle FetchingFactory::provideTargetItemFor(const IDMItem::Handle& item)
{
    return IDMItem::Handle(new FetchedItem(item, log));
}

std::vector<char> dropFiles(const std::vector<std::string>& names, unsigned long listAt,
                            bool wide)
{
    std::vector<char> block(sizeof(DROPFILES));
    DROPFILES header{};
    header.pFiles = listAt ? listAt : sizeof(DROPFILES);
    header.fWide = wide;
    std::memcpy(block.data(), &header, sizeof header);
    const std::size_t unit = wide ? sizeof(wchar_t) : 1;
    for (const std::string& name : names) {
        for (const char c : name) {
            block.push_back(c);
            block.insert(block.end(), unit - 1, '\0');
        }
        block.insert(block.end(), unit, '\0');
    }
    block.insert(block.end(), unit, '\0');
    return block;
}

namespace {

// A drop source with the system's cursors that drops as soon as OLE asks, or, as a program's
// does, once no button is held any more.
class DropSource : public Unowned<IDropSource> {
public:
    explicit DropSource(bool whileHeld) : fWhileHeld(whileHeld) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return fWhileHeld && (keys & (MK_LBUTTON | MK_RBUTTON)) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    bool fWhileHeld;
};

DWORD drag(IDataObject* data, DWORD effects, bool whileHeld)
{
    DropSource source(whileHeld);
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, &source, effects, &effect);
    return effect;
}

} // namespace

DWORD dragAtCursor(IDataObject* data, DWORD effects)
{
    return drag(data, effects, false);
}

DWORD dragWhileHeld(IDataObject* data, DWORD effects)
{
    return drag(data, effects, true);
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
