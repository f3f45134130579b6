// The trace facility.
#include "itrace.hpp"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> gEnabled{false};
std::atomic<ITrace::Sink> gSink{nullptr};
} // namespace

void ITrace::enableTrace(IBase::Boolean enable)
{
    gEnabled = enable != 0;
}

void ITrace::disableTrace()
{
    enableTrace(false);
}

IBase::Boolean ITrace::isTraceEnabled()
{
    return gEnabled.load(std::memory_order_relaxed);
}

void ITrace::write(const IString& line)
{
    write(static_cast<const char*>(line));
}

void ITrace::write(const char* line)
{
    if (!isTraceEnabled())
        return;
    if (const Sink sink = gSink.load())
        sink(line ? line : "");
    else
        std::fprintf(stderr, "%s\n", line ? line : "");
}

ITrace::Sink ITrace::setSink(Sink sink)
{
    return gSink.exchange(sink);
}
