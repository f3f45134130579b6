// The stand-in host library: handler registrations kept in a table, recursion ids counted up,
// and a journal of every call for the tests.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "nquill.h"

namespace {

struct Registration {
    HEMREG handle;
    WORD eventId;
    DWORD flags;
    EMHANDLER handler;
    WORD recursionId;
};

// The host calls its extensions on one thread; the lock only keeps a test's reads whole.
SRWLOCK gLock = SRWLOCK_INIT;
std::vector<Registration> gRegistrations;
std::string gJournal;
HEMREG gNextHandle = 1;
WORD gNextRecursionId = 5;
bool gForced[nqCallCount];
int gForcedAfter[nqCallCount]; // calls of the kind that still do their work first
WORD gForcedStatus[nqCallCount];

void note(const char* format, ...)
{
    char line[160];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (!gJournal.empty())
        gJournal += '\n';
    gJournal += line;
}

bool takeForced(int call, WORD* status)
{
    if (!gForced[call])
        return false;
    if (gForcedAfter[call] > 0) {
        --gForcedAfter[call];
        return false;
    }
    gForced[call] = false;
    *status = gForcedStatus[call];
    return true;
}

struct Locked {
    Locked() { AcquireSRWLockExclusive(&gLock); }
    ~Locked() { ReleaseSRWLockExclusive(&gLock); }
};

} // namespace

extern "C" {

WORD WINAPI EMRegister(WORD eventId, DWORD flags, EMHANDLER handler, WORD recursionId,
                       HEMREG* handle)
{
    Locked lock;
    WORD status = 0;
    HEMREG made = 0;
    if (!takeForced(nqRegister, &status)) {
        if (!handler || !handle) {
            status = 1;
        } else {
            made = *handle = gNextHandle++;
            gRegistrations.push_back({made, eventId, flags, handler, recursionId});
        }
    }
    note("EMRegister %u %lu %u -> %u #%lu", eventId, static_cast<unsigned long>(flags),
         recursionId, status, static_cast<unsigned long>(made));
    return status;
}

WORD WINAPI EMDeregister(HEMREG handle)
{
    Locked lock;
    WORD status = 0;
    if (!takeForced(nqDeregister, &status)) {
        status = 2;
        for (auto it = gRegistrations.begin(); it != gRegistrations.end(); ++it) {
            if (it->handle == handle) {
                gRegistrations.erase(it);
                status = 0;
                break;
            }
        }
    }
    note("EMDeregister #%lu -> %u", static_cast<unsigned long>(handle), status);
    return status;
}

WORD WINAPI EMCreateRecursionID(WORD* recursionId)
{
    Locked lock;
    WORD status = 0;
    if (!takeForced(nqCreateRecursionId, &status)) {
        if (recursionId)
            *recursionId = gNextRecursionId++;
        else
            status = 1;
    }
    note("EMCreateRecursionID -> %u", status);
    return status;
}

// -------------------------------------------------------------------------------------------
// TEST ONLY

int WINAPI NqTestJournal(char* buffer, int size)
{
    Locked lock;
    if (buffer && size > 0)
        lstrcpynA(buffer, gJournal.c_str(), size);
    return static_cast<int>(gJournal.size());
}

void WINAPI NqTestReset(void)
{
    Locked lock;
    gRegistrations.clear();
    gJournal.clear();
    for (int call = 0; call < nqCallCount; ++call)
        gForced[call] = false;
}

void WINAPI NqTestForceStatus(int call, WORD status) { NqTestForceStatusAfter(call, 0, status); }

void WINAPI NqTestForceStatusAfter(int call, int passing, WORD status)
{
    Locked lock;
    if (call >= 0 && call < nqCallCount) {
        gForced[call] = true;
        gForcedAfter[call] = passing;
        gForcedStatus[call] = status;
    }
}

int WINAPI NqTestRegistrationCount(void)
{
    Locked lock;
    return static_cast<int>(gRegistrations.size());
}

WORD WINAPI NqTestFire(WORD eventId, EMRECORD* record)
{
    EMHANDLER handler = nullptr;
    {
        Locked lock;
        for (const Registration& registration : gRegistrations) {
            if (registration.eventId == eventId)
                handler = registration.handler;
        }
    }
    // The handler runs unlocked: it may show dialogs and re-enter the host library.
    return handler ? handler(record) : 0xFFFF;
}

WORD WINAPI NqTestRecursionIdOf(WORD eventId)
{
    Locked lock;
    for (const Registration& registration : gRegistrations) {
        if (registration.eventId == eventId)
            return registration.recursionId;
    }
    return 0xFFFF;
}

} // extern "C"
