// The device's idle timer: a program that must keep the device awake (sleep
// music, a countdown) resets it. The host's own power management is not
// touched; the device only remembers when it was last reset.
#pragma once

#include "platform/core/types.h"

void SystemIdleTimerReset(void);

// GetTickCount() at the last reset in this process; 0 when never reset.
DWORD idle_timer_last_reset(void);
