// What the library's small COM objects of drag and drop share.
#pragma once

#include <objbase.h>

#include <detail/icallgrd.hpp>

namespace ovk_dragdrop {

// QueryInterface of an object that answers IUnknown and one interface of its own.
template <class Interface>
HRESULT queryInterface(Interface* self, REFIID asked, REFIID own, void** object) noexcept
{
    return ICallbackGuard::call(E_UNEXPECTED, [&]() -> HRESULT {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(asked, IID_IUnknown) || IsEqualIID(asked, own)) {
            *object = self;
            self->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    });
}

} // namespace ovk_dragdrop
