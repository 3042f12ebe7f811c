#include "app/single_instance.h"

bool takeSingleInstance(ScopedHandle* mutex)
{
    // The release of a handle held before keeps the last error, which tells
    // whether the mutex already existed.
    mutex->reset(CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    if (!*mutex || GetLastError() != ERROR_ALREADY_EXISTS)
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
