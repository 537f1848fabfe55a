// The ringing dialogs: the alarm's (Snooze and Stop) and the countdown's
// (Stop). Each plays its sound over and over on the ringing channel, keeps
// the device awake and gives up by itself after MaxTime minutes.
#pragma once

#include "platform/phone.h"

#define RING_LIMIT_TIMER_ID 1
#define RING_WATCH_TIMER_ID 2
#define RING_WATCH_MS 2000

// Results.
#define RING_SNOOZED 1
#define RING_STOPPED 2

// Shared with whoever opens the alarm's dialog (RingingAlarmIndex is the
// sound player's): TestRing makes Snooze register nothing; MaxTimeReached
// says the dialog gave up after MaxTime minutes.
extern BYTE TestRing;
extern BYTE MaxTimeReached;

// Run the dialog modally from the template of the screen class (-1
// landscape, 0 the 176x220 screen, 1 otherwise). The alarm's answers
// RING_SNOOZED or RING_STOPPED (also after the time limit or when no sound
// file exists); the countdown's always RING_STOPPED.
INT_PTR run_alarm_ringing(HWND owner, int screen_class);
INT_PTR run_countdown_ringing(HWND owner, int screen_class);
