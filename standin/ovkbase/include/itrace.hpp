// ITrace: the base library's trace facility, off unless a program switches it on.
#pragma once

#include "ibase.hpp"
#include "ibasedef.hpp"
#include "istring.hpp"

// Lines written while tracing is off cost only the check, so callers test isTraceEnabled()
// before they build a line. The lines go to the standard error stream, or to a sink that a
// test installs.
class OVKBASE_API ITrace {
public:
    using Sink = void (*)(const char* line);

    static void enableTrace(IBase::Boolean enable = true);
    static void disableTrace();
    static IBase::Boolean isTraceEnabled();
    static void write(const IString& line);
    static void write(const char* line);

    // Test hook: where the lines go (null: the standard error stream); answers the previous.
    static Sink setSink(Sink sink);
};
