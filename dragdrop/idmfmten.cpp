// The enumerator of a drag's formats.
#include <windows.h>

#include <cstring>
#include <new>

#include <detail/icallgrd.hpp>

#include "detail/icomobj.hpp"

#include "idmfmten.hpp"

namespace {

// The caller frees a target device it receives with the task allocator, so each entry handed
// out carries a copy of its own.
DVTARGETDEVICE* copyOfDevice(const DVTARGETDEVICE* device)
{
    if (!device)
        return nullptr;
    auto* copy = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(device->tdSize));
    if (copy)
        std::memcpy(copy, device, device->tdSize);
    return copy;
}

} // namespace

IDMFormatEnumerator::IDMFormatEnumerator(unsigned long count, const FORMATETC* formats)
    : fFormats(formats ? formats : nullptr, formats ? formats + count : nullptr)
{
}

IDMFormatEnumerator::~IDMFormatEnumerator() = default;

HRESULT IDMFormatEnumerator::QueryInterface(REFIID riid, void** object)
{
    return ovk_dragdrop::queryInterface(static_cast<IEnumFORMATETC*>(this), riid,
                                        IID_IEnumFORMATETC, object);
}

ULONG IDMFormatEnumerator::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&fReferences));
}

ULONG IDMFormatEnumerator::Release()
{
    const long count = InterlockedDecrement(&fReferences);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT IDMFormatEnumerator::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (fFormats.empty())
            return S_FALSE;
        if (!fetched && count != 1)
            return E_POINTER;
        if (fetched)
            *fetched = 0;
        if (!formats || fPosition >= fFormats.size())
            return S_FALSE;
        ULONG copied = 0;
        while (copied < count && fPosition < fFormats.size()) {
            formats[copied] = fFormats[fPosition++];
            formats[copied].ptd = copyOfDevice(formats[copied].ptd);
            ++copied;
        }
        if (fetched)
            *fetched = copied;
        return copied == count ? S_OK : S_FALSE;
    });
}

HRESULT IDMFormatEnumerator::Skip(ULONG count)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (fFormats.empty() || fFormats.size() - fPosition < count)
            return S_FALSE;
        fPosition += count;
        return S_OK;
    });
}

HRESULT IDMFormatEnumerator::Reset()
{
    fPosition = 0;
    return S_OK;
}

HRESULT IDMFormatEnumerator::Clone(IEnumFORMATETC** clone)
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (!clone)
            return E_POINTER;
        *clone = nullptr;
        IDMFormatEnumerator* copy = nullptr;
        try {
            copy = new IDMFormatEnumerator(static_cast<unsigned long>(fFormats.size()),
                                           fFormats.data());
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        copy->fPosition = fPosition;
        copy->AddRef();
        *clone = copy;
        return S_OK;
    });
}
