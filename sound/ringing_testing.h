// Test seam of the ringing dialogs, kept out of their production interface.
#pragma once

#include "platform/core/types.h"

// The monotonic millisecond count the time limit is measured on; NULL puts
// back the device's own (GetTickCount).
void ringing_use_ticks(DWORD (*ticks)(void));
