// The window's modes: the plain clock, sleep music and the countdown.
#pragma once

#include "platform/phone.h"

#define TIME_LEFT_CHARS 9

struct SongNode;

// The sleep mode's own time keeping, and the songs it plays.
struct SleepState {
    BYTE SleepPaused;
    ULONGLONG SleepEndTime;  // local file time at which timed sleep ends
    DWORD PausedSeconds;     // seconds of timed sleep left when pausing
    WCHAR SavedTimeLeft[TIME_LEFT_CHARS + 1];
    SongNode *SleepList;  // owned while sleep music plays, else null
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
// Whole seconds until timed sleep ends; 0 once the end has passed.
ULONGLONG sleep_seconds_left(void);

// After the Countdown dialog's "Start": arms the countdown and shows it.
void enter_countdown(void);
void leave_countdown(void);
