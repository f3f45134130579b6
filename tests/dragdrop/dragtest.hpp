// Fixtures shared by the drag and drop tests: a hand-made data object, COM references, blocks
// of the shell's formats and an OLE drag.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <map>
#include <string>
#include <vector>

#include <detail/iscoped.hpp>
#include <idmfact.hpp>
#include <idmitem.hpp>

namespace dragtest {

// A new COM object of ours, counted from 0, held for the scope.
template <class Interface>
ovk_native::ComReference<Interface> held(IUnknown* object)
{
    ovk_native::ComReference<Interface> reference;
    reference.query(object, __uuidof(Interface));
    return reference;
}

// A COM object of the test's own that outlives every use of it, so it counts no references.
template <class Interface>
class Unowned : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// A drop target of the test's own: it answers every drag with `answer`, as far as the source
// allows.
class AnsweringTarget : public Unowned<IDropTarget> {
public:
    explicit AnsweringTarget(DWORD answer) : answer(answer) {}
    virtual ~AnsweringTarget() = default;

    DWORD answer;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect &= answer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= answer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect &= answer;
        return S_OK;
    }
};

// A data object of another program: offers the formats it was given blocks for, in the order
// given; a format entered with no block is offered but cannot be fetched. Counts its references
// so that a test sees it released.
class ForeignData : public IDataObject {
public:
    ForeignData() = default;
    virtual ~ForeignData();

    // The block's bytes; an empty vector offers the format and fails to fetch it.
    ForeignData& offer(CLIPFORMAT format, std::vector<char> bytes);
    // The format offered as a stream: each fetch hands out the stream given, from its start.
    ForeignData& offerStream(CLIPFORMAT format, IStream* stream);
    long references() const { return fReferences; }
    // From now on every fetch fails as an allocation failure of the reader would: it throws.
    ForeignData& failFetches() {
        fFailFetches = true;
        return *this;
    }
    // The references that others still hold on the format enumerators handed out.
    long enumeratorReferences() const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++fReferences); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--fReferences); }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    long fReferences = 0;
    bool fFailFetches = false;
    std::vector<ovk_native::ComReference<IEnumFORMATETC>> fEnumerators;
    std::vector<std::pair<CLIPFORMAT, std::vector<char>>> fFormats;
    std::vector<std::pair<CLIPFORMAT, ovk_native::ComReference<IStream>>> fStreams;
};

// A stream of another program that says it read `extra` bytes more than it did.
class LyingStream : public IStream {
public:
    LyingStream(IStream* honest, ULONG extra) : fHonest(honest), fExtra(extra) {}
    virtual ~LyingStream() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IStream) ||
            IsEqualIID(riid, IID_ISequentialStream)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++fReferences); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --fReferences;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
        ULONG done = 0;
        const HRESULT result = fHonest->Read(buffer, size, &done);
        if (read)
            *read = done + fExtra;
        return result;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
        return fHonest->Write(data, size, written);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override {
        return fHonest->Seek(move, origin, at);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override { return fHonest->SetSize(size); }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override {
        return fHonest->CopyTo(to, size, read, written);
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return fHonest->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return fHonest->Revert(); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD flags) override {
        return fHonest->Stat(status, flags);
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    long fReferences = 0;
    ovk_native::ComReference<IStream> fHonest;
    ULONG fExtra;
};


// A drop target's item provider whose items note, at the drop, their contents as the drop
// fetched them, each followed by "|"; an item whose contents are "bad" throws.
class FetchingFactory : public IDMItemFactory {
public:
    std::string log;
    IDMItem::Handle provideTargetItemFor(const IDMItem::Handle& item) override;
};

// A DROPFILES block of 8-bit (or wide) names, its list at the given offset (0: right after the
// header).
std::vector<char> dropFiles(const std::vector<std::string>& names, unsigned long listAt = 0,
                            bool wide = false);
// Drags the data object through OLE's drag loop onto whatever window is under the cursor,
// dropping at once as a released button does; answers the effect OLE reports.
DWORD dragAtCursor(IDataObject* data, DWORD effects);
// Drags the data object as another program does: OLE's drag loop runs until the held button
// is released; answers the effect OLE reports.
DWORD dragWhileHeld(IDataObject* data, DWORD effects);
// The shell's own data object over files of one folder (made with the given contents), with
// one reference for the caller; null when the shell cannot make it. The shell's headers clash
// with the library's, so they stay in the fixture's file.
IDataObject* shellDataObject(const std::string& folder, const std::vector<std::string>& names);

} // namespace dragtest
