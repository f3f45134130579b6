// The per-thread slot of exceptions caught in callbacks.
#include <exception>

#include "detail/icallgrd.hpp"
#include "iassert.hpp"

namespace {

// A plain pointer, so that the slot needs no destructor at thread exit; it is only set while
// an exception waits, which is rarely and briefly.
thread_local std::exception_ptr* tPending = nullptr;

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
    if (tPending) {
        reportDropped(exception);
        return;
    }
    try {
        tPending = new std::exception_ptr(std::move(exception));
    } catch (...) {
        // Out of memory while keeping an exception: nothing is left to carry it.
        reportDropped(exception);
    }
}

bool ICallbackGuard::hasPending() noexcept
{
    return tPending != nullptr;
}

std::exception_ptr ICallbackGuard::takePending() noexcept
{
    std::exception_ptr exception;
    if (tPending) {
        exception = std::move(*tPending);
        delete tPending;
        tPending = nullptr;
    }
    return exception;
}

void ICallbackGuard::rethrowPending()
{
    if (tPending)
        std::rethrow_exception(takePending());
}
