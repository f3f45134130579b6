// The one lock over what every container object shares between threads.
#include <windows.h>

#include "detail/icnrlock.hpp"

namespace {

SRWLOCK gAllObjects = SRWLOCK_INIT;

} // namespace

ICnrAllObjectsLock::ICnrAllObjectsLock() noexcept
{
    AcquireSRWLockExclusive(&gAllObjects);
}

ICnrAllObjectsLock::~ICnrAllObjectsLock()
{
    ReleaseSRWLockExclusive(&gAllObjects);
}
