// The calling thread's last error, as the phone keeps it.
#pragma once

#include "platform/types.h"

DWORD GetLastError(void);
void SetLastError(DWORD error);
