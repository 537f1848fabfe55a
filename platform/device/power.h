// The device's power: switching it on, and the moments it was switched on
// again. Velmora only ever switches the device on, so that a due alarm is
// heard; on Linux the machine is on already and the host's own power
// management is left alone. A power-on is a resume from suspend (the
// boot-time clock, which counts suspended time, running ahead of the
// monotonic clock, which does not) or one recorded in the device by
// `velctl power on`.
#pragma once

#include "platform/core/types.h"

#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_FORCE 0x00001000

// Switching on (POWER_STATE_ON, or the state named "on") is written to the
// device journal and succeeds; any other state gives ERROR_NOT_SUPPORTED.
DWORD SetSystemPowerState(LPCWSTR state_name, DWORD state_flags, DWORD options);

// Records a power-on in the device: the counter in "<root>/power-on" goes up
// by one. Every process of the device sees it.
bool power_record_on(void);

// The device's power-on counter; 0 when none was ever recorded.
unsigned long power_on_count(void);

// True once for each power-on since the previous call in this process; the
// first call only takes note of where things stand.
bool power_on_seen(void);
