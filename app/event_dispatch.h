// What the window does with an event that fell due: an alarm, a snooze, the
// countdown or the chime.
#pragma once

#include "platform/phone.h"

void dispatch_event(WPARAM id);
