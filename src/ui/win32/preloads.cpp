// The process-wide count of running preloads and the wait for them at exit.
// Lock and condition are the system's own: they need no destructor, so a
// preload that outlives the wait never meets a destroyed one.
#include "ui/win32/preloads.h"

#include <windows.h>

namespace ui::win32 {
namespace {

SRWLOCK lock = SRWLOCK_INIT;
CONDITION_VARIABLE allEnded = CONDITION_VARIABLE_INIT;
int running = 0;
bool ending = false;

}  // namespace

bool preloadStarting() {
    AcquireSRWLockExclusive(&lock);
    bool allowed = !ending;
    if (allowed) ++running;
    ReleaseSRWLockExclusive(&lock);
    return allowed;
}

void preloadEnded() {
    AcquireSRWLockExclusive(&lock);
    if (--running == 0) WakeAllConditionVariable(&allEnded);
    ReleaseSRWLockExclusive(&lock);
}

void awaitPreloadsForExit(int ms) {
    ULONGLONG deadline = GetTickCount64() + ULONGLONG(ms);
    AcquireSRWLockExclusive(&lock);
    ending = true;
    for (ULONGLONG now = GetTickCount64(); running > 0 && now < deadline; now = GetTickCount64())
        SleepConditionVariableSRW(&allEnded, &lock, DWORD(deadline - now), 0);
    ReleaseSRWLockExclusive(&lock);
}

}  // namespace ui::win32
