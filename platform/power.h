// Power-on: the moments the device was switched on again. On Linux that is
// a resume from suspend (the boot-time clock, which counts suspended time,
// running ahead of the monotonic clock, which does not) or a power-on
// recorded in the device by `velctl power on` or by the system itself.
#pragma once

// Records a power-on in the device: the counter in "<root>/power-on" goes up
// by one. Every process of the device sees it.
bool power_record_on(void);

// The device's power-on counter; 0 when none was ever recorded.
unsigned long power_on_count(void);

// True once for each power-on since the previous call in this process; the
// first call only takes note of where things stand.
bool power_on_seen(void);
