// The calling thread's last error (ERROR_*), as the phone's calls leave it.
#pragma once

#include "platform/types.h"

DWORD GetLastError(void);
void SetLastError(DWORD error);
