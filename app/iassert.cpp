// Reporting the faults that cannot be thrown.
#include <windows.h>

#include <atomic>

#include "iassert.hpp"

namespace {

void defaultHandler(const IString& text, const IExceptionLocation& location)
{
    IString line = "ovkwin: " + text + " [" + location.asString() + "]\n";
    OutputDebugStringA(line);
}

std::atomic<IAssertion::Handler> gHandler{nullptr};

} // namespace

IAssertion::Handler IAssertion::setHandler(Handler handler) noexcept
{
    return gHandler.exchange(handler);
}

IAssertion::Handler IAssertion::handler() noexcept
{
    Handler handler = gHandler.load();
    return handler ? handler : &defaultHandler;
}

void IAssertion::report(const IString& text, const IExceptionLocation& location) noexcept
{
    // Reporting must not become a second fault: a handler that throws is ignored.
    try {
        handler()(text, location);
    } catch (...) {
    }
}

void IAssertion::report(const IException& exception) noexcept
{
    try {
        const IExceptionLocation* where = exception.locationAtIndex(0);
        report(IString(exception.name()) + ": " + exception.what(),
               where ? *where : IExceptionLocation("", "", 0));
    } catch (...) {
    }
}
