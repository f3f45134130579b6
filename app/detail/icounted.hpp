// The counting that the reference-counted handle holders (bitmaps, icons and cursors) share: each
// holder of a handle that the resource library's tables know keeps one reference on its entry.
#pragma once

#include <iexcept.hpp>

#include "../iassert.hpp"
#include "../ireslib.hpp"

namespace ovk_app {

// Takes a reference for a new holder of the handle; a null handle is in no entry.
template <class Handle>
void acquireReference(const Handle& handle)
{
    if (handle.isValid())
        IResourceLibrary::addRef(handle);
}

// Gives up a holder's reference from its destructor. A failed release is reported as a library
// assertion and never thrown; reportUnknown names the holder when the failure is no IException.
template <class Handle, class ReportUnknown>
void releaseReference(const Handle& handle, ReportUnknown reportUnknown) noexcept
{
    if (!handle.isValid())
        return;
    try {
        IResourceLibrary::removeRef(handle);
    } catch (const IException& error) {
        IAssertion::report(error);
    } catch (...) {
        reportUnknown();
    }
}

// Copy assignment of a holder whose handle member is slot.
template <class Handle, class Value>
Handle& assignReference(Handle& self, const Handle& other, Value Handle::*slot)
{
    if (&self == &other || self.*slot == other.*slot)
        return self;
    acquireReference(other);
    // The new handle is stored before the old one is released, so that a release that fails
    // leaves this object holding what it was given.
    Handle old;
    old.*slot = self.*slot;
    self.*slot = other.*slot;
    return self; // old releases its reference here
}

} // namespace ovk_app
