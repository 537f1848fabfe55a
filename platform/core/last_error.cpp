#include "platform/core/last_error.h"

static thread_local DWORD last_error = 0;

DWORD GetLastError(void) { return last_error; }

void SetLastError(DWORD error) { last_error = error; }
