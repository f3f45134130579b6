// Helpers of the window core's tests.
#include "windowtest.hpp"

namespace windowtest {

namespace {

ovktest::Trace* gTrace = nullptr;
UINT gMessage = kTestMessage;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == gMessage && gTrace)
        gTrace->add("previous");
    if (message == kTestMessage)
        return kPreviousResult;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

const char* recordingClass()
{
    static const char* name = [] {
        ovktest::registerClass("ovktest recording window", recordingProcedure);
        return "ovktest recording window";
    }();
    return name;
}

PreviousTrace::PreviousTrace(ovktest::Trace& trace, UINT message)
{
    gTrace = &trace;
    gMessage = message;
}

PreviousTrace::~PreviousTrace()
{
    gTrace = nullptr;
    gMessage = kTestMessage;
}

} // namespace windowtest
