// The Sleep mode: sleep music, optionally for a limited time. Starting,
// pausing and ending it come with the sleep playback.
#include "app/window_modes.h"

SleepState SleepMode;

void start_sleep(void) {}
void leave_sleep(void) {}
void stop_sleep(void) {}
void toggle_pause(void) {}
void resume_sleep(void) {}
void check_sleep_time(void) {}
