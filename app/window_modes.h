// The window's modes: the plain clock, sleep music and the countdown.
#pragma once

#include "platform/phone.h"

#define TIME_LEFT_CHARS 9

// The sleep mode's own time keeping.
struct SleepState {
    BYTE SleepPaused;
    ULONGLONG SleepEndTime;  // local file time at which timed sleep ends
    DWORD PausedSeconds;     // seconds of timed sleep left when pausing
    WCHAR SavedTimeLeft[TIME_LEFT_CHARS + 1];
};

extern SleepState SleepMode;

// Changes the mode: the face is redrawn whole for the new mode and the
// status lines are made again for it.
void set_mode(int mode);

void start_sleep(void);
void leave_sleep(void);
void stop_sleep(void);
void toggle_pause(void);
void resume_sleep(void);
void check_sleep_time(void);
void leave_countdown(void);
