// IDMFormatEnumerator: the enumerator of the formats that a drag offers.
#pragma once

#include <objidl.h>

#include <vector>

#include <idefs.hpp>

// A COM object counted from 0 at construction: the first AddRef (from whoever takes it) makes
// it live, the last Release deletes it. Every method runs inside the library's callback guard.
class OVKWIN_API IDMFormatEnumerator : public IEnumFORMATETC {
public:
    // Copies the entries.
    IDMFormatEnumerator(unsigned long count, const FORMATETC* formats);
    IDMFormatEnumerator(const IDMFormatEnumerator&) = delete;
    IDMFormatEnumerator& operator=(const IDMFormatEnumerator&) = delete;
    virtual ~IDMFormatEnumerator();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    unsigned long fPosition = 0;
    long fReferences = 0;
    std::vector<FORMATETC> fFormats;
};
