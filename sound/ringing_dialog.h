// What the two ringing dialogs share: the full-screen opening, the sound's
// start with its fallback, the timers and the way out.
#pragma once

#include "platform/phone.h"

// The template for the screen class out of the three of a dialog.
int ringing_template(int screen_class, int large, int small, int landscape);

// Full screen, with the soft-key bar `bar_id`.
void ringing_open(HWND dialog, int bar_id);

// Starts `path` with at most `attempts` PlayRinging calls, stopping and
// closing after each failure. A file the library will not open is treated
// as a missing one: the default (`default_name`) takes its place, with
// `attempts` calls of its own, and `path` is changed to it.
bool ringing_start(LPWSTR path, LPCWSTR default_name, bool own_volume, int attempts);

// Stops and closes the ringing channel when a start left it open, putting
// back the alarm's volume and profile when `restore`.
void ringing_close(bool restore);

// The limit timer's first period and the watch timer.
void ringing_start_timers(HWND dialog, DWORD max_minutes);
void ringing_kill_timers(HWND dialog);

// Milliseconds rung since ringing_clock_start, on the monotonic clock.
void ringing_clock_start(void);
ULONGLONG ringing_clock_elapsed_ms(void);

// Back passed on to the platform; true when the message was Back's.
bool ringing_back_key(UINT message, WPARAM wparam, LPARAM lparam);

// Every way out after a successful opening: the channel closed, both timers
// killed, the dialog ended with `result`.
void ringing_end(HWND dialog, bool restore, INT_PTR result);
