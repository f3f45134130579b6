// IDMDataObject: the data object that the library hands to OLE for a drag.
#pragma once

#include <objidl.h>

#include <idefs.hpp>
#include <ihandle.hpp>

class IWindow;

// Offers the drag's formats. The private drag information comes from its stream; every other
// format is rendered by the source window, which receives the private render event with the
// requested format and the medium to fill. A target may keep the object and ask after the drag,
// when the window object may be gone: the window is kept by its handle and found again for each
// request, and once the drag has ended nothing more is rendered. Counted from 0 at construction; every method runs
// inside the library's callback guard, so an exception of a render handler waits for the
// library's code after the drag instead of unwinding through OLE.
class OVKWIN_API IDMDataObject : public IDataObject {
public:
    // Keeps the window's handle, clones the enumerator (reset) and holds a reference on the
    // stream, which may be null.
    IDMDataObject(IWindow* sourceWindow, IEnumFORMATETC* formats, IStream* dragInfo);
    IDMDataObject(const IDMDataObject&) = delete;
    IDMDataObject& operator=(const IDMDataObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format,
                                                    FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advisers) override;

    // The drag is over: from now on every request for data is answered DV_E_FORMATETC, as the
    // source's items and its current operation are gone.
    void setDragEnded() noexcept { fDragEnded = true; }

protected:
    virtual ~IDMDataObject();

private:
    HRESULT renderByWindow(FORMATETC* format, STGMEDIUM* medium);

    long fReferences = 0;
    IEnumFORMATETC* fFormats = nullptr;
    unsigned long fReserved1 = 0;
    unsigned long fReserved2 = 0;
    IWindowHandle fSourceWindow;
    IStream* fDragInfo;
    bool fDragEnded = false;
};
