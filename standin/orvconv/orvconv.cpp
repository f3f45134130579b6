// The stand-in conversation library: no dialogs of its own; it records the parent window and
// counts the steps the sign-on client runs through it.
#define ORVCONV_BUILD
#include "orvconv.h"

namespace {
HWND gParent;
int gSteps;
} // namespace

extern "C" {

sso_rc_t orv_conversation(unsigned32, const char*, void*)
{
    ++gSteps;
    return 0;
}

void orv_set_conversation_parent(HWND parent) { gParent = parent; }

HWND OrvConvTestParent(void) { return gParent; }
int OrvConvTestSteps(void) { return gSteps; }

void OrvConvTestReset(void)
{
    gParent = nullptr;
    gSteps = 0;
}

} // extern "C"
