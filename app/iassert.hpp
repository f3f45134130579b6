// Faults that the library finds where it cannot throw: in a destructor, or in a callback of
// Windows that already holds an exception for its caller.
#pragma once

#include <iexcept.hpp>
#include <istring.hpp>

#include "idefs.hpp"

// The library reports such a fault here and goes on as safely as it can. By default the report
// goes to the debugger's output (OutputDebugString), never to a message box, which would stop a
// program that runs unattended; a test program installs a handler that fails the running test.
class OVKWIN_API IAssertion {
public:
    using Handler = void (*)(const IString& text, const IExceptionLocation& location);

    // Installs a handler (null restores the default) and answers the previous one.
    static Handler setHandler(Handler handler) noexcept;
    static Handler handler() noexcept;

    static void report(const IString& text, const IExceptionLocation& location) noexcept;
    // An exception that could not be thrown: its name and text, at the place it was thrown.
    static void report(const IException& exception) noexcept;
};
