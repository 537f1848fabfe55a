// The settings dialogs and the browsers: each runs modally over its owner and
// answers with the result its soft keys give.
#pragma once

#include "platform/phone.h"

// Set Alarm: 1 after OK (the table saved and every alarm armed again), 2
// after Cancel, -1 when its soft keys could not be made.
INT_PTR run_set_alarm(HWND owner);
// Set Snooze: 1 after OK (SnoozeTime set), 2 after Cancel.
INT_PTR run_set_snooze(HWND owner);
// Settings: 1 after OK (24HourTime, ShowITime, MaxTime set), 2 after Cancel.
// A colour picked in it is in force at once, whatever the result.
INT_PTR run_settings(HWND owner);
// Choose Color: the colour picked, 0 when none was.
COLORREF run_choose_color(HWND owner);
// About: always 2.
INT_PTR run_about(HWND owner);
// Hourly Chime: 1 after OK (Chime set), 2 after Cancel. A sound picked in it
// is in ChimeSound at once, whatever the result.
INT_PTR run_hourly_chime(HWND owner);

struct SongNode;

// Sleep: 1046 after "Sleep", with the songs to play in *list (the caller's to
// free) and SleepTime and TimedSleep set; 1 after Cancel, *list null. A
// source picked in it is in SleepPath and SleepPathType at once, whatever
// the result.
INT_PTR run_sleep(HWND owner, SongNode **list);
// Countdown: 1065 after "Start" (CountdownTime and CountdownKeepAwake set),
// 2 after Cancel. A sound picked in it is in CountdownSound at once.
INT_PTR run_countdown(HWND owner);

// What the browsers list.
enum SoundBrowseMode { BROWSE_SOUNDS = 0, BROWSE_PLAYLISTS = 1 };

// The browsers' choices, read by their callers after a result of 1.
struct BrowserChoice {
    int sound_mode;               // SoundBrowseMode, set by the caller before Select Sound
    WCHAR sound_path[MAX_PATH];   // Select Sound's choice
    WCHAR folder_path[MAX_PATH];  // Choose Folder's choice, never empty after 1
};

extern BrowserChoice Browsers;

// Select Sound: 1 with Browsers.sound_path set, 2 after Cancel, -1 when its
// soft keys could not be made.
INT_PTR run_select_sound(HWND owner, int mode);
// Choose Folder in the template `template_id` (one per screen class): 1 with
// Browsers.folder_path set, 2 after Cancel.
INT_PTR run_choose_folder(HWND owner, int template_id);
// The Choose Folder template for the screen: landscape, 176 x 220, or any other.
int choose_folder_template(void);
