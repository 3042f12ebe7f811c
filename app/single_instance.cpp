#include "app/single_instance.h"

bool takeSingleInstance(ScopedHandle* mutex)
{
    mutex->reset(CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    // Read at once: any later call may overwrite the last error.
    const DWORD error = GetLastError();
    if (!*mutex || error != ERROR_ALREADY_EXISTS)
        return true;
    mutex->reset();
    return false;
}

void releaseSingleInstance()
{
    // Ownership belongs to the thread, not to a handle: any handle of the
    // mutex releases it.
    const ScopedHandle mutex(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kSingleInstanceMutex));
    if (mutex)
        ReleaseMutex(mutex.get());
}
