// Chime, the hourly chime program: started by Velmgr when the chime falls
// due, it sounds the chime once, arms the next one, tells a running clock to
// re-read the chime's handle, and exits.
#pragma once

#include "platform/phone.h"

// How often the end of the chime is looked for, and for how long at most. A
// sound whose end never comes (an output that stalls) must not keep the
// program, and with it the next chime's registration, waiting for ever; the
// limit still lets the next chime be armed within the hour it is due for.
#define CHIME_LOOK_MS 200
#define CHIME_WAIT_LIMIT_MS (10 * 60 * 1000)

// The program's entry. The command line is not read; the result is always 0.
int chime_main(void);

// Waits until the one-shot channel's sound has ended. When `limit_ms` passes
// first, stops the sound and returns false.
bool wait_for_chime_end(DWORD limit_ms);
