// The calling thread's last error, as the phone keeps it.
#pragma once

#include "platform/core/types.h"

DWORD GetLastError(void);
void SetLastError(DWORD error);
