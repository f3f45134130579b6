/* TEST ONLY: what the stand-in host library offers besides its three registration calls (which
   quillext.h declares): a journal of the calls, forced statuses and the host's side of an
   event, which calls the handler registered for it as the client would. */
#ifndef NQUILL_H
#define NQUILL_H

#include "quillext.h"

#ifdef __cplusplus
extern "C" {
#endif

enum NqTestCall { nqRegister, nqDeregister, nqCreateRecursionId, nqCallCount };

/* The journal: one line per call, "EMRegister 73 1 0 -> 0 #1", "EMDeregister #1 -> 0",
   "EMCreateRecursionID -> 0 id 5", joined by line feeds. Answers the full length; copies what
   fits (with a terminating zero). */
int WINAPI NqTestJournal(char* buffer, int size);
/* Forgets the journal, the registrations and the forced statuses. */
void WINAPI NqTestReset(void);
/* The next call of the kind answers the status instead of doing its work. */
void WINAPI NqTestForceStatus(int call, WORD status);
/* As NqTestForceStatus, after `passing` calls of the kind that do their work. */
void WINAPI NqTestForceStatusAfter(int call, int passing, WORD status);
/* The live registrations. */
int WINAPI NqTestRegistrationCount(void);
/* Calls the handler registered last for the event with the record, as the host would; answers
   0xFFFF when no handler is registered for the event. */
WORD WINAPI NqTestFire(WORD eventId, EMRECORD* record);
/* The recursion id of the live registration for the event, or 0xFFFF. */
WORD WINAPI NqTestRecursionIdOf(WORD eventId);

#ifdef __cplusplus
}
#endif

#endif
