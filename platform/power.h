// The device's power state. Velmora only ever switches the device on, so
// that a due alarm is heard; on Linux the machine that runs the program is
// on already, and the host's own power management is left alone.
#pragma once

#include "platform/types.h"

#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_FORCE 0x00001000

// Switching on (POWER_STATE_ON, or the state named "on") is written to the
// device journal and succeeds; any other state gives ERROR_NOT_SUPPORTED.
DWORD SetSystemPowerState(LPCWSTR state_name, DWORD state_flags, DWORD options);
