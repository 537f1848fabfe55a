// The Countdown mode: the digits show the time left until the countdown's
// event. Ending it comes with the countdown commands.
#include "app/window_modes.h"

void leave_countdown(void) {}
