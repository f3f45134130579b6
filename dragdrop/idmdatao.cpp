// The drag's data object.
#include <windows.h>

#include <detail/icallgrd.hpp>

#include "detail/icomobj.hpp"
#include <iprivmsg.hpp>
#include <iwindow.hpp>

#include "idmdatao.hpp"
#include "idmdistr.hpp"

IDMDataObject::IDMDataObject(IWindow* sourceWindow, IEnumFORMATETC* formats, IStream* dragInfo)
    : fSourceWindow(sourceWindow ? sourceWindow->handle() : IWindowHandle()), fDragInfo(dragInfo)
{
    if (fDragInfo)
        fDragInfo->AddRef();
    if (formats && SUCCEEDED(formats->Clone(&fFormats)) && fFormats)
        fFormats->Reset();
}

IDMDataObject::~IDMDataObject()
{
    if (fFormats)
        fFormats->Release();
    if (fDragInfo)
        fDragInfo->Release();
}

HRESULT IDMDataObject::QueryInterface(REFIID riid, void** object)
{
    return ovk_dragdrop::queryInterface(static_cast<IDataObject*>(this), riid, IID_IDataObject,
                                        object);
}

ULONG IDMDataObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&fReferences));
}

ULONG IDMDataObject::Release()
{
    const long count = InterlockedDecrement(&fReferences);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT IDMDataObject::QueryGetData(FORMATETC* format)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (!format || !fFormats)
            return DV_E_FORMATETC;
        fFormats->Reset();
        FORMATETC offered{};
        while (fFormats->Next(1, &offered, nullptr) == S_OK) {
            if (offered.ptd)
                CoTaskMemFree(offered.ptd);
            // A medium in common, as OLE's callers ask with every medium they can take.
            if (offered.cfFormat == format->cfFormat && (offered.dwAspect & format->dwAspect) &&
                (offered.tymed & format->tymed))
                return S_OK;
        }
        return DV_E_FORMATETC;
    });
}

HRESULT IDMDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (!format || !medium)
            return E_INVALIDARG;
        // The medium is cleared first, so that nothing of the caller's is taken for data.
        *medium = STGMEDIUM{};
        if (fDragEnded || QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        if (format->cfFormat != IDMDragInfoStream::format())
            return renderByWindow(format, medium);
        if (!fDragInfo || !(format->tymed & TYMED_ISTREAM))
            return DV_E_FORMATETC;
        IStream* clone = nullptr;
        if (FAILED(fDragInfo->Clone(&clone)) || !clone)
            return DV_E_FORMATETC;
        const LARGE_INTEGER start{};
        clone->Seek(start, STREAM_SEEK_SET, nullptr);
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = clone;
        return S_OK;
    });
}

// The source window's render handler fills the medium; a medium it left empty is no data. The
// window is found by its handle at each request, and only a window of this library is sent the
// event, whose parameters are pointers into this process.
HRESULT IDMDataObject::renderByWindow(FORMATETC* format, STGMEDIUM* medium)
{
    if (!fSourceWindow || !IWindow::windowWithHandle(fSourceWindow, true))
        return DV_E_FORMATETC;
    try {
        fSourceWindow.sendEvent(IPrivateMessage::dragRender, IEventData(format),
                                IEventData(medium));
    } catch (...) {
        // A handler that failed half way may have put something in the medium.
        if (medium->tymed != TYMED_NULL)
            ReleaseStgMedium(medium);
        *medium = STGMEDIUM{};
        throw;
    }
    return medium->tymed == TYMED_NULL ? DV_E_FORMATETC : S_OK;
}

HRESULT IDMDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT IDMDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (canonical)
        canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT IDMDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT IDMDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (!formats)
            return E_POINTER;
        *formats = nullptr;
        if (direction != DATADIR_GET || !fFormats)
            return E_INVALIDARG;
        if (FAILED(fFormats->Clone(formats)) || !*formats)
            return E_INVALIDARG;
        (*formats)->Reset();
        return S_OK;
    });
}

HRESULT IDMDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT IDMDataObject::DUnadvise(DWORD)
{
    return E_FAIL;
}

HRESULT IDMDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
