// The per-thread slot of exceptions caught in callbacks.
#include <windows.h>

#include <exception>

#include "detail/icallgrd.hpp"
#include "detail/itlsslot.hpp"
#include "iassert.hpp"

namespace {

// A plain pointer, so that the slot needs no destructor at thread exit; it is only set while
// an exception waits, which is rarely and briefly. It lives in a native thread slot: every send
// the library makes asks whether an exception waits, and the run time's own thread-local
// variables cost a call into the threads library, and two of the system's, for each asking.
// Should the process have no slot left, the run time's variable serves instead.
thread_local std::exception_ptr* tPendingWithoutSlot = nullptr;

DWORD pendingSlot() noexcept
{
    static const DWORD slot = TlsAlloc();
    return slot;
}

std::exception_ptr* pending() noexcept
{
    const DWORD slot = pendingSlot();
    if (slot == TLS_OUT_OF_INDEXES)
        return tPendingWithoutSlot;
    return static_cast<std::exception_ptr*>(ovk_app::threadSlotValue(slot));
}

void setPending(std::exception_ptr* exception) noexcept
{
    const DWORD slot = pendingSlot();
    if (slot == TLS_OUT_OF_INDEXES)
        tPendingWithoutSlot = exception;
    else
        TlsSetValue(slot, exception);
}

void reportDropped(std::exception_ptr exception) noexcept
{
    try {
        std::rethrow_exception(exception);
    } catch (const IException& dropped) {
        IAssertion::report(dropped);
    } catch (const std::exception& dropped) {
        IAssertion::report(IString("exception dropped while another one waits: ") + dropped.what(),
                           IEXCEPTION_LOCATION("icallgrd", "ICallbackGuard::keep(std::exception_ptr)"));
    } catch (...) {
        IAssertion::report("unknown exception dropped while another one waits",
                           IEXCEPTION_LOCATION("icallgrd", "ICallbackGuard::keep(std::exception_ptr)"));
    }
}

} // namespace

void ICallbackGuard::keep(std::exception_ptr exception) noexcept
{
    if (!exception)
        return;
    if (pending()) {
        reportDropped(exception);
        return;
    }
    try {
        setPending(new std::exception_ptr(std::move(exception)));
    } catch (...) {
        // Out of memory while keeping an exception: nothing is left to carry it.
        reportDropped(exception);
    }
}

bool ICallbackGuard::hasPending() noexcept
{
    return pending() != nullptr;
}

std::exception_ptr ICallbackGuard::takePending() noexcept
{
    std::exception_ptr exception;
    if (std::exception_ptr* waiting = pending()) {
        setPending(nullptr);
        exception = std::move(*waiting);
        delete waiting;
    }
    return exception;
}

void ICallbackGuard::rethrowPending()
{
    if (pending())
        std::rethrow_exception(takePending());
}
