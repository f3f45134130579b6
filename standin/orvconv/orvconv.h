/* The sign-on conversation library: the callback through which the sign-on client runs its
   log-on dialogs, and the setter of the window those dialogs belong to. */
#ifndef ORVCONV_H
#define ORVCONV_H

#include <windows.h>

#include "orvcl.h"

#ifdef ORVCONV_BUILD
#define ORVCONV_API __declspec(dllexport)
#else
#define ORVCONV_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

ORVCONV_API sso_rc_t orv_conversation(unsigned32 step, const char* prompt, void* context);
ORVCONV_API void orv_set_conversation_parent(HWND parent);

/* TEST ONLY: the parent last set and the conversation steps run since the last reset. */
ORVCONV_API HWND OrvConvTestParent(void);
ORVCONV_API int OrvConvTestSteps(void);
ORVCONV_API void OrvConvTestReset(void);

#ifdef __cplusplus
}
#endif

#endif
