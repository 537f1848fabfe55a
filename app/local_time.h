// The device's local time as a file time (100 ns units), the unit in which
// countdown and sleep end times are kept.
#pragma once

#include "platform/phone.h"

ULONGLONG local_file_time_now(void);
