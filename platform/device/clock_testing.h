// Test seams of the device clock, kept out of its production interface.
#pragma once

#include "platform/core/types.h"

// Stop the device clock at a UTC instant or a local time; with virtual sleep
// on, Sleep() advances the frozen clock instead of waiting. clock_thaw lets
// it run with the host clock again.
void clock_freeze_utc(long long utc_ms);
void clock_freeze_local(const SYSTEMTIME *local);
void clock_set_virtual_sleep(bool on);
void clock_thaw(void);
