#include "core/scoped_win.h"

void releaseKeepingLastError(void (*release)(void* value), void* value)
{
    const DWORD lastError = GetLastError();
    release(value);
    SetLastError(lastError);
}
